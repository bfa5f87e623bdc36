#include "mail/temp_file_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mail/mail_error.h"

namespace {

std::string tempFolder()
{
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace

TTempFileStream::TTempFileStream()
{
    std::string pattern = tempFolder() + "msXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw mail::EFCreateError("Cannot create file \"" + pattern + "\". " + std::strerror(errno));
    ::close(fd);
    fileName_ = name.data();
    open(fileName_, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    if (!is_open()) {
        ::unlink(fileName_.c_str());
        throw mail::EFCreateError("Cannot create file \"" + fileName_ + "\".");
    }
}

TTempFileStream::~TTempFileStream()
{
    close();
    ::unlink(fileName_.c_str());  // a file that cannot go is left to the system
}
