#pragma once
// One 512-byte page of a tag's B-tree, decoded: interior pages hold
// (key, recno, child) where the key and recno are the last entry of the
// child's subtree; compact leaf pages hold (key, recno) with the keys
// prefix- and trailing-compressed.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xbase::cdx {

constexpr uint32_t kPageSize = 512;
constexpr uint32_t kNoPage = 0xFFFFFFFFu;   // "no sibling" in page links
constexpr int kMaxKeyLength = 240;
using Page = std::array<unsigned char, kPageSize>;

struct NodeEntry {
    std::string key;
    uint32_t recno = 0;
    uint32_t child = 0;   // interior pages only
};

struct Node {
    uint32_t offset = 0;
    bool leaf = true;
    bool root = false;
    uint32_t left = kNoPage;
    uint32_t right = kNoPage;
    std::vector<NodeEntry> entries;
    // Its page is exactly what encodeIfFits makes of it, so that one insert
    // may patch that page instead of encoding every key again.
    bool ownEncoding = false;
};

// How a tag's keys are stored: their length and the byte that trailing
// compression drops (blank for character keys, zero for numbers).
struct KeyFormat {
    int keyLength = 10;
    unsigned char pad = ' ';
};

// Throws a corrupt-file error naming `path` when the page is inconsistent.
Node decodeNode(const Page& page, uint32_t offset, const KeyFormat& fmt, const std::string& path);
// The node must fit (see nodeFits).
Page encodeNode(const Node& node, const KeyFormat& fmt);
// Encodes the node when it fits its page; false (page left undefined) when not.
bool encodeIfFits(const Node& node, const KeyFormat& fmt, Page& p);
// The same for a node given by its parts, its entries a run of someone
// else's (so that building a tree copies no keys).
struct NodeShape {
    uint32_t offset = 0;
    bool leaf = true;
    bool root = false;
    uint32_t left = kNoPage;
    uint32_t right = kNoPage;
};
bool encodeIfFits(const NodeShape& shape, const NodeEntry* entries, size_t count, const KeyFormat& fmt, Page& p);
// Whether the first word of a page (attributes and key count) marks a leaf.
inline bool leafAttributes(uint32_t firstWord) {
    const uint32_t attr = firstWord & 0xFFFFu;
    return attr == 2 || attr == 3;
}
// The leaf page of `node` after its one new entry at `pos`, patched from
// `before`, the page encodeIfFits made of the node without that entry:
// the same bytes as encoding the node whole, touching three keys instead
// of all. False (page left undefined) when the node does not fit or its
// record numbers need a wider layout: then it is encoded whole.
bool encodeLeafInsert(const Page& before, const Node& node, size_t pos, const KeyFormat& fmt, Page& p);
// The same for a leaf that lost its entry at `pos` (`before` being the page
// encodeIfFits made of it with that entry): the bytes of a whole encoding,
// or false when its record numbers now take a narrower layout.
bool encodeLeafRemove(const Page& before, const Node& node, size_t pos, const KeyFormat& fmt, Page& p);
// Bytes an encoded leaf page uses (what leafBytes gives for its entries).
size_t leafBytesOnPage(const Page& p);
bool nodeFits(const Node& node, const KeyFormat& fmt);

// Bytes a leaf holding entries[begin, end) takes on its page.
size_t leafBytes(const std::vector<NodeEntry>& entries, size_t begin, size_t end, const KeyFormat& fmt);
size_t interiorCapacity(const KeyFormat& fmt);
// Pieces of leafBytes for filling leaves one entry at a time.
size_t leafEntrySize(uint32_t maxRecno, const KeyFormat& fmt);
size_t storedKeyBytes(const std::string& key, const std::string* prev, const KeyFormat& fmt);
constexpr size_t kLeafHeaderBytes = 24;

}  // namespace xbase::cdx
