#include "xbase/cdx/cdx_node.h"

#include <algorithm>
#include <cstring>

#include "xbase/cdx/cdx_bytes.h"
#include "xbase/cdx/cdx_errors.h"

namespace xbase::cdx {
namespace {

constexpr size_t kLeafHeader = 24;
constexpr size_t kInteriorHeader = 12;
constexpr uint16_t kAttrRoot = 1;
constexpr uint16_t kAttrLeaf = 2;

int bitsFor(uint64_t v) {
    int n = 0;
    while (v) { ++n; v >>= 1; }
    return n;
}

struct LeafLayout {
    int recnoBits, dupBits, trailBits, bytesPerEntry;
};

// The writer keeps three bytes per entry as long as the record numbers fit,
// the way other writers lay out their pages.
LeafLayout layoutFor(uint32_t maxRecno, const KeyFormat& fmt) {
    const int countBits = bitsFor(uint64_t(fmt.keyLength));
    const int need = std::max(bitsFor(maxRecno), 1) + 2 * countBits;
    const int bytes = std::max(3, (need + 7) / 8);
    return {std::min(32, bytes * 8 - 2 * countBits), countBits, countBits, bytes};
}

// Both counts look at eight bytes at a step first: every page written
// counts them for each of its keys.
int trailCount(const std::string& key, const KeyFormat& fmt) {
    uint64_t pads = 0;
    std::memset(&pads, fmt.pad, sizeof pads);
    size_t i = key.size();
    while (i >= 8 && std::memcmp(key.data() + i - 8, &pads, 8) == 0) i -= 8;
    while (i > 0 && static_cast<unsigned char>(key[i - 1]) == fmt.pad) --i;
    return int(key.size() - i);
}

int dupCount(const std::string& key, const std::string& prev, int trail, const KeyFormat& fmt) {
    const size_t limit = size_t(fmt.keyLength - trail);
    size_t n = 0;
    while (n + 8 <= limit && std::memcmp(key.data() + n, prev.data() + n, 8) == 0) n += 8;
    while (n < limit && key[n] == prev[n]) ++n;
    return int(n);
}

uint32_t maxRecno(const NodeEntry* entries, size_t begin, size_t end) {
    uint32_t m = 0;
    for (size_t i = begin; i < end; ++i) m = std::max(m, entries[i].recno);
    return m;
}

uint32_t maxRecno(const std::vector<NodeEntry>& entries, size_t begin, size_t end) {
    return maxRecno(entries.data(), begin, end);
}

void checkOffset(uint32_t child, const std::string& path, uint32_t offset) {
    if (child == kNoPage || child == 0 || child % kPageSize != 0)
        throwCorrupt(path, "page " + std::to_string(offset) + " points to invalid page " + std::to_string(child));
}

Node decodeLeaf(const Page& p, Node node, uint16_t count, const KeyFormat& fmt, const std::string& path) {
    const uint32_t recnoMask = readLe32(&p[14]);
    const int recnoBits = p[20], dupBits = p[21], trailBits = p[22], bpe = p[23];
    const std::string where = "leaf page " + std::to_string(node.offset);
    if (bpe < 1 || bpe > 8 || recnoBits > 32 || dupBits > 16 || trailBits > 16 ||
        recnoBits + dupBits + trailBits > bpe * 8)
        throwCorrupt(path, where + " has an impossible entry layout");
    if (kLeafHeader + size_t(count) * size_t(bpe) > kPageSize)
        throwCorrupt(path, where + " has an impossible key count " + std::to_string(count));
    size_t keyEnd = kPageSize;
    const size_t entriesEnd = kLeafHeader + size_t(count) * size_t(bpe);
    // Each key is the previous one's first dup bytes, its stored bytes and
    // trail pad bytes: built in place over the previous key.
    std::string key(size_t(fmt.keyLength), static_cast<char>(fmt.pad));
    // Room for the one entry an insert adds, so that it moves no key.
    node.entries.reserve(size_t(count) + 1);
    for (size_t i = 0; i < count; ++i) {
        uint64_t v = 0;
        for (int b = bpe - 1; b >= 0; --b) v = v << 8 | p[kLeafHeader + i * size_t(bpe) + size_t(b)];
        const uint32_t recno = uint32_t(v) & recnoMask;
        const int dup = int((v >> recnoBits) & ((1u << dupBits) - 1));
        const int trail = int((v >> (recnoBits + dupBits)) & ((1u << trailBits) - 1));
        if (dup + trail > fmt.keyLength || (i == 0 && dup > 0))
            throwCorrupt(path, where + " has an impossible key compression");
        const size_t stored = size_t(fmt.keyLength - dup - trail);
        if (keyEnd < entriesEnd + stored) throwCorrupt(path, where + " has keys overlapping its entries");
        keyEnd -= stored;
        std::copy_n(&p[keyEnd], stored, key.begin() + dup);
        std::fill(key.begin() + dup + long(stored), key.end(), static_cast<char>(fmt.pad));
        node.entries.push_back({key, recno, 0});
    }
    return node;
}

Node decodeInterior(const Page& p, Node node, uint16_t count, const KeyFormat& fmt, const std::string& path) {
    const size_t width = size_t(fmt.keyLength) + 8;
    if (count == 0 || kInteriorHeader + count * width > kPageSize)
        throwCorrupt(path, "interior page " + std::to_string(node.offset) + " has an impossible key count " +
                               std::to_string(count));
    node.entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* e = &p[kInteriorHeader + i * width];
        NodeEntry entry{std::string(reinterpret_cast<const char*>(e), size_t(fmt.keyLength)),
                        readBe32(e + fmt.keyLength), readBe32(e + fmt.keyLength + 4)};
        checkOffset(entry.child, path, node.offset);
        node.entries.push_back(std::move(entry));
    }
    return node;
}

// False, with the page half written, when the entries do not fit.
bool encodeLeaf(const NodeEntry* entries, size_t n, const KeyFormat& fmt, Page& p) {
    const LeafLayout l = layoutFor(maxRecno(entries, 0, n), fmt);
    const uint32_t mask = l.recnoBits >= 32 ? 0xFFFFFFFFu : (1u << l.recnoBits) - 1;
    writeLe32(&p[14], mask);
    p[18] = uint8_t((1u << l.dupBits) - 1);
    p[19] = uint8_t((1u << l.trailBits) - 1);
    p[20] = uint8_t(l.recnoBits);
    p[21] = uint8_t(l.dupBits);
    p[22] = uint8_t(l.trailBits);
    p[23] = uint8_t(l.bytesPerEntry);
    const size_t entriesEnd = kLeafHeader + n * size_t(l.bytesPerEntry);
    if (entriesEnd > kPageSize) return false;
    size_t keyEnd = kPageSize;
    for (size_t i = 0; i < n; ++i) {
        const std::string& key = entries[i].key;
        const int trail = trailCount(key, fmt);
        const int dup = i == 0 ? 0 : dupCount(key, entries[i - 1].key, trail, fmt);
        const size_t stored = size_t(fmt.keyLength - dup - trail);
        if (keyEnd < entriesEnd + stored) return false;
        keyEnd -= stored;
        std::copy_n(key.data() + dup, stored, &p[keyEnd]);
        uint64_t v = uint64_t(entries[i].recno) | uint64_t(dup) << l.recnoBits |
                     uint64_t(trail) << (l.recnoBits + l.dupBits);
        for (int b = 0; b < l.bytesPerEntry; ++b, v >>= 8)
            p[kLeafHeader + i * size_t(l.bytesPerEntry) + size_t(b)] = uint8_t(v);
    }
    writeLe16(&p[12], uint16_t(keyEnd - entriesEnd));
    return true;
}

uint64_t entryBits(const unsigned char* e, int bytes) {
    uint64_t v = 0;
    for (int b = bytes - 1; b >= 0; --b) v = v << 8 | e[b];
    return v;
}

void putEntryBits(unsigned char* e, int bytes, uint64_t v) {
    for (int b = 0; b < bytes; ++b, v >>= 8) e[b] = uint8_t(v);
}

}  // namespace

bool encodeLeafInsert(const Page& before, const Node& node, size_t pos, const KeyFormat& fmt, Page& p) {
    const size_t n = node.entries.size();
    if (!node.leaf || pos >= n || readLe16(&before[2]) + 1u != n || (readLe16(&before[0]) & kAttrLeaf) == 0)
        return false;
    const int recnoBits = before[20], dupBits = before[21], trailBits = before[22], bpe = before[23];
    // The layout follows the largest record number; a wider one moves every entry.
    if (layoutFor(node.entries[pos].recno, fmt).bytesPerEntry > bpe) return false;
    const uint64_t dupMask = (uint64_t(1) << dupBits) - 1, trailMask = (uint64_t(1) << trailBits) - 1;
    const unsigned char* oldEntries = &before[kLeafHeader];
    auto storedOf = [&](size_t i) {
        const uint64_t v = entryBits(oldEntries + i * size_t(bpe), bpe);
        return size_t(fmt.keyLength) - size_t((v >> recnoBits) & dupMask) - size_t((v >> (recnoBits + dupBits)) & trailMask);
    };
    const size_t oldKeyEnd = kLeafHeader + (n - 1) * size_t(bpe) + readLe16(&before[12]);
    // Where the kept keys end: entries before pos, then the one that now
    // follows the new entry; counted from whichever end of the page is nearer.
    size_t headEnd = kPageSize;
    if (pos <= (n - 1) / 2) {
        for (size_t i = 0; i < pos; ++i) headEnd -= storedOf(i);
    } else {
        headEnd = oldKeyEnd;
        for (size_t i = pos; i < n - 1; ++i) headEnd += storedOf(i);
        if (headEnd > kPageSize) return false;
    }
    const std::string& key = node.entries[pos].key;
    const int trail = trailCount(key, fmt);
    const int dup = pos == 0 ? 0 : dupCount(key, node.entries[pos - 1].key, trail, fmt);
    const size_t stored = size_t(fmt.keyLength - dup - trail);
    const size_t entriesEnd = kLeafHeader + n * size_t(bpe);
    if (headEnd < entriesEnd + stored) return false;
    size_t keyEnd = headEnd - stored;

    p = before;
    writeLe16(&p[0], uint16_t(kAttrLeaf | (node.root ? kAttrRoot : 0)));
    writeLe16(&p[2], uint16_t(n));
    writeLe32(&p[4], node.left);
    writeLe32(&p[8], node.right);
    // Entries after pos move up one place, keys after it down by the new key's bytes.
    std::memmove(&p[kLeafHeader + (pos + 1) * size_t(bpe)], oldEntries + pos * size_t(bpe), (n - 1 - pos) * size_t(bpe));
    putEntryBits(&p[kLeafHeader + pos * size_t(bpe)], bpe,
                 uint64_t(node.entries[pos].recno) | uint64_t(dup) << recnoBits | uint64_t(trail) << (recnoBits + dupBits));
    std::copy_n(key.data() + dup, stored, &p[keyEnd]);
    if (pos + 1 < n) {
        // The entry after the new one shares a different prefix now.
        unsigned char* e = &p[kLeafHeader + (pos + 1) * size_t(bpe)];
        const uint64_t v = entryBits(e, bpe);
        const int nextTrail = int((v >> (recnoBits + dupBits)) & trailMask);
        const size_t oldStored = size_t(fmt.keyLength) - size_t((v >> recnoBits) & dupMask) - size_t(nextTrail);
        const std::string& next = node.entries[pos + 1].key;
        const int nextDup = dupCount(next, key, nextTrail, fmt);
        const size_t nextStored = size_t(fmt.keyLength - nextDup - nextTrail);
        const size_t restBytes = headEnd - oldStored - oldKeyEnd;   // keys of the entries after it
        if (keyEnd < entriesEnd + nextStored + restBytes) return false;
        keyEnd -= nextStored;
        std::memmove(&p[keyEnd - restBytes], &before[oldKeyEnd], restBytes);
        std::copy_n(next.data() + nextDup, nextStored, &p[keyEnd]);
        keyEnd -= restBytes;
        const uint64_t recnoPart = v & ((uint64_t(1) << recnoBits) - 1);
        putEntryBits(e, bpe, recnoPart | uint64_t(nextDup) << recnoBits | uint64_t(nextTrail) << (recnoBits + dupBits));
    }
    std::memset(&p[entriesEnd], 0, keyEnd - entriesEnd);
    writeLe16(&p[12], uint16_t(keyEnd - entriesEnd));
    return true;
}

bool encodeLeafRemove(const Page& before, const Node& node, size_t pos, const KeyFormat& fmt, Page& p) {
    const size_t n = node.entries.size();   // entries left
    if (!node.leaf || pos > n || readLe16(&before[2]) != n + 1 || (readLe16(&before[0]) & kAttrLeaf) == 0) return false;
    const int recnoBits = before[20], dupBits = before[21], trailBits = before[22], bpe = before[23];
    // The layout follows the largest record number left; a narrower one moves every entry.
    const LeafLayout l = layoutFor(maxRecno(node.entries, 0, n), fmt);
    if (l.bytesPerEntry != bpe || l.recnoBits != recnoBits || l.dupBits != dupBits || l.trailBits != trailBits) return false;
    const uint64_t dupMask = (uint64_t(1) << dupBits) - 1, trailMask = (uint64_t(1) << trailBits) - 1;
    const unsigned char* oldEntries = &before[kLeafHeader];
    auto bitsOf = [&](size_t i) { return entryBits(oldEntries + i * size_t(bpe), bpe); };
    auto storedOf = [&](uint64_t v) {
        return size_t(fmt.keyLength) - size_t((v >> recnoBits) & dupMask) - size_t((v >> (recnoBits + dupBits)) & trailMask);
    };
    const size_t oldKeyEnd = kLeafHeader + (n + 1) * size_t(bpe) + readLe16(&before[12]);
    // Where the keys kept in place end: those of the entries before pos.
    size_t headEnd = kPageSize;
    for (size_t i = 0; i < pos; ++i) headEnd -= storedOf(bitsOf(i));
    const size_t removedBytes = storedOf(bitsOf(pos));
    const size_t entriesEnd = kLeafHeader + n * size_t(bpe);

    p = before;
    writeLe16(&p[0], uint16_t(kAttrLeaf | (node.root ? kAttrRoot : 0)));
    writeLe16(&p[2], uint16_t(n));
    writeLe32(&p[4], node.left);
    writeLe32(&p[8], node.right);
    // Entries after pos move down one place.
    std::memmove(&p[kLeafHeader + pos * size_t(bpe)], oldEntries + (pos + 1) * size_t(bpe), (n - pos) * size_t(bpe));
    size_t keyEnd = headEnd;
    if (pos < n) {
        // The entry that now follows pos's predecessor shares another prefix with it.
        const uint64_t v = bitsOf(pos + 1);
        const int trail = int((v >> (recnoBits + dupBits)) & trailMask);
        const size_t oldStored = storedOf(v);
        const std::string& key = node.entries[pos].key;
        const int dup = pos == 0 ? 0 : dupCount(key, node.entries[pos - 1].key, trail, fmt);
        const size_t stored = size_t(fmt.keyLength - dup - trail);
        const size_t restEnd = headEnd - removedBytes - oldStored;   // keys of the entries after it
        const size_t restBytes = restEnd - oldKeyEnd;
        if (headEnd < entriesEnd + stored + restBytes) return false;
        keyEnd -= stored;
        std::copy_n(key.data() + dup, stored, &p[keyEnd]);
        std::memmove(&p[keyEnd - restBytes], &before[oldKeyEnd], restBytes);
        keyEnd -= restBytes;
        const uint64_t recnoPart = v & ((uint64_t(1) << recnoBits) - 1);
        putEntryBits(&p[kLeafHeader + pos * size_t(bpe)], bpe,
                     recnoPart | uint64_t(dup) << recnoBits | uint64_t(trail) << (recnoBits + dupBits));
    }
    std::memset(&p[entriesEnd], 0, keyEnd - entriesEnd);
    writeLe16(&p[12], uint16_t(keyEnd - entriesEnd));
    return true;
}

size_t leafEntrySize(uint32_t maxRecno, const KeyFormat& fmt) {
    return size_t(layoutFor(maxRecno, fmt).bytesPerEntry);
}

size_t storedKeyBytes(const std::string& key, const std::string* prev, const KeyFormat& fmt) {
    const int trail = trailCount(key, fmt);
    const int dup = prev ? dupCount(key, *prev, trail, fmt) : 0;
    return size_t(fmt.keyLength - dup - trail);
}

size_t leafBytes(const std::vector<NodeEntry>& entries, size_t begin, size_t end, const KeyFormat& fmt) {
    size_t total = kLeafHeader + (end - begin) * leafEntrySize(maxRecno(entries, begin, end), fmt);
    for (size_t i = begin; i < end; ++i)
        total += storedKeyBytes(entries[i].key, i == begin ? nullptr : &entries[i - 1].key, fmt);
    return total;
}

size_t interiorCapacity(const KeyFormat& fmt) {
    return (kPageSize - kInteriorHeader) / (size_t(fmt.keyLength) + 8);
}

bool nodeFits(const Node& node, const KeyFormat& fmt) {
    if (node.leaf) return leafBytes(node.entries, 0, node.entries.size(), fmt) <= kPageSize;
    return node.entries.size() <= interiorCapacity(fmt);
}

Node decodeNode(const Page& p, uint32_t offset, const KeyFormat& fmt, const std::string& path) {
    Node node;
    node.offset = offset;
    const uint16_t attr = readLe16(&p[0]);
    const uint16_t count = readLe16(&p[2]);
    if (attr > (kAttrRoot | kAttrLeaf))
        throwCorrupt(path, "page " + std::to_string(offset) + " has unknown attributes " + std::to_string(attr));
    node.leaf = (attr & kAttrLeaf) != 0;
    node.root = (attr & kAttrRoot) != 0;
    node.left = readLe32(&p[4]);
    node.right = readLe32(&p[8]);
    return node.leaf ? decodeLeaf(p, std::move(node), count, fmt, path)
                     : decodeInterior(p, std::move(node), count, fmt, path);
}

Page encodeNode(const Node& node, const KeyFormat& fmt) {
    Page p;
    if (!encodeIfFits(node, fmt, p)) throwBadArgument("a page was written with more entries than it holds");
    return p;
}

bool encodeIfFits(const Node& node, const KeyFormat& fmt, Page& p) {
    return encodeIfFits(NodeShape{node.offset, node.leaf, node.root, node.left, node.right}, node.entries.data(),
                        node.entries.size(), fmt, p);
}

bool encodeIfFits(const NodeShape& shape, const NodeEntry* entries, size_t count, const KeyFormat& fmt, Page& p) {
    p.fill(0);
    writeLe16(&p[0], uint16_t((shape.leaf ? kAttrLeaf : 0) | (shape.root ? kAttrRoot : 0)));
    writeLe16(&p[2], uint16_t(count));
    writeLe32(&p[4], shape.left);
    writeLe32(&p[8], shape.right);
    if (shape.leaf) return encodeLeaf(entries, count, fmt, p);
    if (count > interiorCapacity(fmt)) return false;
    const size_t width = size_t(fmt.keyLength) + 8;
    for (size_t i = 0; i < count; ++i) {
        unsigned char* e = &p[kInteriorHeader + i * width];
        std::copy_n(entries[i].key.data(), fmt.keyLength, e);
        writeBe32(e + fmt.keyLength, entries[i].recno);
        writeBe32(e + fmt.keyLength + 4, entries[i].child);
    }
    return true;
}

size_t leafBytesOnPage(const Page& p) { return kPageSize - readLe16(&p[12]); }

}  // namespace xbase::cdx
