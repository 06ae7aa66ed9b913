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

void TImage::SetScreenRenderer(ScreenRenderer render)
{
    m_render = std::move(render);
    m_screen = QImage();
    m_screenKey = -1;
    update();
}

void TImage::SetOverlay(OverlayPainter paint)
{
    m_overlay = std::move(paint);
    update();
}

const QImage &TImage::ScreenSource()
{
    const qreal ratio = devicePixelRatioF();
    const qint64 pixels = qint64(m_picture.width() * ratio) * qint64(m_picture.height() * ratio);
    if (ratio <= 1.0 || !m_render || m_picture.isNull() || pixels > kMaxScreenPixels)
        return m_picture;
    // Drawing into the picture changes its cache key: the screen picture is made once per change.
    if (m_screenKey != m_picture.cacheKey() || m_screenRatio != ratio) {
        m_screen = m_render(ratio);
        m_screenKey = m_picture.cacheKey();
        m_screenRatio = ratio;
    }
    return m_screen.isNull() ? m_picture : m_screen;
}

const QImage &TImage::Transparent(const QImage &source)
{
    if (m_shownKey != source.cacheKey()) {
        m_shown = source.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < m_shown.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(m_shown.scanLine(y));
            for (int x = 0; x < m_shown.width(); ++x)
                if ((line[x] & 0x00FFFFFFu) == 0x00FFFFFFu)
                    line[x] = 0;
        }
        m_shownKey = source.cacheKey();
    }
    return m_shown;
}

void TImage::paintEvent(QPaintEvent *event)
{
    const QImage &source = ScreenSource();
    if (source.isNull())
        return;
    const QImage &shown = m_transparentWhite ? Transparent(source) : source;
    QPainter p(this);
    const qreal k = source.devicePixelRatio();
    const QRectF area(event->rect());
    if (k == 1.0)
        p.drawImage(event->rect(), shown, event->rect());
    else
        p.drawImage(area, shown, QRectF(area.topLeft() * k, area.size() * k));
    if (m_overlay)
        m_overlay(p);
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

void TImage::leaveEvent(QEvent *event)
{
    emit MouseLeave();
    QWidget::leaveEvent(event);
}
