// A case file that the file system numbers anew while the program runs, as FAT and exFAT sticks, FUSE and some
// network shares do once they read the file back into their cache: the program keeps saving into it. A file put
// in its place is still refused, whatever its number.
#include "CaseFileHealth.h"
#include "CaseFileShims.h"
#include "CaseTestSupport.h"
#include "MRecordBase.h"

#include <sqlite3.h>

#include <atomic>
#include <functional>

#include <dlfcn.h>
#include <sys/stat.h>

namespace {

// Every look at one file, by its path or through an open handle (the program's and SQLite's), sees its number
// plus the shift from Renumber on; every other file is seen as it is.
std::atomic<quint64> g_device{0}, g_inode{0}, g_shift{0};

template <typename F>
F Real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

template <typename St>
int Shifted(int rc, St *st)
{
    if (rc == 0 && g_shift != 0 && quint64(st->st_dev) == g_device && quint64(st->st_ino) == g_inode)
        st->st_ino += g_shift;
    return rc;
}

// The file at path is given a new number (again).
void Renumber(const QString &path)
{
    struct stat st {};
    ASSERT_EQ(Real<int (*)(const char *, struct stat *)>("stat")(QFile::encodeName(path).constData(), &st), 0);
    if (g_shift == 0 || quint64(st.st_ino) != g_inode) {
        g_device = st.st_dev;
        g_inode = st.st_ino;
    }
    g_shift += 1000003;
}

} // namespace

extern "C" int stat(const char *path, struct stat *st) noexcept
{
    static const auto real = Real<int (*)(const char *, struct stat *)>("stat");
    return Shifted(real(path, st), st);
}

extern "C" int stat64(const char *path, struct stat64 *st) noexcept
{
    static const auto real = Real<int (*)(const char *, struct stat64 *)>("stat64");
    return Shifted(real(path, st), st);
}

extern "C" int fstat(int fd, struct stat *st) noexcept
{
    static const auto real = Real<int (*)(int, struct stat *)>("fstat");
    return Shifted(real(fd, st), st);
}

extern "C" int fstat64(int fd, struct stat64 *st) noexcept
{
    static const auto real = Real<int (*)(int, struct stat64 *)>("fstat64");
    return Shifted(real(fd, st), st);
}

namespace {

class CaseFileNumbers : public FreshFolderTest {
public:
    void TearDown() override { g_shift = 0; }

    // A fresh program folder whose case file holds 1 甲 and 2 `second`, each with its comment file.
    void Make(const char *second = "乙")
    {
        NextFolder();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db), 0);
        for (const char *name : {"甲", second}) {
            TRecordData r = Case(QString::fromUtf8(name));
            ASSERT_TRUE(base.SaveCase(-1, r, {"{\\rtf1 " + QByteArray(name) + "}", {}})) << base.Message().toStdString();
        }
    }

    // Renames the file at from over the case file.
    void RenameOver(const QString &from) const
    {
        ASSERT_EQ(::rename(QFile::encodeName(from).constData(), QFile::encodeName(db).constData()), 0);
    }
};

} // namespace

TEST_F(CaseFileNumbers, AFileNumberedAnewIsSavedIntoAndAFilePutInItsPlaceIsNot)
{
    const struct {
        const char *what;
        std::function<void(CaseFileNumbers &)> after; // after the file was numbered anew
        bool refused;
    } rows[] = {
        {"numbered anew, then again", [](CaseFileNumbers &t) { Renumber(t.db); }, false},
        {"a backup the program made of it renamed over it",
         [](CaseFileNumbers &t) {
             MRecordBase other(t.app);
             ASSERT_EQ(other.Open(t.db), 0);
             ASSERT_TRUE(other.Backup(t.app + "backup/")) << other.Message().toStdString();
             t.RenameOver(t.app + "backup/Quorin.db");
         },
         true},
        {"restored from that backup by another program",
         [](CaseFileNumbers &t) {
             MRecordBase other(t.app);
             ASSERT_EQ(other.Open(t.db), 0);
             ASSERT_TRUE(other.Backup(t.app + "backup/") && other.Restore(t.app + "backup/"))
                 << other.Message().toStdString();
         },
         true},
        {"a copy from before it carried a stamp (an earlier version's) renamed over it",
         [](CaseFileNumbers &t) {
             ASSERT_TRUE(QFile::copy(t.db, t.db + ".old"));
             sqlite3 *raw = nullptr;
             ASSERT_EQ(sqlite3_open((t.db + ".old").toUtf8().constData(), &raw), SQLITE_OK);
             EXPECT_EQ(sqlite3_exec(raw, "drop table if exists case_identity;", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(raw);
             t.RenameOver(t.db + ".old");
         },
         true},
        {"another program's case file renamed over it",
         [](CaseFileNumbers &t) {
             const QString app = t.app, db = t.db;
             t.Make("丙");
             const QString other = t.db;
             t.app = app, t.db = db;
             t.RenameOver(other);
         },
         true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Make();
        MRecordBase base(app);
        ASSERT_EQ(base.Open(db, true), 0);
        TRecordData opened;
        ASSERT_TRUE(base.LoadCase(2, opened));
        Renumber(db);
        TRecordData edited = opened;
        edited.remarkText = QStringLiteral("新评语");
        ASSERT_TRUE(base.SaveCase(2, edited, {"{\\rtf1 new}", {}}, &opened)) << base.Message().toStdString();
        opened = edited;

        row.after(*this);
        const QByteArray before = ReadBytes(db);
        edited.remarkText = QStringLiteral("又一次的评语");
        EXPECT_EQ(base.SaveCase(2, edited, {"{\\rtf1 again}", {}}, &opened), !row.refused) << base.Message().toStdString();
        TRecordData r = Case("丁");
        EXPECT_EQ(base.InsertCase(r) > 0, !row.refused) << base.Message().toStdString();
        if (row.refused) {
            EXPECT_TRUE(base.Message().contains(QStringLiteral("案例文件已被其他程序替换"))) << base.Message().toStdString();
            EXPECT_TRUE(ReadBytes(db) == before) << "the file put in place was written";
        }
        g_shift = 0;
    }
}

// Numbered anew while another program holds it: the file cannot say which it is, and the save says that the file is
// held, not that it was replaced; once let go, the save goes through.
TEST_F(CaseFileNumbers, AFileNumberedAnewWhileHeldIsNamedAsHeld)
{
    Make();
    MRecordBase base(app);
    ASSERT_EQ(base.Open(db, true), 0);
    TRecordData opened;
    ASSERT_TRUE(base.LoadCase(2, opened));
    Renumber(db);
    FileHolder other(db, "begin exclusive; update case_extra set verCode=verCode;");
    ASSERT_TRUE(other.ok());
    TRecordData edited = opened;
    edited.remarkText = QStringLiteral("新评语");
    EXPECT_FALSE(base.SaveCase(2, edited, {"{\\rtf1 new}", {}}, &opened));
    EXPECT_TRUE(base.FileBusy());
    EXPECT_TRUE(base.Message().contains(BusyCaseFileText(db))) << base.Message().toStdString();
    other.release();
    EXPECT_TRUE(base.SaveCase(2, edited, {"{\\rtf1 new}", {}}, &opened)) << base.Message().toStdString();
}
