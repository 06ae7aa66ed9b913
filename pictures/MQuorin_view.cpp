#include "MQuorin.h"

#include "ChartGeometry.h"
#include "ChartPainterQuorin.h"
#include "TurnAxis.h"

#include <QImage>

#include <tuple>

// The view commands store what they show in the case copy and the annual fields, so that a later redraw (a new
// picture size, a settings change, a colour mode) shows the same view again.

void MQuorin::SetPanSize(int w, int h, bool redraw)
{
    if (redraw)
        LoadSettings();
    SetQuorinPanSize(*this, w, h, redraw);
}

bool MQuorin::Redraw()
{
    LoadSettings();
    return DrawQuorinPan(*this);
}

QImage MQuorin::ScreenPicture(qreal ratio)
{
    if (!pImg || pImg->isNull() || pImg->cacheKey() != iDrawnKey || !(ratio > 0))
        return {};
    QImage screen(pImg->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    if (screen.isNull())
        return {};
    screen.setDevicePixelRatio(ratio);
    screen.fill(Qt::white);
    // The same drawing on the other picture; what a drawing keeps (the radius drawn, the square's layout, the
    // drawn picture's key) stays the chart picture's.
    QImage *const picture = pImg;
    const auto kept = std::tuple(fRadius, rcGrid, fRingInner, iBaseShan, iDrawnKey);
    pImg = &screen;
    DrawQuorinPan(*this);
    pImg = picture;
    std::tie(fRadius, rcGrid, fRingInner, iBaseShan, iDrawnKey) = kept;
    return screen;
}

void MQuorin::SetDisplayMode(int mode)
{
    Rec.chartPanel = mode;
    Redraw();
}

void MQuorin::SetPanShape(int shape, bool redraw)
{
    iPanShape = shape == 0 ? 0 : 1;
    if (redraw)
        Redraw();
}

bool MQuorin::ShowLiuNianPan(int year, int month, uint8_t showNeiQi, uint8_t showMonth)
{
    if (!LaidOut())
        return false;
    iLiuNianYear = year;
    iLiuNianMonth = month;
    bShowNeiQi = showNeiQi;
    bShowMonth = showMonth;
    Rec.chartPanel = 2;
    return Redraw();
}

bool MQuorin::ShowNeiQiPan()
{
    if (!LaidOut())
        return false;
    Rec.chartPanel = 3;
    return Redraw();
}

bool MQuorin::ShowLiuNianPan8(int year, int month, uint8_t showMonth)
{
    if (!LaidOut())
        return false;
    iLiuNianYear = year;
    iLiuNianMonth = month;
    bShowMonth = showMonth;
    Rec.chartPanel = 4;
    return Redraw();
}

int MQuorin::HitTestPan(int x, int y) const
{
    return HitTestQuorinPan(*this, x, y);
}

Qt::CursorShape MQuorin::SetPanCursor(int x, int y) const
{
    return PanCursorShape(PanGeometryOf(*this), x, y);
}

void MQuorin::RotatePan(int x0, int y0, int x1, int y1)
{
    RotateQuorinPan(*this, x0, y0, x1, y1);
}

bool MQuorin::TurnZuoXiang(int x0, int y0, int x1, int y1)
{
    return TurnQuorinZuoXiang(*this, x0, y0, x1, y1);
}

void MQuorin::PaintTurnAxis(QPainter &painter) const
{
    if (iPanShape != 0 || Rec.chartPanel == kCompassMode || !LaidOut())
        return;
    const double points = iTextSize;
    ::PaintTurnAxis(painter, TurnAxisFor(PanGeometryOf(*this), PanAngle, Rec.degree, points), points);
}

void MQuorin::SetColorMode(int16_t mode)
{
    Rec.colour = mode;
    CalcColors();
    if (pImg && LaidOut())
        Redraw();
}

// The drawing of the current view after a lay-out or a view command. The square chart is drawn whatever the
// display mode; on the round chart the lay-out draws only the flying-star and Eight Mansions views, the annual
// and inner-qi views waiting for their own commands. False when nothing was drawn.
bool MQuorin::DrawChart()
{
    if (iPanShape != 1 && Rec.chartPanel != 0 && Rec.chartPanel != 1)
        return false;
    return DrawQuorinPan(*this);
}
