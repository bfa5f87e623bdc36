// Writes and record locks of a work area.

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
#include "xbase/record_values.h"

namespace xbase {

namespace {

bool isMemoType(char t) { return t == 'M' || t == 'G' || t == 'B' || t == 'P'; }

// Cuts text to at most width bytes without splitting a UTF-8 sequence.
std::string fitText(const std::string& text, int width) {
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(width));
    if (n < text.size()) {
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    }
    return text.substr(0, n) + std::string(static_cast<std::size_t>(width) - n, ' ');
}

}  // namespace

// Holds the record lock for one write: the area's own lock when it has it,
// otherwise one taken for the write and released afterwards, even when the
// write fails.
class WorkArea::WriteLock {
public:
    WriteLock(WorkArea& area, uint32_t recNo) {
        Table& t = area.table();
        if (t.readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + area.path());
        if (t.exclusive() || area.locks_.count(recNo)) return;
        if (!lockRange(t.dbf().fd(), lock_region::kRecord + recNo, 1, true, settings().lockTimeoutMs())) {
            throw XbaseError(kErrLocked, "record " + std::to_string(recNo) + " is locked by another program");
        }
        lock_ = RangeLock(t.dbf().fd(), lock_region::kRecord + recNo, 1);
    }

private:
    RangeLock lock_;
};

bool WorkArea::rowIsOurs() const {
    // The append lock goes with the first write, which therefore goes through.
    return table_->exclusive() || (locks_.count(recNo_) && appendLock_ != recNo_);
}

void WorkArea::setShadowStored() { shadowStored_ = !table_->exclusive() && locks_.count(recNo_); }

std::string WorkArea::storedRecord() const { return shadowStored_ ? shadow_ : table_->dbf().readRecord(recNo_); }

void WorkArea::afterWrite(const std::string& record) {
    std::copy(record.begin(), record.end(), buffer_.begin());
    shadow_ = record;
    setShadowStored();
    posKey_ = currentPosition().key;
    if (appendLock_ == recNo_) unlock(appendLock_);
}

void WorkArea::putRecord(const std::string& record) {
    if (phantom_) throw XbaseError(kErrArgument, "no current record to write");
    if (record.size() != buffer_.size()) throw XbaseError(kErrArgument, "record has the wrong length");
    const bool wait = rowIsOurs();
    WriteLock lock(*this, recNo_);
    const std::string onDisk = storedRecord();
    table_->update(recNo_, record, freshAppend_ != recNo_, &onDisk, wait);
    afterWrite(record);
}

void WorkArea::replaceField(const FieldDef& f, int kind, const void* value) {
    if (phantom_) throw XbaseError(kErrArgument, "no current record to write");
    if (!value && kind != 3072 && kind != 1024) throw XbaseError(kErrArgument, "no value given");
    const bool textKind = kind == 1024 || kind == 1056 || kind == 3072;
    const auto* text = textKind ? static_cast<const char*>(value) : nullptr;
    std::string field;
    const std::string s = text ? std::string(text) : std::string();
    switch (kind) {
    case 8: {
        const double d = *static_cast<const double*>(value);
        if (f.type == 'N' || f.type == 'F') field = formatNumber(d, f.width, f.decimals);
        else if (f.type == 'C') field = fitText(formatNumber(d, f.width, f.decimals), f.width);
        else throw XbaseError(kErrValue, "field " + f.name + " takes no number");
        break;
    }
    case 128:
        if (f.type != 'L') throw XbaseError(kErrValue, "field " + f.name + " is not logical");
        field = *static_cast<const unsigned char*>(value) ? "T" : "F";
        break;
    case 1056:
        if (f.type != 'D') throw XbaseError(kErrValue, "field " + f.name + " is not a date");
        field = dateTextFromJulian(parseDate(s, settings().datePicture(), settings().epoch));
        break;
    case 1024:
    case 3072:
        break;
    default: throw XbaseError(kErrArgument, "unknown value kind " + std::to_string(kind));
    }
    if (kind == 1024 || kind == 3072) {
        switch (f.type) {
        case 'N':
        case 'F': {
            if (s.find_first_not_of(' ') == std::string::npos) { field = std::string(static_cast<std::size_t>(f.width), ' '); break; }
            char* end = nullptr;
            const double d = std::strtod(s.c_str(), &end);
            if (end == s.c_str()) throw XbaseError(kErrValue, "not a number: " + s);
            field = formatNumber(d, f.width, f.decimals);
            break;
        }
        case 'D': {
            int32_t jd = julianFromDateText(s);
            if (jd == 0 && s.find_first_not_of(' ') != std::string::npos) jd = parseDate(s, settings().datePicture(), settings().epoch);
            field = dateTextFromJulian(jd);
            break;
        }
        case 'L': {
            const char c = s.empty() ? 'F' : static_cast<char>(std::toupper(static_cast<unsigned char>(s[s[0] == '.' && s.size() > 1 ? 1 : 0])));
            field = (c == 'T' || c == 'Y') ? "T" : "F";
            break;
        }
        default:
            if (!isMemoType(f.type)) field = fitText(s, f.width);
            break;
        }
    }
    const bool wait = rowIsOurs();
    WriteLock lock(*this, recNo_);
    // The change goes onto the record as it is on disk, never onto a copy
    // that another program may have changed since it was read.
    const std::string onDisk = storedRecord();
    std::string record = onDisk;
    if (isMemoType(f.type)) {
        if (kind != 1024 && kind != 3072) throw XbaseError(kErrValue, "field " + f.name + " takes text");
        field = table_->storeMemo(f, s, kMemoTypeText);
    }
    record.replace(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.width), field);
    table_->update(recNo_, record, freshAppend_ != recNo_, &onDisk, wait);
    afterWrite(record);
}

void WorkArea::putBlob(const FieldDef& f, const std::string& data) {
    if (!isMemoType(f.type)) throw XbaseError(kErrValue, "field " + f.name + " is not a memo");
    uint32_t type = kMemoTypeText;
    const int mode = settings().blobType;
    if (mode == 2 || (mode == 0 && data.size() > 1 && std::memchr(data.data(), 0, data.size() - 1))) type = kMemoTypePicture;
    const std::string field = table_->storeMemo(f, data, type);
    std::copy(field.begin(), field.end(), buffer_.begin() + f.offset);
}

void WorkArea::deleteRecord() {
    if (phantom_) throw XbaseError(kErrArgument, "no current record to delete");
    const bool wait = rowIsOurs();
    WriteLock lock(*this, recNo_);
    const std::string onDisk = storedRecord();
    std::string record = onDisk;
    record[0] = '*';
    table_->update(recNo_, record, freshAppend_ != recNo_, &onDisk, wait);
    afterWrite(record);
}

uint32_t WorkArea::append() {
    if (table_->readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + path_);
    return appendRow(table_->blankRecord(), true, true);
}

uint32_t WorkArea::appendRecord(const std::string& record, bool keepLock) {
    if (table_->readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + path_);
    if (record.size() != buffer_.size()) throw XbaseError(kErrArgument, "record has the wrong length");
    // An exclusive open keeps an appended row back until its first write.
    if (!table_->exclusive()) return appendRow(record, false, keepLock);
    const uint32_t recNo = append();
    putRecord(record);
    if (keepLock)
        lock(recNo);
    else
        unlock(recNo);
    return recNo;
}

uint32_t WorkArea::appendRow(const std::string& record, bool blank, bool keepLock) {
    // The record gets its keys at once, under the header lock: a program
    // killed before the first write leaves a row every tag knows, and a tag
    // another open builds meanwhile holds exactly what is on disk.
    const uint32_t recNo = table_->append(record, settings().lockTimeoutMs(), locks_);
    if (appendLock_) unlock(appendLock_);
    if (keepLock) {
        if (!table_->exclusive() &&
            !lockRange(table_->dbf().fd(), lock_region::kRecord + recNo, 1, true, settings().lockTimeoutMs())) {
            throw XbaseError(kErrLocked, "new record " + std::to_string(recNo) + " is locked by another program");
        }
        locks_.insert(recNo);
    }
    settle(Position{recNo, {}}, record);
    setShadowStored();
    appendLock_ = blank ? recNo : 0;   // a whole record is posted already
    freshAppend_ = blank ? recNo : 0;
    return recNo;
}

bool WorkArea::lock(uint32_t recNo) {
    if (!table_->dbf().hasRecord(recNo)) throw XbaseError(kErrArgument, "record " + std::to_string(recNo) + " does not exist");
    if (table_->readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + path_);
    if (appendLock_ == recNo) appendLock_ = 0;  // asked for: kept after posting
    if (!locks_.count(recNo)) {
        if (!table_->exclusive() &&
            !lockRange(table_->dbf().fd(), lock_region::kRecord + recNo, 1, true, settings().lockTimeoutMs())) {
            return false;
        }
        locks_.insert(recNo);
    }
    // The record as it is now, so an edit never puts back a stale row.
    if (!phantom_ && recNo == recNo_) {
        if (shadowStored_) {
            // Locked all along: as stored is as last read.
            std::copy(shadow_.begin(), shadow_.end(), buffer_.begin());
        } else {
            refresh();
        }
        setShadowStored();
        posKey_ = currentPosition().key;
    }
    return true;
}

void WorkArea::unlock(uint32_t recNo) {
    if (recNo == 0) return unlockAll();
    // Others may change the row once its lock goes: its waiting writes go first.
    if (!table_->exclusive() && table_->pendingRow() == recNo) table_->commitRow();
    if (appendLock_ == recNo) appendLock_ = 0;
    if (recNo == recNo_) shadowStored_ = false;
    if (locks_.erase(recNo) && !table_->exclusive()) unlockRange(table_->dbf().fd(), lock_region::kRecord + recNo, 1);
}

void WorkArea::unlockAll() {
    if (!table_->exclusive()) table_->commitRow();
    appendLock_ = 0;
    shadowStored_ = false;
    if (!table_->exclusive()) {
        for (uint32_t r : locks_) unlockRange(table_->dbf().fd(), lock_region::kRecord + r, 1);
    }
    locks_.clear();
}

}  // namespace xbase
