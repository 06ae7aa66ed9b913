#pragma once

#include <QDateTime>
#include <QString>

// One program per data folder. Two programs on one folder would each keep their own view of the case ids, the
// settings and the tree while the other renumbers, restores or rewrites them underneath; so the program holds
// this lock from before it writes any file of the folder until it ends.
//
// The lock is the file dat/Quorin.lock beside the case file, held by a lock of the system on the open file
// (flock), which the system gives up by itself when its holder ends, however it ends. Holding it needs no byte
// written: on a full disk the lock holds all the same. The holder's process id, computer and start time are
// written into the file as well where they can be, so that a second start can say who holds the folder.
//
// A lock file whose holder is no longer running on this computer (killed, crashed) is taken over, and so is one
// that no program holds and that names no holder (empty, as a program leaves it that crashed on a full disk).
// One that this computer cannot check is left to the user: a file written on another computer (the folder
// carried on a stick, copied, or shared while that computer's program ran), or something at the lock's name that
// is no lock file of ours (unreadable, not understood, a folder, a link). The lock file is made readable to all,
// whatever the user's umask, so that every user of a shared folder can be told who holds it.
class DataFolderLock {
public:
    enum class Result {
        Held,       // this program holds the folder
        InUse,      // another running program holds it
        Unverified, // a lock this computer cannot check (holder() says what is known): TakeOver() once the user
                    // has agreed
        Unlockable  // the lock cannot be had (no data folder, a folder that cannot be written, a file system
                    // without locks): reason() says why
    };

    // What is known of the lock found at the folder.
    enum class Found {
        Nothing,       // no lock file
        Ours,          // a lock file written by a program of this computer
        OtherHost,     // a lock file written by a program of another computer
        Empty,         // a file without text (empty, or blanks and zero bytes): its holder could not write it
        NotUnderstood, // a file that does not read as a lock file
        Unreadable,    // a file that cannot be read
        NotAFile       // a folder, a link, a pipe or a device at the lock's name
    };
    struct Holder {
        Found found = Found::Nothing;
        qint64 pid = 0;   // 0 when unknown
        QString host;     // the holder's computer, empty when unknown
        QDateTime since;  // when it took the lock; invalid when unknown
    };

    DataFolderLock();
    ~DataFolderLock(); // lets the folder go
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    // Takes the lock of dataFolder (its dat/ is made when missing, as the lock lives there). Never waits.
    Result Acquire(const QString &dataFolder);
    // After Unverified: takes the folder over, replacing whatever is at the lock's name (a folder there is kept
    // under another name). Held, or the result of trying again (a program that started meanwhile holds it).
    Result TakeOver();

    const Holder &holder() const { return holder_; }
    const QString &reason() const { return reason_; }
    // After Held: the lock taken was one that no program held and that named no holder; the start says so.
    bool tookOverEmptyLock() const { return tookOverEmpty_; }

    // The lock file of a data folder.
    static QString LockFilePath(const QString &dataFolder);
    // The sentence for a second start: the folder named, who holds it, and what to do.
    static QString InUseText(const QString &dataFolder, const Holder &holder);
    // The question before a take-over: what was found, who holds it as far as is known, and the risk.
    static QString TakeOverQuestion(const QString &dataFolder, const Holder &holder);
    // The notice after a lock without text was taken over: what was found, and that the folder is now this
    // program's.
    static QString EmptyLockNotice(const QString &dataFolder);
    // The sentence for a lock that cannot be had, with the system's reason.
    static QString UnlockableText(const QString &dataFolder, const QString &reason);
    // This computer's name, as written into the lock file.
    static QString HostName();

private:
    Result acquire(bool takeOver);
    // Keeps fd, locked and writable, as this program's lock file and writes this program into it.
    Result hold(int fd);
    Result unlockable(const QString &why);
    void release();

    QString folder_;
    int fd_ = -1;            // the open lock file; locked while Held, and while Unverified for a file found
    bool writable_ = false;  // fd_ was opened for writing
    bool held_ = false;      // the lock file is ours: removed when the folder is let go
    bool tookOverEmpty_ = false;
    Holder holder_;
    QString reason_;
};
