#include "GbkText.h"
#include "Resources.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray resourceBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Resources, StringTablesAreCompiledIn)
{
    EXPECT_EQ(LoadStr(1), QStringLiteral("Quorin 3.3"));
    EXPECT_TRUE(LoadStr(-1).isEmpty());
    EXPECT_TRUE(LoadStr(2147483647).isEmpty());
}

// Whoever drops a table into resources/strings is held to the format here.
TEST(Resources, EveryStringTableFileParsesAndNoIdRepeats)
{
    InitResources();
    const QStringList files = QDir(":/strings").entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    QHash<int, QString> all;
    for (const QString &name : files) {
        const QByteArray bytes = resourceBytes(":/strings/" + name);
        EXPECT_TRUE(name.endsWith(".txt")) << name.toStdString();
        EXPECT_TRUE(IsValidUtf8(bytes)) << name.toStdString() << " is not UTF-8";
        QString errors;
        EXPECT_TRUE(ParseStringTable(QString::fromUtf8(bytes), all, &errors))
            << name.toStdString() << ":\n" << errors.toStdString();
    }
}

TEST(Resources, EveryTextResourceIsUtf8)
{
    InitResources();
    for (const QString &name : QDir(":/texts").entryList(QDir::Files))
        EXPECT_TRUE(IsValidUtf8(resourceBytes(":/texts/" + name))) << name.toStdString();
}

TEST(Resources, TextResourcesAreFoundByNameInAnyCase)
{
    const QString expected = QStringLiteral("First line\\n stays\n第二行\n"); // whole file, no escapes
    EXPECT_EQ(LoadText("Sample"), expected);
    EXPECT_EQ(LoadText("SAMPLE"), expected);
    EXPECT_TRUE(LoadText("Sample.txt").isEmpty());
    EXPECT_TRUE(LoadText("none").isEmpty());
}

TEST(StringTableFormat, EscapesAndEmptyTexts)
{
    QHash<int, QString> t;
    EXPECT_TRUE(ParseStringTable("10\ta\\nb\\tc\\\\n\\x\\\r\n\n11\t\n12\t\ttabbed=ok", t));
    EXPECT_EQ(t.value(10), QStringLiteral("a\nb\tc\\n\\x\\"));
    EXPECT_TRUE(t.contains(11));
    EXPECT_EQ(t.value(11), QString());
    EXPECT_EQ(t.value(12), QStringLiteral("\ttabbed=ok"));
}

TEST(StringTableFormat, BadLinesAndRepeatedIdsAreReportedAndSkipped)
{
    QHash<int, QString> t{{5, "first"}};
    QString errors;
    EXPECT_FALSE(ParseStringTable("5\tsecond\nno tab\n 6\tx\nx7\ty\n-8\tz\n99999999999\tbig\n9\tok", t, &errors));
    EXPECT_EQ(t.value(5), QStringLiteral("first"));
    EXPECT_EQ(t.size(), 2);
    EXPECT_EQ(t.value(9), QStringLiteral("ok"));
    EXPECT_EQ(errors.count('\n'), 6) << errors.toStdString();
}

} // namespace
