// The chart object's own view commands: what each stores, what it refuses, and that dragging turns the drawing or
// the house and redraws.
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <QImage>

#include <cmath>

#include <gtest/gtest.h>

namespace {

// A point on a circle of radius r about (cx, cy) at the screen angle a (degrees counter-clockwise from +x).
QPoint At(double cx, double cy, double r, double a)
{
    const double t = a * M_PI / 180.0;
    return QPoint(int(std::lround(cx + r * std::cos(t))), int(std::lround(cy - r * std::sin(t))));
}

class ChartView : public ::testing::Test {
protected:
    void SetUp() override { q.SetPanSize(500, 580, false); }
    TempProgramFolder folder;
    QImage chart;
    MQuorin q{nullptr, &chart, nullptr};
};

TEST_F(ChartView, SizeSetsTheGeometry)
{
    EXPECT_EQ(chart.size(), QSize(500, 580));
    EXPECT_FLOAT_EQ(q.fRadius, 250);
    EXPECT_FLOAT_EQ(q.fCenterX, 250);
    EXPECT_FLOAT_EQ(q.fCenterY, 290);
    EXPECT_EQ(q.iTextSize, 12);
    q.SetPanSize(250, 290, false);
    EXPECT_EQ(q.iTextSize, 6);
}

TEST_F(ChartView, AnnualViewsWaitForALayOut)
{
    const QImage before = chart.copy();
    EXPECT_FALSE(q.ShowLiuNianPan(2024, 6, 1, 1));
    EXPECT_FALSE(q.ShowNeiQiPan());
    EXPECT_FALSE(q.ShowLiuNianPan8(2024, 6, 1));
    EXPECT_EQ(chart, before);
}

TEST_F(ChartView, AnnualViewsStoreWhatTheyShowAndRedrawTheSame)
{
    q.iPanShape = 0;
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    const QImage base = chart.copy();

    ASSERT_TRUE(q.ShowLiuNianPan(2024, 6, 1, 1));
    EXPECT_EQ(q.GetDisplayMode(), 2);
    EXPECT_EQ(q.iLiuNianYear, 2024);
    EXPECT_EQ(q.iLiuNianMonth, 6);
    EXPECT_EQ(q.bShowNeiQi, 1);
    EXPECT_EQ(q.bShowMonth, 1);
    const QImage annual = chart.copy();
    EXPECT_NE(annual, base);

    // A redraw at the same size shows the same annual view again.
    ASSERT_TRUE(q.Redraw());
    EXPECT_EQ(chart, annual);

    ASSERT_TRUE(q.ShowNeiQiPan());
    EXPECT_EQ(q.GetDisplayMode(), 3);
    ASSERT_TRUE(q.ShowLiuNianPan8(2025, 11, 0));
    EXPECT_EQ(q.GetDisplayMode(), 4);
    EXPECT_EQ(q.iLiuNianYear, 2025);
    EXPECT_EQ(q.bShowMonth, 0);

    q.SetDisplayMode(0);
    EXPECT_EQ(chart, base);
}

TEST_F(ChartView, DraggingTheRingTurnsTheDrawing)
{
    q.iPanShape = 0;
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    const float angle = q.PanAngle;
    const QPoint p0 = At(250, 290, 150, 20), p1 = At(250, 290, 150, 30);
    EXPECT_EQ(q.HitTestPan(p0.x(), p0.y()), 2);
    q.RotatePan(p0.x(), p0.y(), p1.x(), p1.y());
    EXPECT_NEAR(q.PanAngle, angle + 10, 0.5);
}

TEST_F(ChartView, DraggingTheAxisTurnsTheHouseAndItsStars)
{
    q.iPanShape = 0;
    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    // 子 sits at the bottom: the sitting end of the axis is straight down.
    const QPoint p0 = At(250, 290, 100, 270), p1 = At(250, 290, 100, 265);
    EXPECT_EQ(q.HitTestPan(p0.x(), p0.y()), 3);
    ASSERT_TRUE(q.TurnZuoXiang(p0.x(), p0.y(), p1.x(), p1.y()));
    float degree = 0;
    int item = 0;
    q.GetZuoXiang(degree, item);
    EXPECT_NEAR(degree, 5, 0.5);
    EXPECT_EQ(q.ZuoShan, 1); // still 子, now 5° east of north
}

TEST_F(ChartView, ShapeAndColourModeRedrawOnlyALaidOutChart)
{
    const QImage blank = chart.copy();
    q.SetColorMode(2);
    EXPECT_EQ(chart, blank); // nothing laid out yet: nothing to redraw
    q.SetPanShape(0, true);
    EXPECT_EQ(q.iPanShape, 0);

    ASSERT_TRUE(q.PaiPan(ReferenceHouse()));
    const QImage round = chart.copy(); // the case's own colour mode, 0
    q.SetColorMode(2);
    EXPECT_NE(chart, round);
    q.SetPanShape(1, false);
    EXPECT_EQ(q.iPanShape, 1);
    const QImage stillRound = chart.copy();
    q.SetPanShape(1, true);
    EXPECT_NE(chart, stillRound);
}

TEST(ChartObject, TakesItsGeometryFromThePicturesItIsGiven)
{
    TempProgramFolder folder;
    QImage chart(500, 580, QImage::Format_RGB32), plan(400, 301, QImage::Format_RGB32);
    const MQuorin q(nullptr, &chart, &plan);
    EXPECT_FLOAT_EQ(q.fRadius, 250);
    EXPECT_FLOAT_EQ(q.fCenterY, 290);
    EXPECT_EQ(q.iBkCenterX, 200);
    EXPECT_EQ(q.iBkCenterY, 150);
    ASSERT_TRUE(q.pBkBitmap);
    EXPECT_EQ(q.pBkBitmap->size(), QSize(200, 200));
    // The drawing surface belongs to the pictures: the first drawing makes it.
    MQuorin drawn(nullptr, &chart, &plan);
    drawn.Redraw();
    EXPECT_TRUE(drawn.pImagePlus);
}

} // namespace
