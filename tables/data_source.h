#pragma once
// TDataSource joins a table to what shows or follows it: data links (grids,
// master/detail links, TApollo) and the OnDataChange / OnStateChange /
// OnUpdateData handlers. The table tells its data sources of every change;
// each data source passes the change to its links.

#include <functional>
#include <vector>

class TTable;
class TField;
class TDataSource;

enum TDataEvent {
    deFieldChange,     // one field of the current record changed
    deRecordChange,    // the current record was re-read
    deDataSetChange,   // records changed as a whole (open, refresh, range, post)
    deDataSetScroll,   // the current record moved
    deUpdateState,     // the table's state changed (open, close, edit, insert ...)
    deUpdateRecord     // a post is about to write the record
};

// Something that follows a data source; override what it cares about.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* source);
    TTable* DataSet() const;
    bool Active() const;

protected:
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() {}
    virtual void DataSetScrolled() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) { (void)field; DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void dataEvent(TDataEvent event, TField* field);
    TDataSource* dataSource_ = nullptr;
    bool wasActive_ = false;
};

class TDataSource {
public:
    TDataSource() = default;
    explicit TDataSource(TTable* dataSet) { SetDataSet(dataSet); }
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TTable* DataSet() const { return dataSet_; }
    void SetDataSet(TTable* dataSet);
    bool Enabled = true;

    std::function<void(TField* field)> OnDataChange;
    std::function<void()> OnStateChange;
    std::function<void()> OnUpdateData;

    // Called by the table.
    void DataEvent(TDataEvent event, TField* field = nullptr);

private:
    friend class TDataLink;
    void addLink(TDataLink* link);
    void removeLink(TDataLink* link);

    TTable* dataSet_ = nullptr;
    std::vector<TDataLink*> links_;
};
