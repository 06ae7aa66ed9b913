#include "MImagePlus.h"

#include "FontSubstitution.h"

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
            RegisterFontSubstitutions();
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
    metrics_.reset();
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
    metrics_.reset();
}

void MImagePlus::RebuildFont()
{
    metrics_.reset();
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
    const float size = std::isfinite(points) ? std::max(1.0f, points) : 1.0f;
    if (size == fontSize_)
        return;
    fontSize_ = size;
    RebuildFont();
}

void MImagePlus::SetFontBold(bool bold)
{
    if (bold == bold_)
        return;
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
    // Pixel centres lie on whole coordinates: the box's pixels reach half a pixel past them.
    if (fill_)
        painter_.fillRect(QRectF(x1 - 0.5f, y1 - 0.5f, x2 - x1 + 1.0f, y2 - y1 + 1.0f), brush_);
    // The outline as the band between two boxes, so that its corners are as solid as its sides.
    const double half = (pen_.widthF() > 0.0 ? pen_.widthF() : 1.0) / 2.0;
    QPainterPath outline;
    outline.setFillRule(Qt::OddEvenFill);
    outline.addRect(QRectF(x1 - half, y1 - half, x2 - x1 + 2 * half, y2 - y1 + 2 * half));
    if (x2 - x1 > 2 * half && y2 - y1 > 2 * half)
        outline.addRect(QRectF(x1 + half, y1 + half, x2 - x1 - 2 * half, y2 - y1 - 2 * half));
    painter_.fillPath(outline, pen_.brush());
}

void MImagePlus::DrawEllipse(float x1, float y1, float x2, float y2)
{
    rect_ = QRectF(x1, y1, x2 - x1 + 1.0f, y2 - y1 + 1.0f);
    if (!painter_.isActive())
        return;
    const QRectF outline(x1, y1, x2 - x1, y2 - y1);
    if (fill_) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(brush_);
        painter_.drawEllipse(outline.adjusted(-0.5, -0.5, 0.5, 0.5));
    }
    painter_.setPen(pen_);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(outline);
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
    // The metrics of the current font on the current device, made once for them.
    if (!metrics_)
        metrics_.emplace(device_ ? QFontMetricsF(font_, device_) : QFontMetricsF(font_));
    const float w = float(metrics_->horizontalAdvance(text)) + 2.0f * Padding(noFormat);
    rect_ = QRectF(0, 0, w, PixelsPerEm());
    return w;
}

float MImagePlus::TextHeight(const QString& text)
{
    const float w = TextWidth(text, false);
    rect_ = QRectF(0, 0, w, PixelsPerEm());
    return float(rect_.height());
}

QRectF MImagePlus::InkRect(const QString& text)
{
    const float w = TextWidth(text, false);
    const float h = PixelsPerEm();
    // Glyph outlines about the baseline origin, moved to where the drawing puts that origin.
    return metrics_->tightBoundingRect(text).translated(-w / 2.0f - 0.5f, -h / 2.0f + kAscentShare * h - 0.5f);
}

void MImagePlus::DrawText(float x, float y, const QString& text, bool noFormat)
{
    if (!painter_.isActive() || text.isEmpty())
        return;
    if (textLog_)
        textLog_->push_back({text, fontSize_, bold_, textColor_, false, x, y, 0.0f, noFormat});
    painter_.setFont(font_);
    painter_.setPen(textColor_);
    const float baseline = y + 3.0f + kAscentShare * PixelsPerEm();
    painter_.drawText(QPointF(x + Padding(noFormat) - 0.5f, baseline - 0.5f), text);
}

void MImagePlus::DrawTextCentred(float cx, float cy, const QString& text)
{
    // DrawText puts the box three pixels below the point it is given.
    DrawText(cx - TextWidth(text) / 2.0f, cy - PixelsPerEm() / 2.0f - 3.0f, text);
}

void MImagePlus::DrawTextRotated(float cx, float cy, const QString& text, float angle)
{
    if (!painter_.isActive() || text.isEmpty())
        return;
    if (textLog_)
        textLog_->push_back({text, fontSize_, bold_, textColor_, true, cx, cy, angle, false});
    const float w = TextWidth(text, false);
    const float h = PixelsPerEm();
    painter_.save();
    painter_.translate(cx, cy);
    painter_.rotate(-angle);
    // Turned text is drawn without smoothing, like the plain canvas text the chart layouts were made for.
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    QFont plain = font_;
    plain.setStyleStrategy(QFont::NoAntialias);
    painter_.setFont(plain);
    painter_.setPen(textColor_);
    painter_.drawText(QPointF(-w / 2.0f - 0.5f, -h / 2.0f + kAscentShare * h - 0.5f), text);
    painter_.restore();
}
