#include "DataFolderNotice.h"

#include "AppPath.h"
#include "DataFolderLock.h"
#include "IniFile.h"
#include "Prompts.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

// What the folder that cannot be written holds, in the user's words.
QString unwritableWhat(const QString &folder)
{
    const QString sub = QDir(AppPath()).relativeFilePath(folder);
    if (sub == QLatin1String("dat"))
        return QStringLiteral("软件的设置和案例数据文件夹");
    if (sub == QLatin1String("Quorin_f"))
        return QStringLiteral("软件的评语和户型图文件夹");
    if (sub == QLatin1String("picTemp"))
        return QStringLiteral("软件的户型图临时文件夹");
    return QStringLiteral("软件所在的文件夹");
}

// For a start from a terminal, which may show no window.
void tellTerminal(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

// A notice of the start, said on the terminal and in a message box.
void tell(Prompts::Icon icon, const QString &title, const QString &text)
{
    tellTerminal(text);
    Prompts::instance().message(title, text, icon, Prompts::Buttons::Ok);
}

} // namespace

bool TakeDataFolder(DataFolderLock &lock, const QString &folder)
{
    const QString title = QApplication::applicationDisplayName();
    DataFolderLock::Result result = lock.Acquire(folder);
    if (result == DataFolderLock::Result::Unverified) {
        const QString question = DataFolderLock::TakeOverQuestion(folder, lock.holder());
        tellTerminal(question);
        if (!Prompts::instance().askYesNo(title, question, Prompts::Answer::No, Prompts::Icon::Warning))
            return false;
        result = lock.TakeOver();
    }
    QString text;
    switch (result) {
    case DataFolderLock::Result::Held:
        if (lock.tookOverEmptyLock())
            tell(Prompts::Icon::Information, title, DataFolderLock::EmptyLockNotice(folder));
        return true;
    case DataFolderLock::Result::InUse:
    case DataFolderLock::Result::Unverified: // another lock came meanwhile: not asked about a second time
        text = DataFolderLock::InUseText(folder, lock.holder());
        break;
    case DataFolderLock::Result::Unlockable:
        text = DataFolderLock::UnlockableText(folder, lock.reason());
        break;
    }
    tell(Prompts::Icon::Error, title, text);
    return false;
}

bool OpenDataFolder(DataFolderLock &lock)
{
    if (!TakeDataFolder(lock, DataPath()))
        return false;
    ShowDataFolderNotice(PrepareDataFolder());
    ShowSettingsFileNotice(DataPath());
    return true;
}

void ShowSettingsFileNotice(const QString &folder)
{
    QStringList problems;
    for (const char *name : {"dat/set.ini", "dat/qrinit.ini"}) {
        const QString problem = IniFile::ReadProblem(WithSlash(folder) + QLatin1String(name));
        if (!problem.isEmpty())
            problems << problem;
    }
    if (problems.isEmpty())
        return;
    const QString text = problems.join(QLatin1Char('\n')) +
                         QStringLiteral("\n\n软件将使用默认设置运行，不会改写这个文件。请删除它或者换上正确的设置文件。");
    tell(Prompts::Icon::Warning, QApplication::applicationDisplayName(), text);
}

void ShowDataFolderNotice(const DataFolderSetup &setup)
{
    const QString folder = QDir::toNativeSeparators(setup.folder);
    if (!setup.ok) {
        tell(Prompts::Icon::Error, QStringLiteral("错误"),
             QStringLiteral("无法建立数据文件夹：\n%1\n\n设置和案例将无法保存！").arg(folder));
        return;
    }
    if (!setup.firstUse)
        return;
    tell(Prompts::Icon::Information, QApplication::applicationDisplayName(),
         QStringLiteral("%1不能写入：\n%2\n\n设置、案例和评语将保存在：\n%3")
             .arg(unwritableWhat(setup.unwritable), QDir::toNativeSeparators(setup.unwritable), folder));
}
