// One program per data folder: the lock a program takes on its data folder, held by other processes in every
// state, and the real program started on a folder that another program holds.
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
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using Result = DataFolderLock::Result;

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

    void start(QProcess &p)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program(), {});
        ASSERT_TRUE(p.waitForStarted());
    }

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

} // namespace
