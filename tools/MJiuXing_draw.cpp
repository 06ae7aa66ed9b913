// The header and the 3 × 3 charts of the nine-star engine, drawn into the window's picture.
#include "LunarText.h"
#include "MJiuXing.h"

#include "MathUtil.h"
#include "NameTables.h"
#include "WinColor.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {
QString U(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

const QString kShortName[kJiuXingCharts] = {QStringLiteral("大"), QStringLiteral("小"), QStringLiteral("年"),
                                            QStringLiteral("月"), QStringLiteral("日"), QStringLiteral("时")};
// Palace labels and directions in grid order.
const QString kPalace[9] = {QStringLiteral("巽四"), QStringLiteral("离九"), QStringLiteral("坤二"),
                            QStringLiteral("震三"), QStringLiteral("中五"), QStringLiteral("兑七"),
                            QStringLiteral("艮八"), QStringLiteral("坎一"), QStringLiteral("乾六")};
const QString kDirection[9] = {QStringLiteral("东南"), QStringLiteral("南"),   QStringLiteral("西南"),
                               QStringLiteral("东"),   QString(),              QStringLiteral("西"),
                               QStringLiteral("东北"), QStringLiteral("北"),   QStringLiteral("西北")};
// Star colours (Windows 0x00BBGGRR), by star number with 九紫 first: by the star itself, and by its element.
constexpr quint32 kStarColour[9] = {0xAA00AA, 0xC0C0C0, 0x000000, 0x008000, 0x008000,
                                    0x00C0FF, 0xC0C0C0, 0x0000FF, 0xC0C0C0};
constexpr quint32 kElementColour[9] = {0x0000FF, 0x000000, 0x00C0FF, 0x008000, 0x008000,
                                       0x00C0FF, 0xC0C0C0, 0xC0C0C0, 0x00C0FF};
// Where each shown chart stands in a cell, in sixths of the cell (column, row), by the number shown.
constexpr int kLayout[6][6][2] = {
    {{3, 2}},
    {{2, 3}, {4, 3}},
    {{3, 1}, {2, 3}, {4, 3}},
    {{2, 1}, {4, 1}, {2, 3}, {4, 3}},
    {{2, 1}, {4, 1}, {1, 3}, {3, 3}, {5, 3}},
    {{1, 1}, {3, 1}, {5, 1}, {1, 3}, {3, 3}, {5, 3}},
};

QFont SongFont(int size, bool bold = false)
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(qMax(1, size));
    f.setBold(bold);
    return f;
}

QString FullWidthDigit(int star)
{
    const int n = FloorMod(star, 9) == 0 ? 9 : FloorMod(star, 9);
    return QString(QChar(0xFF10 + n));
}
} // namespace

QString MJiuXing::LunarText() const
{
    const JiuXingResult &r = result_;
    return U(MYiDateEx::ChineseNum(r.lunar.year)) + QStringLiteral("年") +
           LunarMonthText(r.lunar.month, r.leap) + LunarDayText(r.lunar.day) + QStringLiteral("日") +
           HourBranch(r.gregorian.hour) + QStringLiteral("时");
}

QStringList MJiuXing::HeaderLines() const
{
    const JiuXingResult &r = result_;
    const TDateRec &g = r.gregorian;
    QStringList lines;
    lines << QStringLiteral("公历：%1-%2-%3 %4:%5 星期%6")
                 .arg(g.year)
                 .arg(g.month)
                 .arg(g.day)
                 .arg(g.hour)
                 .arg(g.minute)
                 .arg(U(Week(MYiDateEx::WeekDay(g))));
    lines << QStringLiteral("农历：") + LunarText();
    lines << QStringLiteral("干支：%1年 %2月 %3日 %4时")
                 .arg(GanZhiText(r.ganzhi[0]), GanZhiText(r.ganzhi[1]), GanZhiText(r.ganzhi[2]),
                      GanZhiText(r.ganzhi[3]));
    QStringList names;
    for (int i = 0; i < kJiuXingCharts; ++i)
        if (view_.selection[i])
            names << kShortName[i] + (i < 2 ? QStringLiteral("运") : QString());
    lines << QStringLiteral("（") + names.join(QLatin1Char('-')) + QStringLiteral("九星盘）");
    return lines;
}

void MJiuXing::Draw() const
{
    if (!image_ || image_->isNull())
        return;
    QPainter p(image_);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(image_->rect(), Qt::white);
    const QRect area = DrawHeader(p);
    if (area.width() >= 30 && area.height() >= 30)
        DrawCharts(p, area);
}

QRect MJiuXing::DrawHeader(QPainter &p) const
{
    // Lines 1.5 text heights apart, a margin one character wide; the charts take the rest less one line.
    p.setFont(SongFont(view_.fontSize + 1));
    const QFontMetrics hm(p.font());
    const int margin = hm.horizontalAdvance(QStringLiteral("国"));
    const int width = image_->width() - 2 * margin;
    p.setPen(Qt::black);
    int y = margin / 2;
    for (const QString &line : HeaderLines()) {
        p.drawText(QRect(margin, y, width, hm.height()), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += hm.height() * 3 / 2;
    }
    return QRect(margin, y, width, image_->height() - hm.height() - y);
}

namespace {
quint32 StarColour(int mode, int star)
{
    if (mode == 1)
        return kStarColour[FloorMod(star, 9)];
    if (mode == 2)
        return kElementColour[FloorMod(star, 9)];
    return 0x000000;
}
} // namespace

void MJiuXing::DrawCharts(QPainter &p, const QRect &area) const
{
    const double cw = area.width() / 3.0, ch = area.height() / 3.0;
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(area.adjusted(0, 0, -1, -1));
    for (int k = 1; k < 3; ++k) {
        p.drawLine(QPointF(area.left() + k * cw, area.top()), QPointF(area.left() + k * cw, area.bottom()));
        p.drawLine(QPointF(area.left(), area.top() + k * ch), QPointF(area.right(), area.top() + k * ch));
    }
    std::vector<int> shown;
    for (int i = 0; i < kJiuXingCharts; ++i)
        if (view_.selection[i])
            shown.push_back(i);
    const int count = int(shown.size());
    const QFont starFont = SongFont(view_.fontSize + 3 + (view_.showState && count >= 2 ? 1 : 0), true);
    const QFont labelFont = SongFont(view_.fontSize - 1);
    const QFontMetrics sm(starFont), lm(labelFont);
    for (int palace = 0; palace < 9; ++palace) {
        const QRectF cell(area.left() + (palace % 3) * cw, area.top() + (palace / 3) * ch, cw, ch);
        p.setFont(starFont);
        for (int k = 0; k < count; ++k) {
            const JiuXingChart &c = result_.charts[shown[k]];
            const int star = c.star[palace];
            QString text = count == 1 ? FullWidthDigit(star) : kShortName[shown[k]] + FullWidthDigit(star);
            if (view_.showState)
                text += U(XingStateName[c.state[palace] % 9]);
            p.setPen(WinColorToQColor(StarColour(view_.colourMode, star)));
            const QPointF at(cell.left() + kLayout[count - 1][k][0] * cw / 6, cell.top() + kLayout[count - 1][k][1] * ch / 6);
            const double w = sm.horizontalAdvance(text) + 4, h = sm.height();
            p.drawText(QRectF(at.x() - w / 2, at.y() - h / 2, w, h), Qt::AlignCenter, text);
        }
        // The palace and its direction in the lowest sixth of the cell.
        p.setFont(labelFont);
        p.setPen(Qt::black);
        QString label = kPalace[palace];
        if (!kDirection[palace].isEmpty())
            label += QLatin1Char(' ') + kDirection[palace];
        p.drawText(QRectF(cell.left(), cell.bottom() - lm.height() - 2, cell.width(), lm.height()), Qt::AlignCenter, label);
    }
}

void MJiuXing::DrawSummary(QImage &image) const
{
    if (image.isNull())
        return;
    const JiuXingResult &r = result_;
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(image.rect(), Qt::white);
    QFont title = SongFont(11, true);
    p.setFont(title);
    p.setPen(Qt::red);
    const QFontMetrics tm(title);
    int y = 10;
    p.drawText(QRect(0, y, image.width(), tm.height()), Qt::AlignHCenter, QStringLiteral("紫白九星运行图"));
    y += tm.height() * 3 / 2;
    const QFont text = SongFont(view_.fontSize);
    const QFontMetrics fm(text);
    p.setFont(text);
    p.setPen(Qt::black);
    const TDateRec &g = r.gregorian;
    const int margin = fm.horizontalAdvance(QStringLiteral("国"));
    p.drawText(margin, y + fm.ascent(),
               QStringLiteral("公历:%1年%2月%3日%4时%5分").arg(g.year).arg(g.month).arg(g.day).arg(g.hour).arg(g.minute));
    y += fm.height() * 3 / 2;
    p.drawText(margin, y + fm.ascent(), QStringLiteral("农历:") + LunarText());
    y += fm.height() * 2;

    const QString captions[kJiuXingCharts] = {
        QStringLiteral("大运盘:%1运").arg(U(ShuZi(r.charts[0].Centre()))),
        QStringLiteral("小运盘:%1运").arg(U(ShuZi(r.charts[1].Centre()))),
        QStringLiteral("年运盘:") + GanZhiText(r.ganzhi[0]), QStringLiteral("月运盘:") + GanZhiText(r.ganzhi[1]),
        QStringLiteral("日运盘:") + GanZhiText(r.ganzhi[2]), QStringLiteral("时运盘:") + GanZhiText(r.ganzhi[3])};
    const double slot = (image.width() - margin) / double(kJiuXingCharts);
    const double cell = std::min((slot - margin) / 3.0, double(fm.horizontalAdvance(QStringLiteral("九紫")) + 8));
    for (int k = 0; k < kJiuXingCharts; ++k) {
        const double x0 = margin + k * slot;
        p.setPen(Qt::black);
        p.drawText(QRectF(x0, y, 3 * cell, fm.height()), Qt::AlignCenter, captions[k]);
        const double gy = y + fm.height() * 1.5;
        for (int i = 0; i < 9; ++i) {
            const QRectF c(x0 + (i % 3) * cell, gy + (i / 3) * cell, cell, cell);
            p.setPen(QColor(90, 90, 90));
            p.drawRect(c);
            p.setPen(i == kCentrePalace ? Qt::red : Qt::black);
            p.drawText(c, Qt::AlignCenter, U(StarName(r.charts[k].star[i])));
        }
    }
}
