#pragma once
// A message's source as plain text, read-only; closing frees the window.

#include <QWidget>

#include <memory>
#include <string>

namespace Ui {
class TfrmMsgSource;
}

namespace manager {

class TfrmMsgSource : public QWidget {
    Q_OBJECT

public:
    explicit TfrmMsgSource(QWidget* parent = nullptr);
    ~TfrmMsgSource() override;

    Ui::TfrmMsgSource* ui() const { return ui_.get(); }
    // Loads the file into the view (nothing when it cannot be read).
    void LoadFromFile(const std::string& path);
private:
    std::unique_ptr<Ui::TfrmMsgSource> ui_;

};

}  // namespace manager
