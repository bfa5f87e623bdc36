#include "platform/files.h"

#include "platform/error.h"
#include "platform/scoped_fd.h"
#include "platform/sibling_temp.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool isDirectory(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path)
{
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string errorText(const std::string& what, const std::string& path, int err)
{
    return what + " " + path + ": " + std::strerror(err);
}

// The names in `folder` that `keep` takes, "." and ".." left out.
template <typename Keep>
std::vector<std::string> listFolder(const std::string& folder, Keep keep)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && keep(*entry))
            names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

// Names in `folder` equal to `name` ignoring case; the smallest in byte order.
std::optional<std::string> matchInFolder(const std::string& folder, const std::string& name)
{
    std::optional<std::string> best;
    for (const std::string& entry : FolderEntries(folder.empty() ? "." : folder))
        if (::strcasecmp(entry.c_str(), name.c_str()) == 0 && (!best || *best > entry))
            best = entry;
    return best;
}

void copyInto(int from, SiblingTempFile& to, const std::string& source)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errorText("Unable to read", source, errno));
        }
        if (n == 0)
            return;
        to.write(std::string_view(buffer, static_cast<size_t>(n)));
    }
}

// Moving a file to another file system: copy it beside the target, link the
// copy to the target name (which fails rather than replaces), then remove
// the copy's temporary name and the source. The file keeps its mode, as it
// does when it moves within one file system.
bool moveAcrossFileSystems(const std::string& from, const std::string& to)
{
    ScopedFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.fd < 0)
        throw FileError(errorText("Unable to move", from, errno));
    SiblingTempFile copy(to);
    copyInto(source.fd, copy, from);
    struct stat st{};
    if (::fstat(source.fd, &st) == 0)
        ::fchmod(copy.fd(), st.st_mode & 07777);
    copy.closeAndKeep();
    const bool linked = ::link(copy.path().c_str(), to.c_str()) == 0;
    const int err = errno;
    ::unlink(copy.path().c_str());
    if (!linked) {
        if (err == EEXIST)
            return false;
        throw FileError(errorText("Unable to move", from, err));
    }
    SyncFolderOf(to);
    ::unlink(from.c_str());
    return true;
}

// Makes one folder private to its owner. mkdir's mode can only lose bits
// to the umask; a umask that takes the owner's own bits away is undone
// through the new folder itself, never through a name that may have changed.
bool makePrivateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), kPrivateFolderMode) != 0)
        return errno == EEXIST;
    ScopedFd made(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st{};
    if (made.fd >= 0 && ::fstat(made.fd, &st) == 0 && (st.st_mode & 07777) != kPrivateFolderMode)
        ::fchmod(made.fd, kPrivateFolderMode);
    return true;
}

}  // namespace

int CreatePrivateFile(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFileMode);
    // The umask can only take bits away, and the owner needs both.
    if (fd >= 0)
        ::fchmod(fd, kPrivateFileMode);
    return fd;
}

bool ForceDirectories(const std::string& path)
{
    if (path.empty())
        throw FileError("Unable to create directory");
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (isDirectory(dir))
        return true;
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/')
            continue;
        if (!makePrivateFolder(dir.substr(0, pos)))
            return false;
    }
    return isDirectory(dir);
}

bool FileExists(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) { return !path.empty() && isDirectory(path); }

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::optional<std::string> FindIgnoreCase(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    if (exists(path))
        return path;
    std::string result = path[0] == '/' ? "/" : "";
    size_t pos = 0;
    while (pos < path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos)
            end = path.size();
        const std::string component = path.substr(pos, end - pos);
        if (!component.empty()) {
            if (!result.empty() && result.back() != '/')
                result += '/';
            if (component == "." || component == ".." || exists(result + component)) {
                result += component;
            } else {
                const std::string folder = result.empty() ? "." : result;
                auto match = matchInFolder(folder, component);
                if (!match)
                    return std::nullopt;
                result += *match;
            }
        }
        pos = end + 1;
    }
    if (path.back() == '/' && result.back() != '/')
        result += '/';
    return result;
}

std::string ReadWholeFile(const std::string& path)
{
    ScopedFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0)
        throw FileError(errorText("Cannot open file", path, errno));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errorText("Unable to read", path, errno));
        }
        if (n == 0)
            return bytes;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

void WriteFileAtomic(const std::string& path, std::string_view bytes)
{
    SiblingTempFile temp(path);
    temp.write(bytes);
    temp.commit();
}

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        SyncFolderOf(to);
        return true;
    }
    int err = errno;
    if (err == EEXIST)
        return false;
    if (err == EINVAL || err == ENOSYS || err == ENOTSUP) {
        // A file system without the no-replace rename: a hard link fails
        // on an existing name just the same.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            SyncFolderOf(to);
            return true;
        }
        err = errno;
        if (err == EEXIST)
            return false;
    }
    if (err == EXDEV && FileExists(from))
        return moveAcrossFileSystems(from, to);
    throw FileError(errorText("Unable to move", from, err));
}

void CopyFileReplace(const std::string& from, const std::string& to)
{
    ScopedFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.fd < 0)
        throw FileError(errorText("Cannot open file", from, errno));
    SiblingTempFile copy(to);
    copyInto(source.fd, copy, from);
    copy.commit();
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    return listFolder(folder, [](const dirent&) { return true; });
}

std::vector<std::string> Subfolders(const std::string& folder)
{
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    return listFolder(folder, [&base](const dirent& entry) {
        if (entry.d_type != DT_UNKNOWN)
            return entry.d_type == DT_DIR;
        // A file system that does not say the kind in its listing.
        struct stat st{};
        return ::lstat((base + entry.d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    });
}

std::vector<std::string> FindFiles(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    const std::string base = folder.empty() ? "." : folder;
    for (std::string& name : FolderEntries(base)) {
        if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) != 0)
            continue;
        struct stat st{};
        const std::string full = base + (base.back() == '/' ? "" : "/") + name;
        if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace platform
