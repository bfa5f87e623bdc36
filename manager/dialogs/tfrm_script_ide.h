#pragma once
// The script window: empty; its menu entry is never shown.

#include <QWidget>

#include <memory>


namespace Ui {
class TfrmScriptIDE;
}

namespace manager {

class TfrmScriptIDE : public QWidget {
    Q_OBJECT

public:
    explicit TfrmScriptIDE(QWidget* parent = nullptr);
    ~TfrmScriptIDE() override;

    Ui::TfrmScriptIDE* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::TfrmScriptIDE> ui_;

};

}  // namespace manager
