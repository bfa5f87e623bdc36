// A damaged compound index whose leaves no longer run in key order: walks
// and counts in its orders must stop with an engine error, not go round.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class DamagedIndexWalk : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        for (const char* ext : {".dbf", ".fpt", ".cdx"}) {
            const std::string name = std::string("walkloop") + ext;
            std::filesystem::copy_file(std::string(TARSEL_TEST_DATA) + "/xbase/" + name, path(name));
            std::filesystem::permissions(path(name), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
        }
    }
};

TEST_F(DamagedIndexWalk, CountingInEveryOrderEndsWithAnError) {
    ASSERT_GT(open("walkloop.dbf"), 0) << xbase::lastErrorText();
    const int orders = static_cast<int>(sx_SysProp(SX_SP_ORDER_COUNT, 0));
    ASSERT_GT(orders, 0);
    std::string errors;
    for (int o = 1; o <= orders; ++o) {
        if (!sx_SetOrder(o)) {
            errors += xbase::lastErrorText() + "\n";
            continue;
        }
        const std::string before = xbase::lastErrorText();
        sx_Count();
        if (xbase::lastErrorText() != before) errors += xbase::lastErrorText() + "\n";
    }
    EXPECT_NE(errors.find("is corrupt"), std::string::npos) << errors;
}

}  // namespace
}  // namespace sxextra
