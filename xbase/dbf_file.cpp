#include "xbase/dbf_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <algorithm>
#include <set>

#include "xbase/engine_errors.h"
#include "xbase/error.h"
#include "xbase/file_lock.h"
#include "xbase/file_names.h"

namespace xbase {

namespace {

uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
constexpr uint32_t kRunRecords = 256;                // records read in one go by an exclusive open
constexpr std::size_t kRunCacheLimit = 64u << 20;   // bytes; dropped whole when exceeded

void putLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A system call on path has just failed: the text says what and why, and
// the fault carries the file and the system's reason.
[[noreturn]] void throwSystem(int code, const std::string& what, const std::string& path) {
    const int error = errno;
    throw XbaseError(code, what + " " + path + ": " + std::strerror(error), systemFault(path, error));
}

// A file that is not a table the engine can use.
[[noreturn]] void throwBadTable(const std::string& message, const std::string& path, const std::string& reason) {
    throw XbaseError(kErrBadTable, message, FileFault{path, reason});
}

void readFully(int fd, int64_t offset, void* data, std::size_t size, const std::string& path) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throwSystem(kErrIo, "cannot read", path);
        if (n == 0) throwBadTable("unexpected end of file in " + path, path, "table truncated: the file ends early");
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

}  // namespace

DbfFile::DbfFile(const std::string& path, OpenMode mode) : path_(path), mode_(mode) {
    fd_ = ::open(path.c_str(), (mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd_ < 0) throwSystem(kErrOpen, "cannot open table", path);
    try {
        const bool exclusive = mode == OpenMode::Exclusive;
        if (!lockRange(fd_, lock_region::kOpen, 1, exclusive, 0)) {
            throw XbaseError(kErrLocked, exclusive ? "table is in use by another program: " + path
                                                   : "table is open exclusively elsewhere: " + path,
                             FileFault{path, exclusive ? "in use by another program"
                                                       : "open exclusively by another program"});
        }
        readHeader();
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

DbfFile::~DbfFile() {
    try {
        writeHeld();
    } catch (const XbaseError&) {
    }
    if (fd_ >= 0) ::close(fd_);
}

void DbfFile::readHeader() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throwSystem(kErrIo, "cannot inspect", path_);
    if (st.st_size < 33) throwBadTable("not a table (file too short): " + path_, path_, "not a table: file too short");
    unsigned char h[32];
    readFully(fd_, 0, h, 32, path_);
    version_ = h[0];
    headerLength_ = le16(h + 8);
    recordLength_ = le16(h + 10);
    indexFlag_ = (h[28] & 0x01) != 0;
    if (headerLength_ < 33 || headerLength_ > st.st_size || recordLength_ < 1) {
        throwBadTable("damaged table header: " + path_, path_,
                      headerLength_ > st.st_size ? "not a table: header truncated" : "not a table: header damaged");
    }
    std::string fieldArea(headerLength_ - 32u, '\0');
    readFully(fd_, 32, fieldArea.data(), fieldArea.size(), path_);
    int offset = 1;
    std::set<std::string> names;
    for (std::size_t at = 0; at + 32 <= fieldArea.size() && fieldArea[at] != '\x0D'; at += 32) {
        const auto* f = reinterpret_cast<const unsigned char*>(fieldArea.data() + at);
        FieldDef def;
        def.name = upperCase(std::string(reinterpret_cast<const char*>(f), strnlen(reinterpret_cast<const char*>(f), 11)));
        def.type = static_cast<char>(std::toupper(f[11]));
        def.width = f[16];
        def.decimals = f[17];
        if (def.type == 'C') def.width |= f[17] << 8, def.decimals = 0;  // long texts keep their high byte in the decimals
        def.offset = offset;
        if (def.name.empty() || def.width == 0 || !names.insert(def.name).second) {
            throwBadTable("damaged field list in " + path_, path_, "not a table: field list damaged");
        }
        offset += def.width;
        fields_.push_back(def);
    }
    if (fields_.empty() || offset != recordLength_) {
        throwBadTable("field list does not match the record length in " + path_, path_,
                      "not a table: field list does not match the record length");
    }
    const uint64_t count = le32(h + 4);
    count_ = static_cast<uint32_t>(count);
    const uint64_t need = uint64_t(headerLength_) + count * uint64_t(recordLength_);
    // Another program's append may have landed between the size and the
    // count read above; it writes the record before the count, so a size
    // taken now covers every record the count names.
    if (need > uint64_t(st.st_size) && ::fstat(fd_, &st) != 0) throwSystem(kErrIo, "cannot inspect", path_);
    if (need > uint64_t(st.st_size)) {
        throwBadTable("table is truncated: the header counts " + std::to_string(count) +
                          " records, the file holds fewer: " + path_,
                      path_, "table truncated: the header counts " + std::to_string(count) + " records, the file holds fewer");
    }
}

bool DbfFile::hasMemoFields() const {
    for (const auto& f : fields_) if (f.type == 'M' || f.type == 'G' || f.type == 'B' || f.type == 'P') return true;
    return false;
}

uint32_t DbfFile::recordCount() const {
    if (sole()) return count_;
    unsigned char b[4];
    readFully(fd_, 4, b, 4, path_);
    return le32(b);
}

// The record from the run that holds it, read whole when first needed.
const char* DbfFile::cachedRecord(uint32_t recNo) const {
    const uint32_t run = (recNo - 1) / kRunRecords;
    auto it = runs_.find(run);
    if (it == runs_.end()) {
        if (runBytes_ > kRunCacheLimit) {
            writeHeld();
            runs_.clear();
            runBytes_ = 0;
        }
        const uint32_t first = run * kRunRecords + 1;
        const uint32_t n = std::min(kRunRecords, count_ - first + 1);
        std::string data(std::size_t(n) * std::size_t(recordLength_), '\0');
        readFully(fd_, int64_t(headerLength_) + int64_t(first - 1) * recordLength_, data.data(), data.size(), path_);
        runBytes_ += data.size();
        it = runs_.emplace(run, std::move(data)).first;
    }
    const std::size_t at = std::size_t((recNo - 1) % kRunRecords) * std::size_t(recordLength_);
    if (at + std::size_t(recordLength_) > it->second.size()) return nullptr;
    return it->second.data() + at;
}

void DbfFile::forgetRun(uint32_t recNo) const {
    if (held_ && (held_ - 1) / kRunRecords == (recNo - 1) / kRunRecords) writeHeld();
    const auto it = runs_.find((recNo - 1) / kRunRecords);
    if (it == runs_.end()) return;
    runBytes_ -= it->second.size();
    runs_.erase(it);
}

const char* DbfFile::keptRecord(uint32_t recNo) const {
    if (!sole() || recNo == 0 || recNo > count_) return nullptr;
    return cachedRecord(recNo);
}

void DbfFile::prefetchKept(uint32_t recNo) const {
    if (!sole() || recNo == 0 || recNo > count_) return;
    const auto it = runs_.find((recNo - 1) / kRunRecords);
    const std::size_t at = std::size_t((recNo - 1) % kRunRecords) * std::size_t(recordLength_);
    if (it != runs_.end() && at < it->second.size()) __builtin_prefetch(it->second.data() + at);
}

std::string DbfFile::readRecord(uint32_t recNo) const {
    if (recNo == 0) throw XbaseError(kErrArgument, "record 0 does not exist");
    if (sole() && recNo <= count_) {
        if (const char* cached = cachedRecord(recNo)) return std::string(cached, std::size_t(recordLength_));
    }
    if (held_ == recNo && !sole()) return heldData_;
    return storedRecord(recNo);
}

std::string DbfFile::storedRecord(uint32_t recNo) const {
    if (recNo == 0) throw XbaseError(kErrArgument, "record 0 does not exist");
    std::string rec(static_cast<std::size_t>(recordLength_), ' ');
    const int64_t offset = int64_t(headerLength_) + int64_t(recNo - 1) * recordLength_;
    readFully(fd_, offset, rec.data(), rec.size(), path_);
    return rec;
}

void DbfFile::writeAt(int64_t offset, const void* data, std::size_t size) {
    if (readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + path_);
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throwSystem(kErrIo, "cannot write", path_);
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

void DbfFile::touchDate() {
    std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    const unsigned char d[3] = {static_cast<unsigned char>(tm.tm_year), static_cast<unsigned char>(tm.tm_mon + 1),
                                static_cast<unsigned char>(tm.tm_mday)};
    // The date only moves on once a day; whoever else writes the table
    // writes the same date.
    if (dateKnown_ && std::memcmp(d, dateWritten_, 3) == 0) return;
    writeAt(1, d, 3);
    std::memcpy(dateWritten_, d, 3);
    dateKnown_ = true;
}

void DbfFile::holdRecord(uint32_t recNo, const std::string& record) {
    if (held_ && held_ != recNo) return writeRecord(recNo, record);
    if (readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + path_);
    if (record.size() != static_cast<std::size_t>(recordLength_)) throw XbaseError(kErrArgument, "record has the wrong length");
    if (!hasRecord(recNo)) throw XbaseError(kErrArgument, "record " + std::to_string(recNo) + " does not exist");
    if (!sole()) {
        heldData_ = record;
        held_ = recNo;
        return;
    }
    const char* kept = cachedRecord(recNo);
    if (!kept) return writeRecord(recNo, record);
    auto& run = runs_.find((recNo - 1) / kRunRecords)->second;
    run.replace(static_cast<std::size_t>(kept - run.data()), record.size(), record);
    held_ = recNo;
}

void DbfFile::writeHeld() const {
    if (!held_) return;
    const uint32_t recNo = held_;
    held_ = 0;
    if (heldAppend_) {
        // Record and end marker first, the count last, as an append writes them.
        heldAppend_ = false;
        std::string data(cachedRecord(recNo), std::size_t(recordLength_));
        data += '\x1A';
        auto* self = const_cast<DbfFile*>(this);
        self->writeAt(int64_t(headerLength_) + int64_t(recNo - 1) * recordLength_, data.data(), data.size());
        unsigned char b[4];
        putLe32(b, recNo);
        self->writeAt(4, b, 4);
        self->touchDate();
        return;
    }
    if (!sole()) {
        const std::string record = std::move(heldData_);
        return const_cast<DbfFile*>(this)->writeRecord(recNo, record);
    }
    const char* kept = cachedRecord(recNo);
    const_cast<DbfFile*>(this)->writeRecord(recNo, std::string(kept, std::size_t(recordLength_)));
}

void DbfFile::writeRecord(uint32_t recNo, const std::string& record) {
    if (record.size() != static_cast<std::size_t>(recordLength_)) throw XbaseError(kErrArgument, "record has the wrong length");
    if (!hasRecord(recNo)) throw XbaseError(kErrArgument, "record " + std::to_string(recNo) + " does not exist");
    if (held_ == recNo && !heldAppend_) held_ = 0;   // written whole below
    writeHeld();
    writeAt(int64_t(headerLength_) + int64_t(recNo - 1) * recordLength_, record.data(), record.size());
    if (sole()) {
        const auto it = runs_.find((recNo - 1) / kRunRecords);
        const std::size_t at = std::size_t((recNo - 1) % kRunRecords) * std::size_t(recordLength_);
        if (it != runs_.end() && at + record.size() <= it->second.size()) it->second.replace(at, record.size(), record);
    }
    touchDate();
}

bool DbfFile::hasRecord(uint32_t recNo) const {
    // A count seen once bounds every later one.
    return recNo != 0 && (recNo <= count_ || recNo <= (count_ = recordCount()));
}

uint32_t DbfFile::appendRecord(const std::string& record, uint32_t count, bool hold) {
    if (record.size() != static_cast<std::size_t>(recordLength_)) throw XbaseError(kErrArgument, "record has the wrong length");
    if (count >= 0x7FFFFFFEu / static_cast<uint32_t>(recordLength_)) {
        throw XbaseError(kErrIo, "table is full: " + path_, FileFault{path_, "table is full"});
    }
    writeHeld();
    if (hold && sole() && !readOnly()) {
        // The run that is to hold the new record, read first when not at hand.
        if (count % kRunRecords != 0) cachedRecord(count);
        auto& run = runs_[count / kRunRecords];
        if (run.size() == std::size_t(count % kRunRecords) * std::size_t(recordLength_)) {
            run += record;
            runBytes_ += record.size();
            count_ = count + 1;
            held_ = count + 1;
            heldAppend_ = true;
            return count + 1;
        }
        forgetRun(count + 1);
    }
    std::string data = record;
    data += '\x1A';
    // The record and end marker first, the count last: a program killed in
    // between leaves the old count and no half-counted record.
    writeAt(int64_t(headerLength_) + int64_t(count) * recordLength_, data.data(), data.size());
    unsigned char b[4];
    putLe32(b, count + 1);
    writeAt(4, b, 4);
    count_ = count + 1;
    if (sole()) {
        // A run that ends just before the new record takes it; any other is read again.
        const auto it = runs_.find(count / kRunRecords);
        const std::size_t at = std::size_t(count % kRunRecords) * std::size_t(recordLength_);
        if (it != runs_.end() && it->second.size() == at) {
            it->second += record;
            runBytes_ += record.size();
        } else {
            forgetRun(count + 1);
        }
    }
    touchDate();
    return count + 1;
}

void DbfFile::rewriteRecords(const std::vector<std::string>& records) {
    held_ = 0;   // every record is written anew
    heldAppend_ = false;
    std::string data;
    data.reserve(records.size() * static_cast<std::size_t>(recordLength_) + 1);
    for (const auto& r : records) data += r;
    data += '\x1A';
    writeAt(headerLength_, data.data(), data.size());
    runs_.clear();
    runBytes_ = 0;
    unsigned char b[4];
    putLe32(b, static_cast<uint32_t>(records.size()));
    writeAt(4, b, 4);
    count_ = static_cast<uint32_t>(records.size());
    touchDate();
    if (::ftruncate(fd_, int64_t(headerLength_) + int64_t(data.size())) != 0) {
        throwSystem(kErrIo, "cannot shorten", path_);
    }
}

bool DbfFile::readStructuralIndexFlag() {
    unsigned char flag = 0;
    readFully(fd_, 28, &flag, 1, path_);
    indexFlag_ = (flag & 0x01) != 0;
    return indexFlag_;
}

void DbfFile::setStructuralIndexFlag(bool on) {
    unsigned char flag = 0;
    readFully(fd_, 28, &flag, 1, path_);
    flag = static_cast<unsigned char>(on ? (flag | 0x01) : (flag & ~0x01));
    writeAt(28, &flag, 1);
    indexFlag_ = on;
}

}  // namespace xbase
