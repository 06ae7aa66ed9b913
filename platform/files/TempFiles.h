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

inline constexpr char kTemporaryMark[] = ".~quorin-tmp-";

// Whether a file name (without folder) is one of this program's temporaries.
bool IsTemporaryName(QStringView fileName);

// Makes a new, empty temporary beside target (in target's folder) with the permissions `mode` (less the
// umask), open for writing. The descriptor, or -1 with errno set (no such folder, no permission, ...); the
// temporary's path goes to tempPath.
int CreateTemporaryBeside(const QString &target, QString &tempPath, unsigned mode = 0666);

// Removes the temporaries that a program stopped before finishing left in `folder` (not in its subfolders):
// every entry whose name carries the mark, a link as a link; a folder is left. Only while no other program can
// be writing there. False when one of them stays.
bool RemoveStoppedWrites(const QString &folder);
