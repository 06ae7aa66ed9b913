#include "TempFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 12 characters of 62: 71 bits from the system's generator, which no other program can foresee.
QString RandomPart()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int kLength = 12;
    QString part(kLength, Qt::Uninitialized);
    for (QChar &c : part)
        c = QLatin1Char(kChars[QRandomGenerator::system()->bounded(62)]);
    return part;
}

} // namespace

bool IsTemporaryName(QStringView fileName)
{
    const QLatin1StringView mark(kTemporaryMark);
    return fileName.size() > mark.size() && fileName.startsWith(mark);
}

int CreateTemporaryBeside(const QString &target, QString &tempPath, unsigned mode)
{
    const QString folder = QFileInfo(target).path() + QLatin1Char('/');
    // A name that is taken already (by chance, or by someone's guess) is passed over for another.
    constexpr int kTries = 16;
    for (int i = 0; i < kTries; ++i) {
        tempPath = folder + QLatin1String(kTemporaryMark) + RandomPart();
        const int fd = ::open(QFile::encodeName(tempPath).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode_t(mode));
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool RemoveStoppedWrites(const QString &folder)
{
    // One pass over the folder's names through the system's directory reader: a case folder may hold a hundred
    // thousand files, and only the few names with the mark are looked at further.
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return errno == ENOENT;
    const int dirFd = ::dirfd(dir);
    const QByteArray mark(kTemporaryMark);
    bool ok = true;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArrayView name(e->d_name);
        if (!name.startsWith(mark) || name.size() == mark.size())
            continue;
        struct stat st {};
        if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode))
            continue;
        ok = (::unlinkat(dirFd, e->d_name, 0) == 0 || errno == ENOENT) && ok;
    }
    ::closedir(dir);
    return ok;
}
