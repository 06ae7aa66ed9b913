// The first start on a fresh program folder, run on a 1366 x 768 and on a 1920 x 1080 screen: the window
// shows the whole chart picture beside the report, with the input panel and the case tree whole.
#include "GuiTestSupport.h"

#include "AppPath.h"
#include "CaseFileMaker.h"
#include "CaseTree.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

using Answer = Prompts::Answer;

namespace {

class FirstStartTest : public ProgramFolderTest {
protected:
    std::unique_ptr<TFrmMain> open()
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        QApplication::processEvents();
        return w;
    }
    void close(TFrmMain &w)
    {
        prompts.reply(Answer::Yes);
        w.close();
    }
    // Whether `part` lies whole inside what the scroll area's viewport shows.
    static bool shownWhole(QScrollArea *scroll, QWidget *part)
    {
        const QRect inViewport(part->mapTo(scroll->viewport(), QPoint(0, 0)), part->size());
        return scroll->viewport()->rect().contains(inViewport);
    }
};

} // namespace

// In the native look and in both shipped skins, whose frame the window draws itself.
TEST_F(FirstStartTest, TheWindowShowsTheWholeChartPictureBesideTheReport)
{
    for (const char *skin : {"", "Mx1", "Mx2"}) {
        SCOPED_TRACE(skin);
        QByteArray settings;
        if (*skin) {
            QFile::remove(path(QStringLiteral("skins/%1.skn").arg(QLatin1String(skin))));
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUORIN_STAGED_SKINS "/%1.skn").arg(QLatin1String(skin)),
                                    path(QStringLiteral("skins/%1.skn").arg(QLatin1String(skin)))));
            settings = QByteArray("[window]\nskined=1\nskinname=") + skin + "\n";
        }
        writeFile(QStringLiteral("dat/qrinit.ini"), settings);
        auto w = open();
        if (*skin)
            QTest::qWait(700); // the skin comes on the skin manager's timer, and its frame settles
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = w->frameGeometry();
        RecordProperty(*skin ? skin : "native", QStringLiteral("%1x%2 at %3,%4 on %5x%6")
                                                    .arg(frame.width()).arg(frame.height()).arg(frame.x()).arg(frame.y())
                                                    .arg(available.width()).arg(available.height()).toStdString());
        EXPECT_TRUE(available.contains(frame));
        EXPECT_LE(std::abs(frame.center().x() - available.center().x()), 1); // centred
        EXPECT_LE(std::abs(frame.center().y() - available.center().y()), 1);

        w->findChild<QLineEdit *>(QStringLiteral("EdtName"))->setText(QStringLiteral("张三"));
        w->findChild<QLineEdit *>(QStringLiteral("LedtShengNian"))->setText(QStringLiteral("1980"));
        w->BtnPaiClick();
        ASSERT_TRUE(w->ChartValid());
        QApplication::processEvents();
        auto *scroll = find<QScrollArea>(w.get(), "ScrollBox1");
        auto *chart = find<TImage>(w.get(), "Img1");
        EXPECT_EQ(chart->size(), QSize(500, 580));
        EXPECT_TRUE(shownWhole(scroll, chart)) << "viewport " << scroll->viewport()->width() << "x"
                                               << scroll->viewport()->height();
        // The report beside it has room for lines of text, and every part of the input panel is whole.
        auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
        EXPECT_GE(report->viewport()->width(), 20 * report->fontMetrics().horizontalAdvance(QChar(0x56FD)));
        QWidget *panel = find<QWidget>(w.get(), "PanInput");
        EXPECT_GE(panel->height(), panel->sizeHint().height());
        EXPECT_GE(panel->width(), panel->sizeHint().width());
        close(*w);
    }
}

TEST_F(FirstStartTest, TheTreeShowsTypicalCasesWhole)
{
    ASSERT_EQ(MakeCaseFile(WithSlash(dir.path()), 10), 10);
    auto w = open();
    auto *tree = find<QTreeWidget>(w.get(), "Tree");
    tree->expandAll();
    QApplication::processEvents();
    EXPECT_EQ(w->Tree().Count(), 10);
    // The column is as wide as its widest case node, indentation and icon included.
    EXPECT_LE(tree->header()->sectionSize(0), tree->viewport()->width()) << "tree " << tree->width();
    EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0);
    close(*w);
}
