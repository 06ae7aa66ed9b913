// Backup, restore, delete-all, compaction, import, export and the old file's migration on real files: every
// step made to fail in turn, and the program killed at every step.
#include "CaseFiles.h"
#include "CaseTestSupport.h"
#include "MRecordBase.h"
#include "CaseFileShims.h"
#include "SmallDisk.h"
#include "TempFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Stands in for the RTF writer and reader: the case library only passes the bytes through.
TRemarkCodec TestCodec()
{
    return {[](const QString &text) { return "{\\rtf1 " + text.toUtf8() + "}"; },
            [](const QString &path, QString &text) {
                QFile f(path);
                if (!f.open(QIODevice::ReadOnly))
                    return false;
                QByteArray b = f.readAll();
                if (!b.startsWith("{\\rtf1 ") || !b.endsWith("}"))
                    return false;
                text = QString::fromUtf8(b.mid(7).chopped(1));
                return true;
            }};
}

// Every file under a folder, by relative path, with a hash of its bytes.
std::map<QString, QByteArray> Snapshot(const QString &folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] =
            QCryptographicHash::hash(ReadBytes(path), QCryptographicHash::Sha256).toHex();
    }
    return files;
}

TRecordData Case(const QString &name, const QString &category = QStringLiteral("私人别墅"))
{
    TRecordData r;
    r.name = name;
    r.className = category;
    r.date = {1980, 5, 6, 7, 8};
    r.remarkFile = name + QStringLiteral("_198005060708");
    r.remarkText = QStringLiteral("评语") + name;
    return r;
}

// The names of the cases of a file by id, "1:甲 2:乙"; "?" when the file cannot be read. With app given, only the
// cases whose comment file is missing from its case folder.
std::string Cases(const QString &dbPath, const QString &app = {})
{
    sqlite3 *db = nullptr;
    sqlite3_stmt *st = nullptr;
    std::string out = "?";
    if (sqlite3_open_v2(dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "select id, name, remarkFile from case_data order by id", -1, &st, nullptr) ==
            SQLITE_OK) {
        out.clear();
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto file = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 2)));
            if (app.isEmpty() || !QFile::exists(RemarkFilePath(app, file)))
                out += (out.empty() ? "" : " ") + std::to_string(sqlite3_column_int(st, 0)) + ":" +
                       reinterpret_cast<const char *>(sqlite3_column_text(st, 1));
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

std::string Classes(const QString &dbPath)
{
    MRecordBase db;
    QStringList list;
    if (db.Open(dbPath) != 0 || !db.ReadClasses(list))
        return "?";
    return list.join(QLatin1Char('|')).toStdString();
}

// One old case record of 160 bytes, as the earlier program wrote them (little-endian, GBK).
QByteArray OldRecord(const QString &name, const QString &category, const QString &remarkFile, bool deleted = false)
{
    QByteArray r(160, '\0');
    QStringEncoder gbk("GBK");
    auto put = [&](int at, int size, const QString &text) {
        const QByteArray b = gbk(text);
        std::memcpy(r.data() + at, b.constData(), size_t(std::min<qsizetype>(b.size(), size - 1)));
    };
    auto i16 = [&](int at, int v) {
        r[at] = char(v & 0xff);
        r[at + 1] = char((v >> 8) & 0xff);
    };
    auto f32 = [&](int at, float v) { std::memcpy(r.data() + at, &v, 4); }; // the machine is little-endian
    r[4] = deleted ? 1 : 0;
    put(5, 11, name);
    put(16, 14, category);
    const int date[5] = {1975, 3, 4, 10, 20};
    for (int i = 0; i < 5; ++i)
        i16(30 + 2 * i, date[i]);
    r[40] = 1; // lunar
    r[42] = 0; // female
    i16(44, 3);
    i16(46, 7);
    f32(52, 116.5f);
    f32(56, 39.75f);
    r[60] = 2; // the annual chart
    put(68, 51, QStringLiteral("北京市海淀区"));
    put(119, 30, remarkFile);
    r[149] = 12;
    r[150] = 5;
    f32(152, 187.25f);
    i16(158, 1998);
    return r;
}

// Ends the process at the n-th write, truncation, flush or deletion SQLite makes, counted together with the
// steps of the file-operations layer.
int g_killAt = 0;
int g_calls = 0;

void Tick()
{
    if (++g_calls == g_killAt)
        raise(SIGKILL);
}

void InstallKillVfs(int at)
{
    g_killAt = at;
    g_calls = 0;
    ShimVfs::Installed().beforeChange = Tick;
}

struct KillOps : CaseFileOps {
    bool step(const char *) override
    {
        Tick();
        return true;
    }
};

// A program folder with a case file (ids 1, 4, 9 after deletions, so compaction renumbers), their comment files,
// one floor plan, a backup of a different case file, a second case file to import, an old flat case file with
// its comments and an old settings file. Each run gets a fresh root.
class WholeDb : public ::testing::Test {
public:
    QTemporaryDir tmp;
    int runs = 0;
    QString root, app, db, backupDir, importPath;
    const std::string original = "1:甲 4:乙 9:己";

    // A fresh root, copied from the first one made (making files through the case library costs a disk flush
    // per save).
    void Make()
    {
        const QString first = tmp.path() + "/template";
        if (runs++ == 0) {
            root = first;
            SetPaths();
            Build();
        }
        root = tmp.path() + "/run" + QString::number(runs);
        SetPaths();
        QDirIterator it(first, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to = root + "/" + QDir(first).relativeFilePath(from);
            QDir().mkpath(QFileInfo(to).absolutePath());
            ASSERT_TRUE(QFile::copy(from, to));
        }
        QDir().mkpath(CaseFolder(app));
    }

    void SetPaths()
    {
        app = root + "/app/";
        db = MRecordBase::DefaultPath(app);
        backupDir = root + "/backup/";
        importPath = root + "/other.db";
    }

    void Build()
    {
        {
            MRecordBase b(root + "/backupapp/");
            ASSERT_EQ(b.Open(backupDir + "Quorin.db"), 0);
            for (const char *n : {"丙", "丁"}) {
                TRecordData r = Case(QString::fromUtf8(n));
                ASSERT_GT(b.InsertCase(r), 0);
                WriteBytes(backupDir + "Quorin_f/" + r.remarkFile + ".rtf", "{\\rtf1 old}");
            }
            WriteBytes(backupDir + "Quorin_f/save.txt", "save\r\n");
        }
        {
            MRecordBase o(root + "/otherapp/");
            ASSERT_EQ(o.Open(importPath), 0);
            TRecordData a = Case(QStringLiteral("甲"), QStringLiteral("新类别")); // its comment-file name is in use here
            TRecordData b = Case(QStringLiteral("戊"));
            ASSERT_GT(o.InsertCase(a), 0);
            ASSERT_GT(o.InsertCase(b), 0);
        }
        MRecordBase live(app);
        ASSERT_EQ(live.Open(db), 0);
        for (const char *n : {"甲", "x", "y", "乙", "z", "w", "v", "u", "己"}) {
            TRecordData r = Case(QString::fromUtf8(n), QStringLiteral("小区套房"));
            ASSERT_GT(live.InsertCase(r), 0);
            if (QString::fromUtf8(n).at(0).unicode() > 0x7f)
                WriteBytes(CaseFolder(app) + r.remarkFile + ".rtf", "{\\rtf1 " + r.remarkText.toUtf8() + "}");
        }
        for (int id : {2, 3, 5, 6, 7, 8})
            ASSERT_TRUE(live.DeleteCase(id));
        WriteBytes(CaseFolder(app) + QStringLiteral("乙_198005060708.bmp"), QByteArray(100, 'B'));
        ASSERT_TRUE(live.WriteClasses({QStringLiteral("小区套房"), QStringLiteral("空类别"), QStringLiteral("私人别墅")}));

        WriteBytes(app + "dat/Quorin.dat",
                   OldRecord(QStringLiteral("老王"), QStringLiteral("古代老宅"), QStringLiteral("老王_1")) +
                       OldRecord(QStringLiteral("删掉"), QStringLiteral("x"), QStringLiteral("删掉_1"), true) +
                       OldRecord(QStringLiteral("李 '四"), QStringLiteral("旧类 别"), QStringLiteral("李 '四_1")) +
                       OldRecord(QStringLiteral("老王"), QStringLiteral("古代老宅"), QStringLiteral("../../x")) +
                       QByteArray(50, '\x7f')); // a partial record at the end is not read
        WriteBytes(CaseFolder(app) + "老王_1.rtf", "{\\rtf1 王家's 评语}");
        WriteBytes(CaseFolder(app) + "老王_1.bmp", QByteArray(64, 'P'));
        WriteBytes(CaseFolder(app) + "李 '四_1.rtf", "{\\rtf1 李家评语}");
        WriteBytes(CaseFolder(app) + "李 '四_1.bmp", QByteArray(64, 'Q'));
        QStringEncoder gbk("GBK");
        WriteBytes(app + "dat/kqinit.ini", "[main]\r\nkey=" + gbk(QStringLiteral("值")) +
                                               "\r\n[Classes]\r\n0=a\r\n1=b\r\n[tail]\nx=1");
    }

    bool Open(MRecordBase &b, CaseFileOps *ops = nullptr)
    {
        b.SetRemarkCodec(TestCodec());
        const bool ok = b.Open(db) == 0;
        b.SetFileOps(ops);
        return ok;
    }
    // Runs `run` in a child process that is killed at its at-th step, SQLite's writes counted; the child's status.
    int RunKilledAt(int at, const std::function<bool(MRecordBase &)> &run)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            InstallKillVfs(at);
            KillOps stop;
            MRecordBase b(app);
            Open(b, &stop);
            _exit(run(b) ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }

    // Where the backup is made and the export written, named as the main window names them.
    QString backupTarget() const { return root + QStringLiteral("/Quorin_备份_1/"); }

    // A finished backup (of the other case file) where the backup is made, so that one is made over it.
    std::map<QString, QByteArray> PlaceFinishedBackup()
    {
        QDirIterator it(backupDir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            WriteBytes(backupTarget() + QDir(backupDir).relativeFilePath(from), ReadBytes(from));
        }
        return Snapshot(backupTarget());
    }

    // The marker vouches for a whole backup: where one is left, the folder holds the finished backup placed there.
    bool MarkerTrue(const std::map<QString, QByteArray> &placed)
    {
        return !QFile::exists(backupTarget() + "Quorin_f/save.txt") || Snapshot(backupTarget()) == placed;
    }

    // The files under a folder whose names hold one of the marks.
    static std::vector<QString> Marked(const QString &folder, std::initializer_list<const char *> marks)
    {
        std::vector<QString> found;
        for (const auto &[name, hash] : Snapshot(folder))
            if (std::any_of(marks.begin(), marks.end(), [&](const char *m) { return name.contains(QLatin1String(m)); }))
                found.push_back(name);
        return found;
    }
    // The start's sweep of the temporaries a stopped program left beside the case file and in the case folder.
    void SweepAsAStartDoes()
    {
        RemoveStoppedWrites(app + "dat");
        RemoveStoppedWrites(CaseFolder(app));
    }
    // Half-written files anywhere under the root.
    std::vector<QString> PartFiles() { return Marked(root, {".part", kTemporaryMark}); }
    // Files a finished or undone operation must not leave in the program folder.
    std::vector<QString> Leftovers()
    {
        return Marked(app, {".new", ".old", ".swap", ".remarks", ".part", "_back.db", kTemporaryMark});
    }
};

// Each operation, with the cases of the case file after it succeeded.
struct Operation {
    const char *name;
    std::function<bool(MRecordBase &, const QString &root)> run; // true when it reports success
    std::string after;
};

const std::vector<Operation> &Operations()
{
    static const std::vector<Operation> ops{
        {"backup", [](MRecordBase &b, const QString &r) { return b.Backup(r + "/Quorin_备份_1"); }, "1:甲 4:乙 9:己"},
        {"restore", [](MRecordBase &b, const QString &r) { return b.Restore(r + "/backup"); }, "1:丙 2:丁"},
        {"delete all", [](MRecordBase &b, const QString &) { return b.DeleteAll(); }, ""},
        {"compaction", [](MRecordBase &b, const QString &) { return b.Compact() == 3; }, "1:甲 2:乙 3:己"},
        {"import", [](MRecordBase &b, const QString &r) { return b.ImportDb(r + "/other.db") == 2; },
         "1:甲 4:乙 9:己 10:甲 11:戊"},
        {"export", [](MRecordBase &b, const QString &r) { return b.ExportDb(r + "/Quorin_1.db", {}, true) == 3; },
         "1:甲 4:乙 9:己"},
        {"migration", [](MRecordBase &b, const QString &) { return b.ConvertOldData() == 1; },
         "1:甲 4:乙 9:己 10:老王 11:李四 12:老王"},
    };
    return ops;
}

// Every step of every operation fails in turn. A failed operation leaves the program folder exactly as it was
// (every file's hash); a step that fails after the point of no return still ends in the complete new state; and
// the migration kept for the next start then runs, once.
TEST_F(WholeDb, EveryFailedStepLeavesTheCaseFileAndFolderAsTheyWere)
{
    int points = 0;
    for (const Operation &op : Operations()) {
        SCOPED_TRACE(op.name);
        const bool migration = std::string(op.name) == "migration";
        Make();
        StepOps counter;
        {
            MRecordBase b(app);
            ASSERT_TRUE(Open(b, &counter));
            ASSERT_TRUE(op.run(b, root)) << b.Message().toStdString();
        }
        MRecordBase started(app);
        started.Open(db, migration);
        SweepAsAStartDoes();
        EXPECT_EQ(Cases(db), op.after);
        EXPECT_EQ(Leftovers(), std::vector<QString>());
        for (int at = 1; at <= counter.calls; ++at, ++points) {
            SCOPED_TRACE("failing step " + std::to_string(at));
            Make();
            const auto placed = PlaceFinishedBackup();
            const auto before = Snapshot(app);
            StepOps ops;
            ops.at = at;
            MRecordBase b(app);
            ASSERT_TRUE(Open(b, &ops));
            const bool ok = op.run(b, root);
            if (!ok) {
                EXPECT_FALSE(b.Message().isEmpty());
                if (migration) {
                    EXPECT_EQ(b.OldFileKept(), QFile::exists(app + "dat/Quorin.dat"));
                }
                // A migration that failed after its commit is finished at the next start; before it, nothing
                // has changed.
                if (!migration || Cases(db) == original) {
                    EXPECT_EQ(Snapshot(app), before);
                }
                EXPECT_TRUE(MarkerTrue(placed));
                EXPECT_FALSE(QFile::exists(root + "/Quorin_1.db"));
            }
            // The next start.
            MRecordBase next(app);
            next.SetRemarkCodec(TestCodec());
            next.Open(db, migration);
            SweepAsAStartDoes();
            EXPECT_EQ(Cases(db), ok || migration ? op.after : original);
            EXPECT_EQ(Leftovers(), std::vector<QString>());
        }
    }
    std::cout << "failing steps tried: " << points << "\n";
}

// The program killed (SIGKILL) at every step of each operation, inside SQLite's writes included: at the next
// start the case file opens and holds either every case it held before or every case of the finished
// operation, never a mixture, and the case folder goes with it.
TEST_F(WholeDb, KilledAtEveryStepTheCaseFileOpensWhole)
{
    std::vector<Operation> ops = Operations();
    ops.push_back({"save", [](MRecordBase &b, const QString &) {
                       TRecordData r = Case(QStringLiteral("庚"));
                       return b.InsertCase(r) == 10;
                   },
                   "1:甲 4:乙 9:己 10:庚"});
    std::map<std::string, int> kills;
    for (const Operation &op : ops) {
        SCOPED_TRACE(op.name);
        const std::string name = op.name;
        const bool migration = name == "migration";
        for (int at = 1;; ++at) {
            Make();
            const auto placed = PlaceFinishedBackup();
            const int status = RunKilledAt(at, [&](MRecordBase &b) { return op.run(b, root); });
            if (!WIFSIGNALED(status)) {
                EXPECT_EQ(WEXITSTATUS(status), 0) << "the operation failed without a fault";
                break;
            }
            ++kills[name];
            SCOPED_TRACE("killed at step " + std::to_string(at));
            MRecordBase next(app);
            next.SetRemarkCodec(TestCodec());
            ASSERT_GE(next.Open(db, migration), 0) << next.Message().toStdString();
            SweepAsAStartDoes();
            const std::string now = Cases(db);
            if (migration || name == "backup" || name == "export")
                EXPECT_EQ(now, op.after == "" ? original : migration ? op.after : original);
            else if (name == "delete all")
                EXPECT_TRUE(now == original || now == "") << now;
            else
                EXPECT_TRUE(now == original || now == op.after) << now;
            // Every case has its comment file again, also the cases of an import stopped after its commit.
            EXPECT_EQ(Cases(db, app), "");
            // A backup stopped over a finished one leaves no marker that vouches for it; the next backup or export
            // into the same folder clears what the stopped one left half-written.
            EXPECT_TRUE(MarkerTrue(placed));
            next.ClearStoppedCopies(root);
            EXPECT_EQ(PartFiles(), std::vector<QString>());
            if (name == "restore") {
                // The case folder belongs to the case file that is live.
                const bool restored = now == op.after;
                EXPECT_EQ(QFile::exists(CaseFolder(app) + "丙_198005060708.rtf"), restored);
                EXPECT_EQ(QFile::exists(CaseFolder(app) + "甲_198005060708.rtf"), !restored);
            }
            EXPECT_EQ(Leftovers(), std::vector<QString>());
        }
    }
    int total = 0;
    for (const auto &[name, n] : kills) {
        std::cout << name << ": killed at " << n << " steps\n";
        total += n;
    }
    std::cout << "kill points tried: " << total << "\n";
}

// Another running copy of the program backs up or exports into the folder the user chose, and this one sweeps
// that folder before its own backup or export there: the other's temporaries, which it is writing, stay, and
// the other finishes whole. Once it has finished, nothing half-written is left.
TEST_F(WholeDb, TheSweepBeforeABackupOrExportLeavesWhatAnotherRunningCopyWrites)
{
    // Tells the parent when it reaches the step `at`, and waits there until the parent lets it go on.
    struct HeldOps : CaseFileOps {
        const char *at = nullptr;
        int up[2], down[2];
        bool step(const char *what) override
        {
            if (!at || std::strcmp(what, at) != 0)
                return true;
            at = nullptr;
            char c = 'h';
            return write(up[1], &c, 1) == 1 && read(down[0], &c, 1) >= 0;
        }
    };
    const struct {
        const char *name;
        const char *heldAt; // a step at which its temporary is there, being written
        const char *file;   // what it makes, under the root
        std::string cases;  // the cases of that file
    } rows[] = {{"backup", "written", "/Quorin_备份_1/Quorin.db", "1:甲 4:乙 9:己"},
                {"export", "copy", "/Quorin_1.db", "1:甲 2:乙 3:己"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Operation &op = *std::find_if(Operations().begin(), Operations().end(),
                                            [&](const Operation &o) { return std::string(o.name) == row.name; });
        Make();
        HeldOps held;
        held.at = row.heldAt;
        ASSERT_TRUE(pipe(held.up) == 0 && pipe(held.down) == 0);
        const pid_t other = fork();
        if (other == 0) {
            close(held.up[0]), close(held.down[1]);
            MRecordBase b(app);
            _exit(Open(b, &held) && op.run(b, root) ? 0 : 1);
        }
        close(held.up[1]), close(held.down[0]);
        char c = 0;
        ASSERT_EQ(read(held.up[0], &c, 1), 1) << "the other copy never reached " << row.heldAt;
        const std::vector<QString> writing = Marked(root, {kTemporaryMark});
        EXPECT_FALSE(writing.empty());
        MRecordBase mine(root + "/mine/"); // this copy, with a case file of its own
        ASSERT_EQ(mine.Open(MRecordBase::DefaultPath(root + "/mine/")), 0);
        mine.ClearStoppedCopies(root);
        EXPECT_EQ(Marked(root, {kTemporaryMark}), writing);
        close(held.down[1]), close(held.up[0]);
        int status = 0;
        waitpid(other, &status, 0);
        EXPECT_EQ(status, 0) << "the other copy's " << row.name << " failed";
        EXPECT_EQ(Cases(root + row.file), row.cases);
        EXPECT_EQ(PartFiles(), std::vector<QString>());
    }
}

// A save stopped after its journal was written leaves a hot journal beside the case file. The file that replaces
// the case file (restore, compaction) or its removal (delete all) must never meet that journal: at the next
// start the case file holds exactly the operation's cases.
TEST_F(WholeDb, AJournalLeftByAStoppedSaveNeverMeetsTheFileThatTakesItsPlace)
{
    for (const Operation &op : Operations()) {
        const std::string name = op.name;
        if (name != "restore" && name != "compaction" && name != "delete all")
            continue;
        SCOPED_TRACE(name);
        bool hot = false;
        std::unique_ptr<MRecordBase> b;
        for (int at = 1; at < 40 && !hot; ++at) {
            Make();
            // Opened before the other program stops: opening would roll the journal back.
            b = std::make_unique<MRecordBase>(app);
            ASSERT_TRUE(Open(*b));
            const QByteArray before = ReadBytes(db);
            const pid_t pid = fork();
            if (pid == 0) {
                InstallKillVfs(at);
                MRecordBase b(app);
                b.Open(db);
                b.DeleteCase(9);
                _exit(0);
            }
            int status = 0;
            waitpid(pid, &status, 0);
            // Stopped while writing the case file itself: only the journal can make it whole again.
            hot = WIFSIGNALED(status) && QFileInfo(db + "-journal").size() > 0 && ReadBytes(db) != before;
        }
        ASSERT_TRUE(hot) << "no stopped save left a journal";
        ASSERT_TRUE(op.run(*b, root)) << b->Message().toStdString();
        MRecordBase next(app);
        ASSERT_EQ(next.Open(db, false), 0);
        EXPECT_EQ(Cases(db), op.after);
    }
}

TRecordData Load(const QString &app, const QString &db, int id)
{
    MRecordBase b(app);
    TRecordData r;
    if (b.Open(db) != 0 || !b.LoadCase(id, r))
        r.name = QStringLiteral("(none)");
    return r;
}

// The old flat file, built byte by byte: its live records are migrated once, with their fields, categories,
// comments and floor plans; names are cleaned with their files following them; [classes] leaves kqinit.ini and
// every other byte of it stays.
TEST_F(WholeDb, OldFlatFileMigratesOnceWithCommentsAndFloorPlans)
{
    Make();
    const QByteArray oldLi = ReadBytes(CaseFolder(app) + "李 '四_1.rtf");
    MRecordBase b(app);
    b.SetRemarkCodec(TestCodec());
    ASSERT_EQ(b.Open(db, true), 1);
    EXPECT_EQ(b.Message(), "已经把旧版数据库转换到新版，共转换 3 个案例！");
    EXPECT_EQ(Cases(db), "1:甲 4:乙 9:己 10:老王 11:李四 12:老王");
    EXPECT_FALSE(QFile::exists(app + "dat/Quorin.dat"));
    QStringEncoder gbk("GBK");
    EXPECT_EQ(ReadBytes(app + "dat/kqinit.ini"), "[main]\r\nkey=" + gbk(QStringLiteral("值")) + "\r\n[tail]\nx=1");
    EXPECT_EQ(Classes(db), "古代老宅|旧类别|小区套房|空类别|私人别墅|自建民居|公司大夏|标志建筑|其他建筑|临时保存");

    const TRecordData wang = Load(app, db, 10);
    TRecordData expected;
    expected.id = 10;
    expected.name = QStringLiteral("老王");
    expected.className = QStringLiteral("古代老宅");
    expected.date = {1975, 3, 4, 10, 20};
    expected.lunar = 1;
    expected.sex = 0;
    expected.place1 = 3;
    expected.place2 = 7;
    expected.longitude = 116.5f;
    expected.latitude = 39.75f;
    expected.chartPanel = 2;
    expected.address = QStringLiteral("北京市海淀区");
    expected.remarkFile = QStringLiteral("老王_1");
    expected.remarkText = QStringLiteral("王家s 评语");
    expected.mountain = 12;
    expected.door = 5;
    expected.degree = 187.25f;
    expected.buildYear = 1998;
    EXPECT_EQ(wang, expected);
    EXPECT_TRUE(QFile::exists(CaseFolder(app) + "老王_1.bmp"));

    // The cleaned name: the comment read under the old name, both files under the new one, none lost.
    const TRecordData li = Load(app, db, 11);
    EXPECT_EQ(li.className, "旧类别");
    EXPECT_EQ(li.remarkFile, "李四_197503041020");
    EXPECT_EQ(li.remarkText, "李家评语");
    EXPECT_EQ(ReadBytes(CaseFolder(app) + "李四_197503041020.rtf"), oldLi);
    EXPECT_EQ(ReadBytes(CaseFolder(app) + "李四_197503041020.bmp"), QByteArray(64, 'Q'));
    EXPECT_FALSE(QFile::exists(CaseFolder(app) + "李 '四_1.rtf"));

    // A stored name that would leave the folder gets a fresh one, and a comment file made from the text.
    const TRecordData third = Load(app, db, 12);
    EXPECT_EQ(third.remarkFile, "老王_197503041020");
    EXPECT_EQ(ReadBytes(CaseFolder(app) + "老王_197503041020.rtf"), "{\\rtf1 输入自己的评语：}");

    MRecordBase again(app);
    EXPECT_EQ(again.Open(db, true), 0);
    EXPECT_EQ(Cases(db), "1:甲 4:乙 9:己 10:老王 11:李四 12:老王");

    // An empty old file: deleted, nothing migrated, the defaults filled in.
    Make();
    WriteBytes(app + "dat/Quorin.dat", {});
    QFile::remove(db);
    MRecordBase empty(app);
    EXPECT_EQ(empty.Open(db, true), 0);
    EXPECT_FALSE(QFile::exists(app + "dat/Quorin.dat"));
    EXPECT_EQ(Classes(db), "私人别墅|小区套房|自建民居|公司大夏|古代老宅|标志建筑|其他建筑|临时保存");
}

// A source file whose every text column holds an SQL fragment, and comment-file names that would leave the case
// folder: the rows import as text, the names are replaced, the source file is only read.
TEST_F(WholeDb, ImportTakesHostileRowsAsTextAndNeverTrustsTheirFileNames)
{
    Make();
    const QString hostile = QStringLiteral("x'); drop table case_data; --");
    // A folder name with what a file address must escape.
    const QString src = root + QStringLiteral("/h 目录#1?%25/hostile.db");
    {
        MRecordBase maker(root + "/h/");
        ASSERT_EQ(maker.Open(src), 0);
        sqlite3 *raw = nullptr;
        ASSERT_EQ(sqlite3_open(src.toUtf8().constData(), &raw), SQLITE_OK);
        for (const QString &file : {QStringLiteral("../../x"), hostile, QStringLiteral("a\x01b"), QString(60, 'n')}) {
            sqlite3_stmt *st = nullptr;
            ASSERT_EQ(sqlite3_prepare_v2(raw,
                                         "insert into case_data(name,sex,className,dateY,dateNum,dateStyle,addrInd,"
                                         "addrName,addrNum,remarkFile,tag1,tag2,housePanel,jianShan,remarkText) "
                                         "values (?1,?1,?1,?1,?1,?1,?1,?1,?1,?2,?1,?1,?1,?1,?1)",
                                         -1, &st, nullptr),
                      SQLITE_OK);
            sqlite3_bind_text(st, 1, hostile.toUtf8().constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, file.toUtf8().constData(), -1, SQLITE_TRANSIENT);
            EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
            sqlite3_finalize(st);
        }
        sqlite3_close(raw);
    }
    const auto source = Snapshot(QFileInfo(src).absolutePath());
    MRecordBase b(app);
    ASSERT_TRUE(Open(b));
    ASSERT_EQ(b.ImportDb(src), 4) << b.Message().toStdString();
    EXPECT_EQ(Cases(db), "1:甲 4:乙 9:己 10:x);droptab 11:x);droptab 12:x);droptab 13:x);droptab");
    QSet<QString> names;
    for (int id = 10; id <= 13; ++id) {
        const TRecordData r = Load(app, db, id);
        EXPECT_EQ(r.remarkText, "x); drop table case_data; --");
        EXPECT_EQ(r.className, "x);droptab");
        EXPECT_TRUE(IsValidRemarkFile(r.remarkFile)) << r.remarkFile.toStdString();
        EXPECT_TRUE(QFile::exists(CaseFolder(app) + r.remarkFile + ".rtf"));
        names.insert(r.remarkFile);
    }
    EXPECT_EQ(names.size(), 4);
    EXPECT_FALSE(QFile::exists(root + "/x.rtf"));
    EXPECT_FALSE(QFile::exists(root + "/app/x.rtf"));
    EXPECT_EQ(Snapshot(QFileInfo(src).absolutePath()), source); // only read, never written
}

// Names and categories with control characters in an imported file (line breaks, ESC, C1 codes, a
// right-to-left override, zero-width and separator characters) arrive without them; the names the rule keeps
// arrive as they were.
TEST_F(WholeDb, ImportRemovesControlCharactersFromNamesAndCategories)
{
    const struct {
        const char *name, *category;
        const char *stored; // name|category
    } rows[] = {
        {"王五", "小区套房", "王五|小区套房"},
        {"Müller", "Ωmega", "Müller|Ωmega"},
        {"王\n五", "小区\r\n套房", "王五|小区套房"},
        {"\x1b[31m王五", "\u0085小区\u009b", "[31m王五|小区"},
        {"\u202e五王", "小区\u202d套房", "五王|小区套房"},
        {"王\u200b五\ufeff", "\u2028小区\u2029", "王五|小区"},
    };
    Make();
    const QString src = root + "/controls.db";
    {
        MRecordBase maker(root + "/c/");
        ASSERT_EQ(maker.Open(src), 0);
        for (const auto &row : rows) {
            TRecordData r = Case(QString::fromUtf8(row.name), QString::fromUtf8(row.category));
            ASSERT_GT(maker.InsertCase(r), 0);
        }
    }
    MRecordBase b(app);
    ASSERT_TRUE(Open(b));
    ASSERT_EQ(b.ImportDb(src), int(std::size(rows))) << b.Message().toStdString();
    for (size_t i = 0; i < std::size(rows); ++i) {
        const TRecordData r = Load(app, db, 10 + int(i));
        EXPECT_EQ(r.name + "|" + r.className, QString::fromUtf8(rows[i].stored)) << rows[i].name;
    }
}

// Every operation on a disk without links: each succeeds with the cases it should give, every case has its
// comment file, and nothing half-done is left behind.
TEST_F(WholeDb, EveryOperationWorksOnADiskWithoutLinks)
{
    for (const Operation &op : Operations()) {
        SCOPED_TRACE(op.name);
        const bool migration = std::string(op.name) == "migration";
        Make();
        NoLinkOps noLinks;
        {
            MRecordBase b(app);
            ASSERT_TRUE(Open(b, &noLinks));
            EXPECT_TRUE(op.run(b, root)) << b.Message().toStdString();
            if (std::string(op.name) == "import") {
                EXPECT_EQ(b.Message(), "");
            }
        }
        if (std::string(op.name) == "export") {
            EXPECT_EQ(Cases(root + "/Quorin_1.db"), "1:甲 2:乙 3:己");
        }
        MRecordBase next(app);
        next.SetRemarkCodec(TestCodec());
        next.SetFileOps(&noLinks);
        next.Open(db, migration);
        SweepAsAStartDoes();
        EXPECT_EQ(Cases(db), op.after);
        EXPECT_EQ(Cases(db, app), "") << "cases without their comment file";
        EXPECT_EQ(Leftovers(), std::vector<QString>());
    }
}

// Links put where temporaries are made, at the names earlier versions gave them (each file's name with ".part",
// the compaction's Quorin_back.db), pointing at a file outside: no operation writes through one, and no file an
// operation writes ends up a link.
TEST_F(WholeDb, NoOperationWritesThroughALinkAtATemporarysName)
{
    for (const Operation &op : Operations()) {
        SCOPED_TRACE(op.name);
        Make();
        std::vector<QString> written;
        {
            MRecordBase b(app);
            ASSERT_TRUE(Open(b));
            ASSERT_TRUE(op.run(b, root)) << b.Message().toStdString();
            for (const auto &[name, hash] : Snapshot(root))
                written.push_back(name);
        }
        Make();
        const QString victim = tmp.path() + "/victim.txt";
        WriteBytes(victim, "the user's file");
        MRecordBase b(app);
        ASSERT_TRUE(Open(b));
        for (const QString &n : written)
            QFile::link(victim, root + "/" + n + ".part"); // where the folder is there already
        QFile::link(victim, app + "dat/Quorin_back.db");
        EXPECT_TRUE(op.run(b, root)) << b.Message().toStdString();
        if (std::string(op.name) != "delete all") {
            EXPECT_EQ(Cases(db), op.after);
        }
        EXPECT_EQ(ReadBytes(victim), "the user's file");
        for (const QString &n : written)
            EXPECT_FALSE(QFileInfo(root + "/" + n).isSymLink()) << n.toStdString();
    }
}

// The case file and the case folder kept on another disk through links: dat/Quorin.db leads, by a relative link,
// to a file there, Quorin_f to a folder there. Restore, compaction and delete-all replace the data where the
// links lead, staged beside their targets (a rename never leaves its disk), and both links stay, also when the
// program is killed at any step (the next start finishes or undoes the swap there). The live cases are the
// operation's. A case folder link that leads to a folder holding the user's own files is refused, never emptied.
TEST_F(WholeDb, ALinkedCaseFileAndCaseFolderAreReplacedWhereTheLinksLead)
{
    const QStringList kept{"*"}; // the case folder's files stay as they were
    const struct {
        const char *what;
        std::function<bool(MRecordBase &)> run;
        std::string after;
        QStringList files; // in the case folder after it
    } rows[] = {
        {"restore", [&](MRecordBase &b) { return b.Restore(backupDir); }, "1:丙 2:丁",
         {"丁_198005060708.rtf", "丙_198005060708.rtf"}},
        {"compaction", [](MRecordBase &b) { return b.Compact() == 3; }, "1:甲 2:乙 3:己", kept},
        {"delete all", [](MRecordBase &b) { return b.DeleteAll(); }, "", {}},
        // A save that grows the file, stopped half-way, leaves its journal where the link leads: the next start
        // finds it there and does not take the short file for a damaged one.
        {"save", [](MRecordBase &b) {
             TRecordData r = Case(QStringLiteral("庚"));
             r.remarkText = QStringLiteral("评语").repeated(1500);
             return b.InsertCase(r) == 10;
         },
         "1:甲 4:乙 9:己 10:庚", kept},
    };
    std::unique_ptr<SmallDisk> disk;
    const auto linkElsewhere = [&] {
        Make();
        const QString there = root + "/elsewhere/";
        disk = std::make_unique<SmallDisk>(there, 4096); // another disk where one can be mounted, else a folder
        ASSERT_TRUE(QDir().mkpath(there + "cases/Quorin_f"));
        for (const QString &n : QDir(CaseFolder(app)).entryList(QDir::Files | QDir::Hidden))
            ASSERT_TRUE(QFile::rename(CaseFolder(app) + n, there + "cases/Quorin_f/" + n));
        ASSERT_TRUE(QDir().rmdir(CaseFolder(app)) && QFile::link(there + "cases/Quorin_f", CaseFolder(app).chopped(1)));
        ASSERT_TRUE(QFile::rename(db, there + "Quorin.db"));
        ASSERT_EQ(::symlink("../../elsewhere/Quorin.db", QFile::encodeName(db).constData()), 0);
    };
    const auto linksHold = [this](const std::string &now) {
        EXPECT_EQ(QFileInfo(db).symLinkTarget(), root + "/elsewhere/Quorin.db");
        EXPECT_EQ(QFileInfo(CaseFolder(app).chopped(1)).symLinkTarget(), root + "/elsewhere/cases/Quorin_f");
        EXPECT_EQ(Cases(root + "/elsewhere/Quorin.db"), now);
        EXPECT_EQ(Marked(root + "/elsewhere", {".new", ".old", ".swap", kTemporaryMark}), std::vector<QString>());
        EXPECT_EQ(Leftovers(), std::vector<QString>());
    };
    const auto startAgain = [this] {
        MRecordBase next(app);
        next.SetRemarkCodec(TestCodec());
        EXPECT_EQ(next.Open(db, false), 0) << next.Message().toStdString();
        SweepAsAStartDoes();
        RemoveStoppedWrites(root + "/elsewhere");
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        for (int at = 1;; ++at) {
            linkElsewhere();
            const QStringList files = QDir(CaseFolder(app)).entryList(QDir::Files, QDir::Name);
            const int status = RunKilledAt(at, row.run);
            SCOPED_TRACE(WIFSIGNALED(status) ? "killed at step " + std::to_string(at) : std::string("not killed"));
            startAgain();
            const std::string now = Cases(db);
            linksHold(now);
            if (WIFSIGNALED(status)) {
                EXPECT_TRUE(now == original || now == row.after) << now;
                EXPECT_EQ(Cases(db, app), "");
                continue;
            }
            EXPECT_EQ(status, 0) << "it failed";
            EXPECT_EQ(now, row.after);
            EXPECT_EQ(QDir(CaseFolder(app)).entryList(QDir::Files, QDir::Name), row.files == kept ? files : row.files);
            break;
        }
    }
    // A case folder link that leads to a folder of the user's own (other files, a subfolder): restore and
    // delete-all refuse, saying why, and change nothing.
    for (const char *own : {"notes.txt", "photos/"}) {
        SCOPED_TRACE(own);
        linkElsewhere();
        const QString target = root + "/elsewhere/cases/Quorin_f/" + own;
        if (target.endsWith('/'))
            ASSERT_TRUE(QDir().mkpath(target));
        else
            WriteBytes(target, "mine");
        const auto before = Snapshot(root + "/elsewhere");
        MRecordBase b(app);
        ASSERT_TRUE(Open(b));
        const std::function<bool()> runs[] = {[&] { return b.Restore(backupDir); }, [&] { return b.DeleteAll(); }};
        for (const auto &run : runs) {
            EXPECT_FALSE(run());
            EXPECT_TRUE(b.Message().startsWith("案例文件夹“" + CaseFolder(app).chopped(1) + "”是一个链接"))
                << b.Message().toStdString();
        }
        EXPECT_EQ(Snapshot(root + "/elsewhere"), before);
        EXPECT_TRUE(QFileInfo(target).exists());
        linksHold(original);
    }
}

// An import whose comment files cannot all be written (here: refused one by one) still has its cases, says how
// many comment files are missing, and keeps its marker, so that the next start writes them from the rows.
TEST_F(WholeDb, ImportSaysWhichCommentFilesItCouldNotWrite)
{
    struct RefuseCreates : CaseFileOps {
        int refuse = 0;
        bool step(const char *what) override { return std::string(what) != "create" || refuse-- <= 0; }
    };
    const struct {
        int refused;
        const char *message;
    } rows[] = {
        {0, ""},
        {1, "有 1 个案例的评语文件没有写入"},
        {2, "有 2 个案例的评语文件没有写入"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.refused);
        Make();
        RefuseCreates ops;
        ops.refuse = row.refused;
        MRecordBase b(app);
        ASSERT_TRUE(Open(b, &ops));
        EXPECT_EQ(b.ImportDb(importPath), 2);
        const QString expected = QString::fromUtf8(row.message);
        EXPECT_EQ(b.Message().left(expected.size()), expected);
        EXPECT_EQ(Cases(db), "1:甲 4:乙 9:己 10:甲 11:戊");
        EXPECT_EQ(Cases(db, app) != "", row.refused > 0);
        EXPECT_EQ(QFile::exists(db + ".remarks"), row.refused > 0);
        MRecordBase next(app);
        next.SetRemarkCodec(TestCodec());
        ASSERT_EQ(next.Open(db, false), 0);
        EXPECT_EQ(Cases(db, app), "");
        EXPECT_FALSE(QFile::exists(db + ".remarks"));
    }
}

// A named pipe under the name of a case file, a backup's case file or a file to import is never opened to be
// waited on: backup and restore leave it out, and as the case file of a backup or import it is refused. The
// alarm ends the test program should anything wait after all.
TEST_F(WholeDb, NamedPipesAreLeftOutOrRefusedWithoutWaiting)
{
    const auto pipe = [](const QString &path) {
        QFile::remove(path);
        return mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    };
    alarm(60);
    Make();
    MRecordBase b(app);
    ASSERT_TRUE(Open(b));
    ASSERT_TRUE(pipe(CaseFolder(app) + "乙_198005060708.rtf"));
    ASSERT_TRUE(pipe(backupDir + "Quorin_f/丙_198005060708.rtf"));
    ASSERT_TRUE(b.Backup(root + "/bk/")) << b.Message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(root + "/bk/Quorin_f/乙_198005060708.rtf"));
    EXPECT_TRUE(QFile::exists(root + "/bk/Quorin_f/甲_198005060708.rtf"));
    ASSERT_TRUE(pipe(root + "/other.db"));
    EXPECT_EQ(b.ImportDb(root + "/other.db"), 0);
    EXPECT_EQ(b.Message(), "无法打开导入的数据库文件！");
    ASSERT_TRUE(b.Restore(backupDir)) << b.Message().toStdString();
    EXPECT_TRUE(QFileInfo(CaseFolder(app) + "丙_198005060708.rtf").isFile()); // written again from its row
    EXPECT_EQ(Cases(db, app), "");
    ASSERT_TRUE(pipe(backupDir + "Quorin.db"));
    EXPECT_FALSE(b.Restore(backupDir));
    EXPECT_EQ(b.Message(), "没有源db文件！");
    alarm(0);
}

// The refusals and the results the main window shows, one row each.
TEST_F(WholeDb, RefusalsAndResults)
{
    struct Row {
        const char *what;
        std::function<std::string(WholeDb &, MRecordBase &)> run;
        std::string expected;
        bool unchanged; // the program folder is exactly as before
    };
    // The result and then the message: the two are read in that order.
    auto said = [](auto result, const MRecordBase &b) {
        return std::to_string(result) + " " + b.Message().toStdString();
    };
    const Row rows[] = {
        {"import of the live file itself",
         [&](WholeDb &t, MRecordBase &b) { return said(b.ImportDb(t.db), b); },
         "0 不能导入正在使用的案例数据库！", true},
        {"import of a file of another kind",
         [&](WholeDb &t, MRecordBase &b) {
             sqlite3 *raw = nullptr;
             sqlite3_open((t.root + "/alien.db").toUtf8().constData(), &raw);
             sqlite3_exec(raw, "create table t(x);", nullptr, nullptr, nullptr);
             sqlite3_close(raw);
             const QByteArray before = ReadBytes(t.root + "/alien.db");
             const std::string r = said(b.ImportDb(t.root + "/alien.db"), b);
             return r + (ReadBytes(t.root + "/alien.db") == before ? "" : " (source changed)");
         },
         "0 不是相同的数据库类型，无法导入！", true},
        {"restore from a folder without a case file",
         [&](WholeDb &t, MRecordBase &b) { return said(b.Restore(t.root + "/nowhere"), b); },
         "0 没有源db文件！", true},
        {"restore of a damaged backup",
         [&](WholeDb &t, MRecordBase &b) {
             QByteArray bytes = ReadBytes(t.backupDir + "Quorin.db");
             bytes.replace(100, 4000, QByteArray(4000, 'z'));
             WriteBytes(t.backupDir + "Quorin.db", bytes);
             return said(b.Restore(t.backupDir), b);
         },
         "0 备份的db文件已损坏或者不是案例数据库，无法还原！", true},
        {"restore of a finished backup whose mark came in capitals from a disk that ignores case",
         [&](WholeDb &t, MRecordBase &b) {
             QFile::rename(t.backupDir + "Quorin_f/save.txt", t.backupDir + "Quorin_f/SAVE.TXT");
             const std::string r = said(b.Restore(t.backupDir), b);
             return r + Cases(t.db);
         },
         "1 1:丙 2:丁", false},
        {"compaction: ids 1, 4, 9 become 1, 2, 3; the category list is kept",
         [&](WholeDb &t, MRecordBase &b) {
             QStringList seen;
             const int n = b.Compact([&](const QString &s) { seen << s; });
             return std::to_string(n) + " " + Cases(t.db) + " " + seen.join(',').toStdString() + " " +
                    Classes(t.db) + " " + std::to_string(b.GetPrimaryId());
         },
         "3 1:甲 2:乙 3:己 整理进度：100％ 小区套房|空类别|私人别墅 3", false},
        {"export of one category: its cases, and only its category",
         [&](WholeDb &t, MRecordBase &b) {
             const int n = b.ExportDb(t.root + "/e.db", {QStringLiteral("小区套房")}, false);
             return std::to_string(n) + " " + Cases(t.root + "/e.db") + " " + Classes(t.root + "/e.db");
         },
         "3 1:甲 2:乙 3:己 小区套房", true},
        {"export of a category without cases writes no file",
         [&](WholeDb &t, MRecordBase &b) {
             const int n = b.ExportDb(t.root + "/e.db", {QStringLiteral("空类别")}, false);
             return std::to_string(n) + " " + std::to_string(QFile::exists(t.root + "/e.db"));
         },
         "0 0", true},
        {"import: a comment-file name in use here gets the next free one",
         [&](WholeDb &t, MRecordBase &b) {
             const int n = b.ImportDb(t.importPath);
             return std::to_string(n) + " " + Load(t.app, t.db, 10).remarkFile.toStdString() + " " + Classes(t.db);
         },
         "2 甲_198005060708_0 小区套房|空类别|私人别墅|新类别", false},
        {"import cleans control characters out of names, categories and addresses, as typing allows none",
         [&](WholeDb &t, MRecordBase &b) {
             MRecordBase src(t.root + "/ctlapp/");
             TRecordData r = Case(QStringLiteral("张\x01三"), QStringLiteral("c\x02" "d"));
             r.address = QStringLiteral("杭\x7f州\u0085");
             if (src.Open(t.root + "/ctl.db") != 0 || src.InsertCase(r) != 1)
                 return std::string("no source");
             const int n = b.ImportDb(t.root + "/ctl.db");
             const TRecordData in = Load(t.app, t.db, 10);
             return std::to_string(n) + " " + (in.name + " " + in.className + " " + in.address + " " +
                                               in.remarkFile).toStdString() + " " + Classes(t.db);
         },
         "1 张三 cd 杭州 张三_198005060708 小区套房|空类别|私人别墅|cd", false},
        {"import after the newest case was deleted: its id is not given again",
         [&](WholeDb &t, MRecordBase &b) {
             b.DeleteCase(9);
             const int n = b.ImportDb(t.importPath);
             return std::to_string(n) + " " + Cases(t.db) + " " + std::to_string(b.GetPrimaryId());
         },
         "2 1:甲 4:乙 10:甲 11:戊 11", false},
        {"backing up twice into one folder overwrites the first copy",
         [&](WholeDb &t, MRecordBase &b) {
             WriteBytes(t.root + "/bk/Quorin.db", "old");
             const bool ok = b.Backup(t.root + "/bk") && b.Backup(t.root + "/bk");
             return std::to_string(ok) + " " + Cases(t.root + "/bk/Quorin.db") + " " +
                    ReadBytes(t.root + "/bk/Quorin_f/save.txt").trimmed().toStdString() + " " +
                    std::to_string(Snapshot(t.root + "/bk/Quorin_f").size());
         },
         "1 1:甲 4:乙 9:己 save 9", true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        Make();
        const auto before = Snapshot(app);
        MRecordBase b(app);
        ASSERT_TRUE(Open(b));
        EXPECT_EQ(row.run(*this, b), row.expected);
        if (row.unchanged) {
            EXPECT_EQ(Snapshot(app), before);
        }
    }
}

} // namespace

// The cleaner of imported and migrated names: the characters that cannot stand in a file name or a category
// list go, the text is cut at whole characters, and a text left empty reads as 甲 like an empty one.
TEST(SanitizeText, RemovesCutsAndNeverLeavesAnEmptyName)
{
    struct Row {
        const char *in;
        int max;
        const char *out;
        bool changed;
    } const rows[] = {
        {"张三", 10, "张三", false},
        {"张 '三'", 10, "张三", true},
        {"", 10, "甲", true},
        {"*?<>", 10, "甲", true},
        {"一二三四五六七八九十百", 10, "一二三四五六七八九十", true},
        {"𠀀𠀀𠀀", 2, "𠀀𠀀", true},
        {"c\x02" "d\t", 10, "cd", true},
        {"\x01\x7f\u0085", 10, "甲", true},
        {"王\u202e五\u2028\ufeff", 10, "王五", true},
    };
    for (const Row &r : rows) {
        QString t = QString::fromUtf8(r.in);
        EXPECT_EQ(MRecordBase::SanitizeText(t, r.max), r.changed) << r.in;
        EXPECT_EQ(t, QString::fromUtf8(r.out)) << r.in;
    }
}
