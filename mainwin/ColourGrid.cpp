#include "ColourGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kColumns = 8; // two rows of eight
constexpr int kCells = 16;
constexpr QRgb kColours[kCells] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                                   0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
} // namespace

ColourGrid::ColourGrid(QWidget *parent) : QWidget(parent)
{
    setToolTip(QStringLiteral("文本颜色"));
}

QColor ColourGrid::CellColor(int index)
{
    return QColor::fromRgb(kColours[qBound(0, index, kCells - 1)]);
}

QColor ColourGrid::ForegroundColor() const
{
    return CellColor(m_foreground);
}

QSize ColourGrid::sizeHint() const
{
    return {kColumns * 13 + 1, (kCells / kColumns) * 13 + 1};
}

QRect ColourGrid::cellRect(int index) const
{
    const int rows = kCells / kColumns;
    const int w = (width() - 1) / kColumns, h = (height() - 1) / rows;
    return {(index % kColumns) * w, (index / kColumns) * h, w, h};
}

void ColourGrid::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    for (int i = 0; i < kCells; ++i) {
        const QRect r = cellRect(i);
        p.fillRect(r, CellColor(i));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(r);
    }
    // The chosen cell: a frame in the contrast of black and white that shows on every colour.
    const QRect r = cellRect(m_foreground).adjusted(1, 1, -1, -1);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(r);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(r);
}

void ColourGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (int i = 0; i < kCells; ++i)
        if (cellRect(i).contains(event->position().toPoint())) {
            m_foreground = i;
            update();
            emit foregroundChanged(CellColor(i));
            return;
        }
}
