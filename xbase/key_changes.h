#pragma once
// The key changes of one row, gathered per index file so that each file
// takes them in one change. Internal to the table.

#include <algorithm>
#include <utility>
#include <vector>

#include "xbase/table.h"

namespace xbase {

class KeyChanges {
public:
    void add(const OpenTag& tag, IndexEntry entry, bool insert) {
        auto it = std::find_if(files_.begin(), files_.end(), [&](const auto& f) { return f.first == tag.index; });
        if (it == files_.end()) it = files_.insert(files_.end(), {tag.index, {}});
        it->second.push_back(IndexChange{tag.spec.name, std::move(entry), insert});
    }
    // The entry the tag holds for the row (before) gives way to after.
    void move(const OpenTag& tag, uint32_t recNo, const std::optional<std::string>& before,
              const std::optional<std::string>& after) {
        if (before == after) return;
        if (before) add(tag, IndexEntry{*before, recNo}, false);
        if (after) add(tag, IndexEntry{*after, recNo}, true);
    }
    bool empty() const { return files_.empty(); }
    void apply() {
        for (const auto& [index, changes] : files_) index->apply(changes);
    }
    // apply() while no index changed by other hands since seen(index) was
    // read; false when one did (the changes are then to be made again, in
    // full: making one twice does no harm).
    // oneByOne: see CdxIndex::applyIfUnchanged.
    template <class Seen>
    bool applyIfUnchanged(Seen seen, bool oneByOne = false) {
        for (const auto& [index, changes] : files_) {
            if (!index->applyIfUnchanged(changes, seen(index), oneByOne)) return false;
        }
        return true;
    }

private:
    std::vector<std::pair<CdxIndex*, std::vector<IndexChange>>> files_;
};

}  // namespace xbase
