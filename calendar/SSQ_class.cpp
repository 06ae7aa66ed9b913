#include "SSQ_class.h"

#include "EphConst.h"
#include "MathUtil.h"
#include "SsqCorrections.h"

#include <cmath>

namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kPi = EphConst::pi;

struct MeanPair {
    double start, period;
};

// Mean new moons of the historical calendars (Julian days and mean periods), closed by the end value.
constexpr MeanPair kNewMoonMean[] = {
    {1457698.231017, 29.53067166}, {1546082.512234, 29.53085106}, {1640640.7353, 29.5306},
    {1642472.151543, 29.53085439}, {1683430.5093, 29.53086148},   {1752148.041079, 29.53085097},
    {1807665.420323, 29.53059851}, {1883618.1141, 29.5306},       {1907360.7047, 29.5306},
    {1936596.2249, 29.5306},       {1939135.6753, 29.5306},
};
constexpr double kNewMoonMeanEnd = 1947168.0;

// Mean solar terms (平气) of the historical calendars.
constexpr MeanPair kTermMean[] = {
    {1640650.479938, 15.218425},   {1642476.703182, 15.21874996},  {1683430.515601, 15.218750011},
    {1752157.640664, 15.218749978}, {1807675.003759, 15.218620279}, {1883627.765182, 15.218612292},
    {1907369.1281, 15.218449176},  {1936603.140413, 15.218425},    {1939145.52418, 15.218466998},
    {1947180.7983, 15.218524844},  {1964362.041824, 15.218533526}, {1987372.340971, 15.218513908},
    {1999653.819126, 15.218530782}, {2007445.469786, 15.218535181}, {2021324.917146, 15.218526248},
    {2047257.232342, 15.218519654}, {2070282.898213, 15.218425},    {2073204.87285, 15.218515221},
    {2080144.500926, 15.218530782}, {2086703.688963, 15.218523776}, {2110033.182763, 15.218425},
    {2111190.300888, 15.218425},   {2113731.271005, 15.218515671}, {2120670.840263, 15.218425},
    {2123973.309063, 15.218425},   {2125068.997336, 15.218477932}, {2136026.312633, 15.218472436},
    {2156099.495538, 15.218425},   {2159021.324663, 15.218425},    {2162308.575254, 15.218461742},
    {2178485.706538, 15.218425},   {2178759.662849, 15.218445786}, {2185334.0208, 15.218425},
    {2187525.481425, 15.218425},   {2188621.191481, 15.218437494},
};
constexpr double kTermMeanEnd = 2322147.76;

// Month number of a month counted from the month holding 冬至 (index 0).
constexpr int kMonthMap[12] = {11, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

int MonthMap(int i) { return kMonthMap[FloorMod(i, 12)]; }

int FloorToInt(double x) { return static_cast<int>(std::floor(x)); }

// Day number of the event: the mean value counted from the table pair that holds J + pc (the caller keeps
// J + pc below the table's end value).
template <size_t N>
int MeanDay(const MeanPair (&table)[N], double J, double pc)
{
    size_t i = 0;
    while (i + 1 < N && table[i + 1].start <= J + pc)
        ++i;
    const MeanPair &p = table[i];
    double D = p.start + p.period * std::floor((J + pc - p.start) / p.period);
    D = std::floor(D + 0.5);
    if (D == 1683460) // the historical calendar placed this new moon a day later
        D++;
    return static_cast<int>(D - kJ2000);
}

// Day moved by the correction character at `index` of `text`; beyond the text nothing is corrected.
int Corrected(int day, std::string_view text, double index)
{
    // Written so that a NaN index (from a NaN day) also stays out of the text.
    if (!(index >= 0 && index < static_cast<double>(text.size())))
        return day;
    switch (text[static_cast<size_t>(index)]) {
    case '1':
        return day + 1;
    case '2':
        return day - 1;
    default:
        return day;
    }
}

// Seconds after local midnight of a moment given in days (J2000 noon based).
double SecondsOfDay(double d) { return (d + 0.5 - std::floor(d + 0.5)) * 86400; }

// A moment in Beijing time (days from J2000) from the fast series' time `fast` (Julian centuries); within
// `margin` seconds of midnight, where the fast series' error could move it to the other day, from precise().
template <typename Precise>
double BeijingMoment(double fast, double margin, Precise precise)
{
    double t = fast * 36525;
    double d = t - DeltaTDays(t) + 8.0 / 24;
    const double s = SecondsOfDay(d);
    if (s < margin || s > 86400 - margin) {
        t = precise() * 36525;
        d = t - DeltaTDays(d) + 8.0 / 24;
    }
    return d;
}

std::shared_ptr<const std::string> SharedText(std::string_view text)
{
    return std::make_shared<const std::string>(text);
}

} // namespace

SSQ_class::SSQ_class()
    : newMoonCorr_([] {
          static const auto text = SharedText(StoredNewMoonCorrections());
          return text;
      }()),
      termCorr_([] {
          static const auto text = SharedText(StoredTermCorrections());
          return text;
      }()),
      eph_(&EphCalc::Instance())
{
}

double SSQ_class::NewMoonLow(double W) const
{
    const double v = 7771.37714500204;
    double t = (W + 1.08472) / v;
    t -= (-0.0000331 * t * t + 0.10976 * std::cos(0.785 + 8328.6914 * t) + 0.02224 * std::cos(0.187 + 7214.0629 * t) -
          0.03342 * std::cos(4.669 + 628.3076 * t)) /
             v +
         (32 * (t + 1.8) * (t + 1.8) - 20) / 86400 / 36525;
    return t * 36525 + 8.0 / 24;
}

double SSQ_class::TermLow(double W) const
{
    const double v = 628.3319653318;
    double t = (W - 4.895062166) / v;
    t -= (53 * t * t + 334116 * std::cos(4.67 + 628.307585 * t) + 2061 * std::cos(2.678 + 628.3076 * t) * t) / v / 1e7;
    const double L = 48950621.66 + 6283319653.318 * t + 53 * t * t + 334166 * std::cos(4.669257 + 628.307585 * t) +
                     3489 * std::cos(4.6261 + 1256.61517 * t) + 2060.6 * std::cos(2.67823 + 628.307585 * t) * t -
                     994 - 834 * std::sin(2.1824 - 33.75705 * t);
    t -= (L / 1e7 - W) / 628.332 + (32 * (t + 1.8) * (t + 1.8) - 20) / 86400 / 36525;
    return t * 36525 + 8.0 / 24;
}

double SSQ_class::TermHigh(double W) const
{
    return BeijingMoment(eph_->TermTimeFast(W), 1200, [&] { return eph_->TermTimePrecise(W); });
}

double SSQ_class::NewMoonHigh(double W) const
{
    return BeijingMoment(eph_->NewMoonTimeFast(W), 1800, [&] { return eph_->NewMoonTimePrecise(W); });
}

int SSQ_class::CalcDay(double approx, SsqEvent kind) const
{
    const double J = approx + kJ2000;
    const bool moon = kind == SsqEvent::NewMoon;
    const double pc = moon ? 14 : 7;
    const double f1 = (moon ? kNewMoonMean[0].start : kTermMean[0].start) - pc;
    const double f2 = (moon ? kNewMoonMeanEnd : kTermMeanEnd) - pc;
    const double f3 = kHighStart;

    if (J < f1 || J >= f3) {
        if (moon) {
            const double n = std::floor((J + pc - 2451551) / 29.5306);
            return FloorToInt(NewMoonHigh(n * 2 * kPi) + 0.5);
        }
        const double n = std::floor((J + pc - 2451259) / 365.2422 * 24);
        return FloorToInt(TermHigh(n * kPi / 12) + 0.5);
    }
    if (J < f2)
        return moon ? MeanDay(kNewMoonMean, J, pc) : MeanDay(kTermMean, J, pc);

    if (moon) {
        const double n = std::floor((J + pc - 2451551) / 29.5306);
        const int d = FloorToInt(NewMoonLow(n * 2 * kPi) + 0.5);
        return Corrected(d, *newMoonCorr_, std::floor((J - f2) / 29.5306));
    }
    const double n = std::floor((J + pc - 2451259) / 365.2422 * 24);
    const int d = FloorToInt(TermLow(n * kPi / 12) + 0.5);
    return Corrected(d, *termCorr_, std::floor((J - f2) / 365.2422 * 24));
}

void SSQ_class::BuildYear(double day)
{
    double W = std::floor((day - 355 + 183) / 365.2422) * 365.2422 + 355;
    if (CalcDay(W, SsqEvent::Term) > day)
        W -= 365.2422;

    for (int i = 0; i < 25; ++i)
        ZQ[i] = CalcDay(W + 15.2184 * i, SsqEvent::Term);
    prevZQ[0] = CalcDay(W - 15.2, SsqEvent::Term);
    prevZQ[1] = CalcDay(W - 30.4, SsqEvent::Term);

    double w = CalcDay(ZQ[0], SsqEvent::NewMoon);
    if (w > ZQ[0])
        w -= 29.53;
    for (int i = 0; i < 15; ++i)
        HS[i] = CalcDay(w + 29.5306 * i, SsqEvent::NewMoon);

    leap = 0;
    for (int i = 0; i < 14; ++i) {
        monthLen[i] = HS[i + 1] - HS[i];
        ym[i] = i;
    }

    const int YY = FloorToInt((ZQ[0] + 10 + 180) / 365.2422) + 2000;
    if (YY < -721 || YY > -104) {
        // Modern rule: in a year of thirteen lunations the first month without a mid-term is the leap month.
        if (HS[13] <= ZQ[24]) {
            int i = 1;
            while (ZQ[2 * i] < HS[i + 1] && i < 13)
                ++i;
            leap = i;
            for (int j = i; j < 14; ++j) {
                ym[j]--;
                if (ym[j] < 1)
                    ym[j] = 12;
            }
        }
        for (int i = 0; i < 14; ++i) {
            const int c = HS[i] + static_cast<int>(kJ2000);
            int m = MonthMap(ym[i]);
            // Historical calendars that started the year at another month.
            if ((c >= 1724360 && c <= 1729794) || (c >= 1807724 && c <= 1808699))
                m = MonthMap(ym[i] + 1);
            else if (c >= 1999349 && c <= 1999467)
                m = MonthMap(ym[i] + 2);
            else if (c >= 1973067 && c <= 1977052 && (FloorMod(ym[i], 12) == 0 || ym[i] == 2))
                m = 1;
            if (c == 1729794 || c == 1808699)
                m = 12;
            ym[i] = m;
        }
        return;
    }

    // Ancient calendars (−721..−104): each year starts at a mean new moon of its own rule; a month beyond the
    // twelfth is the extra month E. Each of the three years around YY gets a start; a year before the first rule
    // is extrapolated from it, so every start is defined.
    double A[3];
    int E[3];
    int B[3];
    for (int k = 0; k < 3; ++k) {
        const double y = YY + k - 1;
        if (y >= -220) {
            A[k] = CalcDay(std::floor((y + 220) * 12.369 + 0.866) * 29.5306 - 810904, SsqEvent::NewMoon);
            E[k] = 10;
            B[k] = 11;
        } else if (y >= -479) {
            A[k] = CalcDay(std::floor((y + 479) * 12.368422 + 0.5) * 29.5306 - 905462, SsqEvent::NewMoon);
            E[k] = 13;
            B[k] = 2;
        } else {
            A[k] = CalcDay(std::floor((y + 721) * 12.368422 + 0.342) * 29.5306 - 993847, SsqEvent::NewMoon);
            E[k] = 13;
            B[k] = 2;
        }
    }
    for (int i = 0; i < 14; ++i) {
        int j = 2;
        while (j > 0 && A[j] > HS[i])
            --j;
        const int m = FloorToInt((HS[i] - A[j] + 15) / 29.5306);
        ym[i] = m < 12 ? MonthMap(B[j] + m) : E[j];
    }
}
