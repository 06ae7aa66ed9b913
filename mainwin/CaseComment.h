#pragma once

#include "TRecordData.h"

#include <QString>

class QTextEdit;

// The comment text stored with a case: the plain text of the comments pane, every "'" removed.
QString CommentText(const QTextEdit *pane);
