#include "store/record_ids.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "platform/files.h"
#include "store/store_error.h"
#include "store/table_layouts.h"
#include "store/text_prefix.h"
#include "tables/text_util.h"
#include "xbase/cdx/cdx_index.h"
#include "xbase/error.h"

namespace store {

namespace {

constexpr double kSecond = 1.0 / 86400.0;
constexpr int kAccountAttempts = 50;
constexpr int kClockAttempts = 3600;

std::string twoDigits(int value)
{
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02d", value % 100);
    return buffer;
}

IdSources withDefaults(IdSources s)
{
    if (!s.now)
        s.now = [] { return platform::Now(); };
    if (!s.random)
        s.random = [](int bound) {
            // Seeded from the clock at every call, as the generator is re-seeded
            // before each account identifier.
            std::mt19937 engine(static_cast<unsigned>(
                std::chrono::high_resolution_clock::now().time_since_epoch().count()));
            return std::uniform_int_distribution<int>(0, bound - 1)(engine);
        };
    if (!s.pause)
        s.pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    return s;
}

}  // namespace

std::string ClockId(TDateTime time, std::string_view name, int nameChars)
{
    int year, month, day, hour, minute, second, msec;
    platform::DecodeDate(time, year, month, day);
    platform::DecodeTime(time, hour, minute, second, msec);
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", year % 10000, month, day, hour, minute,
                  second);
    const std::string prefix = Utf8Prefix(name, static_cast<std::size_t>(nameChars));
    return Utf8Prefix(std::string(stamp) + prefix, static_cast<std::size_t>(kIdWidth));
}

RecordIds::RecordIds(IdSources sources) : sources_(withDefaults(std::move(sources))) {}

std::string RecordIds::accountIdAt(TDateTime now, int random) const
{
    int year, month, day, hour, minute, second, msec;
    platform::DecodeDate(now, year, month, day);
    platform::DecodeTime(now, hour, minute, second, msec);
    const std::string r = std::to_string(random);
    const std::string id = std::to_string(msec) + r + twoDigits(second) + twoDigits(hour) + twoDigits(year) +
                           twoDigits(month) + twoDigits(day) + r.substr(0, 3);
    return id.substr(0, static_cast<std::size_t>(kIdWidth));
}

std::string RecordIds::AccountId()
{
    sources_.pause(40);
    const TDateTime now = sources_.now();
    int hour, minute, second, msec;
    platform::DecodeTime(now, hour, minute, second, msec);
    const int r = msec > 0 ? sources_.random(msec) : 0;
    return accountIdAt(now, r);
}

std::string RecordIds::FolderId(std::string_view folderName) { return ClockId(sources_.now(), folderName, 2); }
std::string RecordIds::RestrictionId(std::string_view name) { return ClockId(sources_.now(), name, 6); }
std::string RecordIds::DefaultRestrictionId(std::string_view accountId)
{
    return ClockId(sources_.now(), accountId, 6);
}
std::string RecordIds::AttachedAgentId(std::string_view agentName) { return ClockId(sources_.now(), agentName, 6); }
std::string RecordIds::HistoryId(std::string_view actionText) { return ClockId(sources_.now(), actionText, 6); }

std::string RecordIds::UniqueAccountId(const KeyTaken& taken)
{
    for (int attempt = 0; attempt < kAccountAttempts; ++attempt) {
        std::string id = AccountId();
        if (!taken(id))
            return id;
    }
    throw StoreError("Unable to make a unique account identifier");
}

std::string RecordIds::UniqueClockId(std::string_view name, int nameChars, const KeyTaken& taken)
{
    const TDateTime now = sources_.now();
    for (int attempt = 0; attempt < kClockAttempts; ++attempt) {
        std::string id = ClockId(now + attempt * kSecond, name, nameChars);
        if (!taken(id))
            return id;
    }
    throw StoreError("Unable to make a unique identifier for " + std::string(name));
}

KeyTaken TagHolds(const std::string& databaseFolder, const std::string& tableFile, const std::string& tag)
{
    std::string folder = databaseFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::string indexFile = folder + tables::withoutExtension(tableFile) + ".cdx";
    return [indexFile, tag](const std::string& key) {
        const auto path = platform::FindIgnoreCase(indexFile);
        if (!path)
            return false;
        try {
            auto index = xbase::CdxIndex::open(*path, true);
            const auto spec = index->tag(tag);
            if (!spec)
                return false;
            const std::string wanted = xbase::encodeKey(xbase::Value::character(key), *spec);
            const auto found = index->seek(spec->name, wanted, false);
            return found && found->key == wanted;
        } catch (const xbase::XbaseError& e) {
            throw StoreError("Unable to read the index " + *path + ": " + e.what());
        }
    };
}

}  // namespace store
