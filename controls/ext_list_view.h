#pragma once
// A report-style list view with the extended styles as one set of flags,
// access to the column order, an owner-data mode whose rows are answered
// by handlers, and a column layout (order and widths) that can be kept in
// the settings folder when the view is destroyed and restored when its
// form has been built.

#include <QString>
#include <QTreeWidget>

#include <functional>
#include <vector>

#include "controls/elv_save_settings.h"

class TExtListView : public QTreeWidget {
    Q_OBJECT
    Q_PROPERTY(TLVExtendedStyles extendedStyles READ ExtendedStyles WRITE setExtendedStyles)
    Q_PROPERTY(bool autoSave READ autoSave WRITE setAutoSave)
    Q_PROPERTY(QString registryKey READ registryKey WRITE setRegistryKey)
    Q_PROPERTY(bool saveColumnOrder READ saveColumnOrder WRITE setSaveColumnOrder)
    Q_PROPERTY(bool saveColumnSizes READ saveColumnSizes WRITE setSaveColumnSizes)

public:
    enum TLVExtendedStyle {
        lvxGridLines = 1,
        lvxSubItemImages = 2,
        lvxCheckboxes = 4,
        lvxTrackSelect = 8,
        lvxHeaderDragDrop = 16,
        lvxFullRowSelect = 32,
        lvxOneClickActivate = 64,
        lvxTwoClickActivate = 128
    };
    Q_DECLARE_FLAGS(TLVExtendedStyles, TLVExtendedStyle)
    Q_FLAG(TLVExtendedStyles)

    using MarqueeBeginHandler = std::function<void(TExtListView* sender, bool& canBegin)>;

    explicit TExtListView(QWidget* parent = nullptr);
    // Stores the layout when AutoSave asks for it; a layout that cannot be
    // written is dropped.
    ~TExtListView() override;

    TLVExtendedStyles ExtendedStyles() const { return extendedStyles_; }
    void setExtendedStyles(TLVExtendedStyles styles);

    // Column indexes in display order.
    std::vector<int> ColumnOrder() const;
    // Ignored unless it is an arrangement of the columns.
    void setColumnOrder(const std::vector<int>& order);

    TELVSaveSettings& SaveSettings() { return saveSettings_; }
    bool autoSave() const { return saveSettings_.AutoSave; }
    void setAutoSave(bool on) { saveSettings_.AutoSave = on; }
    QString registryKey() const { return QString::fromStdString(saveSettings_.RegistryKey); }
    void setRegistryKey(const QString& key) { saveSettings_.RegistryKey = key.toStdString(); }
    bool saveColumnOrder() const { return saveSettings_.SaveColumnOrder; }
    void setSaveColumnOrder(bool on) { saveSettings_.SaveColumnOrder = on; }
    bool saveColumnSizes() const { return saveSettings_.SaveColumnSizes; }
    void setSaveColumnSizes(bool on) { saveSettings_.SaveColumnSizes = on; }

    // Both write and read only with AutoSave and at least one column.
    // StoreSettings throws platform::IniFileError when it cannot write.
    void StoreSettings();
    void RestoreSettings();

    void setOnMarqueeBegin(MarqueeBeginHandler handler) { onMarqueeBegin_ = std::move(handler); }
    // True without a handler.
    virtual bool MarqueeBegin();
    virtual void ItemActivate() { emit OnItemActivate(); }

signals:
    void OnItemActivate();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

private:
    void applyCheckboxes(int from, int to);
    void clicked(QTreeWidgetItem* item);

    TLVExtendedStyles extendedStyles_;
    TELVSaveSettings saveSettings_;
    MarqueeBeginHandler onMarqueeBegin_;
    bool restored_ = false;
    QTreeWidgetItem* lastClicked_ = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TExtListView::TLVExtendedStyles)
