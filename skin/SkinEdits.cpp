#include "SkinEdits.h"

#include "SkinDraw.h"
#include "SkinPanels.h"
#include "SkinScrollbars.h"
#include "TSkinData.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTreeView>

namespace {

// The skinned system width of a scroll bar: the skin's own, else the style's.
int scrollWidth(const TSkinData *data)
{
    if (data && data->Scrollbar && !data->Scrollbar->Map.isNull())
        return data->Scrollbar->Map.height();
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void frameRing(QPainter &p, const QRect &rect, int inset, const QColor &colour)
{
    p.setPen(colour);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(inset, inset, -1 - inset, -1 - inset));
}

bool leftToRight(const QWidget *w)
{
    return w->layoutDirection() != Qt::RightToLeft;
}

} // namespace

// ------------------------------------------------------------------------------------------------- edits

void TSkinEdit::DrawControl(QPainter &p, const QRect &rect)
{
    auto *edit = qobject_cast<QLineEdit *>(control_.data());
    if (!edit || !edit->hasFrame())
        return;
    p.save();
    frameRing(p, rect, 0, SkinColor(TSkinData::ButtonShadow));
    frameRing(p, rect, 1, Qt::white);
    frameRing(p, rect, 2, Qt::white);
    p.restore();
}

// --------------------------------------------------------------------------------------------- combo boxes

TSkinComBox::~TSkinComBox()
{
    if (listBar_)
        UnskinScrollBar(listBar_);
}

void TSkinComBox::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    auto *combo = qobject_cast<QComboBox *>(control_.data());
    if (!initialised_ || !combo)
        return;
    combo->setAttribute(Qt::WA_Hover, true);
    // The field lies on the sunken edge's light middle: its text takes the text colour of fields, whatever the
    // skin's button text is, and a list-only field takes the field colour, whatever face a skinned panel around
    // it hands down (dark text on a dark face could not be read).
    ownPalette_ = combo->testAttribute(Qt::WA_SetPalette);
    savedPalette_ = combo->palette();
    QPalette pal = combo->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::ButtonText, pal.color(g, QPalette::Text));
        pal.setColor(g, QPalette::Button, pal.color(g, QPalette::Base));
    }
    combo->setPalette(pal);
    paletteSet_ = true;
    if (QAbstractItemView *view = combo->view()) {
        listBar_ = view->verticalScrollBar();
        if (!SkinScrollBar(listBar_, data_))
            listBar_ = nullptr;
    }
}

void TSkinComBox::Unsubclass()
{
    if (listBar_)
        UnskinScrollBar(listBar_);
    listBar_ = nullptr;
    if (paletteSet_ && control_) {
        control_->setPalette(ownPalette_ ? savedPalette_ : QPalette());
        if (!ownPalette_)
            control_->setAttribute(Qt::WA_SetPalette, false);
        paletteSet_ = false;
    }
    TSkinControl::Unsubclass();
}

int TSkinComBox::ButtonWidth() const
{
    return scrollWidth(data_);
}

QRect TSkinComBox::ButtonRect() const
{
    return buttonRect_;
}

int TSkinComBox::ButtonState() const
{
    auto *combo = qobject_cast<QComboBox *>(control_.data());
    if (!combo)
        return 1;
    if (!combo->isEnabled())
        return 3;
    const bool dropped = combo->view() && combo->view()->isVisible();
    if (dropped || (mouse_ & Pressed))
        return 2;
    if (combo->hasFocus() || (mouse_ & Hot))
        return 4;
    return 1;
}

QRect TSkinComBox::buttonRectFor(const QRect &rect) const
{
    const int w = ButtonWidth();
    return leftToRight(control_) ? QRect(rect.right() + 1 - w - 2, rect.top(), w, rect.height())
                                 : QRect(rect.left() + 2, rect.top(), w, rect.height());
}

bool TSkinComBox::BeforeProc(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        mouse_ |= Pressed;
        Invalidate();
        break;
    case QEvent::MouseButtonRelease:
        mouse_ &= ~Pressed;
        Invalidate();
        break;
    default: break;
    }
    return TSkinControl::BeforeProc(event);
}

void TSkinComBox::AfterProc(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::HoverMove:
    case QEvent::HoverEnter: {
        if (!control_->isEnabled())
            break;
        const QPoint at = event->type() == QEvent::MouseMove ? static_cast<QMouseEvent *>(event)->position().toPoint()
                                                              : static_cast<QHoverEvent *>(event)->position().toPoint();
        const bool hot = buttonRectFor(control_->rect()).contains(at);
        if (hot != bool(mouse_ & Hot)) {
            mouse_ ^= Hot;
            Invalidate();
        }
        break;
    }
    case QEvent::Leave:
    case QEvent::HoverLeave:
        if (mouse_ & Hot) {
            mouse_ &= ~Hot;
            Invalidate();
        }
        break;
    default: TSkinControl::AfterProc(event); break;
    }
}

void TSkinComBox::DrawControl(QPainter &p, const QRect &rect)
{
    const TDataSkinObject *button = data_ ? data_->ComboButton.get() : nullptr;
    if (!button || button->Map.isNull())
        return;
    const int state = ButtonState();
    if (button->Style == 1) {
        drawFlat(p, rect, state);
        return;
    }
    const bool ltr = leftToRight(control_);
    const int w = ButtonWidth();
    // The field's text stays the box's own: the area left of (right of, mirrored) the button is not drawn on.
    const QRect field = ltr ? QRect(QPoint(rect.left() + 2, rect.top() + 2), QPoint(rect.right() - w - 4, rect.bottom() - 2))
                            : QRect(QPoint(rect.left() + w + 4, rect.top() + 2), QPoint(rect.right() - 2, rect.bottom() - 2));
    p.save();
    p.setClipRegion(QRegion(rect).subtracted(QRegion(field)));
    buttonRect_ = buttonRectFor(rect);
    if (button->Style == 2) {
        const TDataSkinObject *picture = ltr ? button : data_->SunkEdge.get();
        if (picture)
            DrawRect2(p, rect, picture->Map, picture->margins(), false, picture->Tile == 1, picture->Trans == 1,
                      picture->Frame, state);
        p.restore();
        return;
    }
    if (const TDataSkinObject *edge = data_->SunkEdge.get())
        DrawRect2(p, rect, edge->Map, edge->margins(), false, edge->Tile == 1, edge->Trans == 1, edge->Frame, state);
    DrawRect1(p, buttonRect_, ltr ? button->Map : data_->ComboButtonRTL, true, button->Frame, state);
    if (const TDataSkinObject *extra = data_->ExtraImages.get(); extra && !extra->Map.isNull())
        DrawRect3(p, buttonRect_, extra->Map, true, extra->Frame, state);
    p.restore();
}

void TSkinComBox::drawFlat(QPainter &p, const QRect &rect, int)
{
    // The flat look: state 1, 3 disabled, 4 focused, 2 pressed, else 4 hot.
    auto *combo = qobject_cast<QComboBox *>(control_.data());
    int state = 1;
    if (!combo->isEnabled())
        state = 3;
    else if (combo->hasFocus())
        state = 4;
    else if (mouse_ & Pressed)
        state = 2;
    else if (mouse_ & Hot)
        state = 4;
    const TDataSkinObject &button = *data_->ComboButton;
    const int frameWidth = button.frameWidth();
    const int column = scrollWidth(data_);
    const bool ltr = leftToRight(control_);
    const QColor face = combo->palette().color(QPalette::Base);
    p.save();
    frameRing(p, rect, 1, face);
    const QRect inner = rect.adjusted(2, 2, -2, -2);
    p.fillRect(ltr ? QRect(inner.right() + 1 - column, inner.top(), column, inner.height())
                   : QRect(inner.left(), inner.top(), column, inner.height()),
               face);
    QRect picture = ltr ? QRect(inner.right() + 1 - frameWidth, inner.top(), frameWidth, inner.height())
                        : QRect(inner.left(), inner.top(), frameWidth, inner.height());
    if (button.Map.height() < column)
        picture = QRect(picture.left(), inner.top() + (inner.height() - button.Map.height()) / 2, frameWidth,
                        button.Map.height());
    frameRing(p, rect, 0, SkinColor(TSkinData::ButtonShadow));
    buttonRect_ = picture;
    DrawRect1(p, picture, button.Map, true, button.Frame, state);
    p.restore();
}

// -------------------------------------------------------------------------------------------- date edits

QRect TSkinDateTime::ArrowRect() const
{
    const int size = scrollWidth(data_);
    const int left = leftToRight(control_) ? control_->width() - size - 4 : 2;
    return QRect(left, 0, size, std::min(size + 1, control_->height()));
}

void TSkinDateTime::AfterProc(QEvent *event)
{
    auto *edit = qobject_cast<QDateTimeEdit *>(control_.data());
    if (edit && edit->calendarPopup() && (event->type() == QEvent::HoverMove || event->type() == QEvent::HoverLeave)) {
        const bool hot = event->type() == QEvent::HoverMove &&
                         ArrowRect().contains(static_cast<QHoverEvent *>(event)->position().toPoint());
        if (hot != hot_) {
            hot_ = hot;
            Invalidate();
        }
        return;
    }
    TSkinControl::AfterProc(event);
}

void TSkinDateTime::DrawControl(QPainter &p, const QRect &rect)
{
    auto *edit = qobject_cast<QDateTimeEdit *>(control_.data());
    if (!edit)
        return;
    p.save();
    if (edit->hasFrame()) {
        frameRing(p, rect, 0, SkinColor(TSkinData::ButtonShadow));
        frameRing(p, rect, 1, Qt::white);
    }
    const TDataSkinObject *arrow = data_ ? data_->ComboxArrow.get() : nullptr;
    if (edit->calendarPopup() && arrow && !arrow->Map.isNull()) {
        const QRect r = ArrowRect();
        p.fillRect(r, SkinColor(TSkinData::ButtonFace));
        DrawRect1(p, r, arrow->Map, arrow->Trans == 1, arrow->Frame, hot_ ? 4 : 1);
        // A button picture without a glyph of its own gets the skin's arrow glyph, as a combo box does.
        if (const TDataSkinObject *extra = data_->ExtraImages.get(); extra && !extra->Map.isNull())
            DrawRect3(p, r, extra->Map, true, extra->Frame, hot_ ? 4 : 1);
    }
    p.restore();
}

// ------------------------------------------------------------------------------------------- scroll areas

TSkinScrollbar::~TSkinScrollbar()
{
    for (const QPointer<TSkinHeader> &h : headers_)
        delete h.data();
}

void TSkinScrollbar::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    auto *area = qobject_cast<QAbstractScrollArea *>(control_.data());
    if (!initialised_ || !area)
        return;
    border_ = area->frameShape() != QFrame::NoFrame && variant_ != 1;
    SkinScrollBar(area->verticalScrollBar(), data_);
    SkinScrollBar(area->horizontalScrollBar(), data_);
    std::vector<QHeaderView *> headers;
    if (auto *tree = qobject_cast<QTreeView *>(area))
        headers.push_back(tree->header());
    if (auto *table = qobject_cast<QTableView *>(area)) {
        headers.push_back(table->horizontalHeader());
        headers.push_back(table->verticalHeader());
    }
    for (QHeaderView *h : headers) {
        if (!h)
            continue;
        auto *skin = new TSkinHeader(h);
        skin->setParent(this);
        skin->Init(form_, data_);
        headers_.emplace_back(skin);
    }
}

void TSkinScrollbar::Unsubclass()
{
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control_.data())) {
        UnskinScrollBar(area->verticalScrollBar());
        UnskinScrollBar(area->horizontalScrollBar());
    }
    for (const QPointer<TSkinHeader> &h : headers_)
        if (h) {
            h->Unsubclass();
            delete h.data();
        }
    headers_.clear();
    TSkinControl::Unsubclass();
}

void TSkinScrollbar::SkinChange()
{
    TSkinControl::SkinChange();
    // The new skin may bring other bar widths: the bars are given their style again.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control_.data()))
        for (QScrollBar *bar : {area->verticalScrollBar(), area->horizontalScrollBar()}) {
            UnskinScrollBar(bar);
            SkinScrollBar(bar, data_);
        }
    for (const QPointer<TSkinHeader> &h : headers_)
        if (h)
            h->SkinChange();
}

void TSkinScrollbar::DrawControl(QPainter &p, const QRect &)
{
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control_.data()))
        PaintScrollAreaBorder(p, area, *data_, border_);
}

void TSkinScControl::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    if (initialised_)
        SkinScrollBar(qobject_cast<QScrollBar *>(control_.data()), data_);
}

void TSkinScControl::Unsubclass()
{
    UnskinScrollBar(qobject_cast<QScrollBar *>(control_.data()));
    TSkinControl::Unsubclass();
}
