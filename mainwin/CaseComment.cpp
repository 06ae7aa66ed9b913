#include "CaseComment.h"

#include <QTextEdit>

QString CommentText(const QTextEdit *pane)
{
    // The document's plain text: soft line breaks of word wrap never enter the stored text.
    QString text = pane->toPlainText();
    text.remove(QLatin1Char('\''));
    return text;
}
