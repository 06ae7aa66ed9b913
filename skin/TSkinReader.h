#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The compressed frame shared by skin packages and compressed ini files: a 4-byte little-endian
// uncompressed length, then the LZHUF bit stream. The length is not trusted: one above
// 64 x the stream size + 4,096 (more than the codec can expand to) or above 256 MiB marks the frame damaged.
bool SkinDecompress(QByteArrayView frame, QByteArray &out);
QByteArray SkinCompress(QByteArrayView plain);

enum class SkinReadError { None, MissingFile, Damaged, Version };

// A skin package: after the frame is expanded,
//   0  u32 version (20000, 30000 or 40000)   4  u32 L, the byte length of the name list   8  8 unread bytes
//   B  the name list, one name per line      B + L  n u32 member sizes      B + L + 4n  member bytes
// with B = 16, 272 or 96 by version. Every number is little-endian. n is the line count of the list in the
// sense of a string list: lines end at CR LF, CR or LF, and a final line break starts no further line.
//
// Lookups by name see the names with ASCII letters in lower case; rawNames() keeps them as written.
// A package that fails to load leaves the reader as it was.
class TSkinReader {
public:
    using MessageHandler = std::function<void(const QString &)>;

    static constexpr int MaxMembers = 10000;
    static constexpr quint32 Versions[] = {20000, 30000, 40000};
    static int NameListOffset(quint32 version); // B of the version, or -1 for an unknown version

    // Receives the version message for a package of another version; without one nothing is shown.
    void setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }

    bool Loadfromstream(QByteArrayView frame);
    bool loadfromfile(const QString &path);

    // The member named `name` (compared in lower case), first match in list order; `out` is cleared first
    // and stays empty without a match.
    void readfile(const QString &name, QByteArray &out) const;
    // The first member whose lower-case name contains `text` as written; its name, or empty without one.
    QString readIni(const QString &text, QByteArray &out) const;

    const QStringList &names() const { return names_; }
    const QStringList &rawNames() const { return rawNames_; }
    QByteArray member(int index) const;

    SkinReadError lastError() const { return error_; }
    QString errorText() const;

private:
    bool fail(SkinReadError error)
    {
        error_ = error;
        return false;
    }

    MessageHandler messageHandler_;
    SkinReadError error_ = SkinReadError::None;
    QStringList names_, rawNames_;
    std::vector<qint64> offsets_, sizes_;
    QByteArray data_;
};

struct SkinMember {
    QString name;
    QByteArray bytes;
};

// The expanded package for `members` in the given version (not yet framed). Names are written as UTF-8 and
// must not be empty or hold a line break; false when one does or there are too many members.
bool WriteSkinPackage(const QList<SkinMember> &members, quint32 version, QByteArray &package);
