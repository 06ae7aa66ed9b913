#include "WindowGeometry.h"

#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>

namespace WindowGeometry {

namespace {

QMargins frameMargins(const QMainWindow &window)
{
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

const char kStartPlacement[] = "startPlacement";

// Places a window that had no frame yet once the window manager has framed it: the frame's size is known only
// then, and a window placed at a screen's edge without it would reach past that edge by its title bar.
// A skinned window draws its frame itself, inside its contents margins, once skinned (which may follow the
// window manager's frame); it is placed again when the resizes of that have settled, its central part at the
// size it was given with the frame around it.
class KeepFrameOnScreen : public QObject {
public:
    // `centre`: the window was centred, and stays so unless it has been moved since.
    KeepFrameOnScreen(QMainWindow &window, QSize minimum, QRect available, bool centre, QSize central)
        : QObject(&window), m_window(window), m_minimum(minimum), m_available(available), m_centre(centre),
          m_placedAt(window.pos()), m_central(central)
    {
        setObjectName(QLatin1String(kStartPlacement));
        window.installEventFilter(this);
        // Without a window manager no frame ever comes, nor a skin after the start; a later move or resize is
        // then the user's own.
        QTimer::singleShot(3000, this, &QObject::deleteLater);
        m_settled.setSingleShot(true);
        connect(&m_settled, &QTimer::timeout, this, &KeepFrameOnScreen::placeOwnFrame);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if ((t != QEvent::Move && t != QEvent::Resize && t != QEvent::Paint) || !m_window.isVisible())
            return false;
        // A maximised, full-screen or minimised window is placed by the window manager; resizing it here
        // would take it out of that state, and the next start would find a normal window the size of the screen.
        if (m_window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
            m_window.removeEventFilter(this);
            deleteLater();
            return false;
        }
        if (m_window.windowFlags().testFlag(Qt::FramelessWindowHint)) {
            if (t == QEvent::Resize)
                m_settled.start(100);
            return false;
        }
        const QMargins m = frameMargins(m_window);
        if (m.isNull() || m_framed)
            return false;
        const QRect frame = m_window.frameGeometry();
        const QSize decoration(m.left() + m.right(), m.top() + m.bottom());
        QRect placed = WindowPlacement::Place(frame, m_minimum + decoration, m_available);
        // The window manager puts the frame's corner or the client's corner where the window was placed.
        if (m_centre && (frame.topLeft() == m_placedAt || m_window.geometry().topLeft() == m_placedAt))
            placed = WindowPlacement::Centred(placed.size(), m_available);
        if (placed.size() != frame.size())
            m_window.resize(placed.size() - decoration);
        if (placed.topLeft() != frame.topLeft())
            m_window.move(placed.topLeft());
        m_placedAt = m_window.pos();
        m_framed = true;
        return false;
    }

private:
    void placeOwnFrame()
    {
        const QMargins c = m_window.contentsMargins();
        const QSize size = m_central + QSize(c.left() + c.right(), c.top() + c.bottom() + MenuHeight(m_window));
        QRect placed = WindowPlacement::Place(QRect(m_window.pos(), size), m_window.minimumSize(), m_available);
        // A move that only kept the grown window on the screen is not the user's.
        const QPoint kept =
            WindowPlacement::Place(QRect(m_placedAt, m_window.size()), m_window.minimumSize(), m_available).topLeft();
        if (m_centre && (m_window.pos() == m_placedAt || m_window.pos() == kept))
            placed = WindowPlacement::Centred(placed.size(), m_available);
        m_window.resize(placed.size());
        m_window.move(placed.topLeft());
        m_placedAt = m_window.pos();
    }

    QMainWindow &m_window;
    QSize m_minimum;
    QRect m_available;
    bool m_centre;
    QPoint m_placedAt;
    QSize m_central;
    QTimer m_settled;
    bool m_framed = false; // placed in the window manager's frame
};

// The layout's cached sizes from `widget` up to the window, after a change of the widget's own limits: the
// widgets are not shown yet, and a hidden widget's change reaches no layout by itself.
void invalidateUpTo(QWidget *widget, const QWidget *window)
{
    for (QWidget *w = widget; w && w != window; w = w->parentWidget()) {
        w->updateGeometry();
        if (w->layout())
            w->layout()->invalidate();
    }
}

void place(QMainWindow &window, const QRect &client, QWidget *panel, bool centre)
{
    panel->setMinimumSize(panel->sizeHint());
    const int menu = MenuHeight(window);
    const QMargins m = frameMargins(window);
    const QSize frame(m.left() + m.right(), m.top() + m.bottom());
    const QSize minimum = MinimumClientSize(window) + QSize(0, menu);
    window.setMinimumSize(minimum);

    const QRect stored(client.topLeft(), client.size() + QSize(0, menu) + frame);
    const QScreen *screen = centre ? QGuiApplication::primaryScreen() : QGuiApplication::screenAt(stored.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : stored;
    QRect placed = WindowPlacement::Place(stored, minimum + frame, available);
    if (centre)
        placed = WindowPlacement::Centred(placed.size(), available);
    window.resize(placed.size() - frame);
    window.move(placed.topLeft());
    if (m.isNull() && !window.isVisible())
        new KeepFrameOnScreen(window, minimum, available, centre, placed.size() - frame - QSize(0, menu));
}

} // namespace

int MenuHeight(const QMainWindow &window)
{
    const QWidget *menu = window.menuWidget();
    if (!menu || menu->isHidden())
        return 0;
    // Before the window is shown the bar has no height of its own yet.
    return menu->isVisible() ? menu->height() : menu->sizeHint().height();
}

QSize MinimumClientSize(const QMainWindow &window)
{
    const QWidget *central = window.centralWidget();
    if (!central || !central->layout())
        return {};
    return central->layout()->totalMinimumSize();
}

QSize ClientSizeShowing(QMainWindow &window, QScrollArea &scroll)
{
    const QWidget *content = scroll.widget();
    if (!content)
        return MinimumClientSize(window);
    const int frame = 2 * scroll.frameWidth();
    const QSize limit = scroll.minimumSize();
    scroll.setMinimumSize(content->size() + QSize(frame, frame));
    invalidateUpTo(&scroll, &window);
    const QSize size = MinimumClientSize(window);
    scroll.setMinimumSize(limit);
    invalidateUpTo(&scroll, &window);
    return size;
}

void Apply(QMainWindow &window, const QRect &storedClient, QWidget *panel)
{
    place(window, storedClient, panel, false);
}

void ApplyFirstStart(QMainWindow &window, const QSize &wantedClient, QWidget *panel)
{
    place(window, QRect(QPoint(), wantedClient), panel, true);
}

void EndStartPlacement(QMainWindow &window)
{
    const QList<QObject *> helpers = window.findChildren<QObject *>(QLatin1String(kStartPlacement),
                                                                     Qt::FindDirectChildrenOnly);
    for (QObject *helper : helpers) {
        window.removeEventFilter(helper);
        delete helper;
    }
}

PaneSizes FitPanes(PaneSizes stored, QSize room, QSize report)
{
    constexpr int minTree = 30, minPicture = 500, minComments = 20, minReport = 100;
    const qint64 reportWidth = std::max(minReport, report.width());
    const qint64 reportHeight = std::max(minReport, report.height());
    // In 64 bits: a stored size may be anything an int holds.
    const auto fit = [](int value, int lowest, qint64 free) {
        return int(std::clamp<qint64>(value, lowest, std::max<qint64>(lowest, free)));
    };
    PaneSizes fitted;
    fitted.picture = fit(stored.picture, minPicture, qint64(room.width()) - minTree - reportWidth);
    fitted.tree = fit(stored.tree, minTree, qint64(room.width()) - fitted.picture - reportWidth);
    fitted.comments = fit(stored.comments, minComments, qint64(room.height()) - reportHeight);
    return fitted;
}

QRect StoredClient(const QMainWindow &window)
{
    // A skinned window draws its frame inside itself, in its contents margins.
    const QMargins m = window.contentsMargins();
    return {window.pos(), window.size() - QSize(m.left() + m.right(), m.top() + m.bottom() + MenuHeight(window))};
}

} // namespace WindowGeometry
