#include "HouseRulings.h"

#include "ChartRules.h"
#include "NameTables.h"
#include "PatternCalc.h"

#include <algorithm>

namespace {

int Nine(int star) { return star % 9 == 0 ? 9 : star % 9; }
// State of a star in a period: 0 当旺, 1 生气, 2 进气, 3..4 死气, 5..7 煞气, 8 退气.
int StateOf(int star, int period) { return StarStateIndex(star, period); }

PalaceRuling RulePalace(const FlyChart &chart, int p, int period, const HouseRuling &h, int sit, bool gateHere)
{
    const int m = Nine(chart[p][kSlotMountainStar]), f = Nine(chart[p][kSlotFacingStar]);
    PalaceRuling r;
    r.noEarth = QuietStar(m, period);
    if (QuietStar(f, period))
        r.use = PalaceUse::AirOnly, r.why = UseReason::QuietFacing;
    else if (m + f == 7 && (m == 2 || m == 5))
        r.use = PalaceUse::AirOnly, r.why = UseReason::ErWu;
    else if (FavouredStar(f, period) && p == ZhengShenPalace(period))
        r.use = PalaceUse::DoorOnly, r.why = UseReason::ZhengShen;
    else if (FavouredStar(f, period) && p == sit && h.backHeld)
        r.use = PalaceUse::DoorOnly, r.why = UseReason::BackHeld;
    else if (FavouredStar(f, period))
        r.use = PalaceUse::Open, r.why = UseReason::TimelyStar;
    else if (StateOf(f, period) == 8 && gateHere)
        r.use = PalaceUse::DoorOnly, r.why = UseReason::CityGate;
    return r;
}

// An 打劫 triad's palaces that the stars alone would leave quiet are kept open to air, so the robbery and the
// ruling agree. The robbery draws the coming qi in through the facing palace: where that palace is the period's
// 正神, which keeps its hill and takes no water, the robbery is not used and the ruling stands. A 正神 palace
// elsewhere in the triad is only asked for air, which it may give, and the robbery goes on.
void RuleDaJie(HouseRuling &h, const PalaceRecords &gong, int sitting, int period)
{
    const std::array<uint8_t, 2> jie = DaJie(gong, sitting, period % 9);
    for (int k = 0; k < 2; ++k)
        if (jie[k])
            h.daJie = k;
    if (h.daJie < 0)
        return;
    h.daJieUsable = FacingMountain(sitting) / 3 != ZhengShenPalace(period);
    if (!h.daJieUsable)
        return;
    for (int p : kDaJieTriads[h.daJie])
        if (h.palace[p].use == PalaceUse::Quiet)
            h.palace[p].use = PalaceUse::AirOnly, h.palace[p].why = UseReason::DaJie;
}

} // namespace

int ZhengShenPalace(int period)
{
    return period >= 1 && period <= 9 && period != 5 ? StarHome[period % 9] : -1;
}

int LingShenPalace(int period)
{
    const int zheng = ZhengShenPalace(period);
    return zheng < 0 ? -1 : (zheng + 4) % 8;
}

bool QuietStar(int star, int period)
{
    const int s = Nine(star), state = StateOf(s, period);
    return s == 5 ? period != 5 : s == 2 && state >= 3 && state <= 7;
}

bool FavouredStar(int star, int period)
{
    const int state = StateOf(star, period);
    return Nine(star) == 5 ? state == 0 : state <= 2;
}

HouseRuling RuleHouse(const FlyChart &chart, int sitting, int period)
{
    HouseRuling h;
    const int stored = period % 9;
    const int sit = sitting / 3;
    for (int p = 0; p < 9; ++p) {
        if (chart[p][kSlotMountainStar] == stored)
            h.wangShan = p;
        if (chart[p][kSlotFacingStar] == stored)
            h.wangXiang = p;
    }
    const PalaceRecords gong = MakePalaceRecords(chart, stored);
    h.pattern = gong[sit][kSlotPattern];
    h.backHeld = (h.wangShan == sit && h.wangXiang != sit) || h.pattern == kWangShanWangXiang ||
                 h.pattern == kShuangXingHuiXiang;

    const std::array<GateRecord, 2> gates = CityGates(sitting, stored, chart);
    for (int k = 0; k < 2; ++k)
        h.gateUsable[k] = FavouredStar(gates[k][1], period);
    for (int p = 0; p < 8; ++p) {
        bool gateHere = false;
        for (int k = 0; k < 2; ++k)
            gateHere = gateHere || (h.gateUsable[k] && gates[k][0] / 3 == p);
        h.palace[p] = RulePalace(chart, p, period, h, sit, gateHere);
    }
    RuleDaJie(h, gong, sitting, period);
    for (int k = 0; k < 2; ++k)
        h.gateOpen[k] = h.gateUsable[k] && h.palace[gates[k][0] / 3].use != PalaceUse::AirOnly &&
                        h.palace[gates[k][0] / 3].use != PalaceUse::Quiet;
    return h;
}

bool PeriodRun::DingGood() const
{
    return heShiDing || (!xiaShui && !shanQiu && FavouredStar(dingStar, period));
}

bool PeriodRun::CaiGood() const
{
    return heShiCai || (!shangShan && !xiangQiu && FavouredStar(caiStar, period));
}

std::vector<PeriodRun> PeriodRuns(const FlyChart &chart, int sitting, int period)
{
    const int sit = sitting / 3, face = FacingMountain(sitting) / 3;
    const PalaceRecords own = MakePalaceRecords(chart, period % 9);
    bool wholeDing = true, wholeCai = true;
    for (const PalaceRecord &g : own) {
        wholeDing = wholeDing && g[kSlotHeShiMountainPeriod];
        wholeCai = wholeCai && g[kSlotHeShiFacingPeriod];
    }
    std::vector<PeriodRun> runs;
    for (int k = 0; k < 9; ++k) {
        PeriodRun r;
        r.period = (period - 1 + k) % 9 + 1;
        r.dingStar = Nine(chart[sit][kSlotMountainStar]);
        r.caiStar = Nine(chart[face][kSlotFacingStar]);
        r.ding = StateOf(r.dingStar, r.period);
        r.cai = StateOf(r.caiStar, r.period);
        r.xiaShui = Nine(chart[face][kSlotMountainStar]) == r.period;
        r.shangShan = Nine(chart[sit][kSlotFacingStar]) == r.period;
        // 五黄 has no period of its own to be locked away from.
        r.shanQiu = Nine(chart[8][kSlotMountainStar]) == r.period && r.period != 5;
        r.xiangQiu = Nine(chart[8][kSlotFacingStar]) == r.period && r.period != 5;
        r.heShiDing = k == 0 && wholeDing;
        r.heShiCai = k == 0 && wholeCai;
        r.pattern = MakePalaceRecords(chart, r.period % 9)[sit][kSlotPattern];
        runs.push_back(r);
    }
    return runs;
}
