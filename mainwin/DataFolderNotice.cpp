#include "DataFolderNotice.h"

#include "AppPath.h"
#include "Prompts.h"

#include <QApplication>
#include <QDir>

namespace {

// What the folder that cannot be written holds, in the user's words.
QString unwritableWhat(const QString &folder)
{
    const QString sub = QDir(AppPath()).relativeFilePath(folder);
    if (sub == QLatin1String("dat"))
        return QStringLiteral("软件的设置和案例数据文件夹");
    if (sub == QLatin1String("Quorin_f"))
        return QStringLiteral("软件的评语和户型图文件夹");
    if (sub == QLatin1String("picTemp"))
        return QStringLiteral("软件的户型图临时文件夹");
    return QStringLiteral("软件所在的文件夹");
}

} // namespace

void ShowDataFolderNotice(const DataFolderSetup &setup)
{
    const QString folder = QDir::toNativeSeparators(setup.folder);
    if (!setup.ok) {
        Prompts::instance().error(QStringLiteral("错误"),
                                  QStringLiteral("无法建立数据文件夹：\n%1\n\n设置和案例将无法保存！").arg(folder));
        return;
    }
    if (setup.firstUse)
        Prompts::instance().inform(QApplication::applicationDisplayName(),
                                   QStringLiteral("%1不能写入：\n%2\n\n设置、案例和评语将保存在：\n%3")
                                       .arg(unwritableWhat(setup.unwritable),
                                            QDir::toNativeSeparators(setup.unwritable), folder));
}
