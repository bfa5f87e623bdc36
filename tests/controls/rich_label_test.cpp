// The rich label's height against its text (relations rather than pixels,
// since fonts differ between machines), its RTF content and its margins.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTextCursor>
#include <QVBoxLayout>

#include <stdexcept>

#include "controls/mul_div.h"
#include "controls/tep_rich_label.h"
#include "widget_test_helpers.h"

namespace {

int fontStep(const TEPRichLabel& label)
{
    return MulDiv(label.font().pointSize(), label.logicalDpiY(), 72);
}

QString words(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("word%1").arg(i);
    return list.join(QLatin1Char(' '));
}

// Fails the measuring half-way, as a broken font lookup would.
class ThrowingLabel : public TEPRichLabel {
public:
    bool fail = false;

protected:
    int FontPixelHeightAt(int position) const override
    {
        if (fail)
            throw std::runtime_error("font lookup failed");
        return TEPRichLabel::FontPixelHeightAt(position);
    }
};

}  // namespace

TEST(RichLabel, EmptyLabelKeepsItsHeight)
{
    TEPRichLabel label;
    label.resize(200, 37);
    label.setAutoSize(false);
    label.setAutoSize(true);
    EXPECT_EQ(label.height(), 37);
}

TEST(RichLabel, OneLineTakesTheFewestWholeFontStepsThatHoldIt)
{
    TEPRichLabel label;
    label.resize(400, 10);
    label.setRichText(QStringLiteral("Short line"));
    const int step = fontStep(label);
    ASSERT_GT(step, 0);
    EXPECT_EQ(label.height() % step, 0);
    const int lineHeight = QFontMetrics(label.font()).height();
    EXPECT_GE(label.height(), lineHeight);
    EXPECT_LT(label.height() - step, lineHeight);
    EXPECT_EQ(label.FormatRange(400, label.height()), label.TextLength());
    EXPECT_LT(label.FormatRange(400, label.height() - step), label.TextLength());
}

TEST(RichLabel, HeightFollowsTheTextTheWidthAndTheMargins)
{
    TEPRichLabel label;
    label.resize(300, 10);
    label.show();
    label.setRichText(words(5));
    const int oneLine = label.height();
    label.setRichText(words(60));
    const int manyLines = label.height();
    EXPECT_GT(manyLines, oneLine);
    label.resize(150, label.height());  // a narrower label wraps more
    EXPECT_GT(label.height(), manyLines);

    TEPRichLabel inset;
    inset.resize(300, 10);
    inset.Margins().setMeasurementUnits(TEPRichEditMargins::epmuInches);
    inset.Margins().setLeft(1000);
    inset.Margins().setRight(500);
    inset.setRichText(words(60));
    EXPECT_GT(inset.height(), manyLines);

    label.setAutoSize(false);
    label.setRichText(words(200));
    const int fixed = label.height();
    label.setRichText(words(2));
    EXPECT_EQ(label.height(), fixed);  // without AutoSize nothing moves
}

TEST(RichLabel, AdjustHeightEndsOnAZeroFontStepOrNoWidth)
{
    TEPRichLabel label;
    label.resize(300, 44);
    label.setAutoSize(false);
    label.setRichText(QStringLiteral("tiny"));
    QTextCursor cursor(label.document());
    cursor.select(QTextCursor::Document);
    QTextCharFormat tiny;
    tiny.setFontPointSize(0.25);  // rounds to 0 pixels
    cursor.mergeCharFormat(tiny);
    label.setAutoSize(true);
    EXPECT_EQ(label.height(), 44);

    TEPRichLabel narrow;
    narrow.resize(300, 44);
    narrow.Margins().setLeft(1440 * 4);  // four inches: wider than the label
    narrow.setRichText(QStringLiteral("no room"));
    EXPECT_EQ(narrow.height(), 44);
    narrow.resize(0, 44);
    EXPECT_EQ(narrow.height(), 44);
}

TEST(RichLabel, AnExceptionWhileMeasuringLeavesAutoSizeWorking)
{
    ThrowingLabel label;
    label.resize(300, 10);
    label.setAutoSize(false);
    label.setRichText(QStringLiteral("Text"));
    label.fail = true;
    EXPECT_THROW(label.setAutoSize(true), std::runtime_error);
    EXPECT_TRUE(label.autoSize());
    EXPECT_EQ(label.height(), 10);
    label.fail = false;
    label.AdjustHeight();
    EXPECT_GT(label.height(), 10);
}

TEST(RichLabel, RichTextRoundTripsAndBadTextIsNoError)
{
    TEPRichLabel label;
    label.document()->setModified(false);
    label.setRichText(QStringLiteral("{\\rtf1 Plain {\\b bold} text\\par second}"));
    EXPECT_EQ(label.toPlainText(), QStringLiteral("Plain bold text\nsecond"));
    const QString rtf = label.RichText();
    EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf")));
    EXPECT_FALSE(label.document()->isModified());

    TEPRichLabel copy;
    copy.setRichText(rtf);
    EXPECT_EQ(copy.toPlainText(), label.toPlainText());

    EXPECT_NO_THROW(copy.setRichText(QStringLiteral("{\\rtf1 {\\b unbalanced \\'zz \\u99999999")));
    EXPECT_NO_THROW(copy.setRichText(QString()));
    EXPECT_TRUE(copy.toPlainText().isEmpty());
}

TEST(RichLabel, MarginsReadInTheirUnitAndKeepTwips)
{
    TEPRichEditMargins margins;
    margins.setMeasurementUnits(TEPRichEditMargins::epmuInches);
    margins.setLeft(1000);
    EXPECT_EQ(margins.Left(), 1000);
    margins.setMeasurementUnits(TEPRichEditMargins::epmuTwips);
    EXPECT_EQ(margins.Left(), 1440);
    margins.setMeasurementUnits(TEPRichEditMargins::epmuMillimeters);
    margins.setTop(1000);  // 10 mm
    EXPECT_EQ(margins.Top(), 1000);
    margins.setMeasurementUnits(TEPRichEditMargins::epmuTwips);
    EXPECT_EQ(margins.Top(), 570);

    TEPRichEditMargins copy;
    copy.Assign(margins);
    EXPECT_EQ(copy.Left(), 1440);
    EXPECT_EQ(copy.MeasurementUnits(), TEPRichEditMargins::epmuTwips);
}

TEST(RichLabel, Screenshot)
{
    QWidget form;
    form.resize(320, 120);
    auto* label = new TEPRichLabel(&form);
    label->setGeometry(10, 10, 300, 10);
    label->setRichText(QStringLiteral(
        "{\\rtf1{\\colortbl;\\red0\\green0\\blue160;}Enter the {\\b name} of the account, then press "
        "{\\cf1 Next} to choose the mail server that holds its messages.}"));
    form.show();
    EXPECT_TRUE(SaveScreenshot(form, QStringLiteral("rich_label")));
}

TEST(RichLabel, ALayoutGivesAnAutoSizedLabelItsFittedHeightNoMore)
{
    QWidget box;
    auto* layout = new QVBoxLayout(&box);
    auto* label = new TEPRichLabel(&box);
    layout->addWidget(label);
    auto* below = new QLabel(QStringLiteral("Text under it"), &box);
    layout->addWidget(below);
    layout->addStretch();
    box.resize(400, 300);
    label->setRichText(QStringLiteral("Short line"));
    box.show();
    QApplication::processEvents();
    // No taller than the text's two font steps: a scroll area's least
    // height must not open a gap under one line.
    EXPECT_LE(label->height(), 2 * fontStep(*label));
    EXPECT_EQ(label->minimumSizeHint().height(), label->height());
    EXPECT_LE(below->y() - label->geometry().bottom(), layout->spacing() + 1);
}
