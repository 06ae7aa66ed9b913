#pragma once

#include <QColor>
#include <QRgb>

// Engine code keeps colours as Windows colour values 0x00BBGGRR; they become QColor only where they meet
// QPainter. The top byte of a Windows value is not an alpha; the colour is always opaque.

inline QRgb WinColorToRgb(quint32 win)
{
    return qRgb(int(win & 0xFF), int((win >> 8) & 0xFF), int((win >> 16) & 0xFF));
}

inline QColor WinColorToQColor(quint32 win)
{
    return QColor::fromRgb(WinColorToRgb(win));
}

inline quint32 QColorToWinColor(const QColor &c)
{
    const QRgb rgb = c.rgb();
    return quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16;
}
