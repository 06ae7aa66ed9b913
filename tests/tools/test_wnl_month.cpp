#include "WnlMonth.h"
#include "WnlPainter.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {
WnlMonthData Month(WnlCalendar &cal, int shownYear, int month, int day = 1, int hour = 12)
{
    WnlMonthData m;
    const TDateRec d{int16_t(AstroYearOfShown(shownYear)), int16_t(month), int16_t(day), int16_t(hour), 0};
    EXPECT_EQ(cal.Build(d, m), WnlCalendar::Error::None) << shownYear << "-" << month << "-" << day;
    return m;
}

std::string S(const QString &s) { return s.toStdString(); }
} // namespace

TEST(CalendarMonth, LaysOutTheGridMondayFirstWithTheReformGap)
{
    WnlCalendar cal;
    const struct {
        int year, month, length, firstColumn;
        int cellDay[2][2]; // (cell, day) pairs
    } rows[] = {
        {2000, 1, 31, 5, {{5, 1}, {35, 31}}},     // 1 January 2000 was a Saturday (六)
        {2024, 2, 29, 3, {{3, 1}, {31, 29}}},     // a leap February from a Thursday
        {1582, 10, 21, 0, {{3, 4}, {4, 15}}},     // the 4th is followed by the 15th
        {-1, 12, 31, 2, {{2, 1}, {32, 31}}},      // 1 BC (astronomical year 0), from a Wednesday
    };
    for (const auto &r : rows) {
        const WnlMonthData m = Month(cal, r.year, r.month);
        EXPECT_EQ(m.length, r.length) << r.year << "-" << r.month;
        EXPECT_EQ(m.firstColumn, r.firstColumn) << r.year << "-" << r.month;
        EXPECT_EQ(int(m.days.size()), r.length);
        for (const auto &cd : r.cellDay) {
            EXPECT_EQ(m.DayAtCell(cd[0]), cd[1]) << r.year << "-" << r.month << " cell " << cd[0];
            EXPECT_EQ(m.CellOfDay(cd[1]), cd[0]);
        }
    }
    // A click on the picture maps to the cell below the weekday row.
    EXPECT_EQ(WnlCellAt({700, 700}, {450, 150}), 4);
    EXPECT_EQ(WnlCellAt({700, 700}, {50, 50}), -1);
    EXPECT_EQ(WnlCellAt({700, 700}, {699, 699}), 41);
}

TEST(CalendarMonth, WritesEraAnimalPillarsAndLunarDays)
{
    WnlCalendar cal;
    const WnlMonthData m = Month(cal, 2024, 2, 10, 12);
    EXPECT_EQ(S(m.labShow), "2024年2月");
    EXPECT_EQ(S(m.title), "[当代] 中国  公历纪元2024年  【龙年】");
    EXPECT_EQ(S(m.ganzhi), "甲辰年\r\n丙寅月\r\n甲辰日\r\n庚午时");
    EXPECT_EQ(S(m.days[9].lunarText), "正月初一");
    EXPECT_EQ(S(m.days[0].dayText), "2月");
    EXPECT_EQ(S(m.jie), "立春:4日16时27分\r\n\r\n雨水:19日12时13分\r\n\r\n");
    EXPECT_EQ(S(m.days[3].termName), "立春");

    // Before 立春 the year is still 癸卯, a rabbit; the hour 23 takes the next day's pillar.
    const WnlMonthData early = Month(cal, 2024, 2, 3, 23);
    EXPECT_EQ(S(early.ganzhi), "癸卯年\r\n乙丑月\r\n戊戌日\r\n壬子时");
    EXPECT_NE(early.title.indexOf(QStringLiteral("【兔年】")), -1);
}

TEST(CalendarMonth, PutsEveryTermOnTheDayOfItsMoment)
{
    // Terms whose moment lies in the last half minute of a day stay on that day, at 23:59.
    WnlCalendar cal;
    const WnlMonthData feb1923 = Month(cal, 1923, 2);
    EXPECT_EQ(S(feb1923.days[18].termName), "雨水");
    EXPECT_NE(feb1923.jie.indexOf(QStringLiteral("雨水:19日23时59分")), -1) << S(feb1923.jie);
    const WnlMonthData jan1979 = Month(cal, 1979, 1);
    EXPECT_NE(jan1979.jie.indexOf(QStringLiteral("大寒:20日23时59分")), -1) << S(jan1979.jie);
    EXPECT_EQ(S(jan1979.days[19].termName), "大寒");
    EXPECT_TRUE(jan1979.days[20].termName.isEmpty());
}

TEST(CalendarMonth, StepsAcrossYearZeroAndStopsAtTheEnds)
{
    int y = 1, m = 1;
    ASSERT_TRUE(WnlPreviousMonth(y, m));
    EXPECT_EQ(y, -1);
    EXPECT_EQ(m, 12);
    ASSERT_TRUE(WnlNextMonth(y, m));
    EXPECT_EQ(y, 1);
    EXPECT_EQ(m, 1);
    y = -1, m = 1;
    ASSERT_TRUE(WnlPreviousMonth(y, m));
    EXPECT_EQ(y, -2);
    y = kWnlFirstYear, m = 1;
    EXPECT_FALSE(WnlPreviousMonth(y, m));
    y = kWnlLastYear, m = 12;
    EXPECT_FALSE(WnlNextMonth(y, m));
    EXPECT_EQ(AstroYearOfShown(-1), 0);
    EXPECT_EQ(ShownYearOfAstro(0), -1);
    EXPECT_EQ(ShownYearOfAstro(5), 5);

    // Both ends of the range build.
    WnlCalendar cal;
    EXPECT_EQ(Month(cal, kWnlFirstYear, 1).length, 31);
    EXPECT_EQ(Month(cal, kWnlLastYear, 12).length, 31);
}

TEST(CalendarMonth, RefusesDaysAndYearsThatDoNotExist)
{
    EXPECT_EQ(WnlCheckDate({1582, 10, 4, 12, 0}), 21);
    EXPECT_EQ(WnlCheckDate({1582, 10, 10, 12, 0}), 0);
    EXPECT_EQ(WnlCheckDate({1582, 10, 31, 12, 0}), 21);
    EXPECT_EQ(WnlCheckDate({1900, 2, 29, 12, 0}), 0);
    EXPECT_EQ(WnlCheckDate({1500, 2, 29, 12, 0}), 29); // Julian leap year
    EXPECT_EQ(WnlCheckDate({2024, 13, 1, 12, 0}), 0);

    WnlCalendar cal;
    WnlMonthData m = Month(cal, 2024, 2);
    const struct {
        TDateRec date;
        WnlCalendar::Error error;
    } rows[] = {
        {{2023, 2, 29, 12, 0}, WnlCalendar::Error::Date},
        {{1582, 10, 5, 12, 0}, WnlCalendar::Error::Date},
        {{10000, 1, 1, 12, 0}, WnlCalendar::Error::Year},
        {{-4713, 12, 1, 12, 0}, WnlCalendar::Error::Year}, // shown -4714
    };
    for (const auto &r : rows) {
        EXPECT_EQ(cal.Build(r.date, m), r.error);
        EXPECT_EQ(S(m.labShow), "2024年2月");
    }
    EXPECT_EQ(S(WnlCalendar::ErrorText(WnlCalendar::Error::Year)), "年份在-4713 到 9999年之间，并且没有公元0年");
}
