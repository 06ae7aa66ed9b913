// The case file in other programs' hands: put in the place of the opened one, held by another connection, a disk
// that fills under a save, and files beside it that are not regular files. Nothing of another case is changed,
// and every failure names its real reason.
#include "CaseFileHealth.h"
#include "CaseFiles.h"
#include "CaseTestSupport.h"
#include "ChildProcess.h"
#include "MRecordBase.h"
#include "CaseFileShims.h"

#include <algorithm>
#include <csignal>
#include <functional>
#include <map>

#include <sys/resource.h>

namespace {

class CaseFileOthers : public FreshFolderTest {
public:
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

// Case 2 is open when another program puts a file in the case file's place. Saving case 2 is refused, says that
// the case file was replaced, and leaves the new file and every comment file byte for byte; so is every other
// write that names case 2 as read, alone or in a batch. Where the file is still the one opened, or its own copy
// with the stamp it carries (a synchronising program's), and the row still its case (renamed by an earlier save),
// the save goes through.
TEST_F(CaseFileOthers, AReplacedCaseFileIsNeverWrittenThroughTheOpenedCase)
{
    const struct {
        const char *what;
        std::function<void(CaseFileOthers &)> replace;
        bool refused;
    } rows[] = {
        {"an older copy copied over it in place, id 2 another case",
         [](CaseFileOthers &t) {
             const QString app = t.app, db = t.db;
             t.MakeTwoCases("丙");
             const QByteArray older = ReadBytes(t.db);
             for (const QString &n : QDir(CaseFolder(t.app)).entryList(QDir::Files))
                 QFile::copy(CaseFolder(t.app) + n, CaseFolder(app) + n);
             t.app = app, t.db = db;
             WriteBytes(db, older);
         },
         true},
        {"another program's case file renamed over it, id 2 another case",
         [](CaseFileOthers &t) { t.RenameAnotherProgramsFileOver(); }, true},
        {"moved away", [](CaseFileOthers &t) { ASSERT_TRUE(QFile::rename(t.db, t.db + ".moved")); }, true},
        {"nothing replaced, the case renamed by an earlier save", [](CaseFileOthers &) {}, false},
        {"a synchronising program renamed its copy over it, id 2 the same case",
         [](CaseFileOthers &t) {
             ASSERT_TRUE(QFile::copy(t.db, t.db + ".sync"));
             t.RenameOver(t.db + ".sync");
         },
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        MakeTwoCases();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db, true), 0);
        TRecordData opened, one;
        ASSERT_TRUE(base.LoadCase(2, opened) && base.LoadCase(1, one));
        const TCaseKey first = CaseKeyOf(one);
        TRecordData edited = opened;
        if (!row.refused) {
            edited.name = QStringLiteral("乙改");
            ASSERT_TRUE(base.SaveCase(2, edited, {"{\\rtf1 x}", {}}, &opened));
            opened = edited;
        }
        row.replace(*this);
        const auto before = Snapshot();

        edited.remarkText = QStringLiteral("新评语");
        EXPECT_EQ(base.SaveCase(2, edited, {"{\\rtf1 new}", {}}, &opened), !row.refused)
            << base.Message().toStdString();
        if (!row.refused)
            continue;
        EXPECT_TRUE(base.Message().startsWith(QStringLiteral("无法修改案例！\n案例文件已被其他程序替换：\n") + db))
            << base.Message().toStdString();
        EXPECT_FALSE(base.FileBusy());
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
        MakeTwoCases();
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
        MakeTwoCases();
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
    MakeTwoCases();
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
