#pragma once

#include "FileCalls.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The file steps of the whole-database operations (backup, restore, delete-all, compaction, import, export,
// the old file's migration). Every step first passes step(), the one place where a test makes a step fail or
// ends the program there; the operations themselves never touch a file but through this class.
//
// The steps take the roads of platform/files (FileWrite.h, FilePlace.h, FileRemove.h, TempFiles.h) with this
// object as their calls: a test that stands in for a disk without second names, or stops a road inside, does it
// by overriding FileCalls here. Writes never leave a half-written file under the final name, a new file takes
// its name only while no file has it, and no step follows a link.
class CaseFileOps : public FileCalls {
public:
    // The real file system.
    static CaseFileOps &standard();

    bool exists(const QString &path);
    bool isDir(const QString &path);
    // A link itself (to anything, or to nothing), asked without following it.
    bool isLink(const QString &path);
    // A regular file, or a link to one: not a folder, named pipe, socket or device.
    bool isFile(const QString &path);
    // Copies src to dst through a temporary and a rename over dst, in pieces; a src that is not a regular file
    // is refused without being opened.
    bool copyFile(const QString &src, const QString &dst);
    // Writes bytes to path the same way; with durable off the data is not forced to the disk (files that can
    // be made again from the case file).
    bool writeFile(const QString &path, const QByteArray &bytes, bool durable = true);
    // Writes a new file: fails, touching nothing, when path exists.
    bool createFile(const QString &path, const QByteArray &bytes);
    // Renames over an existing dst in one step.
    bool rename(const QString &src, const QString &dst);
    // Renames src to dst only when no file has that name: fails, touching nothing, when dst exists.
    bool renameToFree(const QString &src, const QString &dst);
    // Gives the file a second name, or where the file system has no second names a copy of it; fails when dst
    // exists.
    bool link(const QString &src, const QString &dst);
    bool remove(const QString &path);
    bool makeDir(const QString &path);
    bool removeDir(const QString &path); // an empty folder
    // A folder of the program's with its own files (a link in its place as a link); its subfolders, which the
    // program never makes, stay, and so does the folder with them, and so does a plain file under its name. False
    // when something of the folder stays.
    bool removeFolder(const QString &path);
    // The temporaries that stopped writes left in a folder and no program writes any more (TempFiles.h), with the
    // files whose names end in alsoEndingIn.
    bool sweep(const QString &folder, const QString &alsoEndingIn = {});
    // The plain files of a folder (names only, sorted); false when the folder cannot be read.
    bool list(const QString &folder, QStringList &names);
    // Forces a folder's entries (renames, new names) to the disk.
    bool syncDir(const QString &folder);
    // A step with no file work of its own (a transaction's commit, a check): only step().
    bool checkpoint(const char *what) { return step(what); }
};
