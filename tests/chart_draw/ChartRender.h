#pragma once

#include "ChartDrawData.h"
#include "ChartGeometry.h"
#include "ChartPainter.h"
#include "MImagePlus.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <vector>

// What tests that measure the texts need besides the picture.
struct ChartTexts {
    std::vector<DrawnText> log; // every text drawn
    float radius = 0;           // the chart's radius as drawn, picture pixels
};

// Draws one view of the chart data into a fresh picture of w × h, at a screen's pixel ratio.
inline QImage RenderChart(const ChartDrawData& d, int w = 500, int h = 580, SquareLayout* layout = nullptr,
                          qreal ratio = 1, ChartTexts* texts = nullptr)
{
    const PanGeometry g = PanGeometryFor(w, h);
    QImage image(QSize(int(g.fPanWidth), int(g.fPanHeight)) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    MImagePlus surface;
    surface.BeginDraw(&image);
    if (texts)
        surface.SetTextLog(&texts->log);
    ChartPainter painter(surface, d, g);
    painter.Draw();
    if (layout)
        *layout = painter.Square();
    if (texts)
        texts->radius = painter.Radius();
    surface.EndDraw();
    return image;
}

inline QString SavePng(const QImage& image, const QString& name)
{
    QDir().mkpath(CHART_PNG_DIR);
    const QString path = QString(CHART_PNG_DIR) + "/" + name + ".png";
    image.save(path);
    return path;
}
