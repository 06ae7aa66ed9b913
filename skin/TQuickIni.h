#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

// An ini text held in memory: the kept lines (trimmed; blank lines and lines beginning with ";" are dropped)
// and an index of the section header lines. Section names are found without regard to letter case; key
// names are compared in lower case (ASCII). Within a section only the first line of a key counts, and a key
// with an empty value reads as the default. Lines before the first header belong to no section.
//
// Text comes in as UTF-8, or as GBK when it is not valid UTF-8; files are written as UTF-8.
class TQuickIni {
public:
    bool LoadFromStream(QByteArrayView bytes);
    bool LoadFromFile(const QString &path);
    // The compressed frame of skin packages; false (content unchanged) when it is damaged or unreadable.
    bool LoadFromZip(const QString &path);
    // A file that cannot be written whole stays as it was: false, with the sentence for the user in `why`.
    bool SavetoZip(const QString &path, QString *why = nullptr) const;
    bool SaveToFile(const QString &path, QString *why = nullptr) const;
    void SetFileName(const QString &name) { fileName_ = name; }
    const QString &FileName() const { return fileName_; }

    QStringList ReadSections() const;
    QStringList ReadSection(const QString &section) const;
    QStringList ReadSectionValues(const QString &section) const;
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal, or hexadecimal after "0x" (up to 32 bits, taken as their signed pattern); text that does not
    // convert, or a number outside 32 bits, gives the default.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    void DeleteKey(const QString &section, const QString &key);
    void EraseSection(const QString &section);
    void SetIniFile(const QStringList &lines);
    void Clear();

    const QStringList &Lines() const { return lines_; }
    bool Modified() const { return modified_; }

    static QString GetName(const QString &line);
    static QString GetValue(const QString &line);
    static bool IsSection(const QString &line);
    int GetSectionIndex(const QString &section) const; // line index of the header, or -1

private:
    void RebuildSections();
    int findKey(int header, const QString &key) const; // line index, or -1
    int sectionEnd(int header) const;                   // index of the next header, or the line count
    QByteArray text() const;

    bool modified_ = false;
    QString fileName_;
    QStringList lines_;
    struct Section {
        QString header; // with its brackets, trimmed
        int line;
    };
    std::vector<Section> sections_;
};
