#pragma once
// Shared helpers for the compound index tests: scratch folders, fixture
// files, walking a tag, and checking a tag's tree through the internals.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/cdx_index.h"
#include "xbase/cdx/cdx_tree.h"

namespace cdxtest {

inline std::string fixture(const std::string& name) { return std::string(TARSEL_TEST_DATA) + "/xbase/" + name; }

// A fresh folder removed at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        char tmpl[] = "/tmp/cdx_test_XXXXXX";
        path_ = mkdtemp(tmpl);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string copyFixture(const std::string& name) const {
        std::filesystem::copy_file(fixture(name), file(name));
        std::filesystem::permissions(file(name), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        return file(name);
    }

private:
    std::string path_;
};

inline std::vector<uint32_t> readOrder(const std::string& name) {
    std::ifstream in(fixture(name));
    std::vector<uint32_t> out;
    for (uint32_t r; in >> r;) out.push_back(r);
    return out;
}

inline std::vector<xbase::IndexEntry> walkForward(xbase::CdxIndex& index, const std::string& tag) {
    std::vector<xbase::IndexEntry> out;
    for (auto e = index.first(tag); e && out.size() < 1000000; e = index.next(tag, *e)) out.push_back(*e);
    return out;
}

inline std::vector<xbase::IndexEntry> walkBackward(xbase::CdxIndex& index, const std::string& tag) {
    std::vector<xbase::IndexEntry> out;
    for (auto e = index.last(tag); e && out.size() < 1000000; e = index.prev(tag, *e)) out.push_back(*e);
    return out;
}

inline std::vector<uint32_t> recnos(const std::vector<xbase::IndexEntry>& entries) {
    std::vector<uint32_t> out;
    for (const auto& e : entries) out.push_back(e.recno);
    return out;
}

// Checks the whole tree of a tag (order, parent keys, sibling links, depth)
// and gives its entry count; throws XbaseError when it is not well formed.
inline size_t checkTag(const std::string& path, const std::string& tag, unsigned char pad = ' ',
                       int* depth = nullptr) {
    using namespace xbase::cdx;
    auto file = CdxFile::open(path, true, false);
    CdxFile::Hold hold(*file, false);
    CdxTree directory(*file, 0, KeyFormat{10, ' '});
    std::string key = tag;
    key.resize(10, ' ');
    auto e = directory.firstWhere([&](const NodeEntry& x) { return x.key >= key; });
    if (!e || e->key != key) throw std::runtime_error("no tag " + tag);
    const Page header = file->page(e->recno);
    const KeyFormat fmt{header[12] | header[13] << 8, pad};
    directory.check();
    if (depth) {
        uint32_t offset = uint32_t(header[0] | header[1] << 8 | header[2] << 16 | header[3] << 24);
        for (*depth = 1; !file->node(offset, fmt)->leaf; ++*depth) offset = file->node(offset, fmt)->entries[0].child;
    }
    return CdxTree(*file, e->recno, fmt).check();
}

// The raw 1024-byte header of a tag with its root pointer blanked out.
inline std::string tagHeaderBytes(const std::string& path, const std::string& tag) {
    using namespace xbase::cdx;
    auto file = CdxFile::open(path, true, false);
    CdxFile::Hold hold(*file, false);
    std::string key = tag;
    key.resize(10, ' ');
    auto e = CdxTree(*file, 0, KeyFormat{10, ' '}).firstWhere([&](const NodeEntry& x) { return x.key >= key; });
    std::string out;
    for (uint32_t half : {0u, kPageSize}) {
        const Page p = file->page(e->recno + half);
        out.append(reinterpret_cast<const char*>(p.data()), kPageSize);
    }
    out.replace(0, 4, 4, '\0');
    return out;
}

// The raw leaf pages of a tag from left to right, without their sibling links.
inline std::vector<std::string> leafPages(const std::string& path, const std::string& tag, unsigned char pad = ' ') {
    using namespace xbase::cdx;
    auto file = CdxFile::open(path, true, false);
    CdxFile::Hold hold(*file, false);
    std::string key = tag;
    key.resize(10, ' ');
    auto e = CdxTree(*file, 0, KeyFormat{10, ' '}).firstWhere([&](const NodeEntry& x) { return x.key >= key; });
    const Page header = file->page(e->recno);
    const KeyFormat fmt{header[12] | header[13] << 8, pad};
    uint32_t offset = uint32_t(header[0] | header[1] << 8 | header[2] << 16 | header[3] << 24);
    while (!file->node(offset, fmt)->leaf) offset = file->node(offset, fmt)->entries[0].child;
    std::vector<std::string> out;
    for (; offset != kNoPage && out.size() <= file->pageCount(); offset = file->node(offset, fmt)->right) {
        const Page p = file->page(offset);
        out.emplace_back(reinterpret_cast<const char*>(p.data()) + 12, kPageSize - 12);
    }
    return out;
}

}  // namespace cdxtest
