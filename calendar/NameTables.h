#pragma once

#include "MathUtil.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The shared vocabulary of names used by the calendar, the chart engine and the forms. Texts are UTF-8.
// Every table is indexed by a number in the sexagenary numbering:
//   stems 1..9 = 甲..壬 and 0 = 癸; branches 1..11 = 子..戌 and 0 = 亥; cycle numbers 1 = 甲子 .. 59 = 壬戌, 0 = 癸亥;
//   stars 1..8 and 九紫 as 0 (or 9); elements 0 水, 1 木, 2 火, 3 土, 4 金.
// Read them through the lookup functions at the end, which reduce the index first.


inline constexpr std::array<std::string_view, 34> ShengFenName = {
    "北京市", "天津市", "河北省", "山西省", "内蒙古", "辽宁省", "吉林省", "黑龙江省", "上海市", "江苏省", "浙江省",
    "安徽省", "江西省", "山东省", "河南省", "湖北省", "湖南省", "广东省", "广西", "海南省", "四川省", "重庆市",
    "贵州省", "云南省", "西藏", "陕西省", "甘肃省", "青海省", "宁夏", "新疆", "台湾省", "香港", "澳门", "未知地"};

inline constexpr std::array<std::string_view, 24> JieQiName = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

inline constexpr std::array<std::string_view, 7> WeekName = {"日", "一", "二", "三", "四", "五", "六"};

inline constexpr std::array<std::string_view, 10> TianGanName = {"癸", "甲", "乙", "丙", "丁",
                                                                 "戊", "己", "庚", "辛", "壬"};

inline constexpr std::array<std::string_view, 12> DiZhiName = {"亥", "子", "丑", "寅", "卯", "辰",
                                                               "巳", "午", "未", "申", "酉", "戌"};

// 2 × element + polarity (1 yang, 0 yin), by branch and by stem number.
inline constexpr std::array<uint8_t, 12> ZhiWuXing = {0, 1, 6, 3, 2, 7, 4, 5, 6, 9, 8, 7};
inline constexpr std::array<uint8_t, 10> GanWuXing = {0, 3, 2, 5, 4, 7, 6, 9, 8, 1};

inline constexpr std::array<std::string_view, 5> WuXingName = {"水", "木", "火", "土", "金"};

inline constexpr std::array<std::string_view, 9> ShuZiName = {"九", "一", "二", "三", "四",
                                                              "五", "六", "七", "八"};

// The 24 mountains, each 15° wide; mountain i begins at i × 15 + 337.5° (mod 360).
inline constexpr std::array<std::string_view, 24> ShanName = {
    "壬", "子", "癸", "丑", "艮", "寅", "甲", "卯", "乙", "辰", "巽", "巳",
    "丙", "午", "丁", "未", "坤", "申", "庚", "酉", "辛", "戌", "乾", "亥"};

inline constexpr std::array<uint8_t, 24> ShanWuXing = {0, 0, 0, 3, 3, 1, 1, 1, 1, 3, 1, 2,
                                                       2, 2, 2, 3, 3, 4, 4, 4, 4, 3, 4, 0};

inline constexpr std::array<std::string_view, 9> JiuXingName = {"九紫", "一白", "二黑", "三碧", "四绿",
                                                                "五黄", "六白", "七赤", "八白"};

inline constexpr std::array<uint8_t, 9> XingWuXing = {2, 0, 3, 1, 1, 3, 4, 4, 3};

// The state of a star in a period, indexed by (star − period + 9) mod 9, with its Windows colour (0x00BBGGRR).
inline constexpr std::array<std::string_view, 9> XingStateName = {"旺", "生", "生", "死", "死",
                                                                  "煞", "煞", "煞", "退"};
inline constexpr std::array<uint32_t, 9> XingStateColor = {0x0000FF, 0x9F0092, 0x9F0092, 0x800000, 0x800000,
                                                           0x000080, 0x000080, 0x000080, 0x008000};

inline constexpr std::array<uint32_t, 5> WuXingColor = {0x000000, 0x008000, 0x0000FF, 0x00C0FF, 0xC0C0C0};

// The 64 hexagrams in compass-ring order.
inline constexpr std::array<std::string_view, 64> GuaName = {
    "风地观", "水地比", "山地剥", "地地坤", "地雷复", "山雷颐", "水雷屯", "风雷益", "雷雷震", "火雷噬嗑",
    "泽雷随", "天雷无妄", "地火明夷", "山火贲", "水火既济", "风火家人", "雷火丰", "火火离", "泽火革", "天火同人",
    "地泽临", "山泽损", "水泽节", "风泽中孚", "雷泽归妹", "火泽睽", "泽泽兑", "天泽履", "地天泰", "山天大畜",
    "水天需", "风天小畜", "雷天大壮", "火天大有", "泽天夬", "天天乾", "天风姤", "泽风大过", "火风鼎", "雷风恒",
    "风风巽", "水风井", "山风蛊", "地风升", "天水讼", "泽水困", "火水未济", "雷水解", "风水涣", "水水坎",
    "山水蒙", "地水师", "天山遁", "泽山咸", "火山旅", "雷山小过", "风山渐", "水山蹇", "山山艮", "地山谦",
    "天地否", "泽地萃", "火地晋", "雷地豫"};

// 纳音 element of the cycle-number pair (2k − 1, 2k); entry 0 covers 壬戌 (59) and 癸亥 (0).
inline constexpr std::array<uint8_t, 30> NaYinWuXing = {0, 4, 2, 1, 3, 4, 2, 0, 3, 4, 1, 0, 3, 2, 1,
                                                        0, 4, 2, 1, 3, 4, 2, 0, 3, 4, 1, 0, 3, 2, 1};

// The cycle number written beside each hexagram of the 64-hexagram ring.
inline constexpr std::array<uint8_t, 64> GuaGanZhi = {
    36, 48, 0,  1,  1,  13, 25, 37, 49, 2,  14, 26, 38, 50, 51, 3,  15, 27, 27, 39, 52, 4,
    16, 28, 40, 41, 53, 5,  17, 29, 42, 54, 6,  18, 30, 31, 31, 43, 55, 7,  19, 32, 44, 56,
    8,  20, 21, 33, 45, 57, 57, 9,  22, 34, 46, 58, 10, 11, 23, 35, 47, 59, 12, 24};

inline constexpr std::string_view Base64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// ---- lookups that reduce their index first ----

inline std::string_view GanName(int stem) { return TianGanName[FloorMod(stem, 10)]; }
inline std::string_view ZhiName(int branch) { return DiZhiName[FloorMod(branch, 12)]; }
// The branch of a clock hour (0..23; others wrap): 23 and 0 are 子, 1 and 2 are 丑, ... 21 and 22 are 亥.
inline std::string_view HourZhiName(int hour) { return ZhiName(FloorMod(hour + 1, 24) / 2 + 1); }
inline std::string_view StarName(int star) { return JiuXingName[FloorMod(star, 9)]; }
inline std::string_view ShuZi(int n) { return ShuZiName[FloorMod(n, 9)]; }
inline std::string_view Shan(int mountain) { return ShanName[FloorMod(mountain, 24)]; }
inline std::string_view Gua64(int hexagram) { return GuaName[FloorMod(hexagram, 64)]; }
inline std::string_view WuXing(int element) { return WuXingName[FloorMod(element, 5)]; }
inline std::string_view JieQi(int term) { return JieQiName[FloorMod(term, 24)]; }
inline std::string_view Week(int weekday) { return WeekName[FloorMod(weekday, 7)]; }

// Stem and branch of a sexagenary cycle number (0 = 癸亥, 1 = 甲子, any integer accepted).
inline int CycleStem(int cycle) { return FloorMod(cycle, 10); }
inline int CycleBranch(int cycle) { return FloorMod(cycle, 12); }

// "甲子" for cycle number 1.
inline std::string GanZhiName(int cycle)
{
    return std::string(GanName(cycle)) + std::string(ZhiName(cycle));
}

// The cycle number (0..59) whose stem and branch are given; the pair must have equal parity.
inline int CycleOf(int stem, int branch)
{
    // n ≡ stem (mod 10), n ≡ branch (mod 12); solutions exist when stem and branch have the same parity.
    for (int n = 0; n < 60; ++n)
        if (n % 10 == FloorMod(stem, 10) && n % 12 == FloorMod(branch, 12))
            return n;
    return -1;
}

// 纳音 element (0..4) of a cycle number.
inline int NaYinIndex(int cycle)
{
    const int n = FloorMod(cycle, 60);
    return NaYinWuXing[FloorMod((n + 1) / 2, 30)];
}

// State of a star in a period (旺 生 死 煞 退), as an index into XingStateName.
inline int StarStateIndex(int star, int period) { return FloorMod(star - period + 9, 9); }
