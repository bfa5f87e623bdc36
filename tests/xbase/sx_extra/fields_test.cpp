// Writing field values through sx_Replace.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class ReplaceValues : public SxTest {};

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
