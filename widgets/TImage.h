#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QMouseEvent;
class QPainter;

// A picture control: a widget showing its QImage 1:1 from the top-left corner. The image is the canvas that
// drawing code paints into; call update() (or SetPicture) after drawing so the widget repaints.
class TImage : public QWidget {
    Q_OBJECT
public:
    // Draws the picture anew at a device-pixel ratio: an image of the picture's size times the ratio, marked with
    // it; null when the picture cannot be drawn again (it holds more than its owner drew).
    using ScreenRenderer = std::function<QImage(qreal ratio)>;
    // Screen pictures beyond this many device pixels are not made; the picture is then shown magnified.
    static constexpr qint64 kMaxScreenPixels = 40'000'000;

    explicit TImage(QWidget *parent = nullptr);

    QImage &Picture() { return m_picture; }
    const QImage &Picture() const { return m_picture; }
    void SetPicture(const QImage &picture);
    // Drops the picture (no graphic); the control keeps its size.
    void Clear();
    // Shows the picture's white as transparent, so that a picture underneath shows through (the chart over the
    // floor plan). The picture itself keeps its white.
    void SetTransparentWhite(bool on);
    // On a screen scaled above 1:1 the picture is shown as the renderer draws it at the screen's ratio, sharp
    // instead of magnified, made again whenever the picture changes. The picture keeps its size: it is what is
    // drawn on, saved, copied and printed, and what mouse positions refer to.
    void SetScreenRenderer(ScreenRenderer render);
    // Paints over the shown picture in picture coordinates at each repaint, without changing the picture (what is
    // saved, copied and printed); for marks that come and go with the pointer.
    using OverlayPainter = std::function<void(QPainter &painter)>;
    void SetOverlay(OverlayPainter paint);

signals:
    // Mouse presses, moves and releases in picture coordinates (the event's position).
    void MouseDown(QMouseEvent *event);
    void MouseMove(QMouseEvent *event);
    void MouseUp(QMouseEvent *event);
    // The pointer has left the control.
    void MouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    const QImage &ScreenSource();
    const QImage &Transparent(const QImage &source);

    QImage m_picture;
    bool m_transparentWhite = false;
    QImage m_shown;         // the shown source with its white made transparent
    qint64 m_shownKey = -1; // cacheKey of the source m_shown was made from
    ScreenRenderer m_render;
    OverlayPainter m_overlay;
    QImage m_screen;         // the picture drawn at the screen's ratio
    qint64 m_screenKey = -1; // cacheKey of the picture m_screen was drawn for
    qreal m_screenRatio = 0;
};
