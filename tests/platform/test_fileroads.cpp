// The file roads of platform/files, each with the faults a disk or another program puts in its way: the write
// that replaces a file whole, the new name taken only while free on every kind of disk, the copy in pieces, the
// removal that never follows a link, the sweep that leaves what a program still writes, and where a link leads.
#include "ChildProcess.h"
#include "FileBytes.h"
#include "FileLinks.h"
#include "FilePlace.h"
#include "FileRemove.h"
#include "FileWrite.h"
#include "TempFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

mode_t ModeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The program's temporaries left in a folder, by name.
QStringList Temporaries(const QString &folder)
{
    return QDir(folder).entryList({QLatin1String(kTemporaryMark) + '*'}, QDir::AllEntries | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

// A disk that answers the roads' calls as told: a sync's error, a step refused (or the process killed there), no
// second names, no renaming only to a free name.
struct Disk : FileCalls {
    int syncError = 0;
    const char *refused = nullptr;
    bool kill = false, links = true, freeRename = true;

    int sync(int fd) override { return syncError ? syncError : FileCalls::sync(fd); }
    bool step(const char *what) override
    {
        const bool at = refused && std::strcmp(what, refused) == 0;
        if (at && kill)
            raise(SIGKILL);
        return !at;
    }
    int hardLink(const QByteArray &f, const QByteArray &t) override { return links ? FileCalls::hardLink(f, t) : EPERM; }
    int renameNoReplace(const QByteArray &from, const QByteArray &to) override
    {
        return freeRename ? FileCalls::renameNoReplace(from, to) : EINVAL;
    }
};

// A write either replaces the file whole, keeping its permissions, or leaves it byte for byte with its
// permissions; a disk that cannot sync at all is no failure, one that reports a lost write is; no temporary stays.
TEST(FileRoads, AWriteReplacesTheFileWholeOrLeavesItAsItWas)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const struct {
        const char *what;
        int syncError;
        const char *refused;
        bool full, newOnly; // a file-size limit below the new content (a full disk); a new file only, over a taken name
        FileWriteError error;
    } rows[] = {
        {"every byte taken", 0, nullptr, false, false, FileWriteError::None},
        {"a file system that cannot sync (EINVAL)", EINVAL, nullptr, false, false, FileWriteError::None},
        {"a read-only special file system's sync (EROFS)", EROFS, nullptr, false, false, FileWriteError::None},
        {"a sync that reports a lost write (EIO)", EIO, nullptr, false, false, FileWriteError::Write},
        {"stopped before the new file takes the name", 0, "written", false, false, FileWriteError::Write},
        {"a full disk", 0, nullptr, true, false, FileWriteError::Write},
        {"a new file over a name that is taken", 0, nullptr, false, true, FileWriteError::Exists},
    };
    const QByteArray content(4096, 'n');
    rlimit normal{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &normal), 0);
    for (const auto &row : rows)
        for (const bool copy : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (copy ? ", a copy" : ", bytes"));
            QTemporaryDir dir;
            const QString target = dir.filePath("comments.rtf"), source = dir.filePath("source.rtf");
            WriteBytes(target, "old");
            ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
            WriteBytes(source, content);
            Disk disk;
            disk.syncError = row.syncError, disk.refused = row.refused;
            const FileWriteOptions options{.sync = true, .syncFolder = true, .newOnly = row.newOnly};
            const rlimit limit{row.full ? rlim_t(1000) : normal.rlim_cur, normal.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
            const FileWriteResult result =
                copy ? CopyWholeFile(source, target, options, disk) : WriteWholeFile(target, content, options, disk);
            setrlimit(RLIMIT_FSIZE, &normal);
            EXPECT_EQ(result.error, row.error) << result.reason.toStdString();
            EXPECT_TRUE(!row.full || result.code == EFBIG) << result.code;
            EXPECT_EQ(ReadBytes(target), result.ok() ? content : QByteArray("old"));
            EXPECT_EQ(ModeOf(target), mode_t(0640));
            EXPECT_EQ(Temporaries(dir.path()), QStringList());
        }
}

// A new name is taken only while it is free, on a disk with every call, on one without second names, and on
// one with neither second names nor renaming only to a free name (a USB stick's FAT or exFAT), where the name is
// claimed by an empty file first: a road refused after the claim takes the claim away again, and one killed
// there leaves the claim empty and the file where it was.
TEST(FileRoads, ANewNameIsTakenOnlyWhileFreeOnEveryDisk)
{
    const struct {
        const char *what;
        bool links, freeRename;
    } disks[] = {{"every call", true, true}, {"no free rename", true, false}, {"no second names", false, true},
                 {"a FAT stick", false, false}};
    const struct {
        const char *what;
        std::function<int(const QString &from, const QString &to, FileCalls &)> road;
        bool fromStays; // after success
    } roads[] = {
        {"move", MoveToFreeName, false},
        {"second name", AddSecondName, true},
        {"new file",
         [](const QString &f, const QString &t, FileCalls &c) {
             return WriteWholeFile(t, ReadBytes(f), {.newOnly = true}, c).code;
         },
         true},
    };
    enum Fault { None, Taken, Refused, Killed };
    for (const auto &d : disks)
        for (const auto &r : roads)
            for (const Fault fault : {None, Taken, Refused, Killed}) {
                SCOPED_TRACE(std::string(d.what) + ", " + r.what + ", fault " + std::to_string(fault));
                QTemporaryDir dir;
                const QString from = dir.filePath("from.rtf"), to = dir.filePath("to.rtf");
                WriteBytes(from, "new");
                if (fault == Taken)
                    WriteBytes(to, "someone's");
                Disk disk;
                disk.links = d.links, disk.freeRename = d.freeRename, disk.kill = fault == Killed;
                disk.refused = fault == Refused || fault == Killed ? "claimed" : nullptr;
                const auto run = [&] { return std::to_string(r.road(from, to, disk)); };
                const std::string answer = fault == Killed ? AnswerFromChild(run) : run();
                const int rc = answer.empty() ? -1 : std::stoi(answer);
                const bool claims = !d.links && !d.freeRename;
                if (claims && fault == Killed) {
                    EXPECT_EQ(rc, -1) << "not killed at the claim";
                    EXPECT_TRUE(QFileInfo(to).isFile() && QFileInfo(to).size() == 0) << "the claim, empty";
                    EXPECT_EQ(ReadBytes(from), "new");
                    continue;
                }
                const bool taken = fault == Taken || (claims && fault == Refused);
                EXPECT_EQ(rc == 0, !taken) << rc;
                EXPECT_EQ(QFile::exists(to), fault == Taken || !taken);
                EXPECT_EQ(ReadBytes(to), fault == Taken ? "someone's" : taken ? "" : "new");
                EXPECT_EQ(QFile::exists(from), taken || r.fromStays);
                EXPECT_EQ(Temporaries(dir.path()), QStringList());
            }
}

// A copy reads and writes its file in pieces: a process whose memory cannot hold the file copies it whole. What
// is no regular file, or cannot be read, is refused at once and the copy's target stays as it was.
TEST(FileRoads, ACopyGoesInPiecesAndRefusesWhatItCannotRead)
{
    QTemporaryDir dir;
    const QString big = dir.filePath("Quorin.db"), copy = dir.filePath("backup.db");
    // (The address sanitizer's shadow memory does not fit under a memory limit.)
#if !defined(__SANITIZE_ADDRESS__)
    constexpr qint64 kBig = qint64(192) << 20;
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(kBig) && f.seek(kBig - 4) && f.write("tail") == 4);
    }
    const std::string answer = AnswerFromChild([&] {
        // Room for what the process holds now and 64 MiB more: a third of the file.
        const QByteArray status = ReadBytes(QStringLiteral("/proc/self/status"));
        const qint64 now = status.mid(status.indexOf("VmSize:") + 7).trimmed().split(' ').value(0).toLongLong() << 10;
        const rlimit room{rlim_t(now + (qint64(64) << 20)), rlim_t(now + (qint64(64) << 20))};
        if (now == 0 || setrlimit(RLIMIT_AS, &room) != 0)
            return std::string("no limit");
        return std::string(CopyWholeFile(big, copy).ok() ? "copied" : "failed");
    });
    ASSERT_EQ(answer, "copied");
    EXPECT_EQ(QFileInfo(copy).size(), kBig);
    QFile tail(copy);
    ASSERT_TRUE(tail.open(QIODevice::ReadOnly) && tail.seek(kBig - 4));
    EXPECT_EQ(tail.read(4), "tail");
    QFile::remove(big);
#endif

    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(dir.filePath("folder")));
    WriteBytes(dir.filePath("locked"), "x");
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("locked")).constData(), 0), 0);
    for (const char *name : {"missing", "pipe", "folder", "locked"}) {
        SCOPED_TRACE(name);
        WriteBytes(copy, "old");
        QElapsedTimer clock;
        clock.start();
        const std::string result = AnswerFromChild([&] {
            if (std::strcmp(name, "locked") == 0 && !GiveUpAdministratorRights())
                return std::string("rights kept");
            return std::to_string(int(CopyWholeFile(dir.filePath(name), copy).error));
        });
        EXPECT_EQ(result, std::to_string(int(FileWriteError::Read)));
        EXPECT_LT(clock.elapsed(), 2000) << "waited on it";
        EXPECT_EQ(ReadBytes(copy), "old");
        EXPECT_EQ(Temporaries(dir.path()), QStringList());
    }
}

// A tree goes without a link in it ever being followed: what links point at stays, wherever it lies. Removing
// a folder's own files leaves its subfolders, and the folder with them.
TEST(FileRoads, ATreeGoesWithoutFollowingALink)
{
    const QStringList all{"tree", "tree/a.rtf", "tree/photos", "tree/a.jpg", "tree/sub", "tree/sub/img.bmp"};
    const struct {
        const char *what;
        const char *path; // under the root; "tree" is a folder with files, a subfolder and links
        TreeDepth depth;
        bool ok;
        QStringList stays; // under the root
    } rows[] = {
        {"the whole tree", "tree", TreeDepth::Whole, true, {}},
        {"its own files", "tree", TreeDepth::OwnFilesOnly, false, {"tree", "tree/sub", "tree/sub/img.bmp"}},
        {"a link in the tree's place", "linked", TreeDepth::Whole, true, all},
        {"a link named with a slash", "linked/", TreeDepth::OwnFilesOnly, true, all},
        {"nothing there", "missing", TreeDepth::Whole, true, all},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir root, outside;
        WriteBytes(outside.filePath("photos/a.jpg"), "a");
        WriteBytes(root.filePath("tree/a.rtf"), "a");
        WriteBytes(root.filePath("tree/sub/img.bmp"), "b");
        ASSERT_TRUE(QFile::link(outside.filePath("photos"), root.filePath("tree/photos")));
        ASSERT_TRUE(QFile::link(outside.filePath("photos/a.jpg"), root.filePath("tree/a.jpg")));
        ASSERT_TRUE(QFile::link(root.filePath("tree"), root.filePath("linked")));
        EXPECT_EQ(RemoveTree(root.filePath(row.path), row.depth), row.ok);
        QStringList left;
        for (const QString &p : all)
            if (QFileInfo(root.filePath(p)).exists() || QFileInfo(root.filePath(p)).isSymLink())
                left << p;
        EXPECT_EQ(left, row.stays);
        EXPECT_EQ(QFileInfo(root.filePath("linked")).isSymLink(), !QByteArray(row.path).startsWith("linked"));
        EXPECT_EQ(ReadBytes(outside.filePath("photos/a.jpg")), "a");
    }
}

// The sweep removes what programs stopped before finishing left, with its journal, and nothing that a program
// still writes: the writer's lock belongs to its open file, so this program's own temporary is held against its
// sweep as another program's is (whose copies' case the whole-database tests take). Once the writer lets go,
// the temporary and its journal go. The user's files, folders and what marked links point at stay.
TEST(FileRoads, TheSweepLeavesWhatAProgramStillWrites)
{
    QTemporaryDir dir, outside;
    const QString folder = dir.path() + "/";
    TemporaryFile held;
    ASSERT_TRUE(held.create(folder + "Quorin.db"));
    const QString name = QFileInfo(held.path()).fileName();
    WriteBytes(held.path() + "-journal", "j");
    WriteBytes(folder + ".~quorin-tmp-Qk3ZrW8x1Y2z", "stopped");
    WriteBytes(folder + ".~quorin-tmp-Qk3ZrW8x1Y2z-journal", "stopped");
    WriteBytes(folder + ".~quorin-tmp-AbC123dEf456-journal", "its file gone");
    WriteBytes(outside.filePath("mine.txt"), "mine");
    ASSERT_TRUE(QFile::link(outside.filePath("mine.txt"), folder + ".~quorin-tmp-LinkLinkLink"));
    ASSERT_TRUE(QDir().mkpath(folder + ".~quorin-tmp-AFolderOfIts"));
    WriteBytes(folder + "set.ini.backup", "user's");
    WriteBytes(folder + "Quorin.db.part", "earlier version's");
    const QStringList whileWritten{name, name + "-journal", ".~quorin-tmp-AFolderOfIts"};
    const struct {
        const char *what;
        bool letGo;
        QString also;
        QStringList temporaries; // that stay
        bool partStays;
    } rows[] = {
        {"while it is written", false, {}, whileWritten, true},
        {"with the earlier versions' names", false, ".part", whileWritten, false},
        {"once its writer has let it go", true, {}, {".~quorin-tmp-AFolderOfIts"}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.letGo)
            held.placed(); // as a writer that ended, killed or not: its descriptors closed, the name left
        EXPECT_TRUE(RemoveStoppedWrites(folder, row.also));
        QStringList expected = row.temporaries;
        expected.sort();
        EXPECT_EQ(Temporaries(folder), expected);
        EXPECT_EQ(QFile::exists(folder + "Quorin.db.part"), row.partStays);
        EXPECT_EQ(ReadBytes(folder + "set.ini.backup"), "user's");
        EXPECT_EQ(ReadBytes(outside.filePath("mine.txt")), "mine");
    }
}

// Where a link leads: the file or folder that whole-file roads replace in place of the link itself.
TEST(FileRoads, LinkedPathFollowsLinksAtTheLastPartToTheNameThatIsNoLink)
{
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    const auto at = [&](const char *name) { return root + '/' + QString::fromUtf8(name); };
    ASSERT_TRUE(QDir().mkpath(at("disk/cases")) && QDir().mkpath(at("dat")));
    WriteBytes(at("disk/Quorin.db"), {});
    const QByteArray absolute = QFile::encodeName(at("disk/cases"));
    for (const auto &[target, name] :
         {std::pair{"../disk/Quorin.db", "dat/relative.db"}, {"relative.db", "dat/chain.db"},
          {absolute.constData(), "Quorin_f"}, {"../Quorin_f/../gone.db", "dat/through-folder.db"},
          {"../disk/missing.db", "dat/dangling.db"}, {"loop-b", "dat/loop-a"}, {"loop-a", "dat/loop-b"}})
        ASSERT_EQ(::symlink(target, QFile::encodeName(at(name)).constData()), 0) << name;
    const struct {
        const char *path;
        QString leadsTo;
    } rows[] = {
        {"disk/Quorin.db", at("disk/Quorin.db")},      // no link: itself
        {"dat/relative.db", at("disk/Quorin.db")},     // read from the link's own folder
        {"dat/chain.db", at("disk/Quorin.db")},        // a link to a link
        {"Quorin_f/", at("disk/cases")},               // a folder, asked with its slash
        {"dat/through-folder.db", at("disk/gone.db")}, // ".." goes up from where the folder link leads
        {"dat/dangling.db", at("disk/missing.db")},    // the name its file would have
        {"dat/loop-a", at("dat/loop-a")},              // a circle: itself
        {"nothing/here.db", at("nothing/here.db")},
    };
    for (const auto &row : rows)
        EXPECT_EQ(LinkedPath(at(row.path)), row.leadsTo) << row.path;
}

} // namespace
