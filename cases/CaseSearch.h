#pragma once

#include "TRecordData.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

class MRecordBase;

// The conditions of the conditional search (查找命例). The main window keeps one for as long as it runs, so the
// dialog shows the last conditions again.
struct TSearchData {
    QString name;         // at most 20 characters
    QString category;     // at most 20 characters
    QString comment;      // at most 40 characters
    uint8_t sex = 1;      // 1 male, 0 female
    int16_t yearFrom = 0; // building years, inclusive, astronomical numbering (year 0 is 1 BC)
    int16_t yearTo = 0;
    int16_t province = -1; // -1 for all; kept and shown again, not a condition
    uint8_t nameMode = 0;  // 0 off, 1 the case name contains the text, 2 equals it (ASCII letters in either case)
    uint8_t classMode = 0; // the same for the category
    uint8_t commentOn = 0; // the case's comments contain the comment text
    uint8_t sexOn = 0;
    uint8_t yearOn = 0;
};

// The plain text of the cases' comment files (<case folder><remarkFile>.rtf) for the searches. The case library
// reads no RTF itself: the caller hands in the reader. A text is kept with the file's identity, size and time and
// read again only when the file has changed, so repeated searches read each comment file once.
// Not thread-safe: one scan at a time.
class CommentTexts {
public:
    // The plain text of an RTF file; empty when it cannot be read.
    using Reader = std::function<QString(const QString &path)>;

    CommentTexts(const QString &appFolder, Reader reader);

    // Starts a scan: the case folder is listed once, at the first comment asked for, so that a case without a
    // comment file costs no look at the disk.
    void BeginScan();
    // The comment text of a case; empty when its name is not valid or its file is missing or unreadable. Without
    // BeginScan the file is looked up directly.
    QString Text(const QString &remarkFile);

    const QString &AppFolder() const { return appFolder_; }

private:
    void ListFolder();

    struct Entry {
        quint64 inode = 0;
        qint64 size = -1;
        qint64 mtimeNs = 0;
        QString text;
    };

    QString appFolder_;
    Reader reader_;
    QHash<QString, Entry> cache_; // by remarkFile
    QSet<QString> present_;       // names of the .rtf files in the case folder, listed once per scan
    bool scanning_ = false;
    bool listed_ = false;
};

// The eight summary texts a keyword search looks in, in order: name, 男/女, address, category, "%d年", "%d月",
// "%d日" of the birth date and "%s时" with the branch of the birth hour.
void CaseSummary(const TRecordData &rec, QStringList &texts);

// The branch of an hour of the day: 23:00-00:59 子, 01:00-02:59 丑, ..., 21:00-22:59 亥.
QString BirthHourBranch(int hour);

// Whether a case matches the conditions, given its comment text (read only when the comment condition is on).
bool MatchesConditions(const TRecordData &rec, const TSearchData &cond, const std::function<QString()> &comment);

// Whether a case contains every keyword: each of its summary texts, then its comment text, takes at most one
// keyword (the first remaining one it contains). The comment is asked for only when it can decide.
bool MatchesKeywords(const TRecordData &rec, const QStringList &keywords, const std::function<QString()> &comment);

// The ids, ascending, of the cases 1..db.GetPrimaryId() that match. One statement reads only the columns the
// conditions need; a comment file is read only for a case that passed every other condition. False with the
// store's text in message when the case file cannot be read (ids then empty).
bool Search(MRecordBase &db, const TSearchData &cond, CommentTexts &comments, std::vector<int32_t> &ids,
            QString &message);
bool FuzzySearch(MRecordBase &db, const QStringList &keywords, CommentTexts &comments, std::vector<int32_t> &ids,
                 QString &message);

// Splits typed text into keywords: the runs of characters between blanks.
QStringList SplitKeywords(const QString &text);

// A case as the category editor reads it: its id, category and key.
struct TCaseClass {
    int32_t id = 0;
    QString className;
    TCaseKey key;
};

// The id, category and key of every case 1..db.GetPrimaryId(), ascending, read with one statement. False with the
// store's text in message when the case file cannot be read.
bool ReadCaseClasses(MRecordBase &db, std::vector<TCaseClass> &cases, QString &message);
