#include "FileDialogs.h"

#include "AppPath.h"
#include "IniFile.h"
#include "Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include <algorithm>
#include <map>

namespace FileDialogs {

namespace {

const QString kSection = QStringLiteral("folders");

QString keyOf(FileKind kind)
{
    switch (kind) {
    case FileKind::Plan: return QStringLiteral("plan");
    case FileKind::Picture: return QStringLiteral("picture");
    case FileKind::Report: return QStringLiteral("report");
    case FileKind::CaseFile: return QStringLiteral("casefile");
    case FileKind::Backup: return QStringLiteral("backup");
    }
    return QStringLiteral("other");
}

// Empty while the program has no data folder: then nothing is remembered.
QString settingsFile()
{
    const QString data = DataPath();
    return data.isEmpty() ? QString() : data + QStringLiteral("dat/qrinit.ini");
}

QString firstFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Remembering is a convenience: a settings file that cannot be written leaves the folder as it was.
void remember(FileKind kind, const QString &folder)
{
    const QString file = settingsFile();
    if (!file.isEmpty() && !folder.isEmpty())
        IniFile(file).WriteString(kSection, keyOf(kind), QDir::cleanPath(folder));
}

QString rememberFileFolder(FileKind kind, const QString &file)
{
    if (!file.isEmpty())
        remember(kind, QFileInfo(file).absolutePath());
    return file;
}

} // namespace

QString StartFolder(FileKind kind)
{
    const QString file = settingsFile();
    const QString stored = file.isEmpty() ? QString() : IniFile(file).ReadString(kSection, keyOf(kind), QString());
    return !stored.isEmpty() && QFileInfo(stored).isDir() ? stored : firstFolder();
}

QString OpenFile(FileKind kind, const QString &title, const QString &filter)
{
    return rememberFileFolder(kind, Prompts::instance().openFileName(title, StartFolder(kind), filter));
}

QString SaveFile(FileKind kind, const QString &title, const QString &filter, QString *selectedFilter)
{
    return rememberFileFolder(kind,
                              Prompts::instance().saveFileName(title, StartFolder(kind), filter, selectedFilter));
}

QString Folder(FileKind kind, const QString &title)
{
    const QString folder = Prompts::instance().folderName(title, StartFolder(kind));
    remember(kind, folder);
    return folder;
}

QString FolderItem(FileKind kind, const QString &title)
{
    const QString folder = Prompts::instance().folderName(title, StartFolder(kind));
    if (!folder.isEmpty())
        remember(kind, QFileInfo(QDir::cleanPath(folder)).absolutePath());
    return folder;
}

QString ReadablePictureFilter()
{
    // Names that are one format under several suffixes.
    static const std::map<QString, QString> family = {
        {QStringLiteral("jpg"), QStringLiteral("jpeg")},
        {QStringLiteral("tif"), QStringLiteral("tiff")},
        {QStringLiteral("svgz"), QStringLiteral("svg")},
    };
    std::map<QString, QStringList> suffixes; // by format, in name order
    for (const QByteArray &f : QImageReader::supportedImageFormats()) {
        const QString suffix = QString::fromLatin1(f).toLower();
        const auto it = family.find(suffix);
        suffixes[it == family.end() ? suffix : it->second].append(QStringLiteral("*.") + suffix);
    }
    QStringList order;
    for (const QString &first : {QStringLiteral("png"), QStringLiteral("jpeg"), QStringLiteral("bmp")})
        if (suffixes.count(first))
            order.append(first);
    for (const auto &[format, patterns] : suffixes)
        if (!order.contains(format))
            order.append(format);
    QStringList all, entries;
    for (const QString &format : order) {
        QStringList patterns = suffixes[format];
        // The short suffix first: *.jpg before *.jpeg.
        std::stable_sort(patterns.begin(), patterns.end(),
                         [](const QString &a, const QString &b) { return a.size() < b.size(); });
        all += patterns;
        const QString name = format.left(1).toUpper() + format.mid(1);
        entries.append(QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' '))));
    }
    entries.prepend(QStringLiteral("所有图片 (%1)").arg(all.join(QLatin1Char(' '))));
    return entries.join(QStringLiteral(";;"));
}

} // namespace FileDialogs
