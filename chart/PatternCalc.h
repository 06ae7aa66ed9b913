#pragma once

#include "FeiXingCalc.h"

#include <array>
#include <cstdint>

// The patterns a reading names in a flying-star chart, and the colours its stars are drawn in.

// Earth numbers (地盘) of the palaces in palace order.
inline constexpr std::array<uint8_t, 9> EarthNumber = {1, 8, 3, 4, 9, 2, 7, 6, 5};

// Pair patterns of a palace and its opposite (byte 3 of a palace record).
enum PairPattern : uint8_t { kPairNone = 0, kWangShanWangXiang = 1, kShangShanXiaShui = 2, kShuangXingHuiXiang = 3,
                             kShuangXingHuiZuo = 4 };

// 三般卦 of three stars: 0 none, 1 连珠 (a run such as 8 9 1), 2 父母 (such as 1 4 7).
int SanBanGua(int a, int b, int c);

// Nine palace records of 16 bytes (mountain, facing and period star, then the pattern flags a reading names:
// pair pattern, the three 合十, the four 伏吟, the two 反吟, 三般卦, and the two 文昌 flags).
using PalaceRecord = std::array<uint8_t, 16>;
// The slots of a palace record, by name.
enum PalaceSlot : int {
    kSlotMountainStar = 0, kSlotFacingStar = 1, kSlotPeriodStar = 2,
    kSlotPattern = 3,                                         // PairPattern, reckoned as if the house sat here
    kSlotHeShiMountainPeriod = 4, kSlotHeShiFacingPeriod = 5, kSlotHeShiMountainFacing = 6, // pairs summing to 10
    kSlotFuYinMountainEarth = 7, kSlotFuYinFacingEarth = 8,  // star equal to the earth number
    kSlotFuYinMountainPeriod = 9, kSlotFuYinFacingPeriod = 10, // star equal to the period star
    kSlotFanYinMountainEarth = 11, kSlotFanYinFacingEarth = 12, // star opposite the earth number
    kSlotSanBan = 13,                                         // SanBanGua of the three stars
    kSlotWenChangMountain = 14, kSlotWenChangFacing = 15,     // 1 and 4 with the earth number
};
using PalaceRecords = std::array<PalaceRecord, 9>;
PalaceRecords MakePalaceRecords(const FlyChart &chosen, int period);

// The palaces of the two 七星打劫 triads: [0] 离 震 乾 (离宫打劫), [1] 巽 坎 兑 (坎宫打劫).
inline constexpr std::array<std::array<int, 3>, 2> kDaJieTriads = {{{4, 2, 7}, {3, 0, 6}}};

// 七星打劫: [0] 离宫打劫, [1] 坎宫打劫. Tested only when the facing star of the facing palace is the period, and
// each only when the facing palace belongs to its triad (离 震 乾, or 坎 巽 兑).
std::array<uint8_t, 2> DaJie(const PalaceRecords &gong, int sitting, int period);

// Colour of each star value (Windows 0x00BBGGRR) for the colour modes 0 正常色, 1 旺衰色, 2 五行色. Another mode
// leaves the table as it was and returns false.
bool StarColours(int mode, int period, std::array<uint32_t, 9> &colours);
