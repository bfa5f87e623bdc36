#include "manager/dialogs/splash_pictures.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>

#include "platform/paths.h"

namespace manager {

namespace {

QPixmap shipped(const char* name, QSize size)
{
    const std::string path = platform::FindAsset(name);
    QPixmap picture;
    if (!path.empty() && picture.load(QFile::decodeName(QByteArray::fromStdString(path))))
        return picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return {};
}

void drawEnvelope(QPainter& painter, const QRectF& box)
{
    painter.setPen(QPen(QColor(240, 240, 240), box.width() / 24.0));
    painter.setBrush(QColor(60, 110, 190));
    painter.drawRect(box);
    painter.drawLine(box.topLeft(), QPointF(box.center().x(), box.center().y() + box.height() / 8));
    painter.drawLine(box.topRight(), QPointF(box.center().x(), box.center().y() + box.height() / 8));
}

}  // namespace

QPixmap SplashPicture(QSize size)
{
    QPixmap picture = shipped("splash.png", size);
    if (!picture.isNull())
        return picture;
    picture = QPixmap(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, size.height());
    ground.setColorAt(0, QColor(20, 40, 80));
    ground.setColorAt(1, Qt::black);
    painter.fillRect(picture.rect(), ground);
    const qreal w = size.width();
    const qreal h = size.height();
    drawEnvelope(painter, QRectF(w * 0.33, h * 0.16, w * 0.34, h * 0.27));
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(static_cast<int>(h / 6));
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, h * 0.48, w, h * 0.22), Qt::AlignCenter, QStringLiteral("Tarsel"));
    QFont line(QStringLiteral("Arial"));
    line.setPixelSize(static_cast<int>(h / 20));
    painter.setFont(line);
    painter.setPen(QColor(190, 200, 220));
    painter.drawText(QRectF(0, h * 0.72, w, h * 0.1), Qt::AlignCenter,
                     QStringLiteral("Inbox Polling / Mail Handling System"));
    return picture;
}

QPixmap SplashCornerPicture(QSize size)
{
    QPixmap picture = shipped("splashcorner.png", size);
    if (!picture.isNull())
        return picture;
    picture = QPixmap(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawEnvelope(painter, QRectF(2, size.height() * 0.2, size.width() - 4, size.height() * 0.6));
    return picture;
}

}  // namespace manager
