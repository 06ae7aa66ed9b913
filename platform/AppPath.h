#pragma once

#include <QString>

// The program folder: the executable's folder with a trailing "/". Data lives beside the executable
// (dat/, Quorin_f/, picTemp/, compass/, skins/).
QString AppPath();

// Makes AppPath() return `folder` (a trailing "/" is added when missing); an empty text goes back to the
// executable's folder. For tests, which run against a temporary program folder.
void SetAppPath(const QString &folder);

// Creates the program's folders under AppPath() where they are missing; false when one cannot be made.
bool MakeProgramFolders();
