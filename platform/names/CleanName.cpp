#include "CleanName.h"

#include <QChar>

namespace {

bool IsUnfitForFileOrList(char32_t c) { return c < 0x80 && QStringView(u"\" *<>?\\/|:'").contains(QChar(char16_t(c))); }

// Rebuilds the text without the characters `removed` picks, code point by code point: a pair of surrogates is
// one character, a surrogate half alone is one of its own.
template <typename Pred>
bool RemoveCharacters(QString &text, Pred removed)
{
    QString kept;
    kept.reserve(text.size());
    bool changed = false;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text.at(i).unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            units = 2;
        }
        if (removed(c))
            changed = true;
        else
            kept.append(text.constData() + i, units);
        i += units;
    }
    if (changed)
        text = kept;
    return changed;
}

} // namespace

bool IsControlCharacter(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

bool RemoveControlCharacters(QString &text) { return RemoveCharacters(text, IsControlCharacter); }

NameCleaning CleanTextTelling(QString &text, int maxChars)
{
    NameCleaning done;
    if (text.isEmpty()) {
        text = QStringLiteral("甲");
        done.empty = true;
        return done;
    }
    done.removed =
        RemoveCharacters(text, [](char32_t c) { return IsUnfitForFileOrList(c) || IsControlCharacter(c); });
    if (maxChars > 0) {
        qsizetype i = 0;
        for (int n = 0; n < maxChars && i < text.size(); ++n)
            i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        if (i < text.size()) {
            text.truncate(i);
            done.cut = true;
        }
    }
    if (text.isEmpty()) {
        text = QStringLiteral("甲");
        done.empty = true;
    }
    return done;
}

bool CleanText(QString &text, int maxChars) { return CleanTextTelling(text, maxChars).changed(); }

bool CleanName(QString &name) { return CleanNameTelling(name).changed(); }

NameCleaning CleanNameTelling(QString &name) { return CleanTextTelling(name, kCleanNameChars); }
