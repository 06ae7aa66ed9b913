#pragma once

#include <QString>
#include <QStringView>

// The program's temporary files: a file being written before it takes its name, a copy on its way, a case file
// being filled. Each is made beside the file it becomes, under a name that begins with a mark of this program's
// own (kTemporaryMark) followed by a random part, so that
// - no file of the user's is ever taken for one (a user's "set.ini.backup" stays where it is), and every one
//   that a killed program left is known for what it is;
// - no one can place a link at the name in advance: the name cannot be guessed, and the file is made only when
//   nothing has that name, without following a link (O_CREAT | O_EXCL | O_NOFOLLOW).
// Files that SQLite makes beside such a file ("-journal") begin with the mark too.
//
// While a temporary is written, its writer holds a lock on it (a lock of the open file, on one byte far past any
// file's end, where it meets none of SQLite's): the sweep passes over a temporary that is locked, so that the
// temporary of another running program (another copy of this one exporting into the same folder, another user's
// on a shared folder) is never taken from under it, and the lock goes with its writer, killed or not.

inline constexpr char kTemporaryMark[] = ".~quorin-tmp-";

// Whether a file name (without folder) is one of this program's temporaries.
bool IsTemporaryName(QStringView fileName);

// Makes a new, empty temporary beside target (in target's folder) with the permissions `mode` (less the
// umask), open for writing and locked as being written for as long as this descriptor, or a duplicate of it,
// stays open. The descriptor, or -1 with errno set (no such folder, no permission, ...); the temporary's path
// goes to tempPath.
int CreateTemporaryBeside(const QString &target, QString &tempPath, unsigned mode = 0666);

// A temporary held for as long as the object lives: made and locked by create(), removed by the destructor
// unless it has taken its final name meanwhile (placed()).
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // CreateTemporaryBeside; false with errno set.
    bool create(const QString &target, unsigned mode = 0666);
    const QString &path() const { return path_; }
    // The descriptor to write through, until closeWriting().
    int fd() const { return fd_; }
    // Closes that descriptor; the lock stays. 0, or the system's error number (a network file system reports a
    // write it lost only here).
    int closeWriting();
    // It has taken its final name: the lock goes, and the destructor leaves the name alone.
    void placed();

private:
    int fd_ = -1;
    int lockFd_ = -1; // the same open file: the lock outlives closeWriting()
    QString path_;
};

// The sweep: removes the temporaries that programs stopped before finishing left in `folder` (not in its
// subfolders): every entry whose name carries the mark, with its companions (its "-journal"), a link as a link;
// with alsoEndingIn, the files whose names end in it too (the half-written files of earlier versions). A
// temporary whose writer still holds its lock stays, and so does one whose lock cannot be asked (another user's
// file that this one may not open), and a folder. False when a temporary that no one writes could not be removed.
bool RemoveStoppedWrites(const QString &folder, QStringView alsoEndingIn = {});
