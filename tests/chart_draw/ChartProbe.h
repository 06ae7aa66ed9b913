#pragma once

#include "MImagePlus.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>

// Pixel probes for the chart pictures.

inline bool Near(QRgb p, QColor c, int tol = 40)
{
    return std::abs(qRed(p) - c.red()) <= tol && std::abs(qGreen(p) - c.green()) <= tol &&
           std::abs(qBlue(p) - c.blue()) <= tol;
}

// Whether a pixel is the colour c laid with some coverage over white, as antialiased strokes are: the coverage
// read from the channel that c darkens most must explain the other channels too.
inline bool InkOf(QRgb p, QColor c, int tol = 40)
{
    const int dr = 255 - c.red(), dg = 255 - c.green(), db = 255 - c.blue();
    const int dmax = std::max({dr, dg, db});
    if (dmax == 0)
        return Near(p, c, tol);
    const int dp = dmax == dr ? 255 - qRed(p) : dmax == dg ? 255 - qGreen(p) : 255 - qBlue(p);
    const double a = double(dp) / dmax;
    if (a < 0.5 || a > 1.1)
        return false;
    auto expect = [&](int ch) { return 255 - a * (255 - ch); };
    return std::abs(qRed(p) - expect(c.red())) <= tol && std::abs(qGreen(p) - expect(c.green())) <= tol &&
           std::abs(qBlue(p) - expect(c.blue())) <= tol;
}

// Pixels of a Windows colour inside a rectangle (clipped to the picture), antialiased edges included.
inline int CountColour(const QImage& image, QRect box, uint32_t winColor, int tol = 40)
{
    const QColor c = MImagePlus::ToQColor(winColor);
    box = box.intersected(image.rect());
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (InkOf(image.pixel(x, y), c, tol))
                ++n;
    return n;
}

// Pixels exactly of a colour, within a tolerance.
inline int CountExact(const QImage& image, QRect box, uint32_t winColor, int tol)
{
    const QColor c = MImagePlus::ToQColor(winColor);
    box = box.intersected(image.rect());
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (Near(image.pixel(x, y), c, tol))
                ++n;
    return n;
}

inline QRect Around(QPointF p, int half) { return QRect(int(p.x()) - half, int(p.y()) - half, 2 * half + 1, 2 * half + 1); }

inline int Gray(const QImage& image, QPointF p) { return qGray(image.pixel(int(std::lround(p.x())), int(std::lround(p.y())))); }

// Darkest grey level in the 3 × 3 pixels about a point.
inline int MinGray(const QImage& image, QPointF p)
{
    int g = 255;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            g = std::min(g, qGray(image.pixel(int(p.x()) + dx, int(p.y()) + dy)));
    return g;
}

// Share of the inked pixels of a text, drawn alone at (x, y) with the given font, that the picture does not
// show in the same place: near 0 when the picture holds exactly that text there.
inline double TextMismatch(const QImage& chart, float x, float y, const QString& text, float size, bool bold,
                           uint32_t colour, bool noFormat = false)
{
    QImage ref(chart.size(), QImage::Format_ARGB32_Premultiplied);
    ref.fill(Qt::white);
    MImagePlus s;
    s.BeginDraw(&ref);
    s.SetFontSize(size);
    s.SetFontBold(bold);
    s.SetFontColor(colour);
    s.DrawText(x, y, text, noFormat);
    // The text's own box (3 pixels below y), one pixel wider all round.
    const QRect box = QRect(int(x) - 1, int(y) + 2, int(s.TextWidth(text, noFormat)) + 3, int(s.TextHeight(text)) + 3)
                          .intersected(chart.rect());
    s.EndDraw();
    int inked = 0, wrong = 0;
    for (int py = box.top(); py <= box.bottom(); ++py)
        for (int px = box.left(); px <= box.right(); ++px) {
            const QRgb a = ref.pixel(px, py), b = chart.pixel(px, py);
            const bool refInk = qGray(a) < 200;
            if (refInk)
                ++inked;
            const int diff = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                       std::abs(qBlue(a) - qBlue(b))});
            if (diff > 90 && (refInk || qGray(b) < 200))
                ++wrong;
        }
    return inked == 0 ? 1.0 : double(wrong) / inked;
}
