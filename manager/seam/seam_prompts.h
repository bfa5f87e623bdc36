#pragma once
// The commands' questions and notices as message boxes through the seam.

#include <QWidget>

#include "manager/core/user_prompts.h"

namespace manager {

class SeamPrompts : public UserPrompts {
public:
    explicit SeamPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    Answer ConfirmYesNoCancel(const std::string& text) override;
    void Inform(const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace manager
