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
                                  QStringLiteral("无法建立数据文件夹：\n%1\n\n设置和案例将无法保存！").arg(folder));
        return;
    }
    if (setup.firstUse)
        Prompts::instance().inform(QApplication::applicationDisplayName(),
                                   QStringLiteral("软件所在的文件夹不能写入：\n%1\n\n设置、案例和评语将保存在：\n%2")
                                       .arg(QDir::toNativeSeparators(AppPath()), folder));
}
