#pragma once

// What the files of MRecordBase's whole-database operations share (MRecordBase_whole.cpp, _copy.cpp,
// _migrate.cpp): file names, the folder and file steps, reading rows, choosing comment-file names. Not for use
// outside them.
#include "CaseFileOps.h"
#include "CaseFiles.h"
#include "DiskSpace.h"
#include "FileKey.h"
#include "FileLinks.h"
#include "MRecordBase.h"
#include "SqliteSession.h"
#include "TempFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace wholedb {


inline QString Text(const char *utf8) { return QString::fromUtf8(utf8); }

// The case base's failure messages, one text each wherever the failure is met.
inline const char *const kErrOpen = "无法创建或者打开数据库！";
inline const char *const kErrCreateExtra = "无法创建额外表！";
inline const char *const kErrWriteExtra = "无法往额外表写入数据！";
inline const char *const kErrCreateData = "无法创建数据主表！";
inline const char *const kErrReadCounter = "无法读取额外表的主键id！";
inline const char *const kErrInsert = "无法保存案例！";
inline const char *const kErrCounter = "无法更新主键id！";
inline const char *const kErrUpdate = "无法修改案例！";
inline const char *const kErrDelete = "无法删除案例！";
inline const char *const kErrClasses = "无法更新案例类别！";

inline QString Slashed(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// The folder of the running executable, with a trailing "/". Asked of the system directly before the
// application object exists: a program-wide case base may be made before it.
inline QString ExecutableFolder()
{
    return Slashed(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
}

inline QString Base() { return QLatin1String(DbBaseName); }

// The names of the swap's files beside the case file and the case folder. A case file or case folder kept
// elsewhere through a link (on another disk, say) is swapped where the link leads, beside its target: a rename
// never leaves its disk, and the link stays, leading to the new data.
struct SwapPaths {
    QString db, newDb, oldDb, marker;
    QString folder, newFolder, oldFolder; // with a trailing "/"

    SwapPaths(const QString &appFolder, const QString &dbPath)
    {
        db = LinkedPath(QFileInfo(dbPath).absoluteFilePath());
        newDb = db + QStringLiteral(".new");
        oldDb = db + QStringLiteral(".old");
        marker = db + QStringLiteral(".swap");
        const QString f = LinkedPath(appFolder + Base() + QStringLiteral("_f"));
        folder = f + QLatin1Char('/');
        newFolder = f + QStringLiteral(".new/");
        oldFolder = f + QStringLiteral(".old/");
    }
    // The folder that holds the case folder, where its renames are made.
    QString folderParent() const { return QFileInfo(folder.chopped(1)).absolutePath(); }
    QString dbFolder() const { return QFileInfo(db).absolutePath(); }
};

// Beside the case file (its absolute path in UTF-8) from just before an import's commit until its last comment
// file is written.
inline QString RemarksDueMarker(const QByteArray &dbUtf8)
{
    return QString::fromUtf8(dbUtf8) + QStringLiteral(".remarks");
}

inline bool IsCaseFileName(const QString &name)
{
    const QString lower = name.toLower();
    return lower.endsWith(QStringLiteral(".rtf")) || lower.endsWith(QStringLiteral(".bmp"));
}

// A regular file of no bytes (not a link, which is no file of the case folder's own).
inline bool IsEmptyFile(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0;
}

// The half-written files that a stopped backup left in its folder: the temporaries of its case file and its case
// folder, and the "*.part" files that earlier versions wrote there. Nothing else of the folder is touched; a
// finished backup has none. A case folder that is a link is not the backup's own: it is not looked into.
inline void RemoveBackupParts(CaseFileOps &ops, const QString &backup)
{
    ops.remove(backup + Base() + QStringLiteral(".db.part"));
    ops.sweep(backup);
    const QString cases = backup + Base() + QStringLiteral("_f/");
    if (!ops.isLink(cases))
        ops.sweep(cases, QStringLiteral(".part"));
}

// A case folder kept elsewhere through a link is replaced where the link leads only while that folder holds
// nothing but what a case folder holds (comment and plan files, the backup mark, the program's temporaries): a
// folder of the user's own that the link leads to (a home or documents folder, say) is never renamed and emptied.
// The message refusing it, or empty.
inline QString ForeignLinkedCaseFolder(CaseFileOps &ops, const QString &appFolder, const SwapPaths &p)
{
    const QString link = appFolder + Base() + QStringLiteral("_f");
    if (!ops.isLink(link) || !ops.isDir(p.folder))
        return {};
    const QFileInfoList entries =
        QDir(p.folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &e : entries) {
        const QString n = e.fileName();
        const bool caseFile = !e.isDir() && (IsCaseFileName(n) || n.compare(QStringLiteral("save.txt"), Qt::CaseInsensitive) == 0);
        if (caseFile || IsTemporaryName(n))
            continue;
        return QStringLiteral("案例文件夹“%1”是一个链接，它指向的“%2”里还有别的东西（如“%3”）。为免删除它们，软件不会在那里"
                              "替换或删除案例文件。请让这个链接指向一个只放案例评语文件和户型图文件的文件夹，再试一次。")
            .arg(QDir::toNativeSeparators(link), QDir::toNativeSeparators(p.folder.chopped(1)), n);
    }
    return {};
}

// The start of a message that a step ran out of room: "“folder”所在的磁盘已满".
inline QString DiskFullAt(const QString &folder)
{
    return QStringLiteral("“%1”所在的磁盘已满").arg(QDir::toNativeSeparators(folder));
}

// The backup's mark of completion, written last: a backup folder without it was never finished.
inline QString BackupMark(const QString &backupFolder)
{
    return backupFolder + Base() + QStringLiteral("_f/save.txt");
}

// An SQLite file together with the journal it may have left.
inline bool RemoveDbFile(CaseFileOps &ops, const QString &path)
{
    return ops.remove(path) && ops.remove(path + QStringLiteral("-journal"));
}

// The write lock of the case file, held by an operation that replaces the file from before its last look at it
// until the new file has taken its name. Another program's save meanwhile waits and then fails; it cannot go into
// the file that is being replaced and be lost with it. (A connection that opened the old file before the rename
// and writes after it is refused by SQLite: the file has moved.) Nothing is written through the hold.
class CaseFileHold {
public:
    bool take(const QByteArray &dbUtf8) { return s_.open(dbUtf8, false) == SQLITE_OK && s_.exec("BEGIN IMMEDIATE"); }
    void release() { s_.close(); }

private:
    SqliteSession s_;
};

// A connection of its own to a file that must not be changed: import's source, restore's backup.
class ReadOnlyDb {
public:
    explicit ReadOnlyDb(const QString &path)
    {
        const QByteArray utf8 = QFileInfo(path).absoluteFilePath().toUtf8();
        if (sqlite3_open_v2(utf8.constData(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            sqlite3_close_v2(db_);
            db_ = nullptr;
        }
    }
    ~ReadOnlyDb() { sqlite3_close_v2(db_); }
    ReadOnlyDb(const ReadOnlyDb &) = delete;
    ReadOnlyDb &operator=(const ReadOnlyDb &) = delete;
    sqlite3 *get() const { return db_; }

    // The first column of the first row as text; false when the query fails or has no row.
    bool value(const char *sql, QString &out) const
    {
        sqlite3_stmt *st = nullptr;
        bool ok = db_ && sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW;
        if (ok)
            out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return ok;
    }

    // A case file of this program: both tables, the marker, and no damage.
    bool isCaseFile(bool deepCheck) const
    {
        QString v;
        return value("select count(*) from sqlite_master where type='table' and name in "
                     "('case_data','case_extra');",
                     v) &&
               v == QLatin1String("2") && value("select baseType from case_extra;", v) &&
               v == QLatin1String(kBaseType) && (!deepCheck || (value("pragma quick_check;", v) && v == "ok"));
    }

private:
    sqlite3 *db_ = nullptr;
};

// A stored text as it is, a leading byte-order mark included.
inline QString ColumnText(sqlite3_stmt *st, int column)
{
    const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    return StoredText(chars, sqlite3_column_bytes(st, column));
}

// Every row of case_data in id order, read into records; false when the query fails or body says stop.
template <typename Body>
inline bool ScanCases(sqlite3 *db, Body body)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, "select * from case_data order by id;", -1, &st, nullptr) != SQLITE_OK)
        return false;
    std::vector<int> columns(kCaseColumnCount, -1);
    for (int c = 0; c < sqlite3_column_count(st); ++c)
        for (int i = 0; i < kCaseColumnCount; ++i)
            if (qstricmp(sqlite3_column_name(st, c), kCaseColumns[i]) == 0)
                columns[i] = c;
    int rc;
    QStringList values;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        values.clear();
        for (int i = 0; i < kCaseColumnCount; ++i)
            values << (columns[i] < 0 ? QString() : ColumnText(st, columns[i]));
        TRecordData rec;
        ValuesToRecord(values, rec);
        if (!body(rec)) {
            sqlite3_finalize(st);
            return false;
        }
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

inline std::string InsertWithIdSql()
{
    std::string cols, marks;
    for (const char *c : kCaseColumns) {
        cols += std::string(cols.empty() ? "" : ",") + c;
        marks += marks.empty() ? "?" : ",?";
    }
    return "insert into case_data(" + cols + ") values (" + marks + ");";
}

// The case-data columns after id, joined by commas, for copies that give new ids.
inline QString ColumnsAfterId()
{
    QStringList cols;
    for (int i = 1; i < kCaseColumnCount; ++i)
        cols << QLatin1String(kCaseColumns[i]);
    return cols.join(QLatin1Char(','));
}

inline bool InsertRecord(SqlQuery &q, const TRecordData &rec)
{
    QStringList values;
    RecordToValues(rec, values);
    for (int i = 0; i < kCaseColumnCount; ++i)
        if (IsIntegerColumn(i) ? !q.bind(i + 1, values.at(i).toLongLong()) : !q.bind(i + 1, values.at(i)))
            return false;
    return q.run();
}

// The highest id in use or issued: the larger of the stored counter and the highest id present.
inline qint64 LastId(SqliteSession &s, const char *schema = "main")
{
    const QByteArray sql = QByteArray("select max(coalesce((select max(id) from ") + schema +
                           ".case_data),0), coalesce((select max(cast(primaryId as integer)) from " + schema +
                           ".case_extra),0));";
    SqlQuery q(s, sql.constData());
    return q.step() == SQLITE_ROW ? q.text(0).toLongLong() : -1;
}

// The names of a folder's plain files, read once: a run over many cases asks about names many times.
inline QSet<QString> FilesIn(CaseFileOps &ops, const QString &folder)
{
    QStringList names;
    ops.list(folder, names);
    return QSet<QString>(names.begin(), names.end());
}

// The names the case files of a folder take: each .rtf or .bmp file's name without its extension. A run adds the
// names it gives out, so no two cases of one run get the same name either.
inline QSet<QString> TakenNames(const QSet<QString> &present)
{
    QSet<QString> taken;
    taken.reserve(present.size());
    for (const QString &file : present)
        if (IsCaseFileName(file))
            taken.insert(file.chopped(4));
    return taken;
}

// A free comment-file name for rec: the base name, else the base with "_0", "_1", ... appended.
inline QString FreshName(QSet<QString> &taken, const TRecordData &rec)
{
    const QString name = FirstFreeRemarkName(rec, [&](const QString &n) { return taken.contains(n); });
    taken.insert(name);
    return name;
}

// The percentage step of a copy, reported at each multiple of ten.
inline void Report(const TProgress &progress, const char *label, qint64 done, qint64 total)
{
    if (!progress || total <= 0)
        return;
    const qint64 p = done * 100 / total;
    if (p % 10 == 0)
        progress(Text(label) + QString::number(p) + QStringLiteral("％"));
}

inline QString JsonList(const QStringList &list)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact));
}

inline bool SameFile(const QString &a, const QString &b)
{
    const std::optional<FileKey> key = FileKeyOf(a);
    return key && key == FileKeyOf(b);
}

// The stamp of a case file: a random text written into it once, which tells the file from every other case file
// whatever number a file system gives it. A file copied whole carries its stamp along until the program gives the
// copy one of its own (GiveFreshStamp). Earlier versions ignore the table.
inline const char *const kStampTable = "case_identity";

inline QString ReadStamp(SqliteSession &s)
{
    SqlQuery has(s, "select name from sqlite_master where type='table' and name=?;");
    has.bind(1, QString::fromLatin1(kStampTable));
    if (has.step() != SQLITE_ROW)
        return {};
    SqlQuery q(s, "select fileId from case_identity;");
    return q.step() == SQLITE_ROW ? q.text(0) : QString();
}

// Inside the caller's write transaction: the file's stamp becomes a new random one (stamp).
inline bool WriteStamp(SqliteSession &s, QString &stamp)
{
    stamp = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!s.exec("create table if not exists case_identity(fileId text);") || !s.exec("delete from case_identity;"))
        return false;
    SqlQuery q(s, "insert into case_identity(fileId) values (?);");
    q.bind(1, stamp);
    return q.run();
}

// A record's category as the file stores it.
inline QString CategoryOf(const TRecordData &rec) { return StoredClassName(rec.className); }


} // namespace wholedb
