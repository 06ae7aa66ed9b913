// The case record and the texts it is stored as: what files written by every version of the program hold.
#include "TRecordData.h"

#include <QLocale>

#include <gtest/gtest.h>

// Readable failure messages for texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TRecordData SampleRecord()
{
    TRecordData r;
    r.id = 7;
    r.name = QStringLiteral("张三");
    r.sex = 1;
    r.className = QStringLiteral("临时保存");
    r.date = {1980, 5, 6, 7, 8};
    r.lunar = 0;
    r.leap = 0;
    r.buildYear = 2004;
    r.mountain = 12;
    r.door = 3;
    r.degree = 15.5f;
    r.xiaGua = 1;
    r.chartPanel = 0;
    r.longitude = 120.0f;
    r.latitude = 30.0f;
    r.remarkFile = QStringLiteral("张三_198005060708");
    r.remarkText = QStringLiteral("好宅");
    return r;
}

QStringList Values(const TRecordData &r)
{
    QStringList v;
    RecordToValues(r, v);
    return v;
}

TRecordData Read(const QStringList &values, TRecordData r = {})
{
    ValuesToRecord(values, r);
    return r;
}

QStringList Empty16()
{
    QStringList v;
    for (int i = 0; i < kCaseColumnCount; ++i)
        v << QString();
    return v;
}

} // namespace

TEST(RecordValues, SampleRecordGivesTheStoredTextsInColumnOrder)
{
    const QStringList expected{"7", "张三", "1", "临时保存", "1980", "5 6 7 8", "0 0", "0 0", "",
                               "120.000000 30.000000 8", "张三_198005060708", " ", " ", "0 1",
                               "2004 12 3 15.50000", "好宅"};
    EXPECT_EQ(Values(SampleRecord()), expected);
}

TEST(RecordValues, FlagsAndPlacesAreWrittenAsTheFileExpects)
{
    TRecordData r = SampleRecord();
    r.sex = 2; // any non-zero is male
    r.lunar = 5;
    r.leap = 1;
    r.xiaGua = 0;
    r.chartPanel = 3;
    r.place1 = 4;
    r.place2 = -2;
    r.place = {9, 8, -1, 7, 6}; // the first -1 ends the list
    const QStringList v = Values(r);
    EXPECT_EQ(v[2], "1");
    EXPECT_EQ(v[6], "1 1");
    EXPECT_EQ(v[7], "4 -2 9 8");
    EXPECT_EQ(v[13], "3 0");
}

TEST(RecordValues, RoundTripKeepsEveryStoredFieldAndLeavesTheOthers)
{
    TRecordData r = SampleRecord();
    r.sex = 0;
    r.lunar = 1;
    r.leap = 1;
    r.place1 = 3;
    r.place2 = 11;
    r.place = {5, 6, 7, 8, 9};
    r.longitude = 116.391235f;
    r.latitude = -39.907001f;
    r.degree = 359.99f;
    r.date = {-100, 12, 30, 23, 59};

    TRecordData target;
    target.hasPlan = 1;
    target.colour = 5;
    target.starNames = 2;
    ValuesToRecord(Values(r), target);

    TRecordData expected = r;
    expected.hasPlan = 1;
    expected.colour = 5;
    expected.starNames = 2;
    EXPECT_EQ(target, expected);
}

TEST(RecordValues, EmptyColumnsReadAsTheirDefaults)
{
    const TRecordData r = Read(Empty16(), SampleRecord());
    EXPECT_EQ(r.id, 0);
    EXPECT_EQ(r.name, "");
    EXPECT_EQ(r.sex, 1);
    EXPECT_EQ(r.className, "临时保存");
    EXPECT_EQ(r.date, (TDateRec{1900, 1, 1, 1, 1}));
    EXPECT_EQ(r.lunar, 0);
    EXPECT_EQ(r.leap, 0);
    EXPECT_EQ(r.place1, 0);
    EXPECT_EQ(r.place2, 0);
    EXPECT_EQ(r.place, (std::array<int32_t, 5>{-1, -1, -1, -1, -1}));
    EXPECT_EQ(r.address, "");
    EXPECT_FLOAT_EQ(r.longitude, 120.0f);
    EXPECT_FLOAT_EQ(r.latitude, 30.0f);
    EXPECT_EQ(r.remarkFile, " ");
    EXPECT_EQ(r.chartPanel, 0);
    EXPECT_EQ(r.xiaGua, 1);
    EXPECT_EQ(r.buildYear, 2024);
    EXPECT_EQ(r.mountain, 0);
    EXPECT_EQ(r.door, 0);
    EXPECT_FLOAT_EQ(r.degree, 0.0f);
    EXPECT_EQ(r.remarkText, "输入自己的评语：");
    // A row that lacks columns altogether reads the same.
    EXPECT_EQ(Read({}), Read(Empty16()));
}

TEST(RecordValues, PartialAndUnreadableSubValues)
{
    QStringList v = Empty16();
    v[5] = "3";           // dateNum with the month only
    v[7] = "1 2 5 6";     // two place indices and two place entries
    v[6] = "1";           // lunar, leap absent
    v[13] = "x";          // chart view unreadable
    v[14] = "abc 300 7";  // build year unreadable, mountain beyond its field, no degree
    v[2] = "2";           // a sex other than 1 is female
    v[4] = "99999";       // a year that does not fit its field
    v[9] = "nan inf 8";   // non-finite coordinates
    const TRecordData r = Read(v);
    EXPECT_EQ(r.date, (TDateRec{1900, 3, 1, 1, 1}));
    EXPECT_EQ(r.place1, 1);
    EXPECT_EQ(r.place2, 2);
    EXPECT_EQ(r.place, (std::array<int32_t, 5>{5, 6, -1, -1, -1}));
    EXPECT_EQ(r.lunar, 1);
    EXPECT_EQ(r.leap, 0);
    EXPECT_EQ(r.chartPanel, 0);
    EXPECT_EQ(r.xiaGua, 1);
    EXPECT_EQ(r.buildYear, 2024);
    EXPECT_EQ(r.mountain, 0);
    EXPECT_EQ(r.door, 7);
    EXPECT_FLOAT_EQ(r.degree, 0.0f);
    EXPECT_EQ(r.sex, 0);
    EXPECT_FLOAT_EQ(r.longitude, 120.0f);
    EXPECT_FLOAT_EQ(r.latitude, 30.0f);
}

TEST(RecordValues, NumbersIgnoreTheUserLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList v = Values(SampleRecord());
    EXPECT_EQ(v[9], "120.000000 30.000000 8");
    EXPECT_EQ(v[14], "2004 12 3 15.50000");
    QStringList in = v;
    in[14] = "2004 12 3 15,5"; // a decimal comma is not a number in the file
    EXPECT_FLOAT_EQ(Read(v).degree, 15.5f);
    EXPECT_FLOAT_EQ(Read(in).degree, 0.0f);
    QLocale::setDefault(saved);
}

TEST(RecordValues, FormatRulesCleanWhatWouldBreakTheFile)
{
    TRecordData r = SampleRecord();
    r.name = QStringLiteral("O'N\"%s😀一二三四五六七"); // 12 characters after the quote goes
    r.className = QStringLiteral("私人 别'墅");
    r.remarkText = QStringLiteral("it's \"%s\" 😀\n第二行");
    r.address = QString(160, QChar(u'路'));
    r.remarkFile = QStringLiteral("a'b");
    const QStringList v = Values(r);
    EXPECT_EQ(v[1], QStringLiteral("ON\"%s😀一二三四")); // ten whole characters, the emoji counted once
    EXPECT_EQ(v[3], QStringLiteral("私人别墅"));
    EXPECT_EQ(v[15], QStringLiteral("its \"%s\" 😀\n第二行"));
    EXPECT_EQ(v[8], QString(150, QChar(u'路')));
    EXPECT_EQ(v[10], "ab");
    // A surrogate pair at the limit is kept whole or dropped whole, never cut in half.
    EXPECT_EQ(StoredName(QStringLiteral("一二三四五六七八九😀😀")), QStringLiteral("一二三四五六七八九😀"));
    // Stored texts longer than the fields are cut on reading too.
    QStringList in = Empty16();
    in[1] = QString(25, QChar(u'名'));
    EXPECT_EQ(Read(in).name, QString(10, QChar(u'名')));
}

TEST(RecordValues, SplitValueKeepsARestThatStartsWithTheSeparator)
{
    QStringList l{"old"};
    SplitValue("a  b", l);
    EXPECT_EQ(l, (QStringList{"a", " b"}));
    SplitValue("", l);
    EXPECT_TRUE(l.isEmpty());
    SplitValue(" a b", l);
    EXPECT_EQ(l, (QStringList{" a b"}));
    SplitValue("1 2 3 ", l);
    EXPECT_EQ(l, (QStringList{"1", "2", "3"}));
    SplitValue("私人别墅 小区套房", l);
    EXPECT_EQ(l, (QStringList{"私人别墅", "小区套房"}));
}

TEST(RecordValues, RowToValuesTakesColumnsByName)
{
    TMapValue row{{"id", "4"}, {"jianShan", "1999 5 1 7.25000"}, {"other", "x"}};
    QStringList v{"stale"};
    RowToValues(row, v);
    ASSERT_EQ(v.size(), kCaseColumnCount);
    EXPECT_EQ(v[0], "4");
    EXPECT_EQ(v[14], "1999 5 1 7.25000");
    EXPECT_EQ(v[1], "");
}

TEST(RecordValues, CreateStatementsAreTheFilesOwn)
{
    EXPECT_EQ(CreateDataTableSql(),
              "create table case_data(id integer primary key,name char(20),sex integer,className char(20),"
              "dateY integer,dateNum char(30),dateStyle char(5),addrInd char(30),addrName varchar(150),"
              "addrNum char(40),remarkFile char(50),tag1 varchar(100),tag2 varchar(100),housePanel varchar(6),"
              "jianShan varchar(30),remarkText text);");
    EXPECT_EQ(CreateExtraTableSql(), "create table case_extra(PlatformId,verCode,primaryId,className,baseType);");
    EXPECT_EQ(DefaultClasses().join(' '), "私人别墅 小区套房 自建民居 公司大夏 古代老宅 标志建筑 其他建筑 临时保存");
}
