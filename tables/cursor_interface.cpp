#include "tables/cursor_interface.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include "tables/error_report.h"
#include "tables/table_type.h"
#include "tables/text_util.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

namespace tables {

// The dotted version text read as three numbers; text that does not read
// so is not usable.
bool engineVersionUsable(const std::string& version) {
    int major = 0, minor = 0, patch = 0;
    if (std::sscanf(version.c_str(), "%d.%d.%d", &major, &minor, &patch) != 3) return false;
    return major > 2 || (major == 2 && minor >= 40);
}

CursorInterface& cursors() {
    static CursorInterface instance;
    if (!instance.initialised()) instance.EngineInit();
    return instance;
}

std::string withTrailingSlash(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

CursorInterface::CursorInterface() = default;
CursorInterface::~CursorInterface() = default;

DBIResult CursorInterface::EngineInit() {
    NotifyUse(9);
    sx_SetStringType(1);
    pathBuffer_ = "./";
    std::string version = sx_Version().substr(0, 8);
    if (version.empty() || !engineVersionUsable(version)) {
        reportError("The database engine components require engine version 2.40.00 or later");
        return kEngineVersion;
    }
    initialised_ = true;
    return kOk;
}

DBIResult CursorInterface::EngineExit() {
    sx_CloseAll();
    sx_SysProp(SX_SP_RELEASE, 0);
    for (auto& area : areas_) area.reset();
    fieldList_.reset();
    initialised_ = false;
    return kOk;
}

DBIResult CursorInterface::OpenDatabase(const std::string& directory, int& handle) {
    std::string chosen = directory;
    if (chosen.empty()) chosen = defaultDirectory_;
    if (chosen.empty() && !pathBuffer_.empty()) defaultDirectory_ = chosen = pathBuffer_;
    if (chosen.empty()) chosen = "./";
    chosen = withTrailingSlash(chosen);
    if (chosen.size() > kMaxPath) return kTextTooLong;
    for (int slot = 0; slot < kDatabaseSlots; ++slot) {
        if (databases_[slot].used) continue;
        databases_[slot] = Database{true, chosen};
        handle = slot + 1;
        return kOk;
    }
    return kNoDatabaseSlot;
}

DBIResult CursorInterface::CloseDatabase(int handle) {
    if (handle < 1 || handle > kDatabaseSlots) return kInvalidHandle;
    databases_[handle - 1] = Database{};
    return kOk;
}

DBIResult CursorInterface::SetDirectory(int handle, const std::string& directory) {
    if (handle < 1 || handle > kDatabaseSlots || !databases_[handle - 1].used) {
        reportError("Invalid database handle");
        return kInvalidHandle;
    }
    std::string dir = withTrailingSlash(directory);
    if (dir.size() > kMaxPath) return kTextTooLong;
    databases_[handle - 1].directory = dir;
    return kOk;
}

bool CursorInterface::directoryToPathBuffer(int database) {
    if (database < 1 || database > kDatabaseSlots || !databases_[database - 1].used) {
        reportError("Could not find directory associated with this database");
        return false;
    }
    pathBuffer_ = databases_[database - 1].directory;
    return true;
}

DBIResult CursorInterface::FormFullName(int handle, const std::string& name, std::string& fullName) {
    directoryToPathBuffer(handle);
    fullName = pathBuffer_ + name;
    if (fullName.size() > kMaxPath) return kTextTooLong;
    return kOk;
}

std::string CursorInterface::makeAlias(const std::string& tableName) {
    std::string base = withoutExtension(tableName).substr(0, 8);
    for (char& c : base)
        if (c == '~' || c == '-' || c == ' ') c = '_';
    std::string alias = base;
    for (int n = 1; sx_WorkArea(alias.c_str()) != 0; ++n) alias = base + "_" + std::to_string(n);
    return alias;
}

DBIResult CursorInterface::OpenTable(int database, const std::string& tableName,
                                     const std::string* driverName, const std::string& indexName,
                                     const std::string& indexTag, bool readOnly, bool exclusive,
                                     int& handle) {
    (void)indexName;
    directoryToPathBuffer(database);
    const std::string directory = pathBuffer_;
    std::string path = tableName.find('/') != std::string::npos ? tableName : directory + tableName;
    if (path.size() > kMaxPath) return kTextTooLong;

    int driver = kDriverFOX;
    if (driverName) {
        driver = driverCodeOf(*driverName);
    } else {
        std::ifstream file(path, std::ios::binary);
        char first = 0;
        if (file.get(first)) {
            namespace fs = std::filesystem;
            std::string stem = directory + withoutExtension(tableName);
            driver = driverFromSignature(static_cast<unsigned char>(first), fs::exists(stem + ".NSX"),
                                         fs::exists(stem + ".CDX"));
        }
    }

    sx_SetStringType(1);
    TWA guard(sx_WorkArea(""));
    int mode = exclusive ? SX_EXCLUSIVE : SX_SHARED;
    if (readOnly) mode = SX_READONLY;
    std::string alias = makeAlias(tableName);
    int area = sx_Use(path.c_str(), alias.c_str(), mode, driver);
    if (area <= 0 || area > 255) return engineFailure(kOpenFailed);

    auto wa = std::make_unique<TTableWorkArea>();
    wa->area = wa->selectArea = area;
    wa->alias = alias;
    wa->tableName = tableName;
    wa->path = path;
    wa->driver = driver;
    wa->readOnly = readOnly;
    wa->exclusive = exclusive;
    wa->recordSize = sx_RecSize();
    wa->spare.assign(static_cast<size_t>(wa->recordSize), ' ');
    buildFieldDescs(*wa);

    if (!indexTag.empty()) {
        if (driver == kDriverNTX) {
            std::string file = directory + indexTag;
            if (std::filesystem::exists(file)) sx_IndexOpen(file.c_str());
        } else {
            sx_SetOrder(sx_TagArea(indexTag.c_str()));
        }
    }
    areas_[area] = std::move(wa);
    handle = area;
    return kOk;
}

DBIResult CursorInterface::CloseCursor(int handle) {
    if (handle == kFieldListHandle) {
        fieldList_.reset();
        return kOk;
    }
    if (handle > 255) return kOk;
    if (handle < 1 || !areas_[handle]) return kInvalidHandle;
    {
        TWA guard(handle);
        if (guard.valid()) sx_Close();
    }
    areas_[handle].reset();
    return kOk;
}

TTableWorkArea* CursorInterface::workArea(int handle) {
    if (handle < 1 || handle > 255 || !areaInUse(handle)) return nullptr;
    return areas_[handle].get();
}

DBIResult CursorInterface::OpenFieldList(int database, const std::string& tableName, int& handle) {
    directoryToPathBuffer(database);
    const std::string wanted = withTrailingSlash(pathBuffer_) + tableName;
    for (auto& wa : areas_) {
        if (wa && (sameText(wa->path, wanted) || sameText(wa->tableName, wanted))) {
            fieldList_ = wa->fields.logical;
            fieldListNext_ = 0;
            handle = kFieldListHandle;
            return kOk;
        }
    }
    int cursor = 0;
    static const std::string fox = "SXFOX";
    if (DBIResult rc = OpenTable(database, tableName, &fox, "", "", true, false, cursor)) return rc;
    fieldList_ = areas_[cursor]->fields.logical;
    fieldListNext_ = 0;
    CloseCursor(cursor);
    handle = kFieldListHandle;
    return kOk;
}

DBIResult CursorInterface::FetchField(int handle, FieldDesc& desc) {
    if (handle != kFieldListHandle || !fieldList_ || fieldListNext_ >= fieldList_->size())
        return kEndOfTable;
    desc = (*fieldList_)[fieldListNext_++];
    return kOk;
}

DBIResult CursorInterface::GetCursorProps(int handle, CursorProps& props) {
    TWA guard(handle);
    TTableWorkArea* wa = guard.valid() ? areas_[handle].get() : nullptr;
    if (!wa) return kInvalidHandle;
    props = CursorProps{};
    props.tableName = withoutExtension(sx_BaseName());
    props.tableType = std::string(driverNameOfCode(wa->driver));
    props.fieldCount = wa->fieldCount;
    int size = 0;
    if (wa->translateMode != 0) {
        for (const FieldDesc& d : wa->fields.logical) size += d.length;
    } else {
        for (const FieldDesc& d : wa->fields.physical) size += d.length;
        if (size > 0) ++size;
    }
    props.recordSize = size;
    props.recordBufferSize = sx_RecSize();
    props.indexCount = static_cast<int>(sx_SysProp(SX_SP_ORDER_COUNT, 0));
    props.readOnly = wa->readOnly;
    props.exclusive = wa->exclusive;
    props.indexed = sx_IndexOrd() != 0;
    props.translateMode = wa->translateMode;
    for (const FilterSlot& slot : wa->filters)
        if (!slot.text.empty()) ++props.filterCount;
    return kOk;
}

DBIResult CursorInterface::GetIndexDesc(int handle, int order, IndexDesc& desc) {
    TWA guard(handle);
    if (!guard.valid() || !areas_[handle]) return kInvalidHandle;
    if (order == 0) order = sx_IndexOrd();
    if (order == 0 || sx_TagName(order).empty()) return kNoIndexOrder;
    desc = IndexDesc{};
    desc.name = sx_IndexName(order);
    desc.tagName = sx_TagName(order);
    desc.descending = sx_SysProp(SX_SP_DESCENDING, order) >= 1;
    const int type = sx_IndexType(order);
    desc.unique = type == SX_INDEX_UNIQUE || type == SX_INDEX_UNIQUE_CONDITIONAL;
    desc.conditional = type == SX_INDEX_CONDITIONAL || type == SX_INDEX_UNIQUE_CONDITIONAL;
    if (desc.conditional) desc.condition = sx_IndexCondition(order);
    const std::string key = sx_IndexKey(order);
    const std::string keyField = sx_IndexKeyField(order);
    if (sameText(trimLeft(trimRight(key)), keyField) && keyField.find('+') == std::string::npos) {
        desc.keyField = sx_FieldNum(keyField.c_str());
    } else {
        desc.expressionIndex = true;
        desc.keyExpression = key;
    }
    desc.caseInsensitive = upperCase(key).find("UPPER") != std::string::npos;
    return kOk;
}

DBIResult CursorInterface::GetIndexDescs(int handle, std::vector<IndexDesc>& descs) {
    TWA guard(handle);
    if (!guard.valid() || !areas_[handle]) return kInvalidHandle;
    descs.clear();
    const int count = static_cast<int>(sx_SysProp(SX_SP_ORDER_COUNT, 0));
    for (int order = 1; order <= count; ++order) {
        IndexDesc desc;
        if (GetIndexDesc(handle, order, desc) == kOk) descs.push_back(desc);
    }
    return kOk;
}

DBIResult CursorInterface::GetProp(int handle, int& translateMode) {
    TTableWorkArea* wa = workArea(handle);
    if (!wa) return kInvalidHandle;
    translateMode = wa->translateMode;
    return kOk;
}

DBIResult CursorInterface::SetProp(int handle, int translateMode) {
    TTableWorkArea* wa = workArea(handle);
    if (!wa) return kInvalidHandle;
    wa->translateMode = translateMode;
    return kOk;
}

std::string CursorInterface::GetErrorText(DBIResult code) {
    if (code == kFileOpenError) return "File Open Error";
    return "Table engine. Error : " + std::to_string(code);
}

DBIResult CursorInterface::engineFailure(DBIResult code) {
    fault_ = EngineFault{code, xbase::lastErrorFile(), xbase::lastErrorReason()};
    return code;
}

DBIResult CursorInterface::plainFailure(DBIResult code) {
    fault_ = EngineFault{};
    return code;
}

EngineFault CursorInterface::TakeFault(DBIResult code) {
    if (fault_.code != code || fault_.path.empty()) return EngineFault{};
    return std::exchange(fault_, EngineFault{});
}

std::string FaultText(const EngineFault& fault) {
    if (fault.path.empty()) return {};
    namespace fs = std::filesystem;
    fs::path path(fault.path);
    // The folder as the user finds it, also when the data folder was named
    // relative to where the program started.
    if (path.is_relative()) {
        std::error_code ignored;
        const fs::path whole = fs::absolute(path, ignored);
        if (!whole.empty()) path = whole;
    }
    std::string folder = path.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return path.filename().string() + " in " + folder + ": " + fault.reason;
}

}  // namespace tables

const tables::FieldDesc* TTableWorkArea::logicalField(int number) const {
    if (number < 1 || number > static_cast<int>(fields.logical.size())) return nullptr;
    return &fields.logical[static_cast<size_t>(number - 1)];
}
