#pragma once
// The cursor interface the table class runs on: plain operations on engine
// work areas, each answering a result code (0 = success). A cursor handle is
// the engine's work area number (1 to 255); 260 is the field-list cursor.
// One instance per program (cursors()), since the engine's work areas and
// its current area are program-wide.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tables/field_desc.h"
#include "tables/result_codes.h"
#include "tables/table_work_area.h"

namespace tables {

inline constexpr int kFieldListHandle = 260;
inline constexpr int kDatabaseSlots = 199;
inline constexpr size_t kMaxPath = 255;

// A date as the whole days of the date-time plus 693594 (1 January of year 1
// is day 1).
struct DayNumber {
    int32_t days = 0;

    bool operator==(const DayNumber&) const = default;
};
inline constexpr int32_t kDayNumberOffset = 693594;

// A field value as exchanged with the table class: text, date, boolean,
// 16-bit integer (a whole number on writing) or floating point.
using FieldValue = std::variant<std::string, DayNumber, bool, int32_t, double>;

struct RecordInfo {
    int32_t recNo = 0;   // 0 at the end
    bool deleted = false;
};

struct CursorProps {
    std::string tableName;
    std::string tableType;
    int fieldCount = 0;
    int recordSize = 0;
    int recordBufferSize = 0;
    int indexCount = 0;
    int validityChecks = 0;
    int bookmarkSize = 4;
    bool readOnly = false;
    bool exclusive = false;
    bool indexed = false;
    int seqNums = 0;
    int translateMode = 2;
    int tableLevel = 3;
    int filterCount = 0;
    bool temporary = false;
};

struct IndexDesc {
    std::string name;
    std::string tagName;
    bool descending = false;
    bool unique = false;
    bool conditional = false;
    std::string condition;
    bool maintained = true;
    int keyLength = 255;
    bool expressionIndex = false;
    int keyField = 0;            // field number when the key is one field
    std::string keyExpression;   // when it is an expression
    bool caseInsensitive = false;
};

enum SearchKind { keySearchEqual = 0, keySearchGreater = 1, keySearchGreaterEqual = 2 };

// What the engine said of a failure an operation answered with `code`: the
// file it is about and why. An empty path: the engine named no file.
struct EngineFault {
    DBIResult code = kOk;
    std::string path;
    std::string reason;
};

// "ORGS.DBF in /home/user/data/: No such file or directory"; empty for a
// fault that names no file.
std::string FaultText(const EngineFault& fault);

class CursorInterface {
public:
    CursorInterface();
    ~CursorInterface();

    // Engine binding and version check; 99 when the engine is not usable.
    DBIResult EngineInit();
    DBIResult EngineExit();
    bool initialised() const { return initialised_; }

    // Databases: directories by handle (slot + 1).
    DBIResult OpenDatabase(const std::string& directory, int& handle);
    DBIResult CloseDatabase(int handle);
    DBIResult SetDirectory(int handle, const std::string& directory);
    DBIResult FormFullName(int handle, const std::string& name, std::string& fullName);

    // Tables.
    DBIResult OpenTable(int database, const std::string& tableName, const std::string* driverName,
                        const std::string& indexName, const std::string& indexTag, bool readOnly,
                        bool exclusive, int& handle);
    DBIResult CloseCursor(int handle);
    DBIResult OpenFieldList(int database, const std::string& tableName, int& handle);
    DBIResult FetchField(int handle, FieldDesc& desc);
    DBIResult GetCursorProps(int handle, CursorProps& props);
    DBIResult GetIndexDesc(int handle, int order, IndexDesc& desc);
    DBIResult GetIndexDescs(int handle, std::vector<IndexDesc>& descs);
    DBIResult GetProp(int handle, int& translateMode);
    DBIResult SetProp(int handle, int translateMode);
    TTableWorkArea* workArea(int handle);

    // Navigation.
    DBIResult SetToBegin(int handle);
    DBIResult SetToEnd(int handle);
    DBIResult GetNextRecord(int handle, bool lock, std::string* buffer, RecordInfo* info);
    DBIResult GetPriorRecord(int handle, bool lock, std::string* buffer, RecordInfo* info);
    DBIResult GetRecord(int handle, bool lock, std::string* buffer, RecordInfo* info);
    // The record the engine stands on right after writing record recNo,
    // when nothing but a range the caller knows it lies within could hide
    // it: no query, no record filter, not deleted. kRecordNotVisible when
    // that cannot be told so; GetRecord tells it then.
    DBIResult GetPostedRecord(int handle, int32_t recNo, std::string* buffer);
    DBIResult GetBookMark(int handle, int32_t& bookmark);
    DBIResult SetToBookMark(int handle, int32_t bookmark);
    DBIResult SetToCursor(int target, int source);
    DBIResult SetToSeqNo(int handle, int32_t seqNo);
    DBIResult CompareBookMarks(int handle, int32_t a, int32_t b, int& result);
    DBIResult GetRecordCount(int handle, int32_t& count);

    // Records.
    DBIResult InitRecord(int handle, std::string& buffer);
    DBIResult AppendRecord(int handle, const std::string& buffer);
    DBIResult InsertRecord(int handle, bool keepLock, const std::string& buffer);
    DBIResult ModifyRecord(int handle, const std::string& buffer, bool freeLock);
    DBIResult DeleteRecord(int handle);
    DBIResult ReleaseRecordLock(int handle, bool all);

    // Fields and blobs.
    DBIResult GetFieldDescs(int handle, std::vector<FieldDesc>& descs);
    DBIResult GetField(int handle, int field, const std::string& record, FieldValue* value, bool* blank);
    DBIResult PutField(int handle, int field, std::string& record, const FieldValue* value);
    DBIResult OpenBlob(int handle);
    DBIResult FreeBlob(int handle);
    DBIResult GetBlobSize(int handle, const std::string& record, int field, int32_t& size);
    DBIResult GetBlob(int handle, const std::string& record, int field, int32_t offset, int32_t length,
                      std::string& destination);
    DBIResult PutBlob(int handle, std::string& record, int field, int32_t offset, const std::string& data);
    DBIResult TruncateBlob(int handle, std::string& record, int field, int32_t length);

    // Filters, ranges, keys and orders.
    DBIResult AddFilter(int handle, const std::string& text, int priority, RecordFilter test, int& filter);
    DBIResult ActivateFilter(int handle, int filter);
    DBIResult DeactivateFilter(int handle, int filter);
    DBIResult DropFilter(int handle, int filter);
    DBIResult SetRange(int handle, const std::string& low, const std::string& high);
    DBIResult SetRangeFromRecords(int handle, const std::string& lowRecord, const std::string& highRecord);
    DBIResult ResetRange(int handle);
    DBIResult SetToKey(int handle, SearchKind kind, bool directKey, const std::string& key);
    DBIResult GetRecordForKey(int handle, bool directKey, int fieldCount, const std::string& key,
                              std::string* buffer);
    DBIResult ExtractKey(int handle, const std::string* record, std::string& key);
    DBIResult SwitchToIndex(int handle, const std::string& indexName);

    static std::string GetErrorText(DBIResult code);
    // The engine's word on the last failure an operation answered with
    // code, handed out once; an empty fault when there is none for it.
    EngineFault TakeFault(DBIResult code);

private:
    struct Database {
        bool used = false;
        std::string directory;
    };

    bool directoryToPathBuffer(int database);
    DBIResult fetch(int handle, bool forward, bool lock, std::string* buffer, RecordInfo* info);
    bool recordVisible();
    bool passesRecordFilters(TTableWorkArea& wa, const std::string* buffer);
    bool queryJoinedFilters(TTableWorkArea& wa);
    bool lookupPosition(const std::string& text);
    std::string keyOfRecord(TTableWorkArea& wa, const std::string& record);
    void buildFieldDescs(TTableWorkArea& wa);
    std::string makeAlias(const std::string& tableName);
    // Answers code for a failure the engine has just reported, keeping its
    // word on the file and the reason for the error text.
    DBIResult engineFailure(DBIResult code);
    // Answers code for a refusal with no engine failure behind it (a record
    // another program holds), so no earlier failure's word is taken for it.
    DBIResult plainFailure(DBIResult code);

    bool initialised_ = false;
    std::string pathBuffer_ = "./";
    std::array<Database, kDatabaseSlots> databases_;
    std::string defaultDirectory_;
    std::array<std::unique_ptr<TTableWorkArea>, 256> areas_;
    std::optional<std::vector<FieldDesc>> fieldList_;
    size_t fieldListNext_ = 0;
    EngineFault fault_;
};

// Whether an engine version text is "2.40.00 or later".
bool engineVersionUsable(const std::string& version);

// The program's cursor interface; the engine is bound on first use.
CursorInterface& cursors();

// Directory text with its trailing "/".
std::string withTrailingSlash(std::string directory);

}  // namespace tables
