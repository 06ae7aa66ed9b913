// Reading a picture file whole or not at all: real JPEG, PNG and BMP encodings, whole and cut short.
#include "PictureFile.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Encoded(const char *format, QSize size = {300, 200})
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setPen(QPen(Qt::black, 3));
    for (int i = 0; i < 20; ++i)
        p.drawLine(i * 15, 0, size.width() - i * 15, size.height());
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

// A 4 x 2 picture of two colours in run-length coded rows (RLE8), ended by `end`.
QByteArray Rle8Bmp(const QByteArray &end)
{
    const QByteArray rows = QByteArray::fromHex("0401" "0000" "0400") + end;
    const auto le = [](quint32 v, int bytes) {
        QByteArray b;
        for (int i = 0; i < bytes; ++i)
            b += char((v >> (8 * i)) & 0xFF);
        return b;
    };
    const int offset = 14 + 40 + 8;
    QByteArray bmp = "BM" + le(offset + rows.size(), 4) + le(0, 4) + le(offset, 4);
    bmp += le(40, 4) + le(4, 4) + le(2, 4) + le(1, 2) + le(8, 2) + le(1, 4) + le(rows.size(), 4) + le(2835, 4) +
           le(2835, 4) + le(2, 4) + le(0, 4);
    bmp += QByteArray::fromHex("00000000" "ffffff00"); // black, white
    return bmp + rows;
}

// A JPEG whose metadata holds an end-of-image marker of its own, as an embedded thumbnail does.
QByteArray WithThumbnailMarker(const QByteArray &jpeg)
{
    return jpeg.left(2) + QByteArray::fromHex("ffe1000a" "4578696600" "00ffd9") + jpeg.mid(2);
}

} // namespace

TEST(PictureFileTest, WholePicturesReadAndCutOnesAreRefused)
{
    using E = PictureRead::Error;
    const QByteArray jpeg = Encoded("JPG"), png = Encoded("PNG"), bmp = Encoded("BMP");
    const QByteArray thumb = WithThumbnailMarker(jpeg);
    const struct {
        const char *name;
        QByteArray bytes;
        E error;
    } cases[] = {
        {"jpeg", jpeg, E::None},
        {"jpeg with bytes after its end", jpeg + QByteArray(100, '\0'), E::None},
        {"jpeg with a marker in its metadata", thumb, E::None},
        {"jpeg cut at 2000 bytes", jpeg.left(2000), E::Damaged},
        {"jpeg cut in half", jpeg.left(jpeg.size() / 2), E::Damaged},
        {"jpeg without its end marker", jpeg.chopped(2), E::Damaged},
        {"jpeg with a marker in its metadata, cut", thumb.left(thumb.size() / 2), E::Damaged},
        {"jpeg header only", jpeg.left(100), E::Unreadable},
        {"png", png, E::None},
        {"png cut in half", png.left(png.size() / 2), E::Unreadable},
        {"bmp", bmp, E::None},
        {"bmp short of its last row", bmp.chopped(30), E::Damaged},
        {"bmp header only", bmp.left(100), E::Damaged},
        {"run-length bmp", Rle8Bmp(QByteArray::fromHex("0000" "0001")), E::None},
        {"run-length bmp without its end", Rle8Bmp(QByteArray::fromHex("00")), E::Damaged},
        {"empty", QByteArray(), E::Unreadable},
        {"text", QByteArray("not a picture"), E::Unreadable},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath(QStringLiteral("p"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        const PictureRead read = ReadPictureFile(file);
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(read.image.isNull(), c.error != E::None);
    }
    EXPECT_EQ(ReadPictureFile(dir.filePath(QStringLiteral("missing.jpg"))).error, E::Unreadable);
}

TEST(PictureFileTest, ASideAboveTheLimitIsTooLargeWithItsSize)
{
    QTemporaryDir dir;
    for (QSize size : {QSize(kMaxPictureSide + 1, 8), QSize(8, kMaxPictureSide + 1), QSize(kMaxPictureSide, 8)}) {
        const QString file = dir.filePath(QStringLiteral("p.bmp"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(Encoded("BMP", size));
        f.close();
        const PictureRead read = ReadPictureFile(file);
        const bool fits = size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide;
        EXPECT_EQ(read.error, fits ? PictureRead::Error::None : PictureRead::Error::TooLarge) << size.width();
        EXPECT_EQ(read.size, size);
    }
}
