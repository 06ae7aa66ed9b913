#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// An INI file with the behaviour the program's callers expect of the Windows INI class:
//  - every call goes to the file: reads see the file as it is now, and every Write/Erase is on disk when it
//    returns (inside Update, when Update returns), so two IniFile objects on one path always agree and nothing
//    waits for a flush;
//  - a missing or unreadable file reads as all defaults; a file that is not a regular file (a pipe, a device)
//    or is larger than kMaxFileBytes counts as unreadable, and is neither waited on nor read whole;
//  - section and key names are found without regard to letter case; the first occurrence wins;
//  - values are trimmed of surrounding blanks and of one pair of enclosing quotes; an "=" inside a value is
//    part of the value;
//  - the file is read as UTF-8, or as GBK when it is not valid UTF-8 (files of the Windows program);
//  - writes produce UTF-8 through a temporary file renamed over the old one, keeping every other section,
//    key and comment line in order and the spelling of existing keys;
//  - numbers are written and parsed in the C locale.
// Writes return false, leaving the file as it was, when it could not be written whole (a full disk, a size
// limit) or could not be read first (so that writing would lose its content); lastError() then says why.
//
// A block of settings is saved through Update: its writes change the file's text in memory, and the file is
// written whole once at the end, so that it holds all of them or, when that write fails, none.
class IniFile {
public:
    // No settings file comes near this; a larger one is refused unread.
    static constexpr qsizetype kMaxFileBytes = 1024 * 1024;

    explicit IniFile(QString fileName);
    // Why a file that is there cannot be read, naming it, in the user's words; empty when it can be read or is
    // not there.
    static QString ReadProblem(const QString &fileName);
    // An INI file read once, now: its reads see the file as it was then (a whole settings block at the cost of
    // one reading). A write goes to the file as always, and later reads see the file again.
    static IniFile Snapshot(QString fileName);

    const QString &fileName() const { return m_fileName; }
    const QString &lastError() const { return m_lastError; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal, or hexadecimal after "0x"; a text that does not convert gives the default.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // A finite number in C notation; anything else gives the default.
    double ReadFloat(const QString &section, const QString &key, double defaultValue) const;
    // The integer value is not 0; a text that is not an integer gives the default.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    QStringList ReadSections() const;
    QStringList ReadSection(const QString &section) const; // the keys of a section, in file order

    // A key or section name may not be empty or hold a line break, "=" (keys) or "]" (sections), and a
    // value may not hold a line break: such a write would corrupt the file and is refused.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool WriteFloat(const QString &section, const QString &key, double value); // 15 significant digits
    bool WriteBool(const QString &section, const QString &key, bool value);    // "1" or "0"
    bool DeleteKey(const QString &section, const QString &key);
    bool EraseSection(const QString &section);

    // Runs `changes` (writes, deletions and erasures on this object) on the file's text in memory, then writes
    // the file whole, once. False, with the file byte for byte as it was and lastError() saying why, when the
    // file could not be read first, one of the changes was refused, or the write failed. Reads inside
    // `changes` see the file on disk, not the changes made so far.
    bool Update(const std::function<void()> &changes);

private:
    struct Lines;
    bool load(Lines &lines, bool forWriting) const;
    bool save(const Lines &lines);
    bool loadForChange(Lines &lines);
    bool saveChange(const Lines &lines);
    bool refuse(const QString &why);

    QString m_fileName;
    QString m_lastError;
    std::shared_ptr<const Lines> m_snapshot;
    // While Update runs: the text being changed, or null when the file could not be read for it; and the
    // first reason a change was refused.
    bool m_updating = false;
    std::shared_ptr<Lines> m_pending;
    QString m_updateRefusal;
};
