#include "xbase/sx_engine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "xbase/file_names.h"

namespace xbase::sx_detail {

Engine& engine() {
    // Never destroyed, so that objects torn down at program exit may still
    // call the engine; the tables are closed at exit all the same.
    static Engine& e = [] () -> Engine& {
        auto* made = new Engine;
        std::atexit([] { closeAllAreas(); });
        return *made;
    }();
    return e;
}

void closeAllAreas() {
    Engine& e = engine();
    for (auto& a : e.areas) {
        try {
            a.reset();
        } catch (...) {
            a.release();
        }
    }
    e.current = 0;
}

void fail(int code, const std::string& text, FileFault fault) {
    engine().lastCode = code;
    engine().lastText = text;
    engine().lastFault = std::move(fault);
    if (settings().errorLevel > 0) std::fprintf(stderr, "xbase: %s\n", text.c_str());
}

WorkArea& area() {
    Engine& e = engine();
    if (e.current < 1 || e.current > kMaxArea || !e.areas[static_cast<std::size_t>(e.current)]) {
        throw XbaseError(kErrNoTable, "no table is open in the current work area");
    }
    WorkArea& a = *e.areas[static_cast<std::size_t>(e.current)];
    // Another area of this program reads the files as other programs do.
    Table::commitWaitingRow(&a.table());
    return a;
}

std::string text(const char* s, std::size_t limit, const char* what) {
    if (!s) return {};
    const std::size_t n = strnlen(s, limit + 1);
    if (n > limit) throw XbaseError(kErrTooLong, std::string(what) + " is longer than " + std::to_string(limit) + " characters");
    return std::string(s, n);
}

const FieldDef& field(WorkArea& a, const char* name) {
    const std::string n = upperCase(text(name, 31, "field name"));
    for (const auto& f : a.table().fields()) {
        if (f.name == n) return f;
    }
    throw XbaseError(kErrNoField, "no field " + n + " in " + a.alias());
}

std::string rawField(WorkArea& a, const FieldDef& f) {
    return a.readRecord().substr(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.width));
}

bool isMemo(const FieldDef& f) { return f.type == 'M' || f.type == 'G' || f.type == 'B' || f.type == 'P'; }

std::string memoOf(WorkArea& a, const FieldDef& f) { return a.table().memoText(f, a.readRecord()); }

std::string trimRight(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

namespace {

// Expressions evaluated outside any table (no current area) see no fields.
class NoRecord : public RecordSource {
public:
    Value field(int) const override { throw XbaseError(kErrNoField, "no table is open"); }
    uint32_t recNo() const override { return 0; }
    bool deleted() const override { return false; }
};

}  // namespace

WorkArea* currentOrNull() {
    Engine& e = engine();
    if (e.current < 1 || e.current > kMaxArea) return nullptr;
    WorkArea* a = e.areas[static_cast<std::size_t>(e.current)].get();
    if (a) Table::commitWaitingRow(&a->table());
    return a;
}

Value evaluateOnCurrent(const std::string& expression, Expression* compiled) {
    if (expression.size() > kMaxExpressionLength) throw XbaseError(kErrTooLong, "expression is too long");
    WorkArea* a = currentOrNull();
    static const std::vector<FieldDef> none;
    Expression ex = Expression::compile(expression, a ? a->table().fields() : none);
    if (compiled) *compiled = ex;
    if (!a) return ex.evaluate(NoRecord(), settings().evalSettings());
    const uint32_t r = a->onRecord() ? a->recNo() : 0;
    return a->table().evaluate(ex, a->readRecord(), r);
}

const OpenTag& tagAt(int order) { return area().tagOf(order); }

}  // namespace xbase::sx_detail

namespace xbase {
int lastErrorCode() { return sx_detail::engine().lastCode; }
std::string lastErrorText() { return sx_detail::engine().lastText; }
std::string lastErrorFile() { return sx_detail::engine().lastFault.path; }
std::string lastErrorReason() { return sx_detail::engine().lastFault.reason; }
}  // namespace xbase
