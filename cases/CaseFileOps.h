#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The file steps of the whole-database operations (backup, restore, delete-all, compaction, import, export,
// the old file's migration). Every step first passes step(), the one place where a test makes a step fail or
// ends the program there; the operations themselves never touch a file but through this class.
//
// Writes never leave a half-written file under the final name: they write a temporary beside it (TempFiles.h: made
// exclusively, under a name no one can foresee), flush it to the disk and rename it over the target, or, for a
// new file, give it the target's name only while no file has that name. File systems without second names
// (link) or without renaming to a free name only (a USB stick's FAT or exFAT) take the same steps another way:
// a copy in place of a second name, and a name claimed exclusively before the rename. No step follows a link.
class CaseFileOps {
public:
    virtual ~CaseFileOps() = default;

    // The real file system.
    static CaseFileOps &standard();

    // Called before every step with a short name of it; false makes that step fail.
    virtual bool step(const char *what);

    bool exists(const QString &path);
    bool isDir(const QString &path);
    // A link itself (to anything, or to nothing), asked without following it.
    bool isLink(const QString &path);
    // A regular file, or a link to one: not a folder, named pipe, socket or device.
    bool isFile(const QString &path);
    // Copies src to dst through a temporary and a rename over dst; a src that is not a regular file is refused
    // without being opened.
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
    // The plain files of a folder (names only, sorted); false when the folder cannot be read.
    bool list(const QString &folder, QStringList &names);
    // Forces a folder's entries (renames, new names) to the disk.
    bool syncDir(const QString &folder);
    // A step with no file work of its own (a transaction's commit, a check): only step().
    bool checkpoint(const char *what) { return step(what); }

protected:
    // The two calls a file system may lack, 0 or the system's error number: a second name for a file, and a
    // rename that fails when the new name is taken. A test stands in for a disk that has neither.
    virtual int hardLink(const QByteArray &from, const QByteArray &to);
    virtual int renameNoReplace(const QByteArray &from, const QByteArray &to);

private:
    // A new temporary beside path holding bytes, synced when durable; its path, or empty.
    QString writeTemporary(const QString &path, const QByteArray &bytes, bool durable);
    // Moves from to the name to only when no file has it (renameToFree's road); 0 or the system's error number.
    int moveToFree(const QByteArray &from, const QByteArray &to);
    // Gives the temporary the name target only when no file has it; the temporary is gone either way.
    bool placeTemporary(const QString &temp, const QString &target);
};
