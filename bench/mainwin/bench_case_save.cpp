// Saving a new case from the main window (存新, its category chosen in the dialog) beside a tree of 1,000 cases,
// as a window over a practitioner's case file starts. The time is the save's, from the click until it returns;
// settle_ms is what the event loop does next until it is idle again (the tree laid out and painted), so that work
// only moved out of the save still shows.
//
// Built as usual over this tree's window; configured with QUORIN_BASELINE_SOURCE (see bench/baseline/) the
// baseline build runs it over the window of that earlier release: build/baseline/bench_case_save. Run both in
// turn to compare them on a shared machine.
#include "AppPath.h"
#include "CaseFileMaker.h"
#include "CaseTree.h"
#include "MRecordBase.h"
#include "QuickRun.h"
#include "ScriptedPrompts.h"
#include "TFrmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Answers the category dialog as soon as it shows (小区套房, then 确定) while it lives. Any other dialog is closed
// unanswered, so that the save fails and says so rather than waiting offscreen for a user.
std::unique_ptr<QTimer> ChooseCategoryWhenAsked()
{
    auto poll = std::make_unique<QTimer>();
    QObject::connect(poll.get(), &QTimer::timeout, [] {
        auto *dlg = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        if (dlg->objectName() != QLatin1String("TFrmFenLei")) {
            dlg->reject();
            return;
        }
        dlg->findChild<QComboBox *>(QStringLiteral("CboFenLei"))->setEditText(QStringLiteral("小区套房"));
        dlg->findChild<QPushButton *>(QStringLiteral("Btnok"))->click();
    });
    poll->start(0);
    return poll;
}

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void BM_SaveNewCaseBesideTree(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString app = dir.path() + "/";
    const int cases = Sized(1000, 100);
    if (MakeCaseFile(app, cases) != cases) {
        state.SkipWithError("the case file was not made");
        return;
    }
    SetAppPath(app);
    ScriptedPrompts prompts;
    auto w = std::make_unique<TFrmMain>();
    w->show();
    while (CaseDb()->QuickCheckRunning()) // the save would wait for the start's check of the file
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    Settle();

    double settle = 0;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (w->CaseOpen()) {
            prompts.reply(Prompts::Answer::Yes); // 新建: start a new case
            w->BtoNewClick();
        }
        w->findChild<QLineEdit *>(QStringLiteral("LedtZtd"))->setText(QStringLiteral("0:0"));
        w->findChild<QLineEdit *>(QStringLiteral("EdtYear"))->setText(QStringLiteral("2004"));
        w->findChild<QLineEdit *>(QStringLiteral("EdtName"))->setText(QStringLiteral("张%1").arg(n++));
        w->findChild<QLineEdit *>(QStringLiteral("LedtShengNian"))->setText(QStringLiteral("1980"));
        w->BtnPaiClick();
        Settle();
        auto chooser = ChooseCategoryWhenAsked();
        state.ResumeTiming();

        const bool saved = w->SaveCaseClick();

        state.PauseTiming();
        chooser.reset();
        QElapsedTimer t;
        t.start();
        Settle();
        settle += double(t.nsecsElapsed()) / 1e6;
        if (!saved) {
            const QString said = prompts.asked().isEmpty() ? QString() : prompts.asked().last().text;
            state.SkipWithError(("the case was not saved: " + said).toUtf8().constData());
            break;
        }
        state.ResumeTiming();
    }
    state.counters["settle_ms"] = benchmark::Counter(settle, benchmark::Counter::kAvgIterations);
    state.counters["tree_nodes"] = double(w->Tree().Count());

    prompts.reply(Prompts::Answer::Yes); // to close; the case shown is saved, so nothing else is asked
    const bool closed = w->close();
    w.reset();
    SetAppPath(QString());
    if (!closed || prompts.unexpected() != 0 || prompts.pendingReplies() != 0)
        state.SkipWithError("the window asked other questions than those answered");
}
BENCHMARK(BM_SaveNewCaseBesideTree)->Unit(benchmark::kMillisecond)->Iterations(Sized(60, 1));

} // namespace
