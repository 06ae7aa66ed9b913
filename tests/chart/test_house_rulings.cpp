// The one ruling of a house's palaces where 七星打劫 meets it: the robbery's palaces that the stars alone would
// leave quiet are kept for air, unless the period's 正神 palace is the facing one and the robbery is not used.
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "HouseRulings.h"
#include "PatternCalc.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

FlyChart ChartOf(int m, int period, bool xiaGua)
{
    return xiaGua ? XiaGuaChart(m, period % 9) : TiGuaChart(m, period % 9);
}

} // namespace

TEST(HouseRulings, DaJieKeepsItsQuietPalacesForAir)
{
    struct Row {
        const char *mountain;
        int period;
        bool xiaGua;
        int daJie;
        bool usable;
        // 离 震 乾 or 巽 坎 兑, in kDaJieTriads order
        std::array<std::pair<PalaceUse, UseReason>, 3> triad;
    };
    const Row rows[] = {
        // 震 and 乾 hold 五黄 and a dead 二黑: already air only for their own stars.
        {"子", 8, true, 0, true,
         {{{PalaceUse::Open, UseReason::TimelyStar},
           {PalaceUse::AirOnly, UseReason::QuietFacing},
           {PalaceUse::AirOnly, UseReason::QuietFacing}}}},
        // 震's facing star 八 is dead in 五运: quiet by its star, kept for air by the robbery.
        {"辰", 5, false, 0, true,
         {{{PalaceUse::AirOnly, UseReason::QuietFacing},
           {PalaceUse::AirOnly, UseReason::DaJie},
           {PalaceUse::Open, UseReason::TimelyStar}}}},
        // 离 is 九运's 正神 and the facing palace: the robbery is not used and the ruling of the stars stands.
        {"壬", 9, true, 0, false,
         {{{PalaceUse::DoorOnly, UseReason::ZhengShen},
           {PalaceUse::Quiet, UseReason::OutOfSeason},
           {PalaceUse::Quiet, UseReason::OutOfSeason}}}},
        // 乾 is 六运's 正神 beside the facing 离: it lends its air and the robbery is used.
        {"子", 6, true, 0, true,
         {{{PalaceUse::Open, UseReason::TimelyStar},
           {PalaceUse::AirOnly, UseReason::DaJie},
           {PalaceUse::AirOnly, UseReason::DaJie}}}},
    };
    for (const Row &r : rows) {
        const int m = MountainIndex(r.mountain);
        const HouseRuling h = RuleHouse(ChartOf(m, r.period, r.xiaGua), m, r.period);
        EXPECT_EQ(h.daJie, r.daJie) << r.mountain << r.period;
        EXPECT_EQ(h.daJieUsable, r.usable) << r.mountain << r.period;
        for (int i = 0; i < 3; ++i) {
            const PalaceRuling &u = h.palace[kDaJieTriads[r.daJie][i]];
            EXPECT_EQ(u.use, r.triad[i].first) << r.mountain << r.period << " palace " << i;
            EXPECT_EQ(u.why, r.triad[i].second) << r.mountain << r.period << " palace " << i;
        }
    }
}

TEST(HouseRulings, EveryDaJieChartAgreesWithItsRuling)
{
    int charts = 0, usable = 0;
    for (int period = 1; period <= 9; ++period)
        for (int m = 0; m < 24; ++m)
            for (bool xiaGua : {true, false}) {
                const FlyChart chart = ChartOf(m, period, xiaGua);
                const HouseRuling h = RuleHouse(chart, m, period);
                const auto jie = DaJie(MakePalaceRecords(chart, period % 9), m, period % 9);
                EXPECT_EQ(h.daJie, jie[0] ? 0 : jie[1] ? 1 : -1) << m << " " << period;
                const bool robbed = h.daJie >= 0 && h.daJieUsable;
                for (int p = 0; p < 8; ++p) {
                    const bool inTriad = h.daJie >= 0 && std::ranges::count(kDaJieTriads[h.daJie], p) > 0;
                    // Only the palaces of a robbery in use are kept for air for its sake, and none of them stays
                    // quiet.
                    if (h.palace[p].why == UseReason::DaJie)
                        EXPECT_TRUE(robbed && inTriad && h.palace[p].use == PalaceUse::AirOnly)
                            << m << " " << period << " palace " << p;
                    if (robbed && inTriad)
                        EXPECT_NE(h.palace[p].use, PalaceUse::Quiet) << m << " " << period << " palace " << p;
                }
                if (h.daJie >= 0) {
                    ++charts;
                    usable += h.daJieUsable;
                    EXPECT_EQ(h.daJieUsable, FacingMountain(m) / 3 != ZhengShenPalace(period)) << m << " " << period;
                }
            }
    // The robberies of the 432 charts, and those whose facing palace is not the period's 正神.
    EXPECT_EQ(charts, 63);
    EXPECT_EQ(usable, 54);
}
