#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

// Reading a picture file (floor plan, compass photograph, plan step) whole or not at all.
//
// Qt's readers hand back a truncated JPEG or BMP as a picture whose missing part is grey or black, without an
// error; such a file is refused here as damaged, by checking that its data reaches the picture's end. Other
// formats report their own damage through the reader (a PNG cut short does not decode).
//
// A picture may be at most kMaxPictureSide pixels a side: a plan that size takes 400 MB as the program holds
// it (32 bits a pixel). A larger one is refused from its header, before any pixel is decoded. The reader's
// allocation limit (kReadLimitMB) admits every picture within that side even at 64 bits a pixel, so that no
// picture the program can hold is refused as unreadable.
inline constexpr int kMaxPictureSide = 10000;
inline constexpr int kReadLimitMB = int((qint64(kMaxPictureSide) * kMaxPictureSide * 8 + (1 << 20) - 1) >> 20);

struct PictureRead {
    enum class Error {
        None,
        Unreadable, // missing, empty, not a picture, or refused by the reader
        Damaged,    // decoded, but its data stops before the picture ends
        TooLarge,   // a side above kMaxPictureSide; size holds it
    };
    QImage image; // null unless error is None
    Error error = Error::None;
    QSize size;   // the picture's size as its file gives it, when it gives one
};

// Reads the file (format from its content, camera orientation applied).
PictureRead ReadPictureFile(const QString &file);

// Whether the bytes of a JPEG reach its end-of-image marker and those of a BMP hold all its rows (or its
// run-length data's end); true for every other format.
bool PictureDataComplete(QByteArrayView data);
