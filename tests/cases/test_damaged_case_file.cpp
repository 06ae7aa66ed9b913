// A case file that is not whole: a foreign -wal beside it, no case table, cut short, pages zeroed. Whatever
// touches it, it is named as damaged and stays byte for byte with what lies beside it; a sound file saves.
#include "MRecordBase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <map>

namespace {

constexpr int kCases = 2000;
// The case file and the files SQLite keeps beside it.
const char *const kBeside[] = {"", "-wal", "-journal"};

TRecordData Case(int i)
{
    TRecordData r;
    r.name = QStringLiteral("张三%1").arg(i);
    r.className = QStringLiteral("私人别墅");
    r.date = {1975, 3, 4, 10, 20};
    r.buildYear = 1999;
    r.remarkFile = r.name + QStringLiteral("_197503041020");
    r.remarkText = QStringLiteral("坐北朝南，门开东南，旺山旺向。").repeated(10);
    return r;
}

bool Sql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

class DamagedCaseFile : public ::testing::Test {
public:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/"; }
    QString dbPath() const { return MRecordBase::DefaultPath(folder()); }

    void SetUp() override
    {
        MRecordBase db(folder());
        ASSERT_EQ(db.Open(dbPath()), 0);
        MRecordBase::Batch batch(db);
        for (int i = 0; i < kCases; ++i) {
            TRecordData r = Case(i);
            ASSERT_GT(db.InsertCaseBatch(r), 0);
        }
        ASSERT_TRUE(batch.commit());
        QDir().mkpath(folder() + "Quorin_f");
    }

    // The -wal of another database, left uncheckpointed (its connection is still open when it is copied).
    void PutForeignWal()
    {
        const QString other = folder() + "other.db";
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(other + suffix);
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(other.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "pragma journal_mode=wal; pragma wal_autocheckpoint=0; create table notes(t text);"
                               "insert into notes values ('something else');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        ASSERT_TRUE(QFile::copy(other + "-wal", dbPath() + "-wal"));
        sqlite3_close(db);
    }

    void CutTo(qint64 size) { ASSERT_TRUE(QFile::resize(dbPath(), size)); }
    qint64 Size() const { return QFileInfo(dbPath()).size(); }

    void ZeroPages(qint64 fromPage, qint64 count)
    {
        QFile f(dbPath());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(fromPage * 4096));
        ASSERT_EQ(f.write(QByteArray(int(count * 4096), '\0')), count * 4096);
    }

    std::map<QString, QByteArray> Snapshot() const
    {
        std::map<QString, QByteArray> files;
        for (const char *suffix : kBeside)
            files[dbPath() + suffix] = Bytes(dbPath() + suffix);
        return files;
    }
};

// Every operation that could write refuses, naming the file; what it found is said once in the message.
std::string TryEveryWrite(MRecordBase &db, const QString &backup)
{
    std::string refused;
    auto note = [&](const char *what, bool failed) {
        if (!failed)
            refused += std::string(what) + " went ahead; ";
        else if (!db.Message().contains(QStringLiteral("案例数据库文件已经损坏")))
            refused += std::string(what) + " failed without naming the damage: " + db.Message().toStdString() + "; ";
    };
    TRecordData r = Case(9999);
    note("insert", db.InsertCase(r) < 0);
    note("update", !db.UpdateCase(1, r));
    note("delete", !db.DeleteCase(2));
    note("categories", !db.WriteClasses({QStringLiteral("新类别")}));
    {
        MRecordBase::Batch batch(db);
        note("batch insert", db.InsertCaseBatch(r) < 0);
    }
    note("compact", db.Compact() == 0);
    note("backup", !db.Backup(backup));
    note("remark files", !db.EnsureRemarkFiles());
    return refused;
}

TEST_F(DamagedCaseFile, IsNamedNeverWrittenAndLeftByteForByte)
{
    struct Row {
        const char *what;
        std::function<void(DamagedCaseFile &)> damage;
    };
    const Row rows[] = {
        {"a -wal of another database beside it", [](DamagedCaseFile &t) { t.PutForeignWal(); }},
        {"no case table", [](DamagedCaseFile &t) { ASSERT_TRUE(Sql(t.dbPath(), "drop table case_data;")); }},
        {"cut to half at a page boundary", [](DamagedCaseFile &t) { t.CutTo(t.Size() / 4096 / 2 * 4096); }},
        {"cut inside a page", [](DamagedCaseFile &t) { t.CutTo(t.Size() - 1000); }},
        {"a page of cases zeroed", [](DamagedCaseFile &t) { t.ZeroPages(t.Size() / 4096 / 2, 1); }},
        {"the first page zeroed", [](DamagedCaseFile &t) { t.ZeroPages(0, 1); }},
    };
    const QString pristine = folder() + "pristine.db";
    ASSERT_TRUE(QFile::copy(dbPath(), pristine));
    for (const Row &row : rows) {
        for (const bool checkAtOpen : {true, false}) {
            SCOPED_TRACE(std::string(row.what) + (checkAtOpen ? ", checked at opening" : ", checked before a write"));
            for (const char *suffix : kBeside)
                QFile::remove(dbPath() + suffix);
            ASSERT_TRUE(QFile::copy(pristine, dbPath()));
            row.damage(*this);
            const auto before = Snapshot();

            MRecordBase db(folder());
            db.SetQuickCheckAtOpen(checkAtOpen);
            db.Open(dbPath(), true);
            EXPECT_TRUE(!checkAtOpen || db.Damaged());
            EXPECT_EQ(TryEveryWrite(db, folder() + "backup/"), "");
            ASSERT_TRUE(db.Damaged());
            EXPECT_TRUE(db.DamageText().startsWith("案例数据库文件已经损坏：\n" + dbPath() + "\n")) << db.DamageText().toStdString();
            EXPECT_TRUE(db.DamageText().contains(QStringLiteral("从备份还原"))) << db.DamageText().toStdString();
            EXPECT_TRUE(Snapshot() == before) << "the case file or a file beside it changed";
            EXPECT_FALSE(QFileInfo::exists(folder() + "backup/Quorin.db"));
        }
    }
}

// The sound file and one whose counter a stopped save left behind its rows (opening must write to raise it):
// both open and save, checked at opening or before the first write.
TEST_F(DamagedCaseFile, ASoundFileOpensAndSavesWhicheverWayItIsChecked)
{
    for (const bool staleCounter : {false, true}) {
        for (const bool checkAtOpen : {true, false}) {
            SCOPED_TRACE(std::string(staleCounter ? "stale counter" : "sound") + (checkAtOpen ? ", at opening" : ""));
            ASSERT_TRUE(!staleCounter || Sql(dbPath(), "update case_extra set primaryId=5;"));
            MRecordBase db(folder());
            db.SetQuickCheckAtOpen(checkAtOpen);
            ASSERT_EQ(db.Open(dbPath(), true), 0) << db.Message().toStdString();
            db.StartQuickCheck();
            TRecordData r = Case(1);
            const int id = db.InsertCase(r);
            EXPECT_EQ(id, db.GetPrimaryId());
            EXPECT_GT(id, kCases) << db.Message().toStdString();
            EXPECT_FALSE(db.Damaged());
            EXPECT_FALSE(db.QuickCheckRunning());
        }
    }
}

// A file found damaged while a second connection reads it (the tree's loader) stops the first one's writes.
TEST_F(DamagedCaseFile, DamageFoundByAnotherConnectionStopsWrites)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    ZeroPages(Size() / 4096 / 2, 3);
    MRecordBase loader(folder());
    loader.SetQuickCheckAtOpen(false);
    ASSERT_EQ(loader.Open(dbPath()), 0);
    {
        MRecordBase::Batch batch(loader);
        TRecordData r;
        for (int id = 1; id <= kCases && !loader.Damaged(); ++id)
            loader.LoadCaseBatch(id, r);
    }
    ASSERT_TRUE(loader.Damaged());
    const QByteArray before = Bytes(dbPath());
    db.MarkDamaged(loader.DamageText());
    TRecordData r = Case(1);
    EXPECT_EQ(db.InsertCase(r), -1);
    EXPECT_TRUE(db.Message().startsWith(QStringLiteral("无法保存案例！\n案例数据库文件已经损坏"))) << db.Message().toStdString();
    EXPECT_EQ(Bytes(dbPath()), before);
}

} // namespace
