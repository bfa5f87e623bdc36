// Table engine throughput on 100,000 rows with three tags: appends, random
// seeks, a walk in index order, and a pack of a half-deleted table.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace {

constexpr int kRows = 100000;

xbase::FieldDef fieldDef(const std::string& name, char type, int width) {
    xbase::FieldDef f;
    f.name = name;
    f.type = type;
    f.width = width;
    return f;
}

std::string keyOf(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "K%08d", (i * 7919) % kRows);
    return buf;
}

// A fresh table with three tags and n rows, open and current.
std::string makeTable(const std::string& name, int rows) {
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
    static const Folder folder;
    const std::string& dir = folder.path;
    const std::string path = dir + "/" + name + ".dbf";
    sx_CloseAll();
    std::filesystem::remove(path);
    std::filesystem::remove(dir + "/" + name + ".cdx");
    xbase::createTable(path, {fieldDef("KEY", 'C', 10), fieldDef("N", 'N', 8), fieldDef("CITY", 'C', 20)});
    sx_Use(path.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX);
    sx_IndexTag(nullptr, "KEY", "KEY", 0, 0, nullptr);
    sx_IndexTag(nullptr, "N", "N", 0, -1, nullptr);
    sx_IndexTag(nullptr, "CITY", "UPPER(CITY)", 0, 0, nullptr);
    std::string rec(static_cast<std::size_t>(sx_RecSize()), ' ');
    for (int i = 0; i < rows; ++i) {
        sx_AppendEx();
        char row[64];
        std::snprintf(row, sizeof row, " %-10s%8d%-20s", keyOf(i).c_str(), i, i % 2 ? "lisbon" : "Oslo");
        sx_PutRecord(row);
    }
    return path;
}

void BM_Append(benchmark::State& state) {
    for (auto _ : state) makeTable("append", kRows);
    state.counters["rows/s"] = benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Seek(benchmark::State& state) {
    makeTable("seek", kRows);
    sx_SetOrder(sx_TagArea("KEY"));
    std::mt19937 random(7);
    int found = 0;
    for (auto _ : state) {
        for (int i = 0; i < kRows; ++i) found += sx_Seek(keyOf(static_cast<int>(random() % kRows)).c_str());
    }
    benchmark::DoNotOptimize(found);
    state.counters["seeks/s"] = benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_SkipInOrder(benchmark::State& state) {
    makeTable("skip", kRows);
    sx_SetOrder(sx_TagArea("KEY"));
    for (auto _ : state) {
        sx_GoTop();
        while (!sx_Eof()) sx_Skip(1);
    }
    state.counters["rows/s"] = benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_PackHalfDeleted(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        makeTable("pack", kRows);
        sx_SetOrder(0);
        for (int r = 1; r <= kRows; r += 2) {
            sx_Go(r);
            sx_Delete();
        }
        state.ResumeTiming();
        sx_Pack();
    }
    state.counters["rows/s"] = benchmark::Counter(double(kRows) * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Append)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Seek)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkipInOrder)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackHalfDeleted)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
