#pragma once

#include "ChartGeometry.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

// The sitting–facing axis of the round chart, which the chart itself does not draw: shown over the picture while
// the pointer lies on the band that turns it and while it turns, so that a turn of the house is never a surprise.
// A red line through the centre from the sitting end to the facing end on the chart's outer circle, a
// cross-stroke at the sitting end, an arrowhead at the facing end, and the sitting degree in a box beyond the
// sitting end, kept inside the picture.
struct TurnAxis {
    QPointF sitting, facing;   // ends of the axis, on the outer circle (0.9 of the radius)
    QLineF cross;              // the stroke across the sitting end
    QLineF head[2];            // the arrowhead's sides at the facing end
    QString label;             // "40度8分"
    QRectF labelBox;           // where the label is written, white under it
};

// The axis of a sitting degree on a chart drawn with the geometry g (its radius as drawn) and rotation panAngle;
// the label is written in bold "宋体" of labelPoints points at 96 dpi.
TurnAxis TurnAxisFor(const PanGeometry& g, double panAngle, double degree, double labelPoints);

// Paints it with an antialiased painter in picture coordinates.
void PaintTurnAxis(QPainter& painter, const TurnAxis& axis, double labelPoints);
