// Periods, year cycle numbers, 纳音, and the annual, monthly and inner-qi stars.
#include "ChartNameTables.h"
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "FlyStarCalc.h"
#include "MQuorin.h"

#include <gtest/gtest.h>

namespace {

TEST(Periods, PeriodOfYear)
{
    struct Case {
        int year, period;
    };
    for (const Case &c : {Case{2024, 9}, Case{2023, 8}, Case{2004, 8}, Case{1984, 7}, Case{1864, 1},
                          Case{1883, 1}, Case{44, 9}, Case{63, 9}, Case{64, 1}, Case{2043, 9}, Case{2044, 1}})
        EXPECT_EQ(PeriodOfYear(c.year), S(c.period)) << c.year;
    EXPECT_EQ(YuanIndex(S(9)), 2);
    EXPECT_EQ(YuanIndex(1), 0);
    EXPECT_EQ(YuanIndex(6), 1);
}

TEST(Periods, YearCycleAndNaYin)
{
    EXPECT_EQ(YearGanZhi(1984), 1);
    EXPECT_EQ(GanZhiName(YearGanZhi(2024)), "甲辰");
    EXPECT_EQ(GanZhiName(YearGanZhi(2004)), "甲申");
    const auto naYin = [](int cycle) { return WuXingNameB[MQuorin::NaYinIndex(cycle)]; };
    EXPECT_EQ(naYin(1), "金");  // 甲子
    EXPECT_EQ(naYin(3), "火");  // 丙寅
    EXPECT_EQ(naYin(5), "木");  // 戊辰
    EXPECT_EQ(naYin(7), "土");  // 庚午
    EXPECT_EQ(naYin(13), "水"); // 丙子
    EXPECT_EQ(naYin(59), "水"); // 壬戌
    EXPECT_EQ(naYin(0), "水");  // 癸亥
    // The rule agrees with the 纳音 table of the name tables for the whole cycle.
    for (int n = 0; n < 60; ++n)
        EXPECT_EQ(naYin(n), WuXingName[::NaYinIndex(n)]) << n;
}

TEST(YearMonthStars, CentreStars)
{
    EXPECT_EQ(YearCentreStar(2024), 3);
    EXPECT_EQ(YearCentreStar(2025), 2);
    EXPECT_EQ(YearCentreStar(2026), 1);
    EXPECT_EQ(YearCentreStar(2027), S(9));
    EXPECT_EQ(YearCentreStar(1984), 7);
    EXPECT_EQ(YearCentreStar(10), YearCentreStar(10 + 9 * 300)); // years before 64 stay in range

    const int expected2024[12] = {5, 4, 3, 2, 1, 9, 8, 7, 6, 5, 4, 3};
    for (int m = 0; m < 12; ++m)
        EXPECT_EQ(MonthCentreStar(2024, m), S(expected2024[m])) << m;
    EXPECT_EQ(MonthCentreStar(2025, 0), 2);
    EXPECT_EQ(MonthCentreStar(2026, 0), 8);
    EXPECT_EQ(MonthCentreStar(2024, -3), MonthCentreStar(2024, 6)); // any index stays in range
}

TEST(YearMonthStars, OverlayOfTheReferenceHouse)
{
    const FlyChart xia = XiaGuaChart(MountainIndex("子"), 8);
    const OverlayStars s = CalcOverlayStars(2024, 6, false, MountainIndex("午"), xia);
    EXPECT_EQ(s.year[8], 3);                 // centre
    EXPECT_EQ(s.year[PalaceIndex("兑")], 5); // west
    EXPECT_EQ(s.month[8], 8);
    // Inner qi from the period star of the door's palace (离: 3), flown by the door's twin in 震 (卯, yin).
    EXPECT_EQ(s.neiQi[8], 3);
    EXPECT_EQ(s.neiQi[PalaceIndex("乾")], 2);
}

TEST(YearMonthStars, FlownFromTheDoor)
{
    const FlyChart xia = XiaGuaChart(MountainIndex("子"), 8);
    const int door = MountainIndex("午");
    const OverlayStars plain = CalcOverlayStars(2024, 0, false, door, xia);
    const OverlayStars byDoor = CalcOverlayStars(2024, 0, true, door, xia);
    const int li = PalaceIndex("离");
    // The star the year put at the door goes to the centre and flies again.
    EXPECT_EQ(byDoor.year[8], plain.year[li]);
    EXPECT_EQ(byDoor.month[8], plain.month[li]);
}

TEST(YearMonthStars, MQuorinFlyStarsReadsTheSetting)
{
    TempProgramFolder folder("[set]\nliunian=1\n");
    MQuorin q;
    ASSERT_TRUE(q.CalcChart(ReferenceHouse()));
    uint8_t year[9], month[9], neiQi[9];
    q.iLiuNianYear = 2024;
    q.iLiuNianMonth = 0;
    q.FlyStars(year, month, neiQi);
    const OverlayStars expected = CalcOverlayStars(2024, 0, true, MountainIndex("午"), q.XiaGua);
    EXPECT_TRUE(std::equal(year, year + 9, expected.year.begin()));
    EXPECT_TRUE(std::equal(month, month + 9, expected.month.begin()));
    EXPECT_TRUE(std::equal(neiQi, neiQi + 9, expected.neiQi.begin()));
}

} // namespace
