// Lunar conversion of many dates with one calendar, as the perpetual calendar and the case tree use it.
#include "MYiDateEx.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kDates = 100000;

std::vector<TDateRec> RandomGregorianDates()
{
    std::mt19937 rng(1900);
    const double first = MYiDateEx::ToJD({1900, 1, 1, 12, 0});
    const double last = MYiDateEx::ToJD({2100, 12, 31, 12, 0});
    std::uniform_int_distribution<int> day(0, static_cast<int>(last - first));
    std::vector<TDateRec> dates;
    dates.reserve(kDates);
    for (int i = 0; i < kDates; ++i)
        dates.push_back(MYiDateEx::FromJD(first + day(rng)));
    return dates;
}

struct LunarDate {
    TDateRec date;
    bool leap;
};

void BM_GongToNong100k(benchmark::State &state)
{
    const std::vector<TDateRec> dates = RandomGregorianDates();
    MYiDateEx cal;
    for (auto _ : state) {
        int sum = 0;
        for (const TDateRec &g : dates) {
            TDateRec l;
            sum += cal.GongToNong(g, l) + l.day;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kDates);
}
BENCHMARK(BM_GongToNong100k)->Unit(benchmark::kMillisecond);

void BM_NongToGong100k(benchmark::State &state)
{
    MYiDateEx cal;
    std::vector<LunarDate> lunar;
    lunar.reserve(kDates);
    for (const TDateRec &g : RandomGregorianDates()) {
        LunarDate l;
        l.leap = cal.GongToNong(g, l.date);
        lunar.push_back(l);
    }
    for (auto _ : state) {
        int sum = 0;
        std::string message;
        for (const LunarDate &l : lunar) {
            TDateRec g;
            sum += cal.NongToGong(l.date, g, l.leap, message) + g.day;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kDates);
}
BENCHMARK(BM_NongToGong100k)->Unit(benchmark::kMillisecond);

// A new calendar builds each lunar year it meets once: the cost of the first look at 201 years.
void BM_GongToNongColdCalendar(benchmark::State &state)
{
    const std::vector<TDateRec> dates = RandomGregorianDates();
    for (auto _ : state) {
        MYiDateEx cal;
        int sum = 0;
        for (const TDateRec &g : dates) {
            TDateRec l;
            sum += cal.GongToNong(g, l) + l.day;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kDates);
}
BENCHMARK(BM_GongToNongColdCalendar)->Unit(benchmark::kMillisecond);

void BM_YearJieQi(benchmark::State &state)
{
    MYiDateEx cal;
    int year = 1900;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cal.YearJieQi(year));
        year = year == 2100 ? 1900 : year + 1;
    }
}
BENCHMARK(BM_YearJieQi)->Unit(benchmark::kMicrosecond);

} // namespace
