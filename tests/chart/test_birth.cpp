// The owner's birth date: range checks before the calendar, the pillar arithmetic, and (with the program's
// calendar) the four pillars of real dates.
#include "BirthPillars.h"
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"
#include "MYiDateEx.h"

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

namespace {

TEST(BirthPillars, WithTheProgramCalendar)
{
    auto cal = MakeProgramCalendar();
    ASSERT_TRUE(cal);
    const auto names = [](const std::array<int16_t, 4> &p) {
        return GanZhiName(p[0]) + " " + GanZhiName(p[1]) + " " + GanZhiName(p[2]) + " " + GanZhiName(p[3]);
    };
    EXPECT_EQ(names(BirthGanZhi(*cal, TDateRec{1984, 2, 5, 12, 0})), "甲子 丙寅 己巳 庚午");
    const auto late = BirthGanZhi(*cal, TDateRec{2000, 1, 1, 23, 30});
    EXPECT_EQ(GanZhiName(late[2]), "己未");
    EXPECT_EQ(GanZhiName(late[3]), "甲子");
    // 立春 1984 fell on 02-04 at 23:19: noon of that day still belongs to 癸亥.
    const auto before = BirthGanZhi(*cal, TDateRec{1984, 2, 4, 12, 0});
    EXPECT_EQ(GanZhiName(before[0]), "癸亥");
    EXPECT_EQ(GanZhiName(before[1]), "乙丑");
    EXPECT_EQ(MingYearOf(TDateRec{1984, 2, 4, 12, 0}, before[0]), 1983);
}

TEST(BirthPillars, LunarAndLateBirthsOnTheChart)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.DateEx);
    TRecordData rec = ReferenceHouse();
    rec.date = TDateRec{2000, 1, 1, 23, 30};
    ASSERT_TRUE(q.CalcChart(rec)) << q.sMessage.toStdString();
    EXPECT_EQ(q.BirthNong, (TDateRec{1999, 11, 26, 23, 30})); // the next day's lunar date
    EXPECT_EQ(q.BirthLeap, 0);
    EXPECT_EQ(q.MingYear, 1999); // before 立春 2000
    EXPECT_EQ(GanZhiName(q.MingGanZhi), "己卯");

    // The same birth entered as its lunar date gives the same Gregorian moment.
    rec.date = TDateRec{1999, 11, 25, 23, 30};
    rec.lunar = 1;
    ASSERT_TRUE(q.CalcChart(rec)) << q.sMessage.toStdString();
    EXPECT_EQ(q.BirthGong, (TDateRec{2000, 1, 1, 23, 30}));

    // A lunar day that does not exist, and a lunar year the calendar cannot convert.
    rec.date = TDateRec{2023, 5, 1, 12, 0}; // 2023 has a leap 二月, no leap 五月
    rec.leap = 1;
    EXPECT_FALSE(q.CalcChart(rec));
    EXPECT_EQ(q.sMessage, QStringLiteral("宅主生日：不存在这个农历日期，无法转换到公历！"));
    rec.leap = 0;
    rec.date = TDateRec{50, 1, 1, 0, 0};
    rec.buildYear = 2004;
    EXPECT_FALSE(q.CalcChart(rec));
    EXPECT_EQ(q.sMessage, QStringLiteral("宅主生日：时间越界，年份在100到9999之间"));

    // A Gregorian date that does not exist.
    rec.lunar = 0;
    rec.date = TDateRec{2023, 2, 29, 12, 0};
    EXPECT_FALSE(q.CalcChart(rec));
    EXPECT_EQ(q.sMessage, QStringLiteral("宅主生日：不存在这个日期"));
}

// A birth in the very minute of 立春: the year and month pillars must belong together (the new year with its 寅
// month, or the old year with its 丑 month), and the life trigram's year follows the year pillar.
TEST(BirthPillars, YearAndMonthAgreeInTheMinuteOfLiChun)
{
    TempProgramFolder folder;
    MQuorin q;
    ASSERT_TRUE(q.DateEx);
    MYiDateEx exact;
    TRecordData rec = ReferenceHouse();
    for (int year = 1900; year <= 2030; ++year) {
        rec.date = exact.JieQiTime(year, 2, true);
        ASSERT_TRUE(q.CalcChart(rec)) << q.sMessage.toStdString();
        const bool newYear = q.SiZhu[0] == YearGanZhi(year);
        EXPECT_EQ(FloorMod(q.SiZhu[1], 12), newYear ? 3 : 2) << year;
        EXPECT_EQ(q.SiZhu[1], MonthPillar(q.SiZhu[0], q.SiZhu[1])) << year;
        EXPECT_EQ(q.MingYear, newYear ? year : year - 1) << year;
        EXPECT_EQ(q.BaZhai[1][0], LifeTrigram(q.MingYear, true)) << year;
    }
}

} // namespace

namespace {

// The chart's calendar keeps the term moments of each year; its month branches must equal the calendar's own
// exact search everywhere, also within minutes of a term.
TEST(BirthPillars, SolarMonthAgreesWithTheCalendar)
{
    auto cal = MakeProgramCalendar();
    MYiDateEx exact;
    for (int year : {1900, 1984, 2000, 2024, 2100}) {
        for (int month = 1; month <= 12; ++month) {
            const TDateRec term = exact.JieQiTime(year, month, true);
            for (int shift = -3; shift <= 3; ++shift) {
                const TDateRec d = MYiDateEx::FromJD(MYiDateEx::ToJD(term) + shift / 1440.0);
                EXPECT_EQ(cal->SolarMonthBranch(d), exact.JieQiMonth(d)) << year << "-" << month << " " << shift;
            }
            for (int day : {1, 10, 20, 28}) {
                const TDateRec d{static_cast<int16_t>(year), static_cast<int16_t>(month), static_cast<int16_t>(day),
                                 7, 30};
                EXPECT_EQ(cal->SolarMonthBranch(d), exact.JieQiMonth(d)) << year << "-" << month << "-" << day;
            }
        }
        EXPECT_EQ(cal->LiChun(year), exact.JieQiTime(year, 2, true));
    }
}

} // namespace
