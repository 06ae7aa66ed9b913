#include "MJiuXing.h"
#include "WnlMonth.h"
#include "WnlPainter.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>

// The six charts of a moment, a new moment each time (consecutive hours over a year), by each day-star method.
static void BM_NineStarChartsOfAMoment(benchmark::State &state)
{
    MJiuXing engine;
    engine.SetDayStarMethod(DayStarMethod(state.range(0)));
    TDateRec date{2024, 1, 1, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.Compute(date, false));
        date.hour = int16_t((date.hour + 1) % 24);
        if (date.hour == 0)
            MYiDateEx::NextDay(date);
        if (date.year > 2024)
            date = {2024, 1, 1, 0, 0};
    }
}
BENCHMARK(BM_NineStarChartsOfAMoment)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same, drawn into a picture of the window's size.
static void BM_NineStarChartsDrawn(benchmark::State &state)
{
    MJiuXing engine;
    QImage picture(720, 620, QImage::Format_RGB32);
    engine.SetImage(&picture);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.Compute({2024, 2, 10, 12, 0}, true));
}
BENCHMARK(BM_NineStarChartsDrawn)->Unit(benchmark::kMicrosecond);

// The calendar moved to the next month: the month model and the grid's repaint. `cold` starts from a fresh
// model every time (a year whose terms and lunar tables are not known yet).
static void BM_CalendarNextMonth(benchmark::State &state)
{
    const bool cold = state.range(0) != 0;
    auto calendar = std::make_unique<WnlCalendar>();
    QImage picture(650, 490, QImage::Format_RGB32);
    WnlMonthData month;
    int year = 2024, m = 1;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            calendar = std::make_unique<WnlCalendar>();
            state.ResumeTiming();
        }
        WnlNextMonth(year, m);
        if (year > 2030)
            year = 2000;
        calendar->Build({int16_t(year), int16_t(m), 1, 12, 0}, month);
        DrawWnlMonth(picture, month, 10);
    }
}
BENCHMARK(BM_CalendarNextMonth)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // Text drawing needs the GUI application's fonts; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
