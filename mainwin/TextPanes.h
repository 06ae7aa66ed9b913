#pragma once

#include <QString>

class QFont;
class QMenu;
class QTextDocument;
class QTextEdit;

// The commands of the report pane and the comments pane: save, print, import, the font of the selection,
// and the popup menu that offers them beside the usual editing commands.
namespace TextPanes {

enum class SaveKind { Rich, Plain };

// The kind a save writes: a name ending in ".txt" or ".rtf" (any letter case) decides; a bare name takes the
// chooser's filter, the rich-text one unless "Txt" was chosen.
SaveKind SaveKindOf(const QString &chosen, const QString &selectedFilter);
// The file a save writes: the kind's extension is appended only when the name lacks it (any letter case).
QString SavePath(const QString &chosen, SaveKind kind);

// Writes the document through a temporary file: RTF, or its plain text in GBK with CRLF line ends (characters
// GBK lacks become "?"). False, with the old file as it was and the sentence for the user in `why`, when the
// file cannot be written whole.
bool SaveDocument(const QTextDocument &doc, const QString &path, SaveKind kind, QString *why = nullptr);

// Reads an RTF file, or a plain-text one (UTF-8 or GBK), into `doc`, replacing its content only when the
// whole file was read. Plain text takes `plainFont`'s family and size, black, no style. `why` receives the
// reason of a failure.
bool LoadDocument(const QString &path, QTextDocument &doc, const QFont &plainFont, QString *why = nullptr);

// "另存为": asks for a name, appends the extension, asks before replacing a file the chooser did not
// confirm, writes and says "已保存！". The pane stays rich text.
void Save(QTextEdit *pane);
// "打印": asks, runs the print dialog and prints the pane's text with an empty document title.
void Print(QTextEdit *pane);
// "导入阳宅断语": an RTF or text file replaces the pane's text; a failure leaves the pane as it was.
void Import(QTextEdit *pane);
// "设置选中文本": the font dialog for a non-empty selection, starting from its attributes.
void SetSelectionFont(QTextEdit *pane);

// The pane's popup menu, named `name`, owned by the pane and shown on its context-menu request.
QMenu *InstallPopup(QTextEdit *pane, const QString &name, bool withImport);

} // namespace TextPanes
