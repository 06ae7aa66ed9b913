#include "IniFile.h"

#include "FileRead.h"
#include "FileWrite.h"
#include "GbkText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>


// The file as its lines, each kept as it stands so that a write changes only what it must.
struct IniFile::Lines {
    QStringList text;
    QString eol = QStringLiteral("\n");
    QByteArray original; // the bytes read, to skip a write that changes nothing
};

namespace {

std::optional<QString> sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

bool isComment(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// The key of a "key=value" line, or nothing for blank, comment and other lines.
std::optional<QString> keyName(const QString &line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || isComment(t))
        return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

QString valueOf(const QString &line)
{
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

// Names in the file are read trimmed and written trimmed, so a caller's " key" must match "key" too.
bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Index of the first header of the section, or -1.
qsizetype findSection(const QStringList &lines, const QString &section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

// One past the last line of the section whose header is at `header`.
qsizetype sectionEnd(const QStringList &lines, qsizetype header)
{
    qsizetype i = header + 1;
    while (i < lines.size() && !sectionName(lines[i]))
        ++i;
    return i;
}

qsizetype findKey(const QStringList &lines, qsizetype header, const QString &key)
{
    const qsizetype end = sectionEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto name = keyName(lines[i]);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

bool hasLineBreak(const QString &s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

std::optional<int> parseInteger(const QString &text)
{
    bool ok = false;
    int v = 0;
    if (text.size() > 2 && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = text.mid(2).toInt(&ok, 16);
    else
        v = text.toInt(&ok, 10);
    return ok ? std::optional<int>(v) : std::nullopt;
}

// Reads the whole file into bytes; false with the reason in problem when it is there but cannot be read. A
// missing file reads as empty.
bool readWhole(const QString &fileName, QByteArray &bytes, QString &problem)
{
    bytes.clear();
    const QString shown = QDir::toNativeSeparators(fileName);
    QFile file;
    int error = 0;
    switch (OpenRegularFileFor(file, fileName, &error)) {
    case ReadOpening::Missing:
        return true;
    case ReadOpening::NotRegularFile:
        problem = QStringLiteral("设置文件 %1 不是普通文件（而是文件夹、管道或设备），无法读取。").arg(shown);
        return false;
    case ReadOpening::Failed:
        problem = QStringLiteral("无法读取设置文件 %1：%2").arg(shown, QString::fromLocal8Bit(std::strerror(error)));
        return false;
    case ReadOpening::Opened:
        break;
    }
    // One byte past the limit tells a file that grows while it is read from one that fits.
    bytes = file.read(IniFile::kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problem = QStringLiteral("无法读取设置文件 %1：%2").arg(shown, file.errorString());
        bytes.clear();
        return false;
    }
    if (bytes.size() > IniFile::kMaxFileBytes) {
        problem = QStringLiteral("设置文件 %1 太大（超过 %2 KB），不是本软件的设置文件，无法读取。")
                      .arg(shown)
                      .arg(IniFile::kMaxFileBytes / 1024);
        bytes.clear();
        return false;
    }
    return true;
}

} // namespace

QString IniFile::ReadProblem(const QString &fileName)
{
    QByteArray bytes;
    QString problem;
    readWhole(fileName, bytes, problem);
    return problem;
}

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

IniFile IniFile::Snapshot(QString fileName)
{
    IniFile ini(std::move(fileName));
    auto lines = std::make_shared<Lines>();
    ini.load(*lines, false);
    ini.m_snapshot = std::move(lines);
    return ini;
}

bool IniFile::load(Lines &lines, bool forWriting) const
{
    if (m_snapshot && !forWriting) {
        lines = *m_snapshot;
        return true;
    }
    // Only a file that is not there reads as empty. A file that is there but cannot be read (no permission,
    // an input/output error, a folder, a pipe or a device in its place, a size no settings file has) is not
    // empty: a write made from that reading would replace its whole content with one key.
    QString problem;
    QByteArray bytes;
    if (!readWhole(m_fileName, bytes, problem))
        return !forWriting;
    lines.original = bytes;
    QString text = DecodeUtf8OrGbk(lines.original);
    if (text.contains(QLatin1String("\r\n")))
        lines.eol = QStringLiteral("\r\n");
    text.remove(QLatin1Char('\r'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (!text.isEmpty())
        lines.text = text.split(QLatin1Char('\n'));
    return true;
}

bool IniFile::save(const Lines &lines)
{
    const QByteArray bytes = lines.text.isEmpty() ? QByteArray()
                                                  : (lines.text.join(lines.eol) + lines.eol).toUtf8();
    if (bytes == lines.original && QFileInfo::exists(m_fileName))
        return true;
    const FileWriteResult written = WriteWholeFile(m_fileName, bytes);
    if (!written.ok()) {
        m_lastError = FileWriteText(m_fileName, written);
        return false;
    }
    m_lastError.clear();
    m_snapshot.reset();
    return true;
}

namespace {

const QString kUnreadable = QStringLiteral("无法读取文件 %1，为免丢失其内容，没有改写它");

} // namespace

bool IniFile::refuse(const QString &why)
{
    m_lastError = why;
    if (m_updating && m_updateRefusal.isEmpty())
        m_updateRefusal = why;
    return false;
}

// The text a change starts from: inside Update the text changed so far, else the file as it is now.
bool IniFile::loadForChange(Lines &lines)
{
    if (m_updating) {
        if (!m_pending)
            return refuse(kUnreadable.arg(m_fileName));
        lines = *m_pending;
        return true;
    }
    return load(lines, true) || refuse(kUnreadable.arg(m_fileName));
}

bool IniFile::saveChange(const Lines &lines)
{
    if (!m_updating)
        return save(lines);
    *m_pending = lines;
    return true;
}

bool IniFile::Update(const std::function<void()> &changes)
{
    if (m_updating) { // an Update inside another is part of it
        changes();
        return m_updateRefusal.isEmpty();
    }
    auto lines = std::make_shared<Lines>();
    m_pending = load(*lines, true) ? lines : nullptr;
    m_updating = true;
    m_updateRefusal.clear();
    changes();
    m_updating = false;
    const std::shared_ptr<Lines> changed = std::move(m_pending);
    if (!m_updateRefusal.isEmpty()) {
        m_lastError = m_updateRefusal;
        return false;
    }
    return !changed || save(*changed);
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    Lines lines;
    load(lines, false);
    const qsizetype header = findSection(lines.text, section);
    if (header < 0)
        return defaultValue;
    const qsizetype at = findKey(lines.text, header, key);
    return at < 0 ? defaultValue : valueOf(lines.text[at]);
}

int IniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    return parseInteger(ReadString(section, key, QString())).value_or(defaultValue);
}

double IniFile::ReadFloat(const QString &section, const QString &key, double defaultValue) const
{
    // std::from_chars ignores the process locale, which a Qt application sets from the environment.
    QByteArray text = ReadString(section, key, QString()).toLatin1();
    if (text.startsWith('+'))
        text.remove(0, 1);
    double v = 0;
    const char *end = text.constData() + text.size();
    const auto [ptr, ec] = std::from_chars(text.constData(), end, v);
    return ec == std::errc() && ptr == end && !text.isEmpty() && std::isfinite(v) ? v : defaultValue;
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::SectionExists(const QString &section) const
{
    Lines lines;
    load(lines, false);
    return findSection(lines.text, section) >= 0;
}

bool IniFile::ValueExists(const QString &section, const QString &key) const
{
    Lines lines;
    load(lines, false);
    const qsizetype header = findSection(lines.text, section);
    return header >= 0 && findKey(lines.text, header, key) >= 0;
}

QStringList IniFile::ReadSections() const
{
    Lines lines;
    load(lines, false);
    QStringList names;
    for (const QString &line : lines.text) {
        const auto name = sectionName(line);
        if (name && !names.contains(*name, Qt::CaseInsensitive))
            names << *name;
    }
    return names;
}

QStringList IniFile::ReadSection(const QString &section) const
{
    Lines lines;
    load(lines, false);
    QStringList keys;
    const qsizetype header = findSection(lines.text, section);
    if (header < 0)
        return keys;
    const qsizetype end = sectionEnd(lines.text, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto name = keyName(lines.text[i]);
        if (name && !keys.contains(*name, Qt::CaseInsensitive))
            keys << *name;
    }
    return keys;
}

bool IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString s = section.trimmed(), k = key.trimmed();
    if (s.isEmpty() || k.isEmpty() || hasLineBreak(s) || hasLineBreak(k) || hasLineBreak(value)
        || s.contains(QLatin1Char(']')) || k.contains(QLatin1Char('=')) || k.startsWith(QLatin1Char('['))
        || isComment(k)) {
        return refuse(QStringLiteral("拒绝写入无效的设置项 [%1] %2").arg(section, key));
    }
    Lines lines;
    if (!loadForChange(lines))
        return false;
    const qsizetype header = findSection(lines.text, s);
    if (header < 0) {
        lines.text << QLatin1Char('[') + s + QLatin1Char(']') << k + QLatin1Char('=') + value;
        return saveChange(lines);
    }
    const qsizetype at = findKey(lines.text, header, k);
    if (at >= 0) {
        lines.text[at] = *keyName(lines.text[at]) + QLatin1Char('=') + value;
        return saveChange(lines);
    }
    // A new key goes after the section's last non-blank line, before the blank lines that set off the next.
    qsizetype insertAt = sectionEnd(lines.text, header);
    while (insertAt > header + 1 && lines.text[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    lines.text.insert(insertAt, k + QLatin1Char('=') + value);
    return saveChange(lines);
}

bool IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool IniFile::WriteFloat(const QString &section, const QString &key, double value)
{
    return WriteString(section, key, QString::number(value, 'g', 15));
}

bool IniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::DeleteKey(const QString &section, const QString &key)
{
    Lines lines;
    if (!loadForChange(lines))
        return false;
    const qsizetype header = findSection(lines.text, section);
    const qsizetype at = header < 0 ? -1 : findKey(lines.text, header, key);
    if (at < 0)
        return true;
    lines.text.removeAt(at);
    return saveChange(lines);
}

bool IniFile::EraseSection(const QString &section)
{
    Lines lines;
    if (!loadForChange(lines))
        return false;
    bool erased = false;
    for (qsizetype header; (header = findSection(lines.text, section)) >= 0; erased = true)
        lines.text.remove(header, sectionEnd(lines.text, header) - header);
    return erased ? saveChange(lines) : true;
}
