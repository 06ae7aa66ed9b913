#pragma once

#include "ChartDrawData.h"
#include "ChartGeometry.h"

class MQuorin;

// The drawing of the chart object's picture: what it shows, taken from the chart object, and the picture
// operations behind its thin methods (DrawPan, SetPanSize, HitTestPan, RotatePan, TurnZuoXiang).

// Everything the painter draws, from the chart object's case copy, results, labels and settings as they stand
// (nothing is re-read); the annual, monthly and inner-qi stars are flown for its iLiuNianYear and iLiuNianMonth.
ChartDrawData ChartDrawDataOf(MQuorin& q);

// The chart object's picture geometry as last drawn (what a press on the picture hits).
PanGeometry PanGeometryOf(const MQuorin& q);
// The geometry a drawing starts from: the picture's own radius, before the corner texts take their room.
PanGeometry PictureGeometryOf(const MQuorin& q);

// Draws the current view into the chart object's picture (pImg), creating its drawing surface when it has none,
// and keeps the radius drawn (fRadius) and the square chart's layout (rcGrid, fRingInner, iBaseShan); the
// compass view (display mode 100) is drawn by the compass renderer. False when there is no picture.
bool DrawQuorinPan(MQuorin& q);

// Sizes the chart object's picture to w × h (clamped, at least 100 px a side), white, and sets its geometry:
// fPanWidth, fPanHeight, fCenterX, fCenterY, fRadius, iTextSize. With redraw the current view is drawn,
// otherwise the picture gets a one-pixel black frame.
void SetQuorinPanSize(MQuorin& q, int w, int h, bool redraw);

// What a press at (x, y) on the picture would drag (PanDrag).
int HitTestQuorinPan(const MQuorin& q, int x, int y);

// Turns the drawing by the angle swept from (x0, y0) to (x1, y1), then redraws.
void RotateQuorinPan(MQuorin& q, int x0, int y0, int x1, int y1);

// Turns the sitting degree by the swept angle, recomputes the chart for it, then redraws. False (with the chart
// object's sMessage) when the new degree could not be laid out; the degree then stays as it was.
bool TurnQuorinZuoXiang(MQuorin& q, int x0, int y0, int x1, int y1);
