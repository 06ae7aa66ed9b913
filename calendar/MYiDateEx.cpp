#include "MYiDateEx.h"

#include "Eph.h"
#include "EphConst.h"
#include "MathUtil.h"
#include "NameTables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kOneSecond = 1.0 / 86400;
// Enough tables for several centuries of random look-ups; beyond that the cache starts again.
constexpr size_t kMaxTables = 2048;

// Day number (days from J2000) of a calendar date, counted by its noon.
int DayNumber(int year, int month, int day)
{
    return static_cast<int>(std::floor(DateToJD(year, month, day + 0.5 + kOneSecond)) - kJ2000);
}

TDateRec DateOfDayNumber(int dayNumber)
{
    TDateRec out;
    JDToDateRec(kJ2000 + dayNumber + kOneSecond, &out);
    return out;
}

// Orders lunar dates so that the search for a lunar date knows which way to walk.
int LunarKey(int year, int month, int day, bool leap)
{
    return static_cast<int>(std::floor(29.5 * month)) + 354 * year + day + (leap ? 30 : 0);
}

} // namespace

MYiDateEx::MYiDateEx() = default;

// ---------------------------------------------------------------------------------------------------------------
// Lunar calendar

const MYiDateEx::YearTable &MYiDateEx::TableFor(int d)
{
    auto it = tables_.upper_bound(d);
    if (it != tables_.begin()) {
        const YearTable &t = std::prev(it)->second;
        if (d >= t.lo && d < t.hi)
            return t;
    }

    // SSQ_class builds the year that starts at the last 冬至 on or before d: the 冬至 near the lattice point W0,
    // or the one a year earlier when that lies after d. Every day up to the next 冬至 gets the same table, so
    // the table is kept for that whole span.
    const double k0 = std::floor((d - 355 + 183) / 365.2422);
    const double w0 = k0 * 365.2422 + 355;
    const int z0 = ssq_.CalcDay(w0, SsqEvent::Term);
    int lo, hi;
    if (z0 > d) {
        lo = ssq_.CalcDay(w0 - 365.2422, SsqEvent::Term);
        hi = z0;
    } else {
        lo = z0;
        hi = ssq_.CalcDay((k0 + 1) * 365.2422 + 355, SsqEvent::Term);
    }
    ssq_.BuildYear(d);

    if (tables_.size() >= kMaxTables)
        tables_.clear();
    YearTable t;
    t.lo = lo;
    t.hi = hi;
    t.leap = ssq_.leap;
    t.ym = ssq_.ym;
    t.HS = ssq_.HS;
    // A span that does not hold d would be a fault of the term timing; keep it to this one day then.
    if (!(d >= lo && d < hi)) {
        t.lo = d;
        t.hi = d + 1;
    }
    auto [pos, inserted] = tables_.insert_or_assign(t.lo, t);
    return pos->second;
}

MYiDateEx::LunarDay MYiDateEx::LunarOfDay(int d)
{
    const YearTable &t = TableFor(d);
    const auto &HS = t.HS;

    int i = static_cast<int>(std::floor((d - HS[0]) / 30.0));
    i = std::clamp(i, 0, 13);
    if (i < 13 && HS[i + 1] <= d)
        ++i;

    LunarDay out;
    out.day = d - HS[i] + 1;
    out.month = t.ym[i];
    out.leap = t.leap != 0 && t.leap == i;

    // The lunar year begins with the (non-leap) first month last begun on or before d.
    int D = HS[2];
    for (int j = 0; j < 14; ++j) {
        if (t.ym[j] != 1 || (t.leap != 0 && t.leap == j))
            continue;
        if (HS[j] > d) {
            D = HS[j] - 365;
            break;
        }
        D = HS[j];
    }
    out.year = static_cast<int>(std::floor((D + 5810) / 365.2422 + 0.5)) + 1984;

    // Every day of the same month of the same table has this year, month and leap flag.
    if (d >= HS[i] && d < HS[i + 1]) {
        out.runLo = std::max(HS[i], t.lo);
        out.runHi = std::min(HS[i + 1], t.hi);
    } else {
        out.runLo = d;
        out.runHi = d + 1;
    }
    return out;
}

bool MYiDateEx::GongToNong(const TDateRec &gong, TDateRec &nong)
{
    const LunarDay l = LunarOfDay(DayNumber(gong.year, gong.month, gong.day));
    nong.year = static_cast<int16_t>(l.year);
    nong.month = static_cast<int16_t>(l.month);
    nong.day = static_cast<int16_t>(l.day);
    nong.hour = gong.hour;
    nong.minute = gong.minute;
    return l.leap;
}

bool MYiDateEx::NongToGong(const TDateRec &nong, TDateRec &gong, bool leap, std::string &message)
{
    // First guess: the lunar figures read as a Gregorian date; the lunar date lies some weeks after it or
    // shortly before, and the search walks day by day towards it for at most half a year.
    const int guessDay = nong.month == 2 ? std::min<int>(nong.day, 28) : nong.day;
    int d = DayNumber(nong.year, nong.month, guessDay);
    const LunarDay g = LunarOfDay(d);
    const int step = LunarKey(nong.year, nong.month, nong.day, leap) < LunarKey(g.year, g.month, g.day, g.leap)
                         ? -1
                         : 1;

    constexpr int kTries = 181;
    for (int tried = 0; tried < kTries;) {
        const LunarDay l = LunarOfDay(d);
        // Within one run only the day changes, one per step: jump to the matching day or past the run.
        if (l.year == nong.year && l.month == nong.month && l.leap == leap) {
            const int target = d + (nong.day - l.day);
            const int distance = (target - d) * step;
            if (distance >= 0 && target >= l.runLo && target < l.runHi && tried + distance < kTries) {
                gong = DateOfDayNumber(target);
                gong.hour = nong.hour;
                gong.minute = nong.minute;
                return true;
            }
        }
        const int next = step > 0 ? l.runHi : l.runLo - 1;
        tried += (next - d) * step;
        d = next;
    }
    message = kNoSuchLunarDate;
    return false;
}

// ---------------------------------------------------------------------------------------------------------------
// Solar terms

// Julian day (Beijing time) of the term at apparent solar longitude k degrees counted in Gregorian year `year`
// (k = -75 is its 小寒, 270 its 冬至; k may lie outside 0..359).
double MYiDateEx::TermJD(int year, int k) const
{
    const double W = (year - 2000 + 1 + k / 360.0) * EphConst::pi2;
    const double T = ssq_.Ephemeris().TermTimePrecise(W);
    return 36525 * T + kJ2000 + 8.0 / 24 - DeltaTDays(36525 * T);
}

// The longitude k (as in TermJD) of the starting term of the solar month holding jd, searched from month.
int MYiDateEx::SolarMonthStart(double jd, int year, int month) const
{
    int k = 30 * (month - 1) - 75;
    // A date is at most a few months from its guess; the bound only guards against nonsense input.
    for (int guard = 0; guard < 48; ++guard) {
        if (jd < TermJD(year, k))
            k -= 30;
        else if (jd >= TermJD(year, k + 30))
            k += 30;
        else
            break;
    }
    return k;
}

TDateRec MYiDateEx::JieQiTime(int year, int month, bool first) const
{
    const int k = 30 * (month - 1) - 75 + (first ? 0 : 15);
    return FromJD(TermJD(year, k));
}

int MYiDateEx::JieQiMonth(const TDateRec &date, std::array<TDateRec, 3> *terms) const
{
    const int k = SolarMonthStart(ToJD(date), date.year, date.month);
    if (terms) {
        (*terms)[0] = FromJD(TermJD(date.year, k));
        (*terms)[1] = FromJD(TermJD(date.year, k + 15));
        (*terms)[2] = FromJD(TermJD(date.year, k + 30));
    }
    const int r = FloorMod(k - 285, 360);
    return FloorMod(r / 30 + 2, 12);
}

namespace {
// A term's moment with the number it is listed under.
TJieQiRec TermRecord(const TDateRec &t, int term)
{
    TJieQiRec r;
    r.year = t.year;
    r.month = t.month;
    r.day = t.day;
    r.hour = t.hour;
    r.minute = t.minute;
    r.term = static_cast<int16_t>(term);
    return r;
}
} // namespace

TJieQiRec MYiDateEx::JieQiShift(const TDateRec &date, bool first, int n) const
{
    int k = SolarMonthStart(ToJD(date), date.year, date.month);
    k += (first ? 0 : 15) + 30 * n;
    return TermRecord(FromJD(TermJD(date.year, k)), FloorMod(k - 285, 360) / 30 + 1);
}

std::vector<TJieQiRec> MYiDateEx::YearJieQi(int year, std::vector<double> *moments) const
{
    // Start at the last term before the year (in the Julian calendar 小寒 drifts away from early January).
    int k = -75;
    for (;;) {
        const TDateRec t = FromJD(TermJD(year, k));
        if (t.year != year || t.year <= -4714)
            break;
        k -= 15;
    }
    std::vector<TJieQiRec> out;
    out.reserve(25);
    if (moments)
        moments->clear();
    for (;;) {
        k += 15;
        const double jd = TermJD(year, k);
        const TDateRec t = FromJD(jd);
        if (t.year != year || t.year > 9999)
            break;
        out.push_back(TermRecord(t, FloorMod(k - 285, 360) / 15 % 24));
        if (moments)
            moments->push_back(jd);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------------------
// Pure date arithmetic

int MYiDateEx::GanZhiIndex(int stem, int branch)
{
    stem = FloorMod(stem, 10);
    branch = FloorMod(branch, 12);
    int d = stem - branch;
    if (d < 0)
        d += 12;
    return stem + 10 * (d / 2);
}

double MYiDateEx::ToJD(const TDateRec &date)
{
    TDateBlock b;
    b.year = date.year;
    b.month = date.month;
    b.day = date.day;
    b.hour = date.hour;
    b.minute = date.minute;
    b.second = 1;
    return BlockToJD(b);
}

TDateRec MYiDateEx::FromJD(double jd)
{
    TDateRec out;
    JDToDateRec(jd, &out);
    return out;
}

bool MYiDateEx::IsGongDate(const TDateRec &date)
{
    if (date.month < 1 || date.month > 12 || date.day < 1)
        return false;
    const bool reformMonth = date.year == 1582 && date.month == 10;
    if (reformMonth && date.day >= 5 && date.day <= 14)
        return false;
    const int n = reformMonth && date.day > 14 ? date.day - 10 : date.day;
    const int nextYear = date.month == 12 ? date.year + 1 : date.year;
    const int nextMonth = date.month == 12 ? 1 : date.month + 1;
    const int length = DayNumber(nextYear, nextMonth, 1) - DayNumber(date.year, date.month, 1);
    return n <= length;
}

void MYiDateEx::NextDay(TDateRec &date)
{
    date = FromJD(ToJD(date) + 1);
}

int MYiDateEx::WeekDay(const TDateRec &date)
{
    return FloorMod(DayNumber(date.year, date.month, date.day) + static_cast<int>(kJ2000) + 1, 7);
}

int MYiDateEx::DayGanZhi(const TDateRec &date)
{
    return FloorMod(DayNumber(date.year, date.month, date.day) + static_cast<int>(kJ2000) + 50, 60);
}

std::string MYiDateEx::ChineseNum(int n)
{
    if (n >= 1 && n <= 9)
        return std::string(ShuZi(n));
    if (n == 10)
        return "十";
    if (n >= 11 && n <= 19)
        return "十" + std::string(ShuZi(n % 10));
    if (n == 20)
        return "二十";
    if (n >= 21 && n <= 29)
        return "廿" + std::string(ShuZi(n % 10));
    if (n == 30)
        return "三十";

    std::string out = n < 0 ? "前" : "";
    const int64_t v = n < 0 ? -static_cast<int64_t>(n) : n;
    // One numeral per digit from the highest place; a number below 1000 other than the spoken ones still shows
    // its own digits, and 0 shows four zeros as a year would.
    int64_t place = v >= 1000 ? 1000 : v >= 100 ? 100 : v >= 10 ? 10 : 1;
    if (v == 0)
        place = 1000;
    while (place * 10 <= v)
        place *= 10;
    for (; place >= 1; place /= 10) {
        const int digit = static_cast<int>(v / place % 10);
        out += digit == 0 ? "○" : std::string(ShuZi(digit));
    }
    return out;
}
