#include "TSkinReader.h"

#include "GbkText.h"
#include "TLZH.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

constexpr qint64 MaxExpanded = qint64(256) * 1024 * 1024;
constexpr qint64 MaxRatio = 64;      // above the codec's best case of 60 bytes per 10 bits
constexpr qint64 SmallSlack = 4096;  // a tiny stream may still expand a little further
constexpr int HeaderSize = 16;

quint32 readU32(QByteArrayView bytes, qint64 at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

void appendU32(QByteArray &out, quint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    out.append(b, 4);
}

// Lines as a string list splits text: at CR LF, CR or LF; no line after a final break.
QList<QByteArrayView> splitLines(QByteArrayView text)
{
    QList<QByteArrayView> lines;
    qint64 i = 0;
    const qint64 n = text.size();
    while (i < n) {
        const qint64 start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n')
            ++i;
        lines.append(text.sliced(start, i - start));
        if (i < n && text[i] == '\r')
            ++i;
        if (i < n && text[i] == '\n')
            ++i;
    }
    return lines;
}

QString asciiLower(QString s)
{
    for (QChar &c : s)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return s;
}

} // namespace

bool SkinDecompress(QByteArrayView frame, QByteArray &out)
{
    out.clear();
    if (frame.size() < 4)
        return false;
    const qint64 length = readU32(frame, 0);
    const QByteArrayView stream = frame.sliced(4);
    if (length > std::min(MaxExpanded, MaxRatio * stream.size() + SmallSlack))
        return false;
    return TLZH::LZHUnpack(stream, length, out) == TLZH::Result::Ok;
}

QByteArray SkinCompress(QByteArrayView plain)
{
    QByteArray out;
    appendU32(out, static_cast<quint32>(plain.size()));
    out.append(TLZH::LZHPack(plain));
    return out;
}

int TSkinReader::NameListOffset(quint32 version)
{
    switch (version) {
    case 20000: return 16;
    case 30000: return 272;
    case 40000: return 96;
    default: return -1;
    }
}

bool TSkinReader::Loadfromstream(QByteArrayView frame)
{
    QByteArray package;
    if (!SkinDecompress(frame, package) || package.size() < HeaderSize)
        return fail(SkinReadError::Damaged);
    const int base = NameListOffset(readU32(package, 0));
    if (base < 0) {
        if (messageHandler_)
            messageHandler_(QStringLiteral("此文件版本不同\r请升级新版本 !"));
        return fail(SkinReadError::Version);
    }
    const qint64 listLength = readU32(package, 4);
    const qint64 size = package.size();
    if (base + listLength > size)
        return fail(SkinReadError::Damaged);
    const QList<QByteArrayView> lines = splitLines(QByteArrayView(package).sliced(base, listLength));
    const qint64 count = lines.size();
    if (count > MaxMembers || base + listLength + 4 * count > size)
        return fail(SkinReadError::Damaged);

    const qint64 table = base + listLength;
    const qint64 dataStart = table + 4 * count;
    std::vector<qint64> offsets, sizes;
    qint64 offset = 0;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 memberSize = readU32(package, table + 4 * i);
        offsets.push_back(offset);
        sizes.push_back(memberSize);
        offset += memberSize;
    }
    if (offset > size - dataStart)
        return fail(SkinReadError::Damaged);

    rawNames_.clear();
    for (QByteArrayView line : lines)
        rawNames_.append(DecodeUtf8OrGbk(line));
    names_.clear();
    for (const QString &name : std::as_const(rawNames_))
        names_.append(asciiLower(name));
    offsets_ = std::move(offsets);
    sizes_ = std::move(sizes);
    data_ = package.sliced(dataStart);
    error_ = SkinReadError::None;
    return true;
}

bool TSkinReader::loadfromfile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return fail(SkinReadError::MissingFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(SkinReadError::MissingFile);
    return Loadfromstream(file.readAll());
}

QByteArray TSkinReader::member(int index) const
{
    if (index < 0 || index >= names_.size())
        return {};
    return data_.sliced(offsets_[index], sizes_[index]);
}

void TSkinReader::readfile(const QString &name, QByteArray &out) const
{
    out.clear();
    const int index = names_.indexOf(asciiLower(name));
    if (index >= 0)
        out = member(index);
}

QString TSkinReader::readIni(const QString &text, QByteArray &out) const
{
    out.clear();
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].contains(text)) {
            out = member(i);
            return names_[i];
        }
    return {};
}

QString TSkinReader::errorText() const
{
    switch (error_) {
    case SkinReadError::None: return {};
    case SkinReadError::MissingFile: return QStringLiteral("皮肤文件不存在或无法读取。");
    case SkinReadError::Damaged: return QStringLiteral("皮肤文件已损坏，无法读取。");
    case SkinReadError::Version: return QStringLiteral("此文件版本不同\r请升级新版本 !");
    }
    return {};
}

bool WriteSkinPackage(const QList<SkinMember> &members, quint32 version, QByteArray &package)
{
    package.clear();
    const int base = TSkinReader::NameListOffset(version);
    if (base < 0 || members.size() > TSkinReader::MaxMembers)
        return false;
    QByteArray list;
    for (const SkinMember &m : members) {
        if (m.name.isEmpty() || m.name.contains(u'\r') || m.name.contains(u'\n'))
            return false;
        list += m.name.toUtf8() + "\r\n";
    }
    appendU32(package, version);
    appendU32(package, static_cast<quint32>(list.size()));
    package.append(base - 8, '\0');
    package += list;
    for (const SkinMember &m : members)
        appendU32(package, static_cast<quint32>(m.bytes.size()));
    for (const SkinMember &m : members)
        package += m.bytes;
    return true;
}
