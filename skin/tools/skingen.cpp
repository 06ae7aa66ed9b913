// skingen OUTPUT_FOLDER: writes one folder per shipped skin (its ini and pictures) under OUTPUT_FOLDER.
#include "FileWrite.h"
#include "SkinGenerator.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("用法：skingen 输出文件夹\n", stderr);
        return 1;
    }
    for (const SkinTheme &theme : ShippedSkinThemes()) {
        const QDir dir(QDir(QString::fromLocal8Bit(argv[1])).filePath(theme.name));
        QDir(dir).removeRecursively();
        if (!QDir().mkpath(dir.path()))
            return 1;
        for (const SkinMember &m : GenerateSkin(theme)) {
            const FileWriteResult written = WriteWholeFile(dir.filePath(m.name), m.bytes);
            if (!written.ok()) {
                std::fputs((FileWriteText(dir.filePath(m.name), written) + u'\n').toUtf8().constData(), stderr);
                return 1;
            }
        }
    }
    return 0;
}
