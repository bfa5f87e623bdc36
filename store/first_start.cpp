#include "store/first_start.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>
#include <thread>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/sibling_temp.h"
#include "store/data_folder.h"
#include "store/folder_tree.h"
#include "store/store_error.h"
#include "store/table_layouts.h"
#include "tables/text_util.h"

namespace store {

namespace {

// A whole set of new tables, inside the data folder, being moved in. A set
// still being made is this name + "-" + six random characters; renaming it
// to this name is the moment it becomes whole.
const std::string kNewTables = ".tarsel-new-tables";
// Making the tables takes a moment; a holder this slow is stuck.
constexpr std::chrono::seconds kLockWait{60};
constexpr std::chrono::milliseconds kLockRetry{20};

// Every file a table may have, in upper case: the table, its memo file, its
// index and the index's journal.
const std::set<std::string>& tableFileNames()
{
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        for (const TableLayout& layout : SystemTables()) {
            const std::string stem = tables::upperCase(tables::withoutExtension(layout.fileName));
            for (const char* ext : {".DBF", ".FPT", ".CDX", ".CDX-JOURNAL"})
                out.insert(stem + ext);
        }
        return out;
    }();
    return names;
}

bool holdsTableFiles(const std::string& folder)
{
    // The tables as the system spells them are found even in a folder that
    // may be entered but not listed.
    for (const TableLayout& layout : SystemTables())
        if (platform::FileExists(InFolder(folder, layout.fileName)))
            return true;
    for (const std::string& name : platform::FolderEntries(folder))
        if (tableFileNames().count(tables::upperCase(name)))
            return true;
    return false;
}

// Only one program at a time makes tables or moves them in.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0)
            throw StoreError("Unable to open the data folder " + folder + ": " + std::strerror(errno));
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            if (err == EINTR)
                continue;
            if (err != EWOULDBLOCK || std::chrono::steady_clock::now() > deadline) {
                ::close(fd_);
                throw StoreError(err == EWOULDBLOCK
                                     ? "Another program is still making the tables in " + folder
                                     : "Unable to lock the data folder " + folder + ": " + std::strerror(err));
            }
            std::this_thread::sleep_for(kLockRetry);
        }
    }
    ~FolderLock() { ::close(fd_); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

// A folder of tables and what is in it.
void removeFolder(const std::string& folder)
{
    for (const std::string& name : platform::FolderEntries(folder))
        ::unlink(InFolder(folder, name).c_str());
    ::rmdir(folder.c_str());
}

// What a start killed while making its tables left.
void removeUnfinishedSets(const std::string& folder)
{
    const std::string prefix = kNewTables + "-";
    for (const std::string& name : platform::FolderEntries(folder))
        if (name.rfind(prefix, 0) == 0 && platform::DirectoryExists(InFolder(folder, name)))
            removeFolder(InFolder(folder, name));
}

// Moves a whole set in, also one a killed start left half moved; a name the
// data folder holds already stays as it is. How many files were moved.
int moveInNewTables(const std::string& folder)
{
    const std::string staged = InFolder(folder, kNewTables);
    if (!platform::DirectoryExists(staged))
        return 0;
    int moved = 0;
    for (const std::string& name : platform::FolderEntries(staged)) {
        if (!platform::FindIgnoreCase(InFolder(folder, name)) &&
            platform::RenameNoReplace(InFolder(staged, name), InFolder(folder, name)))
            ++moved;
    }
    removeFolder(staged);
    platform::SyncFolderOf(staged);
    return moved;
}

void syncFiles(const std::string& folder)
{
    for (const std::string& name : platform::FolderEntries(folder)) {
        const int fd = ::open(InFolder(folder, name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            const int err = errno;
            if (fd >= 0)
                ::close(fd);
            throw StoreError("Unable to write " + InFolder(folder, name) + ": " + std::strerror(err));
        }
        ::close(fd);
    }
}

// Makes a whole set beside the tables' place, ready to be moved in.
void makeNewTables(const std::string& folder, TDateTime now)
{
    std::string pattern = InFolder(folder, kNewTables) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw StoreError("Unable to create the tables in " + folder + ": " + std::strerror(errno));
    const std::string making = pattern;
    try {
        CreateDataFolder(making + "/", false, now);
        syncFiles(making);
        if (::rename(making.c_str(), InFolder(folder, kNewTables).c_str()) != 0)
            throw StoreError("Unable to create the tables in " + folder + ": " + std::strerror(errno));
    } catch (...) {
        removeFolder(making);
        throw;
    }
    platform::SyncFolderOf(InFolder(folder, kNewTables));
}

bool makeUnderLock(const std::string& folder, TDateTime now)
{
    FolderLock lock(folder);
    const bool finished = moveInNewTables(folder) > 0;
    removeUnfinishedSets(folder);
    if (finished)
        return true;
    if (holdsTableFiles(folder))
        return false;
    RefuseSharedFolder(folder);
    makeNewTables(folder, now);
    moveInNewTables(folder);
    return true;
}

}  // namespace

bool MakeTablesOnFirstStart(const std::string& folder, TDateTime now)
{
    if (folder.empty())
        throw StoreError("No data folder given");
    // The common start: the tables are there and none are being moved in
    // (the new set goes only after its last file is in), so no lock is
    // needed. The order of the two looks matters.
    if (holdsTableFiles(folder) && !platform::DirectoryExists(InFolder(folder, kNewTables)))
        return false;
    try {
        if (!platform::ForceDirectories(folder))
            throw StoreError("Unable to create directory " + folder);
        return makeUnderLock(folder, now);
    } catch (const platform::FileError& e) {
        throw StoreError(e.what());
    }
}

std::string FirstStartText(const std::string& folder) { return "First start: made the empty tables in " + folder; }

}  // namespace store
