#include "xbase/work_area.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "xbase/date_input.h"
#include "xbase/engine_errors.h"
#include "xbase/engine_settings.h"
#include "xbase/error.h"
#include "xbase/expr/julian.h"
#include "xbase/file_lock.h"
#include "xbase/file_names.h"
#include "xbase/record_values.h"

namespace xbase {

namespace {

// Compares key with a bound over the bound's length; a bound longer than
// the key counts as equal when its excess is blanks.
int comparePrefix(const std::string& key, const std::string& bound) {
    const std::size_t n = std::min(key.size(), bound.size());
    const int c = std::memcmp(key.data(), bound.data(), n);
    if (c != 0) return c < 0 ? -1 : 1;
    if (bound.size() > key.size() && bound.find_first_not_of(' ', key.size()) != std::string::npos) return -1;
    return 0;
}

// The smallest text of the same length above every text starting with s.
std::optional<std::string> successor(std::string s) {
    for (std::size_t i = s.size(); i-- > 0;) {
        if (static_cast<unsigned char>(s[i]) != 0xFF) {
            s[i] = static_cast<char>(static_cast<unsigned char>(s[i]) + 1);
            return s.substr(0, i + 1);
        }
    }
    return std::nullopt;
}

// The largest text of the same length below s.
std::optional<std::string> predecessor(std::string s) {
    for (std::size_t i = s.size(); i-- > 0;) {
        if (static_cast<unsigned char>(s[i]) != 0) {
            s[i] = static_cast<char>(static_cast<unsigned char>(s[i]) - 1);
            for (std::size_t j = i + 1; j < s.size(); ++j) s[j] = '\xFF';
            return s;
        }
        s[i] = '\xFF';
    }
    return std::nullopt;
}

}  // namespace

WorkArea::WorkArea(std::unique_ptr<Table> table, std::string alias, std::string path)
    : table_(std::move(table)), alias_(std::move(alias)), path_(std::move(path)) {
    buffer_ = table_->blankRecord();
    shadow_ = buffer_;
    goTop();
}

WorkArea::~WorkArea() {
    try {
        table_->commitRow();
        unlockAll();
    } catch (...) {
    }
}

uint32_t WorkArea::recNo() const {
    if (phantom_) return table_->dbf().recordCount() + 1;
    return recNo_;
}

// ---- orders ---------------------------------------------------------------

int WorkArea::order() {
    if (orderName_.empty()) return 0;
    const auto& ts = table_->tags();
    for (std::size_t i = 0; i < ts.size(); ++i) {
        if (ts[i].index == orderIndex_ && ts[i].spec.name == orderName_) return int(i) + 1;
    }
    return 0;
}

const OpenTag* WorkArea::activeTag() {
    if (orderName_.empty()) return nullptr;
    const auto& ts = table_->tags();
    // Found again only when the table read its tags anew.
    if (activeTag_ && activeTagsVersion_ == table_->tagsVersion()) return activeTag_;
    for (const auto& t : ts) {
        if (t.index == orderIndex_ && t.spec.name == orderName_) {
            activeTag_ = &t;
            activeTagsVersion_ = table_->tagsVersion();
            return &t;
        }
    }
    // The tag went away (rebuilt elsewhere under another name): natural order.
    orderName_.clear();
    orderIndex_ = nullptr;
    return nullptr;
}

const OpenTag& WorkArea::tagOf(int order) {
    const auto& ts = table_->tags();
    if (order == 0) {
        if (const OpenTag* t = activeTag()) return *t;
        throw XbaseError(kErrNoOrder, "no index order is active");
    }
    if (order < 0 || static_cast<std::size_t>(order) > ts.size()) throw XbaseError(kErrNoOrder, "no index order " + std::to_string(order));
    return ts[static_cast<std::size_t>(order) - 1];
}

void WorkArea::setOrder(int order) {
    activeTag_ = nullptr;
    if (order == 0) {
        orderName_.clear();
        orderIndex_ = nullptr;
    } else {
        const OpenTag& t = tagOf(order);
        orderName_ = t.spec.name;
        orderIndex_ = t.index;
    }
    if (!phantom_) posKey_ = currentPosition().key;
}

std::string WorkArea::keyOfBuffer(const OpenTag& tag) {
    const uint32_t r = phantom_ ? 0 : recNo_;
    return encodeKey(table_->evaluate(tag.key, buffer_, r), tag.spec);
}

std::string WorkArea::currentKey() {
    const OpenTag* t = activeTag();
    return t ? keyOfBuffer(*t) : std::string();
}

std::string WorkArea::searchKey(const OpenTag& tag, const std::string& text, bool exact) const {
    switch (tag.keyType) {
    case ValueType::Numeric: {
        char* end = nullptr;
        const double d = std::strtod(text.c_str(), &end);
        if (end == text.c_str() && text.find_first_not_of(' ') != std::string::npos) {
            throw XbaseError(kErrValue, "not a number: " + text);
        }
        return encodeKey(Value::numeric(d), tag.spec);
    }
    case ValueType::Date: {
        int32_t jd = julianFromDateText(text);
        if (jd == 0 && text.find_first_not_of(' ') != std::string::npos) {
            jd = parseDate(text, settings().datePicture(), settings().epoch);
        }
        return encodeKey(Value::date(jd), tag.spec);
    }
    case ValueType::Logical: {
        // "T", ".T.", "Y" ... are true.
        const std::size_t at = text.find_first_not_of(". ");
        const char c = at == std::string::npos ? 'F' : static_cast<char>(std::toupper(static_cast<unsigned char>(text[at])));
        return encodeKey(Value::boolean(c == 'T' || c == 'Y'), tag.spec);
    }
    default: break;
    }
    const std::size_t len = static_cast<std::size_t>(tag.spec.keyLength);
    std::string key = text;
    if (key.size() > len) {
        // Blanks beyond the key length match the key's own padding; any
        // other excess cannot match and keeps the comparison honest.
        if (key.find_first_not_of(' ', len) == std::string::npos) key.resize(len);
    }
    if (exact && key.size() < len) key.resize(len, ' ');
    return key;
}

void WorkArea::setScope(const std::string& low, const std::string& high) {
    scopeLow_.reset();
    scopeHigh_.reset();
    if (low.empty() && high.empty()) return;
    if (!activeTag()) throw XbaseError(kErrNoOrder, "a scope needs an active index order");
    if (!low.empty()) scopeLow_ = low;
    if (!high.empty()) scopeHigh_ = high;
}

void WorkArea::setQuery(const std::string& text) {
    if (text.size() > kMaxExpressionLength) throw XbaseError(kErrTooLong, "filter expression is too long");
    if (text.find_first_not_of(' ') == std::string::npos) {
        query_ = Expression();
        queryText_.clear();
        return;
    }
    Expression e = Expression::compile(text, table_->fields());
    if (e.type() != ValueType::Logical) throw XbaseError(kErrValue, "a filter must be a logical expression: " + text);
    query_ = std::move(e);
    queryText_ = text;
}

// ---- positions --------------------------------------------------------------

bool WorkArea::visible(const std::string& record, uint32_t recNo) {
    if (settings().deleted && !record.empty() && record[0] == '*') return false;
    if (query_.empty()) return true;
    try {
        const Value v = table_->evaluate(query_, record, recNo);
        return v.type == ValueType::Logical && v.logical;
    } catch (const XbaseError&) {
        return false;
    }
}

int WorkArea::scopeSide(const std::string& key) {
    if (!hasScope()) return 0;
    const OpenTag* t = activeTag();
    if (!t) return 0;
    const int below = scopeLow_ && comparePrefix(key, searchKey(*t, *scopeLow_, false)) < 0 ? 1 : 0;
    const int above = scopeHigh_ && comparePrefix(key, searchKey(*t, *scopeHigh_, false)) > 0 ? 1 : 0;
    if (t->spec.descending) return above ? -1 : (below ? 1 : 0);
    return below ? -1 : (above ? 1 : 0);
}

std::optional<WorkArea::Position> WorkArea::fromEntry(std::optional<IndexEntry>&& e) {
    if (!e) return std::nullopt;
    return Position{e->recno, std::move(e->key)};
}

std::optional<WorkArea::Position> WorkArea::firstPos() {
    table_->commitRow();
    const OpenTag* t = activeTag();
    if (!t) {
        if (table_->dbf().recordCount() == 0) return std::nullopt;
        return Position{1, {}};
    }
    std::optional<IndexEntry> e;
    const auto& start = t->spec.descending ? scopeHigh_ : scopeLow_;
    if (start) {
        e = t->index->seek(t->spec.name, searchKey(*t, *start, false), true);
    } else {
        e = t->index->first(t->spec.name);
    }
    while (e && scopeSide(e->key) < 0) e = t->index->next(t->spec.name, *e);
    if (e && scopeSide(e->key) > 0) return std::nullopt;
    return fromEntry(std::move(e));
}

std::optional<WorkArea::Position> WorkArea::lastPos() {
    table_->commitRow();
    const OpenTag* t = activeTag();
    if (!t) {
        const uint32_t n = table_->dbf().recordCount();
        if (n == 0) return std::nullopt;
        return Position{n, {}};
    }
    std::optional<IndexEntry> e;
    const auto& end = t->spec.descending ? scopeLow_ : scopeHigh_;
    if (end) {
        // The entry just past the scope's end, then one step back.
        const std::string bound = searchKey(*t, *end, false);
        const auto beyondKey = t->spec.descending ? predecessor(bound) : successor(bound);
        std::optional<IndexEntry> beyond;
        if (beyondKey) beyond = t->index->seek(t->spec.name, *beyondKey, true);
        e = beyond ? t->index->prev(t->spec.name, *beyond) : t->index->last(t->spec.name);
    } else {
        e = t->index->last(t->spec.name);
    }
    while (e && scopeSide(e->key) > 0) e = t->index->prev(t->spec.name, *e);
    if (e && scopeSide(e->key) < 0) return std::nullopt;
    return fromEntry(std::move(e));
}

std::optional<WorkArea::Position> WorkArea::nextPos(Position p) {
    table_->commitRow();
    const OpenTag* t = activeTag();
    if (!t) {
        if (p.recNo >= table_->dbf().recordCount()) return std::nullopt;
        return Position{p.recNo + 1, {}};
    }
    auto e = t->index->next(t->spec.name, IndexEntry{std::move(p.key), p.recNo});
    if (e && scopeSide(e->key) > 0) return std::nullopt;
    if (e && scopeSide(e->key) < 0) return firstPos();
    return fromEntry(std::move(e));
}

std::optional<WorkArea::Position> WorkArea::prevPos(const Position& p) {
    table_->commitRow();
    const OpenTag* t = activeTag();
    if (!t) {
        if (p.recNo <= 1) return std::nullopt;
        return Position{std::min(p.recNo - 1, table_->dbf().recordCount()), {}};
    }
    auto e = t->index->prev(t->spec.name, IndexEntry{p.key, p.recNo});
    if (e && scopeSide(e->key) < 0) return std::nullopt;
    if (e && scopeSide(e->key) > 0) return lastPos();
    return fromEntry(std::move(e));
}

std::optional<WorkArea::Position> WorkArea::firstVisibleFrom(std::optional<Position> p, bool forward) {
    while (p) {
        // Records never go away while the table is open, so a count seen
        // once answers for every record below it without a read.
        if (table_->dbf().hasRecord(p->recNo)) {
            std::string rec = table_->dbf().readRecord(p->recNo);
            if (visible(rec, p->recNo)) {
                settle(*p, rec);
                return p;
            }
        }
        p = forward ? nextPos(*p) : prevPos(*p);
    }
    return std::nullopt;
}

WorkArea::Position WorkArea::currentPosition() {
    Position p{recNo_, {}};
    if (const OpenTag* t = activeTag()) {
        try {
            p.key = keyOfBuffer(*t);
        } catch (const XbaseError&) {
            p.key.clear();
        }
    }
    return p;
}

void WorkArea::settle(const Position& p, const std::string& record) {
    if (freshAppend_ != p.recNo) freshAppend_ = 0;
    if (appendLock_ && appendLock_ != p.recNo) unlock(appendLock_);
    std::copy(record.begin(), record.end(), buffer_.begin());
    shadow_ = record;
    recNo_ = p.recNo;
    setShadowStored();
    posKey_ = p.key;
    phantom_ = false;
    bof_ = eof_ = false;
    if (activeTag() && posKey_.empty()) posKey_ = currentPosition().key;
}

void WorkArea::settleOn(uint32_t recNo, const char* record) {
    if (freshAppend_ != recNo) freshAppend_ = 0;
    if (appendLock_ && appendLock_ != recNo) unlock(appendLock_);
    buffer_.assign(record, buffer_.size());
    shadow_.assign(record, buffer_.size());
    shadowStored_ = false;
    recNo_ = recNo;
    phantom_ = false;
    bof_ = eof_ = false;
}

bool WorkArea::quickStep() {
    table_->commitRow();
    if (phantom_ || hasScope() || !query_.empty() || !table_->exclusive()) return false;
    const OpenTag* t = activeTag();
    if (!t || posKey_.empty()) return false;
    step_.key.assign(posKey_);
    step_.recno = recNo_;
    uint32_t following = 0;
    if (!t->index->stepNext(t->spec.name, step_, &following)) {
        setPhantom();
        bof_ = false;
        return true;
    }
    table_->dbf().prefetchKept(following);
    const char* record = table_->dbf().keptRecord(step_.recno);
    if (!record) return false;
    if (settings().deleted && record[0] == '*') {
        // Not shown: the ordinary walk goes on from there.
        if (!firstVisibleFrom(nextPos(Position{step_.recno, step_.key}), true)) {
            setPhantom();
            bof_ = false;
        }
        return true;
    }
    settleOn(step_.recno, record);
    posKey_.swap(step_.key);
    return true;
}

void WorkArea::setPhantom() {
    freshAppend_ = 0;
    if (appendLock_) unlock(appendLock_);
    const std::string blank = table_->blankRecord();
    std::copy(blank.begin(), blank.end(), buffer_.begin());
    shadow_ = blank;
    shadowStored_ = false;
    phantom_ = true;
    recNo_ = 0;
    posKey_.clear();
    eof_ = true;
}

// ---- movement -----------------------------------------------------------------

void WorkArea::goTop() {
    if (!firstVisibleFrom(firstPos(), true)) {
        setPhantom();
        bof_ = true;
    }
}

void WorkArea::goBottom() {
    if (!firstVisibleFrom(lastPos(), false)) {
        setPhantom();
        bof_ = true;
    }
}

void WorkArea::go(uint32_t recNo) {
    table_->commitRow();
    if (!table_->dbf().hasRecord(recNo)) {
        setPhantom();
        bof_ = false;
        return;
    }
    settle(Position{recNo, {}}, table_->dbf().readRecord(recNo));
}

void WorkArea::refresh() {
    if (phantom_) return;
    if (!table_->dbf().hasRecord(recNo_)) return setPhantom();
    const std::string rec = table_->dbf().readRecord(recNo_);
    std::copy(rec.begin(), rec.end(), buffer_.begin());
    shadow_ = rec;
    setShadowStored();
}

const std::string& WorkArea::readRecord() {
    // A row this area keeps locked is as it was last read or written.
    if (!phantom_ && !shadowStored_ && buffer_ == shadow_) refresh();
    return buffer_;
}

void WorkArea::skip(int32_t count) {
    table_->commitRow();
    if (count == 0) return refresh();
    if (count > 0) {
        if (phantom_) {
            eof_ = true;
            return;
        }
        for (int32_t i = 0; i < count; ++i) {
            if (quickStep()) {
                if (phantom_) return;
                continue;
            }
            if (!firstVisibleFrom(nextPos(Position{recNo_, posKey_}), true)) {
                setPhantom();
                bof_ = false;
                return;
            }
        }
        return;
    }
    for (int32_t i = 0; i > count; --i) {
        std::optional<Position> found;
        if (phantom_) {
            found = firstVisibleFrom(lastPos(), false);
        } else {
            const Position here{recNo_, posKey_};
            found = firstVisibleFrom(prevPos(here), false);
        }
        if (!found) {
            // Before the first record: stay on the first one, with Bof set.
            goTop();
            bof_ = true;
            return;
        }
    }
}

uint32_t WorkArea::count() {
    table_->commitRow();
    if (!activeTag() && query_.empty() && !settings().deleted) return table_->dbf().recordCount();
    uint32_t n = 0;
    const uint32_t total = table_->dbf().recordCount();
    for (auto p = firstPos(); p; p = nextPos(*p)) {
        if (p->recNo < 1 || p->recNo > total) continue;
        if (visible(table_->dbf().readRecord(p->recNo), p->recNo)) ++n;
    }
    return n;
}

uint32_t WorkArea::orderPosition() {
    table_->commitRow();
    if (phantom_) return 0;
    if (!activeTag()) return recNo_;
    uint32_t n = 0;
    const uint32_t total = table_->dbf().recordCount();
    for (auto p = firstPos(); p; p = nextPos(*p)) {
        if (p->recNo < 1 || p->recNo > total) continue;
        if (!visible(table_->dbf().readRecord(p->recNo), p->recNo)) continue;
        ++n;
        if (p->recNo == recNo_) return n;
    }
    return 0;
}

std::optional<WorkArea::Position> WorkArea::settleFrom(std::optional<IndexEntry> e) {
    std::optional<Position> p = fromEntry(std::move(e));
    if (p && scopeSide(p->key) < 0) p = firstPos();
    if (p && scopeSide(p->key) > 0) p.reset();
    return firstVisibleFrom(p, true);
}

bool WorkArea::seek(const std::string& text) {
    table_->commitRow();
    const OpenTag* t = activeTag();
    if (!t) throw XbaseError(kErrNoOrder, "a key search needs an active index order");
    const std::string key = searchKey(*t, text, settings().exact);
    const auto p = settleFrom(t->index->seek(t->spec.name, key, true));
    if (p && comparePrefix(p->key, key) == 0) return true;
    if (!(settings().softSeek && p)) {
        setPhantom();
        bof_ = false;
    }
    return false;
}

bool WorkArea::seekAfter(const std::string& text) {
    table_->commitRow();
    const OpenTag* t = activeTag();
    if (!t) throw XbaseError(kErrNoOrder, "a key search needs an active index order");
    const std::string key = searchKey(*t, text, false);
    const auto beyond = t->spec.descending ? predecessor(key) : successor(key);
    std::optional<Position> p;
    if (beyond) p = settleFrom(t->index->seek(t->spec.name, *beyond, true));
    if (p) return true;
    setPhantom();
    bof_ = false;
    return false;
}

}  // namespace xbase
