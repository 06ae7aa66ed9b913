#include "BirthPillars.h"

#include "ChartRules.h"
#include "MathUtil.h"

namespace {
bool YearInRange(int year) { return year >= 100 && year <= 9999; }

bool FieldsInRange(const TDateRec &d, bool lunar)
{
    return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= (lunar ? 30 : 31) && d.hour >= 0 &&
           d.hour <= 23 && d.minute >= 0 && d.minute <= 59;
}
} // namespace

bool CheckBirthDate(IChartCalendar *cal, const TDateRec &entered, bool lunar, bool leap, BirthData &out,
                    std::string &message)
{
    message.clear();
    out = BirthData{};
    if (!FieldsInRange(entered, lunar)) {
        message = lunar ? "不存在这个农历日期，无法转换到公历！" : "不存在这个日期";
        return false;
    }
    if (!cal) {
        message = "没有可用的历法，无法换算生日";
        return false;
    }
    if (lunar) {
        // The year is checked before the conversion: the calendar is only good for 100..9999.
        if (!YearInRange(entered.year)) {
            message = "时间越界，年份在100到9999之间";
            return false;
        }
        if (!cal->NongToGong(entered, leap, out.gong, message))
            return false;
    } else {
        if (!YearInRange(entered.year)) {
            message = "公、农历正常转换年份在100到9999之间";
            return false;
        }
        if (!cal->IsGongDate(entered)) {
            message = "不存在这个日期";
            return false;
        }
        out.gong = entered;
    }
    TDateRec day = out.gong;
    if (day.hour == 23)
        cal->NextDay(day);
    if (!YearInRange(day.year)) {
        message = "公、农历正常转换年份在100到9999之间";
        return false;
    }
    out.leap = cal->GongToNong(day, out.nong) ? 1 : 0;
    return true;
}

int MonthPillar(int yearPillar, int branch)
{
    int s = FloorMod(yearPillar, 10);
    if (s == 0)
        s = 10;
    if (s > 5)
        s -= 5;
    s = (2 * s + 1) % 10; // stem of the 寅 month
    const int b = FloorMod(branch - 3, 12);
    return GanZhiIndex((b + s) % 10, (b + 3) % 12);
}

int HourPillar(int dayPillar, int hour)
{
    int ds = FloorMod(dayPillar, 10);
    if (ds == 0)
        ds = 5;
    int h = FloorMod(hour, 24);
    if (h % 2 == 1)
        h = (h + 1) % 24;
    return GanZhiIndex(FloorMod(2 * ds + h / 2 - 1, 10), (h / 2 + 1) % 12);
}

std::array<int16_t, 4> BirthGanZhi(IChartCalendar &cal, const TDateRec &gong)
{
    // The solar month decides the year as well: in January and February a 子 or 丑 month still belongs to the
    // year before. Comparing with the moment of 立春, which is kept only to the minute, would give the new year
    // beside the old year's 丑 month for a birth within that minute.
    const int branch = cal.SolarMonthBranch(gong);
    const int y = gong.year - (gong.month <= 2 && (branch == 1 || branch == 2) ? 1 : 0);
    const int year = FloorMod(y + 6897, 60);
    const int month = MonthPillar(year, branch);
    int day = cal.DayGanZhi(gong);
    if (gong.hour == 23)
        day = FloorMod(day + 1, 60);
    const int hour = HourPillar(day, gong.hour);
    return {static_cast<int16_t>(year), static_cast<int16_t>(month), static_cast<int16_t>(day),
            static_cast<int16_t>(hour)};
}

int MingYearOf(const TDateRec &gong, int yearPillar)
{
    return YearGanZhi(gong.year) != FloorMod(yearPillar, 60) ? gong.year - 1 : gong.year;
}
