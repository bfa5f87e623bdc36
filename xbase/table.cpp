#include "xbase/table.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "xbase/engine_errors.h"
#include "xbase/engine_settings.h"
#include "xbase/error.h"
#include "xbase/expr/text_rules.h"
#include "xbase/file_lock.h"
#include "xbase/file_names.h"
#include "xbase/key_changes.h"
#include "xbase/record_values.h"

namespace xbase {

namespace {

constexpr int kDriverFox = 2;

bool sameSpecs(const std::vector<CdxTagSpec>& a, const std::vector<CdxTagSpec>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].keyExpression != b[i].keyExpression || a[i].forExpression != b[i].forExpression ||
            a[i].unique != b[i].unique || a[i].descending != b[i].descending || a[i].keyLength != b[i].keyLength) {
            return false;
        }
    }
    return true;
}

char keyTypeLetter(ValueType t) {
    switch (t) {
    case ValueType::Numeric: return 'N';
    case ValueType::Date: return 'D';
    case ValueType::Logical: return 'L';
    default: return 'C';
    }
}

RangeLock takeLock(int fd, int64_t region, int timeoutMs, const std::string& what) {
    if (!lockRange(fd, region, 1, true, timeoutMs)) throw XbaseError(kErrLocked, what);
    return RangeLock(fd, region, 1);
}

}  // namespace

Table::Table(const std::string& path, OpenMode mode, int driver) : driver_(driver) {
    commitWaitingRow();   // this open reads the files as they are
    dbf_ = std::make_unique<DbfFile>(path, mode);
    if (dbf_->hasMemoFields()) {
        if (driver != kDriverFox) throw XbaseError(kErrDriver, "this driver cannot open a table with memo fields: " + path);
        const auto memoPath = findIgnoringCase(withExtension(path, ".fpt"));
        if (!memoPath) throw XbaseError(kErrOpen, "memo file missing for " + path, systemFault(withExtension(path, ".fpt"), ENOENT));
        fpt_ = std::make_unique<FptFile>(*memoPath, dbf_->readOnly());
        fpt_->setSoleWriter(exclusive() && !dbf_->readOnly());
    }
    if (const auto cdxPath = findIgnoringCase(structuralIndexPath())) {
        if (driver != kDriverFox) throw XbaseError(kErrDriver, "this driver cannot use the table's compound index: " + path);
        indexes_.push_back(IndexFile{CdxIndex::open(*cdxPath, dbf_->readOnly()), 0, {}});
        // Under an exclusive open nobody else writes the table's own index.
        indexes_.back().index->setSoleWriter(exclusive());
        hasStructural_ = true;
        loadTags(true);
        keyLastRowAtOpen();
    }
}

void Table::adoptNewStructuralIndex() {
    // A program that made the structural index after this open started
    // keeping it; every write from here on must keep it too.
    if (hasStructural_ || driver_ != kDriverFox || !dbf_->readStructuralIndexFlag()) return;
    const auto cdxPath = findIgnoringCase(structuralIndexPath());
    if (!cdxPath) return;
    indexes_.insert(indexes_.begin(), IndexFile{CdxIndex::open(*cdxPath, dbf_->readOnly()), 0, {}});
    hasStructural_ = true;
    loadTags(true);
}

Table::~Table() {
    // A close commits the appended row; a failure here costs only its keys.
    try {
        commitRow();
    } catch (const std::exception&) {
        forgetWaitingRow();
    }
}

std::string Table::structuralIndexPath() const { return siblingPath(dbf_->path(), ".cdx"); }

OpenTag Table::compileTag(const CdxTagSpec& spec, CdxIndex* index) const {
    OpenTag t;
    t.spec = spec;
    t.index = index;
    t.key = Expression::compile(spec.keyExpression, fields());
    if (!spec.forExpression.empty()) t.condition = Expression::compile(spec.forExpression, fields());
    if (!t.condition.empty() && t.condition.type() != ValueType::Logical) {
        throw XbaseError(kErrValue, "the condition of tag " + spec.name + " is not a logical expression: " + spec.forExpression);
    }
    for (const Expression* e : {&t.key, &t.condition}) {
        t.readsMore = t.readsMore || e->readsClock();
        t.readsRecNo = t.readsRecNo || e->readsRecNo();
        for (int i : e->fieldsRead()) {
            if (i < 0) {
                t.reads.emplace_back(0, 1);   // the deletion flag
                continue;
            }
            const FieldDef& f = fields()[static_cast<std::size_t>(i)];
            // A memo's text is not in the record.
            if (f.type == 'M' || f.type == 'G' || f.type == 'B' || f.type == 'P') t.readsMore = true;
            t.reads.emplace_back(f.offset, f.width);
        }
    }
    t.keyType = t.key.type();
    t.spec.keyType = keyTypeLetter(t.keyType);
    const std::string bare = upperCase(std::string(expr::trimLeft(expr::trimRight(spec.keyExpression))));
    for (std::size_t i = 0; i < fields().size(); ++i) {
        const FieldDef& f = fields()[i];
        if (f.name == bare && std::string("CNFDL").find(f.type) != std::string::npos) t.keyField = int(i);
    }
    // The file does not say whether keys are text or numbers; the expression does.
    if (index) index->setKeyType(spec.name, t.spec.keyType);
    return t;
}

void Table::loadTags(bool force) {
    bool changed = force;
    for (auto& f : indexes_) {
        // Tags are made and dropped only through loadTags(true) here, so
        // changes of this open alone leave the directory as it was.
        const uint32_t counter = force ? f.index->changeCounter() : f.index->peekChangeCounter();
        const bool unchanged = counter == f.seenCounter || f.index->changedOnlyHere(f.seenCounter, counter);
        f.seenCounter = counter;
        if (!force && unchanged) continue;
        auto specs = f.index->tags();
        if (!sameSpecs(specs, f.specs)) {
            f.specs = std::move(specs);
            changed = true;
        }
    }
    for (auto& f : indexes_) f.seenForeign = f.index->foreignGeneration();
    if (!changed) return;
    std::vector<OpenTag> tags;
    for (auto& f : indexes_) {
        for (const auto& spec : f.specs) {
            try {
                tags.push_back(compileTag(spec, f.index.get()));
            } catch (const XbaseError& e) {
                throw XbaseError(kErrBadTable, "cannot use tag " + spec.name + " of " + f.index->path() + ": " + e.what(),
                                 FileFault{f.index->path(), "index damaged: tag " + spec.name + " cannot be used"});
            }
        }
    }
    tags_ = std::move(tags);
    ++tagsVersion_;
}

void Table::reloadTags() {
    loadTags(false);
    tagsCheckedInCall_ = callSerial();
}

bool Table::applyForKnownTags(KeyChanges& changes, bool oneByOne) {
    const bool done = changes.applyIfUnchanged(
        [this](const CdxIndex* index) {
            for (const auto& f : indexes_) {
                if (f.index.get() == index) return f.seenForeign;
            }
            return ~uint64_t{0};
        },
        oneByOne);
    if (!done) reloadTags();
    return done;
}

const std::vector<OpenTag>& Table::tags() {
    if (tagsCheckedInCall_ != callSerial()) {
        loadTags(false);
        tagsCheckedInCall_ = callSerial();
    }
    return tags_;
}

int Table::openIndex(const std::string& path) {
    if (driver_ != kDriverFox) throw XbaseError(kErrDriver, "index files need the FOX driver");
    const auto found = findIgnoringCase(path);
    if (!found) throw XbaseError(kErrOpen, "index file not found: " + path, systemFault(path, ENOENT));
    for (const auto& f : indexes_) {
        if (f.index->path() == *found) {
            loadTags(false);
            for (std::size_t i = 0; i < tags_.size(); ++i) if (tags_[i].index == f.index.get()) return int(i) + 1;
            return 0;
        }
    }
    commitRow();
    const std::size_t before = tags_.size();
    indexes_.push_back(IndexFile{CdxIndex::open(*found, dbf_->readOnly()), 0, {}});
    try {
        loadTags(true);
    } catch (...) {
        indexes_.pop_back();
        loadTags(true);
        throw;
    }
    return tags_.size() > before ? int(before) + 1 : 0;
}

Value Table::evaluate(const Expression& e, const std::string& record, uint32_t recNo) {
    RecordView view(fields(), record, recNo, [this](const FieldDef& f, const std::string& r) { return memoText(f, r); });
    return e.evaluate(view, settings().evalSettings());
}

std::optional<std::string> Table::keyFor(const OpenTag& tag, const std::string& record, uint32_t recNo) {
    if (!tag.condition.empty()) {
        const Value c = evaluate(tag.condition, record, recNo);
        if (c.type != ValueType::Logical || !c.logical) return std::nullopt;
    }
    if (tag.keyField >= 0) {
        // What the expression would give: the field's value as the record
        // holds it; a text field's bytes are its key, cut or padded.
        const FieldDef& f = fields()[std::size_t(tag.keyField)];
        const std::size_t length = std::size_t(std::max(tag.spec.keyLength, 0));
        if (f.type == 'C' && std::size_t(f.offset) + std::size_t(f.width) <= record.size()) {
            std::string key(record, std::size_t(f.offset), std::min(std::size_t(f.width), length));
            key.resize(length, ' ');
            return key;
        }
        static const std::function<std::string(const FieldDef&)> noMemo;
        return encodeKey(fieldValue(f, record, noMemo), tag.spec);
    }
    return encodeKey(evaluate(tag.key, record, recNo), tag.spec);
}

uint32_t Table::memoBlock(const FieldDef& f, const std::string& record) const {
    if (!fpt_ || static_cast<std::size_t>(f.offset + f.width) > record.size()) return 0;
    const std::string raw = record.substr(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.width));
    if (f.width == 4) {
        uint32_t block = 0;
        for (int i = 3; i >= 0; --i) block = (block << 8) | static_cast<unsigned char>(raw[static_cast<std::size_t>(i)]);
        return block;
    }
    const auto first = raw.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(raw.c_str() + first, &end, 10);
    if (end == raw.c_str() + first || v > 0xFFFFFFFFul) throw XbaseError(kErrBadMemo, "damaged memo reference in field " + f.name);
    return static_cast<uint32_t>(v);
}

std::string Table::memoText(const FieldDef& f, const std::string& record) {
    const uint32_t block = memoBlock(f, record);
    return block == 0 ? std::string() : fpt_->read(block);
}

std::string Table::storeMemo(const FieldDef& f, const std::string& data, uint32_t type) {
    if (!fpt_) throw XbaseError(kErrBadMemo, "table has no memo file");
    if (readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + dbf_->path());
    if (data.empty()) return std::string(static_cast<std::size_t>(f.width), f.width == 4 ? '\0' : ' ');
    uint32_t block = 0;
    {
        RangeLock lock = exclusive() ? RangeLock()
                                     : takeLock(fpt_->fd(), lock_region::kMemo, settings().lockTimeoutMs(),
                                                "memo file is locked: " + fpt_->path());
        block = fpt_->write(data, type);
    }
    if (f.width == 4) {
        std::string b(4, '\0');
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>(block >> (8 * i));
        return b;
    }
    std::string text = std::to_string(block);
    if (text.size() > static_cast<std::size_t>(f.width)) throw XbaseError(kErrBadMemo, "memo file too large for field " + f.name);
    return std::string(static_cast<std::size_t>(f.width) - text.size(), ' ') + text;
}

std::string Table::blankRecord() const { return std::string(static_cast<std::size_t>(dbf_->recordLength()), ' '); }

uint32_t Table::append(const std::string& record, int lockTimeoutMs, const std::set<uint32_t>& lockedHere) {
    if (readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + dbf_->path());
    commitRow();
    // An exclusive open is the only one that appends.
    RangeLock lock = exclusive() ? RangeLock()
                                 : takeLock(dbf_->fd(), lock_region::kHeader, lockTimeoutMs,
                                            "table is locked for appending: " + dbf_->path());
    adoptNewStructuralIndex();
    // A shared open learns whether another program changed the tags when
    // it puts the keys in, not by a read of its own beforehand.
    const auto& ts = exclusive() ? tags() : tags_;
    std::vector<std::optional<std::string>> keys;
    const uint32_t count = dbf_->recordCount();
    // Another program appended since this open last looked: the row it left
    // last may lack its keys.
    if (!exclusive() && count != lastRowChecked_) keyLastRowIfKeyless(count, lockedHere.count(count) != 0);
    const uint32_t recNo = count + 1;
    if (exclusive()) {
        // Row after row appends the same blank record: its keys are those of
        // the last append unless a tag reads the record number.
        const EvalSettings now = settings().evalSettings();
        const bool known = blankKeysKnown_ && blankKeysTagsVersion_ == tagsVersion_ && blankKeys_.size() == ts.size() &&
                           blankKeysRecord_ == record && blankKeysSettings_.exact == now.exact &&
                           blankKeysSettings_.century == now.century && blankKeysSettings_.epoch == now.epoch &&
                           blankKeysSettings_.dateFormat == now.dateFormat;
        for (std::size_t i = 0; i < ts.size(); ++i) {
            const bool reuse = known && !ts[i].readsMore && !ts[i].readsRecNo;
            keys.push_back(reuse ? blankKeys_[i] : keyFor(ts[i], record, recNo));
        }
        blankKeys_ = keys;
        blankKeysRecord_ = record;
        blankKeysSettings_ = now;
        blankKeysTagsVersion_ = tagsVersion_;
        blankKeysKnown_ = true;
    } else {
        for (const auto& t : ts) keys.push_back(keyFor(t, record, recNo));
    }
    // Under an exclusive open the new record waits for its first write too.
    const uint32_t written = dbf_->appendRecord(record, count, exclusive());
    if (exclusive()) {
        // Nobody else reads the tags before this open commits the row, and a
        // key that goes in at once would only move at the next write.
        rowKeys_ = keys;
        startWaiting(written, std::move(keys), true);
        noteRowKeys(record);
        return written;
    }
    KeyChanges changes;
    for (std::size_t i = 0; i < ts.size(); ++i) {
        if (keys[i]) changes.add(ts[i], IndexEntry{*keys[i], written}, true);
    }
    // Under the header lock the row is the last one, and stays so if this
    // program is killed: the next open or append gives it whatever keys it
    // lacks, so a blank row's keys may go in tag by tag.
    if (applyForKnownTags(changes, record == blankRecord())) {
        lastRowChecked_ = written;
        return written;
    }
    // Under the header lock no tag is built meanwhile: the tags as read now
    // are the ones that lack the row.
    KeyChanges again;
    for (const auto& t : tags_) {
        if (auto key = keyFor(t, record, written)) again.add(t, IndexEntry{std::move(*key), written}, true);
    }
    again.apply();
    lastRowChecked_ = written;
    return written;
}

std::vector<IndexEntry> Table::entriesFor(const OpenTag& tag, const std::vector<std::string>& records) {
    std::vector<IndexEntry> entries;
    entries.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto recNo = static_cast<uint32_t>(i + 1);
        if (auto k = keyFor(tag, records[i], recNo)) entries.push_back(IndexEntry{std::move(*k), recNo});
    }
    return entries;
}

void Table::rebuildAllTags(const std::vector<std::string>& records) {
    forgetWaitingRow();   // the rebuild gives every row its keys
    const auto ts = tags();
    for (const auto& t : ts) t.index->createTag(t.spec, entriesFor(t, records));
    loadTags(true);
}

int Table::createTag(const std::string& file, const CdxTagSpec& requested) {
    if (driver_ != kDriverFox) throw XbaseError(kErrDriver, "index tags need the FOX driver (NTX and NSX indexes are not supported)");
    if (readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + dbf_->path());
    commitRow();
    std::string path = structuralIndexPath();
    if (!file.empty() && !equalsIgnoringCase(baseNameOf(file), baseNameOf(dbf_->path()))) {
        path = file.find('/') == std::string::npos ? dbf_->path().substr(0, dbf_->path().rfind('/') + 1) + file : file;
        if (baseNameOf(path) == path.substr(path.rfind('/') + 1)) path += ".cdx";
    }
    CdxTagSpec spec = requested;
    OpenTag probe = compileTag(spec, nullptr);
    switch (probe.keyType) {
    case ValueType::Character: spec.keyLength = probe.key.width(); break;
    case ValueType::Logical: spec.keyLength = 1; break;
    default: spec.keyLength = 8; break;
    }
    spec.keyType = probe.spec.keyType;
    if (spec.keyLength < 1 || static_cast<std::size_t>(spec.keyLength) > kMaxKeyLength) {
        throw XbaseError(kErrTooLong, "key of tag " + spec.name + " is longer than " + std::to_string(kMaxKeyLength) + " bytes");
    }

    CdxIndex* index = nullptr;
    const auto existing = findIgnoringCase(path);
    for (auto& f : indexes_) if (existing && f.index->path() == *existing) index = f.index.get();
    if (!index) {
        indexes_.push_back(IndexFile{existing ? CdxIndex::open(*existing, false) : CdxIndex::create(path), 0, {}});
        index = indexes_.back().index.get();
        if (path == structuralIndexPath()) {
            index->setSoleWriter(exclusive());
            hasStructural_ = true;
            if (!dbf_->structuralIndexFlag()) dbf_->setStructuralIndexFlag(true);
        }
    }
    probe.spec = spec;
    {
        // Under the header lock no append slips in between reading and building.
        RangeLock lock = takeLock(dbf_->fd(), lock_region::kHeader, settings().lockTimeoutMs(), "table is locked: " + dbf_->path());
        std::vector<std::string> records;
        const uint32_t count = dbf_->recordCount();
        records.reserve(count);
        for (uint32_t r = 1; r <= count; ++r) records.push_back(dbf_->readRecord(r));
        index->createTag(spec, entriesFor(probe, records));
    }
    loadTags(true);
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        if (tags_[i].index == index && equalsIgnoringCase(tags_[i].spec.name, spec.name)) return int(i) + 1;
    }
    throw XbaseError(kErrNoOrder, "tag " + spec.name + " was not stored");
}

void Table::pack() {
    if (!exclusive()) throw XbaseError(kErrNeedExclusive, "pack needs the table opened exclusively: " + dbf_->path());
    commitRow();
    const uint32_t count = dbf_->recordCount();
    std::vector<std::string> kept;
    for (uint32_t r = 1; r <= count; ++r) {
        std::string rec = dbf_->readRecord(r);
        if (rec[0] != '*') kept.push_back(std::move(rec));
    }
    if (fpt_) {
        // Live memos are copied into a compacted memo file, references renumbered.
        std::vector<std::pair<std::string, uint32_t>> memos;
        std::vector<std::pair<std::size_t, const FieldDef*>> owners;
        for (std::size_t i = 0; i < kept.size(); ++i) {
            for (const auto& f : fields()) {
                if (f.type != 'M' && f.type != 'G' && f.type != 'B' && f.type != 'P') continue;
                const uint32_t block = memoBlock(f, kept[i]);
                if (block == 0) continue;
                uint32_t type = kMemoTypeText;
                std::string data = fpt_->read(block, &type);
                memos.emplace_back(std::move(data), type);
                owners.emplace_back(i, &f);
            }
        }
        const auto blocks = fpt_->rewrite(memos);
        for (std::size_t k = 0; k < owners.size(); ++k) {
            const auto& [i, f] = owners[k];
            std::string text = std::to_string(blocks[k]);
            if (f->width == 4) {
                for (int b = 0; b < 4; ++b) kept[i][static_cast<std::size_t>(f->offset + b)] = static_cast<char>(blocks[k] >> (8 * b));
            } else {
                kept[i].replace(static_cast<std::size_t>(f->offset), static_cast<std::size_t>(f->width),
                                std::string(static_cast<std::size_t>(f->width) - text.size(), ' ') + text);
            }
        }
    }
    dbf_->rewriteRecords(kept);
    rebuildAllTags(kept);
}

void Table::zap() {
    if (!exclusive()) throw XbaseError(kErrNeedExclusive, "zap needs the table opened exclusively: " + dbf_->path());
    dbf_->rewriteRecords({});
    if (fpt_) fpt_->rewrite({});
    rebuildAllTags({});
}

}  // namespace xbase
