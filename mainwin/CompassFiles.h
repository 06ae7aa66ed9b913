#pragma once

#include <QList>
#include <QString>

struct CompassFile {
    QString name; // the file name without ".jpg", as listed
    QString path; // the full path, with the file's real name
};

// The folder adjusted compass photographs are saved into: compass/ of the data folder, which a read-only
// install keeps in the user's folder (the program folder itself when it can be written). With a trailing "/".
QString UserCompassFolder();

// The compass photographs to choose from: the shipped ones of the program's compass/ first, then the user's own
// of UserCompassFolder() when that is another folder; each group sorted by name, case ignored. Extensions and
// names compare without regard to case, and a user's photograph named like a shipped one is left out.
QList<CompassFile> CompassPictures();
