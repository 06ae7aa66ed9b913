#include "ChartGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The point at radius rho and screen angle theta about the picture's centre.
std::pair<int, int> At(const PanGeometry& g, double rho, double theta)
{
    const double rad = theta * 3.14159265358979 / 180.0;
    return {int(std::lround(g.fCenterX + rho * std::cos(rad))), int(std::lround(g.fCenterY - rho * std::sin(rad)))};
}

}  // namespace

TEST(PanGeometry, SizeCentreRadiusAndTextScale)
{
    PanGeometry g = PanGeometryFor(500, 580);
    EXPECT_EQ(g.fRadius, 250);
    EXPECT_EQ(g.fCenterX, 250);
    EXPECT_EQ(g.fCenterY, 290);
    EXPECT_EQ(g.iTextSize, 12);

    g = PanGeometryFor(1000, 580);
    EXPECT_EQ(g.fRadius, 290);
    EXPECT_EQ(g.iTextSize, 12);
    EXPECT_EQ(PanGeometryFor(250, 290).iTextSize, 6);
    EXPECT_EQ(PanGeometryFor(501, 581).fCenterX, 250);  // integer halves
}

TEST(PanGeometry, TinyHugeAndNegativeSizesAreClamped)
{
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{-5, 40}, std::pair{10, 100000}}) {
        const PanGeometry g = PanGeometryFor(w, h);
        EXPECT_GE(g.fPanWidth, kMinPanSide);
        EXPECT_GE(g.fPanHeight, kMinPanSide);
        EXPECT_LE(g.fPanHeight, kMaxPanSide);
        EXPECT_GE(g.fRadius, kMinPanSide / 2);
        EXPECT_GE(g.iTextSize, 1);
    }
    EXPECT_EQ(ClampPanSide(99), 100);
    EXPECT_EQ(ClampPanSide(640), 640);
}

TEST(PanAngles, AtanGivesEveryDirectionAndNoneAtTheCentre)
{
    EXPECT_DOUBLE_EQ(PointAngle(0, 0, 10, 0), 0.0);
    EXPECT_DOUBLE_EQ(PointAngle(0, 0, 0, -10), 90.0);  // screen y points down: up is 90°
    EXPECT_DOUBLE_EQ(PointAngle(0, 0, -10, 0), 180.0);
    EXPECT_DOUBLE_EQ(PointAngle(0, 0, 0, 10), 270.0);
    EXPECT_DOUBLE_EQ(PointAngle(5, 5, 5, 5), 0.0);
    EXPECT_DOUBLE_EQ(SweepDelta(355, 5), 10.0);
    EXPECT_DOUBLE_EQ(SweepDelta(5, 355), -10.0);
    EXPECT_DOUBLE_EQ(SweepDelta(10, 50), 40.0);
    EXPECT_DOUBLE_EQ(AngleDistance(1, 359), 2.0);
    EXPECT_DOUBLE_EQ(NormalizeAngle(-0.0), 0.0);
    EXPECT_DOUBLE_EQ(NormalizeAngle(720.5), 0.5);
    EXPECT_DOUBLE_EQ(NormalizeAngle(std::nan("")), 0.0);
}

TEST(HitTestPan, RingBandAxisAndCompassRim)
{
    const PanGeometry g = PanGeometryFor(500, 580);
    const double pan = 22.5, degree = 0;  // axis vertical: sitting end at the bottom
    auto [x, y] = At(g, 0.6 * g.fRadius, 45);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, 0), DragRotate);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, false, 0), DragMove);  // the square chart has no ring to turn
    std::tie(x, y) = At(g, 0.5 * g.fRadius, 45);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, 0), DragMove);
    std::tie(x, y) = At(g, 0.66 * g.fRadius, 45);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, 0), DragMove);

    // The compass turns by its rim, on either pan shape; its ring band does not turn.
    std::tie(x, y) = At(g, 0.95 * g.fRadius, 45);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, false, kCompassMode), DragRotate);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, kCompassMode), DragRotate);
    std::tie(x, y) = At(g, 0.6 * g.fRadius, 45);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, kCompassMode), DragMove);

    // Within 3° of the axis, at either end, on the round chart only.
    std::tie(x, y) = At(g, 100, 272);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, 0), DragZuoXiang);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, false, 0), DragMove);
    std::tie(x, y) = At(g, 100, 88);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, 0), DragZuoXiang);
    std::tie(x, y) = At(g, 100, 95);
    EXPECT_EQ(HitTestPan(g, x, y, pan, degree, true, 0), DragMove);

    // An axis just below 360° is found from a press just above 0°.
    std::tie(x, y) = At(g, 100, 1);
    EXPECT_EQ(HitTestPan(g, x, y, 112.5, 1.0, true, 0), DragZuoXiang);

    EXPECT_EQ(HitTestPan(g, 250, 290, pan, degree, true, 0), DragNone);
}

TEST(HitTestPan, EdgeBands)
{
    const PanGeometry g = PanGeometryFor(500, 580);
    auto hit = [&](int x, int y) { return HitTestPan(g, x, y, 22.5, 0, true, 0); };
    EXPECT_EQ(hit(495, 30), DragRight);
    EXPECT_EQ(hit(495, 575), DragBottomRight);
    EXPECT_EQ(hit(100, 575), DragBottom);
    EXPECT_EQ(hit(5, 575), DragBottomLeft);
    EXPECT_EQ(hit(5, 100), DragLeft);
    EXPECT_EQ(hit(5, 5), DragTopLeft);
    EXPECT_EQ(hit(100, 5), DragTop);
    EXPECT_EQ(hit(495, 5), DragTopRight);
    EXPECT_EQ(hit(100, 100), DragMove);
    // Level with the centre is an ordinary point: the right edge still resizes there.
    EXPECT_EQ(hit(495, 290), DragRight);
    EXPECT_EQ(EdgeBand(g, 250, 290), 0);

    EXPECT_EQ(PanCursorShape(g, 495, 575), Qt::SizeFDiagCursor);
    EXPECT_EQ(PanCursorShape(g, 495, 5), Qt::SizeBDiagCursor);
    EXPECT_EQ(PanCursorShape(g, 100, 5), Qt::SizeVerCursor);
    EXPECT_EQ(PanCursorShape(g, 5, 100), Qt::SizeHorCursor);
    EXPECT_EQ(PanCursorShape(g, 100, 100), Qt::ArrowCursor);
}

TEST(Dragging, TurnsTheShortWayAcrossZero)
{
    const PanGeometry g = PanGeometryFor(500, 580);
    auto drag = [&](double from, double to, auto op, double start) {
        const auto [x0, y0] = At(g, 150, from);
        const auto [x1, y1] = At(g, 150, to);
        return op(g, start, x0, y0, x1, y1);
    };
    // Counter-clockwise by 10° on the ring adds 10 to the drawing's angle.
    EXPECT_NEAR(drag(40, 50, RotatePanAngle, 22.5), 32.5, 0.3);
    EXPECT_NEAR(drag(355, 5, RotatePanAngle, 22.5), 32.5, 0.3);
    EXPECT_NEAR(drag(5, 355, RotatePanAngle, 5.0), 355.0, 0.3);
    // A fast step of 40° is applied as 40°, not reversed.
    EXPECT_NEAR(drag(10, 50, RotatePanAngle, 22.5), 62.5, 0.3);

    // The axis follows the mouse: counter-clockwise on the screen is a smaller compass degree.
    EXPECT_NEAR(drag(270, 280, TurnZuoXiangDegree, 5.0), 355.0, 0.3);
    EXPECT_NEAR(drag(280, 270, TurnZuoXiangDegree, 355.0), 5.0, 0.3);

    // A step from or to the centre turns nothing.
    EXPECT_DOUBLE_EQ(RotatePanAngle(g, 22.5, 250, 290, 400, 100), 22.5);
    EXPECT_DOUBLE_EQ(TurnZuoXiangDegree(g, 120.0, 400, 100, 250, 290), 120.0);
}

TEST(Dragging, AxisAngleFollowsPanAngleAndDegree)
{
    EXPECT_DOUBLE_EQ(SittingAxisAngle(22.5, 0), 270.0);
    EXPECT_DOUBLE_EQ(SittingAxisAngle(146.5, 124), 270.0);  // the sitting mountain at the bottom
    EXPECT_DOUBLE_EQ(SittingAxisAngle(202.5, 0), 90.0);     // 子 at the top
}
