#include "TImage.h"

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

void TImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}
