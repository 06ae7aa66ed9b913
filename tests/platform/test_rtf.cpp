#include "RtfText.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include <gtest/gtest.h>

void PrintTo(const QString &s, std::ostream *os)
{
    *os << s.toStdString();
}

namespace {

// One run of text with the attributes the reader and writer carry.
struct TextRun {
    const char16_t *text;
    bool bold = false, italic = false, underline = false, strike = false;
    double points = 12;
    QRgb fg = 0;       // 0: automatic
    QRgb hl = 0;       // 0: none
    const char16_t *family = u"宋体";
    bool newParagraph = false;
};

struct Para {
    Qt::Alignment align = Qt::AlignLeft;
    double firstIndent = 0, leftIndent = 0, rightIndent = 0; // pixels
};

QTextCharFormat formatOf(const TextRun &r)
{
    QTextCharFormat f;
    f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(r.italic);
    f.setFontUnderline(r.underline);
    f.setFontStrikeOut(r.strike);
    f.setFontPointSize(r.points);
    f.setFontFamilies({QString::fromUtf16(r.family)});
    if (r.fg)
        f.setForeground(QColor::fromRgb(r.fg));
    if (r.hl)
        f.setBackground(QColor::fromRgb(r.hl));
    return f;
}

// Fragments of a document as comparable text: "text|b i u s|size|fg|hl|family" per fragment, blocks with their
// alignment and indents.
QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        out << QStringLiteral("¶ %1 %2 %3 %4").arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(bf.textIndent()).arg(bf.leftMargin()).arg(bf.rightMargin());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            out << QStringLiteral("%1|%2%3%4%5|%6|%7|%8|%9")
                       .arg(it.fragment().text())
                       .arg(f.fontWeight() >= QFont::Bold ? 'b' : '-').arg(f.fontItalic() ? 'i' : '-')
                       .arg(f.fontUnderline() ? 'u' : '-').arg(f.fontStrikeOut() ? 's' : '-')
                       .arg(f.fontPointSize())
                       .arg(f.foreground().style() == Qt::NoBrush ? QString() : f.foreground().color().name())
                       .arg(f.background().style() == Qt::NoBrush ? QString() : f.background().color().name())
                       .arg(f.fontFamilies().toStringList().value(0));
        }
    }
    return out;
}

TEST(Rtf, WrittenDocumentsReadBackUnchanged)
{
    const Para paras[] = {{Qt::AlignHCenter}, {Qt::AlignLeft, 28, 0, 0}, {Qt::AlignRight, -14, 56, 20}, {Qt::AlignJustify}};
    const TextRun runs[] = {
        {u"玄空飞星", true, false, false, false, 16},
        {u"当运旺星到向", false, false, false, false, 12, 0xFF0000, 0, u"宋体", true},
        {u"，吉。", false, true, true, false, 9, 0x0000FF, 0xFFFF00},
        {u"Arial {braces} \\ and\ttab", false, false, false, true, 10.5, 0, 0, u"Arial", true},
        {u"€é、＂ＡⅫ", true, true, false, false, 12, 0x00FF00},
        {u"😀𠀀ñ₩ḿ", false, false, true, false, 12, 0, 0xC0C0C0, u"宋体", true},
        {u"\u2028换行 nbsp\u00A0", false, false, false, false, 72},
    };
    QTextDocument doc;
    QTextCursor c(&doc);
    int para = 0;
    c.setBlockFormat([&] { QTextBlockFormat f; f.setAlignment(paras[0].align); return f; }());
    for (const TextRun &r : runs) {
        if (r.newParagraph) {
            const Para &p = paras[++para];
            QTextBlockFormat f;
            f.setAlignment(p.align);
            f.setTextIndent(p.firstIndent);
            f.setLeftMargin(p.leftIndent);
            f.setRightMargin(p.rightIndent);
            c.insertBlock(f);
        }
        c.insertText(QString::fromUtf16(r.text), formatOf(r));
    }
    const QByteArray rtf = WriteRtf(doc);
    for (const char *needle : {"{\\rtf1\\ansi\\ansicpg936", "\\fcharset134 \\'cb\\'ce\\'cc\\'e5;", "\\'d0\\'fe\\'bf\\'d5",
                               "\\u-10179?\\u-8704?", "\\red255\\green0\\blue0;"})
        EXPECT_TRUE(rtf.contains(needle)) << needle;
    for (char ch : rtf)
        ASSERT_LT(uchar(ch), 0x80) << "RTF is 7-bit";

    QTextDocument back;
    ASSERT_EQ(ReadRtf(rtf, back), RtfError::None);
    EXPECT_EQ(describe(back), describe(doc));
    EXPECT_EQ(back.toRawText(), doc.toRawText());
}

TEST(Rtf, ReadsTheRichEditDialect)
{
    QFile f(QStringLiteral(QUORIN_PLATFORM_FIXTURES "/rtf/richedit936.rtf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QTextDocument doc;
    ASSERT_EQ(ReadRtf(f.readAll(), doc), RtfError::None);
    const QStringList expected = {
        QStringLiteral("¶ 4 0 0 0"), QStringLiteral("玄空飞星宅运盘|b---|16|||宋体"),
        QStringLiteral("¶ 1 28 0 0"), QStringLiteral("当运旺星到向|----|12|#ff0000||宋体"),
        QStringLiteral("，|----|12|||宋体"), QStringLiteral("吉|----|12|#0000ff|#ff0000|宋体"),
        QStringLiteral("。|----|12|||宋体"),
        QStringLiteral("¶ 1 0 56 0"), QStringLiteral("Arial text |----|12|||Arial"),
        QStringLiteral("€😀图后文字|----|12|||宋体"),
        QStringLiteral("¶ 1 0 0 0"), QStringLiteral("\t缩进|----|12|||宋体"),
        QStringLiteral("斜体下划线|-iu-|12|||宋体"), QStringLiteral("删除|---s|12|||宋体"),
        QString::fromUtf16(u"\u2028换行{}\\|----|12|||宋体"),
        QStringLiteral("¶ 1 0 0 0")};
    EXPECT_EQ(describe(doc), expected);
}

// Damaged input gives a clear failure, never a crash or a hang, and keeps the text read before the fault.
TEST(Rtf, DamagedInputFailsClearlyInLinearTime)
{
    const QByteArray deep = QByteArray(250000, '{') + "x" + QByteArray(250000, '}');
    struct Case {
        QByteArray in;
        RtfError error;
        QString text;
    };
    const Case cases[] = {
        {"plain text", RtfError::NotRtf, {}},
        {"{\\rtf1 abc", RtfError::Truncated, QStringLiteral("abc")},
        {"{\\rtf1 a}}b", RtfError::Unbalanced, QStringLiteral("a")},
        {"{\\rtf1 a}\r\n\0", RtfError::None, QStringLiteral("a")},
        {"{\\rtf1 a\\", RtfError::Truncated, QStringLiteral("a")},
        {"{\\rtf1 a\\'", RtfError::Truncated, QStringLiteral("a")},
        {"{\\rtf1{\\uc2147483647\\u20320 skipped to the group's end}b}", RtfError::None, QStringLiteral("你b")},
        {"{\\rtf1\\u-99999999999999 \\fs99999999999 \\li-99999999999 x}", RtfError::None, QStringLiteral("x")},
        {"{\\rtf1 a\\" + QByteArray(10000, 'x') + " b}", RtfError::None, QStringLiteral("ab")},
        {"{\\rtf1 a{\\bin999999999 }}", RtfError::Truncated, QStringLiteral("a")},
        {"{\\rtf1 a{\\*\\unknown {x}{\\par}}b{\\pict\\bin3 }}}}c}", RtfError::None, QStringLiteral("abc")},
        {"{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "}", RtfError::None,
         QStringLiteral("deep")},
        {"{\\rtf1 " + deep + "}", RtfError::TooDeep, {}},
        {"{\\rtf1 " + QByteArray(3000000, '{'), RtfError::TooDeep, {}},
    };
    for (const Case &c : cases) {
        QTextDocument doc;
        EXPECT_EQ(ReadRtf(c.in, doc), c.error) << c.in.left(40).constData();
        EXPECT_EQ(doc.toPlainText(), c.text) << c.in.left(40).constData();
        EXPECT_FALSE(RtfErrorText(c.error).isEmpty() && c.error != RtfError::None);
    }
}

// \'hh bytes read in the character set of the font they are in; the document's code page serves a font that names
// none. Each row: the RTF, then the first font's name and the text.
TEST(Rtf, BytesReadInTheirFontsCharacterSet)
{
    const std::pair<const char *, const char16_t *> rows[] = {
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\\f0 caf\\'e9 na\\'efve}",
         u"Arial|café naïve"},
        {"{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Caf\\'e9;}}caf\\'e9}", u"Café|café"},
        {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\\f0 \\'d6\\'d0}",
         u"宋体|中"},
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil SimSun;}}\\f0 \\'d6\\'d0}", u"SimSun|中"},
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fnil\\fcharset134 A;}{\\f1\\fswiss\\fcharset0 B;}}"
         "\\f0\\'d6\\'d0\\f1\\'e9}", u"A|中é"},
    };
    for (const auto &[rtf, expected] : rows) {
        QTextDocument doc;
        ASSERT_EQ(ReadRtf(rtf, doc), RtfError::None) << rtf;
        const QTextCharFormat f = doc.begin().begin().fragment().charFormat();
        EXPECT_EQ(f.fontFamilies().toStringList().value(0) + u'|' + doc.toPlainText(), QString::fromUtf16(expected));
    }
}

// Lists as word processors write them (the list tables, \lsN, \ilvlN, the marker again in {\listtext} for programs
// without lists) become list items, their markers no text, and stay so when written; a table row ends with its
// last cell.
TEST(Rtf, ListsAreListItemsAndTableRowsEndWithTheirLastCell)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}{\\listlevel\\levelnfc4"
        "{\\leveltext\\'02\\'01.;}}\\listid-100}{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid200}}\r\n"
        "{\\*\\listoverridetable{\\listoverride\\listid-100\\ls1}{\\listoverride\\listid200\\ls2}}\r\n"
        "\\pard{\\listtext\\pard\\plain \\'b7\\tab}\\ls1\\ilvl0\\fi-360\\li720 \\'c3\\'c5\\'c7\\'b0\\par\r\n"
        "{\\listtext a.\\tab}\\ls1\\ilvl1 \\'b6\\'fe\\par\r\n"
        "\\pard{\\listtext 1.\\tab}\\ls2 \\'d2\\'bb\\par\r\n"
        "\\pard\\li500 \\'bc\\'e4\\par\r\n"
        "\\pard{\\listtext 2.\\tab}\\ls2 \\'c8\\'fd\\par\r\n"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl \\'d7\\'f8\\'c9\\'bd\\cell \\'cf\\'f2\\cell\\row\r\n"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl \\'d7\\'d3\\cell\\cell\\row\r\n"
        "\\pard \\'cd\\'ea}";
    // Each block: its list's style and indent and the block's number, or its left margin outside lists.
    auto blocks = [](const QTextDocument &doc) {
        QStringList out;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            const QTextList *list = b.textList();
            const QTextListFormat f = list ? list->format() : QTextListFormat();
            out << (list ? QStringLiteral("%1 %2 #%3").arg(f.style()).arg(f.indent()).arg(list->itemNumber(b))
                         : QString::number(b.blockFormat().leftMargin()));
        }
        return out;
    };
    const QStringList expected = {QStringLiteral("%1 1 #0").arg(QTextListFormat::ListDisc),
                                  QStringLiteral("%1 2 #0").arg(QTextListFormat::ListLowerAlpha),
                                  QStringLiteral("%1 1 #0").arg(QTextListFormat::ListDecimal),
                                  QString::number(500 / 15.0),
                                  QStringLiteral("%1 1 #1").arg(QTextListFormat::ListDecimal), "0", "0", "0"};
    QTextDocument doc;
    ASSERT_EQ(ReadRtf(rtf, doc), RtfError::None);
    const QByteArray written = WriteRtf(doc);
    EXPECT_TRUE(written.contains("{\\listtext 2.\\tab }")) << written.constData();
    QTextDocument back;
    ASSERT_EQ(ReadRtf(written, back), RtfError::None);
    for (const QTextDocument *d : {&doc, &back}) {
        EXPECT_EQ(d->toPlainText(), QStringLiteral("门前\n二\n一\n间\n三\n坐山\t向\n子\t\n完"));
        EXPECT_EQ(blocks(*d), expected);
    }

    // Long lists, read into a document laid out to a width as a pane's is: every item of a bulleted list (built in
    // parts) is a list item of its style, a numbered list counts through to its last item, each is written back as
    // one list, and the width is kept.
    for (const auto &[nfc, style] : {std::pair("23", QTextListFormat::ListDisc), std::pair("0", QTextListFormat::ListDecimal)}) {
        SCOPED_TRACE(nfc);
        const QByteArray rtf = QByteArray("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc") + nfc +
                               "}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}" +
                               QByteArray("\\pard\\ls1 item\\par\r\n").repeated(1000) + "\\pard end}";
        QTextDocument laidOut;
        laidOut.setTextWidth(300);
        ASSERT_EQ(ReadRtf(rtf, laidOut), RtfError::None);
        EXPECT_EQ(laidOut.textWidth(), 300);
        EXPECT_GT(laidOut.size().height(), 1000);
        QString wrong; // the items out of the list, of another style, or not at their number
        int n = 0;
        for (QTextBlock b = laidOut.begin(); b.next().isValid(); b = b.next(), ++n)
            if (!b.textList() || b.textList()->format().style() != style ||
                (style == QTextListFormat::ListDecimal && b.textList()->itemNumber(b) != n))
                wrong += QString::number(n) + QLatin1Char(' ');
        EXPECT_EQ(wrong, QString());
        EXPECT_EQ(WriteRtf(laidOut).count("{\\list\\listtemplateid"), 1) << "written as one list";
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // test discovery runs without a display
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
