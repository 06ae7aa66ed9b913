#pragma once

#include "Eph.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

// The two kinds of event whose civil day the calendar needs.
enum class SsqEvent {
    NewMoon, // 朔
    Term,    // 气
};

// Decides on which civil day (Beijing time) each new moon and solar term falls, and builds the lunar-month
// table of the lunar year around a given day. By date range it uses mean-value tables (ancient calendars), a
// low-precision series with a per-event correction text (historical calendars), or the full ephemeris.
//
// A day number counts days from J2000: day n is the civil day whose noon is Julian day 2451545 + n.
class SSQ_class {
public:
    // Links the program-wide ephemeris and the stored correction texts.
    SSQ_class();

    // Day number of the new moon or solar term nearest to the approximate day number `approx`.
    int CalcDay(double approx, SsqEvent kind) const;
    // Fills the table below for the lunar year around day number `day`.
    void BuildYear(double day);

    // The event functions behind CalcDay: days from J2000 in Beijing time of the event at accumulated angle W
    // (solar terms: W = n × π/12; new moons: W = n × 2π).
    double NewMoonLow(double W) const;
    double TermLow(double W) const;
    double NewMoonHigh(double W) const; // fast series, the full series within 30 min of midnight
    double TermHigh(double W) const;    // fast series, the full series within 20 min of midnight

    std::string_view NewMoonCorrections() const { return *newMoonCorr_; }
    std::string_view TermCorrections() const { return *termCorr_; }

    // The table of the last BuildYear. Month index i runs 0..13; HS[i] is the first day of month i.
    int leap = 0;                  // index 1..13 of the leap month, 0 = none
    std::array<int, 14> ym{};      // month number: 1 = 正月 .. 11 = 冬月, 12 = 腊月 (13 or a second 10 in old calendars)
    std::array<int, 25> ZQ{};      // 25 solar terms from the 冬至 on or before the year to the next 冬至
    std::array<int, 2> prevZQ{};   // the two terms before ZQ[0] (大雪, 小雪)
    std::array<int, 15> HS{};      // 15 new moons, the first on or before ZQ[0]
    std::array<int, 14> monthLen{}; // HS[i + 1] − HS[i]

    const EphCalc &Ephemeris() const { return *eph_; }

    // First Julian day (minus the search margin) of the low-precision range, and the start of the full
    // ephemeris (1960-01-01 at noon); the correction texts count events from the former.
    static constexpr double kNewMoonLowStart = 1947168.0 - 14;
    static constexpr double kTermLowStart = 2322147.76 - 7;
    static constexpr double kHighStart = 2436935;

private:
    std::shared_ptr<const std::string> newMoonCorr_;
    std::shared_ptr<const std::string> termCorr_;
    const EphCalc *eph_;
};
