// Palace patterns, 三般卦, 七星打劫 and star colours.
#include "ChartTestUtil.h"
#include "PatternCalc.h"

#include <gtest/gtest.h>

namespace {

TEST(Patterns, SanBanGua)
{
    EXPECT_EQ(SanBanGua(1, 4, 7), 2);
    EXPECT_EQ(SanBanGua(7, 1, 4), 2);
    EXPECT_EQ(SanBanGua(2, 3, 4), 1);
    EXPECT_EQ(SanBanGua(8, 9, 1), 1);
    EXPECT_EQ(SanBanGua(9, 1, 2), 1);
    EXPECT_EQ(SanBanGua(8, 0, 1), 1);
    EXPECT_EQ(SanBanGua(3, 3, 4), 0); // one target is matched once only
    EXPECT_EQ(SanBanGua(5, 5, 5), 0);
    EXPECT_EQ(SanBanGua(1, 2, 4), 0);
}

TEST(Patterns, PalaceFlags)
{
    const PalaceRecords gong = MakePalaceRecords(XiaGuaChart(MountainIndex("子"), 8), 8);
    // 兑 holds 6 1 / 1: the facing star repeats the period star (伏吟), the mountain star does not.
    const PalaceRecord &dui = gong[PalaceIndex("兑")];
    EXPECT_EQ(dui[10], 1); // facing star = period star
    EXPECT_EQ(dui[9], 0);
    // 坎 holds 9 7 / 4 over the earth number 1: the mountain star 9 makes 反吟 with it; no 合十 with the period.
    const PalaceRecord &kan = gong[PalaceIndex("坎")];
    EXPECT_EQ(kan[11], 1);
    EXPECT_EQ(kan[4], 0);
    // The centre never gets a pair pattern; its other flags are marked like any palace.
    EXPECT_EQ(gong[8][3], 0);
    EXPECT_EQ(gong[8][7], 0); // mountain 4 is not the centre's earth number 5
    // 文昌 only ever in 坎 and 巽.
    for (int period = 0; period < 9; ++period)
        for (int m = 0; m < 24; ++m) {
            const PalaceRecords g = MakePalaceRecords(XiaGuaChart(m, period), period);
            for (int p = 0; p < 9; ++p)
                if (p != PalaceIndex("坎") && p != PalaceIndex("巽")) {
                    EXPECT_EQ(g[p][14], 0);
                    EXPECT_EQ(g[p][15], 0);
                }
        }
}

TEST(Patterns, HeShiCountsNineAsNine)
{
    // A period (and facing) star 9 is stored as 0 and must count as 9 in the sums and comparisons.
    FlyChart chart{};
    chart[0] = {1, 0, 0}; // 坎: mountain 1, facing 9, period 9
    const PalaceRecords g = MakePalaceRecords(chart, 0);
    EXPECT_EQ(g[0][4], 1); // period + mountain
    EXPECT_EQ(g[0][6], 1); // facing + mountain
    EXPECT_EQ(g[0][10], 1); // facing = period
    EXPECT_EQ(g[0][7], 1);  // mountain star = earth number 1
}

TEST(Patterns, DaJieNeedsTheFacingPalaceInItsTriad)
{
    const int zi = MountainIndex("子");
    const auto ziJie = DaJie(MakePalaceRecords(XiaGuaChart(zi, 8), 8), zi, 8);
    EXPECT_EQ(ziJie[0], 1); // 离宫打劫: facing 午 in 离
    EXPECT_EQ(ziJie[1], 0);
    // 丑山未向 in period 8: the stars would rob both, but the facing palace 坤 is in neither triad.
    const int chou = MountainIndex("丑");
    const auto chouJie = DaJie(MakePalaceRecords(XiaGuaChart(chou, 8), 8), chou, 8);
    EXPECT_EQ(chouJie[0], 0);
    EXPECT_EQ(chouJie[1], 0);
    // Never both at once, and never without the facing star being the period.
    for (int period = 0; period < 9; ++period)
        for (int m = 0; m < 24; ++m) {
            const PalaceRecords g = MakePalaceRecords(XiaGuaChart(m, period), period);
            const auto jie = DaJie(g, m, period);
            EXPECT_FALSE(jie[0] && jie[1]);
            if (jie[0] || jie[1]) {
                EXPECT_EQ(g[(m + 12) % 24 / 3][1], period);
            }
        }
}

TEST(Patterns, StarColours)
{
    std::array<uint32_t, 9> c{};
    ASSERT_TRUE(StarColours(0, 8, c));
    EXPECT_EQ(c[3], 0xFF0000u);
    ASSERT_TRUE(StarColours(1, 8, c));
    EXPECT_EQ(c[8], 0x0000FFu); // 旺
    EXPECT_EQ(c[0], 0x9F0092u); // 9 生
    EXPECT_EQ(c[7], 0x008000u); // 退
    EXPECT_EQ(c[5], 0x000080u); // 煞
    ASSERT_TRUE(StarColours(2, 8, c));
    EXPECT_EQ(c[0], 0x0000FFu); // 九 火
    EXPECT_EQ(c[1], 0x000000u); // 一 水
    EXPECT_EQ(c[6], 0xC0C0C0u); // 六 金
    const auto before = c;
    EXPECT_FALSE(StarColours(7, 8, c));
    EXPECT_EQ(c, before);
}

} // namespace
