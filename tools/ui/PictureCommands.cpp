#include "PictureCommands.h"

#include "FileDialogs.h"
#include "ImageFileWrite.h"
#include "PictureOutput.h"
#include "Prompts.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

bool SavePicture(const QImage &picture, const QString &title)
{
    if (picture.isNull())
        return false;
    QString filter;
    const QString chosen =
        FileDialogs::SaveFile(FileKind::Picture, title, QStringLiteral("位图 (*.bmp);;png格式 (*.png)"), &filter);
    if (chosen.isEmpty())
        return false;
    QByteArray format;
    const QString path = PictureOutput::SaveTarget(chosen, filter, &format);
    const FileWriteResult written = WriteImageFile(path, picture, format.constData());
    if (!written.ok()) {
        Prompts::instance().error(QStringLiteral("保存错误"), FileWriteText(path, written));
        return false;
    }
    Prompts::instance().inform(title, QStringLiteral("保存完成"));
    return true;
}

bool PrintPicture(const QImage &picture)
{
    if (picture.isNull())
        return false;
    if (!PictureOutput::AskToPrint())
        return false;
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!Prompts::instance().choosePrinter(QStringLiteral("打印"), printer))
        return false;
    QPainter p;
    if (!p.begin(&printer)) {
        PictureOutput::ReportPrinterFault();
        return false;
    }
    const QRect page = p.viewport();
    const double w = page.width() * 0.8;
    const double h = w * picture.height() / picture.width();
    p.drawImage(QRectF((page.width() - w) / 2, page.height() * 0.1, w, h), picture);
    if (!p.end()) {
        PictureOutput::ReportPrinterFault();
        return false;
    }
    return true;
}
