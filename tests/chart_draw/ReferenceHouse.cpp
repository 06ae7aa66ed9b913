#include "ReferenceHouse.h"

#include <cstddef>

using std::size_t;

namespace {

constexpr float rA = (0.55f - 0.15f) * 7 / 10 + 0.15f;
constexpr float rB = (0.55f - 0.15f) * 3 / 10 + 0.15f;
constexpr uint32_t kSlotColours[4] = {0x0000FF, 0xFF0000, 0x008000, 0x984888};

}  // namespace

void SetColours(ChartDrawData& d, int mode)
{
    d.colour = mode;
    static constexpr uint32_t kState[9] = {0x0000FF, 0x9F0092, 0x9F0092, 0x800000, 0x800000,
                                           0x000080, 0x000080, 0x000080, 0x008000};
    static constexpr uint32_t kElement[5] = {0x000000, 0x008000, 0x0000FF, 0x00C0FF, 0xC0C0C0};
    static constexpr int kStarElement[9] = {2, 0, 3, 1, 1, 3, 4, 4, 3};
    for (int v = 0; v < 9; ++v) {
        if (mode == ColourNormal)
            d.XingColor[size_t(v)] = 0xFF0000;
        else if (mode == ColourWangShuai)
            d.XingColor[size_t(v)] = kState[(v - d.Yun + 18) % 9];
        else
            d.XingColor[size_t(v)] = kElement[kStarElement[v]];
    }
}

void ShowOneLabel(ChartDrawData& d)
{
    d.GuaCount = 1;
    d.GuaKind = {0, 0, 0, 0};
    d.GuaColor = {kSlotColours[0], 0, 0, 0};
    d.GuaAngle = {0, 0, 0, 0};
    d.GuaRadius = {rA, 0, 0, 0};
    d.GuaCell = {2, 2, 0, 0, 0, 0, 0, 0};
}

void ShowFourLabels(ChartDrawData& d)
{
    d.GuaCount = 4;
    d.GuaKind = {0, 1, 2, 3};
    d.GuaColor = {kSlotColours[0], kSlotColours[1], kSlotColours[2], kSlotColours[3]};
    d.GuaAngle = {11.25f, -11.25f, 11.25f, -11.25f};
    d.GuaRadius = {rA, rA, rB, rB};
    d.GuaCell = {1, 1, 3, 1, 1, 3, 3, 3};
}

ChartDrawData ReferenceHouse()
{
    ChartDrawData d;
    d.chartPanel = PanelXuanKong;
    d.xiaGua = true;
    d.degree = 0.0f;
    d.door = 13;  // 午
    d.iPanShape = 0;
    d.PanAngle = 22.5f;
    d.ZuoShan = 1;  // 子
    d.JianShan = -1;
    d.GuaIndex = 4;        // 地雷复
    d.FenJinGanZhi = 25;   // 戊子
    d.Yun = 8;
    d.MingGanZhi = 57;     // 庚申 (1980)
    //            坎         艮         震         巽         离         坤         兑         乾         中
    d.XiaGua = {{{0, 7, 4}, {7, 0, 2}, {2, 5, 6}, {3, 4, 7}, {8, 8, 3}, {1, 6, 5}, {6, 1, 1}, {5, 2, 0}, {4, 3, 8}}};
    d.TiGua = {{{2, 6, 4}, {0, 8, 2}, {4, 4, 6}, {5, 3, 7}, {1, 7, 3}, {3, 5, 5}, {8, 0, 1}, {7, 1, 0}, {6, 2, 8}}};
    d.ChengMen = {{{10, 8, 0}, {16, 2, 3}}};  // 正 巽, 副 坤
    // References 山 坎, 命 坤, 向 离, 门 离; stars of 坎 艮 震 巽 离 坤 兑 乾.
    d.BaZhai = {{{1, 0, 1, 7, 0, 1, 2, 3, 4, 5, 6},
                 {2, 1, 2, 4, 2, 5, 0, 6, 7, 1, 3},
                 {0, 0, 0, 3, 5, 2, 1, 7, 6, 0, 4},
                 {0, 0, 0, 3, 5, 2, 1, 7, 6, 0, 4}}};
    d.BaZhaiFuWei = d.BaZhai[0];
    SetColours(d, ColourNormal);
    ShowOneLabel(d);
    d.iLiuNianYear = 2024;
    d.iLiuNianMonth = 6;
    // 2024: year star 3 in the centre, flown forward; month 申 of 2024 from 8 forward; inner qi from the period
    // star 3 of the door's palace 离, flown backward.
    d.YearStars = {8, 6, 1, 2, 7, 0, 5, 4, 3};
    d.MonthStars = {4, 2, 6, 7, 3, 5, 1, 0, 8};
    d.NeiQiStars = {7, 0, 5, 4, 8, 6, 1, 2, 3};
    return d;
}

ChartDrawData JianHouse()
{
    ChartDrawData d = ReferenceHouse();
    d.xiaGua = false;
    d.degree = 124.0f;
    d.door = 21;  // 戌
    d.ZuoShan = 9;  // 辰
    d.JianShan = 10;  // 巽
    d.GuaIndex = 26;       // 泽泽兑
    d.FenJinGanZhi = 17;   // 庚辰
    //            坎         艮         震         巽         离         坤         兑         乾         中
    d.XiaGua = {{{3, 5, 4}, {1, 3, 2}, {5, 7, 6}, {6, 8, 7}, {2, 4, 3}, {4, 6, 5}, {0, 2, 1}, {8, 1, 0}, {7, 0, 8}}};
    d.TiGua = {{{5, 3, 4}, {3, 1, 2}, {7, 5, 6}, {8, 6, 7}, {4, 2, 3}, {6, 4, 5}, {2, 0, 1}, {1, 8, 0}, {0, 7, 8}}};
    d.ChengMen = {{{0, 8, 0}, {18, 3, 4}}};  // 正 壬, 副 庚
    // References 山 巽, 命 坤, 向 乾, 门 乾.
    d.BaZhai = {{{4, 0, 4, 2, 4, 3, 7, 1, 0, 6, 5},
                 {2, 1, 2, 4, 2, 5, 0, 6, 7, 1, 3},
                 {6, 1, 6, 6, 1, 0, 5, 4, 3, 2, 7},
                 {6, 1, 6, 6, 1, 0, 5, 4, 3, 2, 7}}};
    d.BaZhaiFuWei = d.BaZhai[0];
    // Inner qi from the period star 9 of the door's palace 乾, flown forward (its 元龙 twin 丙 is yang).
    d.NeiQiStars = {5, 3, 7, 8, 4, 6, 2, 1, 0};
    return d;
}
