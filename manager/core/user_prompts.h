#pragma once
// The questions and notices a command puts to the user, without a window:
// the program answers them with message boxes (through the dialog seam),
// tests with scripted answers.

#include <string>

namespace manager {

enum class Answer { Yes, No, Cancel, Ok };

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A box with Yes, No and Cancel.
    virtual Answer ConfirmYesNoCancel(const std::string& text) = 0;
    // A box with one OK button.
    virtual void Inform(const std::string& text) = 0;
};

}  // namespace manager
