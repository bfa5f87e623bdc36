#include "tables/data_source.h"

#include <algorithm>

#include "tables/table.h"

TDataLink::~TDataLink() { SetDataSource(nullptr); }

void TDataLink::SetDataSource(TDataSource* source) {
    if (source == dataSource_) return;
    if (dataSource_) dataSource_->removeLink(this);
    dataSource_ = source;
    if (dataSource_) dataSource_->addLink(this);
    const bool active = Active();
    if (active != wasActive_) {
        wasActive_ = active;
        ActiveChanged();
    }
}

TTable* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

bool TDataLink::Active() const {
    TTable* table = DataSet();
    return table && table->Active();
}

void TDataLink::dataEvent(TDataEvent event, TField* field) {
    if (event == deUpdateState) {
        const bool active = Active();
        if (active != wasActive_) {
            wasActive_ = active;
            ActiveChanged();
        } else {
            EditingChanged();
        }
        return;
    }
    if (!Active()) return;
    switch (event) {
    case deFieldChange: RecordChanged(field); break;
    case deRecordChange: RecordChanged(nullptr); break;
    case deDataSetChange: DataSetChanged(); break;
    case deDataSetScroll: DataSetScrolled(); break;
    case deUpdateRecord: UpdateData(); break;
    default: break;
    }
}

TDataSource::~TDataSource() {
    // Going away tells the links, never the handlers: what they captured
    // may be gone already.
    OnDataChange = nullptr;
    OnStateChange = nullptr;
    OnUpdateData = nullptr;
    SetDataSet(nullptr);
    for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TTable* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->unregisterDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->registerDataSource(this);
    DataEvent(deUpdateState);
}

void TDataSource::DataEvent(TDataEvent event, TField* field) {
    if (!Enabled && event != deUpdateState) return;
    switch (event) {
    case deUpdateState:
        if (OnStateChange) OnStateChange();
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData();
        break;
    default:
        if (OnDataChange) OnDataChange(event == deFieldChange ? field : nullptr);
        break;
    }
    // A link may leave the source while it is told (a TApollo re-binding).
    for (TDataLink* link : std::vector<TDataLink*>(links_))
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->dataEvent(event, field);
}

void TDataSource::addLink(TDataLink* link) { links_.push_back(link); }

void TDataSource::removeLink(TDataLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}
