#include "DiskSpace.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <sys/statvfs.h>

qint64 FreeBytes(const QString &path)
{
    QString p = QFileInfo(path).absoluteFilePath();
    for (;;) {
        struct statvfs st {};
        if (::statvfs(QFile::encodeName(p).constData(), &st) == 0)
            return qint64(st.f_bavail) * qint64(st.f_frsize);
        if (errno != ENOENT && errno != ENOTDIR)
            return -1;
        const QString up = QFileInfo(p).absolutePath();
        if (up == p)
            return -1;
        p = up;
    }
}

bool OutOfRoom(const QString &path, int errorNumber, qint64 needed)
{
    if (errorNumber == ENOSPC || errorNumber == EDQUOT)
        return true;
    const qint64 free = FreeBytes(path);
    return free >= 0 && free < std::max<qint64>(needed, 1);
}

QString SizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 字节").arg(bytes);
    static const char *const units[] = {"KB", "MB", "GB", "TB"};
    double size = double(bytes) / 1024;
    int unit = 0;
    for (; size >= 1024 && unit < 3; ++unit)
        size /= 1024;
    return QString::number(size, 'f', 1) + QLatin1Char(' ') + QLatin1String(units[unit]);
}
