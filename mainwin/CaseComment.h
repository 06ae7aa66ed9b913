#pragma once

#include "TRecordData.h"

#include <QString>

class QTextEdit;

// The comment text stored with a case: the plain text of the comments pane, every "'" removed.
QString CommentText(const QTextEdit *pane);

// A comment-file name for the record that no file in <appFolder>Quorin_f/ has yet: the owner's name and birth
// moment ("张三_198005060708"), then "_0", "_1", ... appended until the .rtf file does not exist.
QString CommentFileName(const TRecordData &rec, const QString &appFolder);
