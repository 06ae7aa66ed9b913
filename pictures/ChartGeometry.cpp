#include "ChartGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
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
    return NormalizeAngle(std::atan2(dy, dx) / kDegToRad);
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

BoxReach TextBoxReach(double rho, double theta, double w, double h, double turn, double refAngle)
{
    return RectReach(rho, theta, -w / 2, -h / 2, w / 2, h / 2, turn, refAngle);
}

BoxReach RectReach(double rho, double theta, double left, double top, double right, double bottom, double turn,
                   double refAngle)
{
    const double t = theta * kDegToRad, q = turn * kDegToRad;
    const double px = rho * std::cos(t), py = rho * std::sin(t);
    const double cq = std::cos(q), sq = std::sin(q);
    // Corners counter-clockwise with y pointing up, as the point's own coordinates.
    const double local[4][2] = {{left, -bottom}, {right, -bottom}, {right, -top}, {left, -top}};
    double x[4], y[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = px + local[i][0] * cq - local[i][1] * sq;
        y[i] = py + local[i][0] * sq + local[i][1] * cq;
    }
    BoxReach r;
    r.rMin = std::numeric_limits<double>::max();
    r.aMin = 180.0;
    r.aMax = -180.0;
    bool inside = true;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        r.rMax = std::max(r.rMax, std::hypot(x[i], y[i]));
        const double a = SweepDelta(refAngle, std::atan2(y[i], x[i]) / kDegToRad);
        r.aMin = std::min(r.aMin, a);
        r.aMax = std::max(r.aMax, a);
        // Nearest point of the edge i–j to the centre.
        const double dx = x[j] - x[i], dy = y[j] - y[i];
        const double len2 = dx * dx + dy * dy;
        const double s = len2 > 0.0 ? std::clamp(-(x[i] * dx + y[i] * dy) / len2, 0.0, 1.0) : 0.0;
        r.rMin = std::min(r.rMin, std::hypot(x[i] + s * dx, y[i] + s * dy));
        // The centre lies inside when it is on the same side of every edge.
        if (x[i] * dy - y[i] * dx < 0.0)
            inside = false;
    }
    if (inside)
        r.rMin = 0.0;
    return r;
}
