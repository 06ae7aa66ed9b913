#include "ChartGeometry.h"
#include "ChartPainter.h"
#include "DrawingBenchMain.h"
#include "MImagePlus.h"
#include "ReferenceHouse.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace {

void DrawView(benchmark::State& state, ChartDrawData d)
{
    const PanGeometry g = PanGeometryFor(500, 580);
    QImage image(500, 580, QImage::Format_ARGB32_Premultiplied);
    MImagePlus surface;
    for (auto _ : state) {
        surface.BeginDraw(&image);
        ChartPainter(surface, d, g).Draw();
        surface.EndDraw();
        benchmark::DoNotOptimize(image.constBits());
    }
}

ChartDrawData View(int panel, int shape, bool four = false)
{
    ChartDrawData d = ReferenceHouse();
    d.chartPanel = panel;
    d.iPanShape = shape;
    d.bShowMonth = d.bShowNeiQi = true;
    if (four)
        ShowFourLabels(d);
    return d;
}

}  // namespace

BENCHMARK_CAPTURE(DrawView, RoundFlyingStar, View(PanelXuanKong, 0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawView, RoundEightMansions, View(PanelBaZhai, 0, true))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawView, RoundAnnualWithOverlays, View(PanelLiuNian, 0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawView, RoundInnerQi, View(PanelNeiQi, 0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawView, SquareFlyingStar, View(PanelXuanKong, 1))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawView, SquareEightMansions, View(PanelBaZhai, 1, true))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawView, SquareAnnualWithOverlays, View(PanelLiuNian, 1))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunDrawingBenchmarks(argc, argv); }
