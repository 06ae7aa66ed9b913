#include "CompassRenderer.h"

#include "MImagePlus.h"

#include <QPainterPath>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr int kMinAxisTextPoints = 8;
// Ring texts smaller than this are dots no one can read: the ring leaves them out instead.
constexpr float kLegiblePoints = 6.0f;
// Room kept between a ring text's box and its band's lines, pixels.
constexpr double kLabelMargin = 0.5;
// Room kept between the glyphs of a text that reaches up to tick ends and its band's inner line, pixels: a
// smoothed one-pixel line inks the pixel either side of its radius, and one blank pixel is left beyond that.
// Turned text is drawn unsmoothed, and its glyphs may reach this much further than their outlines.
constexpr double kClearMargin = 2.25;
constexpr double kTurnedSpill = 0.75;
constexpr double kNudge = 0.01;

}  // namespace

CompassRenderer::CompassRenderer(MImagePlus& surface, const PanGeometry& geometry, int tilt)
    : s_(surface), g_(geometry), tilt_(tilt)
{
}

QPointF CompassRenderer::At(double radius, double bearing) const
{
    const double theta = CompassScreenAngle(panAngle_, bearing) * kDegToRad;
    const double rho = radius * g_.fRadius;
    return QPointF(g_.fCenterX + rho * std::cos(theta), g_.fCenterY - rho * std::sin(theta));
}

int CompassRenderer::RingFontSize(const TCompassLayers& layers)
{
    const float band = g_.fRadius * CompassRingWidth(layers.RingCount());
    s_.SetFontBold(false);
    const int size = CompassFontSize(band, [this](int points) {
        s_.SetFontSize(float(points));
        return s_.TextWidth(QStringLiteral("国"));
    });
    fontSize_ = -1.0f; // the search left the surface's font changed
    return size;
}

CompassLayout CompassRenderer::Draw(const CompassInput& input)
{
    panAngle_ = input.panAngle;
    Clear();

    CompassLayout layout = BuildCompassLayout(input, RingFontSize(input.layers));

    s_.SetFill(false);
    s_.SetPenWidth(1.0f);
    s_.SetPenColor(kBlack);
    Circle(layout.rim);
    s_.SetPenColor(kRed);
    Circle(layout.hub);

    s_.SetPenColor(kBlack);
    s_.SetPenWidth(1.5f);
    for (const double bearing : layout.spokes) {
        const QPointF p0 = At(layout.spokeOuter, bearing);
        const QPointF p1 = At(layout.hub, bearing);
        s_.DrawLine(float(p0.x()), float(p0.y()), float(p1.x()), float(p1.y()));
    }
    s_.SetPenWidth(1.0f);

    for (CompassRing& ring : layout.rings)
        DrawRing(ring);

    DrawAxis(layout);
    s_.SetFill(true);
    s_.SetBrushColor(kWhite);
    s_.SetPenColor(kBlack);
    return layout;
}

void CompassRenderer::Clear()
{
    // White, with the frame on the picture's outermost pixels.
    s_.SetPenWidth(1.0f);
    s_.SetFill(true);
    s_.SetBrushColor(kWhite);
    s_.SetPenColor(kBlack);
    s_.DrawRect(0.0f, 0.0f, g_.fPanWidth - 1.0f, g_.fPanHeight - 1.0f);
    s_.SetFill(false);
}

void CompassRenderer::Circle(double radius)
{
    const double rho = radius * g_.fRadius;
    s_.DrawEllipse(float(g_.fCenterX - rho), float(g_.fCenterY - rho), float(g_.fCenterX + rho),
                   float(g_.fCenterY + rho));
}

void CompassRenderer::DrawRing(CompassRing& ring)
{
    s_.SetFill(false);
    s_.SetPenColor(kBlack);
    s_.SetPenWidth(1.0f);
    Circle(ring.inner);

    for (const CompassSector& sector : ring.fills)
        DrawSector(sector);

    const std::vector<CompassLabel> drawn = PlaceLabels(ring.labels, ring);
    s_.SetFill(false);
    s_.SetPenColor(kBlack);
    s_.SetPenWidth(1.0f);
    for (const double bearing : ring.divisions) {
        const QPointF p0 = At(ring.outer, bearing);
        const QPointF p1 = At(ring.inner, bearing);
        s_.DrawLine(float(p0.x()), float(p0.y()), float(p1.x()), float(p1.y()));
    }
    for (const CompassLine& tick : ring.ticks) {
        // A tick over a text that reaches up to it stops short of the text's glyphs.
        double rTo = tick.rTo * g_.fRadius;
        for (const CompassLabel& label : drawn)
            if (label.openOuter && AngleDistance(label.bearing, tick.bearing) < 1e-6)
                rTo = std::max(rTo, Reach(label, label.size).rMax + Margin(label, false));
        const double rFrom = tick.rFrom * g_.fRadius;
        if (rTo >= rFrom)
            continue;
        const QPointF p0 = At(tick.rFrom, tick.bearing);
        const QPointF p1 = At(rTo / g_.fRadius, tick.bearing);
        s_.DrawLine(float(p0.x()), float(p0.y()), float(p1.x()), float(p1.y()));
    }
    for (const CompassLabel& label : drawn)
        DrawLabel(label);
    ring.labels = drawn;
}

std::vector<CompassLabel> CompassRenderer::PlaceLabels(const std::vector<CompassLabel>& given, const CompassRing& ring)
{
    // Each text at the largest legible size that keeps it in its room; a stacked pair that cannot both be legible
    // gives way to its first text alone across the band, or to nothing.
    std::vector<CompassLabel> labels = given;
    std::vector<float> sizes = FitLabels(labels);
    bool pairsFit = true;
    for (size_t i = 0; i < labels.size(); ++i)
        if (labels[i].stacked != 0 && sizes[i] == 0.0f)
            pairsFit = false;
    std::vector<CompassLabel> placed;
    for (size_t i = 0; i < labels.size(); ++i) {
        CompassLabel label = labels[i];
        if (label.stacked != 0 && !pairsFit) {
            if (label.stacked != 1 || !label.keepAlone)
                continue;
            label.stacked = 0;
            label.roomInner = ring.inner;
            label.roomOuter = ring.outer;
            label.radius = (ring.inner + ring.outer) / 2.0f;
            sizes[i] = FittedSize(label);
        }
        if (sizes[i] == 0.0f)
            continue;
        label.size = sizes[i];
        placed.push_back(label);
    }
    return placed;
}

std::vector<float> CompassRenderer::FitLabels(std::vector<CompassLabel>& labels)
{
    const std::vector<CompassLabel> given = labels;
    std::vector<float> sizes(labels.size());
    bool turn = false;
    for (size_t i = 0; i < labels.size(); ++i) {
        sizes[i] = FittedSize(labels[i]);
        turn = turn || (tilt_ == 0 && labels[i].turnable && sizes[i] == 0.0f);
    }
    if (!turn)
        return sizes;
    // All of them alike, not a ring of some upright and some turned.
    labels = given;
    for (size_t i = 0; i < labels.size(); ++i) {
        labels[i].turned = labels[i].turnable;
        sizes[i] = FittedSize(labels[i]);
    }
    return sizes;
}

float CompassRenderer::FittedSize(CompassLabel& label)
{
    for (float size = std::max(label.size, kLegiblePoints); size >= kLegiblePoints; size -= 1.0f)
        if (Fits(label, size) || (label.movable && MoveIntoRoom(label, size)))
            return size;
    return 0.0f;
}

// Moves the text across its band by what it overreaches its room, when the room is deep enough for it.
bool CompassRenderer::MoveIntoRoom(CompassLabel& label, float size)
{
    const double r = g_.fRadius;
    const double inner = label.roomInner * r + Margin(label, false);
    const double outer = label.roomOuter * r - Margin(label, true);
    CompassLabel moved = label;
    // The reach shifts with the radius almost one to one; a second step takes up what the turn of the box adds.
    for (int step = 0; step < 2; ++step) {
        const BoxReach reach = Reach(moved, size);
        if (reach.rMax - reach.rMin > outer - inner)
            return false;
        // A hair more than the overreach, so that rounding leaves it inside.
        const double shift = reach.rMax > outer   ? outer - reach.rMax - kNudge
                             : reach.rMin < inner ? inner - reach.rMin + kNudge
                                                  : 0.0;
        moved.radius = float(moved.radius + shift / r);
        if (Fits(moved, size)) {
            label.radius = moved.radius;
            return true;
        }
    }
    return false;
}

BoxReach CompassRenderer::Reach(const CompassLabel& label, float size)
{
    SetFont(size, label.bold, label.colour);
    const double theta = CompassScreenAngle(panAngle_, label.bearing);
    // Turned text lies along the ring; upright text keeps its box square to the screen. A text that reaches up to
    // tick ends (the degree numbers) is measured by what its glyphs cover, not by its box: digits fill little of
    // it, and a narrow band has room for their ink and a clear gap.
    const double turn = TurnOf(label).value_or(0.0);
    const double rho = label.radius * g_.fRadius;
    if (!label.openOuter)
        return TextBoxReach(rho, theta, s_.TextWidth(label.text), s_.TextHeight(label.text), turn, theta);
    const QRectF ink = s_.InkRect(label.text);
    return RectReach(rho, theta, ink.left(), ink.top(), ink.right(), ink.bottom(), turn, theta);
}

bool CompassRenderer::Fits(const CompassLabel& label, float size)
{
    const BoxReach reach = Reach(label, size);
    return reach.rMin >= label.roomInner * g_.fRadius + Margin(label, false) &&
           reach.rMax <= label.roomOuter * g_.fRadius - Margin(label, true) && reach.aMin >= -label.span / 2.0 &&
           reach.aMax <= label.span / 2.0;
}

double CompassRenderer::Margin(const CompassLabel& label, bool outer) const
{
    if (!label.openOuter)
        return kLabelMargin;
    // The outer end of such a room is not a line: the short ticks end there, and the long tick over the text
    // stops short of it.
    if (outer)
        return 0.0;
    return kClearMargin + (TurnOf(label) ? kTurnedSpill : 0.0);
}

std::optional<double> CompassRenderer::TurnOf(const CompassLabel& label) const
{
    const double theta = CompassScreenAngle(panAngle_, label.bearing);
    if (label.turned) // never upside down: the top of the text outward on the upper half, inward on the lower
        return theta >= 180.0 ? theta + 90.0 : theta + 270.0;
    if (tilt_ == 1)
        return theta + 90.0;
    if (tilt_ == 2)
        return theta + 270.0;
    return std::nullopt;
}

void CompassRenderer::DrawSector(const CompassSector& sector)
{
    const double inner = sector.inner * g_.fRadius;
    const double outer = sector.outer * g_.fRadius;
    const double theta = CompassScreenAngle(panAngle_, sector.bearing);
    // From the inner edge out, clockwise along the outer arc, back in, and counter-clockwise along the inner arc.
    QPainterPath path;
    path.moveTo(At(sector.inner, sector.bearing));
    path.lineTo(At(sector.outer, sector.bearing));
    path.arcTo(QRectF(g_.fCenterX - outer, g_.fCenterY - outer, 2 * outer, 2 * outer), theta, -sector.sweep);
    path.lineTo(At(sector.inner, sector.bearing + sector.sweep));
    path.arcTo(QRectF(g_.fCenterX - inner, g_.fCenterY - inner, 2 * inner, 2 * inner), theta - sector.sweep,
               sector.sweep);
    path.closeSubpath();
    s_.SetFill(true);
    s_.SetBrushColor(sector.fill);
    s_.SetPenColor(kBlack);
    s_.DrawPath(path);
    s_.SetFill(false);
}

void CompassRenderer::SetFont(float size, bool bold, uint32_t colour)
{
    if (size != fontSize_ || bold != bold_) {
        s_.SetFontSize(size);
        s_.SetFontBold(bold);
        fontSize_ = size;
        bold_ = bold;
    }
    if (colour != colour_) {
        s_.SetFontColor(colour);
        colour_ = colour;
    }
}

void CompassRenderer::DrawLabel(const CompassLabel& label)
{
    SetFont(label.size, label.bold, label.colour);
    const QPointF p = At(label.radius, label.bearing);
    if (const std::optional<double> turn = TurnOf(label))
        s_.DrawTextRotated(float(p.x()), float(p.y()), label.text, float(*turn));
    else
        s_.DrawTextCentred(float(p.x()), float(p.y()), label.text);
}

void CompassRenderer::DrawAxis(const CompassLayout& layout)
{
    const double r = layout.rim;
    const double sit = layout.sitting;
    const double face = layout.facing;
    s_.SetFill(false);
    s_.SetPenWidth(1.0f);
    s_.SetPenColor(kRed);
    auto line = [this](QPointF a, QPointF b) {
        s_.DrawLine(float(a.x()), float(a.y()), float(b.x()), float(b.y()));
    };
    // A bearing grows clockwise: the screen angle φ − 3 is the bearing + 3.
    line(At(r, sit + 3.0), At(r, sit - 3.0));              // cross-stroke at the sitting end
    line(At(r, face), At(0.96, face - 3.0));                // arrowhead at the facing end
    line(At(r, face), At(0.96, face + 3.0));
    line(At(r, face), At(r, sit));                          // the axis


    // The degree and the mountains, two lines in the bottom-left corner.
    // Never smaller than a readable 8 points, however narrow many rings make the bands.
    SetFont(float(std::max(layout.fontSize - 5, kMinAxisTextPoints)), false, kBlack);
    const float t = s_.TextHeight(QStringLiteral("国"));
    // The second line's box ends 3 pixels above the bottom edge, as the left margin.
    const float y = g_.fPanHeight - 2.0f * (t + 3.0f) - 3.0f;
    s_.DrawText(3.0f, y, layout.degreeText);
    s_.DrawText(3.0f, y + t + 3.0f, layout.mountainText);
}
