// The file dialogs of the main window: each opens where the user last chose a file of its kind, after a restart
// too, and the floor-plan dialog offers every picture format the program reads.
#include "GuiTestSupport.h"

#include "TFrmMain.h"
#include "TImage.h"
#include "TextPanes.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>

using Answer = Prompts::Answer;
using Kind = ScriptedPrompts::Kind;

namespace {

class FileDialogsTest : public ProgramFolderTest {
protected:
    // The folder the last file or folder chooser opened in.
    QString lastFolder() const
    {
        for (auto q = prompts.asked().crbegin(); q != prompts.asked().crend(); ++q)
            if (q->kind == Kind::OpenFile || q->kind == Kind::SaveFile || q->kind == Kind::Folder)
                return q->initial;
        return {};
    }
    static void trigger(TFrmMain &w, const char *action) { w.findChild<QAction *>(QLatin1String(action))->trigger(); }
};

} // namespace

TEST_F(FileDialogsTest, EachDialogOpensWhereAFileOfItsKindWasLastChosenAfterARestart)
{
    for (const char *folder : {"plans", "reports", "pictures", "backups/old", "casefiles"})
        ASSERT_TRUE(QDir().mkpath(path(QLatin1String(folder))));
    QImage(40, 30, QImage::Format_RGB32).save(path("plans/plan.png"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const struct {
        const char *what;
        std::function<void(TFrmMain &)> open;
        const char *chosen;
        std::vector<ScriptedPrompts::Reply> after; // the replies to what the command asks next
    } first[] = {
        {"户型图", [](TFrmMain &w) { w.SpeedButton1Click(); }, "plans/plan.png", {}},
        {"另存为", [](TFrmMain &w) { TextPanes::Save(find<QTextEdit>(&w, "RedtQuorin")); }, "reports/r", {Answer::Ok}},
        {"picture", [](TFrmMain &w) { trigger(w, "MenuItem10"); }, "pictures/chart.png", {Answer::Ok}},
        {"backup", [](TFrmMain &w) { w.menu_f_exportClick(); }, "backups", {Answer::Ok}},
        {"add db", [](TFrmMain &w) { w.db1Click(); }, "casefiles/none.db", {Answer::Ok}},
    };
    {
        TFrmMain w;
        w.show();
        for (const auto &row : first) {
            prompts.reply(path(QLatin1String(row.chosen)));
            for (const auto &r : row.after)
                prompts.reply(r);
            row.open(w);
            const QString opened = lastFolder();
            EXPECT_TRUE(opened == documents || opened == QDir::homePath()) << row.what << " " << opened.toStdString();
        }
        EXPECT_EQ(find<TImage>(&w, "ImgBk")->Picture().size(), QSize(40, 30)); // the PNG plan loaded
        prompts.reply(Answer::Yes);
        w.close();
    }
    EXPECT_EQ(prompts.unexpected(), 0);

    const struct {
        const char *what;
        std::function<void(TFrmMain &)> open;
        const char *folder;
    } again[] = {
        {"户型图", [](TFrmMain &w) { w.SpeedButton1Click(); }, "plans"},
        {"另存为", [](TFrmMain &w) { TextPanes::Save(find<QTextEdit>(&w, "RedtQuorin")); }, "reports"},
        {"导入阳宅断语", [](TFrmMain &w) { TextPanes::Import(find<QTextEdit>(&w, "RedtQuorin")); }, "reports"},
        {"picture", [](TFrmMain &w) { trigger(w, "MenuItem10"); }, "pictures"},
        {"backup", [](TFrmMain &w) { w.menu_f_exportClick(); }, "backups"},
        {"restore", [this](TFrmMain &w) { prompts.reply(Answer::Yes); w.menu_f_importClick(); }, "backups"},
        {"add db", [](TFrmMain &w) { w.db1Click(); }, "casefiles"},
        {"export db",
         [](TFrmMain &w) {
             WithModalDialog([&] { w.db2Click(); }, [](QWidget *dlg) { find<QPushButton>(dlg, "BitBtn1")->click(); });
         },
         "casefiles"},
    };
    TFrmMain w;
    w.show();
    for (const auto &row : again) {
        prompts.reply(ScriptedPrompts::Cancel{});
        row.open(w);
        EXPECT_EQ(lastFolder(), path(QLatin1String(row.folder))) << row.what;
    }
    // A backup chosen for restoring is one of the backups: the next choice starts beside it.
    prompts.reply(Answer::Yes).reply(path("backups/old")).reply(Answer::Ok);
    w.menu_f_importClick();
    prompts.reply(ScriptedPrompts::Cancel{});
    w.menu_f_exportClick();
    EXPECT_EQ(lastFolder(), path("backups"));

    // The plan dialog lists every format the program reads: all of them first, then PNG.
    const QStringList filters = prompts.asked().first().text.split(QStringLiteral(";;"));
    ASSERT_GE(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("所有图片 ("))) << filters[0].toStdString();
    EXPECT_EQ(filters[1], QStringLiteral("Png (*.png)"));
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        EXPECT_TRUE(filters[0].contains(QStringLiteral("*.") + QString::fromLatin1(format))) << format.constData();
    prompts.reply(Answer::Yes);
    w.close();
}
