#include "ChartRules.h"

#include "MathUtil.h"

#include <cmath>

uint8_t PeriodOfYear(int year) { return static_cast<uint8_t>(FloorMod(FloorDiv(year - 44, 20), 9)); }

int YuanIndex(int period) { return FloorMod(period - 1 + 9, 9) / 3; }

int YearGanZhi(int year) { return FloorMod(year + 897, 60); }

int GanZhiIndex(int stem, int branch)
{
    const int s = FloorMod(stem, 10);
    const int d = FloorMod(s - FloorMod(branch, 12), 12);
    return s + 10 * (d / 2);
}

bool MountainIsYang(int mountain) { return (FloorMod(mountain - 1, 24) / 3) % 2 == 1; }

int ChartNaYinIndex(int cycle)
{
    // The five 纳音 runs start at 庚子, 甲子, 丙子, 壬子 and 戊子; each covers these offsets within the cycle.
    static constexpr int kBases[5] = {37, 1, 13, 49, 25};
    static constexpr int kOffsets[6] = {0, 8, 16, 30, 38, 46};
    int n = FloorMod(cycle, 60);
    if (n == 0)
        n = 60;
    if (n % 2 == 0)
        --n;
    for (int i = 0; i < 5; ++i) {
        const int k = FloorMod(n - kBases[i], 60);
        for (int off : kOffsets)
            if (k == off)
                return i;
    }
    return 0;
}

bool IsMountainItem(int item) { return item >= 0 && item < 96 && item % 4 != 3; }

int MountainOfDegree(double degree)
{
    if (!std::isfinite(degree))
        return -1;
    const double a = FloorModD(FloorModD(degree, 360.0) - 337.5, 360.0);
    return static_cast<int>(a / 15.0) % 24;
}

double MountainCentre(int mountain)
{
    double c = 15.0 * FloorMod(mountain, 24) + 345.0;
    return c >= 360.0 ? c - 360.0 : c;
}

double MountainStart(int mountain) { return FloorModD(15.0 * FloorMod(mountain, 24) + 337.5, 360.0); }

double DistanceFromCentre(int mountain, double degree)
{
    double d = std::fabs(FloorModD(degree, 360.0) - MountainCentre(mountain));
    return d > 15.0 ? 360.0 - d : d;
}

// A case keeps its degree, and the settings their 兼 width, as 32-bit floats: a degree typed exactly jian from a
// mountain's centre comes back up to about 2e-5° off. A distance within this slack of jian counts as exactly jian,
// which keeps the pure mountain; it lies far below the minute to which degrees are read.
constexpr double kJianSlack = 1e-4;

int DegreeToItem(double degree, double jian)
{
    const int m = MountainOfDegree(degree);
    if (m < 0)
        return -1;
    const double deg = FloorModD(degree, 360.0);
    const double s = deg - MountainCentre(m);
    double d = std::fabs(s);
    if (d > 15.0)
        d = 360.0 - d;
    int k = 1;
    const bool beyond = d > jian + kJianSlack;
    if (s > 0 && s < 15 && beyond)
        k = 2;
    else if ((s < 0 || s > 15) && beyond)
        k = 0;
    return 4 * m + k;
}

DegMin ToDegMin(double angle)
{
    if (!std::isfinite(angle))
        return {};
    const int total = RoundNearest(FloorModD(angle, 360.0) * 60.0) % (360 * 60);
    return {total / 60, total % 60};
}

int HexagramOfDegree(double degree)
{
    if (!std::isfinite(degree))
        return 0;
    const double a = FloorModD(FloorModD(degree, 360.0) - 337.5, 360.0);
    return static_cast<int>(a * 64.0 / 360.0) % 64;
}

int FenJinOfDegree(int mountain, double degree)
{
    double d = FloorModD(FloorModD(degree, 360.0) - MountainStart(mountain), 360.0);
    if (!(d < 15.0))
        d = 0.0; // not inside this mountain; callers check first
    const int branch = FloorMod(mountain - 23, 24) / 2;
    const int base = branch % 2 == 0 ? 2 : 1;
    const int stem = (base + 2 * static_cast<int>(d / 3.0)) % 10;
    return GanZhiIndex(stem, branch);
}

float PanAngleFor(int coord, double degree)
{
    double base = 0.0;
    if (coord == 1)
        base = degree;
    else if (coord == 2)
        base = degree + 180.0;
    return static_cast<float>(FloorModD(base + 22.5, 360.0));
}
