#include "MRecordBase.h"
#include "MRecordBase_whole.h"

#include "CaseFileHealth.h"
#include "FileKey.h"
#include "FileLinks.h"
#include "SqliteSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <limits>
#include <string>

using namespace wholedb;

namespace {

const char *const kSelectCase = "select * from case_data where id=?;";
const char *const kDeleteCase = "delete from case_data where id = ?;";
const char *const kCountNamed = "select count(*) from case_data where name=?;";
const char *const kSetCounter = "update case_extra set primaryId=?;";
const char *const kSelectCounter = "select primaryId from case_extra;";
const char *const kSelectMaxId = "select max(id) from case_data;";
const char *const kSelectClasses = "select className from case_extra;";
const char *const kSetClasses = "update case_extra set className=?;";
const char *const kTableExists = "select name from sqlite_master where type='table' and name=?;";

// The row statements name their columns, so they follow the column table rather than the table's layout.
std::string UpdateCaseSql()
{
    std::string sets;
    for (int i = 1; i < kCaseColumnCount; ++i)
        sets += std::string(i > 1 ? ", " : "") + kCaseColumns[i] + "=?";
    return "update case_data set " + sets + " where id=?;";
}

std::string InsertExtraSql()
{
    std::string cols;
    for (const char *c : kExtraColumns)
        cols += std::string(cols.empty() ? "" : ",") + c;
    return "insert into case_extra(" + cols + ") values (?, ?, ?, ?, ?);";
}

const std::string kInsertCase = InsertWithIdSql();
const std::string kUpdateCase = UpdateCaseSql();
const std::string kInsertExtra = InsertExtraSql();

// Binds the value of column `column` at parameter `index`: integer columns as integers, the rest as text.
bool BindValue(SqlQuery &q, int index, int column, const QString &value)
{
    return IsIntegerColumn(column) ? q.bind(index, value.toLongLong()) : q.bind(index, value);
}

// One operation's changes, applied whole or not at all. Outside a batch it is a transaction of its own that
// takes the write lock at once, so that a second program holding the file is waited for under the busy timeout
// rather than refused at the first write (on a file that can only be read, a plain read transaction). Inside a
// batch it is a savepoint, so a failed operation undoes only itself.
class Transaction {
public:
    explicit Transaction(SqliteSession &s) : s_(s), outermost_(!s.inTransaction())
    {
        open_ = s_.exec(!outermost_ ? "SAVEPOINT op" : s_.readOnly() ? "BEGIN" : "BEGIN IMMEDIATE");
    }
    ~Transaction()
    {
        if (open_)
            undo();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    bool ok() const { return open_; }
    bool commit()
    {
        if (!open_)
            return false;
        open_ = false;
        if (s_.exec(outermost_ ? "COMMIT" : "RELEASE op"))
            return true;
        undo();
        return false;
    }

private:
    void undo()
    {
        if (!s_.inTransaction())
            return; // the store has already given the transaction up
        if (outermost_) {
            s_.exec("ROLLBACK");
        } else {
            s_.exec("ROLLBACK TO op");
            s_.exec("RELEASE op");
        }
    }

    SqliteSession &s_;
    bool outermost_;
    bool open_ = false;
};

// The files of deleted cases that are still to go: noted in the deletion's transaction, removed after its commit.
const char *const kDueTable = "case_files_due";
const char *const kSelectDue = "select distinct remarkFile from case_files_due;";
const char *const kDropDue = "delete from case_files_due where remarkFile=?;";

bool NoteFilesDue(SqliteSession &s, const QString &remarkFile)
{
    if (!s.exec("create table if not exists case_files_due(remarkFile text);"))
        return false;
    SqlQuery q(s, "insert into case_files_due(remarkFile) values (?);");
    q.bind(1, remarkFile);
    return q.run();
}

// A write that changes nothing: as the first statement of a batch's transaction it takes the write lock under
// the busy timeout, before the counter is read.
const char *const kTouchCounter = "update case_extra set primaryId=primaryId;";

} // namespace

MRecordBase::MRecordBase(const QString &folder) : appFolder(Slashed(folder)) {}

MRecordBase::~MRecordBase()
{
    if (batch)
        CloseDb();
}

QString MRecordBase::DefaultPath(const QString &folder)
{
    return Slashed(folder) + QStringLiteral("dat/") + QLatin1String(DbBaseName) + QStringLiteral(".db");
}

bool MRecordBase::OpenSession(SqliteSession &s)
{
    return !utf8Path.isEmpty() && s.open(utf8Path, false) == SQLITE_OK;
}

int MRecordBase::Open(const QString &dbPath)
{
    if (appFolder.isEmpty())
        appFolder = ExecutableFolder(); // asked at the first open: see ExecutableFolder
    const QFileInfo info(dbPath);
    // SQLite gets the absolute path, so a later change of the working folder cannot move the file.
    const QByteArray newUtf8Path = dbPath.isEmpty() ? QByteArray() : info.absoluteFilePath().toUtf8();
    if (!newUtf8Path.isEmpty() && !info.exists())
        QDir().mkpath(info.absolutePath());

    busy = false;
    // Looked at where SQLite opens it: a linked case file's journal lies beside the file the link leads to.
    const CaseFileInspection seen = InspectCaseFile(LinkedPath(info.absoluteFilePath()));
    if (!seen.blocked.isEmpty()) {
        message = BlockedCaseFileText(info.absoluteFilePath(), seen.blocked);
        return -1;
    }
    if (!seen.damage.isEmpty())
        return Damage(dbPath, seen.damage);
    SqliteSession s;
    if (newUtf8Path.isEmpty() || s.open(newUtf8Path, true) != SQLITE_OK) {
        message = Text(kErrOpen);
        return -1;
    }
    // Looking for the tables and making the missing ones is one write transaction: a second program opening
    // the same new file waits for this one instead of failing half-way.
    Transaction t(s);
    if (!t.ok()) {
        if (s.sawDamage())
            return Damage(dbPath, s.damageText());
        busy = s.sawBusy();
        message = busy ? BusyCaseFileText(info.absoluteFilePath()) : s.errorText();
        return -1;
    }
    const int hasData = TableState(s, "case_data");
    if (hasData < 0)
        return s.sawDamage() ? Damage(dbPath, s.damageText()) : -1;
    // A file with pages but no case table has lost its cases or is not a case file: an empty table made in it
    // would hide that for good.
    if (hasData == 0 && seen.hasPages)
        return Damage(dbPath, QStringLiteral("文件里没有案例表。"));
    const int hasExtra = TableState(s, "case_extra");
    if (hasExtra < 0)
        return s.sawDamage() ? Damage(dbPath, s.damageText()) : -1;
    const bool checkNow = seen.hasPages && (quickCheckAtOpen || OpenMustWrite(s, hasExtra));
    if (checkNow) {
        SqlQuery q(s, "pragma quick_check;");
        const int rc = q.step();
        if (rc == SQLITE_ROW ? q.text(0) != QLatin1String("ok") : s.sawDamage())
            return Damage(dbPath, rc == SQLITE_ROW ? q.text(0) : s.damageText());
    }
    if (hasData == 0 && !CreateData(s))
        return -1;
    if (hasExtra == 0 && !CreateExtra(s, primaryId))
        return -1;
    const int counter = HealCounter(s);
    if (counter < 0)
        return -1;
    if (!t.commit()) {
        busy = s.sawBusy();
        message = busy ? BusyCaseFileText(info.absoluteFilePath()) : s.errorText();
        return -1;
    }
    path = dbPath;
    utf8Path = newUtf8Path;
    primaryId = counter;
    damage.clear();
    check.reset();
    checkState = seen.hasPages && !checkNow ? CheckState::NotRun : CheckState::Done;
    openingPending = false;
    TakeFileIdentity();
    return 0;
}

void MRecordBase::TakeFileIdentity()
{
    identity = {};
    const std::optional<FileKey> key = FileKeyOf(QString::fromUtf8(utf8Path));
    if (!key)
        return;
    identity.known = true;
    identity.device = key->device;
    identity.inode = key->inode;
    SqliteSession s;
    if (OpenSession(s))
        identity.stamp = ReadStamp(s);
    if (checkState == CheckState::Done && !Damaged())
        StampOpenedFile();
}

// A file of an earlier version, or one made by a program that does not stamp, gets its stamp once it is known to
// be sound (a write to a damaged file could spread the damage), and only while its number still says that it is
// the file opened. A file that cannot take one (it can only be read, the disk is full) goes on without.
void MRecordBase::StampOpenedFile()
{
    if (!identity.known || !identity.stamp.isEmpty() || identity.stampTried || FileReplaced())
        return;
    identity.stampTried = true;
    SqliteSession s;
    if (!OpenSession(s) || s.readOnly() || !s.exec("BEGIN IMMEDIATE"))
        return;
    QString stamp = ReadStamp(s);
    if (stamp.isEmpty() && !WriteStamp(s, stamp))
        return;
    if (s.exec("COMMIT"))
        identity.stamp = stamp;
}

// The file at a path other than the opened one gets a stamp of its own: a copy the program makes (a backup, a
// restore's staged file) is never taken for the file it was copied from.
bool MRecordBase::GiveFreshStamp(const QString &dbPath)
{
    SqliteSession s;
    QString stamp;
    return s.open(QFileInfo(dbPath).absoluteFilePath().toUtf8(), false) == SQLITE_OK && s.exec("BEGIN IMMEDIATE") &&
           WriteStamp(s, stamp) && s.exec("COMMIT");
}

bool MRecordBase::FileReplaced()
{
    if (!identity.known)
        return false;
    const QString at = QString::fromUtf8(utf8Path);
    const std::optional<FileKey> now = FileKeyOf(at);
    if (!now)
        return true;
    if (now->device == identity.device && now->inode == identity.inode)
        return false;
    // Another number: the file's stamp says whether it is the file opened, numbered anew. A pipe or the like is
    // not opened to ask.
    if (identity.stamp.isEmpty() || !Ops().isFile(at))
        return true;
    SqliteSession s;
    if (!OpenSession(s))
        return true;
    const QString stamp = ReadStamp(s);
    // Another program holding the file keeps it from saying: the write that follows waits for that program, or
    // says that it holds the file, and asks again after.
    if (stamp.isEmpty() && s.sawBusy())
        return false;
    if (stamp != identity.stamp)
        return true;
    identity.device = now->device;
    identity.inode = now->inode;
    return false;
}

// Before a write: in a file put in the place of the opened one, an id may be another case.
bool MRecordBase::RefuseReplaced(const char *failure)
{
    if (!FileReplaced())
        return false;
    RefuseAsReplaced(failure);
    return true;
}

// Refuses a write by id (false), saying that the case file was replaced.
bool MRecordBase::RefuseAsReplaced(const char *failure)
{
    busy = false;
    replaced = true;
    message = Text(failure) + QLatin1Char('\n') + ReplacedCaseFileText(QString::fromUtf8(utf8Path));
    return false;
}

// Inside the transaction of a write by id: the file at the path is still the one opened and, with expected, row
// id holds the case the caller read, or no case at all. Otherwise false: a replacement refused (CaseReplaced()),
// or the row could not be read (message holds the store's words). With stored, the row is read into it (left as
// it was where there is no case).
bool MRecordBase::CaseStillThere(SqliteSession &s, int id, const TCaseKey *expected, const char *failure,
                                 TRecordData *stored)
{
    if (FileReplaced())
        return RefuseAsReplaced(failure);
    if (!expected && !stored)
        return true;
    TRecordData row;
    TRecordData &read = stored ? *stored : row;
    switch (Load(s, id, read)) {
    case TLoadResult::Loaded:
        return !expected || CaseKeyOf(read) == *expected || RefuseAsReplaced(failure);
    case TLoadResult::NoSuchCase:
        return true;
    case TLoadResult::Failed:
        break;
    }
    return false;
}

QString MRecordBase::Reason(const SqliteSession &s) const
{
    if (s.sawBusy())
        return BusyCaseFileText(QString::fromUtf8(utf8Path));
    return CaseFileFailureText(s.failureCode(), s.errorText());
}

// After a failed operation whose message is set: damage that the store found replaces it (NoteDamage); otherwise
// the reason goes on a second line, another program holding the file or the store's words, else `otherwise`.
void MRecordBase::AddReason(const SqliteSession &s, const char *failure, const QString &otherwise)
{
    if (NoteDamage(s, failure))
        return;
    busy = s.sawBusy();
    const QString why = s.failureCode() != 0 ? Reason(s) : otherwise;
    if (!why.isEmpty())
        message += QLatin1Char('\n') + why;
}

void MRecordBase::StartQuickCheck()
{
    if (checkState != CheckState::NotRun || utf8Path.isEmpty())
        return;
    check = std::make_unique<BackgroundQuickCheck>(utf8Path);
    checkState = CheckState::Running;
}

bool MRecordBase::QuickCheckRunning() const { return checkState == CheckState::Running && !check->finished(); }

double MRecordBase::QuickCheckProgress() const
{
    return checkState == CheckState::Running ? check->progress() : checkState == CheckState::Done ? 1.0 : 0.0;
}

bool MRecordBase::SettleQuickCheck()
{
    if (checkState == CheckState::NotRun)
        StartQuickCheck();
    if (checkState == CheckState::Running) {
        const QString found = check->verdict();
        check.reset();
        checkState = CheckState::Done;
        if (!found.isEmpty())
            MarkDamaged(DamagedCaseFileText(QString::fromUtf8(utf8Path), found));
        else
            StampOpenedFile();
    }
    if (openingPending && !Damaged() && !batch)
        FinishOpening();
    return !Damaged();
}

// Whether opening a file that holds cases writes to it: to add a missing case_extra, or to raise a counter
// that a stopped save left behind the rows.
bool MRecordBase::OpenMustWrite(SqliteSession &s, int hasExtra)
{
    if (hasExtra == 0)
        return true;
    SqlQuery q(s, "select coalesce((select max(id) from case_data),0) > coalesce((select max(cast(primaryId as "
                  "integer)) from case_extra),-1);");
    return q.step() != SQLITE_ROW || q.text(0) != QLatin1String("0");
}

// Open's answer for a damaged file. The object never takes its path, so no later operation can reach it; an
// object without a file of its own stays damaged, and every write says why.
int MRecordBase::Damage(const QString &dbPath, const QString &detail)
{
    const QString text = DamagedCaseFileText(QFileInfo(dbPath).absoluteFilePath(), detail);
    if (path.isEmpty())
        MarkDamaged(text);
    else
        message = text; // it stays on its earlier, sound file
    return -1;
}

void MRecordBase::MarkDamaged(const QString &text)
{
    damage = text;
    message = text;
}

// After a failed operation: when the store found the file damaged, nothing more is written to it, and the
// message gives the operation's own failure (when it names one) before the damage. The file is named by the
// absolute path it was opened with, which a later change of the working folder cannot move.
bool MRecordBase::NoteDamage(const SqliteSession &s, const char *failure)
{
    if (!s.sawDamage())
        return false;
    MarkDamaged(DamagedCaseFileText(QString::fromUtf8(utf8Path), s.damageText()));
    if (failure)
        RefuseDamaged(failure);
    return true;
}

// Before a write: a damaged file refuses it, with the operation's own failure and the damage in the message.
bool MRecordBase::RefuseDamaged(const char *failure)
{
    if (damage.isEmpty() && !utf8Path.isEmpty())
        SettleQuickCheck();
    if (damage.isEmpty())
        return false;
    message = Text(failure) + QLatin1Char('\n') + damage;
    return true;
}

// 1 when the table exists, 0 when not, -1 when the question failed (message holds the store's text).
int MRecordBase::TableState(SqliteSession &s, const char *name)
{
    SqlQuery q(s, kTableExists);
    q.bind(1, Text(name));
    const int rc = q.step();
    if (rc == SQLITE_ROW)
        return 1;
    if (rc == SQLITE_DONE)
        return 0;
    message = s.errorText();
    return -1;
}

bool MRecordBase::CreateData(SqliteSession &s)
{
    if (s.exec(CreateDataTableSql().toUtf8().constData()))
        return true;
    message = Text(kErrCreateData);
    return false;
}

bool MRecordBase::CreateExtra(SqliteSession &s, int counter)
{
    if (!s.exec(CreateExtraTableSql().toUtf8().constData())) {
        message = Text(kErrCreateExtra);
        return false;
    }
    return InsertExtraRow(s, counter);
}

bool MRecordBase::InsertExtraRow(SqliteSession &s, int counter)
{
    SqlQuery q(s, kInsertExtra.c_str());
    q.bind(1, qint64(0));
    q.bind(2, qint64(1000));
    q.bind(3, qint64(counter));
    q.bind(4, DefaultClasses().join(QLatin1Char(kValueSeparator)));
    q.bind(5, Text(kBaseType));
    if (q.run())
        return true;
    message = Text(kErrWriteExtra);
    return false;
}

// The stored counter, -1 when it cannot be read (message set), -2 when case_extra has no row.
int MRecordBase::ReadCounter(SqliteSession &s)
{
    SqlQuery q(s, kSelectCounter);
    const int rc = q.step();
    if (rc == SQLITE_DONE)
        return -2;
    if (rc != SQLITE_ROW) {
        message = s.errorText();
        return -1;
    }
    bool ok = false;
    const qlonglong v = q.text(0).trimmed().toLongLong(&ok);
    if (!ok || v < 0 || v > std::numeric_limits<int32_t>::max()) {
        message = Text(kErrReadCounter);
        return -1;
    }
    return int(v);
}

// A crashed save can leave rows above the stored counter, and a failed creation a case_extra without its row.
// The counter becomes the larger of the stored one and the highest id present, so no id is ever issued twice.
int MRecordBase::HealCounter(SqliteSession &s)
{
    qlonglong maxId = 0;
    {
        SqlQuery q(s, kSelectMaxId);
        if (q.step() != SQLITE_ROW) {
            message = s.errorText();
            return -1;
        }
        maxId = std::max(0LL, q.text(0).toLongLong());
    }
    if (maxId > std::numeric_limits<int32_t>::max()) {
        message = Text(kErrReadCounter);
        return -1;
    }
    const int stored = ReadCounter(s);
    if (stored == -1)
        return -1;
    if (stored == -2) {
        if (InsertExtraRow(s, int(maxId)))
            return int(maxId);
        // A file that can only be read still opens: its counter lives in memory, and saving fails later.
        return s.readOnly() ? int(maxId) : -1;
    }
    if (maxId <= stored)
        return stored;
    SqlQuery q(s, kSetCounter);
    q.bind(1, maxId);
    if (!q.run() && !s.readOnly()) {
        message = Text(kErrCounter);
        return -1;
    }
    return int(maxId);
}

int MRecordBase::Insert(SqliteSession &s, TRecordData &rec, bool inBatch)
{
    rec.id = primaryId + 1;
    // The row and the raised counter go in together, or neither does.
    Transaction t(s);
    if (!t.ok()) {
        message = Text(kErrInsert);
        return -1;
    }
    // Another program may have saved into the file since this object last looked: the next id follows the
    // larger of the stored counter and the one in memory. A batch that already writes holds the lock, so the
    // stored counter cannot have moved since its first insert.
    int last = primaryId;
    if (!inBatch || !batchWrote) {
        if (inBatch) {
            if (!s.exec(kTouchCounter)) {
                message = Text(kErrInsert);
                return -1;
            }
            batchWrote = true;
        }
        const int stored = ReadCounter(s);
        if (stored == -1) {
            message = Text(kErrInsert);
            return -1;
        }
        last = std::max(last, stored);
    }
    if (last >= std::numeric_limits<int32_t>::max()) {
        message = Text(kErrInsert);
        return -1;
    }
    rec.id = last + 1;
    QStringList values;
    RecordToValues(rec, values);
    {
        SqlQuery q(s, kInsertCase.c_str());
        for (int i = 0; i < kCaseColumnCount; ++i)
            BindValue(q, i + 1, i, values.at(i));
        if (!q.run()) {
            message = Text(kErrInsert);
            return -1;
        }
    }
    {
        SqlQuery q(s, kSetCounter);
        q.bind(1, qint64(rec.id));
        if (!q.run() || s.changes() < 1) {
            message = Text(kErrCounter);
            return -1;
        }
    }
    if (!t.commit()) {
        message = Text(kErrInsert);
        return -1;
    }
    primaryId = rec.id;
    return rec.id;
}

bool MRecordBase::Update(SqliteSession &s, int id, const TRecordData &rec)
{
    QStringList values;
    RecordToValues(rec, values);
    SqlQuery q(s, kUpdateCase.c_str());
    for (int i = 1; i < kCaseColumnCount; ++i)
        BindValue(q, i, i, values.at(i));
    q.bind(kCaseColumnCount, qint64(id));
    // Exactly one row: an update that finds no case has saved nothing and must not say it did.
    if (q.run() && s.changes() == 1)
        return true;
    message = Text(kErrUpdate);
    return false;
}

bool MRecordBase::Delete(SqliteSession &s, int id)
{
    SqlQuery q(s, kDeleteCase);
    q.bind(1, qint64(id));
    if (q.run())
        return true;
    message = Text(kErrDelete);
    return false;
}

MRecordBase::TLoadResult MRecordBase::Load(SqliteSession &s, int id, TRecordData &rec)
{
    SqlQuery q(s, kSelectCase);
    q.bind(1, qint64(id));
    const int rc = q.step();
    if (rc == SQLITE_DONE)
        return TLoadResult::NoSuchCase;
    if (rc != SQLITE_ROW) {
        message = s.errorText();
        return TLoadResult::Failed;
    }
    // Columns are taken by name: a column the file lacks reads as empty, and so as its default.
    const std::vector<int> &columns = s.columnsByName(kSelectCase, kCaseColumns.data(), kCaseColumnCount);
    QStringList values;
    values.reserve(kCaseColumnCount);
    for (int i = 0; i < kCaseColumnCount; ++i)
        values << (i < int(columns.size()) && columns[i] >= 0 ? q.text(columns[i]) : QString());
    ValuesToRecord(values, rec);
    return TLoadResult::Loaded;
}

int MRecordBase::InsertCase(TRecordData &rec)
{
    SqliteSession s;
    busy = false;
    const bool refused = RefuseDamaged(kErrInsert) || RefuseReplaced(kErrInsert);
    if (refused || !OpenSession(s)) {
        rec.id = primaryId + 1;
        if (!refused) // a refusal has said why already
            message = Text(kErrInsert);
        return -1;
    }
    const int id = Insert(s, rec, false);
    if (id < 0)
        AddReason(s, kErrInsert);
    return id;
}

bool MRecordBase::UpdateCase(int id, const TRecordData &rec, const TCaseKey *expected)
{
    SqliteSession s;
    busy = false;
    replaced = false;
    if (RefuseDamaged(kErrUpdate) || RefuseReplaced(kErrUpdate))
        return false;
    if (!OpenSession(s)) {
        message = Text(kErrUpdate);
        return false;
    }
    Transaction t(s);
    if (t.ok() && CaseStillThere(s, id, expected, kErrUpdate) && Update(s, id, rec) && t.commit())
        return true;
    if (replaced)
        return false;
    message = Text(kErrUpdate);
    AddReason(s, kErrUpdate, s.failureCode() == 0 ? QStringLiteral("案例文件里已经没有这个案例了。") : QString());
    return false;
}

bool MRecordBase::DeleteCase(int id, const TCaseKey *expected)
{
    SqliteSession s;
    busy = false;
    replaced = false;
    if (RefuseDamaged(kErrDelete) || RefuseReplaced(kErrDelete))
        return false;
    if (!OpenSession(s)) {
        message = Text(kErrDelete);
        return false;
    }
    Transaction t(s);
    if (t.ok() && CaseStillThere(s, id, expected, kErrDelete) && Delete(s, id) && t.commit())
        return true;
    if (replaced)
        return false;
    message = Text(kErrDelete);
    AddReason(s, kErrDelete);
    return false;
}

bool MRecordBase::DeleteCaseWithFiles(int id, const TCaseKey *expected)
{
    SqliteSession s;
    busy = false;
    replaced = false;
    if (RefuseDamaged(kErrDelete) || RefuseReplaced(kErrDelete))
        return false;
    FinishStoppedDeletes(); // what an earlier deletion left due goes first
    if (!OpenSession(s)) {
        message = Text(kErrDelete);
        return false;
    }
    // The row is checked and read, deleted and its files noted as due, and the other cases asked, in one
    // transaction: no save can take the name in between, and a program stopped after the commit leaves the files
    // due rather than forgotten.
    TRecordData stored;
    bool namedByOther = false;
    Transaction t(s);
    const bool read = t.ok() && CaseStillThere(s, id, expected, kErrDelete, &stored);
    const bool hasFiles = read && IsValidRemarkFile(stored.remarkFile);
    const bool deleted = read && Delete(s, id) && (!hasFiles || RowNamesFile(s, stored.remarkFile, namedByOther));
    const bool due = hasFiles && !namedByOther;
    if (!deleted || (due && !NoteFilesDue(s, stored.remarkFile)) || !Ops().checkpoint("delete-row") || !t.commit()) {
        if (!replaced && !NoteDamage(s, kErrDelete))
            message = Text(kErrDelete);
        return false;
    }
    if (due)
        RemoveDueFiles(s, stored.remarkFile);
    return true;
}

// Removes the two files that remarkFile names, then its note; files a stored case names (again) stay, and so do
// those of a name that would leave the case folder, which is no case's. A file that cannot go keeps the note.
void MRecordBase::RemoveDueFiles(SqliteSession &s, const QString &remarkFile)
{
    bool named = true;
    if (IsValidRemarkFile(remarkFile) && !RowNamesFile(s, remarkFile, named))
        return;
    if (!named) {
        const QString files = CaseFolder(appFolder) + remarkFile;
        const bool rtf = Ops().remove(files + QStringLiteral(".rtf"));
        if (!Ops().remove(files + QStringLiteral(".bmp")) || !rtf)
            return;
    }
    SqlQuery q(s, kDropDue);
    q.bind(1, remarkFile);
    q.run();
}

void MRecordBase::FinishStoppedDeletes()
{
    SqliteSession s;
    if (Damaged() || !OpenSession(s))
        return;
    const QString note = message; // what the caller shows is not this work's business
    QStringList due;
    if (TableState(s, kDueTable) == 1) {
        SqlQuery q(s, kSelectDue);
        while (q.step() == SQLITE_ROW)
            due << q.text(0);
    }
    for (const QString &name : std::as_const(due))
        RemoveDueFiles(s, name);
    message = note;
}

int MRecordBase::CountCasesNamed(const QString &name)
{
    SqliteSession s;
    if (!OpenSession(s)) {
        message = s.errorText();
        return -1;
    }
    SqlQuery q(s, kCountNamed);
    q.bind(1, name);
    if (q.step() != SQLITE_ROW) {
        message = s.errorText();
        NoteDamage(s);
        return -1;
    }
    return q.text(0).toInt();
}

bool MRecordBase::LoadCase(int id, TRecordData &rec) { return LoadCaseEx(id, rec) == TLoadResult::Loaded; }

MRecordBase::TLoadResult MRecordBase::LoadCaseEx(int id, TRecordData &rec)
{
    busy = false;
    if (id <= 0)
        return TLoadResult::NoSuchCase;
    SqliteSession s;
    if (!OpenSession(s)) {
        message = Text(kErrOpen);
        return TLoadResult::Failed;
    }
    const TLoadResult result = Load(s, id, rec);
    if (result == TLoadResult::Failed && !NoteDamage(s)) {
        busy = s.sawBusy();
        message = Reason(s);
    }
    return result;
}

bool MRecordBase::ReadClasses(QStringList &list)
{
    SqliteSession s;
    busy = false;
    if (!OpenSession(s)) {
        message = Text(kErrOpen);
        return false;
    }
    SqlQuery q(s, kSelectClasses);
    const int rc = q.step();
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) {
            busy = s.sawBusy();
            message = Reason(s);
        }
        return false;
    }
    SplitValue(q.text(0), list);
    return true;
}

bool MRecordBase::WriteClasses(const QStringList &list)
{
    QStringList names;
    for (const QString &name : list) {
        // An empty name would leave two separators side by side and split into a wrong list.
        const QString stored = StoredClassName(name);
        if (!stored.isEmpty())
            names << stored;
    }
    busy = false;
    if (RefuseDamaged(kErrClasses) || RefuseReplaced(kErrClasses))
        return false;
    SqliteSession s;
    if (OpenSession(s)) {
        SqlQuery q(s, kSetClasses);
        q.bind(1, names.join(QLatin1Char(kValueSeparator)));
        if (q.run() && s.changes() >= 1)
            return true;
    }
    message = Text(kErrClasses);
    AddReason(s, kErrClasses);
    return false;
}

int MRecordBase::ReadPrimaryId()
{
    SqliteSession s;
    if (!OpenSession(s)) {
        message = s.errorText();
        return -1;
    }
    const int v = ReadCounter(s);
    if (v == -2)
        message = Text(kErrReadCounter);
    return v < 0 ? -1 : v;
}

bool MRecordBase::TableExists(const QString &name)
{
    SqliteSession s;
    if (!OpenSession(s)) {
        message = s.errorText();
        return false;
    }
    return TableState(s, name.toUtf8().constData()) == 1;
}

bool MRecordBase::CreateDataTable()
{
    if (RefuseDamaged(kErrCreateData))
        return false;
    SqliteSession s;
    if (!OpenSession(s)) {
        message = Text(kErrCreateData);
        return false;
    }
    return CreateData(s);
}

bool MRecordBase::CreateExtraTable()
{
    if (RefuseDamaged(kErrCreateExtra))
        return false;
    SqliteSession s;
    if (!OpenSession(s)) {
        message = Text(kErrCreateExtra);
        return false;
    }
    Transaction t(s);
    if (!t.ok() || !CreateExtra(s, primaryId))
        return false;
    if (t.commit())
        return true;
    message = Text(kErrWriteExtra);
    return false;
}

int MRecordBase::OpenDb()
{
    if (batch)
        return SQLITE_MISUSE;
    replaced = false;
    if (Damaged()) { // loads wait for no check: only the batch's writes do
        message = damage;
        return SQLITE_CORRUPT;
    }
    auto s = std::make_unique<SqliteSession>();
    const int rc = utf8Path.isEmpty() ? SQLITE_CANTOPEN : s->open(utf8Path, false);
    if (rc != SQLITE_OK) {
        if (!RefuseReplaced(kErrOpen)) // a file taken away says so
            message = Text(kErrOpen);
        return rc;
    }
    if (!s->exec("BEGIN")) {
        message = s->errorText();
        return SQLITE_ERROR;
    }
    primaryIdAtBatchStart = primaryId;
    batchWrote = false;
    batchBroken = false;
    batch = std::move(s);
    return SQLITE_OK;
}

bool MRecordBase::CloseDb()
{
    if (!batch)
        return true;
    bool ok = !batchBroken;
    if (ok && !batch->exec("COMMIT")) {
        message = batch->errorText();
        ok = false;
    }
    if (!ok)
        AbandonDb();
    batch.reset();
    return ok;
}

void MRecordBase::AbandonDb()
{
    if (!batch)
        return;
    // Nothing of the batch reached the file: the counter goes back to what the file still holds.
    if (batch->inTransaction())
        batch->exec("ROLLBACK");
    primaryId = primaryIdAtBatchStart;
    batch.reset();
}

// A batch operation may run: the batch is open and its transaction still whole.
bool MRecordBase::BatchUsable() { return batch && !batchBroken; }

// A batch operation may not run: the failure is the operation's own, except where a replaced file or case gave
// the batch up, which stays what the batch says.
bool MRecordBase::BatchRefuses(const char *failure)
{
    if (BatchUsable())
        return false;
    if (!replaced)
        message = Text(failure);
    return true;
}

// A write of a batch by id: the file and, with expected, the case must still be those the caller read. A
// replacement gives up the whole batch: none of it may reach a file that is not the one read.
bool MRecordBase::BatchStillTheCase(int id, const TCaseKey *expected, const char *failure)
{
    if (CaseStillThere(*batch, id, expected, failure))
        return true;
    if (!replaced) {
        NoteBatchFailure();
        return false;
    }
    batchBroken = true;
    if (batch->inTransaction())
        batch->exec("ROLLBACK");
    primaryId = primaryIdAtBatchStart;
    return false;
}

// After a failed operation of a batch: when the store has given up the batch's transaction, or the failure was of
// the kind that may have done so, the whole batch is rolled back and every later operation of it fails. Going on
// would commit the later operations one by one while the earlier ones are lost.
void MRecordBase::NoteBatchFailure()
{
    if (!batch->hadFatalFailure() && batch->inTransaction())
        return;
    NoteDamage(*batch);
    batchBroken = true;
    if (batch->inTransaction())
        batch->exec("ROLLBACK");
    primaryId = primaryIdAtBatchStart;
}

int MRecordBase::InsertCaseBatch(TRecordData &rec)
{
    if (RefuseDamaged(kErrInsert)) {
        rec.id = primaryId + 1;
        return -1;
    }
    if (!BatchUsable()) {
        rec.id = primaryId + 1;
        message = Text(kErrInsert);
        return -1;
    }
    const int id = Insert(*batch, rec, true);
    if (id < 0)
        NoteBatchFailure();
    return id;
}

bool MRecordBase::UpdateCaseBatch(int id, const TRecordData &rec, const TCaseKey *expected)
{
    if (RefuseDamaged(kErrUpdate) || BatchRefuses(kErrUpdate) || !BatchStillTheCase(id, expected, kErrUpdate))
        return false;
    if (Update(*batch, id, rec))
        return true;
    NoteBatchFailure();
    return false;
}

bool MRecordBase::DeleteCaseBatch(int id, const TCaseKey *expected)
{
    if (RefuseDamaged(kErrDelete) || BatchRefuses(kErrDelete) || !BatchStillTheCase(id, expected, kErrDelete))
        return false;
    if (Delete(*batch, id))
        return true;
    NoteBatchFailure();
    return false;
}

bool MRecordBase::LoadCaseBatch(int id, TRecordData &rec)
{
    return LoadCaseBatchEx(id, rec) == TLoadResult::Loaded;
}

MRecordBase::TLoadResult MRecordBase::LoadCaseBatchEx(int id, TRecordData &rec)
{
    if (id <= 0)
        return TLoadResult::NoSuchCase;
    if (!BatchUsable()) {
        message = Text(kErrOpen);
        return TLoadResult::Failed;
    }
    const TLoadResult result = Load(*batch, id, rec);
    if (result == TLoadResult::Failed)
        NoteBatchFailure();
    return result;
}
