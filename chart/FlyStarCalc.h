#pragma once

#include "FeiXingCalc.h"

// The annual, monthly and inner-qi stars laid over a chart.

// The star in the centre for a year (三碧 for 2024).
int YearCentreStar(int year);
// The star in the centre for a solar month of a year; the month index counts from 寅: 0 寅, 1 卯, … 11 丑.
int MonthCentreStar(int year, int monthIndex);

// The overlay stars in palace order. With byDoor (the setting liunian = 1) the annual and month stars are flown
// again from the star they put in the door's palace; the inner-qi stars fly from the period star of the door's
// palace. doorMountain is 0..23; xiaGua is the plain chart of the house.
struct OverlayStars {
    NineStars year{};
    NineStars month{};
    NineStars neiQi{};
};
OverlayStars CalcOverlayStars(int year, int monthIndex, bool byDoor, int doorMountain, const FlyChart &xiaGua);
