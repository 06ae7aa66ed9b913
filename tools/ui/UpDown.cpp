#include "UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

UpDown::UpDown(QWidget *parent) : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(16, 11);
        layout->addWidget(b);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(16, 22);
}

void UpDown::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = qMax(minimum, maximum);
    setPosition(m_position);
}

void UpDown::setPosition(int position) { m_position = qBound(m_min, position, m_max); }

void UpDown::step(int delta)
{
    const int next = qBound(m_min, m_position + delta, m_max);
    if (next == m_position)
        return;
    m_position = next;
    emit changed(m_position);
}

void UpDown::wheelEvent(QWheelEvent *event)
{
    const int dy = event->angleDelta().y();
    if (dy != 0)
        step(dy > 0 ? 1 : -1);
    event->accept();
}
