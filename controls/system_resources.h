#pragma once
// What the about box reports of the machine, and the two small formats its
// value labels carry as their design text.

#include <QString>

#include <cstdint>

// Total physical memory in bytes (0 when the system does not say).
std::uint64_t PhysicalMemoryBytes();
// Share of free system resources in per cent; this platform keeps no such
// meter, so it is always 100.
int GetFreeSystemResources();

// A number through a picture such as '#,###" KB"': "," asks for thousands
// separators, quoted text is copied, other characters outside the digits
// stay as they are.
QString FormatNumberPicture(std::uint64_t value, const QString& picture);
// A printf-style text with one "%d" and "%%".
QString FormatPercentText(const QString& format, int value);
