#include "manager/dialogs/calendar_names.h"

#include <QCalendarWidget>

#include <utility>

namespace manager {

void NameCalendarParts(QCalendarWidget& calendar)
{
    static constexpr std::pair<const char*, const char*> kParts[] = {
        {"qt_calendar_calendarview", "Days of the Month"},
        {"qt_calendar_prevmonth", "Previous Month"},
        {"qt_calendar_nextmonth", "Next Month"},
        {"qt_calendar_yearedit", "Year"},
    };
    for (const auto& [part, name] : kParts)
        if (auto* widget = calendar.findChild<QWidget*>(QLatin1String(part)))
            widget->setAccessibleName(QLatin1String(name));
}

}  // namespace manager
