#include "PictureOutput.h"

#include "FileDialogs.h"
#include "ImageFileWrite.h"
#include "Prompts.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace PictureOutput {

QRect PrintRect(QSize picture, QSize page)
{
    if (picture.width() <= 0 || picture.height() <= 0 || page.width() <= 0 || page.height() <= 0)
        return {};
    const double ratio = double(picture.height()) / double(picture.width());
    const int limit = int(0.9 * page.height());
    int w = int(0.96 * page.width());
    int h = int(w * ratio);
    while (h >= limit && w > 10) {
        w -= 10;
        h = int(w * ratio);
    }
    if (h >= limit || h <= 0)
        return {};
    return QRect((page.width() - w) / 2, (page.height() - h) / 2, w, h);
}

void Copy(const QImage &picture)
{
    if (!picture.isNull())
        QApplication::clipboard()->setImage(picture);
}

QString SaveFilter()
{
    return QStringLiteral("bmp格式 (*.bmp);;jpg格式 (*.jpg);;png格式 (*.png)");
}

QString SaveTarget(const QString &chosen, const QString &selectedFilter, QByteArray *format)
{
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        *format = "JPG";
        return chosen;
    }
    if (suffix == QLatin1String("bmp") || suffix == QLatin1String("png")) {
        *format = suffix.toUpper().toLatin1();
        return chosen;
    }
    const QString byFilter = selectedFilter.left(3).toLower();
    const QString ext = byFilter == QLatin1String("jpg") || byFilter == QLatin1String("png") ? byFilter
                                                                                          : QStringLiteral("bmp");
    *format = ext.toUpper().toLatin1();
    return chosen + QLatin1Char('.') + ext;
}

bool Save(const QImage &picture)
{
    const QString title = QApplication::applicationDisplayName();
    if (picture.isNull()) {
        Prompts::instance().inform(title, QStringLiteral("没有可保存的图像！"));
        return false;
    }
    QString filter;
    const QString chosen = FileDialogs::SaveFile(FileKind::Picture, QStringLiteral("另存为"), SaveFilter(), &filter);
    if (chosen.isEmpty())
        return false;
    QByteArray format;
    const QString path = SaveTarget(chosen, filter, &format);
    const bool jpeg = format == "JPG";
    const QImage out = jpeg ? picture.convertToFormat(QImage::Format_RGB888) : picture.convertToFormat(QImage::Format_RGB32);
    const FileWriteResult written = WriteImageFile(path, out, format.constData(), jpeg ? 90 : -1);
    if (!written.ok()) {
        Prompts::instance().error(title, FileWriteText(path, written));
        return false;
    }
    Prompts::instance().inform(title, QStringLiteral("已保存！"));
    return true;
}

bool AskToPrint()
{
    return Prompts::instance().askYesNo(QStringLiteral("打印"), QStringLiteral("准备开始打印吗?"),
                                        Prompts::Answer::Yes, Prompts::Icon::Information);
}

void ReportPrinterFault()
{
    Prompts::instance().error(QStringLiteral("打印错误"), QStringLiteral("请检查打印机能否正常工作！"));
}

bool Print(const QImage &picture)
{
    Prompts &prompts = Prompts::instance();
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) {
        prompts.inform(QStringLiteral("打印"), QStringLiteral("没有可打印的图像！"));
        return false;
    }
    if (!AskToPrint())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!prompts.choosePrinter(QStringLiteral("打印"), printer))
        return false;
    printer.setPageOrientation(QPageLayout::Portrait);
    const QRect target = PrintRect(picture.size(), QSize(printer.width(), printer.height()));
    QPainter painter;
    if (target.isEmpty() || !painter.begin(&printer)) {
        ReportPrinterFault();
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    if (!painter.end()) {
        ReportPrinterFault();
        return false;
    }
    return true;
}

} // namespace PictureOutput
