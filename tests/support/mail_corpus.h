#pragma once
// Real-world messages shipped in Debian packages that the dependency script
// installs: the e-mail test messages of Python's own test suite (MIME,
// malformed, many charsets) and a collection of bounces written by many
// different mail servers. Tests read them where the packages put them.

#include <string>
#include <vector>

namespace test_support {

struct CorpusMessage {
    std::string name;  // "<collection>/<file name>", for a failing test's message
    std::string path;
};

// Every message of both collections, in name order. Throws
// std::runtime_error when a collection is missing, so a machine without the
// packages fails rather than tests nothing.
std::vector<CorpusMessage> realWorldMessages();
// Only the bounces (delivery status notifications and their relatives).
std::vector<CorpusMessage> realWorldBounces();

}  // namespace test_support
