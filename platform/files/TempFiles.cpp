#include "TempFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <map>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kRandomLength = 12;

// 12 characters of 62: 71 bits from the system's generator, which no other program can foresee.
QString RandomPart()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString part(kRandomLength, Qt::Uninitialized);
    for (QChar &c : part)
        c = QLatin1Char(kChars[QRandomGenerator::system()->bounded(62)]);
    return part;
}

// The byte the writer's lock covers: past the end of any file, and far from the bytes SQLite locks (at 1 GiB).
constexpr off_t kLockedByte = off_t(1) << 62;

// 0 when the lock of the open file is taken; with wait off, EAGAIN or EACCES while another holds it.
int LockAsWritten(int fd, bool wait)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kLockedByte;
    lock.l_len = 1;
    while (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) != 0)
        if (errno != EINTR)
            return errno;
    return 0;
}

bool SameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether the name still names the file open at fd.
bool Names(int dirFd, const char *name, int fd)
{
    struct stat byName {}, open {};
    return ::fstat(fd, &open) == 0 && ::fstatat(dirFd, name, &byName, AT_SYMLINK_NOFOLLOW) == 0 &&
           SameFile(open, byName);
}

bool Unlinked(int dirFd, const QByteArray &name) { return ::unlinkat(dirFd, name.constData(), 0) == 0 || errno == ENOENT; }

// Removes a temporary and its companions unless a program still writes it. False when one that no one writes
// stays.
bool RemoveUnlessWritten(int dirFd, const QByteArray &base, const std::vector<QByteArray> &companions)
{
    struct stat st {};
    int fd = -1;
    const bool there = ::fstatat(dirFd, base.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (there) {
        if (S_ISDIR(st.st_mode))
            return true; // no temporary: the program makes none as a folder
        if (S_ISREG(st.st_mode)) {
            // Opened for writing, as the lock asks, without waiting on anything and without changing a byte.
            fd = ::openat(dirFd, base.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            if (fd < 0)
                return errno == ENOENT || errno == EACCES || errno == EPERM; // gone, or not this user's to ask
            // Its writer holds the lock, or the lock cannot be asked here: it stays. Held until the names are gone,
            // so that no writer takes the file up meanwhile.
            if (LockAsWritten(fd, false) != 0 || !Names(dirFd, base.constData(), fd)) {
                ::close(fd);
                return true;
            }
        }
        // Anything else under the mark (a link, a pipe) is no file a program writes: it goes as it is.
    }
    bool ok = true;
    for (const QByteArray &name : companions) {
        struct stat c {};
        if (name != base && ::fstatat(dirFd, name.constData(), &c, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(c.st_mode))
            ok = Unlinked(dirFd, name) && ok;
    }
    if (there)
        ok = Unlinked(dirFd, base) && ok;
    if (fd >= 0)
        ::close(fd);
    return ok;
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
    // A name that is taken already (by chance, or by someone's guess) is passed over for another, and so is one
    // that a sweep took away between the making and the lock.
    constexpr int kTries = 16;
    for (int i = 0; i < kTries; ++i) {
        tempPath = folder + QLatin1String(kTemporaryMark) + RandomPart();
        const QByteArray name = QFile::encodeName(tempPath);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode_t(mode));
        if (fd < 0 && errno != EEXIST)
            return -1;
        if (fd < 0)
            continue;
        // A disk without locks (ENOLCK) still takes the file: the sweep, which cannot ask there either, leaves it.
        LockAsWritten(fd, true);
        if (Names(AT_FDCWD, name.constData(), fd))
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

TemporaryFile::~TemporaryFile()
{
    if (!path_.isEmpty())
        ::unlink(QFile::encodeName(path_).constData()); // while the lock is held: no one else's file
    closeWriting();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool TemporaryFile::create(const QString &target, unsigned mode)
{
    fd_ = CreateTemporaryBeside(target, path_, mode);
    if (fd_ < 0) {
        path_.clear();
        return false;
    }
    lockFd_ = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    return true;
}

int TemporaryFile::closeWriting()
{
    if (fd_ < 0)
        return 0;
    const int rc = ::close(fd_) == 0 || errno == EINTR ? 0 : errno;
    fd_ = -1;
    return rc;
}

void TemporaryFile::placed()
{
    path_.clear();
    closeWriting();
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = -1;
}

bool RemoveStoppedWrites(const QString &folder, QStringView alsoEndingIn)
{
    // One pass over the folder's names through the system's directory reader: a case folder may hold a hundred
    // thousand files, and only the few names with the mark are looked at further.
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return errno == ENOENT;
    const int dirFd = ::dirfd(dir);
    const QByteArray mark(kTemporaryMark);
    const QByteArray also = QFile::encodeName(alsoEndingIn.toString());
    // Each temporary with the names that begin with its name (its journal), read before any is removed.
    std::map<QByteArray, std::vector<QByteArray>> groups;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name.startsWith(mark) && name.size() > mark.size())
            groups[name.left(mark.size() + kRandomLength)].push_back(name);
        else if (!also.isEmpty() && name.endsWith(also))
            groups[name].push_back(name);
    }
    bool ok = true;
    for (const auto &[base, names] : groups)
        ok = RemoveUnlessWritten(dirFd, base, names) && ok;
    ::closedir(dir);
    return ok;
}
