// What the start spends on the case folder of a practitioner with 100,000 cases, one comment file each: opening
// the case file (which finishes what a stopped operation left) and clearing what a stopped program left
// (ClearStoppedSession), with the folder's names in the cache, as at a start soon after the last.
#include "CaseFiles.h"
#include "MRecordBase.h"
#include "QuickRun.h"
#include "StoppedSession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

const int kFiles = Sized(100000, 2000);

struct DataFolder {
    QTemporaryDir dir;
    QString app = dir.path() + "/";
    QString db = MRecordBase::DefaultPath(app);
    DataFolder()
    {
        QDir().mkpath(app + "dat");
        QDir().mkpath(app + "compass");
        QDir().mkpath(app + "picTemp");
        const QString cases = CaseFolder(app);
        QDir().mkpath(cases);
        MRecordBase(app).Open(db, false);
        for (int i = 0; i < kFiles; ++i) {
            const QByteArray name =
                QFile::encodeName(cases + QStringLiteral("张三_198005060708_%1.rtf").arg(i));
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0)
                ::close(fd);
        }
    }
};

void BM_StartOnACaseFolderOf100000Files(benchmark::State &state)
{
    static DataFolder folder;
    for (auto _ : state) {
        MRecordBase db(folder.app);
        benchmark::DoNotOptimize(db.Open(folder.db, false));
        ClearStoppedSession(folder.app);
    }
}
BENCHMARK(BM_StartOnACaseFolderOf100000Files)->Unit(benchmark::kMillisecond)->Apply([](benchmark::internal::Benchmark *b) {
    QuickRun() ? b->Iterations(1) : b->MinTime(2.0);
});

} // namespace

BENCHMARK_MAIN();
