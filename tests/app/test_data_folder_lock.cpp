// One program per data folder: the lock a program takes on its data folder, held by other processes in every
// state, and the real program started on a folder that another program holds.
#include "ChildProcess.h"
#include "DataFolderLock.h"
#include "SmallDisk.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <list>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Result = DataFolderLock::Result;
using Found = DataFolderLock::Found;

const QString kInUse = QStringLiteral("只能由一个程序使用");
// The text a program on another computer leaves in its lock file.
const QByteArray kOtherComputersLock = "4242\nQuorin\nother-pc\n0123456789abcdef0123456789abcdef\n2026-05-01T08:30:00Z\n";

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(content), content.size());
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void Chmod(const QString &path, mode_t mode) { ::chmod(QFile::encodeName(path).constData(), mode); }

// The process id on the first line of the folder's lock file.
QByteArray HolderIdIn(const QString &folder)
{
    return ReadFile(DataFolderLock::LockFilePath(folder)).split('\n').value(0);
}

// Whether a running process holds the lock at path: the system's lock on it cannot be had.
bool LockIsHeld(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

// A process that takes the folder's lock and keeps it until it is killed; its id once it holds the lock.
pid_t StartHolder(const QString &folder)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        DataFolderLock lock;
        const char c = lock.Acquire(folder) == Result::Held ? 'h' : 'x';
        if (write(ready[1], &c, 1) != 1 || c != 'h')
            _exit(1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char c = 0;
    const bool held = read(ready[0], &c, 1) == 1 && c == 'h';
    close(ready[0]);
    return held ? pid : -1;
}

void Kill(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Every file under folder with its content.
std::map<QString, QByteArray> Snapshot(const QString &folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = ReadFile(path);
    }
    return files;
}

// A second holder is refused while the first runs and told who that is, also when the first is a program of
// another computer on a shared folder (which holds the system's lock all the same) or could write nothing; a
// killed one gives way, also one whose text a crash on a full disk left as zero bytes and blanks, and the start
// is told of that. The lock lives in dat/ beside the case file and goes with its holder; the file made or taken
// is readable to all whatever the user's umask, so that other users of the folder can be told who holds it.
TEST(DataFolderLock, ASecondHolderIsRefusedNamingTheFirstAndAKilledOneGivesWay)
{
    EXPECT_EQ(DataFolderLock::LockFilePath("/data/"), "/data/dat/Quorin.lock");
    const mode_t umaskBefore = ::umask(077);
    const auto restoreUmask = qScopeGuard([&] { ::umask(umaskBefore); });
    enum Hold { Nobody, Killed, KilledWithoutText, Running, RunningAnHour, InProcess, OtherComputer, NoText };
    const qint64 itsOwn = -1; // the holder's id: the process started, or this one
    const struct {
        const char *holder;
        Hold hold;
        Result expected;
        QString host; // the holder as the refusal names it
        qint64 pid;
    } rows[] = {
        {"nobody", Nobody, Result::Held, {}, 0},
        {"a process killed while it held the lock", Killed, Result::Held, {}, 0},
        {"a process killed with zero bytes and blanks for its text", KilledWithoutText, Result::Held, {}, 0},
        {"another running process", Running, Result::InUse, DataFolderLock::HostName(), itsOwn},
        {"another process, running for an hour", RunningAnHour, Result::InUse, DataFolderLock::HostName(), itsOwn},
        {"another lock of this process", InProcess, Result::InUse, DataFolderLock::HostName(), itsOwn},
        {"a program of another computer", OtherComputer, Result::InUse, "other-pc", 4242},
        {"a holder whose text could not be written (a full disk)", NoText, Result::InUse, {}, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.holder);
        QTemporaryDir dir;
        const QString folder = dir.path() + "/data/", lockFile = DataFolderLock::LockFilePath(folder);
        DataFolderLock inProcess;
        pid_t holder = 0;
        const auto killHolder = qScopeGuard([&] {
            if (holder > 0)
                Kill(holder);
        });
        if (row.hold == InProcess) {
            ASSERT_EQ(inProcess.Acquire(folder), Result::Held);
        } else if (row.hold != Nobody) {
            holder = StartHolder(folder);
            ASSERT_GT(holder, 0);
        }
        if (row.hold == Killed || row.hold == KilledWithoutText) {
            Kill(holder);
            holder = 0;
        }
        if (row.hold == KilledWithoutText) {
            WriteFile(lockFile, QByteArray("\0\0\0\0\n \t\0", 8));
            Chmod(lockFile, 0600);
        }
        if (row.hold == RunningAnHour) {
            QFile lock(lockFile);
            ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
            lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
        }
        if (row.hold == OtherComputer || row.hold == NoText) // rewritten while its holder runs
            WriteFile(lockFile, row.hold == NoText ? "" : kOtherComputersLock);
        const qint64 pid = row.pid == itsOwn ? (holder > 0 ? holder : getpid()) : row.pid;
        {
            DataFolderLock lock;
            ASSERT_EQ(lock.Acquire(folder), row.expected);
            if (row.expected == Result::Held) {
                EXPECT_TRUE(LockIsHeld(lockFile));
                const QList<QByteArray> lines = ReadFile(lockFile).split('\n');
                EXPECT_EQ(lines.value(0), QByteArray::number(getpid()));
                EXPECT_EQ(QString::fromUtf8(lines.value(2)), DataFolderLock::HostName());
                EXPECT_EQ(lock.tookOverEmptyLock(), row.hold == KilledWithoutText);
                struct stat st {};
                ASSERT_EQ(::stat(QFile::encodeName(lockFile).constData(), &st), 0);
                EXPECT_EQ(st.st_mode & 0777, mode_t(0644));
            } else {
                EXPECT_EQ(lock.holder().host, row.host);
                EXPECT_EQ(lock.holder().pid, pid);
                EXPECT_EQ(lock.holder().since.isValid(), pid != 0);
                const QString named = QStringLiteral("/home/用户/风水/");
                const QString text = DataFolderLock::InUseText(named, lock.holder());
                EXPECT_TRUE(text.contains(kInUse) && text.contains(named)) << text.toStdString();
                if (pid != 0) {
                    EXPECT_TRUE(text.contains(row.host) && text.contains(QString::number(pid))) << text.toStdString();
                }
            }
        }
        EXPECT_EQ(QFile::exists(lockFile), row.expected == Result::InUse) << "a program that ends lets the folder go";
    }
}

// What a start finds at the lock's name and cannot check (no program of this computer holds it, and none of
// this computer wrote it) is asked about; once the user agrees, the folder is taken over. A link is replaced
// as a link, its target untouched; a folder is kept under another name; a pipe is never waited on.
TEST(DataFolderLock, ALockThisComputerCannotCheckIsTakenOverOnceTheUserAgrees)
{
    enum Made { File, Folder, DanglingLink, LinkOutside, Pipe };
    const struct {
        const char *found;
        Made made;
        QByteArray content; // of a file
        Found kind;
    } rows[] = {
        {"a lock written on another computer", File, kOtherComputersLock, Found::OtherHost},
        {"a file of garbage", File, QByteArray("\x00\xff\xfe garbage\n\n\n", 13), Found::NotUnderstood},
        {"a lock of another program", File, "4242\nOther\nother-pc\n", Found::NotUnderstood},
        {"a folder with a file in it", Folder, {}, Found::NotAFile},
        {"a dangling link", DanglingLink, {}, Found::NotAFile},
        {"a link to a file outside", LinkOutside, {}, Found::NotAFile},
        {"a pipe", Pipe, {}, Found::NotAFile},
    };
    alarm(60); // a pipe waited on after all ends the test program instead of hanging it
    for (const auto &row : rows) {
        SCOPED_TRACE(row.found);
        QTemporaryDir dir;
        const QString folder = dir.path() + "/", lockFile = DataFolderLock::LockFilePath(folder);
        const QString outside = dir.path() + "/outside.txt";
        WriteFile(outside, "the user's own file");
        ASSERT_TRUE(QDir().mkpath(folder + "dat"));
        switch (row.made) {
        case File: WriteFile(lockFile, row.content); break;
        case Folder: ASSERT_TRUE(QDir().mkpath(lockFile)); WriteFile(lockFile + "/kept.txt", "kept"); break;
        case DanglingLink: ASSERT_TRUE(QFile::link("/nonexistent/lock", lockFile)); break;
        case LinkOutside: ASSERT_TRUE(QFile::link(outside, lockFile)); break;
        case Pipe: ASSERT_EQ(mkfifo(QFile::encodeName(lockFile).constData(), 0644), 0); break;
        }

        DataFolderLock lock;
        ASSERT_EQ(lock.Acquire(folder), Result::Unverified);
        EXPECT_EQ(lock.holder().found, row.kind);
        const bool named = row.kind == Found::OtherHost; // the holder, as far as it is known
        EXPECT_EQ(lock.holder().host, named ? "other-pc" : "");
        const QString question = DataFolderLock::TakeOverQuestion(folder, lock.holder());
        EXPECT_TRUE(question.contains(QStringLiteral("互相覆盖"))) << "the risk is named";
        if (named) {
            EXPECT_TRUE(question.contains("other-pc") && question.contains("4242") && question.contains("2026-05-01"))
                << question.toStdString();
        }
        if (row.made == File) { // kept locked while the user decides
            DataFolderLock meanwhile;
            EXPECT_EQ(meanwhile.Acquire(folder), Result::InUse);
        }
        ASSERT_EQ(lock.TakeOver(), Result::Held);
        EXPECT_TRUE(QFileInfo(lockFile).isFile() && !QFileInfo(lockFile).isSymLink());
        EXPECT_EQ(HolderIdIn(folder), QByteArray::number(getpid()));
        EXPECT_EQ(ReadFile(outside), "the user's own file");
        EXPECT_EQ(ReadFile(lockFile + ".old/kept.txt"), row.made == Folder ? "kept" : "<unreadable>");
        DataFolderLock second;
        EXPECT_EQ(second.Acquire(folder), Result::InUse);
    }
    alarm(0);
}

// Lock files of another user of this computer, as a plain user sees them: one it may read is followed when its
// holder has ended or names none; one it may not read is asked about. Each is replaced by a file of its own.
TEST(DataFolderLock, AnotherUsersLockFileIsFollowedOrAskedAbout)
{
    struct {
        const char *found;
        QByteArray content;
        mode_t mode;
        std::string expected; // Acquire's result, then TakeOver's when asked
    } rows[] = {
        {"a readable lock of an ended program", "4242\nQuorin\n" + DataFolderLock::HostName().toUtf8() + "\n\n", 0644,
         "held"},
        {"a lock no one but its owner may read", kOtherComputersLock, 0000, "asked unreadable, held"},
        {"an empty lock it may read but not write", "", 0644, "held, told it was empty"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.found);
        QTemporaryDir dir;
        const QString folder = dir.path() + "/", lockFile = DataFolderLock::LockFilePath(folder);
        ASSERT_TRUE(QDir().mkpath(folder + "dat"));
        WriteFile(lockFile, row.content);
        Chmod(lockFile, row.mode);
        Chmod(dir.path(), 0777);
        Chmod(folder + "dat", 0777);
        const std::string answer = AnswerFromChild([&]() -> std::string {
            if (!GiveUpAdministratorRights())
                return "cannot drop rights";
            DataFolderLock lock;
            const Result r = lock.Acquire(folder);
            if (r != Result::Unverified)
                return r != Result::Held ? "refused" : lock.tookOverEmptyLock() ? "held, told it was empty" : "held";
            const std::string found = lock.holder().found == Found::Unreadable ? "asked unreadable" : "asked";
            return found + (lock.TakeOver() == Result::Held ? ", held" : ", refused");
        });
        if (answer == "cannot drop rights")
            GTEST_SKIP() << "an administrator who cannot become a plain user reads every file";
        EXPECT_EQ(answer, row.expected);
    }
}

// Copies of the real program, each in a folder of its own (its data folder then), linked rather than copied
// where the disk allows. Every program a test starts is killed when the test ends.
class ProgramCopy : public ::testing::Test {
protected:
    struct Run {
        QProcess process;
        QString said; // all it said so far
    };
    QTemporaryDir dir{QStringLiteral(QUORIN_TEST_OUTPUT "/lock-XXXXXX")};
    QTemporaryDir home; // the plain user's home, which it may write
    std::list<Run> runs;
    QString folder() const { return dir.path() + "/"; }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (::link(QUORIN_PROGRAM, QFile::encodeName(folder() + "quorin").constData()) != 0) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUORIN_PROGRAM), folder() + "quorin"));
        }
        QDir().mkpath(folder() + "dat");
        WriteFile(folder() + "dat/qrinit.ini", "[window]\nstate=0\n");
        WriteFile(folder() + "dat/set.ini", "[set]\nfJian=4.5\n");
        WriteFile(folder() + "dat/Quorin.db", "not looked at by a second start");
    }

    void TearDown() override { stopAll(); }

    void stopAll()
    {
        for (Run &run : runs) {
            run.process.kill();
            run.process.waitForFinished();
        }
        runs.clear();
    }

    // Whether the plain user `nobody` can be had and is kept out of the program folder: it may not write the
    // folder, and may write its dat/ just when datWritable. Its home is made writable to it.
    bool plainUserKeptOut(bool datWritable)
    {
        Chmod(home.path(), 0777);
        return AnswerFromChild([&] {
            const auto writable = [](const QString &f) { return ::access(QFile::encodeName(f).constData(), W_OK) == 0; };
            const bool found = GiveUpAdministratorRights() && !writable(folder()) && writable(folder() + "dat") == datWritable;
            return std::string(found ? "yes" : "no");
        }) == "yes";
    }

    // Starts the program of the data folder `data`, as the plain user `nobody` when asked.
    Run &start(const QString &data, bool plainUser = false)
    {
        Run &run = runs.emplace_back();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (plainUser) {
            env.insert("HOME", home.path());
            env.remove("XDG_RUNTIME_DIR");
            env.remove("XDG_DATA_HOME");
            run.process.setChildProcessModifier([] {
                if (!GiveUpAdministratorRights())
                    _exit(99);
            });
        }
        run.process.setProcessEnvironment(env);
        run.process.setProcessChannelMode(QProcess::MergedChannels);
        run.process.start(data + "quorin", {});
        EXPECT_TRUE(run.process.waitForStarted());
        return run;
    }

    // Until done() says so (true), or the program ends or 20 s have passed (false). There is no event loop
    // here: waiting for its output is what reads the pipe.
    static bool await(Run &run, const std::function<bool()> &done)
    {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            run.said += QString::fromLocal8Bit(run.process.readAll());
            if (done())
                return true;
            if (waited.elapsed() > 20000 || run.process.state() != QProcess::Running)
                return false;
            run.process.waitForReadyRead(100);
        }
    }

    // Starts a program that comes to hold its data folder, its id written into the lock file when idWritten.
    Run &startHolding(const QString &data, bool plainUser = false, bool idWritten = true)
    {
        Run &run = start(data, plainUser);
        EXPECT_TRUE(await(run, [&] {
            return LockIsHeld(DataFolderLock::LockFilePath(data)) &&
                   (!idWritten || HolderIdIn(data) == QByteArray::number(run.process.processId()));
        })) << "the program does not hold its folder: " << run.said.toStdString();
        return run;
    }

    // Starts a program that says `text` naming each of `named`, and waits at that message.
    Run &expectRefused(const QString &data, bool plainUser, const QString &text, const QStringList &named)
    {
        Run &run = start(data, plainUser);
        EXPECT_TRUE(await(run, [&] { return run.said.contains(text); })) << run.said.toStdString();
        for (const QString &name : named)
            EXPECT_TRUE(run.said.contains(name)) << name.toStdString() << " is not named: " << run.said.toStdString();
        EXPECT_EQ(run.process.state(), QProcess::Running) << "it ends once the message is answered";
        return run;
    }

    // Two programs on one data folder: the first holds it, the second is refused naming the folder and, where
    // the first could write its id, the holder.
    void expectSecondRefused(const QString &data, bool plainUser, bool idWritten)
    {
        const Run &first = startHolding(data, plainUser, idWritten);
        if (!HasFailure())
            expectRefused(data, plainUser, kInUse, {QDir::toNativeSeparators(data),
                                                    idWritten ? QString::number(first.process.processId()) : data});
    }
};

// A start on a folder that another program holds says so, naming the folder and its holder, and changes no
// file of it (also a while after its message). Once the holder was killed, its lock stays behind; the next
// start takes the folder over and runs.
TEST_F(ProgramCopy, AStartIsRefusedWhileTheFolderIsHeldTouchingNothingAndRunsOnceTheHolderWasKilled)
{
    {
        DataFolderLock first;
        ASSERT_EQ(first.Acquire(folder()), Result::Held);
        const auto before = Snapshot(folder());
        const QStringList named = {QDir::toNativeSeparators(folder()), QString::number(getpid())};
        Run &second = expectRefused(folder(), false, kInUse, named);
        QThread::msleep(300);
        EXPECT_EQ(second.process.state(), QProcess::Running) << "it ends once the message is answered";
        EXPECT_TRUE(Snapshot(folder()) == before) << "a file of the folder changed";
        stopAll();
    }
    const pid_t killed = StartHolder(folder());
    ASSERT_GT(killed, 0);
    Kill(killed);
    ASSERT_TRUE(QFile::exists(DataFolderLock::LockFilePath(folder())));
    Run &third = startHolding(folder());
    third.process.waitForReadyRead(100);
    third.said += QString::fromLocal8Bit(third.process.readAll());
    EXPECT_FALSE(third.said.contains(kInUse)) << third.said.toStdString();
    EXPECT_EQ(third.process.state(), QProcess::Running);
}

// A shared install: the program folder belongs to the administrator, its data folders may be written by the
// user. The lock lives in dat/, so a second program of the user is refused there as anywhere.
TEST_F(ProgramCopy, ASharedInstallWhoseDataFoldersTheUserMayWriteHoldsTheLock)
{
    for (const char *sub : {"dat", "Quorin_f", "picTemp"}) {
        ASSERT_TRUE(QDir().mkpath(folder() + sub));
        Chmod(folder() + sub, 0777);
    }
    Chmod(folder() + "dat/qrinit.ini", 0666);
    Chmod(folder() + "dat/set.ini", 0666);
    QFile::remove(folder() + "dat/Quorin.db"); // the first program makes its own
    Chmod(dir.path(), 0755);
    if (!plainUserKeptOut(true))
        GTEST_SKIP() << "a plain user who may not write the program folder cannot be had here";
    expectSecondRefused(folder(), true, true);
    EXPECT_FALSE(QFile::exists(folder() + "Quorin.lock"));
}

// A system-wide install: the program folder belongs to the administrator and the user may write none of it.
// The first start of the user, its lock taken first, keeps the data in the user's data folder with the shipped
// settings, and says so.
TEST_F(ProgramCopy, AReadOnlyInstallsFirstStartSaysWhereTheDataLives)
{
    QFile::remove(folder() + "dat/Quorin.db"); // the user's program makes its own
    for (const char *sub : {"", "dat"})
        Chmod(folder() + sub, 0755);
    if (!plainUserKeptOut(false))
        GTEST_SKIP() << "a plain user who may not write the program folder cannot be had here";

    const QString user = home.path() + "/.local/share/Quorin/";
    Run &run = start(folder(), true);
    EXPECT_TRUE(await(run, [&] {
        return run.said.contains(QStringLiteral("不能写入")) &&
               run.said.contains(QStringLiteral("设置、案例和评语将保存在：\n") + user);
    })) << run.said.toStdString();
    EXPECT_TRUE(LockIsHeld(DataFolderLock::LockFilePath(user)));
    EXPECT_EQ(ReadFile(user + "dat/set.ini"), "[set]\nfJian=4.5\n");
}

// A program folder on a file system of its own, made as small as a full disk (a tmpfs of a few pages, the
// program bound into it), then filled: the lock holds without a byte of it written, a second start is refused,
// and once both were killed the next start runs.
TEST_F(ProgramCopy, OnAFullDiskTheLockHoldsASecondStartIsRefusedAndAStartAfterACrashRuns)
{
    const QString disk = folder() + "disk/";
    SmallDisk small(disk, 256);
    if (!small.mounted())
        GTEST_SKIP() << "no file system can be mounted here: " << std::strerror(errno);
    for (const char *sub : {"dat", "Quorin_f", "picTemp", "skins", "compass"})
        ASSERT_TRUE(QDir().mkpath(disk + sub));
    WriteFile(disk + "dat/set.ini", "[set]\nfJian=4.5\n");
    WriteFile(disk + "quorin", {});
    ASSERT_EQ(::mount(QUORIN_PROGRAM, QFile::encodeName(disk + "quorin").constData(), nullptr, MS_BIND, nullptr), 0)
        << std::strerror(errno);
    small.fill();
    QFile probe(disk + "dat/probe");
    ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
    ASSERT_FALSE(probe.write("x") == 1 && probe.flush()) << "the disk is not full";
    probe.remove();
    expectSecondRefused(disk, false, false);

    // Both ended as a crash ends them: the lock file stays without its text. The next start takes the folder
    // over without a question, and says so.
    stopAll();
    ASSERT_EQ(QFileInfo(DataFolderLock::LockFilePath(disk)).size(), 0);
    Run &next = startHolding(disk, false, false);
    EXPECT_TRUE(await(next, [&] { return next.said.contains(DataFolderLock::EmptyLockNotice(disk)); }))
        << next.said.toStdString();
    EXPECT_FALSE(next.said.contains(QStringLiteral("要接管"))) << next.said.toStdString();
}

// Pipes and endless files where the lock and the settings files should be: the start is not held up by them,
// and says which file it cannot use (it then waits at that message).
TEST_F(ProgramCopy, PipesAndDevicesAtTheLockOrTheSettingsFilesAreRefusedAtOnce)
{
    const struct {
        const char *file;
        bool pipe; // else a link to /dev/zero
    } rows[] = {{"dat/Quorin.lock", true}, {"dat/set.ini", true}, {"dat/qrinit.ini", true}, {"dat/set.ini", false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.file) + (row.pipe ? " as a pipe" : " as /dev/zero"));
        const QString path = folder() + row.file;
        QFile::remove(path);
        if (row.pipe)
            ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else
            ASSERT_TRUE(QFile::link("/dev/zero", path));
        const bool lock = path.endsWith(".lock");
        const QString said = lock ? QStringLiteral("不是普通文件（而是文件夹、链接或其他）") : QStringLiteral("不是普通文件");
        expectRefused(folder(), false, said, {QDir::toNativeSeparators(path)});
        stopAll();
        QFile::remove(path);
        if (!lock)
            WriteFile(path, "[set]\n");
    }
}

} // namespace
