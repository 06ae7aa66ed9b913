// The RTF writer: GBK escapes for what GBK holds, \uN? for the rest, one control word per change of format.
#include "RtfText.h"

#include <QColor>
#include <QHash>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kTwipsPerPixel = 15.0;

// GBK bytes of every BMP character, made once: 0 where GBK has none, a value below 0x100 for one byte, else
// lead byte * 256 + trail byte. One table lookup per character keeps the writer fast on long texts.
const std::vector<quint16> &gbkTable()
{
    static const std::vector<quint16> table = [] {
        std::vector<quint16> t(0x10000, 0);
        for (int c = 0; c < 0x80; ++c)
            t[size_t(c)] = quint16(c);
        QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
        if (!encoder.isValid())
            return t;
        // One character at a time: a character GBK lacks comes out as a substitute byte below 0x80 or as a
        // four-byte sequence of the larger national set; GBK itself is one byte (0x80) or a pair.
        for (int c = 0x80; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const QChar ch{char16_t(c)};
            const QByteArray b = encoder.encode(QStringView(&ch, 1));
            if (b.size() == 2 && uchar(b[0]) >= 0x81)
                t[size_t(c)] = quint16(uchar(b[0]) << 8 | uchar(b[1]));
            else if (b.size() == 1 && uchar(b[0]) >= 0x80)
                t[size_t(c)] = uchar(b[0]);
        }
        return t;
    }();
    return table;
}

void appendHex(QByteArray &out, uchar byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

void appendText(QByteArray &out, QStringView text)
{
    const std::vector<quint16> &gbk = gbkTable();
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            out += "\\line ";
        } else if (c == 0x00A0) {
            out += "\\~";
        } else if (c < 0x20) {
            continue; // control characters have no place in the text
        } else if (c < 0x80) {
            out += char(c);
        } else if (const quint16 g = gbk[c]; g >= 0x100) {
            appendHex(out, uchar(g >> 8));
            appendHex(out, uchar(g & 0xFF));
        } else if (g != 0) {
            appendHex(out, uchar(g));
        } else {
            out += "\\u" + QByteArray::number(qint16(c)) + '?';
        }
    }
}

// The indents of a list level, the marker hanging in them: the document's indent width (40 pixels, 600 twips) per
// level.
QByteArray levelIndents(int level)
{
    constexpr int kListIndentTwips = 600;
    return "\\fi-" + QByteArray::number(kListIndentTwips / 2) + "\\li" +
           QByteArray::number(kListIndentTwips * (level + 1));
}

constexpr int kNfcBullet = 23;

// The \levelnfcN of a list style: 23 a bullet, 0 digits, 1..4 Roman numerals and letters.
int numberFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return 0;
    case QTextListFormat::ListUpperRoman: return 1;
    case QTextListFormat::ListLowerRoman: return 2;
    case QTextListFormat::ListUpperAlpha: return 3;
    case QTextListFormat::ListLowerAlpha: return 4;
    default: return kNfcBullet;
    }
}

QString bulletOf(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListCircle   ? QStringLiteral("\u25E6")
           : style == QTextListFormat::ListSquare ? QStringLiteral("\u25AA")
                                                  : QStringLiteral("\u2022");
}

int listLevel(const QTextList *list) { return std::clamp(list->format().indent() - 1, 0, 8); }

struct RunProps {
    int font = 0;
    int halfPoints = 24;
    int fg = 0, hl = 0;
    bool bold = false, italic = false, underline = false, strike = false;
};

class Writer {
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc) {}
    QByteArray run();

private:
    int fontIndex(const QString &family);
    int colourIndex(const QBrush &brush);
    RunProps props(const QTextCharFormat &f);
    void writeChange(const RunProps &p, bool first);
    void writeBlock(const QTextBlock &block);
    void writeListItem(const QTextBlock &block, const QTextList *list);
    QByteArray header() const;
    QByteArray listTables() const;

    const QTextDocument &doc_;
    QStringList fonts_;
    QHash<QString, int> fontIndex_;
    QList<QRgb> colours_;
    QHash<QRgb, int> colourIndex_;
    int listNumber(const QTextList *list);

    QList<QTextListFormat::Style> listStyles_; // of each \lsN, at place N - 1
    QHash<const QTextList *, int> listNumbers_;
    // Bulleted lists of one style look alike whatever their length, so they share one \lsN: a long one that the
    // reader built as several lists is written as one.
    QHash<int, int> bulletListNumbers_;
    QByteArray body_;
    RunProps current_;
};

int Writer::fontIndex(const QString &family)
{
    const auto it = fontIndex_.constFind(family);
    if (it != fontIndex_.constEnd())
        return *it;
    fonts_ << family;
    fontIndex_.insert(family, int(fonts_.size() - 1));
    return int(fonts_.size() - 1);
}

int Writer::colourIndex(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QRgb rgb = brush.color().rgb();
    const auto it = colourIndex_.constFind(rgb);
    if (it != colourIndex_.constEnd())
        return *it;
    colours_ << rgb;
    colourIndex_.insert(rgb, int(colours_.size()));
    return int(colours_.size());
}

RunProps Writer::props(const QTextCharFormat &f)
{
    RunProps p;
    const QStringList families = f.fontFamilies().toStringList();
    p.font = fontIndex(!families.isEmpty() ? families.first() : doc_.defaultFont().family());
    const double size = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : doc_.defaultFont().pointSizeF();
    p.halfPoints = size > 0 ? int(std::lround(size * 2)) : 24;
    p.fg = colourIndex(f.foreground());
    p.hl = colourIndex(f.background());
    p.bold = f.fontWeight() >= QFont::DemiBold;
    p.italic = f.fontItalic();
    p.underline = f.fontUnderline();
    p.strike = f.fontStrikeOut();
    return p;
}

void Writer::writeChange(const RunProps &p, bool first)
{
    QByteArray words;
    auto number = [&](const char *word, int now, int before) {
        if (first || now != before)
            words += '\\' + QByteArray(word) + QByteArray::number(now);
    };
    auto toggle = [&](const char *on, const char *off, bool now, bool before) {
        if (first ? now : now != before)
            words += '\\' + QByteArray(now ? on : off);
    };
    number("f", p.font, current_.font);
    number("fs", p.halfPoints, current_.halfPoints);
    number("cf", p.fg, current_.fg);
    number("highlight", p.hl, current_.hl);
    toggle("b", "b0", p.bold, current_.bold);
    toggle("i", "i0", p.italic, current_.italic);
    toggle("ul", "ulnone", p.underline, current_.underline);
    toggle("strike", "strike0", p.strike, current_.strike);
    if (!words.isEmpty())
        body_ += words + ' ';
    current_ = p;
}

void Writer::writeBlock(const QTextBlock &block)
{
    const QTextBlockFormat bf = block.blockFormat();
    body_ += "\\pard";
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        body_ += "\\qc";
    else if (a & (Qt::AlignRight | Qt::AlignTrailing))
        body_ += "\\qr";
    else if (a & Qt::AlignJustify)
        body_ += "\\qj";
    auto twips = [](double px) { return QByteArray::number(std::lround(px * kTwipsPerPixel)); };
    const QTextList *list = block.textList();
    if (!list && bf.textIndent() != 0)
        body_ += "\\fi" + twips(bf.textIndent());
    if (!list && bf.leftMargin() != 0)
        body_ += "\\li" + twips(bf.leftMargin());
    if (bf.rightMargin() != 0)
        body_ += "\\ri" + twips(bf.rightMargin());
    if (list)
        writeListItem(block, list);
    else
        body_ += ' ';
    bool first = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid())
            continue;
        writeChange(props(frag.charFormat()), first && block == doc_.begin());
        first = false;
        appendText(body_, frag.text());
    }
    if (first) // an empty paragraph keeps its own size, which sets its height
        writeChange(props(block.charFormat()), block == doc_.begin());
}

// A list item: its list and level, the indent of the level with the marker hanging in it, and the marker as
// \listtext for programs that do not read lists. Ends after a group: what follows is text.
void Writer::writeListItem(const QTextBlock &block, const QTextList *list)
{
    const int level = listLevel(list);
    body_ += "\\ls" + QByteArray::number(listNumber(list)) + "\\ilvl" + QByteArray::number(level) + levelIndents(level);
    const QTextListFormat::Style style = list->format().style();
    const QString marker = numberFormat(style) == kNfcBullet ? bulletOf(style) : list->itemText(block);
    body_ += " {\\listtext ";
    appendText(body_, marker + QLatin1Char('\t'));
    body_ += '}';
}

// The \lsN of a list, N counted from 1 in the order the lists come.
int Writer::listNumber(const QTextList *list)
{
    if (const auto known = listNumbers_.constFind(list); known != listNumbers_.constEnd())
        return *known;
    const QTextListFormat::Style style = list->format().style();
    const bool bullet = numberFormat(style) == kNfcBullet;
    int n = bullet ? bulletListNumbers_.value(style) : 0;
    if (n == 0) {
        listStyles_ << style;
        n = int(listStyles_.size());
        if (bullet)
            bulletListNumbers_.insert(style, n);
    }
    listNumbers_.insert(list, n);
    return n;
}

// One list definition per \lsN, its nine levels alike, and one override each (\lsN = list N).
QByteArray Writer::listTables() const
{
    if (listStyles_.isEmpty())
        return {};
    QByteArray table = "{\\*\\listtable", overrides = "{\\*\\listoverridetable";
    for (qsizetype i = 0; i < listStyles_.size(); ++i) {
        const QByteArray id = QByteArray::number(i + 1);
        const QTextListFormat::Style style = listStyles_[i];
        const QByteArray nfc = QByteArray::number(numberFormat(style));
        table += "{\\list\\listtemplateid" + id;
        for (int level = 0; level <= 8; ++level) {
            table += "{\\listlevel\\levelnfc" + nfc + "\\levelnfcn" + nfc + "\\leveljc0\\levelstartat1";
            if (numberFormat(style) == kNfcBullet) {
                table += "{\\leveltext\\'01";
                appendText(table, bulletOf(style));
                table += ";}{\\levelnumbers;}";
            } else {
                table += "{\\leveltext\\'02\\'0" + QByteArray::number(level) + ".;}{\\levelnumbers\\'01;}";
            }
            table += levelIndents(level) + '}';
        }
        table += "\\listid" + id + '}';
        overrides += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + '}';
    }
    return table + "}\r\n" + overrides + "}\r\n";
}

QByteArray Writer::header() const
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1{\\fonttbl";
    for (qsizetype i = 0; i < fonts_.size(); ++i) {
        h += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 ";
        appendText(h, QString(fonts_[i]).remove(QLatin1Char(';'))); // ";" ends an entry
        h += ";}";
    }
    h += "}\r\n{\\colortbl ;";
    for (QRgb c : colours_)
        h += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue" +
             QByteArray::number(qBlue(c)) + ';';
    h += "}\r\n" + listTables() + "\\viewkind4 ";
    return h;
}

QByteArray Writer::run()
{
    fontIndex(doc_.defaultFont().family()); // \deff0
    body_.reserve(doc_.characterCount() * 4);
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
        if (b != doc_.begin())
            body_ += "\\par\r\n";
        writeBlock(b);
    }
    return header() + body_ + "}\r\n";
}

} // namespace

QByteArray WriteRtf(const QTextDocument &doc)
{
    return Writer(doc).run();
}
