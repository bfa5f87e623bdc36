#include "manager/core/account_schedule.h"

#include "manager/core/input_checks.h"
#include "manager/core/manager_error.h"

namespace manager {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

Schedule ReadSchedule(const std::string& minutes, const std::string& nextDate, const std::string& nextTime)
{
    Schedule schedule;
    schedule.minutes = ReadPollingInterval(minutes);
    if (!platform::TryStrToDate(nextDate, schedule.nextDate))
        throw ManagerError("The next processing date \"" + nextDate + "\" is not a valid date (mm/dd/yy).");
    TDateTime time = 0;
    if (!platform::TryStrToTime(nextTime, time))
        throw ManagerError("The next processing time \"" + nextTime + "\" is not a valid time (hh:mmAM/PM).");
    schedule.nextTime = platform::FormatDateTime("hh:mm", time);
    return schedule;
}

std::string ShownDate(TDateTime date) { return platform::FormatDateTime("mm/dd/yy", date); }

std::string ShownTime(TDateTime time) { return platform::FormatDateTime("hh:mmAM/PM", time); }

std::string ShownTime(const std::string& storedTime)
{
    TDateTime time = 0;
    if (trimmed(storedTime).empty() || !platform::TryStrToTime(storedTime, time))
        return {};
    return ShownTime(time);
}

}  // namespace manager
