// Files written here, read by an independent reader (Perl's XBase::Index),
// which walks the stored tree and prints key|recno in stored order.

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "cdx_test_util.h"

using namespace xbase;

namespace {

const char* const kDumpScript = R"(use XBase::Index;
my ($file, $tag, $type) = @ARGV;
my $idx = XBase::Index->new($file, tag => $tag, type => $type) or die XBase::Index->errstr;
$idx->prepare_select;
while (my ($key, $val) = $idx->fetch) { print "$key|$val\n"; }
)";

bool perlReaderAvailable() { return std::system("perl -MXBase::Index -e 1 2>/dev/null") == 0; }

// Lines "key|recno" as the independent reader prints them.
std::vector<std::string> independentDump(const cdxtest::ScratchDir& dir, const std::string& cdx,
                                         const std::string& tag, const std::string& type) {
    const std::string script = dir.file("dump.pl");
    std::ofstream(script) << kDumpScript;
    const std::string cmd = "perl " + script + " " + cdx + " " + tag + " " + type + " 2>&1";
    std::vector<std::string> out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    std::string line;
    for (int c; (c = std::fgetc(p)) != EOF;) {
        if (c == '\n') {
            out.push_back(line);
            line.clear();
        } else {
            line += char(c);
        }
    }
    pclose(p);
    return out;
}

std::string rtrim(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Our entries in stored (ascending) order, printed the way the reader prints them.
std::vector<std::string> ourDump(CdxIndex& index, const std::string& tag, bool numeric) {
    auto entries = cdxtest::walkForward(index, tag);
    if (index.tag(tag)->descending) std::reverse(entries.begin(), entries.end());
    std::vector<std::string> out;
    for (const auto& e : entries) {
        std::ostringstream line;
        if (numeric) line.precision(15), line << decodeNumberKey(e.key);
        else line << rtrim(e.key);
        line << "|" << e.recno;
        out.push_back(line.str());
    }
    return out;
}

CdxTagSpec tagDef(const std::string& name, int keyLength, char type = 'C', bool descending = false) {
    CdxTagSpec s;
    s.name = name;
    s.keyExpression = name;
    s.keyLength = keyLength;
    s.keyType = type;
    s.descending = descending;
    return s;
}

}  // namespace

TEST(CdxInterop, IndependentReaderReadsTagsWrittenHere) {
    if (!perlReaderAvailable()) GTEST_SKIP() << "Perl XBase::Index is not installed";
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("written.cdx");
    auto index = CdxIndex::create(path);
    std::mt19937 rng(5);
    std::vector<IndexEntry> names, numbers;
    for (uint32_t r = 1; r <= 20000; ++r) {
        std::string name = "name" + std::to_string(rng() % 3000);
        name.resize(20, ' ');
        names.push_back({name, r});
        numbers.push_back({encodeNumberKey(double(int(rng() % 20001) - 10000) / 4), r});
    }
    index->createTag(tagDef("NAME", 20), names);
    index->createTag(tagDef("AMOUNT", 8, 'N', true), numbers);
    // Changes after the build: splits and removals in both tags.
    for (uint32_t r = 20001; r <= 23000; ++r) {
        index->insert("NAME", {"zz" + std::string(18, char('a' + r % 26)), r});
        index->insert("AMOUNT", {encodeNumberKey(r * 1.5), r});
    }
    for (uint32_t r = 1; r <= 20000; r += 3) {
        index->remove("NAME", names[r - 1]);
        index->remove("AMOUNT", numbers[r - 1]);
    }
    EXPECT_EQ(independentDump(dir, path, "NAME", "C"), ourDump(*index, "NAME", false));
    EXPECT_EQ(independentDump(dir, path, "AMOUNT", "N"), ourDump(*index, "AMOUNT", true));
}

TEST(CdxInterop, FixtureChangedHereStillReadsInTheIndependentReader) {
    if (!perlReaderAvailable()) GTEST_SKIP() << "Perl XBase::Index is not installed";
    cdxtest::ScratchDir dir;
    const std::string path = dir.copyFixture("people.cdx");
    auto index = CdxIndex::open(path, false);
    auto victims = cdxtest::walkForward(*index, "NAME");
    for (size_t i = 0; i < victims.size(); i += 2) index->remove("NAME", victims[i]);
    for (uint32_t r = 2001; r <= 2600; ++r) {
        std::string name = "Added " + std::to_string(r % 37);
        name.resize(20, ' ');
        index->insert("NAME", {name, r});
        index->insert("AGE", {std::to_string(r % 90 + 1000), r});
    }
    index->createTag(tagDef("EXTRA", 6), {{"x", 1}, {"y", 2}});
    EXPECT_EQ(cdxtest::checkTag(path, "NAME"), 1000u + 600u);
    EXPECT_EQ(independentDump(dir, path, "NAME", "C"), ourDump(*index, "NAME", false));
    EXPECT_EQ(independentDump(dir, path, "AGE", "C"), ourDump(*index, "AGE", false));
    EXPECT_EQ(independentDump(dir, path, "CITYAGE", "C"), ourDump(*index, "CITYAGE", false));
    EXPECT_EQ(independentDump(dir, path, "EXTRA", "C"), (std::vector<std::string>{"x|1", "y|2"}));
}
