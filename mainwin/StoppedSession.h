#pragma once

#include <QString>

// What a program that ended without closing (killed, or the computer switched off) left in its data folder and
// nothing else will remove: the file writer's temporaries in the folders the program writes (dat/ *.ini,
// the case folder's *.rtf and *.bmp, compass/ *.jpg) and the floor plan's undo steps in picTemp/. A user's file
// that merely looks like a temporary is kept: only the writer's exact name for a file of that folder's kind goes.
// Run at start-up, once this program holds the data folder, so that no other program is writing there.
void ClearStoppedSession(const QString &dataFolder);
