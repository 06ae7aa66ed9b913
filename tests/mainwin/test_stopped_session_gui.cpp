// A start after a program was killed: what the killed one left half-done (the program's temporaries, the floor
// plan's undo steps) is cleared, and only that; a user's file that merely looks alike stays, and nothing is
// removed through a link.
#include "GuiTestSupport.h"

#include "TFrmMain.h"
#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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
        // The program's temporaries, known by their mark whatever their random part holds.
        {"dat/.~quorin-tmp-Qk3ZrW8x1Y2z", true},
        {"dat/.~quorin-tmp-AbC123dEf456-journal", true},
        {"Quorin_f/.~quorin-tmp-Hd8sPa000000", true},
        {"compass/.~quorin-tmp-Tz0mYc9Q9Q9Q", true},
        // The user's own files: copies made by hand, and names like the temporaries of earlier versions, which
        // no one can tell from them.
        {"dat/set.ini.backup", false},
        {"dat/qrinit.ini.backup", false},
        {"dat/mine.ini.before", false},
        {"Quorin_f/张三_198005060708.rtf.backup", false},
        {"Quorin_f/张三_198005060708.bmp.origin", false},
        {"compass/house.jpg.backup", false},
        {"dat/set.ini.Qk3ZrW", false},
        {"Quorin_f/张三_198005060708_0.rtf.Hd8sPa", false},
        {"Quorin_f/张三_198005060708.bmp.Tz0mYc", false},
        {"Quorin_f/赵伟0.rtf.part", false},
        {"dat/set.ini.AbCdEf", false},
        {"dat/qrinit.ini.zzzzzz", false},
        {"dat/Quorin.db.casesave.QwErTy", false},
        {"Quorin_f/张三_198005060708.rtf.QwErTy", false},
        {"Quorin_f/张三_198005060708.bmp.ABCDEF", false},
        {"compass/新罗盘.jpg.abcXYZ", false},
        {"dat/set.ini", false},
        {"dat/set.ini.bak", false},
        {"dat/set.ini.abc123", false},
        {"dat/set.ini.abcdefg", false},
        {"dat/.ini.abcdef", false},
        {"dat/notes.txt.abcdef", false},
        {"dat/Quorin.db.abcdef", false},
        {"dat/~quorin-tmp-Abcdef123456", false},
        {"Quorin_f/张三_198005060708.rtf", false},
        {"Quorin_f/张三.rtf.abcde", false},
        {"Quorin_f/张三.RTF.abcdef", false},
        {"Quorin_f/旧/张三.rtf.abcdef", false},
        {"Quorin_f/旧/.~quorin-tmp-Abcdef123456", false},
        {"compass/罗盘.jpeg.abcdef", false},
        {"set.ini.abcdef", false},
    };
    ASSERT_TRUE(QDir().mkpath(path("Quorin_f/旧")));
    ASSERT_TRUE(QDir().mkpath(path("compass")));
    for (const auto &f : files)
        writeFile(QString::fromUtf8(f.file), "x");
    ASSERT_TRUE(QDir().mkpath(path("dat/qrinit.ini.folder")));
    ASSERT_TRUE(QFile::link(path("dat/set.ini"), path("dat/set.ini.Linked")));
    // What a writer killed after making its temporary leaves, and a link with the mark, which goes as a link.
    QStringList killed;
    for (const char *target : {"dat/qrinit.ini", "Quorin_f/张三_198005060708.rtf", "compass/罗盘.jpg"}) {
        QString temp;
        const int fd = CreateTemporaryBeside(path(QString::fromUtf8(target)), temp);
        ASSERT_GE(fd, 0);
        ::close(fd);
        killed << temp;
    }
    const QTemporaryDir outside;
    QFile kept(outside.filePath("kept.txt"));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly) && kept.write("outside") == 7);
    kept.close();
    killed << path("dat/.~quorin-tmp-LinkLinkLink");
    ASSERT_TRUE(QFile::link(kept.fileName(), killed.last()));
    // A link named like the step folder of a program that is gone, to a folder outside: it is no step folder.
    ASSERT_TRUE(QDir().mkpath(outside.filePath("photos/2020")));
    QFile photo(outside.filePath("photos/2020/a.jpg"));
    ASSERT_TRUE(photo.open(QIODevice::WriteOnly) && photo.write("jpg") == 3);
    photo.close();
    ASSERT_TRUE(QDir().mkpath(path("picTemp")));
    ASSERT_TRUE(QFile::link(outside.filePath("photos"), path("picTemp/plan-999999998-Abcdef")));

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
    for (const QString &temp : killed)
        EXPECT_FALSE(QFileInfo::exists(temp) || QFileInfo(temp).isSymLink()) << temp.toStdString();
    EXPECT_TRUE(QFile::exists(kept.fileName()));
    EXPECT_TRUE(QFileInfo(path("picTemp/plan-999999998-Abcdef")).isSymLink());
    EXPECT_TRUE(QFile::exists(outside.filePath("photos/2020/a.jpg")));
    for (const auto &s : steps)
        EXPECT_NE(QFileInfo::exists(path(s.folder)), s.goes) << s.folder.toStdString();
    CloseAnswering(*w, prompts, {Answer::Yes});
}

} // namespace
