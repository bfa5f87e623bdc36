#include "tables/table_type.h"

#include <gtest/gtest.h>

using namespace tables;

TEST(TablesTableType, DriverNamesAndExtensions) {
    EXPECT_EQ(driverNameOf(ttDefault), "PARADOX");
    EXPECT_EQ(driverNameOf(ttSXFOX), "SXFOX");
    EXPECT_EQ(effectiveTableType(ttDefault, "data/NODES.dbf"), ttSXFOX);
    EXPECT_EQ(effectiveTableType(ttDefault, "notes.TXT"), ttASCII);
    EXPECT_EQ(effectiveTableType(ttDefault, "x.db"), ttDefault);
    EXPECT_EQ(effectiveTableType(ttSXNTX, "x.dbf"), ttSXNTX);
    EXPECT_TRUE(isXbaseTable(ttDefault, "a.DbF"));
    EXPECT_FALSE(isXbaseTable(ttParadox, "a.db"));
    // Unknown driver names open with the FOX driver.
    EXPECT_EQ(driverCodeOf("sxntx"), kDriverNTX);
    EXPECT_EQ(driverCodeOf("PARADOX"), kDriverFOX);
    EXPECT_EQ(indexExtensionOf(ttSXFOX), ".IDX");
}

TEST(TablesTableType, DriverFromFileSignature) {
    EXPECT_EQ(driverFromSignature(0x03, true, true), kDriverFOX);
    EXPECT_EQ(driverFromSignature(0x03, true, false), kDriverNSX);
    EXPECT_EQ(driverFromSignature(0x83, false, false), kDriverNTX);
    EXPECT_EQ(driverFromSignature(0xE5, false, false), kDriverNSX);
    EXPECT_EQ(driverFromSignature(0xF5, false, false), kDriverFOX);
    EXPECT_EQ(driverFromSignature(0x30, false, false), kDriverFOX);
}
