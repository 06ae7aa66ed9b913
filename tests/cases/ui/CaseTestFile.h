#pragma once

#include "MRecordBase.h"

#include <QTemporaryDir>

#include <cstdint>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

// A case file in a fresh temporary program folder, with its case folder.
struct CaseTestFile {
    QTemporaryDir dir;
    QString app = dir.path() + "/";
    MRecordBase db{app};

    CaseTestFile();
    // Saves a case; a non-empty comment also goes into its .rtf file. The new id.
    int add(TRecordData rec, const QString &comment = QString());
    void writeComment(const QString &remarkFile, const QString &text) const;
    // Runs statements on the file as another program would.
    void exec(const QString &sql) const;
};

TRecordData MakeCase(const QString &name, const QString &className = QStringLiteral("临时保存"), int sex = 1,
                     int buildYear = 2004);

// n cases of every kind the searches meet: names and categories that contain one another or differ in ASCII
// case, both sexes, building years BC and AD, comments in about half of them (some with quotes), comment names
// that are missing, invalid or used by a floor plan only, deleted ids and rows with damaged values.
void AddVariedCases(CaseTestFile &file, int n, uint32_t seed);
