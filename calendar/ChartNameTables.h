#pragma once

#include "MathUtil.h"

#include <array>
#include <cstdint>
#include <string_view>

// The names the chart engine draws and writes: trigrams, the wandering stars of the Eight Mansions, directions.

// Leading float block of the chart tables: 0.25 followed by thirteen zeros.
inline constexpr std::array<float, 14> ChartLeadBlock = {0.25f};

// Trigram by Luo Shu number (number mod 9): 9 离, 1 坎, 2 坤, 3 震, 4 巽, 5 中, 6 乾, 7 兑, 8 艮.
inline constexpr std::array<std::string_view, 9> BaGuaName = {"离", "坎", "坤", "震", "巽",
                                                              "中", "乾", "兑", "艮"};

// The eight wandering stars of the Eight Mansions (star codes 0..7), full and one-character forms.
inline constexpr std::array<std::string_view, 8> YouXingName = {"五鬼", "天医", "生气", "延年",
                                                                "绝命", "祸害", "六煞", "伏位"};
inline constexpr std::array<std::string_view, 8> YouXingShort = {"鬼", "医", "生", "延", "绝", "祸", "煞", "伏"};
inline constexpr std::array<std::string_view, 8> BaZhaiXingName = {"廉贞", "巨门", "贪狼", "武曲",
                                                                   "破军", "禄存", "文曲", "福德"};
inline constexpr std::array<std::string_view, 8> BaZhaiXingShort = {"廉", "巨", "贪", "武", "破", "禄", "文", "福"};
inline constexpr std::array<uint8_t, 8> YouXingWuXing = {2, 3, 1, 4, 4, 3, 0, 1};

// Trigrams by direction N, NE, E, SE, S, SW, W, NW, then the centre (the palace order of the chart tables).
inline constexpr std::array<std::string_view, 9> HouTianGuaName = {"坎", "艮", "震", "巽", "离",
                                                                   "坤", "兑", "乾", "中"};
inline constexpr std::array<std::string_view, 9> XianTianGuaName = {"坤", "震", "离", "兑", "乾",
                                                                    "巽", "坎", "艮", "中"};
inline constexpr std::array<uint8_t, 9> GuaWuXing = {0, 3, 1, 1, 2, 3, 4, 4, 3};

inline constexpr std::array<std::string_view, 8> FangXiangName = {"正西", "西北", "正北", "东北",
                                                                  "正东", "东南", "正南", "西南"};

// Elements in the order 土 金 水 木 火.
inline constexpr std::array<std::string_view, 5> WuXingNameB = {"土", "金", "水", "木", "火"};

// Ring radii of the round chart as fractions of its radius, and the degree/radian factors.
inline constexpr float RingInner = 0.15f;
inline constexpr float RingMountainIn = 0.55f;
inline constexpr float RingMountainOut = 0.65f;
inline constexpr float RingOuter = 0.9f;

// One flag per mountain (ShanName order): 1 for the mountains drawn filled in the 24-mountain ring.
inline constexpr std::array<uint8_t, 24> ShanFlag = {1, 1, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0,
                                                     0, 1, 0, 0, 1, 1, 0, 0, 0, 1, 1, 0};

inline std::string_view GuaByLuoShu(int n) { return BaGuaName[FloorMod(n, 9)]; }
