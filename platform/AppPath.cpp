#include "AppPath.h"

#include "DataFolderLock.h"
#include "FileWrite.h"
#include "TempFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

#include <algorithm>

#include <unistd.h>

QString WithSlash(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

namespace {

QMutex lock;
QString overridePath;
std::optional<bool> writableOverride;
// Whether the program folder can be written is decided once per folder: trying it means making a file in it.
QString decidedFor;
QString decidedUnwritable; // empty: the data lives in the program folder
// The folders of the program's writable data, under DataPath().
const char *const kDataFolders[] = {"dat", "Quorin_f", "picTemp"};

QString executableFolder()
{
    // Before the application object exists (or without one, in engine tests) ask the system directly.
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString appPathLocked()
{
    return overridePath.isEmpty() ? WithSlash(executableFolder()) : overridePath;
}

// The access bits alone do not say whether a file can be made: a read-only mount or an administrator's account
// says otherwise, so a file is made: one of the program's temporaries, which the start's sweep removes where a
// killed program left it.
bool canMakeFileIn(const QString &folder)
{
    QString temp;
    const int fd = CreateTemporaryBeside(WithSlash(folder) + QStringLiteral("probe"), temp);
    if (fd < 0)
        return false;
    ::close(fd);
    QFile::remove(temp);
    return true;
}

// The folder of the program folder that keeps the data from living there, with a trailing "/": the program
// folder itself when it cannot be written and a data folder is missing or cannot be written (an install that
// is read-only as a whole), else the first data folder that cannot be written; empty when the data can live
// in the program folder.
QString unwritableFolder(const QString &app)
{
    if (writableOverride)
        return *writableOverride ? QString() : app;
    bool missing = false;
    QString blocked;
    for (const char *sub : kDataFolders) {
        const QString folder = app + QLatin1String(sub);
        if (!QFileInfo(folder).isDir())
            missing = true;
        else if (blocked.isEmpty() && !canMakeFileIn(folder))
            blocked = WithSlash(folder);
    }
    if (!missing && blocked.isEmpty())
        return {};
    return canMakeFileIn(app) ? blocked : app;
}

QString userDataFolder()
{
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// Copies the files of from/sub/ (those of `names`, or all) that to/sub/ lacks; a file that appears meanwhile is not
// replaced. Each copy is a new file of the user's, writable whatever the mode of the program's file.
void copyMissing(const QString &from, const QString &to, const QString &sub, const QStringList &names = {})
{
    const QDir source(from + sub);
    if (!source.exists() || !QDir().mkpath(to + sub))
        return;
    for (const QFileInfo &f : source.entryInfoList(names, QDir::Files))
        CopyWholeFile(f.filePath(), to + sub + QLatin1Char('/') + f.fileName(), {.newOnly = true});
}

// Whether the user's data folder is used for the first time: its dat/ is missing or holds nothing but the data
// folder's lock, which the start takes (making dat/ for it) before it prepares the folder.
bool userFolderIsNew(const QString &folder)
{
    const QString lock = QFileInfo(DataFolderLock::LockFilePath(folder)).fileName();
    const QDir dat(folder + QStringLiteral("dat"));
    const QStringList names = dat.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    return std::all_of(names.cbegin(), names.cend(), [&](const QString &name) { return name.startsWith(lock); });
}

} // namespace

QString AppPath()
{
    QMutexLocker locker(&lock);
    return appPathLocked();
}

void SetAppPath(const QString &folder)
{
    QMutexLocker locker(&lock);
    overridePath = WithSlash(folder);
    decidedFor.clear();
}

void SetProgramFolderWritable(std::optional<bool> writable)
{
    QMutexLocker locker(&lock);
    writableOverride = writable;
    decidedFor.clear();
}

namespace {

// Decides once per program folder where the data lives; with the lock held.
const QString &unwritableDecided()
{
    const QString app = appPathLocked();
    if (decidedFor != app) {
        decidedFor = app;
        decidedUnwritable = unwritableFolder(app);
    }
    return decidedUnwritable;
}

} // namespace

QString DataPath()
{
    QMutexLocker locker(&lock);
    return unwritableDecided().isEmpty() ? appPathLocked() : userDataFolder();
}

QString UnwritableProgramFolder()
{
    QMutexLocker locker(&lock);
    return unwritableDecided();
}

bool MakeProgramFolders()
{
    const QString app = AppPath();
    const QString data = DataPath();
    bool ok = !data.isEmpty();
    if (ok) {
        for (const char *sub : kDataFolders)
            ok = QDir().mkpath(data + QLatin1String(sub)) && ok;
    }
    if (data == app) {
        for (const char *sub : {"compass", "skins"})
            ok = QDir().mkpath(app + QLatin1String(sub)) && ok;
    }
    return ok;
}

DataFolderSetup PrepareDataFolder()
{
    DataFolderSetup setup;
    setup.folder = DataPath();
    setup.inUserFolder = !setup.folder.isEmpty() && setup.folder != AppPath();
    setup.unwritable = UnwritableProgramFolder();
    if (setup.inUserFolder) {
        setup.firstUse = userFolderIsNew(setup.folder);
        copyMissing(AppPath(), setup.folder, QStringLiteral("dat"));
        // Once, the comment and floor-plan files that go with a case file found in the program folder (an
        // earlier install's, copied or migrated with it): a case deleted later does not come back with its files.
        if (setup.firstUse)
            copyMissing(AppPath(), setup.folder, QStringLiteral("Quorin_f"),
                        {QStringLiteral("*.rtf"), QStringLiteral("*.bmp")});
    }
    setup.ok = MakeProgramFolders();
    return setup;
}
