// The pictures of the main window on a screen scaled x2 (this program's screen has a device-pixel ratio of 2).
#include "GuiTestSupport.h"

#include "MControlCompass.h"
#include "MQuorin.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QToolButton>

namespace {

// Share of the 2 x 2 pixel blocks whose pixels differ: none in a picture of logical pixels magnified, many in one
// drawn at the ratio (every slanted edge and every glyph splits blocks).
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
    QImage picture(300, 300, QImage::Format_RGB32);
    picture.fill(Qt::darkYellow);
    QPainter(&picture).drawLine(0, 0, 300, 200); // an edge that a drawing at the ratio would split blocks on
    ASSERT_TRUE(picture.save(path(QStringLiteral("compass/a.jpg")), "JPG"));
    ASSERT_TRUE(picture.save(path(QStringLiteral("plan.bmp"))));
    TFrmMain w;
    w.show();
    find<QRadioButton>(&w, "RdoPanShape_0")->click();
    const std::pair<const char *, const char *> inputs[] = {
        {"LedtZtd", "0:0"}, {"EdtYear", "2004"}, {"EdtName", "张三"}, {"LedtShengNian", "1980"}};
    for (const auto &[name, text] : inputs)
        find<QLineEdit>(&w, name)->setText(QString::fromUtf8(text));
    find<QToolButton>(&w, "SpeedButton2")->click(); // the sitting from the degree
    w.BtnPaiClick();
    ASSERT_TRUE(w.ChartValid());
    ASSERT_TRUE(w.LoadFloorPlan(path(QStringLiteral("plan.bmp"))));
    auto *img1 = find<TImage>(&w, "Img1");
    w.Quorin()->SetPanSize(500, 580, true);
    img1->resize(500, 580);

    const struct { const char *what; TImage *picture; const char *view; /* the popup item showing it */ bool sharp; }
    cases[] = {
        {"chart", img1, nullptr, true},
        {"compass view", img1, "pMenuCompassShow", true},
        {"compass photograph", find<TImage>(&w, "ImgCompass"), nullptr, true},
        {"floor plan", find<TImage>(&w, "ImgBk"), nullptr, false}, // a picture of its own, shown as it is
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.view)
            find<QAction>(&w, c.view)->trigger();
        const QSize size = c.picture->Picture().size();
        const QImage shot = c.picture->grab().toImage();
        EXPECT_EQ(shot.size(), size * 2);
        EXPECT_EQ(SplitBlocks(shot) > 0.01, c.sharp) << SplitBlocks(shot);
        EXPECT_EQ(c.picture->Picture().size(), size); // what is saved, copied and printed
    }
    find<QAction>(&w, "MenuItem9")->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(500, 580));
    EXPECT_EQ(w.Compass()->DisplaySize(), QSize(300, 300));

    prompts.reply(Prompts::Answer::Yes).reply(Prompts::Answer::No); // the house laid out is not kept
    EXPECT_TRUE(w.close());
}

} // namespace
