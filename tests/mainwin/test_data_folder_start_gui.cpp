// The start's hold on its data folder and its word on settings files it cannot read, answered through the
// scripted prompts: a lock this computer cannot check is taken over only after a Yes to a question that names
// the risk; a folder in use is refused naming its holder; a settings file that is a pipe, a device or too large
// is named, the window runs on the defaults and the file is left as it was.
#include "GuiTestSupport.h"

#include "AppPath.h"
#include "DataFolderLock.h"
#include "DataFolderNotice.h"
#include "IniFile.h"
#include "TFrmMain.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Answer = Prompts::Answer;

const QByteArray kOtherComputersLock = "4242\nQuorin\nother-pc\n0123456789abcdef0123456789abcdef\n2026-05-01T08:30:00Z\n";

TEST_F(ProgramFolderTest, ALockOfAnotherComputerIsTakenOverOnlyAfterTheUserAgrees)
{
    const struct {
        const char *answer;
        Answer reply;
        bool taken;
    } rows[] = {
        {"No keeps the folder as it was", Answer::No, false},
        {"Yes takes it over", Answer::Yes, true},
    };
    const QString lockFile = DataFolderLock::LockFilePath(path(""));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.answer);
        writeFile("dat/Quorin.lock", kOtherComputersLock);
        const qsizetype asked = prompts.asked().size();
        prompts.reply(row.reply);
        DataFolderLock lock;
        EXPECT_EQ(TakeDataFolder(lock, path("")), row.taken);
        ASSERT_EQ(prompts.asked().size(), asked + 1);
        const ScriptedPrompts::Question q = prompts.asked().last();
        EXPECT_EQ(q.icon, Prompts::Icon::Warning);
        EXPECT_EQ(q.defaultAnswer, Answer::No);
        for (const char *named : {"other-pc", "4242", "2026-05-01", "互相覆盖"})
            EXPECT_TRUE(q.text.contains(QString::fromUtf8(named))) << named << " in " << q.text.toStdString();
        EXPECT_EQ(readFile("dat/Quorin.lock").startsWith(QByteArray::number(getpid())), row.taken);
        EXPECT_EQ(readFile("dat/Quorin.lock") == kOtherComputersLock, !row.taken);
    }
}

// A data folder whose dat/ is a file: no lock can be made there, and the start says so.
TEST_F(ProgramFolderTest, AFolderWhereNoLockCanBeMadeIsRefusedSayingWhy)
{
    QTemporaryDir other;
    QFile blocker(other.path() + "/dat");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    prompts.reply(Answer::Ok);
    DataFolderLock lock;
    EXPECT_FALSE(TakeDataFolder(lock, other.path()));
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked().last().icon, Prompts::Icon::Error);
    EXPECT_TRUE(prompts.asked().last().text.contains(QStringLiteral("无法锁定数据文件夹")))
        << prompts.asked().last().text.toStdString();
}

// Each settings file that cannot be read is named once at the start; the window then runs on the defaults and
// neither waits on the file nor writes over it.
TEST_F(ProgramFolderTest, SettingsFilesThatCannotBeReadAreNamedAndLeftAsTheyAre)
{
    const struct {
        const char *file;
        const char *what; // pipe, zero (a link to /dev/zero), large
        QString said;
    } rows[] = {
        {"dat/set.ini", "pipe", QStringLiteral("不是普通文件")},
        {"dat/qrinit.ini", "pipe", QStringLiteral("不是普通文件")},
        {"dat/set.ini", "zero", QStringLiteral("不是普通文件")},
        {"dat/qrinit.ini", "large", QStringLiteral("太大")},
    };
    alarm(120); // a pipe waited on after all ends the test program instead of hanging it
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.file) + " " + row.what);
        const QString file = path(row.file);
        QFile::remove(file);
        const std::string what = row.what;
        if (what == "pipe")
            ASSERT_EQ(mkfifo(QFile::encodeName(file).constData(), 0644), 0);
        else if (what == "zero")
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), file));
        else
            writeFile(row.file, "[window]\ntreewid=300\n" + QByteArray(IniFile::kMaxFileBytes, ';'));
        const QFileInfo before(file);

        const qsizetype asked = prompts.asked().size();
        prompts.reply(Answer::Ok);
        ShowSettingsFileNotice(path(""));
        ASSERT_EQ(prompts.asked().size(), asked + 1);
        EXPECT_TRUE(prompts.asked().last().text.contains(row.said)) << prompts.asked().last().text.toStdString();
        EXPECT_TRUE(prompts.asked().last().text.contains(file)) << prompts.asked().last().text.toStdString();
        {
            TFrmMain w;
            w.show();
            EXPECT_DOUBLE_EQ(w.FJian(), 3.0); // the window's default
            // The window's layout cannot be kept in a file that cannot be read, and closing says so.
            const bool layoutFile = file.endsWith(QLatin1String("qrinit.ini"));
            prompts.reply(Answer::Yes);
            if (layoutFile)
                prompts.reply(Answer::Ok);
            w.close();
            EXPECT_EQ(prompts.asked().last().text.contains(QStringLiteral("无法保存窗口设置")), layoutFile);
        }
        const QFileInfo after(file);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isFile(), before.isFile());
        EXPECT_EQ(after.size(), before.size());
        QFile::remove(file);
    }
    alarm(0);
    const qsizetype asked = prompts.asked().size();
    ShowSettingsFileNotice(path("")); // readable or missing files: nothing to say
    EXPECT_EQ(prompts.asked().size(), asked);
    EXPECT_EQ(prompts.unexpected(), 0);
}

} // namespace
