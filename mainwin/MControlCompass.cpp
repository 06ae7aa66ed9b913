#include "MControlCompass.h"

#include "ImageFileWrite.h"
#include "PictureFile.h"
#include "TImage.h"
#include "WinColor.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace {

// Distance for the fill: the reciprocal of the fast inverse square root with one Newton step (within 0.2 % of
// the exact root); it decides which pixels of the rim the fill takes.
float FastDistance(int squared)
{
    const float x = float(squared);
    const float half = 0.5f * x;
    float y = std::bit_cast<float>(0x5F3759DF - (std::bit_cast<int32_t>(x) >> 1));
    y = y * (1.5f - half * y * y);
    return 1.0f / y;
}

} // namespace

bool MControlCompass::LoadPicture(const QString &file)
{
    m_message.clear();
    PictureRead photo = ReadPictureFile(file);
    const QString name = QFileInfo(file).fileName();
    switch (photo.error) {
    case PictureRead::Error::None:
        break;
    case PictureRead::Error::TooLarge:
        m_message = QStringLiteral("罗盘图片太大：%1 × %2 像素。最大只能打开 %3 × %3 像素的图片。")
                        .arg(photo.size.width())
                        .arg(photo.size.height())
                        .arg(kMaxPictureSide);
        return false;
    case PictureRead::Error::Damaged:
        m_message = QStringLiteral("无法读取罗盘图片：%1\n文件不完整或已损坏。").arg(name);
        return false;
    default:
        m_message = QStringLiteral("无法读取罗盘图片：%1").arg(name);
        return false;
    }
    m_photo = std::move(photo.image).convertToFormat(QImage::Format_RGB32);
    m_fileName = file;
    m_angle = 0.0f;
    m_step = 1.0f;
    m_crosshair = true;
    m_rimCircle = false;
    m_penWidth = 1;
    m_radiusOffset = 0.0f;
    SetDisplaySize(m_photo.width(), m_photo.height());
    m_cx = float(m_dispW) / 2.0f;
    m_cy = float(m_dispH) / 2.0f;
    m_radius = FittedRadius();
    Draw();
    return true;
}

float MControlCompass::FittedRadius() const
{
    return float(std::min({int(float(m_dispW) - m_cx), int(m_cy), int(float(m_dispH) - m_cy), int(m_cx)}));
}

void MControlCompass::SetDisplaySize(int w, int h)
{
    m_dispW = w;
    m_dispH = h;
    if (m_control) {
        m_control->Picture() = QImage(w, h, QImage::Format_RGB32);
        m_control->resize(w, h);
    }
}

void MControlCompass::Turn(float degrees)
{
    if (!IsLoaded())
        return;
    float a = std::isfinite(degrees) ? degrees : 0.0f;
    a = std::fmod(a, 360.0f);
    if (a < 0.0f)
        a += 360.0f;
    if (a >= 360.0f)
        a -= 360.0f;
    m_angle = a;
    Draw();
}

void MControlCompass::SetCrosshair(bool on)
{
    m_crosshair = on;
    Draw();
}

void MControlCompass::Draw()
{
    if (!IsLoaded() || !m_control)
        return;
    QImage &canvas = m_control->Picture();
    if (canvas.size() != QSize(m_dispW, m_dispH))
        canvas = QImage(m_dispW, m_dispH, QImage::Format_RGB32);
    Paint(canvas);
    m_drawnKey = canvas.cacheKey();
    m_control->update();
}

QImage MControlCompass::ScreenPicture(qreal ratio) const
{
    if (!IsLoaded() || !m_control || m_control->Picture().cacheKey() != m_drawnKey || !(ratio > 0))
        return {};
    QImage canvas(QSize(m_dispW, m_dispH) * ratio, QImage::Format_RGB32);
    if (canvas.isNull())
        return {};
    canvas.setDevicePixelRatio(ratio);
    Paint(canvas);
    return canvas;
}

// The photograph turned about the middle of the display area, and the marks, in display pixels whatever the
// canvas's pixel ratio.
void MControlCompass::Paint(QImage &canvas) const
{
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(m_dispW / 2.0, m_dispH / 2.0);
    p.rotate(m_angle);
    p.drawImage(QRectF(-m_dispW / 2.0, -m_dispH / 2.0, m_dispW, m_dispH), m_photo);
    p.resetTransform();
    if (!m_crosshair)
        return;
    // The marks are plain canvas strokes at whole pixels.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::red, m_penWidth));
    p.setBrush(Qt::NoBrush);
    const int cx = int(m_cx), cy = int(m_cy);
    p.drawLine(int(m_cx - m_radius), cy, int(m_cx + m_radius), cy);
    p.drawLine(cx, int(m_cy - m_radius), cx, int(m_cy + m_radius));
    p.drawEllipse(QRect(QPoint(cx - 5, cy - 5), QPoint(cx + 5, cy + 5)));
    if (m_rimCircle)
        p.drawEllipse(QRect(QPoint(int(m_cx - m_radius), int(m_cy - m_radius)),
                            QPoint(int(m_cx + m_radius), int(m_cy + m_radius))));
}

bool MControlCompass::Zoom(int direction)
{
    if (!IsLoaded() || m_dispW <= 0 || m_dispH <= 0)
        return false;
    const double f = direction == 1 ? 1.1 : 1.0 / 1.1;
    const int w = int(m_dispW * f);
    const int h = int(m_dispH * f);
    if (w > kMaxSide || h > kMaxSide || w < kMinSide || h < kMinSide)
        return false;
    const float oldW = float(m_dispW), oldH = float(m_dispH);
    SetDisplaySize(w, h);
    m_cx = m_cx * float(w) / oldW;
    m_cy = m_cy * float(h) / oldH;
    m_radius = FittedRadius();
    Draw();
    return true;
}

void MControlCompass::ResetSize()
{
    if (!IsLoaded() || m_dispW <= 0 || m_dispH <= 0)
        return;
    const float oldW = float(m_dispW), oldH = float(m_dispH);
    SetDisplaySize(m_photo.width(), m_photo.height());
    m_cx = m_cx * float(m_dispW) / oldW;
    m_cy = m_cy * float(m_dispH) / oldH;
    m_radius = FittedRadius();
    Draw();
}

bool MControlCompass::MoveCentre(int dx, int dy)
{
    if (!IsLoaded())
        return false;
    const float x = m_cx + float(dx), y = m_cy + float(dy);
    const float natW = float(m_photo.width()), natH = float(m_photo.height());
    if (x < 10 || x + 10 > natW || y < 10 || y + 10 > natH)
        return false;
    const float oldX = m_cx, oldY = m_cy;
    m_cx = x;
    m_cy = y;
    const float r = FittedRadius() + m_radiusOffset;
    if (r < 10 || r > natW || r > natH) {
        m_cx = oldX;
        m_cy = oldY;
        return false;
    }
    m_radius = r;
    Draw();
    return true;
}

void MControlCompass::GrowRadius(int delta)
{
    if (!IsLoaded())
        return;
    m_radiusOffset += float(delta);
    const float r = m_radius + float(delta);
    if (r >= 10 && r <= float(m_dispW) && r <= float(m_dispH))
        m_radius = r;
    Draw();
}

void MControlCompass::FillOutside(quint32 winColour)
{
    if (!IsLoaded() || !m_control)
        return;
    QImage &canvas = m_control->Picture();
    if (canvas.format() != QImage::Format_RGB32)
        canvas = canvas.convertToFormat(QImage::Format_RGB32);
    const QRgb colour = WinColorToQColor(winColour).rgb();
    for (int y = 0; y < canvas.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(canvas.scanLine(y));
        const int dy2 = int((float(y) - m_cy) * (float(y) - m_cy));
        for (int x = 0; x < canvas.width(); ++x) {
            const int dx2 = int((float(x) - m_cx) * (float(x) - m_cx));
            if (FastDistance(dx2 + dy2) >= m_radius)
                line[x] = colour;
        }
    }
    m_control->update();
}

bool MControlCompass::SaveJpeg(const QString &path, bool crop)
{
    m_message.clear();
    if (!IsLoaded() || !m_control) {
        m_message = QStringLiteral("没有罗盘图片。");
        return false;
    }
    QImage picture = m_control->Picture().convertToFormat(QImage::Format_RGB888);
    if (crop) {
        const int side = int(2 * m_radius);
        picture = picture.copy(int(m_cx - m_radius), int(m_cy - m_radius), side, side);
    }
    const FileWriteResult written = WriteImageFile(path, picture, "JPG", 90);
    if (!written.ok()) {
        m_message = FileWriteText(path, written);
        return false;
    }
    return true;
}
