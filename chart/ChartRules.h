#pragma once

#include <cstdint>

// The arithmetic of periods, mountains and compass degrees that every chart computation builds on.
// Mountains are numbered 0..23 in ShanName order (壬 子 癸 … 乾 亥); mountain i spans 15° from i × 15 + 337.5°.
// Periods and stars are coded 1..8 with 9 stored as 0, so a star and a period compare directly.

// Period (元运) of a year: ((y − 44) div 20) mod 9, 0 standing for period 9. Meant for years from 44 on; any
// year gives a value in 0..8.
uint8_t PeriodOfYear(int year);

// Index 0 上元, 1 中元, 2 下元 of a stored period.
int YuanIndex(int period);

// Sexagenary cycle number (0..59, 1 = 甲子) of a year, counted from the calendar year: 1984 gives 1.
int YearGanZhi(int year);

// The cycle number of a stem and a branch of the same parity (the two must both be yang or both yin).
int GanZhiIndex(int stem, int branch);

// The yang mountains (壬 艮 寅 甲 巽 巳 丙 坤 申 庚 乾 亥) fly their stars forward (+1), the yin ones backward
// (−1); the mountain rings of the pictures draw the yang ones dark.
bool MountainIsYang(int mountain);
inline int MountainStep(int mountain) { return MountainIsYang(mountain) ? 1 : -1; }

// 纳音 element of a cycle number as an index into the element order 土 金 水 木 火 (WuXingNameB).
int ChartNaYinIndex(int cycle);

// A mountain-list item: four lines per mountain, 4m + 0 兼 the previous mountain, 4m + 1 the mountain itself,
// 4m + 2 兼 the next mountain, 4m + 3 a separator line.
bool IsMountainItem(int item);

// The one rule deciding which mountain a compass degree lies in: 0..23, or −1 for a degree that is not a finite
// number. Any finite degree is taken modulo 360.
int MountainOfDegree(double degree);

// The mountain-list item of a degree: its mountain, and a 兼 line when the degree lies strictly more than
// jian degrees from the mountain's centre. −1 for a degree that is not a finite number.
int DegreeToItem(double degree, double jian);

// Compass degree of the centre of a mountain (子 is 0) and of its first edge (子 begins at 352.5).
double MountainCentre(int mountain);
double MountainStart(int mountain);

// Distance of a degree from the centre of a mountain, 0..15 for a degree inside it.
double DistanceFromCentre(int mountain, double degree);

// An angle as whole degrees and minutes of one turn, for every place that shows one (header, chart picture,
// compass): taken modulo 360, the minutes rounded once from the whole and carried into the degrees, so 120.9999
// gives 121° 0′, never 120° 60′, and 359.9999 gives 0° 0′. {0, 0} for a value that is not a finite number.
struct DegMin {
    int deg = 0;
    int min = 0;
};
DegMin ToDegMin(double angle);

// Hexagram index 0..63 (GuaName order) under a compass degree.
int HexagramOfDegree(double degree);

// 分金: the cycle number of the 3-degree division of a mountain that holds the degree. The degree must lie in
// the mountain (MountainOfDegree(degree) == mountain).
int FenJinOfDegree(int mountain, double degree);

// Rotation of the chart drawing for the setting iCoord (0 none, 1 the sitting degree, 2 the sitting degree + 180).
float PanAngleFor(int coord, double degree);

// The mountain across the compass (facing of a sitting mountain).
inline int FacingMountain(int mountain) { return (mountain + 12) % 24; }
