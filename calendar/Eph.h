#pragma once

#include "DateRec.h"

#include <cstdint>

// The astronomical base of the calendar: dates and Julian days, ΔT, and the truncated Earth (VSOP87 D) and
// Moon (ELP/MPP02) series with the inversions that find when the Sun or the Moon reaches a given longitude.
//
// Time arguments named t are Julian centuries from J2000 in dynamical time; angles are radians. π is the
// nine-digit value of EphConst throughout, so event times stay reproducible across the engine.

// A date and time of day as six integers; the working date of the date interface.
struct TDateBlock {
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 12;
    int32_t minute = 0;
    int32_t second = 0;

    friend bool operator==(const TDateBlock &, const TDateBlock &) = default;
};

// Julian day of a calendar date; d carries the day with its fraction (1.5 = the 1st at noon). The Gregorian
// calendar applies from 1582-10-15 on, the Julian calendar before.
double DateToJD(int y, int m, double d);
// Julian day of a date block, to the second.
double BlockToJD(const TDateBlock &block);
// Calendar date and time of a Julian day; the second is truncated.
TDateBlock JDToDateTime(double jd);
// Date and time of a Julian day with the minute rounded: a second above 30 carries to the next minute.
void JDToDateRec(double jd, TDateRec *out);
// Back to 2000-01-01 12:00:00.
void ResetDateBlock(TDateBlock &block);

// ΔT (dynamical minus universal time) in seconds for a (fractional) year.
double DeltaTYear(double y);
// ΔT in days for a moment given in days from J2000.
double DeltaTDays(double days);

// The ephemeris. It holds no state; one program-wide instance (Instance()) serves every SSQ_class.
class EphCalc {
public:
    enum Coord { kLon = 0, kLat = 1, kDist = 2 };

    static const EphCalc &Instance();

    // Light-time correction of the Moon's longitude, radians.
    static constexpr double MoonLightTime = -3.4e-6;

    double NutationLon(double t) const; // nutation in longitude, radians
    double Aberration(double t) const;  // annual aberration of the Sun, radians

    // Heliocentric ecliptic coordinate of the Earth of date (L, B in radians, R in AU) from the first terms of
    // each power: n scales the number of terms (n < 0: all stored terms).
    double EarthSeries(Coord c, double t, int n) const;
    // Geocentric ecliptic coordinate of the Moon (L, B in radians, R in km); n terms of power 0, the other
    // powers in proportion (n < 0: all stored terms).
    double MoonSeries(Coord c, double t, int n) const;

    double EarthLon(double t, int n) const { return EarthSeries(kLon, t, n); }
    double MoonLon(double t, int n) const { return MoonSeries(kLon, t, n); }
    double EarthVelocity(double t) const; // radians per century
    double MoonVelocity(double t) const;  // radians per century
    double SunApparentLon(double t, int n) const;
    double MoonSunLonDiff(double t, int nMoon, int nEarth) const;

    // Inversions. W is an accumulated angle: for the Sun 2π × (year − 2000 + 1) + apparent longitude, for the
    // Moon the accumulated elongation (2π per lunation, 0 at the new moon of 2000-01-06). Each returns t.
    double TermTimePrecise(double W) const;
    double TermTimeFast(double W) const;
    double NewMoonTimePrecise(double W) const;
    double NewMoonTimeFast(double W) const;
};
