#include "DataFolderNotice.h"

#include "AppPath.h"
#include "Prompts.h"

#include <QApplication>
#include <QDir>

void ShowDataFolderNotice(const DataFolderSetup &setup)
{
    const QString folder = QDir::toNativeSeparators(setup.folder);
    if (!setup.ok) {
        Prompts::instance().error(QStringLiteral("错误"),
                                  QStringLiteral("无法建立数据文件夹 %1，设置和案例将无法保存！").arg(folder));
        return;
    }
    if (setup.firstUse)
        Prompts::instance().inform(QApplication::applicationDisplayName(),
                                   QStringLiteral("软件所在的文件夹 %1 不能写入，设置、案例和评语将保存在 %2。")
                                       .arg(QDir::toNativeSeparators(AppPath()), folder));
}
