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

TEST(CleanName, RemovesForbiddenAndControlCharactersKeepingTenCharacters)
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
        {u"一二三四五六七八九𠀀", u"一二三四五六七八九𠀀", false},     // a pair is one character
        {u"一二三四五六七八九十𠀀", u"一二三四五六七八九十", true},   // and is never split
        // Control characters typed or pasted: C0 (line breaks, tab, ESC), DEL, C1, bidirectional overrides and
        // isolates, zero-width and byte-order marks, line and paragraph separators, a surrogate half alone.
        {u"张\n三\r\n", u"张三", true},
        {u"张\t三\x1b[31m", u"张三[31m", true},
        {u"张\x7f三\x85\x9b", u"张三", true},
        {u"\u202e三张\u202c", u"三张", true},
        {u"张\u2066三\u2069", u"张三", true},
        {u"\ufeff张\u200b\u200d三", u"张三", true},
        {u"张\u2028三\u2029", u"张三", true},
        {u"张\xd800三", u"张三", true},
        {u"\x1b\u202e\n", u"甲", true},
        {u"一二三四五六七八九\u202e十", u"一二三四五六七八九十", true}, // removal before the cut
    };
    for (const NameCase &c : cases) {
        QString name = QString::fromUtf16(c.in);
        EXPECT_EQ(CleanName(name), c.changed) << name.toStdString();
        EXPECT_EQ(name, QString::fromUtf16(c.out));
    }
}

// What the cleaning says it did, so that a long name is reported as cut and not as holding forbidden characters.
TEST(CleanName, SaysWhetherItRemovedCutOrEmptiedTheName)
{
    const struct {
        QString in;
        bool removed, cut, empty;
    } rows[] = {
        {"张三", false, false, false},
        {QString(10000, QChar(0x738B)), false, true, false},
        {"一二三四五六七八九十壹", false, true, false},
        {"一*二三四五六七八九十壹", true, true, false},
        {"张*三", true, false, false},
        {"", false, false, true},
        {"   ", true, false, true},
        {"\"*<>", true, false, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.in.left(20).toStdString());
        QString name = row.in;
        const NameCleaning done = CleanNameTelling(name);
        EXPECT_EQ(done.removed, row.removed);
        EXPECT_EQ(done.cut, row.cut);
        EXPECT_EQ(done.empty, row.empty);
        QString again = row.in;
        EXPECT_EQ(CleanName(again), done.changed());
        EXPECT_EQ(again, name);
    }
}

} // namespace
