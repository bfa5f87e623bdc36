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

TTempFileStream::TTempFileStream(TempFileName name)
{
    std::string pattern = tempFolder() + "msXXXXXX";
    std::vector<char> made(pattern.begin(), pattern.end());
    made.push_back('\0');
    int fd = ::mkstemp(made.data());
    if (fd < 0)
        throw mail::EFCreateError("Cannot create file \"" + pattern + "\". " + std::strerror(errno));
    ::close(fd);
    fileName_ = made.data();
    // The file is new and empty: no truncation, which would have the file
    // system write it out at close although it is deleted right after.
    open(fileName_, std::ios::in | std::ios::out | std::ios::binary);
    if (!is_open()) {
        ::unlink(fileName_.c_str());
        throw mail::EFCreateError("Cannot create file \"" + fileName_ + "\".");
    }
    if (name == TempFileName::Dropped) {
        ::unlink(fileName_.c_str());
        fileName_.clear();
    }
}

TTempFileStream::~TTempFileStream()
{
    close();
    if (!fileName_.empty())
        ::unlink(fileName_.c_str());  // a file that cannot go is left to the system
}
