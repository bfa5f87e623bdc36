// Field descriptors and single field values in record buffers.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/datetime.h"
#include "tables/cursor_interface.h"
#include "tables/error_report.h"
#include "tables/table_type.h"
#include "tables/text_util.h"
#include "tables/wa_guard.h"
#include "xbase/engine_settings.h"
#include "xbase/sx.h"

namespace tables {

namespace {

bool memoHoldsBinary(const std::string& name, int driver) {
    const int32_t length = sx_GetBlobLength(name.c_str());
    if (driver == kDriverNTX) return !sx_Empty(name.c_str()) && length > 0;
    if (length <= 1) return false;
    std::string bytes(static_cast<size_t>(length), '\0');
    const int32_t got = sx_GetBlob(name.c_str(), bytes.data());
    bytes.resize(static_cast<size_t>(std::max(got, 0)));
    return !bytes.empty() && bytes.find('\0') < bytes.size() - 1;
}

bool allBlank(std::string_view bytes) {
    return bytes.find_first_not_of(' ') == std::string_view::npos;
}

bool validUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Cut to the width without splitting a UTF-8 character; other texts are
// single-byte and cut at the width.
std::string cutToWidth(const std::string& text, size_t width) {
    if (text.size() <= width) return text;
    size_t cut = width;
    if (validUtf8(text))
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

// Read from the setting itself: an expression would be evaluated on the
// current area's record, which costs a read of it from the file.
bool centuryOn() { return xbase::settings().century; }

int engineEpoch() {
    const int previous = sx_SetEpoch(1900);
    sx_SetEpoch(previous);
    return previous;
}

// The date as stored: four-digit year, moved into the epoch window when
// the engine reads two-digit years through one.
std::string dateBytes(DayNumber value) {
    int year = 0, month = 0, day = 0;
    platform::DecodeDate(static_cast<TDateTime>(value.days - kDayNumberOffset), year, month, day);
    if (!centuryOn()) {
        const int epoch = engineEpoch();
        if (epoch != 1900) {
            int shifted = year;
            if (year < epoch) shifted += 100;
            else if (year > epoch + 100) shifted -= 100;
            TDateTime check = 0;
            if (platform::TryEncodeDate(shifted, month, day, check)) year = shifted;
        }
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", year % 10000, month, day);
    return buf;
}

// Fixed notation at the field's decimals; decimals are given up one at a
// time while the text is too wide, but only when it is at most width plus
// decimals plus one long to begin with.
bool numberText(double value, int width, int decimals, std::string& out) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string text = buf;
    if (static_cast<int>(text.size()) > width) {
        if (static_cast<int>(text.size()) > width + decimals + 1) return false;
        for (int d = decimals - 1; d >= 0 && static_cast<int>(text.size()) > width; --d) {
            std::snprintf(buf, sizeof buf, "%.*f", d, value);
            text = buf;
        }
        if (static_cast<int>(text.size()) > width) return false;
    }
    out = std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
    return true;
}

}  // namespace

void CursorInterface::buildFieldDescs(TTableWorkArea& wa) {
    wa.fields = FieldDescArrays{};
    wa.fieldCount = sx_FieldCount();
    for (int i = 1; i <= wa.fieldCount; ++i) {
        const std::string name = sx_FieldName(i);
        const char letter = sx_FieldType(name.c_str());
        const bool external = letter == 'C' && sx_SysProp(SX_SP_FIELD_EXTERNAL, i) != 0;
        const bool binary = letter == 'M' && memoHoldsBinary(name, wa.driver);
        // The engine counts offsets from the deletion byte (0): that is the
        // physical position; the logical one is 1-based.
        describeField(wa.fields, i, name, letter, sx_FieldWidth(name.c_str()),
                      sx_FieldDecimals(name.c_str()), sx_FieldOffset(name.c_str()) + 1, external, binary);
    }
}

DBIResult CursorInterface::GetFieldDescs(int handle, std::vector<FieldDesc>& descs) {
    if (!areaInUse(handle)) return kInvalidHandle;
    TTableWorkArea* wa = areas_[handle].get();
    if (!wa) {
        reportError("Error in GetFieldDescs");
        return kInvalidHandle;
    }
    descs = wa->translateMode == 0 ? wa->fields.physical : wa->fields.logical;
    return kOk;
}

DBIResult CursorInterface::GetField(int handle, int field, const std::string& record, FieldValue* value,
                                    bool* blank) {
    TTableWorkArea* wa = workArea(handle);
    if (!wa) return kInvalidHandle;
    const FieldDesc* logical = wa->logicalField(field);
    if (!logical) return kInvalidHandle;
    const FieldDesc& physical = wa->fields.physical[static_cast<size_t>(field - 1)];
    if (logical->type == fldBlob || logical->type == fldInvalid) return kOk;
    if (static_cast<size_t>(physical.offset + physical.length) > record.size()) return kValueTooWide;
    const std::string bytes = record.substr(static_cast<size_t>(physical.offset),
                                            static_cast<size_t>(physical.length));
    const bool isBlank = allBlank(bytes);
    if (blank) *blank = isBlank;
    if (isBlank || !value) return kOk;
    switch (logical->type) {
    case fldText: *value = trimRight(bytes); break;
    case fldDate: {
        TDateTime date = 0;
        const int y = std::atoi(bytes.substr(0, 4).c_str());
        const int m = std::atoi(bytes.substr(4, 2).c_str());
        const int d = std::atoi(bytes.substr(6, 2).c_str());
        if (!platform::TryEncodeDate(y, m, d, date)) {
            if (blank) *blank = true;
            return kOk;
        }
        *value = DayNumber{static_cast<int32_t>(date) + kDayNumberOffset};
        break;
    }
    case fldBoolean: *value = bytes[0] == 'T' || bytes[0] == 't'; break;
    case fldInt16: *value = static_cast<int32_t>(std::strtol(bytes.c_str(), nullptr, 10)); break;
    case fldFloat: *value = std::strtod(trimLeft(bytes).c_str(), nullptr); break;
    default: break;
    }
    return kOk;
}

DBIResult CursorInterface::PutField(int handle, int field, std::string& record, const FieldValue* value) {
    TTableWorkArea* wa = workArea(handle);
    if (!wa) return kInvalidHandle;
    const FieldDesc* logical = wa->logicalField(field);
    if (!logical) return kInvalidHandle;
    const FieldDesc& physical = wa->fields.physical[static_cast<size_t>(field - 1)];
    if (logical->type == fldBlob || logical->type == fldInvalid) return kOk;
    const auto width = static_cast<size_t>(physical.length);
    if (static_cast<size_t>(physical.offset) + width > record.size()) return kValueTooWide;
    std::string bytes(width, ' ');
    switch (logical->type) {
    case fldText:
        if (value) {
            const auto* text = std::get_if<std::string>(value);
            if (!text) return kValueTooWide;
            const std::string cut = cutToWidth(*text, width);
            bytes.replace(0, cut.size(), cut);
        }
        break;
    case fldDate:
        if (value) {
            const auto* date = std::get_if<DayNumber>(value);
            if (!date) return kValueTooWide;
            bytes = dateBytes(*date);
        }
        break;
    case fldBoolean: {
        const auto* flag = value ? std::get_if<bool>(value) : nullptr;
        bytes[0] = flag && *flag ? 'T' : 'F';
        break;
    }
    case fldInt16:
        if (value) {
            const auto* number = std::get_if<int32_t>(value);
            if (!number) return kValueTooWide;
            const std::string text = std::to_string(*number);
            if (text.size() > width) return kValueTooWide;
            bytes = std::string(width - text.size(), ' ') + text;
        }
        break;
    case fldFloat: {
        double number = 0;
        if (value) {
            if (const auto* d = std::get_if<double>(value)) number = *d;
            else if (const auto* i = std::get_if<int32_t>(value)) number = *i;
            else return kValueTooWide;
        }
        if (!std::isfinite(number) ||
            !numberText(number, static_cast<int>(width), logical->units2, bytes))
            return kValueTooWide;
        break;
    }
    default: break;
    }
    record.replace(static_cast<size_t>(physical.offset), width, bytes);
    return kOk;
}

}  // namespace tables
