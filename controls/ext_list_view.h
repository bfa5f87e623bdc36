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
    Q_PROPERTY(bool virtualMode READ VirtualMode WRITE setVirtualMode)
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

    // The fields an owner-data request asks for.
    enum TLVItemMask : unsigned { lvifText = 1, lvifImage = 2, lvifParam = 4, lvifState = 8, lvifIndent = 16 };
    // Item states: focused, selected, and the check box in the state-image
    // bits (1 << 12 unchecked, 2 << 12 checked).
    enum TLVItemState : unsigned {
        lvisFocused = 1,
        lvisSelected = 2,
        lvisUnchecked = 1u << 12,
        lvisChecked = 2u << 12,
        lvisStateImageMask = 0xF000
    };
    // The rows about to be shown.
    struct TLVCacheHint {
        int From = 0, To = -1;
    };
    // A type-ahead search: the text, the row to start at, and the answer.
    struct TLVFindInfo {
        QString Text;
        int Start = 0;
        int Index = -1;
    };
    // A range of rows whose state changed.
    struct TLVStateChange {
        int From = 0, To = -1;
        unsigned NewState = 0, OldState = 0;
    };

    using MarqueeBeginHandler = std::function<void(TExtListView* sender, bool& canBegin)>;
    using ODGetItemInfoHandler =
        std::function<void(TExtListView* sender, int item, int subItem, unsigned mask, int& image, qintptr& param,
                           unsigned& state, int& indent, QString& text)>;
    using ODCacheHintHandler = std::function<void(TExtListView* sender, TLVCacheHint& hint)>;
    using ODFindItemHandler = std::function<void(TExtListView* sender, TLVFindInfo& findInfo, bool& found)>;
    using ODStateChangedHandler = std::function<void(TExtListView* sender, TLVStateChange& stateInfo)>;

    // What an owner-data row answers.
    struct ItemInfo {
        QString text;
        int image = -1;
        qintptr param = 0;
        unsigned state = 0;
        int indent = 0;
    };

    explicit TExtListView(QWidget* parent = nullptr);
    // Stores the layout when AutoSave asks for it; a layout that cannot be
    // written is dropped.
    ~TExtListView() override;

    TLVExtendedStyles ExtendedStyles() const { return extendedStyles_; }
    void setExtendedStyles(TLVExtendedStyles styles);

    bool VirtualMode() const { return virtualMode_; }
    // Switching drops every row: owner-data rows come from the handlers.
    void setVirtualMode(bool on);
    // The number of owner-data rows; only in VirtualMode.
    void setItemCount(int count);

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
    // Owner-data requests; each asks its handler when one is set.
    virtual ItemInfo ODGetItemInfo(int item, int subItem, unsigned mask);
    virtual void ODCacheHint(TLVCacheHint& hint);
    // False without a handler.
    virtual bool ODFindItem(TLVFindInfo& findInfo);
    virtual void ODStateChanged(TLVStateChange& stateInfo);

    void setOnODGetItemInfo(ODGetItemInfoHandler handler) { onODGetItemInfo_ = std::move(handler); }
    void setOnODCacheHint(ODCacheHintHandler handler) { onODCacheHint_ = std::move(handler); }
    void setOnODFindItem(ODFindItemHandler handler) { onODFindItem_ = std::move(handler); }
    void setOnODStateChanged(ODStateChangedHandler handler) { onODStateChanged_ = std::move(handler); }

    void keyboardSearch(const QString& search) override;

signals:
    void OnItemActivate();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void applyCheckboxes(int from, int to);
    void clicked(QTreeWidgetItem* item);
    void ownerDataSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    TLVExtendedStyles extendedStyles_;
    TELVSaveSettings saveSettings_;
    MarqueeBeginHandler onMarqueeBegin_;
    ODGetItemInfoHandler onODGetItemInfo_;
    ODCacheHintHandler onODCacheHint_;
    ODFindItemHandler onODFindItem_;
    ODStateChangedHandler onODStateChanged_;
    bool virtualMode_ = false;
    TLVCacheHint lastHint_;
    bool restored_ = false;
    QTreeWidgetItem* lastClicked_ = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TExtListView::TLVExtendedStyles)
