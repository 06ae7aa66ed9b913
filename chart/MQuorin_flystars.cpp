#include "MQuorin.h"

#include "FlyStarCalc.h"

#include <algorithm>

void MQuorin::FlyStars(uint8_t year[9], uint8_t month[9], uint8_t neiQi[9])
{
    LoadSettings();
    const OverlayStars s = CalcOverlayStars(iLiuNianYear, iLiuNianMonth, liunian == 1, Rec.door % 24, XiaGua);
    std::copy(s.year.begin(), s.year.end(), year);
    std::copy(s.month.begin(), s.month.end(), month);
    std::copy(s.neiQi.begin(), s.neiQi.end(), neiQi);
}
