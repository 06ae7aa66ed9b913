// The operations of the case database that act on the case file as a whole: backup, restore, delete-all,
// compaction, import, export and the migration of the old flat case file.
//
// Rule of every operation here: the live case file and the case folder are never changed in place. New data is
// made complete beside them and swapped in by renames; a marker file says when a swap of several renames has
// begun, so that a program stopped half-way finishes it at the next start (FinishInterrupted).
#include "MRecordBase.h"

#include "CaseFileOps.h"
#include "CaseFiles.h"
#include "MDataBase.h"
#include "SqliteSession.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QStringDecoder>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>

#include <sys/stat.h>

namespace {

QString Text(const char *utf8) { return QString::fromUtf8(utf8); }

QString Slashed(QString folder)
{
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString Base() { return QLatin1String(DbBaseName); }

const char *const kRemarkPlaceholder = "输入自己的评语：";

// The names of the swap's files beside the case file and the case folder.
struct SwapPaths {
    QString db, newDb, oldDb, marker;
    QString folder, newFolder, oldFolder; // with a trailing "/"

    SwapPaths(const QString &appFolder, const QString &dbPath)
    {
        db = QFileInfo(dbPath).absoluteFilePath();
        newDb = db + QStringLiteral(".new");
        oldDb = db + QStringLiteral(".old");
        marker = db + QStringLiteral(".swap");
        const QString f = appFolder + Base() + QStringLiteral("_f");
        folder = f + QLatin1Char('/');
        newFolder = f + QStringLiteral(".new/");
        oldFolder = f + QStringLiteral(".old/");
    }
};

bool IsCaseFileName(const QString &name)
{
    const QString lower = name.toLower();
    return lower.endsWith(QStringLiteral(".rtf")) || lower.endsWith(QStringLiteral(".bmp"));
}

// A folder and its plain files, removed; false when any file stays.
bool RemoveFolder(CaseFileOps &ops, const QString &folder)
{
    if (!ops.isDir(folder))
        return true;
    QStringList names;
    if (!ops.list(folder, names))
        return false;
    bool ok = true;
    for (const QString &n : names)
        ok = ops.remove(folder + n) && ok;
    return ok && ops.removeDir(folder);
}

// An SQLite file together with the journal it may have left.
bool RemoveDbFile(CaseFileOps &ops, const QString &path)
{
    return ops.remove(path) && ops.remove(path + QStringLiteral("-journal"));
}

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
QString ColumnText(sqlite3_stmt *st, int column)
{
    const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return chars ? utf8(QByteArrayView(chars, sqlite3_column_bytes(st, column))) : QString();
}

// Every row of case_data in id order, read into records; false when the query fails or body says stop.
template <typename Body>
bool ScanCases(sqlite3 *db, Body body)
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

std::string InsertWithIdSql()
{
    std::string cols, marks;
    for (const char *c : kCaseColumns) {
        cols += std::string(cols.empty() ? "" : ",") + c;
        marks += marks.empty() ? "?" : ",?";
    }
    return "insert into case_data(" + cols + ") values (" + marks + ");";
}

// The case-data columns after id, joined by commas, for copies that give new ids.
QString ColumnsAfterId()
{
    QStringList cols;
    for (int i = 1; i < kCaseColumnCount; ++i)
        cols << QLatin1String(kCaseColumns[i]);
    return cols.join(QLatin1Char(','));
}

bool InsertRecord(SqlQuery &q, const TRecordData &rec)
{
    QStringList values;
    RecordToValues(rec, values);
    for (int i = 0; i < kCaseColumnCount; ++i)
        if (IsIntegerColumn(i) ? !q.bind(i + 1, values.at(i).toLongLong()) : !q.bind(i + 1, values.at(i)))
            return false;
    return q.run();
}

// The highest id in use or issued: the larger of the stored counter and the highest id present.
qint64 LastId(SqliteSession &s, const char *schema = "main")
{
    const QByteArray sql = QByteArray("select max(coalesce((select max(id) from ") + schema +
                           ".case_data),0), coalesce((select max(cast(primaryId as integer)) from " + schema +
                           ".case_extra),0));";
    SqlQuery q(s, sql.constData());
    return q.step() == SQLITE_ROW ? q.text(0).toLongLong() : -1;
}

// The names of a folder's plain files, read once: a run over many cases asks about names many times.
QSet<QString> FilesIn(CaseFileOps &ops, const QString &folder)
{
    QStringList names;
    ops.list(folder, names);
    return QSet<QString>(names.begin(), names.end());
}

// The names the case files of a folder take: each .rtf or .bmp file's name without its extension. A run adds the
// names it gives out, so no two cases of one run get the same name either.
QSet<QString> TakenNames(const QSet<QString> &present)
{
    QSet<QString> taken;
    taken.reserve(present.size());
    for (const QString &file : present)
        if (IsCaseFileName(file))
            taken.insert(file.chopped(4));
    return taken;
}

// A free comment-file name for rec: the base name, else the base with "_0", "_1", ... appended.
QString FreshName(QSet<QString> &taken, const TRecordData &rec)
{
    const QString base = RemarkBaseName(rec);
    QString name = base;
    for (int k = 0; taken.contains(name); ++k)
        name = base + QStringLiteral("_%1").arg(k);
    taken.insert(name);
    return name;
}

// The percentage step of a copy, reported at each multiple of ten.
void Report(const TProgress &progress, const char *label, qint64 done, qint64 total)
{
    if (!progress || total <= 0)
        return;
    const qint64 p = done * 100 / total;
    if (p % 10 == 0)
        progress(Text(label) + QString::number(p) + QStringLiteral("％"));
}

QString JsonList(const QStringList &list)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact));
}

// The first category (an empty one reads as 临时保存), in id order from id `from` on, that the JSON list ?1 lacks.
// Asked again after each find, this lists the new categories in order of first appearance; when the list already
// holds them all, as it mostly does, that is one scan without sorting.
const char *const kFirstNewCategory =
    "select coalesce(nullif(className,''),'临时保存') from main.case_data where id>=?2 and "
    "coalesce(nullif(className,''),'临时保存') not in (select value from json_each(?1)) order by id limit 1;";

void AppendNewCategories(SqliteSession &s, qint64 from, QStringList &known)
{
    for (;;) {
        SqlQuery q(s, kFirstNewCategory);
        q.bind(1, JsonList(known));
        q.bind(2, from);
        if (q.step() != SQLITE_ROW || known.contains(q.text(0)))
            return;
        known << q.text(0);
    }
}

bool SameFile(const QString &a, const QString &b)
{
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// A record's category as the file stores it.
QString CategoryOf(const TRecordData &rec) { return StoredClassName(rec.className); }

} // namespace

CaseFileOps &MRecordBase::Ops() { return fileOps ? *fileOps : CaseFileOps::standard(); }

int MRecordBase::Open(const QString &dbPath, bool convertOld)
{
    if (appFolder.isEmpty()) {
        appFolder = Slashed(QCoreApplication::instance()
                                ? QCoreApplication::applicationDirPath()
                                : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
    }
    FinishInterrupted(dbPath);
    const int rc = Open(dbPath);
    if (rc != 0 || !convertOld)
        return rc;
    return ConvertOldData();
}

// A swap that was cut short: with its marker, it is finished (the new data was complete before the marker was
// written); without one, the staged copies are dropped. Old copies that a finished swap left are removed.
bool MRecordBase::FinishInterrupted(const QString &dbPath)
{
    CaseFileOps &ops = Ops();
    const SwapPaths p(appFolder, dbPath);
    bool ok = true;
    if (ops.exists(p.marker)) {
        QFile f(p.marker);
        const QByteArray kind = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
        if (kind == "restore") {
            if (ops.exists(p.newDb)) {
                if (ops.exists(p.db) && !ops.exists(p.oldDb))
                    ok = ops.rename(p.db, p.oldDb) && ok;
                ok = ok && ops.rename(p.newDb, p.db);
            }
            if (ok && ops.isDir(p.newFolder)) {
                if (ops.isDir(p.folder) && !ops.isDir(p.oldFolder))
                    ok = ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1));
                ok = ok && ops.rename(p.newFolder.chopped(1), p.folder.chopped(1));
            }
        } else if (kind == "delete") {
            if (ops.exists(p.db) && !ops.exists(p.oldDb))
                ok = ops.rename(p.db, p.oldDb);
            if (ok && ops.isDir(p.folder) && !ops.isDir(p.oldFolder))
                ok = ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1));
            ok = ok && ops.makeDir(p.folder);
        }
        if (!ok)
            return false; // the marker stays: the next start tries again
        ops.syncDir(QFileInfo(p.db).absolutePath());
        ops.syncDir(appFolder);
        if (!ops.remove(p.marker))
            return false;
    }
    // No swap under way: whatever staged or old copies are left belong to no one, and neither does the fresh
    // file of a compaction that was stopped before its rename.
    ok = RemoveDbFile(ops, Slashed(QFileInfo(p.db).absolutePath()) + Base() + QStringLiteral("_back.db")) && ok;
    ok = RemoveDbFile(ops, p.newDb) && ok;
    ok = RemoveFolder(ops, p.newFolder) && ok;
    // Half-written files of this program's replacing writes (the marker, kqinit.ini, comment files).
    for (const QString &folder : {Slashed(QFileInfo(p.db).absolutePath()), p.folder}) {
        QStringList names;
        if (ops.isDir(folder) && ops.list(folder, names))
            for (const QString &n : names)
                if (n.endsWith(QStringLiteral(".part")))
                    ok = ops.remove(folder + n) && ok;
    }
    ok = RemoveDbFile(ops, p.oldDb) && ok;
    ok = RemoveFolder(ops, p.oldFolder) && ok;
    return ok;
}

bool MRecordBase::CheckBaseType(const QString &expected)
{
    SqliteSession s;
    if (!OpenSession(s)) {
        message = s.errorText();
        return false;
    }
    SqlQuery q(s, "select baseType from case_extra;");
    const int rc = q.step();
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            message = s.errorText();
        return false;
    }
    return q.text(0) == expected;
}

bool MRecordBase::EnsureRemarkFiles()
{
    return !InBatch() && EnsureRemarkFilesIn(utf8Path, CaseFolder(appFolder));
}

// Gives every case of the file whose stored comment-file name is unusable a fresh one, then writes the comment
// file of every case that has none. Never overwrites a file.
bool MRecordBase::EnsureRemarkFilesIn(const QByteArray &dbUtf8, const QString &folder)
{
    CaseFileOps &ops = Ops();
    sqlite3 *db = nullptr;
    auto fail = [&](const char *text) {
        sqlite3_close_v2(db); // an open transaction is rolled back with the connection
        message = Text(text);
        return false;
    };
    if (dbUtf8.isEmpty() || sqlite3_open_v2(dbUtf8.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return fail("无法创建或者打开数据库！");
    sqlite3_busy_timeout(db, 5000);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail("无法创建或者打开数据库！");
    const QSet<QString> present = FilesIn(ops, folder);
    QSet<QString> taken = TakenNames(present);
    std::vector<TRecordData> unnamed, missing;
    const bool scanned = ScanCases(db, [&](TRecordData &rec) {
        if (!IsValidRemarkFile(rec.remarkFile)) {
            unnamed.push_back(rec); // named once every valid stored name is known
            return true;
        }
        taken.insert(rec.remarkFile);
        if (!present.contains(rec.remarkFile + QStringLiteral(".rtf")))
            missing.push_back(rec);
        return true;
    });
    if (!scanned)
        return fail("无法读取案例数据！");
    for (TRecordData &rec : unnamed) {
        rec.remarkFile = FreshName(taken, rec);
        missing.push_back(rec);
        sqlite3_stmt *st = nullptr;
        const QByteArray utf8 = rec.remarkFile.toUtf8();
        const bool ok = sqlite3_prepare_v2(db, "update case_data set remarkFile=? where id=?;", -1, &st, nullptr) ==
                            SQLITE_OK &&
                        sqlite3_bind_text(st, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
                        sqlite3_bind_int64(st, 2, rec.id) == SQLITE_OK && sqlite3_step(st) == SQLITE_DONE;
        sqlite3_finalize(st);
        if (!ok)
            return fail("无法修改案例！");
    }
    if (!ops.checkpoint("remarks-commit") || sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return fail("无法修改案例！");
    sqlite3_close_v2(db);
    // The comments are in the rows, so a file that is not written here is written at the next call.
    if (remarkCodec.toRtf)
        for (const TRecordData &rec : missing)
            ops.createFile(folder + rec.remarkFile + QStringLiteral(".rtf"), remarkCodec.toRtf(rec.remarkText));
    return true;
}

bool MRecordBase::Backup(const QString &destFolder)
{
    CaseFileOps &ops = Ops();
    const QString dest = Slashed(destFolder);
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text("无法复制db文件！");
        return false;
    }
    {
        // A read transaction keeps every writer out while the file is copied, so the copy is one consistent
        // state; reading first also rolls back what a program stopped while saving left in a journal.
        SqliteSession s;
        const bool locked = OpenSession(s) && s.exec("BEGIN") && s.exec("select count(*) from case_extra;");
        if (!locked || (!ops.isDir(dest) && !ops.makeDir(dest)) || !ops.copyFile(QString::fromUtf8(utf8Path), dest + Base() + QStringLiteral(".db"))) {
            message = Text("无法复制db文件！");
            return false;
        }
    }
    const QString destCases = dest + Base() + QStringLiteral("_f/");
    if (!ops.isDir(destCases) && !ops.makeDir(destCases)) {
        message = Text("无法创建目的评语文件夹！");
        return false;
    }
    QStringList names;
    const QString folder = CaseFolder(appFolder);
    if (!ops.list(folder, names)) {
        message = Text("找不到评语文件、户型图文件！");
        return false;
    }
    int failed = 0;
    for (const QString &n : names)
        if (IsCaseFileName(n) && !ops.copyFile(folder + n, destCases + n))
            ++failed;
    if (failed > 0) {
        message = QStringLiteral("有 %1 个评语文件、户型图文件无法复制，备份不完整！").arg(failed);
        return false;
    }
    if (!ops.writeFile(destCases + QStringLiteral("save.txt"), QByteArrayLiteral("save\r\n"))) {
        message = Text("无法写入备份标记文件！");
        return false;
    }
    return true;
}

bool MRecordBase::Restore(const QString &srcFolder)
{
    CaseFileOps &ops = Ops();
    const QString src = Slashed(srcFolder);
    const QString srcDb = src + Base() + QStringLiteral(".db");
    const QString srcCases = src + Base() + QStringLiteral("_f/");
    if (!ops.exists(srcDb)) {
        message = Text("没有源db文件！");
        return false;
    }
    if (!ops.isDir(srcCases)) {
        message = Text("没有源评语文件夹！");
        return false;
    }
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text("无法复制db文件！");
        return false;
    }
    if (!ReadOnlyDb(srcDb).isCaseFile(true)) {
        message = Text("备份的db文件已损坏或者不是案例数据库，无法还原！");
        return false;
    }
    QStringList names;
    if (!ops.list(srcCases, names)) {
        message = Text("找不到评语文件、户型图文件！");
        return false;
    }
    const SwapPaths p(appFolder, path);
    if (!FinishInterrupted(path)) {
        message = Text("无法清理上次未完成的操作留下的文件！");
        return false;
    }
    // Stage the backup beside the live data; nothing live is touched until it is complete.
    auto dropStaged = [&] {
        RemoveDbFile(ops, p.newDb);
        RemoveFolder(ops, p.newFolder);
    };
    bool staged = ops.makeDir(p.newFolder) && ops.copyFile(srcDb, p.newDb);
    if (!staged) {
        dropStaged();
        message = Text("无法复制db文件！");
        return false;
    }
    for (const QString &n : names) {
        if (IsCaseFileName(n) && !ops.copyFile(srcCases + n, p.newFolder + n)) {
            dropStaged();
            message = Text("无法复制评语文件、户型图文件！");
            return false;
        }
    }
    if (!EnsureRemarkFilesIn(p.newDb.toUtf8(), p.newFolder) || !ops.syncDir(p.newFolder)) {
        dropStaged();
        message = Text("无法复制评语文件、户型图文件！");
        return false;
    }
    if (!SettleJournal()) {
        dropStaged();
        return false;
    }
    // From the marker on, the swap is finished at the next start if the program stops.
    if (!ops.writeFile(p.marker, QByteArrayLiteral("restore"))) {
        dropStaged();
        message = Text("无法复制db文件！");
        return false;
    }
    const bool hadDb = ops.exists(p.db);
    const bool hadFolder = ops.isDir(p.folder);
    int done = 0; // the renames made, for going back
    const bool ok = (!hadDb || ops.rename(p.db, p.oldDb)) && ++done &&
                    (!hadFolder || ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1))) && ++done &&
                    ops.rename(p.newDb, p.db) && ++done &&
                    ops.rename(p.newFolder.chopped(1), p.folder.chopped(1)) && ++done &&
                    ops.syncDir(QFileInfo(p.db).absolutePath()) && ops.syncDir(appFolder) && ops.remove(p.marker);
    if (!ok) {
        // Put everything back in the reverse order; when that fails too, the marker finishes the swap later.
        bool back = true;
        if (done >= 4)
            back = ops.rename(p.folder.chopped(1), p.newFolder.chopped(1));
        if (back && done >= 3)
            back = ops.rename(p.db, p.newDb);
        if (back && done >= 2 && hadFolder)
            back = ops.rename(p.oldFolder.chopped(1), p.folder.chopped(1));
        if (back && done >= 1 && hadDb)
            back = ops.rename(p.oldDb, p.db);
        if (back && ops.remove(p.marker)) {
            dropStaged();
            message = Text("无法替换案例数据，原有数据没有改变！");
            return false;
        }
        // Could not go back: go forward, so the backup is live and complete.
        if (!FinishInterrupted(path)) {
            message = Text("还原没有完成，请重新打开软件！");
            return false;
        }
    }
    // The swap is done; the old copies are only clutter now (the next start removes what stays).
    RemoveDbFile(ops, p.oldDb);
    RemoveFolder(ops, p.oldFolder);
    return true;
}

// A journal that a save stopped half-way left beside the case file is rolled back now (a read does that), so it
// can never meet a file that takes the case file's name.
bool MRecordBase::SettleJournal()
{
    SqliteSession s;
    if (OpenSession(s) && s.exec("select count(*) from case_extra;"))
        return true;
    message = s.errorText();
    return false;
}

bool MRecordBase::DeleteAll()
{
    CaseFileOps &ops = Ops();
    if (InBatch() || path.isEmpty()) {
        message = Text("无法删除案例！");
        return false;
    }
    const SwapPaths p(appFolder, path);
    if (!FinishInterrupted(path) || !SettleJournal() || !ops.writeFile(p.marker, QByteArrayLiteral("delete"))) {
        message = Text("无法删除案例！");
        return false;
    }
    const bool hadDb = ops.exists(p.db);
    const bool hadFolder = ops.isDir(p.folder);
    int done = 0; // the renames made, for going back
    const bool ok = (!hadDb || ops.rename(p.db, p.oldDb)) && ++done &&
                    (!hadFolder || ops.rename(p.folder.chopped(1), p.oldFolder.chopped(1))) && ++done &&
                    ops.makeDir(p.folder) && ops.syncDir(appFolder) && ops.remove(p.marker);
    if (!ok) {
        bool back = true;
        if (done >= 2 && hadFolder)
            back = ops.removeDir(p.folder) && ops.rename(p.oldFolder.chopped(1), p.folder.chopped(1));
        if (back && done >= 1 && hadDb)
            back = ops.rename(p.oldDb, p.db);
        if (back && ops.remove(p.marker)) {
            message = Text("无法删除案例！");
            return false;
        }
        if (!FinishInterrupted(path)) {
            message = Text("删除没有完成，请重新打开软件！");
            return false;
        }
    }
    RemoveDbFile(ops, p.oldDb);
    RemoveFolder(ops, p.oldFolder);
    return true;
}

// Copies the rows of attached file "live" that match filter (an SQL condition, with ?1 the JSON list of
// classes) into main.case_data, giving them ids after main's last. The count copied, or -1 (message set).
int MRecordBase::CopyCases(SqliteSession &s, const QString &filter, const QStringList &classes, const char *label,
                           const TProgress &progress)
{
    const QString json = JsonList(classes);
    qint64 total = 0, low = 0, high = 0;
    {
        const QByteArray sql =
            ("select count(*), min(id), max(id) from live.case_data where " + filter + ";").toUtf8();
        SqlQuery q(s, sql.constData());
        q.bind(1, json);
        if (q.step() != SQLITE_ROW) {
            message = s.errorText();
            return -1;
        }
        total = q.text(0).toLongLong();
        low = q.text(1).toLongLong();
        high = q.text(2).toLongLong();
    }
    if (total > std::numeric_limits<int32_t>::max()) {
        message = Text("无法保存案例！");
        return -1;
    }
    // A tenth of the id range at a time, in id order, so the new ids follow the old order.
    const QByteArray copy = ("insert into main.case_data(" + ColumnsAfterId() + ") select " + ColumnsAfterId() +
                             " from live.case_data where id>=?2 and id<?3 and (" + filter + ") order by id;")
                                .toUtf8();
    const qint64 step = std::max<qint64>(1, (high - low + 10) / 10);
    qint64 done = 0;
    for (qint64 from = low; total > 0 && from <= high; from += step) {
        SqlQuery q(s, copy.constData());
        q.bind(1, json);
        q.bind(2, from);
        q.bind(3, std::min(from + step, high + 1));
        if (!q.run() || !Ops().checkpoint("copy")) {
            message = Text("无法保存案例！");
            return -1;
        }
        done += s.changes();
        Report(progress, label, done, total);
    }
    // The count is checked: a copy that lost a row is not a copy.
    SqlQuery q(s, "select count(*) from main.case_data;");
    if (done != total || q.step() != SQLITE_ROW || q.text(0).toLongLong() != total) {
        message = Text("复制的案例数目不对，操作已取消！");
        return -1;
    }
    return int(total);
}

int MRecordBase::Compact(const TProgress &progress)
{
    CaseFileOps &ops = Ops();
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text("无法更改文件名！");
        return 0;
    }
    const QString live = QString::fromUtf8(utf8Path);
    const QString back = Slashed(QFileInfo(live).absolutePath()) + Base() + QStringLiteral("_back.db");
    // A file left by an earlier compaction that stopped is not trusted: start from nothing.
    if (!RemoveDbFile(ops, back) || !ops.checkpoint("create")) {
        message = Text("无法创建或者打开数据库！");
        return 0;
    }
    {
        MRecordBase fresh(appFolder);
        if (fresh.Open(back) != 0) {
            message = fresh.Message();
            RemoveDbFile(ops, back);
            return 0;
        }
    }
    int count = -1;
    {
        SqliteSession s;
        if (s.open(back.toUtf8(), false) == SQLITE_OK) {
            SqlQuery attach(s, "attach ? as live;");
            attach.bind(1, live);
            if (attach.run() && s.exec("BEGIN"))
                count = CopyCases(s, QStringLiteral("?1 is not null"), {}, "整理进度：", progress);
        }
        QStringList classes;
        if (count >= 0) {
            // The user's category list in its order, then the categories of cases that it lacks.
            SqlQuery q(s, "select className from live.case_extra;");
            if (q.step() == SQLITE_ROW)
                SplitValue(q.text(0), classes);
            AppendNewCategories(s, std::numeric_limits<qint64>::min(), classes);
            SqlQuery extra(s, "update main.case_extra set primaryId=?, className=?;");
            extra.bind(1, qint64(count));
            extra.bind(2, classes.join(QLatin1Char(kValueSeparator)));
            if (!extra.run() || !ops.checkpoint("commit") || !s.exec("COMMIT")) {
                message = Text("无法往额外表写入数据！");
                count = -1;
            }
        } else if (message.isEmpty()) {
            message = s.errorText();
        }
    }
    if (count < 0) {
        RemoveDbFile(ops, back);
        return 0;
    }
    // The one step that changes the case file: the complete new file takes its name.
    if (!ops.rename(back, live)) {
        RemoveDbFile(ops, back);
        message = Text("无法更改文件名！");
        return 0;
    }
    ops.syncDir(QFileInfo(live).absolutePath());
    primaryId = count;
    if (progress && count == 0) // a copy of cases has reported its 100 already
        progress(QStringLiteral("整理进度：100％"));
    if (count == 0)
        message = Text("没有可以整理的案例！");
    return count;
}

namespace {

// What the import's SQL functions share: the names taken in the case folder or given out.
struct ImportState {
    QSet<QByteArray> taken; // in UTF-8, as the rows hold them: most rows need no conversion at all
    QSet<QByteArray> seenClasses;
    QStringList classes; // the imported cases' categories in order of first appearance
};

QString ArgText(sqlite3_value *v)
{
    const auto *chars = reinterpret_cast<const char *>(sqlite3_value_text(v));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return chars ? utf8(QByteArrayView(chars, sqlite3_value_bytes(v))) : QString();
}

QByteArrayView ArgBytes(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? QByteArrayView(p, sqlite3_value_bytes(v)) : QByteArrayView();
}

void ResultText(sqlite3_context *ctx, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Whether a stored text needs no cleaning: not empty, none of the removed characters (all ASCII, so a byte scan
// of the UTF-8 finds them), and at most maxChars characters. Most texts are, and pass through untouched.
bool AlreadyClean(sqlite3_value *v, int maxChars)
{
    const auto *p = sqlite3_value_text(v);
    const int n = sqlite3_value_bytes(v);
    if (!p || n == 0)
        return false;
    static const auto removed = [] {
        std::array<bool, 256> table{};
        for (const char *c = "\"*<>?\\/|:' "; *c; ++c)
            table[uchar(*c)] = true;
        return table;
    }();
    int chars = 0;
    for (int i = 0; i < n; ++i) {
        if (removed[p[i]])
            return false;
        chars += (p[i] & 0xC0) != 0x80;
    }
    return maxChars <= 0 || chars <= maxChars;
}

// q_clean(text, max): the text cleaned as a name is; an empty one becomes 甲.
void SqlClean(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (AlreadyClean(argv[0], sqlite3_value_int(argv[1]))) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    QString t = ArgText(argv[0]);
    MRecordBase::SanitizeText(t, sqlite3_value_int(argv[1]));
    ResultText(ctx, t);
}

// q_class(text): the category cleaned like a name (an empty one is 临时保存), noted in order of first appearance.
void SqlClass(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *st = static_cast<ImportState *>(sqlite3_user_data(ctx));
    QByteArray name;
    if (sqlite3_value_bytes(argv[0]) == 0) {
        name = QByteArrayLiteral("临时保存");
    } else if (AlreadyClean(argv[0], kMaxNameChars)) {
        name = ArgBytes(argv[0]).toByteArray();
    } else {
        QString t = ArgText(argv[0]);
        MRecordBase::SanitizeText(t, kMaxNameChars);
        name = t.toUtf8();
    }
    if (!st->seenClasses.contains(name)) {
        st->seenClasses.insert(name);
        st->classes << QString::fromUtf8(name);
    }
    sqlite3_result_text(ctx, name.constData(), int(name.size()), SQLITE_TRANSIENT);
}

// q_address(text): cleaned like a name, but an empty address stays empty.
void SqlAddress(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_bytes(argv[0]) == 0 || AlreadyClean(argv[0], kMaxAddressChars)) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    QString t = ArgText(argv[0]);
    if (!t.isEmpty())
        MRecordBase::SanitizeText(t, kMaxAddressChars);
    ResultText(ctx, t);
}

// IsValidRemarkFile on the UTF-8 bytes, for the plain names nearly every row has: true only when the name is
// surely valid (ASCII printable or non-ASCII characters, at least one visible ASCII character, no separator,
// "..", or control character, at most the longest name); false sends the name to the full check.
bool SurelyValidRemarkFile(QByteArrayView name)
{
    int units = 0;
    bool visible = false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const unsigned char c = name[i];
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || (c == '.' && i + 1 < name.size() && name[i + 1] == '.'))
            return false;
        if (c == 0xC2 && i + 1 < name.size() && (unsigned char)name[i + 1] < 0xA0)
            return false; // U+0080..U+009F, control characters too
        visible = visible || (c > 0x20 && c < 0x7F);
        units += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
    }
    return visible && units <= kMaxRemarkFileChars;
}

// q_remark(remarkFile, name, dateY, dateNum): the stored name when it is usable, free, and the owner's name
// needs no cleaning; else a fresh one from the cleaned name and the birth date.
void SqlRemark(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *st = static_cast<ImportState *>(sqlite3_user_data(ctx));
    const QByteArray stored = ArgBytes(argv[0]).toByteArray();
    const bool renamed = !AlreadyClean(argv[1], kMaxNameChars);
    if (!renamed && !st->taken.contains(stored) &&
        (SurelyValidRemarkFile(stored) || IsValidRemarkFile(QString::fromUtf8(stored)))) {
        st->taken.insert(stored);
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    QString name = ArgText(argv[1]);
    MRecordBase::SanitizeText(name, kMaxNameChars);
    TRecordData rec;
    ValuesToRecord({QString(), name, QString(), QString(), ArgText(argv[2]), ArgText(argv[3])}, rec);
    const QString base = RemarkBaseName(rec);
    QString fresh = base;
    for (int k = 0; st->taken.contains(fresh.toUtf8()); ++k)
        fresh = base + QStringLiteral("_%1").arg(k);
    st->taken.insert(fresh.toUtf8());
    ResultText(ctx, fresh);
}

// Names, categories and addresses cleaned as the old file's migration cleans them, every comment-file name chosen
// before its row goes in, the comment text without single quotes; the rest as the source holds it.
const char *const kImportRows =
    "insert into main.case_data(id,name,sex,className,dateY,dateNum,dateStyle,addrInd,addrName,addrNum,"
    "remarkFile,tag1,tag2,housePanel,jianShan,remarkText) select null, q_clean(name,10), sex, "
    "q_class(className), dateY, dateNum, dateStyle, addrInd, "
    "q_address(addrName), addrNum, q_remark(remarkFile,name,dateY,dateNum), ' ', ' ', housePanel, jianShan, "
    "coalesce(nullif(replace(remarkText,'''',''),''),'输入自己的评语：') from src.case_data where id>=?1 "
    "and id<?2 order by id;";

} // namespace

int MRecordBase::ImportDb(const QString &srcPath, const TProgress &progress)
{
    CaseFileOps &ops = Ops();
    const QString cannotOpen = Text("无法打开导入的数据库文件！");
    if (InBatch() || utf8Path.isEmpty() || !ops.exists(srcPath)) {
        message = cannotOpen;
        return 0;
    }
    if (SameFile(srcPath, QString::fromUtf8(utf8Path))) {
        message = Text("不能导入正在使用的案例数据库！");
        return 0;
    }
    {
        // The source is only read: nothing is ever created or changed in the file the user picked.
        ReadOnlyDb src(srcPath);
        if (!src.get()) {
            message = cannotOpen;
            return 0;
        }
        if (!src.isCaseFile(false)) {
            message = Text("不是相同的数据库类型，无法导入！");
            return 0;
        }
    }
    const QString folder = CaseFolder(appFolder);
    ImportState state;
    for (const QString &name : TakenNames(FilesIn(ops, folder)))
        state.taken.insert(name.toUtf8());

    sqlite3 *db = nullptr;
    sqlite3_stmt *st = nullptr;
    auto fail = [&](const char *text) {
        sqlite3_finalize(st);
        sqlite3_close_v2(db); // the open transaction goes with the connection
        message = Text(text);
        return 0;
    };
    // One statement at a time: prepares sql, binds the numbers, takes the first step.
    auto run = [&](const char *sql, std::initializer_list<qint64> args = {}) {
        sqlite3_finalize(st);
        st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
            return SQLITE_ERROR;
        int i = 0;
        for (qint64 a : args)
            sqlite3_bind_int64(st, ++i, a);
        return sqlite3_step(st);
    };
    if (sqlite3_open_v2(utf8Path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        return fail("无法创建或者打开数据库！");
    sqlite3_busy_timeout(db, 5000);
    const int flags = SQLITE_UTF8 | SQLITE_DIRECTONLY;
    sqlite3_create_function(db, "q_clean", 2, flags | SQLITE_DETERMINISTIC, nullptr, SqlClean, nullptr, nullptr);
    sqlite3_create_function(db, "q_address", 1, flags | SQLITE_DETERMINISTIC, nullptr, SqlAddress, nullptr, nullptr);
    sqlite3_create_function(db, "q_remark", 4, flags, &state, SqlRemark, nullptr, nullptr);
    sqlite3_create_function(db, "q_class", 1, flags, &state, SqlClass, nullptr, nullptr);
    // Attached read-only: the copy can never write to the source.
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(srcPath).absoluteFilePath()).toEncoded() + "?mode=ro";
    if (sqlite3_prepare_v2(db, "attach ?1 as src;", -1, &st, nullptr) != SQLITE_OK ||
        sqlite3_bind_text(st, 1, uri.constData(), int(uri.size()), SQLITE_TRANSIENT) != SQLITE_OK ||
        sqlite3_step(st) != SQLITE_DONE)
        return fail("无法打开导入的数据库文件！");
    if (run("BEGIN IMMEDIATE") != SQLITE_DONE ||
        run("select coalesce((select max(id) from main.case_data),0), coalesce((select max(cast(primaryId as "
            "integer)) from main.case_extra),0), count(*), min(id), max(id) from src.case_data;") != SQLITE_ROW)
        return fail("无法保存案例！");
    const qint64 highest = sqlite3_column_int64(st, 0);
    const qint64 last = std::max(highest, sqlite3_column_int64(st, 1));
    const qint64 total = sqlite3_column_int64(st, 2);
    const qint64 low = sqlite3_column_int64(st, 3), high = sqlite3_column_int64(st, 4);
    const qint64 first = last + 1;
    if (total == 0)
        return fail("导入的数据库中没有案例！");
    if (last + total > std::numeric_limits<int32_t>::max())
        return fail("无法保存案例！");
    state.taken.reserve(state.taken.size() + total);
    // New rows take the id after the highest one present. When the newest cases were deleted, the counter is
    // higher: a placeholder row at the counter, removed again below, keeps those ids from being issued twice.
    if (highest < last && run("insert into main.case_data(id) values (?1);", {last}) != SQLITE_DONE)
        return fail("无法保存案例！");
    // A tenth of the source's id range at a time, in id order, so the new ids follow the old order.
    const qint64 step = std::max<qint64>(1, (high - low + 10) / 10);
    qint64 done = 0;
    for (qint64 from = low; from <= high; from += step) {
        if (run(kImportRows, {from, std::min(from + step, high + 1)}) != SQLITE_DONE || !ops.checkpoint("insert"))
            return fail("无法保存案例！");
        done += sqlite3_changes(db);
        Report(progress, "导入进度：", done, total);
    }
    if (highest < last && run("delete from main.case_data where id=?1;", {last}) != SQLITE_DONE)
        return fail("无法保存案例！");
    const qint64 newLast = last + done;
    // This file's categories in their order, then the new ones in order of first appearance.
    QStringList classes;
    if (run("select className from main.case_extra;") == SQLITE_ROW)
        SplitValue(ColumnText(st, 0), classes);
    for (const QString &c : state.classes)
        if (!classes.contains(c))
            classes << c;
    sqlite3_finalize(st);
    st = nullptr;
    const QByteArray list = classes.join(QLatin1Char(kValueSeparator)).toUtf8();
    const bool written =
        sqlite3_prepare_v2(db, "update main.case_extra set primaryId=?1, className=?2;", -1, &st, nullptr) ==
            SQLITE_OK &&
        sqlite3_bind_int64(st, 1, newLast) == SQLITE_OK &&
        sqlite3_bind_text(st, 2, list.constData(), int(list.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_DONE && sqlite3_changes(db) >= 1;
    // The count is checked: every source case is in, or none is.
    if (!written || done != total || !ops.checkpoint("commit") || run("COMMIT") != SQLITE_DONE)
        return fail("无法保存案例！");
    primaryId = int(newLast);
    // The comments are in the rows; their files follow, never over a file that appeared meanwhile.
    if (remarkCodec.toRtf)
        for (int rc = run("select remarkFile, remarkText from main.case_data where id>=?1;", {first});
             rc == SQLITE_ROW; rc = sqlite3_step(st))
            ops.createFile(folder + ColumnText(st, 0) + QStringLiteral(".rtf"), remarkCodec.toRtf(ColumnText(st, 1)));
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return int(total);
}

int MRecordBase::ExportDb(const QString &destPath, const QStringList &classes, bool all, const TProgress &progress)
{
    CaseFileOps &ops = Ops();
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text("无法创建或者打开数据库！");
        return 0;
    }
    if (ops.exists(destPath)) {
        message = Text("当前时间的数据库文件已经存在，请稍后再导出！");
        return 0;
    }
    const QString part = destPath + QStringLiteral(".part");
    if (!RemoveDbFile(ops, part) || !ops.checkpoint("create")) {
        message = Text("无法创建或者打开数据库！");
        return 0;
    }
    {
        MRecordBase fresh(appFolder);
        if (fresh.Open(part) != 0) {
            message = fresh.Message();
            RemoveDbFile(ops, part);
            return 0;
        }
    }
    int count = -1;
    {
        SqliteSession s;
        if (s.open(part.toUtf8(), false) == SQLITE_OK) {
            SqlQuery attach(s, "attach ? as live;");
            attach.bind(1, QString::fromUtf8(utf8Path));
            if (attach.run() && s.exec("BEGIN")) {
                const QString filter =
                    all ? QStringLiteral("?1 is not null")
                        : QStringLiteral("coalesce(nullif(className,''),'临时保存') in (select value from json_each(?1))");
                count = CopyCases(s, filter, classes, "导出进度：", progress);
            }
        }
        if (count > 0) {
            QStringList used;
            AppendNewCategories(s, std::numeric_limits<qint64>::min(), used);
            SqlQuery extra(s, "update main.case_extra set primaryId=?, className=?;");
            extra.bind(1, qint64(count));
            extra.bind(2, used.join(QLatin1Char(kValueSeparator)));
            if (!extra.run() || !ops.checkpoint("commit") || !s.exec("COMMIT")) {
                message = Text("无法往额外表写入数据！");
                count = -1;
            }
        } else if (count == 0) {
            message = Text("没有可以导出的案例！");
        } else if (message.isEmpty()) {
            message = s.errorText();
        }
    }
    // The finished file takes the chosen name, never over a file that appeared meanwhile.
    if (count <= 0 || !ops.link(part, destPath)) {
        if (count > 0)
            message = Text("无法更改文件名！");
        RemoveDbFile(ops, part);
        return 0;
    }
    ops.remove(part);
    ops.syncDir(QFileInfo(destPath).absolutePath());
    return count;
}

bool MRecordBase::SanitizeText(QString &text, int maxChars)
{
    if (text.isEmpty()) {
        text = QStringLiteral("甲");
        return true;
    }
    const qsizetype before = text.size();
    static const QString bad = QStringLiteral("\"*<>?\\/|:' ");
    text.removeIf([](QChar c) { return bad.contains(c); });
    bool changed = text.size() != before;
    if (maxChars > 0) {
        qsizetype i = 0;
        for (int n = 0; n < maxChars && i < text.size(); ++n)
            i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        if (i < text.size()) {
            text.truncate(i);
            changed = true;
        }
    }
    return changed;
}

bool MRecordBase::SanitizeRecord(TRecordData &rec)
{
    // An empty address stays empty: only a name needs a text to build file names from.
    if (!rec.address.isEmpty())
        SanitizeText(rec.address, kMaxAddressChars);
    SanitizeText(rec.className, kMaxNameChars);
    return SanitizeText(rec.name, kMaxNameChars);
}

bool MRecordBase::EraseOldClasses()
{
    CaseFileOps &ops = Ops();
    const QString ini = appFolder + QStringLiteral("dat/kqinit.ini");
    QFile f(ini);
    if (!ops.exists(ini))
        return true;
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    f.close();
    // Line by line on the bytes: the rest of the file, in whatever code page and line ending, stays as it is.
    QByteArray out;
    out.reserve(bytes.size());
    bool inClasses = false, found = false;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(pos, end - pos);
        const QByteArray t = line.trimmed();
        if (t.startsWith('['))
            inClasses = t.toLower() == "[classes]";
        found = found || inClasses;
        if (!inClasses)
            out += line;
        pos = end;
    }
    return !found || ops.writeFile(ini, out);
}

int MRecordBase::ConvertOldData()
{
    CaseFileOps &ops = Ops();
    MDataBase old;
    old.Prepare(appFolder);
    if (!ops.exists(old.FilePath()))
        return 0;
    const QString keptNote = Text("旧版数据库转换失败，已保留旧文件，下次启动时再试！");
    QByteArray fileHash;
    {
        QFile f(old.FilePath());
        if (!f.open(QIODevice::ReadOnly) || !old.OpenRead()) {
            message = keptNote;
            return 0;
        }
        fileHash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
    }
    const QString folder = CaseFolder(appFolder);
    // The plan, made before anything is written: the cases, and the comment and floor-plan files that follow a
    // cleaned name to its new comment-file name.
    struct Move {
        QString from, to;
    };
    std::vector<TRecordData> cases;
    std::vector<Move> moves;
    QStringList classes;
    const QSet<QString> present = FilesIn(ops, folder);
    QSet<QString> taken = TakenNames(present), kept;
    // Every name a live record holds is taken before any fresh name is chosen, files or not.
    for (int i = 0; i < old.CountRecords(); ++i) {
        char buf[kOldRecordSize];
        if (old.ReadRecord(i, buf)) {
            const QString name = MDataBase::ToRecord(buf).remarkFile;
            if (IsValidRemarkFile(name))
                taken.insert(name);
        }
    }
    for (int i = 0; i < old.CountRecords(); ++i) {
        char buf[kOldRecordSize];
        if (!old.ReadRecord(i, buf))
            continue;
        TRecordData rec = MDataBase::ToRecord(buf);
        const QString oldFile = rec.remarkFile;
        const bool validOld = IsValidRemarkFile(oldFile);
        // The comment is read under the old name, before cleaning can change the name.
        QString text;
        if (validOld && remarkCodec.readText && present.contains(oldFile + QStringLiteral(".rtf")) &&
            remarkCodec.readText(folder + oldFile + QStringLiteral(".rtf"), text))
            rec.remarkText = StoredText(text);
        else
            rec.remarkText = Text(kRemarkPlaceholder);
        const bool renamed = SanitizeRecord(rec);
        // A name kept by an earlier record of the file is given to this one only once.
        if (renamed || !validOld || kept.contains(oldFile)) {
            rec.remarkFile = FreshName(taken, rec);
            if (validOld)
                for (const char *ext : {".rtf", ".bmp"})
                    if (present.contains(oldFile + QLatin1String(ext)))
                        moves.push_back({folder + oldFile + QLatin1String(ext), folder + rec.remarkFile + QLatin1String(ext)});
        } else {
            kept.insert(oldFile);
        }
        const QString c = CategoryOf(rec);
        if (!c.isEmpty() && !classes.contains(c))
            classes << c;
        cases.push_back(std::move(rec));
    }
    old.Close();

    SqliteSession s;
    if (!OpenSession(s) || !s.exec("BEGIN IMMEDIATE") ||
        !s.exec("create table if not exists old_case_file(hash text primary key);")) {
        message = keptNote;
        return 0;
    }
    bool already = false;
    {
        SqlQuery q(s, "select 1 from old_case_file where hash=?;");
        q.bind(1, QString::fromLatin1(fileHash));
        already = q.step() == SQLITE_ROW;
    }
    int migrated = 0;
    std::vector<Move> linked;
    if (!already) {
        // The files get their new names beside the old ones first; the old names go only after the commit.
        auto undoLinks = [&] {
            for (const Move &m : linked)
                ops.remove(m.to);
        };
        for (const Move &m : moves) {
            if (!ops.link(m.from, m.to)) {
                undoLinks();
                message = keptNote;
                return 0;
            }
            linked.push_back(m);
        }
        qint64 last = LastId(s);
        static const std::string insertSql = InsertWithIdSql();
        bool ok = last >= 0;
        for (TRecordData &rec : cases) {
            if (!ok)
                break;
            rec.id = int(++last);
            SqlQuery q(s, insertSql.c_str());
            ok = InsertRecord(q, rec) && ops.checkpoint("insert");
        }
        // The old file's categories in order of first appearance, then the stored ones and the defaults.
        QStringList stored;
        {
            SqlQuery q(s, "select className from case_extra;");
            if (q.step() == SQLITE_ROW)
                SplitValue(q.text(0), stored);
        }
        for (const QString &c : stored + DefaultClasses())
            if (!classes.contains(c))
                classes << c;
        SqlQuery extra(s, "update case_extra set primaryId=?, className=?;");
        extra.bind(1, last);
        extra.bind(2, classes.join(QLatin1Char(kValueSeparator)));
        SqlQuery mark(s, "insert into old_case_file(hash) values (?);");
        mark.bind(1, QString::fromLatin1(fileHash));
        ok = ok && extra.run() && s.changes() >= 1 && mark.run() && ops.checkpoint("commit") && s.exec("COMMIT");
        if (!ok) {
            s.exec("ROLLBACK");
            undoLinks();
            message = keptNote;
            return 0;
        }
        primaryId = int(last);
        migrated = int(cases.size());
    } else if (!s.exec("COMMIT")) {
        message = keptNote;
        return 0;
    }
    s.close();
    for (const Move &m : linked)
        ops.remove(m.from);
    // The old file goes last, and only when everything after the commit went well; the mark in the case file
    // keeps a second start from migrating it again.
    if (!EraseOldClasses() || !EnsureRemarkFiles() || !ops.remove(old.FilePath())) {
        message = keptNote;
        return migrated > 0 ? 1 : 0;
    }
    if (migrated == 0)
        return 0;
    message = QStringLiteral("已经把旧版数据库转换到新版，共转换 %1 个案例！").arg(migrated);
    return 1;
}
