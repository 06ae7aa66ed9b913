#pragma once

#include "FileCalls.h"

#include <QByteArrayView>
#include <QString>

// The program writes its files here (settings, window layout, comments, reports, pictures, plan steps, compass
// photographs, skin files, copies of case files and backups; the case database itself is SQLite's), so that a
// write either replaces the file whole or leaves it as it was, byte for byte, and never reports success for a
// file the disk did not take: a full disk, a file-size limit or a folder that cannot be written makes the write
// fail with the system's reason.
//
// The new content goes into a temporary file beside the target (TempFiles.h: made exclusively under a name no
// one can foresee, and locked while it is written); every byte is written, the file is synced, and only then is
// it renamed over the target. The rename replaces the target's name: a link there is replaced, never written
// through. A file that is replaced keeps its permissions. On failure the temporary file is removed. The target's
// folder must exist; a missing folder is a failure like any other. A file system that cannot sync at all
// (EINVAL, EROFS, ENOTSUP: some network, user-space and special ones) has taken the data as far as it can; that
// is no failure, where a sync that reports a lost write is.

enum class FileWriteError {
    None,
    Content, // the content could not be produced (a picture that cannot be encoded in the format)
    Read,    // the file to be copied could not be read whole (missing, not a regular file, an input/output error)
    Create,  // the temporary file could not be made: no such folder, no permission, a read-only disk
    Write,   // the disk did not take every byte: full, over a size limit, an input/output error
    Replace, // the temporary file could not take the target's name
    Exists,  // a new file only: the name is taken
};

struct FileWriteResult {
    FileWriteError error = FileWriteError::None;
    QString reason; // the system's text for the failure, in the user's language where the system has it
    int code = 0;   // the system's error number behind it, where there is one
    bool ok() const { return error == FileWriteError::None; }
};

struct FileWriteOptions {
    bool sync = true;        // the data is on the disk before it takes the name
    bool syncFolder = false; // and the new name is on the disk before the write returns
    bool newOnly = false;    // the name is taken only while no file has it (FilePlace.h); nothing is replaced
};

FileWriteResult WriteWholeFile(const QString &path, QByteArrayView bytes, const FileWriteOptions &options = {},
                               FileCalls &calls = FileCalls::real());

// A copy of the regular file src (a link to one too) at dst, read and written in pieces: a case file of
// hundreds of megabytes is never held in memory. A src that is no regular file is refused without waiting on it.
FileWriteResult CopyWholeFile(const QString &src, const QString &dst, const FileWriteOptions &options = {},
                              FileCalls &calls = FileCalls::real());

// Forces a folder's entries (new names, renames) to the disk; false when the folder cannot be synced.
bool SyncFolder(const QString &folder);

// The sentence for the user: "无法写入文件“path”：" with what failed and, in brackets, the system's reason.
QString FileWriteText(const QString &path, const FileWriteResult &result);
