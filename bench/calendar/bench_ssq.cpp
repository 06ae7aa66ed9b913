#include "Eph.h"
#include "EphConst.h"
#include "SSQ_class.h"

#include <benchmark/benchmark.h>

// One yearly lunar table, cycling over 1900..2100 (corrected low-precision series before 1960, full ephemeris
// after).
static void BM_BuildYear(benchmark::State &state)
{
    SSQ_class ssq;
    int y = 1900;
    for (auto _ : state) {
        ssq.BuildYear((y - 2000) * 365.2422 + 150);
        benchmark::DoNotOptimize(ssq.HS);
        y = y == 2100 ? 1900 : y + 1;
    }
}
BENCHMARK(BM_BuildYear)->Unit(benchmark::kMicrosecond);

// A yearly table far from the present, where every event goes through the full ephemeris.
static void BM_BuildYearFar(benchmark::State &state)
{
    SSQ_class ssq;
    int y = 3000;
    for (auto _ : state) {
        ssq.BuildYear((y - 2000) * 365.2422 + 150);
        benchmark::DoNotOptimize(ssq.HS);
        y = y == 3200 ? 3000 : y + 1;
    }
}
BENCHMARK(BM_BuildYearFar)->Unit(benchmark::kMicrosecond);

// The 24 precise solar-term moments of a year, as the date interface lists them.
static void BM_YearTermsPrecise(benchmark::State &state)
{
    const EphCalc &eph = EphCalc::Instance();
    int y = 1900;
    for (auto _ : state) {
        for (int k = -75; k < 285; k += 15) {
            const double t = eph.TermTimePrecise((y - 2000 + 1 + k / 360.0) * EphConst::pi2) * 36525;
            benchmark::DoNotOptimize(t + 2451545 + 8.0 / 24 - DeltaTDays(t));
        }
        y = y == 2100 ? 1900 : y + 1;
    }
}
BENCHMARK(BM_YearTermsPrecise)->Unit(benchmark::kMicrosecond);

static void BM_TermPrecise(benchmark::State &state)
{
    const EphCalc &eph = EphCalc::Instance();
    int n = -2400;
    for (auto _ : state) {
        benchmark::DoNotOptimize(eph.TermTimePrecise(n * EphConst::pi / 12));
        n = n == 2400 ? -2400 : n + 1;
    }
}
BENCHMARK(BM_TermPrecise)->Unit(benchmark::kMicrosecond);

static void BM_NewMoonPrecise(benchmark::State &state)
{
    const EphCalc &eph = EphCalc::Instance();
    int n = -1200;
    for (auto _ : state) {
        benchmark::DoNotOptimize(eph.NewMoonTimePrecise(n * EphConst::pi2));
        n = n == 1200 ? -1200 : n + 1;
    }
}
BENCHMARK(BM_NewMoonPrecise)->Unit(benchmark::kMicrosecond);
