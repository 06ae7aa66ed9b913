// What opening the case file costs at start-up on 100,000 cases, with and without SQLite's quick check of the
// whole file, with the file in the page cache (a start soon after the last) and out of it (the first start of
// the day). Comments are stored in the rows, so their length sets the file's size: a short one and one of a
// thousand characters. A first start of the day on the larger file spends seconds in the check, which is why the
// program runs it beside the start and lets a write wait for its verdict.
#include "MRecordBase.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <memory>

namespace {

constexpr int kCases = 100000;

TRecordData SampleCase(int i, int remarkChars)
{
    TRecordData r;
    r.name = QStringLiteral("张三") + QString::number(i % 1000);
    r.className = QStringLiteral("小区套房");
    r.date = {int16_t(1950 + i % 60), int16_t(1 + i % 12), int16_t(1 + i % 28), int16_t(i % 24), int16_t(i % 60)};
    r.buildYear = int16_t(1980 + i % 45);
    r.degree = float(i % 360) + 0.25f;
    r.address = QStringLiteral("浙江省杭州市西湖区文三路一百号");
    r.remarkFile = r.name + QStringLiteral("_%1").arg(i);
    const QString phrase = QStringLiteral("坐北朝南，门开东南，旺山旺向。");
    r.remarkText = phrase.repeated(remarkChars / phrase.size() + 1).left(remarkChars);
    return r;
}

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
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
