#include "xbase/cdx/cdx_index.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "xbase/cdx/cdx_errors.h"
#include "xbase/cdx/cdx_file.h"
#include "xbase/cdx/cdx_tag_header.h"
#include "xbase/cdx/cdx_tree.h"

namespace xbase {

using cdx::CdxFile;
using cdx::CdxTree;
using cdx::KeyFormat;
using cdx::NodeEntry;

namespace {

constexpr int kTagNameLength = 10;
constexpr size_t kMaxTags = 65536;
const KeyFormat kDirectoryFormat{kTagNameLength, ' '};
constexpr size_t kFewTags = 16;   // looked through one by one

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string directoryKey(const std::string& name) {
    std::string key = upper(name);
    key.resize(kTagNameLength, ' ');
    return key;
}

std::string nameFromKey(std::string key) {
    while (!key.empty() && (key.back() == ' ' || key.back() == '\0')) key.pop_back();
    return key;
}

void checkTagName(const std::string& name) {
    const bool ok = !name.empty() && name.size() <= size_t(kTagNameLength) &&
                    std::all_of(name.begin(), name.end(), [](char c) {
                        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                    });
    if (!ok) cdx::throwBadArgument("Invalid tag name \"" + name + "\"");
}

// A bare field name keyed in 8 bytes is most likely a number or a date.
char guessKeyType(const cdx::TagHeader& h) {
    const std::string& e = h.keyExpression;
    const bool bare = !e.empty() && std::all_of(e.begin(), e.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-' || c == '>';
    });
    return h.keyLength == 8 && bare ? 'N' : 'C';
}

unsigned char padFor(char keyType) { return keyType == 'C' || keyType == 'L' ? ' ' : '\0'; }

// Sorts entries by (key, recno). The first eight key bytes, read as one
// number, settle most comparisons without reaching the keys themselves,
// which a tag build has by the hundred thousand scattered in memory.
void sortEntries(std::vector<NodeEntry>& entries) {
    struct Slot {
        uint64_t head;
        uint32_t index;
    };
    std::vector<Slot> order(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& k = entries[i].key;
        uint64_t head = 0;
        for (size_t b = 0; b < 8; ++b) head = head << 8 | (b < k.size() ? static_cast<unsigned char>(k[b]) : 0u);
        order[i] = {head, uint32_t(i)};
    }
    std::sort(order.begin(), order.end(), [&](const Slot& a, const Slot& b) {
        if (a.head != b.head) return a.head < b.head;
        const NodeEntry& x = entries[a.index];
        const NodeEntry& y = entries[b.index];
        return cdx::compareEntries(x.key, x.recno, y.key, y.recno) < 0;
    });
    std::vector<NodeEntry> out;
    out.reserve(entries.size());
    for (const Slot& s : order) out.push_back(std::move(entries[s.index]));
    entries = std::move(out);
}

IndexEntry toEntry(std::optional<NodeEntry>&& e) { return IndexEntry{std::move(e->key), e->recno}; }

std::optional<IndexEntry> toResult(std::optional<NodeEntry>&& e) {
    if (!e) return std::nullopt;
    return toEntry(std::move(e));
}

}  // namespace

class CdxIndex::Impl {
public:
    struct Tag {
        uint32_t header = 0;
        cdx::TagHeader h;
        KeyFormat fmt;
        std::string name;
    };

    explicit Impl(std::unique_ptr<CdxFile> f) : file(std::move(f)) {}

    CdxTree directory() { return CdxTree(*file, 0, kDirectoryFormat); }

    cdx::TagHeader header(uint32_t offset) {
        if (offset < cdx::kFirstPage && offset != 0)
            cdx::throwCorrupt(file->path(), "a tag header lies inside the file header");
        return cdx::decodeTagHeader(file->page(offset), file->page(offset + cdx::kPageSize), offset, file->path());
    }

    char keyTypeOf(const std::string& name, const cdx::TagHeader& h) {
        auto it = keyTypes.find(name);
        return it != keyTypes.end() ? it->second : guessKeyType(h);
    }

    Tag makeTag(const std::string& name, uint32_t offset) {
        Tag t{offset, header(offset), {}, name};
        t.fmt = KeyFormat{t.h.keyLength, padFor(keyTypeOf(name, t.h))};
        return t;
    }

    // The tag's header as last read; the pointer stays valid until
    // forgetTags(). Headers change only by tags made or dropped (which
    // forget them) or by other programs (which makes the file drop its
    // caches), not by this open's key changes.
    const Tag* findTag(const std::string& name) {
        if (name.empty() || name.size() > size_t(kTagNameLength)) return nullptr;
        if (file->foreignGeneration() != tagsGeneration) {
            forgetTags();
            tagsGeneration = file->foreignGeneration();
        }
        if (lastFound && name == lastName) return lastFound;
        // A row's changes name the same few tags in turn, spelled as the tag names itself.
        if (tagCache.size() <= kFewTags) {
            for (auto& [k, t] : tagCache) {
                if (t.name != name) continue;
                lastName = name;
                lastFound = &t;
                return lastFound;
            }
        }
        const std::string key = directoryKey(name);
        auto it = tagCache.find(key);
        if (it == tagCache.end()) {
            auto e = directory().firstWhere([&](const NodeEntry& x) { return x.key >= key; });
            if (!e || e->key != key) return nullptr;
            it = tagCache.emplace(key, makeTag(upper(name), e->recno)).first;
        }
        lastName = name;
        lastFound = &it->second;
        return lastFound;
    }

    void forgetTags() {
        tagCache.clear();
        lastFound = nullptr;
    }

    const Tag& requireTag(const std::string& name) {
        const Tag* t = findTag(name);
        if (!t) cdx::throwBadArgument("Tag " + upper(name) + " not found in index file " + file->path());
        return *t;
    }

    std::vector<Tag> allTags() {
        std::vector<Tag> out;
        CdxTree dir = directory();
        auto e = dir.firstWhere([](const NodeEntry&) { return true; });
        while (e) {
            if (out.size() >= kMaxTags) cdx::throwCorrupt(file->path(), "the tag directory does not end");
            out.push_back(makeTag(nameFromKey(e->key), e->recno));
            const NodeEntry at = *e;
            e = dir.firstWhere([&](const NodeEntry& x) { return cdx::compareEntries(x.key, x.recno, at.key, at.recno) > 0; });
        }
        // Tags are numbered in the order they were made, which is the order of their headers.
        std::sort(out.begin(), out.end(), [](const Tag& a, const Tag& b) { return a.header < b.header; });
        return out;
    }

    static std::string fit(std::string key, const KeyFormat& fmt) {
        key.resize(size_t(fmt.keyLength), static_cast<char>(fmt.pad));
        return key;
    }

    static CdxTagSpec describe(const Tag& t, char keyType) {
        CdxTagSpec s;
        s.name = t.name;
        s.keyExpression = t.h.keyExpression;
        s.forExpression = t.h.forExpression;
        s.unique = (t.h.options & cdx::kOptUnique) != 0;
        s.descending = t.h.descending;
        s.keyType = keyType;
        s.keyLength = t.h.keyLength;
        return s;
    }

    // Under an exclusive hold; false when the tag is left as it was.
    bool insert(const std::string& tag, const IndexEntry& e) {
        const Tag& t = requireTag(tag);   // nothing below forgets the tags
        const std::string key = fit(e.key, t.fmt);
        CdxTree tree(*file, t.header, t.fmt);
        if (t.h.options & cdx::kOptUnique) {
            auto have = tree.firstWhere([&](const NodeEntry& x) { return x.key >= key; });
            if (have && have->key == key) return false;
        }
        return tree.insert(key, e.recno);
    }

    bool remove(const std::string& tag, const IndexEntry& e) {
        const Tag& t = requireTag(tag);
        return CdxTree(*file, t.header, t.fmt).remove(fit(e.key, t.fmt), e.recno);
    }

    void freeTree(const Tag& t) {
        file->freePages(CdxTree(*file, t.header, t.fmt).pages());
    }

    std::unique_ptr<CdxFile> file;
    std::map<std::string, char> keyTypes;
    // Tags looked up while the file's pages stay unchanged.
    std::map<std::string, Tag> tagCache;
    std::string lastName;            // the name findTag was last asked for
    const Tag* lastFound = nullptr;  // and its answer
    // Per tag, the leaf that held the entry next() last gave, while the pages
    // are those of `generation`.
    struct Walk {
        uint64_t generation = ~uint64_t{0};
        std::shared_ptr<const cdx::Node> leaf;
        size_t at = 0;   // where in the leaf that entry stands
    };
    static constexpr size_t kNoHint = ~size_t{0};
    std::map<std::string, Walk> walks;
    Walk* lastWalk = nullptr;     // the walk of lastWalkName, found without a map search
    std::string lastWalkName;

    Walk& walkOf(const std::string& name) {
        if (!lastWalk || lastWalkName != name) {
            lastWalk = &walks[name];
            lastWalkName = name;
        }
        return *lastWalk;
    }

    // A walk asks for the entry after the one it was last given: while no
    // page changed, that entry's leaf answers without a descent.
    const NodeEntry* fromWalk(const Tag& t, CdxTree& tree, const std::string& key, uint32_t recno) {
        Walk& walk = walkOf(t.name);
        if (walk.generation != file->generation()) return nullptr;
        return tree.nextInLeafRef(walk.leaf, walk.at, key, recno);
    }

    std::optional<NodeEntry> descendAfter(const Tag& t, CdxTree& tree, const std::string& key, uint32_t recno) {
        Walk& walk = walkOf(t.name);
        uint32_t leaf = 0;
        auto e = tree.firstWhere([&](const NodeEntry& x) { return cdx::compareEntries(x.key, x.recno, key, recno) > 0; },
                                 &leaf);
        walk.leaf = e ? tree.leafAt(leaf) : nullptr;
        walk.at = kNoHint;
        walk.generation = e ? file->generation() : ~uint64_t{0};
        return e;
    }
    uint64_t tagsGeneration = 0;
};

CdxIndex::CdxIndex(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CdxIndex::~CdxIndex() = default;

namespace {
void (*beforeOpen)() = nullptr;
}  // namespace

void CdxIndex::setBeforeOpen(void (*hook)()) { beforeOpen = hook; }

std::unique_ptr<CdxIndex> CdxIndex::open(const std::string& path, bool readOnly) {
    if (beforeOpen) beforeOpen();
    auto impl = std::make_unique<Impl>(CdxFile::open(path, readOnly, false));
    {
        CdxFile::Hold hold(*impl->file, false);
        const cdx::TagHeader h = impl->header(0);
        if (!(h.options & cdx::kOptCompound) || h.keyLength != kTagNameLength)
            cdx::throwCorrupt(path, "it is not a compound index");
        impl->directory().firstWhere([](const NodeEntry&) { return true; });
    }
    return std::unique_ptr<CdxIndex>(new CdxIndex(std::move(impl)));
}

std::unique_ptr<CdxIndex> CdxIndex::create(const std::string& path) {
    return std::unique_ptr<CdxIndex>(new CdxIndex(std::make_unique<Impl>(CdxFile::open(path, false, true))));
}

const std::string& CdxIndex::path() const { return impl_->file->path(); }

std::vector<CdxTagSpec> CdxIndex::tags() {
    CdxFile::Hold hold(*impl_->file, false);
    std::vector<CdxTagSpec> out;
    for (const auto& t : impl_->allTags()) out.push_back(Impl::describe(t, impl_->keyTypeOf(t.name, t.h)));
    return out;
}

std::optional<CdxTagSpec> CdxIndex::tag(const std::string& name) {
    CdxFile::Hold hold(*impl_->file, false);
    auto t = impl_->findTag(name);
    if (!t) return std::nullopt;
    return Impl::describe(*t, impl_->keyTypeOf(t->name, t->h));
}

void CdxIndex::setKeyType(const std::string& tag, char keyType) {
    if (keyType != 'C' && keyType != 'N' && keyType != 'D' && keyType != 'L')
        cdx::throwBadArgument(std::string("Invalid key type '") + keyType + "'");
    impl_->keyTypes[upper(tag)] = keyType;
    impl_->forgetTags();
}

void CdxIndex::createTag(const CdxTagSpec& def, std::vector<IndexEntry> entries) {
    checkTagName(def.name);
    if (def.keyLength < 1 || def.keyLength > cdx::kMaxKeyLength)
        cdx::throwBadArgument("Invalid key length " + std::to_string(def.keyLength) + " for tag " + def.name);
    if ((def.keyType == 'N' || def.keyType == 'D') && def.keyLength != 8)
        cdx::throwBadArgument("Numeric and date keys are 8 bytes long (tag " + def.name + ")");
    const std::string name = upper(def.name);
    const KeyFormat fmt{def.keyLength, padFor(def.keyType)};
    std::vector<NodeEntry> sorted;
    sorted.reserve(entries.size());
    for (auto& e : entries) sorted.push_back({Impl::fit(std::move(e.key), fmt), e.recno, 0});
    entries.clear();
    sortEntries(sorted);
    // Equal entries are one; a unique tag keeps the lowest record of each key.
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [&](const NodeEntry& a, const NodeEntry& b) {
                                 return a.key == b.key && (def.unique || a.recno == b.recno);
                             }),
                 sorted.end());

    CdxFile::Hold hold(*impl_->file, true);
    impl_->keyTypes[name] = def.keyType;
    impl_->forgetTags();
    uint32_t headerOffset = 0;
    // A tag made again is built in the pages of its old tree.
    std::vector<uint32_t> oldPages;
    if (const Impl::Tag* found = impl_->findTag(name)) {
        const Impl::Tag old = *found;
        oldPages = CdxTree(*impl_->file, old.header, old.fmt).pages();
        headerOffset = old.header;
    } else {
        headerOffset = impl_->file->allocateHeader();
        impl_->directory().insert(directoryKey(name), headerOffset);
    }
    cdx::TagHeader h;
    h.root = CdxTree::build(*impl_->file, sorted, fmt, &oldPages);
    impl_->file->freePages(oldPages);
    h.keyLength = def.keyLength;
    h.options = cdx::kOptCompact | cdx::kOptCompound | (def.unique ? cdx::kOptUnique : 0) |
                (def.forExpression.empty() ? 0 : cdx::kOptFor);
    h.descending = def.descending;
    h.keyExpression = def.keyExpression;
    h.forExpression = def.forExpression;
    cdx::Page first, second;
    cdx::encodeTagHeader(h, first, second);
    impl_->file->writePage(headerOffset, first);
    impl_->file->writePage(headerOffset + cdx::kPageSize, second);
    impl_->forgetTags();
    hold.commit();
}

void CdxIndex::dropTag(const std::string& name) {
    CdxFile::Hold hold(*impl_->file, true);
    const Impl::Tag t = impl_->requireTag(name);   // a copy: forgotten below
    impl_->freeTree(t);
    impl_->file->freePage(t.header);
    impl_->file->freePage(t.header + cdx::kPageSize);
    impl_->directory().remove(directoryKey(name), t.header);
    impl_->keyTypes.erase(t.name);
    impl_->forgetTags();
    hold.commit();
}

void CdxIndex::insert(const std::string& tag, const IndexEntry& e) {
    CdxFile::Hold hold(*impl_->file, true);
    if (impl_->insert(tag, e)) hold.commit();
}

void CdxIndex::remove(const std::string& tag, const IndexEntry& e) {
    CdxFile::Hold hold(*impl_->file, true);
    if (impl_->remove(tag, e)) hold.commit();
}

void CdxIndex::apply(const std::vector<IndexChange>& changes) {
    if (changes.empty()) return;
    CdxFile::Hold hold(*impl_->file, true);
    bool changed = false;
    for (const auto& c : changes) changed |= c.insert ? impl_->insert(c.tag, c.entry) : impl_->remove(c.tag, c.entry);
    if (changed) hold.commit();
}

bool CdxIndex::applyIfUnchanged(const std::vector<IndexChange>& changes, uint64_t seen, bool oneByOne) {
    if (changes.empty()) return true;
    CdxFile::Hold hold(*impl_->file, true);
    if (impl_->file->foreignGeneration() != seen) return false;
    bool changed = false;
    bool pageEach = oneByOne;
    std::vector<uint32_t> tagsChanged;
    for (const auto& c : changes) {
        const size_t before = impl_->file->changedPages();
        changed |= c.insert ? impl_->insert(c.tag, c.entry) : impl_->remove(c.tag, c.entry);
        if (!pageEach) continue;
        // Two changes of one tag, or one that reached a second page, are
        // one change together: the journal keeps them whole.
        const uint32_t tag = impl_->requireTag(c.tag).header;
        pageEach = c.insert && impl_->file->changedPages() <= before + 1 &&
                   std::find(tagsChanged.begin(), tagsChanged.end(), tag) == tagsChanged.end();
        tagsChanged.push_back(tag);
    }
    if (changed) hold.commit(pageEach);
    return true;
}

uint64_t CdxIndex::foreignGeneration() const { return impl_->file->foreignGeneration(); }

void CdxIndex::setSoleWriter(bool on) { impl_->file->setSoleWriter(on); }

namespace {

cdx::Boundary always() {
    return [](const NodeEntry&) { return true; };
}
cdx::Boundary never() {
    return [](const NodeEntry&) { return false; };
}
cdx::Boundary after(const std::string& key, uint32_t recno) {
    return [key, recno](const NodeEntry& x) { return cdx::compareEntries(x.key, x.recno, key, recno) > 0; };
}
cdx::Boundary notBefore(const std::string& key, uint32_t recno) {
    return [key, recno](const NodeEntry& x) { return cdx::compareEntries(x.key, x.recno, key, recno) >= 0; };
}

}  // namespace

bool CdxIndex::holds(const std::string& tag, const IndexEntry& e) { return holdsEach({{tag, e}}).front(); }

std::vector<bool> CdxIndex::holdsEach(const std::vector<std::pair<std::string, IndexEntry>>& entries) {
    CdxFile::Hold hold(*impl_->file, false);
    std::vector<bool> out;
    out.reserve(entries.size());
    for (const auto& [tag, e] : entries) {
        const Impl::Tag& t = impl_->requireTag(tag);
        const std::string key = Impl::fit(e.key, t.fmt);
        const auto at = CdxTree(*impl_->file, t.header, t.fmt).firstWhere(notBefore(key, e.recno));
        out.push_back(at && at->key == key && at->recno == e.recno);
    }
    return out;
}

std::optional<IndexEntry> CdxIndex::first(const std::string& tag) {
    CdxFile::Hold hold(*impl_->file, false);
    const Impl::Tag& t = impl_->requireTag(tag);
    CdxTree tree(*impl_->file, t.header, t.fmt);
    return toResult(t.h.descending ? tree.lastBefore(never()) : tree.firstWhere(always()));
}

std::optional<IndexEntry> CdxIndex::last(const std::string& tag) {
    CdxFile::Hold hold(*impl_->file, false);
    const Impl::Tag& t = impl_->requireTag(tag);
    CdxTree tree(*impl_->file, t.header, t.fmt);
    return toResult(t.h.descending ? tree.firstWhere(always()) : tree.lastBefore(never()));
}

std::optional<IndexEntry> CdxIndex::next(const std::string& tag, const IndexEntry& from) {
    CdxFile::Hold hold(*impl_->file, false);
    const Impl::Tag& t = impl_->requireTag(tag);
    CdxTree tree(*impl_->file, t.header, t.fmt);
    std::string fitted;
    const std::string& key = from.key.size() == size_t(t.fmt.keyLength) ? from.key : (fitted = Impl::fit(from.key, t.fmt));
    if (t.h.descending) return toResult(tree.lastBefore(notBefore(key, from.recno)));
    if (const NodeEntry* e = impl_->fromWalk(t, tree, key, from.recno)) return IndexEntry{e->key, e->recno};
    return toResult(impl_->descendAfter(t, tree, key, from.recno));
}

bool CdxIndex::stepNext(const std::string& tag, IndexEntry& at, uint32_t* following) {
    if (following) *following = 0;
    CdxFile::Hold hold(*impl_->file, false);
    const Impl::Tag& t = impl_->requireTag(tag);
    CdxTree tree(*impl_->file, t.header, t.fmt);
    if (at.key.size() != size_t(t.fmt.keyLength)) at.key = Impl::fit(std::move(at.key), t.fmt);
    if (!t.h.descending) {
        if (const NodeEntry* e = impl_->fromWalk(t, tree, at.key, at.recno)) {
            at.key.assign(e->key);
            at.recno = e->recno;
            // The next step reads the entry after this one: its key is
            // fetched into the cache now, while this step's record is read.
            const auto& entries = impl_->lastWalk->leaf->entries;
            const size_t after = impl_->lastWalk->at + 1;
            if (after < entries.size()) {
                __builtin_prefetch(entries[after].key.data());
                if (following) *following = entries[after].recno;
            }
            return true;
        }
    }
    auto e = t.h.descending ? tree.lastBefore(notBefore(at.key, at.recno)) : impl_->descendAfter(t, tree, at.key, at.recno);
    if (!e) return false;
    at.key = std::move(e->key);
    at.recno = e->recno;
    return true;
}

std::optional<IndexEntry> CdxIndex::prev(const std::string& tag, const IndexEntry& from) {
    CdxFile::Hold hold(*impl_->file, false);
    const Impl::Tag& t = impl_->requireTag(tag);
    CdxTree tree(*impl_->file, t.header, t.fmt);
    const std::string key = Impl::fit(from.key, t.fmt);
    return toResult(t.h.descending ? tree.firstWhere(after(key, from.recno)) : tree.lastBefore(notBefore(key, from.recno)));
}

std::optional<IndexEntry> CdxIndex::seek(const std::string& tag, const std::string& key, bool partial) {
    CdxFile::Hold hold(*impl_->file, false);
    const Impl::Tag& t = impl_->requireTag(tag);
    CdxTree tree(*impl_->file, t.header, t.fmt);
    const std::string wanted = partial ? key.substr(0, size_t(t.fmt.keyLength)) : Impl::fit(key, t.fmt);
    auto cmp = [wanted](const NodeEntry& x) { return x.key.compare(0, wanted.size(), wanted); };
    if (t.h.descending) return toResult(tree.lastBefore([cmp](const NodeEntry& x) { return cmp(x) > 0; }));
    return toResult(tree.firstWhere([cmp](const NodeEntry& x) { return cmp(x) >= 0; }));
}

uint32_t CdxIndex::changeCounter() {
    CdxFile::Hold hold(*impl_->file, false);
    return impl_->file->changeCounter();
}

uint32_t CdxIndex::peekChangeCounter() { return impl_->file->peekChangeCounter(); }

bool CdxIndex::changedOnlyHere(uint32_t since, uint32_t now) const { return impl_->file->changedOnlyHere(since, now); }

}  // namespace xbase
