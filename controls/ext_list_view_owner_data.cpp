// The extended list view's owner-data mode: placeholder rows whose texts,
// states and check boxes are asked of the handlers when the view needs
// them, with cache hints before painting, type-ahead search and range
// state changes.

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPaintEvent>

#include "controls/ext_list_view.h"

namespace {

// A row that keeps nothing but its number.
class OwnerDataItem : public QTreeWidgetItem {
public:
    OwnerDataItem(TExtListView* view, int row) : QTreeWidgetItem(UserType), view_(view), row_(row) {}

    QVariant data(int column, int role) const override
    {
        if (role == Qt::DisplayRole)
            return view_->ODGetItemInfo(row_, column, TExtListView::lvifText).text;
        if (role == Qt::CheckStateRole && column == 0 &&
            (view_->ExtendedStyles() & TExtListView::lvxCheckboxes)) {
            const unsigned state = view_->ODGetItemInfo(row_, 0, TExtListView::lvifState).state;
            return (state & TExtListView::lvisStateImageMask) == TExtListView::lvisChecked ? Qt::Checked
                                                                                           : Qt::Unchecked;
        }
        return QTreeWidgetItem::data(column, role);
    }

private:
    TExtListView* view_;
    int row_;
};

}  // namespace

void TExtListView::setVirtualMode(bool on)
{
    if (on == virtualMode_)
        return;
    virtualMode_ = on;
    clear();
    lastHint_ = {};
    if (on)
        connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &TExtListView::ownerDataSelectionChanged, Qt::UniqueConnection);
    else
        disconnect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
                   &TExtListView::ownerDataSelectionChanged);
}

void TExtListView::setItemCount(int count)
{
    if (!virtualMode_)
        return;
    clear();
    lastHint_ = {};
    QList<QTreeWidgetItem*> rows;
    rows.reserve(std::max(0, count));
    for (int row = 0; row < count; ++row)
        rows << new OwnerDataItem(this, row);
    addTopLevelItems(rows);
}

TExtListView::ItemInfo TExtListView::ODGetItemInfo(int item, int subItem, unsigned mask)
{
    ItemInfo info;
    if (item == -1)
        return info;
    if (QTreeWidgetItem* row = topLevelItem(item)) {
        if (row->isSelected())
            info.state |= lvisSelected;
        if (row == currentItem())
            info.state |= lvisFocused;
    }
    if (onODGetItemInfo_)
        onODGetItemInfo_(this, item, subItem, mask & 31u, info.image, info.param, info.state, info.indent,
                         info.text);
    if (!(mask & lvifText))
        info.text.clear();
    return info;
}

void TExtListView::ODCacheHint(TLVCacheHint& hint)
{
    if (onODCacheHint_)
        onODCacheHint_(this, hint);
}

bool TExtListView::ODFindItem(TLVFindInfo& findInfo)
{
    bool found = false;
    if (onODFindItem_)
        onODFindItem_(this, findInfo, found);
    return found;
}

void TExtListView::ODStateChanged(TLVStateChange& stateInfo)
{
    if (onODStateChanged_)
        onODStateChanged_(this, stateInfo);
}

void TExtListView::keyboardSearch(const QString& search)
{
    if (!virtualMode_) {
        QTreeWidget::keyboardSearch(search);
        return;
    }
    TLVFindInfo find;
    find.Text = search;
    find.Start = currentItem() ? indexOfTopLevelItem(currentItem()) : 0;
    if (ODFindItem(find) && find.Index >= 0 && find.Index < topLevelItemCount())
        setCurrentItem(topLevelItem(find.Index));
}

void TExtListView::ownerDataSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    const auto report = [this](const QItemSelection& ranges, unsigned newState, unsigned oldState) {
        for (const QItemSelectionRange& range : ranges) {
            TLVStateChange change{range.top(), range.bottom(), newState, oldState};
            ODStateChanged(change);
        }
    };
    report(selected, lvisSelected, 0);
    report(deselected, 0, lvisSelected);
}

void TExtListView::paintEvent(QPaintEvent* event)
{
    if (virtualMode_ && topLevelItemCount() > 0) {
        const QModelIndex first = indexAt(QPoint(0, 0));
        const QModelIndex last = indexAt(QPoint(0, viewport()->height() - 1));
        TLVCacheHint hint{first.isValid() ? first.row() : 0,
                          last.isValid() ? last.row() : topLevelItemCount() - 1};
        if (hint.From != lastHint_.From || hint.To != lastHint_.To) {
            lastHint_ = hint;
            ODCacheHint(hint);
        }
    }
    QTreeWidget::paintEvent(event);
}
