#include "FileKey.h"

#include <QFile>

#include <sys/stat.h>

std::optional<FileKey> FileKeyOf(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileKey{quint64(st.st_dev), quint64(st.st_ino)};
}
