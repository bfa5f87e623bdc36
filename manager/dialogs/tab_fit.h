#pragma once
// Keeps every caption of a tab widget whole at the widget's width: rather
// than cut a caption short or hide tabs behind scroll arrows, the tab bar's
// font is made narrower, then a little smaller, until all the tabs fit.
// The arrows stay as the last resort when even the smallest step does not.

class QTabWidget;

namespace manager {

// Fits now and at every later resize of `tabs`.
void FitTabsToWidth(QTabWidget& tabs);

}  // namespace manager
