// How long the first LoadStr takes with full-size tables, and what an INI read or write costs when every
// call goes to the file.
#include "IniFile.h"
#include "Resources.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_ParseStringTable20000(benchmark::State &state)
{
    QString file;
    for (int id = 0; id < 20000; ++id)
        file += QStringLiteral("%1\t%2\\n第二行\\t缩进\n").arg(id).arg(QString(60, QChar(0x5B85)));
    for (auto _ : state) {
        QHash<int, QString> table;
        benchmark::DoNotOptimize(ParseStringTable(file, table));
    }
    state.counters["MB"] = double(file.toUtf8().size()) / 1e6;
}
BENCHMARK(BM_ParseStringTable20000)->Unit(benchmark::kMillisecond);

QString writeIni(const QTemporaryDir &dir)
{
    const QString path = dir.filePath("qrinit.ini");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        for (int s = 0; s < 6; ++s) {
            f.write(QStringLiteral("[section%1]\n").arg(s).toUtf8());
            for (int k = 0; k < 10; ++k)
                f.write(QStringLiteral("key%1=字体 %2\n").arg(k).arg(s * 10 + k).toUtf8());
        }
    return path;
}

void BM_IniReadOneKey(benchmark::State &state)
{
    QTemporaryDir dir;
    const IniFile ini(writeIni(dir));
    for (auto _ : state)
        benchmark::DoNotOptimize(ini.ReadInteger("section5", "key9", 0));
}
BENCHMARK(BM_IniReadOneKey)->Unit(benchmark::kMicrosecond);

void BM_IniWriteOneKey(benchmark::State &state)
{
    QTemporaryDir dir;
    IniFile ini(writeIni(dir));
    int v = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ini.WriteInteger("section3", "key4", ++v));
}
BENCHMARK(BM_IniWriteOneKey)->Unit(benchmark::kMicrosecond);

} // namespace
