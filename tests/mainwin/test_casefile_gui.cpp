// The main window and its case file in other programs' hands, driven as the user does: the check that reads the
// whole file beside the start (held back by a gate between SQLite and the disk), another program holding the
// file, and a file put in the place of the one the window opened.
#include "GuiTestSupport.h"

#include "CaseFileHealth.h"
#include "CaseFiles.h"
#include "MRecordBase.h"
#include "TFrmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <sqlite3.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Answer = Prompts::Answer;

namespace {

// A gate between SQLite and the disk: while closed, every read of a case file opened for reading only (the check's
// connection) waits. The window's own connections read and write.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool closed = false;

    void close()
    {
        std::lock_guard lock(mutex);
        closed = true;
    }
    void open()
    {
        {
            std::lock_guard lock(mutex);
            closed = false;
        }
        opened.notify_all();
    }
    void pass()
    {
        std::unique_lock lock(mutex);
        opened.wait(lock, [this] { return !closed; });
    }
} g_gate;

sqlite3_vfs *g_realVfs = nullptr;
sqlite3_vfs g_gateVfs;

struct GateFile {
    sqlite3_file base;
    bool gated;
    sqlite3_file *real;
};

sqlite3_file *Real(sqlite3_file *f) { return reinterpret_cast<GateFile *>(f)->real; }

const sqlite3_io_methods kGateIo = {
    1,
    [](sqlite3_file *f) { return Real(f)->pMethods->xClose(Real(f)); },
    [](sqlite3_file *f, void *b, int n, sqlite3_int64 o) {
        if (reinterpret_cast<GateFile *>(f)->gated)
            g_gate.pass();
        return Real(f)->pMethods->xRead(Real(f), b, n, o);
    },
    [](sqlite3_file *f, const void *b, int n, sqlite3_int64 o) { return Real(f)->pMethods->xWrite(Real(f), b, n, o); },
    [](sqlite3_file *f, sqlite3_int64 size) { return Real(f)->pMethods->xTruncate(Real(f), size); },
    [](sqlite3_file *f, int flags) { return Real(f)->pMethods->xSync(Real(f), flags); },
    [](sqlite3_file *f, sqlite3_int64 *size) { return Real(f)->pMethods->xFileSize(Real(f), size); },
    [](sqlite3_file *f, int lock) { return Real(f)->pMethods->xLock(Real(f), lock); },
    [](sqlite3_file *f, int lock) { return Real(f)->pMethods->xUnlock(Real(f), lock); },
    [](sqlite3_file *f, int *out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); },
    [](sqlite3_file *f, int op, void *arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); },
    [](sqlite3_file *f) { return Real(f)->pMethods->xSectorSize(Real(f)); },
    [](sqlite3_file *f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); },
};

void InstallGate()
{
    if (g_realVfs)
        return;
    g_realVfs = sqlite3_vfs_find(nullptr);
    g_gateVfs = *g_realVfs;
    g_gateVfs.zName = "gate";
    g_gateVfs.szOsFile = int(sizeof(GateFile)) + g_realVfs->szOsFile;
    g_gateVfs.xOpen = [](sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags) {
        auto *g = reinterpret_cast<GateFile *>(f);
        g->real = reinterpret_cast<sqlite3_file *>(g + 1);
        g->gated = (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READONLY);
        const int rc = g_realVfs->xOpen(g_realVfs, name, g->real, flags, outFlags);
        g->base.pMethods = g->real->pMethods ? &kGateIo : nullptr;
        return rc;
    };
    sqlite3_vfs_register(&g_gateVfs, 1);
}

// Scripted prompts that first let the test act on the question asked (another program lets go of the file).
class HookedPrompts : public ScriptedPrompts {
public:
    std::function<void(const QString &text, Buttons buttons)> before;
    Answer message(const QString &title, const QString &text, Icon icon, Buttons buttons,
                   std::optional<Answer> defaultAnswer) override
    {
        if (before)
            before(text, buttons);
        return ScriptedPrompts::message(title, text, icon, buttons, defaultAnswer);
    }
};

// A second connection holding the case file until it lets go.
class Holder {
public:
    void hold(const QString &path, const char *how)
    {
        release();
        sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, "unix");
        ASSERT_EQ(sqlite3_exec(db_, how, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void release()
    {
        if (db_) {
            sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
            sqlite3_close(db_);
        }
        db_ = nullptr;
    }
    ~Holder() { release(); }

private:
    sqlite3 *db_ = nullptr;
};

// Acts on each modal window as it comes up, in turn (found by object name), while the window under test waits in
// its own event loop: that the steps run at all shows that the window keeps handling events.
class OnModals {
public:
    using Step = std::pair<QString, std::function<void(QWidget *)>>;
    explicit OnModals(std::vector<Step> steps) : steps_(std::move(steps))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (next_ < steps_.size() && modal && modal->objectName() == steps_[next_].first)
                steps_[next_++].second(modal);
        });
        poll_.start(20);
    }
    bool allRan() const { return next_ == steps_.size(); }

private:
    std::vector<Step> steps_;
    size_t next_ = 0;
    QTimer poll_;
};

class CaseFileWindowTest : public ProgramFolderTest {
public:
    HookedPrompts hooked; // installed over the fixture's prompts
    Holder other;

    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        InstallGate();
    }
    void TearDown() override
    {
        g_gate.open();
        other.release();
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

    std::unique_ptr<TFrmMain> start()
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        return w;
    }

    void waitForCheck()
    {
        QElapsedTimer t;
        t.start();
        while (CaseDb()->QuickCheckRunning() && t.elapsed() < 10000)
            QTest::qWait(20);
        QTest::qWait(250); // the window takes the verdict
    }

    QString lastSaid() const { return hooked.asked().isEmpty() ? QString() : hooked.asked().last().text; }
    int retryQuestions() const
    {
        int n = 0;
        for (const auto &q : hooked.asked())
            n += q.buttons == Prompts::Buttons::RetryCancel;
        return n;
    }
};

// The check of the case file reads the whole file beside the start (held back here). The window shows at once,
// even over a save that was stopped half-way, whose journal is settled only once the file is known sound. Saving a
// new case or the open one while the check runs waits in a box that says so, the window handling events, and then
// saves: nothing fails for the check.
TEST_F(CaseFileWindowTest, TheWindowShowsWhileTheCheckRunsAndEverySaveWaitsForIt)
{
    const struct {
        const char *what;
        bool update; // 存旧 of case 1, else 存新
    } rows[] = {{"存新", false}, {"存旧", true}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QDir(path("dat")).removeRecursively();
        QDir(path("Quorin_f")).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(path("dat")));
        MakeCases();
        // A save stopped after its files were written: the files of the side no row names go at the next start.
        writeFile("Quorin_f/丙_198005060708.rtf", "{\\rtf1 stopped}");
        writeFile("dat/Quorin.db.casesave", R"({"new":"丙_198005060708","old":"","oldFiles":[]})");

        g_gate.close();
        auto w = start();
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(CaseDb()->QuickCheckRunning());
        EXPECT_TRUE(QFile::exists(path("Quorin_f/丙_198005060708.rtf"))) << "settled before the check's verdict";

        if (row.update) {
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
                                               g_gate.open();
                                           }}};
        if (!row.update)
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
    // The other program lets go while the question is on screen.
    hooked.before = [this](const QString &, Prompts::Buttons buttons) {
        if (buttons == Prompts::Buttons::RetryCancel)
            other.release();
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const qsizetype base = hooked.asked().size();
        const int retriesBefore = retryQuestions();
        if (row.atStart)
            other.hold(dbPath(), row.how);
        for (Answer a : row.replies)
            hooked.reply(a);
        auto w = start();
        waitForCheck();
        if (!row.atStart) {
            ASSERT_TRUE(w->OpenCase(1));
            other.hold(dbPath(), row.how);
        }
        EXPECT_TRUE(row.act(*this, *w));
        ASSERT_EQ(retryQuestions(), retriesBefore + 1);
        for (qsizetype i = base; i < hooked.asked().size(); ++i) {
            const auto &q = hooked.asked()[i];
            if (q.buttons == Prompts::Buttons::RetryCancel)
                EXPECT_TRUE(q.text.contains(BusyCaseFileText(dbPath()))) << q.text.toStdString();
            EXPECT_FALSE(q.text.contains("not an error"));
        }
        other.release();
        EXPECT_EQ(hooked.pendingReplies(), 0);
        EXPECT_TRUE(CloseAnswering(*w, hooked, {Answer::Yes}));
    }
}

// The window has case 2 open when another program puts its copy of the case file in place, in which case 2 is
// another case: 存旧 is refused with what happened, and the file put in place and the other case's comment file
// stay as they were.
TEST_F(CaseFileWindowTest, ASaveIntoAReplacedCaseFileIsRefused)
{
    const struct {
        const char *what;
        bool rename; // renamed over the case file, else copied over it in place
    } rows[] = {{"renamed over it", true}, {"copied over it", false}};
    const QString elsewhere = path("elsewhere/");
    MakeCases("丙", elsewhere); // the other program's copy: case 2 is 丙
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QDir(path("dat")).removeRecursively();
        QDir(path("Quorin_f")).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(path("dat")));
        MakeCases();
        auto w = start();
        waitForCheck();
        ASSERT_TRUE(w->OpenCase(2));
        find<QTextEdit>(w.get(), "RedtPingYu")->setPlainText(QStringLiteral("乙的新评语"));

        const QByteArray copy = readFile("elsewhere/dat/Quorin.db");
        ASSERT_TRUE(QFile::copy(elsewhere + "Quorin_f/丙_198005060708.rtf", path("Quorin_f/丙_198005060708.rtf")));
        if (row.rename) {
            writeFile("dat/copy.db", copy);
            ASSERT_TRUE(QFile::remove(dbPath()));
            ASSERT_TRUE(QFile::rename(path("dat/copy.db"), dbPath()));
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
        ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        std::atomic_bool done{false};
        std::thread watchdog([&] {
            for (int i = 0; i < 250 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (!done)
                ::close(::open(QFile::encodeName(pipe).constData(), O_RDWR | O_NONBLOCK));
        });
        hooked.reply(Answer::Ok);
        QElapsedTimer shown;
        shown.start();
        auto w = start();
        const qint64 took = shown.elapsed();
        done = true;
        watchdog.join();
        EXPECT_LT(took, 4000) << "the start waited on the pipe";
        EXPECT_TRUE(lastSaid().startsWith(QStringLiteral("无法打开案例数据库：\n") + dbPath())) << lastSaid().toStdString();
        EXPECT_TRUE(lastSaid().contains(pipe));
        EXPECT_FALSE(CaseDb()->IsOpen());
        struct stat st {};
        EXPECT_TRUE(::stat(QFile::encodeName(pipe).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        EXPECT_TRUE(CloseAnswering(*w, hooked, {Answer::Yes}));
        QFile::remove(pipe);
    }
}

} // namespace
