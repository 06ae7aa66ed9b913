#include "PictureFile.h"

#include "FileRead.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cstdlib>

namespace {

quint32 Le16(QByteArrayView d, qsizetype i) { return quint8(d[i]) | quint32(quint8(d[i + 1])) << 8; }
quint32 Le32(QByteArrayView d, qsizetype i) { return Le16(d, i) | Le16(d, i + 2) << 16; }

bool IsRestart(quint8 marker) { return marker >= 0xD0 && marker <= 0xD7; }

// The entropy-coded data of a scan runs up to the first marker that is neither a stuffed 0xFF (FF 00) nor a
// restart marker. Returns that marker's position, or −1 when the data ends first.
qsizetype ScanEnd(QByteArrayView d, qsizetype i)
{
    for (;;) {
        i = d.indexOf('\xFF', i);
        if (i < 0 || i + 1 >= d.size())
            return -1;
        const quint8 next = quint8(d[i + 1]);
        if (next != 0x00 && !IsRestart(next))
            return i;
        i += 2;
    }
}

// A JPEG is whole when its segments and scans lead, marker by marker, to the end-of-image marker.
bool JpegComplete(QByteArrayView d)
{
    qsizetype i = 2; // after the start-of-image marker
    while (i < d.size()) {
        if (quint8(d[i]) != 0xFF) { // stray bytes between segments are skipped, as decoders do
            ++i;
            continue;
        }
        while (i < d.size() && quint8(d[i]) == 0xFF) // fill bytes
            ++i;
        if (i >= d.size())
            return false;
        const quint8 marker = quint8(d[i++]);
        if (marker == 0xD9)
            return true;
        if (marker == 0x00 || marker == 0x01 || IsRestart(marker)) // no length follows these
            continue;
        if (i + 2 > d.size())
            return false;
        const qsizetype length = qsizetype(quint8(d[i])) << 8 | quint8(d[i + 1]);
        if (length < 2 || i + length > d.size())
            return false;
        i += length;
        if (marker == 0xDA && (i = ScanEnd(d, i)) < 0) // start of scan: its coded data follows the header
            return false;
    }
    return false;
}

// Run-length coded rows (RLE8, or RLE4 with two pixels a byte) are whole when they reach the end-of-bitmap code.
bool RleComplete(QByteArrayView d, bool fourBits)
{
    qsizetype i = 0;
    while (i + 1 < d.size()) {
        const quint8 count = quint8(d[i]), code = quint8(d[i + 1]);
        i += 2;
        if (count > 0 || code == 0) // a run of one value, or the end of a row
            continue;
        if (code == 1) // end of bitmap
            return true;
        if (code == 2) { // a jump: two offset bytes
            i += 2;
            continue;
        }
        const qsizetype bytes = fourBits ? (code + 1) / 2 : code; // `code` literal pixels, padded to a word
        i += bytes + (bytes & 1);
    }
    return false;
}

// A BMP is whole when the file holds every row of its pixels after their offset.
bool BmpComplete(QByteArrayView d)
{
    if (d.size() < 26)
        return false;
    const qint64 offset = Le32(d, 10);
    const quint32 header = Le32(d, 14);
    qint64 width = 0, height = 0;
    quint32 bits = 0, compression = 0;
    if (header == 12) { // the old core header: 16-bit sizes
        width = Le16(d, 18);
        height = Le16(d, 20);
        bits = Le16(d, 24);
    } else {
        if (d.size() < 34)
            return false;
        width = qint32(Le32(d, 18));
        height = std::abs(qint64(qint32(Le32(d, 22)))); // negative: rows from the top
        bits = Le16(d, 28);
        compression = Le32(d, 30);
    }
    if (offset > d.size())
        return false;
    switch (compression) {
    case 1: // RLE8
    case 2: // RLE4
        return RleComplete(d.sliced(offset), compression == 2);
    case 0: // plain rows
    case 3: // plain rows with bit-field masks
    case 6: {
        const qint64 row = (width * bits + 31) / 32 * 4;
        return width >= 0 && (height == 0 || row <= (d.size() - offset) / height);
    }
    default: // an embedded JPEG or PNG: its reader judges it
        return true;
    }
}

bool Oversized(QSize size) { return size.width() > kMaxPictureSide || size.height() > kMaxPictureSide; }

} // namespace

bool PictureDataComplete(QByteArrayView data)
{
    if (data.startsWith("\xFF\xD8"))
        return JpegComplete(data);
    if (data.startsWith("BM"))
        return BmpComplete(data);
    return true;
}

PictureRead ReadPictureFile(const QString &file)
{
    PictureRead r;
    r.error = PictureRead::Error::Unreadable;
    QFile f;
    if (!OpenRegularFile(f, file) || f.size() == 0)
        return r;
    // The file is read once: mapped where it can be (a large plan's bytes are then not copied), else read whole.
    // The decoder and the completeness check both work on those bytes.
    const uchar *mapped = f.map(0, f.size());
    QBuffer buffer;
    buffer.setData(mapped ? QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), f.size()) : f.readAll());
    buffer.open(QIODevice::ReadOnly);
    QImageReader::setAllocationLimit(kReadLimitMB);
    QImageReader reader(&buffer); // the format from the content: a photograph misnamed .jpg still opens
    reader.setAutoTransform(true);
    r.size = reader.size();
    if (r.size.isValid() && Oversized(r.size)) {
        r.error = PictureRead::Error::TooLarge;
        return r;
    }
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return r;
    if (Oversized(image.size())) { // a format that gives its size only with its pixels
        r.size = image.size();
        r.error = PictureRead::Error::TooLarge;
        return r;
    }
    if (!PictureDataComplete(buffer.data())) {
        r.error = PictureRead::Error::Damaged;
        return r;
    }
    r.image = std::move(image);
    r.size = r.image.size();
    r.error = PictureRead::Error::None;
    return r;
}
