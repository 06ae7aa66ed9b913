#include "TFrmMain.h"

#include <QApplication>
#include <QDir>
#include <QFont>

namespace {

// The program folder holds its data beside the executable, as the Windows program did.
void makeProgramFolders()
{
    const QString app = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const char *sub : {"dat", "Quorin_f", "picTemp", "compass", "skins"})
        QDir().mkpath(app + QLatin1String(sub));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    makeProgramFolders();

    TFrmMain frmMain;
    frmMain.show();
    return app.exec();
}
