#include "DataFolderLock.h"

#include "AppPath.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lock file's text, one value a line: process id, program, computer name, computer id, start time.
// The process id stands first, as it always has.
constexpr char kProgram[] = "Quorin";
constexpr qsizetype kMaxLockText = 4096;
// Readable to every user of a shared folder, whatever the umask of the program that made it.
constexpr mode_t kLockFileMode = 0644;

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString machineId() { return QString::fromLatin1(QSysInfo::machineUniqueId()); }

bool sameEntry(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Whether the open file is still the one at path: a holder that ends removes its file, and a start that opened it
// just before then must not hold a lock on a file no one else can find.
bool stillAt(int fd, const QByteArray &path)
{
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && S_ISREG(named.st_mode) &&
           sameEntry(opened, named);
}

DataFolderLock::Holder readHolder(int fd)
{
    DataFolderLock::Holder holder;
    QByteArray text(kMaxLockText, '\0');
    const ssize_t n = ::pread(fd, text.data(), size_t(text.size()), 0);
    if (n < 0) {
        holder.found = DataFolderLock::Found::Unreadable;
        return holder;
    }
    text.truncate(n);
    if (std::all_of(text.cbegin(), text.cend(), [](char c) { return c == '\0' || std::isspace(uchar(c)); })) {
        holder.found = DataFolderLock::Found::Empty;
        return holder;
    }
    const QList<QByteArray> lines = text.split('\n');
    bool numeric = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&numeric);
    const QString host = QString::fromUtf8(lines.value(2).trimmed());
    if (lines.size() < 3 || !numeric || pid <= 0 || lines.value(1).trimmed() != kProgram || host.isEmpty()) {
        holder.found = DataFolderLock::Found::NotUnderstood;
        return holder;
    }
    holder.pid = pid;
    holder.host = host;
    holder.since = QDateTime::fromString(QString::fromLatin1(lines.value(4).trimmed()), Qt::ISODate);
    // The computer's id tells two computers of one name apart; a file without one goes by the name.
    const QString id = QString::fromLatin1(lines.value(3).trimmed());
    const QString ownId = machineId();
    const bool sameComputer = (!id.isEmpty() && !ownId.isEmpty()) ? id == ownId : host == DataFolderLock::HostName();
    holder.found = sameComputer ? DataFolderLock::Found::Ours : DataFolderLock::Found::OtherHost;
    return holder;
}

// Best effort: the lock holds without its text (on a full disk), which only makes a refused start say less.
void writeHolder(int fd)
{
    const QByteArray text = QByteArray::number(qint64(::getpid())) + '\n' + kProgram + '\n' +
                            DataFolderLock::HostName().toUtf8() + '\n' + machineId().toLatin1() + '\n' +
                            QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + '\n';
    if (::ftruncate(fd, 0) == 0) {
        const ssize_t written = ::pwrite(fd, text.constData(), size_t(text.size()), 0);
        (void)written;
    }
}

// Clears the lock's name of what is not a lock file: a link or a pipe is removed as itself (a link's target is
// never touched), a folder is kept under a free name beside it.
bool clearName(const QByteArray &path, const struct stat &st, int &error)
{
    if (!S_ISDIR(st.st_mode)) {
        if (::unlink(path.constData()) == 0 || errno == ENOENT)
            return true;
        error = errno;
        return false;
    }
    for (int n = 1; n < 1000; ++n) {
        const QByteArray aside = path + ".old" + (n > 1 ? QByteArray::number(n) : QByteArray());
        struct stat taken {};
        if (::lstat(aside.constData(), &taken) == 0)
            continue;
        if (::rename(path.constData(), aside.constData()) == 0)
            return true;
        error = errno;
        return false;
    }
    error = EEXIST;
    return false;
}

QString known(const QString &value) { return value.isEmpty() ? QStringLiteral("不明") : value; }

// Who holds the lock, as far as its file says.
QString holderLine(const DataFolderLock::Holder &h)
{
    const QString since = h.since.isValid() ? h.since.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                            : QString();
    return QStringLiteral("电脑：%1，进程：%2，开始于：%3")
        .arg(known(h.host), known(h.pid > 0 ? QString::number(h.pid) : QString()), known(since));
}

} // namespace

DataFolderLock::DataFolderLock() = default;

DataFolderLock::~DataFolderLock() { release(); }

QString DataFolderLock::LockFilePath(const QString &dataFolder)
{
    return WithSlash(dataFolder) + QStringLiteral("dat/Quorin.lock");
}

QString DataFolderLock::HostName()
{
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QStringLiteral("localhost") : name;
}

QString DataFolderLock::InUseText(const QString &dataFolder, const Holder &holder)
{
    QString text = QStringLiteral("另一个正在运行的 Quorin 程序正在使用数据文件夹：\n%1\n\n")
                       .arg(QDir::toNativeSeparators(dataFolder));
    if (holder.pid > 0 || !holder.host.isEmpty())
        text += QStringLiteral("使用者：%1\n\n").arg(holderLine(holder));
    return text + QStringLiteral("同一个数据文件夹只能由一个程序使用，以免案例和设置互相覆盖。"
                                 "请切换到已经打开的程序，或者先关闭它再打开。");
}

QString DataFolderLock::TakeOverQuestion(const QString &dataFolder, const Holder &holder)
{
    const QString lockFile = QDir::toNativeSeparators(LockFilePath(dataFolder));
    QString found;
    switch (holder.found) {
    case Found::OtherHost:
        found = QStringLiteral("数据文件夹：\n%1\n\n被另一台电脑上的 Quorin 程序锁定（%2）。"
                               "也许那台电脑上的程序仍在使用它（例如网络共享的文件夹），"
                               "也许这个文件夹是在那个程序运行时复制或带过来的。")
                    .arg(QDir::toNativeSeparators(dataFolder), holderLine(holder));
        break;
    case Found::Unreadable:
        found = QStringLiteral("数据文件夹的锁文件无法读取，不知道是哪个程序锁定了这个文件夹：\n%1").arg(lockFile);
        break;
    case Found::NotAFile:
        found = QStringLiteral("数据文件夹的锁文件的位置上不是普通文件（而是文件夹、链接或其他）：\n%1\n"
                               "接管时链接只删除链接本身，文件夹则改名保留。")
                    .arg(lockFile);
        break;
    default:
        found = QStringLiteral("数据文件夹的锁文件无法识别，不知道是哪个程序锁定了这个文件夹：\n%1").arg(lockFile);
        break;
    }
    return found + QStringLiteral("\n\n如果另一个程序仍在使用这个数据文件夹，接管后两个程序会互相覆盖案例和设置，"
                                  "可能丢失数据。\n\n确定没有其他程序在使用它，要接管这个数据文件夹吗？");
}

QString DataFolderLock::EmptyLockNotice(const QString &dataFolder)
{
    return QStringLiteral("数据文件夹的锁文件是空的，也没有程序在使用这个数据文件夹：\n%1\n\n"
                          "这是上次软件没有正常结束时留下的（例如磁盘已满时），软件已经接管了这个数据文件夹。")
        .arg(QDir::toNativeSeparators(dataFolder));
}

QString DataFolderLock::UnlockableText(const QString &dataFolder, const QString &reason)
{
    return QStringLiteral("无法锁定数据文件夹：\n%1\n\n%2\n\n没有锁定，另一个程序可能同时改写案例和设置，"
                          "所以软件不能运行。请检查这个文件夹是否可以写入。")
        .arg(QDir::toNativeSeparators(dataFolder), reason);
}

DataFolderLock::Result DataFolderLock::Acquire(const QString &dataFolder)
{
    release();
    holder_ = {};
    reason_.clear();
    tookOverEmpty_ = false;
    folder_ = dataFolder;
    if (dataFolder.isEmpty())
        return unlockable(QStringLiteral("找不到可以存放数据的文件夹。"));
    if (!QDir().mkpath(WithSlash(dataFolder) + QStringLiteral("dat")))
        return unlockable(QStringLiteral("无法建立文件夹：%1").arg(QDir::toNativeSeparators(WithSlash(dataFolder) + "dat")));
    return acquire(false);
}

DataFolderLock::Result DataFolderLock::TakeOver()
{
    if (folder_.isEmpty())
        return unlockable(QStringLiteral("找不到可以存放数据的文件夹。"));
    if (fd_ >= 0 && writable_) // the lock of the file found is held already
        return hold(fd_);
    if (fd_ >= 0) { // found locked but not writable for us: a file of our own replaces it
        ::unlink(QFile::encodeName(LockFilePath(folder_)).constData());
        release();
    }
    return acquire(true);
}

DataFolderLock::Result DataFolderLock::hold(int fd)
{
    fd_ = fd;
    writable_ = held_ = true;
    (void)::fchmod(fd, kLockFileMode); // another user's file keeps its mode
    writeHolder(fd);
    holder_ = {};
    return Result::Held;
}

DataFolderLock::Result DataFolderLock::unlockable(const QString &why)
{
    release();
    reason_ = why;
    return Result::Unlockable;
}

void DataFolderLock::release()
{
    if (fd_ < 0)
        return;
    // Removed while still locked, so that the next start finds no file rather than one that looks taken.
    if (held_ && stillAt(fd_, QFile::encodeName(LockFilePath(folder_))))
        ::unlink(QFile::encodeName(LockFilePath(folder_)).constData());
    ::close(fd_);
    fd_ = -1;
    held_ = false;
    writable_ = false;
}

DataFolderLock::Result DataFolderLock::acquire(bool takeOver)
{
    const QString lockFile = LockFilePath(folder_);
    const QByteArray path = QFile::encodeName(lockFile);
    const auto failed = [&](int error) {
        return unlockable(QStringLiteral("%1\n（%2）").arg(QDir::toNativeSeparators(lockFile), systemText(error)));
    };
    // Each round meets the name in one state; a name that changes under it (a holder ending, another start) is
    // looked at again.
    for (int round = 0; round < 20; ++round) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0) {
            if (errno != ENOENT)
                return failed(errno);
            const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kLockFileMode);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return failed(errno);
            }
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !stillAt(fd, path)) {
                const int error = errno;
                ::close(fd);
                if (error == EWOULDBLOCK || error == ENOENT)
                    continue;
                return failed(error);
            }
            return hold(fd);
        }
        if (!S_ISREG(st.st_mode)) {
            if (!takeOver) {
                holder_ = {};
                holder_.found = Found::NotAFile;
                return Result::Unverified;
            }
            int error = 0;
            if (!clearName(path, st, error))
                return failed(error);
            takeOver = false; // what comes at the name next is looked at as it is
            continue;
        }
        bool writable = true;
        int fd = ::open(path.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno == EACCES) {
            writable = false;
            fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        }
        if (fd < 0) {
            if (errno == ENOENT || errno == ELOOP)
                continue;
            if (errno != EACCES)
                return failed(errno);
            if (!takeOver) {
                holder_ = {};
                holder_.found = Found::Unreadable;
                return Result::Unverified;
            }
            if (::unlink(path.constData()) != 0 && errno != ENOENT)
                return failed(errno);
            takeOver = false;
            continue;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || !sameEntry(opened, st)) {
            ::close(fd);
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            const Holder found = readHolder(fd);
            ::close(fd);
            if (error != EWOULDBLOCK)
                return failed(error);
            holder_ = found;
            return Result::InUse;
        }
        if (!stillAt(fd, path)) {
            ::close(fd);
            continue;
        }
        // No program holds it. One of this computer that ended without letting it go is simply followed, and so
        // is one whose holder could not leave its name.
        holder_ = readHolder(fd);
        const bool empty = holder_.found == Found::Empty;
        tookOverEmpty_ = tookOverEmpty_ || empty; // also when another user's is replaced by a file of our own
        if (holder_.found != Found::Ours && !empty && !takeOver) {
            fd_ = fd; // kept locked while the user decides, so that no other start slips in meanwhile
            writable_ = writable;
            return Result::Unverified;
        }
        if (!writable) { // another user's file: replaced by one this program can write
            if (::unlink(path.constData()) != 0 && errno != ENOENT) {
                const int error = errno;
                ::close(fd);
                return failed(error);
            }
            ::close(fd);
            continue;
        }
        return hold(fd);
    }
    return unlockable(QStringLiteral("锁文件一直在被其他程序改动：%1").arg(QDir::toNativeSeparators(lockFile)));
}
