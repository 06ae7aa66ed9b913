#pragma once

#include "TSkinReader.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QString>

#include <vector>

// A control skin of solid colours, so that pixel probes can tell every frame apart: each frame of each strip
// has its own colour (FrameColour), no margins. Frame 1 of the Buttons strip has a magenta 3 x 3 top-left
// corner (the strip is transparent-keyed). Optional parts can be left out to probe the fall-backs.
namespace controltest {

constexpr QRgb Face = qRgb(200, 200, 190);
constexpr QRgb Magenta = qRgb(255, 0, 255);
enum Strip { Buttons, Check, Radio, Progress, Track, TrackVert, Thumb, UpDown, Chunk };
constexpr QSize Cell[] = {{20, 20}, {13, 13}, {13, 13}, {20, 10}, {20, 6}, {6, 20}, {10, 16}, {16, 10}, {6, 8}};
constexpr int Frames[] = {5, 12, 8, 2, 1, 1, 5, 8, 1};

// Distinct, far from grey and from magenta: strip s, frame f (from 1).
inline QRgb FrameColour(int s, int f)
{
    return qRgb(20 + 25 * s, 40 + 17 * f, 250 - 11 * f - 7 * s);
}

inline QByteArray bmp(const QImage &img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return bytes;
}

inline QImage strip(int s)
{
    const QSize c = Cell[s];
    QImage img(c.width() * Frames[s], c.height(), QImage::Format_RGB32);
    QPainter p(&img);
    for (int f = 1; f <= Frames[s]; ++f)
        p.fillRect(QRect((f - 1) * c.width(), 0, c.width(), c.height()), QColor(FrameColour(s, f)));
    if (s == Buttons)
        p.fillRect(QRect(0, 0, 3, 3), QColor(Magenta));
    return img;
}

struct Parts {
    bool buttons = true, checks = true, progress = true, tracks = true, updown = true;
    int progressStyle = 0; // 1: one trough frame and a tiled chunk
};

inline QByteArray Package(Parts parts = {})
{
    QString ini = QStringLiteral("[TitlebarSkin]\r\nSkinName=controls\r\n");
    ini += QStringLiteral("[Colours]\r\nButtonFace=%1 %2 %3\r\n").arg(qRed(Face)).arg(qGreen(Face)).arg(qBlue(Face));
    QList<SkinMember> members;
    if (parts.buttons || parts.checks) {
        ini += QStringLiteral("[Buttons]\r\nTrans=1\r\n");
        if (parts.buttons) {
            ini += QStringLiteral("Bitmap=buttons.bmp\r\n");
            members.append({"buttons.bmp", bmp(strip(Buttons))});
        }
        if (parts.checks) {
            ini += QStringLiteral("CheckButton=check.bmp\r\nCheckButtonFrame=12\r\nRadioButton=radio.bmp\r\n"
                                  "RadioButtonFrame=8\r\n");
            members.append({"check.bmp", bmp(strip(Check))});
            members.append({"radio.bmp", bmp(strip(Radio))});
        }
    }
    if (parts.progress) {
        ini += QStringLiteral("[Progress]\r\nBitmap=progress.bmp\r\nStyle=%1\r\n").arg(parts.progressStyle);
        members.append({"progress.bmp", bmp(parts.progressStyle == 1 ? strip(Progress).copy(0, 0, 20, 10) : strip(Progress))});
        if (parts.progressStyle == 1) {
            ini += QStringLiteral("[Progress.Chunk]\r\nImage=chunk.bmp\r\nTile=1\r\n");
            members.append({"chunk.bmp", bmp(strip(Chunk))});
        }
    }
    if (parts.tracks) {
        ini += QStringLiteral("[Track]\r\nImage=track.bmp\r\n[TRACKVERT]\r\nImage=trackv.bmp\r\n"
                              "[Trackbar.ThumbHorz]\r\nImage=thumb.bmp\r\n");
        members.append({"track.bmp", bmp(strip(Track))});
        members.append({"trackv.bmp", bmp(strip(TrackVert))});
        members.append({"thumb.bmp", bmp(strip(Thumb))});
    }
    if (parts.updown) {
        ini += QStringLiteral("[UpDown.Vert]\r\nImage=updown.bmp\r\n");
        members.append({"updown.bmp", bmp(strip(UpDown))});
    }
    members.prepend({"skin.ini", ini.toUtf8()});
    QByteArray package;
    WriteSkinPackage(members, 20000, package);
    return SkinCompress(package);
}

} // namespace controltest
