#include "FileWrite.h"

#include "FilePlace.h"
#include "FileRead.h"
#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileWriteResult Failed(FileWriteError error, int code) { return {error, qt_error_string(code), code}; }

// 0 when every byte is on the descriptor, else the system's error number.
int WriteAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, qint64(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        size -= n;
    }
    return 0;
}

// A sync that the file system does not offer at all: the data has gone as far as it can.
bool CannotSync(int error) { return error == EINVAL || error == EROFS || error == ENOTSUP || error == ENOSYS; }

// Copies are read and written in pieces of this size.
constexpr qint64 kPiece = qint64(1) << 20;

// Puts the content into the temporary open at fd: no failure, or Read (the content could not be had) or Write
// (the disk did not take it) with the system's error number.
using Filler = std::function<FileWriteResult(int fd)>;

// The one road: the content put by fill into a temporary beside path, which then takes path's name.
FileWriteResult WriteThrough(const QString &path, const Filler &fill, const FileWriteOptions &options,
                             FileCalls &calls)
{
    TemporaryFile temp;
    if (!temp.create(path))
        return Failed(FileWriteError::Create, errno);
    const QByteArray target = QFile::encodeName(path);
    // A file that is replaced keeps its permissions (a file system without them refuses; that is no failure).
    struct stat old {};
    if (!options.newOnly && ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(temp.fd(), old.st_mode & 07777);
    if (const FileWriteResult filled = fill(temp.fd()); !filled.ok())
        return filled;
    if (options.sync)
        if (const int error = calls.sync(temp.fd()); error != 0 && !CannotSync(error))
            return Failed(FileWriteError::Write, error);
    if (const int error = temp.closeWriting())
        return Failed(FileWriteError::Write, error);
    if (!calls.step("written"))
        return Failed(FileWriteError::Write, EIO);
    if (options.newOnly) {
        if (const int error = MoveToFreeName(temp.path(), path, calls))
            return Failed(error == EEXIST ? FileWriteError::Exists : FileWriteError::Replace, error);
    } else if (::rename(QFile::encodeName(temp.path()).constData(), target.constData()) != 0) {
        return Failed(FileWriteError::Replace, errno);
    }
    temp.placed();
    if (options.syncFolder) // a folder that cannot be synced still holds the file
        SyncFolder(QFileInfo(path).absolutePath());
    return {};
}

} // namespace

FileWriteResult WriteWholeFile(const QString &path, QByteArrayView bytes, const FileWriteOptions &options,
                               FileCalls &calls)
{
    return WriteThrough(
        path,
        [bytes](int fd) {
            const int error = WriteAll(fd, bytes.data(), bytes.size());
            return error ? Failed(FileWriteError::Write, error) : FileWriteResult{};
        },
        options, calls);
}

FileWriteResult CopyWholeFile(const QString &src, const QString &dst, const FileWriteOptions &options,
                              FileCalls &calls)
{
    QFile in;
    int error = 0;
    switch (OpenRegularFileFor(in, src, &error)) {
    case ReadOpening::Opened:
        break;
    case ReadOpening::Missing:
        return Failed(FileWriteError::Read, ENOENT);
    case ReadOpening::NotRegularFile:
        return Failed(FileWriteError::Read, EINVAL);
    case ReadOpening::Failed:
        return Failed(FileWriteError::Read, error ? error : EIO);
    }
    const int from = in.handle();
    return WriteThrough(
        dst,
        [from](int fd) {
            const std::unique_ptr<char[]> piece(new char[kPiece]);
            for (;;) {
                const ssize_t n = ::read(from, piece.get(), size_t(kPiece));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    return n < 0 ? Failed(FileWriteError::Read, errno) : FileWriteResult{};
                if (const int error = WriteAll(fd, piece.get(), n))
                    return Failed(FileWriteError::Write, error);
            }
        },
        options, calls);
}

bool SyncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const int error = FileCalls::real().sync(fd);
    ::close(fd);
    return error == 0 || CannotSync(error);
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
    case FileWriteError::Read:
        what = QStringLiteral("无法读取要复制的文件");
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
    case FileWriteError::Exists:
        what = QStringLiteral("已经有同名的文件");
        break;
    }
    QString text = QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), what);
    if (!result.reason.isEmpty())
        text += QStringLiteral("（%1）").arg(result.reason);
    return text;
}
