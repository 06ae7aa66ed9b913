#pragma once

#include "TNCObject.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>
#include <vector>

class QMenu;
class QMenuBar;
class QPainter;
class TSkinData;
class TSkinnedForm;
class TSkinnedMenu;

// One button of the drawn menu bar: a top-level item of the window's menu bar. Its rectangle is in window
// coordinates; an invisible item has an empty one.
class TMenuBtn : public TNCObject {
public:
    TMenuBtn(TSkinnedForm *owner, TSkinnedMenu *bar) : TNCObject(owner), bar(bar) {}
    void Draw() override; // asks the window to repaint the button's place

    TSkinnedMenu *bar;
    QPointer<QAction> item;
    int index = 0;
    QString caption;
    QPointer<QMenu> submenu; // none for a top-level command
};

// The menu bar of a skinned window, drawn by the frame between the title and the client area.
//
// The window's QMenuBar stays the menu model and keeps its place in the window at height 0, so that the
// shortcuts of its actions and its Alt+letter accelerators stay alive (a hidden menu bar would switch them
// off); its Alt+letter accelerators open the drawn bar's menus instead of its own. Un-skinning gives the bar
// its height back.
//
// Opening a button's menu pops the item's QMenu up under the button. While it is open an application-wide
// filter moves between the bar's menus: Right on an item without a submenu opens the next menu (the first
// after the last), Left in the top menu the previous one (the last before the first), the mouse moving onto
// another button opens that one's menu, a click on the open button closes it, and Alt alone closes it. One
// menu is open at a time in the whole program. User-interface thread only.
class TSkinnedMenu : public QObject {
    Q_OBJECT
public:
    TSkinnedMenu(TSkinnedForm *form, QMenuBar *bar);
    ~TSkinnedMenu() override; // closes its open menu and gives the bar its height back

    // The menu bar a window's menus live in (a main window's, or a direct child), or none.
    static QMenuBar *MenuBarOf(QWidget *window);
    // The height a window's layout gives `bar`: its own once shown, else what it asks for at `width`; 0 when hidden.
    static int LaidOutHeight(const QMenuBar *bar, int width);
    // Whether a drawn bar's menu is open, which bar's, which button's (-1 none) and which popup.
    static bool Tracking();
    static TSkinnedMenu *TrackingBar();
    static int OpenIndex();
    static QMenu *OpenPopup();

    // The layout rule. Start: with a menu-bar element its left margin + 4 (right-to-left: its right margin
    // + 8), or 12 when that exceeds the bar's width; without one 6. Each visible button is its caption's width
    // + 10 wide (a caption of width 0 stays 0) and the bar's height less one pixel high, following the
    // previous one (right-to-left: leftwards from the right end). Hidden buttons (width -1) get an empty
    // rectangle. A bar with no room lays out nothing.
    static int StartOffset(const TSkinData *data, int barWidth, bool rightToLeft);
    static std::vector<QRect> Layout(const QRect &bar, int start, const std::vector<int> &captionWidths,
                                     bool rightToLeft);

    int Height() const { return height_; } // the drawn bar's height: the menu bar's own
    QMenuBar *Bar() const { return bar_; }
    QRect BarRect() const { return barRect_; } // where the bar was last drawn, window coordinates
    const std::vector<std::unique_ptr<TMenuBtn>> &Buttons() const { return buttons_; }
    QFont Font() const;
    QWidget *Window() const;

    void UpdataBtn();                  // rebuild the buttons from the menu bar's actions
    void SetMenuRect(const QRect &bar); // lay the buttons out in the bar (window coordinates)
    void DrawMenu(QPainter &p, const QRect &rect);
    TMenuBtn *FindBtn(QPoint windowPos) const;
    TMenuBtn *FindButtonFromAccel(QChar key) const; // first visible, enabled button with that accelerator
    bool MouseDown(QPoint windowPos);               // a press on the bar: true when it hit a button
    // Opens the button's menu under it; true when a menu was opened. A top-level command is triggered
    // instead (a disabled one refuses, as every disabled action does).
    bool CheckMenu(TMenuBtn *button);
    void ClickButton(TMenuBtn *button); // the open menu closes and the button's opens
    void MoveBy(int step);              // to the next (1) or previous (-1) button that has a menu
    void CancelMenu();                  // closes the open menu

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void endTracking();
    void repaintBar();

    TSkinnedForm *form_;
    QPointer<QMenuBar> bar_;
    std::vector<std::unique_ptr<TMenuBtn>> buttons_;
    QRect barRect_;
    bool updatePending_ = false;
    int height_ = 0, savedMin_ = 0, savedMax_ = QWIDGETSIZE_MAX;
};
