// Compass degrees: mountain items and 兼, the offset from the centre, hexagrams and 分金.
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace {

TEST(Degrees, ItemAndJian)
{
    EXPECT_EQ(DegreeToItem(0.0, 4.5), 5);    // 子山午向
    EXPECT_EQ(DegreeToItem(4.5, 4.5), 5);    // exactly fJian stays pure
    EXPECT_EQ(DegreeToItem(4.6, 4.5), 6);    // 子山兼癸
    EXPECT_EQ(DegreeToItem(355.4, 4.5), 4);  // 子山兼壬
    EXPECT_EQ(DegreeToItem(337.5, 4.5), 0);  // 壬山兼亥
    EXPECT_EQ(DegreeToItem(359.0, 0.5), 4);  // 兼壬
    EXPECT_EQ(DegreeToItem(360.0, 4.5), 5);
    EXPECT_EQ(DegreeToItem(124.0, 4.5), 37); // 辰, 4° off its centre
    EXPECT_EQ(DegreeToItem(124.0, 3.0), 38); // 辰山兼巽 under a narrower 兼
    EXPECT_EQ(DegreeToItem(std::nan(""), 4.5), -1);
    EXPECT_EQ(DegreeToItem(std::numeric_limits<double>::infinity(), 4.5), -1);
    // Every degree lands on a mountain item, never on a separator, and in the mountain that holds it.
    for (int tenth = 0; tenth < 3600; ++tenth) {
        const double deg = tenth / 10.0;
        const int item = DegreeToItem(deg, 4.5);
        ASSERT_TRUE(IsMountainItem(item)) << deg;
        EXPECT_EQ(item / 4, MountainOfDegree(deg)) << deg;
    }
}

// Degrees and the 兼 width are kept as 32-bit floats; a degree typed exactly fJian from any mountain's centre
// keeps the pure mountain, and one a hundredth further is a 兼, for widths that floats cannot hold exactly too.
TEST(Degrees, JianEdgeWithStoredFloats)
{
    for (double width : {3.0, 3.3, 4.4, 4.5, 5.1, 6.6, 7.0}) {
        const double jian = static_cast<float>(width);
        for (int m = 0; m < 24; ++m) {
            const double c = MountainCentre(m);
            const auto stored = [](double deg) { return double(static_cast<float>(FloorModD(deg, 360.0))); };
            EXPECT_EQ(DegreeToItem(stored(c + width), jian), 4 * m + 1) << width << " " << m;
            EXPECT_EQ(DegreeToItem(stored(c - width), jian), 4 * m + 1) << width << " " << m;
            EXPECT_EQ(DegreeToItem(stored(c + width + 0.01), jian), 4 * m + 2) << width << " " << m;
            EXPECT_EQ(DegreeToItem(stored(c - width - 0.01), jian), 4 * m) << width << " " << m;
        }
    }
}

TEST(Degrees, MountainEdges)
{
    const int zi = MountainIndex("子");
    EXPECT_EQ(MountainOfDegree(352.5), zi); // the start of a mountain belongs to it
    EXPECT_EQ(MountainOfDegree(7.5), MountainIndex("癸"));
    EXPECT_EQ(MountainOfDegree(-7.0), zi);
    EXPECT_EQ(MountainOfDegree(337.4999), MountainIndex("亥"));
}

TEST(Degrees, OffsetWithMinuteCarry)
{
    EXPECT_EQ(ToDegMin(120.9999).deg, 121);
    EXPECT_EQ(ToDegMin(120.9999).min, 0);
    EXPECT_EQ(ToDegMin(4.5).deg, 4);
    EXPECT_EQ(ToDegMin(4.5).min, 30);
    // A bearing stays in one turn, whatever side of it the value lies.
    for (const auto& [angle, deg, min] : {std::tuple{359.9999, 0, 0}, {-0.5, 359, 30}, {720.25, 0, 15}}) {
        EXPECT_EQ(ToDegMin(angle).deg, deg) << angle;
        EXPECT_EQ(ToDegMin(angle).min, min) << angle;
    }
    const DegMin d = ToDegMin(DistanceFromCentre(MountainIndex("巽"), 144.9999));
    EXPECT_EQ(d.deg, 10);
    EXPECT_EQ(d.min, 0);
    EXPECT_DOUBLE_EQ(DistanceFromCentre(MountainIndex("子"), 359.0), 1.0);
}

TEST(Degrees, HexagramAndFenJin)
{
    EXPECT_EQ(GuaName[HexagramOfDegree(0.0)], "地雷复");
    EXPECT_EQ(GuaName[HexagramOfDegree(180.0)], "天风姤");
    const int zi = MountainIndex("子");
    EXPECT_EQ(GanZhiName(FenJinOfDegree(zi, 0.0)), "戊子");
    EXPECT_EQ(GanZhiName(FenJinOfDegree(zi, 3.0)), "庚子");
    EXPECT_EQ(GanZhiName(FenJinOfDegree(zi, 352.5)), "甲子");
    EXPECT_EQ(GanZhiName(FenJinOfDegree(MountainIndex("壬"), 338.0)), "乙亥");
    // Every 分金 of a mountain carries the mountain's own branch pair.
    for (int m = 0; m < 24; ++m)
        for (int k = 0; k < 5; ++k) {
            const int cycle = FenJinOfDegree(m, MountainStart(m) + 3 * k + 1);
            EXPECT_EQ(CycleBranch(cycle), FloorMod(m - 23, 24) / 2) << m;
        }
}

TEST(Degrees, CheckDegreeOnTheChart)
{
    TempProgramFolder folder;
    MQuorin q;
    TRecordData rec = ReferenceHouse();
    rec.degree = 20.0f; // 癸, not 子
    EXPECT_FALSE(q.ComputeChart(rec));
    EXPECT_EQ(q.sMessage, QStringLiteral("这个周天度不在这个座山内,请确认一下周天度。"));
    rec.degree = 352.5f;
    EXPECT_TRUE(q.ComputeChart(rec));
    rec.degree = 7.5f; // the end of 子 is the start of 癸
    EXPECT_FALSE(q.ComputeChart(rec));
}

TEST(Degrees, DraggingTheDegree)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.ComputeChart(ReferenceHouse()));
    q.Rec.degree = 125.0f;
    ASSERT_TRUE(q.ReCalcForDegree());
    EXPECT_EQ(q.Rec.mountain, 38);
    EXPECT_EQ(ShanName[q.ZuoShan], "辰");
    EXPECT_EQ(ShanName[q.JianShan], "巽");
    EXPECT_EQ(q.JianSide, 1);
    EXPECT_EQ(q.PianDu, 5);
    EXPECT_EQ(q.PianFen, 0);
    EXPECT_EQ(q.XiaGua, XiaGuaChart(q.ZuoShan, 8));
    // A degree that is not a number changes nothing.
    const auto before = q.XiaGua;
    q.Rec.degree = std::nanf("");
    EXPECT_FALSE(q.ReCalcForDegree());
    EXPECT_EQ(q.Rec.mountain, 38);
    EXPECT_EQ(q.XiaGua, before);
}

} // namespace
