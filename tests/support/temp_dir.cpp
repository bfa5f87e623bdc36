#include "tests/support/temp_dir.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace test_support {

TempDir::TempDir(const std::string& prefix, const std::string& parent)
{
    const char* base = std::getenv("TMPDIR");
    std::string folder = !parent.empty() ? parent : (base && *base ? base : "/tmp");
    std::string pattern = folder + "/" + prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder from " + pattern);
    path_ = buffer.data();
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string otherFileSystemParent(const std::string& folder)
{
    const std::string memory = "/dev/shm";
    struct stat here{}, there{};
    if (::stat(folder.c_str(), &here) != 0 || ::stat(memory.c_str(), &there) != 0 || !S_ISDIR(there.st_mode) ||
        here.st_dev == there.st_dev)
        return {};
    return memory;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace test_support
