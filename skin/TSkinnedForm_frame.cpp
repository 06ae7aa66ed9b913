// The painted frame: geometry from the skin, the borders, the title bar with icon, caption text and caption
// buttons, and the window region that leaves out the borders' magenta pixels.
#include "TSkinnedForm.h"

#include "SkinCaptionRules.h"
#include "SkinDraw.h"
#include "SkinImage.h"
#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinnedMenu.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

QColor toQColor(quint32 colour)
{
    colour = ResolveColor(colour);
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int frames(const TDataSkinObject &o)
{
    return std::max(o.Frame, 1);
}

bool isIconAction(int action)
{
    return action == 3 || action == 11 || action == 12;
}

} // namespace

const TDataSkinBorder *TSkinnedForm::border(int kind) const
{
    switch (kind) {
    case 1: return &data_->Left;
    case 2: return &data_->Right;
    case 3: return &data_->Top;
    default: return &data_->Bottom;
    }
}

QFont TSkinnedForm::captionFont() const
{
    // What the skin leaves open comes from the window's font, as a painter on the window would take it.
    return data_->CaptionFont.resolve(window_->font());
}

void TSkinnedForm::InitSkinData()
{
    if (!data_ || data_->Empty())
        return;
    if (frameKind_ == 2) {
        borders_ = {};
        menuBarHeight_ = 0;
    } else {
        borders_ = QMargins(data_->Left.Map.width() / frames(data_->Left), data_->Top.Map.height() / frames(data_->Top),
                            data_->Right.Map.width() / frames(data_->Right),
                            data_->Bottom.Map.height() / frames(data_->Bottom));
    }
    DeleteSysbtn();
    for (const auto &element : data_->SysButtons)
        buttons_.push_back(std::make_unique<TWinSysButton>(this, *element));
}

void TSkinnedForm::ResizeForm(bool keepClient)
{
    if (!window_)
        return;
    QMargins frame(borders_.left(), borders_.top() + menuBarHeight_, borders_.right(), borders_.bottom());
    if (dialogClass_ && !keepClient) {
        // A caption wider than the contents widens the dialog; the contents keep their size and move right by
        // half the extra width.
        const QSize client = window_->size() - QSize(applied_.left() + applied_.right(), 0);
        const int width = client.width() + frame.left() + frame.right();
        const int needed = data_->Title.LeftWidth +
                           QFontMetrics(captionFont(), window_.data()).horizontalAdvance(QStringLiteral("  ") +
                                                                              window_->windowTitle() + u' ') +
                           data_->Title.RightWidth;
        if (width < needed) {
            const int extra = needed - width;
            frame.setLeft(frame.left() + extra / 2);
            frame.setRight(frame.right() + extra - extra / 2);
            captionWidth_ = needed;
        }
    }
    applyFrame(frame);
    keepCaptionWidth();
}

void TSkinnedForm::keepCaptionWidth()
{
    // A dialog that sizes itself (a message box does, from its text alone) is held at the caption's width.
    if (!window_ || captionWidth_ <= 0 || window_->width() >= captionWidth_)
        return;
    QMetaObject::invokeMethod(this, [this] {
        if (!window_ || !frameless_ || window_->width() >= captionWidth_)
            return;
        window_->setMinimumWidth(captionWidth_);
        window_->setMaximumWidth(std::max(window_->maximumWidth(), captionWidth_));
        window_->resize(captionWidth_, window_->height());
    }, Qt::QueuedConnection);
}

QImage TSkinnedForm::borderPicture(int kind, QSize size) const
{
    const TDataSkinBorder *b = border(kind);
    const int count = frames(*b);
    const int index = (active_ || count == 1) ? 1 : 2;
    return GetHMap(size, b->Map, b->margins(), kind >= 3, b->Stretch != 1, count, index);
}

void TSkinnedForm::Drawborder(int kind, const QRect &rect, QPainter &p)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const QImage img = borderPicture(kind, rect.size());
    if (!img.isNull())
        p.drawImage(rect.topLeft(), img);
}

void TSkinnedForm::UpdateNc(QPainter &p)
{
    if (!window_ || !data_ || (skinState_ != 1 && skinState_ != 3) || frameKind_ == 2)
        return;
    const int W = window_->width(), H = window_->height();
    const int L = borders_.left(), T = borders_.top(), R = borders_.right(), B = borders_.bottom();
    if (windowState_ != 2) {
        Drawborder(1, QRect(0, 0, L, H), p);
        Drawborder(2, QRect(W - R, 0, R, H), p);
        Drawborder(4, QRect(L, H - B, W - L - R, B), p);
    }
    DrawFLine(p);
    if (menuBarHeight_ > 0) {
        const QRect bar(L, T, W - L - R, menuBarHeight_);
        if (menuBar_)
            menuBar_->DrawMenu(p, bar);
        else
            p.fillRect(bar, toQColor(data_->Colors[TSkinData::ButtonFace]));
    }
}

void TSkinnedForm::DrawFLine(QPainter &p)
{
    // Straight onto the window: its backing store already composes the frame off screen. The title element
    // covers only the strip between the side borders, whose columns run the window's full height.
    const int W = window_->width(), T = borders_.top();
    if (T <= 0 || W <= 0)
        return;
    const QRect inner(borders_.left(), 0, W - borders_.left() - borders_.right(), T);
    p.save();
    p.setClipRect(QRect(0, 0, W, T), Qt::IntersectClip);
    Drawborder(3, inner, p);
    DrawLine(p, inner);
    SetSysbtnRect();
    for (const auto &b : buttons_)
        drawButton(p, *b);
    p.restore();
}

void TSkinnedForm::DrawLine(QPainter &p, const QRect &inner)
{
    const TDataSkinTitle &t = data_->Title;
    const QString text = QStringLiteral("  ") + window_->windowTitle() + u' ';
    p.setFont(captionFont());
    const QFontMetrics fm = p.fontMetrics();
    const int textWidth = fm.horizontalAdvance(text) + t.TXTBackleft + t.TXTBackRight, textHeight = fm.height();
    const int align = rightToLeft_ ? 2 : t.TextAlignment;
    const int dx = align == 0   ? t.LeftWidth
                   : align == 1 ? (inner.width() - textWidth) / 2
                                : inner.width() - t.RightWidth - textWidth;
    const int dy = (inner.height() - textHeight) / 2 + t.TopHeight / 2;
    QRect r(inner.left() + dx, inner.top() + dy, textWidth, textHeight);
    // The text stops at the skin's right clip, and never runs under the right-aligned caption buttons.
    int clip = inner.left() + inner.width() - t.RightWidth;
    if (captionClipEdge_ > 5)
        clip = std::min(clip, captionClipEdge_ - 5);
    r.setRight(std::min(r.right(), clip - 1));
    if (frameKind_ == 3 && align == 0)
        r.setLeft(r.left() - 16); // a dialog frame has no icon
    captionRect_ = r;
    if (!t.Map.isNull())
        DrawRectTile(p, QRect(r.left(), inner.top(), r.width(), inner.height()), t.Map,
                     QMargins(t.TXTBackleft, 0, t.TXTBackRight, 0), false, true, frames(t), active_ ? 1 : 2);
    const QRect textRect = r.adjusted(t.TXTBackleft, 0, -t.TXTBackRight, 0);
    if (textRect.width() <= 0)
        return;
    const quint32 own = active_ ? t.ActiveText : t.InActiveText;
    const quint32 colour = own != TDataSkinTitle::NoRGB
                               ? own
                               : data_->Colors[active_ ? TSkinData::TitleTextActive : TSkinData::TitleTextNoActive];
    p.setPen(toQColor(colour));
    const QString shown = fm.horizontalAdvance(text) <= textRect.width()
                              ? text
                              : fm.elidedText(text, rightToLeft_ ? Qt::ElideLeft : Qt::ElideRight, textRect.width());
    p.drawText(textRect, Qt::TextSingleLine | Qt::AlignTop | (rightToLeft_ ? Qt::AlignRight : Qt::AlignLeft), shown);
}

QPixmap TSkinnedForm::windowIcon() const
{
    const QIcon icon = window_->windowIcon();
    return icon.isNull() ? QPixmap() : icon.pixmap(QSize(16, 16));
}

int TSkinnedForm::buttonFrame(const TWinSysButton &b) const
{
    if (frames(b.element) < 4)
        return 1;
    if (!b.enabled || !active_)
        return 4;
    return b.state;
}

void TSkinnedForm::drawButton(QPainter &p, const TWinSysButton &b) const
{
    const TDataSkinSysButton &e = b.element;
    if (!b.visible || e.Visibility == 100)
        return;
    if (isIconAction(e.Action)) {
        const QPixmap icon = windowIcon();
        if (!icon.isNull())
            p.drawPixmap(b.rect.topLeft(), icon);
        else if (!e.Map.isNull())
            DrawTranmap(p, b.rect, e.Map, SkinTransparent);
        return;
    }
    if (!e.Map.isNull())
        DrawRect1(p, b.rect, e.Map, true, frames(e), buttonFrame(b));
}

void TSkinnedForm::SysBtnVisible(int index)
{
    TWinSysButton &b = *buttons_.at(index);
    SysBtnWindow w;
    w.maximised = windowState_ == 1;
    w.active = active_;
    w.minBox = minBox_;
    w.maxBox = maxBox_;
    w.sysMenu = sysMenuBox_;
    w.dialogClass = dialogClass_;
    w.frameKind = frameKind_;
    w.hasMenuBar = menuBarHeight_ > 0;
    const int action = b.element.Action;
    const SysBtnShow s = SysBtnVisibility(b.element.Visibility, b.element.Visibility1, action, w, [&](int code) {
        return static_cast<long long>(SendSkinMessage(window_, SM_SysButtonVisible, code, action));
    });
    b.visible = s.visible;
    b.enabled = s.enabled;
}

void TSkinnedForm::SetSysbtnRect()
{
    SysBtnFrame f;
    f.windowWidth = window_->width();
    f.rightBorder = borders_.right();
    f.title = borders_.top();
    f.menuBarHeight = menuBarHeight_;
    f.menuBarMargin = data_->MenuBar ? data_->MenuBar->LeftWidth : -1;
    f.captionLeft = captionRect_.left();
    f.captionRight = captionRect_.left() + captionRect_.width();
    int clipEdge = 0;
    for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
        SysBtnVisible(i);
        TWinSysButton &b = *buttons_[i];
        const TDataSkinSysButton &e = b.element;
        const bool icon = isIconAction(e.Action);
        if (!b.visible || (e.Map.isNull() && !icon))
            continue;
        const QSize size = e.Map.isNull() ? QSize(16, 16)
                                          : QSize(e.Map.width() / (icon ? 1 : frames(e)), e.Map.height());
        b.rect = QRect(SysBtnPlace(e.Align, e.Xcoord, e.Ycoord, size, f, b.rect.topLeft()), size);
        if (e.Align == 1)
            clipEdge = std::max(clipEdge, b.rect.left());
    }
    captionClipEdge_ = clipEdge;
}

void TSkinnedForm::DrawSysbtn(TNCObject *button)
{
    if (window_ && button)
        window_->update(button->rect);
}

void TSkinnedForm::Cropwindow()
{
    if (!window_ || skinState_ == 6 || !frameSkinning_ || !frameless_)
        return;
    const QSize size = window_->size();
    if (size.isEmpty() || (size == lastCut_ && skinState_ != 3))
        return;
    window_->setMask(WindowRegion());
    lastCut_ = size;
}

QRegion TSkinnedForm::WindowRegion() const
{
    const int W = window_->width(), H = window_->height();
    const int L = borders_.left(), T = borders_.top(), R = borders_.right(), B = borders_.bottom();
    const TDataSkinBorder *sides[] = {&data_->Left, &data_->Right, &data_->Top, &data_->Bottom};
    if (std::none_of(std::begin(sides), std::end(sides), [](const TDataSkinBorder *b) { return b->Trans == 1; }))
        return QRegion(0, 0, W, H);
    QRegion region(L, T, W - L - R, H - T - B);
    if (frameKind_ == 2)
        return region;
    const auto cut = [&](int kind, QSize size, QPoint at, bool usePicture) {
        const QRect plain(at, size);
        if (!usePicture)
            return QRegion(plain);
        const QImage img = borderPicture(kind, size);
        return img.isNull() ? QRegion(plain) : BitmapToRegion(img, at.x(), at.y(), SkinTransparent, 1, 1, 1);
    };
    region += cut(1, QSize(L, H), QPoint(0, 0), data_->Left.Trans == 1 && H >= 2);
    region += cut(2, QSize(R, H), QPoint(W - R, 0), data_->Right.Trans == 1 && H >= 2);
    region += cut(4, QSize(W - L - R, B), QPoint(L, H - B), data_->Bottom.Trans == 1 && B >= 2);
    region += cut(3, QSize(W - L - R, T), QPoint(L, 0), data_->Top.Trans == 1 && T >= 2);
    return region;
}
