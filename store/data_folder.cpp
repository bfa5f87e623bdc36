#include "store/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/files.h"
#include "store/folder_tree.h"
#include "store/record_ids.h"
#include "store/store_error.h"
#include "store/table_layouts.h"
#include "tables/text_util.h"
#include "xbase/create_table.h"
#include "xbase/error.h"
#include "xbase/sx.h"

namespace store {

namespace {

constexpr const char* kOrganisation = "Tarsel";

[[noreturn]] void engineFailure(const std::string& what)
{
    throw StoreError(what + ": " + xbase::lastErrorText());
}

// Keeps the caller's current work area and the engine's error level.
class EngineScope {
public:
    EngineScope() : area_(sx_WorkArea("")), level_(sx_SysProp(SX_SP_ERROR_LEVEL, 0)) {}
    ~EngineScope()
    {
        sx_SysProp(SX_SP_ERROR_LEVEL, level_);
        if (area_ != 0)
            sx_Select(area_);
    }
    EngineScope(const EngineScope&) = delete;
    EngineScope& operator=(const EngineScope&) = delete;

private:
    int area_;
    std::intptr_t level_;
};

// Opens a table exclusively in a work area of its own and closes it again.
class OpenTable {
public:
    explicit OpenTable(const std::string& path)
    {
        if (sx_Use(path.c_str(), "MKDATA", SX_EXCLUSIVE, SX_DRIVER_FOX) == 0)
            engineFailure("Unable to open " + path);
    }
    ~OpenTable() { sx_Close(); }
    OpenTable(const OpenTable&) = delete;
    OpenTable& operator=(const OpenTable&) = delete;
};

void removeTableFiles(const std::string& folder, const TableLayout& layout)
{
    const std::string stem = tables::withoutExtension(layout.fileName);
    for (const char* ext : {".dbf", ".cdx", ".fpt"}) {
        while (auto existing = platform::FindIgnoreCase(InFolder(folder, stem + ext))) {
            if (!platform::DeleteFile(*existing))
                throw StoreError("Unable to remove " + *existing);
        }
    }
}

void makeTable(const std::string& folder, const TableLayout& layout)
{
    const std::string path = InFolder(folder, layout.fileName);
    try {
        xbase::createTable(path, layout.fields);
    } catch (const xbase::XbaseError& e) {
        throw StoreError("Unable to create " + path + ": " + e.what());
    }
    if (layout.tags.empty())
        return;
    OpenTable table(path);
    for (const TagLayout& tag : layout.tags) {
        if (sx_IndexTag(layout.indexName.c_str(), tag.name.c_str(), tag.name.c_str(), tag.unique ? 1 : 0, 0, "") == 0)
            engineFailure("Unable to create the index tag " + tag.name + " of " + path);
    }
}

void addOrganisation(const std::string& folder, TDateTime now)
{
    const std::string path = InFolder(folder, kOrgsTable);
    OpenTable table(path);
    const int appended = sx_AppendEx();
    if (appended >= SX_APPEND_LOCKED && appended <= SX_APPEND_NO_AREA)
        engineFailure("Unable to add the organisation row to " + path);
    const std::string id = ClockId(now, kOrganisation, 2);
    if (!sx_Replace("UNIQUE_ID", SX_R_CHAR, id.c_str()) || !sx_Replace("ORG", SX_R_CHAR, kOrganisation))
        engineFailure("Unable to write the organisation row of " + path);
}

void makeOwnerOnlyFolder(const std::string& folder)
{
    RefuseSharedFolder(folder);
    try {
        if (!platform::ForceDirectories(folder))
            throw StoreError("Unable to create directory " + folder);
    } catch (const platform::FileError& e) {
        throw StoreError(std::string(e.what()) + " " + folder);
    }
    if (::chmod(folder.c_str(), 0700) != 0)
        throw StoreError("Unable to make " + folder + " private to its owner");
}

}  // namespace

bool DataFolderHasTables(const std::string& folder)
{
    for (const TableLayout& layout : SystemTables())
        if (platform::FindIgnoreCase(InFolder(folder, layout.fileName)))
            return true;
    return false;
}

void RefuseSharedFolder(const std::string& folder)
{
    struct stat st{};
    if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_uid != ::geteuid() || (st.st_mode & S_ISVTX) != 0))
        throw StoreError(folder + " is shared with other users; choose a folder of your own");
}

void CreateDataFolder(const std::string& folder, bool replace, TDateTime now)
{
    if (folder.empty())
        throw StoreError("No data folder given");
    if (DataFolderHasTables(folder) && !replace)
        throw StoreError(folder + " already holds the tables; use --force to make them anew");
    makeOwnerOnlyFolder(folder);
    EngineScope engine;
    for (const TableLayout& layout : SystemTables())
        removeTableFiles(folder, layout);
    for (const TableLayout& layout : SystemTables())
        makeTable(folder, layout);
    addOrganisation(folder, now);
}

}  // namespace store
