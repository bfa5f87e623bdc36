#pragma once
// The look the agent dialogs' forms ask for through dynamic properties:
// headings ("heading") in 19-pixel Times New Roman, the shared wizard
// picture ("wizardPicture") and list columns ("columnWidths", "120,95,80").

class QWidget;

namespace manager {

void ApplyAgentDialogLook(QWidget& dialog);

}  // namespace manager
