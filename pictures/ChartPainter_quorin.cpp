// The bridge between the chart object and its picture's drawing.
#include "ChartPainterQuorin.h"

#include "ChartPainter.h"
#include "FlyStarCalc.h"
#include "MImagePlus.h"
#include "MQuorin.h"

#include <QImage>

ChartDrawData ChartDrawDataOf(MQuorin& q)
{
    ChartDrawData d;
    d.chartPanel = q.Rec.chartPanel;
    d.xiaGua = q.Rec.xiaGua != 0;
    d.colour = q.Rec.colour;
    d.starNames = q.Rec.starNames != 0;
    d.hasPlan = q.Rec.hasPlan != 0;
    d.degree = q.Rec.degree;
    d.door = q.Rec.door % 24;

    d.iPanShape = q.iPanShape;
    d.PanAngle = q.PanAngle;
    d.RingOffset = q.RingOffset;
    d.ZuoShan = q.ZuoShan;
    d.JianShan = q.JianShan;
    d.GuaIndex = q.GuaIndex;
    d.FenJinGanZhi = q.FenJinGanZhi;
    d.Yun = q.Yun;
    d.MingGanZhi = q.MingGanZhi;
    d.XiaGua = q.XiaGua;
    d.TiGua = q.TiGua;
    d.ChengMen = q.ChengMen;
    d.BaZhai = q.BaZhai;
    d.BaZhaiFuWei = q.BaZhaiFuWei;
    d.XingColor = q.XingColor;

    d.GuaCount = q.GuaCount;
    d.GuaKind = q.GuaKind;
    d.GuaColor = q.GuaColor;
    d.GuaAngle = q.GuaAngle;
    d.GuaRadius = q.GuaRadius;
    d.GuaCell = q.GuaCell;

    d.iCoord = q.iCoord;
    d.bZhouTian = q.bZhouTian != 0;
    d.bWuHint = q.bWuHint != 0;
    d.iTilt = q.iTilt;
    d.bChengMen = q.bChengMen != 0;

    d.iLiuNianYear = q.iLiuNianYear;
    d.iLiuNianMonth = q.iLiuNianMonth;
    d.bShowNeiQi = q.bShowNeiQi != 0;
    d.bShowMonth = q.bShowMonth != 0;
    // From the settings the redraw or lay-out has just read: one reading of set.ini per drawing.
    const OverlayStars s = CalcOverlayStars(q.iLiuNianYear, q.iLiuNianMonth, q.liunian == 1, q.Rec.door % 24, q.XiaGua);
    d.YearStars = s.year;
    d.MonthStars = s.month;
    d.NeiQiStars = s.neiQi;
    return d;
}

PanGeometry PanGeometryOf(const MQuorin& q)
{
    PanGeometry g;
    g.fPanWidth = q.fPanWidth;
    g.fPanHeight = q.fPanHeight;
    g.fCenterX = q.fCenterX;
    g.fCenterY = q.fCenterY;
    g.fRadius = q.fRadius;
    g.iTextSize = q.iTextSize;
    return g;
}

PanGeometry PictureGeometryOf(const MQuorin& q)
{
    PanGeometry g = PanGeometryOf(q);
    g.fRadius = PanGeometryFor(int(q.fPanWidth), int(q.fPanHeight)).fRadius;
    return g;
}

bool DrawQuorinPan(MQuorin& q)
{
    if (!q.pImg || q.pImg->isNull())
        return false;
    if (q.Rec.chartPanel == PanelCompass)
        return q.DrawCompass();
    if (!q.pImagePlus)
        q.pImagePlus = std::make_shared<MImagePlus>();
    MImagePlus& surface = *q.pImagePlus;
    if (!surface.BeginDraw(q.pImg))
        return false;
    const ChartDrawData data = ChartDrawDataOf(q);
    ChartPainter painter(surface, data, PictureGeometryOf(q));
    painter.Draw();
    q.fRadius = painter.Radius();
    if (data.iPanShape == 1) {
        q.rcGrid = painter.Square().rcGrid;
        q.fRingInner = painter.Square().fRingInner;
        q.iBaseShan = painter.Square().iBaseShan;
    }
    surface.EndDraw();
    q.iDrawnKey = q.pImg->cacheKey();
    return true;
}

void SetQuorinPanSize(MQuorin& q, int w, int h, bool redraw)
{
    const PanGeometry g = PanGeometryFor(w, h);
    q.fPanWidth = g.fPanWidth;
    q.fPanHeight = g.fPanHeight;
    q.fCenterX = g.fCenterX;
    q.fCenterY = g.fCenterY;
    q.fRadius = g.fRadius;
    q.iTextSize = g.iTextSize;
    if (!q.pImg)
        return;
    *q.pImg = QImage(int(g.fPanWidth), int(g.fPanHeight), QImage::Format_ARGB32_Premultiplied);
    q.pImg->fill(Qt::white);
    if (redraw) {
        DrawQuorinPan(q);
        return;
    }
    MImagePlus surface;
    if (surface.BeginDraw(q.pImg)) {
        ChartDrawData blank;
        ChartPainter(surface, blank, g).ClearPicture(true);
        surface.EndDraw();
    }
}

int HitTestQuorinPan(const MQuorin& q, int x, int y)
{
    return HitTestPan(PanGeometryOf(q), x, y, q.PanAngle, q.Rec.degree, q.iPanShape == 0, q.Rec.chartPanel);
}

void RotateQuorinPan(MQuorin& q, int x0, int y0, int x1, int y1)
{
    q.PanAngle = float(RotatePanAngle(PanGeometryOf(q), q.PanAngle, x0, y0, x1, y1));
    DrawQuorinPan(q);
}

bool TurnQuorinZuoXiang(MQuorin& q, int x0, int y0, int x1, int y1)
{
    const float before = q.Rec.degree;
    q.Rec.degree = float(TurnZuoXiangDegree(PanGeometryOf(q), q.Rec.degree, x0, y0, x1, y1));
    if (!q.ReCalcForDegree()) {
        q.Rec.degree = before;
        q.ReCalcForDegree();
        return false;
    }
    DrawQuorinPan(q);
    return true;
}
