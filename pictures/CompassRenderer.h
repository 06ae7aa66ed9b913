#pragma once

#include "ChartGeometry.h"
#include "CompassRings.h"

#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

class MImagePlus;

// Draws the computed compass of the compass view into the chart picture through the drawing surface, which must
// already be bound to the picture (MImagePlus::BeginDraw). The picture becomes white with a one-pixel black
// frame, then the rim, the hub, the spokes, the rings from the outside in, and the red sitting–facing axis with
// the degree and the mountains in the bottom-left corner.
//
// With a floor plan the picture is still drawn on white: the caller shows the plan through the white
// (ChartPainter::WhiteToTransparent); the layout already leaves out the filled sectors then.
class CompassRenderer {
public:
    // tilt: orientation of the ring texts (0 upright, 1 turned along the ring, 2 turned the other way).
    CompassRenderer(MImagePlus& surface, const PanGeometry& geometry, int tilt);

    // Draws the whole view, with the ring font size chosen for the band width; the layout drawn is returned for
    // callers that probe it, each ring with the texts it shows at the sizes and places drawn.
    CompassLayout Draw(const CompassInput& input);

    // The ring font size S for the rings switched on, measured with the surface's font.
    int RingFontSize(const TCompassLayers& layers);

    // Screen point of a radius (fraction of the chart radius) at a bearing.
    QPointF At(double radius, double bearing) const;

private:
    void Clear();
    void Circle(double radius);
    void DrawRing(CompassRing& ring); // keeps in ring.labels the texts drawn
    // The texts of the ring that are drawn, each sized and placed.
    std::vector<CompassLabel> PlaceLabels(const std::vector<CompassLabel>& labels, const CompassRing& ring);
    void DrawSector(const CompassSector& sector);
    void DrawLabel(const CompassLabel& label);
    // Each label's largest legible size; a ring of upright turnable labels is turned where one would be left out.
    std::vector<float> FitLabels(std::vector<CompassLabel>& labels);
    // The largest legible size, at most the label's own, at which its text stays in its room (a movable label is
    // moved to where it does); 0 for none.
    float FittedSize(CompassLabel& label);
    bool MoveIntoRoom(CompassLabel& label, float size);
    // How far the label's text box reaches, across and along its ring, at the given size.
    BoxReach Reach(const CompassLabel& label, float size);
    bool Fits(const CompassLabel& label, float size);
    // Pixels the label's glyphs keep from the inner or the outer end of its room.
    double Margin(const CompassLabel& label, bool outer) const;
    // Counter-clockwise turn of a label's text in degrees; none for upright text.
    std::optional<double> TurnOf(const CompassLabel& label) const;
    void DrawAxis(const CompassLayout& layout);
    void SetFont(float size, bool bold, uint32_t colour);

    MImagePlus& s_;
    PanGeometry g_;
    int tilt_;
    double panAngle_ = 22.5;
    // The font last set, so that runs of labels of one kind do not rebuild it.
    float fontSize_ = -1.0f;
    bool bold_ = false;
    uint32_t colour_ = 0;
};
