#include "TImage.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImage::SetPicture(const QImage &picture)
{
    m_picture = picture;
    update();
}

void TImage::Clear()
{
    m_picture = QImage();
    update();
}

void TImage::SetTransparentWhite(bool on)
{
    m_transparentWhite = on;
    m_shownKey = -1;
    update();
}

void TImage::paintEvent(QPaintEvent *event)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    if (!m_transparentWhite) {
        p.drawImage(event->rect(), m_picture, event->rect());
        return;
    }
    // Drawing into the picture changes its cache key, so the transparent copy is made once per change.
    if (m_shownKey != m_picture.cacheKey()) {
        m_shown = m_picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < m_shown.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(m_shown.scanLine(y));
            for (int x = 0; x < m_shown.width(); ++x)
                if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu)
                    line[x] = 0;
        }
        m_shownKey = m_picture.cacheKey();
    }
    p.drawImage(event->rect(), m_shown, event->rect());
}

void TImage::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(event);
    QWidget::mousePressEvent(event);
}

void TImage::mouseMoveEvent(QMouseEvent *event)
{
    emit MouseMove(event);
    QWidget::mouseMoveEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    emit MouseUp(event);
    QWidget::mouseReleaseEvent(event);
}
