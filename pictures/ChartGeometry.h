#pragma once

#include <Qt>

#include <numbers>

// Geometry of the chart picture: its size, centre, radius and text scale, what a mouse press on it would drag,
// and the angle arithmetic of turning the drawing or the sitting–facing axis. Pure functions over a small state
// that the chart object owns; nothing here draws.
//
// Angles are degrees counter-clockwise on the screen from the +x axis (screen y points down). A compass bearing
// β (clockwise from north, like the sitting degree) is drawn at PanAngle − 112.5 − β.

// Radians per degree, for every angle the drawing turns into a screen point.
inline constexpr double kDegToRad = std::numbers::pi / 180.0;

// Smallest side of the picture; smaller requests are raised to it so that every layout has room to work.
inline constexpr int kMinPanSide = 100;
// Largest side accepted; a larger request is lowered to it (a picture of this size is already 64 MB).
inline constexpr int kMaxPanSide = 4096;

struct PanGeometry {
    float fPanWidth = 500;
    float fPanHeight = 580;
    float fCenterX = 250;
    float fCenterY = 290;
    float fRadius = 250;
    int iTextSize = 12;
};

// What a press on the picture would drag.
enum PanDrag {
    DragNone = -1,
    DragMove = 1,
    DragRotate = 2,     // turn the drawing (the mountain ring, or the compass rim)
    DragZuoXiang = 3,   // turn the sitting–facing axis
    DragBottomRight = 11,
    DragBottom = 12,
    DragBottomLeft = 13,
    DragLeft = 14,
    DragTopLeft = 15,
    DragTop = 16,
    DragTopRight = 17,
    DragRight = 18,
};

// Display mode of the compass view, where the outer rim turns the drawing on any pan shape.
inline constexpr int kCompassMode = 100;

// The geometry of a w × h picture: both sides clamped to kMinPanSide..kMaxPanSide, centre at the integer
// halves, radius the integer half of the shorter side, text scale trunc(12 × min(w × 0.002, h / 580)) but at
// least 1 point.
PanGeometry PanGeometryFor(int w, int h);

// The side a picture will really get for a requested side.
int ClampPanSide(int side);

// Screen angle of (x, y) about (cx, cy) in [0, 360); 0 for the centre itself.
double PointAngle(double cx, double cy, double x, double y);

// Brings an angle into [0, 360).
double NormalizeAngle(double angle);

// Signed angle swept from a0 to a1, the short way round: in (−180, 180].
double SweepDelta(double a0, double a1);

// Smallest distance between two angles, 0..180.
double AngleDistance(double a, double b);

// The edge band (11..18) that (x, y) lies in, or 0 for none; bands are 10 pixels deep.
int EdgeBand(const PanGeometry& g, int x, int y);

// The cursor over (x, y): a size cursor in the edge bands, the arrow elsewhere.
Qt::CursorShape PanCursorShape(const PanGeometry& g, int x, int y);

// What a press at (x, y) would drag. round: the pan shape is the round chart; degree: the sitting degree.
int HitTestPan(const PanGeometry& g, int x, int y, double panAngle, double degree, bool round, int displayMode);

// PanAngle after dragging from (x0, y0) to (x1, y1): the swept angle added, kept in [0, 360).
double RotatePanAngle(const PanGeometry& g, double panAngle, int x0, int y0, int x1, int y1);

// Sitting degree after dragging the axis from (x0, y0) to (x1, y1): the swept angle subtracted (the axis turns
// with the mouse), kept in [0, 360).
double TurnZuoXiangDegree(const PanGeometry& g, double degree, int x0, int y0, int x1, int y1);

// What a text box covers about the chart's centre: the box is w × h pixels, centred on the point at radius rho and
// screen angle theta, and turned counter-clockwise by turn degrees (0 upright). rMin and rMax are its nearest and
// farthest distances from the centre (rMin 0 when it covers the centre); aMin and aMax the screen angles its
// corners reach, relative to refAngle, in (−180, 180].
struct BoxReach {
    double rMin = 0.0, rMax = 0.0;
    double aMin = 0.0, aMax = 0.0;
};
BoxReach TextBoxReach(double rho, double theta, double w, double h, double turn, double refAngle);
// The same for a rectangle given about the point in the text's own frame before it is turned (x to the right, y
// down, as on the screen): what the ink of a text covers, which need not be centred on its box.
BoxReach RectReach(double rho, double theta, double left, double top, double right, double bottom, double turn,
                   double refAngle);

// Screen angle of the sitting end of the axis.
double SittingAxisAngle(double panAngle, double degree);
