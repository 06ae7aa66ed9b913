// The file dialogs of the main window: each opens where the user last chose a file of its kind, after a restart
// too, and the floor-plan dialog offers every picture format the program reads.
#include "GuiTestSupport.h"

#include "TFrmMain.h"
#include "TextPanes.h"

#include <QAction>
#include <QDir>
#include <QImageReader>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>

using Answer = Prompts::Answer;
using Reply = ScriptedPrompts::Reply;
constexpr ScriptedPrompts::Cancel Cancel;

TEST_F(ProgramFolderTest, EachFileDialogOpensWhereAFileOfItsKindWasLastChosenAfterARestart)
{
    for (const char *folder : {"plans", "reports", "pictures", "backups/old", "casefiles"})
        ASSERT_TRUE(QDir().mkpath(path(QLatin1String(folder))));
    QImage(40, 30, QImage::Format_RGB32).save(path("plans/plan.png"));
    auto report = [](TFrmMain &w) { return find<QTextEdit>(&w, "RedtQuorin"); };
    const struct {
        const char *what;
        std::function<void(TFrmMain &)> open;
        std::vector<Reply> first; // a first choice and what follows it; none: only opened after the restart
        const char *folder;
        std::vector<Reply> cancel = {Cancel}; // after the restart: the dialog cancelled
    } dialogs[] = {
        {"户型图", [](TFrmMain &w) { w.SpeedButton1Click(); }, {path("plans/plan.png")}, "plans"},
        {"另存为", [&](TFrmMain &w) { TextPanes::Save(report(w)); }, {path("reports/r"), Answer::Ok}, "reports"},
        {"导入阳宅断语", [&](TFrmMain &w) { TextPanes::Import(report(w)); }, {}, "reports"},
        {"picture", [](TFrmMain &w) { w.findChild<QAction *>("MenuItem10")->trigger(); },
         {path("pictures/chart.png"), Answer::Ok}, "pictures"},
        // A backup chosen for restoring is one of the backups: the next choice starts beside it.
        {"restore", [](TFrmMain &w) { w.menu_f_importClick(); }, {Answer::Yes, path("backups/old"), Answer::Ok},
         "backups", {Answer::Yes, Cancel}},
        {"backup", [](TFrmMain &w) { w.menu_f_exportClick(); }, {}, "backups"},
        // The floor plan loaded above is a new case's: it is not kept.
        {"add db", [](TFrmMain &w) { w.db1Click(); }, {Answer::No, path("casefiles/none.db"), Answer::Ok}, "casefiles"},
        {"export db",
         [](TFrmMain &w) {
             WithModalDialog([&] { w.db2Click(); }, [](QWidget *dlg) { find<QPushButton>(dlg, "BitBtn1")->click(); });
         },
         {}, "casefiles"},
    };
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto openedIn = [&] {
        for (auto q = prompts.asked().crbegin(); q != prompts.asked().crend(); ++q)
            if (q->kind != ScriptedPrompts::Kind::Message)
                return q->initial;
        return QString();
    };
    for (int run = 0; run < 2; ++run) {
        TFrmMain w;
        w.show();
        for (const auto &d : dialogs) {
            if (run == 0 && d.first.empty())
                continue;
            for (const Reply &r : run == 0 ? d.first : d.cancel)
                prompts.reply(r);
            d.open(w);
            if (run == 0)
                EXPECT_TRUE(openedIn() == documents || openedIn() == QDir::homePath()) << d.what;
            else
                EXPECT_EQ(openedIn(), path(QLatin1String(d.folder))) << d.what;
        }
        // The first run's floor plan of a new case is not kept.
        EXPECT_TRUE(run == 0 ? CloseUnsaved(w, prompts) : CloseAnswering(w, prompts, {Answer::Yes}));
    }
    EXPECT_EQ(prompts.unexpected(), 0);

    // The plan dialog lists every format the program reads, all of them first, then PNG.
    const QStringList filters = prompts.asked().first().text.split(QStringLiteral(";;"));
    ASSERT_GE(filters.size(), 2);
    EXPECT_EQ(filters[1], QStringLiteral("Png (*.png)"));
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("所有图片 (")));
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        EXPECT_TRUE(filters[0].contains("*." + format)) << format.data();
}
