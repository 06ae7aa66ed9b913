#include "FileWrite.h"

#include "TempFiles.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

FileWriteResult failed(FileWriteError error, const QString &reason) { return {error, reason}; }

// 0 when every byte is on the descriptor, else the system's error number.
int writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qsizetype>(size, qsizetype(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        size -= n;
    }
    return 0;
}

// 0 when the data is on the disk. A file system that cannot sync (EINVAL) has taken the data as far as it can;
// a disk that reports the lost write only now (network and some local file systems) fails here.
int syncToDisk(int fd)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return errno == EINVAL ? 0 : errno;
    }
    return 0;
}

} // namespace

FileWriteResult WriteWholeFile(const QString &path, QByteArrayView bytes)
{
    QString temp;
    const int fd = CreateTemporaryBeside(path, temp);
    if (fd < 0)
        return failed(FileWriteError::Create, qt_error_string(errno));
    // A file that is replaced keeps its permissions (a file system without them refuses; that is no failure).
    struct stat old {};
    if (::lstat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    int error = writeAll(fd, bytes.data(), bytes.size());
    if (error == 0)
        error = syncToDisk(fd);
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    const QByteArray tempName = QFile::encodeName(temp);
    if (error != 0) {
        ::unlink(tempName.constData()); // the target is not touched
        return failed(FileWriteError::Write, qt_error_string(error));
    }
    if (::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        error = errno;
        ::unlink(tempName.constData());
        return failed(FileWriteError::Replace, qt_error_string(error));
    }
    return {};
}

QString FileWriteText(const QString &path, const FileWriteResult &result)
{
    QString what;
    switch (result.error) {
    case FileWriteError::None:
        return {};
    case FileWriteError::Content:
        what = QStringLiteral("无法生成文件的内容");
        break;
    case FileWriteError::Create:
        what = QStringLiteral("无法建立文件，文件夹可能不存在或者没有写入权限");
        break;
    case FileWriteError::Write:
        what = QStringLiteral("写入出错，磁盘可能已满");
        break;
    case FileWriteError::Replace:
        what = QStringLiteral("无法替换原来的文件");
        break;
    }
    QString text = QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), what);
    if (!result.reason.isEmpty())
        text += QStringLiteral("（%1）").arg(result.reason);
    return text;
}
