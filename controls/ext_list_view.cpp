#include "controls/ext_list_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>


TExtListView::TExtListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    header()->setSectionsMovable(false);
    // Columns keep the widths they are given, down to 0, as a list view's do.
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(0);
    connect(this, &QTreeWidget::itemActivated, this, [this] {
        if (!(extendedStyles_ & (lvxOneClickActivate | lvxTwoClickActivate)))
            ItemActivate();
    });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { clicked(item); });
    connect(this, &QTreeWidget::itemEntered, this, [this](QTreeWidgetItem* item) {
        if (extendedStyles_ & lvxTrackSelect)
            setCurrentItem(item);
    });
}

TExtListView::~TExtListView()
{
    try {
        StoreSettings();
    } catch (...) {
        // The layout is not worth an exception out of a destructor.
    }
}

void TExtListView::setExtendedStyles(TLVExtendedStyles styles)
{
    extendedStyles_ = styles;
    header()->setSectionsMovable(styles & lvxHeaderDragDrop);
    setAllColumnsShowFocus(styles & lvxFullRowSelect);
    setMouseTracking(styles & lvxTrackSelect);
    applyCheckboxes(0, topLevelItemCount() - 1);
    viewport()->update();
}

void TExtListView::applyCheckboxes(int from, int to)
{
    const bool on = extendedStyles_ & lvxCheckboxes;
    for (int i = from; i <= to; ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (!item)
            continue;
        if (on) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            if (!item->data(0, Qt::CheckStateRole).isValid())
                item->setCheckState(0, Qt::Unchecked);
        } else if (item->flags() & Qt::ItemIsUserCheckable) {
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setData(0, Qt::CheckStateRole, QVariant());
        }
    }
}

void TExtListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QTreeWidget::rowsInserted(parent, start, end);
    if (!parent.isValid() && (extendedStyles_ & lvxCheckboxes))
        applyCheckboxes(start, end);
}

void TExtListView::clicked(QTreeWidgetItem* item)
{
    const bool again = item == lastClicked_;
    lastClicked_ = item;
    if ((extendedStyles_ & lvxOneClickActivate) || ((extendedStyles_ & lvxTwoClickActivate) && again))
        ItemActivate();
}

std::vector<int> TExtListView::ColumnOrder() const
{
    std::vector<int> order;
    for (int visual = 0; visual < header()->count(); ++visual)
        order.push_back(header()->logicalIndex(visual));
    return order;
}

void TExtListView::setColumnOrder(const std::vector<int>& order)
{
    if (static_cast<int>(order.size()) != header()->count() || !column_layout::IsArrangement(order))
        return;
    for (int visual = 0; visual < static_cast<int>(order.size()); ++visual)
        header()->moveSection(header()->visualIndex(order[visual]), visual);
    viewport()->update();
}

void TExtListView::StoreSettings()
{
    if (!saveSettings_.AutoSave || columnCount() < 1)
        return;
    std::optional<std::string> order, sizes;
    if (saveSettings_.SaveColumnOrder)
        order = column_layout::FormatList(ColumnOrder());
    if (saveSettings_.SaveColumnSizes) {
        std::vector<int> widths;
        for (int column = 0; column < columnCount(); ++column)
            widths.push_back(columnWidth(column));
        sizes = column_layout::FormatList(widths);
    }
    column_layout::Write(saveSettings_.RegistryKey, order, sizes);
}

void TExtListView::RestoreSettings()
{
    if (!saveSettings_.AutoSave || columnCount() < 1)
        return;
    const int count = columnCount();
    if (saveSettings_.SaveColumnOrder) {
        std::vector<int> identity(count);
        for (int i = 0; i < count; ++i)
            identity[i] = i;
        const auto saved = column_layout::Read(saveSettings_.RegistryKey, "Order");
        setColumnOrder(saved ? column_layout::ParseList(*saved, ColumnOrder()) : identity);
    }
    if (saveSettings_.SaveColumnSizes) {
        if (const auto saved = column_layout::Read(saveSettings_.RegistryKey, "Sizes")) {
            std::vector<int> widths(count);
            for (int column = 0; column < count; ++column)
                widths[column] = columnWidth(column);
            widths = column_layout::ParseList(*saved, widths);
            for (int column = 0; column < count; ++column)
                setColumnWidth(column, std::max(0, widths[column]));
        }
    }
}

bool TExtListView::MarqueeBegin()
{
    bool canBegin = true;
    if (onMarqueeBegin_)
        onMarqueeBegin_(this, canBegin);
    return canBegin;
}

void TExtListView::mousePressEvent(QMouseEvent* event)
{
    const bool marquee = event->button() == Qt::LeftButton && !itemAt(event->position().toPoint()) &&
                         (selectionMode() == ExtendedSelection || selectionMode() == MultiSelection);
    if (marquee && !MarqueeBegin()) {
        clearSelection();  // as a click on empty space, with no marquee
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TExtListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeWidget::drawRow(painter, option, index);
    if (!(extendedStyles_ & lvxGridLines))
        return;
    painter->save();
    painter->setPen(palette().color(QPalette::Midlight));
    const QRect row = option.rect;
    painter->drawLine(row.bottomLeft(), row.bottomRight());
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int x = header()->sectionViewportPosition(header()->logicalIndex(visual)) +
                      header()->sectionSize(header()->logicalIndex(visual)) - 1;
        painter->drawLine(x, row.top(), x, row.bottom());
    }
    painter->restore();
}

bool TExtListView::event(QEvent* event)
{
    // The form has been built (columns and settings are set): the saved
    // layout applies now.
    if (event->type() == QEvent::Polish && !restored_) {
        restored_ = true;
        try {
            RestoreSettings();
        } catch (...) {
            // an unreadable layout leaves the designed one
        }
    }
    return QTreeWidget::event(event);
}
