#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace WindowPlacement {

namespace {

// The start of a span of `length` moved into [low, low + room); one that cannot fit starts at low.
int fitSpan(int start, int length, int low, int room)
{
    return std::max(low, std::min(start, low + room - length));
}

QRect areaOf(const QScreen *screen, const QRect &fallback)
{
    return screen ? screen->availableGeometry() : fallback;
}

// The frame's share of the outer size: the window manager's frame, or the one the window paints inside its
// contents margins (a skin's), which its size already includes.
QSize decoration(const QWidget &window)
{
    return window.frameGeometry().size() - window.geometry().size();
}

} // namespace

QRect Place(const QRect &stored, const QSize &minimum, const QRect &available)
{
    const int width = std::max(minimum.width(), std::min(stored.width(), available.width()));
    const int height = std::max(minimum.height(), std::min(stored.height(), available.height()));
    return {fitSpan(stored.left(), width, available.left(), available.width()),
            fitSpan(stored.top(), height, available.top(), available.height()), width, height};
}

QRect Centred(const QSize &size, const QRect &available)
{
    return {available.left() + std::max(0, (available.width() - size.width()) / 2),
            available.top() + std::max(0, (available.height() - size.height()) / 2), size.width(), size.height()};
}

QRect AvailableArea(const QWidget &window)
{
    const QScreen *screen = QGuiApplication::screenAt(window.frameGeometry().center());
    if (!screen)
        screen = window.screen();
    return areaOf(screen ? screen : QGuiApplication::primaryScreen(), window.frameGeometry());
}

void KeepOnScreen(QWidget &window)
{
    if (!window.isWindow() || (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QRect area = AvailableArea(window);
    const QRect outer = window.frameGeometry();
    if (area.contains(outer))
        return;
    const QSize frame = decoration(window);
    const QRect placed = Place(outer, window.minimumSize() + frame, area);
    if (placed.size() != outer.size())
        window.resize(placed.size() - frame);
    if (placed.topLeft() != outer.topLeft())
        window.move(placed.topLeft());
}

void PlaceOver(QWidget &tool, const QWidget &owner)
{
    const QSize frame = decoration(owner);
    QSize outer = tool.size() + frame;
    // A window that has never been laid out takes the size its layout asks for.
    if (!tool.testAttribute(Qt::WA_Resized))
        outer = tool.sizeHint().expandedTo(tool.minimumSize()) + frame;
    const QRect area = AvailableArea(owner);
    const QRect over(owner.frameGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2), outer);
    const QRect placed = Place(over, tool.minimumSize() + frame, area);
    tool.resize(placed.size() - frame);
    tool.move(placed.topLeft());
}

} // namespace WindowPlacement
