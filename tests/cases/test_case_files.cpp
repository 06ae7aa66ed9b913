// The names and writing of a case's comment and floor-plan files, on a temporary program folder.
#include "CaseFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class CaseFilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString app() const { return dir.path() + "/"; }
    void touch(const QString &fileName)
    {
        QDir().mkpath(CaseFolder(app()));
        QFile f(CaseFolder(app()) + fileName);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
};

TRecordData Owner(const QString &name)
{
    TRecordData r;
    r.name = name;
    r.date = {1980, 5, 6, 7, 8};
    return r;
}

} // namespace

TEST(CaseFileNames, OnlyNamesThatStayInTheCaseFolderBecomePaths)
{
    const struct {
        QString name;
        bool valid;
    } rows[] = {
        {"张三_198005060708", true},
        {"张三_198005060708_12", true},
        {"a.b", true},
        {QString(50, QChar(u'甲')), true},
        {QString(51, QChar(u'甲')), false},
        {"", false},
        {" ", false}, // what an empty stored name reads back as
        {"../dat/Quorin", false},
        {"..", false},
        {"a/b", false},
        {"a\\b", false},
        {QStringLiteral("a\x01" "b"), false},
        {QStringLiteral("a\nb"), false},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(IsValidRemarkFile(row.name), row.valid) << row.name.toStdString();
        EXPECT_EQ(RemarkFilePath("/p/", row.name).isEmpty(), !row.valid) << row.name.toStdString();
    }
    EXPECT_EQ(RemarkFilePath("/p/", "张三_198005060708"), "/p/Quorin_f/张三_198005060708.rtf");
    EXPECT_EQ(PlanFilePath("/p/", "张三_198005060708"), "/p/Quorin_f/张三_198005060708.bmp");
}

TEST_F(CaseFilesTest, ANewNameSkipsEveryNameWhoseCommentsOrFloorPlanExist)
{
    QString name;
    EXPECT_EQ(NewRemarkFileName(app(), Owner("张三"), name), CaseFolder(app()) + "张三_198005060708.rtf");
    EXPECT_EQ(name, "张三_198005060708");

    touch("张三_198005060708.rtf");
    touch("张三_198005060708_0.bmp"); // a floor plan alone also takes the name
    NewRemarkFileName(app(), Owner("张三"), name);
    EXPECT_EQ(name, "张三_198005060708_1");

    // Characters that could leave the folder never reach the name.
    NewRemarkFileName(app(), Owner("../a\\b/c"), name);
    EXPECT_EQ(name, "abc_198005060708");
    EXPECT_TRUE(IsValidRemarkFile(name));
}

TEST_F(CaseFilesTest, AnInvalidStoredNameIsReplacedByAFreshOne)
{
    TRecordData rec = Owner("李四");
    rec.remarkFile = "../../etc/passwd";
    EXPECT_TRUE(EnsureValidRemarkFile(app(), rec));
    EXPECT_EQ(rec.remarkFile, "李四_198005060708");
    EXPECT_FALSE(EnsureValidRemarkFile(app(), rec));
    EXPECT_EQ(rec.remarkFile, "李四_198005060708");
}

TEST_F(CaseFilesTest, SavingReplacesAFileWholeOrLeavesItAsItWas)
{
    const QString path = CaseFolder(app()) + "a.rtf"; // the case folder is made on the way
    ASSERT_TRUE(SaveCaseFile(path, "one"));
    ASSERT_TRUE(SaveCaseFile(path, "two"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "two");
    EXPECT_EQ(QDir(CaseFolder(app())).entryList(QDir::Files), QStringList{"a.rtf"}); // no temporary file left

    // A folder in the way of the file: the write fails with a sentence and the folder stays.
    QDir().mkpath(CaseFolder(app()) + "b.rtf");
    QString error;
    EXPECT_FALSE(SaveCaseFile(CaseFolder(app()) + "b.rtf", "x", &error));
    EXPECT_TRUE(error.startsWith("无法写入文件")) << error.toStdString();
    EXPECT_TRUE(QFileInfo(CaseFolder(app()) + "b.rtf").isDir());
}
