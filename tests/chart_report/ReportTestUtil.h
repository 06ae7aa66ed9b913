#pragma once

#include "ChartTestUtil.h"
#include "MQuorin.h"
#include "ReportNames.h"
#include "ReportSpans.h"

#include <QStringList>
#include <algorithm>
#include <ostream>
#include <QTextDocument>

#include <gtest/gtest.h>

using report::U;

inline QString Q(const char *utf8) { return QString::fromUtf8(utf8); }

// The paragraphs of the pane after a lay-out or a view command.
inline QStringList PaneLines(MQuorin &q) { return ReportParagraphs(q.ReportDocument()->toPlainText()); }

// Whether some paragraph equals line exactly.
inline bool HasLine(const QStringList &lines, const QString &line) { return lines.contains(line); }
// Whether some paragraph starts with head.
inline bool HasLineStarting(const QStringList &lines, const QString &head)
{
    return std::ranges::any_of(lines, [&](const QString &l) { return l.startsWith(head); });
}

// The paragraphs from the one equal to first up to (not including) the first one after it that starts with
// stop; empty when first is missing.
inline QStringList Section(const QStringList &lines, const QString &first, const QString &stop)
{
    const qsizetype b = lines.indexOf(first);
    if (b < 0)
        return {};
    qsizetype e = b + 1;
    while (e < lines.size() && !lines[e].startsWith(stop))
        ++e;
    return lines.mid(b, e - b);
}

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE
