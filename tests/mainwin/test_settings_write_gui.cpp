// The two settings files, saved the user's way: the settings dialog's "保存设置" (dat/set.ini) and closing the
// main window (dat/qrinit.ini). A save either replaces the file once with every key or, when the disk cannot
// take the new file, leaves the old one byte for byte and says why.
#include "GuiTestSupport.h"

#include "IniFile.h"
#include "TFrmMain.h"

#include <QAction>
#include <QPushButton>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

using Answer = Prompts::Answer;

namespace {

// Counts how often a file of a folder is given its name: once for every whole write of it.
class NameGivings {
public:
    explicit NameGivings(const QString &folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_CREATE | IN_MOVED_TO);
    }
    ~NameGivings() { ::close(fd_); }
    int of(const QString &name)
    {
        alignas(inotify_event) char buffer[8192];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char *p = buffer; p < buffer + n;) {
                const auto *e = reinterpret_cast<const inotify_event *>(p);
                if (e->len && QFile::decodeName(e->name) == name)
                    ++count_;
                p += sizeof(inotify_event) + e->len;
            }
        }
        return count_;
    }

private:
    int fd_;
    int count_ = 0;
};

struct SettingsSave {
    const char *what;
    QString file;                  // under the program folder
    QByteArray old;                // what the file holds before the save: short values, so the new file is larger
    QStringList keys;              // section/key that a save writes
    QString failure;               // the start of the message when the save fails
    std::function<void()> save;    // the user's road
};

class SettingsWriteTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &normal), 0);
        w = std::make_unique<TFrmMain>();
        w->show();
    }
    void TearDown() override
    {
        setrlimit(RLIMIT_FSIZE, &normal);
        if (w && w->isVisible())
            CloseAnswering(*w, prompts, {Answer::Yes, Answer::Ok});
        w.reset();
        ProgramFolderTest::TearDown();
    }

    std::vector<SettingsSave> saves()
    {
        return {
            {"settings dialog", "dat/set.ini", "[set]\nileft=0\nfJian=4.5\n",
             {"set/ileft", "set/fJian", "set/liunian", "set/fuwei", "set/mengong", "set/dinglan", "set/iCoord",
              "set/bZhouTian", "set/bWuHint", "set/iTilt", "set/bChengMen", "set/dayStar", "set/iFontSizeVar",
              "set/bChangeMenuSize"},
             "无法保存软件设置", [this] {
                 WithModalDialog([&] { w->findChild<QAction *>("Omenu_set")->trigger(); }, [&](QWidget *dlg) {
                     prompts.reply(Answer::Ok);
                     find<QPushButton>(dlg, "BitBtn1")->click();
                 });
             }},
            {"window layout on closing", "dat/qrinit.ini", "[window]\nleft=1\ntop=1\n",
             {"window/left", "window/top", "window/width", "window/height", "window/state", "window/treewid",
              "window/pinghei", "window/PanLeftPic", "minggao/fname", "minggao/fsize", "minggao/bcolor", "img/wid",
              "img/hei", "soft/iPanShape", "tree/showStyle", "tree/sort"},
             "无法保存窗口设置", [this] { CloseAnswering(*w, prompts, {Answer::Yes, Answer::Ok}); }},
        };
    }

    QString said() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; }

    rlimit normal{};
    std::unique_ptr<TFrmMain> w;
};

// The disk takes a little more than the old file but not the whole new one: a save key by key would get
// part-way before it failed.
TEST_F(SettingsWriteTest, ASaveThatCannotBeWrittenWholeKeepsTheOldFileAndSaysWhy)
{
    for (const SettingsSave &s : saves()) {
        SCOPED_TRACE(s.what);
        writeFile(s.file, s.old);
        rlimit limited = normal;
        limited.rlim_cur = rlim_t(s.old.size() + 24);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        s.save();
        setrlimit(RLIMIT_FSIZE, &normal);
        EXPECT_EQ(readFile(s.file), s.old);
        EXPECT_TRUE(said().startsWith(s.failure)) << said().toStdString();
        EXPECT_TRUE(said().contains(qt_error_string(EFBIG))) << said().toStdString();
        EXPECT_EQ(QDir(path("dat")).entryList({QFileInfo(s.file).fileName() + "*"}, QDir::Files | QDir::Hidden),
                  QStringList{QFileInfo(s.file).fileName()});
        ASSERT_NE(prompts.asked().size(), 0);
    }
}

TEST_F(SettingsWriteTest, AGoodSaveWritesEveryKeyInOneWrite)
{
    for (const SettingsSave &s : saves()) {
        SCOPED_TRACE(s.what);
        writeFile(s.file, s.old);
        NameGivings givings(path("dat"));
        s.save();
        EXPECT_EQ(givings.of(QFileInfo(s.file).fileName()), 1);
        const IniFile ini(path(s.file));
        for (const QString &key : s.keys)
            EXPECT_TRUE(ini.ValueExists(key.section('/', 0, 0), key.section('/', 1))) << key.toStdString();
    }
}

} // namespace
