#pragma once
// A scripted dial-up backend for tests: a phone book, connections that are
// already up, and for each dial the notifications it will deliver, one per
// poll. Install it with platform::setDialupBackend (or hand it to a TagRas)
// and read back what the component did.

#include "platform/dialup_backend.h"

#include <map>
#include <string>
#include <vector>

namespace test_support {

class FakeDialupBackend : public platform::DialupBackend {
public:
    // The script (set before use).
    bool isAvailable = true;
    std::vector<std::string> phoneBook;
    struct Connection {
        long handle;
        std::string entry;
        std::string ipAddress;
    };
    std::vector<Connection> established;
    // Notifications of the next dial, delivered one per poll; after the last
    // one the dial stays silent. An empty list: the dial never finishes.
    std::vector<platform::DialupEvent> dialScript;
    bool entryHasPassword = true;
    int failDialWith = 0;          // dial() throws this error number when set
    int failConnectionsWith = 0;   // connections() throws this error number when set
    std::map<int, std::string> errorTexts;

    // What happened.
    std::vector<std::string> dialled;       // entries, in order
    std::vector<long> hungUp;               // handles
    std::vector<std::string> storedPasswords;
    int polls = 0;

    bool available() const override { return isAvailable; }
    std::vector<std::string> entries() override { return phoneBook; }
    std::vector<platform::DialupConnection> connections() override;
    std::string ipAddress(long handle) override;
    bool passwordSaved(const std::string&) override { return entryHasPassword; }
    void storePassword(const std::string& entry, const std::string& password, bool removePassword) override;
    long dial(const std::string& entry) override;
    std::vector<platform::DialupEvent> poll(long handle) override;
    void hangUp(long handle) override;
    std::string errorText(int number) override;

private:
    long dialHandle_ = -1;
    std::size_t scriptPos_ = 0;
};

}  // namespace test_support
