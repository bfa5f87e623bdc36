#pragma once
// An account's polling schedule as the account windows show it and as the
// accounts table holds it: the next date "mm/dd/yy", the next time shown
// "hh:mmAM/PM" and stored "hh:mm", the interval in whole minutes.

#include <string>

#include "platform/datetime.h"

namespace manager {

struct Schedule {
    TDateTime nextDate = 0;  // midnight of the day
    std::string nextTime;    // "hh:mm"
    int minutes = 0;
};

// Reads the three texts of a window (the interval 1 to 600 minutes). Throws
// ManagerError naming the field that does not convert, so that nothing is
// written from it.
Schedule ReadSchedule(const std::string& minutes, const std::string& nextDate, const std::string& nextTime);

// "mm/dd/yy" of a date; "hh:mmAM/PM" of a stored "hh:mm" time (empty when
// it is empty or does not convert).
std::string ShownDate(TDateTime date);
std::string ShownTime(const std::string& storedTime);
std::string ShownTime(TDateTime time);

}  // namespace manager
