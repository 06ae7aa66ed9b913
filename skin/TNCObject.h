#pragma once

#include "SkinObjects.h"

#include <QObject>
#include <QRect>

class TSkinnedForm;

// A hot object of the painted frame (a caption button) with its rectangle in window coordinates.
// States run 1 normal -> 3 hover (enter) -> 2 pressed (down) -> 3 (up) -> 1 (leave); a disabled object
// ignores the mouse. The owner holds at most one hot object.
class TNCObject : public QObject {
public:
    enum State { Normal = 1, Pressed = 2, Hover = 3 };
    explicit TNCObject(TSkinnedForm *owner) : owner(owner) {}

    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Draw() = 0;

    TSkinnedForm *owner;
    QRect rect;
    bool visible = false;
    int state = Normal;
    bool enabled = true;
};

// A caption button drawn from one caption-button element of the skin.
class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TSkinnedForm *owner, const TDataSkinSysButton &element) : TNCObject(owner), element(element) {}
    void Draw() override;

    // A copy (the picture is shared, not duplicated): a button outlives a reload of the skin model until the
    // frame re-reads the skin.
    const TDataSkinSysButton element;
};
