#pragma once

#include "DateRec.h"
#include "SSQ_class.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The calendar context every other part of the program asks for dates: Gregorian <-> lunar conversion with
// leap months, the moments of solar terms, the solar month that holds a date, the sexagenary numbers of days,
// weekdays, Julian days and Chinese numerals.
//
// Dates are TDateRec with astronomical years (year 0 exists); moments are Beijing time (UT + 8 h). Gregorian
// dates before 1582-10-15 are Julian-calendar dates.
//
// Sexagenary numbering: stem 1..9 = 甲..壬, 0 = 癸; branch 1..11 = 子..戌, 0 = 亥; cycle number 1 = 甲子 ..
// 59 = 壬戌, 0 = 癸亥.
//
// Threads: the static functions are pure and the const ones only read the shared, stateless ephemeris; both may
// be called from any thread. GongToNong and NongToGong fill this instance's lunar-year tables (kept between
// calls, so repeated conversions are cheap); give each thread (each owner) its own instance.
class MYiDateEx {
public:
    MYiDateEx();

    // ---- lunar calendar (uses and fills this instance's per-year tables) ----

    // The lunar date of a Gregorian date; returns true when it lies in a leap month (the month number is then
    // the number of the month it repeats). Hour and minute are copied.
    bool GongToNong(const TDateRec &gong, TDateRec &nong);
    // The Gregorian date of a lunar date (`leap` for the leap month of that number). Hour and minute are
    // copied. On failure (no such lunar date: day 30 of a 29-day month, a leap month the year does not have)
    // returns false, leaves `gong` unchanged and sets `message` to the text to show.
    bool NongToGong(const TDateRec &nong, TDateRec &gong, bool leap, std::string &message);

    static constexpr const char *kNoSuchLunarDate = "不存在这个农历日期，无法转换到公历！";

    // ---- solar terms ----

    // The moment of the starting term (节, first = true) or the mid-term (中气, first = false) of solar month
    // `month` (1 = from 小寒 .. 12 = from 大雪) in Gregorian year `year`: month 1 gives 小寒 / 大寒, 2 立春 / 雨水,
    // 12 大雪 / 冬至.
    TDateRec JieQiTime(int year, int month, bool first) const;
    // The branch number of the solar month holding the moment `date` (丑 = 2 from 小寒, 寅 = 3 from 立春 ..
    // 子 = 1 from 大雪). `terms`, when given, receives the month's starting term, its mid-term and the next
    // month's starting term.
    int JieQiMonth(const TDateRec &date, std::array<TDateRec, 3> *terms = nullptr) const;
    // A term counted from the solar month holding `date`: its starting term (first = true) or mid-term, moved by
    // n months (callers use 0, -1, -2). The record's `term` field holds the solar month number of that term
    // (1 = the month from 小寒 .. 12 = from 大雪), not a term number.
    TJieQiRec JieQiShift(const TDateRec &date, bool first, int n) const;
    // Every solar term whose moment falls in Gregorian year `year`, in order, with its term number (0 = 小寒).
    // Usually 24 entries, 25 in some years of the Julian calendar; no end record is appended. `moments`, when
    // given, receives the exact Julian day (Beijing time) of each listed term, in the same order: the records
    // are rounded to the minute, so a term in the last half minute of a day reads as the next day's 00:00.
    std::vector<TJieQiRec> YearJieQi(int year, std::vector<double> *moments = nullptr) const;

    // ---- pure date arithmetic ----

    // The cycle number of a stem and a branch of the same parity (both yang or both yin).
    static int GanZhiIndex(int stem, int branch);
    // Julian day of the moment date hh:mm:01.
    static double ToJD(const TDateRec &date);
    // Date and time of a Julian day, the minute rounded.
    static TDateRec FromJD(double jd);
    // Whether the Gregorian date exists: month 1..12, day from 1 to the month's length; 1582-10-05..14 were
    // dropped by the calendar reform.
    static bool IsGongDate(const TDateRec &date);
    // The date advanced by one day in place, time kept.
    static void NextDay(TDateRec &date);
    // 0 = Sunday .. 6 = Saturday.
    static int WeekDay(const TDateRec &date);
    // The day's cycle number (1949-10-01 is 1, 甲子). The day changes at midnight; callers that count the hour 23
    // as the next day add 1 themselves.
    static int DayGanZhi(const TDateRec &date);
    // Chinese-numeral text: 1..30 as spoken day numbers (十一, 二十, 廿五, 三十), any other number digit by digit
    // with ○ for zero, at least as many digits as its place (0 gives ○○○○, 2024 二○二四), "前" before a
    // negative number (-221 gives 前二二一).
    static std::string ChineseNum(int n);

private:
    // The lunar months around one 冬至-to-冬至 span of days [lo, hi), as built by SSQ_class.
    struct YearTable {
        int lo = 0, hi = 0;
        int leap = 0;
        std::array<int, 14> ym{};
        std::array<int, 15> HS{};
    };
    // A lunar date of one day with the run of days [runLo, runHi) that share its year, month and leap flag.
    struct LunarDay {
        int year = 0, month = 0, day = 0;
        bool leap = false;
        int runLo = 0, runHi = 0;
    };

    const YearTable &TableFor(int dayNumber);
    LunarDay LunarOfDay(int dayNumber);
    double TermJD(int year, int k) const;
    int SolarMonthStart(double jd, int year, int month) const;

    SSQ_class ssq_;
    std::map<int, YearTable> tables_; // keyed by lo
};
