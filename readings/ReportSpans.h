#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QTextDocument;

// The written reading as a list of pieces, each added to the report as the lines of a pane are: its text,
// whose "\r\n" and "\n" both end a paragraph, in one colour (Windows 0x00BBGGRR) and weight. Every piece ends
// its last paragraph, so a piece ending in a line break leaves an empty line after it.
struct ReportPiece {
    QString text;
    uint32_t colour = 0;
    bool bold = false;
    bool fixedPitch = false; // a text grid: drawn in a font whose blank is half a Chinese character wide
};

class ReportSpans {
public:
    static constexpr uint32_t kBlack = 0x000000;
    static constexpr uint32_t kBlue = 0xFF0000;
    static constexpr uint32_t kRed = 0x0000FF;

    void Add(const QString &text, uint32_t colour = kBlack, bool bold = false)
    {
        items.push_back({text, colour, bold});
    }
    // A text grid whose columns line up only when every character has its fixed share of the width.
    void AddGrid(const QString &text) { items.push_back({text, kBlack, false, true}); }
    void Clear() { items.clear(); }

    // Every paragraph of every piece, in order.
    QStringList Paragraphs() const;
    // The whole report as plain text, paragraphs separated by "\r\n".
    QString PlainText() const;

    std::vector<ReportPiece> items;
};

// The paragraphs of one text: split at "\r\n" and at a lone "\n" (or "\r").
QStringList ReportParagraphs(const QString &text);

// Clears the document and writes the pieces: every character in the document's default font size with its
// piece's colour and weight, every paragraph left-aligned with a first-line indent of indentPoints points.
void WriteReportDocument(QTextDocument &doc, const ReportSpans &pieces, int indentPoints);
