// The extended list view's styles, activation and the saved column layout:
// its round trip, damaged values and a layout that cannot be written.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalSpy>

#include <memory>

#include "controls/ext_list_view.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "widget_test_helpers.h"

using test_support::readFile;
using test_support::writeFile;

namespace {

class ListLayout : public ::testing::Test {
protected:
    test_support::TempDir dir{"elv"};
    test_support::ScopedEnv config{"TARSEL_CONFIG_DIR", dir.path().c_str()};

    std::string iniPath() const { return dir.file("listviews.ini"); }

    // A saving list view with three columns of 100, 60 and 40 pixels.
    std::unique_ptr<TExtListView> makeView(const char* key = "Software\\Tarsel\\Find")
    {
        auto view = std::make_unique<TExtListView>();
        view->setHeaderLabels({QStringLiteral("From"), QStringLiteral("Subject"), QStringLiteral("Date")});
        view->setColumnWidth(0, 100);
        view->setColumnWidth(1, 60);
        view->setColumnWidth(2, 40);
        view->setAutoSave(true);
        view->setRegistryKey(QString::fromLatin1(key));
        return view;
    }

    void saveLayout(const std::string& order, const std::string& sizes)
    {
        writeFile(iniPath(), "[Software\\Tarsel\\Find\\Columns]\nOrder=" + order + "\nSizes=" + sizes + "\n");
    }
};

}  // namespace

TEST(ExtListView, StylesAreKeptAsOneMaskAndApplied)
{
    TExtListView view;
    view.setExtendedStyles(TExtListView::lvxCheckboxes | TExtListView::lvxFullRowSelect);
    EXPECT_EQ(static_cast<int>(view.ExtendedStyles()), 36);
    auto* item = new QTreeWidgetItem(&view, {QStringLiteral("one")});
    EXPECT_TRUE(item->flags() & Qt::ItemIsUserCheckable);  // added after the style
    EXPECT_EQ(item->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(view.allColumnsShowFocus());
    EXPECT_FALSE(view.header()->sectionsMovable());
    view.setExtendedStyles(TExtListView::lvxHeaderDragDrop);
    EXPECT_TRUE(view.header()->sectionsMovable());
    EXPECT_FALSE(item->flags() & Qt::ItemIsUserCheckable);
}

TEST(ExtListView, MarqueeAndActivationAskTheirHandlers)
{
    TExtListView view;
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.resize(200, 150);
    auto* item = new QTreeWidgetItem(&view, {QStringLiteral("one")});
    view.show();
    int asked = 0;
    view.setOnMarqueeBegin([&](TExtListView*, bool& canBegin) {
        ++asked;
        canBegin = false;
    });
    item->setSelected(true);
    SendMouse(*view.viewport(), QEvent::MouseButtonPress, QPoint(100, 140));
    SendMouse(*view.viewport(), QEvent::MouseButtonRelease, QPoint(100, 140));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(item->isSelected());

    QSignalSpy activated(&view, &TExtListView::OnItemActivate);
    view.setExtendedStyles(TExtListView::lvxTwoClickActivate);
    const QPoint onItem = view.visualItemRect(item).center();
    SendMouse(*view.viewport(), QEvent::MouseButtonPress, onItem);
    SendMouse(*view.viewport(), QEvent::MouseButtonRelease, onItem);
    EXPECT_EQ(activated.count(), 0);  // the first click selects
    SendMouse(*view.viewport(), QEvent::MouseButtonPress, onItem);
    SendMouse(*view.viewport(), QEvent::MouseButtonRelease, onItem);
    EXPECT_EQ(activated.count(), 1);
}

TEST(ExtListView, OwnerDataRowsAreAskedOfTheHandlers)
{
    TExtListView view;
    view.setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size")});
    view.resize(200, 120);
    view.addTopLevelItem(new QTreeWidgetItem({QStringLiteral("dropped")}));
    view.setVirtualMode(true);
    EXPECT_EQ(view.topLevelItemCount(), 0);  // owner-data rows come from the handlers
    int asked = 0;
    view.setOnODGetItemInfo([&](TExtListView*, int item, int subItem, unsigned mask, int&, qintptr&,
                                unsigned& state, int&, QString& text) {
        ++asked;
        if (mask & TExtListView::lvifText)
            text = QStringLiteral("row %1 col %2").arg(item).arg(subItem);
        if (item % 2 == 1)
            state |= TExtListView::lvisChecked;
    });
    std::vector<TExtListView::TLVCacheHint> hints;
    view.setOnODCacheHint([&](TExtListView*, TExtListView::TLVCacheHint& hint) { hints.push_back(hint); });
    view.setItemCount(1000);
    EXPECT_EQ(view.topLevelItem(5)->text(1), QStringLiteral("row 5 col 1"));
    EXPECT_EQ(view.ODGetItemInfo(-1, 0, TExtListView::lvifText).text, QString());
    view.setExtendedStyles(TExtListView::lvxCheckboxes);
    EXPECT_EQ(view.topLevelItem(3)->checkState(0), Qt::Checked);
    EXPECT_EQ(view.topLevelItem(4)->checkState(0), Qt::Unchecked);

    view.show();
    Render(view);
    ASSERT_FALSE(hints.empty());
    EXPECT_EQ(hints.back().From, 0);
    EXPECT_GT(hints.back().To, 0);
    EXPECT_LT(hints.back().To, 1000);

    view.keyboardSearch(QStringLiteral("row"));  // no find handler: nothing found
    view.setOnODFindItem([](TExtListView*, TExtListView::TLVFindInfo& find, bool& found) {
        found = find.Text == QStringLiteral("row 42");
        find.Index = 42;
    });
    view.keyboardSearch(QStringLiteral("row 42"));
    EXPECT_EQ(view.indexOfTopLevelItem(view.currentItem()), 42);

    std::vector<TExtListView::TLVStateChange> changes;
    view.setOnODStateChanged([&](TExtListView*, TExtListView::TLVStateChange& c) { changes.push_back(c); });
    view.selectionModel()->select(QItemSelection(view.model()->index(10, 0), view.model()->index(20, 1)),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(changes.size(), 2u);  // 10..20 selected, the current row 42 released
    EXPECT_EQ(changes[0].From, 10);
    EXPECT_EQ(changes[0].To, 20);
    EXPECT_EQ(changes[0].NewState, TExtListView::lvisSelected);
    EXPECT_EQ(changes[1].From, 42);
    EXPECT_EQ(changes[1].OldState, TExtListView::lvisSelected);
    EXPECT_TRUE(view.ODGetItemInfo(15, 0, TExtListView::lvifState).state & TExtListView::lvisSelected);
    EXPECT_TRUE(SaveScreenshot(view, QStringLiteral("ext_list_view_owner_data")));
}

TEST_F(ListLayout, OrderAndSizesRoundTrip)
{
    {
        auto view = makeView();
        view->setColumnOrder({2, 0, 1});
        view->setColumnWidth(1, 77);
    }  // stored when destroyed
    const std::string ini = readFile(iniPath());
    EXPECT_NE(ini.find("[Software\\Tarsel\\Find\\Columns]"), std::string::npos);
    EXPECT_NE(ini.find("Order=2,0,1"), std::string::npos);
    EXPECT_NE(ini.find("Sizes=100,77,40"), std::string::npos);

    auto view = makeView();
    view->show();  // the form is built: the layout is restored
    EXPECT_EQ(view->ColumnOrder(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(view->header()->logicalIndex(0), 2);  // the third column shows first
    EXPECT_EQ(view->columnWidth(1), 77);
    view->setAutoSave(false);
}

TEST_F(ListLayout, DamagedValuesKeepWhatCannotBeUsed)
{
    saveLayout("1,1,0", "120,x,-5");
    auto view = makeView();
    view->RestoreSettings();
    EXPECT_EQ(view->ColumnOrder(), (std::vector<int>{0, 1, 2}));  // not an arrangement
    EXPECT_EQ(view->columnWidth(0), 120);
    EXPECT_EQ(view->columnWidth(1), 0);  // not a number
    EXPECT_EQ(view->columnWidth(2), 0);  // negative

    saveLayout("1,0", "90");
    auto shorter = makeView();
    shorter->RestoreSettings();
    EXPECT_EQ(shorter->ColumnOrder(), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(shorter->columnWidth(0), 90);
    EXPECT_EQ(shorter->columnWidth(1), 60);  // missing: kept
    EXPECT_EQ(shorter->columnWidth(2), 40);

    saveLayout("7,0,1", "");
    shorter->RestoreSettings();
    EXPECT_EQ(shorter->ColumnOrder(), (std::vector<int>{1, 0, 2}));
    view->setAutoSave(false);
    shorter->setAutoSave(false);
}

TEST_F(ListLayout, WithoutAutoSaveTheSettingsFolderIsNeverTouched)
{
    {
        auto view = makeView();
        view->setAutoSave(false);
        view->setColumnOrder({1, 2, 0});
        view->show();
    }
    EXPECT_TRUE(readFile(iniPath()).empty());
}

TEST_F(ListLayout, ALayoutThatCannotBeSavedIsDropped)
{
    EXPECT_NO_THROW({
        auto view = makeView("Bad]Key\nWith a line break");
        view->setColumnOrder({1, 0, 2});
    });
    EXPECT_TRUE(readFile(iniPath()).empty());
    auto view = makeView("Bad]Key");
    EXPECT_THROW(view->StoreSettings(), std::exception);  // asked for directly, the error shows
}

TEST(ExtListView, Screenshot)
{
    TExtListView view;
    view.resize(320, 120);
    view.setHeaderLabels({QStringLiteral("From"), QStringLiteral("Subject"), QStringLiteral("Size")});
    view.setExtendedStyles(TExtListView::lvxCheckboxes | TExtListView::lvxFullRowSelect |
                           TExtListView::lvxGridLines);
    new QTreeWidgetItem(&view, {QStringLiteral("ann@example.org"), QStringLiteral("Minutes"), QStringLiteral("4 KB")});
    auto* second =
        new QTreeWidgetItem(&view, {QStringLiteral("bob@example.org"), QStringLiteral("Invoice"), QStringLiteral("12 KB")});
    second->setCheckState(0, Qt::Checked);
    view.setCurrentItem(second);
    view.show();
    EXPECT_TRUE(SaveScreenshot(view, QStringLiteral("ext_list_view")));
}
