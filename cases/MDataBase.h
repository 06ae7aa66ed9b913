#pragma once

#include "TRecordData.h"

#include <QByteArray>
#include <QString>

// Reader of the old flat case file <program folder>dat/Quorin.dat: fixed records of kOldRecordSize bytes,
// little-endian, texts in GBK. Read once, when the case file is first opened after an upgrade.
inline constexpr int kOldRecordSize = 160;

class MDataBase {
public:
    MDataBase() = default;
    virtual ~MDataBase() = default;

    // The old file of a program folder (folder ends in "/"). Unlike the old program, a missing file is not made.
    void Prepare(const QString &folder);
    const QString &FilePath() const { return path; }
    // Reads the whole file (a few hundred kilobytes at most); false when it cannot be read.
    bool OpenRead();
    // Record i into buf; false outside 0..count-1 and for a record marked deleted.
    bool ReadRecord(int i, char (&buf)[kOldRecordSize]) const;
    int CountRecords() const { return count; }
    void Close();

    // The case an old record holds: id 0, no further places, the 下卦 chart (the old record has no such flag),
    // remarkText empty. Texts are cut at their first NUL and at their field's end.
    static TRecordData ToRecord(const char (&buf)[kOldRecordSize]);

private:
    QString folder;
    QString path;
    QByteArray bytes;
    int count = 0;
};
