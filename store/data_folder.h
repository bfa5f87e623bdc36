#pragma once
// Making a data folder: the ten empty tables with their compound indexes and
// every tag, and the one organisation row the folder tree hangs from. The
// folder is readable only by its owner, since account passwords are stored
// in it.

#include <string>

#include "platform/datetime.h"

namespace store {

// True when the folder holds any of the ten table files (any case).
bool DataFolderHasTables(const std::string& folder);

// Throws StoreError when an existing folder is shared with other users
// (owned by another, or sticky like /tmp): tables there would be theirs to
// read, and making the folder private would lock them out of it.
void RefuseSharedFolder(const std::string& folder);

// Creates the folder (with its parents) and the tables in it. A folder that
// already holds tables is refused unless `replace` is set; then the ten
// tables, their indexes and memo files are made anew (their rows are lost).
// An existing folder that others share (owned by another user, or sticky
// like /tmp) is refused rather than made private. Throws StoreError with
// the reason.
void CreateDataFolder(const std::string& folder, bool replace, TDateTime now = platform::Now());

}  // namespace store
