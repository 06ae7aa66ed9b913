#pragma once

#include "DoorRuler.h"

#include <QColor>
#include <QStringList>

#include <array>

class QImage;

// The eight-palace door ruler, front (with four lines of verse per palace) or back: palace names come from
// `names` (eight), verses from `verses` (eight texts, each cut into four equal parts).
void DrawEightPalaceRuler(QImage &image, bool front, const QStringList &names, const QStringList &verses,
                          const QColor &backColour);
// The left edge of palace 0..7 on a ruler picture `width` pixels wide.
int EightPalaceLeft(int width, int palace);

// The geometry of the sliding scale of the second ruler window: 500 mm across the usable width.
struct ScaleGeometry {
    int left = 0, right = 0, top = 0;
    double pixelsPerMm = 1;
    int fontSize = 9;
};
ScaleGeometry MakeScaleGeometry(int imageWidth, int fontSize);
// The x of a length's pointer on the scale of its 50-cm window.
int PointerX(const ScaleGeometry &g, double length);

// The step, in units of a scale (1, 2, 5, 10, 20, 50 ...), at which its numbers stand apart: the smallest at
// which labels `labelWidth` pixels wide, centred on their marks, leave `gap` pixels between each other.
int LabelStep(double pixelsPerUnit, int labelWidth, int gap);

// The layers of the combined scale below the centimetre scale.
struct ScaleLayers {
    bool menGong = true, dingLan = true, inch = true;
};

// Draws the combined ruler for the 50-cm window holding `length`: centimetre scale, 门公尺 band, 丁兰尺 band and
// inch scale, with the pointer at the length.
void DrawDoorScale(QImage &image, const ScaleGeometry &g, double length, double menGong, double dingLan,
                   const ScaleLayers &layers);
