#pragma once
// Making a new, empty table file.

#include <string>
#include <vector>

#include "xbase/value.h"

namespace xbase {

// Writes an empty FoxPro table: version 0x03, or 0xF5 with an empty memo
// file beside it when a field is a memo; header length 32 + 32 x fields + 2;
// code page mark 0x03. memoBlockSize 0 takes the engine setting (64 unless
// sx_SetMemoBlockSize changed it). XbaseError when the file exists or a
// field definition is unusable. Tags are added afterwards with sx_IndexTag.
void createTable(const std::string& dbfPath, const std::vector<FieldDef>& fields, int memoBlockSize = 0);

}  // namespace xbase
