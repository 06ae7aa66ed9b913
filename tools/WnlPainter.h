#pragma once

#include <QPoint>
#include <QSize>

class QImage;
struct WnlMonthData;

// Draws the month grid: 7 × 7 cells, the weekday names (Monday first) in the top row, then the days with
// their solar terms and lunar dates; the selected day is framed in red. `fontSize` is the base size in points.
void DrawWnlMonth(QImage &image, const WnlMonthData &month, int fontSize);

// The grid cell (0..41 below the weekday row) under a point of a picture of `size`, -1 outside the days' rows.
int WnlCellAt(QSize size, QPoint point);
