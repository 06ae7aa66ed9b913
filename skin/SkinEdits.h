#pragma once

#include "TSkinControl.h"

#include <QPointer>

class QScrollBar;
class TSkinHeader;

// Single-line edits with a frame: the frame drawn over in the skin's shadow colour with two white rings
// inside. An edit without a frame is left alone.
class TSkinEdit : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;

protected:
    void DrawControl(QPainter &p, const QRect &rect) override;
};

// Combo boxes: the skin's sunken edge around the field and its drop button with the arrow, by state (1 normal,
// 2 pressed or dropped, 3 disabled, 4 focused or hot); mirrored at the left for right-to-left boxes; the skin's
// Style 1 draws the flat look, Style 2 one stretched picture. The text of the field stays the box's own. The
// dropped list's scroll bar is skinned.
class TSkinComBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    ~TSkinComBox() override;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void Unsubclass() override;
    int ButtonState() const;
    QRect ButtonRect() const; // as last drawn
    int ButtonWidth() const;

protected:
    bool BeforeProc(QEvent *event) override;
    void AfterProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;

private:
    void drawFlat(QPainter &p, const QRect &rect, int state);
    QRect buttonRectFor(const QRect &rect) const;
    QRect buttonRect_;
    QPointer<QScrollBar> listBar_;
    QPalette savedPalette_;
    bool paletteSet_ = false, ownPalette_ = false;
};

// Date and time edits: the two-colour frame of an edit, and for a box with a drop-down calendar the skin's
// combo arrow (frame 4 while the mouse is over it) in place of the native drop button.
class TSkinDateTime : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    QRect ArrowRect() const;

protected:
    void AfterProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;

private:
    bool hot_ = false;
};

// Scroll areas (text panes, lists, trees, tables, scroll boxes): both scroll bars skinned, a framed area's
// border in the skin's colours, and the headers of item views skinned.
class TSkinScrollbar : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    ~TSkinScrollbar() override;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void Unsubclass() override;
    void SkinChange() override;
    bool Border() const { return border_; }

protected:
    void DrawControl(QPainter &p, const QRect &rect) override;

private:
    bool border_ = false;
    std::vector<QPointer<TSkinHeader>> headers_;
};

// A scroll bar on its own.
class TSkinScControl : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void Unsubclass() override;
};
