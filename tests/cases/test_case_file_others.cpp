// The case file in other programs' hands: put in the place of the opened one, numbered anew by its file system,
// held by another connection, a disk that fills under a save, and files beside it that are not regular files.
// Nothing of another case is changed, and every failure names its real reason.
#include "CaseFileHealth.h"
#include "CaseFiles.h"
#include "CaseTestSupport.h"
#include "ChildProcess.h"
#include "MRecordBase.h"
#include "CaseFileShims.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <functional>
#include <map>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Every look at one file, by its path or through an open handle (the program's and SQLite's), sees its number
// plus the shift from Renumber on, as on FAT and exFAT sticks, FUSE and some network shares once they read the
// file back into their cache; every other file is seen as it is.
std::atomic<quint64> g_device{0}, g_inode{0}, g_shift{0};

template <typename F>
F Real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

template <typename St>
int Shifted(int rc, St *st)
{
    if (rc == 0 && g_shift != 0 && quint64(st->st_dev) == g_device && quint64(st->st_ino) == g_inode)
        st->st_ino += g_shift;
    return rc;
}

// The file at path is given a new number (again).
void Renumber(const QString &path)
{
    struct stat st {};
    ASSERT_EQ(Real<int (*)(const char *, struct stat *)>("stat")(QFile::encodeName(path).constData(), &st), 0);
    if (g_shift == 0 || quint64(st.st_ino) != g_inode) {
        g_device = st.st_dev;
        g_inode = st.st_ino;
    }
    g_shift += 1000003;
}

} // namespace

// stat, stat64, fstat and fstat64, each seen through Shifted.
#define SHIFTED(name, Where, Stat)                                                                                     \
    extern "C" int name(Where where, struct Stat *st) noexcept                                                         \
    {                                                                                                                  \
        static const auto real = Real<int (*)(Where, struct Stat *)>(#name);                                           \
        return Shifted(real(where, st), st);                                                                           \
    }
SHIFTED(stat, const char *, stat)
SHIFTED(stat64, const char *, stat64)
SHIFTED(fstat, int, stat)
SHIFTED(fstat64, int, stat64)
#undef SHIFTED

namespace {

class CaseFileOthers : public FreshFolderTest {
public:
    FileHolder holder;
    void TearDown() override { g_shift = 0; }

    // A fresh program folder whose case file holds 1 甲 and 2 `second`, each with its comment file.
    void Make(const char *second = "乙")
    {
        NextFolder();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db), 0);
        for (const char *name : {"甲", second}) {
            TRecordData r = Case(QString::fromUtf8(name));
            ASSERT_TRUE(base.SaveCase(-1, r, {"{\\rtf1 " + QByteArray(name) + "}", {}})) << base.Message().toStdString();
        }
    }

    // Renames the file at from over the case file.
    void RenameOver(const QString &from) const
    {
        ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(db).constData()), 0);
    }

    // A backup the program makes of the case file, with restore also restored over it by another program.
    void BackUp(bool restore)
    {
        MRecordBase copy(app);
        ASSERT_EQ(copy.Open(db), 0);
        ASSERT_TRUE(copy.Backup(app + "backup/") && (!restore || copy.Restore(app + "backup/")))
            << copy.Message().toStdString();
    }

    // The case file and every file of the case folder, as bytes.
    std::map<QString, QByteArray> Snapshot() const
    {
        std::map<QString, QByteArray> files{{"db", ReadBytes(db)}};
        for (const QString &n : QDir(CaseFolder(app)).entryList(QDir::Files))
            files[n] = ReadBytes(CaseFolder(app) + n);
        return files;
    }
};

} // namespace

// Case 2 is open, its file numbered anew and saved into (renamed), when another program puts a file in the case
// file's place. Saving case 2 is refused, says that the case file was replaced, and leaves the new file and every
// comment file byte for byte; so is every other write, alone or in a batch. Where the file is still the one opened
// (numbered anew again, or its own copy with the stamp it carries) and the row still its case, the save goes
// through. Numbered anew while another program holds it, the file cannot say which it is: the save says that the
// file is held, not that it was replaced, and goes through once the other program lets go.
TEST_F(CaseFileOthers, AReplacedCaseFileIsNeverWrittenThroughTheOpenedCase)
{
    enum Outcome { Saved, Held, Replaced, OtherCase }; // OtherCase: the same file holds another case under id 2
    const struct {
        const char *what;
        std::function<void(CaseFileOthers &)> replace;
        Outcome outcome;
    } rows[] = {
        {"an older copy copied over it in place, id 2 another case",
         [](CaseFileOthers &t) {
             const QString app = t.app, db = t.db;
             t.Make("丙");
             const QByteArray older = ReadBytes(t.db);
             for (const QString &n : QDir(CaseFolder(t.app)).entryList(QDir::Files))
                 QFile::copy(CaseFolder(t.app) + n, CaseFolder(app) + n);
             t.app = app, t.db = db;
             WriteBytes(db, older);
         },
         OtherCase},
        {"another program's case file renamed over it, id 2 another case",
         [](CaseFileOthers &t) {
             const QString app = t.app, db = t.db;
             t.Make("丙");
             const QString theirs = t.db;
             t.app = app, t.db = db;
             t.RenameOver(theirs);
         },
         Replaced},
        {"moved away", [](CaseFileOthers &t) { ASSERT_TRUE(QFile::rename(t.db, t.db + ".moved")); }, Replaced},
        {"a backup the program made of it renamed over it",
         [](CaseFileOthers &t) {
             t.BackUp(false);
             t.RenameOver(t.app + "backup/Quorin.db");
         },
         Replaced},
        {"restored from that backup by another program", [](CaseFileOthers &t) { t.BackUp(true); }, Replaced},
        {"a copy from before it carried a stamp (an earlier version's) renamed over it",
         [](CaseFileOthers &t) {
             ASSERT_TRUE(QFile::copy(t.db, t.db + ".old"));
             sqlite3 *raw = nullptr;
             ASSERT_EQ(sqlite3_open((t.db + ".old").toUtf8().constData(), &raw), SQLITE_OK);
             EXPECT_EQ(sqlite3_exec(raw, "drop table if exists case_identity;", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(raw);
             t.RenameOver(t.db + ".old");
         },
         Replaced},
        {"nothing replaced", [](CaseFileOthers &) {}, Saved},
        {"numbered anew again", [](CaseFileOthers &t) { Renumber(t.db); }, Saved},
        {"a synchronising program renamed its copy over it, id 2 the same case",
         [](CaseFileOthers &t) {
             ASSERT_TRUE(QFile::copy(t.db, t.db + ".sync"));
             t.RenameOver(t.db + ".sync");
         },
         Saved},
        {"numbered anew again while another program holds it",
         [](CaseFileOthers &t) {
             Renumber(t.db);
             ASSERT_TRUE(t.holder.hold(t.db, "begin exclusive; update case_extra set verCode=verCode;"));
         },
         Held},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        g_shift = 0;
        Make();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db, true), 0);
        TRecordData opened, one;
        ASSERT_TRUE(base.LoadCase(2, opened) && base.LoadCase(1, one));
        const TCaseKey first = CaseKeyOf(one);
        Renumber(db);
        TRecordData edited = opened;
        edited.name = QStringLiteral("乙改");
        ASSERT_TRUE(base.SaveCase(2, edited, {"{\\rtf1 x}", {}}, &opened)) << base.Message().toStdString();
        opened = edited;
        row.replace(*this);
        const auto before = Snapshot();

        edited.remarkText = QStringLiteral("新评语");
        EXPECT_EQ(base.SaveCase(2, edited, {"{\\rtf1 new}", {}}, &opened), row.outcome == Saved)
            << base.Message().toStdString();
        EXPECT_EQ(base.FileBusy(), row.outcome == Held);
        if (row.outcome == Held) {
            EXPECT_TRUE(base.Message().contains(BusyCaseFileText(db))) << base.Message().toStdString();
            holder.release();
            EXPECT_TRUE(base.SaveCase(2, edited, {"{\\rtf1 new}", {}}, &opened)) << base.Message().toStdString();
        }
        TRecordData added = Case("丁");
        if (row.outcome < Replaced) {
            EXPECT_GT(base.InsertCase(added), 0) << base.Message().toStdString();
            continue;
        }
        EXPECT_TRUE(base.Message().startsWith(QStringLiteral("无法修改案例！\n案例文件已被其他程序替换：\n") + db))
            << base.Message().toStdString();
        // Nothing that names case 2 as read reaches the file put in place, alone or in a batch.
        const TCaseKey read = CaseKeyOf(opened);
        const std::function<bool()> writes[] = {
            [&] { return base.DeleteCase(2, &read); },
            [&] { return base.UpdateCase(2, edited, &read); },
            [&] { return base.DeleteCaseWithFiles(2, &read); },
            [&] {
                MRecordBase::Batch batch(base);
                return base.UpdateCaseBatch(2, edited, &read) || base.DeleteCaseBatch(1) || batch.commit();
            },
            [&] { // case 1 is still the one read where the file put in place was copied from this one
                MRecordBase::Batch batch(base);
                base.DeleteCaseBatch(1, &first);
                return base.DeleteCaseBatch(2, &read) || batch.commit();
            },
        };
        for (const auto &write : writes) {
            EXPECT_FALSE(write());
            EXPECT_TRUE(base.CaseReplaced());
            EXPECT_TRUE(base.Message().contains(QStringLiteral("案例文件已被其他程序替换"))) << base.Message().toStdString();
        }
        EXPECT_TRUE(Snapshot() == before) << "the file put in place or a comment file changed";
        // Nor does a new case, unless the file at the path is the one opened, written over with another's bytes.
        EXPECT_EQ(base.InsertCase(added) > 0, row.outcome == OtherCase) << base.Message().toStdString();
        EXPECT_TRUE(row.outcome == OtherCase || base.Message().contains(QStringLiteral("案例文件已被其他程序替换")));
    }
}

// Another program holds the case file: opening, loading or saving waits its time, then fails saying that the
// named file is in use by another program, changes nothing, and succeeds when tried again after it let go.
TEST_F(CaseFileOthers, AFileHeldByAnotherProgramIsNamedAndTheSameCallWorksAfterwards)
{
    const struct {
        const char *what;
        const char *how;
        std::function<bool(MRecordBase &)> call;
    } rows[] = {
        {"read transaction, a new case saved", "begin; select count(*) from case_data;",
         [](MRecordBase &b) { TRecordData r = Case("戊"); return b.SaveCase(-1, r, {"{\\rtf1 w}", {}}); }},
        {"exclusive lock, case 1 loaded", "begin exclusive; update case_extra set verCode=verCode;",
         [](MRecordBase &b) { TRecordData r; return b.LoadCaseEx(1, r) == MRecordBase::TLoadResult::Loaded; }},
        {"write lock, case 2 saved", "begin immediate; update case_extra set verCode=verCode;",
         [](MRecordBase &b) { TRecordData r; return b.LoadCase(2, r) && b.SaveCase(2, r, {"{\\rtf1 w}", {}}); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Make();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db, true), 0);
        const auto before = Snapshot();
        FileHolder other(db, row.how);
        ASSERT_TRUE(other.ok());
        EXPECT_FALSE(row.call(base));
        EXPECT_TRUE(base.FileBusy());
        EXPECT_TRUE(base.Message().contains(BusyCaseFileText(db))) << base.Message().toStdString();
        EXPECT_FALSE(base.Message().contains("not an error"));
        other.release();
        EXPECT_TRUE(Snapshot() == before);
        EXPECT_TRUE(row.call(base)) << base.Message().toStdString();
        EXPECT_FALSE(base.FileBusy());
    }
}

// What the disk puts in the way, met in a child process: a disk that fills while row 2 is rewritten (a file-size
// limit at the case file's size stands in for it), or a named pipe where SQLite would find a journal or a swap
// leaves its marker, which is refused at once (a wait on it ends the child, and the test sees no answer). The
// message gives the real reason in the user's words, never "not an error"; the case file and the pipe stay.
TEST_F(CaseFileOthers, WhatTheDiskPutsInTheWayIsNamedAndChangesNothing)
{
    for (const char *pipeBeside : {"", "-journal", ".swap", "-wal"}) {
        SCOPED_TRACE(*pipeBeside ? pipeBeside : "a full disk");
        Make();
        const QString pipe = *pipeBeside ? db + pipeBeside : QString();
        ASSERT_TRUE(pipe.isEmpty() || MakePipe(pipe));
        const QByteArray old = ReadBytes(db);
        const QString shown = QString::fromStdString(AnswerFromChild([&]() -> std::string {
            alarm(5);
            MRecordBase base(app);
            if (!pipe.isEmpty())
                return base.Open(db, true) == -1 ? base.Message().toStdString() : "opened";
            TRecordData r;
            if (base.Open(db) != 0 || !base.LoadCase(2, r))
                return "open failed";
            signal(SIGXFSZ, SIG_IGN);
            rlimit lim{};
            getrlimit(RLIMIT_FSIZE, &lim);
            lim.rlim_cur = rlim_t(QFileInfo(db).size()); // the small comment file fits, the grown case file does not
            setrlimit(RLIMIT_FSIZE, &lim);
            r.remarkText = QStringLiteral("旺山旺向。").repeated(4000);
            return base.SaveCase(2, r, {"{\\rtf1 w}", {}}) ? "saved" : base.Message().toStdString();
        }));
        const QStringList reasons = pipe.isEmpty() ? QStringList{QStringLiteral("无法修改案例！\n磁盘已满"),
                                                                 QStringLiteral("无法修改案例！\n读写文件时出错")}
                                                   : QStringList{BlockedCaseFileText(db, pipe).left(20)};
        EXPECT_TRUE(std::any_of(reasons.begin(), reasons.end(), [&](const QString &r) { return shown.startsWith(r); }))
            << shown.toStdString();
        EXPECT_TRUE(pipe.isEmpty() || shown.contains(pipe)) << shown.toStdString();
        EXPECT_FALSE(shown.contains("not an error")) << shown.toStdString();
        EXPECT_EQ(ReadBytes(db), old);
        EXPECT_TRUE(pipe.isEmpty() || IsPipe(pipe));
    }
}

// The check beside the start counts what it has read, so that a save waiting for it shows how far it has got:
// once it has read the whole file, all of it (a count that misses the check's reads would leave the bar empty).
TEST_F(CaseFileOthers, TheChecksProgressFollowsWhatItHasRead)
{
    Make();
    MRecordBase base(app);
    ASSERT_EQ(base.Open(db), 0);
    {
        MRecordBase::Batch batch(base);
        for (int i = 0; i < 400; ++i) {
            TRecordData r = Case(QStringLiteral("戊%1").arg(i), QStringLiteral("坐北朝南，门开东南。").repeated(20));
            ASSERT_GT(base.InsertCaseBatch(r), 0);
        }
        ASSERT_TRUE(batch.commit());
    }
    ASSERT_GT(QFileInfo(db).size(), 100 * 1024);
    BackgroundQuickCheck check(QFileInfo(db).absoluteFilePath().toUtf8());
    EXPECT_EQ(check.verdict(), QString());
    EXPECT_TRUE(check.finished());
    EXPECT_GE(check.progress(), 0.95);
    EXPECT_LE(check.progress(), 1.0);
}
