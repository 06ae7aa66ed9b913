#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The file steps of the whole-database operations (backup, restore, delete-all, compaction, import, export,
// the old file's migration). Every step first passes step(), the one place where a test makes a step fail or
// ends the program there; the operations themselves never touch a file but through this class.
//
// Replacing writes never leave a half-written file under the final name: they write "<name>.part" beside it,
// flush it to the disk and rename it over the target.
class CaseFileOps {
public:
    virtual ~CaseFileOps() = default;

    // The real file system.
    static CaseFileOps &standard();

    // Called before every step with a short name of it; false makes that step fail.
    virtual bool step(const char *what);

    bool exists(const QString &path);
    bool isDir(const QString &path);
    // A regular file, or a link to one: not a folder, named pipe, socket or device.
    bool isFile(const QString &path);
    // Copies src to dst through dst's ".part" file and a rename over dst; a src that is not a regular file is
    // refused without being opened.
    bool copyFile(const QString &src, const QString &dst);
    // Writes bytes to path the same way; with durable off the data is not forced to the disk (files that can
    // be made again from the case file).
    bool writeFile(const QString &path, const QByteArray &bytes, bool durable = true);
    // Writes a new file: fails, touching nothing, when path exists.
    bool createFile(const QString &path, const QByteArray &bytes);
    // Renames over an existing dst in one step.
    bool rename(const QString &src, const QString &dst);
    // Gives the file a second name; fails when dst exists.
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
};
