#pragma once
// Names a screen reader can say for the text fields that editable drop-down
// lists build for themselves, which no form can reach: each is named by the
// label that stands for its list ("Field:" names it "Field").

class QWidget;

namespace manager {

void NameDropDownFields(QWidget& window);

}  // namespace manager
