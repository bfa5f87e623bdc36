#pragma once
// The splash window: shown by the program block while the main window is
// made, and again, modally, as the About box. A click on it, on its bottom
// text or its (unseen) Close button closes it.

#include <QDialog>

#include <memory>

namespace Ui {
class TSplashForm;
}

namespace manager {

class TSplashForm : public QDialog {
    Q_OBJECT

public:
    explicit TSplashForm(QWidget* parent = nullptr);
    ~TSplashForm() override;

    Ui::TSplashForm* ui() const { return ui_.get(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TSplashForm> ui_;
};

}  // namespace manager
