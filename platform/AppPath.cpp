#include "AppPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTemporaryFile>

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
bool decidedWritable = true;

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

// Whether a file can be made in the program's dat/ (or in the program folder while dat/ is not there). The
// access bits alone do not answer it: a read-only mount or an administrator's account says otherwise.
bool programFolderWritable(const QString &app)
{
    if (writableOverride)
        return *writableOverride;
    const QString dat = app + QStringLiteral("dat");
    QTemporaryFile probe((QFileInfo(dat).isDir() ? dat : app) + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}

QString userDataFolder()
{
    return WithSlash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

// Copies the shipped files of from/dat/ that to/dat/ lacks; a copy of a read-only file is made writable.
void copyShippedDefaults(const QString &from, const QString &to)
{
    const QDir shipped(from + QStringLiteral("dat"));
    for (const QFileInfo &f : shipped.entryInfoList(QDir::Files)) {
        const QString target = to + QStringLiteral("dat/") + f.fileName();
        if (QFileInfo::exists(target) || !QFile::copy(f.filePath(), target))
            continue;
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
    }
}

// Copies the comment and floor-plan files of from/Quorin_f/ that to/Quorin_f/ lacks, so that the cases of a case
// file found in the program folder (an earlier install's, copied or migrated into the user's folder) keep them.
void copyCaseFiles(const QString &from, const QString &to)
{
    const QDir cases(from + QStringLiteral("Quorin_f"));
    if (!cases.exists() || !QDir().mkpath(to + QStringLiteral("Quorin_f")))
        return;
    for (const QFileInfo &f : cases.entryInfoList({QStringLiteral("*.rtf"), QStringLiteral("*.bmp")}, QDir::Files)) {
        const QString target = to + QStringLiteral("Quorin_f/") + f.fileName();
        if (QFileInfo::exists(target) || !QFile::copy(f.filePath(), target))
            continue;
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
    }
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

QString DataPath()
{
    QMutexLocker locker(&lock);
    const QString app = appPathLocked();
    if (decidedFor != app) {
        decidedFor = app;
        decidedWritable = programFolderWritable(app);
    }
    return decidedWritable ? app : userDataFolder();
}

bool MakeProgramFolders()
{
    const QString app = AppPath();
    const QString data = DataPath();
    bool ok = !data.isEmpty();
    if (ok) {
        for (const char *sub : {"dat", "Quorin_f", "picTemp"})
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
    if (setup.inUserFolder) {
        setup.firstUse = !QFileInfo::exists(setup.folder + QStringLiteral("dat"));
        if (QDir().mkpath(setup.folder + QStringLiteral("dat")))
            copyShippedDefaults(AppPath(), setup.folder);
        if (setup.firstUse) // once: a case deleted later does not come back with its files
            copyCaseFiles(AppPath(), setup.folder);
    }
    setup.ok = MakeProgramFolders();
    return setup;
}
