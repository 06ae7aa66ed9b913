#pragma once

#include <QString>

// What the bytes of a case file say before SQLite opens it. Opening is not a read: SQLite rolls a journal back
// into the file and takes a -wal file beside it as part of it, so a file that is plainly not whole is told
// apart first, and then left alone.
struct CaseFileInspection {
    bool hasPages = false; // the file holds data: a file without the case table is damaged, not new
    QString damage;        // why the file cannot be trusted (Chinese); empty when nothing is seen wrong
};

CaseFileInspection InspectCaseFile(const QString &path);

// The message for a damaged case file: it is named, what was found, that nothing will be written to it, and how
// to get the cases back from a backup.
QString DamagedCaseFileText(const QString &path, const QString &detail);
