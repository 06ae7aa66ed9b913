#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One program per data folder. Two programs on one folder would each keep their own view of the case ids, the
// settings and the tree while the other renumbers, restores or rewrites them underneath; so the program holds
// this lock from before it touches any file of the folder until it ends.
//
// The lock is a file in the data folder holding the holder's process id, host and program name. A lock whose
// holder is no longer running (a program that was killed or crashed) is taken over; a running holder keeps it
// however long it runs.
class DataFolderLock {
public:
    enum class Result {
        Held,      // this program holds the folder
        InUse,     // another running program holds it
        Unlockable // the lock file cannot be made (a folder that cannot be written): nothing there can be saved
                   // either, so the program goes on without it
    };

    DataFolderLock();
    ~DataFolderLock(); // lets the folder go
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    // Takes the lock of dataFolder (which is made when missing, as the lock needs it). Never waits.
    Result Acquire(const QString &dataFolder);
    // The lock file of a data folder.
    static QString LockFilePath(const QString &dataFolder);
    // The sentence for a second start: the folder named, and what to do.
    static QString InUseText(const QString &dataFolder);

private:
    std::unique_ptr<QLockFile> lock_;
};
