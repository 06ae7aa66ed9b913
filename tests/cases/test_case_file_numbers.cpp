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

// stat, stat64, fstat and fstat64, each seen through Shifted.
#define SHIFTED(name, Where, Stat)                                                                                     \
    extern "C" int name(Where where, struct Stat *st) noexcept                                                         \
    {                                                                                                                  \
        static const auto real = Real<int (*)(Where, struct Stat *)>(#name);                                           \
        return Shifted(real(where, st), st);                                                                           \
    }
SHIFTED(stat, const char *, stat)
SHIFTED(stat64, const char *, stat64)
SHIFTED(fstat, int, stat)
SHIFTED(fstat64, int, stat64)
#undef SHIFTED

namespace {

class CaseFileNumbers : public FreshFolderTest {
public:
    FileHolder other;
    void TearDown() override { g_shift = 0; }

    void BackUp(bool restore)
    {
        MRecordBase copy(app);
        ASSERT_EQ(copy.Open(db), 0);
        ASSERT_TRUE(copy.Backup(app + "backup/") && (!restore || copy.Restore(app + "backup/")))
            << copy.Message().toStdString();
    }
};

} // namespace

// Case 2 open, its file numbered anew and saved into, then each row. Numbered anew while another program holds
// it, the file cannot say which it is: the save says that the file is held, not that it was replaced, and goes
// through once the other program lets go.
TEST_F(CaseFileNumbers, AFileNumberedAnewIsSavedIntoAndAFilePutInItsPlaceIsNot)
{
    enum Outcome { Saved, Held, Replaced };
    const struct {
        const char *what;
        std::function<void(CaseFileNumbers &)> after; // after the file was numbered anew and saved into
        Outcome outcome;
    } rows[] = {
        {"numbered anew, then again", [](CaseFileNumbers &t) { Renumber(t.db); }, Saved},
        {"numbered anew again while another program holds it",
         [](CaseFileNumbers &t) {
             Renumber(t.db);
             ASSERT_TRUE(t.other.hold(t.db, "begin exclusive; update case_extra set verCode=verCode;"));
         },
         Held},
        {"a backup the program made of it renamed over it",
         [](CaseFileNumbers &t) {
             t.BackUp(false);
             t.RenameOver(t.app + "backup/Quorin.db");
         },
         Replaced},
        {"restored from that backup by another program", [](CaseFileNumbers &t) { t.BackUp(true); }, Replaced},
        {"a copy from before it carried a stamp (an earlier version's) renamed over it",
         [](CaseFileNumbers &t) {
             ASSERT_TRUE(QFile::copy(t.db, t.db + ".old"));
             sqlite3 *raw = nullptr;
             ASSERT_EQ(sqlite3_open((t.db + ".old").toUtf8().constData(), &raw), SQLITE_OK);
             EXPECT_EQ(sqlite3_exec(raw, "drop table if exists case_identity;", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(raw);
             t.RenameOver(t.db + ".old");
         },
         Replaced},
        {"another program's case file renamed over it", [](CaseFileNumbers &t) { t.RenameAnotherProgramsFileOver(); },
         Replaced},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        MakeTwoCases();
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
        EXPECT_EQ(base.SaveCase(2, edited, {"{\\rtf1 again}", {}}, &opened), row.outcome == Saved)
            << base.Message().toStdString();
        EXPECT_EQ(base.FileBusy(), row.outcome == Held);
        if (row.outcome == Held) {
            EXPECT_TRUE(base.Message().contains(BusyCaseFileText(db))) << base.Message().toStdString();
            other.release();
            EXPECT_TRUE(base.SaveCase(2, edited, {"{\\rtf1 again}", {}}, &opened)) << base.Message().toStdString();
        }
        TRecordData r = Case("丁");
        EXPECT_EQ(base.InsertCase(r) > 0, row.outcome != Replaced) << base.Message().toStdString();
        if (row.outcome == Replaced) {
            EXPECT_TRUE(base.Message().contains(QStringLiteral("案例文件已被其他程序替换"))) << base.Message().toStdString();
            EXPECT_TRUE(ReadBytes(db) == before) << "the file put in place was written";
        }
        g_shift = 0;
    }
}
