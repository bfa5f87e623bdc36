#pragma once
// TTable: a table of the data folder opened through the cursor interface,
// walked one current record at a time. It edits under a record lock, posts,
// filters with engine expressions, follows a master table through its
// MasterSource, and tells its data sources of every change. A failed cursor
// operation raises EDBEngineError with the engine's error text.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tables/cursor_interface.h"
#include "tables/data_source.h"
#include "tables/field.h"
#include "tables/table_type.h"

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

class TTable {
public:
    using Event = std::function<void(TTable& table)>;

    TTable();
    ~TTable();
    TTable(const TTable&) = delete;
    TTable& operator=(const TTable&) = delete;

    // Set while closed (IndexName, Filter, Filtered and MasterSource also
    // while open).
    std::string DatabaseName;            // folder of the table
    std::string TableName;
    TTableType TableType = ttDefault;
    bool ReadOnly = false;
    bool Exclusive = false;
    std::string MasterFields;            // master field whose value the detail's index key must equal

    const std::string& IndexName() const { return indexName_; }
    void SetIndexName(const std::string& name);
    TDataSource* MasterSource() const;
    void SetMasterSource(TDataSource* source);
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& text);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);

    Event AfterOpen, BeforeClose, AfterInsert, AfterEdit, BeforePost, AfterPost, AfterCancel,
        AfterDelete, AfterScroll;

    bool Active() const { return state_ != dsInactive; }
    // The table file as the engine opened it; empty while closed.
    std::string FilePath() const;
    void SetActive(bool on) { on ? Open() : Close(); }
    TDataSetState State() const { return state_; }
    void Open();
    void Close();

    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const;
    int RecordCount();
    int RecNo() const { return state_ == dsInsert ? 0 : recNo_; }
    void Refresh();
    // Finds the first record whose field equals value; stays put when none.
    bool Locate(const std::string& fieldName, const std::string& value, bool caseInsensitive = false);
    // Goes to the first visible record whose whole key in the active order
    // is `key`, with one seek of the engine; stays put when none. Not for a
    // filtered table (the seek would not see its filter).
    bool FindKey(const std::string& key);

    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // Posts a pending edit or insert (or drops an unchanged one).
    void CheckBrowseMode();

    TField* FindField(const std::string& name);
    TField& FieldByName(const std::string& name);
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField& Fields(int index) { return *fields_.at(static_cast<size_t>(index)); }

    // For TField, TDataSource and TApollo.
    int CursorHandle() const { return cursor_; }
    const std::string& activeRecord() const;
    std::string& editRecord(const TField& field);
    void fieldChanged(TField& field);
    void registerDataSource(TDataSource* source);
    void unregisterDataSource(TDataSource* source);
    // Puts the engine on this table's current record.
    void positionEngine();
    // Takes the engine's current record as the table's, settling on the next
    // visible one (or the previous) when the engine stands on a hidden one.
    void resyncFromEngine();
    // The engine changed the order itself; the table only takes its name.
    void takeIndexName(const std::string& name) {
        indexName_ = name;
        indexDescRead_ = false;
    }

private:
    class MasterLink;
    friend class MasterLink;

    void check(tables::DBIResult rc) const;
    void requireActive() const;
    void notify(TDataEvent event, TField* field = nullptr);
    void fire(const Event& event) { if (event) event(*this); }
    void takeRecord(std::string record);
    bool landOn(std::string record);
    void becomeEmpty();
    bool fetchFirst();
    void settleOn(int32_t recNo);
    void applyFilter();
    void dropFilter();
    void masterChanged();
    void masterDisabled();
    void applyMasterRange();
    tables::DBIResult activeIndexDesc(tables::IndexDesc& desc);
    bool postedKeyInRange();
    void settleOnPosted(int32_t recNo);
    void fillMasterFields();
    void startInsert();
    void closeCursor();

    TDataSetState state_ = dsInactive;
    int database_ = 0;
    int cursor_ = 0;
    std::string indexName_;
    std::string filter_;
    bool filtered_ = false;
    int filterHandle_ = 0;
    bool rangeSet_ = false;
    // The record the master range's key was made from, and its key field
    // (0: the key is an expression): a posted record whose field holds the
    // same value lies within the range.
    std::string rangeKeyRecord_;
    int rangeKeyField_ = 0;
    // The active order's description, read once per open and order.
    tables::IndexDesc indexDesc_;
    tables::DBIResult indexDescRc_ = tables::kOk;
    bool indexDescRead_ = false;
    std::vector<std::unique_ptr<TField>> fields_;
    std::string record_;        // the current record as last read
    std::string edit_;          // the record being edited or inserted
    bool modified_ = false;
    int32_t recNo_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    std::vector<TDataSource*> dataSources_;
    std::unique_ptr<MasterLink> masterLink_;
};
