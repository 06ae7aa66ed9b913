// The picture tools: the mouse on the chart picture and the floor plan, the drawing modes and their undo, the
// popups, copy, save and print, the compass page, the compass photograph and its adjust dialog.
#include "GuiTestSupport.h"

#include "AppPath.h"
#include "ChartGeometry.h"
#include "ChartInputs.h"
#include "ChartPainterQuorin.h"
#include "FloorPlan.h"
#include "MControlCompass.h"
#include "MQuorin.h"
#include "PictureOutput.h"
#include "TFrmAdjustCompass.h"
#include "TFrmMain.h"
#include "TImage.h"
#include "TurnAxis.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using Answer = Prompts::Answer;

namespace {

void Send(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
                  held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A press at `from`, moves through `path` and the release at its last point, in the widget's coordinates as
// they are at each event (a moved widget's points move with it).
void Drag(QWidget *w, QPoint from, std::initializer_list<QPoint> path)
{
    Send(w, QEvent::MouseButtonPress, from);
    QPoint last = from;
    for (QPoint p : path) {
        Send(w, QEvent::MouseMove, p);
        last = p;
    }
    Send(w, QEvent::MouseButtonRelease, last);
}

void Click(QWidget *w, QPoint at)
{
    Send(w, QEvent::MouseButtonPress, at);
    Send(w, QEvent::MouseButtonRelease, at);
}

QByteArray Encoded(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

QImage Plan(int w, int h)
{
    QImage plan(w, h, QImage::Format_RGB32);
    plan.fill(QColor(200, 200, 200));
    QPainter p(&plan);
    p.setPen(QPen(Qt::black, 4));
    p.drawRect(20, 20, w - 40, h - 40);
    return plan;
}

class PicturesTest : public ProgramFolderTest {
protected:
    std::unique_ptr<TFrmMain> open()
    {
        auto w = std::make_unique<TFrmMain>();
        w->show();
        return w;
    }
    void close(TFrmMain &w)
    {
        prompts.reply(Answer::Yes);
        w.close();
    }
    // Closes the window holding a new case that was laid out or drawn on, answering No to saving it.
    void closeUnsaved(TFrmMain &w)
    {
        prompts.reply(Answer::Yes).reply(Answer::No);
        EXPECT_TRUE(w.close());
    }
    void layOut(TFrmMain &w, const QString &degree = QStringLiteral("0:0"))
    {
        find<QLineEdit>(&w, "LedtZtd")->setText(degree);
        find<QToolButton>(&w, "SpeedButton2")->click();
        find<QLineEdit>(&w, "EdtYear")->setText(QStringLiteral("2004"));
        find<QLineEdit>(&w, "EdtName")->setText(QStringLiteral("张三"));
        find<QLineEdit>(&w, "LedtShengNian")->setText(QStringLiteral("1980"));
        w.BtnPaiClick();
        ASSERT_TRUE(w.ChartValid());
    }
    QString writePlan(int w = 400, int h = 300)
    {
        const QString file = path(QStringLiteral("plan.bmp"));
        Plan(w, h).save(file);
        return file;
    }
    // The round chart laid out at 0:0 at 500 x 580: centre (250, 290), radius 250, the axis straight down.
    TImage *roundChart(TFrmMain &w)
    {
        find<QRadioButton>(&w, "RdoPanShape_0")->click();
        layOut(w);
        auto *img1 = find<TImage>(&w, "Img1");
        w.Quorin()->SetPanSize(500, 580, true);
        img1->resize(500, 580);
        return img1;
    }
    void trigger(TFrmMain &w, const char *name) { find<QAction>(&w, name)->trigger(); }
    QString lastText() const { return prompts.asked().isEmpty() ? QString() : prompts.asked().last().text; }
};

TEST(PictureOutputTest, PrintRectangleAndSaveTarget)
{
    struct Case {
        QSize picture, page;
        QRect expected;
    };
    const Case cases[] = {
        {{1000, 500}, {4000, 6000}, {80, 2040, 3840, 1920}},
        {{500, 2000}, {4000, 6000}, {1330, 320, 1340, 5360}}, // narrowed in steps of 10 below 0.9 of the page
        {{0, 500}, {4000, 6000}, {}},
        {{1000, 500}, {0, 0}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PictureOutput::PrintRect(c.picture, c.page), c.expected) << c.picture.width() << "x" << c.picture.height();

    // A name with a picture extension keeps it; another takes the chosen filter's.
    struct Name {
        const char *chosen, *filter, *target, *format;
    };
    const Name names[] = {{"/t/plan", "", "/t/plan.bmp", "BMP"},
                          {"/t/plan.bmp", "jpg格式 (*.jpg)", "/t/plan.bmp", "BMP"},
                          {"/t/plan.JPG", "", "/t/plan.JPG", "JPG"},
                          {"/t/a.b", "", "/t/a.b.bmp", "BMP"},
                          {"/t/plan.Png", "bmp格式 (*.bmp)", "/t/plan.Png", "PNG"},
                          {"/t/plan", "png格式 (*.png)", "/t/plan.png", "PNG"},
                          {"/t/plan", "jpg格式 (*.jpg)", "/t/plan.jpg", "JPG"}};
    for (const Name &n : names) {
        QByteArray format;
        EXPECT_EQ(PictureOutput::SaveTarget(QString::fromLatin1(n.chosen), QString::fromUtf8(n.filter), &format),
                  QString::fromLatin1(n.target));
        EXPECT_EQ(format, n.format) << n.chosen;
    }
}

TEST_F(PicturesTest, ChartPictureIsCopiedSavedAndPrinted)
{
    auto w = open();
    layOut(*w);
    const QImage chart = find<TImage>(w.get(), "Img1")->Picture();
    trigger(*w, "MenuItem9");
    EXPECT_EQ(QApplication::clipboard()->image().size(), chart.size());

    const struct {
        const char *name, *format;
    } files[] = {{"chart.bmp", "bmp"}, {"chart.jpg", "jpeg"}, {"chart.png", "png"}};
    for (const auto &[name, format] : files) {
        prompts.reply(path(QString::fromLatin1(name))).reply(Answer::Ok);
        trigger(*w, "MenuItem10");
        const QImage saved(path(QString::fromLatin1(name)));
        EXPECT_EQ(saved.size(), chart.size()) << name;
        EXPECT_EQ(QImageReader(path(QString::fromLatin1(name))).format(), format);
        EXPECT_EQ(lastText(), QStringLiteral("已保存！"));
    }
    EXPECT_TRUE(prompts.asked()[prompts.asked().size() - 2].text.contains(QStringLiteral("(*.png)")));

    // Printed into the build folder for people to look at.
    const QString pdf = QStringLiteral(QUORIN_TEST_OUTPUT "/chart_print.pdf");
    QFile::remove(pdf);
    prompts.reply(Answer::Yes).reply(pdf);
    trigger(*w, "MenuItem11");
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(4) == "%PDF");
    // The compass page holds no photograph here: printing it is refused before any question.
    const qsizetype asked = prompts.asked().size();
    trigger(*w, "N31");
    EXPECT_EQ(prompts.asked().size(), asked + 1);
    EXPECT_EQ(lastText(), QStringLiteral("没有可打印的图像！"));
    closeUnsaved(*w);
}

// A floor-plan file loads whole or is refused with the reason, the plan shown and its steps kept. Qt hands a
// truncated JPEG or BMP back with its missing part grey or black; a JPEG is whole when it reaches its end marker
// (one inside its metadata does not count), a BMP when it holds all its rows or, run-length coded, its end code.
// Above Qt's own allocation limit (about 5800 x 5800) a plan still loads; past 10000 pixels a side it is too large.
TEST_F(PicturesTest, FloorPlanLoadsWholeAndARefusedOneKeepsThePreviousWithItsSteps)
{
    auto w = open();
    layOut(*w);
    auto *bk = find<TImage>(w.get(), "ImgBk");
    prompts.reply(writePlan());
    w->SpeedButton1Click();
    EXPECT_EQ(bk->size(), QSize(400, 300));
    EXPECT_EQ(bk->pos(), QPoint(1, 1));
    EXPECT_TRUE(w->ChartValid()); // the chart is laid out again over the plan
    EXPECT_EQ(w->CurrentRecord().hasPlan, 1);
    trigger(*w, "N22");
    EXPECT_EQ(lastText(), QStringLiteral("无法回到上一图"));
    const QImage loaded = bk->Picture();
    w->Quorin()->BkLine(20, 150, 380, 150); // a second step to go back to
    const QImage drawn = bk->Picture();

    const QByteArray jpeg = Encoded(Plan(800, 600), "JPG"), png = Encoded(Plan(800, 600), "PNG");
    const QByteArray bmp = Encoded(Plan(800, 600), "BMP");
    const QByteArray tagged = jpeg.left(2) + QByteArray::fromHex("ffe1000a457869660000ffd9") + jpeg.mid(2);
    // A 4 x 2 RLE8 bitmap of two colours: a run of 4, end of row, a run of 4, then the given end.
    const auto rle = [](const char *end) {
        const QByteArray rows = QByteArray::fromHex(QByteArray("040100000400") + end);
        return QByteArray::fromHex("424d48000000000000003e00000028000000040000000200000001000800010000000a000000"
                                   "130b0000130b0000020000000000000000000000ffffff00") + rows;
    };
    const QString tooLarge = QStringLiteral("户型图太大：%1 × %2 像素。最大只能打开 10000 × 10000 像素的户型图。");
    // loads: the plan's size, empty when refused; says: the refusal, "无法读取户型图文件…" when empty.
    const struct { const char *name; QByteArray bytes; QSize loads = {}; QString says = {}; } files[] = {
        {"cut.jpg", jpeg.left(2000)},       {"half.jpg", jpeg.left(jpeg.size() / 2)},
        {"noend.jpg", jpeg.chopped(2)},     {"tagcut.jpg", tagged.left(tagged.size() / 2)},
        {"half.png", png.left(png.size() / 2)}, {"empty.jpg", QByteArray()},
        {"cut.bmp", bmp.chopped(30)},       {"rlecut.bmp", rle("")},
        {"broken.jpg", QByteArray("\xFF\xD8\xFF not really a picture")},
        {"wide.jpg", Encoded(Plan(10001, 40), "JPG"), {}, tooLarge.arg(10001).arg(40)},
        {"tall.jpg", Encoded(Plan(40, 10001), "JPG"), {}, tooLarge.arg(40).arg(10001)},
        {"tagged.jpg", tagged, {800, 600}}, {"tail.jpg", jpeg + QByteArray(64, '\0'), {800, 600}},
        {"rle.bmp", rle("00000001"), {4, 2}}, {"large.jpg", Encoded(Plan(6000, 6000), "JPG"), {6000, 6000}},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        writeFile(QString::fromLatin1(f.name), f.bytes);
        const qsizetype asked = prompts.asked().size();
        EXPECT_EQ(w->LoadFloorPlan(path(QString::fromLatin1(f.name))), !f.loads.isEmpty());
        if (!f.loads.isEmpty()) {
            const FloorPlan &plan = w->Quorin()->BkPlan();
            EXPECT_EQ(QSize(plan.OrigWidth(), plan.OrigHeight()), f.loads);
            EXPECT_EQ(prompts.asked().size(), asked); // and no message
            continue;
        }
        EXPECT_TRUE(f.says.isEmpty() ? lastText().startsWith(QStringLiteral("无法读取户型图文件")) : lastText() == f.says)
            << lastText().toStdString();
        EXPECT_EQ(bk->Picture(), drawn);
        trigger(*w, "N22");
        EXPECT_EQ(bk->Picture(), loaded);
        trigger(*w, "N26");
        EXPECT_EQ(bk->Picture(), drawn);
    }
    closeUnsaved(*w);
}

TEST_F(PicturesTest, DrawingModesDrawOneUndoStepEach)
{
    auto w = open();
    layOut(*w);
    const QString plan = writePlan();
    auto *bk = find<TImage>(w.get(), "ImgBk");
    struct Case {
        const char *item;
        std::function<void()> draw;
        std::function<void(MQuorin &)> expected; // the same shape drawn straight onto the plan; null: probe
    };
    const Case cases[] = {
        {"N9", [&] { Drag(bk, {50, 50}, {{100, 80}, {150, 50}}); }, nullptr},
        {"N11", [&] { Drag(bk, {50, 50}, {{120, 100}, {90, 140}, {150, 120}}); },
         [](MQuorin &q) { q.BkEllipse(50, 50, 150, 120, 0, 0, false); }},
        {"N17", [&] { Drag(bk, {50, 50}, {{200, 60}, {150, 120}}); },
         [](MQuorin &q) { q.BkRectangle(50, 50, 150, 120, 0, 0, false); }},
        {"N18", [&] { Click(bk, {30, 30}); Click(bk, {200, 150}); },
         [](MQuorin &q) { q.BkLine(30, 30, 200, 150); }},
        {"N28", [&] { Drag(bk, {10, 10}, {{60, 60}}); }, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        ASSERT_TRUE(w->LoadFloorPlan(plan));
        const QImage before = bk->Picture();
        QImage expected;
        if (c.expected) {
            c.expected(*w->Quorin());
            expected = bk->Picture();
            ASSERT_TRUE(w->LoadFloorPlan(plan));
        }
        trigger(*w, c.item);
        c.draw();
        const QImage after = bk->Picture();
        EXPECT_NE(after, before);
        if (c.expected) {
            EXPECT_EQ(after, expected); // no rubber band is left behind
        }
        if (QString::fromLatin1(c.item) == QLatin1String("N28")) {
            EXPECT_EQ(after.pixelColor(30, 22), QColor(Qt::white)); // the wall under the eraser is gone
        }
        trigger(*w, "N22");
        EXPECT_EQ(bk->Picture(), before);
        trigger(*w, "N26");
        EXPECT_EQ(bk->Picture(), after);
        trigger(*w, "N21");
    }
    EXPECT_EQ(w->DrawMode(), 0);
    EXPECT_TRUE(prompts.asked().isEmpty());
    closeUnsaved(*w);
}

TEST_F(PicturesTest, TextEntryClearAndMergeOnThePlan)
{
    auto w = open();
    layOut(*w);
    auto *bk = find<TImage>(w.get(), "ImgBk");
    ASSERT_TRUE(w->LoadFloorPlan(writePlan()));
    const QImage before = bk->Picture();
    Send(bk, QEvent::MouseButtonPress, {60, 60}, Qt::RightButton);
    Send(bk, QEvent::MouseButtonRelease, {60, 60}, Qt::RightButton);
    trigger(*w, "N12");
    auto *panel = find<QFrame>(w.get(), "PanWord");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->x(), bk->x() + 60);
    EXPECT_GT(panel->y(), bk->y() + 60);
    find<QLineEdit>(w.get(), "EdtWord")->setText(QStringLiteral("客厅"));
    find<QPushButton>(w.get(), "Button1")->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_NE(bk->Picture().copy(60, 60, 40, 20), before.copy(60, 60, 40, 20));
    trigger(*w, "N22");
    EXPECT_EQ(bk->Picture(), before);

    prompts.reply(Answer::Yes);
    trigger(*w, "N23");
    EXPECT_EQ(bk->Picture().pixelColor(22, 22), QColor(Qt::white));
    trigger(*w, "N22");

    // Merging the chart lays its lines on the plan and brings the plan to the front.
    const QImage plan = bk->Picture();
    trigger(*w, "MenuItem1");
    EXPECT_NE(bk->Picture(), plan);
    const QObjectList order = bk->parentWidget()->children();
    EXPECT_GT(order.indexOf(bk), order.indexOf(find<TImage>(w.get(), "Img1")));

    // Text for the plan's far corner: the panel still lies whole inside the scrolled area, buttons included.
    const QPoint corner(bk->width() - 5, bk->height() - 5);
    Send(bk, QEvent::MouseButtonPress, corner, Qt::RightButton);
    Send(bk, QEvent::MouseButtonRelease, corner, Qt::RightButton);
    trigger(*w, "N12");
    EXPECT_EQ(panel->x(), bk->x() + corner.x());
    EXPECT_TRUE(panel->parentWidget()->rect().contains(panel->geometry()))
        << panel->parentWidget()->width() << "x" << panel->parentWidget()->height();
    find<QPushButton>(w.get(), "Button2")->click();
    EXPECT_FALSE(panel->isVisible());
    closeUnsaved(*w);
}

TEST_F(PicturesTest, HandlesResizeAndMoveBothPicturesNeverBelowTheirMinimum)
{
    auto w = open();
    layOut(*w); // square chart, 500 x 580 at (1, 1)
    ASSERT_TRUE(w->LoadFloorPlan(writePlan()));
    auto *img1 = find<TImage>(w.get(), "Img1");
    auto *bk = find<TImage>(w.get(), "ImgBk");
    struct Case {
        TImage *picture;
        QSize start;
        QPoint press, move;
        QRect expected; // position and size after the drag
    };
    const Case cases[] = {
        {img1, {500, 580}, {495, 575}, {535, 605}, {1, 1, 540, 610}},   // 11 bottom-right
        {img1, {500, 580}, {5, 100}, {-15, 100}, {-19, 1, 520, 580}},   // 14 left
        {img1, {500, 580}, {5, 5}, {35, 25}, {31, 21, 470, 560}},       // 15 top-left
        {img1, {500, 580}, {100, 5}, {100, -20}, {1, -24, 500, 605}},   // 16 top
        {img1, {500, 580}, {5, 100}, {2000, 100}, {401, 1, 100, 580}},  // 14 left, past the minimum
        {img1, {500, 580}, {200, 200}, {240, 230}, {41, 31, 500, 580}}, // 1 move
        {bk, {400, 300}, {395, 100}, {445, 100}, {1, 1, 450, 300}},     // 18 right
        {bk, {400, 300}, {5, 295}, {-5, 305}, {-9, 1, 410, 310}},       // 13 bottom-left
        {bk, {400, 300}, {395, 5}, {405, -5}, {1, -9, 410, 310}},       // 17 top-right
        {bk, {400, 300}, {5, 5}, {900, 900}, {381, 281, 20, 20}},       // 15 top-left, past the minimum
        {bk, {400, 300}, {200, 150}, {210, 170}, {11, 21, 400, 300}},   // 1 move
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.x());
        c.picture->move(1, 1);
        if (c.picture == img1)
            w->Quorin()->SetPanSize(c.start.width(), c.start.height(), true);
        else
            ASSERT_TRUE(w->LoadFloorPlan(writePlan()));
        c.picture->resize(c.picture->Picture().size());
        c.picture->move(1, 1);
        Drag(c.picture, c.press, {c.move});
        EXPECT_EQ(QRect(c.picture->pos(), c.picture->Picture().size()), c.expected);
        EXPECT_EQ(c.picture->size(), c.picture->Picture().size());
    }
    closeUnsaved(*w);
}

TEST_F(PicturesTest, RingTurnsTheDrawingAxisTurnsTheHouseAndTheLockHoldsBoth)
{
    auto w = open();
    auto *img1 = roundChart(*w);
    MQuorin &q = *w->Quorin();
    // The turning ring at 150 pixels from the centre.
    Drag(img1, {250, 390}, {{267, 388}});
    EXPECT_NEAR(q.Rec.degree, 350.0f, 0.6f);
    EXPECT_EQ(find<QLineEdit>(w.get(), "LedtZtd")->text().left(3), QStringLiteral("350"));
    EXPECT_EQ(w->CurrentRecord().degree, q.Rec.degree);
    EXPECT_EQ(img1->pos(), QPoint(1, 1));

    const float angle = q.PanAngle;
    Drag(img1, {380, 215}, {{365, 194}});
    EXPECT_NEAR(q.PanAngle, angle + 10.0f, 0.5f);

    trigger(*w, "pMenuLock");
    EXPECT_TRUE(w->PanLocked());
    EXPECT_EQ(find<QAction>(w.get(), "pMenuLock")->text(), QStringLiteral("解锁宅盘"));
    const float degree = q.Rec.degree;
    const QPoint at = img1->pos();
    Drag(img1, {284, 384}, {{250, 390}}); // on the axis, which turned with the drawing and the house
    EXPECT_EQ(q.Rec.degree, degree);
    Drag(img1, {100, 100}, {{120, 110}});
    EXPECT_EQ(img1->pos(), at + QPoint(20, 10));
    w->BtnPaiClick(); // a lay-out unlocks
    EXPECT_FALSE(w->PanLocked());
    EXPECT_EQ(find<QAction>(w.get(), "pMenuLock")->text(), QStringLiteral("锁定宅盘"));
    closeUnsaved(*w);
}

// A turn of the axis lays the house out again: afterwards the whole report, header included, and the input boxes
// are those of a lay-out of the house as turned, in each view the turn can start from.
TEST_F(PicturesTest, TurningTheAxisThroughTheCentreLeavesTheReportAndTheBoxesOfTheTurnedHouse)
{
    const struct { const char *view; int tab; } views[] = {{"MenuItem6", 0}, {"MenuItem7", 1}, {"pMenuCompassShow", 0}};
    for (const auto &v : views) {
        SCOPED_TRACE(v.view);
        auto w = open();
        auto *img1 = roundChart(*w);
        MQuorin &q = *w->Quorin();
        trigger(*w, v.view);
        find<QTabWidget>(w.get(), "PageXuanBa")->setCurrentIndex(v.tab);
        auto *report = find<QTextEdit>(w.get(), "RedtQuorin");
        ASSERT_TRUE(report->toPlainText().contains(QStringLiteral("坐向：子山午向(坎宅)，周天度=0:0")));

        // Grabbed 8 pixels below the centre (250, 290), where the axis runs straight down, and turned 40 degrees.
        QTest::mousePress(img1, Qt::LeftButton, {}, {250, 298});
        QTest::mouseMove(img1, {254, 298});
        QTest::mouseMove(img1, {258, 300});
        QTest::mouseRelease(img1, Qt::LeftButton, {}, {258, 300});
        const float degree = q.Rec.degree;
        ASSERT_GT(AngleDistance(degree, 0.0), 30.0);
        EXPECT_EQ(find<QLineEdit>(w.get(), "LedtZtd")->text(), ChartInputs::DegreeText(degree));
        EXPECT_EQ(find<QComboBox>(w.get(), "CboZuoShan")->currentIndex(), q.Rec.mountain);
        EXPECT_EQ(w->CurrentRecord().mountain, q.Rec.mountain);
        const QString turned = report->toPlainText();
        EXPECT_FALSE(turned.contains(QStringLiteral("子山午向"))) << turned.left(120).toStdString();

        // The same house laid out from the boxes as they now stand writes the same report.
        w->BtnPaiClick();
        ASSERT_TRUE(w->ChartValid());
        if (v.tab == 1)
            w->BtoPan8Click();
        EXPECT_EQ(report->toPlainText().toStdString(), turned.toStdString());
        closeUnsaved(*w);
    }
}

// The round chart draws no axis of its own: it is drawn over the picture, with the degree, while the pointer lies
// on the band that turns it and while it turns, and goes when the pointer leaves the band or the picture.
TEST_F(PicturesTest, AxisIsShownWithItsDegreeOverItsBandAndWhileItTurns)
{
    auto w = open();
    auto *img1 = roundChart(*w);
    MQuorin &q = *w->Quorin();
    const QPointF centre(q.fCenterX, q.fCenterY);
    // Red ink along a line from the centre's star circle out to the mountain ring, at a screen angle.
    const auto redOnAxis = [&](double theta) {
        const QImage shown = img1->grab().toImage();
        int red = 0;
        for (double rho = 0.16 * q.fRadius; rho < 0.55 * q.fRadius; rho += 1.0) {
            const QPoint p = (centre + QPointF(std::cos(theta * kDegToRad), -std::sin(theta * kDegToRad)) * rho)
                                 .toPoint();
            const QColor c = shown.pixelColor(p);
            red += c.red() > 180 && c.green() < 120 && c.blue() < 120;
        }
        return red;
    };
    const auto axisNow = [&] { return TurnAxisFor(PanGeometryOf(q), q.PanAngle, q.Rec.degree, q.iTextSize); };
    const auto labelInk = [&] {
        const QImage shown = img1->grab().toImage();
        int ink = 0;
        const QRect box = axisNow().labelBox.toRect().adjusted(2, 2, -2, -2);
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                ink += shown.pixelColor(x, y).red() > 180 && shown.pixelColor(x, y).green() < 120;
        return ink;
    };
    const double down = 270.0; // the sitting end of 0 degrees on this chart
    const int before = redOnAxis(down);

    Send(img1, QEvent::MouseMove, {250, 360}, Qt::NoButton); // on the band, 70 pixels below the centre
    EXPECT_TRUE(w->TurnAxisShown());
    EXPECT_GT(redOnAxis(down), before + 40);
    EXPECT_GT(labelInk(), 20);

    Send(img1, QEvent::MouseMove, {150, 150}, Qt::NoButton); // off the band
    EXPECT_FALSE(w->TurnAxisShown());
    EXPECT_LE(redOnAxis(down), before + 2);

    // While it turns the axis follows the pointer and its label the degree.
    Send(img1, QEvent::MouseMove, {250, 360}, Qt::NoButton);
    Send(img1, QEvent::MouseButtonPress, {250, 360});
    Send(img1, QEvent::MouseMove, {320, 360});
    const double pointer = PointAngle(centre.x(), centre.y(), 320, 360);
    EXPECT_TRUE(w->TurnAxisShown());
    EXPECT_GT(redOnAxis(pointer), 40);
    EXPECT_GT(labelInk(), 20);
    EXPECT_EQ(axisNow().label.section(QStringLiteral("度"), 0, 0),
              find<QLineEdit>(w.get(), "LedtZtd")->text().section(QLatin1Char(':'), 0, 0));
    Send(img1, QEvent::MouseButtonRelease, {320, 360});
    EXPECT_TRUE(w->TurnAxisShown()); // the pointer still lies on the axis it turned

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(img1, &leave);
    EXPECT_FALSE(w->TurnAxisShown());

    // The compass view draws its own axis, and a square chart turns by another hold: neither shows this one.
    trigger(*w, "pMenuCompassShow");
    Send(img1, QEvent::MouseMove, {250, 360}, Qt::NoButton);
    EXPECT_FALSE(w->TurnAxisShown());
    trigger(*w, "MenuItem6");
    find<QRadioButton>(w.get(), "RdoPanShape_1")->click();
    Send(img1, QEvent::MouseMove, {250, 360}, Qt::NoButton);
    EXPECT_FALSE(w->TurnAxisShown());
    closeUnsaved(*w);
}

// Over the chart the cursor says what a drag would do: turn on the ring band and the axis, a size on the edges,
// move elsewhere; while the chart is locked only moving acts.
TEST_F(PicturesTest, CursorOverTheChartShowsWhatADragWouldDo)
{
    auto w = open();
    auto *img1 = roundChart(*w);
    // The ring band 137..162 pixels out from the centre; the axis straight down and up.
    const struct { QPoint at; bool locked; Qt::CursorShape shape; } cases[] = {
        {{380, 215}, false, Qt::BitmapCursor}, {{250, 400}, false, Qt::BitmapCursor},
        {{250, 100}, false, Qt::BitmapCursor}, {{150, 150}, false, Qt::SizeAllCursor},
        {{495, 300}, false, Qt::SizeHorCursor}, {{495, 575}, false, Qt::SizeFDiagCursor},
        {{380, 215}, true, Qt::ArrowCursor},   {{495, 300}, true, Qt::ArrowCursor},
        {{150, 150}, true, Qt::SizeAllCursor},
    };
    for (const auto &c : cases) {
        if (w->PanLocked() != c.locked)
            trigger(*w, "pMenuLock");
        Send(img1, QEvent::MouseMove, c.at, Qt::NoButton);
        EXPECT_EQ(img1->cursor().shape(), c.shape) << c.at.x() << "," << c.at.y() << (c.locked ? " locked" : "");
    }
    closeUnsaved(*w);
}

TEST_F(PicturesTest, CompassPageListsLoadsTurnsAndZooms)
{
    QImage photo(200, 150, QImage::Format_RGB32);
    photo.fill(Qt::darkYellow);
    ASSERT_TRUE(photo.save(path(QStringLiteral("compass/Test.JPG")), "JPG"));
    ASSERT_TRUE(photo.save(path(QStringLiteral("compass/b.jpg")), "JPG"));
    writeFile(QStringLiteral("compass/bad.jpg"), "no picture");
    writeFile(QStringLiteral("compass/cut.jpg"), readFile(QStringLiteral("compass/b.jpg")).chopped(100));
    auto w = open();
    auto *list = find<QComboBox>(w.get(), "CboCompass");
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(3), QStringLiteral("Test"));
    MControlCompass &c = *w->Compass();
    EXPECT_TRUE(c.IsLoaded());

    const auto choose = [&](int i) {
        list->setCurrentIndex(i);
        emit list->activated(i);
    };
    for (int refused : {1, 2}) { // no picture, and one cut short: the photograph shown stays
        choose(refused);
        EXPECT_TRUE(lastText().startsWith(QStringLiteral("无法读取罗盘图片"))) << lastText().toStdString();
        EXPECT_TRUE(c.FileName().endsWith(QStringLiteral("/b.jpg")));
    }
    QFile::remove(path(QStringLiteral("compass/Test.JPG")));
    choose(3);
    EXPECT_EQ(lastText(), QStringLiteral("罗盘图片文件丢失！"));
    ASSERT_TRUE(photo.save(path(QStringLiteral("compass/Test.JPG")), "JPG"));
    choose(3);
    EXPECT_EQ(c.DisplaySize(), QSize(200, 150));

    struct Step {
        const char *button;
        float angle;
        QSize size;
    };
    const Step steps[] = {{"BitBtn2", 1, {200, 150}},  {"BitBtn3", 0, {200, 150}}, {"BitBtn3", 359, {200, 150}},
                          {"Button5", 89, {200, 150}}, {"Button3", 0, {200, 150}}, {"BitBtn4", 0, {220, 165}},
                          {"BitBtn5", 0, {200, 150}},  {"BitBtn5", 0, {181, 136}}, {"Button4", 0, {200, 150}}};
    for (const Step &s : steps) {
        find<QAbstractButton>(w.get(), s.button)->click();
        EXPECT_NEAR(c.Angle(), s.angle, 1e-3) << s.button;
        EXPECT_EQ(c.DisplaySize(), s.size) << s.button;
    }
    layOut(*w, QStringLiteral("30:0"));
    EXPECT_NEAR(c.Angle(), 330.0f, 1e-3);

    auto *img = find<TImage>(w.get(), "ImgCompass");
    const QPoint at = img->pos();
    Drag(img, {10, 10}, {{30, 25}});
    EXPECT_EQ(img->pos(), at + QPoint(20, 15));
    closeUnsaved(*w);
}

// The photograph opens with the compass centre in the middle of the page, whatever the window's size, the
// photograph's size, and whether the page was showing when it opened.
TEST_F(PicturesTest, CompassPhotographOpensCentredOnTheCompass)
{
    for (const QSize size : {QSize(1400, 1200), QSize(200, 150)}) { // listed by name: "1400" first
        QImage photo(size, QImage::Format_RGB32);
        photo.fill(Qt::darkYellow);
        ASSERT_TRUE(photo.save(path(QStringLiteral("compass/%1.jpg").arg(size.width())), "JPG"));
    }
    auto w = open();
    auto *tabs = find<QTabWidget>(w.get(), "PageTools");
    auto *list = find<QComboBox>(w.get(), "CboCompass");
    auto *area = find<QScrollArea>(w.get(), "ScrollBoxCompass");
    auto *img = find<TImage>(w.get(), "ImgCompass");
    const struct { QSize window; int photo; /* 0 large, 1 small */ bool pageShown; } cases[] = {
        {{1366, 740}, 0, true}, {{1000, 700}, 0, true}, {{1366, 740}, 1, true}, {{1366, 740}, 0, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.window.width() << " photo " << c.photo << " shown " << c.pageShown);
        w->resize(c.window);
        tabs->setCurrentIndex(c.pageShown ? 2 : 0);
        QApplication::processEvents();
        list->setCurrentIndex(c.photo);
        emit list->activated(c.photo);
        tabs->setCurrentIndex(2);
        QApplication::processEvents();
        const QPoint centre = img->mapTo(area->viewport(), img->rect().center());
        const QPoint middle = area->viewport()->rect().center();
        EXPECT_LE((centre - middle).manhattanLength(), 2) << centre.x() << "," << centre.y();
        img->move(40, 40); // where a drag may leave it before the next photograph opens
    }
    close(*w);
}

TEST_F(PicturesTest, CompassPhotographLimits)
{
    MControlCompass none;
    EXPECT_FALSE(none.IsLoaded());
    EXPECT_FALSE(none.Zoom(1));
    none.ResetSize(); // nothing loaded: nothing to divide by
    EXPECT_FALSE(none.LoadPicture(path(QStringLiteral("missing.jpg"))));
    EXPECT_FALSE(none.IsLoaded());

    struct Case {
        QSize photo;
        int direction;
        bool zoomed;
    };
    const Case cases[] = {{{4600, 100}, 1, false}, {{4500, 100}, 1, true}, {{32, 40}, -1, false}, {{40, 40}, -1, true}};
    for (const Case &k : cases) {
        QImage img(k.photo, QImage::Format_RGB32);
        img.fill(Qt::gray);
        ASSERT_TRUE(img.save(path(QStringLiteral("p.bmp"))));
        TImage control;
        MControlCompass c;
        c.Attach(&control);
        ASSERT_TRUE(c.LoadPicture(path(QStringLiteral("p.bmp"))));
        EXPECT_EQ(c.Zoom(k.direction), k.zoomed) << k.photo.width();
        EXPECT_EQ(control.size(), c.DisplaySize());
    }
    TImage control;
    MControlCompass c;
    c.Attach(&control);
    ASSERT_TRUE(c.LoadPicture(path(QStringLiteral("p.bmp")))); // 40 x 40: centre (20, 20), radius 20
    EXPECT_FALSE(c.MoveCentre(-11, 0));
    EXPECT_TRUE(c.MoveCentre(-5, 0));
    EXPECT_EQ(c.Radius(), 15.0f);
    c.RotateBy(300);
    c.RotateBy(90);
    EXPECT_NEAR(c.Angle(), 30.0f, 1e-4);
}

TEST_F(PicturesTest, AdjustDialogSavesOnlySafeNewNamesInsideTheCompassFolder)
{
    QImage photo(200, 150, QImage::Format_RGB32);
    photo.fill(Qt::darkYellow);
    ASSERT_TRUE(photo.save(path(QStringLiteral("source.png"))));
    writeFile(QStringLiteral("compass/Taken.JPG"), "old");
    TFrmAdjustCompass dlg;
    prompts.reply(Answer::Ok);
    find<QPushButton>(&dlg, "BitBtn6")->click(); // 保存 before a picture is opened says why
    EXPECT_EQ(lastText(), QStringLiteral("请先点“打开图片”选择一张罗盘图片，矫正后再保存！"));
    EXPECT_FALSE(dlg.LoadPicture(path(QStringLiteral("missing.png"))));
    ASSERT_TRUE(dlg.LoadPicture(path(QStringLiteral("source.png"))));

    for (int i = 0; i < 10; ++i) {
        find<QCheckBox>(&dlg, "ChkTiny")->click();
        find<QCheckBox>(&dlg, "ChkTiny")->click();
    }
    find<QCheckBox>(&dlg, "ChkTiny")->click();
    for (int i = 0; i < 10; ++i)
        find<QPushButton>(&dlg, "BitBtn2")->click();
    EXPECT_NEAR(dlg.Compass().Angle(), 1.0f, 1e-3);

    prompts.reply(QStringLiteral("$FF"));
    find<QPushButton>(&dlg, "Button9")->click();
    EXPECT_EQ(dlg.EdgeColour(), 0xFFu);
    EXPECT_EQ(find<TImage>(&dlg, "ImgCompass")->Picture().pixelColor(0, 0), QColor(Qt::red));

    struct Case {
        QString name, message;
    };
    const Case refused[] = {{QString(), QStringLiteral("罗盘名称不能为空")},
                            {QStringLiteral("../up"), QStringLiteral("罗盘名称不能为空")},
                            {QStringLiteral("a:b"), QStringLiteral("罗盘名称不能为空")},
                            {QStringLiteral("taken"), QStringLiteral("已有这个文件名")}};
    for (const Case &c : refused) {
        prompts.reply(c.name).reply(Answer::Ok);
        find<QPushButton>(&dlg, "BitBtn6")->click();
        EXPECT_TRUE(lastText().startsWith(c.message)) << c.name.toStdString();
        EXPECT_FALSE(dlg.Saved());
    }
    EXPECT_EQ(readFile(QStringLiteral("compass/Taken.JPG")), QByteArray("old"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("up.jpg"))));

    prompts.reply(QStringLiteral("新罗盘")).reply(Answer::Ok);
    find<QPushButton>(&dlg, "BitBtn6")->click();
    EXPECT_EQ(lastText(), QStringLiteral("保存成功！"));
    EXPECT_TRUE(dlg.Saved());
    EXPECT_EQ(QImage(path(QStringLiteral("compass/新罗盘.jpg"))).size(), QSize(150, 150)); // the rim's square
    EXPECT_EQ(TFrmAdjustCompass::ParseColour(QStringLiteral("0x1F")), 31u);
    EXPECT_EQ(TFrmAdjustCompass::ParseColour(QStringLiteral("blue")), 0u);
}

// A read-only install cannot take new photographs into its compass/: the user's go into the data folder's, and the
// compass page lists the shipped ones first, then the user's, a name only once whatever its case.
TEST_F(PicturesTest, ReadOnlyInstallSavesAdjustedPhotographsInTheUsersCompassFolder)
{
    struct ReadOnlyInstall {
        QTemporaryDir home;
        ReadOnlyInstall()
        {
            qputenv("XDG_DATA_HOME", home.path().toUtf8());
            SetProgramFolderWritable(false);
        }
        ~ReadOnlyInstall()
        {
            SetProgramFolderWritable(std::nullopt);
            qunsetenv("XDG_DATA_HOME");
        }
    } install;
    ASSERT_TRUE(PrepareDataFolder().inUserFolder);
    const QString user = DataPath() + QStringLiteral("compass/");
    ASSERT_TRUE(QDir().mkpath(user));
    QImage photo(200, 150, QImage::Format_RGB32);
    photo.fill(Qt::darkYellow);
    ASSERT_TRUE(photo.save(path(QStringLiteral("compass/Shipped.JPG")), "JPG"));
    ASSERT_TRUE(photo.save(user + QStringLiteral("shipped.jpg"), "JPG")); // same name as a shipped one
    ASSERT_TRUE(photo.save(path(QStringLiteral("source.png"))));

    {
        TFrmAdjustCompass dlg;
        ASSERT_TRUE(dlg.LoadPicture(path(QStringLiteral("source.png"))));
        prompts.reply(QStringLiteral("SHIPPED")).reply(Answer::Ok);
        find<QPushButton>(&dlg, "BitBtn6")->click();
        EXPECT_TRUE(lastText().startsWith(QStringLiteral("已有这个文件名"))) << lastText().toStdString();
        prompts.reply(QStringLiteral("Mine")).reply(Answer::Ok);
        find<QPushButton>(&dlg, "BitBtn6")->click();
        EXPECT_EQ(lastText(), QStringLiteral("保存成功！"));
        EXPECT_TRUE(dlg.Saved());
    }
    EXPECT_TRUE(QFile::exists(user + QStringLiteral("Mine.jpg")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("compass/Mine.jpg"))));

    auto w = open();
    auto *list = find<QComboBox>(w.get(), "CboCompass");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Shipped"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("Mine"));
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(w->Compass()->DisplaySize(), QSize(150, 150));
    close(*w);
}

// The compass page's row of buttons shrinks with the page: showing it leaves the panes of the window as they were.
TEST_F(PicturesTest, CompassPageLeavesThePanelWidths)
{
    auto w = open();
    QApplication::processEvents();
    auto *splitter = find<QSplitter>(w.get(), "SplitterMain");
    const QList<int> before = splitter->sizes();
    find<QTabWidget>(w.get(), "PageTools")->setCurrentIndex(2);
    QApplication::processEvents();
    w->resize(w->size() + QSize(0, 1)); // a new layout pass, as a window manager's resize gives
    QApplication::processEvents();
    EXPECT_EQ(splitter->sizes(), before);
    auto *adjust = find<QWidget>(w.get(), "BtnAdjust"); // the row's last button stays in sight
    EXPECT_LE(adjust->geometry().right(), adjust->parentWidget()->width());
    close(*w);
}

} // namespace
