#pragma once
// The merge previewer: a pasted example message that a template might
// answer. It has no code of its own; the composer reads REExample.

#include <QDialog>

#include <memory>


namespace Ui {
class TfrmMessagePre;
}

namespace manager {

class TfrmMessagePre : public QDialog {
    Q_OBJECT

public:
    explicit TfrmMessagePre(QWidget* parent = nullptr);
    ~TfrmMessagePre() override;

    Ui::TfrmMessagePre* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::TfrmMessagePre> ui_;

};

}  // namespace manager
