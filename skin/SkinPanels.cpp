#include "SkinPanels.h"

#include "SkinDiscovery.h"
#include "SkinDraw.h"
#include "SkinEdits.h"
#include "SkinImage.h"
#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinnedForm.h"

#include <QAbstractItemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStyleOptionToolButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

// The protected style-option filler of a tool button, reached through a member pointer.
struct ToolButtonAccess : QToolButton {
    using QToolButton::initStyleOption;
};

QString plain(QString text)
{
    // A single "&" marks a mnemonic; "&&" is a literal ampersand.
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

QColor elementColour(const TDataSkinObject *element, int frame, const QColor &fallback)
{
    if (!element)
        return fallback;
    const int c = frame == 2 ? element->PressedColour : frame == 4 ? element->MouseOverColour : element->NormalColour;
    return c < 0 ? fallback : QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace

TSkinControl *CreateContainerSkin(SkinKind kind, QWidget *control)
{
    switch (kind) {
    case SkinKind::Tab: return new TSkinTab(control);
    case SkinKind::ToolButton: return new TSkinToolButton(control);
    case SkinKind::GroupBox: return new TSkinGroupBox(control);
    case SkinKind::ToolBar: return new TSkinToolbar(control);
    case SkinKind::StatusBar: return new TSkinStatusBar(control);
    case SkinKind::Header: return new TSkinHeader(control);
    case SkinKind::ScrollControl: return new TSkinScControl(control);
    case SkinKind::Combo: return new TSkinComBox(control);
    case SkinKind::DateTime: return new TSkinDateTime(control);
    case SkinKind::Edit: return new TSkinEdit(control);
    case SkinKind::Scrollbar: return new TSkinScrollbar(control);
    case SkinKind::Panel: return new TSkinBox(control);
    default: return nullptr;
    }
}

void DrawImgCaption(QPainter &p, const QRect &rect, const QString &text, const QIcon &icon, int alignment,
                    const QColor &colour)
{
    const QString shown = plain(text);
    const QFontMetrics fm(p.font());
    const int iconSize = icon.isNull() ? 0 : 16;
    const int gap = iconSize && !shown.isEmpty() ? 2 : 0;
    const int total = iconSize + gap + fm.horizontalAdvance(shown);
    int x = rect.left() + 4;
    if (alignment == 1)
        x = rect.left() + (rect.width() - total) / 2;
    else if (alignment == 2)
        x = rect.right() + 1 - 4 - total;
    if (iconSize)
        icon.paint(&p, QRect(x, rect.top() + (rect.height() - iconSize) / 2, iconSize, iconSize));
    p.save();
    p.setPen(colour);
    p.drawText(QRect(x + iconSize + gap, rect.top(), rect.right() - x - iconSize - gap + 1, rect.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    p.restore();
}

// ------------------------------------------------------------------------------------------------------ tabs

TSkinTab::TSkinTab(QWidget *control) : TSkinControl(control)
{
    if (auto *tw = qobject_cast<QTabWidget *>(control))
        bar_ = tw->tabBar();
    else
        bar_ = qobject_cast<QTabBar *>(control);
}

TSkinTab::~TSkinTab()
{
    if (bar_ && bar_ != control_)
        bar_->removeEventFilter(this);
}

QTabWidget *TSkinTab::tabWidget() const
{
    return qobject_cast<QTabWidget *>(control_.data());
}

void TSkinTab::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    if (!initialised_)
        return;
    inittab();
    closable_ = GetIntProperty(control_, SkinProps::Tag) == ClosableTabsTag && position_ == 0;
    if (bar_ && bar_ != control_) {
        bar_->installEventFilter(this);
        bar_->update();
    }
}

void TSkinTab::Unsubclass()
{
    if (bar_ && bar_ != control_) {
        bar_->removeEventFilter(this);
        bar_->update();
    }
    TSkinControl::Unsubclass();
}

void TSkinTab::SkinChange()
{
    TSkinControl::SkinChange();
    inittab();
    if (bar_)
        bar_->update();
}

void TSkinTab::inittab()
{
    position_ = 0;
    if (QTabWidget *tw = tabWidget()) {
        switch (tw->tabPosition()) {
        case QTabWidget::South: position_ = 1; break;
        case QTabWidget::West: position_ = 2; break;
        case QTabWidget::East: position_ = 3; break;
        default: break;
        }
    } else if (bar_) {
        switch (bar_->shape()) {
        case QTabBar::RoundedSouth:
        case QTabBar::TriangularSouth: position_ = 1; break;
        case QTabBar::RoundedWest:
        case QTabBar::TriangularWest: position_ = 2; break;
        case QTabBar::RoundedEast:
        case QTabBar::TriangularEast: position_ = 3; break;
        default: break;
        }
    }
    tab_ = QImage();
    pane_ = QImage();
    if (!data_ || !data_->Tabs)
        return;
    const TDataSkinBorder &tabs = *data_->Tabs;
    tab_ = tabs.Map.convertToFormat(QImage::Format_RGB32);
    if (tabs.Style == 0) {
        pane_ = tabs.Map2;
        paneMargins_ = QMargins(4, 5, 4, 4);
    } else if (data_->TabPane) {
        pane_ = data_->TabPane->Map;
        paneMargins_ = data_->TabPane->margins();
    }
    pane_ = pane_.convertToFormat(QImage::Format_RGB32);
    if (position_ == 1) {
        SpiegelnVertikal(tab_);
        SpiegelnVertikal(pane_);
    } else if (position_ == 2) {
        Drehen270Grad(pane_);
    } else if (position_ == 3) {
        Drehen90Grad(pane_);
    }
}

QRect TSkinTab::PaneRect() const
{
    QTabWidget *tw = tabWidget();
    if (!tw)
        return {};
    QRect r = tw->rect();
    if (!bar_ || !bar_->isVisible())
        return r;
    // The page area reaches one pixel under the tab row, so that the current tab joins it.
    const QRect b = bar_->geometry();
    switch (position_) {
    case 1: r.setBottom(b.top()); break;
    case 2: r.setLeft(b.right()); break;
    case 3: r.setRight(b.left()); break;
    default: r.setTop(b.bottom()); break;
    }
    return r;
}

QRect TSkinTab::CloseRect(int index) const
{
    return index >= 0 && index < int(closeRects_.size()) ? closeRects_[index] : QRect();
}

bool TSkinTab::BeforeProc(QEvent *event)
{
    if (!data_ || !data_->Tabs || tab_.isNull())
        return TSkinControl::BeforeProc(event);
    if (event->type() == QEvent::Paint) {
        if (tabWidget()) {
            WMPaint();
        } else if (bar_) {
            QPainter p(bar_);
            DrawStrip(p);
        }
        return false;
    }
    if (!tabWidget() && event->type() == QEvent::MouseButtonPress && closable_) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton && clickClose(me->position().toPoint()))
            return false;
    }
    return TSkinControl::BeforeProc(event);
}

bool TSkinTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != bar_ || bar_ == control_)
        return TSkinControl::eventFilter(watched, event);
    if (state_ != 1 || !active_ || !data_ || !data_->Tabs || tab_.isNull())
        return false;
    if (event->type() == QEvent::Paint) {
        QPainter p(bar_);
        DrawStrip(p);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && closable_) {
        auto *me = static_cast<QMouseEvent *>(event);
        return me->button() == Qt::LeftButton && clickClose(me->position().toPoint());
    }
    return false;
}

void TSkinTab::DrawControl(QPainter &p, const QRect &rect)
{
    // The page area; the rest of the control (beside a short tab row) shows the parent.
    FillParentBG(p, rect);
    if (!pane_.isNull())
        DrawRect2(p, PaneRect(), pane_, paneMargins_, false, false, false, 1, 1);
}

void TSkinTab::DrawStrip(QPainter &p)
{
    if (!bar_ || !data_ || !data_->Tabs)
        return;
    const TDataSkinBorder &tabs = *data_->Tabs;
    const QSize size = bar_->size();
    const bool turned = position_ >= 2;
    // Left and right tabs are composed as a top row and turned at the end.
    QImage strip(turned ? size.transposed() : size, QImage::Format_RGB32);
    QWidget *host = control_ ? control_.data() : bar_.data();
    strip.fill(host->palette().color(QPalette::Window));
    const int count = bar_->count();
    closeRects_.assign(count, QRect());
    {
        QPainter sp(&strip);
        sp.setFont(bar_->font());
        const QColor text = bar_->palette().color(QPalette::ButtonText);
        for (int i = 0; i < count; ++i) {
            const QRect r = bar_->tabRect(i);
            if (r.isEmpty())
                continue;
            QRect s = r;
            if (position_ == 2)
                s = QRect(size.height() - r.y() - r.height(), r.x(), r.height(), r.width());
            else if (position_ == 3)
                s = QRect(r.y(), size.width() - r.x() - r.width(), r.height(), r.width());
            const int frame = i == bar_->currentIndex() ? 2 : 1;
            DrawRect2(sp, s, tab_, tabs.margins(), false, tabs.Tile == 1, tabs.Trans == 1, tabs.Frame, frame);
            const QColor colour = elementColour(&tabs, frame == 2 ? 4 : 1, bar_->isTabEnabled(i) ? text : BtnShadow());
            QRect textRect = s;
            if (closable_) {
                const QRect mark(s.right() + 1 - 8, s.top() + 2, 6, 6);
                sp.setPen(colour);
                sp.drawLine(mark.topLeft(), mark.bottomRight());
                sp.drawLine(mark.topRight(), mark.bottomLeft());
                closeRects_[i] = mark;
                textRect.setRight(mark.left() - 1);
            }
            DrawImgCaption(sp, textRect, bar_->tabText(i), bar_->tabIcon(i), 1, colour);
        }
    }
    if (position_ == 3)
        Drehen90Grad(strip);
    else if (position_ == 2)
        Drehen270Grad(strip);
    p.drawImage(0, 0, strip);
}

bool TSkinTab::clickClose(QPoint at)
{
    for (int i = 0; i < int(closeRects_.size()); ++i) {
        if (!closeRects_[i].contains(at))
            continue;
        // The page goes only when the window says so.
        QWidget *window = form_ && form_->Window() ? form_->Window() : control_->window();
        const qintptr answer = SendSkinMessage(window, CN_TabClose, qintptr(control_.data()), i);
        if (answer == TabCloseFree) {
            if (QTabWidget *tw = tabWidget()) {
                QWidget *page = tw->widget(i);
                tw->removeTab(i);
                if (page)
                    page->deleteLater();
            } else if (bar_) {
                bar_->removeTab(i);
            }
        }
        return true;
    }
    return false;
}

// -------------------------------------------------------------------------------------------- group boxes

QRect TSkinGroupBox::CaptionRect() const
{
    auto *box = qobject_cast<QGroupBox *>(control_.data());
    if (!box || box->title().isEmpty())
        return {};
    const QFontMetrics fm(box->font());
    const int w = fm.horizontalAdvance(plain(box->title())) + 4;
    const Qt::Alignment a = QStyle::visualAlignment(box->layoutDirection(), box->alignment());
    const int x = a.testFlag(Qt::AlignRight) ? box->width() - 8 - w : 8;
    return QRect(x, 0, w, fm.height());
}

bool TSkinGroupBox::BeforeProc(QEvent *event)
{
    auto *box = qobject_cast<QGroupBox *>(control_.data());
    if (event->type() == QEvent::Paint && box && !box->isCheckable()) {
        WMPaint();
        return false;
    }
    return TSkinControl::BeforeProc(event);
}

void TSkinGroupBox::DrawControl(QPainter &p, const QRect &rect)
{
    auto *box = qobject_cast<QGroupBox *>(control_.data());
    if (!box)
        return;
    FillBG(p, rect);
    const int h = QFontMetrics(box->font()).height();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(SkinColor(TSkinData::ButtonShadow));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRect(1, h / 2 - 1, rect.width() - 3, rect.height() - h / 2 - 1), 2.5, 2.5);
    const QRect caption = CaptionRect();
    if (!caption.isEmpty()) {
        p.fillRect(caption, SkinColor(TSkinData::ButtonFace));
        p.setFont(box->font());
        p.setPen(box->palette().color(box->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, box->title());
    }
    p.restore();
}

// ------------------------------------------------------------------------------------------------- panels

void TSkinBox::Init(TSkinnedForm *form, TSkinData *data, bool)
{
    TSkinControl::Init(form, data, true);
}

// ------------------------------------------------------------------------------------------------ headers

TSkinHeader::~TSkinHeader()
{
    if (QWidget *v = viewport())
        v->removeEventFilter(this);
}

QWidget *TSkinHeader::viewport() const
{
    auto *h = qobject_cast<QHeaderView *>(control_.data());
    return h ? h->viewport() : nullptr;
}

void TSkinHeader::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    hot_ = -1;
    if (QWidget *v = viewport()) {
        v->setMouseTracking(true);
        v->installEventFilter(this);
        v->update();
    }
}

void TSkinHeader::Unsubclass()
{
    if (QWidget *v = viewport()) {
        v->removeEventFilter(this);
        v->update();
    }
    TSkinControl::Unsubclass();
}

void TSkinHeader::setHot(int item)
{
    if (item == hot_)
        return;
    hot_ = item;
    if (QWidget *v = viewport())
        v->update();
}

bool TSkinHeader::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *v = viewport();
    if (!v || watched != v)
        return TSkinControl::eventFilter(watched, event);
    if (state_ != 1 || !active_ || !data_ || !data_->Headerbar || data_->Headerbar->Map.isNull())
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        QImage buffer(v->size(), QImage::Format_RGB32);
        {
            QPainter b(&buffer);
            Paint(b, v->rect());
        }
        QPainter p(v);
        p.drawImage(0, 0, buffer);
        return true;
    }
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        int hot = -1;
        for (const Item &item : items_)
            if (item.rect.contains(at))
                hot = item.logical;
        setHot(hot);
        return false;
    }
    case QEvent::Leave: setHot(-1); return false;
    default: return false;
    }
}

void TSkinHeader::Paint(QPainter &p, const QRect &rect)
{
    auto *h = qobject_cast<QHeaderView *>(control_.data());
    const TDataSkinObject *bar = data_ ? data_->Headerbar.get() : nullptr;
    if (!h || !bar)
        return;
    const bool horizontal = h->orientation() == Qt::Horizontal;
    const QAbstractItemModel *model = h->model();
    p.setFont(h->font());
    const QColor text = h->palette().color(QPalette::ButtonText);
    items_.clear();
    int end = 0;
    for (int visual = 0; visual < h->count(); ++visual) {
        const int logical = h->logicalIndex(visual);
        if (logical < 0 || h->isSectionHidden(logical))
            continue;
        const int at = h->sectionViewportPosition(logical);
        const int size = h->sectionSize(logical);
        const QRect r = horizontal ? QRect(at, 0, size, rect.height()) : QRect(0, at, rect.width(), size);
        end = std::max(end, horizontal ? r.right() + 1 : r.bottom() + 1);
        if (!r.intersects(rect))
            continue;
        const int frame = logical == hot_ ? 2 : 1;
        DrawRect2(p, r, bar->Map, bar->margins(), false, bar->Tile == 1, bar->Trans == 1, bar->Frame, frame);
        if (model) {
            // The whole text, however long.
            const QString caption = model->headerData(logical, h->orientation(), Qt::DisplayRole).toString();
            const QVariant alignValue = model->headerData(logical, h->orientation(), Qt::TextAlignmentRole);
            const Qt::Alignment a = alignValue.isValid() ? Qt::Alignment(alignValue.toInt()) : h->defaultAlignment();
            const int alignment = a.testFlag(Qt::AlignRight) ? 2 : a.testFlag(Qt::AlignHCenter) ? 1 : 0;
            const QVariant deco = model->headerData(logical, h->orientation(), Qt::DecorationRole);
            const QIcon icon = deco.canConvert<QIcon>() ? deco.value<QIcon>() : QIcon();
            if (!caption.isEmpty())
                DrawImgCaption(p, r, caption, icon, alignment, text);
        }
        items_.push_back({logical, r.adjusted(3, 0, -3, 0)});
    }
    // The room after the last section.
    const QRect room = horizontal ? QRect(end, 0, rect.width() - end, rect.height())
                                  : QRect(0, end, rect.width(), rect.height() - end);
    DrawRect2(p, room, bar->Map, bar->margins(), false, bar->Tile == 1, bar->Trans == 1, bar->Frame, 1);
}

// ------------------------------------------------------------------------------------------- status bars

TSkinStatusBar::~TSkinStatusBar()
{
    for (const QPointer<QWidget> &w : watched_)
        if (w)
            w->removeEventFilter(this);
}

void TSkinStatusBar::Init(TSkinnedForm *form, TSkinData *data, bool parentBackground)
{
    if (initialised_)
        return;
    TSkinControl::Init(form, data, parentBackground);
    watchChildren();
}

void TSkinStatusBar::Unsubclass()
{
    for (const QPointer<QWidget> &w : watched_)
        if (w) {
            w->removeEventFilter(this);
            w->update();
        }
    watched_.clear();
    TSkinControl::Unsubclass();
}

void TSkinStatusBar::watchChildren()
{
    // Text panels and the size grip are painted by the bar's skin.
    for (QObject *o : control_->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || !(qobject_cast<QLabel *>(w) || qobject_cast<QSizeGrip *>(w)))
            continue;
        if (std::find(watched_.begin(), watched_.end(), w) != watched_.end())
            continue;
        w->installEventFilter(this);
        watched_.emplace_back(w);
        w->update();
    }
}

int TSkinStatusBar::BevelFrame(const QWidget *panel)
{
    auto *f = qobject_cast<const QFrame *>(panel);
    if (!f || f->frameShape() == QFrame::NoFrame)
        return 3;
    return f->frameShadow() == QFrame::Sunken ? 1 : f->frameShadow() == QFrame::Raised ? 2 : 3;
}

void TSkinStatusBar::drawBevel(QPainter &p, const QRect &rect, int frame) const
{
    const TDataSkinObject *edges = data_->StatusBarEdges.get();
    if (edges && !edges->Map.isNull()) {
        DrawRect2(p, rect, edges->Map, edges->margins(), false, edges->Tile == 1, edges->Trans == 1, 3, frame);
        return;
    }
    if (frame == 3)
        return;
    const QColor shadow = WinColor(SysColorBit | COLOR_BTNSHADOW), light = WinColor(SysColorBit | COLOR_BTNHIGHLIGHT);
    const QColor topLeft = frame == 1 ? shadow : light, bottomRight = frame == 1 ? light : shadow;
    p.save();
    p.setPen(topLeft);
    p.drawLine(rect.topLeft(), rect.topRight());
    p.drawLine(rect.topLeft(), rect.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(rect.bottomLeft(), rect.bottomRight());
    p.drawLine(rect.topRight(), rect.bottomRight());
    p.restore();
}

bool TSkinStatusBar::BeforeProc(QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watchChildren();
        WMPaint();
        return false;
    }
    return TSkinControl::BeforeProc(event);
}

void TSkinStatusBar::DrawControl(QPainter &p, const QRect &rect)
{
    auto *bar = qobject_cast<QStatusBar *>(control_.data());
    if (!bar)
        return;
    FillBG(p, rect);
    const QColor text = elementColour(data_->StatusBarEdges.get(), 1, bar->palette().color(QPalette::WindowText));
    const QString message = bar->currentMessage();
    if (!message.isEmpty()) {
        drawBevel(p, rect, 1);
        p.setFont(bar->font());
        p.setPen(text);
        const Qt::Alignment a = bar->isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft;
        p.drawText(rect.adjusted(2, 0, -2, 0), a | Qt::AlignVCenter | Qt::TextSingleLine, message);
        return;
    }
    std::vector<QWidget *> panels;
    for (QObject *o : bar->children())
        if (auto *w = qobject_cast<QWidget *>(o); w && w->isVisible() && !w->isWindow() && !qobject_cast<QSizeGrip *>(w))
            panels.push_back(w);
    std::sort(panels.begin(), panels.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
    for (size_t i = 0; i < panels.size(); ++i) {
        QRect r = panels[i]->geometry().adjusted(0, 0, 2, 0);
        if (i + 1 == panels.size())
            r.setRight(rect.right());
        drawBevel(p, r, BevelFrame(panels[i]));
    }
}

bool TSkinStatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == control_)
        return TSkinControl::eventFilter(watched, event);
    if (event->type() != QEvent::Paint || state_ != 1 || !active_ || !data_)
        return false;
    auto *bar = qobject_cast<QStatusBar *>(control_.data());
    if (auto *grip = qobject_cast<QSizeGrip *>(watched)) {
        QPainter p(grip);
        p.fillRect(grip->rect(), SkinColor(TSkinData::ButtonFace));
        const TDataSkinObject *extra = data_->ExtraImages.get();
        if (bar && bar->isSizeGripEnabled() && extra && !extra->Map.isNull()) {
            const QRect f = SkinFrameRect(extra->Map, extra->Frame, 5);
            const QRect at(grip->width() - f.width(), grip->height() - f.height(), f.width(), f.height());
            DrawRect1(p, at, extra->Map, true, extra->Frame, 5);
        }
        return true;
    }
    auto *label = qobject_cast<QLabel *>(watched);
    if (!label || !label->pixmap().isNull() || !bar)
        return false;
    // The panel's text over the bevel the bar painted, 2 pixels in from both sides.
    QPainter p(label);
    p.setFont(label->font());
    p.setPen(elementColour(data_->StatusBarEdges.get(), 1, label->palette().color(QPalette::WindowText)));
    QString text = label->text();
    if (Qt::mightBeRichText(text)) {
        QTextDocument doc;
        doc.setHtml(text);
        text = doc.toPlainText();
    }
    const Qt::Alignment a = QStyle::visualAlignment(label->layoutDirection(), label->alignment());
    p.drawText(label->rect().adjusted(2, 0, -2, 0), (a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine,
               text);
    return true;
}

// -------------------------------------------------------------------------------------------- tool bars

bool TSkinToolbar::BeforeProc(QEvent *event)
{
    if (event->type() == QEvent::Paint && data_ && !data_->Options.contains(TSkinOption::xoToolbarBK)) {
        WMPaint();
        return false;
    }
    return TSkinControl::BeforeProc(event);
}

void TSkinToolbar::DrawControl(QPainter &p, const QRect &rect)
{
    if (data_->Options.contains(TSkinOption::xoToolbarBK))
        return;
    if (data_->Toolbar && !data_->Toolbar->Map.isNull()) {
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect, data_->Toolbar->Map);
        p.restore();
        return;
    }
    const quint32 first = Blend(0x808080, data_->GetCaptionColor(), 150);
    const quint32 second = Blend(data_->Colors[TSkinData::ButtonFace], 0xFFFFFF, 150);
    GradFill(p, rect, second, first, true);
}

int TSkinToolButton::Frame() const
{
    auto *b = qobject_cast<QToolButton *>(control_.data());
    if (!b || !data_ || !data_->ToolBars || data_->ToolBars->Map.isNull() || (form_ && form_->SkinState() != 1))
        return 0;
    if (b->isDown() || b->isChecked())
        return 2;
    if (!b->isEnabled())
        return 0;
    if (b->underMouse() || b->hasFocus())
        return 4;
    return 0;
}

bool TSkinToolButton::BeforeProc(QEvent *event)
{
    if (!data_ || !data_->ToolBars || data_->ToolBars->Map.isNull())
        return TSkinControl::BeforeProc(event);
    switch (event->type()) {
    case QEvent::Paint: WMPaint(); return false;
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: Invalidate(); return true;
    default: return TSkinControl::BeforeProc(event);
    }
}

void TSkinToolButton::DrawControl(QPainter &p, const QRect &rect)
{
    auto *b = qobject_cast<QToolButton *>(control_.data());
    if (!b)
        return;
    const int frame = Frame();
    const TDataSkinObject &e = *data_->ToolBars;
    if (frame)
        DrawRect2(p, rect.adjusted(1, 1, -1, -1), e.Map, e.margins(), false, e.Tile == 1, e.Trans == 1, 5, frame);
    QStyleOptionToolButton opt;
    (b->*(&ToolButtonAccess::initStyleOption))(&opt);
    const QColor colour = elementColour(&e, frame ? frame : 1, opt.palette.color(QPalette::ButtonText));
    opt.palette.setColor(QPalette::ButtonText, colour);
    opt.palette.setColor(QPalette::WindowText, colour);
    opt.rect = rect;
    b->style()->drawControl(QStyle::CE_ToolButtonLabel, &opt, &p, b);
}
