#pragma once
// A first start: each program, finding a data folder that holds none of the
// system's table files, makes the empty tables there before it opens them.
// They are made in a folder of their own inside the data folder and moved in
// under a lock on the data folder, so two programs starting at once make one
// set and neither opens half of one; a start killed half-way is finished or
// undone by the next.

#include <string>

#include "platform/datetime.h"

namespace store {

// Makes the data folder (private to its owner) when it does not exist, and
// the tables with their index tags and the organisation row in it when it
// holds none of their files. True when it made them. A folder holding some
// of them is left as it is: that is for opening the tables to report. A
// folder shared with other users is refused. Throws StoreError.
bool MakeTablesOnFirstStart(const std::string& folder, TDateTime now = platform::Now());

// The status log line of a first start.
std::string FirstStartText(const std::string& folder);

}  // namespace store
