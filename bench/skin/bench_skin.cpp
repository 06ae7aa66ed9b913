#include "SkinDraw.h"
#include "SkinImage.h"
#include "TSkinReader.h"

#include <QPainter>

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

// A package of about 2 MB expanded, shaped like a skin: an ini text and bitmaps of smooth gradients with
// some noise, which pack to roughly the ratio real skin pictures do.
QByteArray skinLikePackage()
{
    QList<SkinMember> members;
    members.append({"skin.ini", QByteArray("[Personality]\r\nLeft=left.bmp\r\nLeftFrame=2\r\n").repeated(200)});
    QRandomGenerator gen(42);
    for (int m = 0; m < 16; ++m) {
        QByteArray bmp(128 * 1024, '\0');
        for (int i = 0; i < bmp.size(); ++i)
            bmp[i] = static_cast<char>((i / 3 % 256 + m * 16) ^ (gen.bounded(16) == 0 ? gen.bounded(256) : 0));
        members.append({QStringLiteral("image%1.bmp").arg(m), bmp});
    }
    QByteArray package;
    WriteSkinPackage(members, 20000, package);
    return SkinCompress(package);
}

void BM_LoadTwoMegabytePackage(benchmark::State &state)
{
    const QByteArray frame = skinLikePackage();
    for (auto _ : state) {
        TSkinReader reader;
        benchmark::DoNotOptimize(reader.Loadfromstream(frame));
    }
    state.counters["packed_bytes"] = static_cast<double>(frame.size());
    state.SetBytesProcessed(state.iterations() * (2 * 1024 * 1024));
}
BENCHMARK(BM_LoadTwoMegabytePackage)->Unit(benchmark::kMillisecond);

void BM_PackTwoMegabytePackage(benchmark::State &state)
{
    const QByteArray frame = skinLikePackage();
    QByteArray plain;
    SkinDecompress(frame, plain);
    for (auto _ : state)
        benchmark::DoNotOptimize(SkinCompress(plain));
}
BENCHMARK(BM_PackTwoMegabytePackage)->Unit(benchmark::kMillisecond);

// A window frame piece at a typical size: the title bar of an 800-pixel window from a 2-frame strip.
void BM_NineGridTitleBar(benchmark::State &state)
{
    QImage strip(120, 56, QImage::Format_RGB32);
    strip.fill(qRgb(53, 86, 111));
    for (auto _ : state)
        benchmark::DoNotOptimize(GetHMap(QSize(800, 28), strip, QMargins(8, 0, 8, 0), true, false, 2, 1));
}
BENCHMARK(BM_NineGridTitleBar)->Unit(benchmark::kMicrosecond);

// The window region of an 800 x 600 window whose four corners are cut by the transparent key.
void BM_RegionOfShapedWindow(benchmark::State &state)
{
    QImage frame(800, 600, QImage::Format_RGB32);
    frame.fill(qRgb(53, 86, 111));
    for (QPoint c : {QPoint(0, 0), QPoint(797, 0), QPoint(0, 597), QPoint(797, 597)})
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3 - i; ++j)
                frame.setPixel(c.x() + (c.x() ? 2 - j : j), c.y() + (c.y() ? 2 - i : i), qRgb(255, 0, 255));
    for (auto _ : state)
        benchmark::DoNotOptimize(BitmapToRegion(frame, 0, 0, SkinTransparent, 0, 0, 0));
}
BENCHMARK(BM_RegionOfShapedWindow)->Unit(benchmark::kMicrosecond);

} // namespace
