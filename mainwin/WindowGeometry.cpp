#include "WindowGeometry.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace WindowGeometry {

namespace {

// The start of a span of `length` moved into [low, low + room); one that cannot fit starts at low.
int fitSpan(int start, int length, int low, int room)
{
    return std::max(low, std::min(start, low + room - length));
}

QMargins frameMargins(const QMainWindow &window)
{
    const QRect frame = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// Places a window that had no frame yet once the window manager has framed it: the frame's size is known only
// then, and a window placed at a screen's edge without it would reach past that edge by its title bar.
class KeepFrameOnScreen : public QObject {
public:
    KeepFrameOnScreen(QMainWindow &window, QSize minimum, QRect available)
        : QObject(&window), m_window(window), m_minimum(minimum), m_available(available)
    {
        window.installEventFilter(this);
        // Without a window manager no frame ever comes; a later move is then the user's own.
        QTimer::singleShot(3000, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if ((t != QEvent::Move && t != QEvent::Resize && t != QEvent::Paint) || !m_window.isVisible())
            return false;
        const QMargins m = frameMargins(m_window);
        if (m.isNull())
            return false;
        // A maximised, full-screen or minimised window is placed by the window manager; resizing it here
        // would take it out of that state, and the next start would find a normal window the size of the screen.
        if (m_window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
            m_window.removeEventFilter(this);
            deleteLater();
            return false;
        }
        const QRect frame = m_window.frameGeometry();
        const QSize decoration(m.left() + m.right(), m.top() + m.bottom());
        const QRect placed = Place(frame, m_minimum + decoration, m_available);
        if (placed.size() != frame.size())
            m_window.resize(placed.size() - decoration);
        if (placed.topLeft() != frame.topLeft())
            m_window.move(placed.topLeft());
        m_window.removeEventFilter(this);
        deleteLater();
        return false;
    }

private:
    QMainWindow &m_window;
    QSize m_minimum;
    QRect m_available;
};

} // namespace

QRect Place(const QRect &stored, const QSize &minimum, const QRect &available)
{
    const int width = std::max(minimum.width(), std::min(stored.width(), available.width()));
    const int height = std::max(minimum.height(), std::min(stored.height(), available.height()));
    return {fitSpan(stored.left(), width, available.left(), available.width()),
            fitSpan(stored.top(), height, available.top(), available.height()), width, height};
}

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

void Apply(QMainWindow &window, const QRect &storedClient, QWidget *panel)
{
    panel->setMinimumSize(panel->sizeHint());
    const int menu = MenuHeight(window);
    const QMargins m = frameMargins(window);
    const QSize frame(m.left() + m.right(), m.top() + m.bottom());
    const QSize minimum = MinimumClientSize(window) + QSize(0, menu);
    window.setMinimumSize(minimum);

    const QRect stored(storedClient.topLeft(), storedClient.size() + QSize(0, menu) + frame);
    const QScreen *screen = QGuiApplication::screenAt(stored.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : stored;
    const QRect placed = Place(stored, minimum + frame, available);
    window.resize(placed.size() - frame);
    window.move(placed.topLeft());
    if (m.isNull() && !window.isVisible())
        new KeepFrameOnScreen(window, minimum, available);
}

QRect StoredClient(const QMainWindow &window)
{
    return {window.pos(), window.size() - QSize(0, MenuHeight(window))};
}

} // namespace WindowGeometry
