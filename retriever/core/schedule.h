#pragma once
// An account's polling schedule in its row of the accounts table: the next
// polling time (NEXTDATE, NEXTTIME "hh:mm"), the last one and the interval
// in minutes (FREQVAL).

#include "platform/datetime.h"

class TTable;

namespace retriever {

// NEXTDATE and NEXTTIME of the current row as one date-time; ConversionError
// when either does not parse (a blank time included).
TDateTime DueTime(TTable& nodes);
// FREQVAL of the current row in minutes; ConversionError when not a number.
long long PollInterval(TTable& nodes);
// now + minutes, as a day count.
TDateTime NextPollTime(TDateTime now, long long minutes);
// Stores now as the last poll and `next` as the next one in the current row
// and posts it; an edit that fails is cancelled, so the row stays as it was.
void WriteSchedule(TTable& nodes, TDateTime now, TDateTime next);

}  // namespace retriever
