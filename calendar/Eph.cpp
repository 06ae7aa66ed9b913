#include "Eph.h"

#include "EphConst.h"
#include "EphSeries.h"

#include <array>
#include <cmath>

namespace {

constexpr double kRad = EphConst::arcSecPerRad;
// ---------------------------------------------------------------------------------------------------------------
// ΔT

struct DeltaTRow {
    double year, a, b, c, d;
};

// Cubic fits per interval; t runs 0..10 across each interval. The last row's interval closes at 2015.
constexpr std::array<DeltaTRow, 20> kDeltaT = {{
    {-4000, 108371.7, -13036.8, 392.0, 0.0},
    {-500, 17201.0, -627.82, 16.17, -0.3413},
    {-150, 12200.6, -346.41, 5.403, -0.1593},
    {150, 9113.8, -328.13, -1.647, 0.0377},
    {500, 5707.5, -391.41, 0.915, 0.3145},
    {900, 2203.4, -283.45, 13.034, -0.1778},
    {1300, 490.1, -57.35, 2.085, -0.0072},
    {1600, 120.0, -9.81, -1.532, 0.1403},
    {1700, 10.2, -0.91, 0.51, -0.037},
    {1800, 13.4, -0.72, 0.202, -0.0193},
    {1830, 7.8, -1.81, 0.416, -0.0247},
    {1860, 8.3, -0.13, -0.406, 0.0292},
    {1880, -5.4, 0.32, -0.183, 0.0173},
    {1900, -2.3, 2.06, 0.169, -0.0135},
    {1920, 21.2, 1.69, -0.304, 0.0167},
    {1940, 24.2, 1.22, -0.064, 0.0031},
    {1960, 33.2, 0.51, 0.231, -0.0109},
    {1980, 51.0, 1.29, -0.026, 0.0032},
    {2000, 63.87, 0.1, 0, 0},
    {2005, 64.7, 0.4, 0, 0},
}};
constexpr double kDeltaTEndYear = 2015;
constexpr double kDeltaTEndValue = 69.0;

// The long-term parabola used beyond the table.
double DeltaTParabola(double y)
{
    const double u = (y - 1820) / 100;
    return 31 * u * u - 20;
}

// ---------------------------------------------------------------------------------------------------------------
// Corrections

struct NutationRow {
    double a0, a1, a2, cPsi;
};

constexpr std::array<NutationRow, 10> kNutation = {{
    {2.1824, -33.75705, 3.6e-05, -1720},
    {3.5069, 1256.66393, 1.1e-05, -132},
    {1.3375, 16799.4182, -5.1e-05, -23},
    {4.3649, -67.5141, 7.2e-05, 21},
    {0.04, -628.302, 0, -14},
    {2.36, 8328.691, 0, 7},
    {3.46, 1884.966, 0, -5},
    {5.44, 16833.175, 0, -4},
    {3.69, 25128.11, 0, -3},
    {3.55, 628.362, 0, 2},
}};

// ---------------------------------------------------------------------------------------------------------------
// Series layout

constexpr const double *kMoonData[3] = {EphSeries::kMoonLon, EphSeries::kMoonLat, EphSeries::kMoonDist};

// Mean velocities (radians per century) used to start the inversions.
constexpr double kSunMeanVelocity = 628.3319653318;
constexpr double kMoonSunMeanVelocity = 7771.37714500204;

} // namespace

// ===============================================================================================================
// Dates and Julian days

double DateToJD(int y, int m, double d)
{
    const bool gregorian = static_cast<double>(y) * 372 + m * 31 + std::floor(d) >= 588829;
    if (m < 3) {
        m += 12;
        y -= 1;
    }
    double b = 0;
    if (gregorian) {
        const int a = y / 100; // only reached for years after 1582, where truncation is the floor
        b = 2 - a + std::floor(a / 4.0);
    }
    return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d + b - 1524.5;
}

double BlockToJD(const TDateBlock &block)
{
    const double dayFraction = (block.hour + (block.minute + block.second / 60.0) / 60.0) / 24.0;
    return DateToJD(block.year, block.month, block.day + dayFraction);
}

TDateBlock JDToDateTime(double jd)
{
    double D = std::floor(jd + 0.5);
    const double F = jd + 0.5 - D;
    if (D > 2299160) {
        const double c = std::floor((D - 1867216.25) / 36524.25);
        D += 1 + c - std::floor(c / 4);
    }
    const double E = D + 1524;
    const double Y = std::floor((E - 122.1) / 365.25);
    const double R = E - std::floor(365.25 * Y);
    const double M = std::floor(R / 30.601);

    TDateBlock out;
    out.day = static_cast<int32_t>(R - std::floor(30.601 * M));
    if (M < 14) {
        out.month = static_cast<int32_t>(M - 1);
        out.year = static_cast<int32_t>(Y - 4716);
    } else {
        out.month = static_cast<int32_t>(M - 13);
        out.year = static_cast<int32_t>(Y - 4715);
    }
    double h = 24 * F;
    out.hour = static_cast<int32_t>(std::floor(h));
    h = (h - out.hour) * 60;
    out.minute = static_cast<int32_t>(std::floor(h));
    out.second = static_cast<int32_t>(std::floor((h - out.minute) * 60));
    return out;
}

void JDToDateRec(double jd, TDateRec *out)
{
    TDateBlock b = JDToDateTime(jd);
    if (b.second > 30)
        b = JDToDateTime(jd - b.second / 86400.0 + 1.0 / 1440 + 5.0 / 86400);
    out->year = static_cast<int16_t>(b.year);
    out->month = static_cast<int16_t>(b.month);
    out->day = static_cast<int16_t>(b.day);
    out->hour = static_cast<int16_t>(b.hour);
    out->minute = static_cast<int16_t>(b.minute);
}

void ResetDateBlock(TDateBlock &block) { block = TDateBlock{}; }

// ===============================================================================================================
// ΔT

double DeltaTYear(double y)
{
    if (y >= kDeltaTEndYear) {
        if (y > kDeltaTEndYear + 100)
            return DeltaTParabola(y);
        return DeltaTParabola(y) -
               (DeltaTParabola(kDeltaTEndYear) - kDeltaTEndValue) * (kDeltaTEndYear + 100 - y) / 100;
    }
    size_t i = 0;
    while (i + 1 < kDeltaT.size() && kDeltaT[i + 1].year <= y)
        ++i;
    const DeltaTRow &r = kDeltaT[i];
    const double next = i + 1 < kDeltaT.size() ? kDeltaT[i + 1].year : kDeltaTEndYear;
    const double t = (y - r.year) / (next - r.year) * 10;
    return r.a + t * (r.b + t * (r.c + t * r.d));
}

double DeltaTDays(double days) { return DeltaTYear(days / 365.2425 + 2000) / 86400; }

// ===============================================================================================================
// Ephemeris

const EphCalc &EphCalc::Instance()
{
    static const EphCalc instance;
    return instance;
}

double EphCalc::NutationLon(double t) const
{
    const double t2 = t * t;
    double sum = 0;
    for (size_t i = 0; i < kNutation.size(); ++i) {
        const NutationRow &r = kNutation[i];
        const double c = i == 0 ? r.cPsi - 1.742 * t : r.cPsi;
        sum += c * std::sin(r.a0 + r.a1 * t + r.a2 * t2);
    }
    return sum * 0.01 / kRad;
}

double EphCalc::Aberration(double t) const
{
    const double t2 = t * t;
    const double M = -0.043126 + 628.301955 * t - 2.732e-06 * t2;
    const double e = 0.016708634 - 4.2037e-05 * t - 1.267e-07 * t2;
    return -20.49552 * (1 + e * std::cos(M)) / kRad;
}

double EphCalc::EarthSeries(Coord c, double t, int n) const
{
    const double *F = EphSeries::kEarth;
    const double tau = t / 10;
    const int first = 1 + 6 * c; // index of the coordinate's first offset in the header
    const int s0 = static_cast<int>(F[first]);
    const int e0 = static_cast<int>(F[first + 1]);
    double power = 1;
    double total = 0;
    for (int k = 0; k < 6; ++k, power *= tau) {
        const int s = static_cast<int>(F[first + k]);
        const int e = static_cast<int>(F[first + k + 1]);
        int end = e;
        if (n >= 0) {
            end = static_cast<int>(std::floor(3.0 * n * (e - s) / (e0 - s0) + 0.5)) + s;
            if (k > 0)
                end += 3;
            if (end > e)
                end = e;
        }
        double sum = 0;
        for (int j = s; j < end; j += 3)
            sum += F[j] * std::cos(F[j + 1] + F[j + 2] * tau);
        total += sum * power;
    }
    total /= F[0];

    const double tau2 = tau * tau;
    const double tau3 = tau2 * tau;
    switch (c) {
    case kLon:
        return total + (-0.0728 - 2.7702 * tau - 1.1019 * tau2 - 0.0996 * tau3) / kRad;
    case kLat:
        return total + (0.0004 * tau + 0.0004 * tau2 - 0.0026 * tau3) / kRad;
    case kDist:
        return total + (-0.002 + 0.0044 * tau + 0.0213 * tau2 - 0.025 * tau3) / 1e6;
    }
    return total;
}

double EphCalc::MoonSeries(Coord c, double t, int n) const
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;
    const double t5 = t4 * t;

    double value = 0;
    if (c == kLon) {
        value = (3.81034409 + 8399.684730072 * t - 3.319e-05 * t2 + 3.11e-08 * t3 - 2.033e-10 * t4) * kRad +
                5028.792262 * t + 1.1124406 * t2 + 0.00007699 * t3 - 0.000023479 * t4 - 0.0000000178 * t5;
        if (t > 10)
            value += -0.866 + 1.43 * (t - 10) + 0.054 * (t - 10) * (t - 10);
    }

    const double *F = kMoonData[c];
    const int *len = &EphConst::moonBlockLengths[4 * c];
    const double budget = n < 0 ? len[0] : 6.0 * n;
    const double d2 = t2 * 1e-4;
    const double d3 = t3 * 1e-8;
    const double d4 = t4 * 1e-8;
    double power = 1;
    int start = 0;
    for (int k = 0; k < 4; ++k, power *= t) {
        int count = static_cast<int>(std::floor(len[k] * budget / len[0] + 0.5));
        if (k > 0)
            count += 6;
        if (count > len[k])
            count = len[k];
        double sum = 0;
        for (int j = start; j < start + count; j += 6) {
            const double *r = F + j;
            sum += r[0] * std::cos(r[1] + r[2] * t + r[3] * d2 + r[4] * d3 + r[5] * d4);
        }
        value += sum * power;
        start += len[k];
    }
    return c == kDist ? value : value / kRad;
}

double EphCalc::EarthVelocity(double t) const
{
    const double a = 628.307585 * t;
    return 628.332 + 21 * std::sin(1.527 + a) + 0.44 * std::sin(1.48 + 2 * a) + 0.129 * std::sin(5.82 + a) * t +
           0.00055 * std::sin(4.21 + a) * t * t;
}

double EphCalc::MoonVelocity(double t) const
{
    return 8399.71 - 914 * std::sin(0.7848 + 8328.691425 * t + 0.0001523 * t * t) -
           179 * std::sin(2.543 + 15542.7543 * t) - 160 * std::sin(0.1874 + 7214.0629 * t) -
           62 * std::sin(3.14 + 16657.3828 * t) - 34 * std::sin(4.827 + 16866.9323 * t) -
           22 * std::sin(4.9 + 23871.4457 * t) - 12 * std::sin(2.59 + 14914.4523 * t) -
           7 * std::sin(0.23 + 6585.7609 * t) - 5 * std::sin(0.9 + 25195.624 * t) -
           5 * std::sin(2.32 - 7700.3895 * t) - 5 * std::sin(3.88 + 8956.9934 * t) -
           5 * std::sin(0.49 + 7771.3771 * t);
}

double EphCalc::SunApparentLon(double t, int n) const
{
    return EarthLon(t, n) + NutationLon(t) + Aberration(t) + EphConst::pi;
}

double EphCalc::MoonSunLonDiff(double t, int nMoon, int nEarth) const
{
    return MoonLon(t, nMoon) + MoonLightTime - (EarthLon(t, nEarth) + Aberration(t) + EphConst::pi);
}

double EphCalc::TermTimePrecise(double W) const
{
    double t = (W - 1.75347 - EphConst::pi) / kSunMeanVelocity;
    t += (W - SunApparentLon(t, 10)) / EarthVelocity(t);
    t += (W - SunApparentLon(t, -1)) / EarthVelocity(t);
    return t;
}

double EphCalc::TermTimeFast(double W) const
{
    double t = (W - 1.75347 - EphConst::pi) / kSunMeanVelocity;
    t -= (5.297e-06 * t * t + 0.0334166 * std::cos(4.669257 + 628.307585 * t) +
          0.0002061 * std::cos(2.67823 + 628.307585 * t) * t) /
         kSunMeanVelocity;
    t += (W - EarthLon(t, 8) - EphConst::pi + (20.5 + 17.2 * std::sin(2.1824 - 33.75705 * t)) / kRad) /
         kSunMeanVelocity;
    return t;
}

double EphCalc::NewMoonTimePrecise(double W) const
{
    double t = (W + 1.08472) / kMoonSunMeanVelocity;
    t += (W - MoonSunLonDiff(t, 3, 3)) / kMoonSunMeanVelocity;
    const double v = MoonVelocity(t) - EarthVelocity(t);
    t += (W - MoonSunLonDiff(t, 20, 10)) / v;
    t += (W - MoonSunLonDiff(t, -1, 60)) / v;
    return t;
}

double EphCalc::NewMoonTimeFast(double W) const
{
    double t = (W + 1.08472) / kMoonSunMeanVelocity;
    const double t2 = t * t;
    t -= (-3.309e-05 * t2 + 0.10976 * std::cos(0.784758 + 8328.6914246 * t + 0.000152292 * t2) +
          0.02224 * std::cos(0.1874 + 7214.0628654 * t - 0.00021848 * t2) -
          0.03342 * std::cos(4.669257 + 628.307585 * t)) /
         kMoonSunMeanVelocity;
    const double L = MoonLon(t, 20) -
                     (4.8950632 + 628.3319653318 * t + 5.297e-06 * t * t +
                      0.0334166 * std::cos(4.669257 + 628.307585 * t) +
                      0.0002061 * std::cos(2.67823 + 628.307585 * t) * t +
                      0.000349 * std::cos(4.6261 + 1256.61517 * t) - 20.5 / kRad);
    const double v = 7771.38 - 914 * std::sin(0.7848 + 8328.691425 * t + 0.0001523 * t * t) -
                     179 * std::sin(2.543 + 15542.7543 * t) - 160 * std::sin(0.1874 + 7214.0629 * t);
    t += (W - L) / v;
    return t;
}
