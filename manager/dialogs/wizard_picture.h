#pragma once
// The picture at the left of every wizard page of the account and
// restriction wizards.

class QLabel;

namespace manager {

void SetWizardPicture(QLabel* frame);

}  // namespace manager
