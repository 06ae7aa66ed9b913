// The owner's birth date: range checks before the calendar, the pillar arithmetic, and (with the program's
// calendar) the four pillars of real dates.
#include "BirthPillars.h"
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <gtest/gtest.h>

namespace {

// A calendar that counts its calls and knows just enough for the checks.
class CountingCalendar : public IChartCalendar {
public:
    int calls = 0;
    bool IsGongDate(const TDateRec &d) override { return ++calls, d.day <= 28; }
    bool NongToGong(const TDateRec &l, bool, TDateRec &g, std::string &) override { return ++calls, g = l, true; }
    bool GongToNong(const TDateRec &g, TDateRec &l) override { return ++calls, l = g, false; }
    void NextDay(TDateRec &d) override { ++calls, ++d.day; }
    double ToJD(const TDateRec &) override { return ++calls, 0; }
    TDateRec LiChun(int) override { return ++calls, TDateRec{}; }
    int SolarMonthBranch(const TDateRec &) override { return ++calls, 3; }
    int DayGanZhi(const TDateRec &) override { return ++calls, 0; }
};

TEST(BirthDate, RangeChecksComeBeforeTheCalendar)
{
    CountingCalendar cal;
    BirthData out;
    std::string msg;
    EXPECT_FALSE(CheckBirthDate(&cal, TDateRec{1980, 13, 1, 0, 0}, false, false, out, msg));
    EXPECT_EQ(msg, "不存在这个日期");
    EXPECT_FALSE(CheckBirthDate(&cal, TDateRec{1980, 2, 1, 0, -5}, false, false, out, msg));
    // A lunar date is checked on the birth year before it is converted.
    EXPECT_FALSE(CheckBirthDate(&cal, TDateRec{99, 2, 1, 0, 0}, true, false, out, msg));
    EXPECT_EQ(msg, "时间越界，年份在100到9999之间");
    EXPECT_FALSE(CheckBirthDate(&cal, TDateRec{10000, 2, 1, 0, 0}, true, false, out, msg));
    EXPECT_FALSE(CheckBirthDate(&cal, TDateRec{-20000, 2, 1, 0, 0}, false, false, out, msg));
    EXPECT_EQ(msg, "公、农历正常转换年份在100到9999之间");
    EXPECT_EQ(cal.calls, 0);

    EXPECT_FALSE(CheckBirthDate(&cal, TDateRec{1980, 2, 30, 0, 0}, false, false, out, msg));
    EXPECT_EQ(msg, "不存在这个日期");
    EXPECT_TRUE(CheckBirthDate(&cal, TDateRec{1980, 2, 3, 23, 30}, false, false, out, msg));
    EXPECT_EQ(out.gong.day, 3);
    EXPECT_EQ(out.nong.day, 4); // the hour 23 counts as the next day for the lunar date
    EXPECT_FALSE(CheckBirthDate(nullptr, TDateRec{1980, 2, 3, 0, 0}, false, false, out, msg));
}

TEST(BirthDate, PillarArithmetic)
{
    EXPECT_EQ(GanZhiName(MonthPillar(1, 3)), "丙寅");  // 甲 year, 寅 month
    EXPECT_EQ(GanZhiName(MonthPillar(1, 2)), "丁丑");  // 丑 month closes the 甲 year
    EXPECT_EQ(GanZhiName(MonthPillar(6, 3)), "丙寅");  // 己 year like 甲
    EXPECT_EQ(GanZhiName(MonthPillar(0, 3)), "甲寅");  // 癸 year
    EXPECT_EQ(GanZhiName(HourPillar(6, 12)), "庚午"); // 己 day, noon
    EXPECT_EQ(GanZhiName(HourPillar(56, 23)), "甲子"); // 己未 day (already advanced), 23:30
    EXPECT_EQ(GanZhiName(HourPillar(55, 0)), "壬子"); // 戊午 day, midnight
    EXPECT_EQ(GanZhiName(HourPillar(0, 1)), "癸丑");  // 癸亥 day
}

TEST(BirthDate, OwnersYearTurnsAtLiChun)
{
    EXPECT_EQ(MingYearOf(TDateRec{1984, 2, 3, 12, 0}, YearGanZhi(1983)), 1983);
    EXPECT_EQ(MingYearOf(TDateRec{1984, 2, 5, 12, 0}, YearGanZhi(1984)), 1984);
}

} // namespace
