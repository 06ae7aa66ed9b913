#include "AppPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace {

QMutex overrideLock;
QString overridePath;

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString executableFolder()
{
    // Before the application object exists (or without one, in engine tests) ask the system directly.
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

} // namespace

QString AppPath()
{
    {
        QMutexLocker lock(&overrideLock);
        if (!overridePath.isEmpty())
            return overridePath;
    }
    return withSlash(executableFolder());
}

void SetAppPath(const QString &folder)
{
    QMutexLocker lock(&overrideLock);
    overridePath = folder.isEmpty() ? QString() : withSlash(folder);
}

bool MakeProgramFolders()
{
    const QString app = AppPath();
    bool ok = true;
    for (const char *sub : {"dat", "Quorin_f", "picTemp", "compass", "skins"})
        ok = QDir().mkpath(app + QLatin1String(sub)) && ok;
    return ok;
}
