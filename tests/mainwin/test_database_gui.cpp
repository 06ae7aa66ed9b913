// The whole-database commands of the 文件 menu on the real window: each question, message and result, and the
// program ending where those commands end it.
#include "GuiTestSupport.h"

#include "AppPath.h"

#include "CaseFileOps.h"
#include "CaseFiles.h"
#include "ChildProcess.h"
#include "CommentFile.h"
#include "FileBytes.h"
#include "MRecordBase.h"
#include "SmallDisk.h"
#include "TempFiles.h"
#include "TFrmMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

using Answer = Prompts::Answer;

namespace {

// Answers the delete-code box with the code its title shows, or with another code.
class CodePrompts : public ScriptedPrompts {
public:
    bool right = true;
    std::optional<QString> inputText(const QString &title, const QString &label, const QString &initial) override
    {
        ScriptedPrompts::inputText(title, label, initial); // recorded like every question
        const QString code = title.section(QChar(0xFF1A), 1).trimmed();
        return right ? code : code + QStringLiteral("9");
    }
};

// A USB stick's FAT or exFAT: no second names for files, no renaming only to a free name. The step `refused`
// fails; at the step `killAt` the program ends.
struct StickOps : CaseFileOps {
    const char *refused = nullptr, *killAt = nullptr;
    bool step(const char *what) override
    {
        if (killAt && std::strcmp(what, killAt) == 0)
            raise(SIGKILL);
        return !refused || std::strcmp(what, refused) != 0;
    }
    int hardLink(const QByteArray &, const QByteArray &) override { return EPERM; }
    int renameNoReplace(const QByteArray &, const QByteArray &) override { return EINVAL; }
};

// Sets the stored id counter, as a file of many saved and deleted cases has it (compaction needs 500).
void SetIdCounter(const QString &file, int counter)
{
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
    const QByteArray sql = "update case_extra set primaryId=" + QByteArray::number(counter) + ";";
    EXPECT_EQ(sqlite3_exec(raw, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
}

// Comment files (and with planBytes, floor plans of that size) for the named cases of saveCases.
void WriteCaseFiles(const QString &folder, const QStringList &owners, int planBytes = 0)
{
    for (const QString &n : owners) {
        WriteBytes(folder + "/" + n + "_190001010000.rtf", "{\\rtf1 " + n.toUtf8() + "}");
        if (planBytes > 0)
            WriteBytes(folder + "/" + n + "_190001010000.bmp", QByteArray(planBytes, 'P'));
    }
}

class DatabaseMenuTest : public ProgramFolderTest {
protected:
    const QStringList names{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}; // most tests' cases

    // The case file of the program folder in use (AppPath()).
    QString db() const { return MRecordBase::DefaultPath(AppPath()); }

    void saveCases(const QStringList &owners, const QString &file = QString())
    {
        MRecordBase b(AppPath());
        ASSERT_EQ(b.Open(file.isEmpty() ? db() : file), 0);
        for (const QString &n : owners) {
            TRecordData r;
            r.name = n;
            r.remarkFile = n + QStringLiteral("_190001010000");
            ASSERT_GT(b.InsertCase(r), 0);
        }
    }

    // A backup in `to` of another program folder, whose one case 戊 has its comment and a floor plan of planBytes.
    void backUpAnotherFolder(int planBytes, const QString &to = QStringLiteral("bk"))
    {
        saveCases({QStringLiteral("戊")}, path("srcapp/dat/Quorin.db"));
        WriteCaseFiles(path("srcapp/Quorin_f"), {QStringLiteral("戊")}, planBytes);
        MRecordBase src(path("srcapp/"));
        ASSERT_EQ(src.Open(path("srcapp/dat/Quorin.db")), 0);
        ASSERT_TRUE(src.Backup(path(to))) << src.Message().toStdString();
    }

    int caseCount(const QString &file) const
    {
        MRecordBase b(path(""));
        if (!QFile::exists(file) || b.Open(file) != 0)
            return -1;
        int n = 0;
        for (int id = 1; id <= b.GetPrimaryId(); ++id) {
            TRecordData r;
            n += b.LoadCase(id, r);
        }
        return n;
    }

    // The texts of the messages shown, in order.
    QStringList shown(const ScriptedPrompts &p) const
    {
        QStringList texts;
        for (const auto &q : p.asked())
            if (q.kind == ScriptedPrompts::Kind::Message)
                texts << q.text;
        return texts;
    }

    // The menu command; 导出db文件 (db2) with every category its chooser offers.
    void trigger(TFrmMain &w, const char *name)
    {
        QAction *a = w.findChild<QAction *>(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        if (std::string(name) == "db2")
            WithModalDialog([&] { a->trigger(); }, [](QWidget *dlg) { find<QPushButton>(dlg, "BitBtn1")->click(); });
        else
            a->trigger();
    }
};

TEST_F(DatabaseMenuTest, EachCommandAsksShowsItsResultAndEndsTheProgramWhereItMust)
{
    struct Row {
        const char *what;
        const char *action;
        std::function<void(ScriptedPrompts &)> script;
        QStringList messages; // each shown message begins with its line
        bool ended;
        int casesAfter; // in the program's case file; -1 when there is none
    };
    const QString bk = path("bk");
    QDir().mkpath(bk);
    // What a backup stopped there before left half-written; the next backup clears it.
    const QStringList stopped{"bk/Quorin_备份_旧/Quorin.db.part", "bk/Quorin_备份_旧/Quorin_f/甲_190001010000.rtf.part"};
    QDir().mkpath(path("bk/Quorin_备份_旧/Quorin_f"));
    for (const QString &name : stopped)
        writeFile(name, "x");
    const Row rows[] = {
        {"backup into a chosen folder", "menu_f_export",
         [&](ScriptedPrompts &p) { p.reply(bk); },
         {"成功备份，已保存到"}, false, 3},
        {"restore of that backup after more saves", "menu_f_import",
         [&](ScriptedPrompts &p) {
             const QString folder = QDir(bk).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
             saveCases({QStringLiteral("丁")});
             p.reply(Answer::Yes).reply(bk + "/" + folder);
         },
         {"执行此操作将覆盖现有的案例数据，要继续吗？", "成功还原，请重新打开软件！"}, true, 3},
        {"restore from a folder without a case file", "menu_f_import",
         [&](ScriptedPrompts &p) { p.reply(Answer::Yes).reply(bk); },
         {"执行此操作将覆盖现有的案例数据，要继续吗？",
          "没有要还原的db数据文件！请选择备份时建立的、以备份时间命名的文件夹（例如“Quorin_备份_2026年12月7日9时5分3秒”），"
          "而不是它所在的文件夹。"},
         false, 3},
        {"compaction of a file with few cases", "N33", [&](ScriptedPrompts &) {},
         {"案例数据过少，无需整理！"}, false, 3},
        {"adding a case file", "db1",
         [&](ScriptedPrompts &p) {
             saveCases({QStringLiteral("戊"), QStringLiteral("己")}, path("other.db"));
             p.reply(path("other.db"));
         },
         {"共导入 2 个案例！", "请重启软件！"}, true, 5},
        {"adding a file that is not a case file", "db1",
         [&](ScriptedPrompts &p) {
             writeFile("other.db", "not a database");
             p.reply(path("other.db"));
         },
         {"不是相同的数据库类型，无法导入！"}, false, 3},
        {"restore from a backup the program was stopped in: all there but its completion mark", "menu_f_import",
         [&](ScriptedPrompts &p) {
             backUpAnotherFolder(0, "stopped");
             QFile::remove(path("stopped/Quorin_f/save.txt"));
             p.reply(Answer::Yes).reply(path("stopped"));
         },
         {"执行此操作将覆盖现有的案例数据，要继续吗？",
          "不能从这个备份还原：它没有备份完成的标记“" + QDir::toNativeSeparators(path("stopped/Quorin_f/save.txt")) +
              "”。这个备份没有做完（可能是备份时磁盘满了或者软件被关闭了），里面的案例、评语文件或户型图可能不全。"},
         false, 3},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(db());
        saveCases(names);
        TFrmMain w;
        w.show();
        auto *pane = find<QTextEdit>(&w, "RedtPingYu");
        pane->setPlainText(QStringLiteral("当前案例的评语"));
        ScriptedPrompts p;
        row.script(p);
        trigger(w, row.action);
        const QStringList messages = shown(p);
        ASSERT_EQ(messages.size(), row.messages.size()) << messages.join(" | ").toStdString();
        for (int i = 0; i < messages.size(); ++i)
            EXPECT_TRUE(messages[i].startsWith(row.messages[i])) << messages[i].toStdString();
        EXPECT_EQ(!w.isVisible(), row.ended);
        EXPECT_EQ(pane->toPlainText(), "当前案例的评语"); // progress texts never take the comments' place
        EXPECT_EQ(caseCount(db()), row.casesAfter);
    }
    // The backup holds the case file, the case folder and its marker.
    const QString folder = QDir(bk).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
    EXPECT_TRUE(folder.startsWith("Quorin_备份_")) << folder.toStdString();
    EXPECT_TRUE(QFile::exists(bk + "/" + folder + "/Quorin_f/save.txt"));
    for (const QString &name : stopped)
        EXPECT_FALSE(QFile::exists(path(name))) << name.toStdString();
}

TEST_F(DatabaseMenuTest, DeleteAllNeedsTheShownCode)
{
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "the code shown" : "another code");
        saveCases({QStringLiteral("甲")});
        TFrmMain w;
        w.show();
        CodePrompts p;
        p.right = right;
        p.reply(Answer::Yes);
        trigger(w, "menu_f_clearr");
        ASSERT_EQ(p.asked().size(), 3);
        EXPECT_TRUE(p.asked()[1].title.contains(QRegularExpression("^删除码：\\d{4} $")));
        EXPECT_EQ(p.asked()[2].text, right ? "成功删除所有记录，请重新打开软件！" : "删除码错误，无法删除！");
        EXPECT_EQ(caseCount(db()), right ? -1 : 1);
        EXPECT_EQ(w.isVisible(), !right);
    }
}

// Export: the chosen categories into a new file named after the moment, then the offer to open its folder. What
// an export stopped in that folder before left half-written goes; other programs' files stay.
TEST_F(DatabaseMenuTest, ExportWritesTheCheckedCategoriesIntoANewFile)
{
    saveCases({QStringLiteral("甲"), QStringLiteral("乙")});
    const QStringList stopped{QStringLiteral("Quorin_2020年1月1日0时0分0秒.db.part"),
                              QStringLiteral("Quorin_2020年1月1日0时0分0秒.db.part-journal")};
    for (const QString &name : stopped + QStringList{QStringLiteral("notes.db.part")})
        writeFile(name, "x");
    TFrmMain w;
    w.show();
    ScriptedPrompts p;
    p.reply(path("")).reply(Answer::No);
    trigger(w, "db2");
    const QStringList files = QDir(path("")).entryList({"Quorin_*.db"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(caseCount(path(files[0])), 2);
    ASSERT_EQ(shown(p).size(), 1);
    EXPECT_TRUE(shown(p)[0].startsWith(" 2 个案例数据文件已经保存到：")) << shown(p)[0].toStdString();
    EXPECT_TRUE(w.isVisible());
    for (const QString &name : stopped)
        EXPECT_FALSE(QFile::exists(path(name))) << name.toStdString();
    EXPECT_TRUE(QFile::exists(path("notes.db.part")));
}

// A USB stick's FAT or exFAT: no second names for files, no renaming only to a free name. Export and import
// write every file there; an import whose comment files could not be written says how many are missing.
TEST_F(DatabaseMenuTest, OnAStickWithoutLinksEveryFileIsWrittenOrItIsSaidWhichIsNot)
{
    const struct {
        const char *what;
        bool refuseComments;
        QStringList messages;
        int commentFiles; // of the imported cases, in the case folder after the import
    } imports[] = {
        {"every comment file written", false, {"共导入 2 个案例！", "请重启软件！"}, 2},
        {"no comment file written", true, {"共导入 2 个案例！\n有 2 个案例的评语文件没有写入", "请重启软件！"}, 0},
    };
    for (const auto &row : imports) {
        SCOPED_TRACE(row.what);
        QFile::remove(db());
        QDir(path("Quorin_f")).removeRecursively();
        QFile::remove(path("other.db"));
        saveCases({QStringLiteral("甲")});
        saveCases({QStringLiteral("戊"), QStringLiteral("己")}, path("other.db"));
        TFrmMain w;
        w.show();
        StickOps stick;
        stick.refused = row.refuseComments ? "create" : nullptr;
        CaseDb()->SetFileOps(&stick);
        ScriptedPrompts p;
        p.reply(path("other.db"));
        trigger(w, "db1");
        CaseDb()->SetFileOps(nullptr);
        const QStringList messages = shown(p);
        ASSERT_EQ(messages.size(), row.messages.size()) << messages.join(" | ").toStdString();
        for (int i = 0; i < messages.size(); ++i)
            EXPECT_TRUE(messages[i].startsWith(row.messages[i])) << messages[i].toStdString();
        EXPECT_EQ(messages[0].contains(QStringLiteral("没有写入")), row.refuseComments);
        EXPECT_EQ(caseCount(db()), 3);
        EXPECT_EQ(QDir(path("Quorin_f")).entryList({"戊_*.rtf", "己_*.rtf"}, QDir::Files).size(), row.commentFiles);
    }

    QFile::remove(db());
    saveCases({QStringLiteral("甲"), QStringLiteral("乙")});
    TFrmMain w;
    w.show();
    StickOps stick;
    CaseDb()->SetFileOps(&stick);
    ScriptedPrompts p;
    p.reply(path("")).reply(Answer::No);
    trigger(w, "db2");
    CaseDb()->SetFileOps(nullptr);
    const QStringList files = QDir(path("")).entryList({"Quorin_*.db"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(caseCount(path(files[0])), 2);
    ASSERT_EQ(shown(p).size(), 1);
    EXPECT_TRUE(shown(p)[0].startsWith(" 2 个案例数据文件已经保存到：")) << shown(p)[0].toStdString();
}

// The old flat case file found at the first start is migrated and its note shown.
TEST_F(DatabaseMenuTest, OldCaseFileIsMigratedAtStart)
{
    QByteArray rec(160, '\0');
    const QByteArray name = QStringEncoder("GBK")(QStringLiteral("老王"));
    rec.replace(5, name.size(), name);
    writeFile("dat/Quorin.dat", rec + rec);
    TFrmMain w;
    w.show();
    EXPECT_EQ(shown(prompts), QStringList{"已经把旧版数据库转换到新版，共转换 2 个案例！"});
    EXPECT_FALSE(QFile::exists(path("dat/Quorin.dat")));
    EXPECT_EQ(caseCount(db()), 2);
}

} // namespace

// Import ends the program without the closing questions, so changed comments of the open case are offered for
// saving first; Yes keeps them in the case file.
TEST_F(DatabaseMenuTest, ImportOffersToSaveChangedCommentsFirst)
{
    saveCases({QStringLiteral("戊")}, path("other.db"));
    TFrmMain w;
    w.show();
    ScriptedPrompts p;
    find<QLineEdit>(&w, "LedtZtd")->setText("0:0");
    find<QLineEdit>(&w, "EdtYear")->setText("2004");
    find<QLineEdit>(&w, "EdtName")->setText(QStringLiteral("甲"));
    find<QLineEdit>(&w, "LedtShengNian")->setText("1980");
    w.BtnPaiClick();
    WithModalDialog([&] { ASSERT_TRUE(w.SaveCaseClick()); },
                    [&](QWidget *dlg) { QTest::mouseClick(find<QPushButton>(dlg, "Btnok"), Qt::LeftButton); });
    ASSERT_TRUE(w.CaseOpen());
    const qsizetype before = p.asked().size();
    auto *pane = find<QTextEdit>(&w, "RedtPingYu");
    pane->setPlainText(QStringLiteral("改过的评语"));
    pane->document()->setModified(true); // as typing leaves it
    // Yes to saving, Yes to updating the open case, then its message, then the file to add.
    p.reply(Answer::Yes).reply(Answer::Yes).reply(Answer::Ok).reply(path("other.db"));
    trigger(w, "db1");
    ASSERT_GT(p.asked().size(), before);
    EXPECT_EQ(p.asked().at(before).text, QStringLiteral("当前案例评语已改变，要保存吗？"));
    EXPECT_FALSE(w.isVisible());
    MRecordBase b(path(""));
    ASSERT_EQ(b.Open(db()), 0);
    TRecordData r;
    ASSERT_TRUE(b.LoadCase(1, r));
    EXPECT_EQ(r.remarkText, QStringLiteral("改过的评语"));
}

namespace {

// On a disk that is really full (a small file system filled to its last byte), each command that writes cases
// says that the disk is full and where, gives no advice that cannot help, changes no case and leaves nothing
// half-made; so does a backup whose copies are refused for want of room, which is removed, as it says.
TEST_F(DatabaseMenuTest, OnAFullDiskEachCommandSaysTheDiskIsFullAndWhere)
{
    struct FullAfterCaseFile : CaseFileOps { // room for the first file written, then none
        int writes = 0;
        bool step(const char *what) override
        {
            return std::strcmp(what, "write") != 0 || ++writes == 1 || (errno = ENOSPC, false);
        }
    } full;
    struct Row {
        const char *what;
        bool programOnDisk; // else the disk is the folder given to the command for what it makes
        const char *action;
        std::vector<ScriptedPrompts::Reply> replies; // after that folder
        QString said, where, ends = {};              // the last message: its start, the folder it names, its end
        int planKb = 0;                              // floor plans of this size fill the disk
        CaseFileOps *ops = nullptr;                  // on a disk with room: the copies refused all the same
    };
    const QString kHalfBackup = QStringLiteral("个评语文件、户型图文件无法复制，备份不完整！\n");
    const QString kRemoved = QStringLiteral("这个不完整的备份已经删除。");
    const QString kUnchanged = QStringLiteral("原有案例数据没有改变。");
    const Row rows[] = {
        {"备份案例数据, its copies refused", false, "menu_f_export", {}, "有 6 " + kHalfBackup, "Quorin_备份_", kRemoved,
         1, &full},
        {"整理数据", true, "N33", {Answer::Yes}, "无法整理数据：", "dat", kUnchanged},
        {"添加db文件", true, "db1", {path("other.db")}, "无法导入案例：", "dat/Quorin.db", kUnchanged},
        {"导出db文件", false, "db2", {}, "导出失败：", ""},
        {"还原案例数据", true, "menu_f_import", {Answer::Yes, path("bk")}, "无法复制db文件！\n", "dat", kUnchanged},
        {"备份案例数据", false, "menu_f_export", {}, "有 1 " + kHalfBackup, "Quorin_备份_", kRemoved, 100},
    };
    // The file to add and the backup to restore, on the test's own disk: each as large as the small one.
    QFile::remove(path("other.db"));
    saveCases(names, path("other.db"));
    backUpAnotherFolder(300 * 1024);
    int n = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QString disk = path(QStringLiteral("disk%1/").arg(++n));
        SmallDisk small(disk, 256);
        if (!small.mounted() && !row.ops)
            GTEST_SKIP() << "no file system can be mounted here: " << std::strerror(errno);
        SetAppPath(row.programOnDisk ? disk : path(QStringLiteral("prog%1/").arg(n)));
        ASSERT_TRUE(QDir().mkpath(AppPath()) && MakeProgramFolders());
        ASSERT_EQ(DataPath(), AppPath());
        saveCases(names);
        SetIdCounter(db(), 600);
        WriteCaseFiles(AppPath() + "Quorin_f", names, row.planKb * 1024);
        TFrmMain w;
        w.show();
        if (row.planKb == 0)
            small.fill();
        CaseDb()->SetFileOps(row.ops);
        ScriptedPrompts p;
        if (!row.programOnDisk)
            p.reply(disk);
        for (const auto &r : row.replies)
            p.reply(r);
        trigger(w, row.action);
        CaseDb()->SetFileOps(nullptr);
        const QStringList messages = shown(p); // the questions answered, then the one that says what went wrong
        ASSERT_EQ(messages.size(), std::count_if(row.replies.begin(), row.replies.end(),
                                                 [](const auto &r) { return std::holds_alternative<Answer>(r); }) + 1)
            << messages.join(" | ").toStdString();
        const QString said = messages.last();
        EXPECT_TRUE(said.startsWith(row.said) && said.contains("磁盘已满") && said.endsWith(row.ends) &&
                    said.contains("“" + QDir::toNativeSeparators(disk + row.where)))
            << said.toStdString();
        for (const QString &m : messages)
            EXPECT_FALSE(m.contains("重启软件")) << m.toStdString();
        EXPECT_EQ(caseCount(db()), 3);
        // Nothing half-made stays on the disk: the export's file, the incomplete backup.
        QStringList left = QDir(disk).entryList(row.programOnDisk ? QStringList{"Quorin_备份_*", "Quorin_*.db"}
                                                                 : QStringList(),
                                                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        left.removeAll("fill");
        EXPECT_EQ(left, QStringList());
        SetAppPath(path(""));
    }
}

// A case file kept on another disk through a link: the start sweeps there what a stopped replacement left beside
// it, and opens the cases there. (How the replacements go through links: the whole-database tests.)
TEST_F(DatabaseMenuTest, ALinkedCaseFileIsSweptAndOpenedWhereItLeads)
{
    const QString other = path("other/"), stopped = other + QLatin1String(kTemporaryMark) + "StoppedCopy";
    SmallDisk second(other, 4096); // a second disk where it can be had, else a folder
    saveCases(names, other + "Quorin.db");
    WriteBytes(stopped, "half");
    QFile::remove(db());
    ASSERT_TRUE(QFile::link(other + "Quorin.db", db()));
    TFrmMain w;
    w.show();
    EXPECT_FALSE(QFile::exists(stopped));
    TRecordData r;
    ASSERT_TRUE(CaseDb()->LoadCase(3, r));
    EXPECT_EQ(r.name, QStringLiteral("丙"));
}

using KilledImportTest = CaseWindowTest;

// 添加db文件 onto a USB stick, the program killed between claiming a comment file's name (an empty file) and
// renaming the written comment over the claim: the claim stays, empty. The next start writes it again from the
// case's row before the import's marker goes; where an empty comment file is met all the same, the case opens
// with its stored comment; and 存旧 never stores over the comment one it could not read.
TEST_F(KilledImportTest, TheCommentComesBackAndNoSaveStoresOverIt)
{
    const QString db = MRecordBase::DefaultPath(path("")), marker = db + ".remarks";
    const QString rtf = RemarkFilePath(path(""), QStringLiteral("吴艳395"));
    {
        MRecordBase other(path(""));
        ASSERT_EQ(other.Open(path("other.db")), 0);
        TRecordData r;
        r.name = QStringLiteral("吴艳");
        r.className = QStringLiteral("私人别墅");
        r.date = {1980, 5, 6, 7, 8};
        r.mountain = 5; // 子午
        r.buildYear = 2004;
        r.remarkFile = QStringLiteral("吴艳395");
        r.remarkText = QStringLiteral("评语396");
        ASSERT_GT(other.InsertCase(r), 0);
    }
    // The import of other.db into the case file, written through ops; its answer.
    const auto import = [&](CaseFileOps *ops) {
        MRecordBase b(path(""));
        b.SetRemarkCodec({[](const QString &text) { return "{\\rtf1 " + text.toUtf8() + "}"; }, {}});
        const bool opened = b.Open(db) == 0;
        b.SetFileOps(ops);
        return opened ? std::to_string(b.ImportDb(path("other.db"))) : std::string("not opened");
    };
    for (const bool killed : {true, false}) {
        SCOPED_TRACE(killed ? "the import killed at the claim" : "an empty comment file, no marker");
        QFile::remove(db);
        QDir(path("Quorin_f")).removeRecursively();
        storeCases({{"甲", 5, 2004, "私人别墅"}});
        if (killed) {
            StickOps stick;
            stick.killAt = "claimed";
            ASSERT_EQ(AnswerFromChild([&] { return import(&stick); }), "") << "the import was not killed at the claim";
            ASSERT_TRUE(QFile::exists(marker));
        } else {
            ASSERT_EQ(import(nullptr), "1");
            ASSERT_TRUE(QFile::resize(rtf, 0));
        }
        ASSERT_EQ(QFileInfo(rtf).size(), 0);

        auto w = open();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(marker); }, 10000))
            << "the import's marker stays: its comment file is whole";
        EXPECT_EQ(CommentFileText(rtf).isEmpty(), !killed) << "written again from the row at the start";
        doubleClickCase(*w, 2);
        ASSERT_TRUE(w->CaseOpen());
        EXPECT_EQ(find<QTextEdit>(w.get(), "RedtPingYu")->toPlainText(), QStringLiteral("评语396"));
        prompts.reply(Answer::Yes).reply(Answer::Ok); // 要修改…吗？ 已保存编辑后的案例。
        EXPECT_TRUE(w->SaveCaseClick());
        w.reset();
        TRecordData stored;
        MRecordBase after(path(""));
        ASSERT_TRUE(after.Open(db) == 0 && after.LoadCase(2, stored));
        EXPECT_EQ(stored.remarkText, QStringLiteral("评语396"));
        EXPECT_EQ(CommentFileText(RemarkFilePath(path(""), stored.remarkFile)), QStringLiteral("评语396"));
    }
}

} // namespace
