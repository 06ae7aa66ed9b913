// The compass view with all thirteen rings on the default 500 × 580 picture: one redraw as the user turns the
// drawing must stay well inside a frame (target under 20 ms).
#include "CompassRenderer.h"
#include "DrawingBenchMain.h"
#include "MImagePlus.h"

#include <QFont>
#include <QImage>

#include <benchmark/benchmark.h>

namespace {

CompassInput AllRings()
{
    CompassInput in;
    for (int i = 0; i < TCompassLayers::kRingKinds; ++i)
        in.layers.ring[size_t(i)] = 1;
    in.degree = 120.5;
    in.zuoShan = 9;
    return in;
}

void BM_CompassAllRings(benchmark::State& state)
{
    const PanGeometry g = PanGeometryFor(500, 580);
    QImage image(500, 580, QImage::Format_ARGB32_Premultiplied);
    MImagePlus surface;
    CompassInput in = AllRings();
    in.layers.ganZhi = uint8_t(state.range(0));
    for (auto _ : state) {
        surface.BeginDraw(&image);
        CompassRenderer(surface, g, 0).Draw(in);
        surface.EndDraw();
        in.panAngle += 1.0f; // as while dragging the rim
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_CompassAllRings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CompassLayoutOnly(benchmark::State& state)
{
    CompassInput in = AllRings();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildCompassLayout(in));
}
BENCHMARK(BM_CompassLayoutOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunDrawingBenchmarks(argc, argv); }
