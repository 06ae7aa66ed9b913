#pragma once

#include "TSkinControl.h"

#include <QPointer>
#include <QProxyStyle>

class QStyleOptionSlider;

// Progress bars: the 2-frame Progress element (frame 1 the trough, frame 2 the filled part) or, with the
// element's Style 1, the trough and a stretched or tiled Progress.Chunk. A vertical bar is composed lying
// down and turned so that it fills from the bottom. Without a Progress picture the bar paints itself.
class TSkinProgress : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    // Pixels of the filled part over a bar `length` long: the value's share of the range above the minimum;
    // 0 for an empty or busy range, at most length.
    static int FilledLength(int length, int minimum, int maximum, int value);

protected:
    bool BeforeProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;
};

// Track bars (sliders): the channel from the Track (TRACKVERT when vertical) picture in three slices, the
// thumb from frame 2 of the 5-frame Trackbar.ThumbHorz (ThumbVert) strip; the tick marks stay the
// toolkit's own. The style draws the slider in parts, so the skin gives the slider its own proxy style that
// hands the channel and the thumb to the skin while it is active.
class TSkinTrackBar : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    ~TSkinTrackBar() override;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void Unsubclass() override;
    void SkinChange() override;

    void DrawTrack(QPainter &p, const QRect &channel, bool vertical) const;
    void Drawthumb(QPainter &p, const QRect &thumb, bool vertical) const;

private:
    class Style;
    QPointer<QStyle> style_;
    QPointer<QStyle> savedStyle_; // the slider's own style when it had one
};

// Up-down buttons of spin boxes: two halves from the 8-frame UpDown.Vert (UpDown.Horz) element, frame
// (kind x 4 + state) with kind 0 up / 1 down (0 left / 1 right) and state 1 normal, 2 pressed, 3 disabled;
// the element's glyph strip centred on each. Without the element, plain buttons with arrows. The halves sit
// where the spin box's own buttons are; in a framed spin box they are kept at least 3 pixels inside the frame
// at the top, bottom and right.
class TSkinUpDown : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    bool ForcedHorizontal = false;
    QRect ButtonsRect() const;  // the spin box's own button area, in its coordinates
    QRect SkinnedRect() const;  // where the halves are drawn
    int HalfState(int kind) const;

protected:
    bool BeforeProc(QEvent *event) override;
    void AfterProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;

private:
    bool vertical() const;
    void DrawSkinButton(QPainter &p, const QRect &rect, int kind, int state) const;
    void DrawButton(QPainter &p, const QRect &rect, int kind, int state) const;
    QPoint lastMouse_{-1, -1}; // where the mouse last was over the control, in its coordinates
};
