#include "CommentFile.h"

#include "CaseFiles.h"
#include "FileRead.h"
#include "GbkText.h"
#include "RtfText.h"

#include <QFile>
#include <QTextDocument>

namespace {

// A comment file is a few kilobytes; anything past this is not one and is not read into memory.
constexpr qint64 kMaxCommentFileBytes = 64 * 1024 * 1024;

// An empty file is no comment file: the program never writes one, and a name claimed for a comment file that a
// stopped program never renamed over it is one (FilePlace.h). Its row's stored comment stands for it.
bool ReadBytes(const QString &path, QByteArray &bytes)
{
    QFile f;
    if (!OpenRegularFile(f, path) || f.size() > kMaxCommentFileBytes)
        return false;
    bytes = f.readAll();
    return !bytes.isEmpty() && f.error() == QFileDevice::NoError;
}

// A file that is not RTF is taken as plain text, as a rich-text control loads one.
bool Fill(const QByteArray &bytes, QTextDocument &doc)
{
    if (!LooksLikeRtf(bytes)) {
        doc.setPlainText(DecodeUtf8OrGbk(bytes));
        return true;
    }
    return ReadRtf(bytes, doc) == RtfError::None;
}

} // namespace

bool LoadCommentFile(const QString &path, QTextDocument &doc)
{
    QByteArray bytes;
    QTextDocument scratch;
    if (!ReadBytes(path, bytes) || !Fill(bytes, scratch))
        return false;
    return Fill(bytes, doc); // read twice so that a damaged file never replaces what doc held
}

QString CommentFileText(const QString &path)
{
    QByteArray bytes;
    QTextDocument doc;
    return ReadBytes(path, bytes) && Fill(bytes, doc) ? doc.toPlainText() : QString();
}

bool SaveCommentFile(const QString &path, const QTextDocument &doc, QString *error)
{
    return SaveCaseFile(path, WriteRtf(doc), error);
}
