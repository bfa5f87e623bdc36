#include "controls/system_resources.h"

#include <unistd.h>

std::uint64_t PhysicalMemoryBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

int GetFreeSystemResources() { return 100; }

namespace {

QString grouped(std::uint64_t value)
{
    QString digits = QString::number(value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

}  // namespace

QString FormatNumberPicture(std::uint64_t value, const QString& picture)
{
    QString out;
    bool numberDone = false;
    bool separators = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = picture.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? picture.size() : end;
            out += picture.mid(i + 1, stop - i - 1);
            i = stop;
        } else if (c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char(',')) {
            // The whole digit run is one number, written where it starts.
            qsizetype j = i;
            while (j < picture.size() && (picture[j] == QLatin1Char('#') || picture[j] == QLatin1Char('0') ||
                                          picture[j] == QLatin1Char(','))) {
                if (picture[j] == QLatin1Char(','))
                    separators = true;
                ++j;
            }
            if (!numberDone)
                out += separators ? grouped(value) : QString::number(value);
            numberDone = true;
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

QString FormatPercentText(const QString& format, int value)
{
    QString out;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == QLatin1Char('%') && i + 1 < format.size()) {
            const QChar next = format[i + 1];
            if (next == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            if (next == QLatin1Char('d')) {
                out += QString::number(value);
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}
