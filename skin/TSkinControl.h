#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariant>
#include <QWidget>

class QEvent;
class QPainter;
class TSkinData;
class TSkinnedForm;
struct TDataSkinObject;

// Qt properties read by the names the skins use for them; a widget of any class is read through these, never
// through its class. Missing properties read as "", -1 or an invalid value.
namespace SkinProps {
inline constexpr const char *Caption = "text";
inline constexpr const char *Font = "font";
inline constexpr const char *Glyph = "icon";
inline constexpr const char *Checked = "checked";
inline constexpr const char *Flat = "autoRaise"; // a tool button shows its body only when hot or pressed
inline constexpr const char *Down = "checked";   // a latched tool button
inline constexpr const char *Tag = "Tag";        // the program's own tag, a dynamic property
inline constexpr const char *Layout = "Layout";  // 0 glyph left, 1 right, 2 top, 3 bottom
inline constexpr const char *Margin = "Margin";
inline constexpr const char *Spacing = "Spacing";
} // namespace SkinProps
QString GetStringProp(const QObject *object, const char *name);
int GetIntProperty(const QObject *object, const char *name); // -1 when missing or not a number
bool GetBoolProp(const QObject *object, const char *name);

// The skin of one control of a skinned window. It sits in the control's event path as an event filter:
// BeforeProc sees an event first and may keep it (false); otherwise the control handles it and AfterProc
// follows. Painting is composed off-screen and copied to the control in one transfer. Paint code raises
// nothing: an element without a picture is simply not drawn.
//
// The skin never owns its control. When the control is destroyed the skin goes to state 6, lets go of it and
// frees itself once control is back in the event loop; the list that holds it keeps a QPointer.
//
// State: 0 created, 1 attached, 6 the control was destroyed. Mouse bits: Hot (the mouse is over it) and
// Pressed (left button or space held). User-interface thread only.
class TSkinControl : public QObject {
    Q_OBJECT
public:
    enum MouseBit { Hot = 1, Pressed = 2 };
    explicit TSkinControl(QWidget *control);
    ~TSkinControl() override;

    // Attach (once; a second call changes nothing). With parentBackground the control takes the skin's face
    // colour until it is let go.
    virtual void Init(TSkinnedForm *form, TSkinData *data, bool parentBackground = false);
    virtual void Unsubclass(); // give back what Init changed, except the filter (the destructor removes it)
    virtual void SkinChange(); // the skin was read again

    QWidget *Control() const { return control_; }
    TSkinData *Data() const { return data_; }
    TSkinnedForm *Form() const { return form_; }
    int State() const { return state_; }
    bool Active() const { return active_; }
    bool Initialised() const { return initialised_; }
    int Variant() const { return variant_; }
    int MouseFlags() const { return mouse_; }
    void SetVariant(int variant) { variant_ = variant; }

signals:
    void released(TSkinControl *skin); // the control is gone (state 6)

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // false: the skin has handled the event and it goes no further.
    virtual bool BeforeProc(QEvent *event);
    virtual void AfterProc(QEvent *event);
    // Draw the skinned look over rect (the control's rectangle at the origin) of an off-screen picture.
    virtual void DrawControl(QPainter &p, const QRect &rect);
    // The control's own handling of the event; answers what the control answered.
    bool Default(QEvent *event);
    void Invalidate();
    // The whole control composed off-screen, then copied onto it in one transfer (inside a paint event).
    void WMPaint();
    void PaintOver(); // DrawControl straight onto the control after it painted itself

    void FillBG(QPainter &p, const QRect &rect) const;
    void FillParentBG(QPainter &p, const QRect &rect) const;
    // A frame of an element stretched over rect with its margins kept; magenta left out when the element's
    // Trans is 1. An empty element picture or rectangle draws nothing.
    void DrawSkinMap(QPainter &p, const QRect &rect, const TDataSkinObject &element, int count, int frame) const;
    // One frame of a strip stretched whole over rect, magenta left out.
    static void DrawSkinMap1(QPainter &p, const QRect &rect, const QImage &strip, int count, int frame);
    QColor SkinColor(int colourName) const;
    static QColor WinColor(quint32 colour); // 0x00BBGGRR, system colours resolved
    static QColor BtnShadow();               // the system's button-shadow colour: disabled text
    bool Transparent() const { return transparent_; }
    void SetTransparentFromTag(); // Tag 5555 or the skin option xoTransparent: paint over the parent's picture
    void DrawFocusRect(QPainter &p, const QRect &rect) const;

    QPointer<QWidget> control_;
    TSkinData *data_ = nullptr;
    TSkinnedForm *form_ = nullptr;
    int mouse_ = 0;
    bool active_ = true;
    int state_ = 0;
    int variant_ = 0;
    bool initialised_ = false;
    bool transparent_ = false;

private:
    void controlDestroyed();
    bool parentBackground_ = false;
    QPalette savedPalette_;
    bool savedPaletteSet_ = false;
};
