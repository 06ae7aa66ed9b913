#include "TSkinControl.h"

#include "SkinDraw.h"
#include "SkinImage.h"
#include "SkinMessages.h"
#include "TSkinData.h"

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>

QString GetStringProp(const QObject *object, const char *name)
{
    if (!object)
        return {};
    const QVariant v = object->property(name);
    return v.canConvert<QString>() ? v.toString() : QString();
}

int GetIntProperty(const QObject *object, const char *name)
{
    if (!object)
        return -1;
    bool ok = false;
    const int value = object->property(name).toInt(&ok);
    return ok ? value : -1;
}

bool GetBoolProp(const QObject *object, const char *name)
{
    return object && object->property(name).toBool();
}

TSkinControl::TSkinControl(QWidget *control) : control_(control)
{
    if (control)
        connect(control, &QObject::destroyed, this, &TSkinControl::controlDestroyed);
}

TSkinControl::~TSkinControl()
{
    if (control_)
        control_->removeEventFilter(this);
}

void TSkinControl::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_ || !control_ || !data)
        return;
    form_ = form;
    data_ = data;
    parentBackground_ = parentBackground;
    if (parentBackground_) {
        savedPaletteSet_ = control_->testAttribute(Qt::WA_SetPalette);
        savedPalette_ = control_->palette();
        QPalette pal = control_->palette();
        pal.setColor(QPalette::Window, SkinColor(TSkinData::ButtonFace));
        pal.setColor(QPalette::Button, SkinColor(TSkinData::ButtonFace));
        control_->setPalette(pal);
    }
    control_->installEventFilter(this);
    initialised_ = true;
    state_ = 1;
    Invalidate();
}

void TSkinControl::Unsubclass()
{
    if (!parentBackground_ || !control_)
        return;
    control_->setPalette(savedPaletteSet_ ? savedPalette_ : QPalette());
    if (!savedPaletteSet_)
        control_->setAttribute(Qt::WA_SetPalette, false);
}

void TSkinControl::SkinChange()
{
    if (parentBackground_ && control_) {
        QPalette pal = control_->palette();
        pal.setColor(QPalette::Window, SkinColor(TSkinData::ButtonFace));
        pal.setColor(QPalette::Button, SkinColor(TSkinData::ButtonFace));
        control_->setPalette(pal);
    }
    Invalidate();
}

void TSkinControl::controlDestroyed()
{
    // The control is past its own handling of its destruction: nothing of it may be touched any more.
    active_ = false;
    state_ = 6;
    parentBackground_ = false;
    Unsubclass();
    emit released(this);
    deleteLater();
}

bool TSkinControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != control_ || state_ != 1)
        return false;
    if (TSkinMessage *m = AsSkinMessage(event); m && m->number() == CN_SkinEnable) {
        active_ = m->wParam > 0;
        if (active_)
            Invalidate();
        else if (control_)
            control_->update();
        return true;
    }
    if (!active_)
        return false;
    if (!BeforeProc(event))
        return true;
    if (event->type() == QEvent::Paint) {
        // The control paints first, the skin then paints over it.
        Default(event);
        AfterProc(event);
        return true;
    }
    // Every other event runs on to the control (and to filters installed before this one); what AfterProc
    // asks for is a repaint, which comes after the control's own handling anyway.
    AfterProc(event);
    return false;
}

bool TSkinControl::BeforeProc(QEvent *event)
{
    if (TSkinMessage *m = AsSkinMessage(event); m && m->number() == CN_IsSkinned) {
        m->result = 1;
        return false;
    }
    return true;
}

void TSkinControl::AfterProc(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint: PaintOver(); break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::EnabledChange: Invalidate(); break;
    default: break;
    }
}

void TSkinControl::DrawControl(QPainter &, const QRect &) {}

bool TSkinControl::Default(QEvent *event)
{
    return control_ && static_cast<QObject *>(control_.data())->event(event);
}

void TSkinControl::Invalidate()
{
    if (control_)
        control_->update();
}

void TSkinControl::WMPaint()
{
    if (!control_ || control_->width() <= 0 || control_->height() <= 0)
        return;
    const qreal ratio = control_->devicePixelRatioF();
    QImage buffer(control_->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::transparent);
    {
        QPainter b(&buffer);
        DrawControl(b, control_->rect());
    }
    QPainter p(control_);
    p.drawImage(0, 0, buffer);
}

void TSkinControl::PaintOver()
{
    if (!control_ || control_->width() <= 0 || control_->height() <= 0)
        return;
    QPainter p(control_);
    DrawControl(p, control_->rect());
}

void TSkinControl::FillBG(QPainter &p, const QRect &rect) const
{
    p.fillRect(rect, SkinColor(TSkinData::ButtonFace));
}

void TSkinControl::FillParentBG(QPainter &p, const QRect &rect) const
{
    QWidget *parent = control_ ? control_->parentWidget() : nullptr;
    p.fillRect(rect, parent ? parent->palette().color(parent->backgroundRole()) : SkinColor(TSkinData::ButtonFace));
}

void TSkinControl::DrawSkinMap(QPainter &p, const QRect &rect, const TDataSkinObject &element, int count,
                               int frame) const
{
    DrawRect2(p, rect, element.Map, element.margins(), false, element.Tile == 1, element.Trans == 1, count, frame);
}

void TSkinControl::DrawSkinMap1(QPainter &p, const QRect &rect, const QImage &strip, int count, int frame)
{
    DrawRect1(p, rect, strip, true, count, frame);
}

QColor TSkinControl::WinColor(quint32 colour)
{
    colour = ResolveColor(colour);
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QColor TSkinControl::SkinColor(int colourName) const
{
    if (!data_ || colourName < 0 || colourName >= TSkinData::ColourCount)
        return WinColor(SysColorBit | COLOR_BTNFACE);
    return WinColor(data_->Colors[colourName]);
}

QColor TSkinControl::BtnShadow()
{
    return WinColor(SysColorBit | COLOR_BTNSHADOW);
}

void TSkinControl::SetTransparentFromTag()
{
    transparent_ = GetIntProperty(control_, SkinProps::Tag) == 5555 ||
                   (data_ && data_->Options.contains(TSkinOption::xoTransparent));
}

void TSkinControl::DrawFocusRect(QPainter &p, const QRect &rect) const
{
    p.save();
    QPen pen(control_ ? control_->palette().color(QPalette::WindowText) : QColor(Qt::black));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(0, 0, -1, -1));
    p.restore();
}
