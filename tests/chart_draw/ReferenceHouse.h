#pragma once

#include "ChartDrawData.h"

// Chart data of reference houses, written out by hand from the rules of the flying stars and the Eight
// Mansions, so that the drawing can be checked without the chart computation.

// 8运 子山午向 0° 下卦, male born 1980 (坤 life trigram), door 午, annual year 2024 month index 6.
ChartDrawData ReferenceHouse();

// 8运 辰山戌向 兼巽乾 at 124°, 替卦, male born 1980, door 戌.
ChartDrawData JianHouse();

// The Eight Mansions labels: only the sitting reference (the default), or all four 山 命 向 门.
void ShowOneLabel(ChartDrawData& d);
void ShowFourLabels(ChartDrawData& d);

// The star colours of a colour mode.
void SetColours(ChartDrawData& d, int mode);
