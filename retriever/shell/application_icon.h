#pragma once
// The processors' icon for the tray and the about box: "tarsel.png" from
// the installed assets when there is one, else a small drawn envelope, so
// the tray never shows an empty icon.

#include <QIcon>

namespace shell {

QIcon ApplicationIcon();

}  // namespace shell
