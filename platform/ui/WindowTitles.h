#pragma once

#include <QString>

class QWidget;

// A window manager cuts a title that is wider than the window's title bar, and a dialog of few controls is
// narrow: every dialog of the program is made as wide as its title as the title bar shows it.
namespace WindowTitles {

// The title as a window manager shows it: the application's name follows a title of another text.
QString Shown(const QString &title);

// The width at which the title bar shows `window`'s title whole: the shown title in a bold face of the
// window's font, with room for the bar's icon and buttons. The window itself is made this wide, since a frame
// of the window manager may add nothing to the bar's width.
int BarWidth(const QWidget &window);

// Makes `window` at least BarWidth wide, through its layout where it has one (a layout that sets the window's
// size itself would undo a plain minimum). Repeated calls follow a changed title.
void FitWidth(QWidget &window);

// From now on every top-level window of the application (dialogs, message and input boxes, tool windows) is
// fitted when it is shown and when its title changes while shown. Installing twice changes nothing.
void FitEveryWindow();

} // namespace WindowTitles
