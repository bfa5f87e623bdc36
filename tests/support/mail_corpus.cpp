#include "tests/support/mail_corpus.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace test_support {

namespace {

// Python's test folder also holds pictures and sounds; its messages are the
// "msg_*.txt" files.
const char* const kPythonMessages = "/usr/lib/python3.11/test/test_email/data";
const char* const kBounces = "/usr/lib/python3/dist-packages/flufl/bounce/tests/data";

std::vector<CorpusMessage> collect(const char* folder, const std::string& collection, const std::string& prefix)
{
    if (!fs::is_directory(folder))
        throw std::runtime_error(std::string("mail corpus missing: ") + folder);
    std::vector<CorpusMessage> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (entry.is_regular_file() && file.rfind(prefix, 0) == 0 && entry.path().extension() == ".txt")
            found.push_back({collection + "/" + file, entry.path().string()});
    }
    if (found.empty())
        throw std::runtime_error(std::string("mail corpus empty: ") + folder);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return found;
}

}  // namespace

std::vector<CorpusMessage> realWorldBounces() { return collect(kBounces, "bounces", ""); }

std::vector<CorpusMessage> realWorldMessages()
{
    std::vector<CorpusMessage> all = collect(kPythonMessages, "python-email", "msg_");
    const std::vector<CorpusMessage> bounces = realWorldBounces();
    all.insert(all.end(), bounces.begin(), bounces.end());
    return all;
}

}  // namespace test_support
