// The start's hold on its data folder and its word on settings files it cannot read, answered through the
// scripted prompts.
#include "GuiTestSupport.h"

#include "AppPath.h"
#include "DataFolderLock.h"
#include "DataFolderNotice.h"
#include "IniFile.h"
#include "TFrmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Answer = Prompts::Answer;
using Icon = Prompts::Icon;

const QByteArray kOtherComputersLock = "4242\nQuorin\nother-pc\n0123456789abcdef0123456789abcdef\n2026-05-01T08:30:00Z\n";

// A lock this computer cannot check is taken over only after a Yes to a question that names the risk; one that
// names no holder (left empty by a crash on a full disk) is taken over at once with a notice; a folder where no
// lock can be made ("blocked", whose dat/ is a file) is refused saying why. The program folder holds another
// computer's lock, or the empty one.
TEST_F(ProgramFolderTest, ALockOfAnotherComputerIsTakenOverOnlyAfterTheUserAgreesAndNoLockIsRefused)
{
    ASSERT_TRUE(QDir().mkpath(path("blocked")));
    writeFile("blocked/dat", {});
    const QStringList risk = {"other-pc", "4242", "2026-05-01", QStringLiteral("互相覆盖")};
    const struct {
        const char *answer, *folder;
        QByteArray lock;
        Answer reply;
        Icon icon;
        std::optional<Answer> byDefault;
        QStringList named;
        bool taken;
    } rows[] = {
        {"No keeps the folder as it was", "", kOtherComputersLock, Answer::No, Icon::Warning, Answer::No, risk, false},
        {"Yes takes it over", "", kOtherComputersLock, Answer::Yes, Icon::Warning, Answer::No, risk, true},
        {"an empty lock: taken over, told", "", "", Answer::Ok, Icon::Information, std::nullopt,
         {QStringLiteral("锁文件是空的"), QStringLiteral("已经接管"), path("")}, true},
        {"no lock can be made: refused saying why", "blocked", kOtherComputersLock, Answer::Ok, Icon::Error,
         std::nullopt, {QStringLiteral("无法锁定数据文件夹")}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.answer);
        writeFile("dat/Quorin.lock", row.lock);
        const qsizetype asked = prompts.asked().size();
        prompts.reply(row.reply);
        DataFolderLock lock;
        EXPECT_EQ(TakeDataFolder(lock, path(row.folder)), row.taken);
        ASSERT_EQ(prompts.asked().size(), asked + 1);
        const ScriptedPrompts::Question q = prompts.asked().last();
        EXPECT_EQ(q.icon, row.icon);
        EXPECT_EQ(q.defaultAnswer, row.byDefault);
        for (const QString &named : row.named)
            EXPECT_TRUE(q.text.contains(named)) << named.toStdString() << " in " << q.text.toStdString();
        EXPECT_EQ(readFile("dat/Quorin.lock").startsWith(QByteArray::number(getpid())), row.taken);
        EXPECT_EQ(readFile("dat/Quorin.lock") == row.lock, !row.taken);
    }
}

// Each settings file that cannot be read is named once at the start; the window then runs on the defaults and
// neither waits on the file nor writes over it. Its layout cannot be kept in such a file, and closing says so.
TEST_F(ProgramFolderTest, SettingsFilesThatCannotBeReadAreNamedAndLeftAsTheyAre)
{
    enum Made { Pipe, Zero, Large };
    const char *const made[] = {"a pipe", "a link to /dev/zero", "too large"};
    const struct {
        const char *file;
        Made made;
        QString said;
    } rows[] = {
        {"dat/set.ini", Pipe, QStringLiteral("不是普通文件")},
        {"dat/qrinit.ini", Pipe, QStringLiteral("不是普通文件")},
        {"dat/set.ini", Zero, QStringLiteral("不是普通文件")},
        {"dat/qrinit.ini", Large, QStringLiteral("太大")},
    };
    alarm(120); // a pipe waited on after all ends the test program instead of hanging it
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.file) + " as " + made[row.made]);
        const QString file = path(row.file);
        QFile::remove(file);
        if (row.made == Pipe)
            ASSERT_EQ(mkfifo(QFile::encodeName(file).constData(), 0644), 0);
        else if (row.made == Zero)
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), file));
        else
            writeFile(row.file, "[window]\ntreewid=300\n" + QByteArray(IniFile::kMaxFileBytes, ';'));
        const QFileInfo before(file);

        const qsizetype asked = prompts.asked().size();
        prompts.reply(Answer::Ok);
        ShowSettingsFileNotice(path(""));
        ASSERT_EQ(prompts.asked().size(), asked + 1);
        const QString notice = prompts.asked().last().text;
        EXPECT_TRUE(notice.contains(row.said) && notice.contains(file)) << notice.toStdString();
        {
            TFrmMain w;
            w.show();
            EXPECT_DOUBLE_EQ(w.FJian(), 3.0); // the window's default
            const bool layoutFile = file.endsWith(QLatin1String("qrinit.ini"));
            EXPECT_TRUE(layoutFile ? CloseAnswering(w, prompts, {Answer::Yes, Answer::Ok})
                                   : CloseAnswering(w, prompts, {Answer::Yes}));
            EXPECT_EQ(prompts.asked().last().text.contains(QStringLiteral("无法保存窗口设置")), layoutFile);
        }
        const QFileInfo after(file);
        EXPECT_EQ(std::tuple(after.isSymLink(), after.isFile(), after.size()),
                  std::tuple(before.isSymLink(), before.isFile(), before.size()));
        QFile::remove(file);
    }
    alarm(0);
    const qsizetype asked = prompts.asked().size();
    ShowSettingsFileNotice(path("")); // readable or missing files: nothing to say
    EXPECT_EQ(prompts.asked().size(), asked);
    EXPECT_EQ(prompts.unexpected(), 0);
}

} // namespace
