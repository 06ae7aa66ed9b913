#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <vector>

// Pixel and colour utilities of the skin engine. Colours are Windows colour values 0x00BBGGRR; a value with
// the top bit set names a system colour (0x80000000 + index), resolved through ResolveColor. Skin pictures
// are opaque QImage::Format_RGB32; magenta 0xFF00FF marks their transparent pixels.

constexpr quint32 SkinTransparent = 0xFF00FF; // magenta, in either byte order
constexpr quint32 SysColorBit = 0x80000000;
enum SysColorIndex {
    COLOR_SCROLLBAR = 0, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5,
    COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22,
};

// A system colour's current value from the application palette; other values pass unchanged (top byte cleared).
quint32 ResolveColor(quint32 colour);
quint32 RGBToColor(int r, int g, int b); // r + 256 g + 65536 b, each channel first kept to 0..255

// c1 x weight + c2 x (scale - weight), rounded, over scale = 100 below a weight of 100, else 1,000; every
// channel is kept to 0..255 whatever the weight.
quint32 Blend(quint32 colour1, quint32 colour2, int weight);
// Hue and saturation on 0..255; colours whose three channels are all below 160 report saturation 200.
void GetHSV(quint32 colour, int &hue, int &saturation);

// In-place operations; each leaves the image in QImage::Format_RGB32.
void ConvertBitmapToGrayscale(QImage &image);
void ChangeTrans(QImage &image, quint32 colour); // exact magenta pixels become colour
void SpiegelnHorizontal(QImage &image);         // mirror left to right
void SpiegelnVertikal(QImage &image);           // mirror top to bottom
void Drehen90Grad(QImage &image);               // turn clockwise
void Drehen180Grad(QImage &image);
void Drehen270Grad(QImage &image);
QImage Rotate90(const QImage &image); // a turned copy; a null image for pictures that are not 32-bit RGB

// Paints rect from colour1 to colour2 in one-pixel bands (left to right, or top to bottom when vertical);
// bands outside the painter's clip are skipped, the others keep the colours of the whole ramp.
void GradFill(QPainter &painter, const QRect &rect, quint32 colour1, quint32 colour2, bool vertical);
// The cached ramp GradFill uses: n colours (QRgb) from colour1 to colour2. The cache is a ring of 16 ramps
// searched newest first; `hit` tells whether the ramp was found there. User-interface thread only.
const std::vector<QRgb> &GradientRamp(int length, quint32 colour1, quint32 colour2, bool *hit = nullptr);

// Text for and from the 8-bit interface code page (GBK).
std::wstring StrToWideStr(const QByteArray &text);
QByteArray WideStringToStringEx(const std::wstring &text);
void Tnt_DrawTextW(QPainter &painter, const QString &text, const QRect &rect, int flags);
