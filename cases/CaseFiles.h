#pragma once

#include "TRecordData.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The files every case keeps beside the case file, in the case folder <program folder>Quorin_f/: its comments
// as <remarkFile>.rtf and, when it has one, its floor plan as <remarkFile>.bmp. remarkFile is the name stored
// with the case (TRecordData::remarkFile), without folder and extension.
//
// A name read from a case file is never trusted as a path: only a valid name (IsValidRemarkFile) becomes one.

// <appFolder>Quorin_f/ (appFolder ends in "/").
QString CaseFolder(const QString &appFolder);

// Longest name, in UTF-16 units, that a case's files may carry.
inline constexpr int kMaxRemarkFileChars = 50;

// A name that stays inside the case folder: 1..kMaxRemarkFileChars characters, not only blanks, no "/" or "\",
// no "..", no control character.
bool IsValidRemarkFile(const QString &name);

// The comment file and floor-plan file of a name; empty when the name is not valid.
QString RemarkFilePath(const QString &appFolder, const QString &remarkFile);
QString PlanFilePath(const QString &appFolder, const QString &remarkFile);

// "<name>_YYYYMMDDhhmm" from the owner's name and birth date (张三_198005060708); characters that could leave the
// folder (separators, dots, control characters) are dropped from the name.
QString RemarkBaseName(const TRecordData &rec);
// The first of the base name, then the base with "_0", "_1", ... appended, that `taken` does not hold.
QString FirstFreeRemarkName(const TRecordData &rec, const std::function<bool(const QString &)> &taken);

// Whether a case already uses the name: its .rtf or its .bmp exists in the case folder.
bool RemarkNameTaken(const QString &appFolder, const QString &name);

// A name no case uses: the base name, else the base with "_0", "_1", ... appended. Returns the full path of its
// comment file and hands the name out.
QString NewRemarkFileName(const QString &appFolder, const TRecordData &rec, QString &name);

// Gives rec a fresh name when its stored one is not valid; true when it did.
bool EnsureValidRemarkFile(const QString &appFolder, TRecordData &rec);

// Writes bytes to path through a temporary file renamed over it, making the folder when missing: a failed
// write (a full disk too) leaves the old file as it was. False with a Chinese sentence and the system's reason
// in error on failure.
bool SaveCaseFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
