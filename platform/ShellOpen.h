#pragma once

#include <QString>

// Opening a file with the desktop's program for its type, as a double click in the file manager would.

// False when no program on the machine is registered for the file's type, or starting it failed.
bool ShellOpen(const QString &path);

// Tests replace the opener (nullptr: the desktop's again) and get the previous one back.
using ShellOpener = bool (*)(const QString &path);
ShellOpener SetShellOpener(ShellOpener opener);
