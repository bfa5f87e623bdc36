// The account properties dialog at its fixed size: its four tabs whole,
// without scroll arrows, and the tip box without an empty band.
#include "accounts_window_fixture.h"

#include <QTabBar>
#include <QToolButton>

#include "manager/core/account_commands.h"
#include "manager/dialogs/tfrm_modify.h"
#include "ui_tfrm_modify.h"

namespace accountstest {
namespace {

class AccountPropertiesLayout : public AccountsWindowTest {
protected:
    void SetUp() override
    {
        AccountsWindowTest::SetUp();
        addSelectedSalesAccount();
    }
};

TEST_F(AccountPropertiesLayout, ItsFourTabsShowWholeAndTheTipBoxHasNoEmptyBand)
{
    bool opened = false;
    answers["manager::TfrmModify"] = [&opened](QDialog& dialog) {
        opened = true;
        Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.size(), QSize(476, 423));
        QTabBar* bar = u.PageControl1->tabBar();
        const QStringList captions{QStringLiteral("Server / Logon"), QStringLiteral("Processing Schedule"),
                                   QStringLiteral("Message Retrieval Restrictions"), QStringLiteral("Message Agents")};
        EXPECT_EQ(bar->count(), captions.size());
        for (int tab = 0; tab < bar->count() && tab < captions.size(); ++tab) {
            EXPECT_EQ(bar->tabText(tab), captions[tab]);
            EXPECT_LE(bar->tabRect(tab).right(), bar->width() - 1) << captions[tab].toStdString();
            EXPECT_GE(bar->tabRect(tab).width(), bar->fontMetrics().horizontalAdvance(captions[tab]))
                << captions[tab].toStdString();
        }
        for (QToolButton* arrow : bar->findChildren<QToolButton*>())
            EXPECT_FALSE(arrow->isVisible()) << "a scroll arrow shows";
        for (int tab = 0; tab < bar->count(); ++tab) {
            u.PageControl1->setCurrentIndex(tab);
            QApplication::processEvents();
            screenshot(dialog, ("layout_account_properties_tab" + std::to_string(tab + 1)).c_str());
        }

        // The tip box ends just under its last text.
        u.PageControl1->setCurrentWidget(u.TSRestrictions);
        QApplication::processEvents();
        const int textsEnd = u.lblTip2->geometry().bottom();
        EXPECT_LE(u.panelTip->height() - textsEnd, 16)
            << "tip box " << u.panelTip->height() << " high, its texts end at " << textsEnd;
        EXPECT_LE(u.lblQuickTip->height(), 2 * u.lblQuickTip->fontMetrics().height() + 8);
        return int(QDialog::Rejected);
    };
    ui().btnModify->click();
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace accountstest
