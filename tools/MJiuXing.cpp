#include "MJiuXing.h"

#include "BirthPillars.h"
#include "MathUtil.h"
#include "NameTables.h"

#include <cmath>
#include <limits>

JiuXingChart FlyChart(int centre, int direction)
{
    JiuXingChart c;
    c.direction = direction < 0 ? -1 : 1;
    const int centreStar = FloorMod(centre, 9);
    for (int i = 0; i < 9; ++i) {
        const int offset = c.direction < 0 ? 9 - kFlightOffset[i] : kFlightOffset[i];
        c.star[i] = uint8_t(FloorMod(offset + centreStar, 9));
        c.state[i] = uint8_t(StarStateIndex(c.star[i], centreStar));
    }
    return c;
}

MJiuXing::MJiuXing() : pillars_(MakeProgramCalendar()) {}

MJiuXing::~MJiuXing() = default;

bool MJiuXing::Compute(const TDateRec &date, bool draw)
{
    JiuXingResult r;
    if (!Validate(date, r))
        return false;
    const auto gz = BirthGanZhi(*pillars_, date); // the year turns at 立春, the hour 23 counts as the next day
    for (int i = 0; i < 4; ++i)
        r.ganzhi[i] = gz[i];
    CalcStars(r);
    result_ = r;
    if (draw)
        Draw();
    return true;
}

bool MJiuXing::Validate(const TDateRec &date, JiuXingResult &r)
{
    message_.clear();
    if (!MYiDateEx::IsGongDate(date) || date.hour < 0 || date.hour > 23 || date.minute < 0 || date.minute > 59) {
        message_ = QStringLiteral("没有这个公历日期！");
        return false;
    }
    TDateRec day = date;
    if (day.hour == 23)
        MYiDateEx::NextDay(day);
    if (date.year < kMinYear || day.year > kMaxYear) {
        message_ = QStringLiteral("公历日期输入年份在100-3000年之间！");
        return false;
    }
    r.gregorian = date;
    r.moment = MYiDateEx::ToJD(date);
    r.leap = calendar_.GongToNong(day, r.lunar);
    return true;
}

void MJiuXing::CalcStars(JiuXingResult &r)
{
    const TDateRec &d = r.gregorian;
    const int yearGZ = r.ganzhi[0];
    // The year of the charts is the year that began at the last 立春.
    const int y = FloorMod(d.year - 63, 60) != yearGZ ? d.year - 1 : d.year;
    auto &c = r.charts;
    c[int(JiuXingKind::DaYun)] = FlyChart(((y - 4) / 60 + 6) % 9, 1);   // 60-year periods from 4 AD
    c[int(JiuXingKind::XiaoYun)] = FlyChart(((y - 64) / 20 + 1) % 9, 1); // 20-year periods from 64 AD (一白)
    c[int(JiuXingKind::Nian)] = FlyChart((10 - (y - 64) % 9) % 9, 1);    // 64 AD was a 一白 year

    // The first month (寅) holds 二黑 in 寅申巳亥 years, 八白 in 子午卯酉 and 五黄 in 辰戌丑未 years.
    static constexpr int kFirstMonthStar[3] = {2, 8, 5};
    const int f = kFirstMonthStar[FloorMod(yearGZ, 12) % 3];
    const int m = FloorMod(CycleBranch(r.ganzhi[1]) - 3, 12);
    c[int(JiuXingKind::Yue)] = FlyChart(f - m + 18, 1);

    const int dayStar = CalcDayStar(r);
    c[int(JiuXingKind::Ri)] = FlyChart(dayStar, c[int(JiuXingKind::Ri)].direction);

    // Hours fly backward from 夏至 to 冬至. On 子午卯酉 days the 子 hour starts at 一白, on 辰戌丑未 days at
    // 四绿, on 寅申巳亥 days at 七赤 (after 夏至: 九紫, 六白, 三碧).
    const double xiaZhi = MYiDateEx::ToJD(calendar_.JieQiTime(d.year, 6, false));
    const double dongZhi = MYiDateEx::ToJD(calendar_.JieQiTime(d.year, 12, false));
    const int dir = r.moment >= xiaZhi && r.moment < dongZhi ? -1 : 1;
    const int dayBranch = CycleBranch(r.ganzhi[2]);
    int start = dayBranch % 3 == 1 ? 1 : dayBranch % 3 == 2 ? 4 : 7;
    if (dir < 0)
        start = 10 - start;
    int h = CycleBranch(r.ganzhi[3]);
    if (h == 0)
        h = 12;
    c[int(JiuXingKind::Shi)] = FlyChart((h - 1) * dir + start + 81, dir);
}

namespace {

// The index of a reference term (夏至 0, 处暑, 霜降, 冬至, 雨水, 谷雨 5) from the number of the solar month whose
// mid-term it is (午 6, 申 8, 戌 10, 子 12, 寅 2, 辰 4).
int TermIndex(int solarMonth) { return FloorMod(solarMonth + 6, 12) / 2; }

// Julian day number (at noon, Beijing time) of a date.
long DayNumber(const TDateRec &date)
{
    return std::lround(MYiDateEx::ToJD(TDateRec{date.year, date.month, date.day, 12, 0}));
}

// The 甲子 day nearest the day of a term (the date an almanac prints); a term midway between two 甲子 days, thirty
// days from each, takes the earlier.
long NearestJiaZi(const TDateRec &term)
{
    const long day = DayNumber(term);
    const long since = FloorMod(MYiDateEx::DayGanZhi(term) - 1, 60); // days since the last 甲子 day, 0 on one
    return since <= 30 ? day - since : day - since + 60;
}

} // namespace

// 三元甲子: each sequence of sixty days starts at the 甲子 day nearest its term and runs until the next one starts.
// A start lies within thirty days of its term and the terms lie about sixty days apart, so the sequence of a day
// is the reference term's or one of its two neighbours': the one that started last on or before the day (the
// later term where two terms share their 甲子 day).
int MJiuXing::JiaZiSequence(const TJieQiRec &term, const TDateRec &day) const
{
    const long dayNumber = DayNumber(day);
    long latest = std::numeric_limits<long>::min();
    int index = TermIndex(term.term);
    for (const int shift : {-2, 0, 2}) {
        int year = term.year, month = term.term + shift;
        if (month < 1) {
            month += 12;
            --year;
        } else if (month > 12) {
            month -= 12;
            ++year;
        }
        const long start = NearestJiaZi(calendar_.JieQiTime(year, month, false));
        if (start <= dayNumber && start >= latest) {
            latest = start;
            index = TermIndex(month);
        }
    }
    return index;
}

int MJiuXing::CalcDayStar(JiuXingResult &r)
{
    const TDateRec &d = r.gregorian;
    // The latest of 夏至 处暑 霜降 冬至 雨水 谷雨 (the mid-terms of the solar months 午 申 戌 子 寅 辰) on or
    // before the moment.
    TJieQiRec term;
    if (calendar_.JieQiMonth(d) % 2 == 0) {
        term = calendar_.JieQiShift(d, false, -1);
    } else {
        term = calendar_.JieQiShift(d, false, 0);
        const TDateRec t{term.year, term.month, term.day, term.hour, term.minute};
        if (r.moment < MYiDateEx::ToJD(t))
            term = calendar_.JieQiShift(d, false, -2);
    }
    int index = TermIndex(term.term);
    if (method_ == DayStarMethod::SanYuanJiaZi) {
        TDateRec day{d.year, d.month, d.day, 12, 0};
        if (d.hour == 23)
            MYiDateEx::NextDay(day);
        index = JiaZiSequence(term, day);
    }
    r.dayTerm = DayTerm(index);
    // Start star and direction of the day sequence after each reference term.
    static constexpr int kStart[6] = {9, 3, 6, 1, 7, 4};
    static constexpr int kDirection[6] = {-1, -1, -1, 1, 1, 1};
    int dayNumber = r.ganzhi[2];
    if (dayNumber == 0)
        dayNumber = 60;
    r.charts[int(JiuXingKind::Ri)].direction = kDirection[index];
    return (dayNumber - 1) * kDirection[index] + kStart[index] + 81;
}
