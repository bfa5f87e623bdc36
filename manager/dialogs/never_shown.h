#pragma once
// Controls that hold a window's data but are never shown: hidden, and
// hidden from a screen reader too, with everything they hold (a hidden
// list's rows would otherwise be reported as showing).

class QWidget;

namespace manager {

void KeepNeverShown(QWidget& widget);

}  // namespace manager
