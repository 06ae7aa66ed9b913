#pragma once

#include <QRect>

class QWidget;

// Where top-level windows stand: every window of the program opens, and stays after a change of look, wholly on
// the available area of its screen (the screen less panels and docks). Outer rectangles include the frame,
// whether the window manager draws it or the window paints it inside itself.
namespace WindowPlacement {

// The window's outer rectangle made usable on `available` (all outer sizes, frame included): a size below
// `minimum` reads as the minimum, a window larger than the available area shrinks to it (never below the
// minimum), and a window that would fall off the available area, even partly, is moved onto it; one that
// cannot fit keeps the area's top-left corner in view.
QRect Place(const QRect &stored, const QSize &minimum, const QRect &available);

// A rectangle of `size` centred on `available`; along a side that does not fit it starts at the area's edge.
QRect Centred(const QSize &size, const QRect &available);

// The available area of the screen that holds the centre of `window` (its own screen when none does).
QRect AvailableArea(const QWidget &window);

// Moves a shown window onto its screen's available area, and shrinks it (not below its minimum) when it is
// larger; a window that lies wholly on the area is left alone, as are maximised and full-screen windows.
void KeepOnScreen(QWidget &window);

// Places `tool`, a window not shown yet, centred over `owner` and wholly on the owner's screen. The tool's
// frame is not known before it is shown; the owner's is taken for it.
void PlaceOver(QWidget &tool, const QWidget &owner);

} // namespace WindowPlacement
