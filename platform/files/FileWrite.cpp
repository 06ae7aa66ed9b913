#include "FileWrite.h"

#include <QDir>
#include <QDirIterator>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(FileWriteError::Create, file.errorString());
    // The descriptor is written and synced directly: QFile drops the system's reason of a short write, and the
    // Qt 6.4 commit() renames a file whose final buffered flush failed. Nothing is left for commit() to flush.
    int error = writeAll(file.handle(), bytes.data(), bytes.size());
    if (error == 0)
        error = syncToDisk(file.handle());
    if (error != 0) {
        file.cancelWriting(); // the temporary file is removed, the target is not touched
        return failed(FileWriteError::Write, qt_error_string(error));
    }
    if (!file.commit())
        return failed(FileWriteError::Replace, file.errorString());
    return {};
}

namespace {

// The writer's temporary for a target ending in one of `suffixes`: the target's name followed by "." and six
// letters.
bool IsStoppedWriteName(const QString &fileName, const QStringList &suffixes)
{
    // The writer's temporary is made from the target's name with six random letters added.
    constexpr qsizetype kRandomPart = 6;
    const qsizetype target = fileName.size() - kRandomPart - 1;
    if (target <= 0 || fileName[target] != QLatin1Char('.'))
        return false;
    for (qsizetype i = target + 1; i < fileName.size(); ++i) {
        const char16_t c = fileName[i].unicode();
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            return false;
    }
    const QStringView name = QStringView(fileName).left(target);
    return std::any_of(suffixes.begin(), suffixes.end(),
                       [&](const QString &suffix) { return name.size() > suffix.size() && name.endsWith(suffix); });
}

} // namespace

bool RemoveStoppedWrites(const QString &folder, const QStringList &suffixes)
{
    bool ok = true;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        if (IsStoppedWriteName(it.fileName(), suffixes))
            ok = QFile::remove(it.filePath()) && ok;
    }
    return ok;
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
