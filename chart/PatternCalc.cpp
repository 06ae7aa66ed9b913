#include "PatternCalc.h"

#include "ChartRules.h"
#include "MathUtil.h"
#include "NameTables.h"

namespace {
// Whether base and the two others run base, base + d1, base + d2 (mod 9), each target taken once.
bool Forms(int base, int x, int y, int d1, int d2)
{
    const int t1 = (base + d1) % 9;
    const int t2 = (base + d2) % 9;
    return (x == t1 && y == t2) || (x == t2 && y == t1);
}

bool FormsFrom(const int v[3], int d1, int d2)
{
    return Forms(v[0], v[1], v[2], d1, d2) || Forms(v[1], v[0], v[2], d1, d2) || Forms(v[2], v[0], v[1], d1, d2);
}

int Nine(int v) { return v == 0 ? 9 : v; }

// Whether the stars in slot of the three palaces form 父母, and their sum and product with 9 written as 9.
struct Triple {
    bool fuMu = false;
    int sum = 0;
    int product = 1;
};

Triple TripleOf(const PalaceRecords &gong, const int palaces[3], int slot)
{
    Triple t;
    const int a = gong[palaces[0]][slot], b = gong[palaces[1]][slot], c = gong[palaces[2]][slot];
    t.fuMu = SanBanGua(a, b, c) == 2;
    for (int v : {a, b, c}) {
        t.sum += Nine(v);
        t.product *= Nine(v);
    }
    return t;
}

bool Robs(const PalaceRecords &gong, const int palaces[3])
{
    const Triple m = TripleOf(gong, palaces, kSlotMountainStar);
    const Triple f = TripleOf(gong, palaces, kSlotFacingStar);
    return m.fuMu && f.fuMu && m.sum == f.sum && m.product == f.product;
}
} // namespace

int SanBanGua(int a, int b, int c)
{
    const int v[3] = {FloorMod(a, 9), FloorMod(b, 9), FloorMod(c, 9)};
    if (FormsFrom(v, 1, 2))
        return 1;
    if (FormsFrom(v, 3, 6))
        return 2;
    return 0;
}

PalaceRecords MakePalaceRecords(const FlyChart &chosen, int period)
{
    PalaceRecords gong{};
    for (int p = 0; p < 9; ++p) {
        PalaceRecord &g = gong[p];
        g[kSlotMountainStar] = chosen[p][0];
        g[kSlotFacingStar] = chosen[p][1];
        g[kSlotPeriodStar] = chosen[p][2];
    }
    for (int p = 0; p < 8; ++p) {
        const int o = (p + 4) % 8;
        const bool a = gong[p][kSlotMountainStar] == period, b = gong[p][kSlotFacingStar] == period;
        const bool c = gong[o][kSlotMountainStar] == period, e = gong[o][kSlotFacingStar] == period;
        uint8_t pattern = kPairNone;
        if (a && e && !b && !c)
            pattern = kWangShanWangXiang;
        else if (b && c && !a && !e)
            pattern = kShangShanXiaShui;
        else if (c && e && !a && !b)
            pattern = kShuangXingHuiXiang;
        else if (a && b && !c && !e)
            pattern = kShuangXingHuiZuo;
        gong[p][kSlotPattern] = pattern;
    }
    for (int p = 0; p < 9; ++p) {
        PalaceRecord &g = gong[p];
        const int m = Nine(g[kSlotMountainStar]), f = Nine(g[kSlotFacingStar]), y = Nine(g[kSlotPeriodStar]);
        const int earth = EarthNumber[p];
        g[kSlotHeShiMountainPeriod] = y + m == 10;
        g[kSlotHeShiFacingPeriod] = y + f == 10;
        g[kSlotHeShiMountainFacing] = f + m == 10;
        g[kSlotFuYinMountainEarth] = m == earth;
        g[kSlotFuYinFacingEarth] = f == earth;
        g[kSlotFuYinMountainPeriod] = m == y;
        g[kSlotFuYinFacingPeriod] = f == y;
        g[kSlotFanYinMountainEarth] = earth + m == 10;
        g[kSlotFanYinFacingEarth] = earth + f == 10;
        g[kSlotSanBan] = static_cast<uint8_t>(SanBanGua(g[kSlotMountainStar], g[kSlotFacingStar], g[kSlotPeriodStar]));
        g[kSlotWenChangMountain] = (earth == 1 && m == 4) || (earth == 4 && m == 1);
        g[kSlotWenChangFacing] = (earth == 1 && f == 4) || (earth == 4 && f == 1);
    }
    return gong;
}

std::array<uint8_t, 2> DaJie(const PalaceRecords &gong, int sitting, int period)
{
    std::array<uint8_t, 2> result{0, 0};
    const int facingPalace = FacingMountain(FloorMod(sitting, 24)) / 3;
    if (gong[facingPalace][kSlotFacingStar] != period)
        return result;
    const auto inTriad = [facingPalace](const int palaces[3]) {
        return facingPalace == palaces[0] || facingPalace == palaces[1] || facingPalace == palaces[2];
    };
    for (int k = 0; k < 2; ++k)
        result[k] = inTriad(kDaJieTriads[k].data()) && Robs(gong, kDaJieTriads[k].data());
    return result;
}

bool StarColours(int mode, int period, std::array<uint32_t, 9> &colours)
{
    switch (mode) {
    case 0:
        colours.fill(0xFF0000);
        return true;
    case 1:
        for (int v = 0; v < 9; ++v)
            colours[v] = XingStateColor[StarStateIndex(v, period)];
        return true;
    case 2:
        for (int v = 0; v < 9; ++v)
            colours[v] = WuXingColor[XingWuXing[v]];
        return true;
    default:
        return false;
    }
}
