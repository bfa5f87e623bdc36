#pragma once
// The engine's call interface: program-wide work areas 1 to 255, one table
// each, and a current area on which most calls act. Texts passed in are
// zero-terminated (a null pointer counts as ""); texts handed back are
// std::string. A call that fails records the engine error (lastErrorText)
// and answers 0, false, "" or nothing, as its line says.
//
// Writes are posted at once: a record written by sx_PutRecord, sx_Replace or
// sx_Delete is on disk, with its keys in every tag, when the call returns; so
// is the blank record added by sx_AppendEx.
// Reads never use a cached copy that another program may have changed.

#include <cstdint>
#include <string>

// Open modes of sx_Use.
constexpr int SX_SHARED = 0;
constexpr int SX_READONLY = 1;
constexpr int SX_EXCLUSIVE = 2;

// Drivers of sx_Use. NTX and NSX open tables without memos or indexes only.
constexpr int SX_DRIVER_NTX = 1;
constexpr int SX_DRIVER_FOX = 2;  // DBF + FPT memos + structural CDX
constexpr int SX_DRIVER_NSX = 3;

// Value kinds of sx_Replace.
constexpr int SX_R_DOUBLE = 8;      // value points to a double
constexpr int SX_R_LOGICAL = 128;   // value points to a bool (first byte non-zero = true)
constexpr int SX_R_CHAR = 1024;     // value is a zero-terminated text
constexpr int SX_R_DATESTR = 1056;  // value is a date text in the current date format
constexpr int SX_R_MEMO = 3072;     // value is a zero-terminated memo text

// Answers of sx_AppendEx: 2 to 7 are failures, anything else is appended.
constexpr int SX_APPEND_OK = 1;
constexpr int SX_APPEND_LOCKED = 2;     // the append lock could not be had in time
constexpr int SX_APPEND_READONLY = 3;   // the area is read-only
constexpr int SX_APPEND_WRITE = 4;      // writing the record failed
constexpr int SX_APPEND_KEY = 5;        // a key could not be built or stored
constexpr int SX_APPEND_FULL = 6;       // record count or file size limit reached
constexpr int SX_APPEND_NO_AREA = 7;    // no table in the current area

// sx_IndexType answers.
constexpr int SX_INDEX_PLAIN = 1;
constexpr int SX_INDEX_UNIQUE = 2;
constexpr int SX_INDEX_CONDITIONAL = 3;
constexpr int SX_INDEX_UNIQUE_CONDITIONAL = 4;

// sx_EvalTest answers (0 = the expression does not compile).
constexpr int SX_EVAL_CHARACTER = 1;
constexpr int SX_EVAL_NUMERIC = 2;
constexpr int SX_EVAL_LOGICAL = 3;
constexpr int SX_EVAL_DATE = 4;

// sx_SetDateFormat codes (99 = the system default, "mm/dd/yy").
constexpr int SX_DATE_AMERICAN = 0;  // mm/dd/yy
constexpr int SX_DATE_ANSI = 1;      // yy.mm.dd
constexpr int SX_DATE_BRITISH = 2;   // dd/mm/yy
constexpr int SX_DATE_FRENCH = 3;    // dd/mm/yy
constexpr int SX_DATE_GERMAN = 4;    // dd.mm.yy
constexpr int SX_DATE_ITALIAN = 5;   // dd-mm-yy
constexpr int SX_DATE_SPANISH = 6;   // dd-mm-yy
constexpr int SX_DATE_DEFAULT = 99;

// sx_SysProp codes.
constexpr int SX_SP_GET_SOFTSEEK = 1000;   // soft seek setting (1/0)
constexpr int SX_SP_SET_SOFTSEEK = 1001;   // sets it from value; answers the previous one
constexpr int SX_SP_GET_EXACT = 1002;      // exact setting (1/0)
constexpr int SX_SP_SET_EXACT = 1003;      // sets it from value; answers the previous one
constexpr int SX_SP_HIDES_RECORDS = 1006;  // 1 when the current area may hide records besides its query (scope or deleted setting)
constexpr int SX_SP_REFRESH = 1007;        // re-reads the current area's header and record from disk; answers 1
constexpr int SX_SP_ERROR_LEVEL = 1009;    // sets the error level from value (0 silent, 1 errors to stderr); answers the previous one
constexpr int SX_SP_BLOB_TYPE = 1305;      // sets the memo block type sx_PutBlob writes (0 by content, 1 text, 2 binary); answers the previous one
constexpr int SX_SP_ORDER_COUNT = 3000;    // number of orders of the current area
constexpr int SX_SP_DESCENDING = 3002;     // 1 when order value (0 = current) is descending
constexpr int SX_SP_RECORD_BUFFER = 65000; // address of the current area's record buffer (sx_RecSize bytes)
constexpr int SX_SP_AREA_IN_USE = 65002;   // non-zero when area value holds a table
constexpr int SX_SP_RELEASE = 65005;       // frees the engine's program-wide state (after sx_CloseAll); answers 1
constexpr int SX_SP_TAG_NAMES = 65006;     // 1 when the current area's orders are named tags
constexpr int SX_SP_FIELD_EXTERNAL = 65012; // non-zero when field value is not held in the record buffer (never, here)

// Binding.
void NotifyUse(int level);                    // announces the caller; kept for the binding sequence, does nothing
void sx_SetStringType(int type);              // 1 = zero-terminated texts (the only kind)
std::string sx_Version();                     // engine version text, "3.00.00"

// Work areas.
int sx_Use(const char* path, const char* alias, int mode, int driver);  // opens a table in a free area and makes it current; the area, 0 on failure
int sx_WorkArea(const char* alias);          // area holding alias (case-insensitive), 0 when none; empty alias: the current area
int sx_Select(int area);                      // makes area current; answers the previous current area
std::string sx_Alias(int area);               // alias of area (0 = current); "" for a free area
bool sx_Close();                              // closes the current area's table
void sx_CloseAll();                           // closes every area
std::string sx_BaseName();                    // the current table's file name as opened (folder and extension included)

// Movement (follows the active order, scope, query and deleted setting).
void sx_GoTop();                              // first visible record; both Eof and Bof when none
void sx_GoBottom();                           // last visible record; both Eof and Bof when none
void sx_Skip(int32_t count);                  // moves count visible records; stops on Bof before the first and on Eof past the last
void sx_Go(int32_t recNo);                    // physical record recNo, visible or not; beyond the last: the phantom record
bool sx_Bof();
bool sx_Eof();
int32_t sx_RecNo();                           // current physical record number; RecCount + 1 on the phantom record
int32_t sx_RecCount();                        // physical records in the table (read from disk)
int32_t sx_Count();                           // visible records under order, scope, query and deleted setting
bool sx_Deleted();                            // current record is marked deleted
int32_t sx_OrderRecNo();                      // 1-based position of the current record in the active order (record number without one); 0 when not in it

// Records.
void sx_GetRecord(char* buffer);              // copies the raw current record (deletion byte first, sx_RecSize bytes)
bool sx_PutRecord(const char* buffer);        // writes a raw record over the current one and updates every tag
int sx_AppendEx();                            // appends a blank record, locked, and makes it current; see SX_APPEND_*
int sx_AppendRecord(const char* buffer, bool keepLock);  // sx_AppendEx and sx_PutRecord in one: a shared open writes the row whole, keys and all, in one step; locked only when asked
bool sx_Delete();                             // marks the current record deleted
bool sx_Commit();                             // nothing is pending (writes are posted at once); false without a table
bool sx_Rlock(int32_t recNo);                 // locks a record, waiting up to the lock time-out; re-reads it when current
bool sx_Unlock(int32_t recNo);                // releases one record lock, 0 = all of the area
int sx_RecSize();                             // record length in bytes, deletion byte included
bool sx_Pack();                               // removes deleted records, compacts memos, rebuilds tags; exclusive only
bool sx_Zap();                                // removes every record; exclusive only

// Fields, by name (case-insensitive).
int sx_FieldCount();
std::string sx_FieldName(int index);          // 1-based; "" out of range
int sx_FieldNum(const char* field);           // 1-based; 0 when missing
char sx_FieldType(const char* field);         // 'C', 'N', 'F', 'D', 'L', 'M' ...; 0 when missing
int sx_FieldWidth(const char* field);
int sx_FieldDecimals(const char* field);
int sx_FieldOffset(const char* field);        // 1-based offset in the record (the deletion byte is offset 0)
std::string sx_GetString(const char* field);  // raw field text, full width (memo: the memo text)
std::string sx_GetTrimString(const char* field);  // the same without trailing blanks
std::string sx_GetDateString(const char* field);  // a date field in the current date format and century setting
bool sx_GetLogical(const char* field);
bool sx_Empty(const char* field);             // blank text, zero number, empty date, false, empty memo
bool sx_Replace(const char* field, int kind, const void* value);  // writes one field of the current record (SX_R_*) onto the record as it is on disk; false when the value does not fit
char* sx_GetMemo(const char* field, int lineWidth);  // memo text as stored, zero-terminated, freed with sx_MemDealloc (lineWidth is not used)
void sx_MemDealloc(void* memory);
int32_t sx_GetBlobLength(const char* field);  // stored memo bytes
int32_t sx_GetBlob(const char* field, void* buffer);  // copies the memo bytes; bytes copied
bool sx_PutBlob(const char* field, const void* data, int32_t length);  // stores new memo bytes and sets the field's reference in the record buffer only (sx_PutRecord posts it)
int sx_IsEncrypted(int which);                // 0: tables are never encrypted

// Orders (tags of the structural compound index).
int sx_IndexOpen(const char* file);           // opens a further compound index file (".cdx" when no extension; the structural one opens with the table) and makes its first order current; that order, 0 on failure
int sx_IndexTag(const char* file, const char* tag, const char* expression, int option, int descending, const char* condition);  // creates or replaces a tag (option 1 unique, descending non-zero) and makes it current; its order, 0 on failure
bool sx_SetOrder(int order);                  // 0 = natural order; false for an order that does not exist
int sx_IndexOrd();                            // current order, 0 = none
int sx_TagArea(const char* tag);              // order of the tag (case-insensitive, folder and extension ignored); 0 and an engine error when the index has no such tag
std::string sx_TagName(int order);            // "" past the last order (0 = current)
std::string sx_IndexName(int order = 0);      // file of the order's index
std::string sx_IndexKey(int order = 0);       // key expression
std::string sx_IndexKeyField(int order = 0);  // the fields the key is made of, joined with "+"
int sx_IndexType(int order = 0);              // SX_INDEX_*; 0 without an order
std::string sx_IndexCondition(int order = 0); // FOR condition, "" when none
std::string sx_KeyData();                     // the current record's key in the current order as text (numbers in decimal, dates yyyymmdd) that sx_Seek and sx_SetScope take

// Search and subsets.
// Keys (sx_Seek, sx_SeekAfter, sx_SetScope) are texts: a character order
// compares them with its keys over their length (partial); a numeric order
// reads them as a number ("42", "-1.5", as LTRIM(STR(x, 19)) gives); a date
// order as "yyyymmdd" (DTOS) or else in the current date format; a logical
// order as "T"/"F".
bool sx_Seek(const char* key);                // first visible key equal to key (exact setting: the whole key); not found: Eof, or with soft seek the next key
bool sx_SeekAfter(const char* key);           // first visible record whose key comes after key (keys equal over its length passed over); false and Eof when none
bool sx_SetScope(const char* low, const char* high);  // keys bounding the current order, low <= key <= high; an empty bound is open; both empty = none; blanks are a real bound
bool sx_Query(const char* expression);        // logical expression hiding other records; empty = none; false on a bad expression
std::string sx_DBFilter();                    // the current query text
std::string sx_EvalString(const char* expression);  // the value as text on the current record (numbers as STR() would)
bool sx_EvalLogical(const char* expression);
int sx_EvalTest(const char* expression);      // SX_EVAL_*

// Settings (program-wide; flags pass as -1 or 0).
int sx_SetEpoch(int year);                    // window start for two-digit years; answers the previous one
void sx_SetCentury(int flag);
void sx_SetDateFormat(int format);            // SX_DATE_*
void sx_SetDeleted(int flag);                 // -1 hides records marked deleted
void sx_SetExact(int flag);                   // -1: a seek and text '=' compare whole keys
void sx_SetSoftSeek(int flag);                // -1: a failed seek stays on the next greater key
void sx_SetLockTimeout(int seconds);          // how long record, append and memo locks are waited for (5 seconds until set; 0 = one try)
void sx_SetMemoBlockSize(int bytes);          // block size of memo files made from now on
void sx_SetTurboRead(int flag);               // accepted; reads always see what others posted

std::intptr_t sx_SysProp(int code, std::intptr_t value);  // SX_SP_*; 0 for an unknown code

namespace xbase {
// The last engine error of any sx_ call: its number (0 = none) and text.
int lastErrorCode();
std::string lastErrorText();
// The file that error is about, as the engine opened or looked for it (""
// when it names none), and why, in words a user can act on.
std::string lastErrorFile();
std::string lastErrorReason();
}  // namespace xbase
