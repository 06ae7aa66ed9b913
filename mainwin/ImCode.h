#pragma once

#include <QByteArray>
#include <QString>

// GBK text to pinyin, unit by unit, each unit followed by one blank: the case tree sorts owners by the initial
// of their surname with it.
class ImCode {
public:
    enum Flag {
        FullSyllables = 1, // "Zhang"; without it the upper-case initial "Z"
        MarkUnknown = 2,   // a double-byte character without a reading gives "?"; without it nothing
        KeepAll = 4,       // keep every single-byte and full-width character; without it ASCII letters and digits only
    };

    // gbk: GBK bytes. A negative flags value gives an empty text.
    QByteArray Convert(const QByteArray &gbk, int flags) const;
    // The text is encoded to GBK first.
    QString Convert(const QString &text, int flags) const;
};
