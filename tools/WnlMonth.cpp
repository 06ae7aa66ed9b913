#include "WnlMonth.h"

#include "BirthPillars.h"
#include "LunarText.h"
#include "MathUtil.h"
#include "NameTables.h"

#include <cmath>

namespace {
QString U(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

bool IsReformMonth(int year, int month) { return year == 1582 && month == 10; }

// The animal of a year, by the branch number of its cycle number (亥 = 0).
constexpr std::string_view kAnimal[12] = {"猪", "鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗"};

// Half a minute as a fraction of a day.
constexpr double kHalfMinute = 30.0 / 86400.0;
} // namespace

int AstroYearOfShown(int shownYear) { return shownYear < 0 ? shownYear + 1 : shownYear; }
int ShownYearOfAstro(int astroYear) { return astroYear < 1 ? astroYear - 1 : astroYear; }

int WnlCheckDate(const TDateRec &date)
{
    if (date.month < 1 || date.month > 12 || date.day < 1)
        return 0;
    const bool reform = IsReformMonth(date.year, date.month);
    if (reform && date.day >= 5 && date.day <= 14)
        return 0;
    const TDateRec first{date.year, date.month, 1, 12, 1};
    const TDateRec next{int16_t(date.month == 12 ? date.year + 1 : date.year), int16_t(date.month % 12 + 1), 1, 12, 1};
    const int length = int(std::lround(MYiDateEx::ToJD(next) - MYiDateEx::ToJD(first)));
    const int n = reform && date.day > 14 ? date.day - 10 : date.day;
    return n <= length ? length : 0;
}

bool WnlPreviousMonth(int &shownYear, int &month)
{
    if (shownYear <= kWnlFirstYear && month <= 1)
        return false;
    if (--month < 1) {
        month = 12;
        shownYear = shownYear == 1 ? -1 : shownYear - 1;
    }
    return true;
}

bool WnlNextMonth(int &shownYear, int &month)
{
    if (shownYear >= kWnlLastYear && month >= 12)
        return false;
    if (++month > 12) {
        month = 1;
        shownYear = shownYear == -1 ? 1 : shownYear + 1;
    }
    return true;
}

int WnlMonthData::DayAtCell(int cell) const
{
    for (const WnlDay &d : days)
        if (d.cell == cell)
            return d.day;
    return 0;
}

int WnlMonthData::CellOfDay(int day) const
{
    for (const WnlDay &d : days)
        if (d.day == day)
            return d.cell;
    return -1;
}

WnlCalendar::WnlCalendar() : pillars_(MakeProgramCalendar()) {}

WnlCalendar::~WnlCalendar() = default;

QString WnlCalendar::ErrorTitle(Error e)
{
    return e == Error::Year ? QStringLiteral("年份不对") : QStringLiteral("日期不对");
}

QString WnlCalendar::ErrorText(Error e)
{
    return e == Error::Year ? QStringLiteral("年份在-4713 到 9999年之间，并且没有公元0年")
                            : QStringLiteral("不存在这个日期，请重新输入！");
}

const WnlCalendar::YearTerms &WnlCalendar::TermsOfYear(int year)
{
    auto it = years_.find(year);
    if (it != years_.end())
        return it->second;
    if (years_.size() > 64)
        years_.clear();
    YearTerms t;
    t.records = calendar_.YearJieQi(year, &t.moments);
    return years_.emplace(year, std::move(t)).first->second;
}

const std::vector<WnlTerm> &WnlCalendar::TermsOfMonth(int year, int month)
{
    const int key = 12 * year + month - 1;
    auto it = months_.find(key);
    if (it != months_.end())
        return it->second;
    if (months_.size() > 256)
        months_.clear();
    // Every term stands on the civil day of its moment. The listed records are rounded to the minute, which
    // would carry a term of the last half minute into the next day (and a 31 December one into the next
    // year's list); such a term keeps its own day and shows 23:59.
    std::vector<WnlTerm> out;
    auto consider = [&](const TJieQiRec &rec, double jd) {
        const TDateRec day = MYiDateEx::FromJD(jd - kHalfMinute); // the moment cut to the minute
        if (day.year != year || day.month != month || out.size() >= 3)
            return;
        const bool sameDay = rec.year == day.year && rec.month == day.month && rec.day == day.day;
        out.push_back({day.day, sameDay ? rec.hour : day.hour, sameDay ? rec.minute : day.minute, rec.term});
    };
    const YearTerms &terms = TermsOfYear(year);
    for (size_t i = 0; i < terms.records.size() && i < terms.moments.size(); ++i)
        consider(terms.records[i], terms.moments[i]);
    if (month == 12 && year < kWnlLastYear) {
        const YearTerms &next = TermsOfYear(year + 1);
        if (!next.records.empty() && !next.moments.empty())
            consider(next.records.front(), next.moments.front());
    }
    return months_.emplace(key, std::move(out)).first->second;
}

WnlCalendar::Error WnlCalendar::Build(const TDateRec &date, WnlMonthData &out)
{
    const int shown = ShownYearOfAstro(date.year);
    if (shown < kWnlFirstYear || shown > kWnlLastYear)
        return Error::Year;
    if (WnlCheckDate(date) == 0 || date.hour < 0 || date.hour > 23 || date.minute < 0 || date.minute > 59)
        return Error::Date;

    WnlMonthData m;
    m.date = date;
    m.shownYear = shown;
    m.length = WnlCheckDate(date);
    const TDateRec first{date.year, date.month, 1, 12, 0};
    m.firstColumn = FloorMod(MYiDateEx::WeekDay(first) + 6, 7);
    m.terms = TermsOfMonth(date.year, date.month);

    const bool reform = IsReformMonth(date.year, date.month);
    for (int i = 0; i < m.length; ++i) {
        WnlDay d;
        d.day = reform && i >= 4 ? i + 11 : i + 1;
        d.cell = m.firstColumn + i;
        d.dayText = d.day == 1 ? QStringLiteral("%1月").arg(date.month) : QString::number(d.day);
        for (const WnlTerm &t : m.terms)
            if (t.day == d.day)
                d.termName = U(JieQi(t.term));
        TDateRec lunar;
        const bool leap = calendar_.GongToNong(TDateRec{date.year, date.month, int16_t(d.day), 12, 0}, lunar);
        d.lunarText = LunarMonthText(lunar.month, leap) + LunarDayText(lunar.day);
        m.days.push_back(d);
    }
    FillTexts(m);
    out = std::move(m);
    return Error::None;
}

void WnlCalendar::FillTexts(WnlMonthData &m)
{
    const TDateRec &d = m.date;
    m.labShow = QStringLiteral("%1年%2月").arg(m.shownYear).arg(d.month);
    // The year turns at 立春, the hour 23 belongs to the next day.
    const auto gz = BirthGanZhi(*pillars_, d);
    const int yearGZ = gz[0];
    const int eraYear = FloorMod(d.year + 6897, 60) == yearGZ ? d.year : d.year - 1;
    m.title = U(eras_.NianHao(eraYear)) + QStringLiteral("  【%1年】").arg(U(kAnimal[CycleBranch(yearGZ)]));
    m.ganzhi = GanZhiText(gz[0]) + QStringLiteral("年\r\n") + GanZhiText(gz[1]) + QStringLiteral("月\r\n") +
               GanZhiText(gz[2]) + QStringLiteral("日\r\n") + GanZhiText(gz[3]) + QStringLiteral("时");
    m.jie.clear();
    for (const WnlTerm &t : m.terms)
        m.jie += QStringLiteral("%1:%2日%3时%4分\r\n\r\n").arg(U(JieQi(t.term))).arg(t.day).arg(t.hour).arg(t.minute);
}
