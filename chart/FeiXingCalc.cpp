#include "FeiXingCalc.h"

#include "ChartRules.h"
#include "MathUtil.h"

namespace {
// 子 癸 甲 申 → 1; 壬 卯 乙 未 坤 → 2; 戌 乾 亥 辰 巽 巳 → 6; 酉 辛 丑 艮 丙 → 7; 寅 午 庚 丁 → 9.
constexpr uint8_t kReplacement[24] = {2, 1, 1, 7, 7, 0, 1, 2, 2, 6, 6, 6, 7, 0, 0, 2, 2, 1, 0, 7, 7, 6, 6, 6};

// The main and the secondary gate palace of each facing palace.
constexpr uint8_t kGatePair[8][2] = {{7, 1}, {2, 0}, {1, 3}, {4, 2}, {3, 5}, {6, 4}, {5, 7}, {0, 6}};

NineStars PeriodStars(int period) { return FlyFrom(period, 1); }

void Place(FlyChart &chart, int slot, const NineStars &stars)
{
    for (int p = 0; p < 9; ++p)
        chart[p][slot] = stars[p];
}
} // namespace

NineStars FlyFrom(int s, int step)
{
    NineStars out{};
    int v = FloorMod(s, 9);
    for (uint8_t palace : FlyOrder) {
        out[palace] = static_cast<uint8_t>(v);
        v = FloorMod(v + step + 18, 9);
    }
    return out;
}

int GoverningMountain(int c, int m)
{
    const int star = FloorMod(c, 9);
    const int mountain = FloorMod(m, 24);
    if (star == 5)
        return mountain;
    return StarHome[star] * 3 + mountain % 3;
}

int ReplacementStar(int mountain) { return kReplacement[FloorMod(mountain, 24)]; }

namespace {
// The period stars in the centre slot; the mountain star (slot 0, from the sitting) and the facing star (slot 1,
// from the facing) start from startStar(c, g), c being the period star of that palace and g its governing
// mountain, and fly in g's direction.
template <typename StartStar>
FlyChart ChartWith(int sitting, int period, StartStar startStar)
{
    FlyChart chart{};
    const NineStars periods = PeriodStars(period);
    Place(chart, 2, periods);
    const int refs[2] = {FloorMod(sitting, 24), FacingMountain(FloorMod(sitting, 24))};
    for (int slot = 0; slot < 2; ++slot) {
        const int m = refs[slot];
        const int c = periods[m / 3];
        const int g = GoverningMountain(c, m);
        Place(chart, slot, FlyFrom(startStar(c, g), MountainStep(g)));
    }
    return chart;
}
} // namespace

FlyChart XiaGuaChart(int sitting, int period)
{
    return ChartWith(sitting, period, [](int c, int) { return c; });
}

FlyChart TiGuaChart(int sitting, int period)
{
    // The replacement star flies in the direction of the governing mountain, never of its own.
    return ChartWith(sitting, period, [](int c, int g) { return c == 5 ? c : ReplacementStar(g); });
}

std::array<GateRecord, 2> CityGates(int sitting, int period, const FlyChart &chosen)
{
    std::array<GateRecord, 2> gates{};
    const int f = FacingMountain(FloorMod(sitting, 24));
    for (int k = 0; k < 2; ++k) {
        const int q = kGatePair[f / 3][k];
        const int gateMountain = 3 * q + f % 3;
        const int c = chosen[q][2];
        const int step = c == 5 ? MountainStep(gateMountain) : MountainStep(GoverningMountain(c, f));
        const int star = FlyFrom(c, step)[q];
        gates[k] = {static_cast<uint8_t>(gateMountain), static_cast<uint8_t>(star),
                    static_cast<uint8_t>(FloorMod(star - period + 18, 9))};
    }
    return gates;
}
