// Filling the case tree with 100,000 cases (offscreen): loading and sorting them, placing the nodes, and the
// whole road of "显示全部案例" in the main window.
#include "AppPath.h"
#include "CaseFileMaker.h"
#include "CaseTree.h"
#include "QuickRun.h"
#include "ScriptedPrompts.h"
#include "TFrmMain.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

// A quick run keeps above 2000 cases, where the command first says how many there are.
const int kCases = Sized(100000, 3000);

// The program folder with its case file, made once for the whole run.
const QString &Folder()
{
    static QTemporaryDir dir;
    static const bool made = MakeCaseFile(dir.path() + "/", kCases) == kCases;
    static const QString folder = made ? dir.path() + "/" : QString();
    return folder;
}

QList<int> AllIds()
{
    QList<int> ids;
    for (int id = kCases; id >= 1; --id)
        ids << id;
    return ids;
}

void BM_LoadAndSortCases(benchmark::State &state)
{
    MRecordBase db(Folder());
    db.Open(MRecordBase::DefaultPath(Folder()));
    const QList<int> ids = AllIds();
    for (auto _ : state) {
        const auto items = LoadCaseItems(db, ids, int(state.range(0)));
        if (items.size() != size_t(kCases))
            state.SkipWithError("cases missing");
    }
}
BENCHMARK(BM_LoadAndSortCases)->Arg(SortNone)->Arg(SortDateDown)->Arg(SortSurnameUp)->Unit(benchmark::kMillisecond);

void BM_PlaceNodes(benchmark::State &state)
{
    MRecordBase db(Folder());
    db.Open(MRecordBase::DefaultPath(Folder()));
    QStringList listed;
    db.ReadClasses(listed);
    const auto items = LoadCaseItems(db, AllIds(), SortDateDown);
    QTreeWidget widget;
    widget.show();
    CaseTree tree(&widget);
    for (auto _ : state) {
        tree.BeginFill(int(state.range(0)), CaseTreeText::CategoriesToShow(listed, items));
        for (size_t from = 0; from < items.size(); from += 500)
            tree.Place(items, from, from + 500);
        tree.EndFill();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PlaceNodes)->Arg(TreeGrouped)->Arg(TreeList)->Unit(benchmark::kMillisecond);

// From the menu click to the last node placed, through the loader thread and the event loop.
void BM_ShowAllCasesInTheWindow(benchmark::State &state)
{
    SetAppPath(Folder());
    ScriptedPrompts prompts;
    TFrmMain w;
    w.show();
    QAction *full = w.findChild<QAction *>("pop_s_full");
    for (auto _ : state) {
        prompts.reply(Prompts::Answer::Ok);
        full->trigger();
        while (w.TreeBusy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (w.Tree().Count() != kCases)
            state.SkipWithError("cases missing");
    }
    prompts.reply(Prompts::Answer::Yes);
    w.close();
    SetAppPath(QString());
}
BENCHMARK(BM_ShowAllCasesInTheWindow)->Unit(benchmark::kMillisecond)->Iterations(Sized(3, 1));

} // namespace
