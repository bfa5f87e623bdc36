// Opening and closing a table, its fields, filter and data sources.
#include "tables/table.h"

#include <algorithm>

#include "tables/db_errors.h"
#include "tables/text_util.h"

using tables::cursors;
using tables::kOk;

// Follows the master's data source: a move, refresh or change of the master
// field re-ranges the detail; a master that closes lifts the range.
class TTable::MasterLink : public TDataLink {
public:
    explicit MasterLink(TTable& detail) : detail_(detail) {}

protected:
    void ActiveChanged() override {
        if (Active()) detail_.masterChanged();
        else detail_.masterDisabled();
    }
    void DataSetChanged() override { detail_.masterChanged(); }
    void RecordChanged(TField* field) override {
        if (!field || tables::sameText(field->FieldName(), detail_.MasterFields)) detail_.masterChanged();
    }

private:
    TTable& detail_;
};

EDBEngineError::EDBEngineError(tables::DBIResult code) : EDBEngineError(code, cursors().TakeFault(code)) {}

EDBEngineError::EDBEngineError(tables::DBIResult code, const tables::EngineFault& fault)
    : EDatabaseError(tables::CursorInterface::GetErrorText(code) +
                     (fault.path.empty() ? std::string() : " -- " + tables::FaultText(fault))),
      code_(code),
      path_(fault.path) {}

TTable::TTable() : masterLink_(std::make_unique<MasterLink>(*this)) {}

TTable::~TTable() {
    masterLink_->SetDataSource(nullptr);
    if (Active()) {
        try {
            Close();
        } catch (const std::exception&) {
            // A table going away closes what it can.
        }
    }
    for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->SetDataSet(nullptr);
}

void TTable::check(tables::DBIResult rc) const {
    if (rc != kOk) throw EDBEngineError(rc);
}

void TTable::requireActive() const {
    if (!Active()) throw EDatabaseError(TableName + ": Cannot perform this operation on a closed dataset");
}

void TTable::notify(TDataEvent event, TField* field) {
    for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->DataEvent(event, field);
}

void TTable::registerDataSource(TDataSource* source) { dataSources_.push_back(source); }

void TTable::unregisterDataSource(TDataSource* source) {
    dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), source), dataSources_.end());
}

void TTable::Open() {
    if (Active()) return;
    const TTableType type = tables::effectiveTableType(TableType, TableName);
    const std::string driver = tables::driverNameOf(type);
    // Index names longer than the cursor interface takes are refused, not cut.
    if (indexName_.size() > 31) throw EDBEngineError(tables::kTextTooLong);
    check(cursors().OpenDatabase(DatabaseName, database_));
    int cursor = 0;
    const tables::DBIResult rc = cursors().OpenTable(database_, TableName, &driver, indexName_, indexName_,
                                                     ReadOnly, Exclusive, cursor);
    if (rc != kOk) {
        cursors().CloseDatabase(database_);
        database_ = 0;
        throw EDBEngineError(rc);
    }
    cursor_ = cursor;
    state_ = dsBrowse;
    try {
        std::vector<tables::FieldDesc> descs;
        tables::CursorProps props;
        check(cursors().GetCursorProps(cursor_, props));
        check(cursors().GetFieldDescs(cursor_, descs));
        fields_.clear();
        for (const tables::FieldDesc& desc : descs) fields_.push_back(std::make_unique<TField>(*this, desc));
        if (filtered_) applyFilter();
        if (masterLink_->Active()) applyMasterRange();
        fetchFirst();
    } catch (...) {
        // A table that cannot be set up is not left half open.
        closeCursor();
        throw;
    }
    notify(deUpdateState);
    fire(AfterOpen);
}

void TTable::Close() {
    if (!Active()) return;
    if (state_ == dsEdit || state_ == dsInsert) Cancel();
    fire(BeforeClose);
    closeCursor();
    notify(deUpdateState);
}

void TTable::closeCursor() {
    const int cursor = cursor_;
    state_ = dsInactive;
    cursor_ = 0;
    filterHandle_ = 0;
    rangeSet_ = false;
    rangeKeyField_ = 0;
    indexDescRead_ = false;
    fields_.clear();
    record_.clear();
    edit_.clear();
    recNo_ = 0;
    bof_ = eof_ = true;
    cursors().CloseCursor(cursor);
    cursors().CloseDatabase(database_);
    database_ = 0;
}

std::string TTable::FilePath() const {
    const TTableWorkArea* wa = Active() ? cursors().workArea(cursor_) : nullptr;
    return wa ? wa->path : std::string();
}

TField* TTable::FindField(const std::string& name) {
    for (auto& field : fields_)
        if (tables::sameText(field->FieldName(), name)) return field.get();
    return nullptr;
}

TField& TTable::FieldByName(const std::string& name) {
    TField* field = FindField(name);
    if (!field) throw EDatabaseError(TableName + ": Field '" + name + "' not found");
    return *field;
}

const std::string& TTable::activeRecord() const {
    return state_ == dsEdit || state_ == dsInsert ? edit_ : record_;
}

std::string& TTable::editRecord(const TField& field) {
    if (state_ != dsEdit && state_ != dsInsert)
        throw EDatabaseError(TableName + ": Dataset not in edit or insert mode");
    if (ReadOnly) throw EDatabaseError(TableName + ": Cannot modify a read-only dataset");
    (void)field;
    return edit_;
}

void TTable::fieldChanged(TField& field) {
    modified_ = true;
    notify(deFieldChange, &field);
}

void TTable::SetIndexName(const std::string& name) {
    if (name == indexName_) return;
    if (!Active()) {
        indexName_ = name;
        return;
    }
    CheckBrowseMode();
    indexDescRead_ = false;
    check(cursors().SwitchToIndex(cursor_, name));
    indexName_ = name;
    if (masterLink_->Active()) applyMasterRange();
    fetchFirst();
    notify(deDataSetChange);
}

void TTable::applyFilter() {
    if (filter_.empty()) return;
    int handle = 0;
    check(cursors().AddFilter(cursor_, filter_, 0, nullptr, handle));
    filterHandle_ = handle;
    const tables::DBIResult rc = cursors().ActivateFilter(cursor_, handle);
    if (rc != kOk) {
        dropFilter();
        throw EDBEngineError(rc);
    }
}

void TTable::dropFilter() {
    if (filterHandle_ == 0) return;
    const int handle = filterHandle_;
    filterHandle_ = 0;
    check(cursors().DropFilter(cursor_, handle));
}

void TTable::SetFilter(const std::string& text) {
    if (text == filter_) return;
    filter_ = text;
    if (!Active() || !filtered_) return;
    CheckBrowseMode();
    dropFilter();
    applyFilter();
    fetchFirst();
    notify(deDataSetChange);
}

void TTable::SetFiltered(bool on) {
    if (on == filtered_) return;
    filtered_ = on;
    if (!Active()) return;
    CheckBrowseMode();
    if (on) applyFilter();
    else dropFilter();
    fetchFirst();
    notify(deDataSetChange);
}

TDataSource* TTable::MasterSource() const { return masterLink_->DataSource(); }

void TTable::SetMasterSource(TDataSource* source) {
    if (source && source->DataSet() == this) throw EDatabaseError(TableName + ": Circular datalinks are not allowed");
    masterLink_->SetDataSource(source);
    if (!source && Active() && rangeSet_) masterDisabled();
}

void TTable::masterDisabled() {
    if (!Active() || !rangeSet_) return;
    CheckBrowseMode();
    check(cursors().ResetRange(cursor_));
    rangeSet_ = false;
    rangeKeyField_ = 0;
    fetchFirst();
    notify(deDataSetChange);
}

void TTable::masterChanged() {
    if (!Active()) return;
    CheckBrowseMode();
    applyMasterRange();
    fetchFirst();
    notify(deDataSetChange);
}

tables::DBIResult TTable::activeIndexDesc(tables::IndexDesc& desc) {
    if (!indexDescRead_) {
        indexDescRc_ = cursors().GetIndexDesc(cursor_, 0, indexDesc_);
        indexDescRead_ = true;
    }
    desc = indexDesc_;
    return indexDescRc_;
}

// The range holds the rows whose index key equals the master field's value;
// an empty value is a blank key like any other.
void TTable::applyMasterRange() {
    TTable* master = masterLink_->DataSet();
    if (!master || !master->Active() || MasterFields.empty()) return;
    const std::string value = master->FieldByName(MasterFields).AsString();
    tables::IndexDesc desc;
    check(activeIndexDesc(desc));
    std::string keyRecord;
    check(cursors().InitRecord(cursor_, keyRecord));
    TField* keyField = nullptr;
    if (!desc.expressionIndex && desc.keyField > 0) keyField = fields_.at(static_cast<size_t>(desc.keyField - 1)).get();
    if (!keyField) keyField = FindField(MasterFields);
    if (!keyField) throw EDatabaseError(TableName + ": Field '" + MasterFields + "' not found");
    const tables::FieldValue fieldValue = value;
    check(cursors().PutField(cursor_, keyField->FieldNo(), keyRecord, &fieldValue));
    std::string key;
    check(cursors().ExtractKey(cursor_, &keyRecord, key));
    rangeKeyField_ = 0;
    check(cursors().SetRange(cursor_, key, key));
    rangeSet_ = true;
    rangeKeyRecord_ = std::move(keyRecord);
    if (!desc.expressionIndex && desc.keyField > 0) rangeKeyField_ = desc.keyField;
}

// Whether the record being posted lies within the master range; false when
// that cannot be told without the engine.
bool TTable::postedKeyInRange() {
    if (!rangeSet_) return true;
    if (rangeKeyField_ <= 0) return false;
    tables::FieldValue posted, range;
    bool postedBlank = true, rangeBlank = true;
    if (cursors().GetField(cursor_, rangeKeyField_, edit_, &posted, &postedBlank) != kOk ||
        cursors().GetField(cursor_, rangeKeyField_, rangeKeyRecord_, &range, &rangeBlank) != kOk)
        return false;
    return postedBlank == rangeBlank && posted == range;
}

// A new detail row belongs to the master row it was made under.
void TTable::fillMasterFields() {
    TTable* master = masterLink_->DataSet();
    if (!master || !master->Active() || MasterFields.empty() || !rangeSet_) return;
    tables::IndexDesc desc;
    if (activeIndexDesc(desc) != kOk || desc.expressionIndex || desc.keyField <= 0) return;
    const tables::FieldValue value = master->FieldByName(MasterFields).AsString();
    check(cursors().PutField(cursor_, desc.keyField, edit_, &value));
}
