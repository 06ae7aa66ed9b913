#include "BirthPillars.h"

#include "MYiDateEx.h"

#include <cmath>
#include <unordered_map>

namespace {
// The program's calendar behind the chart's calendar interface. Solar-term moments are the costly part of a
// birth date and the same years come back again and again, so every starting term computed is kept.
class MYiDateExCalendar final : public IChartCalendar {
public:
    bool IsGongDate(const TDateRec &date) override { return MYiDateEx::IsGongDate(date); }
    bool NongToGong(const TDateRec &lunar, bool leap, TDateRec &gregorian, std::string &message) override
    {
        return cal_.NongToGong(lunar, gregorian, leap, message);
    }
    bool GongToNong(const TDateRec &gregorian, TDateRec &lunar) override { return cal_.GongToNong(gregorian, lunar); }
    void NextDay(TDateRec &date) override { MYiDateEx::NextDay(date); }
    double ToJD(const TDateRec &date) override { return MYiDateEx::ToJD(date); }
    TDateRec LiChun(int year) override { return StartTerm(year, 2).date; }
    int SolarMonthBranch(const TDateRec &date) override;
    int DayGanZhi(const TDateRec &date) override { return MYiDateEx::DayGanZhi(date); }

private:
    struct Term {
        TDateRec date{}; // the moment, to the minute
        double jd = 0;   // its Julian day
    };
    // The starting term (节) of solar month n of a year; n outside 1..12 runs on into the next or previous year.
    const Term &StartTerm(int year, int n);

    MYiDateEx cal_;
    std::unordered_map<int, Term> terms_; // keyed by 12 × year + month − 1
};

const MYiDateExCalendar::Term &MYiDateExCalendar::StartTerm(int year, int n)
{
    const int index = 12 * year + (n - 1); // years stay within ±32768, far from overflow
    auto it = terms_.find(index);
    if (it != terms_.end())
        return it->second;
    if (terms_.size() > 50000)
        terms_.clear();
    const int y = index >= 0 ? index / 12 : -((-index + 11) / 12);
    const int month = index - 12 * y + 1;
    Term t;
    t.date = cal_.JieQiTime(y, month, true);
    t.jd = MYiDateEx::ToJD(t.date);
    return terms_.emplace(index, t).first->second;
}

int MYiDateExCalendar::SolarMonthBranch(const TDateRec &date)
{
    // The kept term moments are rounded to the minute: a moment more than two minutes from the month's terms is
    // placed by them, one closer is left to the calendar's exact search.
    constexpr double kMargin = 2.0 / 1440.0;
    const double jd = MYiDateEx::ToJD(date);
    int n = date.month >= 1 && date.month <= 12 ? date.month : 1;
    for (int step = 0; step < 40; ++step) {
        const double lo = StartTerm(date.year, n).jd;
        const double hi = StartTerm(date.year, n + 1).jd;
        if (std::fabs(jd - lo) < kMargin || std::fabs(jd - hi) < kMargin)
            break;
        if (jd < lo)
            --n;
        else if (jd >= hi)
            ++n;
        else
            return ((n % 12 + 12) % 12 + 1) % 12; // 丑 = 2 from 小寒 (n = 1) … 子 = 1 from 大雪 (n = 12)
    }
    return cal_.JieQiMonth(date);
}
} // namespace

std::unique_ptr<IChartCalendar> MakeProgramCalendar() { return std::make_unique<MYiDateExCalendar>(); }
