#include "Eph.h"
#include "EphConst.h"
#include "SSQ_class.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

int DayNumber(int y, int m, int d) { return static_cast<int>(DateToJD(y, m, d + 0.5) - 2451545); }

std::string DateText(int dayNumber)
{
    const TDateBlock b = JDToDateTime(dayNumber + 2451545.0);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", b.year, b.month, b.day);
    return buf;
}

struct Month {
    int number = 0;
    bool leap = false;
    int length = 0;
};

// The lunar months that start in the yearly tables of the given Gregorian years, keyed by their first day. Each
// table runs from the month holding one 冬至 to the month before the one holding the next.
std::map<int, Month> MonthsOf(SSQ_class &ssq, int firstYear, int lastYear)
{
    std::map<int, Month> months;
    for (int y = firstYear; y <= lastYear; ++y) {
        ssq.BuildYear(DayNumber(y, 6, 1));
        for (int i = 0; i < 14 && ssq.HS[i + 1] <= ssq.ZQ[24]; ++i)
            months[ssq.HS[i]] = {ssq.ym[i], ssq.leap != 0 && ssq.leap == i, ssq.monthLen[i]};
    }
    return months;
}

struct LunarYear {
    std::string newYear;
    int leapMonth = 0;
    int leapLength = 0;
};

std::map<int, LunarYear> LunarYears(const std::map<int, Month> &months)
{
    std::map<int, LunarYear> years;
    LunarYear *current = nullptr;
    for (const auto &[start, m] : months) {
        if (m.number == 1 && !m.leap) {
            const int y = JDToDateTime(start + 2451545.0).year;
            current = &years[y];
            current->newYear = DateText(start);
        } else if (m.leap && current) {
            current->leapMonth = m.number;
            current->leapLength = m.length;
        }
    }
    return years;
}

} // namespace

TEST(YearTable, NewYearAndLeapMonthOfTheAlmanac1900To2100)
{
    std::ifstream in(std::string(QUORIN_TEST_DATA) + "/calendar/cny_leap_1900_2100.csv");
    ASSERT_TRUE(in) << "reference file missing";
    SSQ_class ssq;
    const auto years = LunarYears(MonthsOf(ssq, 1899, 2102));
    std::string line;
    std::getline(in, line);
    int rows = 0;
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string year, cny, cnyAe, leap, leapAe, leapLen;
        std::getline(ss, year, ',');
        std::getline(ss, cny, ',');
        std::getline(ss, cnyAe, ',');
        std::getline(ss, leap, ',');
        std::getline(ss, leapAe, ',');
        std::getline(ss, leapLen, ',');
        const auto it = years.find(std::stoi(year));
        ASSERT_NE(it, years.end()) << year;
        EXPECT_EQ(it->second.newYear, cny) << year;
        EXPECT_EQ(it->second.leapMonth, std::stoi(leap)) << year;
        EXPECT_EQ(it->second.leapLength, std::stoi(leapLen)) << year;
        ++rows;
    }
    EXPECT_EQ(rows, 201);
}

TEST(YearTable, LeapMonthOf2033FollowsTheEleventhMonth)
{
    SSQ_class ssq;
    ssq.BuildYear(DayNumber(2034, 3, 1)); // the table from 冬至 2033 to 冬至 2034
    ASSERT_EQ(ssq.leap, 1);
    EXPECT_EQ(ssq.ym[0], 11);
    EXPECT_EQ(ssq.ym[1], 11);
    EXPECT_EQ(DateText(ssq.HS[ssq.leap]), "2033-12-22");
    EXPECT_EQ(ssq.ym[2], 12);
    EXPECT_EQ(ssq.ym[3], 1);

    // A table of twelve lunations has no leap month; one of thirteen has exactly one, the first month
    // without a mid-term.
    ssq.BuildYear(DayNumber(2024, 6, 1));
    EXPECT_EQ(ssq.leap, 0);
    ssq.BuildYear(DayNumber(2023, 6, 1));
    ASSERT_EQ(ssq.leap, 4); // 闰二月 2023, after 十一月, 腊月, 正月 and 二月
    EXPECT_EQ(ssq.ym[ssq.leap], ssq.ym[ssq.leap - 1]);
    EXPECT_GE(ssq.ZQ[2 * ssq.leap], ssq.HS[ssq.leap + 1]);
}

TEST(YearTable, TablesStayConsistentFrom4713BCToAD9999)
{
    // Every year of the whole range, every branch included (ancient calendars, mean values, corrected low
    // precision, full ephemeris): the yearly table is well formed. Terms lie 14..17 days apart and months last
    // 29 or 30 days, except where one calendar gives way to another: the switch from the ephemeris to the mean
    // terms in 221 BC, and the reforms of AD 237 (one 28-day month) and AD 445.
    SSQ_class ssq;
    std::set<int> irregular;
    for (int y = -4712; y <= 9999; ++y) {
        ssq.BuildYear(DayNumber(y, 1 + (y & 7), 10));
        for (int i = 0; i < 24; ++i) {
            const int gap = ssq.ZQ[i + 1] - ssq.ZQ[i];
            if (gap < 14 || gap > 17)
                irregular.insert(ssq.ZQ[i] + 2451545);
        }
        ASSERT_LE(ssq.HS[0], ssq.ZQ[0]) << y;
        ASSERT_GT(ssq.HS[1], ssq.ZQ[0]) << y;
        ASSERT_LT(ssq.prevZQ[1], ssq.prevZQ[0]) << y;
        ASSERT_LT(ssq.prevZQ[0], ssq.ZQ[0]) << y;
        for (int i = 0; i < 14; ++i) {
            if (ssq.monthLen[i] != 29 && ssq.monthLen[i] != 30)
                irregular.insert(ssq.HS[i] + 2451545);
            ASSERT_GE(ssq.ym[i], 1) << y;
            ASSERT_LE(ssq.ym[i], 13) << y;
        }
        ASSERT_GE(ssq.leap, 0);
        ASSERT_LE(ssq.leap, 13);
        if (y > -720 && y < -105) {
            ASSERT_EQ(ssq.leap, 0) << y; // the ancient calendars count an extra month instead
        }
    }
    EXPECT_EQ(irregular, (std::set<int>{1640637, 1807637, 1883616}));
}

TEST(YearTable, HistoricalCalendarRules)
{
    SSQ_class ssq;
    // Days that historical calendars kept as the last month of the year.
    for (int jd : {1729794, 1808699}) {
        ssq.BuildYear(jd - 2451545 + 40);
        bool found = false;
        for (int i = 0; i < 14; ++i) {
            if (ssq.HS[i] + 2451545 == jd) {
                EXPECT_EQ(ssq.ym[i], 12) << jd;
                found = true;
            }
        }
        EXPECT_TRUE(found) << jd;
    }
    // Qin and early Han: the year begins with the tenth month; the extra month at the year's end is a second 10.
    ssq.BuildYear(DayNumber(-150, 6, 1));
    int tens = 0;
    for (int i = 0; i < 14; ++i)
        tens += ssq.ym[i] == 10;
    EXPECT_GE(tens, 1);
    EXPECT_EQ(ssq.leap, 0);
}

TEST(CalcDay, ContinuousAcrossTheStartOfTheFullEphemeris)
{
    // Around 1960-01-01 the lookup switches from the corrected low-precision series to the full ephemeris; the
    // events on both sides agree with the full ephemeris.
    SSQ_class ssq;
    const int switchDay = static_cast<int>(SSQ_class::kHighStart - 2451545);
    for (double d = switchDay - 400; d < switchDay + 400; d += 29.5306) {
        const int day = ssq.CalcDay(d, SsqEvent::NewMoon);
        const double n = std::floor((d + 2451545 + 14 - 2451551) / 29.5306);
        EXPECT_EQ(day, static_cast<int>(std::floor(ssq.NewMoonHigh(n * EphConst::pi2) + 0.5))) << d;
    }
    for (double d = switchDay - 200; d < switchDay + 200; d += 15.2184) {
        const int day = ssq.CalcDay(d, SsqEvent::Term);
        const double n = std::floor((d + 2451545 + 7 - 2451259) / 365.2422 * 24);
        EXPECT_EQ(day, static_cast<int>(std::floor(ssq.TermHigh(n * EphConst::pi / 12) + 0.5))) << d;
    }
    // The new moon of 2000-01-06 18:14 UT, 01-07 in Beijing, and the 冬至 of 1999-12-22.
    EXPECT_EQ(ssq.CalcDay(DayNumber(2000, 1, 5), SsqEvent::NewMoon), DayNumber(2000, 1, 7));
    EXPECT_EQ(ssq.CalcDay(DayNumber(1999, 12, 20), SsqEvent::Term), DayNumber(1999, 12, 22));
}
