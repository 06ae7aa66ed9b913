#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QMainWindow;
class QScrollArea;
class QWidget;

// The rules of the main window's stored geometry. The settings file keeps the window's left and top (its outer
// corner) and the size of its client area, which leaves out the menu bar and the window manager's frame.
namespace WindowGeometry {

// The height of the window's menu bar, which the stored client height leaves out.
int MenuHeight(const QMainWindow &window);

// The smallest client area at which the window's layout shows every control whole.
QSize MinimumClientSize(const QMainWindow &window);

// The smallest client area at which, besides, `scroll` (a part of the window) shows its whole content.
QSize ClientSizeShowing(QMainWindow &window, QScrollArea &scroll);

// Gives `window` its minimum size, at which `panel` keeps at least its size hint so that every control in it
// is whole, and places the window from the stored client rectangle on the screen that holds the rectangle's
// centre (the primary screen when none does). Call it after the fonts are final and before the window is
// first shown: a shown window without its frame yet takes a position as its client's corner.
void Apply(QMainWindow &window, const QRect &storedClient, QWidget *panel);

// As Apply, for a start without a stored size: the window takes the client size `wantedClient` where the
// available area of the primary screen allows it, else as much as that area allows, and stands centred on it.
void ApplyFirstStart(QMainWindow &window, const QSize &wantedClient, QWidget *panel);

// Ends the placing of a first showing (the window's frame and a start-up skin settling) at once: a look the user
// switches to afterwards keeps the window where it stands.
void EndStartPlacement(QMainWindow &window);

// The client rectangle to store: the window's outer corner and its size without the menu bar and without a
// frame the window draws inside itself (a skin's), so that a skinned window comes back at the same size.
QRect StoredClient(const QMainWindow &window);

// The main window's pane sizes as the settings file keeps them: the case tree's and the picture panel's widths,
// the comments pane's height.
struct PaneSizes {
    int tree = 0;
    int picture = 0;
    int comments = 0;
    bool operator==(const PaneSizes &) const = default;
};

// Stored pane sizes raised to their lower bounds (tree 30, picture panel 500, comments 20) and, where the
// window allows it, cut so that the panes stay within it: the tree and the picture panel leave the report beside
// them at least report.width() of room.width() (the width the three panes share, the tree giving way first),
// and the comments pane leaves the report above it at least report.height() of room.height() (the height the
// two share); a report minimum below 100 counts as 100. A window too small for the lower bounds keeps them.
PaneSizes FitPanes(PaneSizes stored, QSize room, QSize report);

} // namespace WindowGeometry
