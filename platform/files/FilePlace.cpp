#include "FilePlace.h"

#include "FileWrite.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A file system that makes no second name for a file: FAT and exFAT (EPERM), some network and user-space ones.
bool NoSecondNames(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOSYS; }

// A rename that the file system does not offer with the no-replace flag.
bool NoFreeRename(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

} // namespace

int MoveToFreeName(const QString &from, const QString &to, FileCalls &calls)
{
    const QByteArray src = QFile::encodeName(from), dst = QFile::encodeName(to);
    int rc = calls.renameNoReplace(src, dst);
    if (!NoFreeRename(rc))
        return rc;
    rc = calls.hardLink(src, dst);
    if (rc == 0) {
        ::unlink(src.constData());
        return 0;
    }
    if (!NoSecondNames(rc))
        return rc;
    const int fd = ::open(dst.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    ::close(fd);
    rc = !calls.step("claimed") ? EIO : ::rename(src.constData(), dst.constData()) == 0 ? 0 : errno;
    if (rc != 0)
        ::unlink(dst.constData()); // the claim, which holds nothing
    return rc;
}

int AddSecondName(const QString &src, const QString &dst, FileCalls &calls)
{
    const int rc = calls.hardLink(QFile::encodeName(src), QFile::encodeName(dst));
    if (rc == 0 || !NoSecondNames(rc))
        return rc;
    const FileWriteResult copied = CopyWholeFile(src, dst, {.sync = true, .syncFolder = false, .newOnly = true}, calls);
    return copied.ok() ? 0 : copied.error == FileWriteError::Exists ? EEXIST : copied.code ? copied.code : EIO;
}
