#pragma once
// What the POP3 client knows of the messages waiting on the server: size,
// header lines and the marks saying what to fetch and what to delete.

#include "mail/headers.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TmsRemoteInfoItem {
public:
    bool MarkedForRetrieve() const { return (marks_ & kRetrieve) != 0; }
    void SetMarkedForRetrieve(bool value) { setMark(kRetrieve, value); }
    bool MarkedForDelete() const { return (marks_ & kDelete) != 0; }
    void SetMarkedForDelete(bool value) { setMark(kDelete, value); }
    void Unmark() { marks_ = 0; }

    // Bytes, as the server's LIST gave them.
    int Size = 0;
    // The server's name for the message for good (UIDL); "" when unknown.
    std::string UniqueId;
    TmsHeaders& Headers() { return headers_; }
    const TmsHeaders& Headers() const { return headers_; }

private:
    static constexpr std::uint8_t kRetrieve = 1;
    static constexpr std::uint8_t kDelete = 2;
    void setMark(std::uint8_t mark, bool value) { marks_ = value ? (marks_ | mark) : (marks_ & ~mark); }

    std::uint8_t marks_ = 0;
    TmsHeaders headers_;
};

// The items by index (message number on the wire = index + 1).
class TmsRemoteInfo {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Throws std::out_of_range for an index outside the list.
    TmsRemoteInfoItem& Items(int index) const;
    TmsRemoteInfoItem& Add(std::unique_ptr<TmsRemoteInfoItem> item);
    void Clear();

private:
    std::vector<std::unique_ptr<TmsRemoteInfoItem>> items_;
};
