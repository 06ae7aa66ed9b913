#pragma once

#include <QString>

// The room left for this user on the disk that holds path (a file or a folder; for a name not made yet, the
// nearest folder of it that exists), in bytes; -1 when the system cannot say.
qint64 FreeBytes(const QString &path);

// Whether writing `needed` bytes at path failed for want of room: the system said so (errorNumber ENOSPC, or
// EDQUOT for a user's quota), or the disk has less room left than needed. A caller that cannot keep the system's
// error number (a step made of several calls) still learns it from the room left.
bool OutOfRoom(const QString &path, int errorNumber, qint64 needed);

// A size for the user: "12 字节", "3.4 KB", "56.7 MB", "1.2 GB".
QString SizeText(qint64 bytes);
