#pragma once

#include <QFile>
#include <QString>

// Opens path for reading only when it is a regular file (a link to one too), and never waits: a named pipe, a
// socket or a device under a file's name is refused at once, where a plain open of a pipe would wait for a
// writer that never comes. False leaves file closed.
bool OpenRegularFile(QFile &file, const QString &path);

// How an opening for reading ended, for a caller that treats a missing file apart from one it cannot read.
enum class ReadOpening {
    Opened,
    Missing,        // nothing at path (a dangling link, a folder of the path that is a file, count as nothing)
    NotRegularFile, // a folder, a pipe, a socket or a device at path
    Failed          // the system refused (no permission, an input/output error): see the error number
};

// OpenRegularFile, saying how it ended; `error` takes the system's error number of Failed.
ReadOpening OpenRegularFileFor(QFile &file, const QString &path, int *error = nullptr);
