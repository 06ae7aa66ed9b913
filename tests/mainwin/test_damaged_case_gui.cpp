// The main window on a damaged case file: it says so once, naming the file, refuses to save into it, and
// leaves the file and what lies beside it byte for byte, through start, save and close; the case on screen, which
// cannot be saved, is dropped only after a question, as where the file was not opened.
#include "GuiTestSupport.h"

#include "CaseFileShims.h"
#include "CaseTree.h"

#include "MRecordBase.h"
#include "TFrmMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <sqlite3.h>

#include <functional>
#include <map>

using Answer = Prompts::Answer;

namespace {

class DamagedCaseWindowTest : public ProgramFolderTest {
public:
    QString at(const QString &relative) const { return path(relative); }
    QString dbPath() const { return MRecordBase::DefaultPath(path("")); }

    // A case file of `count` cases in place of the one there was.
    void MakeCases(int count)
    {
        for (const char *suffix : {"", "-wal", "-journal"})
            QFile::remove(dbPath() + suffix);
        MRecordBase db(path(""));
        ASSERT_EQ(db.Open(dbPath()), 0);
        MRecordBase::Batch batch(db);
        for (int i = 0; i < count; ++i) {
            TRecordData r;
            r.name = QStringLiteral("张三%1").arg(i);
            r.buildYear = 2004;
            r.mountain = 5; // 子山午向: the window lays the case out when it opens
            r.date = {1980, 5, 6, 7, 8};
            r.remarkFile = r.name + QStringLiteral("_198005060708");
            r.remarkText = QStringLiteral("坐北朝南，门开东南，旺山旺向。").repeated(10);
            ASSERT_GT(db.InsertCaseBatch(r), 0);
        }
        ASSERT_TRUE(batch.commit());
    }

    void ZeroPage(qint64 page)
    {
        QFile f(dbPath());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(page * 4096));
        ASSERT_EQ(f.write(QByteArray(4096, '\0')), 4096);
    }

    std::map<QString, QByteArray> Snapshot() const
    {
        std::map<QString, QByteArray> files;
        for (const char *suffix : {"", "-wal", "-journal"}) {
            QFile f(dbPath() + suffix);
            files[suffix] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
        }
        return files;
    }

    // Waits while the window checks the file beside its start; the number of questions and messages asked.
    qsizetype waitForMessages(qsizetype count)
    {
        QElapsedTimer t;
        t.start();
        while (prompts.asked().size() < count && t.elapsed() < 10000)
            QTest::qWait(20);
        return prompts.asked().size();
    }

    // Lays out a house with its comments, as the user does.
    void layOutNewCase(TFrmMain &w)
    {
        EnterHouse(w, "0:00", "2004", QStringLiteral("李四"), "1980");
        w.BtnPaiClick();
        EXPECT_TRUE(w.ChartValid());
        find<QTextEdit>(&w, "RedtPingYu")->setPlainText(QStringLiteral("李四家的评语"));
    }
};

TEST_F(DamagedCaseWindowTest, IsNamedOnceNeverSavedIntoAndLeftByteForByte)
{
    struct Row {
        const char *what;
        std::function<void(DamagedCaseWindowTest &)> damage;
    };
    const Row rows[] = {
        {"a -wal of another database beside it",
         [](DamagedCaseWindowTest &t) {
             const QString other = t.at("other.db");
             QFile::remove(other);
             sqlite3 *db = nullptr;
             sqlite3_open(other.toUtf8().constData(), &db);
             sqlite3_exec(db, "pragma journal_mode=wal; pragma wal_autocheckpoint=0; create table x(t);", nullptr,
                          nullptr, nullptr);
             EXPECT_TRUE(QFile::copy(other + "-wal", t.dbPath() + "-wal"));
             sqlite3_close(db);
         }},
        {"no case table",
         [](DamagedCaseWindowTest &t) {
             sqlite3 *db = nullptr;
             sqlite3_open(t.dbPath().toUtf8().constData(), &db);
             EXPECT_EQ(sqlite3_exec(db, "drop table case_data;", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(db);
         }},
        {"cut short",
         [](DamagedCaseWindowTest &t) {
             QFile f(t.dbPath());
             EXPECT_TRUE(f.resize(f.size() / 2));
         }},
        {"a page of cases zeroed", [](DamagedCaseWindowTest &t) { t.ZeroPage(QFileInfo(t.dbPath()).size() / 4096 / 2); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        MakeCases(400);
        row.damage(*this);
        const auto before = Snapshot();
        const qsizetype base = prompts.asked().size();

        prompts.reply(Answer::Ok);
        auto w = std::make_unique<TFrmMain>();
        w->show();
        ASSERT_EQ(waitForMessages(base + 1), base + 1); // the zeroed page is found by the check that runs beside the start
        EXPECT_EQ(prompts.asked().last().title, QStringLiteral("Quorin 3.3"));
        const QString said = prompts.asked().last().text;
        EXPECT_TRUE(said.startsWith(QStringLiteral("案例数据库文件已经损坏：\n") + dbPath() + "\n")) << said.toStdString();

        prompts.reply(Answer::Ok);
        layOutNewCase(*w);
        EXPECT_FALSE(w->SaveCaseClick()); // the damage is known by now: refused before the category is asked for
        ASSERT_EQ(prompts.asked().size(), base + 2);
        EXPECT_TRUE(prompts.asked().last().text.startsWith(QStringLiteral("无法保存案例！\n案例数据库文件已经损坏")))
            << prompts.asked().last().text.toStdString();

        // Closing asks nothing but whether to close: a file that takes no case is not offered the one on screen.
        EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
        w.reset();
        EXPECT_EQ(prompts.asked().size(), base + 3); // nothing more is said
        EXPECT_TRUE(Snapshot() == before) << "the case file or a file beside it changed";
    }
}

// Damage that appears while the program runs is found by the thread that loads all cases: said once, and the next
// save is refused.
TEST_F(DamagedCaseWindowTest, DamageFoundWhileAllCasesLoadStopsSaving)
{
    MakeCases(2500);
    auto w = std::make_unique<TFrmMain>();
    w->show();
    while (CaseDb()->QuickCheckRunning())
        QTest::qWait(20);
    QTest::qWait(250); // the window takes the verdict: the file is sound
    ASSERT_EQ(prompts.asked().size(), 0);
    ZeroPage(8); // among the oldest cases, which the start did not show
    const QByteArray damaged = Snapshot()[""];

    prompts.reply(Answer::Ok); // 记录总数有点多，确定后请等待操作完成！
    prompts.reply(Answer::Ok);
    w->pop_s_fullClick();
    ASSERT_EQ(waitForMessages(2), 2);
    EXPECT_TRUE(prompts.asked().last().text.startsWith(QStringLiteral("案例数据库文件已经损坏：\n") + dbPath()))
        << prompts.asked().last().text.toStdString();
    EXPECT_FALSE(w->TreeBusy());

    prompts.reply(Answer::Ok);
    layOutNewCase(*w);
    EXPECT_FALSE(w->SaveCaseClick());
    ASSERT_EQ(prompts.asked().size(), 3);
    EXPECT_TRUE(prompts.asked().last().text.startsWith(QStringLiteral("无法保存案例！\n案例数据库文件已经损坏")));
    EXPECT_EQ(Snapshot()[""], damaged);
    EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
    EXPECT_EQ(prompts.pendingReplies(), 0);
}

// The case file damaged, or not opened at the start (another program held it, and the user chose 取消): the new
// case on screen cannot be saved, and is not dropped without a question. 新建 asks its own question; opening
// another case from the tree says what would be lost. 否 keeps the case on screen as it was, 是 goes on.
TEST_F(DamagedCaseWindowTest, WorkThatCannotBeSavedIsDroppedOnlyAfterAQuestion)
{
    const QString kNew = QStringLiteral("确定要开始建立一个新案例吗?这将清除现有评语！");
    const QString kDrop =
        QStringLiteral("当前案例尚未保存，而案例数据库不能保存案例，继续就会丢失当前案例的内容。要继续吗？");
    const struct {
        bool damaged; // else not opened
        bool fromTree; // else 新建
        Answer answer;
    } rows[] = {{true, false, Answer::No}, {true, false, Answer::Yes}, {true, true, Answer::No},
                {true, true, Answer::Yes}, {false, false, Answer::No}, {false, false, Answer::Yes}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.damaged ? "damaged" : "not opened") + (row.fromTree ? ", tree" : ", 新建") +
                     (row.answer == Answer::Yes ? ", 是" : ", 否"));
        MakeCases(400);
        FileHolder other;
        if (row.damaged)
            ZeroPage(QFileInfo(dbPath()).size() / 4096 / 2);
        else
            ASSERT_TRUE(other.hold(dbPath(), "begin exclusive; update case_extra set verCode=verCode;"));
        const qsizetype base = prompts.asked().size();
        prompts.reply(row.damaged ? Answer::Ok : Answer::Cancel); // the damage named, or 重试/取消
        auto w = std::make_unique<TFrmMain>();
        w->show();
        ASSERT_EQ(waitForMessages(base + 1), base + 1);
        other.release();
        ASSERT_EQ(CaseDb()->IsOpen() && CaseDb()->Damaged(), row.damaged);

        layOutNewCase(*w);
        prompts.reply(row.answer);
        if (row.fromTree) {
            QTreeWidgetItem *node = w->Tree().NodeOf(400);
            ASSERT_NE(node, nullptr);
            find<QTreeWidget>(w.get(), "Tree")->setCurrentItem(node);
            w->findChild<QAction *>("pop_ming_pai")->trigger(); // 查看案例
        } else {
            QTest::mouseClick(find<QPushButton>(w.get(), "BtoNew"), Qt::LeftButton);
        }
        ASSERT_EQ(prompts.asked().size(), base + 2);
        EXPECT_EQ(prompts.asked().last().text, row.fromTree ? kDrop : kNew);
        const bool kept = row.answer == Answer::No;
        EXPECT_EQ(find<QTextEdit>(w.get(), "RedtPingYu")->toPlainText() == QStringLiteral("李四家的评语"), kept);
        EXPECT_EQ(w->ChartValid() && !w->CaseOpen(), kept);
        EXPECT_EQ(w->OpenCaseId(), !kept && row.fromTree ? 400 : -1);
        EXPECT_TRUE(CloseAnswering(*w, prompts, {Answer::Yes}));
        EXPECT_EQ(prompts.pendingReplies(), 0);
    }
}

} // namespace
