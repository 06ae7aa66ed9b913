#pragma once

#include "TCompassLayers.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// The computed compass (罗盘) of the compass view as plain data: which rings are drawn and where, every division
// line, tick, filled sector and label, and the sitting–facing axis with its two lines of text. Nothing here
// draws; CompassRenderer turns the layout into pixels.
//
// Positions are compass bearings (degrees clockwise from north, like the sitting degree, in [0, 360)) and radii
// are fractions of the chart radius. CompassScreenAngle turns a bearing into the screen angle of the drawing.
// Colours are Windows values (0x00BBGGRR).

// What the compass depends on besides the pixels.
struct CompassInput {
    TCompassLayers layers;
    float panAngle = 22.5f; // rotation of the drawing; 22.5 puts south at the top
    int ringOffset = 0;     // shifts the names of the rings that follow the chart's ring offset (0 after a lay-out)
    bool hasPlan = false;   // a floor plan shows through the white: no filled sectors, flagged names red instead
    double degree = 0.0;    // sitting degree
    int zuoShan = 1;        // sitting mountain 0..23
    int jianShan = -1;      // mountain of the 兼, −1 for none
};

// A radial line from radius rFrom to radius rTo at one bearing.
struct CompassLine {
    double bearing = 0.0;
    float rFrom = 0.0f;
    float rTo = 0.0f;
};

// A filled sector of a ring, from bearing clockwise over sweep degrees, outlined in black.
struct CompassSector {
    double bearing = 0.0;
    double sweep = 0.0;
    float inner = 0.0f;
    float outer = 0.0f;
    uint32_t fill = 0;
};

// A text centred on the point at radius and bearing (turned for the bearing when ring texts are tilted). It must
// stay inside its room: radially between roomInner and roomOuter, and within span degrees centred on its bearing.
// The drawing makes it smaller where it does not fit, down to a legible size, and leaves it out below that.
//
// Two texts stacked across the band at one bearing (a stem over its branch, the two characters of a name) are
// marked stacked 1 and 2. Where either cannot be legible, the ring draws neither; a first one marked keepAlone
// (the stem) is then drawn alone across the whole band.
//
// A text marked movable may leave its radius for another in its room where it fits there and not at its own. A
// ring whose texts are upright and marked turnable turns them all along the ring, none upside down, where one of
// them cannot be legible upright (the degree numbers of a narrow band); the drawing marks them turned.
//
// A room marked openOuter ends at the ends of the short ticks of its ring: the text's glyphs may come up to them,
// a tick at the text's own bearing stops short of them, and they keep a clear gap from the band's inner line.
struct CompassLabel {
    QString text;
    float radius = 0.0f;
    double bearing = 0.0;
    float size = 12.0f; // points, before fitting
    bool bold = true;
    uint32_t colour = 0x000000;
    float roomInner = 0.0f;
    float roomOuter = 1.0f;
    double span = 360.0;
    uint8_t stacked = 0;
    bool keepAlone = false;
    bool movable = false;
    bool turnable = false;
    bool turned = false;
    bool openOuter = false;
};

struct CompassRing {
    int kind = 0;             // TCompassLayers::Ring
    float inner = 0.0f;       // band, fractions of the radius
    float outer = 0.0f;
    std::vector<double> divisions;     // division lines across the whole band
    std::vector<CompassLine> ticks;    // shorter radial lines (the degree scale)
    std::vector<CompassSector> fills;  // drawn before the division lines and the labels
    std::vector<CompassLabel> labels;
};

struct CompassLayout {
    int fontSize = 14;                // S, the ring font size the sizes below derive from
    float ringWidth = 0.15f;          // width of every band
    float rim = 0.99f;                // outer circle
    float hub = 0.02f;                // red centre circle
    float spokeOuter = 0.99f;         // the eight spokes run from here in to the hub
    std::array<double, 8> spokes{};   // their bearings (the boundaries of the eight trigrams)
    std::vector<CompassRing> rings;   // outside in
    double sitting = 0.0;             // bearing of the sitting end of the axis
    double facing = 180.0;            // bearing of the facing end
    QString degreeText;               // "120度30分"
    QString mountainText;             // "辰山戌向", with "兼…" when the degree leans
};

// Radius of the rim and the smallest radius a ring may reach: the innermost ring always ends outside the red
// centre circle, however many rings are on.
inline constexpr float kCompassRim = 0.99f;
inline constexpr float kCompassCore = 0.09f;

// Width of each band for n rings: 0.15 up to six rings; from seven on the rings share the room between the rim
// and the core equally (the two rules meet at six rings).
float CompassRingWidth(int count);

// The ring font size S for a band of the given width in pixels: the size search starts at 14 points and steps
// until the width of "国" (measured by widthOfGuo for a size in points) brackets half the band; the result lies
// in 8..30.
int CompassFontSize(float bandPixels, const std::function<float(int)>& widthOfGuo);

// Screen angle (degrees counter-clockwise from +x) of a bearing for a drawing turned by panAngle, in [0, 360).
double CompassScreenAngle(double panAngle, double bearing);

// The whole layout for the input, its ring texts sized from the ring font size S (CompassFontSize).
CompassLayout BuildCompassLayout(const CompassInput& input, int fontSize = 14);

// "120度30分" for a degree: minutes rounded once and carried into the degrees (359.9999 gives "0度0分").
QString CompassDegreeText(double degree);

// The 八路黄泉 entry of a mountain (empty for the twelve branches).
QString HuangQuanName(int mountain);
