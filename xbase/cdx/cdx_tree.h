#pragma once
// One B-tree of the index file (a tag, or the directory of tags), kept in
// (key, recno) order, reached through the root pointer in its header.
// Every walk is bounded so that a damaged file ends in an error.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/cdx_node.h"

namespace xbase::cdx {

// Orders entries by key bytes, then record number.
int compareEntries(const std::string& aKey, uint32_t aRecno, const std::string& bKey, uint32_t bRecno);

// A predicate over entries that is false for a prefix of the tree and true after.
using Boundary = std::function<bool(const NodeEntry&)>;

class CdxTree {
public:
    CdxTree(CdxFile& file, uint32_t headerOffset, KeyFormat fmt);

    // leaf, when given, is told the leaf page of the entry found.
    std::optional<NodeEntry> firstWhere(const Boundary& b, uint32_t* leaf = nullptr);
    // The entry after (key, recno) found from the leaf that holds (key, recno)
    // or its right neighbour, moving leaf along; nullopt when that leaf cannot
    // tell (the entry lies before it, or it is the tree's last). The leaf must
    // be as the file holds it now.
    // `at` is where in the leaf the entry given last stands (a hint), moved along too.
    std::optional<NodeEntry> nextInLeaf(std::shared_ptr<const Node>& leaf, size_t& at, const std::string& key,
                                        uint32_t recno);
    // The same, pointing into `leaf` (valid while leaf holds that node).
    const NodeEntry* nextInLeafRef(std::shared_ptr<const Node>& leaf, size_t& at, const std::string& key,
                                   uint32_t recno);
    std::shared_ptr<const Node> leafAt(uint32_t offset);
    std::optional<NodeEntry> lastBefore(const Boundary& b);

    bool insert(const std::string& key, uint32_t recno);   // false when already there
    bool remove(const std::string& key, uint32_t recno);   // false when not there

    // Writes a tree holding `sorted` (in order, no repeats) and returns its
    // root. Its pages are taken from `reuse` first (pages of a tree it
    // replaces, which it then overwrites without freeing them first); the
    // ones it does not need are left there.
    static uint32_t build(CdxFile& file, const std::vector<NodeEntry>& sorted, const KeyFormat& fmt,
                          std::vector<uint32_t>* reuse = nullptr);
    // Every page of the tree, for freeing it.
    std::vector<uint32_t> pages();
    // Throws a corrupt-file error unless the tree is well formed; gives the entry count.
    size_t check();

private:
    // A node on the way down and the child taken; the node is copied only
    // when a change reaches it, and taken over without a copy when nobody
    // but the file's cache holds it.
    struct Step {
        std::shared_ptr<const Node> read;
        std::optional<Node> changed;
        size_t index = 0;
        CdxFile* file = nullptr;
        const Node& get() const { return changed ? *changed : *read; }
        Node& node() {
            if (!changed) {
                if (file && file->releaseNode(read)) changed = std::move(const_cast<Node&>(*read));
                else changed = *read;
            }
            return *changed;
        }
    };
    // Writes the step's changed node, which becomes what it reads.
    const Node& write(Step& step, const Page& encoded);
    uint32_t root();
    void setRoot(uint32_t offset);
    Node load(uint32_t offset);
    std::shared_ptr<const Node> view(uint32_t offset);
    void store(const Node& node);
    std::vector<Step> descend(const std::string& key, uint32_t recno);
    // Writes the changed nodes of path from its end up; `inserted` is where
    // the last node (a leaf) took its one new entry, if that is its only change.
    static constexpr size_t kNothingInserted = ~size_t{0};
    void grow(std::vector<Step>& path, size_t inserted);
    // `removed`: where the last node (a leaf) lost its one entry.
    void shrink(std::vector<Step>& path, size_t removed);
    void split(std::vector<Step>& path, size_t level);
    bool mergeWithSibling(std::vector<Step>& path, size_t level);
    void unlink(const Node& node);
    size_t checkNode(uint32_t offset, int depth, int& leafDepth, std::vector<uint32_t>& leaves,
                     const NodeEntry* upper);

    CdxFile& file_;
    uint32_t headerOffset_;
    KeyFormat fmt_;
};

}  // namespace xbase::cdx
