#include "TSkinnedMenu.h"

#include "SkinDraw.h"
#include "SkinImage.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

QColor toQColor(quint32 colour)
{
    colour = ResolveColor(colour);
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

constexpr int CaptionFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;

// The accelerator of a caption: the character after a single "&".
QChar accelerator(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toUpper();
        ++i;
    }
    return {};
}

// The one open menu of the program.
struct OpenMenu {
    QPointer<TSkinnedMenu> bar;
    QPointer<QMenu> popup;
    int open = -1;
    int next = -1; // the button whose menu opens once the closing one has gone
    QPoint lastMouse;
};

// Whether an open popup covers the screen point (the mouse is then on a menu, not on the bar under it).
bool onPopup(QPoint global)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QMenu *>(w) && w->isVisible() && w->geometry().contains(global))
            return true;
    return false;
}

OpenMenu &tracking()
{
    static OpenMenu t;
    return t;
}

TSkinManage *manager()
{
    return dynamic_cast<TSkinManage *>(SkinManager());
}

// Watches the program's events while a bar menu is open.
class TrackHook : public QObject {
public:
    static TrackHook &instance()
    {
        static TrackHook hook;
        return hook;
    }
    void install()
    {
        if (!installed_ && qApp) {
            qApp->installEventFilter(this);
            installed_ = true;
        }
    }
    void remove()
    {
        if (installed_ && qApp)
            qApp->removeEventFilter(this);
        installed_ = false;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        OpenMenu &t = tracking();
        TSkinnedMenu *bar = t.bar;
        if (!bar || !t.popup)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            // Every popup that opens while a bar menu is open (its submenus) is a menu of the bar.
            if (qobject_cast<QMenu *>(watched))
                if (TSkinManage *m = manager())
                    m->SetMenuKind(1);
            return false;
        case QEvent::KeyPress: {
            auto *menu = qobject_cast<QMenu *>(watched);
            if (!menu)
                return false;
            int key = static_cast<QKeyEvent *>(event)->key();
            if (menu->layoutDirection() == Qt::RightToLeft && (key == Qt::Key_Left || key == Qt::Key_Right))
                key = key == Qt::Key_Left ? Qt::Key_Right : Qt::Key_Left;
            switch (key) {
            case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Escape:
                t.next = -1;
                return false;
            case Qt::Key_Alt:
                bar->CancelMenu();
                return true;
            case Qt::Key_Right:
                if (QAction *a = menu->activeAction(); a && a->menu() && a->isEnabled())
                    return false; // the item's own submenu opens
                bar->MoveBy(1);
                return true;
            case Qt::Key_Left:
                if (menu != t.popup)
                    return false; // a submenu below the open menu closes
                bar->MoveBy(-1);
                return true;
            default:
                return false;
            }
        }
        case QEvent::MouseMove: {
            const QPoint global = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
            if (global == t.lastMouse || !qobject_cast<QMenu *>(watched))
                return false;
            t.lastMouse = global;
            if (onPopup(global))
                return false;
            TMenuBtn *b = bar->Window() ? bar->FindBtn(bar->Window()->mapFromGlobal(global)) : nullptr;
            if (b && b->index != t.open && b->submenu && b->enabled)
                bar->ClickButton(b);
            return false;
        }
        case QEvent::MouseButtonPress: {
            if (!qobject_cast<QMenu *>(watched) || !bar->Window())
                return false;
            const QPoint global = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
            TMenuBtn *b = onPopup(global) ? nullptr : bar->FindBtn(bar->Window()->mapFromGlobal(global));
            if (!b)
                return false;
            if (b->index == t.open)
                bar->CancelMenu();
            else
                bar->ClickButton(b);
            return true;
        }
        default:
            return false;
        }
    }

private:
    bool installed_ = false;
};

} // namespace

void TMenuBtn::Draw()
{
    owner->DrawSysbtn(this);
}

TSkinnedMenu::TSkinnedMenu(TSkinnedForm *form, QMenuBar *bar) : form_(form), bar_(bar)
{
    height_ = std::max(bar->sizeHint().height(), QFontMetrics(bar->font()).height() + 6);
    savedMin_ = bar->minimumHeight();
    savedMax_ = bar->maximumHeight();
    // Height 0, never hidden: a hidden menu bar switches its actions' shortcuts off.
    bar->setMinimumHeight(0);
    bar->setMaximumHeight(0);
    bar->installEventFilter(this);
    UpdataBtn();
}

TSkinnedMenu::~TSkinnedMenu()
{
    if (tracking().bar == this)
        CancelMenu();
    if (tracking().bar == this) {
        TrackHook::instance().remove();
        tracking() = OpenMenu();
    }
    if (bar_) {
        bar_->removeEventFilter(this);
        bar_->setMinimumHeight(savedMin_);
        bar_->setMaximumHeight(savedMax_);
    }
}

int TSkinnedMenu::LaidOutHeight(const QMenuBar *bar, int width)
{
    if (bar->isHidden())
        return 0;
    if (bar->isVisible() && bar->height() > 0)
        return bar->height();
    const int height = bar->heightForWidth(std::max(width, bar->minimumWidth()));
    return height >= 0 ? height : bar->sizeHint().height();
}

QMenuBar *TSkinnedMenu::MenuBarOf(QWidget *window)
{
    if (!window)
        return nullptr;
    if (auto *main = qobject_cast<QMainWindow *>(window))
        return qobject_cast<QMenuBar *>(main->menuWidget());
    return window->findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly);
}

bool TSkinnedMenu::Tracking()
{
    return tracking().bar && tracking().popup;
}

TSkinnedMenu *TSkinnedMenu::TrackingBar()
{
    return tracking().bar;
}

int TSkinnedMenu::OpenIndex()
{
    return Tracking() ? tracking().open : -1;
}

QMenu *TSkinnedMenu::OpenPopup()
{
    return Tracking() ? tracking().popup.data() : nullptr;
}

QWidget *TSkinnedMenu::Window() const
{
    return form_->Window();
}

QFont TSkinnedMenu::Font() const
{
    return bar_ ? bar_->font() : QApplication::font("QMenuBar");
}

int TSkinnedMenu::StartOffset(const TSkinData *data, int barWidth, bool rightToLeft)
{
    if (!data || !data->MenuBar)
        return 6;
    const int start = rightToLeft ? data->MenuBar->RightWidth + 8 : data->MenuBar->LeftWidth + 4;
    return start > barWidth ? 12 : start;
}

std::vector<QRect> TSkinnedMenu::Layout(const QRect &bar, int start, const std::vector<int> &widths, bool rtl)
{
    std::vector<QRect> rects(widths.size());
    if (bar.width() <= 0 || bar.height() <= 0)
        return rects;
    int x = rtl ? bar.left() + bar.width() - start : bar.left() + start;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (widths[i] < 0)
            continue;
        const int w = widths[i] == 0 ? 0 : widths[i] + 10;
        rects[i] = QRect(rtl ? x - w : x, bar.top(), w, bar.height() - 1);
        x += rtl ? -w : w;
    }
    return rects;
}

void TSkinnedMenu::UpdataBtn()
{
    if (form_->HotObject() && dynamic_cast<TMenuBtn *>(form_->HotObject()))
        form_->SetHotObject(nullptr);
    buttons_.clear();
    if (!bar_)
        return;
    int index = 0;
    for (QAction *a : bar_->actions()) {
        auto b = std::make_unique<TMenuBtn>(form_, this);
        b->index = index++;
        b->item = a;
        b->caption = a->isSeparator() ? QString() : a->text();
        b->enabled = a->isEnabled();
        b->visible = a->isVisible() && !a->isSeparator();
        b->submenu = a->menu();
        buttons_.push_back(std::move(b));
    }
    if (!barRect_.isEmpty())
        SetMenuRect(barRect_);
}

void TSkinnedMenu::SetMenuRect(const QRect &bar)
{
    if (bar.width() <= 0 || bar.height() <= 0)
        return;
    const bool rtl = Window() && Window()->layoutDirection() == Qt::RightToLeft;
    const QFontMetrics fm(Font(), Window());
    std::vector<int> widths;
    for (const auto &b : buttons_)
        widths.push_back(b->visible ? fm.size(CaptionFlags, b->caption).width() : -1);
    const std::vector<QRect> rects = Layout(bar, StartOffset(form_->Data(), bar.width(), rtl), widths, rtl);
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->rect = rects[i];
}

void TSkinnedMenu::DrawMenu(QPainter &p, const QRect &rect)
{
    TSkinData *data = form_->Data();
    if (rect.width() <= 0 || rect.height() <= 0 || !data || !Window())
        return;
    QImage strip(rect.size(), QImage::Format_ARGB32_Premultiplied);
    strip.setDotsPerMeterX(qRound(Window()->logicalDpiX() / 0.0254)); // text at the screen's size
    strip.setDotsPerMeterY(qRound(Window()->logicalDpiY() / 0.0254));
    QPainter sp(&strip);
    const QRect local(QPoint(0, 0), rect.size());
    if (const TDataSkinMenuBar *e = data->MenuBar.get(); e && !e->Map.isNull()) {
        const int frame = form_->IsActive() ? 1 : 2;
        if (e->Tile == 1)
            DrawRectTile(sp, local, e->Map, e->margins(), false, false, 2, frame);
        else
            DrawRect2(sp, local, e->Map, e->margins(), false, false, false, 2, frame);
    } else {
        sp.fillRect(local, toQColor(data->Colors[TSkinData::Menubar]));
    }
    barRect_ = rect;
    SetMenuRect(rect);
    sp.setFont(Font());
    const QColor text = toQColor(data->Colors[TSkinData::MenuBarText]);
    const QColor disabled = QApplication::palette().color(QPalette::Disabled, QPalette::WindowText);
    const QColor frame = toQColor(data->Colors[TSkinData::Hilight]);
    for (const auto &b : buttons_) {
        if (!b->visible || b->rect.isEmpty())
            continue;
        const QRect r = b->rect.translated(-rect.topLeft());
        if (b->enabled && (b->state == TNCObject::Hover || b->state == TNCObject::Pressed)) {
            sp.setPen(frame);
            sp.setBrush(Qt::NoBrush);
            sp.drawRect(r.adjusted(0, 0, -1, -1));
        }
        sp.setPen(b->enabled ? text : disabled);
        sp.drawText(r, CaptionFlags | Qt::AlignCenter, b->caption);
    }
    sp.end();
    p.drawImage(rect.topLeft(), strip);
}

TMenuBtn *TSkinnedMenu::FindBtn(QPoint pos) const
{
    for (const auto &b : buttons_)
        if (b->visible && !b->caption.isEmpty() && b->rect.contains(pos))
            return b.get();
    return nullptr;
}

TMenuBtn *TSkinnedMenu::FindButtonFromAccel(QChar key) const
{
    key = key.toUpper();
    for (const auto &b : buttons_)
        if (b->visible && b->enabled && !key.isNull() && accelerator(b->caption) == key)
            return b.get();
    return nullptr;
}

bool TSkinnedMenu::MouseDown(QPoint pos)
{
    TMenuBtn *b = FindBtn(pos);
    if (!b)
        return false;
    if (Window() && !Window()->isActiveWindow())
        Window()->activateWindow();
    if (tracking().bar == this && tracking().open == b->index) {
        CancelMenu();
        return true;
    }
    b->MouseDown();
    CheckMenu(b);
    return true;
}

bool TSkinnedMenu::CheckMenu(TMenuBtn *button)
{
    if (!button || !Window())
        return false;
    if (!button->submenu) {
        // A top-level command runs from the event loop, as a click on a native bar's command would.
        if (QPointer<QAction> a = button->item)
            QMetaObject::invokeMethod(a, [a] { if (a) a->activate(QAction::Trigger); }, Qt::QueuedConnection);
        button->state = TNCObject::Normal;
        button->Draw();
        return false;
    }
    if (!button->enabled)
        return false;
    OpenMenu &t = tracking();
    if (t.bar && t.popup)
        t.bar->CancelMenu();
    QMenu *menu = button->submenu;
    t = OpenMenu();
    t.bar = this;
    t.popup = menu;
    t.open = button->index;
    t.lastMouse = QCursor::pos();
    button->state = TNCObject::Pressed;
    form_->SetHotObject(button);
    button->Draw();
    if (TSkinManage *m = manager())
        m->SetMenuKind(1);
    // Under the button: its bottom-left corner, or for a right-to-left window the menu's right edge at the
    // button's bottom-right corner.
    QPoint at = Window()->mapToGlobal(QPoint(button->rect.left(), button->rect.bottom() + 1));
    if (Window()->layoutDirection() == Qt::RightToLeft)
        at = Window()->mapToGlobal(QPoint(button->rect.right() + 1, button->rect.bottom() + 1)) -
             QPoint(menu->sizeHint().width(), 0);
    connect(menu, &QMenu::aboutToHide, this, &TSkinnedMenu::endTracking, Qt::UniqueConnection);
    TrackHook::instance().install();
    menu->popup(at);
    // A Down key highlights the first item (without opening a submenu of it).
    QCoreApplication::postEvent(menu, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    return true;
}

void TSkinnedMenu::endTracking()
{
    OpenMenu &t = tracking();
    if (t.bar != this)
        return;
    if (t.popup)
        disconnect(t.popup, &QMenu::aboutToHide, this, &TSkinnedMenu::endTracking);
    const int open = t.open, next = t.next;
    TrackHook::instance().remove();
    t = OpenMenu();
    if (TSkinManage *m = manager())
        m->SetMenuKind(0);
    if (open >= 0 && open < int(buttons_.size())) {
        TMenuBtn *b = buttons_[open].get();
        b->state = TNCObject::Normal;
        if (form_->HotObject() == b)
            form_->SetHotObject(nullptr);
        b->Draw();
    }
    if (next >= 0)
        QTimer::singleShot(0, this, [this, next] {
            if (next < int(buttons_.size()) && !Tracking())
                CheckMenu(buttons_[next].get());
        });
}

void TSkinnedMenu::ClickButton(TMenuBtn *button)
{
    if (!button)
        return;
    OpenMenu &t = tracking();
    if (t.bar == this && t.popup) {
        t.next = button->index;
        t.popup->close();
        return;
    }
    CheckMenu(button);
}

void TSkinnedMenu::MoveBy(int step)
{
    const int n = int(buttons_.size());
    const int open = tracking().bar == this ? tracking().open : -1;
    if (n == 0 || open < 0)
        return;
    for (int k = 1; k < n; ++k) {
        TMenuBtn *b = buttons_[((open + step * k) % n + n) % n].get();
        if (b->visible && b->enabled && b->submenu && !b->caption.isEmpty()) {
            ClickButton(b);
            return;
        }
    }
}

void TSkinnedMenu::CancelMenu()
{
    OpenMenu &t = tracking();
    if (t.bar != this)
        return;
    t.next = -1;
    // The open menu and any submenu of it.
    for (int guard = 0; guard < 16; ++guard) {
        auto *top = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!top)
            break;
        top->close();
    }
    if (t.popup)
        t.popup->close();
    endTracking();
}

void TSkinnedMenu::repaintBar()
{
    if (Window() && !barRect_.isEmpty())
        Window()->update(barRect_);
}

bool TSkinnedMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != bar_)
        return false;
    switch (event->type()) {
    case QEvent::Shortcut: {
        // Alt+letter: the drawn bar opens the menu; the collapsed bar never pops its own up.
        const QKeySequence key = static_cast<QShortcutEvent *>(event)->key();
        if (key.count() > 0)
            if (TMenuBtn *b = FindButtonFromAccel(QChar(key[0].key())))
                ClickButton(b);
        return true;
    }
    case QEvent::FocusIn:
        // Alt pressed and released alone puts the menu bar into its keyboard mode: it is led out of it (its
        // focus goes back where it was) and the drawn bar opens its first menu instead.
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MenuBarFocusReason)
            QTimer::singleShot(0, this, [this] {
                if (bar_ && bar_->hasFocus()) {
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QCoreApplication::sendEvent(bar_, &escape);
                    if (bar_->hasFocus())
                        bar_->clearFocus(); // nothing had the focus before
                }
                for (const auto &b : buttons_)
                    if (b->visible && b->enabled && b->submenu && !b->caption.isEmpty()) {
                        ClickButton(b.get());
                        break;
                    }
            });
        return false;
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
    case QEvent::ActionChanged:
        if (!updatePending_) {
            updatePending_ = true;
            QTimer::singleShot(0, this, [this] {
                updatePending_ = false;
                UpdataBtn();
                repaintBar();
            });
        }
        return false;
    default:
        return false;
    }
}
