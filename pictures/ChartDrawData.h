#pragma once

#include <array>
#include <cstdint>

// Everything the chart drawing shows, as plain values. The chart object fills it from its case copy, its
// computed tables and its settings (the names are those of its fields); the painter reads nothing else.
//
// Codings: mountains 0..23 in ShanName order (壬 子 癸 … 乾 亥); stars and the period 1..8 with 9 stored as 0;
// nine-palace tables in the palace order 坎 艮 震 巽 离 坤 兑 乾 中; colours are Windows values (0x00BBGGRR).

// Display modes of the chart picture.
enum ChartPanel {
    PanelXuanKong = 0,    // flying-star chart (下卦 or 替卦)
    PanelBaZhai = 1,      // Eight Mansions chart
    PanelLiuNian = 2,     // annual flying-star chart
    PanelNeiQi = 3,       // inner-qi chart
    PanelLiuNian8 = 4,    // annual Eight Mansions chart
    PanelCompass = 100,   // computed compass
};

// Colour modes of the stars.
enum ChartColourMode { ColourNormal = 0, ColourWangShuai = 1, ColourWuXing = 2 };

// One palace of a flying-star chart: mountain star (山星), facing star (向星), period star (运星).
using StarTriple = std::array<uint8_t, 3>;
using NineStars = std::array<uint8_t, 9>;

// Eight Mansions record of a reference trigram: bytes 0 and 2 the trigram (Luo Shu number mod 9), byte 1 its
// group (0 east, 1 west), bytes 3..10 the star code (0 五鬼 .. 7 伏位) of each direction 坎 艮 震 巽 离 坤 兑 乾.
using BaZhaiRec = std::array<uint8_t, 11>;

// A city gate: its mountain, its star, and the star's state index (XingStateName).
using GateRec = std::array<uint8_t, 3>;

struct ChartDrawData {
    // ---- from the case copy ----
    int chartPanel = PanelXuanKong;  // display mode (ChartPanel)
    bool xiaGua = true;              // 下卦 chart (else 替卦)
    int colour = ColourNormal;       // colour mode (ChartColourMode)
    bool starNames = false;          // Eight Mansions labels as star names (廉贞 …) instead of 五鬼 …
    bool hasPlan = false;            // a floor plan shows through the white of the picture
    float degree = 0.0f;             // sitting degree, clockwise from north
    int door = 0;                    // door mountain 0..23

    // ---- results of the lay-out ----
    int iPanShape = 0;        // 0 round chart, 1 square chart
    float PanAngle = 22.5f;   // rotation of the drawing; 22.5 puts south at the top
    int RingOffset = 0;       // compass-ring offset; 0 after every lay-out
    int ZuoShan = 1;          // sitting mountain
    int JianShan = -1;        // mountain of the 兼, −1 for none
    int GuaIndex = 0;         // hexagram (GuaName) under the sitting degree
    int FenJinGanZhi = 0;     // cycle number of the degree's 分金
    uint8_t Yun = 8;          // period of the building year
    int MingGanZhi = 0;       // cycle number of the owner's year
    std::array<StarTriple, 9> XiaGua{};
    std::array<StarTriple, 9> TiGua{};
    std::array<GateRec, 2> ChengMen{};        // main gate (正), then secondary gate (副)
    std::array<BaZhaiRec, 4> BaZhai{};        // references 山, 命, 向, 门
    BaZhaiRec BaZhaiFuWei{};                  // copy of the 伏位 reference's record
    std::array<uint32_t, 9> XingColor{};      // colour of each star value (index star mod 9)

    // ---- Eight Mansions labels shown ----
    int GuaCount = 1;                         // 1..4
    std::array<uint8_t, 4> GuaKind{};         // 0 山, 1 命, 2 向, 3 门; slot 0 is the 伏位 reference
    std::array<uint32_t, 4> GuaColor{};
    std::array<float, 4> GuaAngle{};          // angular offset on the round chart, degrees
    std::array<float, 4> GuaRadius{};         // distance from the centre, fraction of the radius
    std::array<uint8_t, 8> GuaCell{};         // column, row (1..3) of each slot in a square-chart palace

    // ---- settings ----
    int iCoord = 0;           // 0 none, 1 the sitting mountain at the bottom, 2 子 at the top (already in PanAngle)
    bool bZhouTian = false;   // full 周天 degree scale on the round chart
    bool bWuHint = true;      // legend of the stars
    int iTilt = 0;            // ring texts: 0 upright, 1 turned along the ring, 2 turned the other way
    bool bChengMen = true;    // mark the city gates

    // ---- annual, monthly and inner-qi views (stars as the chart object flies them) ----
    int iLiuNianYear = 2024;
    int iLiuNianMonth = 6;    // solar month from 寅 (0) to 丑 (11)
    bool bShowNeiQi = false;
    bool bShowMonth = false;
    NineStars YearStars{};
    NineStars MonthStars{};
    NineStars NeiQiStars{};

    // The chart shown: 下卦 or 替卦.
    const std::array<StarTriple, 9>& Stars() const { return xiaGua ? XiaGua : TiGua; }
};
