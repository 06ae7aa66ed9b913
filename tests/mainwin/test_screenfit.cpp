// Every look of the program, chosen at start or while it runs, on a small laptop's screen (1366 x 768, also
// scaled x2): the main window stays wholly on the screen with the whole chart picture, and the size stored
// on closing is the size the user saw.
#include "GuiTestSupport.h"

#include "IniFile.h"
#include "TFrmMain.h"
#include "TImage.h"
#include "TSkinManage.h"

#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

namespace {

const QString kNative = QStringLiteral("系统默认");

class ScreenFitTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        for (const char *skin : {"Mx1", "Mx2"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUORIN_STAGED_SKINS "/") + skin + ".skn",
                                    path(QStringLiteral("skins/") + skin + ".skn")));
    }
    void TearDown() override
    {
        ResetSkinManager();
        ProgramFolderTest::TearDown();
    }
    // qrinit.ini with the look `look` (empty: native) and, unless empty, a stored client size.
    void store(const QString &look, QSize client = {})
    {
        QByteArray ini = "[window]\n";
        if (!look.isEmpty())
            ini += "skined=1\nskinname=" + look.toLatin1() + "\n";
        if (!client.isEmpty())
            ini += QStringLiteral("left=60\ntop=20\nwidth=%1\nheight=%2\n").arg(client.width()).arg(client.height()).toLatin1();
        writeFile(QStringLiteral("dat/qrinit.ini"), ini);
    }
    QSize storedSize() const
    {
        const IniFile ini(path(QStringLiteral("dat/qrinit.ini")));
        return {ini.ReadInteger(QStringLiteral("window"), QStringLiteral("width"), 0),
                ini.ReadInteger(QStringLiteral("window"), QStringLiteral("height"), 0)};
    }
    std::unique_ptr<TFrmMain> start()
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        QTest::qWait(700); // the skin comes on the skin manager's timer; its frame settles
        return w;
    }
    // Chooses a look in 界面风格 as the user does, and lets the skin and the frame settle.
    static void choose(TFrmMain &w, const QString &look)
    {
        QAction *choice = nullptr;
        for (QAction *a : w.findChild<QMenu *>(QStringLiteral("Opt_Skin"))->actions())
            if (a->text() == (look.isEmpty() ? kNative : look))
                choice = a;
        ASSERT_NE(choice, nullptr) << look.toStdString();
        choice->trigger();
        QTest::qWait(700);
    }
    void close(std::unique_ptr<TFrmMain> &w)
    {
        prompts.reply(Prompts::Answer::Yes);
        w->close();
        w.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetSkinManager();
    }
    // The window lies within the screen's available area and shows the chart picture whole.
    static void expectFitsWithChartWhole(TFrmMain &w)
    {
        const QRect available = w.screen()->availableGeometry();
        EXPECT_TRUE(available.contains(w.frameGeometry())) << "frame " << w.frameGeometry().y() << "+"
                                                          << w.frameGeometry().height();
        auto *scroll = find<QScrollArea>(&w, "ScrollBox1");
        auto *chart = find<TImage>(&w, "Img1");
        EXPECT_TRUE(scroll->viewport()->rect().contains(QRect(chart->mapTo(scroll->viewport(), QPoint()), chart->size())))
            << "viewport " << scroll->viewport()->height() << " for a chart of " << chart->height();
    }
};

TEST_F(ScreenFitTest, EveryLookKeepsTheWindowOnTheScreenWithTheWholeChartAndItsSize)
{
    const QString looks[] = {"Mx1", kNative, "Mx2", "Mx1", kNative};
    for (const QString first : {"", "Mx1", "Mx2"}) {
        SCOPED_TRACE("started " + (first.isEmpty() ? std::string("native") : first.toStdString()));
        store(first);
        auto w = start();
        expectFitsWithChartWhole(*w);
        const QSize seen = w->centralWidget()->size();
        for (const QString &look : looks) {
            SCOPED_TRACE(look.toStdString());
            choose(*w, look == kNative ? QString() : look);
            expectFitsWithChartWhole(*w);
            EXPECT_EQ(w->centralWidget()->size(), seen);
        }
        close(w);
    }
}

TEST_F(ScreenFitTest, SwitchingLooksStoresTheSizeTheUserSees)
{
    const QSize client(1000, 700);
    const struct {
        const char *start;
        std::vector<QString> looks; // chosen in turn before closing
    } rows[] = {
        {"Mx1", {""}},
        {"", {"Mx1"}},
        {"", {"Mx2", ""}},
        {"Mx2", {"", "Mx1", "Mx2"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.start);
        store(QString::fromLatin1(row.start), client);
        auto w = start();
        ASSERT_EQ(w->centralWidget()->size(), client);
        for (const QString &look : row.looks)
            choose(*w, look);
        EXPECT_EQ(w->centralWidget()->size(), client);
        close(w);
        EXPECT_EQ(storedSize(), client);
        // The next start comes back at the size stored.
        w = start();
        EXPECT_EQ(w->centralWidget()->size(), client);
        close(w);
        EXPECT_EQ(storedSize(), client);
    }
}

} // namespace
