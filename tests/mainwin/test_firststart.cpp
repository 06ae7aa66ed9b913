// The first start on a fresh program folder, run on a 1366 x 768 and on a 1920 x 1080 screen: the window
// shows the whole chart picture beside the report, with the input panel and the case tree whole.
#include "GuiTestSupport.h"

#include "AppPath.h"
#include "CaseFileMaker.h"
#include "IniFile.h"
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

// In the native look and in both shipped skins, whose frame the window draws itself.
TEST_F(ProgramFolderTest, FirstStartShowsTheWholeChartPictureBesideTheReportAndTheTreesCasesWhole)
{
    ASSERT_EQ(MakeCaseFile(WithSlash(dir.path()), 10), 10);
    for (const QString skin : {"", "Mx1", "Mx2"}) {
        SCOPED_TRACE(skin.toStdString());
        ASSERT_TRUE(skin.isEmpty() || QFile::copy(QUORIN_STAGED_SKINS "/" + skin + ".skn", path("skins/" + skin + ".skn")));
        writeFile("dat/qrinit.ini", skin.isEmpty() ? QByteArray() : "[window]\nskined=1\nskinname=" + skin.toLatin1());
        TFrmMain w;
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(skin.isEmpty() ? 0 : 700); // the skin comes on the skin manager's timer; its frame settles
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect frame = w.frameGeometry();
        EXPECT_TRUE(available.contains(frame));
        EXPECT_LE((frame.center() - available.center()).manhattanLength(), 2); // centred

        find<QLineEdit>(&w, "EdtName")->setText(QStringLiteral("张三"));
        find<QLineEdit>(&w, "LedtShengNian")->setText(QStringLiteral("1980"));
        w.BtnPaiClick();
        ASSERT_TRUE(w.ChartValid());
        QApplication::processEvents();
        auto *scroll = find<QScrollArea>(&w, "ScrollBox1");
        auto *chart = find<TImage>(&w, "Img1");
        EXPECT_EQ(chart->size(), QSize(500, 580));
        EXPECT_TRUE(scroll->viewport()->rect().contains(QRect(chart->mapTo(scroll->viewport(), QPoint()), chart->size())))
            << "viewport " << scroll->viewport()->width() << "x" << scroll->viewport()->height();
        // The report beside it has room for lines of text, and every part of the input panel is whole.
        auto *report = find<QTextEdit>(&w, "RedtQuorin");
        EXPECT_GE(report->viewport()->width(), 20 * report->fontMetrics().horizontalAdvance(QChar(0x56FD)));
        QWidget *panel = find<QWidget>(&w, "PanInput");
        EXPECT_GE(panel->height(), panel->sizeHint().height());
        EXPECT_GE(panel->width(), panel->sizeHint().width());
        // The tree's column is as wide as its widest case node, indentation and icon included.
        auto *tree = find<QTreeWidget>(&w, "Tree");
        tree->expandAll();
        QApplication::processEvents();
        EXPECT_LE(tree->header()->sectionSize(0), tree->viewport()->width()) << "tree " << tree->width();
        EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0);
        ASSERT_TRUE(CloseUnsaved(w, prompts)); // the house laid out is not kept
        // What is stored is the client area without any frame, so that the next start is the same size.
        const IniFile ini(path(QStringLiteral("dat/qrinit.ini")));
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("window"), QStringLiteral("width"), 0), w.centralWidget()->width());
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("window"), QStringLiteral("height"), 0), w.centralWidget()->height());
    }
}
