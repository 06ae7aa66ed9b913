#pragma once

#include <QString>

#include <optional>

// The folder with a trailing "/" (none added to an empty text), so that a file name can be appended.
QString WithSlash(QString folder);

// The program folder: the executable's folder with a trailing "/". The shipped folders live there (skins/,
// compass/, and the shipped defaults of dat/).
QString AppPath();

// Makes AppPath() return `folder` (a trailing "/" is added when missing); an empty text goes back to the
// executable's folder. For tests, which run against a temporary program folder.
void SetAppPath(const QString &folder);

// The folder of the program's writable data (dat/ with the settings and the case file, Quorin_f/, picTemp/),
// with a trailing "/": the program folder when those three can be written there (or made, where missing), as
// for a copy the user unpacked; else the user's data folder (QStandardPaths::AppDataLocation), as for a
// system-wide install. Whether the program folder can be written is tried once per program folder; empty when
// no user folder can be had either.
QString DataPath();

// The folder that keeps the data out of the program folder, with a trailing "/": the program folder when it
// cannot be written either, else the program's dat/, Quorin_f/ or picTemp/ that cannot be written; empty when
// the data lives in the program folder.
QString UnwritableProgramFolder();

// For tests, which run as a user that may write anywhere: whether the program folder counts as writable;
// nothing goes back to trying it.
void SetProgramFolderWritable(std::optional<bool> writable);

// Creates the program's folders where they are missing: the data folders under DataPath(), and skins/ and
// compass/ under AppPath() when the program folder is writable. False when one cannot be made.
bool MakeProgramFolders();

struct DataFolderSetup {
    bool ok = false;            // every folder under DataPath() exists
    bool inUserFolder = false;  // DataPath() is the user's data folder, not the program folder
    bool firstUse = false;      // the user's dat/ held nothing but the lock: say once where the data now lives
    QString folder;             // DataPath()
    QString unwritable;         // UnwritableProgramFolder(): why the data lives in the user's folder
};

// Makes the program's folders; when the data lives in the user's folder, first copies each shipped file of
// the program's dat/ that the user's dat/ lacks (made writable for the user; existing files are kept), and on
// its first use the comment and floor-plan files of the program's Quorin_f/. Called with the data folder's lock
// held, as the start does.
DataFolderSetup PrepareDataFolder();
