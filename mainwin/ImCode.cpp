#include "ImCode.h"

#include "GbkText.h"
#include "ImCodeTable.h"

namespace {

// Latin spellings of the 24 Greek capitals of row 0xA6 (trail 0xA1..0xB8), upper-cased when written.
const char *const kGreek[24] = {"a", "b", "g", "d", "e", "z", "e", "th", "i", "k", "l", "m",
                                "n", "x", "o", "p", "r", "s", "t", "u", "ph", "kh", "ps", "o"};

bool IsAsciiAlnum(int c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

void AppendUpper(QByteArray &out, const char *text)
{
    for (; *text; ++text)
        out += Upper(*text);
}

} // namespace

QByteArray ImCode::Convert(const QByteArray &gbk, int flags) const
{
    QByteArray out;
    if (flags < 0)
        return out;
    const bool full = flags & FullSyllables;
    const bool mark = flags & MarkUnknown;
    const bool keep = flags & KeepAll;
    out.reserve(gbk.size() * 4);
    const auto *bytes = reinterpret_cast<const unsigned char *>(gbk.constData());
    const qsizetype n = gbk.size();
    for (qsizetype i = 0; i < n;) {
        const int lead = bytes[i];
        const int trail = i + 1 < n ? bytes[i + 1] : 0;
        // A double-byte character only where GBK has one; anything else is one byte, so a stray lead byte at
        // the end, or before a byte that cannot follow it, never takes its neighbour along.
        if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
            i += 2;
            if (lead == 0xA2) {
                out += ImCodeTable::kRowA2[trail - 0x40];
            } else if (lead == 0xA3) { // full-width ASCII
                const int c = trail - 0x80;
                if (c > 0x20 && c < 0x7F && (keep || IsAsciiAlnum(c)))
                    out += char(c);
            } else if (lead == 0xA6 && trail >= 0xA1 && trail <= 0xB8) {
                AppendUpper(out, kGreek[trail - 0xA1]);
            } else {
                const int syllable = lead == 0xA6 ? 0 : ImCodeTable::kIndex[(lead - 0x81) * 191 + (trail - 0x40)];
                if (syllable <= 0 || syllable >= ImCodeTable::kSyllableCount) {
                    if (mark)
                        out += '?';
                } else {
                    const char *text = ImCodeTable::kSyllables[syllable];
                    out += Upper(text[0]);
                    if (full)
                        out += text + 1;
                }
            }
        } else {
            ++i;
            if (keep || IsAsciiAlnum(lead))
                out += char(lead);
        }
        out += ' ';
    }
    return out;
}

QString ImCode::Convert(const QString &text, int flags) const
{
    return QString::fromLatin1(Convert(GbkEncode(text), flags));
}
