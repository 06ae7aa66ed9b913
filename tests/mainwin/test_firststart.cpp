// The first start on a fresh program folder, run on a 1366 x 768 and on a 1920 x 1080 screen: the window
// shows the whole chart picture beside the report, with the input panel and the case tree whole.
#include "GuiTestSupport.h"

#include "AppPath.h"
#include "CaseFileMaker.h"
#include "CaseTree.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QApplication>
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

TEST_F(FirstStartTest, TheWindowShowsTheWholeChartPictureBesideTheReport)
{
    auto w = open();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = w->frameGeometry();
    RecordProperty("window", QStringLiteral("%1x%2 at %3,%4 on %5x%6")
                                 .arg(frame.width()).arg(frame.height()).arg(frame.x()).arg(frame.y())
                                 .arg(available.width()).arg(available.height()).toStdString());
    EXPECT_TRUE(available.contains(frame));
    // Centred on the screen's available area.
    EXPECT_LE(std::abs(frame.center().x() - available.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - available.center().y()), 1);

    w->findChild<QLineEdit *>(QStringLiteral("EdtName"))->setText(QStringLiteral("张三"));
    w->findChild<QLineEdit *>(QStringLiteral("LedtShengNian"))->setText(QStringLiteral("1980"));
    w->BtnPaiClick();
    ASSERT_TRUE(w->ChartValid());
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
