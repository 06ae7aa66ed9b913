#include "ChartNameTables.h"
#include "EphConst.h"
#include "MathUtil.h"
#include "NameTables.h"

#include <gtest/gtest.h>

TEST(Numbering, CycleNumbersSpellStemAndBranch)
{
    EXPECT_EQ(GanZhiName(1), "甲子");
    EXPECT_EQ(GanZhiName(0), "癸亥");
    EXPECT_EQ(GanZhiName(59), "壬戌");
    EXPECT_EQ(GanZhiName(41), "甲辰");
    EXPECT_EQ(GanZhiName(-1), "壬戌"); // reduced, never out of range
    EXPECT_EQ(CycleOf(1, 1), 1);
    EXPECT_EQ(CycleOf(0, 0), 0);
    EXPECT_EQ(CycleOf(1, 5), 41);
    EXPECT_EQ(CycleOf(1, 2), -1); // stem and branch of different polarity never meet
}

TEST(Numbering, StarsAndNumerals)
{
    EXPECT_EQ(StarName(9), "九紫");
    EXPECT_EQ(StarName(0), "九紫");
    EXPECT_EQ(StarName(1), "一白");
    EXPECT_EQ(ShuZi(9), "九");
    EXPECT_EQ(XingStateName[StarStateIndex(8, 8)], "旺");
    EXPECT_EQ(XingStateName[StarStateIndex(7, 8)], "退");
    EXPECT_EQ(XingStateName[StarStateIndex(9, 8)], "生");
    EXPECT_EQ(XingStateName[StarStateIndex(5, 8)], "煞");
}

TEST(Numbering, MountainElementsAndPolarity)
{
    for (int m : {3, 4, 9, 15, 16, 21})
        EXPECT_EQ(WuXing(ShanWuXing[m]), "土") << Shan(m);
    EXPECT_EQ(WuXing(ShanWuXing[10]), "木"); // 巽
    EXPECT_EQ(WuXing(ShanWuXing[0]), "水");  // 壬
    EXPECT_EQ(ZhiWuXing[1] % 2, 1);          // 子 yang water in the branch table
    EXPECT_EQ(ZhiWuXing[1] / 2, 0);
    EXPECT_EQ(GanWuXing[1] / 2, 1); // 甲 wood
    EXPECT_EQ(GanWuXing[0] % 2, 0); // 癸 yin
}

TEST(Numbering, NaYinPairs)
{
    EXPECT_EQ(WuXing(NaYinIndex(1)), "金");  // 甲子
    EXPECT_EQ(WuXing(NaYinIndex(2)), "金");  // 乙丑
    EXPECT_EQ(WuXing(NaYinIndex(3)), "火");  // 丙寅
    EXPECT_EQ(WuXing(NaYinIndex(59)), "水"); // 壬戌
    EXPECT_EQ(WuXing(NaYinIndex(0)), "水");  // 癸亥
    EXPECT_EQ(WuXing(NaYinIndex(60)), "水");
}

TEST(Constants, NineDigitPi)
{
    EXPECT_DOUBLE_EQ(EphConst::pi2, 6.2831853);
    EXPECT_NE(EphConst::pi2, 6.283185307179586);
    EXPECT_NEAR(EphConst::arcSecPerRad, 206264.806483, 1e-6);
    EXPECT_NEAR(EphConst::degPerRad, 57.2957795786, 1e-9);
    EXPECT_NEAR(EphConst::earthMeanRadius, 6367.54889324, 1e-7);
    EXPECT_NEAR(EphConst::lightTimeAU, 1.58125074089e-07, 1e-17);
    EXPECT_NEAR(EphConst::moonSemiDiameter, 358508231.961, 1e-3);
    EXPECT_NEAR(EphConst::sunParallax, 4.26352097959e-05, 1e-15);
}

TEST(Rounding, HalvesGoDownOnBothSigns)
{
    EXPECT_EQ(RoundNearest(2.5), 2);
    EXPECT_EQ(RoundNearest(-2.5), -3);
    EXPECT_EQ(RoundNearest(2.5000001), 3);
    EXPECT_EQ(RoundNearest(2.4999), 2);
    EXPECT_EQ(RoundNearest(-2.4), -2);
    EXPECT_EQ(RoundNearest(0.0), 0);
}

TEST(Rounding, FloorModAndDivFollowTheSignOfTheDivisor)
{
    EXPECT_EQ(FloorMod(-1, 10), 9);
    EXPECT_EQ(FloorMod(-10, 10), 0);
    EXPECT_EQ(FloorMod(23, 12), 11);
    EXPECT_EQ(FloorDiv(-1, 20), -1);
    EXPECT_EQ(FloorDiv(-20, 20), -1);
    EXPECT_EQ(FloorDiv(19, 20), 0);
    EXPECT_DOUBLE_EQ(FloorModD(-15.0, 360.0), 345.0);
    EXPECT_DOUBLE_EQ(FloorModD(720.0, 360.0), 0.0);
}
