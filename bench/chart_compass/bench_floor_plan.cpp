// One committed drawing step on the floor plan (a stroke's end, a line, a shape): the step file written through
// the file writer, synced to the disk. Run by hand: build/bench/chart_compass/bench_floor_plan. The step folder
// lives beside the working folder (on the disk, not in memory); set QUORIN_BENCH_DIR to measure elsewhere.
//
// Reported per plan size: the time of one step, its file's size (step_MB) and, after the run, what the folder
// of the kept steps holds (folder_MB, kept_steps): never more than the budget of FloorPlan::kUndoBytes.
#include "FloorPlan.h"
#include "QuickRun.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A drawn plan: white with black walls, as practitioners load them.
QImage DrawnPlan(int width, int height)
{
    const int side = std::min(width, height);
    QImage plan(width, height, QImage::Format_RGB32);
    plan.fill(Qt::white);
    QPainter p(&plan);
    p.setPen(QPen(Qt::black, std::max(2, side / 1000)));
    for (int i = 0; i < 40; ++i)
        p.drawRect(side / 50 + i * side / 45, side / 40 + i * side / 50, side / 4, side / 5);
    return plan;
}

void BM_UndoStep(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    QTemporaryDir dir(qEnvironmentVariable("QUORIN_BENCH_DIR", QDir::currentPath()) + "/bench-plan-XXXXXX");
    QImage picture = DrawnPlan(width, height);
    FloorPlan plan(&picture, dir.path() + "/picTemp/");
    plan.ResetUndo();
    int y = 0;
    for (auto _ : state) {
        plan.MoveTo(0, y);
        plan.LineTo(width - 1, y); // the stroke
        y = (y + 7) % height;
        if (!plan.SaveUndo()) {
            state.SkipWithError(plan.Message().toUtf8().constData());
            break;
        }
    }
    qint64 folder = 0;
    int kept = 0;
    for (const QFileInfo& f : QDir(plan.StepFolder()).entryInfoList(QDir::Files)) {
        folder += f.size();
        ++kept;
    }
    constexpr double kMB = 1e6;
    const QString current = plan.StepFolder() + QStringLiteral("/img%1.bmp").arg(plan.UndoIndex());
    state.counters["step_MB"] = double(QFileInfo(current).size()) / kMB;
    state.counters["folder_MB"] = double(folder) / kMB;
    state.counters["kept_steps"] = kept;
}
// A plan of a normal size (2000 × 1500: the whole ring of 100 steps fits the budget), then the largest a plan
// may be (10000 × 10000): enough steps to fill the budget twice over. A quick run leaves out the largest, whose
// one step writes 300 MB.
BENCHMARK(BM_UndoStep)->Args({2000, 1500})->Iterations(Sized(120, 1))->Unit(benchmark::kMillisecond);
[[maybe_unused]] const auto *largest =
    QuickRun() ? nullptr
               : benchmark::RegisterBenchmark("BM_UndoStep", BM_UndoStep)
                     ->Args({FloorPlan::kMaxSide, FloorPlan::kMaxSide})
                     ->Iterations(8)
                     ->Unit(benchmark::kMillisecond);

}  // namespace
