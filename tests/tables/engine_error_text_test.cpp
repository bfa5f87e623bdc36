// The text of a failed table operation: the engine's code as before, then
// the file, its folder and why, for every way a table file can be unusable
// and for a write the system refuses.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

#include "table_fixture.h"
#include "tables/cursor_interface.h"
#include "tables/db_errors.h"
#include "tables/table.h"
#include "xbase/sx.h"

using namespace tables;
using namespace tabletest;

namespace {

namespace fs = std::filesystem;

void patchByte(const std::string& path, std::streamoff at, unsigned char value) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at);
    file.put(static_cast<char>(value));
}

struct Damage {
    const char* name;
    std::function<void(const std::string& folder)> apply;
    const char* file;    // the file the text must name
    const char* reason;
};

void PrintTo(const Damage& d, std::ostream* out) { *out << d.name; }

class EngineErrorText : public TablesTest, public ::testing::WithParamInterface<Damage> {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("rules.dbf", ruleFields(), {{"LINK_ID", "LINK_ID"}});
        addRows("rules.dbf", {{"r1", "a1", "first"}, {"r2", "a1", "second"}});
    }

    // The table's open error; fails the test when it opens.
    EDBEngineError openError(const std::string& name) {
        TTable table;
        table.DatabaseName = folder;
        table.TableName = name;
        table.TableType = ttSXFOX;
        try {
            table.Open();
        } catch (const EDBEngineError& error) {
            return error;
        }
        ADD_FAILURE() << name << " opened";
        return EDBEngineError(kOk, "");
    }
};

const Damage kDamages[] = {
    {"Missing", [](const std::string& f) { fs::remove(f + "rules.dbf"); }, "rules.dbf", "No such file or directory"},
    {"TooShort", [](const std::string& f) { fs::resize_file(f + "rules.dbf", 20); }, "rules.dbf",
     "not a table: file too short"},
    {"HeaderTruncated", [](const std::string& f) { fs::resize_file(f + "rules.dbf", 60); }, "rules.dbf",
     "not a table: header truncated"},
    // A header length below the fixed part of the header.
    {"HeaderDamaged",
     [](const std::string& f) {
         patchByte(f + "rules.dbf", 8, 10);
         patchByte(f + "rules.dbf", 9, 0);
     },
     "rules.dbf", "not a table: header damaged"},
    {"FieldListDamaged", [](const std::string& f) { patchByte(f + "rules.dbf", 32, 0); }, "rules.dbf",
     "not a table: field list damaged"},
    // The last record cut in half: the header still counts two.
    {"RecordsTruncated", [](const std::string& f) { fs::resize_file(f + "rules.dbf", fs::file_size(f + "rules.dbf") - 50); },
     "rules.dbf", "table truncated: the header counts 2 records, the file holds fewer"},
    {"IndexTruncated", [](const std::string& f) { fs::resize_file(f + "rules.cdx", 100); }, "rules.cdx",
     "index damaged: the file is too short to be an index"},
};

using TableErrorText = TablesTest;

INSTANTIATE_TEST_SUITE_P(Tables, EngineErrorText, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST_P(EngineErrorText, AnUnusableTableIsNamedWithItsFolderAndWhy) {
    GetParam().apply(folder);
    const EDBEngineError error = openError("rules.dbf");
    EXPECT_EQ(error.ErrorCode(), kOpenFailed);
    EXPECT_EQ(std::string(error.what()), std::string("Table engine. Error : 10024 -- ") + GetParam().file + " in " +
                                             folder + ": " + GetParam().reason);
    EXPECT_EQ(error.FilePath(), folder + GetParam().file);
}

TEST_F(TableErrorText, AMissingMemoFileAndATableHeldExclusivelyAreNamedToo) {
    makeTable("notes.dbf", nodeFields());
    fs::remove(folder + "notes.fpt");
    {
        TTable notes;
        notes.DatabaseName = folder;
        notes.TableName = "notes.dbf";
        try {
            notes.Open();
            FAIL() << "a table without its memo file opened";
        } catch (const EDBEngineError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Table engine. Error : 10024 -- notes.fpt in " + folder + ": No such file or directory");
        }
    }
    makeTable("held.dbf", ruleFields());
    const int previous = sx_WorkArea("");
    const std::string held = folder + "held.dbf";
    ASSERT_NE(sx_Use(held.c_str(), "HOLDER", SX_EXCLUSIVE, SX_DRIVER_FOX), 0);
    TTable table;
    table.DatabaseName = folder;
    table.TableName = "held.dbf";
    try {
        table.Open();
        FAIL() << "a table held exclusively opened shared";
    } catch (const EDBEngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Table engine. Error : 10024 -- held.dbf in " + folder + ": open exclusively by another program");
    }
    sx_Close();
    if (previous) sx_Select(previous);
}

TEST_F(TableErrorText, AFolderGivenRelativeIsNamedWhole) {
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    TTable table;
    table.DatabaseName = "data/";
    table.TableName = "NODES.DBF";
    try {
        table.Open();
        ADD_FAILURE() << "a missing table opened";
    } catch (const EDBEngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Table engine. Error : 10024 -- NODES.DBF in " + folder + "data/: No such file or directory");
    }
    fs::current_path(before);
}

namespace {

// Runs body in a child whose files may not grow past their present size
// (the limit's signal ignored, so a write just fails) and gives back what it
// wrote to its pipe.
std::string inChildThatCannotGrowFiles(rlim_t limit, const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        const struct rlimit fileSize {limit, limit};
        std::string out = "no limit";
        if (::setrlimit(RLIMIT_FSIZE, &fileSize) == 0 && ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR) {
            try {
                out = body();
            } catch (const std::exception& error) {
                out = std::string("unexpected: ") + error.what();
            }
        }
        [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], out.data(), out.size());
        _exit(0);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return text;
}

}  // namespace

// The child appends until the system refuses a write.
TEST_F(TableErrorText, AWriteTheSystemRefusesSaysWhichFileAndWhy) {
    makeTable("rules.dbf", ruleFields(), {{"LINK_ID", "LINK_ID"}});
    addRows("rules.dbf", {{"r1", "a1", "first"}});
    const rlim_t limit =
        static_cast<rlim_t>(std::max(fs::file_size(folder + "rules.dbf"), fs::file_size(folder + "rules.cdx")));
    const std::string text = inChildThatCannotGrowFiles(limit, [this] {
        TTable table;
        table.DatabaseName = folder;
        table.TableName = "rules.dbf";
        table.Open();
        for (int row = 0; row < 1000; ++row) {
            table.Append();
            table.FieldByName("UNIQUE_ID").SetAsString("row" + std::to_string(row));
            try {
                table.Post();
            } catch (const EDBEngineError& error) {
                return std::string(error.what());
            }
        }
        return std::string("every row was written");
    });
    const std::regex expected("Table engine\\. Error : (9218|8965) -- rules\\.(dbf|cdx) in " + folder +
                              ": File too large");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
}
