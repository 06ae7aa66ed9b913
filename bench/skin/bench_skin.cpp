#include "TSkinReader.h"

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

} // namespace
