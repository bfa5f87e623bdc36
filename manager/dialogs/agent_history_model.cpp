#include "manager/dialogs/agent_history_model.h"

#include "platform/datetime.h"
#include "tables/table.h"

namespace manager {

namespace {

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace

AgentHistoryModel::AgentHistoryModel(QObject* parent) : QAbstractTableModel(parent) {}

void AgentHistoryModel::Reload(TTable* table)
{
    beginResetModel();
    rows_.clear();
    if (table && table->Active()) {
        for (table->First(); !table->Eof(); table->Next()) {
            const TDateTime day = table->FieldByName("CREATEON").AsDateTime();
            rows_.push_back({trimmed(table->FieldByName("ACTION").AsString()),
                             day > 0 ? platform::DateToStr(day) : std::string(),
                             trimmed(table->FieldByName("CREATEAT").AsString())});
        }
    }
    endResetModel();
}

void AgentHistoryModel::Clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int AgentHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AgentHistoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant AgentHistoryModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const std::string& text = index.column() == 0 ? row.action : index.column() == 1 ? row.date : row.time;
    return QString::fromStdString(text);
}

QVariant AgentHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Action Description");
    case 1:
        return QStringLiteral("Date");
    case 2:
        return QStringLiteral("Time");
    default:
        return {};
    }
}

Qt::ItemFlags AgentHistoryModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace manager
