#pragma once

#include <QColor>
#include <QWidget>

// A grid of the 16 standard colours; a left click makes a cell the foreground colour, which is framed.
class ColourGrid : public QWidget {
    Q_OBJECT
public:
    explicit ColourGrid(QWidget *parent = nullptr);

    QColor ForegroundColor() const;
    static QColor CellColor(int index); // 0..15: black, maroon, green, olive, navy, purple, teal, grey,
                                        // silver, red, lime, yellow, blue, fuchsia, aqua, white
    QSize sizeHint() const override;

signals:
    void foregroundChanged(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QRect cellRect(int index) const;
    int m_foreground = 0;
};
