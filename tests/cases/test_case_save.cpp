// Saving one case with its comment and floor-plan files, new and opened: every step refused in turn, the program
// killed at every step, a case folder that cannot be written and a full disk. The case always reopens wholly
// old or wholly new, and a failure says what failed and why.
#include "CaseFileOps.h"
#include "CaseFiles.h"
#include "MRecordBase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cerrno>
#include <csignal>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Refuses the n-th step, or with kill set ends the process there; counts the steps either way.
struct StepOps : CaseFileOps {
    int at = 0;
    bool kill = false;
    int calls = 0;
    bool step(const char *) override
    {
        if (++calls != at)
            return true;
        if (kill)
            raise(SIGKILL);
        return false;
    }
};

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("-");
}

QString Names(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name).join(QLatin1Char(' '));
}

// The files are bigger than the full disk's room, so that each of them meets it.
const QByteArray kOldComments = "{\\rtf1 old " + QByteArray(3000, 'o') + "}";
const QByteArray kNewComments = "{\\rtf1 new " + QByteArray(3000, 'n') + "}";
const QByteArray kOldPlan = "BM old" + QByteArray(3000, 'p');
const QByteArray kNewPlan = "BM new" + QByteArray(3000, 'q');

struct Kind {
    const char *what;
    int id;        // -1: a new case
    bool withPlan; // a new floor plan; else the case keeps the plan it has
};
const Kind kKinds[] = {
    {"new case", -1, true},
    {"opened case with a new plan", 1, true},
    {"opened case keeping its plan", 1, false},
};

class CaseSaveTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    int runs = 0;
    QString app, db;

    // A fresh program folder holding case 1 (甲) with its comment and plan files.
    void Make()
    {
        app = tmp.path() + "/run" + QString::number(++runs) + "/";
        db = MRecordBase::DefaultPath(app);
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db), 0);
        TRecordData r = Case("甲", "旧评语");
        ASSERT_TRUE(base.SaveCase(-1, r, {kOldComments, kOldPlan})) << base.Message().toStdString();
        ASSERT_EQ(r.id, 1);
    }

    static TRecordData Case(const QString &name, const QString &comment)
    {
        TRecordData r;
        r.name = name;
        r.className = QStringLiteral("私人别墅");
        r.date = {1980, 5, 6, 7, 8};
        r.remarkText = comment;
        return r;
    }

    // What the kind saves: a new case 乙, or case 1 with new comments.
    TRecordData Edited(const Kind &k)
    {
        if (k.id < 0)
            return Case("乙", "新评语");
        MRecordBase base(app);
        TRecordData r;
        EXPECT_EQ(base.Open(db), 0);
        EXPECT_TRUE(base.LoadCase(k.id, r));
        r.remarkText = "新评语";
        return r;
    }

    static MRecordBase::TCaseFiles Files(const Kind &k)
    {
        MRecordBase::TCaseFiles f{kNewComments, {}};
        if (k.withPlan)
            f.plan = kNewPlan;
        return f;
    }

    // Each case with the contents of its files, then every file of the case folder and of dat/: a file that
    // no case names, or a journal left behind, shows here.
    std::string State()
    {
        std::string out;
        sqlite3 *raw = nullptr;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_open(db.toUtf8().constData(), &raw) == SQLITE_OK &&
            sqlite3_prepare_v2(raw, "select id, remarkText, remarkFile from case_data order by id", -1, &st,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW) {
                const auto text = [&](int c) { return QString::fromUtf8((const char *)sqlite3_column_text(st, c)); };
                const QByteArray rtf = ReadBytes(RemarkFilePath(app, text(2)));
                const QByteArray bmp = ReadBytes(PlanFilePath(app, text(2)));
                out += std::to_string(sqlite3_column_int(st, 0)) + ":" + text(1).toStdString() + " rtf " +
                       (rtf == kOldComments ? "old" : rtf == kNewComments ? "new" : "?") + " bmp " +
                       (bmp == kOldPlan ? "old" : bmp == kNewPlan ? "new" : bmp == "-" ? "none" : "?") + "; ";
            }
        }
        sqlite3_finalize(st);
        sqlite3_close(raw);
        return out + "files " + Names(CaseFolder(app)).toStdString() + " | dat " + Names(app + "dat").toStdString();
    }

    // The state after the program starts again on the folder.
    std::string Reopened()
    {
        MRecordBase base(app);
        EXPECT_EQ(base.Open(db, true), 0);
        return State();
    }

    // The old and the new state of a kind's save, each from a fresh folder.
    std::pair<std::string, std::string> OldAndNew(const Kind &k)
    {
        Make();
        const std::string old = State();
        MRecordBase base(app);
        EXPECT_EQ(base.Open(db), 0);
        TRecordData r = Edited(k);
        EXPECT_TRUE(base.SaveCase(k.id, r, Files(k)));
        return {old, Reopened()};
    }
};

} // namespace

TEST_F(CaseSaveTest, TheNewCaseTakesFreshFilesAndTheOldFilesGo)
{
    const struct {
        Kind kind;
        const char *expected;
    } rows[] = {
        {kKinds[0], "1:旧评语 rtf old bmp old; 2:新评语 rtf new bmp new; files 乙_198005060708.bmp "
                    "乙_198005060708.rtf 甲_198005060708.bmp 甲_198005060708.rtf | dat Quorin.db"},
        {kKinds[1], "1:新评语 rtf new bmp new; files 甲_198005060708_0.bmp 甲_198005060708_0.rtf | dat Quorin.db"},
        {kKinds[2], "1:新评语 rtf new bmp old; files 甲_198005060708_0.bmp 甲_198005060708_0.rtf | dat Quorin.db"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.kind.what);
        EXPECT_EQ(OldAndNew(row.kind).second, row.expected);
    }
}

TEST_F(CaseSaveTest, EveryRefusedStepLeavesTheWholeOldCaseAndSaysWhy)
{
    for (const Kind &k : kKinds) {
        const auto [old, fresh] = OldAndNew(k);
        const QString head = k.id > 0 ? "无法修改案例！\n" : "无法保存案例！\n";
        int failures = 0;
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(k.what) + ", step " + std::to_string(n));
            Make();
            StepOps ops;
            ops.at = n;
            MRecordBase base(app);
            ASSERT_EQ(base.Open(db), 0);
            base.SetFileOps(&ops);
            TRecordData r = Edited(k);
            const TRecordData before = r;
            const bool saved = base.SaveCase(k.id, r, Files(k));
            if (ops.calls < n)
                break; // every step has been refused once
            if (saved) { // a refused removal of an old file: the case is new, the clutter goes at the next start
                EXPECT_EQ(Reopened(), fresh);
                continue;
            }
            ++failures;
            EXPECT_TRUE(r == before);
            EXPECT_TRUE(base.Message().startsWith(head) && base.Message().size() > head.size()) << base.Message().toStdString();
            EXPECT_EQ(Reopened(), old);
        }
        EXPECT_GE(failures, 3) << k.what; // the journal, the comments and the row at least
    }
}

TEST_F(CaseSaveTest, KilledAtEveryStepTheCaseReopensWholeOldOrWholeNew)
{
    for (const Kind &k : kKinds) {
        const auto [old, fresh] = OldAndNew(k);
        std::set<std::string> seen;
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(k.what) + ", killed at step " + std::to_string(n));
            Make();
            const pid_t pid = fork();
            if (pid == 0) {
                StepOps ops;
                ops.at = n;
                ops.kill = true;
                MRecordBase base(app);
                if (base.Open(db) != 0)
                    _exit(2);
                base.SetFileOps(&ops);
                TRecordData r = Edited(k);
                base.SaveCase(k.id, r, Files(k));
                _exit(3); // not killed: no step n
            }
            int status = 0;
            waitpid(pid, &status, 0);
            if (WIFEXITED(status)) {
                EXPECT_EQ(WEXITSTATUS(status), 3);
                break;
            }
            const std::string reopened = Reopened();
            EXPECT_TRUE(reopened == old || reopened == fresh) << reopened;
            seen.insert(reopened);
        }
        EXPECT_EQ(seen, (std::set<std::string>{old, fresh})) << k.what;
    }
}

// A case folder that cannot be written, and a disk with no room left (a file-size limit in a child process
// stands in for it): the save fails with the file and the system's reason, and the case reopens as it was.
TEST_F(CaseSaveTest, AFolderThatCannotBeWrittenOrAFullDiskLeavesTheWholeOldCase)
{
    const struct {
        const char *what;
        int error;
    } faults[] = {{"read-only case folder", EACCES}, {"full disk", EFBIG}};
    for (const auto &fault : faults) {
        for (const Kind &k : kKinds) {
            SCOPED_TRACE(std::string(fault.what) + ", " + k.what);
            Make();
            const std::string old = State();
            const TRecordData edited = Edited(k);
            int fds[2];
            ASSERT_EQ(pipe(fds), 0);
            const bool readOnly = fault.error == EACCES;
            for (const QString &p : {tmp.path(), app, app + "dat"})
                chmod(p.toUtf8().constData(), 0777);
            chmod(db.toUtf8().constData(), 0666);
            if (readOnly)
                chmod(CaseFolder(app).toUtf8().constData(), 0555);
            const pid_t pid = fork();
            if (pid == 0) {
                close(fds[0]);
                MRecordBase base(app);
                std::string answer = base.Open(db) == 0 ? "" : "open failed";
                // The superuser writes whatever the permissions say: the child gives that right up first.
                if (readOnly && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                    answer = "cannot drop rights";
                if (!readOnly) {
                    signal(SIGXFSZ, SIG_IGN);
                    rlimit lim{};
                    getrlimit(RLIMIT_FSIZE, &lim);
                    lim.rlim_cur = 1024;
                    setrlimit(RLIMIT_FSIZE, &lim);
                }
                TRecordData r = edited;
                if (answer.empty())
                    answer = base.SaveCase(k.id, r, Files(k)) ? "saved" : base.Message().toStdString();
                if (write(fds[1], answer.data(), answer.size()) < 0)
                    _exit(2);
                _exit(0);
            }
            close(fds[1]);
            std::string answer;
            char buf[4096];
            for (ssize_t got; (got = read(fds[0], buf, sizeof buf)) > 0;)
                answer.append(buf, size_t(got));
            close(fds[0]);
            waitpid(pid, nullptr, 0);
            chmod(CaseFolder(app).toUtf8().constData(), 0755);
            const QString shown = QString::fromStdString(answer);
            EXPECT_TRUE(shown.startsWith(k.id > 0 ? "无法修改案例！\n无法写入文件“" : "无法保存案例！\n无法写入文件“"))
                << answer;
            EXPECT_TRUE(shown.contains(qt_error_string(fault.error))) << answer;
            EXPECT_EQ(Reopened(), old);
        }
    }
}

// A journal whose row names neither side, or that is no journal at all, removes nothing but itself.
TEST_F(CaseSaveTest, AJournalThatNamesNoCaseOrCannotBeReadRemovesOnlyItself)
{
    const QByteArray journals[] = {
        R"({"new":"甲_198005060708","old":"","oldFiles":[]})",           // the row names it: kept
        R"({"new":"../dat/Quorin","old":"甲_198005060708","oldFiles":[".rtf"]})", // not a name
        "not a journal",
    };
    for (const QByteArray &j : journals) {
        SCOPED_TRACE(j.toStdString());
        Make();
        const std::string old = State();
        QFile f(db + ".casesave");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(j);
        f.close();
        EXPECT_EQ(Reopened(), old);
    }
}
