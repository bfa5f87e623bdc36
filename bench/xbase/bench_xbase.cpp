// Table engine throughput on one workload, run in this order: append to a
// table opened exclusive, seek random existing keys, walk every row in key
// order, mark every second row deleted, pack, and append to a second table
// opened shared with a lock taken and released per row; last, the same
// shared append with no lock asked for (sx_AppendEx's own lock only).
//
// The table: KEY C20, LINK C20 (5,000 distinct values), N N10, D D, MEMO M
// (a short memo in every 10th row); tags KEY, LINK and STR(N,10) made on the
// empty table; every field written with sx_Replace.
// Rows: 100,000, or the number in BENCH_XBASE_ROWS (a smaller run for strace).
// With BENCH_XBASE_SYSCALLS=1, and where the kernel lets the program count
// its own system calls, the writing lines report them per row
// ("syscalls/row"); counting costs every call a little, so rates are best
// taken without it.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "syscall_counter.h"
#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace {

int rows() {
    static const int n = [] {
        const char* v = std::getenv("BENCH_XBASE_ROWS");
        const int parsed = v ? std::atoi(v) : 0;
        return parsed > 0 ? parsed : 100000;
    }();
    return n;
}

xbase::FieldDef fieldDef(const std::string& name, char type, int width) {
    xbase::FieldDef f;
    f.name = name;
    f.type = type;
    f.width = width;
    return f;
}

// Row i's key: a permutation of 0..rows-1, so appends do not come in key order.
std::string keyOf(int i) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "K%08lld", static_cast<long long>(i) * 7919 % rows());
    return buf;
}

const std::string& folder() {
    // A private folder, removed when the program ends.
    struct Folder {
        std::string path;
        Folder() {
            char pattern[] = "/tmp/bench_xbase_XXXXXX";
            path = mkdtemp(pattern);
        }
        ~Folder() {
            sx_CloseAll();
            std::filesystem::remove_all(path);
        }
    };
    static const Folder f;
    return f.path;
}

// A new empty table with its three tags, open in the given mode and current.
void makeEmptyTable(const std::string& name, int mode) {
    const std::string path = folder() + "/" + name + ".dbf";
    sx_CloseAll();
    for (const char* ext : {".dbf", ".fpt", ".cdx"}) std::filesystem::remove(folder() + "/" + name + ext);
    xbase::createTable(path, {fieldDef("KEY", 'C', 20), fieldDef("LINK", 'C', 20), fieldDef("N", 'N', 10),
                              fieldDef("D", 'D', 8), fieldDef("MEMO", 'M', 10)});
    sx_Use(path.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX);
    sx_IndexTag(nullptr, "KEY", "KEY", 0, 0, nullptr);
    sx_IndexTag(nullptr, "LINK", "LINK", 0, 0, nullptr);
    sx_IndexTag(nullptr, "N", "STR(N,10)", 0, 0, nullptr);
    if (mode != SX_EXCLUSIVE) {
        sx_CloseAll();
        sx_Use(path.c_str(), nullptr, mode, SX_DRIVER_FOX);
    }
    sx_SetOrder(0);
}

void writeFields(int i) {
    char link[24];
    std::snprintf(link, sizeof link, "L%05d", i % 5000);
    char date[16];
    std::snprintf(date, sizeof date, "20%02d%02d%02d", i % 30, i % 12 + 1, i % 28 + 1);
    const double n = i;
    sx_Replace("KEY", SX_R_CHAR, keyOf(i).c_str());
    sx_Replace("LINK", SX_R_CHAR, link);
    sx_Replace("N", SX_R_DOUBLE, &n);
    sx_Replace("D", SX_R_CHAR, date);
    if (i % 10 == 0) sx_Replace("MEMO", SX_R_MEMO, "a short memo of a few words");
}

void rate(benchmark::State& state, double items) {
    state.counters["rows/s"] = benchmark::Counter(items * double(state.iterations()), benchmark::Counter::kIsRate);
}

SyscallCounter& syscalls() {
    static SyscallCounter counter([] {
        const char* v = std::getenv("BENCH_XBASE_SYSCALLS");
        return v && std::string(v) == "1";
    }());
    return counter;
}

// Counts the system calls of the timed part of one benchmark line, from its
// making to report(): setup that pauses the timing pauses the count too.
class CountedLine {
public:
    explicit CountedLine(benchmark::State& state) : state_(state), before_(syscalls().count()) { syscalls().start(); }
    void pause() {
        syscalls().stop();
        state_.PauseTiming();
    }
    void resume() {
        state_.ResumeTiming();
        syscalls().start();
    }
    void report(double items) {
        syscalls().stop();
        rate(state_, items);
        if (!syscalls().available()) return;
        const double calls = double(syscalls().count() - before_);
        state_.counters["syscalls/row"] = calls / (items * double(state_.iterations()));
    }

private:
    benchmark::State& state_;
    uint64_t before_;
};

void BM_1_AppendExclusive(benchmark::State& state) {
    CountedLine line(state);
    for (auto _ : state) {
        line.pause();
        makeEmptyTable("main", SX_EXCLUSIVE);
        line.resume();
        for (int i = 0; i < rows(); ++i) {
            sx_AppendEx();
            writeFields(i);
        }
    }
    line.report(rows());
}

void BM_2_Seek(benchmark::State& state) {
    sx_SetOrder(sx_TagArea("KEY"));
    std::mt19937 random(7);
    int found = 0;
    for (auto _ : state) {
        for (int i = 0; i < rows(); ++i) found += sx_Seek(keyOf(static_cast<int>(random() % unsigned(rows()))).c_str());
    }
    if (found != rows() * int(state.iterations())) state.SkipWithError("a seek missed an existing key");
    rate(state, rows());
}

void BM_3_SkipInKeyOrder(benchmark::State& state) {
    sx_SetOrder(sx_TagArea("KEY"));
    int seen = 0;
    for (auto _ : state) {
        sx_GoTop();
        while (!sx_Eof()) {
            ++seen;
            sx_Skip(1);
        }
    }
    if (seen != rows() * int(state.iterations())) state.SkipWithError("the walk did not meet every row");
    rate(state, rows());
}

void BM_4_DeleteEverySecond(benchmark::State& state) {
    sx_SetOrder(0);
    for (auto _ : state) {
        for (int r = 2; r <= rows(); r += 2) {
            sx_Go(r);
            sx_Delete();
        }
    }
    rate(state, rows() / 2);
}

void BM_5_Pack(benchmark::State& state) {
    CountedLine line(state);
    for (auto _ : state) sx_Pack();
    if (sx_RecCount() != rows() - rows() / 2) state.SkipWithError("pack kept the wrong number of rows");
    line.report(rows());
}

void appendShared(benchmark::State& state, const char* table, bool lockEachRow) {
    CountedLine line(state);
    for (auto _ : state) {
        line.pause();
        makeEmptyTable(table, SX_SHARED);
        line.resume();
        for (int i = 0; i < rows(); ++i) {
            sx_AppendEx();
            const int32_t r = sx_RecNo();
            if (lockEachRow) sx_Rlock(r);
            writeFields(i);
            sx_Unlock(r);
        }
    }
    line.report(rows());
}

void BM_6_AppendSharedLockPerRow(benchmark::State& state) { appendShared(state, "shared", true); }

void BM_7_AppendSharedAppendLockOnly(benchmark::State& state) { appendShared(state, "shared2", false); }

BENCHMARK(BM_1_AppendExclusive)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_2_Seek)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_3_SkipInKeyOrder)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_4_DeleteEverySecond)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_5_Pack)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_6_AppendSharedLockPerRow)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_7_AppendSharedAppendLockOnly)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
