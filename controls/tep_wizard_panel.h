#pragma once
// The wizard's button bar: its buttons right-aligned from the right edge,
// each followed by the gap its Tag asks for, under an etched line.

#include <QWidget>

class TEPWizardPanel : public QWidget {
    Q_OBJECT

public:
    explicit TEPWizardPanel(QWidget* parent = nullptr);

    // Places the visible buttons in creation order from the right.
    void AlignButtons();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void childEvent(QChildEvent* event) override;
};
