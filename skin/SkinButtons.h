#pragma once

#include "TSkinControl.h"

#include <QIcon>

// Button skins, painted from the skin's Buttons element (a strip of 5 frames: 1 normal, 2 pressed,
// 3 disabled, 4 hot, 5 focused; disabled overrides the others, pressed goes before hot, hot before focused).
// The control keeps its own mouse and keyboard handling: it still clicks, toggles and takes the focus; the
// skin only follows the mouse and the space key for the pressed and hot looks.
//
// A skin without a Buttons picture leaves push, icon, tool and menu buttons to paint themselves, as check
// boxes and radio buttons without their strips do.

// Push buttons.
class TSkinButton : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    // The frame of the Buttons element the button shows now.
    virtual int ButtonState() const;

protected:
    bool BeforeProc(QEvent *event) override;
    void AfterProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;
    bool HasPicture() const;
    void DrawBackground(QPainter &p, const QRect &rect);
    // The background and the button picture in the current state, with the control's font set; the state.
    int DrawFace(QPainter &p, const QRect &rect);
    QColor TextColor(int state) const;
    // The caption, its first "||" made a line break, word-wrapped and centred (or kept left, by alignment)
    // one pixel above the middle of rect shrunk by 2; with the focus a dotted rectangle 2 pixels around it.
    void DrawBtnText(QPainter &p, const QRect &rect, Qt::Alignment alignment, const QString &text);
};

// Push buttons with an icon: the icon and the caption laid out as the control's Layout, Margin and Spacing
// say (missing: glyph left, margin -1 = centred together, spacing 4).
class TSkinBitButton : public TSkinButton {
    Q_OBJECT
public:
    using TSkinButton::TSkinButton;
    struct Placement {
        QRect glyph, text;
    };
    // Where the glyph and the caption go inside client (layout 0 left, 1 right, 2 top, 3 bottom).
    static Placement LayoutGlyph(const QRect &client, QSize glyph, QSize text, int layout, int margin,
                                 int spacing, bool centred);

protected:
    void DrawControl(QPainter &p, const QRect &rect) override;
    void DrawGlyphAndText(QPainter &p, const QRect &rect, const QString &caption, int layout, bool withGlyph,
                          int state);
};

// Tool buttons: the body is drawn only when hot or pressed while the button is flat; a latched (checked)
// button shows pressed.
class TSkinSpeedButton : public TSkinBitButton {
    Q_OBJECT
public:
    using TSkinBitButton::TSkinBitButton;
    int ButtonState() const override;

protected:
    void DrawControl(QPainter &p, const QRect &rect) override;

private:
    bool drawing_ = false;
};

// Push buttons with a drop-down menu: frame 4 also for the focused state, and a small arrow at the right.
class TSkinMenuButton : public TSkinButton {
    Q_OBJECT
public:
    using TSkinButton::TSkinButton;
    int ButtonState() const override;

protected:
    void DrawControl(QPainter &p, const QRect &rect) override;
};

// Check boxes and radio buttons: a frame of the CheckButton or RadioButton strip beside the caption.
// Variant 1 paints while the strip is there; variant 0 leaves the control to paint itself.
class TSkinCheckBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false) override;
    void SkinChange() override;
    virtual int GlyphFrame() const; // the strip frame the control shows now

protected:
    bool BeforeProc(QEvent *event) override;
    void AfterProc(QEvent *event) override;
    void DrawControl(QPainter &p, const QRect &rect) override;
    virtual const QImage &Strip() const;
    virtual int StripFrames() const;
};

class TSkinRadioButton : public TSkinCheckBox {
    Q_OBJECT
public:
    using TSkinCheckBox::TSkinCheckBox;
    int GlyphFrame() const override;

protected:
    const QImage &Strip() const override;
    int StripFrames() const override;
};
