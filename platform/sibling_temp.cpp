#include "platform/sibling_temp.h"

#include "platform/error.h"
#include "platform/files.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomSuffix()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 generator;
    thread_local pid_t seededFor = 0;
    // Reseeded after a fork, so parent and child do not draw the same names.
    if (seededFor != getpid()) {
        seededFor = getpid();
        generator.seed(std::random_device{}() ^
                       static_cast<unsigned long long>(
                           std::chrono::steady_clock::now().time_since_epoch().count()) ^
                       (static_cast<unsigned long long>(seededFor) << 32));
    }
    std::string s(6, 'x');
    for (char& c : s)
        c = alphabet[generator() % (sizeof alphabet - 1)];
    return s;
}

std::string errorText(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + std::strerror(err);
}

}  // namespace

SiblingTempFile::SiblingTempFile(const std::string& target) : target_(target)
{
    const std::string folder = folderOf(target);
    // Hidden and ending in random letters: no listing by extension ever
    // picks up a half-written file.
    // (The name is cut so that the temporary name stays within NAME_MAX.)
    const std::string stem = folder + "/." + nameOf(target).substr(0, 200) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = stem + randomSuffix();
        fd_ = CreatePrivateFile(path_, O_WRONLY);
        if (fd_ >= 0)
            return;
        if (errno != EEXIST)
            break;
    }
    const int err = errno;
    throw FileError(errorText("Cannot create file", target, err));
}

SiblingTempFile::~SiblingTempFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!done_)
        ::unlink(path_.c_str());
}

void SiblingTempFile::write(std::string_view bytes)
{
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errorText("Unable to write to", target_, errno));
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

void SiblingTempFile::closeAndKeep()
{
    if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
        fd_ = -1;
        throw FileError(errorText("Unable to write to", target_, errno));
    }
    fd_ = -1;
    done_ = true;
}

void SiblingTempFile::commit()
{
    struct stat st{};
    if (::stat(target_.c_str(), &st) == 0)
        ::fchmod(fd_, st.st_mode & 07777);
    if (::fsync(fd_) != 0) {
        const int err = errno;
        throw FileError(errorText("Unable to write to", target_, err));
    }
    ::close(fd_);
    fd_ = -1;
    if (::rename(path_.c_str(), target_.c_str()) != 0) {
        const int err = errno;
        throw FileError(errorText("Unable to write to", target_, err));
    }
    done_ = true;
    SyncFolderOf(target_);
}

void SyncFolderOf(const std::string& path)
{
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace platform
