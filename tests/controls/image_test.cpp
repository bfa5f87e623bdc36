// The image control: sizing to its picture, sharing another image's
// picture, automatic colour and transparent drawing.

#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>

#include "controls/tep_image.h"

namespace {

QPixmap solid(int w, int h, QColor colour)
{
    QPixmap p(w, h);
    p.fill(colour);
    return p;
}

QImage render(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

TEST(Image, AutoSizeFollowsThePictureAndTheFrame)
{
    TEPImage image;
    image.setBorderStyle(TEPGraphicControl::epbsLowered);
    image.setPicture(solid(32, 32, Qt::green));
    EXPECT_EQ(image.size(), QSize(36, 36));
    image.setBounds(QRect(5, 6, 300, 200));
    EXPECT_EQ(image.geometry(), QRect(5, 6, 36, 36));
}

TEST(Image, AspectStretchLetsTheHeightDriveTheWidth)
{
    TEPImage image;
    image.setStyle(TEPImage::episAspectStretch);
    image.setPicture(solid(100, 50, Qt::green));
    image.setBounds(QRect(0, 0, 10, 100));
    EXPECT_EQ(image.size(), QSize(200, 100));
}

TEST(Image, PictureControlAcceptsOnlyAPictureSource)
{
    QWidget form;
    auto* first = new TEPImage(&form);
    first->setPicture(solid(8, 8, Qt::red));
    auto* second = new TEPImage(&form);
    second->setPicture(solid(8, 8, Qt::blue));

    auto* text = new QLabel(QStringLiteral("just text"), &form);
    second->setPictureControl(text);
    EXPECT_EQ(second->pictureControl(), nullptr);
    EXPECT_EQ(second->picture().toImage().pixel(0, 0), qRgb(0, 0, 255));

    second->setPictureControl(first);
    EXPECT_EQ(second->pictureControl(), first);
    EXPECT_EQ(second->picture().toImage().pixel(0, 0), qRgb(255, 0, 0));
    // it follows later changes of the first image
    first->setPicture(solid(8, 8, Qt::yellow));
    EXPECT_EQ(second->picture().toImage().pixel(0, 0), qRgb(255, 255, 0));

    // an image that shows another's picture cannot be a source itself
    auto* third = new TEPImage(&form);
    third->setPictureControl(second);
    EXPECT_EQ(third->pictureControl(), nullptr);

    delete first;  // the reference clears itself
    EXPECT_EQ(second->pictureControl(), nullptr);
}

TEST(Image, AutoColorTakesTheTransparentColourUntilTheColourIsSetByHand)
{
    QImage pic(4, 4, QImage::Format_RGB32);
    pic.fill(Qt::white);
    pic.setPixel(0, 3, qRgb(10, 20, 30));
    TEPImage image;
    image.setPicture(QPixmap::fromImage(pic));
    image.setAutoColor(true);
    EXPECT_EQ(image.color(), QColor(10, 20, 30));
    EXPECT_TRUE(image.autoColor());
    image.setColor(Qt::black);
    EXPECT_FALSE(image.autoColor());
}

TEST(Image, TransparentBitmapShowsTheBackgroundThrough)
{
    QImage pic(10, 10, QImage::Format_RGB32);
    pic.fill(qRgb(255, 0, 255));  // the bottom-left colour is the see-through one
    for (int y = 2; y < 8; ++y)
        for (int x = 2; x < 8; ++x)
            pic.setPixel(x, y, qRgb(0, 0, 255));
    TEPImage image;
    image.setStyle(TEPImage::episStretch);
    image.resize(10, 10);
    image.setPicture(QPixmap::fromImage(pic));
    image.setColor(Qt::green);
    image.setTransparent(true);
    QImage img = render(image);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 255));
    image.setTransparent(false);
    img = render(image);
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 255));
}

TEST(Image, TileLargerThanTheImageDrawsOneClippedTile)
{
    TEPImage image;
    image.setStyle(TEPImage::episTile);
    image.setBorderStyle(TEPGraphicControl::epbsSingle);
    image.resize(20, 20);
    image.setPicture(solid(50, 50, Qt::red));
    int paints = 0;
    image.setOnPaint([&](TEPImage*, QPainter&) { ++paints; });
    const QImage img = render(image);
    EXPECT_EQ(img.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_NE(img.pixel(0, 0), qRgb(255, 0, 0));  // the frame is not painted over
    EXPECT_EQ(paints, 1);
}

TEST(Image, TileRepeatsASmallPicture)
{
    QImage pic(4, 4, QImage::Format_RGB32);
    pic.fill(Qt::white);
    pic.setPixel(0, 0, qRgb(255, 0, 0));
    TEPImage image;
    image.setStyle(TEPImage::episTile);
    image.resize(10, 10);
    image.setPicture(QPixmap::fromImage(pic));
    const QImage img = render(image);
    EXPECT_EQ(img.pixel(4, 4), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(8, 8), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(5, 5), qRgb(255, 255, 255));
}
