#include "CleanName.h"
#include "GbkText.h"

#include <gtest/gtest.h>

namespace {

TEST(GbkText, RoundTripAndByteLength)
{
    const QString text = QStringLiteral("宋体 A1");
    const QByteArray gbk = GbkEncode(text);
    EXPECT_EQ(gbk, QByteArray("\xCB\xCE\xCC\xE5 A1"));
    EXPECT_EQ(GbkDecode(gbk), text);
    EXPECT_EQ(GbkLength(text), 7);
    EXPECT_EQ(GbkLength(QString()), 0);
}

TEST(GbkText, FilesAreUtf8WhenValidElseGbk)
{
    EXPECT_EQ(DecodeUtf8OrGbk("\xEF\xBB\xBF" "宋体"), QStringLiteral("宋体"));
    EXPECT_EQ(DecodeUtf8OrGbk("宋体"), QStringLiteral("宋体"));
    EXPECT_EQ(DecodeUtf8OrGbk("\xCB\xCE\xCC\xE5"), QStringLiteral("宋体"));
    EXPECT_FALSE(IsValidUtf8("\xCB\xCE"));
    EXPECT_TRUE(IsValidUtf8("plain"));
}

struct NameCase {
    const char16_t *in;
    const char16_t *out;
    bool changed;
};

TEST(CleanName, RemovesForbiddenCharactersAndBlanksKeepingTenUnits)
{
    const NameCase cases[] = {
        {u"张三", u"张三", false},
        {u"", u"甲", true},
        {u"张 \"三\"", u"张三", true},
        {u"a*b<c>d?e\\f/g|h:i'j", u"abcdefghij", true},
        {u"　全角", u"　全角", false}, // only the ASCII blank is removed
        {u"一二三四五六七八九十", u"一二三四五六七八九十", false},
        {u"一二三四五六七八九十壹", u"一二三四五六七八九十", true},
        {u"一 二三四五六七八九十", u"一二三四五六七八九十", true}, // removal before the cut
        {u"\"*<> ?", u"甲", true},                                       // emptied by the removal
        {u"一二三四五六七八九𠀀", u"一二三四五六七八九", true},       // a pair is never split
    };
    for (const NameCase &c : cases) {
        QString name = QString::fromUtf16(c.in);
        EXPECT_EQ(CleanName(name), c.changed) << name.toStdString();
        EXPECT_EQ(name, QString::fromUtf16(c.out));
    }
}

} // namespace
