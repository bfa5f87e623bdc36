#pragma once
// One open of a DBF table file: its header and field list, raw record
// reads and writes straight to the file, and the open-mode lock. A shared
// or read-only open reads the record count and the records from the file
// on every call, so changes of other programs are seen at once; an
// exclusive open is the file's only one and keeps both in memory. Writes
// go to the file at once, except the one record a caller holds back.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "xbase/value.h"

namespace xbase {

enum class OpenMode { Shared, ReadOnly, Exclusive };

class DbfFile {
public:
    // Opens and checks the file; XbaseError when it cannot be opened, is
    // damaged, or the open mode conflicts with another holder.
    DbfFile(const std::string& path, OpenMode mode);
    ~DbfFile();
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;

    const std::string& path() const { return path_; }
    OpenMode mode() const { return mode_; }
    bool readOnly() const { return mode_ == OpenMode::ReadOnly; }
    int fd() const { return fd_; }
    const std::vector<FieldDef>& fields() const { return fields_; }
    int recordLength() const { return recordLength_; }
    uint8_t version() const { return version_; }
    bool hasMemoFields() const;
    bool structuralIndexFlag() const { return indexFlag_; }
    // The flag as it is in the file now (another program may have made the index).
    bool readStructuralIndexFlag();

    uint32_t recordCount() const;
    // The raw record (deletion byte first); XbaseError when it lies beyond the file.
    std::string readRecord(uint32_t recNo) const;
    // An exclusive open's copy of the record (recordLength() bytes, valid
    // until the next call on this file); nullptr for other opens, which
    // read the file every time.
    const char* keptRecord(uint32_t recNo) const;
    // Asks the processor to fetch a kept record that is about to be read.
    void prefetchKept(uint32_t recNo) const;
    void writeRecord(uint32_t recNo, const std::string& record);
    // Takes the record in memory only, for reads of this open, until
    // writeHeld() or any other write of the file puts it there. The caller
    // makes sure nobody else writes the record meanwhile (an exclusive open,
    // or the record's lock).
    void holdRecord(uint32_t recNo, const std::string& record);
    void writeHeld() const;
    // The record as the file has it, whatever this open holds back.
    std::string storedRecord(uint32_t recNo) const;
    // Whether record recNo exists (records never go away while the file is
    // open: pack and zap need it exclusive).
    bool hasRecord(uint32_t recNo) const;
    // Writes record as number count+1, the end marker and the new count;
    // the caller holds the header lock and has just read count. Answers the
    // new record number. An exclusive open may hold the new record instead,
    // as holdRecord() does: it reaches the file, with its count, at writeHeld().
    uint32_t appendRecord(const std::string& record, uint32_t count, bool hold = false);
    // Replaces every record (pack, zap); exclusive opens only.
    void rewriteRecords(const std::vector<std::string>& records);
    void setStructuralIndexFlag(bool on);

private:
    bool sole() const { return mode_ == OpenMode::Exclusive; }
    const char* cachedRecord(uint32_t recNo) const;
    void forgetRun(uint32_t recNo) const;
    void readHeader();
    void touchDate();
    void writeAt(int64_t offset, const void* data, std::size_t size);

    std::string path_;
    OpenMode mode_;
    int fd_ = -1;
    uint8_t version_ = 0x03;
    bool indexFlag_ = false;
    uint16_t headerLength_ = 0;
    int recordLength_ = 0;
    std::vector<FieldDef> fields_;
    mutable uint32_t count_ = 0;         // exclusive opens: the record count; others: one it had
    unsigned char dateWritten_[3] = {};  // the last-update date this open wrote
    bool dateKnown_ = false;
    // Exclusive opens: runs of records as they are in the file, by run number.
    mutable std::unordered_map<uint32_t, std::string> runs_;
    mutable std::size_t runBytes_ = 0;
    mutable uint32_t held_ = 0;   // the record holdRecord() kept from the file (0: none)
    mutable std::string heldData_;   // other opens: its bytes (an exclusive open keeps them in its run)
    mutable bool heldAppend_ = false;   // the held record is a new one: not in the file, nor in its count
};

}  // namespace xbase
