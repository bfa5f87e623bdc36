// Files written by the engine are read by other xBase tools, and files
// those tools write are read (and extended) by the engine.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/xbase/xbase_test_support.h"
#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace {

using xbasetest::fieldDef;

// Runs a command and gives its standard output; exit status in status.
std::string run(const std::string& command, int& status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) {
        status = -1;
        return out;
    }
    std::array<char, 4096> buf;
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) out.append(buf.data(), n);
    status = pclose(p);
    return out;
}

bool available(const std::string& probe) {
    int status = 0;
    run(probe + " >/dev/null 2>&1", status);
    return status == 0;
}

class SxInterop : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_interop");
        sx_CloseAll();
        sx_SysProp(SX_SP_ERROR_LEVEL, 0);
        sx_SetDeleted(0);
        sx_SetDateFormat(SX_DATE_AMERICAN);
        sx_SetCentury(0);
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }
    std::string script(const std::string& name, const std::string& text) {
        const std::string p = dir_ + "/" + name;
        std::ofstream(p) << text;
        return p;
    }

    // Writes a table with every field kind, a memo, a deleted row and a tag.
    std::string writeWithEngine() {
        const std::string p = dir_ + "/made.dbf";
        xbase::createTable(p, {fieldDef("NAME", 'C', 12), fieldDef("PRICE", 'N', 8, 2), fieldDef("BORN", 'D', 8),
                               fieldDef("OK", 'L', 1), fieldDef("NOTES", 'M', 10)});
        EXPECT_GT(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
        EXPECT_GT(sx_IndexTag(nullptr, "NAME", "UPPER(NAME)", 0, 0, nullptr), 0);
        const char* names[] = {"Zoe", "adam", "Mia"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sx_AppendEx(), SX_APPEND_OK);
            sx_Replace("NAME", SX_R_CHAR, names[i]);
            const double price = 10.25 * (i + 1);
            sx_Replace("PRICE", SX_R_DOUBLE, &price);
            sx_Replace("BORN", SX_R_DATESTR, "07/04/76");
            const bool ok = i != 1;
            sx_Replace("OK", SX_R_LOGICAL, &ok);
            const std::string note = i == 2 ? "" : std::string("memo of ") + names[i] + std::string(200 * i, '.');
            sx_Replace("NOTES", SX_R_MEMO, note.c_str());
        }
        sx_Go(2);
        sx_Delete();
        sx_CloseAll();
        return p;
    }

    std::string dir_;
};

TEST_F(SxInterop, DbfreadReadsWhatTheEngineWrote) {
    if (!available("/usr/bin/python3 -c 'import dbfread'")) GTEST_SKIP() << "python3-dbfread missing";
    const std::string table = writeWithEngine();
    const std::string py = script("read.py",
                                  "import sys, dbfread\n"
                                  "t = dbfread.DBF(sys.argv[1], load=True)\n"
                                  "for r in t.records + t.deleted:\n"
                                  "    print('%s|%s|%s|%s|%s' % (r['NAME'], r['PRICE'], r['BORN'], r['OK'], r['NOTES'] or ''))\n"
                                  "print('deleted', len(t.deleted))\n");
    int status = 0;
    const std::string out = run("/usr/bin/python3 " + py + " " + table + " 2>&1", status);
    EXPECT_EQ(status, 0) << out;
    // dbfread lists live rows first, then the deleted ones.
    EXPECT_EQ(out, std::string("Zoe|10.25|1976-07-04|True|memo of Zoe\nMia|30.75|1976-07-04|True|\n") +
                       "adam|20.5|1976-07-04|False|memo of adam" + std::string(200, '.') + "\ndeleted 1\n");
}

TEST_F(SxInterop, PythonDbfReadsWhatTheEngineWrote) {
    if (!available("/usr/bin/python3 -c 'import dbf'")) GTEST_SKIP() << "python3-dbf missing";
    const std::string table = writeWithEngine();
    const std::string py = script("read.py",
                                  "import sys, dbf\n"
                                  "t = dbf.Table(sys.argv[1])\n"
                                  "t.open(dbf.READ_ONLY)\n"
                                  "for r in t:\n"
                                  "    print('%s|%s|%s|%s|%s|%s' % (r.name.strip(), r.price, r.born, r.ok, r.notes.strip(), dbf.is_deleted(r)))\n"
                                  "t.close()\n");
    int status = 0;
    const std::string out = run("/usr/bin/python3 " + py + " " + table + " 2>&1", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "Zoe|10.25|1976-07-04|True|memo of Zoe|False\n"
                   "adam|20.5|1976-07-04|False|memo of adam" + std::string(200, '.') + "|True\n"
                   "Mia|30.75|1976-07-04|True||False\n");
}

TEST_F(SxInterop, PerlXBaseReadsWhatTheEngineWrote) {
    if (!available("perl -MXBase -e 1")) GTEST_SKIP() << "libdbd-xbase-perl missing";
    const std::string table = writeWithEngine();
    const std::string pl = script("read.pl",
                                  "use XBase;\n"
                                  "my $t = XBase->new($ARGV[0]) or die XBase->errstr;\n"
                                  "for my $i (0 .. $t->last_record) {\n"
                                  "  my ($del, $name, $price, $born, $ok, $notes) = $t->get_record($i);\n"
                                  "  print join('|', $del, $name, $price, $born, $ok, defined $notes ? $notes : ''), \"\\n\";\n"
                                  "}\n");
    int status = 0;
    const std::string out = run("perl " + pl + " " + table + " 2>&1", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "0|Zoe|10.25|19760704|1|memo of Zoe\n"
                   "1|adam|20.5|19760704|0|memo of adam" + std::string(200, '.') + "\n"
                   "0|Mia|30.75|19760704|1|\n");
}

TEST_F(SxInterop, EngineReadsAndExtendsATablePythonDbfWrote) {
    if (!available("/usr/bin/python3 -c 'import dbf, dbfread'")) GTEST_SKIP() << "python3-dbf missing";
    const std::string table = dir_ + "/py.dbf";
    const std::string py = script("write.py",
                                  "import sys, dbf, datetime\n"
                                  "t = dbf.Table(sys.argv[1], 'name C(10); qty N(5,0); day D; ok L; notes M', dbf_type='fp')\n"
                                  "t.open(dbf.READ_WRITE)\n"
                                  "t.append(('pear', 12, datetime.date(2001, 2, 3), True, 'long note ' * 20))\n"
                                  "t.append(('fig', 7, None, False, ''))\n"
                                  "t.close()\n");
    int status = 0;
    const std::string out = run("/usr/bin/python3 " + py + " " + table + " 2>&1", status);
    ASSERT_EQ(status, 0) << out;
    ASSERT_GT(sx_Use(table.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_RecCount(), 2);
    sx_GoTop();
    EXPECT_EQ(sx_GetTrimString("NAME"), "pear");
    EXPECT_EQ(std::stoi(sx_GetString("QTY")), 12);
    EXPECT_EQ(sx_GetString("DAY"), "20010203");
    EXPECT_TRUE(sx_GetLogical("OK"));
    std::string note;
    for (int i = 0; i < 20; ++i) note += "long note ";
    EXPECT_EQ(sx_GetTrimString("NOTES"), note.substr(0, note.size() - 1));
    sx_Skip(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "fig");
    EXPECT_TRUE(sx_Empty("DAY"));
    // Our append to their file reads back in their reader.
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    sx_Replace("NAME", SX_R_CHAR, "plum");
    sx_Replace("NOTES", SX_R_MEMO, "added here");
    sx_CloseAll();
    const std::string check = script("check.py",
                                     "import sys, dbfread\n"
                                     "for r in dbfread.DBF(sys.argv[1]):\n"
                                     "    print(r['NAME'], (r['NOTES'] or '')[:10])\n");
    EXPECT_EQ(run("/usr/bin/python3 " + check + " " + table + " 2>&1", status),
              "pear long note \nfig \nplum added here\n");
}

TEST_F(SxInterop, EngineReadsATablePerlWrote) {
    if (!available("perl -MXBase -e 1")) GTEST_SKIP() << "libdbd-xbase-perl missing";
    const std::string table = dir_ + "/pl.dbf";
    const std::string pl = script("write.pl",
                                  "use XBase;\n"
                                  "my $t = XBase->create(name => $ARGV[0], version => 0xf5,\n"
                                  "  field_names => ['ID', 'AMOUNT', 'NOTES'], field_types => ['C', 'N', 'M'],\n"
                                  "  field_lengths => [8, 9, 10], field_decimals => [0, 3, 0]) or die XBase->errstr;\n"
                                  "$t->set_record(0, 'a1', 3.5, 'perl memo');\n"
                                  "$t->set_record(1, 'b2', -12.125, undef);\n"
                                  "$t->delete_record(1);\n"
                                  "$t->close;\n");
    int status = 0;
    const std::string out = run("perl " + pl + " " + table + " 2>&1", status);
    ASSERT_EQ(status, 0) << out;
    ASSERT_GT(sx_Use(table.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_RecCount(), 2);
    sx_GoTop();
    EXPECT_EQ(sx_GetTrimString("ID"), "a1");
    EXPECT_EQ(sx_GetString("AMOUNT"), "    3.500");
    EXPECT_EQ(sx_GetTrimString("NOTES"), "perl memo");
    sx_SetDeleted(-1);
    EXPECT_EQ(sx_Count(), 1);
    sx_SetDeleted(0);
    sx_Go(2);
    EXPECT_TRUE(sx_Deleted());
    ASSERT_GT(sx_IndexTag(nullptr, "ID", "ID", 0, 1, nullptr), 0) << xbase::lastErrorText();
    EXPECT_TRUE(sx_Seek("b2"));
}

}  // namespace
