// The sx_ calls that describe, read and write fields and memos.

#include "xbase/sx.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xbase/sx_engine.h"
#include "xbase/expr/date_text.h"
#include "xbase/expr/julian.h"
#include "xbase/file_names.h"
#include "xbase/record_values.h"

using namespace xbase;
using namespace xbase::sx_detail;

int sx_FieldCount() { return guarded(0, [] { return static_cast<int>(area().table().fields().size()); }); }

std::string sx_FieldName(int index) {
    return guarded(std::string(), [&] {
        const auto& fs = area().table().fields();
        if (index < 1 || static_cast<std::size_t>(index) > fs.size()) return std::string();
        return fs[static_cast<std::size_t>(index) - 1].name;
    });
}

int sx_FieldNum(const char* name) {
    return guarded(0, [&] {
        WorkArea& a = area();
        const std::string n = upperCase(text(name, 31, "field name"));
        const auto& fs = a.table().fields();
        for (std::size_t i = 0; i < fs.size(); ++i) if (fs[i].name == n) return int(i) + 1;
        return 0;
    });
}

char sx_FieldType(const char* name) { return guarded('\0', [&] { return field(area(), name).type; }); }
int sx_FieldWidth(const char* name) { return guarded(0, [&] { return field(area(), name).width; }); }
int sx_FieldDecimals(const char* name) { return guarded(0, [&] { return field(area(), name).decimals; }); }
int sx_FieldOffset(const char* name) { return guarded(0, [&] { return field(area(), name).offset; }); }

std::string sx_GetString(const char* name) {
    return guarded(std::string(), [&] {
        WorkArea& a = area();
        const FieldDef& f = field(a, name);
        return isMemo(f) ? memoOf(a, f) : rawField(a, f);
    });
}

std::string sx_GetTrimString(const char* name) { return trimRight(sx_GetString(name)); }

std::string sx_GetDateString(const char* name) {
    return guarded(std::string(), [&] {
        WorkArea& a = area();
        const FieldDef& f = field(a, name);
        if (f.type != 'D') throw XbaseError(kErrValue, "field " + f.name + " is not a date");
        return expr::formatDtoc(julianFromDateText(rawField(a, f)), settings().evalSettings());
    });
}

bool sx_GetLogical(const char* name) {
    return guarded(false, [&] {
        WorkArea& a = area();
        const FieldDef& f = field(a, name);
        const Value v = fieldValue(f, a.readRecord(), nullptr);
        return v.type == ValueType::Logical && v.logical;
    });
}

bool sx_Empty(const char* name) {
    return guarded(true, [&] {
        WorkArea& a = area();
        const FieldDef& f = field(a, name);
        if (isMemo(f)) return memoOf(a, f).empty();
        const std::string raw = rawField(a, f);
        switch (f.type) {
        case 'N':
        case 'F': return fieldValue(f, a.readRecord(), nullptr).number == 0;
        case 'L': return !(raw[0] == 'T' || raw[0] == 't' || raw[0] == 'Y' || raw[0] == 'y');
        default: return raw.find_first_not_of(' ') == std::string::npos;
        }
    });
}

bool sx_Replace(const char* name, int kind, const void* value) {
    return guarded(false, [&] {
        WorkArea& a = area();
        a.replaceField(field(a, name), kind, value);
        return true;
    });
}

char* sx_GetMemo(const char* name, int) {
    return guarded(static_cast<char*>(nullptr), [&] {
        WorkArea& a = area();
        const FieldDef& f = field(a, name);
        if (!isMemo(f)) throw XbaseError(kErrValue, "field " + f.name + " is not a memo");
        const std::string m = memoOf(a, f);
        char* out = static_cast<char*>(std::malloc(m.size() + 1));
        if (!out) throw std::bad_alloc();
        std::memcpy(out, m.data(), m.size());
        out[m.size()] = '\0';
        return out;
    });
}

void sx_MemDealloc(void* memory) { std::free(memory); }

int32_t sx_GetBlobLength(const char* name) {
    return guarded(0, [&] {
        WorkArea& a = area();
        const FieldDef& f = field(a, name);
        if (!isMemo(f)) throw XbaseError(kErrValue, "field " + f.name + " is not a memo");
        return static_cast<int32_t>(memoOf(a, f).size());
    });
}

int32_t sx_GetBlob(const char* name, void* buffer) {
    return guarded(0, [&] {
        WorkArea& a = area();
        const FieldDef& f = field(a, name);
        if (!isMemo(f)) throw XbaseError(kErrValue, "field " + f.name + " is not a memo");
        if (!buffer) throw XbaseError(kErrArgument, "no buffer given");
        const std::string m = memoOf(a, f);
        std::memcpy(buffer, m.data(), m.size());
        return static_cast<int32_t>(m.size());
    });
}

bool sx_PutBlob(const char* name, const void* data, int32_t length) {
    return guarded(false, [&] {
        WorkArea& a = area();
        if (length < 0 || (length > 0 && !data)) throw XbaseError(kErrArgument, "bad memo data");
        a.putBlob(field(a, name), std::string(static_cast<const char*>(data), static_cast<std::size_t>(length)));
        return true;
    });
}

int sx_IsEncrypted(int) { return 0; }
