// The annual, monthly and inner-qi stars over a chart, round or square, and their captions.
#include "ChartPainter.h"

#include "ChartPainterText.h"
#include "MImagePlus.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kYearColour = 0x008000;
constexpr uint32_t kMonthColour = 0x800080;
constexpr uint32_t kNeiQiColour = 0xFF7500;

QString StarText(int star) { return QString::number(star % 9 == 0 ? 9 : star % 9); }

}  // namespace

void ChartPainter::DrawLiuNianPan()
{
    DrawXuanKongPan();
    DrawRoundOverlay(true, d_.bShowMonth, d_.bShowNeiQi, false);
}

void ChartPainter::DrawNeiQiPan()
{
    DrawXuanKongPan();
    DrawRoundOverlay(false, false, true, false);
}

void ChartPainter::DrawLiuNianPan8()
{
    DrawBaZhaiPan();
    DrawRoundOverlay(true, d_.bShowMonth, false, true);
}

void ChartPainter::DrawRoundOverlay(bool year, bool month, bool neiQi, bool baZhai)
{
    const float cx = std::trunc(g_.fPanWidth / 2.0f);
    const float cy = std::trunc(g_.fPanHeight / 2.0f);
    const double r = g_.fRadius;
    const double outerRho = std::trunc((0.9 - 0.06) * r);
    const double innerRho = std::trunc((0.65 + (0.9 - 0.65) / 2.0) * r);

    // A text centred on the point of angle theta and radius rho.
    auto placed = [&](const QString& text, double rho, double theta) {
        const double rad = theta * kDegToRad;
        s_.DrawTextCentred(std::trunc(float(cx + std::cos(rad) * rho)), std::trunc(float(cy - std::sin(rad) * rho)),
                           text);
    };

    // In the flying-star centre the annual star stands left of the period numeral and the monthly star right of
    // it, the inner-qi star under it, each a clear gap from the palace's own stars.
    const PalaceRows rows = PalaceRowsAt(QPointF(g_.fCenterX, g_.fCenterY), true);
    if (year) {
        SetFont(float(g_.iTextSize + 1), false, kYearColour);
        const QString centre = StarText(d_.YearStars[8]);
        const float w = s_.TextWidth(centre), h = s_.TextHeight(centre);
        if (baZhai)
            s_.DrawText(cx - w / 2.0f, cy - 1.8f * h, centre);
        else
            s_.DrawTextCentred(rows.numeralLeft - rows.gap - rows.annualInkRight, rows.annualMiddle, centre);
        for (int p = 0; p < 8; ++p)
            placed(StarText(d_.YearStars[size_t(p)]), outerRho, PalaceAngle(p) - 5.0);
    }
    if (month) {
        SetFont(float(g_.iTextSize + 1), false, kMonthColour);
        const QString centre = StarText(d_.MonthStars[8]);
        const float w = s_.TextWidth(centre), h = s_.TextHeight(centre);
        if (baZhai)
            s_.DrawText(cx - w / 2.0f, cy + h, centre);
        else
            s_.DrawTextCentred(rows.numeralRight + rows.gap - rows.annualInkLeft, rows.annualMiddle, centre);
        for (int p = 0; p < 8; ++p)
            placed(StarText(d_.MonthStars[size_t(p)]), outerRho, PalaceAngle(p) + 5.0);
    }
    if (neiQi) {
        SetFont(float(g_.iTextSize), false, kNeiQiColour);
        s_.DrawTextCentred(g_.fCenterX, rows.neiQiMiddle, StarText(d_.NeiQiStars[8]));
        for (int p = 0; p < 8; ++p)
            placed(StarText(d_.NeiQiStars[size_t(p)]), innerRho, PalaceAngle(p) - 15.0);
    }
}

void ChartPainter::DrawAnnualCaption(bool baZhai)
{
    SetFont(float(g_.iTextSize), false, 0x000000);
    const int year = d_.iLiuNianYear;
    // Reduced first: the year is typed into an editable list and may be as large as an int holds.
    QString yearText = Qs(GanZhiName(FloorMod(FloorMod(year, 60) + 6897, 60))) + "年";
    if (baZhai)
        yearText += QStringLiteral("　　");
    const float w = s_.TextWidth(yearText);
    const float h = s_.TextHeight(yearText);
    const float x = baZhai ? g_.fPanWidth - w - 3.0f : g_.fPanWidth - 1.8f * w;
    const float y = g_.fPanHeight - 5.3f * h;
    CornerText(x, y, yearText);
    const QString monthText =
        QString::number(year) + "年" + Qs(ZhiName(FloorMod(d_.iLiuNianMonth + 3, 12))) + "月";
    CornerText(x, y + h + 3.0f, monthText);
}

void ChartPainter::DrawNeiQiCaption()
{
    SetFont(float(g_.iTextSize), false, 0x000000);
    const QString text = QStringLiteral("内气星盘");
    const float w = s_.TextWidth(text);
    const float h = s_.TextHeight(text);
    CornerText(g_.fPanWidth - w - 8.0f, g_.fPanHeight - 4.0f * h, text);
}

int ChartPainter::FitOverlayFont()
{
    const float previous = s_.GetFontSize();
    const int maxW = int(0.6 * (square_.cw / 4));
    const int maxH = int(0.7 * (square_.ch / 4));
    int size = std::max(1, g_.iTextSize);
    // Sizes only go down, and stop at one point: the loop always ends.
    for (; size > 1; --size) {
        s_.SetFontSize(float(size));
        if (s_.TextWidth(QStringLiteral("国")) < maxW && s_.TextHeight(QStringLiteral("国")) < maxH)
            break;
    }
    s_.SetFontSize(previous);
    return size;
}

void ChartPainter::DrawSquareOverlay(bool year, bool month, bool neiQi)
{
    const bool narrow = d_.chartPanel == PanelLiuNian8 && d_.GuaCount < 3;
    s_.SetFontBold(true);
    const int size = FitOverlayFont();
    s_.SetFontSize(float(size));
    const float hg = s_.TextHeight(QStringLiteral("国"));
    const int ch = square_.ch, hh = square_.ch / 2;
    for (int cell = 0; cell < 9; ++cell) {
        const int d = CellDirection(cell);
        const QPoint o = CellOrigin(cell);
        float x = float(o.x() + 5);
        float y = narrow ? std::trunc(o.y() + 3 * (ch / 4) - hg / 2.0f) : std::trunc(o.y() + hh - hg / 2.0f);
        if (d_.chartPanel == PanelLiuNian8 && cell == 4)
            y = std::trunc(o.y() + ch - hg - 5.0f);
        auto put = [&](int star, uint32_t colour) {
            const QString text = StarText(star);
            s_.SetFontColor(colour);
            s_.DrawText(x, y, text);
            x += s_.TextWidth(text) + 10.0f;
        };
        if (year)
            put(d_.YearStars[size_t(d)], kYearColour);
        if (month)
            put(d_.MonthStars[size_t(d)], kMonthColour);
        if (neiQi)
            put(d_.NeiQiStars[size_t(d)], kNeiQiColour);
    }
}
