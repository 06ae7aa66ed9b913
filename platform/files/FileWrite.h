#pragma once

#include <QByteArrayView>
#include <QString>

// The program writes its files here (settings, window layout, comments, reports, pictures, plan steps, compass
// photographs, skin files; the case database is SQLite's), so that a write either replaces the file whole or
// leaves it as it was, byte for byte, and never reports success for a file the disk did not take: a full disk,
// a file-size limit or a folder that cannot be written makes the write fail with the system's reason.
//
// The new content goes into a temporary file beside the target (TempFiles.h: made exclusively under a name no
// one can foresee); every byte is written, the file is synced, and only then is it renamed over the target. The
// rename replaces the target's name: a link there is replaced, never written through. A file that is replaced
// keeps its permissions. On failure the temporary file is removed. The target's folder must exist; a missing
// folder is a failure like any other.

enum class FileWriteError {
    None,
    Content, // the content could not be produced (a picture that cannot be encoded in the format)
    Create,  // the temporary file could not be made: no such folder, no permission, a read-only disk
    Write,   // the disk did not take every byte: full, over a size limit, an input/output error
    Replace, // the temporary file could not take the target's name
};

struct FileWriteResult {
    FileWriteError error = FileWriteError::None;
    QString reason; // the system's text for the failure, in the user's language where the system has it
    bool ok() const { return error == FileWriteError::None; }
};

FileWriteResult WriteWholeFile(const QString &path, QByteArrayView bytes);

// The sentence for the user: "无法写入文件“path”：" with what failed and, in brackets, the system's reason.
QString FileWriteText(const QString &path, const FileWriteResult &result);
