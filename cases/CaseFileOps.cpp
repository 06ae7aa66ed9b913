#include "CaseFileOps.h"

#include "FileRead.h"
#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <stdio.h> // renameat2

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString &path) { return QFile::encodeName(path); }

bool WriteAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool SyncPath(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

QString FolderOf(const QString &path) { return QFileInfo(path).absolutePath(); }

QString Unslashed(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// A file system that makes no second name for a file: FAT and exFAT (EPERM), some network and user-space ones.
bool IsNoLinks(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOSYS; }

} // namespace

CaseFileOps &CaseFileOps::standard()
{
    static CaseFileOps ops;
    return ops;
}

bool CaseFileOps::step(const char *) { return true; }

int CaseFileOps::hardLink(const QByteArray &from, const QByteArray &to)
{
    return ::link(from.constData(), to.constData()) == 0 ? 0 : errno;
}

int CaseFileOps::renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

bool CaseFileOps::exists(const QString &path) { return QFileInfo::exists(path); }

bool CaseFileOps::isDir(const QString &path) { return QFileInfo(path).isDir(); }

bool CaseFileOps::isLink(const QString &path)
{
    struct stat st {};
    return ::lstat(Native(Unslashed(path)).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool CaseFileOps::isFile(const QString &path) { return QFileInfo(path).isFile(); }

bool CaseFileOps::copyFile(const QString &src, const QString &dst)
{
    QFile in;
    if (!OpenRegularFile(in, src))
        return false;
    QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    return writeFile(dst, bytes);
}

QString CaseFileOps::writeTemporary(const QString &path, const QByteArray &bytes, bool durable)
{
    QString temp;
    const int fd = CreateTemporaryBeside(path, temp, 0644);
    if (fd < 0)
        return {};
    bool ok = WriteAll(fd, bytes.constData(), bytes.size());
    ok = (!durable || ::fsync(fd) == 0) && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        return temp;
    ::unlink(Native(temp).constData());
    return {};
}

bool CaseFileOps::writeFile(const QString &path, const QByteArray &bytes, bool durable)
{
    if (!step("write"))
        return false;
    const QString temp = writeTemporary(path, bytes, durable);
    if (temp.isEmpty())
        return false;
    if (step("write-rename") && ::rename(Native(temp).constData(), Native(path).constData()) == 0) {
        if (durable) // the new name on the disk too; a folder that cannot be synced still holds the file
            SyncPath(Native(FolderOf(path)), O_RDONLY | O_DIRECTORY);
        return true;
    }
    ::unlink(Native(temp).constData());
    return false;
}

int CaseFileOps::moveToFree(const QByteArray &from, const QByteArray &to)
{
    int rc = renameNoReplace(from, to);
    if (rc != EINVAL && rc != ENOSYS && rc != EOPNOTSUPP)
        return rc;
    rc = hardLink(from, to);
    if (rc == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (!IsNoLinks(rc))
        return rc;
    // Neither call: the name is claimed by a file made only when nothing has the name, and the file is renamed
    // over that claim, which is no one's file but this one's.
    const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    ::close(fd);
    if (::rename(from.constData(), to.constData()) == 0)
        return 0;
    rc = errno;
    ::unlink(to.constData());
    return rc;
}

bool CaseFileOps::placeTemporary(const QString &temp, const QString &target)
{
    if (moveToFree(Native(temp), Native(target)) == 0)
        return true;
    ::unlink(Native(temp).constData());
    return false;
}

bool CaseFileOps::createFile(const QString &path, const QByteArray &bytes)
{
    if (!step("create"))
        return false;
    const QString temp = writeTemporary(path, bytes, false);
    // The final name is taken only when free, so a file that appeared meanwhile is never overwritten.
    return !temp.isEmpty() && placeTemporary(temp, path);
}

bool CaseFileOps::rename(const QString &src, const QString &dst)
{
    return step("rename") && ::rename(Native(src).constData(), Native(dst).constData()) == 0;
}

bool CaseFileOps::renameToFree(const QString &src, const QString &dst)
{
    return step("rename-free") && moveToFree(Native(src), Native(dst)) == 0;
}

bool CaseFileOps::link(const QString &src, const QString &dst)
{
    if (!step("link"))
        return false;
    const int rc = hardLink(Native(src), Native(dst));
    if (rc == 0 || !IsNoLinks(rc))
        return rc == 0;
    // No second names on this disk: a copy under the new name, never over a file that has it.
    QFile in;
    if (!OpenRegularFile(in, src))
        return false;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return false;
    const QString temp = writeTemporary(dst, bytes, true);
    return !temp.isEmpty() && placeTemporary(temp, dst);
}

bool CaseFileOps::remove(const QString &path)
{
    return step("remove") && (::unlink(Native(path).constData()) == 0 || errno == ENOENT);
}

bool CaseFileOps::makeDir(const QString &path)
{
    return step("mkdir") && QDir().mkpath(path);
}

bool CaseFileOps::removeDir(const QString &path)
{
    return step("rmdir") && (::rmdir(Native(path).constData()) == 0 || errno == ENOENT);
}

bool CaseFileOps::list(const QString &folder, QStringList &names)
{
    if (!step("list"))
        return false;
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return false;
    names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    return true;
}

bool CaseFileOps::syncDir(const QString &folder)
{
    return step("sync") && SyncPath(Native(folder), O_RDONLY | O_DIRECTORY);
}
