#pragma once

#include <QHash>
#include <QString>

// The program's own texts, compiled in from resources/ (see resources/README.md).

// Registers the compiled-in resources (":/strings", ":/texts"). LoadStr and LoadText do it themselves;
// code that opens those resource paths directly calls it first. Safe from any thread, any number of times.
void InitResources();

// The string-table entry with this id; empty text when there is none.
// The tables are read once, on first use, from whichever thread asks first.
QString LoadStr(int id);

// The text resource of this name (the file name in resources/texts without ".txt", any letter case);
// empty text when there is none.
QString LoadText(const QString &name);

// Adds the entries of one string-table file to `table`. Every non-empty line must be `id<TAB>text`;
// a bad line or an id already in `table` is skipped and described in `errors` (one line each).
// Returns whether the file was clean.
bool ParseStringTable(const QString &fileText, QHash<int, QString> &table, QString *errors = nullptr);

// The text of an entry with its escapes \n, \t and \\ resolved; any other backslash stays as it is.
QString UnescapeResourceText(QStringView text);
