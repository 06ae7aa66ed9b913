#include "AppPath.h"
#include "ScriptedPrompts.h"
#include "TFrmMain.h"

#include <QApplication>
#include <QFont>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// Constructing and showing the main window on an empty program folder: the input lists, the chart object,
// qrinit.ini, the skin menu and opening (on the first run, creating) the case file.
static void BM_ConstructAndShowMainWindow(benchmark::State &state)
{
    QTemporaryDir dir;
    SetAppPath(dir.path());
    MakeProgramFolders();
    for (auto _ : state) {
        TFrmMain w;
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.ChartValid());
        state.PauseTiming();
        ScriptedPrompts prompts;
        prompts.reply(Prompts::Answer::Yes);
        w.close();
        state.ResumeTiming();
    }
    SetAppPath(QString());
}
BENCHMARK(BM_ConstructAndShowMainWindow)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
