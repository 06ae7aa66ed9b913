#include "AppPath.h"
#include "DataFolderLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

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

namespace {

// A program folder shipping dat/set.ini, and a user data folder of its own (XDG_DATA_HOME).
struct TwoFolders {
    QTemporaryDir program, home;
    TwoFolders()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Quorin"));
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        QDir(program.path()).mkpath(QStringLiteral("dat"));
        QFile shipped(program.filePath("dat/set.ini"));
        shipped.open(QIODevice::WriteOnly);
        shipped.write("[set]\nfJian=4.5\n");
        shipped.close();
        shipped.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        SetAppPath(program.path());
    }
    ~TwoFolders()
    {
        SetAppPath(QString());
        SetProgramFolderWritable(std::nullopt);
        qunsetenv("XDG_DATA_HOME");
    }
    QString user() const { return home.path() + QStringLiteral("/Quorin/"); }
};

QByteArray contentOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(DataPath, IsTheProgramFolderWhenWritableElseTheUsersFolderWithTheShippedDefaults)
{
    for (const bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "writable" : "read-only");
        TwoFolders f;
        SetProgramFolderWritable(writable);
        // An earlier install's case files beside its case file: they go with it into the user's folder, once.
        QDir(f.program.path()).mkpath(QStringLiteral("Quorin_f"));
        for (const char *name : {"Quorin_f/王_198005060708.rtf", "Quorin_f/王_198005060708.BMP", "Quorin_f/notes.txt"}) {
            QFile old(f.program.filePath(QString::fromUtf8(name)));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write(name);
        }
        // Each start takes the data folder's lock (which makes its dat/) before it prepares the folder.
        DataFolderLock lock;
        ASSERT_EQ(lock.Acquire(DataPath()), DataFolderLock::Result::Held);
        const DataFolderSetup first = PrepareDataFolder();
        EXPECT_TRUE(first.ok);
        EXPECT_EQ(first.inUserFolder, !writable);
        EXPECT_EQ(first.firstUse, !writable);
        EXPECT_EQ(DataPath(), writable ? AppPath() : f.user());
        EXPECT_EQ(first.folder, DataPath());
        for (const char *sub : {"dat", "Quorin_f", "picTemp"})
            EXPECT_TRUE(QFileInfo(DataPath() + sub).isDir()) << sub;
        // Nothing is made in a read-only program folder.
        EXPECT_EQ(QFileInfo::exists(f.program.filePath("picTemp")), writable);
        if (writable)
            continue;

        const QString copy = f.user() + QStringLiteral("dat/set.ini");
        EXPECT_EQ(contentOf(copy), QByteArray("[set]\nfJian=4.5\n"));
        EXPECT_TRUE(QFileInfo(copy).permissions() & QFile::WriteOwner);
        QFile edited(copy);
        ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
        edited.write("[set]\nfJian=2\n");
        edited.close();
        const QString cases = f.user() + QStringLiteral("Quorin_f/");
        EXPECT_EQ(QDir(cases).entryList(QDir::Files, QDir::Name),
                  (QStringList{QStringLiteral("王_198005060708.BMP"), QStringLiteral("王_198005060708.rtf")}));
        EXPECT_EQ(contentOf(cases + QStringLiteral("王_198005060708.rtf")), QByteArray("Quorin_f/王_198005060708.rtf"));
        ASSERT_TRUE(QFile::remove(cases + QStringLiteral("王_198005060708.rtf"))); // the case deleted since
        ASSERT_EQ(lock.Acquire(DataPath()), DataFolderLock::Result::Held); // let go and taken again
        const DataFolderSetup again = PrepareDataFolder(); // the next start: said once, the user's file kept
        EXPECT_FALSE(again.firstUse);
        EXPECT_EQ(contentOf(copy), QByteArray("[set]\nfJian=2\n"));
        EXPECT_FALSE(QFile::exists(cases + QStringLiteral("王_198005060708.rtf")));
    }
}

TEST(DataPath, AFolderTheUserCannotWriteIsFoundWithoutBeingTold)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "an administrator may write anywhere";
    TwoFolders f;
    QFile::setPermissions(f.program.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(f.program.filePath("dat"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(DataPath(), f.user());
    QFile::setPermissions(f.program.filePath("dat"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(f.program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
