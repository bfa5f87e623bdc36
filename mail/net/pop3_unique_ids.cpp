#include "mail/net/pop3_unique_ids.h"

#include <map>

namespace mail::net {

namespace {

// The message number of a line, 0 when it is none.
long long numberOf(std::string_view digits)
{
    if (digits.empty() || digits.size() > 9)
        return 0;
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

bool validUniqueId(std::string_view id)
{
    if (id.empty() || id.size() > kMaxUniqueIdBytes)
        return false;
    for (char c : id)
        if (c < '!' || c > '~')
            return false;
    return true;
}

std::vector<std::string> uniqueIdsOfListing(std::string_view listing, int count)
{
    std::vector<std::string> ids(count > 0 ? static_cast<std::size_t>(count) : 0);
    std::vector<int> given(ids.size(), 0);
    while (!listing.empty()) {
        const std::size_t end = listing.find('\n');
        std::string_view line = listing.substr(0, end);
        listing.remove_prefix(end == std::string_view::npos ? listing.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t blank = line.find(' ');
        if (blank == std::string_view::npos)
            continue;
        const long long number = numberOf(line.substr(0, blank));
        if (number < 1 || number > static_cast<long long>(ids.size()))
            continue;
        const auto index = static_cast<std::size_t>(number - 1);
        ++given[index];
        std::string_view id = line.substr(blank + 1);
        ids[index] = validUniqueId(id) ? std::string(id) : std::string();
    }
    std::map<std::string, int> holders;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (given[i] != 1)
            ids[i].clear();
        if (!ids[i].empty())
            ++holders[ids[i]];
    }
    for (std::string& id : ids)
        if (!id.empty() && holders[id] > 1)
            id.clear();
    return ids;
}

}  // namespace mail::net
