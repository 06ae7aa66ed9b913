// The square chart: a 3 × 3 grid of palaces inscribed in a ring of the 24 mountains, turned only in steps of one
// trigram, with the red sitting–facing axis from the ring to the grid's border.
#include "ChartPainter.h"

#include "ChartPainterText.h"
#include "ChartRules.h"
#include "MImagePlus.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Direction of each grid cell (row by row from the top-left), relative to the group drawn at the bottom.
constexpr int kSquareCellDir[9] = {0, 1, 2, -1, 8, 3, -2, -3, 4};
// Grid cell of the trigram group that lies g groups clockwise from the bottom group.
constexpr int kSquareBorderCell[8] = {7, 6, 3, 0, 1, 2, 5, 8};

int ShownStar(int star) { return star % 9 == 0 ? 9 : star % 9; }

}  // namespace

int ChartPainter::BaseShan(float panAngle)
{
    const double t = NormalizeAngle(double(panAngle) - 270.0);
    return 3 * (FloorMod(int(t / 15.0) + 18, 24) / 3) + 1;
}

QPoint ChartPainter::CellOrigin(int cell) const
{
    return QPoint(square_.rcGrid.left() + (cell % 3) * square_.cw, square_.rcGrid.top() + (cell / 3) * square_.ch);
}

int ChartPainter::CellDirection(int cell) const
{
    if (cell == 4)
        return 8;
    const int k0 = (square_.iBaseShan / 3 + 3) % 8;
    return FloorMod(kSquareCellDir[cell] + k0 + 8, 8);
}

void ChartPainter::DrawSquarePan()
{
    DrawSquareFrame();
    switch (d_.chartPanel) {
    case PanelXuanKong: DrawSquareXuanKong(); break;
    case PanelBaZhai: DrawSquareBaZhai(); break;
    case PanelLiuNian:
        DrawSquareXuanKong();
        DrawSquareOverlay(true, d_.bShowMonth, d_.bShowNeiQi);
        break;
    case PanelNeiQi:
        DrawSquareXuanKong();
        DrawSquareOverlay(false, false, true);
        break;
    case PanelLiuNian8:
        DrawSquareBaZhai();
        DrawSquareOverlay(true, d_.bShowMonth, false);
        break;
    default: break;  // the frame only
    }
}

void ChartPainter::DrawSquareFrame()
{
    ClearPicture(true);
    const double r = g_.fRadius;
    square_.fRingInner = 0.9f - 0.1f;
    const double inner = square_.fRingInner * r;
    const double outer = 0.9 * r;

    s_.SetFill(false);
    s_.SetPenColor(0x000000);
    for (const double rho : {outer, inner})
        s_.DrawEllipse(float(g_.fCenterX - rho), float(g_.fCenterY - rho), float(g_.fCenterX + rho),
                       float(g_.fCenterY + rho));

    square_.iBaseShan = BaseShan(d_.PanAngle);
    const double penWidth = s_.GetPenWidth();
    double theta = 277.5;
    int m = square_.iBaseShan;
    for (int j = 0; j < 24; ++j) {
        const bool flag = MountainIsYang(m);
        DrawMountainCell(inner, outer, theta, flag);

        if (j % 3 == 2) {
            // The line between two trigram groups.
            s_.SetPenColor(0xFF0000);
            s_.SetPenWidth(float(2.0 * penWidth));
            const QPointF a = At(inner, theta);
            const QPointF b = At(outer, theta);
            s_.DrawLine(float(a.x()), float(a.y()), float(b.x()), float(b.y()));
            s_.SetPenWidth(float(penWidth));
        }

        uint32_t colour;
        if (d_.colour == ColourWuXing) {
            const int element = ShanWuXing[size_t(m)];
            colour = element == 0 ? 0xB0B0B0 : WuXingColor[size_t(element)];
        } else if (flag) {
            colour = d_.hasPlan ? 0x0000FF : 0xFFFFFF;
        } else {
            colour = 0x000000;
        }
        // Upright names are bold, names turned along the ring regular.
        SetFont(float(g_.iTextSize), d_.iTilt == 0, colour);
        RingText(Qs(Shan(m)), At(0.85 * r, theta - 7.5), theta - 7.5);

        if (m == FloorMod(d_.door, 24)) {
            const float half = std::trunc(float(0.1 * r * 0.15));
            const QPointF c = At(0.85 * r, theta - 3.0);
            s_.SetFill(false);
            s_.SetPenColor(0x0000FF);
            s_.DrawRect(float(c.x()) - half, float(c.y()) - half, float(c.x()) + half, float(c.y()) + half);
        }
        if (FlyingStarMode() && d_.bChengMen) {
            for (int gate = 0; gate < 2; ++gate) {
                if (m != FloorMod(d_.ChengMen[size_t(gate)][0], 24))
                    continue;
                const float rad = std::trunc(float(0.1 * r * 0.18));
                const QPointF c = At(0.85 * r, theta - 12.0);
                s_.SetFill(false);
                s_.SetPenColor(flag && !d_.hasPlan ? 0xFFFFFF : 0x000000);
                const float cx = float(c.x()), cy = float(c.y());
                s_.DrawEllipse(cx - rad, cy - rad, cx + rad, cy + rad);
                s_.DrawLine(cx - rad, cy, cx + rad, cy);
                if (gate == 0)
                    s_.DrawLine(cx, cy - rad, cx, cy + rad);
            }
        }
        theta -= 15.0;
        m = (m + 1) % 24;
    }

    // The grid, inscribed in the inner circle of the ring.
    const double q = inner;
    square_.cw = int(2.0 / 3.0 * q * std::cos(45.0 * kDegToRad));
    square_.ch = int(2.0 / 3.0 * q * std::sin(45.0 * kDegToRad));
    const int left = int(g_.fCenterX - 1.5 * square_.cw);
    const int top = int(g_.fCenterY - 1.5 * square_.ch);
    square_.rcGrid = QRect(QPoint(left, top), QPoint(left + 3 * square_.cw, top + 3 * square_.ch));
    s_.SetFill(false);
    s_.SetPenColor(0x000000);
    s_.SetPenWidth(1.0f);
    const int right = left + 3 * square_.cw, bottom = top + 3 * square_.ch;
    s_.DrawRect(left, top, right, bottom);
    for (int i = 1; i <= 2; ++i) {
        s_.DrawLine(float(left + i * square_.cw), float(top), float(left + i * square_.cw), float(bottom));
        s_.DrawLine(float(left), float(top + i * square_.ch), float(right), float(top + i * square_.ch));
    }

    // The axis: the sitting end with a bar on the ring, the facing end with an arrowhead.
    QPoint pts[4];
    s_.SetPenColor(0x0000FF);
    SquareAxisPoints(d_.ZuoShan, false, pts);
    s_.DrawLine(float(pts[0].x()), float(pts[0].y()), float(pts[1].x()), float(pts[1].y()));
    s_.SetBrushColor(0x0000FF);
    s_.SetFill(true);
    s_.DrawRect(pts[1].x() - 5, pts[1].y() - 2, pts[1].x() + 5, pts[1].y() + 2);
    SquareAxisPoints(d_.ZuoShan + 12, true, pts);
    s_.DrawLine(float(pts[0].x()), float(pts[0].y()), float(pts[1].x()), float(pts[1].y()));
    QPainterPath head;
    head.moveTo(pts[1]);
    head.lineTo(pts[2]);
    head.lineTo(pts[3]);
    head.closeSubpath();
    s_.DrawPath(head);

    s_.SetFill(true);
    s_.SetBrushColor(0xFFFFFF);
    s_.SetPenColor(0x000000);
}

int ChartPainter::SquareAxisPoints(int mountain, bool facing, QPoint pts[4]) const
{
    const int base = square_.iBaseShan;
    const int g = FloorMod(mountain - FloorMod(base + 23, 24), 24) / 3;
    const int c = kSquareBorderCell[g];
    const QPoint o = CellOrigin(c);
    const int x0 = o.x(), y0 = o.y();
    const int cw = square_.cw, ch = square_.ch;

    const double degree = std::isfinite(d_.degree) ? d_.degree : 0.0;
    const double beta = NormalizeAngle(degree + (facing ? 180.0 : 0.0));
    const double mid = MountainCentre(base + 3 * g);
    const double t = std::clamp(SweepDelta(mid, beta) / 22.5, -1.0, 1.0);

    double x = x0, y = y0;
    switch (c) {
    case 0:
        if (t <= 0) { x = x0; y = y0 - ch * t; } else { x = x0 + cw * t; y = y0; }
        break;
    case 1: x = x0 + cw / 2 + (cw / 2) * t; y = y0; break;
    case 2:
        if (t <= 0) { x = x0 + cw + cw * t; y = y0; } else { x = x0 + cw; y = y0 + ch * t; }
        break;
    case 3: x = x0; y = y0 + ch / 2 - (ch / 2) * t; break;
    case 5: x = x0 + cw; y = y0 + ch / 2 + (ch / 2) * t; break;
    case 6:
        if (t <= 0) { x = x0 - cw * t; y = y0 + ch; } else { x = x0; y = y0 + ch - ch * t; }
        break;
    case 7: x = x0 + cw / 2 - (cw / 2) * t; y = y0 + ch; break;
    case 8:
        if (t <= 0) { x = x0 + cw; y = y0 + ch + ch * t; } else { x = x0 + cw - cw * t; y = y0 + ch; }
        break;
    default: break;
    }
    // Points are rounded, not truncated: a ring point a hair off a whole coordinate would slant the axis.
    pts[0] = QPoint(int(std::lround(x)), int(std::lround(y)));

    double theta0 = NormalizeAngle(FloorMod(base + 23, 24) * 15.0 + 270.0 - degree);
    if (facing)
        theta0 = NormalizeAngle(theta0 + 180.0);
    const double r = g_.fRadius;
    const double rRing = square_.fRingInner * r;
    const QPointF ring = At(rRing, theta0);
    pts[1] = ring.toPoint();
    if (!facing)
        return 2;
    const double k = std::trunc((0.9 - square_.fRingInner) * r * 0.3);
    const double rIn = rRing - k;
    const double psi = 2.0 * std::atan(0.5 * k / rIn) * 57.2957795786;
    const QPointF a = At(rIn, theta0 + psi);
    const QPointF b = At(rIn, theta0 - psi);
    pts[2] = a.toPoint();
    pts[3] = b.toPoint();
    return 4;
}

void ChartPainter::DrawSquareCornerNames(int d, int x0, int y0, float size)
{
    SetFont(size, false, 0x808080);
    const QString gua = Qs(HouTianGuaName[size_t(d)]);
    const QString dir = Qs(FangXiangName[size_t((d + 2) % 8)]);
    const int cw = square_.cw, ch = square_.ch;
    s_.SetFontColor(d_.colour == ColourWuXing ? WuXingColor[GuaWuXing[size_t(d)]] : 0x808080);
    const float h = s_.TextHeight(gua);
    // Two pixels in from the cell's sides, so that the names of neighbouring cells never run together.
    s_.DrawText(float(x0 + cw) - s_.TextWidth(gua) - 2.0f, float(y0 + ch) - h - 3.0f, gua);
    s_.SetFontColor(0x808080);
    s_.DrawText(float(x0) + 2.0f, float(y0 + ch) - h - 3.0f, dir);
}

void ChartPainter::DrawSquareXuanKong()
{
    const auto& stars = d_.Stars();
    const int cw = square_.cw, ch = square_.ch;
    const int hw = cw / 2, hh = ch / 2;
    const bool raise = d_.chartPanel != PanelLiuNian && d_.chartPanel != PanelNeiQi;
    for (int cell = 0; cell < 9; ++cell) {
        const int d = CellDirection(cell);
        const QPoint o = CellOrigin(cell);
        const int x0 = o.x(), y0 = o.y();
        const StarTriple& st = stars[size_t(d)];

        SetFont(float(g_.iTextSize + 3), true, StarColour(st[0]));
        const QString mountain = QString::number(ShownStar(st[0]));
        float w = s_.TextWidth(mountain, true);
        float h = s_.TextHeight(mountain);
        s_.DrawText((hw - w) / 2.0f + x0, (hh - h) / 2.0f + y0, mountain, true);

        const QString facing = QString::number(ShownStar(st[1]));
        s_.SetFontColor(StarColour(st[1]));
        w = s_.TextWidth(facing, true);
        s_.DrawText((hw - w) / 2.0f + x0 + hw, (hh - h) / 2.0f + y0, facing, true);

        const QString numeral = Qs(ShuZi(st[2]));
        s_.SetFontColor(StarColour(st[2]));
        w = s_.TextWidth(numeral, true);
        h = s_.TextHeight(numeral);
        const float lift = raise ? float(hh / 3) : 0.0f;
        s_.DrawText((cw - w) / 2.0f + x0, (hh - h) / 2.0f + y0 + hh - lift, numeral, true);

        if (cell != 4)
            DrawSquareCornerNames(d, x0, y0, float(g_.iTextSize - 3));
    }
}

void ChartPainter::DrawSquareBaZhai()
{
    const int cw = square_.cw, ch = square_.ch;
    for (int cell = 0; cell < 9; ++cell) {
        const int d = CellDirection(cell);
        const QPoint o = CellOrigin(cell);
        const int x0 = o.x(), y0 = o.y();
        if (cell == 4) {
            SetFont(float(g_.iTextSize), true, 0x0000FF);
            const QString house = Qs(GuaByLuoShu(d_.BaZhaiFuWei[0])) + "宅";
            TextCentred(house, QPointF(x0 + cw / 2.0, y0 + ch / 2.0));
            continue;
        }
        for (int p = 0; p < std::clamp(d_.GuaCount, 0, 4); ++p) {
            const int star = d_.BaZhai[d_.GuaKind[size_t(p)] % 4][size_t(3 + d)] % 8;
            const QString name = d_.starNames ? Qs(BaZhaiXingName[size_t(star)]) : Qs(YouXingName[size_t(star)]);
            const uint32_t colour =
                d_.colour == ColourWuXing ? WuXingColor[YouXingWuXing[size_t(star)]] : d_.GuaColor[size_t(p)];
            SetFont(float(g_.iTextSize), true, colour);
            const int col = d_.GuaCell[size_t(2 * p)], row = d_.GuaCell[size_t(2 * p + 1)];
            TextCentred(name, QPointF(x0 + col * cw / 4.0, y0 + row * ch / 4.0));
        }
        DrawSquareCornerNames(d, x0, y0, float(g_.iTextSize - 4));
    }
}
