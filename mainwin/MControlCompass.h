#pragma once

#include <QImage>
#include <QString>

class TImage;

// A compass photograph shown in a picture control: turned about the centre of its display area by any angle,
// zoomed, with a red crosshair and circles that mark the compass centre and rim. Angles are degrees, clockwise
// on the screen; sizes and the centre are display pixels.
class MControlCompass {
public:
    static constexpr int kMinSide = 30;   // zoom limits of the display size
    static constexpr int kMaxSide = 5000;

    void Attach(TImage *control) { m_control = control; }
    // A photograph with a size is loaded; every other operation does nothing until then.
    bool IsLoaded() const { return !m_photo.isNull() && m_photo.width() > 0 && m_photo.height() > 0; }

    // Reads the photograph: angle 0, step 1, natural size, crosshair on, rim circle off, centre in the middle,
    // fitted radius, pen width 1. False (the previous photograph kept) when the file cannot be read.
    bool LoadPicture(const QString &file);
    const QString &Message() const { return m_message; }
    const QString &FileName() const { return m_fileName; }

    void StepRotate(int n) { Turn(m_angle + float(n) * m_step); }
    void RotateBy(float degrees) { Turn(m_angle + degrees); }
    void SetAngle(float degrees) { Turn(degrees); }
    void ResetAngle() { Turn(0.0f); }

    void SetStep(float degrees) { m_step = degrees; }
    void SetPenWidth(int pixels) { m_penWidth = pixels < 1 ? 1 : pixels; }
    void SetRimCircle(bool on) { m_rimCircle = on; }
    void SetCrosshair(bool on);

    // direction 1 grows the display size by 1.1, anything else shrinks it by 1.1; false (unchanged) when a
    // side would leave kMinSide..kMaxSide.
    bool Zoom(int direction);
    void ResetSize();
    // Moves the centre marks; false (unchanged) when the centre would come within 10 pixels of the edge or the
    // refitted radius would be below 10 or beyond the picture.
    bool MoveCentre(int dx, int dy);
    // Grows the rim circle by delta pixels, as far as it stays between 10 pixels and the display size.
    void GrowRadius(int delta);
    // Paints every pixel at or beyond the rim radius in a Windows colour value (0x00BBGGRR).
    void FillOutside(quint32 winColour);
    // Saves the shown picture as JPEG, with crop the square round the rim circle. Written beside the target
    // and renamed over it; false with Message() set on failure.
    bool SaveJpeg(const QString &path, bool crop);

    // Redraws the photograph and the marks into the control.
    void Draw();
    // The photograph and the marks as last drawn into the control, drawn again at a device-pixel ratio for a
    // scaled screen (marked with it); null when the control's picture holds anything else (the outside filled).
    QImage ScreenPicture(qreal ratio) const;

    float Angle() const { return m_angle; }
    float Step() const { return m_step; }
    QSize DisplaySize() const { return {m_dispW, m_dispH}; }
    float Radius() const { return m_radius; }

private:
    void Turn(float degrees);
    void Paint(QImage &canvas) const;
    float FittedRadius() const;
    void SetDisplaySize(int w, int h);

    TImage *m_control = nullptr;
    QImage m_photo;
    QString m_fileName;
    QString m_message;
    float m_angle = 0.0f;
    float m_step = 1.0f;
    int m_dispW = 0, m_dispH = 0;
    bool m_crosshair = true;
    bool m_rimCircle = false;
    float m_cx = 0.0f, m_cy = 0.0f, m_radius = 0.0f;
    float m_radiusOffset = 0.0f;
    int m_penWidth = 1;
    qint64 m_drawnKey = 0; // cacheKey of the control's picture as Draw left it
};
