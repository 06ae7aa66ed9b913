// libFuzzer driver: any bytes through the RTF reader; what it reads must survive a write and a second read
// with the same text.
#include "RtfText.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTextDocument doc;
    if (ReadRtf(QByteArrayView(data, qsizetype(size)), doc) != RtfError::None)
        return 0;
    QTextDocument back;
    if (ReadRtf(WriteRtf(doc), back) != RtfError::None || back.toRawText() != doc.toRawText())
        std::abort();
    return 0;
}
