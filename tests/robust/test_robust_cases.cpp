// The case records and the case file fed hostile texts and hostile files: every read returns a result, the
// numbers of a record stay in their types or at their defaults, and nothing reads past a value.
#include "MRecordBase.h"
#include "RobustRandom.h"
#include "TRecordData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// A value of one column: a number text, a list of them joined by blanks, or garbage.
QString HostileValue(Hostile &h)
{
    switch (h.Int(0, 5)) {
    case 0:
        return QString();
    case 1:
        return h.Text(h.Chance(5) ? 3000 : 20);
    default: {
        QStringList parts;
        const int n = int(h.Int(0, 8));
        for (int i = 0; i < n; ++i)
            parts << h.NumberText();
        return parts.join(h.Chance(80) ? QStringLiteral(" ") : QStringLiteral("  "));
    }
    }
}

TEST(RobustCases, ValueTextsGiveRecordsInRange)
{
    Hostile h(1607);
    for (int i = 0; i < 3000; ++i) {
        QStringList values;
        const int n = h.Chance(20) ? int(h.Int(0, 20)) : kCaseColumnCount;
        for (int c = 0; c < n; ++c)
            values << HostileValue(h);
        TRecordData rec;
        rec.hasPlan = 7;
        rec.colour = 5;
        rec.starNames = 3;
        ValuesToRecord(values, rec);
        ASSERT_TRUE(rec.sex == 0 || rec.sex == 1) << i;
        ASSERT_TRUE(rec.lunar == 0 || rec.lunar == 1) << i;
        ASSERT_TRUE(rec.leap == 0 || rec.leap == 1) << i;
        ASSERT_TRUE(rec.xiaGua == 0 || rec.xiaGua == 1) << i;
        ASSERT_TRUE(std::isfinite(rec.degree)) << i;
        ASSERT_TRUE(std::isfinite(rec.longitude)) << i;
        ASSERT_TRUE(std::isfinite(rec.latitude)) << i;
        ASSERT_LE(rec.name.size(), 2 * kMaxNameChars) << i;
        ASSERT_LE(rec.address.size(), 2 * kMaxAddressChars) << i;
        ASSERT_FALSE(rec.className.isEmpty()) << i;
        // Fields the file does not hold keep what they held.
        ASSERT_EQ(rec.hasPlan, 7);
        ASSERT_EQ(rec.colour, 5);
        ASSERT_EQ(rec.starNames, 3);

        // What reads back writes out as 16 values and reads back the same.
        QStringList again;
        RecordToValues(rec, again);
        ASSERT_EQ(again.size(), kCaseColumnCount);
        TRecordData rec2 = rec;
        ValuesToRecord(again, rec2);
        EXPECT_EQ(rec2.buildYear, rec.buildYear) << i;
        EXPECT_EQ(rec2.mountain, rec.mountain) << i;
        EXPECT_EQ(rec2.door, rec.door) << i;
        EXPECT_EQ(rec2.date, rec.date) << i;

        QStringList split;
        SplitValue(values.value(int(h.Int(0, kCaseColumnCount))), split);
    }
}

// The case file written directly, as a damaged or foreign file would hold it.
class HostileFile {
public:
    explicit HostileFile(const QString &path)
    {
        if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            db = nullptr;
        }
    }
    ~HostileFile() { sqlite3_close(db); }
    bool ok() const { return db != nullptr; }
    bool Exec(const QString &sql) { return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK; }

    // One row of n columns with a random type in each; the first is an id (or NULL, or not an integer at all).
    bool InsertRow(Hostile &h, const char *table, int n)
    {
        QString sql = QStringLiteral("insert or replace into %1 values(").arg(QLatin1String(table));
        for (int i = 0; i < n; ++i)
            sql += i == 0 ? QStringLiteral("?") : QStringLiteral(",?");
        sql += QLatin1Char(')');
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return false;
        for (int i = 1; i <= n; ++i) {
            switch (h.Int(0, 6)) {
            case 0:
                sqlite3_bind_null(st, i);
                break;
            case 1:
                sqlite3_bind_int64(st, i, h.Edge<int64_t>(-100, 100));
                break;
            case 2:
                sqlite3_bind_double(st, i, h.AnyDouble());
                break;
            case 3: {
                const std::string bytes = h.Bytes(h.Chance(3) ? 200000 : 40);
                sqlite3_bind_blob(st, i, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            case 4: {
                // Text that is not UTF-8 at all, handed to SQLite as if it were.
                const std::string bytes = h.Bytes(40);
                sqlite3_bind_text(st, i, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = (h.Chance(50) ? HostileValue(h) : h.NumberText()).toUtf8();
                sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3 *db = nullptr;
};

// Reads every way the program reads a case file; none may crash, whatever it returns.
void ReadEverything(MRecordBase &base, Hostile &h)
{
    TRecordData rec;
    QStringList classes{QStringLiteral("kept")};
    if (!base.ReadClasses(classes)) {
        EXPECT_EQ(classes, QStringList{QStringLiteral("kept")});
    }
    base.ReadPrimaryId();
    const int ids[] = {0, 1, 2, 3, -1, INT_MIN, INT_MAX, int(h.Int(-5, 60))};
    for (int id : ids) {
        const auto result = base.LoadCaseEx(id, rec);
        if (result == MRecordBase::TLoadResult::Loaded) {
            EXPECT_TRUE(rec.sex == 0 || rec.sex == 1);
        }
    }
    {
        MRecordBase::Batch batch(base);
        if (batch.ok())
            for (int id : ids)
                base.LoadCaseBatch(id, rec);
    }
    // Updates and deletions of ids that may not exist, or exist with damaged rows, return a result.
    for (int id : ids) {
        if (h.Chance(50))
            base.UpdateCase(id, rec);
        else
            base.DeleteCase(id);
    }
    // A case written into a damaged file either lands and reads back, or is refused with a message.
    TRecordData fresh;
    fresh.name = QStringLiteral("李四");
    const int id = base.InsertCase(fresh);
    if (id > 0) {
        TRecordData back;
        EXPECT_TRUE(base.LoadCase(id, back)) << base.Message().toStdString();
        EXPECT_EQ(back.name, fresh.name);
    } else {
        EXPECT_FALSE(base.Message().isEmpty());
    }
}

TEST(RobustCases, HostileCaseFilesReadAsResults)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Hostile h(4242);
    for (int f = 0; f < 40; ++f) {
        const QString path = dir.path() + QStringLiteral("/dat/case%1.db").arg(f);
        QDir().mkpath(dir.path() + QStringLiteral("/dat"));
        {
            HostileFile file(path);
            ASSERT_TRUE(file.ok());
            // Mostly the program's own tables, sometimes tables of the same name with other columns.
            if (h.Chance(85))
                ASSERT_TRUE(file.Exec(CreateDataTableSql()));
            else
                file.Exec(QStringLiteral("create table case_data(id, name)"));
            const int extra = int(h.Int(0, 3));
            if (extra > 0) {
                ASSERT_TRUE(file.Exec(CreateExtraTableSql()));
            }
            for (int r = 0; r < int(h.Int(0, 12)); ++r)
                file.InsertRow(h, "case_data", h.Chance(85) ? kCaseColumnCount : 2);
            // No marker row, one hostile row, or two rows.
            for (int r = 1; r < extra; ++r) {
                if (h.Chance(50))
                    file.InsertRow(h, "case_extra", 5);
                else
                    file.Exec(QStringLiteral("insert into case_extra values('', '%1', %2, '%3', 'QuorinData')")
                                  .arg(h.NumberText().remove(QLatin1Char('\'')))
                                  .arg(h.Int(-1000000, 1000000))
                                  .arg(h.Text(400).remove(QLatin1Char('\''))));
            }
        }
        MRecordBase base(dir.path() + QStringLiteral("/"));
        if (base.Open(path) != 0) {
            EXPECT_FALSE(base.Message().isEmpty()) << f;
            continue;
        }
        EXPECT_GE(base.GetPrimaryId(), 0) << f;
        ReadEverything(base, h);
    }
}

// A record with hostile texts and numbers: what is saved reads back as the stored form of what was given.
TRecordData HostileRecord(Hostile &h)
{
    TRecordData rec;
    rec.name = h.ValidText(h.Chance(5) ? 2000 : 14);
    rec.address = h.ValidText(h.Chance(5) ? 2000 : 160);
    rec.className = h.ValidText(12);
    rec.remarkText = h.ValidText(h.Chance(5) ? 100000 : 100);
    rec.remarkFile = h.ValidText(20);
    rec.sex = uint8_t(h.Int(0, 1));
    rec.lunar = uint8_t(h.Int(0, 1));
    rec.leap = uint8_t(h.Int(0, 1));
    rec.xiaGua = uint8_t(h.Int(0, 1));
    rec.chartPanel = h.Edge<int32_t>(0, 100);
    rec.date = TDateRec{h.Edge<int16_t>(-5000, 20000), h.Edge<int16_t>(0, 13), h.Edge<int16_t>(0, 40),
                        h.Edge<int16_t>(0, 25), h.Edge<int16_t>(0, 61)};
    rec.buildYear = h.Edge<int16_t>(-5000, 20000);
    rec.mountain = h.Edge<uint8_t>(0, 95);
    rec.door = h.Edge<uint8_t>(0, 23);
    rec.degree = float(h.Int(-3600, 3600)) / 10.0f;
    rec.longitude = float(h.Int(-1800, 1800)) / 10.0f;
    rec.latitude = float(h.Int(-900, 900)) / 10.0f;
    rec.place1 = h.Edge<int16_t>(-1, 40);
    rec.place2 = h.Edge<int16_t>(-1, 400);
    for (int32_t &p : rec.place)
        p = h.Edge<int32_t>(-1, 400);
    return rec;
}

TEST(RobustCases, HostileRecordsSaveAndReadBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Hostile h(808);
    MRecordBase base(dir.path() + QStringLiteral("/"));
    ASSERT_EQ(base.Open(MRecordBase::DefaultPath(base.AppFolder())), 0) << base.Message().toStdString();
    MRecordBase::Batch batch(base);
    ASSERT_TRUE(batch.ok());
    for (int i = 0; i < 150; ++i) {
        TRecordData rec = HostileRecord(h);
        const int id = base.InsertCaseBatch(rec);
        ASSERT_GT(id, 0) << base.Message().toStdString();
        TRecordData back;
        ASSERT_TRUE(base.LoadCaseBatch(id, back)) << i;
        EXPECT_EQ(back.name, StoredName(rec.name)) << i;
        EXPECT_EQ(back.address, StoredAddress(rec.address)) << i;
        if (!StoredText(rec.remarkText).isEmpty()) { // an empty remark reads as the default prompt
            EXPECT_EQ(back.remarkText, StoredText(rec.remarkText)) << i;
        }
        EXPECT_EQ(back.date, rec.date) << i;
        EXPECT_EQ(back.buildYear, rec.buildYear) << i;
        EXPECT_EQ(back.mountain, rec.mountain) << i;
        EXPECT_EQ(back.door, rec.door) << i;
        EXPECT_EQ(back.chartPanel, rec.chartPanel) << i;
        EXPECT_EQ(back.place1, rec.place1) << i;
        EXPECT_EQ(back.place2, rec.place2) << i;
    }
}

TEST(RobustCases, HostileCategoryLists)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Hostile h(77);
    MRecordBase base(dir.path() + QStringLiteral("/"));
    ASSERT_EQ(base.Open(MRecordBase::DefaultPath(base.AppFolder())), 0) << base.Message().toStdString();
    for (int i = 0; i < 60; ++i) {
        QStringList list;
        const int n = int(h.Int(0, h.Chance(5) ? 3000 : 12));
        for (int c = 0; c < n; ++c)
            list << h.Text(10);
        if (!base.WriteClasses(list)) {
            EXPECT_FALSE(base.Message().isEmpty());
            continue;
        }
        QStringList back;
        ASSERT_TRUE(base.ReadClasses(back)) << base.Message().toStdString();
        for (const QString &name : back)
            EXPECT_FALSE(name.contains(QLatin1Char(kValueSeparator))) << i;
        // Every category written comes back (a lone surrogate turns into a replacement character).
        QStringList stored;
        for (const QString &name : list)
            if (!StoredClassName(name).isEmpty())
                stored << StoredClassName(name);
        EXPECT_EQ(back.size(), stored.size()) << i;
    }
}

TEST(RobustCases, AFileThatIsNoDatabaseIsRefusedAndKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Hostile h(99);
    for (int f = 0; f < 10; ++f) {
        const QString path = dir.path() + QStringLiteral("/junk%1.db").arg(f);
        std::string bytes = h.Bytes(f == 0 ? 0 : 5000);
        if (f == 1)
            bytes.replace(0, 16, std::string("SQLite format 3\0", 16)); // a header with garbage behind it
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.data(), qint64(bytes.size()));
        out.close();
        MRecordBase base(dir.path() + QStringLiteral("/"));
        if (base.Open(path) != 0) {
            EXPECT_FALSE(base.Message().isEmpty());
            QFile in(path);
            ASSERT_TRUE(in.open(QIODevice::ReadOnly));
            EXPECT_EQ(in.readAll(), QByteArray(bytes.data(), qsizetype(bytes.size()))) << "file " << f;
            TRecordData rec;
            EXPECT_FALSE(base.LoadCase(1, rec));
            QStringList classes;
            EXPECT_FALSE(base.ReadClasses(classes));
        } else {
            ReadEverything(base, h);
        }
    }
}

} // namespace
