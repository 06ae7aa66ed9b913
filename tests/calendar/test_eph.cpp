#include "Eph.h"
#include "EphConst.h"
#include "EphSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

TDateBlock Block(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return {y, mo, d, h, mi, s}; }

// Julian day in Beijing time of the solar term at apparent longitude `deg` of Gregorian year `year`.
double TermJD(int year, double deg)
{
    const EphCalc &eph = EphCalc::Instance();
    const double W = (year - 2000 + 1 + deg / 360) * EphConst::pi2;
    const double t = eph.TermTimePrecise(W) * 36525;
    return t + 2451545 + 8.0 / 24 - DeltaTDays(t);
}

} // namespace

TEST(Dates, JulianDayAndTheGregorianReform)
{
    EXPECT_DOUBLE_EQ(DateToJD(2000, 1, 1.5), 2451545.0);
    EXPECT_DOUBLE_EQ(DateToJD(1582, 10, 15) - DateToJD(1582, 10, 4), 1.0);
    EXPECT_EQ(JDToDateTime(2299160.5), Block(1582, 10, 15));
    EXPECT_EQ(JDToDateTime(2299159.5), Block(1582, 10, 4));
    EXPECT_DOUBLE_EQ(DateToJD(-4712, 1, 1.5), 0.0);
    EXPECT_EQ(JDToDateTime(0.0), Block(-4712, 1, 1, 12));
    EXPECT_DOUBLE_EQ(BlockToJD(Block(2000, 1, 1, 18, 0, 0)), 2451545.25);
}

TEST(Dates, RoundTripOverTheWholeRangeIncludingNegativeYears)
{
    // Every 97th day from 4713 BC to AD 9999, at a few times of day.
    const double first = DateToJD(-4712, 1, 1.0);
    const double last = DateToJD(9999, 12, 31.0);
    for (double jd = first; jd <= last; jd += 97) {
        const TDateBlock b = JDToDateTime(jd);
        ASSERT_DOUBLE_EQ(DateToJD(b.year, b.month, b.day), jd) << b.year << "-" << b.month << "-" << b.day;
        ASSERT_EQ(b.hour, 0);
        const TDateBlock noon = JDToDateTime(jd + 0.5 + 1.0 / 86400 * 1.5);
        ASSERT_EQ(noon.hour, 12);
        ASSERT_EQ(noon.second, 1);
    }
}

TEST(Dates, MinuteRounding)
{
    TDateRec r;
    JDToDateRec(DateToJD(2024, 5, 6) + (10 * 3600 + 29 * 60 + 45) / 86400.0, &r);
    EXPECT_EQ(r, (TDateRec{2024, 5, 6, 10, 30}));
    JDToDateRec(DateToJD(2024, 5, 6) + (10 * 3600 + 29 * 60 + 30) / 86400.0, &r);
    EXPECT_EQ(r, (TDateRec{2024, 5, 6, 10, 29}));
    // Rounding carries over midnight and the year.
    JDToDateRec(DateToJD(2024, 12, 31) + (23 * 3600 + 59 * 60 + 50) / 86400.0, &r);
    EXPECT_EQ(r, (TDateRec{2025, 1, 1, 0, 0}));

    TDateBlock b = Block(1, 2, 3, 4, 5, 6);
    ResetDateBlock(b);
    EXPECT_EQ(b, Block(2000, 1, 1, 12));
}

TEST(DeltaT, TableValuesAndTheStepAt2015)
{
    EXPECT_DOUBLE_EQ(DeltaTYear(2000), 63.87);
    EXPECT_DOUBLE_EQ(DeltaTYear(2015), 69.0);
    EXPECT_NEAR(DeltaTYear(2014.9999), 68.7, 0.001);
    EXPECT_NEAR(DeltaTYear(1900), -2.3, 1e-9);
    // Past 2115 the parabola alone.
    EXPECT_NEAR(DeltaTYear(2200), 31 * 3.8 * 3.8 - 20, 1e-9);
    EXPECT_NEAR(DeltaTYear(2115), 31 * 2.95 * 2.95 - 20, 1e-9);
    // Before the table the first row is extrapolated, and grows into the past.
    EXPECT_GT(DeltaTYear(-4712), DeltaTYear(-4000));
    EXPECT_NEAR(DeltaTDays(0), 63.87 / 86400, 1e-7);
}

TEST(Series, TellingRowsOfTheStoredData)
{
    using namespace EphSeries;
    EXPECT_EQ(kEarth[0], 1e10);
    const double offsets[19] = {20,   578,  920,  1100, 1124, 1136, 1148, 1217, 1226, 1229,
                                1229, 1229, 1229, 1937, 2363, 2618, 2633, 2660, 2666};
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(kEarth[1 + i], offsets[i]) << i;
    EXPECT_EQ(kEarth[20], 17534704567.0);
    EXPECT_EQ(kEarth[21], 0.0);
    EXPECT_EQ(kEarth[22], 0.0);
    EXPECT_EQ(kEarth[23], 334165646.0);
    EXPECT_NEAR(kEarth[24], 4.669256804, 1e-9);
    EXPECT_NEAR(kEarth[25], 6283.075849991, 1e-9);
    EXPECT_EQ(kEarth[1229], 10001398880.0);
    EXPECT_EQ(kEarth[1230], 0.0);

    const double moonL[6] = {22639.586, 0.78475822, 8328.691424623, 1.5229241, 25.0719, -0.123598};
    const double moonB[6] = {18461.24, 0.05710892, 8433.466157492, -0.6400617, -0.5345, -0.00294};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(kMoonLon[i], moonL[i], std::max(5e-5, 1e-6 * std::fabs(moonL[i]))) << i;
        EXPECT_NEAR(kMoonLat[i], moonB[i], std::max(5e-5, 1e-6 * std::fabs(moonB[i]))) << i;
    }
    EXPECT_NEAR(kMoonDist[0], 385000.51, 1e-2);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(kMoonDist[i], 0.0);
}

TEST(Series, EarthAndMoonPositionsAtKnownMoments)
{
    const EphCalc &eph = EphCalc::Instance();
    // The Earth at J2000: heliocentric longitude 100.378°, distance 0.98333 AU.
    EXPECT_NEAR(eph.EarthLon(0, -1) * EphConst::degPerRad, 100.3778, 1e-3);
    EXPECT_NEAR(eph.EarthSeries(EphCalc::kDist, 0, -1), 0.983328, 1e-5);
    EXPECT_NEAR(eph.EarthSeries(EphCalc::kLat, 0, -1), 0, 1e-5);
    // Fewer terms stay close to the full series.
    EXPECT_NEAR(eph.EarthLon(0.2, 8), eph.EarthLon(0.2, -1), 2e-5);
    EXPECT_NEAR(eph.MoonLon(0.2, 20), eph.MoonLon(0.2, -1), 5e-3);
    // The Moon's distance stays between perigee and apogee.
    for (double t = -1; t < 1; t += 0.013) {
        const double r = eph.MoonSeries(EphCalc::kDist, t, -1);
        ASSERT_GT(r, 356000);
        ASSERT_LT(r, 407000);
        ASSERT_LT(std::fabs(eph.MoonSeries(EphCalc::kLat, t, -1)), 5.4 / EphConst::degPerRad);
    }
}

TEST(Inversions, MinorColdOf2000)
{
    TDateRec r;
    const double jd = TermJD(2000, -75);
    JDToDateRec(jd, &r);
    EXPECT_EQ(r, (TDateRec{2000, 1, 6, 9, 1}));
    const TDateBlock b = JDToDateTime(jd);
    EXPECT_NEAR(b.minute * 60 + b.second, 42, 2);
}

TEST(Inversions, ReachTheLongitudeTheyWereAskedFor)
{
    const EphCalc &eph = EphCalc::Instance();
    for (double W = -29600; W < 50300; W += 977.3) { // 4713 BC .. AD 9999
        const double t = eph.TermTimePrecise(W);
        EXPECT_NEAR(eph.SunApparentLon(t, -1), W, 2e-6) << W;
        const double tf = eph.TermTimeFast(W);
        EXPECT_NEAR(tf, t, (std::fabs(t) < 30 ? 600.0 : 1800.0) / 86400 / 36525) << W;
    }
    // New moons from 4713 BC to AD 9999; the fast inversion is good to minutes over the historical range and
    // drifts to about an hour at the far ends.
    for (double n = -83000; n < 99000; n += 3371) {
        const double W = n * EphConst::pi2;
        const double t = eph.NewMoonTimePrecise(W);
        const bool historical = std::fabs(t) < 30;
        EXPECT_NEAR(eph.MoonSunLonDiff(t, -1, 60), W, historical ? 2e-6 : 1e-4) << n;
        EXPECT_NEAR(eph.NewMoonTimeFast(W), t, (historical ? 1200.0 : 7200.0) / 86400 / 36525) << n;
    }
    // The new moon of 2000-01-06 at 18:14 UT.
    const double t = eph.NewMoonTimePrecise(0) * 36525;
    const double ut = t - DeltaTDays(t) + 2451545;
    EXPECT_NEAR(ut, DateToJD(2000, 1, 6) + (18 * 60 + 14) / 1440.0, 60.0 / 86400);
}

TEST(Inversions, SolarTermsAgreeWithAnIndependentEphemeris)
{
    std::ifstream in(std::string(QUORIN_TEST_DATA) + "/calendar/ae_solar_terms_selected_years.csv");
    ASSERT_TRUE(in) << "reference file missing";
    std::string line;
    std::getline(in, line);
    int rows = 0;
    double worst = 0;
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string termNo, name, lon, when;
        std::getline(ss, termNo, ',');
        std::getline(ss, name, ',');
        std::getline(ss, lon, ',');
        std::getline(ss, when, ',');
        int y, mo, d, h, mi, s;
        ASSERT_EQ(std::sscanf(when.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s), 6) << line;
        const double expected = BlockToJD(Block(y, mo, d, h, mi, s));
        // Longitudes 285 and 300 (小寒, 大寒) belong to the early part of the Gregorian year.
        double deg = std::stod(lon);
        if (deg >= 285)
            deg -= 360;
        const double diff = (TermJD(y, deg) - expected) * 86400;
        EXPECT_LT(std::fabs(diff), 90) << line;
        worst = std::max(worst, std::fabs(diff));
        ++rows;
    }
    EXPECT_EQ(rows, 144);
    std::printf("largest difference: %.1f s\n", worst);
}
