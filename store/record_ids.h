#pragma once
// Record identifiers: the account generator (milliseconds, a random number
// and the clock) and the clock-and-name identifiers of folders,
// restrictions, attached agents and history rows. The clock, the random
// source and the pause are injectable so that tests can fix them.

#include <functional>
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace store {

struct IdSources {
    std::function<TDateTime()> now;           // default: platform::Now
    std::function<int(int bound)> random;     // 0 <= r < bound; default: re-seeded from the clock
    std::function<void(int milliseconds)> pause;  // default: sleeps
};

// Tells whether an identifier is already held by a unique tag.
using KeyTaken = std::function<bool(const std::string& key)>;

class RecordIds {
public:
    explicit RecordIds(IdSources sources = {});

    // Account identifier: 13 to 19 characters.
    std::string AccountId();
    // "yyyymmddhhmmss" followed by the first characters of a name.
    std::string FolderId(std::string_view folderName);          // 2 characters of the name
    std::string RestrictionId(std::string_view restrictionName);  // 6
    std::string DefaultRestrictionId(std::string_view accountId);  // 6
    std::string AttachedAgentId(std::string_view agentName);     // 6
    std::string HistoryId(std::string_view actionText);          // 6

    // The same, made again while `taken` says the unique tag already holds
    // the identifier: an account identifier is generated afresh, a clock
    // identifier takes the following second. The format stays. Throws
    // StoreError when no free identifier turns up.
    std::string UniqueAccountId(const KeyTaken& taken);
    std::string UniqueClockId(std::string_view name, int nameChars, const KeyTaken& taken);

private:
    std::string accountIdAt(TDateTime now, int random) const;
    IdSources sources_;
};

// "yyyymmddhhmmss" of a time followed by the first `nameChars` characters of
// the name (never splitting a UTF-8 sequence).
std::string ClockId(TDateTime time, std::string_view name, int nameChars);

// A check against the unique tag `tag` of a table in the data folder,
// read from its compound index; a table without one holds no key.
KeyTaken TagHolds(const std::string& databaseFolder, const std::string& tableFile, const std::string& tag);

}  // namespace store
