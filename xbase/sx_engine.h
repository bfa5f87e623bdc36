#pragma once
// What the sx_ call files share: the program-wide work areas, the current
// area, the last error, and the guard that turns engine errors into a
// call's failure answer. Internal to the engine.

#include <array>
#include <memory>
#include <new>
#include <string>

#include "xbase/engine_errors.h"
#include "xbase/engine_settings.h"
#include "xbase/error.h"
#include "xbase/work_area.h"

namespace xbase::sx_detail {

constexpr int kMaxArea = 255;

struct Engine {
    std::array<std::unique_ptr<WorkArea>, kMaxArea + 1> areas;
    int current = 0;
    int lastCode = 0;
    std::string lastText;
    FileFault lastFault;
};

Engine& engine();
void closeAllAreas();
void fail(int code, const std::string& text, FileFault fault = {});

// Runs f; an engine error becomes onFail.
template <class R, class F>
R guarded(R onFail, F&& f) {
    beginCall();
    try {
        return f();
    } catch (const XbaseError& e) {
        fail(e.code(), e.what(), e.fault());
    } catch (const std::bad_alloc&) {
        fail(kErrIo, "out of memory");
    } catch (const std::exception& e) {
        fail(kErrIo, e.what());
    }
    return onFail;
}

template <class F>
void guardedVoid(F&& f) {
    guarded(0, [&] {
        f();
        return 0;
    });
}

// The current area; XbaseError when it holds no table.
WorkArea& area();
// The current area or nullptr.
WorkArea* currentOrNull();
// A caller's text, refused (not cut) when longer than limit.
std::string text(const char* s, std::size_t limit, const char* what);
const FieldDef& field(WorkArea& a, const char* name);
std::string rawField(WorkArea& a, const FieldDef& f);
bool isMemo(const FieldDef& f);
std::string memoOf(WorkArea& a, const FieldDef& f);
std::string trimRight(std::string s);
const OpenTag& tagAt(int order);
// Evaluates on the current record (no fields without a current area).
Value evaluateOnCurrent(const std::string& expression, Expression* compiled = nullptr);

}  // namespace xbase::sx_detail
