#pragma once

#include "DateRec.h"
#include "MYiDateEx.h"
#include "obb_class.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

class IChartCalendar;

// Shown years have no year 0: the shown year -1 is 1 BC, the astronomical year 0.
int AstroYearOfShown(int shownYear);
int ShownYearOfAstro(int astroYear);

// The calendar's range of shown years.
inline constexpr int kWnlFirstYear = -4713;
inline constexpr int kWnlLastYear = 9999;

// The length of the month of a Gregorian date (astronomical year) when the date exists, else 0. October 1582
// has 21 days: the 4th is followed by the 15th.
int WnlCheckDate(const TDateRec &date);

// The month before or after (shown year and month 1..12), skipping year 0; false at either end of the range.
bool WnlPreviousMonth(int &shownYear, int &month);
bool WnlNextMonth(int &shownYear, int &month);

// One solar term of the shown month: the civil day of its moment and the time there.
struct WnlTerm {
    int day = 0, hour = 0, minute = 0;
    int term = 0; // 0 = 小寒 .. 23 = 冬至
};

// One day cell of the grid.
struct WnlDay {
    int day = 0;        // the day of the month
    int cell = 0;       // 0..41: row × 7 + column below the weekday row
    QString dayText;    // "5", or "2月" on the first of the month
    QString termName;   // the solar term of that day, if any
    QString lunarText;  // "正月初一"
};

// Everything the perpetual calendar shows for one date: the month grid and the side texts.
struct WnlMonthData {
    TDateRec date{};           // astronomical year
    int shownYear = 0;
    int length = 0;            // days in the month (21 in October 1582)
    int firstColumn = 0;       // column of the 1st, Monday = 0
    std::vector<WnlDay> days;  // in order
    std::vector<WnlTerm> terms; // the month's solar terms, at most three
    QString labShow;           // "2024年2月"
    QString title;             // era names and the animal
    QString ganzhi;            // four lines: year, month, day, hour
    QString jie;               // the terms with their moments

    // The day in a grid cell (0..41 below the weekday row), 0 for an empty cell.
    int DayAtCell(int cell) const;
    // The grid cell of a day of the month, -1 when the month has no such day.
    int CellOfDay(int day) const;
};

// The model of the perpetual calendar: builds a month from a date. Keeps the per-year term lists and lunar
// tables between calls, so moving from month to month is cheap. Not thread-safe.
class WnlCalendar {
public:
    WnlCalendar();
    ~WnlCalendar();

    enum class Error { None, Year, Date };
    // Builds the month of `date` (astronomical year; the day is the selected day). On Error::Year (a year
    // outside the range) or Error::Date (no such day) `out` is left as it was.
    Error Build(const TDateRec &date, WnlMonthData &out);

    static QString ErrorTitle(Error e);
    static QString ErrorText(Error e);

    // The terms of one astronomical year, each on the civil day of its moment.
    const std::vector<WnlTerm> &TermsOfMonth(int year, int month);

private:
    struct YearTerms {
        std::vector<TJieQiRec> records;
        std::vector<double> moments;
    };
    const YearTerms &TermsOfYear(int year);
    void FillTexts(WnlMonthData &m);

    MYiDateEx calendar_;
    obb_class eras_;
    std::unique_ptr<IChartCalendar> pillars_;
    std::map<int, YearTerms> years_;
    std::map<int, std::vector<WnlTerm>> months_; // keyed by 12 × year + month − 1
};
