#pragma once

#include <QPointer>
#include <QProxyStyle>

class QAbstractScrollArea;
class QPainter;
class QScrollBar;
class QStyleOptionSlider;
class TSkinData;

// The places along one scroll bar, in pixels from its first end. Arrows are [0, arrow1) and
// [length - arrow2, length); the track lies between them; the thumb [thumbStart, thumbEnd) lies inside the
// track when `thumb` is true.
struct SkinScrollGeometry {
    int length = 0;
    int arrow1 = 0, arrow2 = 0;
    int trackStart = 0, trackEnd = 0;
    int thumbStart = 0, thumbEnd = 0;
    bool thumb = false;
    int trackLength() const { return trackEnd - trackStart; }
    int thumbLength() const { return thumbEnd - thumbStart; }
};

// The skinned geometry of a bar `length` pixels long with arrows `arrow` pixels long, for the values of a
// scroll bar (minimum, maximum, page step, position; the page step 0 means no page). A bar shorter than two
// arrows is two arrows of half its length each, without track or thumb. A thumb shorter than 8 pixels
// becomes 8 pixels and still reaches the end of the track at the last position. A range of 0 puts the thumb
// at the start.
SkinScrollGeometry ComputeSkinScroll(int length, int arrow, int minimum, int maximum, int page, int position);

// Parts of a bar, numbered as the scroll requests they make: 0 first arrow, 1 second arrow, 2 track before
// the thumb, 3 track after it, 5 the thumb; -1 outside the bar.
int SkinScrollPart(const SkinScrollGeometry &g, int at);

// The skinned look and geometry of one scroll bar: the skin's arrows, track and thumb, the skin's thickness,
// and the skinned places for arrow presses, page presses and thumb drags. One style per scroll bar, owned by
// the bar; it paints nothing of its own once the skin has no scroll-bar pictures (the application's style
// then draws). User-interface thread only.
class TSkinScrollStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit TSkinScrollStyle(TSkinData *data);
    TSkinData *Data() const { return data_; }
    bool Skinned() const; // the skin has the scroll-bar pictures

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget = nullptr) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                     const QPoint &pos, const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;

    // The geometry the bar of this option is painted with.
    SkinScrollGeometry Geometry(const QStyleOptionSlider &option) const;
    // The bar drawn into the painter over the option's rectangle.
    void Paint(QPainter &p, const QStyleOptionSlider &option) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend bool SkinScrollBar(QScrollBar *, TSkinData *);
    friend bool UnskinScrollBar(QScrollBar *);
    TSkinData *data_;
    QPointer<QStyle> previous_; // the bar's own style before, or none (the application's)
};

// Gives the bar its own skinned style (a bar that has one already is left as it is); the bar's earlier
// style comes back with UnskinScrollBar. Both answer whether they changed the bar.
bool SkinScrollBar(QScrollBar *bar, TSkinData *data);
bool UnskinScrollBar(QScrollBar *bar);
TSkinScrollStyle *ScrollStyleOf(const QScrollBar *bar);

// The border of a framed scroll area in the skin's colours (with `border`): the outer ring ButtonShadow, the
// ring inside it ButtonFace; and the square where its two bars meet in ButtonFace. Painted over the area.
void PaintScrollAreaBorder(QPainter &p, QAbstractScrollArea *area, const TSkinData &data, bool border = true);
