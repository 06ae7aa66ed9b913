#pragma once

#include "DateRec.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// The owner's birth date and four pillars (四柱). The calendar work (conversions, solar terms, day numbers) goes
// through IChartCalendar, so that the rest of the chart can be computed and tested without it.

class IChartCalendar {
public:
    virtual ~IChartCalendar() = default;
    // Whether a Gregorian date exists (the day is not checked against 1).
    virtual bool IsGongDate(const TDateRec &date) = 0;
    // Lunar date with its leap flag to Gregorian; false with the calendar's message when no such lunar day exists.
    virtual bool NongToGong(const TDateRec &lunar, bool leap, TDateRec &gregorian, std::string &message) = 0;
    // Gregorian to lunar; returns the leap flag.
    virtual bool GongToNong(const TDateRec &gregorian, TDateRec &lunar) = 0;
    virtual void NextDay(TDateRec &date) = 0;
    virtual double ToJD(const TDateRec &date) = 0;
    // The moment of 立春 in a Gregorian year.
    virtual TDateRec LiChun(int year) = 0;
    // Branch (GanZhi numbering, 寅 = 3) of the solar month holding a moment.
    virtual int SolarMonthBranch(const TDateRec &date) = 0;
    // Cycle number of the day (the day changing at midnight).
    virtual int DayGanZhi(const TDateRec &date) = 0;
};

// A new calendar of this program (over MYiDateEx).
std::unique_ptr<IChartCalendar> MakeProgramCalendar();

struct BirthData {
    TDateRec gong{}; // Gregorian birth moment
    TDateRec nong{}; // lunar birth date
    uint8_t leap = 0;
};

// Checks an entered birth date (Gregorian, or lunar with its leap flag) and converts it both ways. Every field is
// range-checked before the calendar sees it; without a calendar (null) a date in range is refused too. On
// failure message holds the reason.
bool CheckBirthDate(IChartCalendar *cal, const TDateRec &entered, bool lunar, bool leap, BirthData &out,
                    std::string &message);

// Month pillar from the year pillar and the solar month's branch (五虎遁).
int MonthPillar(int yearPillar, int branch);
// Hour pillar from the day pillar (already advanced for the hour 23) and the hour 0..23 (五鼠遁).
int HourPillar(int dayPillar, int hour);

// Year, month, day and hour pillars of a checked Gregorian birth moment. The year turns at 立春; the hour 23
// counts as the next day.
std::array<int16_t, 4> BirthGanZhi(IChartCalendar &cal, const TDateRec &gong);

// The owner's year for the life trigram: the Gregorian birth year, one less when born before 立春.
int MingYearOf(const TDateRec &gong, int yearPillar);
