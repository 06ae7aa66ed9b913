// The round chart: rings, spokes, directions, trigrams and the 24 mountains, then the palaces of the flying-star
// or Eight Mansions chart with their captions.
#include "ChartPainter.h"

#include "ChartPainterText.h"
#include "ChartRules.h"
#include "MImagePlus.h"

#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Radii of the names outside the mountain ring, fractions of the chart radius: the trigram names, and the
// direction names two thirds of the way from the mountain ring (0.65) to the outer circle.
constexpr double kGuaNameRadius = 0.775;
constexpr double kDirectionNameRadius = 0.65 + (0.9 - 0.65) * 2.0 / 3.0;

// Element colour of a mountain's name in the 五行色 mode; water shows grey, since black would vanish in a dark
// cell.
uint32_t ElementNameColour(int m)
{
    const int element = ShanWuXing[size_t(FloorMod(m, 24))];
    return element == 0 ? 0xB0B0B0 : WuXingColor[size_t(element)];
}

}  // namespace

void ChartPainter::DrawXuanKongPan()
{
    DrawRoundBase();
    DrawRoundStars();
}

void ChartPainter::DrawBaZhaiPan()
{
    DrawRoundBase();
    // The house's trigram in the centre.
    SetFont(float(g_.iTextSize + 5), false, 0x0000FF);
    const QString house = Qs(GuaByLuoShu(d_.BaZhaiFuWei[0])) + "宅";
    s_.DrawTextCentred(g_.fCenterX, g_.fCenterY, house);
    DrawBaZhaiStarsRound();
}

void ChartPainter::DrawRoundBase()
{
    ClearPicture(false);
    const double r = g_.fRadius;

    s_.SetFill(false);
    s_.SetPenColor(0x000000);
    s_.SetPenWidth(1.0f);
    for (const double f : {0.9, 0.15})
        s_.DrawEllipse(float(g_.fCenterX - f * r), float(g_.fCenterY - f * r), float(g_.fCenterX + f * r),
                       float(g_.fCenterY + f * r));

    for (int i = 0; i < 8; ++i) {
        const double a = d_.PanAngle - 45.0 * i;
        const QPointF p0 = At(0.15 * r, a);
        const QPointF p1 = At(0.9 * r, a);
        s_.DrawLine(float(p0.x()), float(p0.y()), float(p1.x()), float(p1.y()));
    }

    for (int i = 0; i < 8; ++i) {
        const double a = d_.PanAngle - 45.0 * i;
        SetFont(float(g_.iTextSize - 2), false, 0x000000);
        RingText(Qs(FangXiangName[size_t(i)]), At(kDirectionNameRadius * r, a - 5.0), a - 5.0);

        const int palace = (6 + i) % 8;
        const uint32_t colour = d_.colour == ColourWuXing ? WuXingColor[GuaWuXing[size_t(palace)]] : 0x000000;
        SetFont(float(g_.iTextSize + 2), true, colour);
        RingText(Qs(HouTianGuaName[size_t(palace)]), At(kGuaNameRadius * r, a - 22.5), a - 22.5);
    }

    DrawMountainRing();
    DrawRoundMarks();
    DrawZhouTian();
}

void ChartPainter::DrawMountainCell(double inner, double outer, double theta, bool dark)
{
    // The inner edge at theta, out along the outer arc (clockwise on screen), back in along the inner one.
    QPainterPath path;
    path.moveTo(At(inner, theta));
    path.lineTo(At(outer, theta));
    path.arcTo(QRectF(g_.fCenterX - outer, g_.fCenterY - outer, 2 * outer, 2 * outer), theta, -15.0);
    path.lineTo(At(inner, theta - 15.0));
    path.arcTo(QRectF(g_.fCenterX - inner, g_.fCenterY - inner, 2 * inner, 2 * inner), theta - 15.0, 15.0);
    path.closeSubpath();
    if (d_.hasPlan) {
        s_.SetFill(false);
        s_.SetPenColor(0x000000);
    } else {
        s_.SetFill(true);
        s_.SetBrushColor(dark ? 0x000000 : 0xFFFFFF);
        s_.SetPenColor(dark ? 0xFFFFFF : 0x000000);
    }
    s_.DrawPath(path);
}

void ChartPainter::DrawMountainRing()
{
    const double r = g_.fRadius;
    const double inner = 0.55 * r;
    const double outer = 0.65 * r;
    SetFont(float(g_.iTextSize), true, 0x000000);
    double theta = d_.PanAngle;
    int m = FloorMod(3 * d_.RingOffset + 18, 24);
    for (int cell = 0; cell < 24; ++cell) {
        const bool dark = MountainIsYang(m); // the yang mountains are the dark cells
        DrawMountainCell(inner, outer, theta, dark);

        uint32_t colour;
        if (d_.colour == ColourWuXing)
            colour = ElementNameColour(m);
        else if (dark)
            colour = d_.hasPlan ? 0x0000FF : 0xFFFFFF;
        else
            colour = 0x000000;
        s_.SetFontColor(colour);
        RingText(Qs(Shan(m)), At(0.6 * r, theta - 7.5), theta - 7.5);

        theta = NormalizeAngle(theta - 15.0);
        m = (m + 1) % 24;
    }
    s_.SetFill(true);
    s_.SetPenColor(0x000000);
    s_.SetBrushColor(0xFFFFFF);
}

void ChartPainter::DrawRoundMarks()
{
    auto screenAngle = [&](int mountain) { return NormalizeAngle(d_.PanAngle - 112.5 - MountainCentre(mountain)); };
    // Red like the door, never green: green is the colour of the annual stars.
    DrawRoundMark(QStringLiteral("门"), screenAngle(d_.door));
    if (d_.bChengMen) {
        DrawRoundMark(QStringLiteral("正"), screenAngle(d_.ChengMen[0][0]));
        DrawRoundMark(QStringLiteral("副"), screenAngle(d_.ChengMen[1][0]));
    }
}

void ChartPainter::DrawRoundMark(const QString& mark, double theta)
{
    // The trigram and direction names outside the mountain ring, as DrawRoundBase sets them, seen from the mark's
    // angle.
    const double r = g_.fRadius;
    const double ring = 0.65 * r + 1.0;
    std::array<BoxReach, 16> names;
    SetFont(float(g_.iTextSize + 2), true, 0x000000);
    const double tw = s_.TextWidth(QStringLiteral("国")), th = s_.TextHeight(QStringLiteral("国"));
    for (int i = 0; i < 8; ++i) {
        const double a = d_.PanAngle - 45.0 * i - 22.5;
        names[size_t(i)] = TextBoxReach(kGuaNameRadius * r, a, tw, th, RingTurn(a).value_or(0.0), theta);
    }
    SetFont(float(g_.iTextSize - 2), false, 0x000000);
    for (int i = 0; i < 8; ++i) {
        const double a = d_.PanAngle - 45.0 * i - 5.0;
        const QString name = Qs(FangXiangName[size_t(i)]);
        names[size_t(8 + i)] = TextBoxReach(kDirectionNameRadius * r, a, s_.TextWidth(name), s_.TextHeight(name),
                                            RingTurn(a).value_or(0.0), theta);
    }
    // The mark between the ring and the names, as large as the room allows up to its own size, nearest the
    // middle of its room.
    for (int size = g_.iTextSize - 1; size >= 1; --size) {
        SetFont(float(size), true, 0x0000FF);
        const double w = s_.TextWidth(mark), h = s_.TextHeight(mark);
        double lo = -1.0, hi = -1.0;
        for (double rho = ring; rho <= kGuaNameRadius * r; rho += 0.5) {
            const BoxReach m = TextBoxReach(rho, theta, w, h, 0.0, theta);
            if (m.rMin < ring)
                continue;
            const bool clear = std::all_of(names.begin(), names.end(), [&](const BoxReach& n) {
                return m.rMax + 1.0 <= n.rMin || m.rMin >= n.rMax + 1.0 || m.aMax + 0.5 <= n.aMin ||
                       m.aMin >= n.aMax + 0.5;
            });
            if (!clear)
                break;
            if (lo < 0.0)
                lo = rho;
            hi = rho;
        }
        if (lo >= 0.0) {
            TextCentred(mark, At((lo + hi) / 2.0, theta));
            return;
        }
    }
}

void ChartPainter::DrawZhouTian()
{
    const double r = g_.fRadius;
    s_.SetPenColor(0x000000);
    s_.SetPenWidth(1.0f);
    const int ticks = d_.bZhouTian ? 72 : 1;
    SetFont(float(std::max(1, g_.iTextSize - 5)), false, 0x000000);
    for (int t = 0; t < ticks; ++t) {
        const double theta = d_.PanAngle - 112.5 - 5.0 * t;
        const double len = (t % 2 == 0 ? 0.03 : 0.015) * r;
        const QPointF p0 = At(0.9 * r, theta);
        const QPointF p1 = At(0.9 * r - len, theta);
        s_.DrawLine(float(p0.x()), float(p0.y()), float(p1.x()), float(p1.y()));
        if (d_.bZhouTian && t % 2 == 0)
            RingText(QString::number(5 * t), At(kZhouTianNumbers * r, theta), theta);
    }
}

ChartPainter::PalaceRows ChartPainter::PalaceRowsAt(QPointF p, bool centre)
{
    // Each row is measured by the ink of everything it may hold, so that a flat numeral (一) keeps the place of a
    // tall one instead of rising under the digits, and every palace lines up alike.
    if (!rowInks_) {
        // The ink of any one of the nine texts, each centred on the same point.
        const auto inkOf = [this](float size, bool bold, bool numerals) {
            s_.SetFontSize(size);
            s_.SetFontBold(bold);
            QRectF all;
            for (int n = 1; n <= 9; ++n)
                all = all.united(s_.InkRect(numerals ? Qs(ShuZi(n)) : QString::number(n)));
            return all;
        };
        rowInks_ = RowInks{inkOf(float(g_.iTextSize + 2), true, false), inkOf(float(g_.iTextSize), true, true),
                           inkOf(float(g_.iTextSize + 1), false, false), inkOf(float(g_.iTextSize), false, false)};
    }
    const auto& [pair, numeral, annual, neiQi] = *rowInks_;
    const bool withNeiQi = centre && CentreShowsNeiQi();

    PalaceRows rows;
    rows.gap = std::max(3.0f, float(g_.iTextSize) * 96.0f / 72.0f / 4.0f);
    const double height = pair.height() + rows.gap + numeral.height() + (withNeiQi ? rows.gap + neiQi.height() : 0.0);
    // The rows stand one above the other, a clear gap apart, the whole centred on the palace's point.
    double top = p.y() - height / 2.0;
    rows.pairMiddle = float(top - pair.top());
    top += pair.height() + rows.gap;
    rows.numeralMiddle = float(top - numeral.top());
    rows.numeralLeft = float(p.x() + numeral.left());
    rows.numeralRight = float(p.x() + numeral.right());
    rows.annualMiddle = float(top + numeral.height() / 2.0 - annual.center().y());
    rows.annualInkLeft = float(annual.left());
    rows.annualInkRight = float(annual.right());
    top += numeral.height() + rows.gap;
    rows.neiQiMiddle = float(top - neiQi.top());
    return rows;
}

bool ChartPainter::CentreShowsNeiQi() const
{
    return d_.chartPanel == PanelNeiQi || (d_.chartPanel == PanelLiuNian && d_.bShowNeiQi);
}

void ChartPainter::DrawStarsGroup(const StarTriple& stars, QPointF p, bool centre)
{
    const int mountain = stars[0] % 9 == 0 ? 9 : stars[0] % 9;
    const int facing = stars[1] % 9 == 0 ? 9 : stars[1] % 9;
    const PalaceRows rows = PalaceRowsAt(p, centre);
    const float pairSize = float(g_.iTextSize + 2);
    SetFont(pairSize, true, 0x000000);
    const QString pair = QStringLiteral("%1 %2").arg(mountain).arg(facing);
    const QString left = QStringLiteral("%1 ").arg(mountain);
    const float px = float(p.x()) - s_.TextWidth(pair) / 2.0f;
    const float lw = s_.TextWidth(left);

    SetFont(float(g_.iTextSize), true, StarColour(stars[2]));
    s_.DrawTextCentred(float(p.x()), rows.numeralMiddle, Qs(ShuZi(stars[2])));
    SetFont(pairSize, true, StarColour(stars[0]));
    // DrawTextCentred of the pair, written a digit at a time for the two colours.
    const float py = rows.pairMiddle - pairSize * 96.0f / 72.0f / 2.0f - 3.0f;
    s_.DrawText(px, py, QString::number(mountain));
    s_.SetFontColor(StarColour(stars[1]));
    s_.DrawText(px + lw, py, QString::number(facing));
}

void ChartPainter::DrawRoundStars()
{
    const auto& stars = d_.Stars();
    DrawStarsGroup(stars[8], QPointF(g_.fCenterX, g_.fCenterY), true);
    const double rho = std::trunc(0.35 * g_.fRadius);
    for (int k = 0; k < 8; ++k)
        DrawStarsGroup(stars[size_t(PalaceAt(k))], At(rho, PalaceAngle(k)), false);
}

void ChartPainter::DrawBaZhaiStarsRound()
{
    const double r = g_.fRadius;
    const int count = std::clamp(d_.GuaCount, 0, 4);
    for (int k = 0; k < 8; ++k) {
        const int palace = PalaceAt(k);
        const double a = PalaceAngle(k);
        for (int j = 0; j < count; ++j) {
            const int star = d_.BaZhai[d_.GuaKind[size_t(j)] % 4][size_t(3 + palace)] % 8;
            const bool full = j < 2;
            const QString name =
                d_.starNames ? Qs(full ? BaZhaiXingName[size_t(star)] : BaZhaiXingShort[size_t(star)])
                             : Qs(full ? YouXingName[size_t(star)] : YouXingShort[size_t(star)]);
            const uint32_t colour =
                d_.colour == ColourWuXing ? WuXingColor[YouXingWuXing[size_t(star)]] : d_.GuaColor[size_t(j)];
            SetFont(float(g_.iTextSize), true, colour);
            TextCentred(name, At(std::trunc(r * d_.GuaRadius[size_t(j)]), a + d_.GuaAngle[size_t(j)]));
        }
    }
}

void ChartPainter::DrawBaZhaiCaption()
{
    SetFont(float(g_.iTextSize + 3), true, 0x0000FF);
    const QString title = QStringLiteral("大游年方位图");
    CornerText(std::trunc(g_.fPanWidth - s_.TextWidth(title) - 5.0f), 5.0f, title);

    // The owner's year and life trigram, then the reference trigram of each shown label in its colour.
    SetFont(float(g_.iTextSize), true, 0xFF0000);
    const float hg = s_.TextHeight(QStringLiteral("国"));
    const int life = d_.BaZhai[1][0];
    const QString owner = "宅主:" + Qs(GanZhiName(d_.MingGanZhi)) + " 福元:" + Qs(GuaByLuoShu(life)) +
                          (d_.BaZhai[1][1] == 0 ? "(东四命)" : "(西四命)");
    float y = 5.0f;
    CornerText(3.0f, y, owner);
    static const char* const kLabel[4] = {"山", "命", "向", "门"};
    for (int j = 0; j < std::clamp(d_.GuaCount, 0, 4); ++j) {
        y = std::trunc(y + hg + 3.0f);
        const int kind = d_.GuaKind[size_t(j)] % 4;
        s_.SetFontColor(d_.GuaColor[size_t(j)]);
        CornerText(3.0f, y, QString::fromUtf8(kLabel[kind]) + ":" + Qs(GuaByLuoShu(d_.BaZhai[size_t(kind)][0])) + "卦");
    }
}

void ChartPainter::DrawBaZhaiLegend()
{
    if (!d_.bWuHint)
        return;
    SetFont(float(g_.iTextSize), false, 0x000000);
    const int wg = int(s_.TextWidth(QStringLiteral("国")));
    const int hg = int(s_.TextHeight(QStringLiteral("国")));
    const QString legend = QStringLiteral("鬼火 医土 生木 延金 绝金 祸土 煞水 伏木");
    const float w = s_.TextWidth(legend, true);
    const float y = std::trunc(std::trunc(g_.fPanHeight - float(hg / 3) - 2.2f * hg) + 1.2f * hg);
    CornerText(std::trunc(g_.fPanWidth - w - float(wg / 2)), y, legend);
}
