#include "RulerPainter.h"

#include "WinColor.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
constexpr quint32 kScaleBackground = 0x75DCF5;
constexpr quint32 kLuckyColour = 0x0000FF;  // red
constexpr quint32 kVerseColour = 0xFF0000;  // blue

QString U(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QFont SongFont(int size)
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(qMax(1, size));
    return f;
}

QFont SongPixelFont(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(qMax(6, pixels));
    f.setBold(bold);
    return f;
}

// Frame of the eight-palace ruler: 8 pixels in from the sides, 4 from top and bottom.
QRect RulerFrame(const QImage &image) { return QRect(8, 4, image.width() - 16, image.height() - 8); }
} // namespace

int EightPalaceLeft(int width, int palace) { return 8 + (width - 16) * palace / 8; }

void DrawEightPalaceRuler(QImage &image, bool front, const QStringList &names, const QStringList &verses,
                          const QColor &backColour)
{
    if (image.isNull())
        return;
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(image.rect(), front ? QColor(Qt::white) : backColour);
    const QRect f = RulerFrame(image);
    const int w = image.width(), h = f.height();
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(f);
    for (int i = 1; i < 8; ++i)
        p.drawLine(EightPalaceLeft(w, i), f.top(), EightPalaceLeft(w, i), f.bottom());
    // Bands: the front has lines at 1/6, 2/6, 4/6 and 5/6 of the height, the back at thirds. The palace names
    // stand in the second band, the verses below.
    const std::vector<double> lines = front ? std::vector<double>{1 / 6.0, 2 / 6.0, 4 / 6.0, 5 / 6.0}
                                            : std::vector<double>{1 / 3.0, 2 / 3.0};
    for (double y : lines)
        p.drawLine(f.left(), f.top() + int(h * y), f.right(), f.top() + int(h * y));
    const int nameTop = f.top() + int(h * lines[0]), nameBottom = f.top() + int(h * lines[1]);
    for (int i = 0; i < 8; ++i) {
        const int x0 = EightPalaceLeft(w, i), x1 = EightPalaceLeft(w, i + 1);
        p.setFont(SongFont(12));
        p.setPen(Qt::red);
        p.drawText(QRect(x0, nameTop, x1 - x0, nameBottom - nameTop), Qt::AlignCenter, names.value(i));
        // The verse in four equal parts, one under the other in the lower bands.
        const QString verse = verses.value(i);
        const int part = (int(verse.size()) + 3) / 4;
        p.setFont(SongFont(9));
        p.setPen(WinColorToQColor(kVerseColour));
        const int top = nameBottom + 4, rowH = (f.bottom() - top) / 4;
        for (int k = 0; k < 4 && part > 0; ++k)
            p.drawText(QRect(x0 + 2, top + k * rowH, x1 - x0 - 4, rowH), Qt::AlignCenter, verse.mid(k * part, part));
    }
}

ScaleGeometry MakeScaleGeometry(int imageWidth, int fontSize)
{
    ScaleGeometry g;
    g.fontSize = fontSize;
    const QFontMetrics fm(SongFont(fontSize));
    g.left = 2 * fm.horizontalAdvance(QStringLiteral("国"));
    g.right = std::max(g.left + 50, imageWidth - g.left);
    g.top = 2 * fm.height();
    g.pixelsPerMm = (g.right - g.left) * 0.002;
    return g;
}

int PointerX(const ScaleGeometry &g, double length)
{
    const double inWindow = std::clamp(length - ScaleWindowStart(length), 0.0, 50.0);
    return g.left + int(std::lround(inWindow * 10 * g.pixelsPerMm));
}

namespace {
// One ruler band: sections in a row of blocks above, cells with their names below.
void DrawRulerBand(QPainter &p, const ScaleGeometry &g, const QRect &band, double windowStart,
                   const RulerTable &r)
{
    const int cells = 4 * r.sections;
    const double cellCm = r.length / cells;
    const double windowEnd = windowStart + 50;
    const int blockH = band.height() * 2 / 5;
    auto xOf = [&](double cm) { return g.left + (cm - windowStart) * 10 * g.pixelsPerMm; };
    const long long first = FloorDivTolerant(windowStart, cellCm);
    for (long long k = first; k * cellCm < windowEnd - 1e-9; ++k) {
        const int cell = int(((k % cells) + cells) % cells);
        const int section = cell / 4;
        const QColor colour = r.lucky[section] ? WinColorToQColor(kLuckyColour) : QColor(Qt::black);
        const double a = std::max(windowStart, k * cellCm), b = std::min(windowEnd, (k + 1) * cellCm);
        const QRectF cellRect(xOf(a), band.top() + blockH, xOf(b) - xOf(a), band.height() - blockH);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cellRect);
        // The cell name, its two characters one above the other, sized to the cell.
        const QString name = U(r.cellNames[cell]);
        const int px = int(std::min(cellRect.width() * 0.75, cellRect.height() / 2.4));
        if (px >= 7 && cellRect.width() > px * 0.9) {
            p.setFont(SongPixelFont(px));
            p.setPen(colour);
            const double cy = cellRect.center().y();
            p.drawText(QRectF(cellRect.left(), cy - px * 1.1, cellRect.width(), px * 1.1), Qt::AlignCenter, name.left(1));
            p.drawText(QRectF(cellRect.left(), cy, cellRect.width(), px * 1.1), Qt::AlignCenter, name.mid(1));
        }
        if (cell % 4 == 0 || k == first) {
            // The section block spans its four cells, cut at the window's edges.
            const long long sectionFirst = k - cell % 4;
            const double sa = std::max(windowStart, sectionFirst * cellCm);
            const double sb = std::min(windowEnd, (sectionFirst + 4) * cellCm);
            const QRectF block(xOf(sa), band.top(), xOf(sb) - xOf(sa), blockH);
            p.fillRect(block, colour);
            p.setPen(QPen(Qt::black, 1));
            p.drawRect(block);
            const int spx = int(std::min(block.height() * 0.8, block.width() * 0.9));
            if (spx >= 7) {
                p.setFont(SongPixelFont(spx, true));
                p.setPen(Qt::white);
                p.drawText(block, Qt::AlignCenter, U(r.sectionNames[section]));
            }
        }
    }
}
} // namespace

int LabelStep(double pixelsPerUnit, int labelWidth, int gap)
{
    static constexpr int kMantissas[] = {1, 2, 5};
    if (!(pixelsPerUnit > 0))
        return 1;
    for (long long decade = 1; decade <= 1000000; decade *= 10)
        for (int m : kMantissas)
            if (m * decade * pixelsPerUnit >= labelWidth + gap)
                return int(m * decade);
    return 1000000;
}

namespace {
// The room kept clear between two numbers of a scale: half a digit.
int LabelGap(const QFontMetrics &fm) { return (fm.horizontalAdvance(QLatin1Char('0')) + 1) / 2; }

// Centimetre scale along the top of `band`: a tick every millimetre, longer every 5 mm, longest every
// centimetre; the numbers at the centimetres of a step at which they stand apart.
void DrawCentimetreScale(QPainter &p, const ScaleGeometry &g, const QRect &band, double windowStart)
{
    const QFontMetrics fm(p.font());
    auto xOfMm = [&](double mm) { return g.left + mm * g.pixelsPerMm; };
    const int y = band.top(), h = band.height();
    const int first = int(windowStart);
    const int step = LabelStep(10 * g.pixelsPerMm, fm.horizontalAdvance(QString::number(first + 50)), LabelGap(fm));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(xOfMm(0), y), QPointF(xOfMm(500), y));
    for (int mm = 0; mm <= 500; ++mm) {
        const double x = xOfMm(mm);
        const int tick = mm % 10 == 0 ? h / 2 : mm % 5 == 0 ? h / 3 : h / 6;
        p.drawLine(QPointF(x, y), QPointF(x, y + tick));
        if (mm % 10 == 0 && (first + mm / 10) % step == 0) {
            const QString n = QString::number(first + mm / 10);
            p.drawText(QPointF(x - fm.horizontalAdvance(n) / 2.0, y + h / 2 + fm.ascent() + 1), n);
        }
    }
    p.drawText(QPointF(g.right + 4, y + fm.ascent()), QStringLiteral("cm"));
}

// Inch scale along the bottom of `band`: a tick every half inch (12.7 mm), the inch numbers at whole inches of
// a step at which they stand apart, counted from the ruler's zero.
void DrawInchScale(QPainter &p, const ScaleGeometry &g, const QRect &band, double windowStart)
{
    const QFontMetrics fm(p.font());
    auto xOfMm = [&](double mm) { return g.left + mm * g.pixelsPerMm; };
    const int h = band.height();
    const double bottom = band.bottom() - 2;
    const double startMm = windowStart * 10;
    const QString widest = QString::number((long long)((startMm + 500) / 25.4));
    const int step = LabelStep(25.4 * g.pixelsPerMm, fm.horizontalAdvance(widest), LabelGap(fm));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(xOfMm(0), bottom), QPointF(xOfMm(500), bottom));
    for (long long half = (long long)std::ceil(startMm / 12.7 - 1e-9); half * 12.7 <= startMm + 500 + 1e-9; ++half) {
        const double x = xOfMm(half * 12.7 - startMm);
        const bool whole = half % 2 == 0;
        p.drawLine(QPointF(x, bottom), QPointF(x, bottom - (whole ? h / 2 : h / 4)));
        if (whole && (half / 2) % step == 0) {
            const QString n = QString::number(half / 2);
            p.drawText(QPointF(x - fm.horizontalAdvance(n) / 2.0, bottom - h / 2 - 2), n);
        }
    }
    p.drawText(QPointF(g.right + 4, bottom), QStringLiteral("in"));
}

// The pointer: a red triangle above the scale and a hairline down to `bottom`.
void DrawPointer(QPainter &p, const ScaleGeometry &g, double length, int bottom)
{
    const int px = PointerX(g, length);
    const int h = QFontMetrics(p.font()).height();
    QPainterPath tri;
    tri.moveTo(px - 15, g.top - h);
    tri.lineTo(px + 15, g.top - h);
    tri.lineTo(px, g.top - 1);
    tri.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(tri, Qt::red);
    p.setPen(QPen(QColor(255, 0, 0, 160), 1));
    p.drawLine(px, g.top, px, bottom);
}
} // namespace

void DrawDoorScale(QImage &image, const ScaleGeometry &g, double length, double menGong, double dingLan,
                   const ScaleLayers &layers)
{
    if (image.isNull())
        return;
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(image.rect(), WinColorToQColor(kScaleBackground));
    const double start = ScaleWindowStart(length);
    const int bands = 1 + int(layers.menGong) + int(layers.dingLan) + int(layers.inch);
    const int bandH = std::max(10, (image.height() - g.top - 6) / bands);
    const QFont font = SongFont(g.fontSize);
    auto band = [&](int y) { return QRect(g.left, y, g.right - g.left, bandH - 4); };
    int y = g.top;
    p.setFont(font);
    DrawCentimetreScale(p, g, band(y), start);
    y += bandH;
    if (layers.menGong) {
        DrawRulerBand(p, g, band(y), start, MenGongRuler(menGong));
        y += bandH;
    }
    if (layers.dingLan) {
        DrawRulerBand(p, g, band(y), start, DingLanRuler(dingLan));
        y += bandH;
    }
    p.setFont(font);
    if (layers.inch) {
        DrawInchScale(p, g, band(y), start);
        y += bandH;
    }
    DrawPointer(p, g, length, y - 4);
}
