#pragma once
// Names a screen reader can say for the parts a calendar builds for itself
// (its day grid, month arrows and year field), which no form can reach.

class QCalendarWidget;

namespace manager {

void NameCalendarParts(QCalendarWidget& calendar);

}  // namespace manager
