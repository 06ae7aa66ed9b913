// The RTF reader: one pass over the bytes with an explicit stack of group states, so that neither the nesting
// depth nor a long run of anything costs stack or more than linear time.
#include "RtfText.h"

#include <QColor>
#include <QHash>
#include <QPointer>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cctype>
#include <utility>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr double kTwipsPerPixel = 15.0;
// Control words are at most 32 letters; a longer run of letters is read to its end and ignored.
constexpr int kMaxWordLength = 32;
// Parameters are clamped to this magnitude so that arithmetic on them never overflows.
constexpr long long kMaxParameter = 1000000000;

enum class Dest : uint8_t { Text, FontTable, ColorTable, ListTable, ListOverrides, Skip };

struct CharProps {
    int font = -1;      // font-table number; -1 none
    int halfPoints = 0; // 0: the document's size
    int fg = 0;         // colour-table index; 0 the automatic colour
    int hl = 0;         // highlight colour-table index; 0 none
    bool bold = false, italic = false, underline = false, strike = false;
    bool operator==(const CharProps &) const = default;
};

struct ParaProps {
    Qt::Alignment align = Qt::AlignLeft;
    int firstIndent = 0, leftIndent = 0, rightIndent = 0; // twips
    int list = 0;  // \lsN: the list override the paragraph belongs to; 0 none
    int level = 0; // \ilvlN: its level in that list, 0..8
};

struct Group {
    CharProps chr;
    ParaProps para;
    int uc = 1; // fallback characters after \uN
    Dest dest = Dest::Text;
};

struct Font {
    QString name;
    int codepage = 0; // 0: the document's (a font without \fcharset)
};

// Number formats of list levels (\levelnfcN).
constexpr int kNfcDecimal = 0, kNfcUpperRoman = 1, kNfcLowerRoman = 2, kNfcUpperAlpha = 3, kNfcLowerAlpha = 4,
              kNfcBullet = 23;
constexpr int kMaxListLevel = 8;
// Qt marks every item of a list changed whenever one is added, so a list costs the square of its length to
// build. A list without numbers is built as consecutive lists of at most this many items, which look the same.
constexpr int kMaxBulletItems = 64;

enum class Word : uint8_t {
    Rtf, AnsiCpg, Deff, Uc, U, Par, Line, Tab, Pard, Plain, Bold, Italic, Underline, UnderlineNone, Strike,
    FontNo, FontSize, FontCharset, Fg, Highlight, FirstIndent, LeftIndent, RightIndent, AlignLeft, AlignCentre,
    AlignRight, AlignJustify, FontTable, ColorTable, Red, Green, Blue, SkipDest, Bin, Cell, Row, Literal,
    ListTable, ListOverrideTable, List, ListLevel, LevelNfc, ListId, ListOverride, ListNo, ListLevelNo
};

struct WordInfo {
    Word word;
    char16_t literal = 0; // for Word::Literal
};

const std::unordered_map<std::string_view, WordInfo> &wordTable()
{
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t = {
            {"rtf", {Word::Rtf}}, {"ansicpg", {Word::AnsiCpg}}, {"deff", {Word::Deff}}, {"uc", {Word::Uc}},
            {"u", {Word::U}}, {"par", {Word::Par}}, {"sect", {Word::Par}}, {"page", {Word::Par}},
            {"row", {Word::Row}}, {"line", {Word::Line}}, {"tab", {Word::Tab}}, {"cell", {Word::Cell}},
            {"pard", {Word::Pard}}, {"plain", {Word::Plain}}, {"b", {Word::Bold}}, {"i", {Word::Italic}},
            {"ul", {Word::Underline}}, {"uld", {Word::Underline}}, {"uldb", {Word::Underline}},
            {"ulw", {Word::Underline}}, {"ulwave", {Word::Underline}}, {"uldash", {Word::Underline}},
            {"ulth", {Word::Underline}}, {"ulnone", {Word::UnderlineNone}}, {"strike", {Word::Strike}},
            {"strikedl", {Word::Strike}}, {"f", {Word::FontNo}}, {"fs", {Word::FontSize}},
            {"fcharset", {Word::FontCharset}}, {"cf", {Word::Fg}}, {"highlight", {Word::Highlight}},
            {"cb", {Word::Highlight}}, {"chcbpat", {Word::Highlight}}, {"fi", {Word::FirstIndent}},
            {"li", {Word::LeftIndent}}, {"ri", {Word::RightIndent}}, {"ql", {Word::AlignLeft}},
            {"qc", {Word::AlignCentre}}, {"qr", {Word::AlignRight}}, {"qj", {Word::AlignJustify}},
            {"fonttbl", {Word::FontTable}}, {"colortbl", {Word::ColorTable}}, {"red", {Word::Red}},
            {"green", {Word::Green}}, {"blue", {Word::Blue}}, {"bin", {Word::Bin}},
            {"bullet", {Word::Literal, 0x2022}}, {"lquote", {Word::Literal, 0x2018}},
            {"rquote", {Word::Literal, 0x2019}}, {"ldblquote", {Word::Literal, 0x201C}},
            {"rdblquote", {Word::Literal, 0x201D}}, {"endash", {Word::Literal, 0x2013}},
            {"emdash", {Word::Literal, 0x2014}}, {"enspace", {Word::Literal, 0x2002}},
            {"emspace", {Word::Literal, 0x2003}}, {"listtable", {Word::ListTable}},
            {"listoverridetable", {Word::ListOverrideTable}}, {"list", {Word::List}},
            {"listlevel", {Word::ListLevel}}, {"levelnfc", {Word::LevelNfc}}, {"levelnfcn", {Word::LevelNfc}},
            {"listid", {Word::ListId}}, {"listoverride", {Word::ListOverride}}, {"ls", {Word::ListNo}},
            {"ilvl", {Word::ListLevelNo}}};
        // Destinations whose content is not text of the document.
        for (std::string_view d :
             {"stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf", "footer", "footerl",
              "footerr", "footerf", "footnote", "annotation", "fldinst", "listtext", "revtbl",
              "rsidtbl", "xmlnstbl", "generator", "nonshppict", "themedata", "colorschememapping", "latentstyles",
              "datastore", "filetbl", "pn", "xe", "tc", "txe", "template", "author", "operator", "title", "subject",
              "keywords", "comment", "doccomm", "company", "creatim", "revtim", "printim", "buptim", "mmathPr",
              "pgdsctbl", "objdata"})
            t.emplace(d, WordInfo{Word::SkipDest});
        return t;
    }();
    return table;
}

// Windows character sets (\fcharsetN) to their code pages. A font's character set decides how its \'hh bytes
// read; only the default set (1) leaves them to the document's \ansicpgN.
int codepageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 2: return 1252;   // symbol fonts have no code page: one byte stays one character
    case 77: return 10000; // Mac
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;  // OEM
    default: return 0;     // default: the document's code page
    }
}

// Control characters have no place in the text (a decoder's substitute is one); U+FDD0 and U+FDD1 mark frames
// inside a QTextDocument.
bool isTextChar(QChar c)
{
    return (c.unicode() >= 0x20 || c == QLatin1Char('\t')) && c.unicode() != 0xFDD0 && c.unicode() != 0xFDD1;
}

class Reader {
public:
    Reader(QByteArrayView in, QTextDocument &doc) : in_(in), doc_(doc), cursor_(&doc) {}
    RtfError run();

private:
    Group &top() { return stack_.back(); }
    RtfError controlWord();
    void word(std::string_view name, bool hasParam, long long param);
    void destWord(Word w, bool hasParam, long long param);
    void listWord(Word w, long long param);
    std::optional<QTextListFormat::Style> listStyle(const ParaProps &p) const;
    void addToList(const ParaProps &p, QTextListFormat::Style style);
    void textByte(char byte);
    void textChar(QChar c);
    void placeCellTab();
    void openGroup();
    void closeGroup();
    void flushBytes();
    void flushRun();
    void endParagraph(bool last);
    QTextCharFormat charFormat(const CharProps &p);
    QStringDecoder *decoder(int codepage);
    int currentCodepage();
    void commitFont();

    QByteArrayView in_;
    qsizetype pos_ = 0;
    QTextDocument &doc_;
    QTextCursor cursor_;
    std::vector<Group> stack_;
    bool star_ = false;      // "\*" seen: the next control word opens a destination to skip
    long long skipChars_ = 0; // fallback characters still to skip after \uN
    int ansiCodepage_ = 1252;
    int defaultFont_ = -1;

    QHash<int, Font> fonts_;
    std::vector<QColor> colours_; // index 0 is the automatic colour
    bool colourStarted_ = false;
    int red_ = 0, green_ = 0, blue_ = 0;
    int fontNo_ = -1, fontCharset_ = 1; // 1: no \fcharset given
    QByteArray fontName_;

    // Lists: the number format of each level of each list (\listid), the list each \lsN stands for, and the
    // list of the document made for each \lsN and level.
    std::unordered_map<long long, std::vector<int>> listFormats_;
    std::vector<int> levels_;            // of the \list being read
    std::unordered_map<int, long long> overrides_;
    std::optional<long long> overrideList_; // of the \listoverride being read
    int overrideNo_ = 0;
    struct TextList {
        QPointer<QTextList> list;
        int items = 0;
    };
    std::map<std::pair<int, int>, TextList> textLists_;
    // A \cell's tab waits for what follows it in the row: text, a paragraph's end or the next \cell places it
    // (placeCellTab), the end of the row drops it.
    bool cellTab_ = false;

    QByteArray bytes_; // undecoded text bytes in bytesCodepage_
    int bytesCodepage_ = 0;
    QString run_;
    CharProps runProps_;
    bool haveCached_ = false;
    CharProps cachedProps_;
    QTextCharFormat cachedFormat_;
    std::map<int, QStringDecoder> decoders_;
};

QStringDecoder *Reader::decoder(int codepage)
{
    auto it = decoders_.find(codepage);
    if (it == decoders_.end()) {
        QByteArray name = codepage == 936   ? QByteArray("GBK")
                          : codepage == 950 ? QByteArray("Big5")
                          : codepage == 932 ? QByteArray("Shift_JIS")
                          : codepage == 949 ? QByteArray("windows-949")
                          : codepage == 10000 ? QByteArray("macintosh")
                          : codepage == 437 ? QByteArray("IBM437")
                                            : "windows-" + QByteArray::number(codepage);
        it = decoders_.emplace(codepage, QStringDecoder(name.constData(), QStringDecoder::Flag::Stateless)).first;
    }
    return it->second.isValid() ? &it->second : nullptr;
}

int Reader::currentCodepage()
{
    const int font = top().chr.font;
    const auto it = fonts_.constFind(font);
    const int cp = it != fonts_.constEnd() ? it->codepage : 0;
    return cp ? cp : ansiCodepage_;
}

void Reader::flushBytes()
{
    if (bytes_.isEmpty())
        return;
    QStringDecoder *d = decoder(bytesCodepage_);
    const QString text = d ? d->decode(bytes_) : QString::fromLatin1(bytes_);
    bytes_.clear();
    for (QChar c : text)
        if (isTextChar(c))
            run_ += c;
}

QTextCharFormat Reader::charFormat(const CharProps &p)
{
    if (haveCached_ && p == cachedProps_)
        return cachedFormat_;
    QTextCharFormat f;
    f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(p.italic);
    f.setFontUnderline(p.underline);
    f.setFontStrikeOut(p.strike);
    const auto font = fonts_.constFind(p.font);
    if (font != fonts_.constEnd() && !font->name.isEmpty())
        f.setFontFamilies({font->name});
    if (p.halfPoints > 0)
        f.setFontPointSize(p.halfPoints / 2.0);
    if (p.fg >= 0 && size_t(p.fg) < colours_.size() && colours_[size_t(p.fg)].isValid())
        f.setForeground(colours_[size_t(p.fg)]);
    if (p.hl > 0 && size_t(p.hl) < colours_.size() && colours_[size_t(p.hl)].isValid())
        f.setBackground(colours_[size_t(p.hl)]);
    haveCached_ = true;
    cachedProps_ = p;
    cachedFormat_ = f;
    return f;
}

void Reader::flushRun()
{
    flushBytes();
    if (!run_.isEmpty())
        cursor_.insertText(run_, charFormat(runProps_));
    run_.clear();
}

// Text arrives under the current character properties; a change of them closes the run before.
void Reader::textChar(QChar c)
{
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    if (!isTextChar(c))
        return;
    placeCellTab();
    if (!(top().chr == runProps_))
        flushRun();
    flushBytes();
    runProps_ = top().chr;
    run_ += c;
}

void Reader::placeCellTab()
{
    if (std::exchange(cellTab_, false))
        textChar(QLatin1Char('\t'));
}

void Reader::textByte(char byte)
{
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    placeCellTab();
    const int cp = currentCodepage();
    if (!(top().chr == runProps_) || cp != bytesCodepage_) {
        if (!(top().chr == runProps_))
            flushRun();
        else
            flushBytes();
        runProps_ = top().chr;
        bytesCodepage_ = cp;
    }
    bytes_ += byte;
}

void Reader::endParagraph(bool last)
{
    placeCellTab();
    flushRun();
    const ParaProps &p = top().para;
    const std::optional<QTextListFormat::Style> style = listStyle(p);
    QTextBlockFormat f;
    f.setAlignment(p.align);
    // A list item's indents are its list's: the marker hangs in them.
    if (!style) {
        f.setTextIndent(p.firstIndent / kTwipsPerPixel);
        f.setLeftMargin(p.leftIndent / kTwipsPerPixel);
    }
    f.setRightMargin(p.rightIndent / kTwipsPerPixel);
    cursor_.setBlockFormat(f);
    if (style)
        addToList(p, *style);
    if (!last)
        cursor_.insertBlock(f, charFormat(top().chr));
}

// The list style of a paragraph, none outside lists and in a list without numbers (\levelnfc255).
std::optional<QTextListFormat::Style> Reader::listStyle(const ParaProps &p) const
{
    if (p.list == 0)
        return std::nullopt;
    int nfc = kNfcBullet; // a list the document does not describe
    if (const auto o = overrides_.find(p.list); o != overrides_.end()) {
        const auto l = listFormats_.find(o->second);
        if (l != listFormats_.end() && size_t(p.level) < l->second.size())
            nfc = l->second[size_t(p.level)];
    }
    static constexpr QTextListFormat::Style kBullets[3] = {QTextListFormat::ListDisc, QTextListFormat::ListCircle,
                                                           QTextListFormat::ListSquare};
    switch (nfc) {
    case 255: return std::nullopt;
    case kNfcBullet: return kBullets[p.level % 3];
    case kNfcUpperRoman: return QTextListFormat::ListUpperRoman;
    case kNfcLowerRoman: return QTextListFormat::ListLowerRoman;
    case kNfcUpperAlpha: return QTextListFormat::ListUpperAlpha;
    case kNfcLowerAlpha: return QTextListFormat::ListLowerAlpha;
    default: return QTextListFormat::ListDecimal; // every other numbering counts in digits
    }
}

// The paragraphs of one \lsN at one level form one list of the document, numbered through whatever lies between
// them; a bulleted one is built in parts of kMaxBulletItems.
void Reader::addToList(const ParaProps &p, QTextListFormat::Style style)
{
    TextList &t = textLists_[{p.list, p.level}];
    const bool numbered = style != QTextListFormat::ListDisc && style != QTextListFormat::ListCircle &&
                          style != QTextListFormat::ListSquare;
    if (t.list && (numbered || t.items < kMaxBulletItems)) {
        t.list->add(cursor_.block());
        ++t.items;
        return;
    }
    QTextListFormat f;
    f.setStyle(style);
    f.setIndent(p.level + 1);
    t.list = cursor_.createList(f);
    t.items = 1;
}

void Reader::openGroup()
{
    stack_.push_back(stack_.empty() ? Group{} : stack_.back());
    skipChars_ = 0;
}

void Reader::closeGroup()
{
    if (top().dest == Dest::FontTable && (fontNo_ >= 0 || !fontName_.isEmpty()))
        commitFont();
    const Dest dest = top().dest;
    stack_.pop_back();
    skipChars_ = 0;
    if (!stack_.empty() && dest == Dest::ColorTable && top().dest != Dest::ColorTable)
        colourStarted_ = false;
}

void Reader::commitFont()
{
    Font f;
    const int cp = codepageOfCharset(fontCharset_);
    f.codepage = cp;
    QStringDecoder *d = decoder(cp ? cp : ansiCodepage_);
    f.name = (d ? d->decode(fontName_) : QString::fromLatin1(fontName_)).trimmed();
    if (fontNo_ >= 0)
        fonts_.insert(fontNo_, f);
    fontNo_ = -1;
    fontCharset_ = 1;
    fontName_.clear();
}

// Inside the list table and the list override table: the number format of every level of every list, and the
// list each \lsN stands for.
void Reader::listWord(Word w, long long param)
{
    if (top().dest == Dest::ListTable) {
        if (w == Word::List)
            levels_.clear();
        else if (w == Word::ListLevel && levels_.size() <= kMaxListLevel)
            levels_.push_back(kNfcDecimal);
        else if (w == Word::LevelNfc && !levels_.empty())
            levels_.back() = int(param);
        else if (w == Word::ListId)
            listFormats_[param] = levels_;
        return;
    }
    if (w == Word::ListOverride) {
        overrideList_.reset();
        overrideNo_ = 0;
        return;
    }
    if (w == Word::ListId)
        overrideList_ = param;
    else if (w == Word::ListNo)
        overrideNo_ = int(param);
    if (overrideList_ && overrideNo_ > 0)
        overrides_[overrideNo_] = *overrideList_;
}

void Reader::destWord(Word w, bool hasParam, long long param)
{
    Group &g = top();
    if (g.dest == Dest::ListTable || g.dest == Dest::ListOverrides) {
        listWord(w, param);
        return;
    }
    if (g.dest == Dest::FontTable) {
        if (w == Word::FontNo)
            fontNo_ = int(param);
        else if (w == Word::FontCharset)
            fontCharset_ = int(param);
        return;
    }
    if (g.dest != Dest::ColorTable)
        return;
    const int v = int(std::clamp<long long>(param, 0, 255));
    if (w == Word::Red || w == Word::Green || w == Word::Blue) {
        colourStarted_ = true;
        (w == Word::Red ? red_ : w == Word::Green ? green_ : blue_) = hasParam ? v : 0;
    }
}

void Reader::word(std::string_view name, bool hasParam, long long param)
{
    const auto &table = wordTable();
    const auto it = table.find(name);
    const bool star = std::exchange(star_, false);
    if (it == table.end()) {
        if (star)
            top().dest = Dest::Skip;
        return;
    }
    const Word w = it->second.word;
    Group &g = top();
    if (w == Word::ListTable || w == Word::ListOverrideTable) {
        g.dest = w == Word::ListTable ? Dest::ListTable : Dest::ListOverrides;
        return;
    }
    if (w == Word::SkipDest || star) {
        g.dest = Dest::Skip;
        return;
    }
    if (w == Word::FontTable) {
        g.dest = Dest::FontTable;
        return;
    }
    if (w == Word::ColorTable) {
        g.dest = Dest::ColorTable;
        colours_.clear();
        colourStarted_ = false;
        red_ = green_ = blue_ = 0;
        return;
    }
    if (g.dest != Dest::Text) {
        destWord(w, hasParam, param);
        return;
    }
    const bool on = !hasParam || param != 0;
    const int value = int(param);
    if (skipChars_ > 0 && w != Word::Uc) {
        --skipChars_; // a control word stands for one fallback character
        return;
    }
    switch (w) {
    case Word::AnsiCpg: if (value > 0) ansiCodepage_ = value; break;
    case Word::Deff: defaultFont_ = value; g.chr.font = value; break;
    case Word::Uc: g.uc = std::max(0, value); break;
    case Word::U: {
        const int code = value < 0 ? value + 65536 : value;
        if (code > 0 && code < 65536)
            textChar(QChar(char16_t(code)));
        skipChars_ = g.uc;
        break;
    }
    case Word::Par: endParagraph(false); break;
    case Word::Line: textChar(QChar::LineSeparator); break;
    case Word::Tab: textChar(QLatin1Char('\t')); break;
    case Word::Cell: placeCellTab(); cellTab_ = true; break;
    case Word::Row: cellTab_ = false; endParagraph(false); break;
    case Word::ListNo: g.para.list = std::max(0, value); break;
    case Word::ListLevelNo: g.para.level = std::clamp(value, 0, kMaxListLevel); break;
    case Word::Literal: textChar(QChar(it->second.literal)); break;
    case Word::Pard: g.para = ParaProps{}; break;
    case Word::Plain: g.chr = CharProps{}; g.chr.font = defaultFont_; break;
    case Word::Bold: g.chr.bold = on; break;
    case Word::Italic: g.chr.italic = on; break;
    case Word::Underline: g.chr.underline = on; break;
    case Word::UnderlineNone: g.chr.underline = false; break;
    case Word::Strike: g.chr.strike = on; break;
    case Word::FontNo: g.chr.font = value; break;
    case Word::FontSize: g.chr.halfPoints = std::clamp(value, 0, 3200); break;
    case Word::Fg: g.chr.fg = std::max(0, value); break;
    case Word::Highlight: g.chr.hl = std::max(0, value); break;
    case Word::FirstIndent: g.para.firstIndent = std::clamp(value, -31680, 31680); break;
    case Word::LeftIndent: g.para.leftIndent = std::clamp(value, 0, 31680); break;
    case Word::RightIndent: g.para.rightIndent = std::clamp(value, 0, 31680); break;
    case Word::AlignLeft: g.para.align = Qt::AlignLeft; break;
    case Word::AlignCentre: g.para.align = Qt::AlignHCenter; break;
    case Word::AlignRight: g.para.align = Qt::AlignRight; break;
    case Word::AlignJustify: g.para.align = Qt::AlignJustify; break;
    default: break;
    }
}

// At a backslash. Reads one control word or symbol and acts on it.
RtfError Reader::controlWord()
{
    const qsizetype n = in_.size();
    const char *d = in_.data();
    if (++pos_ >= n)
        return RtfError::Truncated;
    const unsigned char c = uchar(d[pos_]);
    if (!std::isalpha(c)) {
        ++pos_;
        const Dest dest = top().dest;
        switch (c) {
        case '\'': {
            int v = 0, digits = 0;
            for (; digits < 2 && pos_ < n && std::isxdigit(uchar(d[pos_])); ++digits, ++pos_)
                v = v * 16 + (std::isdigit(uchar(d[pos_])) ? d[pos_] - '0' : (std::tolower(uchar(d[pos_])) - 'a' + 10));
            if (digits == 0)
                break;
            if (dest == Dest::Text && v == '\t')
                textChar(QLatin1Char('\t'));
            else if (dest == Dest::Text && v >= 0x20)
                textByte(char(v));
            else if (dest == Dest::Text && skipChars_ > 0)
                --skipChars_; // a control byte still stands for one fallback character
            else if (dest == Dest::FontTable)
                fontName_ += char(v);
            break;
        }
        case '\\': case '{': case '}':
            if (dest == Dest::Text)
                textByte(char(c));
            else if (dest == Dest::FontTable)
                fontName_ += char(c);
            break;
        case '~': if (dest == Dest::Text) textChar(QChar(0x00A0)); break;
        case '_': if (dest == Dest::Text) textChar(QChar(0x2011)); break;
        case '*': star_ = true; break;
        case '\r': case '\n': if (dest == Dest::Text) endParagraph(false); break;
        case '\t': if (dest == Dest::Text) textChar(QLatin1Char('\t')); break;
        default: break;
        }
        return RtfError::None;
    }
    const qsizetype start = pos_;
    while (pos_ < n && std::isalpha(uchar(d[pos_])))
        ++pos_;
    const qsizetype length = pos_ - start;
    bool negative = false, hasParam = false;
    long long param = 0;
    if (pos_ < n && d[pos_] == '-' && pos_ + 1 < n && std::isdigit(uchar(d[pos_ + 1]))) {
        negative = true;
        ++pos_;
    }
    while (pos_ < n && std::isdigit(uchar(d[pos_]))) {
        hasParam = true;
        param = std::min(kMaxParameter, param * 10 + (d[pos_] - '0'));
        ++pos_;
    }
    if (negative)
        param = -param;
    if (pos_ < n && d[pos_] == ' ')
        ++pos_;
    const std::string_view name(d + start, size_t(length));
    if (name == "bin") {
        // Binary data follows: skipped byte for byte, whatever it holds.
        pos_ += qsizetype(std::clamp<long long>(param, 0, n - pos_));
        return RtfError::None;
    }
    if (length > kMaxWordLength) {
        star_ = false;
        return RtfError::None;
    }
    if (top().dest != Dest::Skip)
        word(name, hasParam, param);
    else
        star_ = false;
    return RtfError::None;
}

RtfError Reader::run()
{
    const qsizetype n = in_.size();
    const char *d = in_.data();
    // A document shown in a pane would otherwise be laid out whole, at once, when the edit block ends: with no
    // page size its layout waits, and the size set back lays it out from the top, step by step as it is shown.
    const QSizeF pageSize = doc_.pageSize();
    doc_.setPageSize(QSizeF(0, 0));
    const auto layOut = qScopeGuard([&] { doc_.setPageSize(pageSize); });
    doc_.clear();
    doc_.setUndoRedoEnabled(false);
    cursor_ = QTextCursor(&doc_);
    if (!LooksLikeRtf(in_)) {
        doc_.setUndoRedoEnabled(true);
        return RtfError::NotRtf;
    }
    pos_ = in_.indexOf('{');
    cursor_.beginEditBlock();
    RtfError result = RtfError::Truncated;
    while (pos_ < n) {
        const char c = d[pos_];
        if (c == '{') {
            if (qsizetype(stack_.size()) >= kMaxRtfDepth) {
                result = RtfError::TooDeep;
                break;
            }
            openGroup();
            star_ = false;
            ++pos_;
        } else if (c == '}') {
            ++pos_;
            if (stack_.size() == 1) {
                endParagraph(true);
                stack_.pop_back();
                result = RtfError::None;
                break;
            }
            closeGroup();
        } else if (c == '\\') {
            const RtfError e = controlWord();
            if (e != RtfError::None) {
                result = e;
                break;
            }
        } else {
            ++pos_;
            const Dest dest = top().dest;
            if (c == '\r' || c == '\n' || c == '\0')
                continue;
            if (dest == Dest::Text) {
                if (c == '\t')
                    textChar(QLatin1Char('\t'));
                else if (uchar(c) >= 0x20)
                    textByte(c);
            } else if (dest == Dest::FontTable) {
                if (c == ';')
                    commitFont();
                else
                    fontName_ += c;
            } else if (dest == Dest::ColorTable && c == ';') {
                colours_.push_back(colourStarted_ ? QColor(red_, green_, blue_) : QColor());
                colourStarted_ = false;
                red_ = green_ = blue_ = 0;
            }
        }
    }
    if (result == RtfError::Truncated || result == RtfError::TooDeep)
        flushRun();
    if (result == RtfError::None) {
        while (pos_ < n && (std::isspace(uchar(d[pos_])) || d[pos_] == '\0'))
            ++pos_;
        if (pos_ < n)
            result = RtfError::Unbalanced;
    }
    cursor_.endEditBlock();
    doc_.setUndoRedoEnabled(true);
    return result;
}

} // namespace

RtfError ReadRtf(QByteArrayView bytes, QTextDocument &doc)
{
    return Reader(bytes, doc).run();
}

bool LooksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && std::isspace(uchar(bytes[i])))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

QString RtfErrorText(RtfError error)
{
    switch (error) {
    case RtfError::None: return QString();
    case RtfError::NotRtf: return QStringLiteral("文件不是RTF格式。");
    case RtfError::Truncated: return QStringLiteral("RTF文件不完整（文件在中途结束）。");
    case RtfError::Unbalanced: return QStringLiteral("RTF文件已损坏（括号不配对）。");
    case RtfError::TooDeep: return QStringLiteral("RTF文件已损坏（嵌套层次过深）。");
    }
    return QString();
}
