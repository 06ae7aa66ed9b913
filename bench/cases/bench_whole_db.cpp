// Whole-database operations on a case file of 100,000 cases, each beside what SQLite itself does on the same
// file in the same run: backup beside the online-backup interface (the shell's .backup), compaction and import
// beside VACUUM INTO, and import also beside a plain copy of the rows.
#include "MRecordBase.h"
#include "QuickRun.h"
#include "SampleCase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <chrono>
#include <sqlite3.h>

#include <unistd.h>

namespace {

const int kCases = Sized(100000, 2000);

// A program folder whose case file holds kCases cases (every tenth id deleted, as a used file has gaps), and a
// pristine copy of that file to start each run from.
struct Fixture {
    QTemporaryDir dir;
    QString app = dir.path() + "/app/";
    QString live = MRecordBase::DefaultPath(app);
    QString pristine = dir.path() + "/pristine.db";
    Fixture()
    {
        MRecordBase db(app);
        db.Open(live);
        {
            MRecordBase::Batch batch(db);
            for (int i = 0; i < kCases + kCases / 9; ++i) {
                TRecordData r = SampleCase(i);
                db.InsertCaseBatch(r);
            }
            for (int id = 10; id <= db.GetPrimaryId(); id += 10)
                db.DeleteCaseBatch(id);
            batch.commit();
        }
        QDir().mkpath(app + "Quorin_f");
        QFile::copy(live, pristine);
    }
    // The case file as compaction finds it in use: written and on the disk, with no write-back of the copy
    // still running under the measured call.
    void Reset()
    {
        QFile::remove(live);
        QFile::copy(pristine, live);
        QFile f(live);
        if (f.open(QIODevice::ReadOnly))
            ::fsync(f.handle());
    }
};

Fixture &Files()
{
    static Fixture f;
    return f;
}

bool SqliteRun(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void BM_Backup(benchmark::State &state)
{
    Fixture &f = Files();
    MRecordBase db(f.app);
    db.Open(f.live);
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(db.Backup(f.dir.path() + "/bk" + QString::number(n++)));
}

// What the shell's .backup does: the online-backup interface copying every page into a new file.
void BM_SqliteBackupApi(benchmark::State &state)
{
    Fixture &f = Files();
    int n = 0;
    for (auto _ : state) {
        sqlite3 *src = nullptr, *dst = nullptr;
        sqlite3_open(f.live.toUtf8().constData(), &src);
        sqlite3_open((f.dir.path() + "/api" + QString::number(n++) + ".db").toUtf8().constData(), &dst);
        sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
        sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
        sqlite3_close(dst);
        sqlite3_close(src);
    }
}

void BM_Compact(benchmark::State &state)
{
    Fixture &f = Files();
    for (auto _ : state) {
        state.PauseTiming();
        f.Reset();
        MRecordBase db(f.app);
        db.Open(f.live);
        state.ResumeTiming();
        benchmark::DoNotOptimize(db.Compact());
    }
}

void BM_SqliteVacuumInto(benchmark::State &state)
{
    Fixture &f = Files();
    int n = 0;
    for (auto _ : state) {
        const QString sql = "vacuum into '" + f.dir.path() + "/vac" + QString::number(n++) + ".db';";
        benchmark::DoNotOptimize(SqliteRun(f.live, sql.toUtf8().constData()));
    }
}

// Compaction and VACUUM INTO of the same file in turn within each iteration, so that the changing load of a shared
// machine falls on both alike. The iteration time is the compaction's; the counters give both means and the ratio.
void BM_CompactBesideVacuumInto(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    Fixture &f = Files();
    const QString out = f.dir.path() + "/beside.db";
    double compact = 0, vacuum = 0;
    for (auto _ : state) {
        f.Reset();
        QFile::remove(out);
        const QString sql = "vacuum into '" + out + "';";
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(SqliteRun(f.live, sql.toUtf8().constData()));
        const auto t1 = Clock::now();
        MRecordBase db(f.app);
        db.Open(f.live);
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(db.Compact());
        const auto t3 = Clock::now();
        const double c = std::chrono::duration<double>(t3 - t2).count();
        compact += c;
        vacuum += std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(c);
    }
    state.counters["compact_ms"] = benchmark::Counter(compact * 1000, benchmark::Counter::kAvgIterations);
    state.counters["vacuum_into_ms"] = benchmark::Counter(vacuum * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = vacuum > 0 ? compact / vacuum : 0;
}

// Import of the 100,000 cases into an empty case file; with state.range(0) set, their comment files too.
void BM_Import(benchmark::State &state)
{
    Fixture &f = Files();
    const QString app = f.dir.path() + "/importer/";
    for (auto _ : state) {
        state.PauseTiming();
        QDir(app).removeRecursively();
        QDir().mkpath(app + "Quorin_f");
        MRecordBase db(app);
        db.Open(MRecordBase::DefaultPath(app));
        if (state.range(0))
            db.SetRemarkCodec({[](const QString &t) { return "{\\rtf1 " + t.toUtf8() + "}"; }, {}});
        state.ResumeTiming();
        benchmark::DoNotOptimize(db.ImportDb(f.pristine));
    }
}

// The floor of any import that goes row by row: SQLite copying the same rows into an empty case file, with no
// cleaning, no new names and no checks.
void BM_SqliteInsertSelect(benchmark::State &state)
{
    Fixture &f = Files();
    const QString app = f.dir.path() + "/plain/";
    for (auto _ : state) {
        state.PauseTiming();
        QDir(app).removeRecursively();
        MRecordBase db(app);
        db.Open(MRecordBase::DefaultPath(app));
        const QString sql = "attach '" + f.pristine + "' as src; begin; insert into main.case_data select * from "
                            "src.case_data; commit;";
        state.ResumeTiming();
        benchmark::DoNotOptimize(SqliteRun(MRecordBase::DefaultPath(app), sql.toUtf8().constData()));
    }
}

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(Sized(5, 1));
BENCHMARK(BM_SqliteBackupApi)->Unit(benchmark::kMillisecond)->Iterations(Sized(5, 1));
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(Sized(5, 1));
BENCHMARK(BM_SqliteVacuumInto)->Unit(benchmark::kMillisecond)->Iterations(Sized(5, 1));
BENCHMARK(BM_CompactBesideVacuumInto)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(Sized(10, 1));
BENCHMARK(BM_Import)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(Sized(3, 1));
BENCHMARK(BM_SqliteInsertSelect)->Unit(benchmark::kMillisecond)->Iterations(Sized(3, 1));

} // namespace
