#include "SkinResources.h"

#include <QPainter>

QImage SkinTrackPicture(bool vertical)
{
    // A sunken groove 4 pixels deep: shadow above, light below, a dark line inside.
    QImage img(40, 6, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 255));
    QPainter p(&img);
    p.fillRect(QRect(1, 1, 38, 4), QColor(236, 236, 236));
    p.setPen(QColor(128, 128, 128));
    p.drawLine(1, 1, 38, 1);
    p.drawLine(1, 1, 1, 4);
    p.setPen(QColor(64, 64, 64));
    p.drawLine(2, 2, 37, 2);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(1, 4, 38, 4);
    p.drawLine(38, 1, 38, 4);
    p.end();
    return vertical ? img.transformed(QTransform().rotate(90)) : img;
}

QList<QImage> SkinMenuGlyphs()
{
    QList<QImage> glyphs;
    for (int g = 0; g < 4; ++g) {
        QImage img(16, 16, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setPen(Qt::black);
        switch (g) {
        case 0: // restore: two overlapping windows
            p.drawRect(6, 3, 7, 6);
            p.drawLine(6, 4, 13, 4);
            p.fillRect(3, 6, 8, 7, Qt::white);
            p.drawRect(3, 6, 7, 6);
            p.drawLine(3, 7, 10, 7);
            break;
        case 1: // maximise: one window with a thick title
            p.drawRect(3, 3, 9, 9);
            p.drawLine(3, 4, 12, 4);
            break;
        case 2: // minimise: a bar at the bottom
            p.fillRect(4, 11, 7, 2, Qt::black);
            break;
        case 3: // close: a cross
            p.drawLine(4, 4, 11, 11);
            p.drawLine(5, 4, 12, 11);
            p.drawLine(11, 4, 4, 11);
            p.drawLine(12, 4, 5, 11);
            break;
        }
        p.end();
        glyphs.append(img);
    }
    return glyphs;
}
