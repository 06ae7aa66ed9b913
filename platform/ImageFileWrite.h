#pragma once

#include "FileWrite.h"

class QImage;

// A picture written through the one file routine: encoded in memory in a format of QImageWriter ("BMP", "JPG")
// with a quality (-1 the format's default), then written whole or not at all.
FileWriteResult WriteImageFile(const QString &path, const QImage &image, const char *format, int quality = -1);
