// The first save after the start, while the check that reads the whole case file still runs beside it. Two files
// (about 12 MB and 400 MB), in the page cache (a start soon after the last) and out of it (the first start of the
// day: every cache dropped when the benchmark runs as root, else the file's own pages). The window's road is
// modelled on the case object alone: flow 0 is the road of the earlier window (a new case waited for the check's
// verdict in one blocking call, the open case was saved at once), flow 1 the road of the window now (the wait box
// polls while the event loop runs, then the save).
//
// Counters, each the mean over the runs it names:
//   open_ms       from the start until the case file's Open returns: the window can show no sooner
//   saved_ms      from the start until the save is done (the save is pressed as soon as the file is open)
//   frozen_ms     the longest the window's thread is held in one call: the time the window is frozen
//   failed        the share of runs whose save failed
//   all_caches_dropped  the share of cold runs that could drop every cache (else only the file's own pages)
//   saw_bar       the share of runs whose save found the check still running, so the wait box showed (flow 1;
//                 flow 0 has no wait box: 0)
//   bar_at_end    over the runs that saw the bar: the share of the file the bar last showed read
// A counter over no runs (all_caches_dropped of a warm run, bar_at_end where no run saw the bar) is NaN.
//
// Built as usual it runs flow 0 and 1 over this tree's case library. Configured with QUORIN_BASELINE_SOURCE (see
// bench/baseline/), the baseline build runs flow 0 over the case library of that earlier release, the earlier
// program itself: build/baseline/bench_first_save.
//
// Run by hand: build/bench/cases/bench_first_save [--benchmark_filter=...]; the files are made once in
// $QUORIN_BENCH_DIR (default: the temporary folder)/quorin_first_save/. A quick run makes small ones in a folder
// of its own and leaves every other cache alone.
#include "MRecordBase.h"
#include "QuickRun.h"
#include "SampleCase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>
#include <vector>

namespace {

struct Sample {
    const char *name;
    int cases;
    int remarkChars;
};
// About 12 MB and 400 MB: the comment stored in each row sets the size.
const Sample kSamples[] = {{"small", 56000, 15}, {"large", 102000, 1000}};
const Sample kQuickSamples[] = {{"small", 2000, 15}, {"large", 2000, 1000}};

const Sample &SampleOf(int sample) { return (QuickRun() ? kQuickSamples : kSamples)[sample]; }

QString Root()
{
    if (QuickRun()) {
        static QTemporaryDir quick;
        return quick.path();
    }
    const QByteArray base = qgetenv("QUORIN_BENCH_DIR");
    return base.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(base);
}

QString Folder(int sample) { return Root() + "/quorin_first_save/" + SampleOf(sample).name + "/"; }

// The sample's program folder with its case file, made on the first run.
QString App(int sample)
{
    const QString app = Folder(sample);
    const QString path = MRecordBase::DefaultPath(app);
    if (QFileInfo::exists(path))
        return app;
    QDir().mkpath(app);
    MRecordBase db(app);
    db.Open(path);
    MRecordBase::Batch batch(db);
    for (int i = 0; i < SampleOf(sample).cases; ++i) {
        TRecordData r = SampleCase(i, SampleOf(sample).remarkChars);
        db.InsertCaseBatch(r);
    }
    batch.commit();
    return app;
}

// Out of the page cache: every cache when that is allowed (as root, and not in a quick run), else the file's own
// pages.
bool DropCaches(const QString &path)
{
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    if (!QuickRun() && drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2) {
        drop.close();
        return true;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    return false;
}

// Times calls on the window's thread; the longest one is what the user sees as a frozen window.
struct WindowThread {
    QElapsedTimer sinceStart;
    double longest = 0; // ms
    double sinceStartMs() const { return double(sinceStart.nsecsElapsed()) / 1e6; }
    template <typename F>
    void call(F f)
    {
        QElapsedTimer t;
        t.start();
        f();
        longest = std::max(longest, double(t.nsecsElapsed()) / 1e6);
    }
};

// Every run reports every counter (the CSV output needs them all); one that means nothing in a run is NaN.
void Report(benchmark::State &state, const char *name, double value, double runs)
{
    state.counters[name] = runs > 0 ? value / runs : std::numeric_limits<double>::quiet_NaN();
}

// Args: sample (0 small, 1 large), cold (0/1), what is saved (0 a new case, 1 the open case 1), flow (0/1).
void BM_FirstSaveAfterStart(benchmark::State &state)
{
    const int sample = int(state.range(0));
    const bool cold = state.range(1) != 0, openCase = state.range(2) != 0, waitBox = state.range(3) != 0;
    const QString app = App(sample), path = MRecordBase::DefaultPath(app);
    double opened = 0, saved = 0, frozen = 0, failed = 0, dropped = 0, sawBar = 0, bar = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            dropped += DropCaches(path);
            state.ResumeTiming();
        }
        WindowThread ui;
        ui.sinceStart.start();
        MRecordBase db(app);
        db.SetQuickCheckAtOpen(false);
        ui.call([&] { db.Open(path, true); });
        opened += ui.sinceStartMs();
        db.StartQuickCheck();
        // The save is pressed as soon as the window shows.
        if (waitBox) {
#ifndef QUORIN_BENCH_BASELINE
            // The wait box shows while the check runs; its bar follows the check at every poll.
            if (db.QuickCheckRunning()) {
                double shown = 0;
                do {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the event loop runs meanwhile
                    if (db.QuickCheckRunning())
                        shown = db.QuickCheckProgress();
                } while (db.QuickCheckRunning());
                sawBar += 1;
                bar += shown;
            }
#endif
            ui.call([&] { db.SettleQuickCheck(); });
        } else if (!openCase) {
            ui.call([&] { db.SettleQuickCheck(); });
        }
        TRecordData rec = SampleCase(1, 15);
        if (openCase)
            ui.call([&] { db.LoadCase(1, rec); });
        bool ok = false;
        ui.call([&] { ok = db.SaveCase(openCase ? 1 : -1, rec, {"{\\rtf1 saved}", {}}); });
        saved += ui.sinceStartMs();
        frozen += ui.longest;
        failed += ok ? 0 : 1;
        db.SettleQuickCheck(); // the next run starts without this one's check
    }
    const double runs = double(state.iterations());
    Report(state, "open_ms", opened, runs);
    Report(state, "saved_ms", saved, runs);
    Report(state, "frozen_ms", frozen, runs);
    Report(state, "failed", failed, runs);
    Report(state, "all_caches_dropped", dropped, cold ? runs : 0);
    Report(state, "saw_bar", sawBar, runs);
    Report(state, "bar_at_end", bar, sawBar);
    state.counters["MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
}
// The baseline build runs the earlier window's road only: the earlier case library has no wait box to model.
#ifdef QUORIN_BENCH_BASELINE
const std::vector<int64_t> kFlows = {0};
#else
const std::vector<int64_t> kFlows = {0, 1};
#endif
BENCHMARK(BM_FirstSaveAfterStart)
    ->ArgNames({"sample", "cold", "open", "flow"})
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}, kFlows})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(Sized(3, 1));

// A save stopped half-way left its journal: the time until Open returns and the first window can show.
void BM_FirstWindowAfterAStoppedSave(benchmark::State &state)
{
    const int sample = int(state.range(0));
    const bool cold = state.range(1) != 0;
    const QString app = App(sample), path = MRecordBase::DefaultPath(app);
    for (auto _ : state) {
        state.PauseTiming();
        QFile journal(path + ".casesave");
        journal.open(QIODevice::WriteOnly);
        journal.write(R"({"new":"nobody_000000000000","old":"","oldFiles":[]})");
        journal.close();
        if (cold)
            DropCaches(path);
        state.ResumeTiming();
        MRecordBase db(app);
        db.SetQuickCheckAtOpen(false);
        db.Open(path, true);
        state.PauseTiming();
        db.StartQuickCheck();
        db.SettleQuickCheck(); // settles the journal before the next run
        state.ResumeTiming();
    }
    state.counters["MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
}
BENCHMARK(BM_FirstWindowAfterAStoppedSave)
    ->ArgNames({"sample", "cold"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(Sized(3, 1));

} // namespace

BENCHMARK_MAIN();
