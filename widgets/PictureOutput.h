#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QImage;

// Copy, save and print of the window's pictures (the chart, the floor plan, the compass photograph).
namespace PictureOutput {

// Where a picture is printed on a page (device units): 96 % of the page width, narrowed in steps of 10 until
// its height is below 90 % of the page height, centred. Empty for an empty picture or page.
QRect PrintRect(QSize picture, QSize page);

// The picture to the clipboard.
void Copy(const QImage &picture);
// Asks for a file and saves the picture as .bmp, .jpg or .png (SaveTarget), then "已保存！". False when
// cancelled or refused, or when the file cannot be written whole (with a message; an old file of that name stays
// as it was).
bool Save(const QImage &picture);
// The save dialogs' filter: bmp, jpg and png, each under a name that begins with its extension.
QString SaveFilter();
// The file a chosen name is saved to and its format for QImage ("BMP", "JPG" or "PNG"): a name that ends in
// .bmp, .jpg, .jpeg or .png keeps it; another gets the extension of the chosen filter, .bmp without one.
QString SaveTarget(const QString &chosen, const QString &selectedFilter, QByteArray *format);
// The question every print command asks first ("准备开始打印吗?"); true when the user goes on.
bool AskToPrint();
// The message for a printer that could not start or finish the page.
void ReportPrinterFault();
// Asks, runs the print dialog and prints the picture on one portrait page. An empty picture is refused.
bool Print(const QImage &picture);

} // namespace PictureOutput
