#pragma once

#include <QImage>
#include <QPainter>

// A button strip of `frames` frames, each 24 x 16: a 4-pixel frame-coloured border with magenta corners
// (the transparent key), a lighter centre with a dot, so that stretching, tiling and dropped ends show.
inline QImage ButtonStrip(int frames = 4)
{
    const QColor tones[] = {QColor(60, 110, 180), QColor(40, 80, 140), QColor(150, 150, 150), QColor(90, 150, 220)};
    QImage img(24 * frames, 16, QImage::Format_RGB32);
    QPainter p(&img);
    for (int f = 0; f < frames; ++f) {
        const QRect r(24 * f, 0, 24, 16);
        const QColor c = tones[f % 4];
        p.fillRect(r, c);
        p.fillRect(r.adjusted(4, 4, -4, -4), c.lighter(170));
        p.fillRect(QRect(r.left() + 11, 7, 2, 2), c.darker(200));
        for (QPoint corner : {r.topLeft(), QPoint(r.right(), r.top()), QPoint(r.left(), r.bottom()), r.bottomRight()})
            img.setPixel(corner, qRgb(255, 0, 255));
    }
    return img;
}
