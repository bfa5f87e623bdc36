#pragma once
// Messages owned by a list (the POP3 client keeps what it fetched in one).

#include <vector>

#include "mail/message.h"

class TmsMessageList;

// A message that belongs to a list from its creation to its destruction.
class TmsListMessage : public TmsMessage {
public:
    // Adds itself to the owner; throws std::invalid_argument without one.
    explicit TmsListMessage(TmsMessageList* owner);
    ~TmsListMessage() override;

    TmsMessageList* Owner() const { return owner_; }

private:
    friend class TmsMessageList;
    TmsMessageList* owner_;
};

class TmsMessageList {
public:
    TmsMessageList() = default;
    ~TmsMessageList();
    TmsMessageList(const TmsMessageList&) = delete;
    TmsMessageList& operator=(const TmsMessageList&) = delete;

    TmsListMessage& Items(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }
    // A new message owned by this list.
    TmsListMessage& Add();
    // Frees the message and takes it out of the list.
    void Remove(TmsListMessage* message);
    void Clear();

private:
    friend class TmsListMessage;
    void attach(TmsListMessage* message) { items_.push_back(message); }
    void detach(TmsListMessage* message);

    std::vector<TmsListMessage*> items_;
};
