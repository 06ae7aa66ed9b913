// The full computation of a chart (every table of the lay-out, no drawing, no text) for 1,000 random houses.
#include "AppPath.h"
#include "ChartRules.h"
#include "MathUtil.h"
#include "MQuorin.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

std::vector<TRecordData> RandomHouses(int n, bool withBirthMonth)
{
    std::mt19937 rng(20240101);
    std::uniform_int_distribution<int> mountain(0, 23), sub(0, 2), door(0, 23), build(1864, 2043),
        born(1920, 2020), month(1, 12), day(1, 28), hour(0, 23), bit(0, 1);
    std::uniform_real_distribution<double> within(0.0, 14.99);
    std::vector<TRecordData> houses(n);
    for (TRecordData &r : houses) {
        const int m = mountain(rng);
        r.degree = static_cast<float>(FloorModD(MountainStart(m) + within(rng), 360.0));
        r.mountain = static_cast<uint8_t>(4 * m + sub(rng));
        r.door = static_cast<uint8_t>(door(rng));
        r.buildYear = static_cast<int16_t>(build(rng));
        r.date = TDateRec{static_cast<int16_t>(born(rng)), static_cast<int16_t>(withBirthMonth ? month(rng) : 0),
                          static_cast<int16_t>(day(rng)), static_cast<int16_t>(hour(rng)), 0};
        r.sex = static_cast<uint8_t>(bit(rng));
        r.xiaGua = static_cast<uint8_t>(bit(rng));
        r.colour = static_cast<int16_t>(sub(rng));
    }
    return houses;
}

void RunCharts(benchmark::State &state, bool withBirthMonth, bool freshCalendar = false)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("dat"));
    SetAppPath(dir.path());
    MQuorin q;
    if (withBirthMonth && !q.DateEx) {
        state.SkipWithError("no calendar built in");
        return;
    }
    const std::vector<TRecordData> houses = RandomHouses(1000, withBirthMonth);
    int refused = 0;
    for (auto _ : state) {
        for (const TRecordData &h : houses) {
            if (freshCalendar)
                q.DateEx = MakeProgramCalendar();
            refused += !q.ComputeChart(h);
            benchmark::DoNotOptimize(q.Gong);
        }
    }
    state.counters["refused"] = refused;
    state.counters["per_chart"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * houses.size(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::OneK::kIs1000);
    SetAppPath(QString());
}

// Houses whose owner is given by the birth year alone.
void BM_ChartBirthYear(benchmark::State &state) { RunCharts(state, false); }
// Houses whose owner has a full birth date: conversions and pillars through the calendar.
void BM_ChartBirthDate(benchmark::State &state) { RunCharts(state, true); }
// The same with a new calendar for every chart: nothing kept from earlier charts (a first lay-out).
void BM_ChartBirthDateCold(benchmark::State &state) { RunCharts(state, true, true); }

// Re-reading dat/set.ini, which every lay-out does first.
void BM_LoadSettings(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("dat"));
    QFile f(dir.path() + QStringLiteral("/dat/set.ini"));
    if (f.open(QIODevice::WriteOnly))
        f.write("[set]\nileft=0\nfJian=4.5\nliunian=0\nfuwei=0\niCoord=0\nbZhouTian=0\nbWuHint=1\niTilt=0\n"
                "bChengMen=1\ndayStar=0\niFontSizeVar=0\n");
    f.close();
    SetAppPath(dir.path());
    MQuorin q;
    for (auto _ : state)
        q.LoadSettings();
    SetAppPath(QString());
}

} // namespace

BENCHMARK(BM_ChartBirthYear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartBirthDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartBirthDateCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);
