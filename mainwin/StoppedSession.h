#pragma once

#include <QString>

// What a program that ended without closing (killed, or the computer switched off) left in its data folder and
// nothing else will remove: the program's temporaries in the folders it writes (dat/, the case folder, compass/,
// and the folder a linked case file leads to), known by the mark every one of them carries (TempFiles.h), and the
// floor plan's undo steps in picTemp/. Every other file stays, a user's "set.ini.backup" too; nothing is removed
// through a link. The case folder, which may hold a hundred thousand files, is read once at start, here.
// Run at start-up, once this program holds the data folder, so that no other program is writing there.
void ClearStoppedSession(const QString &dataFolder);
