#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QPaintDevice;

// One text as the surface drew it: enough to draw it again alone (tests measure where each text's ink lies).
struct DrawnText {
    QString text;
    float size = 12.0f;
    bool bold = false;
    QColor colour;
    bool rotated = false; // DrawTextRotated: (x, y) is the centre and angle the turn; else DrawText's (x, y)
    float x = 0.0f, y = 0.0f;
    float angle = 0.0f;
    bool noFormat = false;
};

// The drawing surface of the chart picture: one antialiased painter with a current pen, a fill brush with a fill
// switch, a current font with its own text colour, and one scratch rectangle (the last shape drawn or text box
// measured). Colours come in as Windows values (0x00BBGGRR) and are always drawn opaque.
//
// Each drawing pass starts with BeginDraw, which resets every tool to its default: black pen 1.0 wide, white
// fill brush, fill on, font "宋体" 12 points regular in black. Coordinates follow the original surface: a pixel's
// centre lies on whole coordinates, so a one-pixel line drawn at a whole coordinate covers exactly one pixel row.
//
// Font sizes are points at 96 dpi whatever the device's resolution. Text is laid out with a line one em high
// (the metrics of the face the charts were designed with), so layouts keep their spacing under any CJK face that
// stands in for "宋体".
class MImagePlus {
public:
    MImagePlus();
    ~MImagePlus();
    MImagePlus(const MImagePlus&) = delete;
    MImagePlus& operator=(const MImagePlus&) = delete;

    // The painter needs no global start-up; kept for the callers that consult it.
    bool IsStarted() const { return true; }

    // Ends any previous pass and starts drawing on the device (a QImage normally). False when the device cannot
    // be painted (a null image); every drawing call is then a no-op until the next successful BeginDraw.
    bool BeginDraw(QPaintDevice* device);
    // Ends the current pass so that the device can be read, saved or shown; harmless when none is active.
    void EndDraw() { ReleaseTools(); }
    bool IsDrawing() const { return painter_.isActive(); }

    void CreateTools();
    void ReleaseTools();

    void SetFill(bool fill) { fill_ = fill; }
    bool GetFill() const { return fill_; }
    void SetBrushColor(uint32_t winColor);
    void SetPenColor(uint32_t winColor);
    void SetPenWidth(float width);
    float GetPenWidth() const { return float(pen_.widthF()); }
    void SetFontColor(uint32_t winColor);
    void SetFontSize(float points);
    float GetFontSize() const { return fontSize_; }
    void SetFontBold(bool bold);
    bool GetFontBold() const { return bold_; }

    void DrawLine(float x1, float y1, float x2, float y2);
    // Rectangles and ellipses take the pixels of their edges, both inclusive: the one-pixel outline runs through
    // the pixel centres x1 and x2, y1 and y2, and the fill covers the (x2 − x1 + 1) × (y2 − y1 + 1) pixels of the
    // box, under the outline. A frame of a w × h picture is DrawRect(0, 0, w − 1, h − 1); a circle of radius ρ
    // about (cx, cy) is DrawEllipse(cx − ρ, cy − ρ, cx + ρ, cy + ρ).
    void DrawRect(float x1, float y1, float x2, float y2);
    void DrawRect(int left, int top, int right, int bottom)
    {
        DrawRect(float(left), float(top), float(right), float(bottom));
    }
    void DrawRect(const QRect& r) { DrawRect(r.left(), r.top(), r.right(), r.bottom()); }
    void DrawEllipse(float x1, float y1, float x2, float y2);
    void DrawPolygon(const QPointF* points, int count);
    // Outlines a path with the pen, then fills it when the fill switch is on (odd-even rule, as polygons).
    void DrawPath(const QPainterPath& path);

    // Text with its layout box's top-left corner at (x, y + 3). With noFormat the box carries the padding of
    // one sixth of an em on either side that the untypographic measure adds, and the glyphs start after it.
    void DrawText(float x, float y, const QString& text, bool noFormat = false);
    // Text turned counter-clockwise by angle degrees, its box centred on (cx, cy); drawn unsmoothed.
    void DrawTextRotated(float cx, float cy, const QString& text, float angle);
    // Text whose layout box is centred on (cx, cy).
    void DrawTextCentred(float cx, float cy, const QString& text);
    float TextWidth(const QString& text, bool noFormat = false);
    float TextHeight(const QString& text);
    // Where a text's glyphs lie, in the current font, relative to the centre of its box as DrawTextCentred and
    // DrawTextRotated (before turning) place it; x to the right, y down. Empty for a text without ink.
    QRectF InkRect(const QString& text);

    // Every text drawn from now on is also appended to log (none when null); the log is the caller's.
    void SetTextLog(std::vector<DrawnText>* log) { textLog_ = log; }

    // The last rectangle or ellipse drawn, or the last text box measured: x, y, width, height.
    QRectF Rect() const { return rect_; }

    // Direct access for the code that builds its own paths; valid between BeginDraw and EndDraw.
    QPainter& Graphics() { return painter_; }
    const QPen& Pen() const { return pen_; }
    const QBrush& Brush() const { return brush_; }

    // ARGB of a Windows colour, made opaque.
    static uint32_t ToArgb(uint32_t winColor)
    {
        return 0xFF000000u | ((winColor & 0xFFu) << 16) | (winColor & 0xFF00u) | ((winColor >> 16) & 0xFFu);
    }
    static QColor ToQColor(uint32_t winColor) { return QColor::fromRgba(ToArgb(winColor)); }

    // Registers the faces that stand in for "宋体" (idempotent). The constructor calls it.
    static void RegisterFontSubstitutes();

private:
    void RebuildFont();
    float PixelsPerEm() const { return fontSize_ * 96.0f / 72.0f; }
    float Padding(bool noFormat) const { return noFormat ? PixelsPerEm() / 6.0f : 0.0f; }

    QPainter painter_;
    QPen pen_;
    QBrush brush_;
    QColor textColor_;
    QFont font_;
    QString faceName_;
    float fontSize_ = 12.0f;
    bool bold_ = false;
    bool fill_ = true;
    QPaintDevice* device_ = nullptr;
    double deviceDpi_ = 96.0;
    QRectF rect_;
    std::optional<QFontMetricsF> metrics_;
    std::vector<DrawnText>* textLog_ = nullptr;
};
