#include "controls/qt_text.h"

#include "platform/rtf_text.h"

QString BytesToQString(std::string_view bytes)
{
    std::string utf8 = platform::ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string QStringToBytes(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}
