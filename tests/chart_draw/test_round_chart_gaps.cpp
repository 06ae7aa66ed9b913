// The texts of the round chart measured on their ink: each drawn alone at the screen's ratio, no two touch, and the
// centre palace keeps inside its circle, in every view and at the sizes people use.
#include "ChartRender.h"
#include "ReferenceHouse.h"
#include "TextInk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct Drawing {
    std::vector<TextInk> inks;
    PanGeometry g;
    float radius = 0;
};

Drawing DrawRound(const ChartDrawData& d, int w, int h, qreal ratio)
{
    ChartTexts texts;
    RenderChart(d, w, h, nullptr, ratio, &texts);
    return {InkOfAll(texts.log, QSize(w, h), ratio), PanGeometryFor(w, h), texts.radius};
}

// Houses whose palaces show every star and numeral: the reference house, the 兼 house, and charts made up so that
// each palace in turn holds each value, the annual, monthly and inner-qi stars too.
std::vector<std::pair<std::string, ChartDrawData>> Houses()
{
    std::vector<std::pair<std::string, ChartDrawData>> houses = {{"reference", ReferenceHouse()}, {"jian", JianHouse()}};
    for (int shift = 0; shift < 9; ++shift) {
        ChartDrawData d = ReferenceHouse();
        for (int p = 0; p < 9; ++p) {
            d.XiaGua[size_t(p)] = {uint8_t((p + shift) % 9), uint8_t((p + 2 * shift + 1) % 9), uint8_t((p + shift + 4) % 9)};
            d.YearStars[size_t(p)] = uint8_t((p + shift + 1) % 9);
            d.MonthStars[size_t(p)] = uint8_t((p + 2 * shift + 5) % 9);
            d.NeiQiStars[size_t(p)] = uint8_t((p + 3 * shift + 2) % 9);
        }
        houses.emplace_back("made-up " + std::to_string(shift), d);
    }
    return houses;
}

}  // namespace

TEST(RoundChartDigits, NoTwoTextsTouchAndTheCentreKeepsInsideItsCircle)
{
    const struct { const char* name; int panel; bool month, neiQi; } views[] = {
        {"plain", PanelXuanKong, false, false},
        {"流年", PanelLiuNian, false, false},
        {"流年 流月", PanelLiuNian, true, false},
        {"流年 流月 内气", PanelLiuNian, true, true},
        {"内气", PanelNeiQi, false, false},
    };
    const struct { int w, h; qreal ratio; } sizes[] = {{500, 580, 1}, {500, 580, 2}, {800, 928, 1}, {1000, 1000, 1}};
    // The gap kept between the ink of two texts, picture pixels: one blank pixel at least, two at 1:1.
    const auto kGap = [](qreal ratio) { return ratio > 1 ? 3 : 2; };
    for (const auto& [house, data] : Houses())
        for (const auto& v : views)
            for (const auto& size : sizes) {
                ChartDrawData d = data;
                d.chartPanel = v.panel;
                d.bShowMonth = v.month;
                d.bShowNeiQi = v.neiQi;
                const Drawing drawn = DrawRound(d, size.w, size.h, size.ratio);
                const std::string where = house + ", " + v.name + ", " + std::to_string(size.w) + "x" +
                                          std::to_string(size.h) + " x" + std::to_string(int(size.ratio)) + ": ";
                const QPointF centre = QPointF(drawn.g.fCenterX + 0.5, drawn.g.fCenterY + 0.5) * size.ratio;
                const auto fromCentre = [&](QPointF p) { return std::hypot(p.x() - centre.x(), p.y() - centre.y()); };
                std::vector<const TextInk*> chart;
                for (const TextInk& ink : drawn.inks)
                    if (!ink.pixels.empty() && fromCentre(ink.box.center()) < 0.9 * drawn.radius * size.ratio)
                        chart.push_back(&ink);
                ASSERT_GT(chart.size(), 24u) << where;
                for (size_t i = 0; i < chart.size(); ++i)
                    for (size_t j = i + 1; j < chart.size(); ++j)
                        EXPECT_GE(InkGap(chart[i]->box, chart[j]->box), kGap(size.ratio))
                            << where << chart[i]->text.text.toStdString() << " and " << chart[j]->text.text.toStdString()
                            << " at " << chart[i]->box.x() << "," << chart[i]->box.y() << " and " << chart[j]->box.x()
                            << "," << chart[j]->box.y();
                // The centre palace's texts, its two stars and numeral with the annual, monthly and inner-qi
                // stars shown: inside the circle of 0.15 of the radius, clear of its line.
                const double circle = 0.15 * drawn.radius * size.ratio;
                const size_t inCentre = 3 + (v.panel == PanelLiuNian ? 1 + v.month + v.neiQi : 0) +
                                        (v.panel == PanelNeiQi ? 1 : 0);
                size_t found = 0;
                for (const TextInk* ink : chart) {
                    if (fromCentre(ink->box.center()) >= circle)
                        continue;
                    ++found;
                    double farthest = 0;
                    for (const QPoint p : ink->pixels)
                        farthest = std::max(farthest, fromCentre(QPointF(p) + QPointF(0.5, 0.5)));
                    EXPECT_LE(farthest, circle - 1.0 * size.ratio - kGap(size.ratio))
                        << where << "centre " << ink->text.text.toStdString();
                }
                EXPECT_EQ(found, inCentre) << where;
            }
}
