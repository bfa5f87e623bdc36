#pragma once
// What a screen reader sees of an office-style button: a push button named
// by its caption (it has no text of its own), which the reader can press.

#include <QAccessibleWidget>

class TOfficeButton;

class TOfficeButtonAccessible : public QAccessibleWidget {
public:
    explicit TOfficeButtonAccessible(TOfficeButton* button);

    QString text(QAccessible::Text kind) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

    // Makes every office-style button reach a reader through this
    // interface; once is enough, more is harmless.
    static void Install();
};
