#pragma once

#include <QImage>
#include <QWidget>

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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
