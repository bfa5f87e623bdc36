#pragma once
// A read-only table model over the action-history table as it stands (the
// rows of the attached agent its master is on): "Action Description",
// "Date" and "Time". Reload reads the rows afresh; the view never writes.

#include <QAbstractTableModel>

#include <string>
#include <vector>

class TTable;

namespace manager {

class AgentHistoryModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit AgentHistoryModel(QObject* parent = nullptr);

    // Reads the rows of `table` (none when it is not open).
    void Reload(TTable* table);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        std::string action, date, time;
    };
    std::vector<Row> rows_;
};

}  // namespace manager
