#pragma once

#include "TNCObject.h"

#include <QCursor>
#include <QMenu>
#include <QWidget>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QMargins>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QShortcut>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QPaintEvent;
class QPainter;
class QWindow;
class TSkinData;
class TSkinManage;
class TSkinnedMenu;
struct TDataSkinBorder;

// Hit codes of the painted frame.
enum SkinHitCode {
    HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3, HTMENU = 5, HTMINBUTTON = 8, HTMAXBUTTON = 9,
    HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20,
};
// Window commands, as the system menu's items carry them.
enum SkinSysCommand {
    SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060,
    SC_RESTORE = 0xF120,
};

// What the frame asks of the window system; replaced in tests. A move or resize answers false when no window
// manager takes it, and the frame then moves or resizes the window itself. placesWindows: whether a window
// may place itself (not on Wayland); the caption is then dragged by the frame.
struct SkinWindowOps {
    std::function<bool(QWindow *)> startMove;
    std::function<bool(QWindow *, Qt::Edges)> startResize;
    std::function<bool()> placesWindows;
};

// The skin of one top-level window. It watches the window through an event filter: the window becomes
// frameless, its contents move inside painted margins (the skin's borders), the frame is painted over the
// margins after the window paints itself, and the mouse on the margins moves, resizes and runs the caption
// buttons. Un-skinning gives back the flags, margins, palette, size limits, mask and client size.
//
// Skin state: 0 created, 5 during the first resize, 1 skinned, 3 re-skinning, 4 while the window is
// destroyed, 6 destroyed. Window coordinates are offsets from the window's top-left corner, which on this
// frameless window are the widget's own coordinates. User-interface thread only.
class TSkinnedForm : public QObject {
    Q_OBJECT
public:
    TSkinnedForm(TSkinManage *manager, QWidget *window, TSkinData *data, const QString &className);
    ~TSkinnedForm() override;

    static void SetWindowOps(SkinWindowOps ops); // empty members restore the window system's own
    // Standard dialogs of the toolkit (message box, input, file, colour, font, progress): no icon, a caption
    // that may widen them.
    static bool IsDialogClass(const QWidget *window);

    // --- lifecycle
    void InitSkin(TSkinData *data);
    void UnSubclass(); // the skin is switched off: the window is given back
    void SkinChange(); // the skin was re-read: apply the new geometry, keeping the client size
    void InitSkinData(); // geometry and caption buttons from the skin
    void DeleteSysbtn();
    void WindowDestroyed(); // the window is going: drop everything without touching it
    void OnTimer(); // the hover timer: ends the hover state once the cursor has left the hot object

    // --- what it is
    QWidget *Window() const { return window_; }
    TSkinData *Data() const { return data_; }
    const QString &ClassName() const { return className_; }
    int SkinState() const { return skinState_; }
    bool FrameSkinning() const { return frameSkinning_; }
    bool IsActive() const { return active_; }
    int WindowState() const { return windowState_; } // 0 normal, 1 maximised, 2 minimised
    int FrameKind() const { return frameKind_; }     // 0 sizeable, 1 fixed single, 2 no caption, 3 dialog
    QMargins Borders() const { return borders_; }    // top is the title height
    int MenuBarHeight() const { return menuBarHeight_; }
    QRect CaptionRect() const { return captionRect_; }
    TSkinnedMenu *MenuBar() const { return menuBar_.get(); } // the drawn menu bar, or none
    bool HoverTimerRunning() const { return hoverTimer_.isActive(); }

    // --- the frame: geometry, painting, region
    void ResizeForm(bool keepClient);
    void UpdateNc(QPainter &p);
    void Drawborder(int kind, const QRect &rect, QPainter &p);
    void DrawFLine(QPainter &p);
    void DrawLine(QPainter &p, const QRect &inner);
    void Cropwindow();
    QRegion WindowRegion() const; // the region Cropwindow gives the window at its current size

    // --- the mouse on the frame, caption buttons, system menu
    int HitTest(QPoint windowPos) const;
    const std::vector<std::unique_ptr<TWinSysButton>> &Buttons() const { return buttons_; }
    TWinSysButton *FindBtn(QPoint windowPos) const;
    TNCObject *HotObject() const { return hot_; }
    void SetHotObject(TNCObject *object) { hot_ = object; }
    void SetSysbtnRect();
    void SysBtnVisible(int index);
    void DrawSysbtn(TNCObject *button);
    void SysBtnAction(QPoint windowPos);
    void Maximize();
    void Minimize();
    void Restore();
    void PopSysmenu(QPoint globalPos);
    // The system menu's items for the window's state: command, text, enabled.
    struct SysMenuItem {
        int command; // 0 for a separator
        QString text;
        bool enabled;
    };
    std::vector<SysMenuItem> SysMenuModel() const;
    QMenu *SysMenuPopup() const { return sysMenu_; }
    void PostSysCommand(int command);
    void SysCommand(int command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // lifecycle (TSkinnedForm.cpp)
    void skinActive();
    void firstFrame();
    void afterSkin();
    void readWindowState();
    void stateChanged();
    void activationChanged(bool active);
    void setFrameless(bool frameless);
    void applyFrame(const QMargins &frame);
    QMargins growth(const QMargins &frame) const; // what `frame` adds to the window's size
    void keepCaptionWidth();
    bool handleSkinMessage(QEvent *event);
    void paintFrame(QPaintEvent *event);
    void repaintFrame();
    void repaintTitle();
    void attachMenuBar(); // the window's menu bar becomes the drawn one
    // the mouse (TSkinnedForm_mouse.cpp)
    bool frameMouse(QEvent *event);
    void pressFrame(QPoint pos, QPoint global);
    void moveFrame(QPoint pos, QPoint global, Qt::MouseButtons buttons);
    void releaseFrame(QPoint pos, QPoint global);
    void doubleClickFrame(QPoint pos);
    void setHitCursor(int hit);
    void dragTo(QPoint global);
    void ensureButtonsVisible();
    // painting helpers (TSkinnedForm_frame.cpp)
    const TDataSkinBorder *border(int kind) const;
    QImage borderPicture(int kind, QSize size) const; // the border of the current activation state
    int buttonFrame(const TWinSysButton &b) const;
    void drawButton(QPainter &p, const TWinSysButton &b) const;
    QPixmap windowIcon() const;
    QFont captionFont() const;

    TSkinManage *manager_;
    QPointer<QWidget> window_;
    TSkinData *data_ = nullptr;
    QString className_;
    int skinState_ = 0;
    bool subclassed_ = false, frameSkinning_ = false;
    bool active_ = false, dialogClass_ = false, rightToLeft_ = false, sizable_ = true;
    int windowState_ = 0, frameKind_ = 0;
    bool minBox_ = true, maxBox_ = true, sysMenuBox_ = true;
    QMargins borders_;
    int menuBarHeight_ = 0;
    std::unique_ptr<TSkinnedMenu> menuBar_;
    QMargins applied_;      // frame margins currently added to the window's own contents margins
    // The height the window's layout gave its own menu bar, which the painted bar replaces inside the frame: the
    // window's contents keep their size through a change of look.
    int barTaken_ = 0;
    QRect captionRect_;
    int captionClipEdge_ = 0;
    int captionWidth_ = 0; // the width a dialog keeps so that its caption shows whole; 0 none
    QSize lastCut_;
    // what skinning changed, to give it back
    Qt::WindowFlags savedFlags_;
    QMargins savedMargins_;
    QPalette savedPalette_;
    bool savedPaletteSet_ = false, savedTracking_ = false, savedCursorSet_ = false, frameless_ = false;
    QCursor savedCursor_;
    QSize savedMin_, savedMax_;
    // caption buttons and the mouse
    std::vector<std::unique_ptr<TWinSysButton>> buttons_;
    QPointer<TNCObject> hot_;
    QTimer hoverTimer_;
    QPointer<QMenu> sysMenu_;
    QPointer<QShortcut> sysMenuKey_; // Alt+Space opens the system menu
    QElapsedTimer lastSysMenu_;
    int doubleClickTime_ = 400;
    int pressHit_ = HTNOWHERE;
    bool dragging_ = false, manualDrag_ = false, frameCursor_ = false;
    QPoint pressGlobal_, pressPos_;
    QRect pressGeometry_;
};
