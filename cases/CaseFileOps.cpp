#include "CaseFileOps.h"

#include "FileRead.h"

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

} // namespace

CaseFileOps &CaseFileOps::standard()
{
    static CaseFileOps ops;
    return ops;
}

bool CaseFileOps::step(const char *) { return true; }

bool CaseFileOps::exists(const QString &path) { return QFileInfo::exists(path); }

bool CaseFileOps::isDir(const QString &path) { return QFileInfo(path).isDir(); }

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

bool CaseFileOps::writeFile(const QString &path, const QByteArray &bytes, bool durable)
{
    if (!step("write"))
        return false;
    const QByteArray part = Native(path + QStringLiteral(".part"));
    const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes.constData(), bytes.size());
    ok = (!durable || ::fsync(fd) == 0) && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok && step("write-rename") && ::rename(part.constData(), Native(path).constData()) == 0) {
        if (durable) // the new name on the disk too; a folder that cannot be synced still holds the file
            SyncPath(Native(FolderOf(path)), O_RDONLY | O_DIRECTORY);
        return true;
    }
    ::unlink(part.constData());
    return false;
}

bool CaseFileOps::createFile(const QString &path, const QByteArray &bytes)
{
    if (!step("create"))
        return false;
    const QByteArray part = Native(path + QStringLiteral(".part"));
    const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes.constData(), bytes.size());
    ok = ::close(fd) == 0 && ok;
    // The final name is taken only when free, so a file that appeared meanwhile is never overwritten; where the
    // file system cannot rename that way, a second name does the same.
    if (ok) {
        const QByteArray target = Native(path);
        if (::renameat2(AT_FDCWD, part.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
            return true;
        ok = (errno == EINVAL || errno == ENOSYS) && ::link(part.constData(), target.constData()) == 0;
    }
    ::unlink(part.constData());
    return ok;
}

bool CaseFileOps::rename(const QString &src, const QString &dst)
{
    return step("rename") && ::rename(Native(src).constData(), Native(dst).constData()) == 0;
}

bool CaseFileOps::link(const QString &src, const QString &dst)
{
    return step("link") && ::link(Native(src).constData(), Native(dst).constData()) == 0;
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
