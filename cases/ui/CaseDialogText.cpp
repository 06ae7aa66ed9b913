#include "CaseDialogText.h"

#include "CleanName.h"
#include "Prompts.h"

#include <QApplication>

namespace {
// A surrogate half at an end belongs to a character: only the name rule, which sees whole characters, removes one.
bool IsBlank(QChar c) { return c.unicode() <= 0x20 || c.isSpace() || (!c.isSurrogate() && IsControlCharacter(c.unicode())); }
} // namespace

QString TrimBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from);
}

void ShowPlainMessage(const QString &text)
{
    Prompts::instance().inform(QApplication::applicationDisplayName(), text);
}
