// Writing a file whole: the name is replaced, a link there is never written through, permissions are kept, and a
// failed write leaves no temporary behind.
#include "FileBytes.h"
#include "FileWrite.h"
#include "TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir, outside;
    QString at(const QString &name) const { return dir.filePath(name); }
};

TEST_F(FilesTest, WriteWholeFileReplacesTheNameAndNeverWritesThroughALink)
{
    WriteBytes(outside.filePath("target.ini"), "outside");
    const struct {
        const char *name;
        const char *before; // "link": a link to the outside file; nullptr: no file
        mode_t mode;        // the permissions the file had, kept
    } rows[] = {
        {"new.ini", nullptr, 0},
        {"old.ini", "old", 0600},
        {"shared.ini", "old", 0664},
        {"linked.ini", "link", 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = at(row.name);
        if (row.before && QByteArray(row.before) == "link") {
            ASSERT_TRUE(QFile::link(outside.filePath("target.ini"), path));
        } else if (row.before) {
            WriteBytes(path, row.before);
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), row.mode), 0);
        }
        ASSERT_TRUE(WriteWholeFile(path, "new").ok());
        EXPECT_EQ(ReadBytes(path), "new");
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        if (row.mode)
            EXPECT_EQ(st.st_mode & 0777, row.mode);
    }
    EXPECT_EQ(ReadBytes(outside.filePath("target.ini")), "outside");
    // A failed write leaves neither the target changed nor a temporary behind.
    ASSERT_TRUE(QDir().mkpath(at("folder.ini")));
    const FileWriteResult failed = WriteWholeFile(at("folder.ini"), "x");
    EXPECT_EQ(failed.error, FileWriteError::Replace);
    EXPECT_FALSE(WriteWholeFile(at("missing/x.ini"), "x").ok());
    for (const QString &n : QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        EXPECT_FALSE(IsTemporaryName(n)) << n.toStdString();
}

} // namespace
