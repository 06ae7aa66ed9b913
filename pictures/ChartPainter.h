#pragma once

#include "ChartDrawData.h"
#include "ChartGeometry.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class MImagePlus;

// Radius of the numbers of the full degree scale of the round chart, fraction of the chart radius.
inline constexpr double kZhouTianNumbers = 0.935;

// What the last square chart laid out; the chart object keeps it (rcGrid, fRingInner, iBaseShan).
struct SquareLayout {
    QRect rcGrid;              // outer rectangle of the 3 × 3 grid (left, top, right, bottom)
    float fRingInner = 0.8f;   // inner radius of the mountain ring, fraction of the radius (outer 0.9)
    int iBaseShan = 1;         // middle mountain of the trigram group drawn at the bottom
    int cw = 0, ch = 0;        // cell width and height
};

// Draws every chart view of the chart picture through the drawing surface: the round flying-star and Eight
// Mansions charts, the square chart, and the annual, monthly and inner-qi overlays with their captions. The
// surface must already be bound to the picture (MImagePlus::BeginDraw). The compass view (display mode 100) is
// drawn elsewhere; here it only clears the picture.
class ChartPainter {
public:
    ChartPainter(MImagePlus& surface, const ChartDrawData& data, const PanGeometry& geometry);

    // The current view by display mode and pan shape: the chart, sized down where the captions and legends in
    // the picture's corners would reach it (Radius), then those captions and legends.
    void Draw();
    // The radius the chart was drawn with: the geometry's, or less where the corners needed the room.
    float Radius() const { return g_.fRadius; }
    // The boxes of the captions, degree lines and legends of the last Draw, for callers that probe them.
    const std::vector<QRectF>& CornerBoxes() const { return cornerBoxes_; }

    // The chart itself of each view, without the corner texts. Round chart views:
    void DrawXuanKongPan();
    void DrawBaZhaiPan();
    void DrawLiuNianPan();
    void DrawNeiQiPan();
    void DrawLiuNianPan8();

    // Square chart: frame, then the palaces and overlays of the display mode.
    void DrawSquarePan();
    const SquareLayout& Square() const { return square_; }

    // White picture, with a one-pixel black frame when asked.
    void ClearPicture(bool frame);

    // Middle mountain (1, 4, … 22) of the trigram group drawn at the bottom of the square chart.
    static int BaseShan(float panAngle);
    // Points of one end of the square chart's axis: border point, ring point, and for the facing end the two
    // corners of the arrowhead. Returns the number of points filled (2 or 4). Needs the square layout.
    int SquareAxisPoints(int mountain, bool facing, QPoint pts[4]) const;

    // A copy of a chart picture with its pure white made transparent, for showing a floor plan under it.
    static QImage WhiteToTransparent(const QImage& picture);

    // Screen point at radius rho and angle theta (degrees counter-clockwise) about the centre.
    QPointF At(double rho, double theta) const;

private:
    // round chart
    void DrawRoundBase();
    void DrawMountainRing();
    // One 15° cell of a mountain ring between the radii inner and outer, from theta clockwise on the screen,
    // filled black or white (outlined only over a floor plan).
    void DrawMountainCell(double inner, double outer, double theta, bool dark);
    void DrawRoundMarks();
    // The door or a city-gate mark at screen angle theta, clear of the mountain ring and the trigram names.
    void DrawRoundMark(const QString& mark, double theta);
    void DrawZhouTian();
    void DrawRoundStars();
    void DrawXuanKongCaption();
    void DrawBaZhaiStarsRound();
    void DrawBaZhaiCaption();
    void DrawDegreeLines();
    void DrawStarLegend();
    void DrawBaZhaiLegend();
    void DrawRoundOverlay(bool year, bool month, bool neiQi, bool baZhai);
    void DrawAnnualCaption(bool baZhai);
    void DrawNeiQiCaption();

    // square chart
    void DrawSquareFrame();
    void DrawSquareXuanKong();
    void DrawSquareBaZhai();
    void DrawSquareOverlay(bool year, bool month, bool neiQi);
    void DrawSquareCornerNames(int d, int x0, int y0, float size);
    int FitOverlayFont();
    QPoint CellOrigin(int cell) const;
    int CellDirection(int cell) const;

    // corner texts: the captions, degree lines and legends of the view, drawn, or with boxes_ set only measured
    void DrawCornerTexts();
    void CornerText(float x, float y, const QString& text, bool noFormat = false);
    // Lowers the radius until the chart, out to its outermost ring or numbers, keeps clear of every corner text.
    void FitChart();

    // shared helpers
    void TextCentred(const QString& text, QPointF p);
    void RingText(const QString& text, QPointF p, double theta);
    // Counter-clockwise turn of a ring text at screen angle theta, as RingText draws it; none for upright text.
    std::optional<double> RingTurn(double theta) const;
    void SetFont(float size, bool bold, uint32_t colour);
    // Where the texts of a palace about its point p go, in picture coordinates: the middles of their boxes (as
    // DrawTextCentred takes them) for the pair of mountain and facing stars, the period numeral and, in the
    // centre, the inner-qi star under it; the annual and monthly stars of the centre beside the numeral row.
    struct PalaceRows {
        float gap = 3.0f;                 // clear pixels between the rows' ink
        float pairMiddle = 0, numeralMiddle = 0, neiQiMiddle = 0;
        float numeralLeft = 0, numeralRight = 0;       // the numeral row's ink
        float annualMiddle = 0;                         // box middle of an annual or monthly star beside it
        float annualInkLeft = 0, annualInkRight = 0;    // such a star's ink about its box middle
    };
    PalaceRows PalaceRowsAt(QPointF p, bool centre);
    bool CentreShowsNeiQi() const;
    void DrawStarsGroup(const StarTriple& stars, QPointF p, bool centre);
    uint32_t StarColour(int star) const;
    double PalaceAngle(int k) const;   // angle of the k-th outer position (0 = first palace of the order)
    int PalaceAt(int k) const;         // palace shown at the k-th outer position
    bool FlyingStarMode() const;

    MImagePlus& s_;
    const ChartDrawData& d_;
    PanGeometry g_;
    SquareLayout square_;
    std::vector<QRectF>* boxes_ = nullptr;
    std::vector<QRectF> cornerBoxes_;
    // The ink of the palace rows' texts (pair digit, numeral, annual star, inner-qi star), measured once.
    struct RowInks {
        QRectF pair, numeral, annual, neiQi;
    };
    std::optional<RowInks> rowInks_;
};
