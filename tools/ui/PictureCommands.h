#pragma once

#include <QString>

class QImage;
class QWidget;

// The picture commands of the tool windows' popup menus; copying is PictureOutput::Copy. Saving offers a bitmap
// and PNG, and printing places the picture at a fixed share of the page, unlike the main window's pictures.
// Asks for a file name and saves the picture as a bitmap or PNG (the extension as PictureOutput::SaveTarget
// gives it); "保存完成" after, a message on failure. False when nothing was saved.
bool SavePicture(const QImage &picture, const QString &title);
// Asks "准备开始打印吗?", then the print dialog; prints the picture on one portrait page, 0.8 of the page wide,
// centred, its top at a tenth of the page. A failure is reported to the user. True when printed.
bool PrintPicture(const QImage &picture);
