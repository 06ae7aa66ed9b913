// What opening the case file costs at start-up on 100,000 cases, with and without SQLite's quick check of the
// whole file, with the file in the page cache (a start soon after the last) and out of it (the first start of
// the day). Comments are stored in the rows, so their length sets the file's size: a short one and one of a
// thousand characters. A first start of the day on the larger file spends seconds in the check, which is why the
// program runs it beside the start and lets a write wait for its verdict.
#include "MRecordBase.h"
#include "QuickRun.h"
#include "SampleCase.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <memory>

namespace {

const int kCases = Sized(100000, 2000);

struct CaseFile {
    QTemporaryDir dir;
    QString app = dir.path() + "/";
    QString path = MRecordBase::DefaultPath(app);
    explicit CaseFile(int remarkChars)
    {
        MRecordBase db(app);
        db.Open(path);
        MRecordBase::Batch batch(db);
        for (int i = 0; i < kCases; ++i) {
            TRecordData r = SampleCase(i, remarkChars);
            db.InsertCaseBatch(r);
        }
        batch.commit();
    }
    // Drops the file's pages from the page cache, as after a reboot (the file is on the disk: fsync first).
    void Evict() const
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd >= 0) {
            ::fsync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
};

CaseFile &FileWith(int remarkChars)
{
    static std::map<int, std::unique_ptr<CaseFile>> files;
    auto &f = files[remarkChars];
    if (!f)
        f = std::make_unique<CaseFile>(remarkChars);
    return *f;
}

// Args: remark length in characters, quick check (0/1), cold cache (0/1).
void BM_OpenCaseFile(benchmark::State &state)
{
    CaseFile &file = FileWith(int(state.range(0)));
    state.counters["MB"] = double(QFileInfo(file.path).size()) / (1024 * 1024);
    for (auto _ : state) {
        if (state.range(2)) {
            state.PauseTiming();
            file.Evict();
            state.ResumeTiming();
        }
        MRecordBase db(file.app);
        db.SetQuickCheckAtOpen(state.range(1) != 0);
        if (db.Open(file.path) != 0)
            state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_OpenCaseFile)
    ->ArgNames({"remark", "check", "cold"})
    ->ArgsProduct({{15, 1000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(Sized(5, 1));

} // namespace

BENCHMARK_MAIN();
