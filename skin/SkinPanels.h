#pragma once

#include "SkinMessages.h"
#include "TSkinControl.h"

#include <QImage>
#include <QPointer>

#include <vector>

#include <QTabBar>
class QTabWidget;
enum class SkinKind;

// Sent to the skinned window when the close mark of a tab is clicked: wParam the tab widget (or tab bar),
// lParam the tab's index. The page is closed only when the window answers TabCloseFree; a window that does
// not answer keeps it.
constexpr int CN_TabClose = 0x3507;
constexpr qintptr TabCloseFree = 1;
inline TSkinMessage *AsTabCloseMessage(QEvent *event)
{
    return event->type() == QEvent::Type(CN_TabClose) ? dynamic_cast<TSkinMessage *>(event) : nullptr;
}
// A tab widget (or tab bar) whose property "Tag" is 7777 and whose tabs are on top gets close marks.
constexpr int ClosableTabsTag = 7777;

// The skin of the container, field and scroll kinds (tabs, tool buttons, group boxes, tool and status bars,
// headers, scroll bars and scroll areas, combo boxes, date edits, edits, panels); none for other kinds.
TSkinControl *CreateContainerSkin(SkinKind kind, QWidget *control);

// Text with an optional icon, the pair placed in rect by alignment (0 left, 1 centre, 2 right) and centred
// vertically; the icon stands 2 pixels before the text.
void DrawImgCaption(QPainter &p, const QRect &rect, const QString &text, const QIcon &icon, int alignment,
                    const QColor &colour);

// Tab widgets and lone tab bars: the tabs from the skin's tab picture (frame 2 the current tab, 1 the others),
// composed as a strip on top and turned for tabs on the left or right, flipped for tabs below; the page area
// from the skin's pane picture.
class TSkinTab : public TSkinControl {
    Q_OBJECT
public:
    explicit TSkinTab(QWidget *control);
    ~TSkinTab() override;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void Unsubclass() override;
    void SkinChange() override;

    int TabPosition() const { return position_; } // 0 top, 1 bottom, 2 left, 3 right
    bool Closable() const { return closable_; }
    QRect CloseRect(int index) const; // in the tab bar's coordinates; empty without a close mark
    QRect PaneRect() const;           // in the control's coordinates
    void DrawStrip(QPainter &p);      // the tab row, over the tab bar's rectangle

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool BeforeProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;

private:
    void inittab();
    bool clickClose(QPoint at);
    QTabBar *bar() const { return bar_; }
    QTabWidget *tabWidget() const;

    QPointer<QTabBar> bar_;
    QImage tab_, pane_;
    QMargins paneMargins_;
    std::vector<QRect> closeRects_;
    int position_ = 0;
    bool closable_ = false;
};

// Group boxes: a rounded frame in the skin's shadow colour and the title on the face colour, 8 pixels from the
// left (from the right for right-aligned or right-to-left boxes). Checkable group boxes keep their own look.
class TSkinGroupBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    QRect CaptionRect() const;

protected:
    bool BeforeProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;
};

// Panels take the skin's face colour and paint nothing of their own.
class TSkinBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = true) override;
};

// Header views: each section from the skin's header bar (frame 2 for the section under the mouse, 1 the
// others) with its whole text, the room after the last section in frame 1.
class TSkinHeader : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    ~TSkinHeader() override;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void Unsubclass() override;
    int HotItem() const { return hot_; }
    void Paint(QPainter &p, const QRect &rect); // the whole header over its viewport's rectangle

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *viewport() const;
    void setHot(int item);
    struct Item {
        int logical;
        QRect rect;
    };
    std::vector<Item> items_; // as last painted, shrunk by 3 across
    int hot_ = -1;
};

// Status bars: the face colour, each panel (a child widget) on the skin's status-bar edge by its bevel (frame 1
// sunken, 2 raised, 3 none) with its text in the skin's colour, a temporary message as one sunken panel, the
// size grip from the skin's extra images.
class TSkinStatusBar : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    ~TSkinStatusBar() override;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void Unsubclass() override;
    static int BevelFrame(const QWidget *panel); // 1 sunken, 2 raised, 3 none

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool BeforeProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;

private:
    void drawBevel(QPainter &p, const QRect &rect, int frame) const;
    void watchChildren();
    std::vector<QPointer<QWidget>> watched_;
};

// Tool bars: the skin's tool-bar picture stretched over the bar, unless the skin's options keep the native
// tool-bar background (xoToolbarBK).
class TSkinToolbar : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;

protected:
    bool BeforeProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;
};

// Buttons of a tool bar: pressed or latched buttons on frame 2 of the skin's tool-bar button, hot or focused
// ones on frame 4, the others flat; the label in the frame's text colour when the skin sets one.
class TSkinToolButton : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    int Frame() const; // 0 none

protected:
    bool BeforeProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;
};
