// PaiPan of a house with the whole reading written into a report document, and the Eight Mansions view.
#include "AppPath.h"
#include "ChartPainterQuorin.h"
#include "DrawingBenchMain.h"
#include "MQuorin.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

TRecordData House(uint8_t xiaGua)
{
    TRecordData rec;
    rec.name = QStringLiteral("张三");
    rec.sex = 1;
    rec.date = TDateRec{1980, 6, 15, 8, 30};
    rec.buildYear = 2004;
    rec.door = 13;
    rec.degree = xiaGua ? 0.0f : 5.5f;
    rec.mountain = xiaGua ? 5 : 6;
    rec.xiaGua = xiaGua;
    return rec;
}

struct Fixture {
    QTemporaryDir dir;
    QTextDocument pane;
    std::unique_ptr<MQuorin> q;
    Fixture()
    {
        QDir(dir.path()).mkpath(QStringLiteral("dat"));
        SetAppPath(dir.path());
        QFont f(QStringLiteral("宋体"));
        f.setPointSize(10);
        pane.setDefaultFont(f);
        q = std::make_unique<MQuorin>(&pane);
    }
    ~Fixture() { SetAppPath(QString()); }
};

void BM_PaiPan(benchmark::State &state)
{
    Fixture fx;
    const TRecordData rec = House(static_cast<uint8_t>(state.range(0)));
    for (auto _ : state) {
        if (!fx.q->PaiPan(rec))
            state.SkipWithError("lay-out refused");
        benchmark::DoNotOptimize(fx.pane.characterCount());
    }
    state.SetLabel(state.range(0) ? "下卦" : "替卦");
}
BENCHMARK(BM_PaiPan)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ShowBaZhaiPan(benchmark::State &state)
{
    Fixture fx;
    fx.q->PaiPan(House(1));
    for (auto _ : state) {
        fx.q->ShowBaZhaiPan();
        benchmark::DoNotOptimize(fx.pane.characterCount());
    }
}
BENCHMARK(BM_ShowBaZhaiPan)->Unit(benchmark::kMillisecond);

// The same lay-out with the pane laid out for a 600-pixel-wide view, as the window shows it.
void BM_PaiPanLaidOut(benchmark::State &state)
{
    Fixture fx;
    fx.pane.setTextWidth(600);
    const TRecordData rec = House(1);
    for (auto _ : state) {
        fx.q->PaiPan(rec);
        benchmark::DoNotOptimize(fx.pane.size().height());
    }
}
BENCHMARK(BM_PaiPanLaidOut)->Unit(benchmark::kMillisecond);

// The whole lay-out as the window runs it: a 500 × 580 picture drawn (square and round chart) and the pane laid
// out 600 pixels wide.
void BM_PaiPanDrawnAndLaidOut(benchmark::State &state)
{
    Fixture fx;
    QImage picture(500, 580, QImage::Format_RGB32);
    MQuorin q(&fx.pane, &picture);
    SetQuorinPanSize(q, 500, 580, false);
    q.iPanShape = static_cast<int>(state.range(0));
    fx.pane.setTextWidth(600);
    const TRecordData rec = House(1);
    for (auto _ : state) {
        if (!q.PaiPan(rec))
            state.SkipWithError("lay-out refused");
        benchmark::DoNotOptimize(fx.pane.size().height());
    }
    state.SetLabel(state.range(0) ? "square" : "round");
}
BENCHMARK(BM_PaiPanDrawnAndLaidOut)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return RunDrawingBenchmarks(argc, argv); }
