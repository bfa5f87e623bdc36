// Every control placed in a Designer form as a promoted widget, with its
// properties set by the form.

#include <gtest/gtest.h>

#include <QDialog>
#include <QHeaderView>

#include "ui_promoted_controls_form.h"
#include "widget_test_helpers.h"

TEST(PromotedControls, FormSetsEveryControlUp)
{
    QDialog dialog;
    Ui::PromotedControlsForm ui;
    ui.setupUi(&dialog);
    dialog.show();

    EXPECT_EQ(ui.Wizard->PageCount(), 3);
    EXPECT_EQ(ui.Wizard->ActivePage(), ui.SecondPg);  // the stored first page
    EXPECT_FALSE(ui.ThirdPg->include());
    EXPECT_EQ(ui.Wizard->NextButton()->text(), QStringLiteral("&Finish"));
    EXPECT_FALSE(ui.Wizard->HelpButton()->isHidden());
    EXPECT_EQ(ui.HelpRl->toPlainText(), QStringLiteral("Choose the account to read."));

    EXPECT_EQ(ui.Splitter->barPosition(), 70);
    EXPECT_EQ(ui.Splitter->splitDirection(), TTwoWaySplitter::sdHorizontal);
    EXPECT_EQ(ui.Splitter->barColor(), QColor(128, 0, 0));
    EXPECT_EQ(ui.BodyLb->width(), ui.FilesLb->width());  // both panes full width, one above the other
    EXPECT_LT(ui.BodyLb->y(), ui.FilesLb->y());

    EXPECT_EQ(ui.ReplyBt->hint(), QStringLiteral("Reply"));
    EXPECT_TRUE(ui.ReplyBt->down());
    EXPECT_EQ(ui.ReplyBt->buttonLayout(), TExplorerButton::blBitmapLeft);
    EXPECT_EQ(ui.ReplyBt->unselectedFontColor(), QColor(0, 0, 255));
    EXPECT_EQ(ui.StopBt->caption(), QStringLiteral("Stop"));
    EXPECT_EQ(ui.StopBt->borderWidth(), 2);
    EXPECT_EQ(ui.StopBt->roundSize(), 12);

    EXPECT_EQ(static_cast<int>(ui.ResultsLv->ExtendedStyles()), 36);
    EXPECT_EQ(ui.ResultsLv->registryKey(), QStringLiteral("Software\\Tarsel\\Results"));
    EXPECT_FALSE(ui.ResultsLv->saveColumnSizes());
    EXPECT_EQ(ui.ResultsLv->columnCount(), 2);
    EXPECT_EQ(ui.ProgressMt->value(), 40);
    EXPECT_TRUE(SaveScreenshot(dialog, QStringLiteral("promoted_controls_form")));
}
