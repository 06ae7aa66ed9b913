// Flying-star charts (下卦, 替卦), their patterns and the city gates.
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "FeiXingCalc.h"
#include "PatternCalc.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct PalaceStars {
    const char *palace;
    int mountain, facing, period;
};

void ExpectChart(const FlyChart &chart, const std::vector<PalaceStars> &expected)
{
    for (const PalaceStars &e : expected) {
        const int p = PalaceIndex(e.palace);
        ASSERT_GE(p, 0);
        EXPECT_EQ(chart[p][0], S(e.mountain)) << e.palace << " mountain star";
        EXPECT_EQ(chart[p][1], S(e.facing)) << e.palace << " facing star";
        EXPECT_EQ(chart[p][2], S(e.period)) << e.palace << " period star";
    }
}

// Sitting mountains whose sitting palace shows the given pair pattern in a period.
std::set<std::string> MountainsWith(int period, bool xiaGua, uint8_t pattern)
{
    std::set<std::string> out;
    for (int m = 0; m < 24; ++m) {
        const FlyChart chart = xiaGua ? XiaGuaChart(m, S(period)) : TiGuaChart(m, S(period));
        if (MakePalaceRecords(chart, S(period))[m / 3][3] == pattern)
            out.insert(std::string(ShanName[m]));
    }
    return out;
}

TEST(FlyingStars, Period8ZiShanXiaGua)
{
    const int zi = MountainIndex("子");
    ExpectChart(XiaGuaChart(zi, 8), {{"巽", 3, 4, 7}, {"离", 8, 8, 3}, {"坤", 1, 6, 5}, {"震", 2, 5, 6},
                                     {"中", 4, 3, 8}, {"兑", 6, 1, 1}, {"艮", 7, 9, 2}, {"坎", 9, 7, 4},
                                     {"乾", 5, 2, 9}});
    const PalaceRecords gong = MakePalaceRecords(XiaGuaChart(zi, 8), 8);
    EXPECT_EQ(gong[PalaceIndex("坎")][3], kShuangXingHuiXiang);
    EXPECT_EQ(gong[PalaceIndex("中")][3], kPairNone);
}

TEST(FlyingStars, Period8ZiShanTiGuaCentre)
{
    const FlyChart ti = TiGuaChart(MountainIndex("子"), 8);
    const int centre = PalaceIndex("中");
    EXPECT_EQ(ti[centre][0], 6);
    EXPECT_EQ(ti[centre][1], 2);
    // The period stars of both charts are the same.
    const FlyChart xia = XiaGuaChart(MountainIndex("子"), 8);
    for (int p = 0; p < 9; ++p)
        EXPECT_EQ(ti[p][2], xia[p][2]);
}

TEST(FlyingStars, PairPatternsByPeriod)
{
    using Set = std::set<std::string>;
    EXPECT_EQ(MountainsWith(8, true, kWangShanWangXiang), (Set{"丑", "未", "巽", "巳", "乾", "亥"}));
    EXPECT_EQ(MountainsWith(8, true, kShangShanXiaShui), (Set{"艮", "寅", "坤", "申", "辰", "戌"}));
    EXPECT_TRUE(MountainsWith(9, true, kWangShanWangXiang).empty());
    EXPECT_TRUE(MountainsWith(9, true, kShangShanXiaShui).empty());
    EXPECT_EQ(MountainsWith(7, true, kWangShanWangXiang), (Set{"卯", "乙", "辰", "酉", "辛", "戌"}));

    const int chen = MountainIndex("辰");
    EXPECT_EQ(MakePalaceRecords(XiaGuaChart(chen, 8), 8)[chen / 3][3], kShangShanXiaShui);
    EXPECT_EQ(MakePalaceRecords(TiGuaChart(chen, 8), 8)[chen / 3][3], kWangShanWangXiang);
}

TEST(FlyingStars, Polarity)
{
    std::string yang;
    for (int m = 0; m < 24; ++m)
        if (MountainIsYang(m))
            yang += std::string(ShanName[m]);
    EXPECT_EQ(yang, "壬艮寅甲巽巳丙坤申庚乾亥");
    EXPECT_TRUE(MountainIsYang(MountainIndex("壬")));
    EXPECT_FALSE(MountainIsYang(MountainIndex("子")));
    EXPECT_FALSE(MountainIsYang(MountainIndex("癸")));
    EXPECT_TRUE(MountainIsYang(MountainIndex("艮")));
}

TEST(FlyingStars, ReplacementStars)
{
    // Governing mountains that keep the star of their own palace under 替卦.
    std::string own;
    for (int m = 0; m < 24; ++m) {
        const int homeStar = [&] {
            for (int s = 0; s < 9; ++s)
                if (s != 5 && StarHome[s] == m / 3)
                    return s;
            return -1;
        }();
        if (ReplacementStar(m) == homeStar)
            own += std::string(ShanName[m]);
    }
    EXPECT_EQ(own, "子癸午丁未坤酉辛戌乾亥");
    // A period star 5 at the sitting palace keeps 5 and flies with the sitting mountain's own polarity.
    const int bing = MountainIndex("丙"); // period 1: the period star of 离 is 5
    const FlyChart ti = TiGuaChart(bing, 1);
    EXPECT_EQ(ti[8][0], 5);
    EXPECT_EQ(ti[7][0], 6); // 丙 is yang: forward
    const FlyChart wu = TiGuaChart(MountainIndex("午"), 1);
    EXPECT_EQ(wu[8][0], 5);
    EXPECT_EQ(wu[7][0], 4); // 午 is yin: backward
}

TEST(FlyingStars, CityGates)
{
    const int zi = MountainIndex("子");
    const auto gates = CityGates(zi, 8, XiaGuaChart(zi, 8));
    EXPECT_EQ(ShanName[gates[0][0]], "巽");
    EXPECT_EQ(gates[0][1], 8);
    EXPECT_EQ(XingStateName[gates[0][2]], "旺");
    EXPECT_EQ(ShanName[gates[1][0]], "坤");
    // The facing of 丙 is 壬 and of 亥 巳: the gates are the 元龙 twins of the facing in the gate palaces, 乾 and
    // 艮 for 壬, 离 and 震 for 巳.
    const auto bing = CityGates(MountainIndex("丙"), 8, XiaGuaChart(MountainIndex("丙"), 8));
    EXPECT_EQ(ShanName[bing[0][0]], "戌");
    EXPECT_EQ(ShanName[bing[1][0]], "丑");
    const auto hai = CityGates(MountainIndex("亥"), 8, XiaGuaChart(MountainIndex("亥"), 8));
    EXPECT_EQ(ShanName[hai[0][0]], "丁");
    EXPECT_EQ(ShanName[hai[1][0]], "乙");
}

TEST(FlyingStars, EveryChartHoldsNineDistinctStars)
{
    for (int period = 0; period < 9; ++period)
        for (int m = 0; m < 24; ++m)
            for (const FlyChart &chart : {XiaGuaChart(m, period), TiGuaChart(m, period)})
                for (int slot = 0; slot < 3; ++slot) {
                    std::set<int> stars;
                    for (int p = 0; p < 9; ++p)
                        stars.insert(chart[p][slot]);
                    EXPECT_EQ(stars.size(), 9u) << period << " " << m << " " << slot;
                }
}

} // namespace
