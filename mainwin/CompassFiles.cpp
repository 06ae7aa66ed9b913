#include "CompassFiles.h"

#include "AppPath.h"

#include <QDir>

QString UserCompassFolder()
{
    return DataPath() + QStringLiteral("compass/");
}

QList<CompassFile> CompassPictures()
{
    const QString shipped = AppPath() + QStringLiteral("compass/");
    QStringList folders{shipped};
    const QString user = UserCompassFolder();
    if (!DataPath().isEmpty() && QDir(user).absolutePath() != QDir(shipped).absolutePath())
        folders << user;
    QList<CompassFile> list;
    QStringList seen; // lower-cased names
    for (const QString &folder : folders) {
        const QFileInfoList files =
            QDir(folder).entryInfoList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &f : files) {
            const QString name = f.fileName().chopped(4);
            if (seen.contains(name.toLower()))
                continue;
            seen << name.toLower();
            list.append({name, folder + f.fileName()});
        }
    }
    return list;
}
