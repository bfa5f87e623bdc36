#pragma once
// The action dialog: the list of actions an agent can take and, beside it,
// the frame with the chosen action's parameter. Created for one add by the
// agent dialogs, which read the chosen caption and edtMaster after OK.

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QGroupBox;
class QLineEdit;

namespace Ui {
class TfrmAction;
}

namespace manager {

// The main window's new auto-reply template command, run for the dialog
// `asker`: the path the user saved the new template to, empty when the
// composer closed unsaved.
using CreateTemplateCommand = std::function<std::string(QWidget* asker)>;

class TfrmAction : public QDialog {
    Q_OBJECT

public:
    // templatesFolder: where the template chooser starts; createTemplate:
    // the main window's new auto-reply template command ("&Create New"),
    // whose saved template becomes the reply.
    explicit TfrmAction(QWidget* parent = nullptr, std::string templatesFolder = {},
                        CreateTemplateCommand createTemplate = {});
    ~TfrmAction() override;

    Ui::TfrmAction* ui() const { return ui_.get(); }

    // The chosen action's caption as listed, empty when none is chosen.
    std::string SelectedCaption() const;
    // edtMaster and edtMasterParams, as OK left them.
    std::string Parameter() const;
    std::string Extra() const;
    // Selects the action of this caption (as a click would).
    void SelectAction(const std::string& caption);
    // The parameter of the chosen action into edtMaster, then OK. Without a
    // chosen action nothing happens: the callers need one to make a row.
    void OKClick();

private:
    void showFrameOf(const std::string& caption);
    QGroupBox* frameOf(const std::string& upperCaption) const;
    QLineEdit* fieldOf(const std::string& upperCaption) const;
    void browse(QLineEdit* field, const char* filter, const char* suffix, const QString& folder);
    void browseProgram();

    std::unique_ptr<Ui::TfrmAction> ui_;
    std::string templatesFolder_;
    CreateTemplateCommand createTemplate_;
};

}  // namespace manager
