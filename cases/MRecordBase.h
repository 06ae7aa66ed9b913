#pragma once

#include "TRecordData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class BackgroundQuickCheck;
class CaseFileOps;
class SqliteSession;
class TemporaryFile;

// How a case's comments become an RTF file and back. The case library reads and writes no RTF itself: the
// program hands in its RTF writer and reader.
struct TRemarkCodec {
    std::function<QByteArray(const QString &plainText)> toRtf;
    // The plain text of a comment file; false when it cannot be read.
    std::function<bool(const QString &path, QString &plainText)> readText;
};

// Receives the progress texts of a long operation ("整理进度：40％").
using TProgress = std::function<void(const QString &text)>;

// The base name of the case file and of the folders named after it.
inline constexpr const char *DbBaseName = "Quorin";

// The case database: the program's only access to the case file, an SQLite file with the tables case_data
// (one row per case) and case_extra (one row: the id counter, the category list and the file's marker).
//
// Single operations open the file, work and close it again. A batch (many inserts, updates, deletes or
// loads) runs between OpenDb and CloseDb, or inside a Batch guard, on one connection and in one transaction;
// no single operation is called inside a batch on the same object. Failures are results: false or -1, with
// the text to show in Message().
class MRecordBase {
public:
    enum class TLoadResult { Loaded, NoSuchCase, Failed };

    // appFolder: the program folder (normally AppPath()); empty means the folder of the running executable.
    explicit MRecordBase(const QString &appFolder = QString());
    ~MRecordBase();
    MRecordBase(const MRecordBase &) = delete;
    MRecordBase &operator=(const MRecordBase &) = delete;

    // <appFolder>dat/Quorin.db
    static QString DefaultPath(const QString &appFolder);

    // Opens the case file at path (made, with its folder, when missing), adds a missing table and heals the id
    // counter. 0 on success, -1 on failure; a failed open leaves the object on the file it had before. A file
    // that can only be read opens for reading, its counter healed in memory only.
    int Open(const QString &path);

    // The case file is damaged (found by Open, or by a later operation that met the damage): nothing writes to it
    // any more, every write fails with the damage named in Message().
    bool Damaged() const { return !damage.isEmpty(); }
    const QString &DamageText() const { return damage; }
    // What another connection to the same file found (the tree's loader): this object stops writing too.
    void MarkDamaged(const QString &text);
    // SQLite's quick check reads the whole file. By default Open runs it over a file that holds cases. Off, Open
    // runs it only before a write of its own; StartQuickCheck then runs it on a thread of its own, and every
    // write waits for its verdict first (a file never checked is checked before the first write). Like every call,
    // these come from the one thread that uses the object at the time.
    void SetQuickCheckAtOpen(bool on) { quickCheckAtOpen = on; }
    void StartQuickCheck();
    // A quick check started by StartQuickCheck is still running.
    bool QuickCheckRunning() const;
    // How far that check has read the file, 0..1.
    double QuickCheckProgress() const;
    // Waits for the quick check of the open file (running it now when it has not run): false when the file is
    // damaged (Damaged() then says so).
    bool SettleQuickCheck();

    // Open has succeeded on a file (which may be damaged): there is a case file to work on.
    bool IsOpen() const { return !utf8Path.isEmpty(); }
    // The last failure was another program holding the case file (Message() names the file): the same call may
    // succeed once that program lets go of it.
    bool FileBusy() const { return busy; }
    // The file at the opened path is no longer the file Open opened (another program put a file of its own in its
    // place, or took it away): nothing is written to it, every write says so. The file system's number for the
    // file is the first look; where the number changed, the stamp the file carries decides, since some file
    // systems number a file anew. A file that carries no stamp yet is judged by its number alone.
    bool FileReplaced();
    // The last failure was a write by id refused because the case file at the path, or the case under the id, is
    // no longer the one the caller read (Message() says the case file was replaced); nothing was written.
    bool CaseReplaced() const { return replaced; }

    int GetPrimaryId() const { return primaryId; }
    const QString &Message() const { return message; }
    const QString &AppFolder() const { return appFolder; }
    const QString &Path() const { return path; }

    // Single operations.
    int InsertCase(TRecordData &rec);                 // the new id, also written into rec.id; -1 on failure
    // The writes by id. With expected, row id is written only while it holds that case (what the caller read) in
    // the file Open opened, looked at in the write's own transaction; otherwise nothing changes and CaseReplaced()
    // says why. Without it, only the file is looked at.
    bool UpdateCase(int id, const TRecordData &rec, const TCaseKey *expected = nullptr); // true only when the case
                                                                                          // existed and was rewritten
    bool DeleteCase(int id, const TCaseKey *expected = nullptr); // deleting an id that has no case succeeds
    // Deletes case id, then the comment and floor-plan files its row names, except those another stored case
    // still names. The files go only once the row is gone, so a deletion that fails leaves the case whole. The
    // file notes them as due in the deletion's own transaction, so a program stopped before they are gone, or a
    // file that cannot be removed yet, leaves them to the next start or the next deletion (FinishStoppedDeletes).
    bool DeleteCaseWithFiles(int id, const TCaseKey *expected = nullptr);
    int CountCasesNamed(const QString &name);         // stored cases of this owner's name; -1 on failure
    bool LoadCase(int id, TRecordData &rec);          // false for a missing case and for a failed query
    TLoadResult LoadCaseEx(int id, TRecordData &rec); // tells the two apart
    bool ReadClasses(QStringList &list);              // on failure the list keeps what it held
    bool WriteClasses(const QStringList &list);
    int ReadPrimaryId();                              // the stored counter, -1 on failure
    bool TableExists(const QString &name);
    bool CreateDataTable();
    bool CreateExtraTable();

    // Batches. OpenDb returns the SQLite result code (0 when open). CloseDb commits and says whether the whole
    // batch reached the file: a batch whose transaction was lost (full disk, I/O error) fails every later
    // operation and its CloseDb, and none of it is stored. AbandonDb rolls the batch back.
    int OpenDb();
    bool CloseDb();
    void AbandonDb();
    bool InBatch() const { return batch != nullptr; }
    int InsertCaseBatch(TRecordData &rec);
    // With expected, as the single writes; a file or case found replaced gives up the whole batch.
    bool UpdateCaseBatch(int id, const TRecordData &rec, const TCaseKey *expected = nullptr);
    bool DeleteCaseBatch(int id, const TCaseKey *expected = nullptr);
    bool LoadCaseBatch(int id, TRecordData &rec);
    TLoadResult LoadCaseBatchEx(int id, TRecordData &rec);

    // Brackets a batch: OpenDb on construction; commit() ends it with CloseDb's result. A batch the guard did
    // not commit is rolled back when the guard goes.
    class Batch {
    public:
        explicit Batch(MRecordBase &db) : db_(db), rc_(db.OpenDb()), pending_(rc_ == 0) {}
        ~Batch()
        {
            if (pending_)
                db_.AbandonDb();
        }
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        bool ok() const { return rc_ == 0; }
        bool commit()
        {
            if (!pending_)
                return false;
            pending_ = false;
            return db_.CloseDb();
        }

    private:
        MRecordBase &db_;
        int rc_;
        bool pending_;
    };

    // Whole-database operations (MRecordBase_whole.cpp). None runs inside a batch. Whatever fails, and wherever
    // the program is stopped, the case file and the case folder stay as they were or become wholly the new ones.

    // Open, first finishing or undoing a restore or delete-all that was cut short and writing the comment files
    // that an import stopped after its commit left unwritten (with a remark codec set), and with convertOld the
    // old flat case file's migration: 1 when cases were migrated (the note in Message()), else as Open.
    int Open(const QString &path, bool convertOld);
    // The file steps go through ops (a test's failing or stopping double); nullptr: the real file system.
    void SetFileOps(CaseFileOps *ops) { fileOps = ops; }
    void SetRemarkCodec(TRemarkCodec codec) { remarkCodec = std::move(codec); }
    bool CheckBaseType(const QString &expected);
    // Writes the comment file of every case that has none, or an empty one while its row holds a comment (from
    // its stored text); false when the case file cannot be read.
    bool EnsureRemarkFiles();
    // Copies the case file and the comment and floor-plan files into <dest>Quorin.db and <dest>Quorin_f/, then
    // writes Quorin_f/save.txt; false, and no save.txt, when anything could not be copied. A save.txt already
    // there goes before the first copy.
    bool Backup(const QString &destFolder);
    // Removes the half-written files that a stopped backup or export left in a folder chosen for them: the
    // program's temporaries (TempFiles.h) in the folder and in its unfinished backup folders <folder>Quorin_*/,
    // and the names earlier versions gave them (<folder>Quorin_*.db.part, *.part in a backup's case folder).
    // Finished backups and exported files, every other file, and a temporary that another running program still
    // writes there, stay.
    void ClearStoppedCopies(const QString &folder);
    // Replaces the case file and the case folder by a backup's, once the backup is checked and staged whole.
    bool Restore(const QString &srcFolder);
    bool DeleteAll();
    // Renumbers the cases 1..n into a fresh file renamed over the case file: n, 0 on failure.
    int Compact(const TProgress &progress = {});
    // Appends the cases of another case file and writes their comment files: the count, 0 on failure.
    int ImportDb(const QString &srcPath, const TProgress &progress = {});
    // A new case file at dest (which must not exist) with the cases of the given categories, or all.
    int ExportDb(const QString &destPath, const QStringList &classes, bool all, const TProgress &progress = {});
    // Migrates <appFolder>dat/Quorin.dat: 1 when at least one case was migrated, else 0. Keeps the old file when
    // anything failed, to try again at the next start; never migrates one file twice.
    int ConvertOldData();
    // The last migration failed and kept the old file to try again at the next start (Message() says so).
    bool OldFileKept() const { return oldFileKept; }
    // Cleans a name, category or address by the one name rule (CleanText of CleanName.h: the characters a name
    // cannot hold and control characters go, at most maxChars whole characters stay, 0: no limit; an empty text
    // becomes "甲"). True when the text changed.
    static bool SanitizeText(QString &text, int maxChars);
    // Cleans address, category and name; true when the name changed (its comment file needs a new name).
    bool SanitizeRecord(TRecordData &rec);
    // Removes section [classes] of <appFolder>dat/kqinit.ini, keeping every other byte of the file.
    bool EraseOldClasses();

    // Saving a case from the window (MRecordBase_save.cpp): its row, its comment file and its floor-plan file
    // change together.
    struct TCaseFiles {
        QByteArray comments;            // the comment file (RTF)
        std::optional<QByteArray> plan; // the floor plan (BMP); none: the case keeps the plan file it has, if any
    };
    // Writes the files under a free name made from rec (RemarkBaseName), then inserts the row (id <= 0) or
    // rewrites row id, naming them, then removes the files its stored row named. Whatever fails, and
    // wherever the program is stopped, the case is wholly the old one or wholly the new one: a save stopped
    // half-way is settled at the next Open. On success rec.remarkFile (and for a new case rec.id) are the new
    // ones; on failure rec is unchanged and Message() says what failed, with the reason on a second line.
    // Row id is rewritten only while it holds the case the caller opened (opened, else rec: the owner's name and
    // the comment-file name as stored) in the file Open opened; otherwise nothing changes and Message() says
    // the case file was replaced.
    bool SaveCase(int id, TRecordData &rec, const TCaseFiles &files, const TRecordData *opened = nullptr);
    // Settles a save that was stopped half-way: keeps the files its row names and removes the others. False
    // when that cannot be done yet (the journal stays for the next try).
    bool FinishStoppedSave();

private:
    int Damage(const QString &dbPath, const QString &detail);
    bool NoteDamage(const SqliteSession &s, const char *failure = nullptr);
    bool OpenMustWrite(SqliteSession &s, int hasExtra);
    bool RefuseDamaged(const char *failure);
    bool RefuseReplaced(const char *failure);
    bool RefuseAsReplaced(const char *failure);
    bool CaseStillThere(SqliteSession &s, int id, const TCaseKey *expected, const char *failure,
                        TRecordData *stored = nullptr);
    bool BatchStillTheCase(int id, const TCaseKey *expected, const char *failure);
    bool BatchRefuses(const char *failure);
    void TakeFileIdentity();
    void StampOpenedFile();
    bool GiveFreshStamp(const QString &dbPath);
    void RemoveDueFiles(SqliteSession &s, const QString &remarkFile);
    // Removes the files that deleted cases left due, except those a stored case names (again); a file that cannot
    // go stays due.
    void FinishStoppedDeletes();
    void AddReason(const SqliteSession &s, const char *failure, const QString &otherwise = QString());
    QString Reason(const SqliteSession &s) const;
    void FinishOpening();
    bool StoredCase(SqliteSession &s, int id, const TRecordData &opened, TRecordData &stored, QString &reason);
    CaseFileOps &Ops();
    bool FinishInterrupted(const QString &dbPath);
    void WriteMissingRemarkFiles();
    bool SettleJournal();
    bool EnsureRemarkFilesIn(const QByteArray &dbUtf8, const QString &folder);
    QString SaveJournalPath() const;
    bool RowNamesFile(SqliteSession &s, const QString &remarkFile, bool &named);
    bool StoredRemarkFile(int id, const TRecordData &opened, QString &name, QString &reason);
    bool SaveRow(int id, TRecordData &saved, const TRecordData &opened, QString &reason);
    bool StartCopy(SqliteSession &s, const QString &beside, TemporaryFile &temp);
    int CopyCases(SqliteSession &s, const QString &filter, const QStringList &classes, const char *label,
                  const TProgress &progress, QStringList &seen);
    bool OpenSession(SqliteSession &s);
    int Insert(SqliteSession &s, TRecordData &rec, bool inBatch);
    bool BatchUsable();
    void NoteBatchFailure();
    bool Update(SqliteSession &s, int id, const TRecordData &rec);
    bool Delete(SqliteSession &s, int id);
    TLoadResult Load(SqliteSession &s, int id, TRecordData &rec);
    int ReadCounter(SqliteSession &s);
    int TableState(SqliteSession &s, const char *name);
    bool CreateData(SqliteSession &s);
    bool CreateExtra(SqliteSession &s, int counter);
    bool InsertExtraRow(SqliteSession &s, int counter);
    int HealCounter(SqliteSession &s);

    QString appFolder;
    QByteArray utf8Path; // absolute, as handed to SQLite
    QString path;        // as given
    int primaryId = 0;   // the highest case id ever issued
    std::unique_ptr<SqliteSession> batch;
    int primaryIdAtBatchStart = 0;
    bool batchWrote = false;  // the batch holds the write lock: the stored counter cannot change under it
    bool batchBroken = false; // the batch's transaction is gone: nothing more of it may run
    QString message;
    CaseFileOps *fileOps = nullptr;
    TRemarkCodec remarkCodec;
    bool oldFileKept = false;
    QString damage; // the message naming the damaged case file; empty while it is sound
    bool quickCheckAtOpen = true;
    enum class CheckState { Done, NotRun, Running };
    CheckState checkState = CheckState::Done;
    std::unique_ptr<BackgroundQuickCheck> check;
    // Open(path, convertOld) left the work that reads the rows (settling a stopped save, writing comment files an
    // import left unwritten) to the quick check's verdict: SettleQuickCheck does it.
    bool openingPending = false;
    bool busy = false;           // the last failure met another program holding the file
    bool replaced = false;       // the last failure was a write by id refused: the file or the case was replaced
    // The file Open opened: its number, as the file system knows it (known false when it could not be asked), and
    // the random stamp written into it once (empty: none yet, or none can be written).
    struct FileIdentity {
        bool known = false;
        quint64 device = 0;
        quint64 inode = 0;
        QString stamp;
        bool stampTried = false; // one try per opening to stamp a file that has none
    } identity;
};
