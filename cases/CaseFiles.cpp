#include "CaseFiles.h"

#include "FileWrite.h"
#include "MRecordBase.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString FileOf(const QString &appFolder, const QString &remarkFile, const char *extension)
{
    if (!IsValidRemarkFile(remarkFile))
        return {};
    return CaseFolder(appFolder) + remarkFile + QLatin1String(extension);
}

bool IsUnsafeInName(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('.') || c.category() == QChar::Other_Control;
}

} // namespace

QString CaseFolder(const QString &appFolder)
{
    return appFolder + QLatin1String(DbBaseName) + QStringLiteral("_f/");
}

bool IsValidRemarkFile(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxRemarkFileChars || name.trimmed().isEmpty())
        return false;
    if (name.contains(QLatin1String("..")))
        return false;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString RemarkFilePath(const QString &appFolder, const QString &remarkFile)
{
    return FileOf(appFolder, remarkFile, ".rtf");
}

QString PlanFilePath(const QString &appFolder, const QString &remarkFile)
{
    return FileOf(appFolder, remarkFile, ".bmp");
}

QString RemarkBaseName(const TRecordData &rec)
{
    QString name = StoredName(rec.name);
    name.removeIf(IsUnsafeInName);
    const TDateRec &d = rec.date;
    return name + QString::asprintf("_%04d%02d%02d%02d%02d", d.year, d.month, d.day, d.hour, d.minute);
}

bool RemarkNameTaken(const QString &appFolder, const QString &name)
{
    return QFileInfo::exists(RemarkFilePath(appFolder, name)) || QFileInfo::exists(PlanFilePath(appFolder, name));
}

QString FirstFreeRemarkName(const TRecordData &rec, const std::function<bool(const QString &)> &taken)
{
    const QString base = RemarkBaseName(rec);
    QString candidate = base;
    for (int k = 0; taken(candidate); ++k)
        candidate = base + QStringLiteral("_%1").arg(k);
    return candidate;
}

QString NewRemarkFileName(const QString &appFolder, const TRecordData &rec, QString &name)
{
    name = FirstFreeRemarkName(rec, [&](const QString &n) { return RemarkNameTaken(appFolder, n); });
    return RemarkFilePath(appFolder, name);
}

bool EnsureValidRemarkFile(const QString &appFolder, TRecordData &rec)
{
    if (IsValidRemarkFile(rec.remarkFile))
        return false;
    NewRemarkFileName(appFolder, rec, rec.remarkFile);
    return true;
}

bool SaveCaseFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const FileWriteResult written = WriteWholeFile(path, bytes);
    if (!written.ok() && error)
        *error = FileWriteText(path, written);
    return written.ok();
}
