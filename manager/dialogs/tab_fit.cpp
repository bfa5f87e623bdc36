#include "manager/dialogs/tab_fit.h"

#include <QEvent>
#include <QTabBar>
#include <QTabWidget>

namespace manager {

namespace {

// Narrower first (a condensed face, or the font drawn narrower), then
// smaller; never below nine tenths of the window's size.
struct Step {
    int stretch;
    double scale;
};
constexpr Step kSteps[] = {{100, 1.0}, {87, 1.0}, {75, 1.0}, {75, 0.95}, {75, 0.9}};

class TabFitter : public QObject {
public:
    explicit TabFitter(QTabWidget& tabs) : QObject(&tabs), tabs_(tabs)
    {
        tabs_.tabBar()->setElideMode(Qt::ElideNone);
        tabs_.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &tabs_ && event->type() == QEvent::Resize)
            fit();
        return false;
    }

    void fit()
    {
        QTabBar* bar = tabs_.tabBar();
        const QFont base = tabs_.font();
        for (const Step& step : kSteps) {
            QFont font = base;
            if (step.stretch != 100)
                font.setStretch(step.stretch);
            if (step.scale != 1.0 && base.pointSizeF() > 0)
                font.setPointSizeF(base.pointSizeF() * step.scale);
            else if (step.scale != 1.0)
                font.setPixelSize(static_cast<int>(base.pixelSize() * step.scale));
            bar->setFont(font);
            if (bar->sizeHint().width() <= tabs_.width())
                return;
        }
    }

private:
    QTabWidget& tabs_;
};

}  // namespace

void FitTabsToWidth(QTabWidget& tabs) { (new TabFitter(tabs))->fit(); }

}  // namespace manager
