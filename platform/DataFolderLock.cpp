#include "DataFolderLock.h"

#include "AppPath.h"

#include <QDir>
#include <QLockFile>

DataFolderLock::DataFolderLock() = default;

DataFolderLock::~DataFolderLock() = default;

QString DataFolderLock::LockFilePath(const QString &dataFolder)
{
    return WithSlash(dataFolder) + QStringLiteral("Quorin.lock");
}

QString DataFolderLock::InUseText(const QString &dataFolder)
{
    return QStringLiteral("另一个正在运行的 Quorin 程序正在使用数据文件夹：\n%1\n\n"
                          "同一个数据文件夹只能由一个程序使用，以免案例和设置互相覆盖。"
                          "请切换到已经打开的程序，或者先关闭它再打开。")
        .arg(QDir::toNativeSeparators(dataFolder));
}

DataFolderLock::Result DataFolderLock::Acquire(const QString &dataFolder)
{
    lock_.reset();
    if (dataFolder.isEmpty() || !QDir().mkpath(dataFolder))
        return Result::Unlockable;
    auto lock = std::make_unique<QLockFile>(LockFilePath(dataFolder));
    // Only a holder that is no longer running gives the lock up: by default a lock older than 30 s counts as
    // stale, which would let a second start take over from a program that has simply been open a while.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        return Result::Held;
    }
    return lock->error() == QLockFile::LockFailedError ? Result::InUse : Result::Unlockable;
}
