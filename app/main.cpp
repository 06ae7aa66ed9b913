#include "AppPath.h"
#include "FontSubstitution.h"
#include "TFrmMain.h"

#include <QApplication>
#include <QtDebug>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    RegisterFontSubstitutions();
    // The program folder holds its data beside the executable, as the Windows program did.
    if (!MakeProgramFolders())
        qWarning().noquote() << "Cannot create the program folders under" << AppPath();

    TFrmMain frmMain;
    frmMain.show();
    return app.exec();
}
