// skinpack pack FOLDER FILE.skn [VERSION] | skinpack unpack FILE.skn FOLDER
// Packing takes the regular files directly inside FOLDER in name order; unpacking writes each member back
// under its name as written. Exit status 0 on success, 1 on any failure, with the reason on stderr.

#include "FileWrite.h"
#include "TSkinReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

int failWith(const QString &message)
{
    std::fputs((message + u'\n').toUtf8().constData(), stderr);
    return 1;
}

// A member name becomes a file inside the target folder only when it cannot point anywhere else.
bool isSafeMemberName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') || name.contains(u'\\') ||
        name.contains(u':'))
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

// 0, or 1 after saying why the file could not be written whole.
int writeWhole(const QString &path, const QByteArray &bytes)
{
    const FileWriteResult written = WriteWholeFile(path, bytes);
    return written.ok() ? 0 : failWith(FileWriteText(path, written));
}

int pack(const QString &folder, const QString &target, quint32 version)
{
    const QDir dir(folder);
    if (!dir.exists())
        return failWith(QStringLiteral("找不到文件夹：%1").arg(folder));
    QList<SkinMember> members;
    const auto entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &info : entries) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return failWith(QStringLiteral("无法读取文件：%1").arg(info.filePath()));
        members.append({info.fileName(), file.readAll()});
    }
    QByteArray package;
    if (!WriteSkinPackage(members, version, package))
        return failWith(QStringLiteral("无法打包：版本号无效，或文件过多（至多 %1 个）。").arg(TSkinReader::MaxMembers));
    return writeWhole(target, SkinCompress(package));
}

int unpack(const QString &source, const QString &folder)
{
    TSkinReader reader;
    if (!reader.loadfromfile(source))
        return failWith(reader.errorText().replace(u'\r', u'\n') + u' ' + source);
    for (const QString &name : reader.rawNames())
        if (!isSafeMemberName(name))
            return failWith(QStringLiteral("皮肤包中的成员名不安全，拒绝解包：%1").arg(name));
    if (!QDir().mkpath(folder))
        return failWith(QStringLiteral("无法创建文件夹：%1").arg(folder));
    const QDir dir(folder);
    for (int i = 0; i < reader.rawNames().size(); ++i)
        if (writeWhole(dir.filePath(reader.rawNames()[i]), reader.member(i)) != 0)
            return 1;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString usage = QStringLiteral("用法：skinpack pack 文件夹 皮肤包.skn [20000|30000|40000]\n"
                                         "      skinpack unpack 皮肤包.skn 文件夹");
    if (args.size() >= 3 && args.size() <= 4 && args[0] == u"pack") {
        bool ok = true;
        const quint32 version = args.size() == 4 ? args[3].toUInt(&ok) : 20000;
        if (!ok || TSkinReader::NameListOffset(version) < 0)
            return failWith(usage);
        return pack(args[1], args[2], version);
    }
    if (args.size() == 3 && args[0] == u"unpack")
        return unpack(args[1], args[2]);
    return failWith(usage);
}
