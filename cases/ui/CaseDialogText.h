#pragma once

#include <QString>

// Small text rules shared by the case dialogs.

// The text with blanks and control characters (as the name rule counts them) removed at both ends.
QString TrimBlanks(const QString &text);

// A plain message under the program's name, as the case dialogs show their refusals.
void ShowPlainMessage(const QString &text);
