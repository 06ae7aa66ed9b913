#include "TFrmMain.h"

#include <QApplication>

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(QApplication::applicationDisplayName());
    resize(400, 400);
}
