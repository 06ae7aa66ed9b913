#include "ReportSpans.h"

#include "WinColor.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

QStringList ReportParagraphs(const QString &text)
{
    QStringList out;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out.append(line);
            line.clear();
        } else {
            line += c;
        }
    }
    out.append(line);
    return out;
}

QStringList ReportSpans::Paragraphs() const
{
    QStringList out;
    for (const ReportPiece &p : items)
        out.append(ReportParagraphs(p.text));
    return out;
}

QString ReportSpans::PlainText() const { return Paragraphs().join(QStringLiteral("\r\n")); }

void WriteReportDocument(QTextDocument &doc, const ReportSpans &pieces, int indentPoints)
{
    doc.clear();
    // The pane's own size: a font given in pixels has no point size, so fall back to the application default.
    QFont font = doc.defaultFont();
    qreal size = font.pointSizeF();
    if (size <= 0)
        size = QFont().pointSizeF();

    QTextBlockFormat block;
    block.setAlignment(Qt::AlignLeft);
    // Document indents are in layout pixels (96 per inch), the setting in points.
    block.setTextIndent(indentPoints * 96.0 / 72.0);

    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    bool first = true;
    for (const ReportPiece &p : pieces.items) {
        QTextCharFormat chars;
        chars.setFontPointSize(size);
        chars.setForeground(WinColorToQColor(p.colour));
        chars.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
        chars.setFontItalic(false);
        chars.setFontUnderline(false);
        if (p.fixedPitch) {
            // Box-drawing lines and full-width digits are one Chinese character wide, a blank half of one, in
            // these fonts; the pane's own font may not keep those proportions.
            chars.setFontFamilies({QStringLiteral("NSimSun"), QStringLiteral("Noto Sans Mono CJK SC"),
                                   QStringLiteral("AR PL UMing CN"), QStringLiteral("monospace")});
            chars.setFontFixedPitch(true);
            chars.setFontStyleHint(QFont::TypeWriter);
        }
        for (const QString &line : ReportParagraphs(p.text)) {
            if (first) {
                cursor.setBlockFormat(block);
                cursor.setBlockCharFormat(chars);
                first = false;
            } else {
                cursor.insertBlock(block, chars);
            }
            cursor.insertText(line, chars);
        }
    }
    cursor.endEditBlock();
}
