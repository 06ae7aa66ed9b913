// Every look of the program, chosen at start or while it runs, on a small laptop's screen (1366 x 768, also
// scaled x2): the main window stays wholly on the screen with the whole chart picture, and the size stored
// on closing is the size the user saw.
#include "GuiTestSupport.h"

#include "CaseSearch.h"
#include "ChildProcess.h"
#include "DataFolderLock.h"
#include "AppPath.h"
#include "IniFile.h"
#include "MRecordBase.h"
#include "TFrmAdjustCompass.h"
#include "TFrmCompassLayer.h"
#include "TFrmEditClass.h"
#include "TFrmExportClass.h"
#include "TFrmFeiBu.h"
#include "TFrmFenLei.h"
#include "TFrmJiuXing.h"
#include "TFrmMain.h"
#include "TFrmMenChi.h"
#include "TFrmMenChi2.h"
#include "TFrmSameName.h"
#include "TFrmSearch.h"
#include "TFrmSet.h"
#include "TFrmSetPen.h"
#include "TFrmText.h"
#include "TFrmTime.h"
#include "TFrmTxtHelp.h"
#include "TFrmWnl.h"
#include "TImage.h"
#include "TSkinManage.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QRadioButton>
#include <QToolButton>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <csignal>

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
    // qrinit.ini with the look `look` (empty: native) and, unless empty, a stored client size at `at`.
    void store(const QString &look, QSize client = {}, QPoint at = {60, 20})
    {
        QByteArray ini = "[window]\n";
        if (!look.isEmpty())
            ini += "skined=1\nskinname=" + look.toLatin1() + "\n";
        if (!client.isEmpty())
            ini += QStringLiteral("left=%1\ntop=%2\nwidth=%3\nheight=%4\n")
                       .arg(at.x())
                       .arg(at.y())
                       .arg(client.width())
                       .arg(client.height())
                       .toLatin1();
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
    // A window with a house laid out is also asked whether the new case is to be saved: no.
    void close(std::unique_ptr<TFrmMain> &w, bool houseEntered = false)
    {
        prompts.reply(Prompts::Answer::Yes);
        if (houseEntered)
            prompts.reply(Prompts::Answer::No);
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

// Each tool window, opened from the main window as the user does, in either look: it stands over the main
// window (its centre on the middle of the main window) and wholly on the screen's available area. The main
// window stands right of the middle and reaches the screen's foot, where a window as tall as the nine-star chart
// does not fit below its top.
TEST_F(ScreenFitTest, ToolWindowsOpenOverTheMainWindowAndWhollyOnTheScreen)
{
    const struct {
        const char *opener; // a menu item, or a button of the main window
        const char *form;
        bool modal;
    } rows[] = {
        {"TmnuJiuXing", "TFrmJiuXing", false}, {"TmnuFeiBu", "TFrmFeiBu", false}, {"Tmnuwnl", "TFrmWnl", false},
        {"TmnuMenChi", "TFrmMenChi", true},    {"MenuMenDing", "TFrmMenChi2", true}, {"BtoShengRi", "TFrmTime", true},
    };
    for (const QString look : {"", "Mx1"}) {
        store(look, {900, 590}, {440, 150});
        auto w = start();
        const QRect main = w->frameGeometry();
        const QRect middle(main.topLeft() + QPoint(main.width() / 4, main.height() / 4), main.size() / 2);
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(row.form) + " " + look.toStdString());
            const auto open = [&] {
                if (auto *button = w->findChild<QToolButton *>(QLatin1String(row.opener)))
                    button->click();
                else
                    find<QAction>(w.get(), row.opener)->trigger();
            };
            const auto check = [&](QWidget *tool) {
                QTest::qWait(500); // a skin's frame comes on the skin manager's timer
                EXPECT_EQ(tool->objectName(), QLatin1String(row.form));
                const QRect outer = tool->frameGeometry();
                EXPECT_TRUE(w->screen()->availableGeometry().contains(outer))
                    << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height();
                EXPECT_TRUE(middle.contains(outer.center())) << outer.center().x() << "," << outer.center().y();
            };
            if (row.modal) {
                WithModalDialog(open, check);
                continue;
            }
            open();
            QWidget *tool = QApplication::activeWindow();
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->objectName() == QLatin1String(row.form))
                    tool = top;
            ASSERT_NE(tool, nullptr);
            check(tool);
            tool->close();
        }
        close(w);
    }
}

// The width a title bar needs for `window`'s title as the window manager shows it (the application's name after
// it), in a bold face, with room for the bar's icon and three buttons and the gaps around them. A window
// manager's bar (openbox's) cut "分类保存 — Quorin 3.3" at 238 pixels, where this asks for about 250.
int titleBarNeeds(const QWidget &window)
{
    QFont bold = window.font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const QString shown = window.windowTitle() + QStringLiteral(" \u2014 ") + QApplication::applicationDisplayName();
    return fm.horizontalAdvance(shown) + 6 * (fm.height() + 4);
}

// Every dialog and tool window of the program, and the input and message boxes, in either look.
TEST_F(ScreenFitTest, EveryDialogIsAsWideAsItsTitleInTheTitleBar)
{
    QPen pen;
    TCompassLayers layers{};
    TDateRec date{1980, 6, 1, 12, 0};
    uint8_t lunar = 0, leap = 0;
    TSearchData search;
    CommentTexts comments(path(QString()), [](const QString &) { return QString(); });
    const QStringList classes{QStringLiteral("默认")};
    using Make = std::function<QWidget *(QWidget *)>;
    const std::pair<const char *, Make> dialogs[] = {
        {"TFrmSet", [](QWidget *p) { return new TFrmSet(p); }},
        {"TFrmText", [](QWidget *p) { return new TFrmText(p); }},
        {"TFrmTxtHelp", [](QWidget *p) { return new TFrmTxtHelp(p); }},
        {"TFrmSetPen", [&](QWidget *p) { return new TFrmSetPen(pen, p); }},
        {"TFrmCompassLayer", [&](QWidget *p) { return new TFrmCompassLayer(layers, p); }},
        {"TFrmAdjustCompass", [](QWidget *p) { return new TFrmAdjustCompass(p); }},
        {"TFrmEditClass", [](QWidget *p) { return new TFrmEditClass(*CaseDb(), p); }},
        {"TFrmExportClass", [&](QWidget *p) { return new TFrmExportClass(classes, p); }},
        {"TFrmFenLei", [&](QWidget *p) { return new TFrmFenLei(classes, p); }},
        {"TFrmSameName", [&](QWidget *p) { return new TFrmSameName(classes, p); }},
        {"TFrmSearch", [&](QWidget *p) { return new TFrmSearch(*CaseDb(), comments, search, p); }},
        {"TFrmJiuXing", [](QWidget *p) { return new TFrmJiuXing(p); }},
        {"TFrmFeiBu", [](QWidget *p) { return new TFrmFeiBu(p); }},
        {"TFrmWnl", [](QWidget *p) { return new TFrmWnl(p); }},
        {"TFrmMenChi", [](QWidget *p) { return new TFrmMenChi(p); }},
        {"TFrmMenChi2", [](QWidget *p) { return new TFrmMenChi2(p); }},
        {"TFrmTime", [&](QWidget *p) { return new TFrmTime(date, lunar, leap, p); }},
    };
    for (const QString look : {"", "Mx1"}) {
        store(look);
        auto w = start();
        const auto measure = [&](QWidget *box) {
            QTest::qWait(look.isEmpty() ? 20 : 400);
            EXPECT_GE(box->width(), titleBarNeeds(*box)) << box->windowTitle().toStdString();
        };
        for (const auto &[name, make] : dialogs) {
            SCOPED_TRACE(std::string(name) + " " + look.toStdString());
            std::unique_ptr<QWidget> dialog(make(w.get()));
            dialog->show();
            measure(dialog.get());
        }
        // The boxes of the program's questions, as the real prompts show them.
        QtPrompts real;
        WithModalDialog([&] { real.inputText(QStringLiteral("物件长度"), QStringLiteral("请输入物件长度，以寸为单位。"), QString()); },
                        measure);
        WithModalDialog([&] { real.inform(QStringLiteral("提示"), QStringLiteral("已保存！")); }, measure);
        close(w);
    }
}

// A floor plan wider than the picture's view brings a horizontal scroll bar; the chart over it still shows
// whole, its last caption line (the 坐向 line) included, in the round chart and in the compass view, and the
// window stays on the screen.
TEST_F(ScreenFitTest, TheChartsCaptionStaysInViewOverAWidePlan)
{
    const QSize plans[] = {{760, 640}, {1200, 300}, {2000, 2000}};
    for (const QSize &size : plans) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        store(QString());
        auto w = start();
        find<QRadioButton>(w.get(), "RdoPanShape_0")->click(); // 圆盘
        const std::pair<const char *, const char *> inputs[] = {
            {"LedtZtd", "0:0"}, {"EdtYear", "2004"}, {"EdtName", "张三"}, {"LedtShengNian", "1980"}};
        for (const auto &[name, text] : inputs)
            find<QLineEdit>(w.get(), name)->setText(QString::fromUtf8(text));
        w->BtnPaiClick();
        ASSERT_TRUE(w->ChartValid());
        QImage plan(size, QImage::Format_RGB32);
        plan.fill(Qt::white);
        QPainter(&plan).drawRect(10, 10, size.width() - 20, size.height() - 20);
        ASSERT_TRUE(plan.save(path(QStringLiteral("plan.bmp"))));
        ASSERT_TRUE(w->LoadFloorPlan(path(QStringLiteral("plan.bmp"))));
        for (const char *view : {"round chart", "compass view"}) {
            SCOPED_TRACE(view);
            if (std::string(view) == "compass view")
                find<QAction>(w.get(), "pMenuCompassShow")->trigger();
            QApplication::processEvents();
            ASSERT_TRUE(find<QScrollArea>(w.get(), "ScrollBox1")->horizontalScrollBar()->isVisible());
            expectFitsWithChartWhole(*w);
        }
        close(w, true);
    }
}

// The rows of the chart's last caption line (the 坐向 line, at the picture's lower left) that the window does
// not show with ink, as under the horizontal scroll bar. A row is looked for in the window's own pixels, at the
// screen's ratio, where the picture is drawn anew and sharp. -1 when the picture has no caption line.
int captionRowsCovered(TFrmMain &w)
{
    auto *chart = find<TImage>(&w, "Img1");
    const QImage picture = chart->Picture().convertToFormat(QImage::Format_ARGB32);
    const int left = picture.width() / 3;
    const auto rowInked = [left](const QImage &image, int y, int from, int to) {
        for (int x = from; x < to; ++x)
            if (qAlpha(image.pixel(x, y)) > 200 && qGray(image.pixel(x, y)) < 100)
                return true;
        return false;
    };
    int last = -1; // the line's lowest row of ink
    for (int y = picture.height() - 1; y >= picture.height() - 40 && last < 0; --y)
        if (rowInked(picture, y, 0, left))
            last = y;
    if (last < 0)
        return -1;
    const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const qreal ratio = shown.devicePixelRatio();
    const QPoint origin = chart->mapTo(&w, QPoint());
    int covered = 0;
    for (int y = last - 8; y <= last - 1; ++y) {
        if (!rowInked(picture, y, 0, left))
            continue;
        bool seen = false;
        for (int d = 0; d < int(ratio) && !seen; ++d) {
            const int row = int((origin.y() + y) * ratio) + d;
            seen = row < shown.height() &&
                   rowInked(shown, row, int(origin.x() * ratio), std::min(shown.width(), int((origin.x() + left) * ratio)));
        }
        covered += seen ? 0 : 1;
    }
    return covered;
}

// A floor plan wider than the view, under the round chart, in every look: chosen at start or switched to, before
// the plan comes or after it. The chart's last caption line shows whole, not under the horizontal scroll bar,
// and the window stays on the screen (where it cannot grow by the bar, the view shows the chart's foot).
TEST_F(ScreenFitTest, TheChartsCaptionLineIsNotCoveredByTheScrollBarInAnyLook)
{
    const struct {
        const char *start;
        std::vector<QString> looks; // chosen in turn
        bool planFirst;             // the plan comes before the looks are chosen
    } rows[] = {
        {"", {}, false},         {"Mx1", {}, false},        {"Mx2", {}, false},
        {"", {"Mx1"}, false},    {"", {"Mx2"}, false},      {"Mx1", {""}, false},
        {"", {"Mx1", ""}, false}, {"", {"Mx1", "Mx2"}, true}, {"Mx2", {""}, true},
        {"", {"Mx1", ""}, true},
    };
    for (const auto &row : rows) {
        std::string looks;
        for (const QString &l : row.looks)
            looks += " > " + (l.isEmpty() ? std::string("native") : l.toStdString());
        SCOPED_TRACE(std::string(*row.start ? row.start : "native") + looks + (row.planFirst ? ", plan first" : ""));
        store(QString::fromLatin1(row.start));
        auto w = start();
        const auto chooseLooks = [&] {
            for (const QString &look : row.looks)
                choose(*w, look);
        };
        if (!row.planFirst)
            chooseLooks();
        find<QRadioButton>(w.get(), "RdoPanShape_0")->click(); // 圆盘
        EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
        w->BtnPaiClick();
        ASSERT_TRUE(w->ChartValid());
        QImage plan(1200, 300, QImage::Format_RGB32);
        plan.fill(Qt::white);
        ASSERT_TRUE(plan.save(path(QStringLiteral("plan.bmp"))));
        ASSERT_TRUE(w->LoadFloorPlan(path(QStringLiteral("plan.bmp"))));
        QTest::qWait(300);
        if (row.planFirst)
            chooseLooks();
        ASSERT_TRUE(find<QScrollArea>(w.get(), "ScrollBox1")->horizontalScrollBar()->isVisible());
        // Under a loaded window manager the frame comes late and the view follows it: judge what the user sees
        // once the window has settled.
        QTest::qWaitFor([&] { return captionRowsCovered(*w) == 0; }, 10000);
        const auto *scroll = find<QScrollArea>(w.get(), "ScrollBox1");
        const QRect chart = find<TImage>(w.get(), "Img1")->geometry();
        EXPECT_EQ(captionRowsCovered(*w), 0)
            << "view " << scroll->viewport()->height() << ", bar " << scroll->horizontalScrollBar()->height()
            << ", chart " << chart.y() << "+" << chart.height() << ", scrolled "
            << scroll->verticalScrollBar()->value() << " of " << scroll->verticalScrollBar()->maximum()
            << ", window " << w->height() << " in " << w->frameGeometry().height();
        EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry()));
        close(w, true);
    }
}

// A session that had, before its switches of look, a turned chart, a second program refused on the same data
// folder and an import dialog: after each switch (Mx1, Mx2, 系统默认) the whole window, its frame and its
// bottom input row included, lies on the screen's available area. Run under a real X server with a window
// manager whose process id is in QUORIN_TEST_BUSY_WM, the manager is held busy for 1.5 s at each switch, as a
// loaded desktop is: the window is framed or unframed late, after the switch itself has ended.
TEST_F(ScreenFitTest, SwitchesAfterATurnARefusedSecondCopyAndAnImportKeepTheWholeWindowOnTheScreen)
{
    const int busyManager = qEnvironmentVariableIntValue("QUORIN_TEST_BUSY_WM");
    DataFolderLock first; // the program's own, as main() takes it
    ASSERT_EQ(first.Acquire(DataPath()), DataFolderLock::Result::Held);
    for (const QSize client : {QSize(), QSize(1300, 820)}) {
        SCOPED_TRACE(client.isEmpty() ? "first start" : "stored size taller than the screen");
        store(QString(), client, {20, 20});
        auto w = start();
        find<QRadioButton>(w.get(), "RdoPanShape_0")->click();
        EnterHouse(*w, QStringLiteral("0:0"), QStringLiteral("2004"), QStringLiteral("张三"), QStringLiteral("1980"));
        w->BtnPaiClick();
        auto *img1 = find<TImage>(w.get(), "Img1");
        QTest::mousePress(img1, Qt::LeftButton, {}, {250, 298}); // the axis below the centre, turned
        QTest::mouseMove(img1, {254, 298});
        QTest::mouseMove(img1, {258, 300});
        QTest::mouseRelease(img1, Qt::LeftButton, {}, {258, 300});
        ASSERT_NE(find<QLineEdit>(w.get(), "LedtZtd")->text(), QStringLiteral("0:0"));
        const std::string second = AnswerFromChild([] {
            DataFolderLock lock;
            return lock.Acquire(DataPath()) == DataFolderLock::Result::InUse ? std::string("refused") : "taken";
        });
        ASSERT_EQ(second, "refused");
        QtPrompts real;
        WithModalDialog([&] { real.openFileName(QStringLiteral("添加db文件"), path(QString()), QStringLiteral("all.db (*.db)")); },
                        [](QWidget *) { QTest::qWait(200); });
        for (const QString look : {"Mx1", "Mx2", ""}) {
            SCOPED_TRACE(look.isEmpty() ? std::string("native") : look.toStdString());
            if (busyManager > 0) {
                ::kill(busyManager, SIGSTOP);
                QTimer::singleShot(1500, [busyManager] { ::kill(busyManager, SIGCONT); });
            }
            choose(*w, look);
            if (busyManager > 0)
                QTest::qWait(4000);
            const QRect available = w->screen()->availableGeometry();
            const QRect frame = w->frameGeometry();
            EXPECT_TRUE(available.contains(frame)) << "frame at " << frame.x() << "," << frame.y() << " size "
                                                   << frame.width() << "x" << frame.height();
            auto *input = find<QWidget>(w.get(), "PanInput");
            const QRect row(input->mapTo(w.get(), QPoint()), input->size());
            EXPECT_TRUE(w->contentsRect().contains(row)) << "input row ends at " << row.bottom() << " in "
                                                         << w->contentsRect().bottom();
        }
        close(w, true);
    }
}

} // namespace

