// Compaction, import and export: copies of cases between two case files, each in one transaction, so a copy is
// there whole or not at all; a new file takes its name only once it is complete.
#include "MRecordBase_whole.h"

#include <QScopeGuard>
#include <QUrl>

#include <array>
#include <cerrno>
#include <cstring>

using namespace wholedb;

namespace {

// Gives a copy of `count` cases its id counter and category list and commits it; false when that fails.
bool CommitCopy(SqliteSession &s, CaseFileOps &ops, int count, const QStringList &classes)
{
    SqlQuery extra(s, "update main.case_extra set primaryId=?, className=?;");
    extra.bind(1, qint64(count));
    extra.bind(2, classes.join(QLatin1Char(kValueSeparator)));
    return extra.run() && ops.checkpoint("commit") && s.exec("COMMIT");
}

QByteArrayView ArgBytes(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? QByteArrayView(p, sqlite3_value_bytes(v)) : QByteArrayView();
}

// The categories of the rows a copy reads, in order of first appearance (an empty one reads as 临时保存).
struct SeenCategories {
    QSet<QByteArray> stored; // each stored text met, kept until the copy ends: the rows' results point into them
    QSet<QString> shown;
    QStringList inOrder;
    QByteArray last; // the stored text of the row before (rows of one category mostly follow each other)
};

// q_category(className): the category as it is, noted on the way, so that no second scan looks for them. The
// text handed back is the noted copy, which outlives the statement, so that SQLite need not copy it per row.
void SqlCategory(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *st = static_cast<SeenCategories *>(sqlite3_user_data(ctx));
    const bool text = sqlite3_value_type(argv[0]) == SQLITE_TEXT;
    if (!text)
        sqlite3_result_value(ctx, argv[0]); // NULL or a number is copied as it is, and noted as its text
    const QByteArrayView name = ArgBytes(argv[0]);
    if (st->last.isNull() || name != st->last) {
        auto it = st->stored.constFind(name.toByteArray());
        if (it == st->stored.cend()) {
            it = st->stored.insert(name.toByteArray());
            const QString shown =
                name.isEmpty() ? QStringLiteral("临时保存") : StoredText(name.data(), int(name.size()));
            if (!st->shown.contains(shown)) {
                st->shown.insert(shown);
                st->inOrder << shown;
            }
        }
        st->last = *it;
    }
    if (text)
        sqlite3_result_text(ctx, st->last.constData(), int(st->last.size()), SQLITE_STATIC);
}

// Both files are read through a read-only map rather than through read calls into the page cache: the case file
// is counted and then copied, the new file counted once it is filled. The lock a copy holds on the case file keeps
// every writer out, so neither file can shrink under its map.
const char *const kMapLive = "pragma live.mmap_size=1073741824;";
const char *const kMapMain = "pragma main.mmap_size=1073741824;";

} // namespace

// A new case file beside `beside`, made in the transaction that the copy then fills, with the case file attached
// as "live": the new file holds anything only once that transaction commits. It is one of the program's
// temporaries (TempFiles.h), held as being written until it takes its name or goes, so nothing placed in advance
// is written through and no sweep of another running program takes it; a copy stopped half-way leaves it to a
// later sweep. False with the reason in message; a temp that was made goes with `temp` unless it is placed.
bool MRecordBase::StartCopy(SqliteSession &s, const QString &beside, TemporaryFile &temp)
{
    if (!Ops().checkpoint("create") || !temp.create(QFileInfo(beside).absoluteFilePath())) {
        message = Text(kErrOpen);
        return false;
    }
    temp.closeWriting(); // an empty file is an empty case file to SQLite; the lock stays
    if (s.open(temp.path().toUtf8(), true) != SQLITE_OK) {
        message = Text(kErrOpen);
        return false;
    }
    SqlQuery attach(s, "attach ? as live;");
    attach.bind(1, QString::fromUtf8(utf8Path));
    if (!attach.run() || !s.exec(kMapLive) || !s.exec(kMapMain) || !s.exec("BEGIN")) {
        message = s.errorText();
        return false;
    }
    QString stamp;
    return CreateData(s) && CreateExtra(s, 0) && WriteStamp(s, stamp);
}

// Copies the rows of attached file "live" that match filter (an SQL condition, with ?1 the JSON list of
// classes; empty: every row) into main.case_data, giving them ids after main's last; their categories, in order
// of first appearance, go to `seen`. The count copied, or -1 (message set).
int MRecordBase::CopyCases(SqliteSession &s, const QString &filter, const QStringList &classes, const char *label,
                           const TProgress &progress, QStringList &seen)
{
    SeenCategories categories;
    if (sqlite3_create_function(s.handle(), "q_category", 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, &categories,
                                SqlCategory, nullptr, nullptr) != SQLITE_OK) {
        message = s.errorText();
        return -1;
    }
    // The function goes with this call: it points at a local.
    const auto drop = qScopeGuard([&] {
        sqlite3_create_function(s.handle(), "q_category", 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr);
        seen = categories.inOrder;
    });
    const QString json = JsonList(classes);
    // Every row: ?1 stays bound, as in the filtered statements.
    const QString where = filter.isEmpty() ? QStringLiteral("?1 is not null") : filter;
    qint64 total = 0, low = 0, high = 0;
    {
        // Without a filter the three are read from the tree (its pages, its ends) rather than row by row.
        const QString sql =
            filter.isEmpty() ? QStringLiteral("select (select count(*) from live.case_data), (select min(id) from "
                                              "live.case_data), (select max(id) from live.case_data) "
                                              "where ?1 is not null;")
                             : "select count(*), min(id), max(id) from live.case_data where " + filter + ";";
        SqlQuery q(s, sql.toUtf8().constData());
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
        message = Text(kErrInsert);
        return -1;
    }
    // A tenth of the id range at a time, in id order, so the new ids follow the old order.
    QString read = ColumnsAfterId();
    read.replace(QStringLiteral("className"), QStringLiteral("q_category(className)"));
    const QByteArray copy = ("insert into main.case_data(" + ColumnsAfterId() + ") select " + read +
                             " from live.case_data where id>=?2 and id<?3 and (" + where + ") order by id;")
                                .toUtf8();
    const qint64 step = std::max<qint64>(1, (high - low + 10) / 10);
    qint64 done = 0;
    for (qint64 from = low; total > 0 && from <= high; from += step) {
        SqlQuery q(s, copy.constData());
        q.bind(1, json);
        q.bind(2, from);
        q.bind(3, std::min(from + step, high + 1));
        if (!q.run() || !Ops().checkpoint("copy")) {
            message = Text(kErrInsert);
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
    if (RefuseDamaged("无法更改文件名！"))
        return 0;
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text("无法更改文件名！");
        return 0;
    }
    // A case file kept elsewhere through a link is replaced where the link leads: the new file is made beside it
    // (a rename never leaves its disk), and the link stays.
    const QString live = LinkedPath(QString::fromUtf8(utf8Path));
    TemporaryFile back;
    int count = -1;
    bool full = false; // the new file met a full disk
    CaseFileHold hold;
    if (!hold.take(utf8Path)) {
        message = Text(kErrOpen);
        return 0;
    }
    {
        SqliteSession s;
        QStringList seen;
        if (StartCopy(s, live, back))
            count = CopyCases(s, QString(), {}, "整理进度：", progress, seen);
        if (count >= 0) {
            // The user's category list in its order, then the categories of cases that it lacks.
            QStringList classes;
            {
                SqlQuery q(s, "select className from live.case_extra;");
                if (q.step() == SQLITE_ROW)
                    SplitValue(q.text(0), classes);
            }
            QSet<QString> listed(classes.begin(), classes.end());
            for (const QString &c : seen)
                if (!listed.contains(c))
                    classes << c;
            if (!CommitCopy(s, ops, count, classes)) {
                message = Text(kErrWriteExtra);
                count = -1;
            }
        } else if (message.isEmpty()) {
            message = s.errorText();
        }
        full = (s.failureCode() & 0xff) == SQLITE_FULL;
    }
    if (count < 0) {
        if (!back.path().isEmpty())
            RemoveDbFile(ops, back.path());
        // The new file needs about the room the case file takes; with less than that left, nothing else helps.
        const qint64 needed = QFileInfo(live).size();
        if (OutOfRoom(live, full ? ENOSPC : 0, needed))
            message = QStringLiteral("无法整理数据：") + DiskFullAt(QFileInfo(live).absolutePath()) +
                      QStringLiteral("，放不下整理用的新案例文件（需要约 %1）。原有案例数据没有改变。").arg(SizeText(needed));
        return 0;
    }
    // The one step that changes the case file: the complete new file takes its name.
    if (!ops.rename(back.path(), live)) {
        RemoveDbFile(ops, back.path());
        message = Text("无法更改文件名！");
        return 0;
    }
    back.placed();
    ops.syncDir(QFileInfo(live).absolutePath());
    hold.release();
    TakeFileIdentity(); // the compacted file is the one opened now
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
    return StoredText(chars, sqlite3_value_bytes(v));
}

void ResultText(sqlite3_context *ctx, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Whether a stored text surely needs no cleaning: not empty, at most maxChars characters, and made only of
// printable ASCII that the name rule keeps and of characters whose UTF-8 lead byte lies in C3..D7 (U+00C0..U+05FF,
// Latin to Hebrew) or E3..E9 (U+3000..U+9FFF, the CJK blocks), ranges without any control or format character.
// Most texts are, and pass through untouched; any other text goes through the rule itself.
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
        for (int c = 0; c < 0x20; ++c)
            table[c] = true;
        table[0x7F] = true;
        return table;
    }();
    int chars = 0;
    for (int i = 0; i < n; ++i) {
        const unsigned char c = p[i];
        const bool lead = (c & 0xC0) != 0x80;
        if (removed[c] || (lead && c >= 0x80 && !(c >= 0xC3 && c <= 0xD7) && !(c >= 0xE3 && c <= 0xE9)))
            return false;
        chars += lead;
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
    if (RefuseDamaged(kErrInsert))
        return 0;
    if (InBatch() || utf8Path.isEmpty() || !ops.isFile(srcPath)) { // a pipe would be waited on
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
    // The case file's own disk full is said as such: its rows and the marker beside it are written there.
    const QString live = QString::fromUtf8(utf8Path);
    auto fullText = [&] {
        return QStringLiteral("无法导入案例：案例文件") + DiskFullAt(live) + QStringLiteral("。原有案例数据没有改变。");
    };
    auto fail = [&](const char *text) {
        const bool full = db && (sqlite3_extended_errcode(db) & 0xff) == SQLITE_FULL;
        sqlite3_finalize(st);
        sqlite3_close_v2(db); // the open transaction goes with the connection
        message = full ? fullText() : Text(text);
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
        return fail(kErrOpen);
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
        return fail(kErrInsert);
    const qint64 highest = sqlite3_column_int64(st, 0);
    const qint64 last = std::max(highest, sqlite3_column_int64(st, 1));
    const qint64 total = sqlite3_column_int64(st, 2);
    const qint64 low = sqlite3_column_int64(st, 3), high = sqlite3_column_int64(st, 4);
    const qint64 first = last + 1;
    if (total == 0)
        return fail("导入的数据库中没有案例！");
    if (last + total > std::numeric_limits<int32_t>::max())
        return fail(kErrInsert);
    state.taken.reserve(state.taken.size() + total);
    // New rows take the id after the highest one present. When the newest cases were deleted, the counter is
    // higher: a placeholder row at the counter, removed again below, keeps those ids from being issued twice.
    if (highest < last && run("insert into main.case_data(id) values (?1);", {last}) != SQLITE_DONE)
        return fail(kErrInsert);
    // A tenth of the source's id range at a time, in id order, so the new ids follow the old order.
    const qint64 step = std::max<qint64>(1, (high - low + 10) / 10);
    qint64 done = 0;
    for (qint64 from = low; from <= high; from += step) {
        if (run(kImportRows, {from, std::min(from + step, high + 1)}) != SQLITE_DONE || !ops.checkpoint("insert"))
            return fail(kErrInsert);
        done += sqlite3_changes(db);
        Report(progress, "导入进度：", done, total);
    }
    if (highest < last && run("delete from main.case_data where id=?1;", {last}) != SQLITE_DONE)
        return fail(kErrInsert);
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
    // The count is checked: every source case is in, or none is. The marker goes first, so that the comment files
    // which follow the commit are written at the next start when the program stops before the last.
    const QString marker = RemarksDueMarker(utf8Path);
    if (!written || done != total)
        return fail(kErrInsert);
    errno = 0;
    if (!ops.writeFile(marker, QByteArrayLiteral("import"))) {
        const bool full = OutOfRoom(marker, errno, 1);
        fail(kErrInsert);
        if (full)
            message = fullText();
        return 0;
    }
    if (!ops.checkpoint("commit") || run("COMMIT") != SQLITE_DONE) {
        ops.remove(marker);
        return fail(kErrInsert);
    }
    primaryId = int(newLast);
    // The comments are in the rows; their files follow, never over a file that appeared meanwhile. What is
    // written is counted: a comment file that could not be written is said, and the marker stays, so that the
    // next start writes it from the row.
    qint64 unwritten = 0;
    if (remarkCodec.toRtf && !ops.isDir(folder) && !ops.makeDir(folder)) {
        unwritten = total;
    } else if (remarkCodec.toRtf) {
        int rc = run("select remarkFile, remarkText from main.case_data where id>=?1;", {first});
        for (; rc == SQLITE_ROW; rc = sqlite3_step(st))
            unwritten += !ops.createFile(folder + ColumnText(st, 0) + QStringLiteral(".rtf"),
                                         remarkCodec.toRtf(ColumnText(st, 1)));
        if (rc != SQLITE_DONE)
            unwritten = std::max<qint64>(unwritten, 1);
    }
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    message.clear();
    if (unwritten == 0)
        ops.remove(marker);
    else
        message = QStringLiteral("有 %1 个案例的评语文件没有写入“%2”，重启软件时会再试一次；"
                                 "在此之前搜索不到这些案例的评语。")
                      .arg(unwritten)
                      .arg(QDir::toNativeSeparators(folder));
    return int(total);
}

int MRecordBase::ExportDb(const QString &destPath, const QStringList &classes, bool all, const TProgress &progress)
{
    CaseFileOps &ops = Ops();
    if (InBatch() || utf8Path.isEmpty()) {
        message = Text(kErrOpen);
        return 0;
    }
    if (ops.exists(destPath)) {
        message = Text("当前时间的数据库文件已经存在，请稍后再导出！");
        return 0;
    }
    TemporaryFile part;
    int count = -1;
    bool full = false; // the new file met a full disk
    {
        SqliteSession s;
        QStringList used;
        if (StartCopy(s, destPath, part)) {
            const QString filter =
                all ? QString()
                    : QStringLiteral("coalesce(nullif(className,''),'临时保存') in (select value from json_each(?1))");
            count = CopyCases(s, filter, classes, "导出进度：", progress, used);
        }
        if (count > 0) {
            if (!CommitCopy(s, ops, count, used)) {
                message = Text(kErrWriteExtra);
                count = -1;
            }
        } else if (count == 0) {
            message = Text("没有可以导出的案例！");
        } else if (message.isEmpty()) {
            message = s.errorText();
        }
        full = (s.failureCode() & 0xff) == SQLITE_FULL;
    }
    // The finished file takes the chosen name, never over a file that appeared meanwhile.
    if (count <= 0 || !ops.renameToFree(part.path(), destPath)) {
        if (count > 0)
            message = Text("无法更改文件名！");
        if (!part.path().isEmpty())
            RemoveDbFile(ops, part.path());
        if (count != 0 && OutOfRoom(destPath, full ? ENOSPC : 0, 1))
            message = QStringLiteral("导出失败：磁盘已满，无法写入“%1”。").arg(QDir::toNativeSeparators(destPath));
        return 0;
    }
    part.placed();
    ops.syncDir(QFileInfo(destPath).absolutePath());
    return count;
}

