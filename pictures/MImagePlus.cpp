#include "MImagePlus.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

const QString kSongTi = QStringLiteral("宋体");

// Share of the em above the baseline in a face whose line is one em high; CJK ideographs fill the em box.
constexpr float kAscentShare = 0.88f;

}  // namespace

void MImagePlus::RegisterFontSubstitutes()
{
    static const bool done = [] {
        if (QFont::substitutes(kSongTi).isEmpty())
            QFont::insertSubstitutions(kSongTi, {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
        return true;
    }();
    (void)done;
}

MImagePlus::MImagePlus()
{
    RegisterFontSubstitutes();
    CreateTools();
}

MImagePlus::~MImagePlus() { ReleaseTools(); }

bool MImagePlus::BeginDraw(QPaintDevice* device)
{
    ReleaseTools();
    if (!device || device->width() <= 0 || device->height() <= 0)
        return false;
    if (!painter_.begin(device))
        return false;
    device_ = device;
    deviceDpi_ = device->logicalDpiY() > 0 ? device->logicalDpiY() : 96.0;
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    // The original surface puts pixel centres on whole coordinates; the painter puts them half a pixel in.
    painter_.translate(0.5, 0.5);
    CreateTools();
    return true;
}

void MImagePlus::CreateTools()
{
    fill_ = true;
    pen_ = QPen(QColor(Qt::black), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    brush_ = QBrush(QColor(Qt::white));
    textColor_ = QColor(Qt::black);
    faceName_ = kSongTi;
    fontSize_ = 12.0f;
    bold_ = false;
    RebuildFont();
}

void MImagePlus::ReleaseTools()
{
    if (painter_.isActive())
        painter_.end();
    device_ = nullptr;
}

void MImagePlus::RebuildFont()
{
    font_ = QFont(faceName_);
    font_.setStyleStrategy(QFont::PreferAntialias);
    // Points at 96 dpi: the same pixel size on any device.
    font_.setPointSizeF(double(fontSize_) * 96.0 / deviceDpi_);
    font_.setBold(bold_);
}

void MImagePlus::SetBrushColor(uint32_t winColor) { brush_.setColor(ToQColor(winColor)); }

void MImagePlus::SetPenColor(uint32_t winColor) { pen_.setColor(ToQColor(winColor)); }

void MImagePlus::SetPenWidth(float width) { pen_.setWidthF(std::max(0.0f, width)); }

void MImagePlus::SetFontColor(uint32_t winColor) { textColor_ = ToQColor(winColor); }

void MImagePlus::SetFontSize(float points)
{
    // A font below one point cannot be made; a tiny picture still gets readable (if small) text.
    fontSize_ = std::isfinite(points) ? std::max(1.0f, points) : 1.0f;
    RebuildFont();
}

void MImagePlus::SetFontBold(bool bold)
{
    bold_ = bold;
    RebuildFont();
}

void MImagePlus::DrawLine(float x1, float y1, float x2, float y2)
{
    if (!painter_.isActive())
        return;
    painter_.setPen(pen_);
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void MImagePlus::DrawRect(float x1, float y1, float x2, float y2)
{
    rect_ = QRectF(x1, y1, x2 - x1 + 1.0f, y2 - y1 + 1.0f);
    if (!painter_.isActive())
        return;
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(rect_);
    if (fill_)
        painter_.fillRect(rect_, brush_);
}

void MImagePlus::DrawEllipse(float x1, float y1, float x2, float y2)
{
    rect_ = QRectF(x1, y1, x2 - x1 + 1.0f, y2 - y1 + 1.0f);
    if (!painter_.isActive())
        return;
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(rect_);
    if (fill_) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(brush_);
        painter_.drawEllipse(rect_);
        painter_.setBrush(Qt::NoBrush);
    }
}

void MImagePlus::DrawPolygon(const QPointF* points, int count)
{
    if (!painter_.isActive() || !points || count < 2)
        return;
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPolygon(points, count, Qt::OddEvenFill);
    if (fill_) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(brush_);
        painter_.drawPolygon(points, count, Qt::OddEvenFill);
        painter_.setBrush(Qt::NoBrush);
    }
}

void MImagePlus::DrawPath(const QPainterPath& path)
{
    if (!painter_.isActive())
        return;
    painter_.strokePath(path, pen_);
    if (fill_) {
        QPainterPath filled = path;
        filled.setFillRule(Qt::OddEvenFill);
        painter_.fillPath(filled, brush_);
    }
}

float MImagePlus::TextWidth(const QString& text, bool noFormat)
{
    const QFontMetricsF fm = device_ ? QFontMetricsF(font_, device_) : QFontMetricsF(font_);
    const float w = float(fm.horizontalAdvance(text)) + 2.0f * Padding(noFormat);
    rect_ = QRectF(0, 0, w, PixelsPerEm());
    return w;
}

float MImagePlus::TextHeight(const QString& text)
{
    const float w = TextWidth(text, false);
    rect_ = QRectF(0, 0, w, PixelsPerEm());
    return float(rect_.height());
}

void MImagePlus::DrawText(float x, float y, const QString& text, bool noFormat)
{
    if (!painter_.isActive() || text.isEmpty())
        return;
    painter_.setFont(font_);
    painter_.setPen(textColor_);
    const float baseline = y + 3.0f + kAscentShare * PixelsPerEm();
    painter_.drawText(QPointF(x + Padding(noFormat) - 0.5f, baseline - 0.5f), text);
}

void MImagePlus::DrawTextRotated(float cx, float cy, const QString& text, float angle)
{
    if (!painter_.isActive() || text.isEmpty())
        return;
    const float w = TextWidth(text, false);
    const float h = PixelsPerEm();
    painter_.save();
    painter_.translate(cx, cy);
    painter_.rotate(-angle);
    // Turned text stands for the plain canvas text of the original, which was drawn without smoothing.
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    QFont plain = font_;
    plain.setStyleStrategy(QFont::NoAntialias);
    painter_.setFont(plain);
    painter_.setPen(textColor_);
    painter_.drawText(QPointF(-w / 2.0f - 0.5f, -h / 2.0f + kAscentShare * h - 0.5f), text);
    painter_.restore();
}
