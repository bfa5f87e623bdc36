#pragma once
// Puts a top-level window in the middle of its screen (the splash and the
// status window are centred; dialogs centre on their owner themselves).

class QWidget;

namespace manager {

void CentreOnScreen(QWidget& window);

}  // namespace manager
