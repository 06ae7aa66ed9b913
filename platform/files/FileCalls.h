#pragma once

#include <QByteArray>

// The calls of the file roads (FileWrite.h, FilePlace.h) that a disk may lack, and the one place where a test
// stops a road between two of its steps or stands in for such a disk. Every road takes the real calls unless it
// is handed others.
class FileCalls {
public:
    virtual ~FileCalls() = default;

    // The system's own calls.
    static FileCalls &real();

    // Called before each step of a road with a short name of it ("written": the temporary is whole and about to
    // take its name; "claimed": a free name is claimed by an empty file that the temporary is about to be renamed
    // over); false makes that step fail as an input/output error would.
    virtual bool step(const char *what);

    // 0 or the system's error number.
    // A second name for a file; FAT and exFAT have none (EPERM).
    virtual int hardLink(const QByteArray &from, const QByteArray &to);
    // A rename that fails with EEXIST when the new name is taken; FAT through some drivers and many network file
    // systems lack it (EINVAL).
    virtual int renameNoReplace(const QByteArray &from, const QByteArray &to);
    // Flushes a file's data to the disk.
    virtual int sync(int fd);
};
