#include "ChartProbe.h"
#include "ChartRender.h"
#include "ReferenceHouse.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr uint32_t kBlue = 0xFF0000, kRed = 0x0000FF, kGreen = 0x008000, kPurple = 0x800080, kNeiQi = 0xFF7500;
constexpr uint32_t kNavy = 0x800000, kMaroon = 0x000080, kShengPurple = 0x9F0092;

// The 500 × 580 picture: radius 250, centre (250, 290).
const PanGeometry kGeo = PanGeometryFor(500, 580);

QPointF At(double rho, double theta)
{
    const double rad = theta * 0.01745329;
    return QPointF(kGeo.fCenterX + std::cos(rad) * rho, kGeo.fCenterY - std::sin(rad) * rho);
}

float Width(const QString& text, float size, bool bold = false, bool noFormat = false)
{
    MImagePlus s;
    s.SetFontSize(size);
    s.SetFontBold(bold);
    return s.TextWidth(text, noFormat);
}

float Em(float size) { return size * 96.0f / 72.0f; }

// Screen angle of a mountain's centre with south at the top.
double MountainAngle(int m, double pan = 22.5) { return pan - 112.5 - std::fmod(15.0 * m + 345.0, 360.0); }

bool Yang(int m) { return ((m + 23) % 24 / 3) % 2 == 1; }

class RoundChart : public ::testing::Test {
protected:
    ChartDrawData d = ReferenceHouse();
    QImage image = RenderChart(d);
};

}  // namespace

TEST_F(RoundChart, SouthIsAtTheTopAndTheYangMountainsAreTheFilledCells)
{
    const double r = kGeo.fRadius;
    int filled = 0;
    for (int m = 0; m < 24; ++m) {
        const double a = MountainAngle(m) + 5.0;  // beside the name
        const bool darkIn = Gray(image, At(0.565 * r, a)) < 100;
        const bool darkOut = Gray(image, At(0.635 * r, a)) < 100;
        EXPECT_EQ(darkIn, Yang(m)) << "mountain " << m;
        EXPECT_EQ(darkOut, Yang(m)) << "mountain " << m;
        filled += darkIn;
        // The ring lies between 0.55 and 0.65 of the radius: nothing dark just inside or outside it.
        EXPECT_GT(Gray(image, At(0.52 * r, a)), 200) << "mountain " << m;
        EXPECT_GT(Gray(image, At(0.68 * r, a)), 200) << "mountain " << m;
    }
    EXPECT_EQ(filled, 12);
    // At the top: 丙 filled, 午 and 丁 open; 午 itself is straight up, 子 straight down.
    EXPECT_NEAR(std::fmod(MountainAngle(13) + 720, 360), 90.0, 1e-9);
    EXPECT_LT(Gray(image, At(0.565 * r, 105 + 5)), 100);
    EXPECT_GT(Gray(image, At(0.565 * r, 90 + 5)), 200);
    EXPECT_GT(Gray(image, At(0.565 * r, 75 + 5)), 200);
}

TEST_F(RoundChart, EightSpokesLieBetweenThePalaces)
{
    const double r = kGeo.fRadius;
    for (int i = 0; i < 8; ++i) {
        for (const double f : {0.25, 0.45, 0.8}) {
            EXPECT_LT(MinGray(image, At(f * r, 22.5 + 45 * i)), 130) << "spoke " << i << " at " << f;
        }
        for (const double f : {0.2, 0.5})
            EXPECT_GT(MinGray(image, At(f * r, 45.0 * i)), 200) << "axis " << i << " at " << f;
    }
    // Circles at 0.9 and 0.15 of the radius.
    EXPECT_LT(MinGray(image, At(0.9 * r, 30)), 130);
    EXPECT_LT(MinGray(image, At(0.15 * r, 30)), 130);
}

TEST_F(RoundChart, StarsStandAboutAThirdOfTheRadiusOutInTheirColours)
{
    // Normal colours: every star blue; the top palace (离) and the centre hold stars.
    const QPointF top = At(std::trunc(0.35 * kGeo.fRadius), 90);
    EXPECT_NEAR(top.y(), 290 - 87, 0.5);
    EXPECT_GT(CountColour(image, Around(top, 20), kBlue), 40);
    EXPECT_GT(CountColour(image, Around(QPointF(250, 295), 20), kBlue), 40);
    EXPECT_EQ(CountColour(image, Around(top, 20), kRed), 0);

    // By state in period 8: at the top "8 8" both 旺 (red) over 三 (死, navy).
    SetColours(d, ColourWangShuai);
    image = RenderChart(d);
    // The pair above the palace's point, the numeral below it.
    const QRect pair(int(top.x()) - 20, int(top.y()) - 17, 41, 17);
    const QRect numeral(int(top.x()) - 12, int(top.y()) + 1, 25, 17);
    EXPECT_GT(CountColour(image, pair, kRed), 20);
    EXPECT_EQ(CountColour(image, pair, kNavy), 0);
    EXPECT_GT(CountColour(image, numeral, kNavy), 10);
    EXPECT_EQ(CountColour(image, numeral, kRed), 0);
    // Centre "4 3" over 八: 4 and 3 死 (navy), 八 旺 (red).
    EXPECT_GT(CountColour(image, QRect(230, 272, 41, 18), kNavy), 20);
    EXPECT_GT(CountColour(image, QRect(238, 295, 25, 17), kRed), 10);
}

TEST_F(RoundChart, CaptionsTitleDegreeLinesAndLegend)
{
    const int t = kGeo.iTextSize;
    const QString title = QStringLiteral("挨星下卦图");
    const float tx = std::trunc(500 - Width(title, t + 3, true) - 5);
    EXPECT_LT(TextMismatch(image, tx, 3, title, t + 3, true, kRed), 0.05);
    EXPECT_GT(CountColour(image, QRect(int(tx), 3, 500 - int(tx), 25), kRed), 60);
    EXPECT_LT(TextMismatch(image, 5, 13, QStringLiteral("八运子山午向"), t + 3, true, kBlue), 0.05);

    const float hg = Em(t);
    // The last line's box ends 3 pixels above the bottom edge, never on it.
    const float y0 = std::trunc(580 - 3 * (hg + 3) - 3);
    EXPECT_LT(TextMismatch(image, 3, y0, QStringLiteral("门向:午"), t, true, 0), 0.05);
    EXPECT_LT(TextMismatch(image, 3, std::trunc(y0 + hg + 3), QStringLiteral("周天:0度0分(地雷复)"), t, true, 0), 0.05);
    EXPECT_LT(TextMismatch(image, 3, std::trunc(y0 + 2 * (hg + 3)), QStringLiteral("子山午向 戊子火"), t, true, 0),
              0.05);

    const float w = Width(QStringLiteral("1水 2土 3木 4木 5土 6金 7金 8土 9火"), t, false, true);
    const float lx = std::trunc(500 - w - int(Width(QStringLiteral("国"), t)) / 2);
    const float ly = std::trunc(580 - int(hg) / 3 - 2.2f * int(hg));
    EXPECT_LT(TextMismatch(image, lx, ly, QStringLiteral("1生 2死 3死 4煞 5煞 6煞 7退 8旺 9生 "), t, false, 0), 0.1);
    EXPECT_LT(TextMismatch(image, lx, std::trunc(ly + 1.2f * int(hg)),
                           QStringLiteral("1水 2土 3木 4木 5土 6金 7金 8土 9火 "), t, false, 0),
              0.1);
}

TEST_F(RoundChart, TiGuaCaptionNamesBothJianPairs)
{
    d.xiaGua = false;
    image = RenderChart(d);
    const int t = kGeo.iTextSize;
    EXPECT_LT(TextMismatch(image, std::trunc(500 - Width(QStringLiteral("挨星替卦图"), t + 3, true) - 5), 3,
                           QStringLiteral("挨星替卦图"), t + 3, true, kRed),
              0.05);
    const QString line = QStringLiteral("八运子山午向兼");
    EXPECT_LT(TextMismatch(image, 2, 3, line, t - 1, true, kBlue), 0.05);
    const float x = std::trunc(Width(line, t - 1, true) + 5);
    EXPECT_LT(TextMismatch(image, x, 3, QStringLiteral("壬丙"), t - 1, true, kBlue), 0.05);
    EXPECT_LT(TextMismatch(image, x, 3 + Em(t - 1) + 3, QStringLiteral("癸丁"), t - 1, true, kBlue), 0.05);
}

TEST_F(RoundChart, CoordinateModesTurnTheChart)
{
    // 子 at the top: the top palace is 坎, "9 7" over 四: 9 生 (purple), 7 退 (green), 四 煞 (maroon).
    SetColours(d, ColourWangShuai);
    d.iCoord = 2;
    d.PanAngle = 202.5f;
    image = RenderChart(d);
    const QPointF top = At(87, 90);
    EXPECT_GT(CountColour(image, QRect(int(top.x()) - 20, int(top.y()) - 17, 20, 17), kShengPurple), 10);
    EXPECT_GT(CountColour(image, QRect(int(top.x()), int(top.y()) - 17, 20, 17), kGreen), 10);
    EXPECT_GT(CountColour(image, QRect(int(top.x()) - 12, int(top.y()) + 1, 25, 17), kMaroon), 10);
    EXPECT_GT(Gray(image, At(0.565 * kGeo.fRadius, 95)), 200);  // 子 open, 壬 filled beside it
    EXPECT_LT(Gray(image, At(0.565 * kGeo.fRadius, 110)), 100);

    // The sitting mountain at the bottom: 辰 at 124°, its palace 巽 below the centre ("8 6" over 七 in 替卦).
    d = JianHouse();
    SetColours(d, ColourWangShuai);
    d.iCoord = 1;
    d.PanAngle = 146.5f;
    image = RenderChart(d);
    const QPointF bottom = At(87, 146.5 - 112.5 - 3 * 45);  // 巽's palace, 11° beside the axis
    EXPECT_GT(CountColour(image, QRect(int(bottom.x()) - 20, int(bottom.y()) - 17, 20, 17), kRed), 10);
    EXPECT_GT(CountColour(image, QRect(int(bottom.x()), int(bottom.y()) - 17, 20, 17), kMaroon), 10);
    EXPECT_GT(CountColour(image, QRect(int(bottom.x()) - 12, int(bottom.y()) + 1, 25, 17), kGreen), 10);
}

TEST_F(RoundChart, DoorAndCityGateMarks)
{
    const double r = kGeo.fRadius;
    EXPECT_GT(CountColour(image, Around(At(0.71 * r, 90), 8), kRed), 10);  // 门 toward 午
    EXPECT_GT(CountColour(image, Around(At(0.70 * r, 135), 8), kRed), 10);  // 正 toward 巽
    EXPECT_GT(CountColour(image, Around(At(0.70 * r, 45), 8), kRed), 10);   // 副 toward 坤
    d.bChengMen = false;
    image = RenderChart(d);
    EXPECT_EQ(CountColour(image, Around(At(0.70 * r, 135), 8), kRed), 0);
}

TEST_F(RoundChart, EightMansionsChartWithFourLabels)
{
    ShowFourLabels(d);
    d.chartPanel = PanelBaZhai;
    image = RenderChart(d);
    const int t = kGeo.iTextSize;
    const QString title = QStringLiteral("大游年方位图");
    EXPECT_LT(TextMismatch(image, std::trunc(500 - Width(title, t + 3, true) - 5), 5, title, t + 3, true, kRed), 0.05);
    const QString house = QStringLiteral("坎宅");
    // Centred texts are centred on their point (the surface draws a text's box 3 pixels below the point given).
    EXPECT_LT(TextMismatch(image, 250 - Width(house, t + 5) / 2, 290 - Em(t + 5) / 2 - 3, house, t + 5, false, kRed),
              0.05);

    // 离 at the top: 山 延年 (red), 命 六煞 (blue), 向 伏 (green), 门 伏 (purple).
    const double rA = std::trunc(250 * ((0.55 - 0.15) * 7 / 10 + 0.15));
    const double rB = std::trunc(250 * ((0.55 - 0.15) * 3 / 10 + 0.15));
    auto centred = [&](const QString& text, QPointF p, uint32_t colour) {
        const float w = Width(text, t, true);
        return TextMismatch(image, float(p.x()) - w / 2, float(p.y()) - Em(t) / 2 - 3, text, t, true, colour);
    };
    EXPECT_LT(centred(QStringLiteral("延年"), At(rA, 90 + 11.25), kRed), 0.05);
    EXPECT_LT(centred(QStringLiteral("六煞"), At(rA, 90 - 11.25), kBlue), 0.05);
    EXPECT_LT(centred(QStringLiteral("伏"), At(rB, 90 + 11.25), kGreen), 0.05);
    EXPECT_LT(centred(QStringLiteral("伏"), At(rB, 90 - 11.25), 0x984888), 0.05);
    // 坎 at the bottom: 伏位 for the sitting, 绝命 for the owner.
    EXPECT_LT(centred(QStringLiteral("伏位"), At(rA, 270 + 11.25), kRed), 0.05);
    EXPECT_LT(centred(QStringLiteral("绝命"), At(rA, 270 - 11.25), kBlue), 0.05);

    const float hg = Em(t);
    const float ly = std::trunc(std::trunc(580 - int(hg) / 3 - 2.2f * int(hg)) + 1.2f * int(hg));
    const QString legend = QStringLiteral("鬼火 医土 生木 延金 绝金 祸土 煞水 伏木");
    const float lx = std::trunc(500 - Width(legend, t, false, true) - int(Width(QStringLiteral("国"), t)) / 2);
    EXPECT_LT(TextMismatch(image, lx, ly, legend, t, false, 0), 0.05);
}

TEST_F(RoundChart, AnnualOverlayFor2024)
{
    d.chartPanel = PanelLiuNian;
    d.bShowMonth = true;
    d.bShowNeiQi = true;
    image = RenderChart(d);
    const int t = kGeo.iTextSize;
    // Centre: the year star 3 left of the centre in green, the month star 8 right of it in purple, the inner-qi
    // star below in the inner-qi colour.
    const float w = Width(QStringLiteral("3"), t + 1);
    EXPECT_GT(CountColour(image, QRect(int(250 - 2 * w), 285, int(w) + 2, 18), kGreen), 5);
    EXPECT_GT(CountColour(image, QRect(int(250 + 2 * w), 285, int(w) + 2, 18), kPurple), 5);
    EXPECT_GT(CountColour(image, QRect(240, 290 + int(Em(t)), 20, 20), kNeiQi), 5);
    // West (兑, screen angle 0): year star 5 at −5°, month star 1 at +5°, inner qi 1 at −15°.
    const double outer = std::trunc(0.84 * 250), inner = std::trunc(0.775 * 250);
    EXPECT_LT(TextMismatch(image, float(std::trunc(At(outer, -5).x()) - w / 2),
                           float(std::trunc(At(outer, -5).y()) - Em(t + 1) / 2 - 3), "5", t + 1, false, kGreen),
              0.05);
    const float w1 = Width(QStringLiteral("1"), t + 1);
    EXPECT_LT(TextMismatch(image, float(std::trunc(At(outer, 5).x()) - w1 / 2),
                           float(std::trunc(At(outer, 5).y()) - Em(t + 1) / 2 - 3), "1", t + 1, false, kPurple),
              0.05);
    EXPECT_GT(CountColour(image, Around(At(inner, -15), 10), kNeiQi), 5);

    const QString year = QStringLiteral("甲辰年");
    const float yw = Width(year, t), yh = Em(t);
    EXPECT_LT(TextMismatch(image, 500 - 1.8f * yw, 580 - 5.3f * yh, year, t, false, 0), 0.05);
    EXPECT_LT(TextMismatch(image, 500 - 1.8f * yw, 580 - 5.3f * yh + yh + 3, QStringLiteral("2024年申月"), t, false, 0),
              0.05);

    // Without the month and inner-qi switches only the year stars are added.
    d.bShowMonth = d.bShowNeiQi = false;
    image = RenderChart(d);
    EXPECT_EQ(CountColour(image, image.rect(), kPurple, 20), 0);
    EXPECT_EQ(CountColour(image, image.rect(), kNeiQi, 20), 0);
    EXPECT_GT(CountColour(image, image.rect(), kGreen, 20), 50);
}

TEST_F(RoundChart, InnerQiView)
{
    d.chartPanel = PanelNeiQi;
    image = RenderChart(d);
    const int t = kGeo.iTextSize;
    const QString caption = QStringLiteral("内气星盘");
    EXPECT_LT(TextMismatch(image, 500 - Width(caption, t) - 8, 580 - 4 * Em(t), caption, t, false, 0), 0.05);
    EXPECT_GT(CountColour(image, image.rect(), kNeiQi, 20), 50);
    EXPECT_EQ(CountColour(image, image.rect(), kGreen, 20), 0);
}

TEST_F(RoundChart, FloorPlanLeavesTheRingUnfilledAndWhiteCanBeMadeTransparent)
{
    d.hasPlan = true;
    image = RenderChart(d);
    EXPECT_GT(Gray(image, At(0.565 * 250, 105 + 5)), 200);  // 丙 outlined only
    EXPECT_GT(CountColour(image, Around(At(0.6 * 250, 105), 8), kRed), 10);  // its name in red
    const QImage shown = ChartPainter::WhiteToTransparent(image);
    EXPECT_EQ(qAlpha(shown.pixel(100, 100)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(250, 65)), 255);  // the 0.9 circle stays
}

TEST(ChartViews, UnknownModeDrawsNothingRoundAndTheFrameOnlySquare)
{
    ChartDrawData d = ReferenceHouse();
    d.chartPanel = 7;
    QImage image(500, 580, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(128, 128, 128));
    MImagePlus s;
    s.BeginDraw(&image);
    ChartPainter(s, d, kGeo).Draw();
    s.EndDraw();
    EXPECT_EQ(image.pixel(250, 150), qRgb(128, 128, 128));

    d.iPanShape = 1;
    image = RenderChart(d);
    EXPECT_LT(MinGray(image, QPointF(109, 200)), 100);  // the grid
    // The frame lies on the picture's outermost pixels, all four edges.
    for (const QPoint p : {QPoint(0, 300), QPoint(499, 300), QPoint(250, 0), QPoint(250, 579)})
        EXPECT_LT(qGray(image.pixel(p)), 60) << p.x() << "," << p.y();
    EXPECT_EQ(CountColour(image, QRect(109, 149, 283, 283), kBlue, 20), 0);  // no stars
}

TEST(ChartViews, TinyPicturesDrawEveryViewWithoutFault)
{
    for (const int shape : {0, 1})
        for (const int mode : {0, 1, 2, 3, 4, 100}) {
            ChartDrawData d = ReferenceHouse();
            ShowFourLabels(d);
            d.iPanShape = shape;
            d.chartPanel = mode;
            d.bShowMonth = d.bShowNeiQi = true;
            const QImage image = RenderChart(d, 1, 1);
            EXPECT_EQ(image.size(), QSize(100, 100));
        }
}

TEST(SquareChart, GridFrameAndStars)
{
    ChartDrawData d = ReferenceHouse();
    d.iPanShape = 1;
    SquareLayout layout;
    const QImage image = RenderChart(d, 500, 580, &layout);
    EXPECT_EQ(layout.rcGrid, QRect(QPoint(109, 149), QPoint(391, 431)));
    EXPECT_EQ(layout.iBaseShan, 1);
    EXPECT_FLOAT_EQ(layout.fRingInner, 0.8f);
    for (int i = 0; i <= 3; ++i) {
        EXPECT_LT(MinGray(image, QPointF(109 + 94 * i, 165)), 100) << "column line " << i;
        EXPECT_LT(MinGray(image, QPointF(120, 149 + 94 * i)), 100) << "row line " << i;
    }
    // 离 at the top middle: mountain star 8 upper left, facing star 8 upper right, 三 below, all blue.
    EXPECT_GT(CountColour(image, QRect(203, 149, 47, 47), kBlue), 20);
    EXPECT_GT(CountColour(image, QRect(250, 149, 47, 47), kBlue), 20);
    EXPECT_GT(CountColour(image, QRect(216, 196, 68, 40), kBlue), 20);
    const int t = kGeo.iTextSize;
    const float w = Width("8", t + 3, true, true);
    EXPECT_LT(TextMismatch(image, (47 - w) / 2 + 203, (47 - Em(t + 3)) / 2 + 149, "8", t + 3, true, kBlue, true), 0.05);

    // The ring: 子 centred at the bottom and open, 壬 beside it filled, 癸 open.
    const double r = 250;
    EXPECT_GT(Gray(image, At(0.815 * r, 266)), 200);
    EXPECT_LT(Gray(image, At(0.815 * r, 289)), 100);
    EXPECT_GT(Gray(image, At(0.815 * r, 251)), 200);
    // Blue lines between the trigram groups, at 子 ± 22.5°.
    EXPECT_GT(CountColour(image, Around(At(0.85 * r, 270 + 22.5), 2), kBlue, 60), 0);
    EXPECT_GT(CountColour(image, Around(At(0.85 * r, 270 - 22.5), 2), kBlue, 60), 0);
}

TEST(SquareChart, RedAxisWithTheArrowheadAtTheFacing)
{
    ChartDrawData d = ReferenceHouse();
    d.iPanShape = 1;
    const QImage image = RenderChart(d);
    EXPECT_GT(CountColour(image, QRect(248, 455, 5, 10), kRed), 3);   // sitting end below the grid
    EXPECT_GT(CountColour(image, QRect(248, 115, 5, 10), kRed), 3);   // facing end above it
    EXPECT_GT(CountColour(image, QRect(240, 488, 21, 5), kRed), 20);  // the bar on the ring at the sitting end
    // The arrowhead at the top is wider than the line; at the bottom there is none.
    EXPECT_GT(CountColour(image, QRect(238, 94, 25, 1), kRed), 4);
    EXPECT_LE(CountColour(image, QRect(238, 480, 25, 1), kRed), 3);
}

TEST(SquareChart, TurnsOnlyInWholeTrigramSteps)
{
    ChartDrawData d = ReferenceHouse();
    d.iPanShape = 1;
    const QImage base = RenderChart(d);
    d.PanAngle = 40.0f;
    EXPECT_EQ(RenderChart(d), base);
    d.PanAngle = 67.5f;
    SquareLayout layout;
    EXPECT_NE(RenderChart(d, 500, 580, &layout), base);
    EXPECT_EQ(layout.iBaseShan, 4);  // 艮's group at the bottom
    EXPECT_EQ(ChartPainter::BaseShan(22.5f), 1);
    EXPECT_EQ(ChartPainter::BaseShan(202.5f), 13);  // 午 at the bottom
}

TEST(SquareChart, DoorSquareAndCityGateCircles)
{
    ChartDrawData d = ReferenceHouse();
    d.iPanShape = 1;
    QImage image = RenderChart(d);
    const double r = 250;
    EXPECT_GT(CountColour(image, Around(At(0.85 * r, 97.5 - 3), 5), kRed), 8);  // 午's door square
    // 巽's main gate: a white circle with a cross on the filled sector, only in the flying-star views.
    const QRect gate = Around(At(0.85 * r, 142.5 - 12), 4);
    const int lightWithGate = CountExact(image, gate, 0xFFFFFF, 100);
    d.chartPanel = PanelBaZhai;
    image = RenderChart(d);
    EXPECT_GT(lightWithGate, CountExact(image, gate, 0xFFFFFF, 100) + 8);
}

TEST(SquareChart, OverlaysFor2024)
{
    ChartDrawData d = ReferenceHouse();
    d.iPanShape = 1;
    d.chartPanel = PanelLiuNian;
    d.bShowMonth = d.bShowNeiQi = true;
    const QImage image = RenderChart(d);
    // Each palace carries a green, a purple and a blue-orange star on its middle line: the centre 3, 8, 3.
    const QRect centreLine(203 + 5, 243 + 47 - 12, 80, 24);
    EXPECT_GT(CountColour(image, centreLine, kGreen), 5);
    EXPECT_GT(CountColour(image, centreLine, kPurple), 5);
    EXPECT_GT(CountColour(image, centreLine, kNeiQi), 5);
    // West (兑, middle right): year star 5.
    const QRect westLine(297 + 5, 243 + 47 - 12, 80, 24);
    EXPECT_GT(CountColour(image, westLine, kGreen), 5);
    const int t = kGeo.iTextSize;
    const QString year = QStringLiteral("甲辰年");
    EXPECT_LT(TextMismatch(image, 500 - 1.8f * Width(year, t), 580 - 5.3f * Em(t), year, t, false, 0), 0.05);
}

TEST(ChartPictures, CaptionsAndLegendsKeepClearOfTheChartAtAnyShape)
{
    // Every view, round and square, at the sizes people drag the picture to: no caption, degree line or legend
    // reaches the chart's outer ring (or the degree numbers outside it).
    const std::pair<int, int> sizes[] = {{500, 580}, {800, 800}, {1000, 1000}, {640, 600}, {1200, 640}, {300, 320}};
    for (const auto& [w, h] : sizes)
        for (int view = PanelXuanKong; view <= PanelLiuNian8; ++view)
            for (int shape = 0; shape <= 1; ++shape)
                for (const bool zhouTian : {false, true}) {
                    ChartDrawData d = ReferenceHouse();
                    ShowFourLabels(d);
                    d.chartPanel = view;
                    d.iPanShape = shape;
                    d.bZhouTian = zhouTian;
                    d.bShowMonth = d.bShowNeiQi = true;
                    const PanGeometry g = PanGeometryFor(w, h);
                    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
                    MImagePlus s;
                    s.BeginDraw(&image);
                    ChartPainter painter(s, d, g);
                    painter.Draw();
                    s.EndDraw();
                    const double reach = (shape == 0 && zhouTian ? kZhouTianNumbers : 0.9) * painter.Radius();
                    EXPECT_GT(painter.Radius(), 0.75 * g.fRadius) << w << "x" << h;
                    ASSERT_FALSE(painter.CornerBoxes().empty());
                    for (const QRectF& box : painter.CornerBoxes()) {
                        const double nx = std::clamp(double(g.fCenterX), box.left(), box.right());
                        const double ny = std::clamp(double(g.fCenterY), box.top(), box.bottom());
                        EXPECT_GT(std::hypot(nx - g.fCenterX, ny - g.fCenterY), reach)
                            << w << "x" << h << " view " << view << " shape " << shape << " zhoutian " << zhouTian;
                    }
                    if ((view == PanelXuanKong || view == PanelLiuNian8) && !zhouTian && (w == h || w == 500))
                        SavePng(image, QStringLiteral("%1_%2_%3x%4")
                                           .arg(shape == 0 ? "round" : "square", view == PanelXuanKong ? "xiagua" : "liunian8")
                                           .arg(w)
                                           .arg(h));
                }
}

TEST(ChartPictures, DoorAndGateMarksKeepClearOfTheTrigramNames)
{
    // The door on each mountain in turn, at three sizes: no red of the marks inside the box of a trigram name.
    for (const auto& [w, h] : {std::pair{500, 580}, {800, 800}, {1000, 1000}})
        for (int door = 0; door < 24; ++door) {
            ChartDrawData d = ReferenceHouse();
            d.door = door;
            d.ChengMen[0][0] = uint8_t((door + 3) % 24);
            d.ChengMen[1][0] = uint8_t((door + 9) % 24);
            const PanGeometry g = PanGeometryFor(w, h);
            QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
            MImagePlus s;
            s.BeginDraw(&image);
            ChartPainter painter(s, d, g);
            painter.Draw();
            s.EndDraw();
            const double r = painter.Radius();
            const float em = (g.iTextSize + 2) * 96.0f / 72.0f;
            for (int i = 0; i < 8; ++i) {
                const double a = (d.PanAngle - 45.0 * i - 22.5) * M_PI / 180.0;
                const QPointF c(g.fCenterX + 0.775 * r * std::cos(a), g.fCenterY - 0.775 * r * std::sin(a));
                const QRect box(int(c.x() - em / 2), int(c.y() - em / 2), int(em) + 1, int(em) + 1);
                EXPECT_EQ(CountColour(image, box, kRed), 0) << w << "x" << h << " door " << door << " name " << i;
            }
        }
}

TEST(ChartPictures, DegreeLineCarriesTheMinutesIntoTheDegrees)
{
    // 120.9999° reads 121度0分, as in the header, so the two pictures are the same.
    for (const int shape : {0, 1}) {
        ChartDrawData d = ReferenceHouse();
        d.iPanShape = shape;
        d.degree = 121.0f;
        const QImage whole = RenderChart(d);
        d.degree = std::nextafter(121.0f, 0.0f) - 0.0001f;
        EXPECT_EQ(RenderChart(d), whole) << shape;
    }
}
