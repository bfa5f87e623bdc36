// The sx_ calls that open, select and close work areas, and the binding calls.

#include "xbase/sx.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xbase/sx_engine.h"
#include "xbase/file_names.h"

using namespace xbase;
using namespace xbase::sx_detail;

void NotifyUse(int) {}
void sx_SetStringType(int) {}
std::string sx_Version() { return "3.00.00"; }


int sx_Use(const char* path, const char* alias, int mode, int driver) {
    return guarded(0, [&] {
        const std::string p = text(path, kMaxPathLength, "table path");
        if (p.empty()) throw XbaseError(kErrArgument, "no table name given");
        if (driver < SX_DRIVER_NTX || driver > SX_DRIVER_NSX) throw XbaseError(kErrDriver, "unknown driver " + std::to_string(driver));
        if (mode < SX_SHARED || mode > SX_EXCLUSIVE) throw XbaseError(kErrArgument, "unknown open mode " + std::to_string(mode));
        auto found = findIgnoringCase(p);
        if (!found && baseNameOf(p) == p.substr(p.rfind('/') + 1)) found = findIgnoringCase(p + ".dbf");
        if (!found) throw XbaseError(kErrOpen, "table not found: " + p, systemFault(p, ENOENT));
        std::string a = upperCase(text(alias, kMaxAliasLength, "alias"));
        if (a.empty()) a = upperCase(baseNameOf(*found));
        if (a.size() > kMaxAliasLength) throw XbaseError(kErrTooLong, "alias is too long: " + a);
        Engine& e = engine();
        int slot = 0;
        for (int i = 1; i <= kMaxArea; ++i) {
            const auto& w = e.areas[static_cast<std::size_t>(i)];
            if (w && w->alias() == a) throw XbaseError(kErrAlias, "alias " + a + " is in use");
            if (!w && slot == 0) slot = i;
        }
        if (slot == 0) throw XbaseError(kErrNoArea, "all work areas are in use");
        const OpenMode m = mode == SX_READONLY ? OpenMode::ReadOnly : mode == SX_EXCLUSIVE ? OpenMode::Exclusive : OpenMode::Shared;
        auto table = std::make_unique<Table>(*found, m, driver);
        e.areas[static_cast<std::size_t>(slot)] = std::make_unique<WorkArea>(std::move(table), a, *found);
        e.current = slot;
        return slot;
    });
}

int sx_WorkArea(const char* alias) {
    return guarded(0, [&] {
        const std::string a = upperCase(text(alias, kMaxAliasLength, "alias"));
        Engine& e = engine();
        if (a.empty()) return e.current;
        for (int i = 1; i <= kMaxArea; ++i) {
            if (e.areas[static_cast<std::size_t>(i)] && e.areas[static_cast<std::size_t>(i)]->alias() == a) return i;
        }
        return 0;
    });
}

int sx_Select(int n) {
    Engine& e = engine();
    const int previous = e.current;
    if (n < 1 || n > kMaxArea || !e.areas[static_cast<std::size_t>(n)]) {
        // A closed area never silently stands in for the current one.
        fail(kErrNoTable, "work area " + std::to_string(n) + " holds no table");
        return previous;
    }
    e.current = n;
    return previous;
}

std::string sx_Alias(int n) {
    Engine& e = engine();
    if (n == 0) n = e.current;
    if (n < 1 || n > kMaxArea || !e.areas[static_cast<std::size_t>(n)]) return {};
    return e.areas[static_cast<std::size_t>(n)]->alias();
}

bool sx_Close() {
    return guarded(false, [] {
        area();
        Engine& e = engine();
        e.areas[static_cast<std::size_t>(e.current)].reset();
        e.current = 0;
        return true;
    });
}

void sx_CloseAll() { closeAllAreas(); }

std::string sx_BaseName() {
    return guarded(std::string(), [] { return area().path(); });
}
