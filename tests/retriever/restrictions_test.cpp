// Restriction rows applied to one waiting message, and the numbers they
// hold; rows are read from a real rules table.
#include "retriever/core/conversion.h"
#include "retriever/core/restrictions.h"

#include "mail/net/remote_info.h"
#include "store/data_folder.h"
#include "store/table_layouts.h"
#include "tables/apollo_env.h"
#include "tables/table.h"
#include "tests/support/temp_dir.h"
#include "xbase/sx.h"

#include <gtest/gtest.h>

namespace {

using retriever::ApplyRestrictions;
using retriever::Restriction;

TmsRemoteInfoItem message(int size, std::vector<std::string> headers)
{
    TmsRemoteInfoItem item;
    item.Size = size;
    item.Headers() = TmsHeaders(std::move(headers));
    return item;
}

Restriction row(const char* name, char cond, const char* val1, const char* val2, bool fetch, bool remove)
{
    Restriction r{.rule = name, .cond = cond, .condVal1 = val1, .condVal2 = val2, .fetch = fetch, .remove = remove};
    if (cond == 'L' || cond == 'G')
        r.limit = retriever::WholeNumber(val2);
    return r;
}

TEST(Restrictions, LaterRowsAddToOrReplaceEarlierMarks)
{
    const TmsRemoteInfoItem mail = message(60000, {"Subject: INVOICE 12"});
    // An "A" row after a deciding row adds to its marks.
    const auto both = ApplyRestrictions({row("big", 'G', "", "10", false, true), row("all", 'A', "", "", true, false)}, mail);
    EXPECT_TRUE(both.fetch && both.remove);
    // Exactly the limit is not greater.
    EXPECT_FALSE(ApplyRestrictions({row("big", 'G', "", "60000", true, true)}, mail).fetch);
    // An unknown kind does nothing, and a later non-match keeps earlier marks.
    const auto kept = ApplyRestrictions({row("a", 'A', "", "", true, true), row("x", 'X', "", "", false, false),
                                         row("c", 'C', "From", "bob", false, false)},
                                        mail);
    EXPECT_TRUE(kept.fetch && kept.remove);
    EXPECT_EQ(kept.activated, (std::vector<std::string>{"a"}));
}

TEST(Restrictions, FieldNamesAsTheDialogsOfferThem)
{
    const TmsRemoteInfoItem mail = message(100, {"From: Ann <ann@example.org>", "Reply-To: help@example.org",
                                                 "Subject: Quarterly report", "X-Note: discount inside"});
    // "(Any field)" looks through every header line.
    EXPECT_TRUE(ApplyRestrictions({row("any", 'C', "(Any field)", "DISCOUNT", true, false)}, mail).fetch);
    EXPECT_FALSE(ApplyRestrictions({row("any", 'C', "(Any field)", "absent", true, false)}, mail).fetch);
    // "ReplyTo" names the Reply-To field.
    EXPECT_TRUE(ApplyRestrictions({row("reply", 'C', "ReplyTo", "help@", true, false)}, mail).fetch);
    // Length rules name their field with a colon, or the entire header.
    EXPECT_TRUE(ApplyRestrictions({row("len", 'L', "Subject:", "10", true, false)}, mail).fetch);
    EXPECT_FALSE(ApplyRestrictions({row("len", 'L', "Subject:", "20", true, false)}, mail).fetch);
    EXPECT_TRUE(ApplyRestrictions({row("all", 'L', "(the entire header)", "80", true, false)}, mail).fetch);
}

TEST(Restrictions, WholeNumbers)
{
    EXPECT_EQ(retriever::WholeNumber(" 50000 "), 50000);
    EXPECT_EQ(retriever::WholeNumber("-3"), -3);
    EXPECT_EQ(retriever::WholeNumber("5000000000"), 5000000000LL);
    for (const char* bad : {"", " ", "50 KB", "1e3", "0x10", "-", "99999999999999999999"})
        EXPECT_THROW(retriever::WholeNumber(bad), retriever::ConversionError) << bad;
}

TEST(Restrictions, RowsReadFromTheTableWithTheirLetterAndYesNoInAnyCase)
{
    test_support::TempDir dir("rr");
    store::CreateDataFolder(dir.path() + "/data/", false);
    TApolloEnv env;
    TTable rules;
    rules.DatabaseName = dir.path() + "/data/";
    rules.TableName = store::kRulesTable;
    rules.TableType = ttSXFOX;
    rules.Open();
    auto add = [&](const char* name, const char* cond, const char* val2, const char* act1, const char* act2) {
        rules.Append();
        rules.FieldByName("RULE").SetAsString(name);
        rules.FieldByName("COND").SetAsString(cond);
        rules.FieldByName("CONDVAL1").SetAsString("Subject");
        rules.FieldByName("CONDVAL2").SetAsString(val2);
        rules.FieldByName("ACT1").SetAsString(act1);
        rules.FieldByName("ACT2").SetAsString(act2);
        rules.Post();
    };
    add("lower", "c", "news ", "y", "n");
    add("sized", "g", "100", "N", "Y");
    add("odd", "x", "", "n", "");
    const std::vector<Restriction> rows = retriever::ReadRestrictions(rules);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].cond, 'C');
    EXPECT_EQ(rows[0].condVal2, "news");
    EXPECT_TRUE(rows[0].fetch);
    EXPECT_FALSE(rows[0].remove);
    EXPECT_EQ(rows[1].limit, 100);
    EXPECT_TRUE(rows[1].remove);
    EXPECT_NE(rows[2].cond, 'A');
    EXPECT_FALSE(rows[2].fetch);

    add("broken", "L", "long", "Y", "Y");
    EXPECT_THROW(retriever::ReadRestrictions(rules), retriever::ConversionError);
    rules.Close();
}

}  // namespace
