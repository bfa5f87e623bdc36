#include "xbase/cdx/cdx_tree.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "xbase/cdx/cdx_bytes.h"
#include "xbase/cdx/cdx_errors.h"

namespace xbase::cdx {
namespace {

constexpr int kMaxDepth = 64;
constexpr size_t kUsualDepth = 6;   // a million keys; deeper paths grow as needed

bool sameEntry(const NodeEntry& a, const NodeEntry& b) { return a.key == b.key && a.recno == b.recno; }

NodeEntry summary(const Node& node) {
    return {node.entries.back().key, node.entries.back().recno, node.offset};
}

bool underfull(const Node& node, const KeyFormat& fmt) {
    if (node.leaf) return leafBytes(node.entries, 0, node.entries.size(), fmt) < kPageSize / 2;
    return node.entries.size() < interiorCapacity(fmt) / 2;
}

// Where to cut an overfull node so that both halves fit: the cut that
// makes the larger half smallest, with the size of every prefix and suffix
// counted in one pass each.
size_t splitPoint(const Node& node, const KeyFormat& fmt) {
    const size_t n = node.entries.size();
    if (!node.leaf || n < 2) return n / 2;
    const auto& e = node.entries;
    std::vector<size_t> chained(n), prefixKeys(n + 1, 0), suffixChained(n + 1, 0);
    std::vector<uint32_t> prefixMax(n + 1, 0), suffixMax(n + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        chained[i] = storedKeyBytes(e[i].key, i == 0 ? nullptr : &e[i - 1].key, fmt);
        prefixKeys[i + 1] = prefixKeys[i] + chained[i];
        prefixMax[i + 1] = std::max(prefixMax[i], e[i].recno);
    }
    for (size_t i = n; i-- > 0;) {
        suffixChained[i] = suffixChained[i + 1] + chained[i];
        suffixMax[i] = std::max(suffixMax[i + 1], e[i].recno);
    }
    size_t best = n / 2;
    size_t bestSize = SIZE_MAX;
    for (size_t i = 1; i < n; ++i) {
        const size_t left = kLeafHeaderBytes + i * leafEntrySize(prefixMax[i], fmt) + prefixKeys[i];
        // The right half's first key is stored whole.
        const size_t right = kLeafHeaderBytes + (n - i) * leafEntrySize(suffixMax[i], fmt) +
                             storedKeyBytes(e[i].key, nullptr, fmt) + suffixChained[i + 1];
        const size_t size = std::max(left, right);
        if (size < bestSize) {
            bestSize = size;
            best = i;
        }
    }
    return best;
}

// Where to cut an overfull interior node whose child at `changed` just
// split in two (the halves at changed and changed + 1). Keys so long that a
// page holds two entries leave one half with a single entry: it goes on the
// side the tree is growing towards, where the next split fills it. A lone
// entry left behind on the other side would stay alone for good, and keys
// coming in order would then add a level with every other split.
size_t interiorSplitPoint(const Node& node, size_t changed) {
    if (node.entries.size() == 3) return changed >= 1 ? 2 : 1;
    return node.entries.size() / 2;
}

// Cuts `count` items into `ceil(count / capacity)` runs of nearly equal size.
std::vector<std::pair<size_t, size_t>> evenRuns(size_t count, size_t capacity) {
    const size_t runs = (count + capacity - 1) / capacity;
    std::vector<std::pair<size_t, size_t>> out;
    size_t begin = 0;
    for (size_t r = 0; r < runs; ++r) {
        const size_t size = count / runs + (r < count % runs ? 1 : 0);
        out.emplace_back(begin, begin + size);
        begin += size;
    }
    return out;
}

std::vector<std::pair<size_t, size_t>> leafRuns(const std::vector<NodeEntry>& sorted, const KeyFormat& fmt) {
    std::vector<std::pair<size_t, size_t>> out;
    size_t i = 0;
    while (i < sorted.size()) {
        size_t j = i, keyBytes = 0;
        uint32_t maxRecno = 0;
        while (j < sorted.size()) {
            const uint32_t m = std::max(maxRecno, sorted[j].recno);
            const size_t k = keyBytes + storedKeyBytes(sorted[j].key, j == i ? nullptr : &sorted[j - 1].key, fmt);
            if (kLeafHeaderBytes + (j - i + 1) * leafEntrySize(m, fmt) + k > kPageSize && j > i) break;
            keyBytes = k;
            maxRecno = m;
            ++j;
        }
        out.emplace_back(i, j);
        i = j;
    }
    return out;
}

// The entries are false then true under a boundary, so a binary search finds the first true one.
std::vector<NodeEntry>::const_iterator firstTrue(const std::vector<NodeEntry>& entries, const Boundary& b) {
    return std::partition_point(entries.begin(), entries.end(), [&](const NodeEntry& e) { return !b(e); });
}

}  // namespace

int compareEntries(const std::string& aKey, uint32_t aRecno, const std::string& bKey, uint32_t bRecno) {
    if (const int c = aKey.compare(bKey); c != 0) return c < 0 ? -1 : 1;
    return aRecno < bRecno ? -1 : aRecno > bRecno ? 1 : 0;
}

CdxTree::CdxTree(CdxFile& file, uint32_t headerOffset, KeyFormat fmt)
    : file_(file), headerOffset_(headerOffset), fmt_(fmt) {}

uint32_t CdxTree::root() { return file_.word(headerOffset_, 0); }

void CdxTree::setRoot(uint32_t offset) {
    Page header = file_.page(headerOffset_);
    writeLe32(header.data(), offset);
    file_.writePage(headerOffset_, header);
}

std::shared_ptr<const Node> CdxTree::view(uint32_t offset) {
    if (offset < kFirstPage || offset == kNoPage)
        throwCorrupt(file_.path(), "a tree points to page " + std::to_string(offset) + " inside the file header");
    return file_.node(offset, fmt_);
}

Node CdxTree::load(uint32_t offset) { return *view(offset); }

void CdxTree::store(const Node& node) { file_.writeNode(node, fmt_); }

std::vector<CdxTree::Step> CdxTree::descend(const std::string& key, uint32_t recno) {
    std::vector<Step> path;
    path.reserve(kUsualDepth);
    uint32_t offset = root();
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        auto node = view(offset);
        if (node->leaf) {
            path.push_back({std::move(node), std::nullopt, 0, &file_});
            return path;
        }
        if (node->entries.empty()) throwCorrupt(file_.path(), "interior page " + std::to_string(offset) + " is empty");
        // The first entry not before (key, recno), or the last: entries are in
        // order. Keys that come in order go down the last child at once.
        const auto& entries = node->entries;
        const auto beforeKey = [&](const NodeEntry& e) { return compareEntries(e.key, e.recno, key, recno) < 0; };
        const size_t n = entries.size();
        const size_t i = n >= 2 && beforeKey(entries[n - 2])
                             ? n - 1
                             : size_t(std::partition_point(entries.begin(), std::prev(entries.end()), beforeKey) -
                                      entries.begin());
        offset = entries[i].child;
        path.push_back({std::move(node), std::nullopt, i, &file_});
    }
    throwCorrupt(file_.path(), "a tree is deeper than any index can be (pages form a loop?)");
}

std::optional<NodeEntry> CdxTree::firstWhere(const Boundary& b, uint32_t* leaf) {
    auto node = view(root());
    for (int depth = 0; !node->leaf; ++depth) {
        if (depth >= kMaxDepth) throwCorrupt(file_.path(), "a tree is deeper than any index can be (pages form a loop?)");
        auto it = firstTrue(node->entries, b);
        if (it == node->entries.end()) return std::nullopt;
        node = view(it->child);
    }
    for (uint32_t steps = 0; steps <= file_.pageCount(); ++steps) {
        auto it = firstTrue(node->entries, b);
        if (it != node->entries.end()) {
            if (leaf) *leaf = node->offset;
            return *it;
        }
        if (node->right == kNoPage) return std::nullopt;
        if (node->right == node->offset) throwCorrupt(file_.path(), "leaf page " + std::to_string(node->offset) + " links to itself");
        node = view(node->right);
        if (!node->leaf) throwCorrupt(file_.path(), "a leaf page links to a non-leaf page");
    }
    throwCorrupt(file_.path(), "leaf pages link in a loop");
}

std::optional<NodeEntry> CdxTree::lastBefore(const Boundary& b) {
    auto node = view(root());
    for (int depth = 0; !node->leaf; ++depth) {
        if (depth >= kMaxDepth) throwCorrupt(file_.path(), "a tree is deeper than any index can be (pages form a loop?)");
        auto it = firstTrue(node->entries, b);
        node = view(it == node->entries.end() ? node->entries.back().child : it->child);
    }
    const auto it = firstTrue(node->entries, b);
    if (it != node->entries.begin()) return *std::prev(it);
    for (uint32_t steps = 0; steps <= file_.pageCount(); ++steps) {
        if (node->left == kNoPage) return std::nullopt;
        if (node->left == node->offset) throwCorrupt(file_.path(), "leaf page " + std::to_string(node->offset) + " links to itself");
        node = view(node->left);
        if (!node->leaf) throwCorrupt(file_.path(), "a leaf page links to a non-leaf page");
        if (node->entries.empty()) continue;
        if (b(node->entries.back())) throwCorrupt(file_.path(), "leaf page links are out of key order");
        return node->entries.back();
    }
    throwCorrupt(file_.path(), "leaf pages link in a loop");
}

std::optional<NodeEntry> CdxTree::nextInLeaf(std::shared_ptr<const Node>& leaf, size_t& at, const std::string& key,
                                             uint32_t recno) {
    const NodeEntry* e = nextInLeafRef(leaf, at, key, recno);
    if (!e) return std::nullopt;
    return *e;
}

const NodeEntry* CdxTree::nextInLeafRef(std::shared_ptr<const Node>& leaf, size_t& at, const std::string& key,
                                        uint32_t recno) {
    if (!leaf || !leaf->leaf || leaf->entries.empty()) return nullptr;
    const auto& entries = leaf->entries;
    // Most often (key, recno) is the entry at `at`, given last time.
    size_t next = 0;
    if (at < entries.size() && entries[at].recno == recno && entries[at].key == key) {
        next = at + 1;
    } else {
        const auto it = std::partition_point(entries.begin(), entries.end(), [&](const NodeEntry& e) {
            return compareEntries(e.key, e.recno, key, recno) <= 0;
        });
        if (it == entries.begin()) return nullptr;   // the entry lies before this leaf
        next = size_t(it - entries.begin());
    }
    // Each answer must lie after (key, recno), as a descent's would: in a
    // damaged file, keys out of order or leaves linked in a loop would
    // otherwise walk in a circle. Anything else falls back to the descent,
    // which bounds its steps and reports the damage.
    auto after = [&](const NodeEntry& e) { return compareEntries(e.key, e.recno, key, recno) > 0; };
    if (next < entries.size()) {
        if (!after(entries[next])) return nullptr;
        at = next;
        return &entries[next];
    }
    if (leaf->right == kNoPage || leaf->right == leaf->offset) return nullptr;
    auto right = view(leaf->right);
    if (!right->leaf || right->entries.empty() || !after(right->entries.front())) return nullptr;
    leaf = std::move(right);
    at = 0;
    return &leaf->entries.front();
}

std::shared_ptr<const Node> CdxTree::leafAt(uint32_t offset) { return view(offset); }

bool CdxTree::insert(const std::string& key, uint32_t recno) {
    std::vector<Step> path = descend(key, recno);
    const auto& seen = path.back().get().entries;
    // Keys that come in order go after the leaf's last entry.
    const bool last = !seen.empty() && compareEntries(seen.back().key, seen.back().recno, key, recno) < 0;
    const auto at = last ? seen.end() : std::lower_bound(seen.begin(), seen.end(), 0, [&](const NodeEntry& e, int) {
        return compareEntries(e.key, e.recno, key, recno) < 0;
    });
    if (at != seen.end() && at->key == key && at->recno == recno) return false;
    const auto pos = at - seen.begin();
    auto& entries = path.back().node().entries;
    entries.insert(entries.begin() + pos, NodeEntry{key, recno, 0});
    grow(path, size_t(pos));
    return true;
}

const Node& CdxTree::write(Step& step, const Page& encoded) {
    auto written = std::make_shared<Node>(std::move(step.node()));
    written->ownEncoding = true;
    step.read = std::move(written);
    step.changed.reset();
    file_.writeNode(step.read, fmt_, encoded);
    return *step.read;
}

void CdxTree::grow(std::vector<Step>& path, size_t inserted) {
    size_t level = path.size() - 1;
    for (;;) {
        Page page;
        const Node& changed = path[level].node();
        // A leaf whose page this open encoded takes one new entry as a
        // patch of that page; anything else is encoded whole.
        const bool patched = inserted < changed.entries.size() && level == path.size() - 1 && changed.ownEncoding &&
                             encodeLeafInsert(file_.pageRef(changed.offset), changed, inserted, fmt_, page);
        if (!patched && !encodeIfFits(changed, fmt_, page)) {
            split(path, level);
            return;
        }
        const Node& node = write(path[level], page);
        if (level == 0) return;
        Step& up = path[level - 1];
        if (sameEntry(up.get().entries[up.index], node.entries.back())) return;
        up.node().entries[up.index] = summary(node);
        --level;
    }
}

void CdxTree::split(std::vector<Step>& path, size_t level) {
    Node& node = path[level].node();
    const size_t at = node.leaf ? splitPoint(node, fmt_) : interiorSplitPoint(node, path[level].index);
    Node right;
    right.leaf = node.leaf;
    right.offset = file_.allocatePage();
    right.entries.assign(node.entries.begin() + long(at), node.entries.end());
    node.entries.resize(at);
    right.left = node.offset;
    right.right = node.right;
    if (node.right != kNoPage) {
        Node far = load(node.right);
        far.left = right.offset;
        store(far);
    }
    node.right = right.offset;
    if (node.root || level == 0) {
        node.root = false;
        Node top;
        top.leaf = false;
        top.root = true;
        top.offset = file_.allocatePage();
        top.entries = {summary(node), summary(right)};
        store(node);
        store(right);
        store(top);
        setRoot(top.offset);
        return;
    }
    store(node);
    store(right);
    Step& up = path[level - 1];
    auto& upper = up.node().entries;
    upper[up.index] = summary(node);
    upper.insert(upper.begin() + long(up.index) + 1, summary(right));
    path.resize(level);
    grow(path, kNothingInserted);
}

bool CdxTree::remove(const std::string& key, uint32_t recno) {
    std::vector<Step> path = descend(key, recno);
    const auto& seen = path.back().get().entries;
    auto same = [&](const NodeEntry& e) { return e.key == key && e.recno == recno; };
    auto at = std::lower_bound(seen.begin(), seen.end(), 0, [&](const NodeEntry& e, int) {
        return compareEntries(e.key, e.recno, key, recno) < 0;
    });
    // A leaf out of order (a damaged file) is looked through whole.
    if (at == seen.end() || !same(*at)) at = std::find_if(seen.begin(), seen.end(), same);
    if (at == seen.end()) return false;
    const auto pos = at - seen.begin();
    auto& entries = path.back().node().entries;
    entries.erase(entries.begin() + pos);
    shrink(path, size_t(pos));
    return true;
}

void CdxTree::unlink(const Node& node) {
    if (node.left != kNoPage) {
        Node l = load(node.left);
        l.right = node.right;
        store(l);
    }
    if (node.right != kNoPage) {
        Node r = load(node.right);
        r.left = node.left;
        store(r);
    }
}

bool CdxTree::mergeWithSibling(std::vector<Step>& path, size_t level) {
    Node& node = path[level].node();
    Step& up = path[level - 1];
    auto& siblings = up.node().entries;
    const size_t idx = up.index;
    // Merging keeps the page on the left and frees the one on the right.
    auto tryMerge = [&](Node left, const Node& right, size_t leftIdx) {
        if (left.leaf != right.leaf) throwCorrupt(file_.path(), "sibling pages of different kinds");
        left.entries.insert(left.entries.end(), right.entries.begin(), right.entries.end());
        if (!nodeFits(left, fmt_)) return false;
        left.right = right.right;
        if (right.right != kNoPage) {
            Node far = load(right.right);
            far.left = left.offset;
            store(far);
        }
        file_.freePage(right.offset);
        store(left);
        siblings.erase(siblings.begin() + long(leftIdx) + 1);
        siblings[leftIdx] = summary(left);
        return true;
    };
    if (idx + 1 < siblings.size() && tryMerge(node, load(siblings[idx + 1].child), idx)) return true;
    if (idx > 0 && tryMerge(load(siblings[idx - 1].child), node, idx - 1)) return true;
    return false;
}

void CdxTree::shrink(std::vector<Step>& path, size_t removed) {
    size_t level = path.size() - 1;
    for (;;) {
        Node& node = path[level].node();
        if (level == 0) {
            // A root with one child hands the root role down.
            for (int depth = 0; !node.leaf && node.entries.size() == 1; ++depth) {
                if (depth >= kMaxDepth) throwCorrupt(file_.path(), "a tree is deeper than any index can be");
                Node child = load(node.entries[0].child);
                file_.freePage(node.offset);
                child.root = true;
                child.left = child.right = kNoPage;
                node = std::move(child);
                setRoot(node.offset);
            }
            if (!node.leaf && node.entries.empty()) node.leaf = true;
            store(node);
            return;
        }
        Step& up = path[level - 1];
        if (node.entries.empty()) {
            unlink(node);
            file_.freePage(node.offset);
            auto& upper = up.node().entries;
            upper.erase(upper.begin() + long(up.index));
            --level;
            continue;
        }
        // A leaf whose page this open encoded loses its one entry as a patch
        // of that page; anything else is encoded whole.
        Page page;
        const bool patched = level == path.size() - 1 && node.leaf && node.ownEncoding &&
                             encodeLeafRemove(file_.pageRef(node.offset), node, removed, fmt_, page);
        if (!patched) page = encodeNode(node, fmt_);
        const bool small = node.leaf ? leafBytesOnPage(page) < kPageSize / 2 : underfull(node, fmt_);
        if (small && mergeWithSibling(path, level)) {
            --level;
            continue;
        }
        const Node& stored = write(path[level], page);
        if (sameEntry(up.get().entries[up.index], stored.entries.back())) return;
        up.node().entries[up.index] = summary(stored);
        --level;
    }
}

uint32_t CdxTree::build(CdxFile& file, const std::vector<NodeEntry>& sorted, const KeyFormat& fmt,
                       std::vector<uint32_t>* reuse) {
    auto takePage = [&] {
        if (!reuse || reuse->empty()) return file.allocatePage();
        const uint32_t offset = reuse->back();
        reuse->pop_back();
        return offset;
    };
    auto writeLevel = [&](const std::vector<NodeEntry>& items, const std::vector<std::pair<size_t, size_t>>& runs,
                          bool leaf) {
        std::vector<uint32_t> offsets;
        for (size_t r = 0; r < runs.size(); ++r) offsets.push_back(takePage());
        std::vector<NodeEntry> upper;
        upper.reserve(runs.size());
        Page page;
        for (size_t r = 0; r < runs.size(); ++r) {
            NodeShape shape;
            shape.leaf = leaf;
            shape.root = runs.size() == 1;
            shape.offset = offsets[r];
            shape.left = r > 0 ? offsets[r - 1] : kNoPage;
            shape.right = r + 1 < runs.size() ? offsets[r + 1] : kNoPage;
            const size_t count = runs[r].second - runs[r].first;
            if (!encodeIfFits(shape, items.data() + runs[r].first, count, fmt, page))
                throwBadArgument("a page was written with more entries than it holds");
            file.writePage(shape.offset, page);
            if (count > 0) {
                const NodeEntry& last = items[runs[r].second - 1];
                upper.push_back({last.key, last.recno, shape.offset});
            }
        }
        return std::make_pair(upper, offsets.front());
    };
    if (reuse) std::sort(reuse->rbegin(), reuse->rend());   // taken from the back: in file order
    if (sorted.empty()) return writeLevel(sorted, {{0, 0}}, true).second;
    auto [level, first] = writeLevel(sorted, leafRuns(sorted, fmt), true);
    while (level.size() > 1) std::tie(level, first) = writeLevel(level, evenRuns(level.size(), interiorCapacity(fmt)), false);
    return first;
}

std::vector<uint32_t> CdxTree::pages() {
    std::vector<uint32_t> out;
    std::unordered_set<uint32_t> seen;
    std::vector<std::pair<uint32_t, int>> todo{{root(), 0}};
    while (!todo.empty()) {
        const auto [offset, depth] = todo.back();
        todo.pop_back();
        if (depth > kMaxDepth || !seen.insert(offset).second || seen.size() > file_.pageCount())
            throwCorrupt(file_.path(), "a tree reaches page " + std::to_string(offset) + " twice");
        out.push_back(offset);
        // A leaf is counted without decoding its keys.
        if (offset >= kFirstPage && leafAttributes(file_.word(offset, 0))) continue;
        const auto node = view(offset);
        if (!node->leaf)
            for (const auto& e : node->entries) todo.emplace_back(e.child, depth + 1);
    }
    return out;
}

size_t CdxTree::checkNode(uint32_t offset, int depth, int& leafDepth, std::vector<uint32_t>& leaves,
                          const NodeEntry* upper) {
    if (depth > kMaxDepth) throwCorrupt(file_.path(), "a tree is deeper than any index can be");
    const Node node = load(offset);
    const std::string where = "page " + std::to_string(offset);
    if (node.entries.empty() && depth > 0) throwCorrupt(file_.path(), where + " is empty");
    if (node.root != (depth == 0)) throwCorrupt(file_.path(), where + " has a wrong root mark");
    for (size_t i = 1; i < node.entries.size(); ++i) {
        const auto& a = node.entries[i - 1];
        const auto& b = node.entries[i];
        if (compareEntries(a.key, a.recno, b.key, b.recno) >= 0) throwCorrupt(file_.path(), where + " is out of order");
    }
    if (upper && !node.entries.empty() && !sameEntry(*upper, node.entries.back()))
        throwCorrupt(file_.path(), where + " does not end with its parent's key");
    if (node.leaf) {
        if (leafDepth >= 0 && leafDepth != depth) throwCorrupt(file_.path(), "leaves at different depths");
        leafDepth = depth;
        leaves.push_back(offset);
        return node.entries.size();
    }
    size_t count = 0;
    for (const auto& e : node.entries) count += checkNode(e.child, depth + 1, leafDepth, leaves, &e);
    return count;
}

size_t CdxTree::check() {
    int leafDepth = -1;
    std::vector<uint32_t> leaves;
    const size_t count = checkNode(root(), 0, leafDepth, leaves, nullptr);
    uint32_t prev = kNoPage;
    std::optional<NodeEntry> last;
    for (const uint32_t offset : leaves) {
        const Node node = load(offset);
        if (node.left != prev) throwCorrupt(file_.path(), "leaf links do not match the tree");
        if (!node.entries.empty() && last &&
            compareEntries(last->key, last->recno, node.entries.front().key, node.entries.front().recno) >= 0)
            throwCorrupt(file_.path(), "leaves are out of order");
        if (!node.entries.empty()) last = node.entries.back();
        prev = offset;
    }
    if (load(leaves.back()).right != kNoPage) throwCorrupt(file_.path(), "the last leaf links further");
    return count;
}

}  // namespace xbase::cdx
