// The main window and its case file in other programs' hands, driven as the user does: the check that reads the
// whole file beside the start (held back by a gate between SQLite and the disk), another program holding the
// file, and a file put in the place of the one the window opened.
#include "GuiTestSupport.h"

#include "CaseFileHealth.h"
#include "CaseFiles.h"
#include "CaseFileShims.h"
#include "MRecordBase.h"
#include "TFrmMain.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using Answer = Prompts::Answer;

namespace {

// While closed, every read of a case file opened for reading only (the check's connection) waits; the window's own
// connections read and write.
std::atomic_bool g_gateClosed{false};

// Scripted prompts while another program may hold the case file: it lets go while 重试/取消 is on screen.
class LettingGoPrompts : public ScriptedPrompts {
public:
    FileHolder other;
    Answer message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                   std::optional<Answer> defaultAnswer) override
    {
        if (buttons == Buttons::RetryCancel)
            other.release();
        return ScriptedPrompts::message(title, text, icon, buttons, defaultAnswer);
    }
};

class CaseFileWindowTest : public ProgramFolderTest {
public:
    LettingGoPrompts hooked; // installed over the fixture's prompts

    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        ShimVfs::Installed().beforeRead = [](int flags) {
            while ((flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READONLY) && g_gateClosed)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        };
    }
    void TearDown() override
    {
        g_gateClosed = false;
        hooked.other.release();
        EXPECT_EQ(hooked.unexpected(), 0);
        ProgramFolderTest::TearDown();
    }

    QString dbPath() const { return MRecordBase::DefaultPath(path("")); }

    // Cases 1 甲 and 2 `second`, each a house the window can lay out, with a comment file.
    void MakeCases(const char *second = "乙", const QString &app = QString())
    {
        const QString folder = app.isEmpty() ? path("") : app;
        MRecordBase db(folder);
        ASSERT_EQ(db.Open(MRecordBase::DefaultPath(folder)), 0);
        for (const char *name : {"甲", second}) {
            TRecordData r;
            r.name = QString::fromUtf8(name);
            r.className = QStringLiteral("私人别墅");
            r.buildYear = 2004;
            r.mountain = 5;
            r.date = {1980, 5, 6, 7, 8};
            ASSERT_TRUE(db.SaveCase(-1, r, {"{\\rtf1 " + QByteArray(name) + "}", {}})) << db.Message().toStdString();
        }
    }

    // The program folder emptied, then cases 1 甲 and 2 乙.
    void FreshCases()
    {
        QDir(path("dat")).removeRecursively();
        QDir(path("Quorin_f")).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(path("dat")));
        MakeCases();
    }

    // The main window shown; with `checked`, once the check of the case file has given its verdict.
    std::unique_ptr<TFrmMain> start(bool checked = false)
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        if (checked)
            waitForCheck();
        return w;
    }

    void waitForCheck()
    {
        QTest::qWaitFor([] { return !CaseDb()->QuickCheckRunning(); }, 10000);
        QTest::qWait(250); // the window takes the verdict
    }

    QString lastSaid() const { return hooked.asked().isEmpty() ? QString() : hooked.asked().last().text; }
    qsizetype retryQuestions() const
    {
        return std::count_if(hooked.asked().begin(), hooked.asked().end(),
                             [](const auto &q) { return q.buttons == Prompts::Buttons::RetryCancel; });
    }
};

// The check of the case file reads the whole file beside the start (held back here). The window shows at once,
// even over a save that was stopped half-way, whose journal is settled only once the file is known sound. Saving a
// new case or the open one while the check runs waits in a box that says so, the window handling events, and then
// saves: nothing fails for the check.
TEST_F(CaseFileWindowTest, TheWindowShowsWhileTheCheckRunsAndEverySaveWaitsForIt)
{
    for (const bool update : {false, true}) { // 存旧 of case 1, else 存新
        SCOPED_TRACE(update ? "存旧" : "存新");
        FreshCases();
        // A save stopped after its files were written: the files of the side no row names go at the next start.
        writeFile("Quorin_f/丙_198005060708.rtf", "{\\rtf1 stopped}");
        writeFile("dat/Quorin.db.casesave", R"({"new":"丙_198005060708","old":"","oldFiles":[]})");

        g_gateClosed = true;
        auto w = start();
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(CaseDb()->QuickCheckRunning());
        EXPECT_TRUE(QFile::exists(path("Quorin_f/丙_198005060708.rtf"))) << "settled before the check's verdict";

        if (update) {
            ASSERT_TRUE(w->OpenCase(1));
            find<QTextEdit>(w.get(), "RedtPingYu")->setPlainText(QStringLiteral("改过的评语"));
            hooked.reply(Answer::Yes).reply(Answer::Ok); // 要修改…吗？  已保存编辑后的案例。
        } else {
            EnterHouse(*w, "0:00", "2004", QStringLiteral("丁"), "1980");
            w->BtnPaiClick();
            ASSERT_TRUE(w->ChartValid());
        }
        QString waitText;
        std::vector<OnModals::Step> steps{{"CaseFileCheckWait", [&](QWidget *box) {
                                               waitText = box->findChild<QLabel *>()->text();
                                               // For people to look at: the box as the user sees it.
                                               box->grab().save(QStringLiteral(QUORIN_TEST_OUTPUT "/casefile_check_wait.png"));
                                               g_gateClosed = false;
                                           }}};
        if (!update)
            steps.push_back({"TFrmFenLei", [](QWidget *dlg) {
                                 find<QComboBox>(dlg, "CboFenLei")->setEditText(QStringLiteral("小区套房"));
                                 QTest::mouseClick(find<QPushButton>(dlg, "Btnok"), Qt::LeftButton);
                             }});
        OnModals modals(steps);
        EXPECT_TRUE(w->SaveCaseClick()) << lastSaid().toStdString();
        EXPECT_TRUE(modals.allRan());
        EXPECT_TRUE(waitText.startsWith(QStringLiteral("正在检查案例数据库文件"))) << waitText.toStdString();
        waitForCheck();
        EXPECT_FALSE(QFile::exists(path("dat/Quorin.db.casesave")));
        EXPECT_FALSE(QFile::exists(path("Quorin_f/丙_198005060708.rtf")));
        EXPECT_TRUE(CloseAnswering(*w, hooked, {Answer::Yes}));
    }
}

// Another program holds the case file. At the start, on opening a case and on saving, the window names the file,
// says it is in use by another program and offers 重试/取消; once the other program lets go, 重试 does what was
// asked. A start left without the file (取消) offers no save into it.
TEST_F(CaseFileWindowTest, AFileHeldByAnotherProgramIsNamedAndTriedAgain)
{
    const char *const kWriteLock = "begin immediate; update case_extra set verCode=verCode;";
    const struct {
        const char *what;
        bool atStart;  // held before the window starts, else once it has started with case 1 open
        const char *how;
        std::vector<Answer> replies; // the 重试/取消 question's answer among the others
        std::function<bool(CaseFileWindowTest &, TFrmMain &)> act;
    } rows[] = {
        {"the start, 重试", true, kWriteLock, {Answer::Retry},
         [](CaseFileWindowTest &, TFrmMain &) { return CaseDb()->IsOpen(); }},
        {"the start, 取消, then 存新", true, kWriteLock, {Answer::Cancel, Answer::Ok},
         [](CaseFileWindowTest &t, TFrmMain &w) {
             EnterHouse(w, "0:00", "2004", QStringLiteral("丁"), "1980");
             w.BtnPaiClick();
             bool asked = false; // the category is never asked for
             OnModals modals({{"TFrmFenLei", [&](QWidget *dlg) { asked = true; static_cast<QDialog *>(dlg)->reject(); }}});
             const bool refused = !w.SaveCaseClick() && !asked;
             EXPECT_TRUE(t.lastSaid().startsWith(QStringLiteral("无法保存案例！\n案例数据库没有打开：\n") + t.dbPath()))
                 << t.lastSaid().toStdString();
             return refused && !CaseDb()->IsOpen();
         }},
        {"opening a case under an exclusive lock, 重试", false,
         "begin exclusive; update case_extra set verCode=verCode;", {Answer::Retry},
         [](CaseFileWindowTest &, TFrmMain &w) { return w.OpenCase(2) && w.OpenCaseId() == 2; }},
        {"存旧 under a read transaction, 重试", false, "begin; select count(*) from case_data;",
         {Answer::Yes, Answer::Retry, Answer::Ok}, // 要修改…吗？ 重试 已保存编辑后的案例。
         [](CaseFileWindowTest &t, TFrmMain &w) {
             find<QTextEdit>(&w, "RedtPingYu")->setPlainText(QStringLiteral("改过的评语"));
             return w.SaveCaseClick() && t.lastSaid() == QStringLiteral("已保存编辑后的案例。");
         }},
    };
    MakeCases();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const qsizetype base = hooked.asked().size();
        const qsizetype retriesBefore = retryQuestions();
        ASSERT_TRUE(!row.atStart || hooked.other.hold(dbPath(), row.how));
        for (Answer a : row.replies)
            hooked.reply(a);
        auto w = start(true);
        if (!row.atStart) {
            ASSERT_TRUE(w->OpenCase(1));
            ASSERT_TRUE(hooked.other.hold(dbPath(), row.how));
        }
        EXPECT_TRUE(row.act(*this, *w));
        ASSERT_EQ(retryQuestions(), retriesBefore + 1);
        for (qsizetype i = base; i < hooked.asked().size(); ++i) {
            const auto &q = hooked.asked()[i];
            EXPECT_TRUE(q.buttons != Prompts::Buttons::RetryCancel || q.text.contains(BusyCaseFileText(dbPath())))
                << q.text.toStdString();
            EXPECT_FALSE(q.text.contains("not an error"));
        }
        hooked.other.release();
        EXPECT_EQ(hooked.pendingReplies(), 0);
        EXPECT_TRUE(CloseAnswering(*w, hooked, {Answer::Yes}));
    }
}

// The window has case 2 open when another program puts its copy of the case file in place, in which case 2 is
// another case: 存旧 is refused with what happened, and the file put in place and the other case's comment file
// stay as they were.
TEST_F(CaseFileWindowTest, ASaveIntoAReplacedCaseFileIsRefused)
{
    const QString elsewhere = path("elsewhere/");
    MakeCases("丙", elsewhere); // the other program's copy: case 2 is 丙
    for (const bool rename : {true, false}) { // renamed over the case file, else copied over it in place
        SCOPED_TRACE(rename ? "renamed over it" : "copied over it");
        FreshCases();
        auto w = start(true);
        ASSERT_TRUE(w->OpenCase(2));
        find<QTextEdit>(w.get(), "RedtPingYu")->setPlainText(QStringLiteral("乙的新评语"));

        const QByteArray copy = readFile("elsewhere/dat/Quorin.db");
        ASSERT_TRUE(QFile::copy(elsewhere + "Quorin_f/丙_198005060708.rtf", path("Quorin_f/丙_198005060708.rtf")));
        if (rename) {
            writeFile("dat/copy.db", copy);
            ASSERT_EQ(::rename(QFile::encodeName(path("dat/copy.db")), QFile::encodeName(dbPath())), 0);
        } else {
            writeFile("dat/Quorin.db", copy);
        }
        hooked.reply(Answer::Yes).reply(Answer::Ok);
        EXPECT_FALSE(w->SaveCaseClick());
        EXPECT_TRUE(lastSaid().startsWith(QStringLiteral("无法修改案例！\n案例文件已被其他程序替换：\n") + dbPath()))
            << lastSaid().toStdString();
        EXPECT_TRUE(readFile("dat/Quorin.db") == copy);
        EXPECT_EQ(readFile("Quorin_f/丙_198005060708.rtf"), QByteArray("{\\rtf1 丙}"));
        EXPECT_TRUE(CloseAnswering(*w, hooked, {Answer::Yes}));
        EXPECT_EQ(hooked.pendingReplies(), 0);
    }
}

// A named pipe where SQLite would find the case file's journal, or where a swap leaves its marker: the window shows
// at once and says which file is in the way; the pipe stays. (Should anything wait on the pipe, a watchdog opens
// it from the other end after five seconds, so the test fails instead of hanging.)
TEST_F(CaseFileWindowTest, ANamedPipeBesideTheCaseFileIsNamedAndTheWindowShows)
{
    MakeCases();
    for (const char *beside : {"-journal", ".swap"}) {
        SCOPED_TRACE(beside);
        const QString pipe = dbPath() + beside;
        ASSERT_TRUE(MakePipe(pipe));
        std::jthread watchdog([&](std::stop_token done) {
            for (int i = 0; i < 250 && !done.stop_requested(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (!done.stop_requested())
                ::close(::open(QFile::encodeName(pipe).constData(), O_RDWR | O_NONBLOCK));
        });
        hooked.reply(Answer::Ok);
        QElapsedTimer shown;
        shown.start();
        auto w = start();
        const qint64 took = shown.elapsed();
        watchdog.request_stop();
        EXPECT_LT(took, 4000) << "the start waited on the pipe";
        EXPECT_TRUE(lastSaid().startsWith(QStringLiteral("无法打开案例数据库：\n") + dbPath())) << lastSaid().toStdString();
        EXPECT_TRUE(lastSaid().contains(pipe));
        EXPECT_FALSE(CaseDb()->IsOpen());
        EXPECT_TRUE(IsPipe(pipe));
        EXPECT_TRUE(CloseAnswering(*w, hooked, {Answer::Yes}));
        QFile::remove(pipe);
    }
}

} // namespace
