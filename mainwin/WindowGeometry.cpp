#include "WindowGeometry.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>

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
    window.move(placed.topLeft());
    window.resize(placed.size() - frame);
}

QRect StoredClient(const QMainWindow &window)
{
    return {window.pos(), window.size() - QSize(0, MenuHeight(window))};
}

} // namespace WindowGeometry
