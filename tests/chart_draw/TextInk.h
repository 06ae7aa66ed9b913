#pragma once

#include "MImagePlus.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <vector>

// Where the ink of each text of a drawing lies: every text the surface drew (its text log) drawn again alone on
// a blank picture of the same size and pixel ratio, and its inked pixels found. Coordinates are the picture's
// pixels (device pixels at a ratio above 1).

// A pixel counts as ink when some channel lies this far below white: the faint fringe of smoothing does not.
inline constexpr int kInkDarkness = 64;

struct TextInk {
    DrawnText text;
    QRect box;                  // the inked pixels' bounding box; empty for a text that left no ink
    std::vector<QPoint> pixels; // every inked pixel
};

inline TextInk InkOf(const DrawnText& t, QSize size, qreal ratio)
{
    // Drawn on a small picture about the text, moved by whole pixels so that it lands on the same pixel grid.
    MImagePlus measure;
    measure.SetFontSize(t.size);
    measure.SetFontBold(t.bold);
    const double em = t.size * 96.0 / 72.0;
    const double w = measure.TextWidth(t.text, t.noFormat);
    const double reach = t.rotated ? std::hypot(w, em) / 2.0 + 4.0 : w + em + 8.0;
    const int ox = int(std::floor(t.x - reach)), oy = int(std::floor(t.y - reach));
    const int side = int(std::ceil(2.0 * reach)) + 8;
    QImage alone(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
    alone.setDevicePixelRatio(ratio);
    alone.fill(Qt::white);
    MImagePlus s;
    s.BeginDraw(&alone);
    s.SetFontSize(t.size);
    s.SetFontBold(t.bold);
    s.SetFontColor(0x000000);
    if (t.rotated)
        s.DrawTextRotated(t.x - float(ox), t.y - float(oy), t.text, t.angle);
    else
        s.DrawText(t.x - float(ox), t.y - float(oy), t.text, t.noFormat);
    s.EndDraw();
    TextInk ink{t, QRect(), {}};
    const QPoint offset = QPoint(ox, oy) * ratio;
    const QRect picture(QPoint(0, 0), size * ratio);
    for (int y = 0; y < alone.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(alone.constScanLine(y));
        for (int x = 0; x < alone.width(); ++x)
            if (std::min({qRed(line[x]), qGreen(line[x]), qBlue(line[x])}) <= 255 - kInkDarkness) {
                const QPoint p = QPoint(x, y) + offset;
                if (!picture.contains(p))
                    continue;
                ink.pixels.push_back(p);
                ink.box = ink.box.united(QRect(p, QSize(1, 1)));
            }
    }
    return ink;
}

inline std::vector<TextInk> InkOfAll(const std::vector<DrawnText>& log, QSize size, qreal ratio)
{
    std::vector<TextInk> all;
    all.reserve(log.size());
    for (const DrawnText& t : log)
        all.push_back(InkOf(t, size, ratio));
    return all;
}

// Blank pixels between two ink boxes, the larger of the horizontal and the vertical gap; negative when they
// overlap both ways (-1 for boxes that share pixels).
inline int InkGap(const QRect& a, const QRect& b)
{
    const int gx = std::max(b.left() - a.right(), a.left() - b.right()) - 1;
    const int gy = std::max(b.top() - a.bottom(), a.top() - b.bottom()) - 1;
    return std::max(gx, gy);
}
