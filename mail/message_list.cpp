#include "mail/message_list.h"

#include <algorithm>
#include <stdexcept>

TmsListMessage::TmsListMessage(TmsMessageList* owner) : owner_(owner)
{
    if (owner_ == nullptr)
        throw std::invalid_argument("Owner of TmsListMessage must be TmsMessageList");
    owner_->attach(this);
}

TmsListMessage::~TmsListMessage()
{
    if (owner_ != nullptr)
        owner_->detach(this);
}

TmsMessageList::~TmsMessageList() { Clear(); }

TmsListMessage& TmsMessageList::Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }

TmsListMessage& TmsMessageList::Add() { return *new TmsListMessage(this); }

void TmsMessageList::Remove(TmsListMessage* message)
{
    if (std::find(items_.begin(), items_.end(), message) != items_.end())
        delete message;  // its destructor takes it out of the list
}

void TmsMessageList::Clear()
{
    while (!items_.empty())
        delete items_.back();
}

void TmsMessageList::detach(TmsListMessage* message)
{
    items_.erase(std::remove(items_.begin(), items_.end(), message), items_.end());
}
