// The compass and the floor plan drawn into pictures: probes at known points, and sample PNGs in the build
// folder (compass_pngs/) for people to look at.
#include "CompassRenderer.h"
#include "FloorPlan.h"
#include "MImagePlus.h"
#include "TextInk.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

QString SavePng(const QImage& image, const QString& name)
{
    QDir().mkpath(COMPASS_PNG_DIR);
    const QString path = QString(COMPASS_PNG_DIR) + "/" + name + ".png";
    image.save(path);
    return path;
}

// 8运 辰山戌向, sitting degree 120°30′.
CompassInput ChenShan(std::initializer_list<int> rings)
{
    CompassInput in;
    for (const int r : rings)
        in.layers.ring[size_t(r)] = 1;
    in.degree = 120.5;
    in.zuoShan = 9;
    in.jianShan = -1;
    return in;
}

CompassInput AllRings()
{
    CompassInput in = ChenShan({});
    for (int i = 0; i < TCompassLayers::kRingKinds; ++i)
        in.layers.ring[size_t(i)] = 1;
    return in;
}

struct Drawn {
    QImage image;
    CompassLayout layout;
    PanGeometry g;
    double panAngle = 22.5;

    QPoint At(double radius, double bearing) const
    {
        const double t = CompassScreenAngle(panAngle, bearing) * M_PI / 180.0;
        return QPoint(int(std::lround(g.fCenterX + radius * g.fRadius * std::cos(t))),
                      int(std::lround(g.fCenterY - radius * g.fRadius * std::sin(t))));
    }
    QColor Pixel(double radius, double bearing) const { return image.pixelColor(At(radius, bearing)); }
};

// Drawn at a screen's pixel ratio; every text drawn goes to the log when one is given.
Drawn Draw(const CompassInput& in, int w = 500, int h = 580, int tilt = 0, qreal ratio = 1,
           std::vector<DrawnText>* log = nullptr)
{
    Drawn d;
    d.g = PanGeometryFor(w, h);
    d.panAngle = in.panAngle;
    d.image = QImage(QSize(int(d.g.fPanWidth), int(d.g.fPanHeight)) * ratio, QImage::Format_ARGB32_Premultiplied);
    d.image.setDevicePixelRatio(ratio);
    d.image.fill(Qt::gray);
    MImagePlus surface;
    surface.BeginDraw(&d.image);
    CompassRenderer renderer(surface, d.g, tilt);
    surface.SetTextLog(log);
    d.layout = renderer.Draw(in);
    surface.SetTextLog(nullptr);
    surface.EndDraw();
    return d;
}

bool IsRed(const QColor& c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; }
bool IsWhite(const QColor& c) { return c.red() > 245 && c.green() > 245 && c.blue() > 245; }

// Whether some pixel within two pixels of p is reddish (antialiased thin lines).
bool RedNear(const QImage& image, QPoint p)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QColor c = image.pixelColor(p + QPoint(dx, dy));
            if (c.red() > 150 && c.green() < 120 && c.blue() < 120)
                return true;
        }
    return false;
}

}  // namespace

TEST(CompassPicture, DefaultRingsFor8YunChenShan)
{
    const Drawn d = Draw(ChenShan({1, 4, 12}));
    SavePng(d.image, "compass_default");
    // White picture with a one-pixel black frame.
    for (const QPoint p : {QPoint(250, 0), QPoint(499, 300), QPoint(250, 579), QPoint(0, 300)})
        EXPECT_EQ(d.image.pixelColor(p), QColor(Qt::black)) << p.x() << "," << p.y();
    EXPECT_TRUE(IsWhite(d.image.pixelColor(5, 5)));
    EXPECT_EQ(d.layout.fontSize, 13);

    // The 地盘 band (second from the rim): 子 is filled (三合), 卯 is not.
    const CompassRing& di = d.layout.rings[1];
    ASSERT_EQ(di.kind, TCompassLayers::DiPan);
    const double nearInner = di.inner + 0.01;
    EXPECT_TRUE(IsRed(d.Pixel(nearInner, 4.0)));
    EXPECT_TRUE(IsWhite(d.Pixel(nearInner, 94.0)));
    // North is at the bottom: 子's sector lies below the centre.
    EXPECT_GT(d.At(nearInner, 4.0).y(), int(d.g.fCenterY));

    // The red axis from the sitting degree through the centre, and the red hub.
    EXPECT_TRUE(RedNear(d.image, d.At(0.3, 120.5)));
    EXPECT_TRUE(RedNear(d.image, d.At(0.3, 300.5)));
    EXPECT_FALSE(RedNear(d.image, d.At(0.3, 200.0)));
    EXPECT_TRUE(RedNear(d.image, d.At(0.02, 90.0)));
}

TEST(CompassPicture, AllThirteenRingsAndTheirTilts)
{
    const Drawn d = Draw(AllRings());
    SavePng(d.image, "compass_all13");
    ASSERT_EQ(d.layout.rings.size(), 13u);
    // The innermost ring ends outside the hub: between them only the spokes and the axis.
    const double inner = d.layout.rings.back().inner;
    EXPECT_GT(inner, 0.05);
    EXPECT_TRUE(IsWhite(d.Pixel(inner - 0.02, 190.0)));

    SavePng(Draw(AllRings(), 500, 580, 1).image, "compass_all13_tilt1");
    CompassInput big = AllRings();
    big.layers.ganZhi = 1;
    big.layers.wxColor = 1;
    SavePng(Draw(big, 1000, 1000).image, "compass_all13_ganzhi_colour_1000");
}

TEST(CompassPicture, EarthPlateSchemesAndFloorPlanVariant)
{
    CompassInput sanHe = ChenShan({4, 6, 7});
    const Drawn a = Draw(sanHe);
    SavePng(a.image, "compass_dipan_sanhe");
    CompassInput sanYuan = sanHe;
    sanYuan.layers.shanYin = 1;
    const Drawn b = Draw(sanYuan);
    SavePng(b.image, "compass_dipan_sanyuan");

    // 地盘 is the innermost of the three rings. 子 is filled in 三合 only, 丙 in 三元 only.
    const double r = a.layout.rings.back().inner + 0.01;
    EXPECT_TRUE(IsRed(a.Pixel(r, 4.0)));
    EXPECT_TRUE(IsWhite(b.Pixel(r, 4.0)));
    EXPECT_TRUE(IsWhite(a.Pixel(r, 169.0)));
    EXPECT_TRUE(IsRed(b.Pixel(r, 169.0)));

    // Over a floor plan nothing is filled (the plan shows through the white).
    CompassInput plan = sanHe;
    plan.hasPlan = true;
    const Drawn c = Draw(plan);
    SavePng(c.image, "compass_dipan_over_plan");
    EXPECT_TRUE(IsWhite(c.Pixel(r, 4.0)));
}

TEST(CompassPicture, TurnedDrawingTurnsTheRings)
{
    CompassInput in = ChenShan({1, 4, 12});
    in.panAngle = 22.5f + 120.5f; // iCoord 1: the sitting degree at the bottom
    const Drawn d = Draw(in);
    SavePng(d.image, "compass_default_turned");
    // The sitting end of the axis now points straight down.
    EXPECT_TRUE(RedNear(d.image, QPoint(int(d.g.fCenterX), int(d.g.fCenterY + 0.3 * d.g.fRadius))));
}

TEST(CompassPicture, FloorPlanWithTheChartMerged)
{
    // A generated plan: an outer wall and rooms as rectangles, a door swing as an ellipse.
    QImage plan(640, 700, QImage::Format_RGB32);
    plan.fill(QColor(0xF4, 0xF1, 0xE8));
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    FloorPlan fp(&plan, temp.path() + "/picTemp/");
    fp.ResetUndo();
    int w = 0, h = 0;
    fp.RestoreSize(w, h);
    ASSERT_TRUE(fp.SaveUndo());
    fp.SetPen(QPen(QColor(40, 40, 40), 4));
    ASSERT_TRUE(fp.Rectangle(40, 40, 600, 660, 0, 0, false));
    fp.SetPen(QPen(QColor(60, 60, 60), 2));
    ASSERT_TRUE(fp.Rectangle(40, 40, 300, 320, 0, 0, false));    // living room
    ASSERT_TRUE(fp.Rectangle(300, 40, 600, 260, 0, 0, false));   // bedroom
    ASSERT_TRUE(fp.Rectangle(300, 260, 460, 420, 0, 0, false));  // bath
    ASSERT_TRUE(fp.Rectangle(460, 260, 600, 420, 0, 0, false));  // study
    ASSERT_TRUE(fp.Rectangle(40, 320, 300, 660, 0, 0, false));   // kitchen and dining
    ASSERT_TRUE(fp.Rectangle(300, 420, 600, 660, 0, 0, false));  // second bedroom
    fp.SetPen(QPen(QColor(120, 120, 120), 1));
    ASSERT_TRUE(fp.Ellipse(250, 610, 330, 690, 0, 0, false));    // door swing
    ASSERT_TRUE(fp.Line(300, 660, 330, 660));

    CompassInput in = ChenShan({1, 4, 12});
    in.hasPlan = true;
    const Drawn chart = Draw(in, 500, 580);
    const QColor floor = plan.pixelColor(200, 500);
    ASSERT_TRUE(fp.MergeChart(chart.image, QPoint(70, 60)));
    SavePng(plan, "floorplan_merged");
    // Where the chart is white the plan is unchanged; its black rim is laid on the plan.
    EXPECT_EQ(plan.pixelColor(200, 500), floor);
    EXPECT_EQ(plan.pixelColor(100, 60), QColor(Qt::black)); // the chart's frame
    EXPECT_EQ(fp.UndoIndex(), 10);
}

TEST(CompassPicture, RingTextsAreLegibleAndTheirInkKeepsOffTheirBandsCircles)
{
    // Three, seven and all 13 rings at the sizes people use, upright and turned, sharp on a ×2 screen too: every
    // text drawn is legible; every ring keeps texts where its band allows, and the 周天 ring all 36 of its numbers.
    // Measured on the ink each text leaves when drawn alone, every ring text lies between its band's circles, and
    // the 周天 numbers, turned along their ring or not, clear of them.
    QStringList degrees;
    for (int degree = 0; degree < 360; degree += 10)
        degrees << QString::number(degree);
    const struct { int rings; CompassInput in; } sets[] = {
        {3, ChenShan({1, 4, 12})},
        {7, ChenShan({0, 1, 2, 4, 6, 7, 12})},
        {13, AllRings()},
    };
    const struct { int w, h; qreal ratio; } sizes[] = {{500, 580, 1}, {500, 580, 2}, {800, 800, 1}, {1000, 1000, 1}};
    for (const auto& set : sets)
        for (const auto& size : sizes)
            for (const int tilt : {0, 1, 2}) {
                const QString name = QStringLiteral("compass_%1rings_%2x%3_tilt%4")
                                         .arg(set.rings).arg(size.w).arg(size.h).arg(tilt);
                const std::string where = name.toStdString() + " x" + std::to_string(int(size.ratio)) + ": ";
                std::vector<DrawnText> log;
                const Drawn d = Draw(set.in, size.w, size.h, tilt, size.ratio, &log);
                if (set.rings != 7 && size.ratio == 1 && tilt == 0 && size.w != 800)
                    SavePng(d.image, name);
                for (const CompassRing& ring : d.layout.rings) {
                    EXPECT_TRUE(size.w != 1000 || !ring.labels.empty()) << where << "ring " << ring.kind;
                    QStringList texts;
                    for (const CompassLabel& label : ring.labels) {
                        texts << label.text;
                        EXPECT_GE(label.size, 6.0f) << where << label.text.toStdString();
                    }
                    if (ring.kind == TCompassLayers::ZhouTian) {
                        EXPECT_EQ(texts.join(u' ').toStdString(), degrees.join(u' ').toStdString()) << where;
                    }
                }
                // Distances from the centre in picture pixels, the pixel centres as the surface places them.
                const auto distance = [&](QPoint p) {
                    return std::hypot((p.x() + 0.5) / size.ratio - 0.5 - d.g.fCenterX,
                                      (p.y() + 0.5) / size.ratio - 0.5 - d.g.fCenterY);
                };
                int measured = 0;
                for (const TextInk& ink : InkOfAll(log, QSize(size.w, size.h), size.ratio)) {
                    if (ink.pixels.empty())
                        continue;
                    const double middle = distance(ink.box.center());
                    const auto ring = std::find_if(d.layout.rings.begin(), d.layout.rings.end(),
                                                   [&](const CompassRing& r) {
                                                       return middle > r.inner * d.g.fRadius &&
                                                              middle < r.outer * d.g.fRadius;
                                                   });
                    if (ring == d.layout.rings.end())
                        continue; // the degree lines in the corner
                    ++measured;
                    double nearest = 1e9, farthest = 0.0;
                    for (const QPoint p : ink.pixels) {
                        nearest = std::min(nearest, distance(p));
                        farthest = std::max(farthest, distance(p));
                    }
                    // A smoothed one-pixel line inks the pixels whose centres lie within `line` of its radius; the
                    // 周天 numbers, turned along a narrow band or not, keep a blank pixel beyond them.
                    const double line = 0.5 + 0.5 / size.ratio;
                    const double clear = ring->kind == TCompassLayers::ZhouTian ? line + 1.0 / size.ratio : 0.0;
                    EXPECT_GE(nearest, ring->inner * d.g.fRadius + clear) << where << ink.text.text.toStdString();
                    EXPECT_LE(farthest, ring->outer * d.g.fRadius - clear) << where << ink.text.text.toStdString();
                }
                EXPECT_GT(measured, 36) << where;
            }
}
