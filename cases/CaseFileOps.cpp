#include "CaseFileOps.h"

#include "FileLinks.h"
#include "FilePlace.h"
#include "FileRemove.h"
#include "FileWrite.h"
#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString &path) { return QFile::encodeName(path); }

} // namespace

CaseFileOps &CaseFileOps::standard()
{
    static CaseFileOps ops;
    return ops;
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
    return step("write") && CopyWholeFile(src, dst, {.sync = true, .syncFolder = true}, *this).ok();
}

bool CaseFileOps::writeFile(const QString &path, const QByteArray &bytes, bool durable)
{
    return step("write") && WriteWholeFile(path, bytes, {.sync = durable, .syncFolder = durable}, *this).ok();
}

bool CaseFileOps::createFile(const QString &path, const QByteArray &bytes)
{
    // The final name is taken only when free, so a file that appeared meanwhile is never overwritten.
    return step("create") && WriteWholeFile(path, bytes, {.sync = false, .newOnly = true}, *this).ok();
}

bool CaseFileOps::rename(const QString &src, const QString &dst)
{
    return step("rename") && ::rename(Native(src).constData(), Native(dst).constData()) == 0;
}

bool CaseFileOps::renameToFree(const QString &src, const QString &dst)
{
    return step("rename-free") && MoveToFreeName(src, dst, *this) == 0;
}

bool CaseFileOps::link(const QString &src, const QString &dst)
{
    return step("link") && AddSecondName(src, dst, *this) == 0;
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

bool CaseFileOps::removeFolder(const QString &path)
{
    // A plain file under the folder's name is no folder of the program's: it stays.
    return step("remove-folder") && (!isLink(path) && !isDir(path) ? true : RemoveTree(path, TreeDepth::OwnFilesOnly));
}

bool CaseFileOps::sweep(const QString &folder, const QString &alsoEndingIn)
{
    return step("sweep") && RemoveStoppedWrites(folder, alsoEndingIn);
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
    return step("sync") && SyncFolder(folder);
}
