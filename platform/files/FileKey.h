#pragma once

#include <QString>

#include <optional>

// Which file a path names, as the file system numbers it: its device and inode number. Equal keys name one file;
// keys that differ need not name two, since some file systems (FAT and exFAT, FUSE, some network shares) give a
// file a new number when they read it back into their cache.
struct FileKey {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FileKey &, const FileKey &) = default;
};

// The key of the file path names (a link followed); none when nothing is there or it cannot be asked.
std::optional<FileKey> FileKeyOf(const QString &path);
