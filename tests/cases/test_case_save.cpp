// Saving one case with its comment and floor-plan files, new and opened: every step refused in turn, the program
// killed at every step, a case folder that cannot be written and a full disk. The case always reopens wholly
// old or wholly new, and a failure says what failed and why.
#include "CaseFiles.h"
#include "CaseTestSupport.h"
#include "ChildProcess.h"
#include "MRecordBase.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <cerrno>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// The files are bigger than the full disk's room, so that each of them meets it.
const QByteArray kOldComments = "{\\rtf1 old " + QByteArray(3000, 'o') + "}";
const QByteArray kNewComments = "{\\rtf1 new " + QByteArray(3000, 'n') + "}";
const QByteArray kOldPlan = "BM old" + QByteArray(3000, 'p');
const QByteArray kNewPlan = "BM new" + QByteArray(3000, 'q');

struct Kind {
    const char *what;
    int id;            // -1: a new case
    bool withPlan;     // a new floor plan; else the case keeps the plan it has
    const char *saved; // the state after the save
};
const Kind kKinds[] = {
    {"new case", -1, true,
     "1:旧评语 rtf old bmp old; 2:新评语 rtf new bmp new; files 乙_198005060708.bmp 乙_198005060708.rtf "
     "甲_198005060708.bmp 甲_198005060708.rtf | dat Quorin.db"},
    {"opened case with a new plan", 1, true,
     "1:新评语 rtf new bmp new; files 甲_198005060708_0.bmp 甲_198005060708_0.rtf | dat Quorin.db"},
    {"opened case keeping its plan", 1, false,
     "1:新评语 rtf new bmp old; files 甲_198005060708_0.bmp 甲_198005060708_0.rtf | dat Quorin.db"},
};

class CaseSaveTest : public FreshFolderTest {
protected:
    // A fresh program folder holding case 1 (甲) with its comment and plan files.
    void Make()
    {
        NextFolder();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db), 0);
        TRecordData r = Case("甲", "旧评语");
        ASSERT_TRUE(base.SaveCase(-1, r, {kOldComments, kOldPlan})) << base.Message().toStdString();
        ASSERT_EQ(r.id, 1);
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

    // Saves r as the kind does, through ops; "saved", or the message.
    std::string Save(const Kind &k, CaseFileOps *ops, TRecordData &r)
    {
        MRecordBase base(app);
        if (base.Open(db) != 0)
            return "open failed";
        base.SetFileOps(ops);
        return base.SaveCase(k.id, r, Files(k)) ? "saved" : base.Message().toStdString();
    }

    // Each case with the contents of its files, then every file of the case folder and of dat/: a file that
    // no case names, or a journal left behind, shows here.
    std::string State()
    {
        const auto which = [](const QString &path, const QByteArray &oldBytes, const QByteArray &newBytes) {
            const QByteArray b = ReadBytes(path);
            return !QFileInfo::exists(path) ? "none" : b == oldBytes ? "old" : b == newBytes ? "new" : "?";
        };
        const auto names = [](const QString &folder) {
            return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name).join(' ').toStdString();
        };
        std::string out;
        sqlite3 *raw = nullptr;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_open(db.toUtf8().constData(), &raw) == SQLITE_OK &&
            sqlite3_prepare_v2(raw, "select id, remarkText, remarkFile from case_data order by id", -1, &st,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW) {
                const auto text = [&](int c) { return QString::fromUtf8((const char *)sqlite3_column_text(st, c)); };
                out += std::to_string(sqlite3_column_int(st, 0)) + ":" + text(1).toStdString() + " rtf " +
                       which(RemarkFilePath(app, text(2)), kOldComments, kNewComments) + " bmp " +
                       which(PlanFilePath(app, text(2)), kOldPlan, kNewPlan) + "; ";
            }
        }
        sqlite3_finalize(st);
        sqlite3_close(raw);
        return out + "files " + names(CaseFolder(app)) + " | dat " + names(app + "dat");
    }

    // The state after the program starts again on the folder.
    std::string Reopened()
    {
        MRecordBase base(app);
        EXPECT_EQ(base.Open(db, true), 0);
        return State();
    }
};

} // namespace

// Each kind saved without a fault: the case takes fresh files, and the old ones go.
// On a disk with links and on one without (a USB stick), where a plan that is kept is copied to its new name.
TEST_F(CaseSaveTest, TheNewCaseTakesFreshFilesAndTheOldFilesGo)
{
    NoLinkOps noLinks;
    for (CaseFileOps *ops : {static_cast<CaseFileOps *>(nullptr), static_cast<CaseFileOps *>(&noLinks)}) {
        for (const Kind &k : kKinds) {
            SCOPED_TRACE(std::string(k.what) + (ops ? " without links" : ""));
            Make();
            TRecordData r = Edited(k);
            EXPECT_EQ(Save(k, ops, r), "saved");
            EXPECT_EQ(Reopened(), k.saved);
        }
    }
}

// Each step of the save refused in turn, and the program killed at each step: a refused step leaves the whole
// old case and says why (a refused removal of an old file has already saved; that clutter goes at the next
// start), and a kill leaves the whole old case or the whole new one, each at some step.
TEST_F(CaseSaveTest, StoppedAtEveryStepTheCaseReopensWholeOldOrWholeNew)
{
    for (const Kind &k : kKinds) {
        Make();
        const std::string old = State();
        const QString head = k.id > 0 ? "无法修改案例！\n" : "无法保存案例！\n";
        int failures = 0;
        std::set<std::string> afterKill;
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(k.what) + ", step " + std::to_string(n));
            Make();
            StepOps refuse;
            refuse.at = n;
            TRecordData r = Edited(k);
            const TRecordData before = r;
            const QString shown = QString::fromStdString(Save(k, &refuse, r));
            const bool noStepN = refuse.calls < n;
            if (shown == "saved") {
                EXPECT_EQ(Reopened(), k.saved);
            } else if (!noStepN) {
                ++failures;
                EXPECT_TRUE(r == before);
                EXPECT_TRUE(shown.startsWith(head) && shown.size() > head.size()) << shown.toStdString();
                EXPECT_EQ(Reopened(), old);
            }

            Make();
            const std::string answer = AnswerFromChild([&] {
                StepOps kill;
                kill.at = n;
                kill.kill = true;
                TRecordData edited = Edited(k);
                return Save(k, &kill, edited);
            });
            if (noStepN || !answer.empty()) { // every step has been met
                EXPECT_TRUE(noStepN && answer == "saved") << answer;
                break;
            }
            const std::string reopened = Reopened();
            EXPECT_TRUE(reopened == old || reopened == k.saved) << reopened;
            afterKill.insert(reopened);
        }
        EXPECT_GE(failures, 3) << k.what; // the journal, the comments and the row at least
        EXPECT_EQ(afterKill, (std::set<std::string>{old, k.saved})) << k.what;
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
            const bool readOnly = fault.error == EACCES;
            for (const QString &p : {tmp.path(), app, app + "dat"})
                chmod(p.toUtf8().constData(), 0777);
            chmod(db.toUtf8().constData(), 0666);
            if (readOnly)
                chmod(CaseFolder(app).toUtf8().constData(), 0555);
            const std::string answer = AnswerFromChild([&]() -> std::string {
                MRecordBase base(app);
                if (base.Open(db) != 0)
                    return "open failed";
                if (readOnly && !GiveUpAdministratorRights())
                    return "cannot drop rights";
                if (!readOnly) {
                    signal(SIGXFSZ, SIG_IGN);
                    rlimit lim{};
                    getrlimit(RLIMIT_FSIZE, &lim);
                    lim.rlim_cur = 1024;
                    setrlimit(RLIMIT_FSIZE, &lim);
                }
                TRecordData r = edited;
                return base.SaveCase(k.id, r, Files(k)) ? "saved" : base.Message().toStdString();
            });
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
        R"({"new":"甲_198005060708","old":"","oldFiles":[]})",                    // the row names it: kept
        R"({"new":"../dat/Quorin","old":"甲_198005060708","oldFiles":[".rtf"]})", // not a name
        "not a journal",
    };
    for (const QByteArray &j : journals) {
        SCOPED_TRACE(j.toStdString());
        Make();
        const std::string old = State();
        WriteBytes(db + ".casesave", j);
        EXPECT_EQ(Reopened(), old);
    }
}
