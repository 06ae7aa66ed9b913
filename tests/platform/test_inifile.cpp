#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("set.ini"));

    void put(const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(IniFileTest, GbkFileOfTheOriginalIsReadAndWrittenBackAsUtf8)
{
    // "fname=宋体" as the Windows program wrote it, in GBK with CRLF.
    put("[font]\r\nfname=\xCB\xCE\xCC\xE5\r\nsize=12\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("font", "fname", ""), QStringLiteral("宋体"));

    ASSERT_TRUE(ini.WriteInteger("font", "size", 14));
    EXPECT_EQ(bytes(), QByteArray("[font]\r\nfname=宋体\r\nsize=14\r\n"));
    EXPECT_EQ(IniFile(path).ReadString("font", "fname", ""), QStringLiteral("宋体"));
}

TEST_F(IniFileTest, SectionsAndKeysAreFoundWhateverTheirCase)
{
    put("[Set]\nfJian=4.5\n");
    IniFile ini(path);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("set", "FJIAN", 3.0), 4.5);
    EXPECT_TRUE(ini.SectionExists("SET"));
    EXPECT_TRUE(ini.ValueExists("set", "fjian"));
    EXPECT_FALSE(ini.ValueExists("set", "fJia"));

    // Overwriting keeps the file's own spelling of section and key.
    ASSERT_TRUE(ini.WriteString("SET", "FJIAN", "3"));
    EXPECT_EQ(bytes(), QByteArray("[Set]\nfJian=3\n"));

    // Blanks around a name are not part of it, on writing or on reading.
    ASSERT_TRUE(ini.WriteString(" set ", " other ", "x"));
    EXPECT_EQ(ini.ReadString(" set", "other ", QString()), QStringLiteral("x"));
    EXPECT_EQ(ini.ReadString("set", "other", QString()), QStringLiteral("x"));
}

TEST_F(IniFileTest, WriteKeepsOtherSectionsKeysAndCommentsInOrder)
{
    put("; settings\n[a]\nx=1\n; note\ny=2\n\n[b]\nz=3\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.WriteString("a", "y", "20"));
    ASSERT_TRUE(ini.WriteString("a", "new", "n"));
    ASSERT_TRUE(ini.WriteString("c", "w", "v"));
    EXPECT_EQ(bytes(), QByteArray("; settings\n[a]\nx=1\n; note\ny=20\nnew=n\n\n[b]\nz=3\n[c]\nw=v\n"));
    EXPECT_EQ(ini.ReadSections(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(ini.ReadSection("a"), QStringList({"x", "y", "new"}));
}

TEST_F(IniFileTest, EachWriteIsOnDiskAtOnceAndSeenByOtherObjects)
{
    IniFile writer(path), reader(path);
    ASSERT_TRUE(writer.WriteBool("set", "bWuHint", false));
    EXPECT_FALSE(reader.ReadBool("set", "bWuHint", true));
    ASSERT_TRUE(writer.WriteFloat("set", "fJian", 0.1));
    EXPECT_DOUBLE_EQ(reader.ReadFloat("set", "fJian", 0), 0.1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.ini"}); // no temporary left behind
}

TEST_F(IniFileTest, ASnapshotReadsTheFileAsItWasUntilItWrites)
{
    put("[set]\nfJian=4.5\n");
    IniFile snapshot = IniFile::Snapshot(path);
    IniFile(path).WriteFloat("set", "fJian", 3);
    EXPECT_DOUBLE_EQ(snapshot.ReadFloat("set", "fJian", 0), 4.5);
    ASSERT_TRUE(snapshot.WriteInteger("set", "iTilt", 2));
    EXPECT_DOUBLE_EQ(snapshot.ReadFloat("set", "fJian", 0), 3); // its own write brings back the file
    EXPECT_EQ(snapshot.ReadInteger("set", "iTilt", 0), 2);
}

TEST_F(IniFileTest, MissingAndUnreadableFilesGiveDefaults)
{
    IniFile missing(dir.filePath("none.ini"));
    EXPECT_EQ(missing.ReadString("s", "k", "d"), "d");
    EXPECT_EQ(missing.ReadInteger("s", "k", 7), 7);
    EXPECT_FALSE(missing.SectionExists("s"));
    EXPECT_TRUE(missing.EraseSection("s"));
    EXPECT_FALSE(QFile::exists(missing.fileName()));

    // A folder where the file should be cannot be read as one.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    IniFile folder(dir.filePath("folder.ini"));
    EXPECT_EQ(folder.ReadString("s", "k", "d"), "d");
    EXPECT_FALSE(folder.WriteString("s", "k", "v"));

    // A name that is there but cannot be opened (two links naming each other) is not a missing file.
    ASSERT_TRUE(QFile::link(dir.filePath("loop-b.ini"), dir.filePath("loop-a.ini")));
    ASSERT_TRUE(QFile::link(dir.filePath("loop-a.ini"), dir.filePath("loop-b.ini")));
    IniFile loop(dir.filePath("loop-a.ini"));
    EXPECT_EQ(loop.ReadString("s", "k", "d"), "d");
    EXPECT_FALSE(loop.WriteString("s", "k", "v"));
    EXPECT_EQ(QFileInfo(dir.filePath("loop-a.ini")).symLinkTarget(), dir.filePath("loop-b.ini"));

    put("[s]\nk=5\n");
    QFile::setPermissions(path, QFileDevice::Permissions());
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with rights that read any file";
    IniFile unreadable(path);
    EXPECT_EQ(unreadable.ReadInteger("s", "k", 1), 1);
    // Writing would replace content we could not read: refused.
    EXPECT_FALSE(unreadable.WriteInteger("s", "k", 2));
    EXPECT_FALSE(unreadable.lastError().isEmpty());
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(bytes(), QByteArray("[s]\nk=5\n"));
}

// A pipe, a device or a file larger than any settings file under the file's name: read as defaults at once,
// never written over, and named by the reason the start shows.
TEST_F(IniFileTest, PipesDevicesAndOversizedFilesAreRefusedUnread)
{
    struct Row {
        const char *what;
        std::function<void(const QString &)> make;
        const char *reason; // in ReadProblem's text; empty: the file reads
    };
    // A settings file of exactly `size` bytes: its key, then a comment.
    const auto ofSize = [](qsizetype size) {
        return [size](const QString &p) {
            QFile f(p);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("[s]\nk=5\n" + QByteArray(size - 8, ';'));
        };
    };
    const Row rows[] = {
        {"a pipe", [](const QString &p) { ASSERT_EQ(mkfifo(QFile::encodeName(p).constData(), 0644), 0); }, "不是普通文件"},
        {"a link to the zero device", [](const QString &p) { ASSERT_TRUE(QFile::link("/dev/zero", p)); }, "不是普通文件"},
        {"a file one byte over the limit", ofSize(IniFile::kMaxFileBytes + 1), "太大"},
        {"a file at the limit", ofSize(IniFile::kMaxFileBytes), ""},
    };
    alarm(30); // a pipe waited on after all ends the test program instead of hanging it
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QString file = dir.filePath(QString::fromUtf8(row.what) + ".ini");
        row.make(file);
        const bool refused = *row.reason != '\0';
        const QFileInfo before(file);
        IniFile ini(file);
        EXPECT_EQ(ini.ReadInteger("s", "k", 1), refused ? 1 : 5);
        EXPECT_EQ(IniFile::Snapshot(file).ReadInteger("s", "k", 1), refused ? 1 : 5);
        const QString problem = IniFile::ReadProblem(file);
        EXPECT_EQ(problem.contains(QString::fromUtf8(row.reason)) && problem.contains(file), refused)
            << problem.toStdString();
        if (!refused)
            continue;
        EXPECT_FALSE(ini.WriteInteger("s", "k", 2));
        EXPECT_FALSE(ini.Update([&] { ini.WriteInteger("s", "k", 2); }));
        const QFileInfo after(file);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.size(), before.size());
    }
    alarm(0);
}

TEST_F(IniFileTest, ValuesWithEqualsSignsBlanksAndQuotes)
{
    put("[s]\n  a key =  x = y  z  \nq=\"  padded \"\nempty=\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("s", "a key", ""), "x = y  z");
    EXPECT_EQ(ini.ReadString("s", "q", ""), "  padded ");
    EXPECT_EQ(ini.ReadString("s", "empty", "d"), ""); // present but empty is not missing

    ASSERT_TRUE(ini.WriteString("s", "formula", "a=b c"));
    EXPECT_EQ(IniFile(path).ReadString("s", "formula", ""), "a=b c");
}

TEST_F(IniFileTest, TypedReadsFallBackOnTextsThatDoNotConvert)
{
    put("[s]\nhex=0x1F\nbare=0x\nneg=-12\nword=abc\nf=1.5e2\ncomma=1,5\nnan=nan\ntrue=true\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("s", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("s", "bare", 9), 9);
    EXPECT_EQ(ini.ReadInteger("s", "neg", 0), -12);
    EXPECT_EQ(ini.ReadInteger("s", "word", 4), 4);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("s", "f", 0), 150.0);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("s", "comma", 2.5), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("s", "nan", 2.5), 2.5);
    EXPECT_TRUE(ini.ReadBool("s", "neg", false));
    EXPECT_TRUE(ini.ReadBool("s", "true", true)); // only integers are flags
    EXPECT_FALSE(ini.ReadBool("s", "true", false));
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey)
{
    put("[a]\nx=1\n[b]\ny=2\n[A]\nz=3\n[c]\nw=4\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.EraseSection("a"));
    ASSERT_TRUE(ini.DeleteKey("c", "W"));
    EXPECT_EQ(bytes(), QByteArray("[b]\ny=2\n[c]\n"));
}

TEST_F(IniFileTest, WritesThatWouldCorruptTheFileAreRefused)
{
    put("[s]\nk=1\n");
    IniFile ini(path);
    EXPECT_FALSE(ini.WriteString("s", "k", "1\n[evil]\nx=2"));
    EXPECT_FALSE(ini.WriteString("s", "a=b", "1"));
    EXPECT_FALSE(ini.WriteString("s]", "k", "1"));
    EXPECT_FALSE(ini.WriteString("s", "", "1"));
    EXPECT_EQ(bytes(), QByteArray("[s]\nk=1\n"));
    EXPECT_FALSE(IniFile(dir.filePath("no/such/dir/x.ini")).WriteString("s", "k", "v"));
}

TEST_F(IniFileTest, KeysBeforeTheFirstSectionAreNotInAnySection)
{
    put("k=1\n[s]\nj=2\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("s", "k", "d"), "d");
    EXPECT_EQ(ini.ReadString("s", "j", "d"), "2");
}

// A block of changes reaches the file whole, in one write, or not at all: the old file stays byte for byte and
// the reason of the failure is kept (a disk that takes the old size but not the new stands in for a full one).
TEST_F(IniFileTest, AnUpdateWritesAllItsChangesOnceOrNone)
{
    const QByteArray old = "[s]\nk=1\nx=9\n[t]\ny=2\n";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit normal{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &normal), 0);
    const struct {
        const char *what;
        std::function<void(IniFile &)> changes;
        rlim_t sizeLimit; // 0: none
        QByteArray written; // empty: refused, the old file kept
        QString reason;     // part of lastError() on failure
    } rows[] = {
        {"every kind of change", [](IniFile &ini) {
             ini.WriteInteger("s", "k", 2);
             ini.WriteString("s", "new", "n");
             ini.DeleteKey("s", "x");
             ini.EraseSection("t");
             ini.WriteBool("u", "b", true);
         }, 0, "[s]\nk=2\nnew=n\n[u]\nb=1\n", {}},
        {"a refused change", [](IniFile &ini) {
             ini.WriteInteger("s", "k", 2);
             ini.WriteString("s", "bad=key", "v");
             ini.WriteInteger("s", "x", 3);
         }, 0, {}, "bad=key"},
        {"a disk that takes only the old size", [](IniFile &ini) {
             for (int i = 0; i < 10; ++i)
                 ini.WriteInteger("s", QStringLiteral("key%1").arg(i), i);
         }, rlim_t(old.size() + 20), {}, qt_error_string(EFBIG)},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        put(old);
        IniFile ini(path);
        rlimit limited = normal;
        limited.rlim_cur = r.sizeLimit;
        if (r.sizeLimit)
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool ok = ini.Update([&] {
            r.changes(ini);
            EXPECT_EQ(bytes(), old); // nothing reaches the file before the end
        });
        setrlimit(RLIMIT_FSIZE, &normal);
        EXPECT_EQ(ok, !r.written.isEmpty());
        EXPECT_EQ(bytes(), r.written.isEmpty() ? old : r.written);
        EXPECT_TRUE(ini.lastError().contains(r.reason)) << ini.lastError().toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.ini"});
    }

    // A file that cannot be read is not replaced by the changes alone.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    IniFile folder(dir.filePath("folder.ini"));
    EXPECT_FALSE(folder.Update([&] { folder.WriteString("s", "k", "v"); }));
    EXPECT_FALSE(folder.lastError().isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.ini")).isDir());
}

} // namespace
