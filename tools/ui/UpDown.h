#pragma once

#include <QWidget>

class QToolButton;

// A pair of arrow buttons that steps a position within a range, beside an edit that shows the value.
// The arrows repeat while held; Page Up/Down and the wheel over the arrows step too.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int position() const { return m_position; }
    // Moves to `position` (clamped) without emitting changed().
    void setPosition(int position);

signals:
    // The user stepped to a new position.
    void changed(int position);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void step(int delta);

    QToolButton *m_up;
    QToolButton *m_down;
    int m_min = 0, m_max = 100, m_position = 0;
};
