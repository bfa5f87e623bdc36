#pragma once
// The about box of the tray programs: a modal dialog filled from its
// properties and from the application (title, icon, physical memory, free
// system resources).

#include <QDialog>
#include <QObject>
#include <QString>

#include <memory>

namespace Ui {
class TEPAboutDialogFm;
}

// The about form; exists only while the about box is shown.
class TEPAboutDialogFm : public QDialog {
    Q_OBJECT

public:
    explicit TEPAboutDialogFm(QWidget* parent = nullptr);
    ~TEPAboutDialogFm() override;

    Ui::TEPAboutDialogFm* ui() const { return ui_.get(); }

protected:
    // Escape closes like the OK button.
    void reject() override { accept(); }

private:
    std::unique_ptr<Ui::TEPAboutDialogFm> ui_;
};

class TEPAboutDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString caption MEMBER caption)
    Q_PROPERTY(QString copyright MEMBER copyright)
    Q_PROPERTY(QString customButton MEMBER customButton)
    Q_PROPERTY(QString description MEMBER description)
    Q_PROPERTY(QString product MEMBER product)
    Q_PROPERTY(QString serial MEMBER serial)

public:
    explicit TEPAboutDialog(QObject* parent = nullptr);

    QString caption;
    QString copyright;
    QString customButton;
    QString description;
    QString product;
    QString serial;

    // The about form filled as Execute shows it.
    std::unique_ptr<TEPAboutDialogFm> CreateForm(QWidget* parent = nullptr);
    // Shows the about box modally and returns when it is closed.
    void Execute();

signals:
    void customClicked();
    void iconDoubleClicked();
};
