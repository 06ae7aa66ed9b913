// The case database on real files in a temporary program folder.
#include "MRecordBase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <thread>

// Readable failure messages for texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// A second, independent look into the file, as another program would have it.
class RawDb {
public:
    explicit RawDb(const QString &path) { sqlite3_open(path.toUtf8().constData(), &db_); }
    ~RawDb() { sqlite3_close(db_); }
    bool exec(const QString &sql)
    {
        char *err = nullptr;
        const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
        if (err) {
            lastError_ = QString::fromUtf8(err);
            sqlite3_free(err);
        }
        return rc == SQLITE_OK;
    }
    // Every value of the first column, as text; NULL reads as "<null>".
    QStringList column(const QString &sql)
    {
        QStringList out;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return {"<error>"};
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
            out << (t ? QString::fromUtf8(t) : QStringLiteral("<null>"));
        }
        sqlite3_finalize(st);
        return out;
    }
    QString one(const QString &sql)
    {
        const QStringList l = column(sql);
        return l.isEmpty() ? QStringLiteral("<none>") : l.first();
    }
    const QString &lastError() const { return lastError_; }

private:
    sqlite3 *db_ = nullptr;
    QString lastError_;
};

TRecordData Case(const QString &name)
{
    TRecordData r;
    r.name = name;
    r.className = QStringLiteral("私人别墅");
    r.date = {1975, 3, 4, 10, 20};
    r.buildYear = 1999;
    r.mountain = 40;
    r.door = 5;
    r.degree = 181.25f;
    r.remarkFile = name + QStringLiteral("_197503041020");
    r.remarkText = QStringLiteral("输入自己的评语：");
    return r;
}

// The statements of files written by the Windows program, as it ran them.
const char *const kOriginalStatements[] = {
    "create table case_data(id integer primary key,name char(20),sex integer,className char(20),dateY integer,"
    "dateNum char(30),dateStyle char(5),addrInd char(30),addrName varchar(150),addrNum char(40),"
    "remarkFile char(50),tag1 varchar(100),tag2 varchar(100),housePanel varchar(6),jianShan varchar(30),"
    "remarkText text);",
    "create table case_extra(PlatformId,verCode,primaryId,className,baseType);",
    "insert into case_extra(PlatformId,verCode,primaryId,className,baseType) values (0, 1000, 0, "
    "'私人别墅 小区套房 自建民居 公司大夏 古代老宅 标志建筑 其他建筑 临时保存', 'QuorinData');",
    "insert into case_data values (7, '张三', 1, '临时保存', 1980, '5 6 7 8', '0 0', '0 0', '', "
    "'120.000000 30.000000 8', '张三_198005060708', ' ', ' ', '0 1', '2004 12 3 15.50000', '输入自己的评语：');",
    "update case_extra set primaryId=7;",
    "insert into case_data values (9, '李四', 0, '小区套房', 1966, '11 2 23 5', '1 1', '3 4 8', '杭州西湖', "
    "'120.125000 30.250000 8', '李四_196611022305', ' ', ' ', '2 0', '1990 47 6 172.12500', '旺山旺向');",
    "update case_extra set primaryId=9;",
};

class RecordBaseTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/"; }
    QString dbPath() const { return MRecordBase::DefaultPath(folder()); }

    void BuildOriginalFile(int upTo = std::size(kOriginalStatements))
    {
        QDir().mkpath(folder() + "dat");
        RawDb raw(dbPath());
        for (int i = 0; i < upTo; ++i)
            ASSERT_TRUE(raw.exec(QString::fromUtf8(kOriginalStatements[i]))) << raw.lastError().toStdString();
    }
};

} // namespace

TEST_F(RecordBaseTest, NewFileGetsBothTablesAndTheMarkerRow)
{
    MRecordBase db(folder());
    ASSERT_FALSE(QFile::exists(dbPath()));
    ASSERT_EQ(db.Open(dbPath()), 0) << db.Message().toStdString();
    EXPECT_EQ(db.GetPrimaryId(), 0);
    EXPECT_EQ(db.AppFolder(), folder());

    RawDb raw(dbPath());
    EXPECT_EQ(raw.one("select 'create table' || substr(sql, 13) || ';' from sqlite_master where name='case_data'"), CreateDataTableSql());
    EXPECT_EQ(raw.one("select 'create table' || substr(sql, 13) || ';' from sqlite_master where name='case_extra'"), CreateExtraTableSql());
    EXPECT_EQ(raw.column("select typeof(PlatformId) || ' ' || PlatformId || '|' || typeof(verCode) || ' ' || verCode"
                         " || '|' || typeof(primaryId) || ' ' || primaryId || '|' || typeof(className) || '|' ||"
                         " typeof(baseType) || ' ' || baseType from case_extra"),
              QStringList{"integer 0|integer 1000|integer 0|text|text QuorinData"});
    EXPECT_EQ(raw.one("select className from case_extra"),
              "私人别墅 小区套房 自建民居 公司大夏 古代老宅 标志建筑 其他建筑 临时保存");

    // Opening again changes nothing.
    MRecordBase again(folder());
    ASSERT_EQ(again.Open(dbPath()), 0);
    EXPECT_EQ(raw.one("select count(*) from case_extra"), "1");
}

TEST_F(RecordBaseTest, IdsRunOnAndAreNeverReused)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    TRecordData a = Case("甲"), b = Case("乙"), c = Case("丙");
    EXPECT_EQ(db.InsertCase(a), 1);
    EXPECT_EQ(a.id, 1);
    EXPECT_EQ(db.InsertCase(b), 2);
    RawDb raw(dbPath());
    EXPECT_EQ(raw.one("select primaryId from case_extra"), "2");
    EXPECT_TRUE(db.DeleteCase(2));
    EXPECT_TRUE(db.DeleteCase(2)); // deleting what is gone succeeds
    EXPECT_EQ(db.InsertCase(c), 3);
    EXPECT_EQ(db.GetPrimaryId(), 3);
    EXPECT_EQ(raw.column("select id from case_data order by id"), (QStringList{"1", "3"}));

    // A reopened file continues from its counter, not from its highest row.
    EXPECT_TRUE(db.DeleteCase(3));
    MRecordBase reopened(folder());
    ASSERT_EQ(reopened.Open(dbPath()), 0);
    EXPECT_EQ(reopened.GetPrimaryId(), 3);
    EXPECT_EQ(reopened.InsertCase(c), 4);
}

TEST_F(RecordBaseTest, RowsKeepTheColumnTypesOfTheOriginal)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    TRecordData r = Case("王五");
    ASSERT_EQ(db.InsertCase(r), 1);

    RawDb raw(dbPath());
    QStringList types;
    for (const char *col : kCaseColumns)
        types << raw.one(QStringLiteral("select typeof(%1) from case_data").arg(QLatin1String(col)));
    EXPECT_EQ(types, (QStringList{"integer", "text", "integer", "text", "integer", "text", "text", "text", "text",
                                  "text", "text", "text", "text", "text", "text", "text"}));
    EXPECT_EQ(raw.one("select jianShan from case_data"), "1999 40 5 181.25000");
}

TEST_F(RecordBaseTest, SavedCaseLoadsBackAndMissingCasesLeaveTheRecordAlone)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    TRecordData saved = Case("赵六");
    saved.lunar = 1;
    saved.leap = 1;
    saved.place = {3, 4, -1, -1, -1};
    ASSERT_EQ(db.InsertCase(saved), 1);

    TRecordData loaded;
    loaded.hasPlan = 1;
    loaded.colour = 3;
    ASSERT_TRUE(db.LoadCase(1, loaded));
    TRecordData expected = saved;
    expected.hasPlan = 1;
    expected.colour = 3;
    EXPECT_EQ(loaded, expected);

    const TRecordData before = loaded;
    EXPECT_FALSE(db.LoadCase(0, loaded));
    EXPECT_FALSE(db.LoadCase(2, loaded));
    EXPECT_FALSE(db.LoadCase(-5, loaded));
    EXPECT_EQ(db.LoadCaseEx(2, loaded), MRecordBase::TLoadResult::NoSuchCase);
    EXPECT_EQ(loaded, before);

    // A failing query is told apart from a missing case, and its text kept.
    RawDb(dbPath()).exec("drop table case_data");
    EXPECT_EQ(db.LoadCaseEx(1, loaded), MRecordBase::TLoadResult::Failed);
    EXPECT_EQ(db.Message(), "no such table: case_data");
    EXPECT_EQ(loaded, before);
}

TEST_F(RecordBaseTest, UpdateRewritesExactlyOneCase)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    TRecordData a = Case("甲"), b = Case("乙");
    db.InsertCase(a);
    db.InsertCase(b);

    TRecordData changed = Case("甲改");
    changed.id = 2; // the record's own id is not used: the id argument names the row
    changed.degree = 7.5f;
    ASSERT_TRUE(db.UpdateCase(1, changed));
    TRecordData r;
    ASSERT_TRUE(db.LoadCase(1, r));
    EXPECT_EQ(r.name, "甲改");
    EXPECT_EQ(r.id, 1);
    EXPECT_FLOAT_EQ(r.degree, 7.5f);
    ASSERT_TRUE(db.LoadCase(2, r));
    EXPECT_EQ(r.name, "乙");

    EXPECT_FALSE(db.UpdateCase(5, changed));
    EXPECT_EQ(db.Message(), "无法修改案例！\n案例文件里已经没有这个案例了。");
    EXPECT_EQ(RawDb(dbPath()).one("select count(*) from case_data"), "2");
}

TEST_F(RecordBaseTest, AwkwardTextsRoundTripOrAreCleanedByTheFormatRules)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    TRecordData r = Case(QStringLiteral("O'N\"%s😀"));
    r.className = QStringLiteral("私'人 %s😀");
    r.remarkText = QStringLiteral("it's \"%s\"; drop table case_data; -- 😀\n下一行");
    r.address = QStringLiteral("'); delete from case_data; --");
    ASSERT_EQ(db.InsertCase(r), 1) << db.Message().toStdString();

    TRecordData back;
    ASSERT_TRUE(db.LoadCase(1, back));
    EXPECT_EQ(back.name, QStringLiteral("ON\"%s😀"));
    EXPECT_EQ(back.className, QStringLiteral("私人%s😀"));
    EXPECT_EQ(back.remarkText, QStringLiteral("its \"%s\"; drop table case_data; -- 😀\n下一行"));
    EXPECT_EQ(back.address, QStringLiteral("); delete from case_data; --"));

    r.name = QStringLiteral("a'b'c");
    ASSERT_TRUE(db.UpdateCase(1, r));
    ASSERT_TRUE(db.LoadCase(1, back));
    EXPECT_EQ(back.name, "abc");
    EXPECT_EQ(RawDb(dbPath()).one("select count(*) from case_data"), "1");
}

TEST_F(RecordBaseTest, CategoryListRoundTrips)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    QStringList list;
    ASSERT_TRUE(db.ReadClasses(list));
    EXPECT_EQ(list, DefaultClasses());

    ASSERT_TRUE(db.WriteClasses({"私人别墅", "小区套房"}));
    RawDb raw(dbPath());
    EXPECT_EQ(raw.one("select className from case_extra"), "私人别墅 小区套房");
    ASSERT_TRUE(db.ReadClasses(list));
    EXPECT_EQ(list, (QStringList{"私人别墅", "小区套房"}));

    // Names are cleaned by the format rules; a name that cleans to nothing is dropped, not stored as a gap.
    ASSERT_TRUE(db.WriteClasses({"新 类'别", "'", "😀%s\""}));
    ASSERT_TRUE(db.ReadClasses(list));
    EXPECT_EQ(list, (QStringList{"新类别", "😀%s\""}));

    ASSERT_TRUE(db.WriteClasses({}));
    EXPECT_EQ(raw.one("select className from case_extra"), "");
    list = QStringList{"kept"};
    ASSERT_TRUE(db.ReadClasses(list));
    EXPECT_TRUE(list.isEmpty());

    // A list that cannot be read leaves the caller's list as it was.
    raw.exec("drop table case_extra");
    list = QStringList{"kept"};
    EXPECT_FALSE(db.ReadClasses(list));
    EXPECT_EQ(list, QStringList{"kept"});
    EXPECT_EQ(db.Message(), "no such table: case_extra");
    EXPECT_FALSE(db.WriteClasses({"a"}));
    EXPECT_EQ(db.Message(), "无法更新案例类别！\nno such table: case_extra");
}

TEST_F(RecordBaseTest, FileWrittenByTheOriginalProgramReadsAndContinues)
{
    BuildOriginalFile();
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0) << db.Message().toStdString();
    EXPECT_EQ(db.GetPrimaryId(), 9);

    TRecordData r;
    ASSERT_TRUE(db.LoadCase(7, r));
    EXPECT_EQ(r.name, "张三");
    EXPECT_EQ(r.sex, 1);
    EXPECT_EQ(r.date, (TDateRec{1980, 5, 6, 7, 8}));
    EXPECT_EQ(r.buildYear, 2004);
    EXPECT_EQ(r.mountain, 12);
    EXPECT_EQ(r.door, 3);
    EXPECT_FLOAT_EQ(r.degree, 15.5f);
    EXPECT_EQ(r.xiaGua, 1);
    EXPECT_EQ(r.remarkFile, "张三_198005060708");

    ASSERT_TRUE(db.LoadCase(9, r));
    EXPECT_EQ(r.name, "李四");
    EXPECT_EQ(r.sex, 0);
    EXPECT_EQ(r.className, "小区套房");
    EXPECT_EQ(r.date, (TDateRec{1966, 11, 2, 23, 5}));
    EXPECT_EQ(r.lunar, 1);
    EXPECT_EQ(r.leap, 1);
    EXPECT_EQ(r.place1, 3);
    EXPECT_EQ(r.place2, 4);
    EXPECT_EQ(r.place, (std::array<int32_t, 5>{8, -1, -1, -1, -1}));
    EXPECT_EQ(r.address, "杭州西湖");
    EXPECT_FLOAT_EQ(r.longitude, 120.125f);
    EXPECT_FLOAT_EQ(r.latitude, 30.25f);
    EXPECT_EQ(r.chartPanel, 2);
    EXPECT_EQ(r.xiaGua, 0);
    EXPECT_EQ(r.mountain, 47);
    EXPECT_FLOAT_EQ(r.degree, 172.125f);
    EXPECT_EQ(r.remarkText, "旺山旺向");

    QStringList classes;
    ASSERT_TRUE(db.ReadClasses(classes));
    EXPECT_EQ(classes.size(), 8);

    // What we write of the same case is what the original wrote, value for value and type for type.
    TRecordData copy;
    ASSERT_TRUE(db.LoadCase(9, copy));
    ASSERT_EQ(db.InsertCase(copy), 10);
    RawDb raw(dbPath());
    for (const char *col : kCaseColumns) {
        if (QLatin1String(col) == QLatin1String("id"))
            continue;
        const QString q = QStringLiteral("select typeof(%1) || ':' || quote(%1) from case_data where id=%2")
                              .arg(QLatin1String(col));
        EXPECT_EQ(raw.one(q.arg(10)), raw.one(q.arg(9))) << col;
    }
}

TEST_F(RecordBaseTest, CounterBelowTheHighestIdIsHealedOnOpening)
{
    // A save of the original that crashed between its two statements leaves the row without the counter.
    BuildOriginalFile(std::size(kOriginalStatements) - 1);
    {
        RawDb raw(dbPath());
        ASSERT_EQ(raw.one("select primaryId from case_extra"), "7");
    }
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    EXPECT_EQ(db.GetPrimaryId(), 9);
    EXPECT_EQ(RawDb(dbPath()).one("select primaryId from case_extra"), "9");
    TRecordData r = Case("新");
    EXPECT_EQ(db.InsertCase(r), 10) << db.Message().toStdString();
}

TEST_F(RecordBaseTest, MissingExtraTableOrRowIsMadeAgain)
{
    BuildOriginalFile();
    RawDb raw(dbPath());
    ASSERT_TRUE(raw.exec("drop table case_extra"));
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    EXPECT_EQ(db.GetPrimaryId(), 9);
    EXPECT_EQ(raw.one("select baseType from case_extra"), "QuorinData");

    ASSERT_TRUE(raw.exec("delete from case_extra"));
    MRecordBase again(folder());
    ASSERT_EQ(again.Open(dbPath()), 0);
    EXPECT_EQ(again.GetPrimaryId(), 9);
    EXPECT_EQ(raw.one("select count(*) || ' ' || primaryId from case_extra"), "1 9");
    EXPECT_EQ(again.ReadPrimaryId(), 9);
}

TEST_F(RecordBaseTest, OpeningFailuresKeepTheirTexts)
{
    // A folder that cannot be made: a plain file stands where it should be.
    QFile blocker(folder() + "dat");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    MRecordBase db(folder());
    EXPECT_EQ(db.Open(dbPath()), -1);
    EXPECT_EQ(db.Message(), "无法创建或者打开数据库！");

    // A file that is not a database, and one whose case table is a view: damaged, never given an empty table.
    QFile junk(folder() + "junk.db");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    const QString viewData = folder() + "v1.db", viewExtra = folder() + "v2.db";
    RawDb(viewData).exec("create view case_data as select 1");
    for (const QString &damaged : {folder() + "junk.db", viewData}) {
        EXPECT_EQ(db.Open(damaged), -1);
        EXPECT_TRUE(db.Message().startsWith("案例数据库文件已经损坏：\n" + damaged + "\n")) << db.Message().toStdString();
    }

    // A name taken by a view: the table cannot be made.
    {
        RawDb raw(viewExtra);
        raw.exec(QString::fromUtf8(kOriginalStatements[0]));
        raw.exec("create view case_extra as select 1");
    }
    MRecordBase fresh(folder());
    EXPECT_EQ(fresh.Open(viewExtra), -1);
    EXPECT_EQ(fresh.Message(), "无法创建额外表！");

    // A marker row that cannot be written.
    const QString noRow = folder() + "norow.db";
    {
        RawDb raw(noRow);
        raw.exec(QString::fromUtf8(kOriginalStatements[0]));
        raw.exec(QString::fromUtf8(kOriginalStatements[1]));
        raw.exec("create trigger t before insert on case_extra begin select raise(abort, 'no'); end;");
    }
    EXPECT_EQ(fresh.Open(noRow), -1);
    EXPECT_EQ(fresh.Message(), "无法往额外表写入数据！");
    // Nothing of the failed opening stays behind.
    EXPECT_EQ(RawDb(noRow).one("select count(*) from case_extra"), "0");

    // A counter that is not a number.
    const QString badCounter = folder() + "bad.db";
    {
        RawDb raw(badCounter);
        raw.exec(QString::fromUtf8(kOriginalStatements[0]));
        raw.exec(QString::fromUtf8(kOriginalStatements[1]));
        raw.exec("insert into case_extra values (0, 1000, 'abc', '', 'QuorinData')");
    }
    EXPECT_EQ(fresh.Open(badCounter), -1);
    EXPECT_EQ(fresh.Message(), "无法读取额外表的主键id！");
}

TEST_F(RecordBaseTest, FailedSavesLeaveNothingHalfDone)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    TRecordData first = Case("一");
    ASSERT_EQ(db.InsertCase(first), 1);
    RawDb raw(dbPath());

    raw.exec("create trigger t1 before insert on case_data begin select raise(abort, 'no'); end;");
    TRecordData r = Case("二");
    EXPECT_EQ(db.InsertCase(r), -1);
    EXPECT_EQ(db.Message(), "无法保存案例！\nno"); // the failure's own reason on a second line
    EXPECT_EQ(r.id, 2);
    EXPECT_EQ(db.GetPrimaryId(), 1);
    raw.exec("drop trigger t1");

    // The counter cannot be raised: the row goes too, and the id is not spent.
    raw.exec("create trigger t2 before update on case_extra begin select raise(abort, 'no'); end;");
    EXPECT_EQ(db.InsertCase(r), -1);
    EXPECT_EQ(db.Message(), "无法更新主键id！\nno");
    EXPECT_EQ(db.GetPrimaryId(), 1);
    EXPECT_EQ(raw.one("select count(*) from case_data"), "1");
    EXPECT_FALSE(db.WriteClasses({"x"}));
    EXPECT_EQ(db.Message(), "无法更新案例类别！\nno");
    raw.exec("drop trigger t2");
    EXPECT_EQ(db.InsertCase(r), 2);

    raw.exec("create trigger t3 before delete on case_data begin select raise(abort, 'no'); end;");
    EXPECT_FALSE(db.DeleteCase(1));
    EXPECT_EQ(db.Message(), "无法删除案例！\nno");
}

TEST_F(RecordBaseTest, BatchRunsInOneTransaction)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    RawDb raw(dbPath());
    {
        MRecordBase::Batch batch(db);
        ASSERT_TRUE(batch.ok());
        EXPECT_TRUE(db.InBatch());
        for (int i = 1; i <= 3; ++i) {
            TRecordData r = Case(QString::number(i));
            EXPECT_EQ(db.InsertCaseBatch(r), i);
        }
        EXPECT_TRUE(db.DeleteCaseBatch(2));
        TRecordData r;
        EXPECT_TRUE(db.LoadCaseBatch(3, r));
        EXPECT_EQ(r.name, "3");
        EXPECT_FALSE(db.LoadCaseBatch(2, r));
        r.name = "三";
        EXPECT_TRUE(db.UpdateCaseBatch(3, r));
        EXPECT_FALSE(db.UpdateCaseBatch(2, r));
        // Until the batch ends, nobody else sees any of it.
        EXPECT_EQ(raw.one("select count(*) from case_data"), "0");
        EXPECT_EQ(db.OpenDb(), SQLITE_MISUSE);
        EXPECT_TRUE(batch.commit());
    }
    EXPECT_FALSE(db.InBatch());
    EXPECT_EQ(raw.column("select id || name from case_data order by id"), (QStringList{"11", "3三"}));
    EXPECT_EQ(raw.one("select primaryId from case_extra"), "3");

    // Without OpenDb the batch operations fail rather than touch anything.
    TRecordData r = Case("x");
    EXPECT_EQ(db.InsertCaseBatch(r), -1);
    EXPECT_EQ(db.Message(), "无法保存案例！");
    EXPECT_EQ(db.LoadCaseBatchEx(1, r), MRecordBase::TLoadResult::Failed);
    EXPECT_EQ(db.GetPrimaryId(), 3);
}

TEST_F(RecordBaseTest, FileStaysWhereItWasOpenedWhenTheWorkingFolderChanges)
{
    const QString saved = QDir::currentPath();
    QTemporaryDir elsewhere;
    QDir::setCurrent(dir.path());
    MRecordBase db;
    const int rc = db.Open("dat/Quorin.db");
    QDir::setCurrent(elsewhere.path());
    TRecordData r = Case("甲");
    const int id = db.InsertCase(r);
    QDir::setCurrent(saved);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(RawDb(dbPath()).one("select name from case_data"), "甲");
    EXPECT_FALSE(QFile::exists(elsewhere.path() + "/dat/Quorin.db"));
}

TEST_F(RecordBaseTest, BatchLeftOpenIsCommittedWhenTheObjectGoes)
{
    {
        MRecordBase db(folder());
        ASSERT_EQ(db.Open(dbPath()), 0);
        ASSERT_EQ(db.OpenDb(), 0);
        TRecordData r = Case("甲");
        ASSERT_EQ(db.InsertCaseBatch(r), 1);
    }
    RawDb raw(dbPath());
    EXPECT_EQ(raw.one("select count(*) || ' ' || (select primaryId from case_extra) from case_data"), "1 1");
}

TEST_F(RecordBaseTest, SaveWaitsForAnotherProgramHoldingTheFile)
{
    MRecordBase db(folder());
    ASSERT_EQ(db.Open(dbPath()), 0);
    RawDb other(dbPath());
    ASSERT_TRUE(other.exec("begin immediate; insert into case_data(id, name) values (50, 'x');"));
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.exec("rollback");
    });
    TRecordData r = Case("甲");
    const int id = db.InsertCase(r);
    release.join();
    EXPECT_EQ(id, 1) << db.Message().toStdString();
}
