// Index builds evaluate a key for every row: the cost of one evaluation of
// typical keys and filters over a record of plain values.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "xbase/expr/expression.h"
#include "xbase/expr/julian.h"

namespace {

using namespace xbase;

const std::vector<FieldDef> kFields = {
    {"NAME", 'C', 20, 0, 1}, {"CITY", 'C', 30, 0, 21}, {"AGE", 'N', 4, 0, 51},
    {"BORN", 'D', 8, 0, 55}, {"ACTIVE", 'L', 1, 0, 63}, {"GROUP", 'C', 40, 0, 64},
};

class Row : public RecordSource {
public:
    Value field(int index) const override {
        switch (index) {
        case 0: return Value::character("Smith               ");
        case 1: return Value::character("Boston                        ");
        case 2: return Value::numeric(42);
        case 3: return Value::date(julianFromYmd(1984, 3, 7));
        case 4: return Value::boolean(true);
        default: return Value::character(std::string(40, ' '));
        }
    }
    uint32_t recNo() const override { return 1; }
    bool deleted() const override { return false; }
};

void evaluate(benchmark::State& state, const char* text) {
    const Expression e = Expression::compile(text, kFields);
    const Row row;
    const EvalSettings settings;
    for (auto _ : state) benchmark::DoNotOptimize(e.evaluate(row, settings));
}

BENCHMARK_CAPTURE(evaluate, field_key, "NAME");
BENCHMARK_CAPTURE(evaluate, upper_key, "UPPER( NAME )");
BENCHMARK_CAPTURE(evaluate, compound_key, "CITY + STR( AGE, 4 )");
BENCHMARK_CAPTURE(evaluate, date_key, "DTOS( BORN )");
BENCHMARK_CAPTURE(evaluate, filter, "Upper(NAME) = 'SMI' .and. AGE > 30 .and. ! DELETED()");

void compile(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Expression::compile("CITY + STR( AGE, 4 )", kFields));
}
BENCHMARK(compile);

}  // namespace
