// Writing field values through sx_Replace.

#include "sx_extra_support.h"

#include <cmath>
#include <cstdio>
#include <random>

#include "xbase/error.h"
#include "xbase/record_values.h"

namespace sxextra {
namespace {

class ReplaceValues : public SxTest {};

TEST(NumberFields, AreWrittenAsPrintfWritesThemRoundingHalvesAlike) {
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        const int width = 1 + int(rng() % 20), decimals = int(rng() % 6);
        // Halves and near-halves at every scale, both signs, and zero.
        const double value = (double(int(rng() % 200001) - 100000) / 8.0 + (i % 3 ? 0.0 : 1e-9)) * std::pow(10.0, int(rng() % 9) - 4);
        char want[512];
        std::string wanted;
        for (int dec = decimals; dec >= 0 && wanted.empty(); --dec) {
            std::snprintf(want, sizeof want, "%*.*f", width, dec, value);
            if (std::string(want).size() <= size_t(width)) wanted = want;
        }
        if (wanted.empty()) {
            EXPECT_THROW(xbase::formatNumber(value, width, decimals), xbase::XbaseError) << value;
        } else {
            EXPECT_EQ(xbase::formatNumber(value, width, decimals), wanted) << value << " " << width << " " << decimals;
        }
    }
    EXPECT_EQ(xbase::formatNumber(-0.0, 4, 0), "  -0");
    EXPECT_EQ(xbase::formatNumber(2.5, 3, 0), "  2");
}

TEST_F(ReplaceValues, LogicalAndDoubleAreReadByTheirSizeOnly) {
    // Exact-size values: a read past them shows under the address sanitizer.
    ASSERT_GT(makeTable(), 0);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    const bool yes = true;
    const double n = 1234;
    EXPECT_TRUE(sx_Replace("ACTIVE", SX_R_LOGICAL, &yes));
    EXPECT_TRUE(sx_Replace("N", SX_R_DOUBLE, &n));
    EXPECT_TRUE(sx_GetLogical("ACTIVE"));
    EXPECT_EQ(sx_GetString("N"), "1234");
}

}  // namespace
}  // namespace sxextra
