#include "TQuickIni.h"

#include "FileWrite.h"
#include "GbkText.h"
#include "TSkinReader.h"

#include <QFile>

#include <charconv>

namespace {

QString asciiLower(QString s)
{
    for (QChar &c : s)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return s;
}

bool parseInt(const QString &s, int &value)
{
    const QByteArray b = s.toLatin1();
    const char *first = b.constData(), *last = first + b.size();
    if (b.size() > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
        quint32 u = 0;
        const auto [end, ec] = std::from_chars(first + 2, last, u, 16);
        if (ec != std::errc() || end != last)
            return false;
        value = static_cast<int>(u); // 0x80000000 and above keep their bit pattern, as colour values need
        return true;
    }
    if (first != last && *first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value, 10);
    return ec == std::errc() && end == last && first != last;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *why)
{
    const FileWriteResult written = WriteWholeFile(path, bytes);
    if (!written.ok() && why)
        *why = FileWriteText(path, written);
    return written.ok();
}

} // namespace

bool TQuickIni::LoadFromStream(QByteArrayView bytes)
{
    const QString all = DecodeUtf8OrGbk(bytes);
    Clear();
    qsizetype i = 0;
    const qsizetype n = all.size();
    while (i < n) {
        const qsizetype start = i;
        while (i < n && all[i] != u'\r' && all[i] != u'\n')
            ++i;
        const QString line = all.sliced(start, i - start).trimmed();
        if (i < n && all[i] == u'\r')
            ++i;
        if (i < n && all[i] == u'\n')
            ++i;
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        lines_.append(line);
    }
    RebuildSections();
    return true;
}

bool TQuickIni::LoadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return LoadFromStream(file.readAll());
}

bool TQuickIni::LoadFromZip(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray plain;
    if (!SkinDecompress(file.readAll(), plain))
        return false;
    return LoadFromStream(plain);
}

QByteArray TQuickIni::text() const
{
    QByteArray out;
    for (const QString &line : lines_)
        out += line.toUtf8() + "\r\n";
    return out;
}

bool TQuickIni::SavetoZip(const QString &path, QString *why) const
{
    return writeFile(path, SkinCompress(text()), why);
}

bool TQuickIni::SaveToFile(const QString &path, QString *why) const
{
    return writeFile(path, text(), why);
}

QString TQuickIni::GetName(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : asciiLower(line.first(eq).trimmed());
}

QString TQuickIni::GetValue(const QString &line)
{
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.sliced(eq + 1).trimmed();
}

bool TQuickIni::IsSection(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(u'[') && t.endsWith(u']');
}

void TQuickIni::RebuildSections()
{
    sections_.clear();
    for (int i = 0; i < lines_.size(); ++i)
        if (IsSection(lines_[i]))
            sections_.push_back({lines_[i], i});
}

int TQuickIni::GetSectionIndex(const QString &section) const
{
    const QString header = u'[' + section + u']';
    for (const Section &s : sections_)
        if (s.header.compare(header, Qt::CaseInsensitive) == 0)
            return s.line;
    return -1;
}

int TQuickIni::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < lines_.size() && !IsSection(lines_[i]))
        ++i;
    return i;
}

int TQuickIni::findKey(int header, const QString &key) const
{
    const QString k = asciiLower(key);
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (GetName(lines_[i]) == k)
            return i;
    return -1;
}

QStringList TQuickIni::ReadSections() const
{
    QStringList names;
    for (const Section &s : sections_)
        names.append(s.header.sliced(1, s.header.size() - 2).trimmed());
    return names;
}

QStringList TQuickIni::ReadSection(const QString &section) const
{
    QStringList keys;
    const int header = GetSectionIndex(section);
    if (header < 0)
        return keys;
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i) {
        const QString name = GetName(lines_[i]);
        if (!name.isEmpty())
            keys.append(name);
    }
    return keys;
}

QStringList TQuickIni::ReadSectionValues(const QString &section) const
{
    const int header = GetSectionIndex(section);
    if (header < 0)
        return {};
    return lines_.mid(header + 1, sectionEnd(header) - header - 1);
}

QString TQuickIni::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const int header = GetSectionIndex(section);
    if (header < 0)
        return defaultValue;
    const int line = findKey(header, key);
    if (line < 0)
        return defaultValue;
    const QString value = GetValue(lines_[line]);
    return value.isEmpty() ? defaultValue : value;
}

int TQuickIni::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = 0;
    return parseInt(ReadString(section, key, QString()), value) ? value : defaultValue;
}

bool TQuickIni::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TQuickIni::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + u'=' + value;
    const int header = GetSectionIndex(section);
    if (header < 0) {
        lines_.append(u'[' + section + u']');
        if (!key.isEmpty())
            lines_.append(line);
    } else if (!key.isEmpty()) {
        const int found = findKey(header, key);
        if (found >= 0)
            lines_[found] = line;
        else
            lines_.insert(sectionEnd(header), line);
    }
    modified_ = true;
    RebuildSections();
}

void TQuickIni::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TQuickIni::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TQuickIni::DeleteKey(const QString &section, const QString &key)
{
    const int header = GetSectionIndex(section);
    const int line = header < 0 ? -1 : findKey(header, key);
    if (line < 0)
        return;
    lines_.removeAt(line);
    modified_ = true;
    RebuildSections();
}

void TQuickIni::EraseSection(const QString &section)
{
    const int header = GetSectionIndex(section);
    if (header < 0)
        return;
    lines_.remove(header, sectionEnd(header) - header);
    modified_ = true;
    RebuildSections();
}

void TQuickIni::SetIniFile(const QStringList &lines)
{
    lines_ = lines;
    RebuildSections();
}

void TQuickIni::Clear()
{
    lines_.clear();
    sections_.clear();
}
