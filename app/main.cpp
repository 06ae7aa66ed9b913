#include "DataFolderLock.h"
#include "DataFolderNotice.h"
#include "FontSubstitution.h"
#include "QtTranslation.h"
#include "TFrmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    InstallQtTranslation(); // without it the program still runs, with Qt's English buttons
    RegisterFontSubstitutions();
    // The data lives beside the executable, or in the user's own folder when the program folder is read-only.
    // Its lock comes before anything of it is read or written: a start that cannot have the folder ends here,
    // touching nothing.
    DataFolderLock folderLock;
    if (!OpenDataFolder(folderLock))
        return 1;

    TFrmMain frmMain;
    frmMain.show();
    return app.exec();
}
