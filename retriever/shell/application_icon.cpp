#include "retriever/shell/application_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "controls/qt_text.h"
#include "platform/paths.h"

namespace shell {

namespace {

QPixmap drawnEnvelope(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 160));
    p.drawRoundedRect(QRectF(1 * s, 1 * s, 30 * s, 30 * s), 5 * s, 5 * s);
    const QRectF letter(6 * s, 9 * s, 20 * s, 14 * s);
    p.setBrush(Qt::white);
    p.drawRect(letter);
    QPainterPath flap;
    flap.moveTo(letter.topLeft());
    flap.lineTo(letter.center().x(), letter.top() + 8 * s);
    flap.lineTo(letter.topRight());
    p.setPen(QPen(QColor(30, 90, 160), 1.5 * s));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    return pixmap;
}

}  // namespace

QIcon ApplicationIcon()
{
    const std::string asset = platform::FindAsset("tarsel.png");
    if (!asset.empty()) {
        QIcon icon(BytesToQString(asset));
        if (!icon.isNull())
            return icon;
    }
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64})
        icon.addPixmap(drawnEnvelope(size));
    return icon;
}

}  // namespace shell
