#include "SkinBars.h"

#include "SkinDraw.h"
#include "SkinImage.h"
#include "TSkinData.h"

#include <QAbstractSpinBox>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QStyleOptionSpinBox>

#include <algorithm>

// ------------------------------------------------------------------------------------------------ progress

int TSkinProgress::FilledLength(int length, int minimum, int maximum, int value)
{
    if (length <= 0 || maximum <= minimum || value <= minimum)
        return 0;
    value = std::min(value, maximum);
    return static_cast<int>(static_cast<qint64>(length) * (value - minimum) / (qint64(maximum) - minimum));
}

bool TSkinProgress::BeforeProc(QEvent *event)
{
    if (event->type() == QEvent::Paint && data_ && data_->Progress && !data_->Progress->Map.isNull()) {
        WMPaint();
        return false;
    }
    return TSkinControl::BeforeProc(event);
}

void TSkinProgress::DrawControl(QPainter &p, const QRect &rect)
{
    const TDataSkinObject *bar = data_ ? data_->Progress.get() : nullptr;
    if (!bar || bar->Map.isNull() || !control_ || rect.isEmpty())
        return;
    const bool vertical = control_->property("orientation").toInt() == Qt::Vertical;
    const QSize work = vertical ? rect.size().transposed() : rect.size();
    QImage img(work, QImage::Format_RGB32);
    img.fill(SkinColor(TSkinData::ButtonFace));
    {
        QPainter q(&img);
        const int filled = FilledLength(work.width(), control_->property("minimum").toInt(),
                                        control_->property("maximum").toInt(), control_->property("value").toInt());
        if (bar->Style != 1) {
            DrawRect2(q, img.rect(), bar->Map, bar->margins(), false, false, true, 2, 1);
            if (filled > 0)
                DrawRect2(q, QRect(0, 0, filled, work.height()), bar->Map, bar->margins(), false, false, true, 2, 2);
        } else if (const TDataSkinObject *chunk = data_->ProgressChunk.get(); chunk && !chunk->Map.isNull()) {
            DrawRect2(q, img.rect(), bar->Map, bar->margins(), false, false, true, 1, 1);
            const int ch = chunk->Map.height();
            const int top = (work.height() - ch) / 2;
            if (filled > 0 && chunk->Tile != 1) {
                const QImage row = GetHMap(QSize(filled, work.height() - 4), chunk->Map,
                                           QMargins(chunk->LeftWidth, 0, chunk->RightWidth, 0), false, false, 1, 1);
                q.drawImage(2, 2, KeyedImage(row));
            } else if (filled > 0) {
                DrawBGbmp(q, QRect(chunk->LeftWidth + 2, top, filled, ch), KeyedImage(chunk->Map).convertToFormat(QImage::Format_ARGB32),
                          chunk->Map.rect());
            }
        }
    }
    if (vertical)
        Drehen270Grad(img);
    p.drawImage(rect.topLeft(), img);
}

// ----------------------------------------------------------------------------------------------- track bar

class TSkinTrackBar::Style : public QProxyStyle {
public:
    Style(TSkinTrackBar *skin, QStyle *base) : QProxyStyle(base), skin_(skin) {}

    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex *opt, QPainter *p,
                            const QWidget *w) const override
    {
        const auto *s = qstyleoption_cast<const QStyleOptionSlider *>(opt);
        if (cc != CC_Slider || !s || !skin_ || !skin_->Active() || skin_->State() != 1) {
            QProxyStyle::drawComplexControl(cc, opt, p, w);
            return;
        }
        const bool vertical = s->orientation == Qt::Vertical;
        if (s->subControls & SC_SliderTickmarks) {
            QStyleOptionSlider ticks(*s);
            ticks.subControls = SC_SliderTickmarks;
            QProxyStyle::drawComplexControl(cc, &ticks, p, w);
        }
        if (s->subControls & SC_SliderGroove)
            skin_->DrawTrack(*p, subControlRect(cc, s, SC_SliderGroove, w), vertical);
        if (s->subControls & SC_SliderHandle)
            skin_->Drawthumb(*p, subControlRect(cc, s, SC_SliderHandle, w), vertical);
    }

private:
    QPointer<TSkinTrackBar> skin_;
};

TSkinTrackBar::~TSkinTrackBar()
{
    Unsubclass();
}

void TSkinTrackBar::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_ || !control_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    if (control_->testAttribute(Qt::WA_SetStyle))
        savedStyle_ = control_->style();
    QStyle *base = QStyleFactory::create(control_->style()->name());
    if (!base)
        base = QStyleFactory::create(QStringLiteral("Fusion"));
    style_ = new Style(this, base);
    control_->setStyle(style_);
}

void TSkinTrackBar::Unsubclass()
{
    TSkinControl::Unsubclass();
    if (!style_)
        return;
    if (control_ && state_ != 6)
        control_->setStyle(savedStyle_);
    delete style_.data();
}

void TSkinTrackBar::SkinChange()
{
    TSkinControl::SkinChange();
}

void TSkinTrackBar::DrawTrack(QPainter &p, const QRect &channel, bool vertical) const
{
    const TDataSkinObject *track = data_ ? (vertical ? data_->TrackVert.get() : data_->Track.get()) : nullptr;
    if (!track || track->Map.isNull() || channel.isEmpty())
        return;
    const QImage &pic = track->Map;
    QRect at;
    QMargins caps;
    if (vertical) {
        const int w = pic.width();
        at = QRect(channel.left() + std::max(0, (channel.width() - w) / 2), channel.top(), w, channel.height());
        caps = QMargins(0, track->TopHeight, 0, track->BottomHeight);
    } else {
        const int h = pic.height();
        at = QRect(channel.left(), channel.top() + std::max(0, (channel.height() - h) / 2), channel.width(), h);
        caps = QMargins(track->LeftWidth, 0, track->RightWidth, 0);
    }
    DrawRect2(p, at, pic, caps, false, false, track->Trans == 1, 1, 1);
}

void TSkinTrackBar::Drawthumb(QPainter &p, const QRect &thumb, bool vertical) const
{
    if (!control_ || thumb.isEmpty())
        return;
    const TDataSkinObject *pic = data_ && vertical && data_->ThumbVert ? data_->ThumbVert.get()
                                 : data_                               ? data_->ThumbHorz.get()
                                                                       : nullptr;
    if (pic && !pic->Map.isNull())
        DrawSkinMap1(p, thumb, pic->Map, 5, 2);
    else
        p.fillRect(thumb, SkinColor(TSkinData::ButtonShadow));
}

// ------------------------------------------------------------------------------------------------- up-down

QRect TSkinUpDown::ButtonsRect() const
{
    auto *box = qobject_cast<QAbstractSpinBox *>(control_.data());
    if (!box || box->buttonSymbols() == QAbstractSpinBox::NoButtons)
        return {};
    QStyleOptionSpinBox opt;
    opt.initFrom(box);
    opt.frame = box->hasFrame();
    opt.buttonSymbols = box->buttonSymbols();
    opt.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp |
                      QStyle::SC_SpinBoxDown;
    opt.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    QStyle *s = box->style();
    return s->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxUp, box) |
           s->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxDown, box);
}

QRect TSkinUpDown::SkinnedRect() const
{
    QRect r = ButtonsRect();
    auto *box = qobject_cast<QAbstractSpinBox *>(control_.data());
    if (r.isEmpty() || !box || !box->hasFrame())
        return r;
    const int w = box->width(), h = box->height();
    if (r.top() < 3)
        r.setTop(3);
    if (h - 1 - r.bottom() < 3)
        r.setBottom(h - 4);
    if (w - 1 - r.right() < 3)
        r.setRight(w - 4);
    return r;
}

bool TSkinUpDown::vertical() const
{
    return !ForcedHorizontal;
}

int TSkinUpDown::HalfState(int kind) const
{
    if (!control_ || !control_->isEnabled())
        return 3;
    if (!(mouse_ & Pressed))
        return 1;
    const QRect r = SkinnedRect();
    const bool first = vertical() ? lastMouse_.y() - r.top() < r.height() / 2
                                  : lastMouse_.x() - r.left() < r.width() / 2;
    return (kind % 2 == 0) == first ? 2 : 1;
}

bool TSkinUpDown::BeforeProc(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *m = static_cast<QMouseEvent *>(event);
        if (m->button() == Qt::LeftButton && ButtonsRect().contains(m->position().toPoint())) {
            lastMouse_ = m->position().toPoint();
            mouse_ |= Pressed;
            Invalidate();
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (mouse_ & Pressed) {
            mouse_ &= ~Pressed;
            Invalidate();
        }
        return true;
    default: return TSkinControl::BeforeProc(event);
    }
}

void TSkinUpDown::AfterProc(QEvent *event)
{
    TSkinControl::AfterProc(event);
}

void TSkinUpDown::DrawControl(QPainter &p, const QRect &)
{
    const QRect own = ButtonsRect();
    const QRect r = SkinnedRect();
    if (own.isEmpty() || r.isEmpty())
        return;
    auto *box = qobject_cast<QAbstractSpinBox *>(control_.data());
    if (box && box->hasFrame())
        p.fillRect(own, control_->palette().color(QPalette::Base));
    QImage img(r.size(), QImage::Format_RGB32);
    img.fill(SkinColor(TSkinData::ButtonFace));
    {
        QPainter q(&img);
        const QRect local(QPoint(0, 0), r.size());
        QRect first, second;
        if (vertical()) {
            const int half = local.height() / 2;
            first = QRect(0, 0, local.width(), half);
            second = QRect(0, half, local.width(), local.height() - half);
        } else {
            const int half = local.width() / 2;
            first = QRect(0, 0, half, local.height());
            second = QRect(half, 0, local.width() - half, local.height());
        }
        const int k0 = vertical() ? 0 : 2;
        const TDataSkinBorder *element = data_ ? (vertical() ? data_->UpDownVert.get() : data_->UpDownHorz.get()) : nullptr;
        for (auto [rect, kind] : {std::pair{first, k0}, {second, k0 + 1}}) {
            if (element && !element->Map.isNull())
                DrawSkinButton(q, rect, kind, HalfState(kind));
            else
                DrawButton(q, rect, kind, HalfState(kind));
        }
    }
    p.drawImage(r.topLeft(), img);
}

void TSkinUpDown::DrawSkinButton(QPainter &p, const QRect &rect, int kind, int state) const
{
    const TDataSkinBorder &e = vertical() ? *data_->UpDownVert : *data_->UpDownHorz;
    const int frame = (kind >= 2 ? kind - 2 : kind) * 4 + state;
    DrawRect1(p, rect, e.Map, e.Trans == 1, e.Frame, frame);
    if (!e.Map2.isNull())
        DrawRect3(p, rect, e.Map2, true, e.Frame, frame);
}

void TSkinUpDown::DrawButton(QPainter &p, const QRect &rect, int kind, int state) const
{
    p.save();
    p.setBrush(SkinColor(state == 1 || state == 3 ? TSkinData::ButtonFace : TSkinData::ButtonShadow));
    p.setPen(SkinColor(TSkinData::ButtonDkShadow));
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    const int x = rect.left() + rect.width() / 2;
    const int y = rect.top() + rect.height() / 2 - (kind < 2 ? 2 : 0);
    // A small arrow of three pen lines pointing up, down, left or right.
    for (int i = 0; i < 3; ++i) {
        switch (kind) {
        case 0: p.drawLine(x - i, y + i, x + i, y + i); break;
        case 1: p.drawLine(x - i, y + 2 - i, x + i, y + 2 - i); break;
        case 2: p.drawLine(x + i, y - i, x + i, y + i); break;
        default: p.drawLine(x - i, y - i, x - i, y + i); break;
        }
    }
    p.restore();
}
