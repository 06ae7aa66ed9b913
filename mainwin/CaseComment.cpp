#include "CaseComment.h"

#include "MRecordBase.h"

#include <QFileInfo>
#include <QTextEdit>

QString CommentText(const QTextEdit *pane)
{
    // The document's plain text: soft line breaks of word wrap never enter the stored text.
    QString text = pane->toPlainText();
    text.remove(QLatin1Char('\''));
    return text;
}

QString CommentFileName(const TRecordData &rec, const QString &appFolder)
{
    const QString base = QString::asprintf("%s_%04d%02d%02d%02d%02d", rec.name.toUtf8().constData(), rec.date.year,
                                           rec.date.month, rec.date.day, rec.date.hour, rec.date.minute);
    const QString folder = appFolder + QLatin1String(DbBaseName) + QStringLiteral("_f/");
    QString candidate = base;
    for (int n = 0; QFileInfo::exists(folder + candidate + QStringLiteral(".rtf")); ++n)
        candidate = base + QStringLiteral("_%1").arg(n);
    return candidate;
}
