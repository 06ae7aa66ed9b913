// The calendar fed dates far outside its everyday range and fields that are no date at all: every call returns,
// and what it returns is a date, a refusal or a number of the documented range.
#include "MYiDateEx.h"
#include "RobustRandom.h"
#include "SSQ_class.h"
#include "obb_class.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

TDateRec HostileDate(Hostile &h)
{
    TDateRec d;
    d.year = int16_t(h.Chance(10) ? h.Edge<int16_t>(-10000, 20000) : h.Int(-10000, 20000));
    d.month = h.Edge<int16_t>(-3, 15);
    d.day = h.Edge<int16_t>(-3, 40);
    d.hour = h.Edge<int16_t>(-1, 25);
    d.minute = h.Edge<int16_t>(-1, 61);
    return d;
}

TEST(RobustCalendar, LunarConversionsOfHostileDates)
{
    Hostile h(1582);
    MYiDateEx cal;
    for (int i = 0; i < 1500; ++i) {
        // Mostly within a few centuries, so that the year tables are reused as the program reuses them.
        TDateRec d = HostileDate(h);
        if (h.Chance(60))
            d.year = int16_t(h.Int(1500, 2500));
        TDateRec nong;
        const bool leap = cal.GongToNong(d, nong);
        // The lunar year of a January date is the year before, which the oldest int16 year cannot hold.
        if (MYiDateEx::IsGongDate(d) && d.year > -32768) {
            EXPECT_GE(nong.month, 1) << d.year << "-" << d.month << "-" << d.day;
            EXPECT_LE(nong.month, 13);
            EXPECT_GE(nong.day, 1);
            EXPECT_LE(nong.day, 30);
            TDateRec back{};
            std::string message;
            if (cal.NongToGong(nong, back, leap, message)) {
                EXPECT_EQ(back.year, d.year);
                EXPECT_EQ(back.month, d.month);
                EXPECT_EQ(back.day, d.day);
            }
        }
        TDateRec gong{1, 2, 3, 4, 5};
        const TDateRec before = gong;
        std::string message;
        if (!cal.NongToGong(d, gong, h.Chance(30), message)) {
            EXPECT_EQ(gong, before);
            EXPECT_FALSE(message.empty());
        }
    }
}

TEST(RobustCalendar, SolarTermsOfHostileYears)
{
    Hostile h(24);
    MYiDateEx cal;
    for (int i = 0; i < 400; ++i) {
        const int year = int(h.Chance(10) ? h.Edge<int16_t>(-10000, 20000) : h.Int(-10000, 20000));
        const int month = int(h.Int(-3, 15));
        cal.JieQiTime(year, month, h.Chance(50));
        const TDateRec d = HostileDate(h);
        std::array<TDateRec, 3> terms;
        const int branch = cal.JieQiMonth(d, &terms);
        EXPECT_GE(branch, 0);
        EXPECT_LE(branch, 11);
        const TJieQiRec shifted = cal.JieQiShift(d, h.Chance(50), int(h.Int(-3, 3)));
        EXPECT_GE(shifted.term, 1);
        EXPECT_LE(shifted.term, 12);
        if (i % 8 == 0) {
            const std::vector<TJieQiRec> list = cal.YearJieQi(year);
            EXPECT_LE(list.size(), 26u);
            for (const TJieQiRec &t : list) {
                EXPECT_GE(t.term, 0);
                EXPECT_LE(t.term, 23);
            }
        }
    }
}

TEST(RobustCalendar, DateArithmeticOfHostileFields)
{
    Hostile h(60);
    for (int i = 0; i < 4000; ++i) {
        TDateRec d = HostileDate(h);
        const int gz = MYiDateEx::DayGanZhi(d);
        EXPECT_GE(gz, 0);
        EXPECT_LE(gz, 59);
        const int wd = MYiDateEx::WeekDay(d);
        EXPECT_GE(wd, 0);
        EXPECT_LE(wd, 6);
        MYiDateEx::IsGongDate(d);
        MYiDateEx::NextDay(d);
        MYiDateEx::FromJD(MYiDateEx::ToJD(d));
        // Any moment of the years a date can hold (a NaN or infinite Julian day is no moment at all).
        MYiDateEx::FromJD(double(h.Int(-12000000, 14000000)) + double(h.Int(0, 999)) / 1000.0);
        MYiDateEx::GanZhiIndex(int(h.Edge<int32_t>(-20, 20)), int(h.Edge<int32_t>(-20, 20)));
        const int n = int(h.Edge<int32_t>(-100000, 100000));
        const std::string text = MYiDateEx::ChineseNum(n);
        EXPECT_FALSE(text.empty()) << n;
    }
    EXPECT_FALSE(MYiDateEx::ChineseNum(INT_MIN).empty());
    EXPECT_FALSE(MYiDateEx::ChineseNum(INT_MAX).empty());
}

TEST(RobustCalendar, EraNamesAndLunarYearTablesOfHostileDays)
{
    Hostile h(221);
    obb_class obb;
    SSQ_class ssq;
    for (int i = 0; i < 2000; ++i)
        obb.NianHao(int(h.Edge<int32_t>(-5000, 20000)));
    for (int i = 0; i < 60; ++i) {
        ssq.BuildYear(double(h.Int(-4000000, 4000000)));
        EXPECT_GE(ssq.leap, 0);
        EXPECT_LE(ssq.leap, 13);
        ssq.CalcDay(double(h.Int(-8000000, 8000000)) / 2.0, h.Chance(50) ? SsqEvent::NewMoon : SsqEvent::Term);
    }
    // A NaN day fails every range comparison; it must not index the correction texts with it (it read far past
    // them once).
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ssq.CalcDay(nan, SsqEvent::NewMoon);
    ssq.CalcDay(nan, SsqEvent::Term);
}

} // namespace
