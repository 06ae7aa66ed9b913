// Deleting one case with its comment and floor-plan files, refused, and stopped at every step.
#include "CaseFiles.h"
#include "CaseTestSupport.h"
#include "ChildProcess.h"
#include "MRecordBase.h"

#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

struct Stored {
    const char *name;
    const char *files; // the stored name of its files
};

class CaseDeleteTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    int runs = 0;
    QString app;

    // A fresh program folder with the cases (ids 1, 2, ...) and the files given, relative to the program folder.
    void Make(const QList<Stored> &cases, const QStringList &files)
    {
        app = tmp.path() + "/run" + QString::number(++runs) + "/";
        MRecordBase db(app);
        ASSERT_EQ(db.Open(MRecordBase::DefaultPath(app)), 0);
        for (const Stored &c : cases) {
            TRecordData r;
            r.name = QString::fromUtf8(c.name);
            r.remarkFile = QString::fromUtf8(c.files);
            ASSERT_GT(db.InsertCase(r), 0);
        }
        for (const QString &f : files)
            WriteBytes(app + f, "bytes of " + f.toUtf8());
    }
    QStringList Present(const QStringList &files) const
    {
        QStringList present;
        for (const QString &f : files)
            if (QFileInfo::exists(app + f))
                present << f;
        return present;
    }
};

} // namespace

TEST_F(CaseDeleteTest, TheRowGoesThenTheFilesNoOtherCaseNames)
{
    const struct {
        const char *what;
        QList<Stored> cases;
        int id;
        QStringList files;   // before
        QStringList kept;    // of those, what stays
    } rows[] = {
        {"both files", {{"甲", "甲_1"}, {"乙", "甲_1_0"}}, 1,
         {"Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp", "Quorin_f/甲_1_0.rtf", "Quorin_f/甲_1_0.bmp"},
         {"Quorin_f/甲_1_0.rtf", "Quorin_f/甲_1_0.bmp"}},
        {"comments only", {{"甲", "甲_1"}}, 1, {"Quorin_f/甲_1.rtf"}, {}},
        {"no file at all", {{"甲", "甲_1"}}, 1, {}, {}},
        {"files another case names", {{"甲", "甲_1"}, {"甲", "甲_1"}}, 2, {"Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp"},
         {"Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp"}},
        {"a name leaving the case folder", {{"甲", "../dat/甲"}}, 1, {"dat/甲.rtf", "dat/甲.bmp"},
         {"dat/甲.rtf", "dat/甲.bmp"}},
        {"no such case", {{"甲", "甲_1"}}, 7, {"Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp"},
         {"Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Make(row.cases, row.files);
        MRecordBase db(app);
        ASSERT_EQ(db.Open(MRecordBase::DefaultPath(app)), 0);
        EXPECT_TRUE(db.DeleteCaseWithFiles(row.id)) << db.Message().toStdString();
        TRecordData r;
        EXPECT_FALSE(db.LoadCase(row.id, r));
        EXPECT_EQ(Present(row.files), row.kept);
        for (int other = 1; other <= int(row.cases.size()); ++other) {
            if (other != row.id) {
                EXPECT_TRUE(db.LoadCase(other, r)) << other;
            }
        }
    }
}

// A deletion the case file refuses leaves the row and both files.
TEST_F(CaseDeleteTest, ARefusedDeletionKeepsTheCaseWhole)
{
    const QStringList files{"Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp"};
    Make({{"甲", "甲_1"}}, files);
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(MRecordBase::DefaultPath(app).toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "create trigger t before delete on case_data begin select raise(abort, 'no'); end;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    MRecordBase db(app);
    ASSERT_EQ(db.Open(MRecordBase::DefaultPath(app)), 0);
    EXPECT_FALSE(db.DeleteCaseWithFiles(1));
    EXPECT_EQ(db.Message(), "无法删除案例！");
    TRecordData r;
    EXPECT_TRUE(db.LoadCase(1, r));
    EXPECT_EQ(Present(files), files);
}

// The program killed at every step of deleting case 1: the next start, or else the next deletion, finishes what
// the kill left. Case 1 is then wholly there with its files or wholly gone with them; the files another case
// names and the user's own files in the case folder stay.
TEST_F(CaseDeleteTest, KilledAtEveryStepTheFilesDoNotOutliveTheCase)
{
    const QStringList first{"Quorin_f/甲_1.rtf", "Quorin_f/甲_1.bmp"}, third{"Quorin_f/丙_1.rtf", "Quorin_f/丙_1.bmp"};
    const QStringList kept{"Quorin_f/乙_1.rtf", "Quorin_f/乙_1.bmp", "Quorin_f/甲_1备份.rtf", "Quorin_f/我的笔记.txt"};
    for (const bool nextStart : {true, false}) {
        bool goneAfterAKill = false;
        for (int n = 1;; ++n) {
            SCOPED_TRACE(std::string(nextStart ? "the next start" : "the next deletion") + ", step " + std::to_string(n));
            Make({{"甲", "甲_1"}, {"乙", "乙_1"}, {"丙", "丙_1"}}, first + kept + third);
            const std::string answer = AnswerFromChild([&]() -> std::string {
                MRecordBase db(app);
                if (db.Open(MRecordBase::DefaultPath(app)) != 0)
                    return "open failed";
                StepOps kill;
                kill.at = n, kill.kill = true;
                db.SetFileOps(&kill);
                return db.DeleteCaseWithFiles(1) ? "deleted" : db.Message().toStdString();
            });
            if (!answer.empty()) { // every step has been met
                EXPECT_EQ(answer, "deleted");
                break;
            }
            MRecordBase db(app);
            const QString file = MRecordBase::DefaultPath(app);
            ASSERT_EQ(nextStart ? db.Open(file, true) : db.Open(file), 0);
            ASSERT_TRUE(nextStart || db.DeleteCaseWithFiles(3)) << db.Message().toStdString();
            EXPECT_EQ(Present(third), nextStart ? third : QStringList());
            TRecordData r;
            const bool gone = !db.LoadCase(1, r);
            goneAfterAKill |= gone;
            EXPECT_EQ(Present(first), gone ? QStringList() : first);
            EXPECT_EQ(Present(kept), kept);
            EXPECT_TRUE(db.LoadCase(2, r));
        }
        EXPECT_TRUE(goneAfterAKill) << "no kill came after the row was gone";
    }
}
