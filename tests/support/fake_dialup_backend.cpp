#include "tests/support/fake_dialup_backend.h"

#include <algorithm>

namespace test_support {

std::vector<platform::DialupConnection> FakeDialupBackend::connections()
{
    if (failConnectionsWith != 0)
        throw platform::DialupError(failConnectionsWith, errorText(failConnectionsWith));
    std::vector<platform::DialupConnection> list;
    for (const Connection& connection : established)
        list.push_back({connection.handle, connection.entry});
    return list;
}

std::string FakeDialupBackend::ipAddress(long handle)
{
    for (const Connection& connection : established)
        if (connection.handle == handle)
            return connection.ipAddress;
    return {};
}

void FakeDialupBackend::storePassword(const std::string& entry, const std::string& password, bool removePassword)
{
    storedPasswords.push_back(entry + ":" + password + (removePassword ? ":remove" : ":keep"));
}

long FakeDialupBackend::dial(const std::string& entry)
{
    dialled.push_back(entry);
    if (failDialWith != 0)
        throw platform::DialupError(failDialWith, errorText(failDialWith));
    dialHandle_ = 500 + static_cast<long>(dialled.size());
    scriptPos_ = 0;
    return dialHandle_;
}

std::vector<platform::DialupEvent> FakeDialupBackend::poll(long handle)
{
    ++polls;
    if (handle != dialHandle_ || scriptPos_ >= dialScript.size())
        return {};
    platform::DialupEvent event = dialScript[scriptPos_++];
    if (event.state == platform::dialstate::Connected && event.error == 0)
        established.push_back({handle, dialled.back(), "10.0.0.2"});
    return {event};
}

void FakeDialupBackend::hangUp(long handle)
{
    hungUp.push_back(handle);
    established.erase(std::remove_if(established.begin(), established.end(),
                                     [handle](const Connection& c) { return c.handle == handle; }),
                      established.end());
}

std::string FakeDialupBackend::errorText(int number)
{
    auto found = errorTexts.find(number);
    return found == errorTexts.end() ? std::string() : found->second;
}

}  // namespace test_support
