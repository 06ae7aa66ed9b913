// Writing a file whole, the program's temporaries and what a stopped program left of them, and removing a folder
// tree: no user file is taken for a temporary, and nothing is written or removed through a link.
#include "FileRemove.h"
#include "FileWrite.h"
#include "TempFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
    QTemporaryDir dir, outside;
    QString at(const QString &name) const { return dir.filePath(name); }

    static void Put(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    // Everything under a folder, links as links: name -> content (a link: "-> target").
    static QMap<QString, QByteArray> Tree(const QString &root)
    {
        QMap<QString, QByteArray> all;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo i = it.fileInfo();
            all[QDir(root).relativeFilePath(it.filePath())] =
                i.isSymLink() ? "-> " + i.symLinkTarget().toUtf8() : i.isDir() ? "/" : Read(it.filePath());
        }
        return all;
    }
};

// A program killed inside the writer, after its temporary was made: the child ends without cleaning up.
QString TemporaryOfAKilledWriter(const QString &target)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        QString temp;
        const int fd = CreateTemporaryBeside(target, temp);
        const QByteArray name = QFileInfo(temp).fileName().toUtf8();
        if (fd < 0 || ::write(fd, "half", 4) != 4 || ::write(fds[1], name.constData(), size_t(name.size())) < 0)
            ::_exit(1);
        ::_exit(0);
    }
    ::close(fds[1]);
    char buf[256];
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return n > 0 ? QString::fromUtf8(buf, int(n)) : QString();
}

TEST_F(FilesTest, TheSweepRemovesTheProgramsTemporariesAndNothingElse)
{
    // The user's own files, named like the temporaries of earlier versions or like copies people make by hand.
    const QStringList users{
        "set.ini.backup", "qrinit.ini.backup", "mine.ini.before", "张三_198005060708.rtf.backup",
        "张三_198005060708.bmp.origin", "house.jpg.backup", "set.ini.Qk3ZrW", "张三_198005060708_0.rtf.Hd8sPa",
        "set.ini", "Quorin.db", "赵伟0.rtf.part", ".hidden", "quorin-tmp-x", ".~quorin-tmp-", "~quorin-tmp-abc",
    };
    for (const QString &n : users)
        Put(at(n), "mine");
    // The writer's temporaries of killed programs, whatever their random part holds (digits too).
    QStringList killed;
    for (int i = 0; i < 40; ++i)
        killed << TemporaryOfAKilledWriter(at(i % 2 ? "set.ini" : "张三_198005060708.rtf"));
    ASSERT_EQ(QSet<QString>(killed.begin(), killed.end()).size(), 40);
    EXPECT_TRUE(std::any_of(killed.begin(), killed.end(), [](const QString &n) {
        return std::any_of(n.begin(), n.end(), [](QChar c) { return c.isDigit(); });
    }));
    // A temporary of SQLite's beside one, a link with the mark (to a file outside), and a folder with it.
    killed << QString(kTemporaryMark) + "Ab3dEf7hIj9k-journal";
    Put(at(killed.last()), "journal");
    Put(outside.filePath("kept.txt"), "outside");
    killed << QString(kTemporaryMark) + "LinkLinkLink";
    ASSERT_TRUE(QFile::link(outside.filePath("kept.txt"), at(killed.last())));
    const QString folder = QString(kTemporaryMark) + "Folder123456";
    Put(at(folder + "/inside.txt"), "inside");

    EXPECT_TRUE(RemoveStoppedWrites(dir.path()));
    for (const QString &n : users)
        EXPECT_EQ(Read(at(n)), "mine") << n.toStdString();
    for (const QString &n : killed)
        EXPECT_FALSE(QFileInfo(at(n)).exists() || QFileInfo(at(n)).isSymLink()) << n.toStdString();
    EXPECT_EQ(Read(outside.filePath("kept.txt")), "outside");
    EXPECT_EQ(Read(at(folder + "/inside.txt")), "inside");
    EXPECT_TRUE(RemoveStoppedWrites(at("no such folder")));
}

TEST_F(FilesTest, WriteWholeFileReplacesTheNameAndNeverWritesThroughALink)
{
    Put(outside.filePath("target.ini"), "outside");
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
            Put(path, row.before);
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), row.mode), 0);
        }
        ASSERT_TRUE(WriteWholeFile(path, "new").ok());
        EXPECT_EQ(Read(path), "new");
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        if (row.mode)
            EXPECT_EQ(st.st_mode & 0777, row.mode);
    }
    EXPECT_EQ(Read(outside.filePath("target.ini")), "outside");
    // A failed write leaves neither the target changed nor a temporary behind.
    ASSERT_TRUE(QDir().mkpath(at("folder.ini")));
    const FileWriteResult failed = WriteWholeFile(at("folder.ini"), "x");
    EXPECT_EQ(failed.error, FileWriteError::Replace);
    EXPECT_FALSE(WriteWholeFile(at("missing/x.ini"), "x").ok());
    for (const QString &n : QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        EXPECT_FALSE(IsTemporaryName(n)) << n.toStdString();
}

TEST_F(FilesTest, RemoveTreeRemovesLinksAsLinks)
{
    Put(outside.filePath("keep/deep/file.txt"), "outside");
    Put(outside.filePath("file.txt"), "outside");
    const QMap<QString, QByteArray> before = Tree(outside.path());
    const struct {
        const char *what;
        std::function<QString()> make; // the path to remove
    } rows[] = {
        {"a folder holding links to a folder and a file outside",
         [&] {
             Put(at("a/sub/x.bmp"), "x");
             QFile::link(outside.filePath("keep"), at("a/sub/linkdir"));
             QFile::link(outside.filePath("file.txt"), at("a/linkfile"));
             QFile::link(at("gone"), at("a/dangling"));
             return at("a");
         }},
        {"a link to a folder, itself", [&] {
             QFile::link(outside.filePath("keep"), at("b"));
             return at("b");
         }},
        {"a link to a folder, given with a slash", [&] {
             QFile::link(outside.filePath("keep"), at("c"));
             return at("c") + "/";
         }},
        {"a plain file", [&] {
             Put(at("d.txt"), "d");
             return at("d.txt");
         }},
        {"nothing", [&] { return at("none"); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const QString path = row.make();
        EXPECT_TRUE(RemoveTree(path));
        EXPECT_FALSE(QFileInfo::exists(path) || QFileInfo(path).isSymLink());
        EXPECT_EQ(Tree(outside.path()), before);
    }
}

} // namespace
