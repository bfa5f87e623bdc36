#pragma once
// Shared helpers for the compound index tests: scratch folders, fixture
// files, walking a tag, and checking a tag's tree through the internals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <stdexcept>
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

// No unfinished change is waiting beside the index: its journal is absent or empty.
inline bool journalHoldsNothing(const std::string& indexPath) {
    const std::string journal = indexPath + "-journal";
    return !std::filesystem::exists(journal) || std::filesystem::file_size(journal) == 0;
}

// A character tag keyed on the field of its own name.
inline xbase::CdxTagSpec tag(const std::string& name) {
    xbase::CdxTagSpec s;
    s.name = name;
    s.keyExpression = name;
    s.keyLength = 30;
    return s;
}

// n distinct keys in no particular order, record numbers 1..n.
inline std::vector<xbase::IndexEntry> entries(int n, const std::string& prefix) {
    std::vector<xbase::IndexEntry> out;
    for (int i = 0; i < n; ++i) out.push_back({prefix + std::to_string(i * 7919 % 100000), uint32_t(i + 1)});
    return out;
}

inline std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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

// Walks the free page list and checks that it ends, that every page on it
// reads as free and that none of them belongs to a tag, its header or the
// tag directory; gives the number of free pages.
inline size_t checkFreeList(const std::string& path) {
    using namespace xbase::cdx;
    auto file = CdxFile::open(path, true, false);
    CdxFile::Hold hold(*file, false);
    auto le32 = [](const Page& p, size_t at) {
        return uint32_t(p[at] | p[at + 1] << 8 | p[at + 2] << 16 | uint32_t(p[at + 3]) << 24);
    };
    CdxTree directory(*file, 0, KeyFormat{10, ' '});
    std::set<uint32_t> used;
    for (uint32_t p : directory.pages()) used.insert(p);
    std::optional<NodeEntry> e = directory.firstWhere([](const NodeEntry&) { return true; });
    while (e) {
        const Page header = file->page(e->recno);
        const KeyFormat fmt{header[12] | header[13] << 8, ' '};
        used.insert(e->recno);
        used.insert(e->recno + kPageSize);
        for (uint32_t p : CdxTree(*file, e->recno, fmt).pages()) used.insert(p);
        const NodeEntry at = *e;
        e = directory.firstWhere([&](const NodeEntry& x) { return compareEntries(x.key, x.recno, at.key, at.recno) > 0; });
    }
    size_t count = 0;
    for (uint32_t head = le32(file->page(0), 4); head != 0 && head != kNoPage; ++count) {
        if (count > file->pageCount()) throw std::runtime_error("the free list does not end");
        if (used.count(head)) throw std::runtime_error("page " + std::to_string(head) + " is free and in use");
        const Page p = file->page(head);
        if (!std::all_of(p.begin() + 4, p.end(), [](unsigned char c) { return c == 0; }))
            throw std::runtime_error("free page " + std::to_string(head) + " holds data");
        head = le32(p, 0);
    }
    return count;
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
