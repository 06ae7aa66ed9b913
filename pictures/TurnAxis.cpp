#include "TurnAxis.h"

#include "CompassRings.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kAxisRgb = 0xFF0000; // red, as the compass view draws its axis
constexpr double kReach = 0.9;          // the chart's outer circle
constexpr double kLabelPadding = 2.0;

QFont LabelFont(double points)
{
    QFont font(QStringLiteral("宋体"));
    // Points at 96 dpi, as every text of the chart picture.
    font.setPixelSize(std::max(1, int(std::lround(points * 96.0 / 72.0))));
    font.setBold(true);
    return font;
}

QPointF Polar(const PanGeometry& g, double rho, double theta)
{
    const double rad = theta * kDegToRad;
    return QPointF(g.fCenterX + std::cos(rad) * rho, g.fCenterY - std::sin(rad) * rho);
}

}  // namespace

TurnAxis TurnAxisFor(const PanGeometry& g, double panAngle, double degree, double labelPoints)
{
    const double r = g.fRadius;
    const double sit = SittingAxisAngle(panAngle, degree);
    const double face = NormalizeAngle(sit + 180.0);
    TurnAxis a;
    a.sitting = Polar(g, kReach * r, sit);
    a.facing = Polar(g, kReach * r, face);
    a.cross = QLineF(Polar(g, kReach * r, sit - 3.0), Polar(g, kReach * r, sit + 3.0));
    a.head[0] = QLineF(a.facing, Polar(g, (kReach - 0.04) * r, face - 3.0));
    a.head[1] = QLineF(a.facing, Polar(g, (kReach - 0.04) * r, face + 3.0));

    a.label = CompassDegreeText(degree);
    const QFontMetricsF metrics(LabelFont(labelPoints));
    const QSizeF size(metrics.horizontalAdvance(a.label) + 2 * kLabelPadding, metrics.height() + 2 * kLabelPadding);
    // Beyond the sitting end, its nearest corner clear of the circle, then pulled into the picture.
    const QPointF centre = Polar(g, kReach * r + std::hypot(size.width(), size.height()) / 2.0 + 2.0, sit);
    QRectF box(centre - QPointF(size.width() / 2.0, size.height() / 2.0), size);
    box.moveLeft(std::clamp(box.left(), 1.0, std::max(1.0, g.fPanWidth - 1.0 - box.width())));
    box.moveTop(std::clamp(box.top(), 1.0, std::max(1.0, g.fPanHeight - 1.0 - box.height())));
    a.labelBox = box;
    return a;
}

void PaintTurnAxis(QPainter& painter, const TurnAxis& a, double labelPoints)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor red = QColor::fromRgb(kAxisRgb);
    painter.setPen(QPen(red, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(a.sitting, a.facing);
    painter.drawLine(a.cross);
    painter.drawLine(a.head[0]);
    painter.drawLine(a.head[1]);
    painter.setPen(QPen(red, 1.0));
    painter.setBrush(Qt::white);
    painter.drawRect(a.labelBox);
    painter.setFont(LabelFont(labelPoints));
    painter.drawText(a.labelBox, Qt::AlignCenter, a.label);
    painter.restore();
}
