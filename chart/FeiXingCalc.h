#pragma once

#include <array>
#include <cstdint>

// Xuan Kong flying-star charts (下卦 and 替卦) and the city gates. Palaces run 坎 艮 震 巽 离 坤 兑 乾 中 (north
// first, clockwise, the centre last); palace p < 8 holds the mountains 3p, 3p + 1, 3p + 2. Stars are 1..8 with
// 九 stored as 0.

// Palaces in the order the stars fly: 中 乾 兑 艮 离 坎 坤 震 巽.
inline constexpr std::array<uint8_t, 9> FlyOrder = {8, 7, 6, 1, 4, 0, 5, 2, 3};
// The home palace of each star (the palace of the trigram whose Luo Shu number it carries); 5 has none.
inline constexpr std::array<uint8_t, 9> StarHome = {4, 0, 5, 2, 3, 0, 7, 6, 1};

using NineStars = std::array<uint8_t, 9>;

// Flies star s from the centre along FlyOrder, advancing by step (+1 or −1) modulo 9 from palace to palace.
NineStars FlyFrom(int s, int step);

// The mountain whose polarity decides how star c flies, for the reference mountain m: m itself for the star 5,
// else the mountain of the same 元龙 (m mod 3) in the home palace of c.
int GoverningMountain(int c, int m);

// The replacement star (替星) of a governing mountain.
int ReplacementStar(int mountain);

// One chart: per palace the mountain star, the facing star and the period star.
using FlyChart = std::array<std::array<uint8_t, 3>, 9>;

// The plain chart (下卦) and the replacement chart (替卦) of a sitting mountain in a period.
FlyChart XiaGuaChart(int sitting, int period);
FlyChart TiGuaChart(int sitting, int period);

// City gates of a facing: [0] the main gate (正城门), [1] the secondary (副城门); each the gate mountain, the gate
// star, and its state index (gate star − period + 18) mod 9 into XingStateName. The period stars are those of
// the chart the case uses.
using GateRecord = std::array<uint8_t, 3>;
std::array<GateRecord, 2> CityGates(int sitting, int period, const FlyChart &chosen);
