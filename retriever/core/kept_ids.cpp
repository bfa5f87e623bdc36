#include "retriever/core/kept_ids.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "mail/net/pop3_unique_ids.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/scoped_fd.h"
#include "platform/stale_temps.h"

namespace retriever {

namespace {

void fail(const std::string& what, const std::string& path)
{
    throw platform::FileError(what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

KeptIds::KeptIds(std::string path, std::string mailbox)
    : path_(std::move(path)), heading_("mailbox\t" + mailbox + "\n")
{
    std::string text;
    try {
        text = platform::ReadWholeFile(path_);
    } catch (const platform::FileError&) {
        return;
    }
    if (text.compare(0, heading_.size(), heading_) != 0)
        return;
    listed_ = true;
    // Whole lines only: "<id> TAB <file name> LF".
    for (std::size_t at = heading_.size(), end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string entry = text.substr(at, end - at);
        const std::size_t tab = entry.find('\t');
        if (tab != std::string::npos && tab + 1 < entry.size() &&
            mail::net::validUniqueId(std::string_view(entry).substr(0, tab)))
            files_[entry.substr(0, tab)] = entry.substr(tab + 1);
    }
}

std::optional<std::string> KeptIds::FileOf(const std::string& id) const
{
    const auto found = files_.find(id);
    if (id.empty() || found == files_.end())
        return std::nullopt;
    return found->second;
}

std::string KeptIds::line(const std::string& id, const std::string& fileName) const
{
    return id + "\t" + fileName + "\n";
}

void KeptIds::Add(const std::string& id, const std::string& fileName)
{
    if (!mail::net::validUniqueId(id) || fileName.empty() || fileName.find_first_of("\t\n") != std::string::npos)
        return;
    if (FileOf(id) == fileName)
        return;
    files_[id] = fileName;
    if (listed_) {
        append(line(id, fileName));
    } else {
        rewrite();
        listed_ = true;
    }
}

void KeptIds::append(const std::string& text)
{
    platform::ScopedFd file(::open(path_.c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
    if (file.fd < 0 && errno == ENOENT)
        return rewrite();  // removed meanwhile: what is known here goes in whole
    if (file.fd < 0)
        fail("Cannot open file", path_);
    // A line a kill cut short must not run into this one.
    std::string bytes = text;
    struct stat st {};
    char last = '\n';
    if (::fstat(file.fd, &st) == 0 && st.st_size > 0 && ::pread(file.fd, &last, 1, st.st_size - 1) == 1 &&
        last != '\n')
        bytes.insert(0, "\n");
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail("Unable to write", path_);
        done += static_cast<std::size_t>(n);
    }
}

void KeptIds::KeepOnly(const std::set<std::string>& onServer)
{
    const std::size_t before = files_.size();
    std::erase_if(files_, [&](const auto& entry) { return onServer.count(entry.first) == 0; });
    if (files_.size() != before)
        rewrite();
}

void KeptIds::rewrite()
{
    // What a rewrite that a kill cut short left beside the list goes first.
    const std::string folder = path_.substr(0, path_.find_last_of('/') + 1);
    platform::RemoveSiblingTemps(folder, std::chrono::system_clock::now() - std::chrono::minutes(1), kKeptIdsFile);
    std::string text = heading_;
    for (const auto& [id, fileName] : files_)
        text += line(id, fileName);
    platform::WriteFileAtomic(path_, text);
}

}  // namespace retriever
