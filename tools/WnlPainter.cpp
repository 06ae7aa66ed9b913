#include "WnlPainter.h"

#include "WnlMonth.h"
#include "WinColor.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {
constexpr quint32 kBackground = 0xC8FFFF; // pale yellow (Windows 0x00BBGGRR)
constexpr quint32 kWorkday = 0x008000;
constexpr quint32 kWeekend = 0x0000FF;
constexpr quint32 kTermColour = 0xC00000; // dark blue
constexpr quint32 kLunarColour = 0x404040;

QFont SongFont(int size, bool bold = false)
{
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(qMax(1, size));
    f.setBold(bold);
    return f;
}
} // namespace

int WnlCellAt(QSize size, QPoint point)
{
    const int cw = size.width() / 7, ch = size.height() / 7;
    if (cw <= 0 || ch <= 0 || point.x() < 0 || point.y() < 0 || point.x() >= 7 * cw)
        return -1;
    const int cell = (point.y() / ch) * 7 + point.x() / cw - 7;
    return cell >= 0 && cell < 42 ? cell : -1;
}

void DrawWnlMonth(QImage &image, const WnlMonthData &month, int fontSize)
{
    if (image.isNull())
        return;
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(image.rect(), WinColorToQColor(kBackground));
    const int cw = image.width() / 7, ch = image.height() / 7;
    if (cw < 4 || ch < 4)
        return;

    static const QString kWeek[7] = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                     QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六"),
                                     QStringLiteral("日")};
    p.setFont(SongFont(fontSize + 3, true));
    for (int c = 0; c < 7; ++c) {
        p.setPen(WinColorToQColor(c < 5 ? kWorkday : kWeekend));
        p.drawText(QRect(c * cw, 0, cw, ch), Qt::AlignCenter, kWeek[c]);
    }
    p.setPen(QPen(QColor(200, 190, 150), 1));
    for (int r = 1; r < 7; ++r)
        p.drawLine(0, r * ch, 7 * cw, r * ch);

    const QFont dayFont = SongFont(fontSize + 3, true), termFont = SongFont(fontSize);
    const QFont lunarFont = SongFont(fontSize), smallFont = SongFont(fontSize - 1);
    for (const WnlDay &d : month.days) {
        const QRect cell((d.cell % 7) * cw, (d.cell / 7 + 1) * ch, cw, ch);
        const bool weekend = d.cell % 7 >= 5;
        const QRect top(cell.left(), cell.top() + 2, cell.width(), cell.height() / 2);
        p.setFont(dayFont);
        const QFontMetrics dm(dayFont);
        const int dayW = dm.horizontalAdvance(d.dayText);
        int termW = 0;
        if (!d.termName.isEmpty())
            termW = QFontMetrics(termFont).horizontalAdvance(QLatin1Char(' ') + d.termName);
        const int x0 = cell.left() + qMax(2, (cell.width() - dayW - termW) / 2);
        p.setPen(WinColorToQColor(weekend ? kWeekend : 0x000000));
        p.drawText(QRect(x0, top.top(), dayW, top.height()), Qt::AlignLeft | Qt::AlignVCenter, d.dayText);
        if (termW > 0) {
            p.setFont(termFont);
            p.setPen(WinColorToQColor(kTermColour));
            p.drawText(QRect(x0 + dayW, top.top(), termW + 2, top.height()), Qt::AlignLeft | Qt::AlignVCenter,
                       QLatin1Char(' ') + d.termName);
        }
        // Long lunar texts ("闰十一月廿五") take a smaller font so they stay inside the cell.
        p.setFont(d.lunarText.size() > 5 ? smallFont : lunarFont);
        p.setPen(WinColorToQColor(kLunarColour));
        p.drawText(QRect(cell.left(), cell.top() + cell.height() / 2, cell.width(), cell.height() / 2 - 2),
                   Qt::AlignHCenter | Qt::AlignTop, d.lunarText);
        if (d.day == month.date.day) {
            p.setPen(QPen(WinColorToQColor(kWeekend), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(cell.adjusted(2, 2, -2, -2));
        }
    }
}
