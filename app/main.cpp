#include "AppPath.h"
#include "DataFolderLock.h"
#include "DataFolderNotice.h"
#include "FontSubstitution.h"
#include "Prompts.h"
#include "QtTranslation.h"
#include "TFrmMain.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    InstallQtTranslation(); // without it the program still runs, with Qt's English buttons
    RegisterFontSubstitutions();
    // Before anything of the data folder is read or written: a second program on it ends here, touching nothing.
    DataFolderLock folderLock;
    if (folderLock.Acquire(DataPath()) == DataFolderLock::Result::InUse) {
        const QString text = DataFolderLock::InUseText(DataPath());
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); // for a start from a terminal
        Prompts::instance().error(QApplication::applicationDisplayName(), text);
        return 1;
    }
    // The data lives beside the executable, or in the user's own folder when the program folder is read-only.
    ShowDataFolderNotice(PrepareDataFolder());

    TFrmMain frmMain;
    frmMain.show();
    return app.exec();
}
