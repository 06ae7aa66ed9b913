// The pictures of the main window on a screen scaled x2 (this program's screen has a device-pixel ratio of 2).
#include "GuiTestSupport.h"

#include "MControlCompass.h"
#include "MQuorin.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>

namespace {

void Send(QWidget *w, QEvent::Type type, QPoint at)
{
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Share of the 2 x 2 pixel blocks of a picture at ratio 2 whose pixels differ: none for a picture of logical pixels
// magnified, many for one drawn at the ratio (every slanted edge and every glyph splits blocks).
double SplitBlocks(const QImage &shot)
{
    const QImage img = shot.convertToFormat(QImage::Format_RGB32);
    qint64 split = 0, blocks = 0;
    for (int y = 0; y + 1 < img.height(); y += 2)
        for (int x = 0; x + 1 < img.width(); x += 2, ++blocks) {
            const QRgb a = img.pixel(x, y);
            split += a != img.pixel(x + 1, y) || a != img.pixel(x, y + 1) || a != img.pixel(x + 1, y + 1);
        }
    return blocks ? double(split) / double(blocks) : 0.0;
}

using HiDpiPicturesTest = ProgramFolderTest;

TEST_F(HiDpiPicturesTest, ChartAndCompassPhotographAreDrawnAtTheScreensRatio)
{
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
    QImage photo(300, 300, QImage::Format_RGB32);
    photo.fill(Qt::darkYellow);
    ASSERT_TRUE(photo.save(path(QStringLiteral("compass/a.jpg")), "JPG"));
    QImage plan(400, 300, QImage::Format_RGB32);
    plan.fill(Qt::white);
    QPainter(&plan).drawEllipse(20, 20, 360, 260);
    ASSERT_TRUE(plan.save(path(QStringLiteral("plan.bmp"))));

    TFrmMain w;
    w.show();
    find<QRadioButton>(&w, "RdoPanShape_0")->click();
    find<QLineEdit>(&w, "LedtZtd")->setText(QStringLiteral("0:0"));
    find<QToolButton>(&w, "SpeedButton2")->click();
    find<QLineEdit>(&w, "EdtYear")->setText(QStringLiteral("2004"));
    find<QLineEdit>(&w, "EdtName")->setText(QStringLiteral("张三"));
    find<QLineEdit>(&w, "LedtShengNian")->setText(QStringLiteral("1980"));
    w.BtnPaiClick();
    ASSERT_TRUE(w.ChartValid());
    ASSERT_TRUE(w.LoadFloorPlan(path(QStringLiteral("plan.bmp"))));
    auto *img1 = find<TImage>(&w, "Img1");
    auto *bk = find<TImage>(&w, "ImgBk");
    auto *compass = find<TImage>(&w, "ImgCompass");
    MQuorin &q = *w.Quorin();
    q.SetPanSize(500, 580, true);
    img1->resize(500, 580);

    const struct {
        const char *what;
        TImage *picture;
        std::function<void()> show;
        bool sharp;
    } cases[] = {
        {"chart", img1, [] {}, true},
        {"compass view", img1, [&] { find<QAction>(&w, "pMenuCompassShow")->trigger(); }, true},
        {"compass photograph", compass, [] {}, true},
        {"floor plan", bk, [] {}, false}, // a picture of its own, shown as it is
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        c.show();
        const QSize size = c.picture->Picture().size();
        const QImage shot = c.picture->grab().toImage();
        EXPECT_EQ(shot.size(), size * 2);
        if (c.sharp)
            EXPECT_GT(SplitBlocks(shot), 0.01);
        else
            EXPECT_EQ(SplitBlocks(shot), 0.0);
        EXPECT_EQ(c.picture->Picture().size(), size); // what is saved, copied and printed
    }
    find<QAction>(&w, "MenuItem9")->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(500, 580));
    EXPECT_EQ(w.Compass()->DisplaySize(), QSize(300, 300));

    // The mouse keeps the picture's own pixels: a drag on the compass rim (0.9 to 0.99 of the radius 250 about
    // (250, 290)) turns the drawing by the angle it sweeps.
    const float angle = q.PanAngle;
    Send(img1, QEvent::MouseButtonPress, {485, 290});
    Send(img1, QEvent::MouseMove, {481, 249});
    Send(img1, QEvent::MouseButtonRelease, {481, 249});
    EXPECT_NEAR(q.PanAngle, angle + 10.0f, 0.5f);

    prompts.reply(Prompts::Answer::Yes);
    w.close();
}

} // namespace
