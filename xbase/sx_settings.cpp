// The engine-wide settings and sx_SysProp.

#include "xbase/sx.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xbase/sx_engine.h"

using namespace xbase;
using namespace xbase::sx_detail;

int sx_SetEpoch(int year) {
    const int previous = settings().epoch;
    settings().epoch = year;
    return previous;
}
void sx_SetCentury(int flag) { settings().century = flag != 0; }
void sx_SetDateFormat(int format) { settings().dateFormat = format; }
void sx_SetDeleted(int flag) { settings().deleted = flag != 0; }
void sx_SetExact(int flag) { settings().exact = flag != 0; }
void sx_SetSoftSeek(int flag) { settings().softSeek = flag != 0; }
void sx_SetLockTimeout(int seconds) { settings().lockTimeoutSeconds = seconds < 0 ? 0 : seconds; }
void sx_SetMemoBlockSize(int bytes) {
    if (bytes < 32 || bytes > 16384) return fail(kErrArgument, "memo block size must be 32 to 16384");
    settings().memoBlockSize = bytes;
}
void sx_SetTurboRead(int) {}

std::intptr_t sx_SysProp(int code, std::intptr_t value) {
    EngineSettings& s = settings();
    auto swap = [&](auto& setting, auto next) {
        const std::intptr_t previous = static_cast<std::intptr_t>(setting);
        setting = next;
        return previous;
    };
    switch (code) {
    case SX_SP_GET_SOFTSEEK: return s.softSeek ? 1 : 0;
    case SX_SP_SET_SOFTSEEK: return swap(s.softSeek, value != 0);
    case SX_SP_GET_EXACT: return s.exact ? 1 : 0;
    case SX_SP_SET_EXACT: return swap(s.exact, value != 0);
    case SX_SP_HIDES_RECORDS: return guarded(std::intptr_t{0}, [&] { return std::intptr_t(area().hasScope() || s.deleted); });
    case SX_SP_REFRESH:
        return guarded(std::intptr_t{0}, [] {
            area().refresh();
            return std::intptr_t{1};
        });
    case SX_SP_ERROR_LEVEL: return swap(s.errorLevel, static_cast<int>(value));
    case SX_SP_BLOB_TYPE: return swap(s.blobType, static_cast<int>(value));
    case SX_SP_ORDER_COUNT: return guarded(std::intptr_t{0}, [] { return static_cast<std::intptr_t>(area().table().tags().size()); });
    case SX_SP_DESCENDING:
        return guarded(std::intptr_t{0}, [&] { return std::intptr_t(tagAt(static_cast<int>(value)).spec.descending ? 1 : 0); });
    case SX_SP_RECORD_BUFFER: return guarded(std::intptr_t{0}, [] { return reinterpret_cast<std::intptr_t>(area().buffer()); });
    case SX_SP_AREA_IN_USE: return value >= 1 && value <= kMaxArea && engine().areas[static_cast<std::size_t>(value)] ? 1 : 0;
    case SX_SP_RELEASE:
        sx_CloseAll();
        return 1;
    case SX_SP_TAG_NAMES: return guarded(std::intptr_t{0}, [] { return std::intptr_t(area().table().driver() == SX_DRIVER_FOX ? 1 : 0); });
    case SX_SP_FIELD_EXTERNAL: return 0;
    default: return 0;
    }
}
