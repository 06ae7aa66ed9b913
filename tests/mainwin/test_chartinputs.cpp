#include "ChartInputs.h"
#include "ChartRules.h"
#include "TRecordData.h"

#include <gtest/gtest.h>

using namespace ChartInputs;

TEST(DegreeText, MinutesAreRoundedAndCarriedIntoTheDegrees)
{
    EXPECT_EQ(DegreeText(125.25), QStringLiteral("125:15"));
    EXPECT_EQ(DegreeText(120.9999), QStringLiteral("121:00")); // never "120:60"
    EXPECT_EQ(DegreeText(359.9999), QStringLiteral("0:00"));   // and never "360:00", which would not read back
    EXPECT_EQ(DegreeText(10.0 + 1.0 / 120), QStringLiteral("10:00")); // half a minute goes down
    EXPECT_EQ(DegreeText(7.0 + 5.0 / 60), QStringLiteral("7:05"));    // as the edit box shows "0:00"
    // The edit box shows what the report and the pictures show, also where float rounding is at a half minute.
    for (double d : {1.0583333, 1.0 + 3.5 / 60, 200.0 + 59.5 / 60, 7.25 / 60}) {
        const DegMin dm = ToDegMin(d);
        EXPECT_EQ(DegreeText(d), QStringLiteral("%1:%2").arg(dm.deg).arg(dm.min, 2, 10, QLatin1Char('0'))) << d;
    }
    for (double d : {0.0, 5.25, 120.5, 354.75, 359.99}) {
        const ParsedDegree back = ParseDegree(DegreeText(d));
        EXPECT_EQ(back.error, DegreeError::None) << d;
    }
}

TEST(DegreeText, ParsingAcceptsTheThreeSeparatorsAndRefusesTheRest)
{
    EXPECT_DOUBLE_EQ(ParseDegree(QStringLiteral(" 120:30 ")).degree, 120.5);
    EXPECT_DOUBLE_EQ(ParseDegree(QStringLiteral("120-30")).degree, 120.5);
    EXPECT_DOUBLE_EQ(ParseDegree(QStringLiteral("120 30")).degree, 120.5);
    EXPECT_EQ(ParseDegree(QStringLiteral("120")).error, DegreeError::Format);
    EXPECT_EQ(ParseDegree(QStringLiteral("120:")).error, DegreeError::Format);
    EXPECT_EQ(ParseDegree(QStringLiteral(":30")).error, DegreeError::DegreeRange);
    EXPECT_EQ(ParseDegree(QStringLiteral("x:30")).error, DegreeError::DegreeRange);
    EXPECT_EQ(ParseDegree(QStringLiteral("360:00")).error, DegreeError::DegreeRange);
    EXPECT_EQ(ParseDegree(QStringLiteral("359:59")).error, DegreeError::None);
    EXPECT_EQ(ParseDegree(QStringLiteral("10:60")).error, DegreeError::MinuteRange);
    EXPECT_EQ(ParseDegree(QStringLiteral("10:-1")).error, DegreeError::MinuteRange);
}

TEST(SittingItems, JianItemsPointHalfwayBetweenThresholdAndEdge)
{
    EXPECT_DOUBLE_EQ(ItemToDegree(5, 3.0), 0.0);         // 子山午向
    EXPECT_DOUBLE_EQ(ItemToDegree(6, 3.0), 5.25);        // 子山兼癸
    EXPECT_DOUBLE_EQ(ItemToDegree(4, 3.0), 354.75);      // 子山兼壬, across north
    EXPECT_DOUBLE_EQ(ItemToDegree(4 * 9 + 2, 4.5), 126); // 辰山兼巽
    EXPECT_DOUBLE_EQ(ItemToDegree(0, 3.0), 339.75);      // 壬山兼亥
    EXPECT_LT(ItemToDegree(3, 3.0), 0);                  // separator
    EXPECT_LT(ItemToDegree(96, 3.0), 0);
}

TEST(Periods, YearsMapToPeriodsAndMoveBetweenThem)
{
    EXPECT_EQ(PeriodIndexOfYear(1864), 0);
    EXPECT_EQ(PeriodIndexOfYear(2004), 7);
    EXPECT_EQ(PeriodIndexOfYear(2024), 8);
    EXPECT_EQ(PeriodIndexOfYear(44), 8);
    EXPECT_EQ(PeriodIndexOfYear(43), -1);
    EXPECT_EQ(PeriodIndexOfYear(5000), 3); // the chart's 四运: every building year a case takes has its period
    EXPECT_EQ(PeriodIndexOfYear(10000), -1);
    EXPECT_EQ(YearInPeriod(1990, 7), 2010);
    EXPECT_EQ(YearInPeriod(2004, 0), 1864);
    EXPECT_EQ(YearInPeriod(2050, 8), 2210); // moves within the 180-year cycle, forward from 一运
    EXPECT_EQ(YearInPeriod(50, 0), -1);     // 九运 of 44..63 would move before the first year
    EXPECT_EQ(YearInPeriod(-1, 3), -1);
    EXPECT_EQ(YearInPeriod(2990, 8), 3110);
    EXPECT_EQ(YearInPeriod(9990, 8), -1); // would leave the years that have a period
}

// Every field a lay-out reads tells two houses apart; the view, category, comments and address do not, and a
// degree is compared to the minute the box shows.
TEST(SameHouse, EveryLaidOutFieldCountsAndNothingElse)
{
    TRecordData base;
    base.name = QStringLiteral("张三");
    base.date = {1980, 5, 6, 7, 8};
    base.buildYear = 2004;
    base.mountain = 5;
    base.degree = 44.4837f; // shown as 44:29
    const struct {
        const char *what;
        void (*change)(TRecordData &);
        bool same;
    } rows[] = {
        {"name", [](TRecordData &r) { r.name = QStringLiteral("张三丰"); }, false},
        {"sex", [](TRecordData &r) { r.sex = 0; }, false},
        {"birth year", [](TRecordData &r) { r.date.year = 1985; }, false},
        {"birth hour", [](TRecordData &r) { r.date.hour = 9; }, false},
        {"lunar birth date", [](TRecordData &r) { r.lunar = 1; }, false},
        {"leap month", [](TRecordData &r) { r.leap = 1; }, false},
        {"building year", [](TRecordData &r) { r.buildYear = 1995; }, false},
        {"sitting item", [](TRecordData &r) { r.mountain = 6; }, false},
        {"degree a minute on", [](TRecordData &r) { r.degree = 44.5f; }, false},
        {"替卦", [](TRecordData &r) { r.xiaGua = 0; }, false},
        {"door", [](TRecordData &r) { r.door = 3; }, false},
        {"degree within the minute shown", [](TRecordData &r) { r.degree = 44.4833f; }, true},
        {"view", [](TRecordData &r) { r.chartPanel = 1; }, true},
        {"category", [](TRecordData &r) { r.className = QStringLiteral("小区套房"); }, true},
        {"comments", [](TRecordData &r) { r.remarkText = QStringLiteral("评语"); }, true},
        {"address", [](TRecordData &r) { r.address = QStringLiteral("未知地"); }, true},
        {"colours", [](TRecordData &r) { r.colour = 2; }, true},
    };
    for (const auto &row : rows) {
        TRecordData other = base;
        row.change(other);
        EXPECT_EQ(SameHouse(base, other), row.same) << row.what;
        EXPECT_EQ(SameHouse(other, base), row.same) << row.what;
    }
}
