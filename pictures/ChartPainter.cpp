#include "ChartPainter.h"

#include "ChartPainterText.h"
#include "ChartRules.h"
#include "MImagePlus.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Pixels kept between a caption or legend and the chart.
constexpr double kCornerGap = 3.0;
}  // namespace

ChartPainter::ChartPainter(MImagePlus& surface, const ChartDrawData& data, const PanGeometry& geometry)
    : s_(surface), d_(data), g_(geometry)
{
}

void ChartPainter::Draw()
{
    if (d_.chartPanel == PanelCompass) {
        ClearPicture(true);
        return;
    }
    const bool known = d_.chartPanel >= PanelXuanKong && d_.chartPanel <= PanelLiuNian8;
    if (known)
        FitChart();
    if (d_.iPanShape == 1) {
        DrawSquarePan();
    } else {
        switch (d_.chartPanel) {
        case PanelXuanKong: DrawXuanKongPan(); break;
        case PanelBaZhai: DrawBaZhaiPan(); break;
        case PanelLiuNian: DrawLiuNianPan(); break;
        case PanelNeiQi: DrawNeiQiPan(); break;
        case PanelLiuNian8: DrawLiuNianPan8(); break;
        default: return;  // an unknown view draws nothing
        }
    }
    if (known)
        DrawCornerTexts();
}

void ChartPainter::DrawCornerTexts()
{
    const bool baZhai = d_.chartPanel == PanelBaZhai || d_.chartPanel == PanelLiuNian8;
    if (baZhai)
        DrawBaZhaiCaption();
    else
        DrawXuanKongCaption();
    DrawDegreeLines();
    if (baZhai)
        DrawBaZhaiLegend();
    else
        DrawStarLegend();
    if (d_.chartPanel == PanelLiuNian || d_.chartPanel == PanelLiuNian8)
        DrawAnnualCaption(baZhai);
    else if (d_.chartPanel == PanelNeiQi)
        DrawNeiQiCaption();
}

void ChartPainter::CornerText(float x, float y, const QString& text, bool noFormat)
{
    if (boxes_)
        boxes_->push_back(QRectF(x, y + 3.0f, s_.TextWidth(text, noFormat), s_.TextHeight(text)));
    else
        s_.DrawText(x, y, text, noFormat);
}

void ChartPainter::FitChart()
{
    std::vector<QRectF>& boxes = cornerBoxes_;
    boxes.clear();
    boxes_ = &boxes;
    DrawCornerTexts();
    boxes_ = nullptr;

    // The chart reaches to its outer circle, 0.9 of the radius; the full degree scale of the round chart puts
    // its numbers just outside it.
    double reach = 0.9, beyond = 0.0;
    if (d_.iPanShape != 1 && d_.bZhouTian) {
        SetFont(float(std::max(1, g_.iTextSize - 5)), false, 0x000000);
        reach = kZhouTianNumbers;
        beyond = std::hypot(s_.TextWidth(QStringLiteral("355")), s_.TextHeight(QStringLiteral("355"))) / 2.0;
    }
    double radius = g_.fRadius;
    for (const QRectF& box : boxes) {
        const double nx = std::clamp(double(g_.fCenterX), box.left(), box.right());
        const double ny = std::clamp(double(g_.fCenterY), box.top(), box.bottom());
        const double room = std::hypot(nx - g_.fCenterX, ny - g_.fCenterY) - kCornerGap - beyond;
        radius = std::min(radius, room / reach);
    }
    // However crowded the corners, the chart keeps a third of its size.
    g_.fRadius = float(std::max(radius, g_.fRadius / 3.0));
}

void ChartPainter::ClearPicture(bool frame)
{
    // The whole picture white, the frame on its outermost pixels; a redraw never depends on what it held before.
    s_.SetFill(true);
    s_.SetBrushColor(0xFFFFFF);
    s_.SetPenWidth(1.0f);
    s_.SetPenColor(frame ? 0x000000 : 0xFFFFFF);
    s_.DrawRect(0.0f, 0.0f, g_.fPanWidth - 1.0f, g_.fPanHeight - 1.0f);
    s_.SetBrushColor(0xFFFFFF);
    s_.SetPenColor(0x000000);
}

QImage ChartPainter::WhiteToTransparent(const QImage& picture)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu)
                line[x] = 0;
    }
    return out;
}

QPointF ChartPainter::At(double rho, double theta) const
{
    const double rad = theta * kDegToRad;
    return QPointF(g_.fCenterX + std::cos(rad) * rho, g_.fCenterY - std::sin(rad) * rho);
}

void ChartPainter::SetFont(float size, bool bold, uint32_t colour)
{
    s_.SetFontSize(size);
    s_.SetFontBold(bold);
    s_.SetFontColor(colour);
}

void ChartPainter::TextCentred(const QString& text, QPointF p) { s_.DrawTextCentred(float(p.x()), float(p.y()), text); }

void ChartPainter::RingText(const QString& text, QPointF p, double theta)
{
    if (const std::optional<double> turn = RingTurn(theta)) {
        s_.DrawTextRotated(float(p.x()), float(p.y()), text, float(*turn));
        return;
    }
    TextCentred(text, p);
}

std::optional<double> ChartPainter::RingTurn(double theta) const
{
    if (d_.iTilt == 1)
        return theta + 90.0;
    if (d_.iTilt == 2)
        return theta + 270.0;
    return std::nullopt;
}

uint32_t ChartPainter::StarColour(int star) const { return d_.XingColor[size_t(FloorMod(star, 9))]; }

double ChartPainter::PalaceAngle(int k) const
{
    return NormalizeAngle(d_.PanAngle - 112.5 - 45.0 * k);
}

int ChartPainter::PalaceAt(int k) const { return FloorMod(d_.RingOffset + k, 8); }

bool ChartPainter::FlyingStarMode() const
{
    return d_.chartPanel != PanelBaZhai && d_.chartPanel != PanelLiuNian8;
}

// ---- captions shared by the round and the square chart ----

void ChartPainter::DrawXuanKongCaption()
{
    const QString yunShan = Qs(ShuZi(d_.Yun)) + "运" + Qs(Shan(d_.ZuoShan)) + "山" + Qs(Shan(d_.ZuoShan + 12)) + "向";
    SetFont(float(g_.iTextSize + 3), true, 0x0000FF);
    const QString title = d_.xiaGua ? QStringLiteral("挨星下卦图") : QStringLiteral("挨星替卦图");
    CornerText(std::trunc(g_.fPanWidth - s_.TextWidth(title) - 5.0f), 3.0f, title);

    if (d_.xiaGua) {
        SetFont(float(g_.iTextSize + 3), true, 0xFF0000);
        CornerText(5.0f, 13.0f, yunShan);
    } else {
        SetFont(float(g_.iTextSize - 1), true, 0xFF0000);
        const QString line = yunShan + "兼";
        CornerText(2.0f, 3.0f, line);
        const float x = std::trunc(s_.TextWidth(line) + 5.0f);
        const float hg = s_.TextHeight(QStringLiteral("国"));
        const int prev = d_.ZuoShan + 23;
        const int next = d_.ZuoShan + 1;
        CornerText(x, 3.0f, Qs(Shan(prev)) + Qs(Shan(prev + 12)));
        CornerText(x, 3.0f + hg + 3.0f, Qs(Shan(next)) + Qs(Shan(next + 12)));
    }
}

void ChartPainter::DrawDegreeLines()
{
    SetFont(float(g_.iTextSize), true, 0x000000);
    const float hg = s_.TextHeight(QStringLiteral("国"));
    // Three lines over the bottom edge, the last one's box ending 3 pixels above it, as the left margin.
    const float y0 = std::trunc(g_.fPanHeight - 3.0f * (hg + 3.0f) - 3.0f);

    // A refused case is still drawn, and its degree may be any float.
    const DegMin dm = ToDegMin(d_.degree);

    QString third = Qs(Shan(d_.ZuoShan)) + "山" + Qs(Shan(d_.ZuoShan + 12)) + "向";
    if (d_.JianShan != -1)
        third += "兼" + Qs(Shan(d_.JianShan)) + Qs(Shan(d_.JianShan + 12));
    third += " " + Qs(GanZhiName(d_.FenJinGanZhi)) + Qs(WuXing(NaYinIndex(d_.FenJinGanZhi)));

    CornerText(3.0f, y0, "门向:" + Qs(Shan(d_.door)));
    CornerText(3.0f, std::trunc(y0 + hg + 3.0f),
                QStringLiteral("周天:%1度%2分(%3)").arg(dm.deg).arg(dm.min).arg(Qs(Gua64(d_.GuaIndex))));
    CornerText(3.0f, std::trunc(y0 + 2.0f * (hg + 3.0f)), third);
}

void ChartPainter::DrawStarLegend()
{
    const bool normal = d_.colour == ColourNormal;
    if (!d_.bWuHint && normal)
        return;
    SetFont(float(g_.iTextSize), false, 0x000000);
    const int wg = int(s_.TextWidth(QStringLiteral("国")));
    const int hg = int(s_.TextHeight(QStringLiteral("国")));
    const float w = s_.TextWidth(QStringLiteral("1水 2土 3木 4木 5土 6金 7金 8土 9火"), true);
    const float x0 = std::trunc(g_.fPanWidth - w - float(wg / 2));
    const float yUpper = std::trunc(g_.fPanHeight - float(hg / 3) - 2.2f * hg);
    const float yLower = std::trunc(yUpper + 1.2f * hg);

    auto line = [&](float y, bool states) {
        float x = x0;
        for (int star = 1; star <= 9; ++star) {
            uint32_t colour = 0x000000;
            QString item;
            if (states) {
                const int state = StarStateIndex(star, d_.Yun);
                item = QString::number(star) + Qs(XingStateName[size_t(state)]) + " ";
                if (!normal)
                    colour = XingStateColor[size_t(state)];
            } else {
                const int element = XingWuXing[size_t(star % 9)];
                item = QString::number(star) + Qs(WuXing(element)) + " ";
                if (!normal)
                    colour = WuXingColor[size_t(element)];
            }
            s_.SetFontColor(colour);
            CornerText(x, y, item);
            x += s_.TextWidth(item);
        }
    };
    if (normal) {
        line(yUpper, true);
        line(yLower, false);
    } else if (d_.colour == ColourWangShuai) {
        line(yLower, true);
    } else if (d_.colour == ColourWuXing) {
        line(yLower, false);
    }
}
