#include "ImageFileWrite.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

FileWriteResult WriteImageFile(const QString &path, const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (image.isNull() || !writer.write(image))
        return {FileWriteError::Content, writer.errorString()};
    return WriteWholeFile(path, bytes);
}
