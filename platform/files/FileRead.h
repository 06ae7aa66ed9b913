#pragma once

#include <QFile>
#include <QString>

// Opens path for reading only when it is a regular file (a link to one too), and never waits: a named pipe, a
// socket or a device under a file's name is refused at once, where a plain open of a pipe would wait for a
// writer that never comes. False leaves file closed.
bool OpenRegularFile(QFile &file, const QString &path);
