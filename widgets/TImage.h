#pragma once

#include <QImage>
#include <QWidget>

class QMouseEvent;

// A picture control: a widget showing its QImage 1:1 from the top-left corner. The image is the canvas that
// drawing code paints into; call update() (or SetPicture) after drawing so the widget repaints.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    QImage &Picture() { return m_picture; }
    const QImage &Picture() const { return m_picture; }
    void SetPicture(const QImage &picture);
    // Drops the picture (no graphic); the control keeps its size.
    void Clear();
    // Shows the picture's white as transparent, so that a picture underneath shows through (the chart over the
    // floor plan). The picture itself keeps its white.
    void SetTransparentWhite(bool on);

signals:
    // Mouse presses, moves and releases in picture coordinates (the event's position).
    void MouseDown(QMouseEvent *event);
    void MouseMove(QMouseEvent *event);
    void MouseUp(QMouseEvent *event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    bool m_transparentWhite = false;
    QImage m_shown;         // the picture with its white made transparent
    qint64 m_shownKey = -1; // cacheKey of the picture m_shown was made from
};
