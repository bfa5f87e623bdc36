#pragma once
// Byte texts at the Qt boundary: shown as UTF-8 when they are valid UTF-8,
// else as Windows-1252; what Qt hands back is stored as UTF-8.

#include <QString>

#include <string>
#include <string_view>

QString BytesToQString(std::string_view bytes);
std::string QStringToBytes(const QString& text);
