// A start after a program was killed: what the killed one left half-done (the file writer's temporaries, the
// floor plan's undo steps) is cleared, and only that; a user's file that merely looks alike stays.
#include "GuiTestSupport.h"

#include "TFrmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using Answer = Prompts::Answer;

namespace {

using StoppedSessionTest = ProgramFolderTest;

// A process that lives until it is killed: a running program's number.
struct LiveProcess {
    pid_t pid = ::fork();
    LiveProcess()
    {
        if (pid == 0)
            for (;;)
                ::pause();
    }
    ~LiveProcess()
    {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};

TEST_F(StoppedSessionTest, TheNextStartClearsExactlyWhatTheKilledProgramLeft)
{
    const struct {
        const char *file;
        bool goes;
    } files[] = {
        // The writer's temporaries: the name of a file of that folder's kind, "." and six letters.
        {"dat/set.ini.AbCdEf", true},
        {"dat/qrinit.ini.zzzzzz", true},
        {"dat/Quorin.db.casesave.QwErTy", true},
        {"Quorin_f/张三_198005060708.rtf.QwErTy", true},
        {"Quorin_f/张三_198005060708.bmp.ABCDEF", true},
        {"compass/新罗盘.jpg.abcXYZ", true},
        // Alike, but not the writer's.
        {"dat/set.ini", false},
        {"dat/set.ini.bak", false},
        {"dat/set.ini.abc123", false},
        {"dat/set.ini.abcdefg", false},
        {"dat/.ini.abcdef", false},
        {"dat/notes.txt.abcdef", false},
        {"dat/Quorin.db.abcdef", false},
        {"Quorin_f/张三_198005060708.rtf", false},
        {"Quorin_f/张三.rtf.abcde", false},
        {"Quorin_f/张三.RTF.abcdef", false},
        {"Quorin_f/旧/张三.rtf.abcdef", false},
        {"compass/罗盘.jpeg.abcdef", false},
        {"set.ini.abcdef", false},
    };
    ASSERT_TRUE(QDir().mkpath(path("Quorin_f/旧")));
    ASSERT_TRUE(QDir().mkpath(path("compass")));
    for (const auto &f : files)
        writeFile(QString::fromUtf8(f.file), "x");
    ASSERT_TRUE(QDir().mkpath(path("dat/qrinit.ini.folder")));
    ASSERT_TRUE(QFile::link(path("dat/set.ini"), path("dat/set.ini.Linked")));

    // Undo-step folders: the owner gone, the owner's number taken by a process that started later (the folder
    // is from before it; this very program too), a running program's, and a folder that is no step folder.
    const LiveProcess running;
    ASSERT_GT(running.pid, 0);
    const struct {
        QString folder;
        bool goes;
        bool fromLongAgo = false;
    } steps[] = {
        {"picTemp/plan-999999999-Gone12", true},
        {"picTemp/plan-1-OldBoot", true, true},
        {QStringLiteral("picTemp/plan-%1-OldOwn").arg(::getpid()), true, true},
        {QStringLiteral("picTemp/plan-%1-Alive1").arg(running.pid), false},
        {"picTemp/notes", false},
    };
    for (const auto &s : steps) {
        ASSERT_TRUE(QDir().mkpath(path(s.folder)));
        writeFile(s.folder + "/img0.bmp", "BM");
        if (s.fromLongAgo) {
            const timeval year2000[2] = {{946684800, 0}, {946684800, 0}};
            ASSERT_EQ(::utimes(QFile::encodeName(path(s.folder)).constData(), year2000), 0);
        }
    }

    auto w = std::make_unique<TFrmMain>();
    w->show();
    for (const auto &f : files)
        EXPECT_NE(QFileInfo::exists(path(QString::fromUtf8(f.file))), f.goes) << f.file;
    EXPECT_TRUE(QFileInfo(path("dat/qrinit.ini.folder")).isDir());
    EXPECT_TRUE(QFileInfo(path("dat/set.ini.Linked")).isSymLink());
    for (const auto &s : steps)
        EXPECT_NE(QFileInfo::exists(path(s.folder)), s.goes) << s.folder.toStdString();
    CloseAnswering(*w, prompts, {Answer::Yes});
}

} // namespace
