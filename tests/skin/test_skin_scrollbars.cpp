// Skinned scroll bars: the geometry, the look, and scrolling by the skinned places; scroll-area borders.
#include "ShippedSkin.h"
#include "SkinScrollbars.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QColor faceOf(const TSkinData &d, int name)
{
    const quint32 c = d.Colors[name];
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

void mouse(QWidget *w, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

std::unique_ptr<QScrollBar> bar(TSkinData &d, int length, int maximum, int page)
{
    auto b = std::make_unique<QScrollBar>(Qt::Horizontal);
    b->setRange(0, maximum);
    b->setPageStep(page);
    b->setSingleStep(1);
    EXPECT_TRUE(SkinScrollBar(b.get(), &d));
    b->resize(length, b->sizeHint().height());
    b->show();
    return b;
}

} // namespace

TEST(SkinScrollGeometry, FollowsTheSkinnedRules)
{
    const struct {
        const char *what;
        int length, arrow, minimum, maximum, page, position;
        int arrow1, thumbStart, thumbEnd; // thumbEnd 0: no thumb
    } rows[] = {
        {"range 0: thumb at the start", 200, 17, 0, 0, 1, 0, 17, 17, 25},
        {"page covers the range: thumb fills the track", 200, 17, 5, 5, 10, 5, 17, 17, 183},
        {"tiny page: 8 px at the start", 200, 17, 0, 10000, 1, 0, 17, 17, 25},
        {"tiny page: 8 px that reaches the end", 200, 17, 0, 10000, 1, 10000, 17, 175, 183},
        {"page: first position", 200, 17, 0, 90, 10, 0, 17, 17, 32},
        {"page: last position ends at the track's end", 200, 17, 0, 90, 10, 90, 17, 168, 183},
        {"no page: an arrow-long thumb", 200, 17, 0, 100, 0, 50, 17, 92, 109},
        {"minimum not 0, position beyond it kept inside", 200, 17, -50, 50, 0, 999, 17, 166, 183},
        {"shorter than two arrows: half each", 30, 17, 0, 100, 10, 50, 15, 0, 0},
        {"exactly two arrows: no track", 34, 17, 0, 100, 10, 50, 17, 0, 0},
        {"track shorter than 8: the thumb is the track", 40, 17, 0, 100, 1, 100, 17, 17, 23},
        {"nothing", -5, 17, 0, 100, 10, 50, 0, 0, 0},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        const SkinScrollGeometry g = ComputeSkinScroll(r.length, r.arrow, r.minimum, r.maximum, r.page, r.position);
        EXPECT_EQ(g.arrow1, r.arrow1);
        EXPECT_EQ(g.arrow2, r.arrow1);
        EXPECT_EQ(g.thumb, r.thumbEnd > 0);
        if (r.thumbEnd > 0) {
            EXPECT_EQ(g.thumbStart, r.thumbStart);
            EXPECT_EQ(g.thumbEnd, r.thumbEnd);
            EXPECT_EQ(SkinScrollPart(g, g.thumbStart), 5);
            EXPECT_EQ(SkinScrollPart(g, g.thumbStart - 1), g.thumbStart > g.trackStart ? 2 : 0);
            EXPECT_EQ(SkinScrollPart(g, g.thumbEnd), g.thumbEnd < g.trackEnd ? 3 : 1);
        }
        if (g.length > 0) {
            EXPECT_EQ(SkinScrollPart(g, 0), 0);
            EXPECT_EQ(SkinScrollPart(g, g.length - 1), 1);
        }
        EXPECT_EQ(SkinScrollPart(g, g.length), -1);
    }
}

TEST(SkinScrollBar, ScrollsByTheSkinnedPlacesAndDrawsItsStates)
{
    auto data = ShippedSkin("Mx1");
    ASSERT_FALSE(data->Empty());
    const int thickness = data->Scrollbar->Map.height();
    auto b = bar(*data, 300, 100, 10);
    EXPECT_EQ(b->height(), thickness);
    const int mid = thickness / 2;
    // track 300 - 34 = 266, range 109, thumb 266 * 9 / 109 = 22
    QStyleOptionSlider o;
    o.initFrom(b.get());
    o.orientation = Qt::Horizontal;
    o.maximum = 100;
    o.pageStep = 10;
    o.sliderPosition = 0;
    const SkinScrollGeometry g = ScrollStyleOf(b.get())->Geometry(o);
    ASSERT_EQ(g.thumbLength(), 22);

    const struct {
        const char *what;
        int from, pressAt, dragBy, expected;
    } presses[] = {
        {"second arrow: a line", 0, 300 - 5, 0, 1},
        {"first arrow: a line back", 1, 5, 0, 0},
        {"track after the thumb: a page", 0, 200, 0, 10},
        {"track before the thumb: a page back", 100, 40, 0, 90},
        {"thumb dragged by half the free track", 0, g.thumbStart + 11, (266 - 22) / 2, 50},
    };
    for (const auto &p : presses) {
        SCOPED_TRACE(p.what);
        b->setValue(p.from);
        mouse(b.get(), QEvent::MouseButtonPress, {p.pressAt, mid});
        if (p.dragBy)
            mouse(b.get(), QEvent::MouseMove, {p.pressAt + p.dragBy, mid});
        mouse(b.get(), QEvent::MouseButtonRelease, {p.pressAt + p.dragBy, mid});
        EXPECT_EQ(b->value(), p.expected);
    }

    // Drawn: the thumb shows where the geometry puts it, a disabled bar has no thumb.
    b->setValue(0);
    const QImage on = b->grab().toImage();
    const QColor thumbPixel = on.pixelColor(g.thumbStart + 3, mid - 4);
    const QColor trackPixel = on.pixelColor(250, mid - 4);
    EXPECT_NE(thumbPixel, trackPixel);
    b->setEnabled(false);
    const QImage off = b->grab().toImage();
    EXPECT_EQ(off.pixelColor(g.thumbStart + 3, mid - 4), off.pixelColor(250, mid - 4));
    EXPECT_NE(off.pixelColor(250, mid - 4), trackPixel) << "the disabled track is frame 3";

    EXPECT_TRUE(UnskinScrollBar(b.get()));
    EXPECT_EQ(ScrollStyleOf(b.get()), nullptr);
    EXPECT_EQ(b->style(), QApplication::style());
    EXPECT_FALSE(UnskinScrollBar(b.get()));
}

TEST(SkinScrollBar, FaultsAtTheEdgesAreHarmless)
{
    auto data = ShippedSkin("Mx1");
    const int thickness = data->Scrollbar->Map.height();
    // A thumb that fills its track: dragging it changes nothing.
    auto full = bar(*data, 120, 1, 100000);
    full->setValue(1);
    mouse(full.get(), QEvent::MouseButtonPress, {60, thickness / 2});
    mouse(full.get(), QEvent::MouseMove, {10, thickness / 2});
    mouse(full.get(), QEvent::MouseButtonRelease, {10, thickness / 2});
    EXPECT_EQ(full->value(), 1);

    // A bar shorter than two arrows: the two halves are its two arrows.
    auto shortBar = bar(*data, 20, 100, 10);
    mouse(shortBar.get(), QEvent::MouseButtonPress, {15, 3});
    mouse(shortBar.get(), QEvent::MouseButtonRelease, {15, 3});
    EXPECT_EQ(shortBar->value(), 1);
    mouse(shortBar.get(), QEvent::MouseButtonPress, {4, 3});
    mouse(shortBar.get(), QEvent::MouseButtonRelease, {4, 3});
    EXPECT_EQ(shortBar->value(), 0);
    EXPECT_FALSE(shortBar->grab().isNull());

    // A skin without scroll-bar pictures leaves the bar to the application's style.
    TSkinData empty;
    auto plain = bar(empty, 200, 100, 10);
    EXPECT_FALSE(ScrollStyleOf(plain.get())->Skinned());
    EXPECT_NE(plain->height(), 0);
}

TEST(SkinScrollArea, BorderCornerAndWheel)
{
    auto data = ShippedSkin("Mx2");
    QPlainTextEdit edit;
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.setPlainText(QString(QStringLiteral("一行很长很长的文字，比窗口宽得多，让两个滚动条都出现。\n")).repeated(80));
    edit.resize(200, 150);
    edit.show();
    QApplication::processEvents();
    QScrollBar *vb = edit.verticalScrollBar();
    ASSERT_TRUE(SkinScrollBar(vb, data.get()));
    ASSERT_TRUE(SkinScrollBar(edit.horizontalScrollBar(), data.get()));
    QApplication::processEvents();
    EXPECT_EQ(vb->width(), data->Scrollbar->Map.height()) << "the area lays out the skinned thickness";

    QImage picture(edit.size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter p(&picture);
        PaintScrollAreaBorder(p, &edit, *data);
    }
    EXPECT_EQ(picture.pixelColor(0, 50), faceOf(*data, TSkinData::ButtonShadow));
    EXPECT_EQ(picture.pixelColor(1, 50), faceOf(*data, TSkinData::ButtonFace));
    const QPoint corner = vb->mapTo(&edit, QPoint(2, vb->height() + 2));
    EXPECT_EQ(picture.pixelColor(corner), faceOf(*data, TSkinData::ButtonFace));

    const QImage before = vb->grab().toImage();
    QWheelEvent wheel(QPointF(50, 50), edit.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(edit.viewport(), &wheel);
    EXPECT_GT(vb->value(), 0);
    EXPECT_NE(vb->grab().toImage(), before) << "the bar shows the new place at once";
}
