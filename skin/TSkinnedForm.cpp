// The skinned window's life: installation, the private messages, the frame host (frameless window, painted
// margins), re-skinning and un-skinning.
#include "TSkinnedForm.h"

#include "SkinDiscovery.h"
#include "SkinImage.h"
#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedMenu.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QColorDialog>
#include <QErrorMessage>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>
#include <QShortcut>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

namespace {

QColor toQColor(quint32 colour)
{
    colour = ResolveColor(colour);
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QSize grow(QSize size, const QMargins &m)
{
    return QSize(size.width() + m.left() + m.right(), size.height() + m.top() + m.bottom());
}

// A limit of QWIDGETSIZE_MAX stays unlimited; others grow with the frame.
QSize growLimit(QSize limit, const QMargins &m)
{
    return QSize(limit.width() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : limit.width() + m.left() + m.right(),
                 limit.height() >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : limit.height() + m.top() + m.bottom());
}

// Puts a window's outer top-left at a point once the window manager has framed or un-framed it after its
// flags changed, and keeps the window wholly on its screen while the manager settles it. The manager does so
// some time later, when it gets to it (a busy one takes seconds), and keeps the client where it was, so that the
// outer corner would move by the frame's size: up past the screen's top on a switch back to its frame, or down
// past the screen's foot on a switch to the painted one. The placer waits for the frame as long as a busy
// manager may take, then checks the window again after each move or resize the manager still makes, until
// these have stopped. One placer per window: a newer one replaces it.
class FramePlacer : public QObject {
public:
    // `size`, where valid, is the size the window was given for its new frame.
    FramePlacer(QWidget *window, QPoint outer, bool framed, QSize size = QSize())
        : QObject(window), window_(window), outer_(outer), size_(size), framed_(framed)
    {
        for (QObject *o : window->findChildren<QObject *>(Name, Qt::FindDirectChildrenOnly))
            delete o;
        setObjectName(Name);
        window->installEventFilter(this);
        connect(&poll_, &QTimer::timeout, this, &FramePlacer::check);
        poll_.start(40);
        quiet_.setSingleShot(true);
        connect(&quiet_, &QTimer::timeout, this, &FramePlacer::finish);
        // No window manager frames anything (or none answers): the window is kept on the screen as it stands.
        QTimer::singleShot(WaitForFrameMs, this, &FramePlacer::finish);
    }
    ~FramePlacer() override { window_->removeEventFilter(this); }

    // The window's unfinished placer, if any, is told the size the window has now been given.
    static void SizeGiven(QWidget *window, QSize size)
    {
        for (QObject *o : window->findChildren<QObject *>(Name, Qt::FindDirectChildrenOnly))
            if (auto *placer = dynamic_cast<FramePlacer *>(o))
                placer->size_ = size;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
            QMetaObject::invokeMethod(this, &FramePlacer::check, Qt::QueuedConnection);
        return false;
    }

private:
    void check()
    {
        if (!placed_) {
            if ((window_->frameGeometry() != window_->geometry()) != framed_)
                return;
            placed_ = true;
            poll_.setInterval(100);
            if (window_->pos() != outer_)
                window_->move(outer_);
        }
        // A manager that gets to the window late may size it for the frame it had before the switch: the window
        // gets back the size the switch gave it, as far as the screen leaves room for it with its frame as it is.
        const QSize frame = window_->frameGeometry().size() - window_->size();
        const QSize room = window_->screen()->availableGeometry().size() - frame;
        const QSize wanted = size_.boundedTo(room).expandedTo(window_->minimumSize());
        if (size_.isValid() && window_->windowState() == Qt::WindowNoState && window_->size() != wanted)
            window_->resize(wanted);
        // The new frame may be larger than the old one, and the manager may still move or size the window.
        WindowPlacement::KeepOnScreen(*window_);
        if (lastSeen_ != window_->frameGeometry()) {
            lastSeen_ = window_->frameGeometry();
            quiet_.start(SettledMs);
        }
    }
    void finish()
    {
        WindowPlacement::KeepOnScreen(*window_);
        deleteLater();
    }

    static constexpr const char *Name = "skinFramePlacer";
    static constexpr int WaitForFrameMs = 8000; // the longest a busy window manager is waited for
    static constexpr int SettledMs = 1000;      // no move or resize for this long: the manager is done
    QWidget *window_; // the parent: alive as long as this object
    QPoint outer_;
    QSize size_; // the size the switch gave the window; invalid where it gave none
    bool framed_;
    bool placed_ = false;
    QRect lastSeen_;
    QTimer poll_, quiet_;
};

// The skin's face colour behind the window's contents and the skin's text colours on it (enabled text only:
// disabled text keeps the palette's own), so that labels stay readable on dark faces.
void applySkinColours(QPalette &pal, const TSkinData &d)
{
    pal.setColor(QPalette::Window, toQColor(d.Colors[TSkinData::ButtonFace]));
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::WindowText, toQColor(d.Colors[TSkinData::WindowText]));
        pal.setColor(g, QPalette::ButtonText, toQColor(d.Colors[TSkinData::ButtonText]));
    }
}

} // namespace

TSkinnedForm::TSkinnedForm(TSkinManage *manager, QWidget *window, TSkinData *data, const QString &className)
    : manager_(manager), window_(window), className_(className)
{
    doubleClickTime_ = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    hoverTimer_.setInterval(250);
    connect(&hoverTimer_, &QTimer::timeout, this, &TSkinnedForm::OnTimer);
    InitSkin(data);
}

TSkinnedForm::~TSkinnedForm()
{
    menuBar_.reset(); // before the hot object and the buttons it may refer to
    if (sysMenu_)
        delete sysMenu_.data();
    if (window_ && subclassed_)
        window_->removeEventFilter(this);
}

bool TSkinnedForm::IsDialogClass(const QWidget *w)
{
    return qobject_cast<const QMessageBox *>(w) || qobject_cast<const QInputDialog *>(w) ||
           qobject_cast<const QFileDialog *>(w) || qobject_cast<const QColorDialog *>(w) ||
           qobject_cast<const QFontDialog *>(w) || qobject_cast<const QProgressDialog *>(w) ||
           qobject_cast<const QErrorMessage *>(w);
}

void TSkinnedForm::InitSkin(TSkinData *data)
{
    if (subclassed_ || !window_)
        return;
    manager_->SetSwitchedOn(true);
    data_ = data;
    frameSkinning_ = data->SkinControls.contains(TSkinControlType::xcMainMenu);
    const Qt::WindowFlags f = window_->windowFlags();
    savedFlags_ = f;
    rightToLeft_ = window_->layoutDirection() == Qt::RightToLeft;
    const bool customHints = f.testFlag(Qt::CustomizeWindowHint);
    sysMenuBox_ = !customHints || f.testFlag(Qt::WindowSystemMenuHint);
    const bool dialog = window_->windowType() == Qt::Dialog;
    minBox_ = customHints ? f.testFlag(Qt::WindowMinimizeButtonHint) : !dialog;
    maxBox_ = customHints ? f.testFlag(Qt::WindowMaximizeButtonHint) : !dialog;
    readWindowState();
    sizable_ = window_->minimumSize() != window_->maximumSize() &&
               !(window_->layout() && window_->layout()->sizeConstraint() == QLayout::SetFixedSize);
    dialogClass_ = IsDialogClass(window_);
    if (f.testFlag(Qt::FramelessWindowHint) || (customHints && !f.testFlag(Qt::WindowTitleHint)))
        frameKind_ = 2;
    else if (dialog || dialogClass_)
        frameKind_ = 3;
    else
        frameKind_ = sizable_ ? 0 : 1;
    window_->installEventFilter(this);
    subclassed_ = true;
    if (frameSkinning_)
        InitSkinData();
    else
        skinState_ = 1;
}

void TSkinnedForm::readWindowState()
{
    const Qt::WindowStates s = window_ ? window_->windowState() : Qt::WindowNoState;
    windowState_ = s.testFlag(Qt::WindowMinimized) ? 2 : s.testFlag(Qt::WindowMaximized) ? 1 : 0;
}

void TSkinnedForm::setFrameless(bool frameless)
{
    // A visible window keeps its mapping and a dialog inside exec() keeps running: the flags are changed on
    // the platform window, never through QWidget::setWindowFlags (which hides the window).
    if (!window_ || frameless == frameless_)
        return;
    const Qt::WindowFlags f = frameless ? savedFlags_ | Qt::FramelessWindowHint : savedFlags_;
    // The outer corner: a frameless window is its own outer rectangle; a framed one is asked for its frame's.
    const QPoint outer = frameless_ ? window_->geometry().topLeft() : window_->pos();
    window_->overrideWindowFlags(f);
    if (QWindow *h = window_->windowHandle())
        h->setFlags(f);
    frameless_ = frameless;
    // Without a frame the client is the outer rectangle: it goes to the old outer corner at once. A frame's
    // size is known only once the window manager has added it; until then the corner is asked for as it is.
    if (frameless && windowState_ == 0)
        window_->setGeometry(QRect(outer, window_->size()));
    else
        window_->move(outer);
    if (window_->isVisible())
        new FramePlacer(window_, outer, !frameless);
}

void TSkinnedForm::applyFrame(const QMargins &frame)
{
    // The contents move inside the new margins: a layout follows the contents margins; a window without one
    // has its children moved by hand.
    const QMargins grown = growth(applied_);
    const QSize client = window_->size() - QSize(grown.left() + grown.right(), grown.top() + grown.bottom());
    if (!window_->layout()) {
        const QPoint shift(frame.left() - applied_.left(), frame.top() - applied_.top());
        for (QObject *o : window_->children())
            if (auto *c = qobject_cast<QWidget *>(o); c && !c->isWindow())
                c->move(c->pos() + shift);
    }
    if (applied_.isNull()) {
        savedMin_ = window_->minimumSize();
        savedMax_ = window_->maximumSize();
    }
    window_->setContentsMargins(savedMargins_ + frame);
    window_->setMinimumSize(grow(savedMin_, growth(frame)));
    window_->setMaximumSize(growLimit(savedMax_, growth(frame)));
    applied_ = frame;
    if (windowState_ == 0) {
        window_->resize(grow(client, growth(frame)));
        // Kept on its screen once the platform knows the window's frame as it now is.
        if (window_->isVisible())
            new FramePlacer(window_, frameless_ ? window_->geometry().topLeft() : window_->pos(), !frameless_,
                            grow(client, growth(frame)));
    }
}

QMargins TSkinnedForm::growth(const QMargins &frame) const
{
    return frame.isNull() ? frame : frame - QMargins(0, barTaken_, 0, 0);
}

void TSkinnedForm::skinActive()
{
    active_ = window_->isActiveWindow();
    if (!savedPaletteSet_) {
        savedPalette_ = window_->palette();
        savedPaletteSet_ = true;
        savedMargins_ = window_->contentsMargins();
        savedTracking_ = window_->hasMouseTracking();
        savedCursorSet_ = window_->testAttribute(Qt::WA_SetCursor);
        savedCursor_ = window_->cursor();
    }
    QPalette pal = window_->palette();
    applySkinColours(pal, *data_);
    window_->setPalette(pal);
    if (skinState_ == 0)
        firstFrame();
    SkinDiscovery::Of(this)->InitControls();
    afterSkin();
    skinState_ = 1;
    if (active_)
        hoverTimer_.start();
    repaintFrame();
}

void TSkinnedForm::attachMenuBar()
{
    if (QMenuBar *bar = TSkinnedMenu::MenuBarOf(window_); bar && !menuBar_) {
        barTaken_ = TSkinnedMenu::LaidOutHeight(bar, window_->contentsRect().width());
        menuBar_ = std::make_unique<TSkinnedMenu>(this, bar);
        menuBarHeight_ = menuBar_->Height();
    }
}

void TSkinnedForm::firstFrame()
{
    // A minimised window gets its frame when it is restored.
    if (!frameSkinning_ || frameKind_ == 2 || windowState_ == 2 || frameless_)
        return;
    const int state = skinState_;
    skinState_ = 5;
    setFrameless(true);
    window_->setMouseTracking(true);
    attachMenuBar();
    ResizeForm(false);
    skinState_ = state == 0 ? 1 : state;
    Cropwindow();
    if (!sysMenuKey_) {
        sysMenuKey_ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), window_);
        connect(sysMenuKey_, &QShortcut::activated, this,
                [this] { PopSysmenu(window_->mapToGlobal(window_->contentsRect().topLeft())); });
    }
}

void TSkinnedForm::afterSkin()
{
    SendSkinMessage(window_, SM_AfterSkin, 0, SkinMark);
}

void TSkinnedForm::SkinChange()
{
    if (!window_)
        return;
    QPalette pal = window_->palette();
    applySkinColours(pal, *data_);
    window_->setPalette(pal);
    skinState_ = 3;
    if (frameSkinning_ && frameless_) {
        ResizeForm(true);
        Cropwindow();
    }
    if (SkinDiscovery *controls = SkinDiscovery::Find(this))
        controls->SkinChange();
    afterSkin();
    skinState_ = 1;
    repaintFrame();
}

void TSkinnedForm::UnSubclass()
{
    hoverTimer_.stop();
    if (sysMenu_)
        sysMenu_->close();
    if (SkinDiscovery *controls = SkinDiscovery::Find(this))
        controls->DeleteControls();
    if (!window_ || !subclassed_)
        return;
    window_->removeEventFilter(this);
    subclassed_ = false;
    captionWidth_ = 0;
    delete sysMenuKey_.data();
    if (savedPaletteSet_)
        window_->setPalette(savedPalette_);
    if (frameless_) {
        if (menuBar_ && hot_ && hot_->owner == this && dynamic_cast<TMenuBtn *>(hot_.data()))
            hot_ = nullptr;
        menuBar_.reset();
        menuBarHeight_ = 0;
        const QMargins frame = applied_;
        const QMargins grown = growth(frame);
        const QSize client = window_->size() - QSize(grown.left() + grown.right(), grown.top() + grown.bottom());
        barTaken_ = 0;
        if (!window_->layout())
            for (QObject *o : window_->children())
                if (auto *c = qobject_cast<QWidget *>(o); c && !c->isWindow())
                    c->move(c->pos() - QPoint(frame.left(), frame.top()));
        window_->setContentsMargins(savedMargins_);
        window_->setMinimumSize(savedMin_);
        window_->setMaximumSize(savedMax_);
        applied_ = {};
        window_->clearMask();
        setFrameless(false);
        const bool resized = windowState_ == 0 && skinState_ != 4;
        if (resized)
            window_->resize(client);
        FramePlacer::SizeGiven(window_, resized ? client : QSize());
        window_->setMouseTracking(savedTracking_);
        if (savedCursorSet_)
            window_->setCursor(savedCursor_);
        else
            window_->unsetCursor();
    }
    buttons_.clear();
    window_->update();
}

void TSkinnedForm::WindowDestroyed()
{
    skinState_ = 4;
    hoverTimer_.stop();
    hot_ = nullptr;
    menuBar_.reset();
    subclassed_ = false;
    buttons_.clear();
    skinState_ = 6;
}

void TSkinnedForm::DeleteSysbtn()
{
    hot_ = nullptr;
    buttons_.clear();
}

void TSkinnedForm::OnTimer()
{
    if (!window_ || !hot_ || (menuBar_ && TSkinnedMenu::TrackingBar() == menuBar_.get()))
        return; // a menu-bar menu is open: its button stays pressed
    const QPoint at = window_->mapFromGlobal(QCursor::pos());
    if (!hot_->rect.contains(at)) {
        hot_->MouseLeave();
        hot_ = nullptr;
    }
}

void TSkinnedForm::repaintFrame()
{
    if (window_)
        window_->update();
}

void TSkinnedForm::repaintTitle()
{
    if (window_)
        window_->update(QRect(0, 0, window_->width(), borders_.top()));
}

void TSkinnedForm::PostSysCommand(int command)
{
    QMetaObject::invokeMethod(this, [this, command] { SysCommand(command); }, Qt::QueuedConnection);
}

void TSkinnedForm::SysCommand(int command)
{
    if (!window_)
        return;
    switch (command) {
    case SC_CLOSE: window_->close(); break;
    case SC_MAXIMIZE: window_->showMaximized(); break;
    case SC_MINIMIZE: window_->showMinimized(); break;
    case SC_RESTORE: window_->showNormal(); break;
    case SC_MOVE:
    case SC_SIZE:
        if (QWindow *h = window_->windowHandle(); h && windowState_ == 0) {
            if (command == SC_MOVE)
                h->startSystemMove();
            else
                h->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        }
        break;
    default: break;
    }
}

bool TSkinnedForm::handleSkinMessage(QEvent *event)
{
    TSkinMessage *m = AsSkinMessage(event);
    if (!m)
        return false;
    switch (m->number()) {
    case CN_SkinActive:
        skinActive();
        return true;
    case CN_IsSkinned:
        m->result = 1;
        PostSkinMessage(window_, SM_AfterSkin, 0, SkinMark);
        return true;
    case SM_SkinChange:
        SkinChange();
        return true;
    case SM_FrameRepaint:
        repaintFrame();
        return true;
    case SM_PaintFrameInto:
        if (m->lParam == SkinMark && m->wParam && (skinState_ == 1 || skinState_ == 3))
            UpdateNc(*reinterpret_cast<QPainter *>(m->wParam));
        m->result = m->lParam == SkinMark ? SkinMark : 0;
        return true;
    case SM_Probe:
        m->result = m->lParam == SkinMark ? SkinMark : 1;
        return true;
    default:
        return false;
    }
}

void TSkinnedForm::paintFrame(QPaintEvent *event)
{
    // The window paints itself first; the frame is then painted over the margins, where no child lies.
    static_cast<QObject *>(window_.data())->event(event);
    if (skinState_ != 1 && skinState_ != 3)
        return;
    const QRegion frame = QRegion(window_->rect()) - QRegion(window_->contentsRect());
    if (!event->region().intersects(frame))
        return;
    QPainter p(window_);
    p.setClipRegion(event->region() & frame);
    UpdateNc(p);
}

void TSkinnedForm::stateChanged()
{
    readWindowState();
    hot_ = nullptr;
    for (auto &b : buttons_)
        b->state = TNCObject::Normal;
    Cropwindow();
    repaintFrame();
}

void TSkinnedForm::activationChanged(bool active)
{
    active_ = active;
    if (active_)
        hoverTimer_.start(); // hover states end only while the window is active
    else
        hoverTimer_.stop();
    repaintFrame();
}

bool TSkinnedForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window_ || !window_)
        return false;
    if (handleSkinMessage(event))
        return true;
    if (!frameSkinning_ || skinState_ == 0)
        return false;
    if (!frameless_) {
        if (event->type() == QEvent::WindowStateChange) {
            readWindowState();
            firstFrame();
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::Paint:
        paintFrame(static_cast<QPaintEvent *>(event));
        return true;
    case QEvent::Resize:
        if (windowState_ != 2 && (skinState_ == 1 || skinState_ == 3))
            Cropwindow();
        keepCaptionWidth();
        return false;
    case QEvent::WindowStateChange:
        stateChanged();
        return false;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        activationChanged(event->type() == QEvent::WindowActivate);
        return false;
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
        repaintTitle(); // only the title strip; nothing is pumped
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Leave:
        return frameMouse(event);
    default:
        return false;
    }
}
