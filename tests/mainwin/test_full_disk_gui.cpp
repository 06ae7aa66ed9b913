// Every kind of file the program writes, written the user's way onto a disk that cannot take it (a file-size
// limit stands in for a full disk): the write fails with the system's reason, the old file stays byte for byte,
// no damaged or temporary file is left, and nothing says it was saved.
#include "GuiTestSupport.h"

#include "CommentFile.h"
#include "FloorPlan.h"
#include "PictureCommands.h"
#include "PictureOutput.h"
#include "TFrmAdjustCompass.h"
#include "TFrmMain.h"
#include "TQuickIni.h"
#include "TextPanes.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QTextEdit>

#include <cerrno>
#include <csignal>

#include <sys/resource.h>

using Answer = Prompts::Answer;

namespace {

// Every new file is larger than the limit but smaller than Qt's write buffer, so that the disk refuses only
// the final flush; the old files are larger than the limit, so that no rewrite of one fits under it either.
constexpr rlim_t kLimit = 200;
const QByteArray kOld = "; " + QByteArray(300, 'x') + "\r\n[set]\r\nmengong=46.08\r\n";
const QStringList kSaved = {"已经保存软件设置的修改，请重新排盘！", "已保存！", "保存成功！", "保存完成"};
const QString kComment = "Quorin_f/甲_197503041020.rtf";

struct FileKind {
    const char *what;
    QString file;                   // in the program folder; an old file there is kept
    std::function<QString()> write; // the user's road; the failure text shown or handed back
};

using FullDiskTest = ProgramFolderTest;

TEST_F(FullDiskTest, EveryKindOfFileFailsWithItsReasonAndKeepsTheOldFile)
{
    // A write past the limit fails with EFBIG once SIGXFSZ is ignored. Only the soft limit is lowered, so that it
    // goes back without privileges.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit normal{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &normal), 0);
    rlimit limited = normal;
    limited.rlim_cur = kLimit;
    ASSERT_TRUE(QDir().mkpath(path("Quorin_f")));
    for (const QString &old : {kComment, QString("dat/set.ini"), QString("dat/qrinit.ini"), QString("report.rtf"),
                               QString("plan.bmp"), QString("stars.bmp"), QString("skin.ini"), QString("skin.zip")})
        writeFile(old, kOld);
    auto w = std::make_unique<TFrmMain>();
    w->show();
    QTextEdit pane;
    pane.setPlainText(QStringLiteral("坐子向午，旺山旺向。").repeated(20));
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(path("photo.png"));
    TFrmAdjustCompass adjust;
    ASSERT_TRUE(adjust.LoadPicture(path("photo.png")));
    FloorPlan plan(&picture, path("picTemp"));
    ASSERT_TRUE(plan.SaveUndo());
    TQuickIni skin;
    for (int i = 0; i < 40; ++i)
        skin.WriteInteger("Colours", QStringLiteral("Colour%1").arg(i), i * 7919);

    const auto said = [this](auto act) {
        return [this, act] { act(); return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; };
    };
    const auto replyFile = [this](const QString &file) { prompts.reply(path(file)).reply(Answer::Ok); };
    const auto told = [](auto act) { return [act] { QString why; act(&why); return why; }; };
    const FileKind kinds[] = {
        {"settings", "dat/set.ini", said([&] {
             WithModalDialog([&] { w->findChild<QAction *>("Omenu_set")->trigger(); },
                             [&](QWidget *dlg) { prompts.reply(Answer::Ok); find<QPushButton>(dlg, "BitBtn1")->click(); });
         })},
        {"report saved as", "report.rtf", said([&] { replyFile("report.rtf"); TextPanes::Save(&pane); })},
        {"comment", kComment, told([&](QString *why) { SaveCommentFile(path(kComment), *pane.document(), why); })},
        {"picture saved as", "plan.bmp", said([&] { replyFile("plan.bmp"); PictureOutput::Save(picture); })},
        {"nine-star picture", "stars.bmp", said([&] { replyFile("stars.bmp"); SavePicture(picture, "九星"); })},
        {"floor-plan undo step", QDir(dir.path()).relativeFilePath(plan.StepFolder() + "/img1.bmp"),
         [&] { return plan.SaveUndo() ? QString() : plan.Message(); }},
        {"compass photograph", "compass/新罗盘.jpg", said([&] {
             prompts.reply(QStringLiteral("新罗盘")).reply(Answer::Ok);
             find<QPushButton>(&adjust, "BitBtn6")->click();
         })},
        {"skin ini", "skin.ini", told([&](QString *why) { skin.SaveToFile(path("skin.ini"), why); })},
        {"packed skin ini", "skin.zip", told([&](QString *why) { skin.SavetoZip(path("skin.zip"), why); })},
        {"window layout", "dat/qrinit.ini", said([&] { prompts.reply(Answer::Yes).reply(Answer::Ok); w->close(); })},
    };
    for (const FileKind &k : kinds) {
        const QByteArray old = readFile(k.file);
        const QDir folder = QFileInfo(path(k.file)).dir();
        const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);
        const qsizetype asked = prompts.asked().size();
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const QString shown = k.write();
        setrlimit(RLIMIT_FSIZE, &normal);
        EXPECT_TRUE(readFile(k.file) == old) << k.what << ": the old file changed";
        EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), before) << k.what; // nothing damaged left behind
        EXPECT_TRUE(shown.contains("无法写入文件“" + path(k.file) + "”") && shown.contains(qt_error_string(EFBIG)))
            << k.what << ": " << shown.toStdString();
        for (qsizetype i = asked; i < prompts.asked().size(); ++i)
            EXPECT_FALSE(kSaved.contains(prompts.asked()[i].text)) << k.what;
    }
}

} // namespace
