#include "MImagePlus.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QImage WhiteImage(int w = 80, int h = 80)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 80; }

// Rows [first, last] that hold a dark pixel; (−1, −1) for none.
std::pair<int, int> InkRows(const QImage& image)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Dark(image, x, y)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

}  // namespace

TEST(MImagePlus, WindowsColoursBecomeOpaqueArgb)
{
    EXPECT_EQ(MImagePlus::ToArgb(0x00336699), 0xFF996633u);
    EXPECT_EQ(MImagePlus::ToArgb(0x000000FF), 0xFFFF0000u);  // Windows red
    EXPECT_EQ(MImagePlus::ToArgb(0xFF000000), 0xFF000000u);  // a stray high byte never makes it transparent
    EXPECT_EQ(MImagePlus::ToQColor(0xFF7500), QColor(0x00, 0x75, 0xFF));
}

TEST(MImagePlus, RectangleEdgesAreInclusiveAndTheOutlineCoversOnePixel)
{
    QImage image = WhiteImage();
    MImagePlus s;
    ASSERT_TRUE(s.BeginDraw(&image));
    s.SetFill(false);
    s.DrawRect(10.0f, 10.0f, 20.0f, 30.0f);
    EXPECT_EQ(s.Rect(), QRectF(10, 10, 11, 21));
    s.SetFill(true);
    s.SetBrushColor(0x0000FF);
    s.DrawRect(40, 10, 60, 30);  // the integer form
    s.EndDraw();

    // Outline only: the left and right edges are the single dark columns 10 and 20, the inside stays white.
    EXPECT_TRUE(Dark(image, 10, 20));
    EXPECT_TRUE(Dark(image, 20, 20));
    EXPECT_FALSE(Dark(image, 9, 20));
    EXPECT_FALSE(Dark(image, 11, 20));
    EXPECT_FALSE(Dark(image, 19, 20));
    EXPECT_FALSE(Dark(image, 21, 20));
    EXPECT_EQ(image.pixel(15, 20), qRgb(255, 255, 255));
    // Filled: the fill covers the inside in the brush colour.
    EXPECT_EQ(image.pixel(50, 20), qRgb(255, 0, 0));
    EXPECT_EQ(s.Rect(), QRectF(40, 10, 21, 21));
}

TEST(MImagePlus, PolygonsFillByTheOddEvenRule)
{
    QImage image = WhiteImage(100, 100);
    MImagePlus s;
    ASSERT_TRUE(s.BeginDraw(&image));
    s.SetBrushColor(0x000000);
    // A five-pointed star drawn in one stroke: its middle pentagon is crossed twice and stays open.
    QPointF star[5];
    for (int i = 0; i < 5; ++i) {
        const double a = (90.0 + 144.0 * i) * 3.14159265 / 180.0;
        star[i] = QPointF(50 + 45 * std::cos(a), 50 - 45 * std::sin(a));
    }
    s.DrawPolygon(star, 5);
    s.EndDraw();
    EXPECT_EQ(image.pixel(50, 52), qRgb(255, 255, 255));
    EXPECT_TRUE(Dark(image, 50, 15));  // a point of the star
}

TEST(MImagePlus, TextBoxStartsThreePixelsBelowTheGivenPoint)
{
    MImagePlus s;
    QImage a = WhiteImage(60, 60), b = WhiteImage(60, 60);
    ASSERT_TRUE(s.BeginDraw(&a));
    const float h = s.TextHeight(QStringLiteral("国"));
    EXPECT_NEAR(h, 16.0f, 0.01f);  // one em of 12 points at 96 dpi
    s.DrawText(10.0f, 0.0f, QStringLiteral("国"));
    ASSERT_TRUE(s.BeginDraw(&b));
    s.DrawText(10.0f, 10.0f, QStringLiteral("国"));
    s.EndDraw();

    const auto [top, bottom] = InkRows(a);
    ASSERT_GE(top, 0);
    EXPECT_GE(top, 3);
    EXPECT_LE(bottom, 3 + 16);
    EXPECT_EQ(InkRows(b).first, top + 10);
}

TEST(MImagePlus, FontSizeAndBoldKeepTheOtherAttributes)
{
    QImage image = WhiteImage(100, 60);
    MImagePlus s;
    ASSERT_TRUE(s.BeginDraw(&image));
    const float regular = s.TextWidth(QStringLiteral("国"));
    s.SetFontBold(true);
    s.SetFontColor(0x0000FF);
    s.SetFontSize(24.0f);
    EXPECT_TRUE(s.GetFontBold());
    EXPECT_FLOAT_EQ(s.GetFontSize(), 24.0f);
    EXPECT_NEAR(s.TextWidth(QStringLiteral("国")), 2.0f * regular, 1.0f);
    s.SetFontBold(false);
    EXPECT_FLOAT_EQ(s.GetFontSize(), 24.0f);
    s.SetFontBold(true);
    s.DrawText(5.0f, 5.0f, QStringLiteral("国"));
    s.EndDraw();
    int red = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0))
                ++red;
    EXPECT_GT(red, 20);  // still red after the size change
}

TEST(MImagePlus, UntypographicMeasureAddsASixthOfAnEmEachSide)
{
    MImagePlus s;
    const float plain = s.TextWidth(QStringLiteral("1水 2土"));
    EXPECT_NEAR(s.TextWidth(QStringLiteral("1水 2土"), true) - plain, 2.0f * 16.0f / 6.0f, 0.01f);
}

TEST(MImagePlus, EveryBeginDrawResetsTheTools)
{
    QImage image = WhiteImage();
    MImagePlus s;
    ASSERT_TRUE(s.BeginDraw(&image));
    s.SetPenWidth(3.0f);
    s.SetFill(false);
    s.SetFontSize(30.0f);
    s.SetFontBold(true);
    s.SetPenColor(0x0000FF);
    ASSERT_TRUE(s.BeginDraw(&image));
    EXPECT_FLOAT_EQ(s.GetPenWidth(), 1.0f);
    EXPECT_TRUE(s.GetFill());
    EXPECT_FLOAT_EQ(s.GetFontSize(), 12.0f);
    EXPECT_FALSE(s.GetFontBold());
    s.DrawLine(0.0f, 40.0f, 79.0f, 40.0f);
    s.EndDraw();
    EXPECT_EQ(image.pixel(40, 40), qRgb(0, 0, 0));  // black again, one pixel wide
    EXPECT_EQ(image.pixel(40, 41), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(40, 39), qRgb(255, 255, 255));
}

TEST(MImagePlus, FontSizesAreNinetySixDpiPointsOnAnyDevice)
{
    QImage at96 = WhiteImage(), at72 = WhiteImage();
    at72.setDotsPerMeterX(2835);
    at72.setDotsPerMeterY(2835);
    MImagePlus s;
    ASSERT_TRUE(s.BeginDraw(&at96));
    const float w96 = s.TextWidth(QStringLiteral("国国"));
    ASSERT_TRUE(s.BeginDraw(&at72));
    EXPECT_NEAR(s.TextWidth(QStringLiteral("国国")), w96, 0.5f);
    s.EndDraw();
}

TEST(MImagePlus, BadSizesAndDevicesAreHarmless)
{
    MImagePlus s;
    s.SetFontSize(0.0f);
    EXPECT_FLOAT_EQ(s.GetFontSize(), 1.0f);
    s.SetFontSize(std::nanf(""));
    EXPECT_FLOAT_EQ(s.GetFontSize(), 1.0f);
    s.SetPenWidth(-2.0f);
    EXPECT_FLOAT_EQ(s.GetPenWidth(), 0.0f);

    QImage null;
    EXPECT_FALSE(s.BeginDraw(&null));
    EXPECT_FALSE(s.BeginDraw(nullptr));
    // Without a device every drawing call does nothing.
    s.DrawLine(0, 0, 10, 10);
    s.DrawRect(0, 0, 10, 10);
    s.DrawText(0, 0, QStringLiteral("国"));
    s.DrawTextRotated(5, 5, QStringLiteral("国"), 45);
    EXPECT_FALSE(s.IsDrawing());
    EXPECT_TRUE(s.IsStarted());
}

TEST(MImagePlus, CentredTextIsCentredOnItsPoint)
{
    // Upright and turned: the ink of "国国" is centred on the point, not three pixels below it.
    for (const float angle : {0.0f, 90.0f}) {
        QImage image = WhiteImage(100, 100);
        MImagePlus s;
        ASSERT_TRUE(s.BeginDraw(&image));
        s.SetFontSize(20.0f);
        if (angle == 0.0f)
            s.DrawTextCentred(50.0f, 50.0f, QStringLiteral("国国"));
        else
            s.DrawTextRotated(50.0f, 50.0f, QStringLiteral("国国"), angle);
        s.EndDraw();
        const auto [top, bottom] = InkRows(image);
        EXPECT_NEAR((top + bottom) / 2.0, 50.0, 1.5) << angle;
        if (angle != 0.0f) {
            EXPECT_GT(bottom - top, 40); // turned a quarter, the two characters stand one above the other
        }
    }
}
