// The case file in other programs' hands: put in the place of the opened one (an older copy copied in, a
// synchronising program's rename), held by another connection (a database tool's transaction, a backup), a disk
// that fills under a save, and files beside it that are not regular files. Nothing of another case is changed,
// and every failure names its real reason.
#include "CaseFileHealth.h"
#include "CaseFiles.h"
#include "CaseTestSupport.h"
#include "ChildProcess.h"
#include "MRecordBase.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class CaseFileOthers : public ::testing::Test {
public:
    QTemporaryDir tmp;
    int runs = 0;
    QString app, db;

    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }

    // A fresh program folder whose case file holds 1 甲 and 2 `second`, each with its comment file.
    void Make(const char *second = "乙")
    {
        app = tmp.path() + "/run" + QString::number(++runs) + "/";
        db = MRecordBase::DefaultPath(app);
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db), 0);
        for (const char *name : {"甲", second}) {
            TRecordData r = Case(QString::fromUtf8(name));
            ASSERT_TRUE(base.SaveCase(-1, r, {"{\\rtf1 " + QByteArray(name) + "}", {}})) << base.Message().toStdString();
        }
    }

    static TRecordData Case(const QString &name)
    {
        TRecordData r;
        r.name = name;
        r.className = QStringLiteral("私人别墅");
        r.date = {1980, 5, 6, 7, 8};
        r.remarkText = QStringLiteral("评语");
        return r;
    }

    // The case file and every file of the case folder, as bytes.
    std::map<QString, QByteArray> Snapshot() const
    {
        std::map<QString, QByteArray> files{{"db", ReadBytes(db)}};
        for (const QString &n : QDir(CaseFolder(app)).entryList(QDir::Files))
            files[n] = ReadBytes(CaseFolder(app) + n);
        return files;
    }

    bool Exec(const QString &path, const char *sql)
    {
        sqlite3 *raw = nullptr;
        const bool ok = sqlite3_open(path.toUtf8().constData(), &raw) == SQLITE_OK &&
                        sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(raw);
        return ok;
    }
};

// A second connection that holds the case file in one way until it goes.
class Holder {
public:
    Holder(const QString &path, const char *how)
    {
        sqlite3_open(path.toUtf8().constData(), &db_);
        ok_ = sqlite3_exec(db_, how, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~Holder() { release(); }
    bool ok() const { return ok_; }
    void release()
    {
        if (!db_)
            return;
        sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
    }

private:
    sqlite3 *db_ = nullptr;
    bool ok_ = false;
};

} // namespace

// The window has case 2 open; then another program puts a file in the case file's place. Saving case 2 is
// refused, says that the case file was replaced, and leaves the new file and every comment file byte for byte;
// so are deleting and moving it where the name leads to another file. Where the file is still the one opened and
// the row still its case, the save goes through.
TEST_F(CaseFileOthers, AReplacedCaseFileIsNeverWrittenThroughTheOpenedCase)
{
    const struct {
        const char *what;
        std::function<void(CaseFileOthers &)> replace; // puts the other file in place
        bool refused;
        bool otherInode; // the name leads to another file than the one opened
    } rows[] = {
        {"an older copy copied over it, id 2 another case",
         [](CaseFileOthers &t) {
             const QString live = t.db, livefolder = CaseFolder(t.app);
             const QString olderApp = t.app;
             t.Make("丙"); // a program folder whose case 2 is 丙
             const QByteArray older = ReadBytes(t.db);
             const QString other = CaseFolder(t.app);
             t.app = olderApp;
             t.db = live;
             for (const QString &n : QDir(other).entryList(QDir::Files))
                 QFile::copy(other + n, livefolder + n); // the older copy's comment files come along
             QFile f(live);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)); // same file, other bytes
             f.write(older);
         },
         true, false},
        {"a synchronising program renamed its copy over it, id 2 the same case",
         [](CaseFileOthers &t) {
             ASSERT_TRUE(QFile::copy(t.db, t.db + ".sync"));
             ASSERT_EQ(::rename((t.db + ".sync").toUtf8().constData(), t.db.toUtf8().constData()), 0);
         },
         true, true},
        {"moved away", [](CaseFileOthers &t) { ASSERT_TRUE(QFile::rename(t.db, t.db + ".moved")); }, true, true},
        {"nothing replaced, the case renamed by an earlier save", [](CaseFileOthers &) {}, false, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Make();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db, true), 0);
        TRecordData opened;
        ASSERT_TRUE(base.LoadCase(2, opened));
        TRecordData edited = opened;
        if (!row.refused) { // the window saved the case under a new name before: that is the case it has open
            edited.name = QStringLiteral("乙改");
            ASSERT_TRUE(base.SaveCase(2, edited, {"{\\rtf1 x}", {}}, &opened));
            opened = edited;
        }
        row.replace(*this);
        const auto before = Snapshot();

        edited.remarkText = QStringLiteral("新评语");
        const bool saved = base.SaveCase(2, edited, {"{\\rtf1 new}", {}}, &opened);
        EXPECT_EQ(saved, !row.refused) << base.Message().toStdString();
        if (!row.refused)
            continue;
        EXPECT_TRUE(base.Message().startsWith(QStringLiteral("无法修改案例！\n案例文件已被其他程序替换：\n") + db))
            << base.Message().toStdString();
        EXPECT_FALSE(base.FileBusy());
        if (row.otherInode) { // a file of its own: nothing that names a case by id reaches it
            EXPECT_FALSE(base.DeleteCase(2));
            EXPECT_TRUE(base.Message().contains(QStringLiteral("案例文件已被其他程序替换"))) << base.Message().toStdString();
            EXPECT_FALSE(base.UpdateCase(2, edited));
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
         [](MRecordBase &b) {
             TRecordData r = Case(QStringLiteral("戊"));
             return b.SaveCase(-1, r, {"{\\rtf1 w}", {}});
         }},
        {"exclusive lock, case 1 loaded", "begin exclusive; update case_extra set verCode=verCode;",
         [](MRecordBase &b) {
             TRecordData r;
             return b.LoadCaseEx(1, r) == MRecordBase::TLoadResult::Loaded;
         }},
        {"write lock, case 2 saved", "begin immediate; update case_extra set verCode=verCode;",
         [](MRecordBase &b) {
             TRecordData r;
             return b.LoadCase(2, r) && b.SaveCase(2, r, {"{\\rtf1 w}", {}});
         }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Make();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db, true), 0);
        const auto before = Snapshot();
        Holder other(db, row.how);
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

// A disk that fills while the row is rewritten (a file-size limit at the case file's size stands in for it): the
// save says so in the user's words, never "not an error", and the case stays as it was.
TEST_F(CaseFileOthers, ARowThatMeetsAFullDiskGivesTheDisksReason)
{
    Make();
    const QByteArray old = ReadBytes(db);
    const std::string answer = AnswerFromChild([&]() -> std::string {
        MRecordBase base(app);
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
    });
    const QString shown = QString::fromStdString(answer);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("无法修改案例！\n磁盘已满")) ||
                shown.startsWith(QStringLiteral("无法修改案例！\n读写文件时出错")))
        << answer;
    EXPECT_FALSE(shown.contains("not an error")) << answer;
    EXPECT_EQ(ReadBytes(db), old);
}

// A named pipe (or another file that is not a regular file) where SQLite would find a journal, or where a swap
// leaves its marker: the opening is refused at once, naming it, and the pipe is left where it is.
TEST_F(CaseFileOthers, ANamedPipeBesideTheCaseFileIsRefusedAtOnce)
{
    for (const char *beside : {"-journal", ".swap", "-wal"}) {
        SCOPED_TRACE(beside);
        Make();
        const QString pipe = db + beside;
        ASSERT_EQ(mkfifo(pipe.toUtf8().constData(), 0600), 0);
        const std::string answer = AnswerFromChild([&] {
            alarm(5); // a wait on the pipe ends the child, and the test sees no answer
            MRecordBase base(app);
            const int rc = base.Open(db, true);
            return std::to_string(rc) + " " + base.Message().toStdString();
        });
        const QString shown = QString::fromStdString(answer);
        EXPECT_TRUE(shown.startsWith("-1 " + BlockedCaseFileText(db, pipe).left(20))) << answer;
        EXPECT_TRUE(shown.contains(pipe)) << answer;
        struct stat st {};
        EXPECT_TRUE(::stat(pipe.toUtf8().constData(), &st) == 0 && S_ISFIFO(st.st_mode));
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
            TRecordData r = Case(QStringLiteral("戊%1").arg(i));
            r.remarkText = QStringLiteral("坐北朝南，门开东南。").repeated(20);
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
