#pragma once

#include <QString>

class QTextDocument;

// A case's comment file (.rtf) read and written as a document. Needs QtGui, not widgets.

// Replaces doc's content by the file's. A file that is not RTF is read as plain text (UTF-8, else GBK). False,
// with doc untouched, when the file cannot be read, is empty or is damaged RTF.
bool LoadCommentFile(const QString &path, QTextDocument &doc);

// The file's plain text, as the searches look in it; empty when it cannot be read.
QString CommentFileText(const QString &path);

// Writes doc as RTF through a temporary file renamed over path; false with a Chinese sentence in error.
bool SaveCommentFile(const QString &path, const QTextDocument &doc, QString *error = nullptr);
