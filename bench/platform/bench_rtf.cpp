// Reading and writing a comment of about 1 MB of RTF: Chinese text (GBK escapes) with a coloured, bold run in
// every paragraph. Target: under 50 ms each.
#include "RtfText.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

void fillComment(QTextDocument &doc)
{
    QTextCursor c(&doc);
    QTextCharFormat plain, marked;
    marked.setFontWeight(QFont::Bold);
    marked.setForeground(QColor(0xC0, 0, 0));
    const QString sentence = QStringLiteral("当运旺星到向，门路开阔，宜静不宜动。");
    for (int p = 0; p < 2000; ++p) {
        if (p > 0)
            c.insertBlock();
        c.insertText(QStringLiteral("第%1段：").arg(p), marked);
        c.insertText(sentence.repeated(3), plain);
    }
}

void BM_RtfWrite1MB(benchmark::State &state)
{
    QTextDocument doc;
    fillComment(doc);
    qsizetype size = 0;
    for (auto _ : state)
        size = WriteRtf(doc).size();
    state.counters["MB"] = double(size) / 1e6;
}
BENCHMARK(BM_RtfWrite1MB)->Unit(benchmark::kMillisecond);

void BM_RtfRead1MB(benchmark::State &state)
{
    QTextDocument source;
    fillComment(source);
    const QByteArray rtf = WriteRtf(source);
    for (auto _ : state) {
        QTextDocument doc;
        benchmark::DoNotOptimize(ReadRtf(rtf, doc));
    }
    state.counters["MB"] = double(rtf.size()) / 1e6;
}
BENCHMARK(BM_RtfRead1MB)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
