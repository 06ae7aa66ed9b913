#pragma once

// A file system of a test's own: a real disk that fills, or a second disk.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/mount.h>

// A tmpfs of `kb` kilobytes at `folder` (made if need be), unmounted with whatever is mounted below it when the
// object goes. mounted() is false where this process may not mount one; `folder` is then a plain folder.
class SmallDisk {
public:
    SmallDisk(const QString &folder, int kb) : folder_(folder)
    {
        QDir().mkpath(folder);
        const QByteArray size = "size=" + QByteArray::number(kb) + "k";
        mounted_ = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, size.constData()) == 0;
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

    // Fills the disk to its last byte with a file named "fill".
    void fill() const
    {
        QFile f(QDir(folder_).filePath("fill"));
        if (!f.open(QIODevice::WriteOnly))
            return;
        const QByteArray block(4096, 'x');
        for (qint64 n = block.size(); n >= 1; n /= 2) // whole pages, then the last part of one
            while (f.write(block.left(n)) == n && f.flush()) {
            }
    }

private:
    QString folder_;
    bool mounted_ = false;
};
