#include "SkinDraw.h"
#include "SkinImage.h"
#include "SkinTestPictures.h"

#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QImage filled(int w, int h, QRgb c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

qint64 area(const QRegion &r)
{
    qint64 a = 0;
    for (const QRect &rect : r)
        a += qint64(rect.width()) * rect.height();
    return a;
}

TEST(SkinPixels, BitmapToRegionKeepsOpaquePixels)
{
    QImage checker(64, 64, QImage::Format_RGB32); // 2,048 runs: more than one batch of rectangles
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 0, 255) : qRgb(0, 0, 0));
    const struct Case {
        const char *what;
        QImage image;
        int tolerance;
        qint64 area;
        QRect bounds;
    } cases[] = {
        {"all transparent", filled(10, 7, qRgb(255, 0, 255)), 0, 0, QRect()},
        {"all opaque", filled(10, 7, qRgb(1, 2, 3)), 0, 70, QRect(5, -2, 10, 7)},
        {"0xFF01FF within a tolerance of 1", filled(10, 7, qRgb(255, 1, 255)), 1, 0, QRect()},
        {"0xFF01FF without tolerance", filled(10, 7, qRgb(255, 1, 255)), 0, 70, QRect(5, -2, 10, 7)},
        {"checker", checker, 0, 2048, QRect(5, -2, 64, 64)},
    };
    for (const Case &c : cases) {
        const QRegion r = BitmapToRegion(c.image, 5, -2, SkinTransparent, c.tolerance, c.tolerance, c.tolerance);
        EXPECT_EQ(area(r), c.area) << c.what;
        EXPECT_EQ(r.boundingRect(), c.bounds) << c.what;
    }
}

TEST(SkinPixels, BlendHsvAndTransparentKey)
{
    const struct BlendCase {
        quint32 a, b;
        int weight;
        quint32 expected;
    } blends[] = {
        {0xFFFFFF, 0, 50, 0x808080},  {0xFFFFFF, 0, 500, 0x808080}, {0x0000FF, 0xFF0000, 150, 0xD90026},
        {0xFFFFFF, 0, 2000, 0xFFFFFF}, {0, 0xFFFFFF, 2000, 0}, // weights above the scale are kept to 0..255
    };
    for (const BlendCase &c : blends)
        EXPECT_EQ(Blend(c.a, c.b, c.weight), c.expected) << c.weight;

    const struct HsvCase {
        int r, g, b, hue, saturation;
    } hsv[] = {{255, 0, 0, 0, 255},     {100, 50, 50, 0, 200},  {0, 255, 0, 85, 255},
               {0, 0, 255, 170, 255},   {200, 200, 200, 0, 0},  {255, 128, 0, 21, 255}};
    for (const HsvCase &c : hsv) {
        int hue = -1, saturation = -1;
        GetHSV(RGBToColor(c.r, c.g, c.b), hue, saturation);
        EXPECT_EQ(hue, c.hue) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(saturation, c.saturation) << c.r << "," << c.g << "," << c.b;
    }

    QImage img = filled(2, 1, qRgb(255, 0, 255));
    img.setPixel(1, 0, qRgb(254, 0, 255));
    ChangeTrans(img, 0x00FF00);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(254, 0, 255));
}

TEST(SkinPixels, GradientRampsAreCachedInARingOfSixteen)
{
    bool hit = true;
    const std::vector<QRgb> ramp = GradientRamp(5, 0x000000, 0x28C864, &hit); // to (100, 200, 40)
    EXPECT_FALSE(hit);
    EXPECT_EQ(ramp, (std::vector<QRgb>{qRgb(0, 0, 0), qRgb(25, 50, 10), qRgb(50, 100, 20), qRgb(75, 150, 30),
                                       qRgb(100, 200, 40)}));
    EXPECT_EQ(GradientRamp(1, 0x000000, 0x0303FF), (std::vector<QRgb>{qRgb(127, 1, 1)}));
    GradientRamp(5, 0x000000, 0x28C864, &hit);
    EXPECT_TRUE(hit);
    for (int i = 0; i < 14; ++i)
        GradientRamp(100 + i, 0, 0xFFFFFF);
    GradientRamp(5, 0x000000, 0x28C864, &hit); // 15 newer ramps: still held
    EXPECT_TRUE(hit);
    for (int i = 0; i < 16; ++i)
        GradientRamp(200 + i, 0, 0xFFFFFF);
    GradientRamp(5, 0x000000, 0x28C864, &hit); // overwritten after the ring wrapped
    EXPECT_FALSE(hit);

    // A clipped fill paints only the visible bands, each with the colour of the whole gradient.
    QImage whole = filled(40, 10, qRgb(1, 1, 1)), part = whole;
    {
        QPainter p(&whole);
        GradFill(p, QRect(0, 0, 40, 10), 0x0000FF, 0xFF0000, false);
    }
    {
        QPainter p(&part);
        p.setClipRect(QRect(10, 0, 15, 10));
        GradFill(p, QRect(0, 0, 40, 10), 0x0000FF, 0xFF0000, false);
    }
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(part.pixel(x, 5), x >= 10 && x < 25 ? whole.pixel(x, 5) : qRgb(1, 1, 1)) << x;
}

TEST(SkinPixels, NineGridFramesAndDroppedEnds)
{
    const QImage strip = ButtonStrip(2); // two 24 x 16 frames, border 4
    EXPECT_EQ(SkinFrameRect(strip, 2, 2), QRect(24, 0, 24, 16));
    EXPECT_EQ(SkinFrameRect(strip, 2, 7), QRect(24, 0, 24, 16));   // past the strip: its last frame
    EXPECT_EQ(SkinFrameRect(strip, 0, 1), QRect(0, 0, 48, 16));    // a count of 0 reads as 1
    EXPECT_EQ(SkinFrameRect(strip, 2, 2, true), QRect(0, 8, 48, 8));
    const QRgb border1 = strip.pixel(1, 5), centre1 = strip.pixel(12, 5), centre2 = strip.pixel(36, 5);

    const struct Case {
        QSize size;
        int frame;
        QPoint at;
        QRgb expected;
    } cases[] = {
        {{100, 40}, 1, {2, 20}, border1},   // left edge keeps its 4 pixels
        {{100, 40}, 1, {50, 2}, border1},   // top edge
        {{100, 40}, 1, {30, 12}, centre1},  // the centre stretched
        {{100, 40}, 1, {0, 0}, qRgb(255, 0, 255)}, // the corner keeps the key
        {{100, 40}, 2, {30, 12}, centre2},
        {{7, 40}, 1, {3, 12}, centre1},     // narrower than both ends: no ends across
        {{7, 40}, 1, {3, 2}, border1},      // ... but the top end stays
        {{-3, 10}, 1, {}, 0},               // negative width: nothing
    };
    for (const Case &c : cases) {
        const QImage out = GetHMap(c.size, strip, QMargins(4, 4, 4, 4), false, false, 2, c.frame);
        if (c.size.width() < 0) {
            EXPECT_TRUE(out.isNull());
            continue;
        }
        EXPECT_EQ(out.pixel(c.at), c.expected) << c.size.width() << "x" << c.size.height() << " " << c.at.x();
    }

    // Drawn transparent, the key leaves the ground.
    QImage ground = filled(30, 20, qRgb(9, 9, 9));
    QPainter p(&ground);
    DrawRect2(p, QRect(0, 0, 30, 20), strip, QMargins(4, 4, 4, 4), false, true, true, 2, 1);
    p.end();
    EXPECT_EQ(ground.pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_EQ(ground.pixel(1, 10), border1);
}

// A parent that paints its left half red and its right half blue.
class SplitWidget : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(QRect(0, 0, width() / 2, height()), Qt::red);
        p.fillRect(QRect(width() / 2, 0, width() - width() / 2, height()), Qt::blue);
    }
};

TEST(SkinPixels, ParentImageIsWhatLiesUnderTheControl)
{
    SplitWidget parent;
    parent.resize(100, 40);
    QWidget child(&parent);
    child.setGeometry(40, 10, 20, 20); // straddles the split at x = 50
    QImage under = filled(20, 20, qRgb(0, 255, 0));
    QPainter p(&under);
    DrawParentImage(&child, p);
    p.end();
    EXPECT_EQ(under.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(under.pixel(15, 15), qRgb(0, 0, 255));
    QImage orphan = filled(4, 4, qRgb(0, 255, 0));
    QPainter q(&orphan);
    DrawParentImage(&parent, q); // no parent: nothing drawn
    q.end();
    EXPECT_EQ(orphan.pixel(1, 1), qRgb(0, 255, 0));
}

} // namespace
