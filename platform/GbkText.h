#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// GBK appears only at the edges: files written by the Windows program. Everything inside is Unicode.

// GBK bytes to text; bytes that are not GBK become U+FFFD.
QString GbkDecode(QByteArrayView bytes);

// Text to GBK bytes; a character GBK cannot hold becomes "?", as the Windows conversion did.
QByteArray GbkEncode(const QString &text);

// The length of a text in GBK bytes (ASCII 1, Chinese 2), the unit the original's limits are counted in.
qsizetype GbkLength(const QString &text);

bool IsValidUtf8(QByteArrayView bytes);

// Files may come from the Windows program (GBK) or from us (UTF-8, with or without a byte-order mark):
// bytes that are valid UTF-8 are read as UTF-8, anything else as GBK.
QString DecodeUtf8OrGbk(QByteArrayView bytes);
