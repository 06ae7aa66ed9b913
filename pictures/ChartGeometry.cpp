#include "ChartGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int kBand = 10;
}  // namespace

int ClampPanSide(int side) { return std::clamp(side, kMinPanSide, kMaxPanSide); }

PanGeometry PanGeometryFor(int w, int h)
{
    w = ClampPanSide(w);
    h = ClampPanSide(h);
    PanGeometry g;
    g.fPanWidth = float(w);
    g.fPanHeight = float(h);
    g.fCenterX = float(w / 2);
    g.fCenterY = float(h / 2);
    g.fRadius = float(h > w ? w / 2 : h / 2);
    g.iTextSize = std::max(1, int(12.0 * std::min(w * 0.002, h / 580.0)));
    return g;
}

double NormalizeAngle(double angle)
{
    if (!std::isfinite(angle))
        return 0.0;
    double a = std::fmod(angle, 360.0);
    if (a < 0)
        a += 360.0;
    return a >= 360.0 ? 0.0 : a;
}

double PointAngle(double cx, double cy, double x, double y)
{
    const double dx = x - cx;
    const double dy = cy - y;  // screen y points down
    if (dx == 0.0 && dy == 0.0)
        return 0.0;
    return NormalizeAngle(std::atan2(dy, dx) * 180.0 / kPi);
}

double SweepDelta(double a0, double a1)
{
    double d = NormalizeAngle(a1 - a0);
    if (d > 180.0)
        d -= 360.0;
    return d;
}

double AngleDistance(double a, double b) { return std::fabs(SweepDelta(a, b)); }

double SittingAxisAngle(double panAngle, double degree) { return NormalizeAngle(panAngle - 112.5 - degree); }

int EdgeBand(const PanGeometry& g, int x, int y)
{
    const int rx = int(g.fPanWidth - x);
    const int ry = int(g.fPanHeight - y);
    if (rx <= kBand && ry <= kBand)
        return DragBottomRight;
    if (ry <= kBand && rx > kBand && x > kBand)
        return DragBottom;
    if (ry <= kBand && x <= kBand)
        return DragBottomLeft;
    if (x <= kBand && y > kBand && ry > kBand)
        return DragLeft;
    if (x <= kBand && y <= kBand)
        return DragTopLeft;
    if (y <= kBand && x > kBand && rx > kBand)
        return DragTop;
    if (rx <= kBand && y <= kBand)
        return DragTopRight;
    if (rx <= kBand && ry > kBand && y >= kBand)
        return DragRight;
    return 0;
}

Qt::CursorShape PanCursorShape(const PanGeometry& g, int x, int y)
{
    switch (EdgeBand(g, x, y)) {
    case DragBottomRight:
    case DragTopLeft: return Qt::SizeFDiagCursor;
    case DragBottom:
    case DragTop: return Qt::SizeVerCursor;
    case DragBottomLeft:
    case DragTopRight: return Qt::SizeBDiagCursor;
    case DragLeft:
    case DragRight: return Qt::SizeHorCursor;
    default: return Qt::ArrowCursor;
    }
}

int HitTestPan(const PanGeometry& g, int x, int y, double panAngle, double degree, bool round, int displayMode)
{
    const double d = std::hypot(x - g.fCenterX, y - g.fCenterY);
    // The exact centre has no direction: nothing to drag there.
    if (d == 0.0)
        return DragNone;

    const double theta = PointAngle(g.fCenterX, g.fCenterY, x, y);
    const double axis = SittingAxisAngle(panAngle, degree);
    if (round && (AngleDistance(theta, axis) < 3.0 || AngleDistance(theta + 180.0, axis) < 3.0))
        return DragZuoXiang;

    const double r = g.fRadius;
    if (displayMode == kCompassMode) {
        if (d >= 0.9 * r && d < 0.99 * r)
            return DragRotate;
    } else if (round && d >= 0.55 * r && d < 0.65 * r) {
        return DragRotate;
    }

    if (const int band = EdgeBand(g, x, y))
        return band;
    return DragMove;
}

namespace {
// Angle swept about the centre from one mouse position to the next; none when either lies on the centre.
double Swept(const PanGeometry& g, int x0, int y0, int x1, int y1)
{
    if ((x0 == g.fCenterX && y0 == g.fCenterY) || (x1 == g.fCenterX && y1 == g.fCenterY))
        return 0.0;
    return SweepDelta(PointAngle(g.fCenterX, g.fCenterY, x0, y0), PointAngle(g.fCenterX, g.fCenterY, x1, y1));
}
}  // namespace

double RotatePanAngle(const PanGeometry& g, double panAngle, int x0, int y0, int x1, int y1)
{
    return NormalizeAngle(panAngle + Swept(g, x0, y0, x1, y1));
}

double TurnZuoXiangDegree(const PanGeometry& g, double degree, int x0, int y0, int x1, int y1)
{
    return NormalizeAngle(degree - Swept(g, x0, y0, x1, y1));
}
