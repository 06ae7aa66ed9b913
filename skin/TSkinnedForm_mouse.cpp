// The mouse on the painted frame: hit codes and cursors, moving and resizing (by the window manager, or by
// hand when none takes it), caption buttons, caption double-clicks and the system menu.
#include "TSkinnedForm.h"

#include "SkinDraw.h"
#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedMenu.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

SkinWindowOps &windowOps()
{
    static SkinWindowOps ops;
    return ops;
}

bool systemMove(QWindow *w)
{
    if (!w)
        return false;
    return windowOps().startMove ? windowOps().startMove(w) : w->startSystemMove();
}

bool windowsPlaceThemselves()
{
    if (windowOps().placesWindows)
        return windowOps().placesWindows();
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool systemResize(QWindow *w, Qt::Edges edges)
{
    if (!w)
        return false;
    return windowOps().startResize ? windowOps().startResize(w, edges) : w->startSystemResize(edges);
}

Qt::Edges edgesOf(int hit)
{
    switch (hit) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

bool isIconAction(int action)
{
    return action == 3 || action == 11 || action == 12;
}

} // namespace

void TNCObject::MouseDown()
{
    if (TNCObject *hot = owner->HotObject(); hot && hot != this)
        hot->MouseLeave();
    if (enabled) {
        owner->SetHotObject(this);
        state = Pressed;
        Draw();
    }
}

void TNCObject::MouseUp()
{
    if (enabled) {
        state = Hover;
        Draw();
    }
}

void TNCObject::MouseEnter()
{
    TNCObject *hot = owner->HotObject();
    if (hot == this)
        return;
    if (hot)
        hot->MouseLeave();
    if (enabled) {
        owner->SetHotObject(this);
        state = Hover;
        Draw();
    }
}

void TNCObject::MouseLeave()
{
    if (enabled) {
        owner->SetHotObject(nullptr);
        state = Normal;
        Draw();
    }
}

void TWinSysButton::Draw()
{
    owner->DrawSysbtn(this);
}

void TSkinnedForm::SetWindowOps(SkinWindowOps ops)
{
    windowOps() = std::move(ops);
}

int TSkinnedForm::HitTest(QPoint pos) const
{
    if (!window_ || !window_->rect().contains(pos))
        return HTNOWHERE;
    if (window_->contentsRect().contains(pos))
        return HTCLIENT;
    const int W = window_->width(), H = window_->height(), T = borders_.top();
    if (sizable_ && windowState_ == 0) {
        // Edges are the border columns and rows; the title's top 4 pixels are its top edge. Within 8 pixels of
        // a corner an edge resizes both ways.
        const int grip = 8;
        bool left = pos.x() < borders_.left(), right = pos.x() >= W - borders_.right();
        bool top = pos.y() <= 3, bottom = pos.y() >= H - borders_.bottom();
        if (top || bottom) {
            left = left || pos.x() < grip;
            right = right || pos.x() >= W - grip;
        }
        if (left || right) {
            top = top || pos.y() < grip;
            bottom = bottom || pos.y() >= H - grip;
        }
        static const int codes[3][3] = {{HTTOPLEFT, HTTOP, HTTOPRIGHT},
                                        {HTLEFT, HTNOWHERE, HTRIGHT},
                                        {HTBOTTOMLEFT, HTBOTTOM, HTBOTTOMRIGHT}};
        const int code = codes[top ? 0 : bottom ? 2 : 1][left ? 0 : right ? 2 : 1];
        if (code != HTNOWHERE)
            return code;
    }
    if (pos.y() < T)
        return HTCAPTION;
    if (menuBarHeight_ > 0 && pos.y() < T + menuBarHeight_)
        return HTMENU;
    return HTBORDER;
}

TWinSysButton *TSkinnedForm::FindBtn(QPoint pos) const
{
    for (const auto &b : buttons_)
        if (b->visible && b->element.Action >= 0 && b->rect.contains(pos))
            return b.get();
    return nullptr;
}

void TSkinnedForm::ensureButtonsVisible()
{
    if (window_ && data_)
        SetSysbtnRect();
}

bool TSkinnedForm::frameMouse(QEvent *event)
{
    if (event->type() == QEvent::Leave) {
        if (!dragging_)
            setHitCursor(HTCLIENT);
        return false;
    }
    auto *me = static_cast<QMouseEvent *>(event);
    const QPoint pos = me->position().toPoint(), global = me->globalPosition().toPoint();
    if (!dragging_ && HitTest(pos) == HTCLIENT) {
        setHitCursor(HTCLIENT);
        if (hot_ && event->type() == QEvent::MouseMove) {
            hot_->MouseLeave();
            hot_ = nullptr;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (me->button() == Qt::LeftButton)
            pressFrame(pos, global);
        else if (me->button() == Qt::RightButton && HitTest(pos) == HTCAPTION && !FindBtn(pos))
            PopSysmenu(global);
        return true;
    case QEvent::MouseMove:
        moveFrame(pos, global, me->buttons());
        return true;
    case QEvent::MouseButtonRelease:
        if (me->button() == Qt::LeftButton)
            releaseFrame(pos, global);
        return true;
    case QEvent::MouseButtonDblClick:
        if (me->button() == Qt::LeftButton)
            doubleClickFrame(pos);
        return true;
    default:
        return false;
    }
}

void TSkinnedForm::pressFrame(QPoint pos, QPoint global)
{
    ensureButtonsVisible();
    if (TWinSysButton *b = FindBtn(pos)) {
        if (!active_)
            window_->activateWindow();
        b->MouseDown();
        return;
    }
    if (menuBar_ && menuBar_->MouseDown(pos))
        return;
    int hit = HitTest(pos);
    if (windowState_ == 1 && active_ && hit == HTCAPTION)
        hit = HTMENU; // a maximised window is not dragged
    pressHit_ = hit;
    pressGlobal_ = global;
    pressGeometry_ = window_->geometry();
    pressPos_ = window_->pos();
    manualDrag_ = false;
    if (const Qt::Edges edges = edgesOf(hit)) {
        dragging_ = !systemResize(window_->windowHandle(), edges);
        manualDrag_ = dragging_;
    } else {
        dragging_ = hit == HTCAPTION;
    }
}

void TSkinnedForm::moveFrame(QPoint pos, QPoint global, Qt::MouseButtons buttons)
{
    if (dragging_) {
        if (!buttons.testFlag(Qt::LeftButton)) {
            dragging_ = manualDrag_ = false;
        } else if (manualDrag_) {
            dragTo(global);
            return;
        } else if (global != pressGlobal_) {
            // The move starts at the first motion: a click alone stays a click, so that double-clicks reach
            // the caption. A window manager asked now would move the window from this point of the pointer,
            // not from the press, and the window would lag the pointer by the first step; so the frame moves
            // the window itself wherever a window may place itself, and asks only where it may not.
            if (!windowsPlaceThemselves() && systemMove(window_->windowHandle())) {
                dragging_ = false;
            } else {
                manualDrag_ = true;
                dragTo(global);
            }
            return;
        } else {
            return;
        }
    }
    setHitCursor(HitTest(pos));
    if (!active_)
        return;
    ensureButtonsVisible();
    TNCObject *b = FindBtn(pos);
    if (!b && menuBar_)
        b = menuBar_->FindBtn(pos);
    if (b) {
        b->MouseEnter();
    } else if (hot_) {
        hot_->MouseLeave();
        hot_ = nullptr;
    }
}

void TSkinnedForm::dragTo(QPoint global)
{
    const QPoint d = global - pressGlobal_;
    if (pressHit_ == HTCAPTION) {
        window_->move(pressPos_ + d);
        return;
    }
    const Qt::Edges edges = edgesOf(pressHit_);
    const QSize least = window_->minimumSize().expandedTo(
        QSize(borders_.left() + borders_.right() + 1, borders_.top() + borders_.bottom() + menuBarHeight_ + 1));
    QRect g = pressGeometry_;
    if (edges & Qt::LeftEdge)
        g.setLeft(std::min(g.left() + d.x(), g.right() + 1 - least.width()));
    if (edges & Qt::RightEdge)
        g.setRight(std::max(g.right() + d.x(), g.left() + least.width() - 1));
    if (edges & Qt::TopEdge)
        g.setTop(std::min(g.top() + d.y(), g.bottom() + 1 - least.height()));
    if (edges & Qt::BottomEdge)
        g.setBottom(std::max(g.bottom() + d.y(), g.top() + least.height() - 1));
    window_->setGeometry(g);
}

void TSkinnedForm::releaseFrame(QPoint pos, QPoint)
{
    if (dragging_) {
        dragging_ = manualDrag_ = false;
        return;
    }
    TWinSysButton *b = FindBtn(pos);
    if (b && b == hot_) {
        b->MouseUp();
        SysBtnAction(pos);
    }
}

void TSkinnedForm::doubleClickFrame(QPoint pos)
{
    dragging_ = manualDrag_ = false;
    if (TWinSysButton *b = FindBtn(pos)) {
        if (isIconAction(b->element.Action)) {
            hoverTimer_.stop();
            PostSysCommand(SC_CLOSE);
        }
        return;
    }
    if (HitTest(pos) != HTCAPTION)
        return;
    if (windowState_ != 0)
        Restore();
    else if (maxBox_)
        Maximize();
}

void TSkinnedForm::setHitCursor(int hit)
{
    if (!window_)
        return;
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (hit) {
    case HTCLIENT:
        if (frameCursor_) {
            if (savedCursorSet_)
                window_->setCursor(savedCursor_);
            else
                window_->unsetCursor();
            frameCursor_ = false;
        }
        return;
    case HTLEFT: case HTRIGHT: shape = Qt::SizeHorCursor; break;
    case HTTOP: case HTBOTTOM: shape = Qt::SizeVerCursor; break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: shape = Qt::SizeFDiagCursor; break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: shape = Qt::SizeBDiagCursor; break;
    default: break;
    }
    window_->setCursor(shape);
    frameCursor_ = true;
}

void TSkinnedForm::SysBtnAction(QPoint pos)
{
    auto *b = dynamic_cast<TWinSysButton *>(hot_.data());
    if (!b)
        return;
    const int action = b->element.Action;
    switch (action) {
    case 0:
        if (sysMenuBox_) {
            hoverTimer_.stop();
            PostSysCommand(SC_CLOSE);
        }
        break;
    case 1: case 22:
        if (b->enabled)
            Maximize();
        break;
    case 2: case 23:
        if (b->enabled)
            Minimize();
        break;
    case 3: case 11: case 12:
        PopSysmenu(window_->mapToGlobal(pos + QPoint(1, 1)));
        break;
    case 7: case 60: case 8: case 61: case 9: case 62:
        break; // the buttons of a maximised child window: there are no child windows here
    default:
        PostSkinMessage(window_, SM_SysButtonAction, action, 0);
        break;
    }
}

void TSkinnedForm::Maximize()
{
    if (windowState_ == 1) {
        Restore();
        return;
    }
    windowState_ = 1;
    PostSysCommand(SC_MAXIMIZE);
    if (hot_)
        hot_->state = TNCObject::Normal;
    hot_ = nullptr;
}

void TSkinnedForm::Restore()
{
    windowState_ = 0;
    PostSysCommand(SC_RESTORE);
}

void TSkinnedForm::Minimize()
{
    if (windowState_ == 2) {
        Restore();
        return;
    }
    windowState_ = 2;
    PostSysCommand(SC_MINIMIZE);
}

std::vector<TSkinnedForm::SysMenuItem> TSkinnedForm::SysMenuModel() const
{
    std::vector<SysMenuItem> items;
    if (minBox_ || maxBox_)
        items.push_back({SC_RESTORE, QStringLiteral("还原(&R)"), windowState_ != 0});
    items.push_back({SC_MOVE, QStringLiteral("移动(&M)"), windowState_ != 1});
    if (sizable_)
        items.push_back({SC_SIZE, QStringLiteral("大小(&S)"), windowState_ != 1});
    if (minBox_)
        items.push_back({SC_MINIMIZE, QStringLiteral("最小化(&N)"), windowState_ != 2});
    if (maxBox_)
        items.push_back({SC_MAXIMIZE, QStringLiteral("最大化(&X)"), windowState_ != 1});
    items.push_back({0, QString(), true});
    items.push_back({SC_CLOSE, QStringLiteral("关闭(&C)\tAlt+F4"), true});
    return items;
}

void TSkinnedForm::PopSysmenu(QPoint global)
{
    // A second call within the double-click time is a double-click on the icon: it closes the window.
    if (lastSysMenu_.isValid() && lastSysMenu_.elapsed() < doubleClickTime_) {
        lastSysMenu_.invalidate();
        if (sysMenu_)
            sysMenu_->close();
        if (hot_) {
            hoverTimer_.stop();
            PostSysCommand(SC_CLOSE);
        }
        return;
    }
    manager_->SetMenuKind(2);
    lastSysMenu_.start();
    delete sysMenu_.data();
    sysMenu_ = new QMenu(window_);
    for (const SysMenuItem &item : SysMenuModel()) {
        if (item.command == 0) {
            sysMenu_->addSeparator();
            continue;
        }
        QAction *a = sysMenu_->addAction(item.text);
        a->setEnabled(item.enabled);
        const int glyph = item.command == SC_RESTORE    ? 0
                          : item.command == SC_MAXIMIZE ? 1
                          : item.command == SC_MINIMIZE ? 2
                          : item.command == SC_CLOSE    ? 3
                                                        : -1;
        if (glyph >= 0 && glyph < data_->MenuGlyphs.size())
            a->setIcon(QPixmap::fromImage(KeyedImage(data_->MenuGlyphs[glyph], 0xFFFFFF)));
        const int command = item.command;
        connect(a, &QAction::triggered, this, [this, command] { PostSysCommand(command); });
    }
    sysMenu_->popup(global);
}
