#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

// Rich text as RTF, the format of saved reports and of each case's comments, over QTextDocument. No widgets:
// the case files use it without a window.
//
// Reading takes what rich-edit programs and word processors write: text bytes in the character set of their font
// (\fcharset0 Windows-1252, 134 GBK, the others by their code page; the document's \ansicpgN for a font that
// names none and for text outside any font), \uN with its \ucN fallback characters, paragraphs, tabs, line
// breaks, bold, italic, underline, strike-out, font and size, the colour table for text and highlight,
// first-line, left and right indents and alignment, lists (\lsN and \ilvlN with the list tables) as list items,
// and table rows as paragraphs with their cells apart by tabs. Destinations that are not shown (\*, pictures,
// style sheet, document information, field instructions, headers, the {\listtext} copies of list markers) are
// skipped with their content; the text around them stays. Unknown control words are ignored.
//
// Units: \fsN is in half points; indents are in twips, 15 twips to a document pixel (96 pixels an inch).

enum class RtfError {
    None,
    NotRtf,     // does not begin with "{\rtf"
    Truncated,  // the input ends inside a group
    Unbalanced, // text follows the closing brace of the document
    TooDeep,    // groups nested deeper than kMaxRtfDepth
};

// Nesting the reader accepts; its memory grows with the depth, never its stack.
inline constexpr int kMaxRtfDepth = 200000;

// Replaces the content of `doc` by the RTF in `bytes`. On failure `doc` holds what was read before the fault:
// read into a scratch document when the old content must survive a failure. Runs in time linear in the input
// whatever it holds, but for a numbered list, which costs the square of its number of items (Qt marks every
// item of a list changed when one is added, and numbers cannot go on across lists). Leaves the undo stack of
// `doc` empty. A document shown in a pane is laid out afterwards from the top as it is shown, not whole at once.
RtfError ReadRtf(QByteArrayView bytes, QTextDocument &doc);

// Whether `bytes` begin like an RTF document (blanks and a UTF-8 byte-order mark allowed before "{\rtf").
bool LooksLikeRtf(QByteArrayView bytes);

// The document as RTF that rich-edit programs and word processors open with the same text: \ansicpg936, a font
// table (\fcharset134), a colour table, characters GBK holds as \'hh and every other one as \uN? (\uc1), list
// items with the list tables and their markers again as {\listtext} for programs without lists. Paragraphs end
// in CRLF; the last one has no \par.
QByteArray WriteRtf(const QTextDocument &doc);

// A Chinese sentence describing `error` for a message box.
QString RtfErrorText(RtfError error);
