// Frames, border and meter: the geometry callers rely on, checked on the
// pixels the controls paint.

#include <gtest/gtest.h>

#include <QImage>

#include "controls/tep_border.h"
#include "controls/tep_meter.h"

namespace {

QImage render(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

using G = TEPGraphicControl;

}  // namespace

TEST(GraphicControl, ContentRectangleFollowsTheFrameStyle)
{
    const QRect client(0, 0, 100, 50);
    struct Case {
        G::TEPBorderStyle style;
        QRect inside;
    } cases[] = {
        {G::epbsNone, QRect(0, 0, 100, 50)},       {G::epbsSingle, QRect(1, 1, 98, 48)},
        {G::epbsStatus, QRect(1, 1, 98, 48)},      {G::epbsRaised, QRect(2, 2, 96, 46)},
        {G::epbsLowered, QRect(2, 2, 96, 46)},     {G::epbsGroup, QRect(2, 2, 96, 46)},
        {G::epbsHorizLine, QRect(0, 2, 100, 48)},  {G::epbsVertLine, QRect(2, 0, 98, 50)},
        {G::epbsHorizEdge, QRect(0, 2, 100, 46)},  {G::epbsVertEdge, QRect(2, 0, 96, 50)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(G::ContentRectOf(client, c.style, 0), c.inside) << c.style;
    EXPECT_EQ(G::ContentRectOf(client, G::epbsLowered, 3), QRect(5, 5, 90, 40));
}

TEST(Meter, ValueIsKeptWithinItsLimits)
{
    TEPMeter meter;
    meter.setValue(150);
    EXPECT_EQ(meter.value(), 100);
    meter.setValue(-5);
    EXPECT_EQ(meter.value(), 0);
    meter.setValue(40);
    meter.setMaxValue(20);  // the limits do not move the value
    EXPECT_EQ(meter.value(), 40);
}

TEST(Meter, PercentRoundsLikeMulDivAndSurvivesEqualLimits)
{
    EXPECT_EQ(MulDiv(1, 100, 3), 33);
    EXPECT_EQ(MulDiv(2, 100, 3), 67);
    EXPECT_EQ(MulDiv(-2, 100, 3), -67);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(MulDiv(2147483647, 2, 1), -1);  // too large for an int

    TEPMeter meter;
    meter.setMinValue(10);
    meter.setMaxValue(13);
    meter.setValue(12);
    EXPECT_EQ(meter.percent(), 67u);
    meter.setPercent(50);
    EXPECT_EQ(meter.value(), 12);  // 10 + MulDiv(3, 50, 100) = 10 + 2
    meter.setMinValue(12);
    meter.setMaxValue(12);
    EXPECT_EQ(meter.percent(), 0u);
}

TEST(Meter, BarFillsFromTheLeftOrFromTheBottom)
{
    TEPMeter meter;
    meter.resize(100, 21);
    meter.setShowText(false);
    meter.setValue(50);
    QImage img = render(meter);
    const QRgb navy = qRgb(0, 0, 128), white = qRgb(255, 255, 255);
    // content 2..97: the fill ends at 2 + MulDiv(96, 50, 100) = 50
    EXPECT_EQ(img.pixel(2, 10), navy);
    EXPECT_EQ(img.pixel(49, 10), navy);
    EXPECT_EQ(img.pixel(50, 10), white);
    EXPECT_EQ(img.pixel(97, 10), white);

    meter.resize(21, 100);
    meter.setOrientation(TEPMeter::epoVertical);
    img = render(meter);
    EXPECT_EQ(img.pixel(10, 97), navy);
    EXPECT_EQ(img.pixel(10, 2), white);
}

TEST(Meter, BarTextTakesTheOtherPartsColour)
{
    TEPMeter meter;
    meter.resize(100, 21);
    auto colours = [&] {
        QImage img = render(meter);
        std::set<QRgb> seen;
        for (int y = 2; y < 19; ++y)
            for (int x = 2; x < 98; ++x)
                seen.insert(img.pixel(x, y));
        return seen;
    };
    const QRgb navy = qRgb(0, 0, 128), white = qRgb(255, 255, 255);
    // The text shows as other colours over a one-coloured area (smoothed
    // glyph edges blend the two).
    meter.setValue(0);
    auto atZero = colours();
    EXPECT_TRUE(atZero.count(white));
    EXPECT_GT(atZero.size(), 1u);
    meter.setValue(100);
    auto atFull = colours();
    EXPECT_TRUE(atFull.count(navy));
    EXPECT_FALSE(atFull.count(white) && atFull.size() == 1);
    EXPECT_GT(atFull.size(), 1u);
    meter.setShowText(false);
    auto plain = colours();
    EXPECT_EQ(plain, std::set<QRgb>{navy});
}

TEST(Meter, LedBlocksHaveTheirSizeGapsAndChosenColours)
{
    TEPMeter meter;
    meter.resize(100, 21);
    meter.setMeterStyle(TEPMeter::epmsLED);
    meter.setValue(50);
    std::vector<uint> asked;
    meter.setOnSelectColor([&](TEPMeter*, uint percent, QColor& colour) {
        asked.push_back(percent);
        if (percent >= 30)
            colour = Qt::red;
    });
    const QImage img = render(meter);
    // 4 blocks of 9 pixels from x = 3, 2 pixels apart
    std::vector<std::pair<int, QRgb>> blocks;
    for (int x = 0; x < 100; ++x) {
        const QRgb c = img.pixel(x, 10);
        if (c == qRgb(0, 0, 128) || c == qRgb(255, 0, 0)) {
            if (blocks.empty() || img.pixel(x - 1, 10) != c)
                blocks.push_back({x, c});
        }
    }
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[0].first, 3);
    EXPECT_EQ(blocks[1].first, 14);
    EXPECT_EQ(blocks[3].first, 36);
    EXPECT_EQ(img.pixel(11, 10), qRgb(0, 0, 128));
    EXPECT_EQ(img.pixel(12, 10), qRgb(255, 255, 255));  // the gap
    EXPECT_EQ(blocks[3].second, qRgb(255, 0, 0));
    EXPECT_EQ(std::vector<uint>(asked.begin(), asked.begin() + 4), (std::vector<uint>{0, 11, 22, 33}));
}

TEST(Meter, ThinLedMeterDrawsNoBlocks)
{
    TEPMeter meter;
    meter.resize(100, 7);
    meter.setMeterStyle(TEPMeter::epmsLED);
    meter.setValue(100);
    const QImage img = render(meter);
    EXPECT_EQ(img.pixel(50, 3), qRgb(255, 255, 255));
}

TEST(Meter, OwnerDrawGetsTheContentRectangle)
{
    TEPMeter meter;
    meter.resize(100, 21);
    meter.setMeterStyle(TEPMeter::epmsOwnerDraw);
    QRect given;
    meter.setOnDrawMeter([&](TEPMeter*, QPainter&, const QRect& r) { given = r; });
    render(meter);
    EXPECT_EQ(given, QRect(2, 2, 96, 17));
}

TEST(Border, HorizontalLineDrawsOnlyAlongItsTop)
{
    TEPBorder border;
    border.resize(60, 20);
    border.setBorderStyle(G::epbsHorizLine);
    const QImage img = render(border);
    const QRgb face = border.color().rgb();
    EXPECT_NE(img.pixel(30, 0), face);
    EXPECT_NE(img.pixel(30, 1), face);
    for (int y = 2; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(img.pixel(x, y), face) << x << "," << y;
}

TEST(Border, GroupCaptionCutsTheFrameOnlyWhenThereIsOne)
{
    TEPBorder border;
    border.resize(120, 60);
    border.setBorderStyle(G::epbsGroup);
    const int line = border.fontMetrics().height() / 2 - 1;
    QImage img = render(border);
    EXPECT_NE(img.pixel(0, 30), border.color().rgb());
    // no caption: the frame runs along the very top
    EXPECT_NE(img.pixel(12, 0), border.color().rgb());

    border.setCaption(QStringLiteral("WWWW"));
    img = render(border);
    EXPECT_NE(img.pixel(4, line), border.color().rgb());   // frame left of the caption
    EXPECT_NE(img.pixel(110, line), border.color().rgb()); // and right of it
    EXPECT_EQ(img.pixel(8, line), border.color().rgb());   // cut where the caption starts
}
