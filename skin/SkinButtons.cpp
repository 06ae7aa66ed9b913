#include "SkinButtons.h"

#include "SkinDraw.h"
#include "TSkinData.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolButton>

namespace {

QString BreakOnce(QString text)
{
    const qsizetype at = text.indexOf(QLatin1String("||"));
    if (at >= 0)
        text.replace(at, 2, QLatin1Char('\n'));
    return text;
}

// A centred block of size inside rect, one pixel above the exact middle.
int CentreTop(const QRect &rect, int height)
{
    return rect.top() + (rect.height() - height) / 2 - 1;
}

} // namespace

// ---------------------------------------------------------------------------------------------- push button

void TSkinButton::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    SetTransparentFromTag();
}

bool TSkinButton::HasPicture() const
{
    return data_ && !data_->Buttons.Map.isNull();
}

int TSkinButton::ButtonState() const
{
    if (!control_ || !control_->isEnabled())
        return 3;
    if (mouse_ & Pressed)
        return 2;
    if (mouse_ & Hot)
        return 4;
    return control_->hasFocus() ? 5 : 1;
}

bool TSkinButton::BeforeProc(QEvent *event)
{
    if (!HasPicture())
        return TSkinControl::BeforeProc(event);
    switch (event->type()) {
    case QEvent::Paint: WMPaint(); return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            mouse_ |= Pressed;
            Invalidate();
        }
        return true;
    default: return TSkinControl::BeforeProc(event);
    }
}

void TSkinButton::AfterProc(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (mouse_ & Pressed) {
            mouse_ &= ~Pressed;
            Invalidate();
        }
        break;
    case QEvent::Enter:
    case QEvent::HoverEnter:
        if (control_ && control_->isEnabled() && !(mouse_ & Hot)) {
            mouse_ |= Hot;
            Invalidate();
        }
        break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
        mouse_ = 0;
        Invalidate();
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_Space && !k->isAutoRepeat()) {
            if (event->type() == QEvent::KeyPress)
                mouse_ |= Pressed;
            else
                mouse_ &= ~Pressed;
            Invalidate();
        }
        break;
    }
    default: TSkinControl::AfterProc(event); break;
    }
}

void TSkinButton::DrawBackground(QPainter &p, const QRect &rect)
{
    if (transparent_ && control_)
        DrawParentImage(control_, p);
    else
        FillBG(p, rect);
}

QColor TSkinButton::TextColor(int state) const
{
    if (state == 3)
        return BtnShadow();
    const TDataSkinButton &b = data_->Buttons;
    const int chosen = state == 1 ? b.NormalColour : state == 4 ? b.MouseOverColour : state == 2 ? b.PressedColour : -1;
    if (chosen >= 0)
        return WinColor(static_cast<quint32>(chosen));
    return control_->palette().color(QPalette::ButtonText);
}

int TSkinButton::DrawFace(QPainter &p, const QRect &rect)
{
    const int state = ButtonState();
    DrawBackground(p, rect);
    DrawSkinMap(p, rect, data_->Buttons, data_->Buttons.Frame, state);
    p.setFont(control_->font());
    return state;
}

void TSkinButton::DrawControl(QPainter &p, const QRect &rect)
{
    if (!HasPicture() || !control_)
        return;
    const int state = DrawFace(p, rect);
    p.setPen(TextColor(state));
    DrawBtnText(p, rect, Qt::AlignHCenter, GetStringProp(control_, SkinProps::Caption));
}

void TSkinButton::DrawBtnText(QPainter &p, const QRect &rect, Qt::Alignment alignment, const QString &text)
{
    const QRect inner = rect.adjusted(2, 2, -2, -2);
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic | int(alignment);
    const QString caption = BreakOnce(text);
    const QRect measured = p.fontMetrics().boundingRect(inner, flags, caption);
    QRect at(inner.left(), CentreTop(rect, measured.height()), inner.width(), measured.height());
    if (alignment & Qt::AlignHCenter)
        at = QRect(rect.left() + (rect.width() - measured.width()) / 2, at.top(), measured.width(), measured.height());
    p.drawText(at, flags, caption);
    if (control_ && control_->hasFocus() && !data_->Options.contains(TSkinOption::xoNoFocusRect) && !caption.isEmpty())
        DrawFocusRect(p, at.adjusted(-2, -2, 2, 2));
}

// -------------------------------------------------------------------------------------------- icon button

TSkinBitButton::Placement TSkinBitButton::LayoutGlyph(const QRect &client, QSize glyph, QSize text, int layout,
                                                      int margin, int spacing, bool centred)
{
    const bool across = layout == 0 || layout == 1; // glyph and text side by side
    const int size = across ? client.width() : client.height();
    const int g = across ? glyph.width() : glyph.height();
    const int t = across ? text.width() : text.height();
    if (g == 0 || t == 0)
        spacing = 0;
    if (margin == -1 || centred) {
        if (spacing == -1) {
            const int third = (size - g - t) / 3;
            margin = spacing = third;
        } else {
            margin = (size - g - spacing - t) / 2;
        }
    } else if (spacing == -1) {
        spacing = (size - margin - g - t) / 2;
    }
    int gAt = 0, tAt = 0;
    switch (layout) {
    case 1:
    case 3:
        gAt = size - margin - g;
        tAt = gAt - spacing - t;
        break;
    default:
        gAt = margin;
        tAt = margin + g + spacing;
        break;
    }
    Placement out;
    if (across) {
        const int gy = (client.height() - glyph.height() + 1) / 2, ty = (client.height() - text.height() + 1) / 2;
        out.glyph = QRect(client.left() + gAt, client.top() + gy, glyph.width(), glyph.height());
        out.text = QRect(client.left() + tAt, client.top() + ty, text.width(), text.height());
    } else {
        const int gx = (client.width() - glyph.width() + 1) / 2, tx = (client.width() - text.width() + 1) / 2;
        out.glyph = QRect(client.left() + gx, client.top() + gAt, glyph.width(), glyph.height());
        out.text = QRect(client.left() + tx, client.top() + tAt, text.width(), text.height());
    }
    return out;
}

void TSkinBitButton::DrawGlyphAndText(QPainter &p, const QRect &rect, const QString &caption, int layout,
                                      bool withGlyph, int state)
{
    const QIcon icon = withGlyph ? control_->property(SkinProps::Glyph).value<QIcon>() : QIcon();
    QSize glyph = icon.isNull() ? QSize() : control_->property("iconSize").toSize();
    if (!glyph.isValid())
        glyph = QSize(0, 0);
    const QString text = BreakOnce(caption);
    const bool across = layout == 0 || layout == 1;
    QRect room = rect.adjusted(2, 2, -2, -2);
    if (glyph.width() > 0) {
        if (across)
            room.setWidth(room.width() - glyph.width() - 2);
        else
            room.setHeight(room.height() - glyph.height() - 2);
    }
    const QSize textSize = text.isEmpty() ? QSize(0, 0)
                                          : p.fontMetrics().boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, text).size();
    int spacing = GetIntProperty(control_, SkinProps::Spacing);
    if (!control_->property(SkinProps::Spacing).isValid())
        spacing = 4; // the toolkit's own gap between an icon and its text
    const int margin = GetIntProperty(control_, SkinProps::Margin);
    const Placement at = LayoutGlyph(rect, glyph, textSize, layout, margin, spacing, false);
    if (glyph.width() > 0) {
        const QIcon::Mode mode = state == 3 ? QIcon::Disabled : QIcon::Normal;
        p.drawPixmap(at.glyph.topLeft(), icon.pixmap(glyph, p.device()->devicePixelRatioF(), mode));
    }
    if (!text.isEmpty()) {
        const int align = layout == 1 ? Qt::AlignRight : layout == 3 ? (Qt::AlignBottom | Qt::AlignHCenter) : Qt::AlignHCenter;
        p.drawText(at.text, align | Qt::TextWordWrap | Qt::TextShowMnemonic, text);
        if (control_->hasFocus() && !data_->Options.contains(TSkinOption::xoNoFocusRect))
            DrawFocusRect(p, at.text.adjusted(-2, -2, 2, 2));
    }
}

void TSkinBitButton::DrawControl(QPainter &p, const QRect &rect)
{
    if (!HasPicture() || !control_)
        return;
    const int state = DrawFace(p, rect);
    p.setPen(TextColor(state));
    int layout = GetIntProperty(control_, SkinProps::Layout);
    DrawGlyphAndText(p, rect, GetStringProp(control_, SkinProps::Caption), layout < 0 || layout > 3 ? 0 : layout,
                     true, state);
}

// -------------------------------------------------------------------------------------------- tool button

int TSkinSpeedButton::ButtonState() const
{
    if (!control_ || !control_->isEnabled())
        return 3;
    if (GetBoolProp(control_, SkinProps::Down) || (mouse_ & Pressed))
        return 2;
    return (mouse_ & Hot) ? 4 : 1;
}

void TSkinSpeedButton::DrawControl(QPainter &p, const QRect &rect)
{
    if (drawing_ || !HasPicture() || !control_ || rect.isEmpty())
        return;
    drawing_ = true;
    const int state = ButtonState();
    DrawBackground(p, rect);
    if (state == 2 || state == 4 || !GetBoolProp(control_, SkinProps::Flat))
        DrawSkinMap(p, rect, data_->Buttons, data_->Buttons.Frame, state);
    p.setFont(control_->font());
    p.setPen(TextColor(state));
    const int style = control_->property("toolButtonStyle").toInt();
    // An arrow button shows its arrow in the text colour in place of an icon, as the toolkit does.
    const auto *tool = qobject_cast<const QToolButton *>(control_.data());
    if (tool && tool->arrowType() != Qt::NoArrow && style == Qt::ToolButtonIconOnly) {
        const int half = std::max(2, std::min(rect.width(), rect.height()) / 4);
        const QPointF c = QRectF(rect).center() + (state == 2 ? QPointF(1, 1) : QPointF());
        const QPointF tip = tool->arrowType() == Qt::UpArrow     ? QPointF(0, -1)
                            : tool->arrowType() == Qt::DownArrow ? QPointF(0, 1)
                            : tool->arrowType() == Qt::LeftArrow ? QPointF(-1, 0)
                                                                 : QPointF(1, 0);
        const QPointF across(tip.y(), tip.x());
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(TextColor(state));
        p.drawPolygon(QPolygonF({c + tip * half, c - tip * half / 2 + across * half, c - tip * half / 2 - across * half}));
        p.restore();
        drawing_ = false;
        return;
    }
    int layout = GetIntProperty(control_, SkinProps::Layout);
    if (layout < 0 || layout > 3)
        layout = style == Qt::ToolButtonTextUnderIcon ? 2 : 0;
    // As the toolkit shows a tool button: an icon-only button without an icon shows its text.
    const bool hasIcon = !control_->property(SkinProps::Glyph).value<QIcon>().isNull();
    const bool textShown = !hasIcon || style == Qt::ToolButtonTextOnly || style == Qt::ToolButtonTextBesideIcon ||
                           style == Qt::ToolButtonTextUnderIcon;
    const QString caption = textShown ? GetStringProp(control_, SkinProps::Caption) : QString();
    const bool glyph = hasIcon && style != Qt::ToolButtonTextOnly;
    if (glyph)
        DrawGlyphAndText(p, rect, caption, layout, true, state);
    else
        DrawBtnText(p, rect, Qt::AlignHCenter, caption);
    drawing_ = false;
}

// -------------------------------------------------------------------------------------------- menu button

int TSkinMenuButton::ButtonState() const
{
    const int state = TSkinButton::ButtonState();
    return state == 5 ? 4 : state;
}

void TSkinMenuButton::DrawControl(QPainter &p, const QRect &rect)
{
    if (!HasPicture() || !control_)
        return;
    const int state = DrawFace(p, rect);
    const QColor ink = state == 3 ? BtnShadow() : control_->palette().color(QPalette::WindowText);
    p.setPen(ink);
    const QString text = BreakOnce(GetStringProp(control_, SkinProps::Caption));
    const QRect measured = p.fontMetrics().boundingRect(rect, Qt::TextExpandTabs | Qt::TextShowMnemonic, text);
    const int w = rect.width(), h = rect.height();
    p.drawText(QRect((w - measured.width()) / 2 + 2, (h - measured.height() + 1) / 2, measured.width(),
                     measured.height()),
               Qt::TextExpandTabs | Qt::TextShowMnemonic, text);
    p.setBrush(ink);
    p.drawPolygon(QPolygon({QPoint(w - 12, h / 2 + 2), QPoint(w - 15, h / 2 - 1), QPoint(w - 9, h / 2 - 1)}));
}

// --------------------------------------------------------------------------------- check box, radio button

void TSkinCheckBox::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    variant_ = Strip().isNull() ? 0 : 1;
    SetTransparentFromTag();
}

void TSkinCheckBox::SkinChange()
{
    variant_ = Strip().isNull() ? 0 : 1;
    TSkinControl::SkinChange();
}

const QImage &TSkinCheckBox::Strip() const
{
    static const QImage none;
    return data_ ? data_->Buttons.CheckMap : none;
}

int TSkinCheckBox::StripFrames() const
{
    return data_ ? std::max(1, data_->Buttons.CheckFrame) : 1;
}

int TSkinCheckBox::GlyphFrame() const
{
    Qt::CheckState check = GetBoolProp(control_, SkinProps::Checked) ? Qt::Checked : Qt::Unchecked;
    if (auto *box = qobject_cast<QCheckBox *>(control_.data()))
        check = box->checkState();
    const bool disabled = !control_ || !control_->isEnabled();
    const bool mixed = check == Qt::PartiallyChecked;
    int frame = check == Qt::Checked ? 2 : 1;
    if (disabled)
        frame += 2;
    if (mixed)
        frame = 4;
    if (StripFrames() == 12) {
        if (mixed)
            return disabled ? 12 : 9;
        frame = frame == 2 ? 5 : frame == 3 ? 4 : frame == 4 ? 8 : frame;
    }
    return frame;
}

int TSkinRadioButton::GlyphFrame() const
{
    int frame = GetBoolProp(control_, SkinProps::Checked) ? 2 : 1;
    if (!control_ || !control_->isEnabled())
        frame += 2;
    if (StripFrames() == 8)
        frame = frame == 2 ? 5 : frame == 3 ? 4 : frame == 4 ? 8 : frame;
    return frame;
}

const QImage &TSkinRadioButton::Strip() const
{
    static const QImage none;
    return data_ ? data_->Buttons.RadioMap : none;
}

int TSkinRadioButton::StripFrames() const
{
    return data_ ? std::max(1, data_->Buttons.RadioFrame) : 1;
}

bool TSkinCheckBox::BeforeProc(QEvent *event)
{
    if (!TSkinControl::BeforeProc(event))
        return false;
    if (event->type() == QEvent::Paint && variant_ == 1) {
        WMPaint();
        return false;
    }
    return true;
}

void TSkinCheckBox::AfterProc(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: Invalidate(); break;
    default: TSkinControl::AfterProc(event); break;
    }
}

void TSkinCheckBox::DrawControl(QPainter &p, const QRect &rect)
{
    const QImage &strip = Strip();
    if (strip.isNull() || !control_ || rect.isEmpty())
        return;
    const int count = StripFrames();
    const QSize glyph(strip.width() / count, strip.height());
    const bool rtl = control_->layoutDirection() == Qt::RightToLeft;
    const int gy = rect.top() + (rect.height() - glyph.height()) / 2;
    const QRect glyphRect(rtl ? rect.right() + 1 - glyph.width() : rect.left(), gy, glyph.width(), glyph.height());
    const QRect textRect = rtl ? QRect(rect.left(), rect.top(), glyphRect.left() - 2 - rect.left(), rect.height())
                               : QRect(glyphRect.right() + 3, rect.top(), rect.right() - glyphRect.right() - 2,
                                       rect.height());
    // A check box that does not fill its own background already stands on its parent's painting (a tab page,
    // a group box): filling it with the face colour would draw a box there.
    if (transparent_)
        DrawParentImage(control_, p);
    else if (control_->autoFillBackground())
        FillBG(p, rect);
    DrawRect1(p, glyphRect, strip, true, count, GlyphFrame());

    const QString caption = GetStringProp(control_, SkinProps::Caption);
    p.setFont(control_->font());
    p.setPen(control_->isEnabled() ? control_->palette().color(QPalette::WindowText) : BtnShadow());
    const int align = (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic;
    const QRect measured = p.fontMetrics().boundingRect(textRect, align, caption);
    const QRect at(measured.left(), textRect.top() + (textRect.height() - measured.height()) / 2, measured.width(),
                   measured.height());
    if (control_->hasFocus() && !caption.isEmpty())
        DrawFocusRect(p, at.adjusted(-2, -1, 2, 1));
    p.drawText(at, align, caption);
}
