#include "AppPath.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(AppPath, IsTheExecutableFolderUnlessSetForATest)
{
    const QString exeFolder = QFileInfo("/proc/self/exe").canonicalPath() + "/";
    EXPECT_EQ(AppPath(), exeFolder);

    QTemporaryDir program;
    SetAppPath(program.path());
    EXPECT_EQ(AppPath(), program.path() + "/");
    ASSERT_TRUE(MakeProgramFolders());
    for (const char *sub : {"dat", "Quorin_f", "picTemp", "compass", "skins"})
        EXPECT_TRUE(QFileInfo(program.filePath(sub)).isDir()) << sub;
    EXPECT_TRUE(MakeProgramFolders()); // existing folders are fine

    SetAppPath(QString());
    EXPECT_EQ(AppPath(), exeFolder);
}

TEST(AppPath, ReportsAFolderThatCannotBeMade)
{
    QTemporaryDir program;
    QFile blocker(program.filePath("dat"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    SetAppPath(program.path());
    EXPECT_FALSE(MakeProgramFolders());
    EXPECT_TRUE(QFileInfo(program.filePath("skins")).isDir()); // the others are still made
    SetAppPath(QString());
}
