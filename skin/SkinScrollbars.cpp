#include "SkinScrollbars.h"

#include "SkinDraw.h"
#include "SkinImage.h"
#include "TSkinData.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MinThumb = 8;
constexpr int NoRange = 9999999; // a bar without range computes as if it had this one
constexpr int StripFrames = 23;
constexpr int TrackFrames = 4;

// a * b / c rounded to the nearest; c is never 0 here.
int mulDiv(qint64 a, qint64 b, qint64 c)
{
    return int(std::llround(double(a) * double(b) / double(c)));
}

QColor colourOf(quint32 c)
{
    c = ResolveColor(c);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

bool horizontal(const QStyleOptionSlider &o)
{
    return o.orientation == Qt::Horizontal;
}

QRect across(const QStyleOptionSlider &o, int from, int to)
{
    const QRect r = o.rect;
    if (to <= from)
        return {};
    return horizontal(o) ? QRect(r.left() + from, r.top(), to - from, r.height())
                         : QRect(r.left(), r.top() + from, r.width(), to - from);
}

} // namespace

SkinScrollGeometry ComputeSkinScroll(int length, int arrow, int minimum, int maximum, int page, int position)
{
    SkinScrollGeometry g;
    g.length = std::max(length, 0);
    arrow = std::max(arrow, 0);
    if (g.length < 2 * arrow) {
        // Two arrows of half the bar each; nothing between them.
        g.arrow1 = g.arrow2 = g.length / 2;
        g.trackStart = g.trackEnd = g.arrow1;
        return g;
    }
    g.arrow1 = g.arrow2 = arrow;
    g.trackStart = arrow;
    g.trackEnd = g.length - arrow;
    const int track = g.trackLength();
    const qint64 span = std::max<qint64>(qint64(maximum) - minimum, 0);
    const qint64 at = std::clamp<qint64>(qint64(position) - minimum, 0, span);
    int thumb = 0, start = 0;
    if (page >= 1) {
        qint64 range = span + page - 1;
        if (range <= 0)
            range = NoRange;
        thumb = mulDiv(track, page - 1, range);
        if (thumb < MinThumb) {
            thumb = std::min(MinThumb, track);
            start = span > 0 ? mulDiv(track - thumb, at, span) : 0;
        } else {
            start = mulDiv(track, at, range);
        }
    } else {
        thumb = std::min(arrow, track);
        start = span > 0 ? mulDiv(track - thumb, at, span) : 0;
    }
    thumb = std::clamp(thumb, 0, track);
    start = std::clamp(start, 0, track - thumb);
    g.thumb = thumb > 0;
    g.thumbStart = g.trackStart + start;
    g.thumbEnd = g.thumbStart + thumb;
    return g;
}

int SkinScrollPart(const SkinScrollGeometry &g, int at)
{
    if (at < 0 || at >= g.length)
        return -1;
    if (at < g.arrow1)
        return 0;
    if (at >= g.length - g.arrow2)
        return 1;
    if (at < g.trackStart || at >= g.trackEnd)
        return -1;
    if (!g.thumb)
        return 2;
    return at < g.thumbStart ? 2 : at < g.thumbEnd ? 5 : 3;
}

// ------------------------------------------------------------------------------------------------- the style

namespace {

QStyle *freshBaseStyle()
{
    // The proxy owns its base: a fresh instance of the application's style, never the shared one.
    const QString name = QApplication::style() ? QApplication::style()->name() : QString();
    QStyle *s = name.isEmpty() ? nullptr : QStyleFactory::create(name);
    return s ? s : QStyleFactory::create(QStringLiteral("Fusion"));
}

} // namespace

TSkinScrollStyle::TSkinScrollStyle(TSkinData *data) : QProxyStyle(freshBaseStyle()), data_(data) {}

bool TSkinScrollStyle::Skinned() const
{
    return data_ && !data_->Empty() && data_->Scrollbar && !data_->Scrollbar->Map.isNull();
}

SkinScrollGeometry TSkinScrollStyle::Geometry(const QStyleOptionSlider &o) const
{
    const bool h = horizontal(o);
    const int length = h ? o.rect.width() : o.rect.height();
    const int arrow = h ? o.rect.height() : o.rect.width();
    const int position = o.upsideDown ? o.minimum + o.maximum - o.sliderPosition : o.sliderPosition;
    return ComputeSkinScroll(length, arrow, o.minimum, o.maximum, o.pageStep, position);
}

int TSkinScrollStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (Skinned()) {
        if (metric == PM_ScrollBarExtent)
            return data_->Scrollbar->Map.height();
        if (metric == PM_ScrollBarSliderMin)
            return MinThumb;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QRect TSkinScrollStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                                       const QWidget *widget) const
{
    const auto *o = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !o || !Skinned())
        return QProxyStyle::subControlRect(control, option, sub, widget);
    const SkinScrollGeometry g = Geometry(*o);
    switch (sub) {
    case SC_ScrollBarSubLine: return across(*o, 0, g.arrow1);
    case SC_ScrollBarAddLine: return across(*o, g.length - g.arrow2, g.length);
    case SC_ScrollBarGroove: return across(*o, g.trackStart, g.trackEnd);
    case SC_ScrollBarSlider: return g.thumb ? across(*o, g.thumbStart, g.thumbEnd) : QRect();
    case SC_ScrollBarSubPage: return across(*o, g.trackStart, g.thumb ? g.thumbStart : g.trackEnd);
    case SC_ScrollBarAddPage: return g.thumb ? across(*o, g.thumbEnd, g.trackEnd) : QRect();
    default: return {};
    }
}

QStyle::SubControl TSkinScrollStyle::hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                                           const QPoint &pos, const QWidget *widget) const
{
    const auto *o = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !o || !Skinned())
        return QProxyStyle::hitTestComplexControl(control, option, pos, widget);
    const QPoint at = pos - o->rect.topLeft();
    switch (SkinScrollPart(Geometry(*o), horizontal(*o) ? at.x() : at.y())) {
    case 0: return SC_ScrollBarSubLine;
    case 1: return SC_ScrollBarAddLine;
    case 2: return SC_ScrollBarSubPage;
    case 3: return SC_ScrollBarAddPage;
    case 5: return SC_ScrollBarSlider;
    default: return SC_None;
    }
}

void TSkinScrollStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                          QPainter *painter, const QWidget *widget) const
{
    const auto *o = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !o || !Skinned() || o->rect.isEmpty()) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // Composed off-screen, copied in one transfer.
    QImage buffer(o->rect.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter b(&buffer);
        QStyleOptionSlider local = *o;
        local.rect = QRect(QPoint(0, 0), o->rect.size());
        Paint(b, local);
    }
    painter->drawImage(o->rect.topLeft(), buffer);
}

void TSkinScrollStyle::Paint(QPainter &p, const QStyleOptionSlider &o) const
{
    if (!Skinned())
        return;
    const TSkinData &d = *data_;
    const bool h = horizontal(o);
    const bool enabled = o.state.testFlag(State_Enabled);
    const bool sunken = o.state.testFlag(State_Sunken);
    const bool hover = o.state.testFlag(State_MouseOver);
    const SkinScrollGeometry g = Geometry(o);
    p.fillRect(o.rect, colourOf(d.Colors[TSkinData::ButtonFace]));

    // The track between the arrows: frame 1, or 3 when the bar is disabled.
    const TDataSkinObject *track = (h ? d.HorzScroll : d.VertScroll).get();
    if (track) {
        const int tile = d.HorzScroll ? d.HorzScroll->Tile : track->Tile;
        DrawRect2(p, across(o, g.trackStart, g.trackEnd), track->Map, track->margins(), false, tile == 1,
                  track->Trans == 1, TrackFrames, enabled ? 1 : 3);
    }

    // The arrows: +1 while pressed, +3 while only hovered.
    const QImage &strip = d.Scrollbar->Map;
    const auto arrowFrame = [&](int base, SubControl sub) {
        if (!o.activeSubControls.testFlag(sub))
            return base;
        return sunken ? base + 1 : hover ? base + 3 : base;
    };
    DrawRect1(p, across(o, 0, g.arrow1), strip, true, StripFrames, arrowFrame(h ? 1 : 9, SC_ScrollBarSubLine));
    DrawRect1(p, across(o, g.length - g.arrow2, g.length), strip, true, StripFrames,
              arrowFrame(h ? 5 : 13, SC_ScrollBarAddLine));

    // The thumb and its grip, on enabled bars only.
    if (!enabled || !g.thumb)
        return;
    const bool active = o.activeSubControls.testFlag(SC_ScrollBarSlider);
    const int state = active && sunken ? 1 : active && hover ? 2 : 0;
    const QRect thumb = across(o, g.thumbStart, g.thumbEnd);
    const TDataSkinObject *hthumb = d.HorzScrollThumb.get();
    const TDataSkinObject *picture = h ? hthumb : d.VertScrollThumb.get();
    if (picture && hthumb)
        DrawRect2(p, thumb, picture->Map, picture->margins(), false, picture->Tile == 1, hthumb->Trans == 1,
                  hthumb->Frame, state + 1);
    const int grip = strip.height();
    if (g.thumbLength() + 2 > grip)
        DrawRect3(p, thumb, strip, true, StripFrames, (h ? 17 : 20) + state);
}

void TSkinScrollStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QScrollBar *>(widget)) {
        widget->setAttribute(Qt::WA_Hover, true);
        widget->installEventFilter(this);
    }
}

void TSkinScrollStyle::unpolish(QWidget *widget)
{
    if (qobject_cast<QScrollBar *>(widget))
        widget->removeEventFilter(this);
    QProxyStyle::unpolish(widget);
}

bool TSkinScrollStyle::eventFilter(QObject *watched, QEvent *event)
{
    // A thumb that fills its whole track has nowhere to go: a drag of it changes nothing.
    if (event->type() != QEvent::MouseMove || !Skinned())
        return false;
    auto *bar = qobject_cast<QScrollBar *>(watched);
    if (!bar || !bar->isSliderDown())
        return false;
    QStyleOptionSlider o;
    o.initFrom(bar);
    o.orientation = bar->orientation();
    o.minimum = bar->minimum();
    o.maximum = bar->maximum();
    o.pageStep = bar->pageStep();
    o.sliderPosition = bar->sliderPosition();
    o.upsideDown = bar->invertedAppearance();
    const SkinScrollGeometry g = Geometry(o);
    return g.thumb && g.thumbLength() >= g.trackLength();
}

// ------------------------------------------------------------------------------------------- bars and areas

namespace {

void relayoutArea(QScrollBar *bar)
{
    for (QWidget *w = bar->parentWidget(); w; w = w->parentWidget())
        if (auto *area = qobject_cast<QAbstractScrollArea *>(w)) {
            // Setting a policy lays the area out again with the bars' new thickness.
            area->setVerticalScrollBarPolicy(area->verticalScrollBarPolicy());
            return;
        }
}

} // namespace

TSkinScrollStyle *ScrollStyleOf(const QScrollBar *bar)
{
    return bar ? qobject_cast<TSkinScrollStyle *>(bar->style()) : nullptr;
}

bool SkinScrollBar(QScrollBar *bar, TSkinData *data)
{
    if (!bar || !data || ScrollStyleOf(bar))
        return false;
    auto *style = new TSkinScrollStyle(data);
    style->previous_ = bar->style() != QApplication::style() ? bar->style() : nullptr;
    style->setParent(bar);
    bar->setStyle(style);
    relayoutArea(bar);
    bar->update();
    return true;
}

bool UnskinScrollBar(QScrollBar *bar)
{
    TSkinScrollStyle *style = ScrollStyleOf(bar);
    if (!style)
        return false;
    bar->setStyle(style->previous_.data());
    style->deleteLater();
    relayoutArea(bar);
    bar->update();
    return true;
}

void PaintScrollAreaBorder(QPainter &p, QAbstractScrollArea *area, const TSkinData &data, bool border)
{
    if (!area)
        return;
    const QColor face = colourOf(data.Colors[TSkinData::ButtonFace]);
    p.save();
    p.setBrush(Qt::NoBrush);
    if (border && area->frameShape() != QFrame::NoFrame && area->frameWidth() > 0) {
        const QRect r = area->rect();
        p.setPen(colourOf(data.Colors[TSkinData::ButtonShadow]));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(face);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
    QScrollBar *hb = area->horizontalScrollBar();
    QScrollBar *vb = area->verticalScrollBar();
    if (hb && vb && hb->isVisible() && vb->isVisible()) {
        const QRect hr(hb->mapTo(area, QPoint(0, 0)), hb->size());
        const QRect vr(vb->mapTo(area, QPoint(0, 0)), vb->size());
        p.fillRect(QRect(QPoint(vr.left(), hr.top()), QPoint(vr.right(), hr.bottom())), face);
    }
    p.restore();
}
