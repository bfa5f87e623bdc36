#pragma once
// Writing one row so that it is posted whole or not at all: an error while
// its fields are set or while it is posted cancels the insert or edit, and
// the error goes on to the caller.

#include <functional>
#include <string>

class TTable;

namespace manager {

enum class RowStart { Insert, Append, Edit };

void WriteRow(TTable& table, RowStart start, const std::function<void(TTable&)>& setFields);

// The text of a field without its padding.
std::string FieldText(TTable& table, const char* field);

}  // namespace manager
