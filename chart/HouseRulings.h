#pragma once

#include "FeiXingCalc.h"

#include <array>
#include <cstdint>
#include <vector>

// What a reading rules for a house: for each outer palace, once, whether it may take a door and water, a door
// only, air only, or must stay quiet in a period; and how the house stands for people and wealth in each of the
// nine periods from its building one. Every line of the reading that opens a palace or keeps it quiet follows
// the one ruling, so no palace gets two answers.
//
// Periods here are written 1..9; stars are stored as the chart stores them (九 as 0). Palaces run 坎 艮 震 巽 离
// 坤 兑 乾 中.

// The palace of a period's 正神, the trigram of its own number: it wants a hill and never takes water. −1 in 五运,
// whose 正神 is the centre.
int ZhengShenPalace(int period);
// The 零神 palace, opposite the 正神: water there brings wealth where its own facing star allows. −1 in 五运.
int LingShenPalace(int period);

// A star that must be left quiet in a period: 五黄 outside 五运, 二黑 when dead or killing.
bool QuietStar(int star, int period);
// A star that favours what it rules (people for a mountain star, wealth for a facing star) in a period: 当旺,
// 生气 or 进气; 五黄 only in its own period.
bool FavouredStar(int star, int period);

enum class PalaceUse : uint8_t {
    Open,     // a door, paths and water
    DoorOnly, // a door or a path, never water
    AirOnly,  // windows only: no door, no water
    Quiet,    // left quiet
};
enum class UseReason : uint8_t {
    TimelyStar,  // Open: the facing star favours wealth
    ZhengShen,   // DoorOnly: a favoured facing star in the period's 正神 palace
    BackHeld,    // DoorOnly: a favoured facing star behind a house whose back must keep its timely mountain star dry
    CityGate,    // DoorOnly: a usable city gate over a retreating facing star
    QuietFacing, // AirOnly: the facing star is a QuietStar
    ErWu,        // AirOnly: 二 and 五 in one palace
    DaJie,       // AirOnly: a palace of a usable 打劫 triad, out of season but kept open to air, for the robbery
                 // works only while the three palaces' qi connects
    OutOfSeason, // Quiet: a dead, killing or retreating facing star
};
struct PalaceRuling {
    PalaceUse use = PalaceUse::Quiet;
    UseReason why = UseReason::OutOfSeason;
    bool noEarth = false; // the mountain star is a QuietStar: no digging, so water only from outside
};

struct HouseRuling {
    std::array<PalaceRuling, 8> palace{};
    int wangShan = 8, wangXiang = 8; // palaces of the period's own mountain and facing star, 8 for the centre
    int pattern = 0;                 // PairPattern of the sitting palace in the period
    // The back must stay without water: the timely mountain star sits there without the timely facing star, or
    // the pattern (旺山旺向, 双星会向) keeps the back for the mountain star.
    bool backHeld = false;
    std::array<bool, 2> gateUsable{}; // main and secondary city gate: a timely gate star (五黄 only in 五运)
    std::array<bool, 2> gateOpen{};   // ... whose palace may take at least a door
    // 七星打劫 of the period: the index of its triad in kDaJieTriads (0 离宫, 1 坎宫), −1 for none. It cannot be
    // used when the period's 正神 palace is the facing palace, through which the robbery draws its qi: that
    // palace keeps its hill and no water. A 正神 palace elsewhere in the triad is kept for air.
    int daJie = -1;
    bool daJieUsable = false;
};

// The ruling of a chart (sitting mountain 0..23) in period 1..9. The city gates are those of the chart's own
// period stars, their stars judged in that period.
HouseRuling RuleHouse(const FlyChart &chart, int sitting, int period);

// How the house stands in one period q of the nine from its building period: people by the sitting palace's
// mountain star, wealth by the facing palace's facing star, each undone when q's own timely star falls where it
// harms (the mountain star at the facing: 下水; the facing star at the sitting: 上山; either in the centre: 入囚).
// A whole-chart 合十 with the period stars carries the building period.
struct PeriodRun {
    int period = 0;        // q, 1..9
    int ding = 0, cai = 0; // states (star − q) mod 9 of the sitting mountain star and the facing palace's facing star
    int dingStar = 0, caiStar = 0; // those stars, 1..9
    bool xiaShui = false, shangShan = false;
    bool shanQiu = false, xiangQiu = false; // q's timely mountain or facing star in the centre (not 五黄)
    bool heShiDing = false, heShiCai = false;
    int pattern = 0; // PairPattern of the sitting palace in q
    bool DingGood() const;
    bool CaiGood() const;
    bool Decline() const { return !DingGood() && !CaiGood(); }
};
// The building period and the eight after it, in that order.
std::vector<PeriodRun> PeriodRuns(const FlyChart &chart, int sitting, int period);
