#include "mail/net/remote_info.h"

#include <stdexcept>
#include <string>

TmsRemoteInfoItem& TmsRemoteInfo::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return *items_[static_cast<std::size_t>(index)];
}

TmsRemoteInfoItem& TmsRemoteInfo::Add(std::unique_ptr<TmsRemoteInfoItem> item)
{
    items_.push_back(std::move(item));
    return *items_.back();
}

void TmsRemoteInfo::Clear()
{
    // Last first, as the items were always freed.
    while (!items_.empty())
        items_.pop_back();
}
