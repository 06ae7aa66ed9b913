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
