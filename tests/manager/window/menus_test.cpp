// The main window's menus: captions, keys (each key one entry), the hidden
// entries, the tab change, the AutoProcessor message, About and its sound,
// the help entries and the window's columns.
#include "window_fixture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QUrl>

#include <map>

#include "manager/dialogs/tsplash_form.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"
#include "tests/support/scoped_asset.h"
#include "tests/support/wave_file.h"
#include "ui_tfrm_main.h"

namespace managertest {
namespace {

using manager::TfrmMain;

class Menus : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        main = std::make_unique<TfrmMain>();
        main->FormCreate();
    }
    void TearDown() override
    {
        main.reset();
        WindowTest::TearDown();
    }
    Ui::TfrmMain& ui() { return *main->ui(); }
    std::unique_ptr<TfrmMain> main;
};

std::vector<std::string> captions(QMenu* menu)
{
    std::vector<std::string> out;
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->isVisible())
            out.push_back(action->text().toStdString());
    return out;
}

TEST_F(Menus, CaptionsAndKeysAsTheUserSeesThem)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(captions(ui().File1), (Names{"&New...", "&Delete...", "Rena&me", "Attach Agent...", "Detach Agent...",
                                           "&Enable AutoProcessor...", "&Disable AutoProcessor...", "&Maintain...",
                                           "&Status...", "&Properties...", "E&xit"}));
    EXPECT_EQ(captions(ui().New1),
              (Names{"Mail A&ccount", "Account &Group...", "&Agent...", "Auto-Reply &Template..."}));
    EXPECT_EQ(captions(ui().Maintain1), (Names{"&Re-Index Databases", "&Compress Databases..."}));
    EXPECT_EQ(captions(ui().View1), (Names{"P&references...", "&Refresh"}));
    EXPECT_EQ(captions(ui().Help1), (Names{"&Contents...", "&Visit Kalder...", "&Suggest Product Improvements...",
                                           "Other Cool &Software...", "&About..."}));
    EXPECT_EQ(ui().mnuFileDelete->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(ui().mnuRename->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(ui().Refresh1->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(ui().DisableAutoProcessor1->isChecked());
    for (QAction* hidden : {ui().Zap1, ui().Script1, ui().FindMessage1, ui().MailMergeWizard1, ui().UpdateSoftware1})
        EXPECT_FALSE(hidden->isVisible()) << hidden->text().toStdString();
    EXPECT_FALSE(ui().Script1->isEnabled());
}

TEST_F(Menus, EachKeyBelongsToOneEntry)
{
    EXPECT_EQ(ui().mnuAttach->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    EXPECT_EQ(ui().mnuDetach->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    std::map<QString, std::string> owners;
    for (QAction* action : main->findChildren<QAction*>()) {
        if (action->shortcut().isEmpty())
            continue;
        const QString key = action->shortcut().toString();
        EXPECT_TRUE(owners.emplace(key, action->objectName().toStdString()).second)
            << key.toStdString() << " is on " << owners[key] << " and " << action->objectName().toStdString();
    }
}

TEST_F(Menus, ChangingTheTabDisablesTheFiveEntriesThenFollowsTheList)
{
    for (QAction* entry : {ui().mnuDetach, ui().mnuFileDelete, ui().mnuFileProperties, ui().mnuAttach, ui().mnuRename})
        entry->setEnabled(true);
    ui().pageControlMain->setCurrentWidget(ui().TSagents);
    for (QAction* entry : {ui().mnuDetach, ui().mnuFileDelete, ui().mnuFileProperties, ui().mnuAttach, ui().mnuRename})
        EXPECT_FALSE(entry->isEnabled()) << entry->text().toStdString();

    auto* item = new QTreeWidgetItem(ui().lstVAgents, QStringList{QStringLiteral("Replier")});
    item->setSelected(true);
    EXPECT_TRUE(ui().mnuFileDelete->isEnabled());
    EXPECT_TRUE(ui().btnAgentsModify->isEnabled());
    ui().pageControlMain->setCurrentWidget(ui().TStemplates);
    EXPECT_FALSE(ui().mnuFileDelete->isEnabled());
    ui().pageControlMain->setCurrentWidget(ui().TSagents);
    EXPECT_TRUE(ui().mnuFileProperties->isEnabled());
    ui().pageControlMain->setCurrentWidget(ui().TSaccounts);
    EXPECT_FALSE(ui().mnuFileProperties->isEnabled());
    EXPECT_FALSE(ui().btnModify->isEnabled());
}

TEST_F(Menus, BothAutoProcessorEntriesOnlyExplain)
{
    ui().EnableAutoProcessor1->trigger();
    ui().DisableAutoProcessor1->trigger();
    EXPECT_EQ(boxTexts(), (std::vector<std::string>(2, TfrmMain::kAutoProcessorText)));
    EXPECT_TRUE(ui().DisableAutoProcessor1->isChecked());
}

TEST_F(Menus, AboutPlaysItsSoundUnlessSoundsAreOffReadEachTime)
{
    test_support::ScopedAsset sound("about.wav", test_support::waveFile());
    ASSERT_TRUE(main->PlayWave(sound.name()));
    writeSettings("[Misc]\nSoundsDisabled=1\n");
    EXPECT_FALSE(main->PlayWave(sound.name()));
    writeSettings("[Misc]\nSoundsDisabled=0\n");
    EXPECT_TRUE(main->PlayWave(sound.name()));

    ui().About1->trigger();
    EXPECT_EQ(dialogs, (std::vector<std::string>{"manager::TSplashForm"}));
}

TEST_F(Menus, RenameEditsTheSelectedItemOnlyAndRefreshFollowsTheTab)
{
    ui().pageControlMain->setCurrentWidget(ui().TSagents);
    main->show();
    auto* item = new QTreeWidgetItem(ui().lstVAgents, QStringList{QStringLiteral("Replier")});
    ui().mnuRename->setEnabled(true);
    ui().mnuRename->trigger();
    const auto editing = [this] {
        auto* editor = ui().lstVAgents->findChild<QLineEdit*>();
        return editor && editor->isVisible();
    };
    EXPECT_FALSE(editing());
    ui().lstVAgents->setCurrentItem(item);
    ui().mnuRename->trigger();
    EXPECT_TRUE(editing());
    ui().Refresh1->trigger();
    EXPECT_EQ(main->ErrorCount(), 0);
}

class HelpPages : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

TEST_F(Menus, HelpEntriesOpenTheShippedDocumentation)
{
    // The build ships README.md beside the tests as beside the programs.
    HelpPages pages;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &pages, "open");
    ui().VisitKalder1->trigger();
    ui().SuggestProductImprovements1->trigger();
    ui().OtherCoolSoftware1->trigger();
    ui().Contents1->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(pages.opened.size(), 3u);
    for (const QUrl& url : pages.opened)
        EXPECT_TRUE(url.toLocalFile().endsWith(QStringLiteral("README.md"))) << url.toString().toStdString();
}

TEST_F(Menus, ResizingFitsTheColumns)
{
    main->resize(800, 500);
    main->FormResize();
    EXPECT_EQ(ui().lstVAgents->columnWidth(0), main->width() - 20);
    EXPECT_EQ(ui().lstVTemplates->columnWidth(0), main->width() - 20);
    QTableView* grid = ui().GridAgentHistory;
    EXPECT_EQ(grid->columnWidth(0), main->width() - grid->columnWidth(1) - grid->columnWidth(2) - 40);
}

TEST_F(Menus, HiddenEntriesOpenTheirWindows)
{
    ui().UpdateSoftware1->trigger();
    EXPECT_EQ(dialogs, (std::vector<std::string>{"manager::TfrmUpdate"}));
    const int before = static_cast<int>(QApplication::topLevelWidgets().size());
    ui().FindMessage1->trigger();
    ui().MailMergeWizard1->trigger();
    ui().Script1->setEnabled(true);
    ui().Script1->trigger();
    EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), before + 3);
}

}  // namespace
}  // namespace managertest

#include "menus_test.moc"
