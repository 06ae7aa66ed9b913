// One program per data folder: the lock a program takes on its data folder, held by other processes in every
// state, and the real program started on a folder that another program holds.
#include "ChildProcess.h"
#include "DataFolderLock.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <map>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Result = DataFolderLock::Result;
using Found = DataFolderLock::Found;

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

// The text a program on another computer leaves in its lock file.
const QByteArray kOtherComputersLock = "4242\nQuorin\nother-pc\n0123456789abcdef0123456789abcdef\n2026-05-01T08:30:00Z\n";

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

// Every file under folder with a digest of its content.
std::map<QString, QByteArray> Snapshot(const QString &folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files[path] = f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                                  : QByteArray("<unreadable>");
    }
    return files;
}

TEST(DataFolderLock, ASecondHolderIsRefusedWhileTheFirstRunsAndAKilledOneGivesWay)
{
    struct Row {
        const char *holder;
        Result expected;
        std::function<pid_t(const QString &folder, DataFolderLock &inProcess)> hold; // the holder's id, or 0
    };
    const Row rows[] = {
        {"nobody", Result::Held, [](const QString &, DataFolderLock &) { return pid_t(0); }},
        {"another running process", Result::InUse, [](const QString &f, DataFolderLock &) { return StartHolder(f); }},
        {"another process, running for an hour", Result::InUse,
         [](const QString &f, DataFolderLock &) {
             const pid_t pid = StartHolder(f);
             QFile lock(DataFolderLock::LockFilePath(f));
             lock.open(QIODevice::ReadWrite);
             lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
             return pid;
         }},
        {"a process killed while it held the lock", Result::Held,
         [](const QString &f, DataFolderLock &) {
             const pid_t pid = StartHolder(f);
             Kill(pid);
             return pid_t(0);
         }},
        {"another lock of this process", Result::InUse,
         [](const QString &f, DataFolderLock &inProcess) {
             return inProcess.Acquire(f) == Result::Held ? pid_t(0) : pid_t(-1);
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.holder);
        QTemporaryDir dir;
        const QString folder = dir.path() + "/data/";
        DataFolderLock inProcess;
        const pid_t holder = row.hold(folder, inProcess);
        ASSERT_GE(holder, 0);
        DataFolderLock lock;
        EXPECT_EQ(lock.Acquire(folder), row.expected);
        if (holder > 0)
            Kill(holder);
    }
}

TEST(DataFolderLock, TheRefusalNamesTheFolder)
{
    const QString text = DataFolderLock::InUseText(QStringLiteral("/home/用户/风水/"));
    EXPECT_TRUE(text.contains(QStringLiteral("/home/用户/风水/")));
    EXPECT_TRUE(text.contains(QStringLiteral("只能由一个程序使用")));
}

// The lock lives in dat/ beside the case file, whatever the folder above it allows.
TEST(DataFolderLock, LivesBesideTheCaseFileAndGoesWithItsHolder)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/data/";
    EXPECT_EQ(DataFolderLock::LockFilePath(folder), folder + "dat/Quorin.lock");
    {
        DataFolderLock lock;
        ASSERT_EQ(lock.Acquire(folder), Result::Held);
        EXPECT_TRUE(LockIsHeld(folder + "dat/Quorin.lock"));
        const QList<QByteArray> lines = ReadFile(folder + "dat/Quorin.lock").split('\n');
        EXPECT_EQ(lines.value(0), QByteArray::number(getpid()));
        EXPECT_EQ(QString::fromUtf8(lines.value(2)), DataFolderLock::HostName());
    }
    EXPECT_FALSE(QFile::exists(folder + "dat/Quorin.lock")) << "a program that ends lets the folder go";
}

// A second start is told who holds the folder, also when its holder is a program of another computer on a
// shared folder, which holds the system's lock all the same.
TEST(DataFolderLock, TheRefusalSaysWhoHoldsTheFolder)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    const pid_t holder = StartHolder(folder);
    ASSERT_GT(holder, 0);
    struct {
        const char *holder;
        QByteArray rewritten; // the lock file's text while its holder runs; empty: as the holder wrote it
        QString host;
        qint64 pid;
        bool since;
    } rows[] = {
        {"a program of this computer", {}, DataFolderLock::HostName(), holder, true},
        {"a program of another computer", kOtherComputersLock, "other-pc", 4242, true},
        {"a holder whose text could not be written (a full disk)", "", {}, 0, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.holder);
        if (!row.rewritten.isNull()) {
            const int fd = ::open(QFile::encodeName(DataFolderLock::LockFilePath(folder)).constData(), O_WRONLY | O_TRUNC);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::write(fd, row.rewritten.constData(), size_t(row.rewritten.size())), row.rewritten.size());
            ::close(fd);
        }
        DataFolderLock lock;
        ASSERT_EQ(lock.Acquire(folder), Result::InUse);
        EXPECT_EQ(lock.holder().host, row.host);
        EXPECT_EQ(lock.holder().pid, row.pid);
        EXPECT_EQ(lock.holder().since.isValid(), row.since);
        const QString text = DataFolderLock::InUseText(folder, lock.holder());
        EXPECT_TRUE(text.contains(QStringLiteral("只能由一个程序使用")));
        if (row.pid > 0) {
            EXPECT_TRUE(text.contains(row.host)) << text.toStdString();
            EXPECT_TRUE(text.contains(QString::number(row.pid))) << text.toStdString();
        }
    }
    Kill(holder);
}

// What a start finds at the lock's name and cannot check (no program of this computer holds it, and none of
// this computer wrote it) is asked about; once the user agrees, the folder is taken over. A link is replaced
// as a link, its target untouched; a folder is kept under another name; a pipe is never waited on.
TEST(DataFolderLock, ALockThisComputerCannotCheckIsTakenOverOnceTheUserAgrees)
{
    struct Row {
        const char *found;
        Found kind;
        std::function<void(const QString &lock, const QString &outside)> make;
        QString host; // the holder as the question names it
    };
    const auto file = [](QByteArray content) {
        return [content](const QString &lock, const QString &) { WriteFile(lock, content); };
    };
    const Row rows[] = {
        {"a lock written on another computer", Found::OtherHost, file(kOtherComputersLock), "other-pc"},
        {"an empty file", Found::NotUnderstood, file(""), {}},
        {"a file of garbage", Found::NotUnderstood, file(QByteArray("\x00\xff\xfe garbage\n\n\n", 13)), {}},
        {"a lock of another program", Found::NotUnderstood, file("4242\nOther\nother-pc\n"), {}},
        {"a folder with a file in it", Found::NotAFile,
         [](const QString &lock, const QString &) {
             ASSERT_TRUE(QDir().mkpath(lock));
             WriteFile(lock + "/kept.txt", "kept");
         },
         {}},
        {"a dangling link", Found::NotAFile,
         [](const QString &lock, const QString &) { ASSERT_TRUE(QFile::link("/nonexistent/lock", lock)); }, {}},
        {"a link to a file outside", Found::NotAFile,
         [](const QString &lock, const QString &outside) { ASSERT_TRUE(QFile::link(outside, lock)); }, {}},
        {"a pipe", Found::NotAFile,
         [](const QString &lock, const QString &) { ASSERT_EQ(mkfifo(QFile::encodeName(lock).constData(), 0644), 0); },
         {}},
    };
    alarm(60); // a pipe waited on after all ends the test program instead of hanging it
    for (const Row &row : rows) {
        SCOPED_TRACE(row.found);
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        const QString lockFile = DataFolderLock::LockFilePath(folder);
        const QString outside = dir.path() + "/outside.txt";
        WriteFile(outside, "the user's own file");
        ASSERT_TRUE(QDir().mkpath(folder + "dat"));
        row.make(lockFile, outside);

        DataFolderLock lock;
        ASSERT_EQ(lock.Acquire(folder), Result::Unverified);
        EXPECT_EQ(lock.holder().found, row.kind);
        EXPECT_EQ(lock.holder().host, row.host);
        const QString question = DataFolderLock::TakeOverQuestion(folder, lock.holder());
        EXPECT_TRUE(question.contains(QStringLiteral("互相覆盖"))) << "the risk is named";
        if (!row.host.isEmpty()) {
            EXPECT_TRUE(question.contains("other-pc") && question.contains("4242") && question.contains("2026-05-01"))
                << question.toStdString();
        }

        if (row.kind != Found::NotAFile) { // kept locked while the user decides
            DataFolderLock meanwhile;
            EXPECT_EQ(meanwhile.Acquire(folder), Result::InUse);
        }
        ASSERT_EQ(lock.TakeOver(), Result::Held);
        EXPECT_TRUE(QFileInfo(lockFile).isFile() && !QFileInfo(lockFile).isSymLink());
        EXPECT_EQ(ReadFile(lockFile).split('\n').value(0), QByteArray::number(getpid()));
        EXPECT_EQ(ReadFile(outside), "the user's own file");
        if (row.kind == Found::NotAFile && QFileInfo(lockFile + ".old").isDir())
            EXPECT_EQ(ReadFile(lockFile + ".old/kept.txt"), "kept");
        DataFolderLock second;
        EXPECT_EQ(second.Acquire(folder), Result::InUse);
    }
    alarm(0);
}

// Lock files of another user of this computer, as a plain user sees them: one it may read is followed when its
// holder has ended; one it may not read is asked about. Both are replaced by a file of its own.
TEST(DataFolderLock, AnotherUsersLockFileIsFollowedOrAskedAbout)
{
    struct {
        const char *found;
        QByteArray content;
        mode_t mode;
        std::string expected; // Acquire's result, then TakeOver's when asked
    } rows[] = {
        {"a readable lock of an ended program", {}, 0644, "held"},
        {"a lock no one but its owner may read", kOtherComputersLock, 0000, "asked unreadable, held"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.found);
        QTemporaryDir dir;
        const QString folder = dir.path() + "/";
        ASSERT_TRUE(QDir().mkpath(folder + "dat"));
        const QString lockFile = DataFolderLock::LockFilePath(folder);
        WriteFile(lockFile, row.content.isNull() ? QByteArray("4242\nQuorin\n" + DataFolderLock::HostName().toUtf8() + "\n\n")
                                                 : row.content);
        chmod(QFile::encodeName(lockFile).constData(), row.mode);
        chmod(QFile::encodeName(dir.path()).constData(), 0777);
        chmod(QFile::encodeName(folder + "dat").constData(), 0777);
        const std::string answer = AnswerFromChild([&]() -> std::string {
            if (!GiveUpAdministratorRights())
                return "cannot drop rights";
            DataFolderLock lock;
            const Result r = lock.Acquire(folder);
            if (r == Result::Held)
                return "held";
            if (r != Result::Unverified)
                return "refused";
            const std::string found = lock.holder().found == Found::Unreadable ? "asked unreadable" : "asked";
            return found + (lock.TakeOver() == Result::Held ? ", held" : ", refused");
        });
        if (answer == "cannot drop rights")
            GTEST_SKIP() << "an administrator who cannot become a plain user reads every file";
        EXPECT_EQ(answer, row.expected);
    }
}

// The program in a folder of its own (its data folder then), linked rather than copied where the disk allows.
class ProgramCopy : public ::testing::Test {
protected:
    QTemporaryDir dir{QStringLiteral(QUORIN_TEST_OUTPUT "/lock-XXXXXX")};
    QString folder() const { return dir.path() + "/"; }
    QString program() const { return folder() + "quorin"; }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (::link(QUORIN_PROGRAM, QFile::encodeName(program()).constData()) != 0) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUORIN_PROGRAM), program()));
        }
        QDir().mkpath(folder() + "dat");
        for (const auto &[name, content] : {std::pair{"dat/qrinit.ini", "[window]\nstate=0\n"},
                                            std::pair{"dat/set.ini", "[set]\nfJian=4.5\n"},
                                            std::pair{"dat/Quorin.db", "not looked at by a second start"}}) {
            QFile f(folder() + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
    }

    // Starts the program at `at` (this copy by default), as the plain user `nobody` when asked.
    void start(QProcess &p, const QString &at = {}, bool plainUser = false)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (plainUser) {
            env.insert("HOME", home.path());
            env.remove("XDG_RUNTIME_DIR");
            p.setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(99);
            });
        }
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(at.isEmpty() ? program() : at, {});
        ASSERT_TRUE(p.waitForStarted());
    }

    // Until the program says `text` (true) or has waited 20 s or ended (false); all it said goes to `said`.
    static bool awaitSaying(QProcess &p, const QString &text, QString &said)
    {
        await(p, [&] {
            said += QString::fromLocal8Bit(p.readAll());
            return said.contains(text);
        });
        return said.contains(text);
    }

    QTemporaryDir home; // the plain user's home, which it may write

    static void stop(QProcess &p)
    {
        p.kill();
        p.waitForFinished();
    }

    // Until done() says so, the program ends or 20 s have passed. There is no event loop here: waiting for its
    // output is what reads the pipe.
    static void await(QProcess &p, const std::function<bool()> &done)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 20000 && p.state() == QProcess::Running)
            p.waitForReadyRead(100);
    }
};

// The second start says which folder is in use (it waits at that message) and has changed no file of it.
TEST_F(ProgramCopy, ASecondStartOnAFolderInUseRefusesNamingItAndTouchesNothing)
{
    DataFolderLock first;
    ASSERT_EQ(first.Acquire(folder()), Result::Held);
    const auto before = Snapshot(folder());
    QProcess second;
    start(second);
    QString said;
    await(second, [&] {
        said += QString::fromLocal8Bit(second.readAll());
        return said.contains(QStringLiteral("只能由一个程序使用"));
    });
    EXPECT_TRUE(said.contains(QDir::toNativeSeparators(folder()))) << said.toStdString();
    QThread::msleep(300); // what it would do after the message, it would do now
    EXPECT_EQ(second.state(), QProcess::Running) << "it ends once the message is answered";
    EXPECT_TRUE(Snapshot(folder()) == before) << "a file of the folder changed";
    stop(second);
}

// After the first program was killed, its lock stays behind; the next start takes the folder over and runs.
TEST_F(ProgramCopy, AStartAfterTheHolderWasKilledRuns)
{
    const pid_t killed = StartHolder(folder());
    ASSERT_GT(killed, 0);
    Kill(killed);
    ASSERT_TRUE(QFile::exists(DataFolderLock::LockFilePath(folder())));
    QProcess third;
    start(third);
    QByteArray holder, said;
    await(third, [&] {
        said += third.readAll();
        QFile lock(DataFolderLock::LockFilePath(folder()));
        if (lock.open(QIODevice::ReadOnly))
            holder = lock.readLine().trimmed();
        return holder == QByteArray::number(third.processId());
    });
    third.waitForReadyRead(100);
    said += third.readAll();
    EXPECT_EQ(holder, QByteArray::number(third.processId())) << said.toStdString();
    EXPECT_FALSE(said.contains("只能由一个程序使用"));
    EXPECT_EQ(third.state(), QProcess::Running);
    stop(third);
}

// A shared install: the program folder belongs to the administrator, its data folders may be written by the
// user. The lock lives in dat/, so a second program of the user is refused there as anywhere.
TEST_F(ProgramCopy, ASharedInstallWhoseDataFoldersTheUserMayWriteHoldsTheLock)
{
    for (const char *sub : {"dat", "Quorin_f", "picTemp"}) {
        ASSERT_TRUE(QDir().mkpath(folder() + sub));
        chmod(QFile::encodeName(folder() + sub).constData(), 0777);
    }
    for (const char *name : {"dat/qrinit.ini", "dat/set.ini"})
        chmod(QFile::encodeName(folder() + name).constData(), 0666);
    QFile::remove(folder() + "dat/Quorin.db"); // the first program makes its own
    chmod(QFile::encodeName(dir.path()).constData(), 0755); // the program folder: the user may only read it
    chmod(QFile::encodeName(home.path()).constData(), 0777);
    const std::string plain = AnswerFromChild([&] {
        return GiveUpAdministratorRights() && ::access(QFile::encodeName(folder()).constData(), W_OK) != 0 &&
                       ::access(QFile::encodeName(folder() + "dat").constData(), W_OK) == 0
                   ? std::string("plain")
                   : std::string("cannot");
    });
    if (plain != "plain")
        GTEST_SKIP() << "a plain user who may not write the program folder cannot be had here";

    QProcess first, second;
    start(first, {}, true);
    QString said;
    QByteArray holder;
    await(first, [&] {
        said += QString::fromLocal8Bit(first.readAll());
        holder = ReadFile(DataFolderLock::LockFilePath(folder())).split('\n').value(0);
        return holder == QByteArray::number(first.processId());
    });
    ASSERT_EQ(holder, QByteArray::number(first.processId())) << "the first program does not hold the folder: "
                                                             << said.toStdString();
    start(second, {}, true);
    QString refused;
    EXPECT_TRUE(awaitSaying(second, QStringLiteral("只能由一个程序使用"), refused)) << refused.toStdString();
    EXPECT_TRUE(refused.contains(QString::number(first.processId()))) << "the holder is named: " << refused.toStdString();
    EXPECT_EQ(second.state(), QProcess::Running) << "it ends once the message is answered";
    EXPECT_FALSE(QFile::exists(folder() + "Quorin.lock"));
    stop(second);
    stop(first);
    chmod(QFile::encodeName(dir.path()).constData(), 0700);
}

// A program folder on a file system of its own, made as small as a full disk (a tmpfs of a few pages, the
// program bound into it), then filled: the lock holds without a byte of it written, and a second start is
// refused.
TEST_F(ProgramCopy, OnAFullDiskTheLockHoldsAndASecondStartIsRefused)
{
    const QString disk = folder() + "disk/";
    ASSERT_TRUE(QDir().mkpath(disk));
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no file system can be mounted here: " << std::strerror(errno);
    const auto unmount = qScopeGuard([&] {
        ::umount2(QFile::encodeName(disk + "quorin").constData(), MNT_DETACH);
        ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH);
    });
    for (const char *sub : {"dat", "Quorin_f", "picTemp", "skins", "compass"})
        ASSERT_TRUE(QDir().mkpath(disk + sub));
    WriteFile(disk + "dat/set.ini", "[set]\nfJian=4.5\n");
    WriteFile(disk + "quorin", {});
    ASSERT_EQ(::mount(QUORIN_PROGRAM, QFile::encodeName(disk + "quorin").constData(), nullptr, MS_BIND, nullptr), 0)
        << std::strerror(errno);
    {
        QFile fill(disk + "fill");
        ASSERT_TRUE(fill.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (fill.write(block) == block.size() && fill.flush()) {
        }
    }
    QFile probe(disk + "dat/probe");
    ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
    ASSERT_FALSE(probe.write("x") == 1 && probe.flush()) << "the disk is not full";
    probe.remove();

    QProcess first, second;
    start(first, disk + "quorin");
    QString said;
    await(first, [&] {
        said += QString::fromLocal8Bit(first.readAll());
        return LockIsHeld(DataFolderLock::LockFilePath(disk));
    });
    ASSERT_TRUE(LockIsHeld(DataFolderLock::LockFilePath(disk))) << "the first program holds no lock: " << said.toStdString();
    start(second, disk + "quorin");
    QString refused;
    EXPECT_TRUE(awaitSaying(second, QStringLiteral("只能由一个程序使用"), refused)) << refused.toStdString();
    EXPECT_EQ(second.state(), QProcess::Running) << "it ends once the message is answered";
    stop(second);
    stop(first);
}

// Pipes and endless files where the lock and the settings files should be: the start is not held up by them,
// and says which file it cannot use (it then waits at that message).
TEST_F(ProgramCopy, PipesAndDevicesAtTheLockOrTheSettingsFilesAreRefusedAtOnce)
{
    const struct {
        const char *file;
        bool pipe; // else a link to /dev/zero
        QString said;
    } rows[] = {
        {"dat/Quorin.lock", true, QStringLiteral("不是普通文件（而是文件夹、链接或其他）")},
        {"dat/set.ini", true, QStringLiteral("不是普通文件")},
        {"dat/qrinit.ini", true, QStringLiteral("不是普通文件")},
        {"dat/set.ini", false, QStringLiteral("不是普通文件")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.file) + (row.pipe ? " as a pipe" : " as /dev/zero"));
        const QString path = folder() + row.file;
        QFile::remove(path);
        if (row.pipe)
            ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else
            ASSERT_TRUE(QFile::link("/dev/zero", path));
        QProcess p;
        start(p);
        QString said;
        EXPECT_TRUE(awaitSaying(p, row.said, said)) << said.toStdString();
        EXPECT_TRUE(said.contains(QDir::toNativeSeparators(path))) << "the file is named: " << said.toStdString();
        EXPECT_EQ(p.state(), QProcess::Running) << said.toStdString();
        stop(p);
        QFile::remove(path);
        if (!path.endsWith(".lock"))
            WriteFile(path, "[set]\n");
    }
}

} // namespace
