#include "SkinImage.h"

#include "GbkText.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

int clampChannel(qint64 v)
{
    return static_cast<int>(std::clamp<qint64>(v, 0, 255));
}

int red(quint32 c) { return c & 0xFF; }
int green(quint32 c) { return (c >> 8) & 0xFF; }
int blue(quint32 c) { return (c >> 16) & 0xFF; }
QRgb toRgb(quint32 c) { return qRgb(red(c), green(c), blue(c)); }

void toRgb32(QImage &image)
{
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

quint32 ResolveColor(quint32 colour)
{
    if (!(colour & SysColorBit))
        return colour & 0xFFFFFF;
    const QPalette pal = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette(Qt::lightGray);
    QColor c;
    switch (colour & 0xFF) {
    case COLOR_SCROLLBAR: c = pal.color(QPalette::Mid); break;
    case COLOR_ACTIVECAPTION: case COLOR_HIGHLIGHT: c = pal.color(QPalette::Highlight); break;
    case COLOR_INACTIVECAPTION: c = pal.color(QPalette::Inactive, QPalette::Highlight); break;
    case COLOR_MENU: case COLOR_BTNFACE: c = pal.color(QPalette::Button); break;
    case COLOR_WINDOW: c = pal.color(QPalette::Base); break;
    case COLOR_MENUTEXT: case COLOR_BTNTEXT: c = pal.color(QPalette::ButtonText); break;
    case COLOR_WINDOWTEXT: c = pal.color(QPalette::WindowText); break;
    case COLOR_CAPTIONTEXT: case COLOR_HIGHLIGHTTEXT: c = pal.color(QPalette::HighlightedText); break;
    case COLOR_INACTIVECAPTIONTEXT: c = pal.color(QPalette::Inactive, QPalette::HighlightedText); break;
    case COLOR_BTNSHADOW: c = pal.color(QPalette::Dark); break;
    case COLOR_BTNHIGHLIGHT: c = pal.color(QPalette::Light); break;
    case COLOR_3DDKSHADOW: c = pal.color(QPalette::Shadow); break;
    case COLOR_3DLIGHT: c = pal.color(QPalette::Midlight); break;
    default: c = pal.color(QPalette::Window); break;
    }
    return RGBToColor(c.red(), c.green(), c.blue());
}

quint32 RGBToColor(int r, int g, int b)
{
    return quint32(clampChannel(r)) | quint32(clampChannel(g)) << 8 | quint32(clampChannel(b)) << 16;
}

quint32 Blend(quint32 colour1, quint32 colour2, int weight)
{
    const quint32 a = ResolveColor(colour1), b = ResolveColor(colour2);
    const qint64 scale = weight < 100 ? 100 : 1000;
    auto mix = [&](int x, int y) { return clampChannel((x * qint64(weight) + y * (scale - weight) + scale / 2) / scale); };
    return RGBToColor(mix(red(a), red(b)), mix(green(a), green(b)), mix(blue(a), blue(b)));
}

void GetHSV(quint32 colour, int &hue, int &saturation)
{
    const quint32 c = ResolveColor(colour);
    const int r = red(c), g = green(c), b = blue(c);
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double h = 0;
    if (mx != mn) {
        const double d = mx - mn;
        if (mx == r)
            h = 60.0 * (g - b) / d;
        else if (mx == g)
            h = 120.0 + 60.0 * (b - r) / d;
        else
            h = 240.0 + 60.0 * (r - g) / d;
        if (h < 0)
            h += 360.0;
    }
    hue = static_cast<int>(std::lround(h * 255.0 / 360.0));
    const double s = mx == 0 ? 0.0 : double(mx - mn) / mx;
    saturation = (r < 160 && g < 160 && b < 160) ? 200 : static_cast<int>(std::lround(s * 255.0));
}

void ConvertBitmapToGrayscale(QImage &image)
{
    toRgb32(image);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int v = (qRed(line[x]) + qGreen(line[x]) + qBlue(line[x])) / 3;
            line[x] = qRgb(v, v, v);
        }
    }
}

void ChangeTrans(QImage &image, quint32 colour)
{
    toRgb32(image);
    const QRgb key = qRgb(255, 0, 255), with = toRgb(ResolveColor(colour));
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key)
                line[x] = with;
    }
}

void SpiegelnHorizontal(QImage &image)
{
    toRgb32(image);
    image = image.mirrored(true, false);
}

void SpiegelnVertikal(QImage &image)
{
    toRgb32(image);
    image = image.mirrored(false, true);
}

void Drehen90Grad(QImage &image)
{
    toRgb32(image);
    image = image.transformed(QTransform().rotate(90));
}

void Drehen180Grad(QImage &image)
{
    toRgb32(image);
    image = image.transformed(QTransform().rotate(180));
}

void Drehen270Grad(QImage &image)
{
    toRgb32(image);
    image = image.transformed(QTransform().rotate(270));
}

QImage Rotate90(const QImage &image)
{
    if (image.format() != QImage::Format_RGB32)
        return {};
    return image.transformed(QTransform().rotate(90));
}

const std::vector<QRgb> &GradientRamp(int length, quint32 colour1, quint32 colour2, bool *hit)
{
    struct Entry {
        int length = -1;
        quint32 c1 = 0, c2 = 0;
        std::vector<QRgb> ramp;
    };
    static std::array<Entry, 16> ring;
    static int newest = -1;
    for (int k = 0; k < 16 && newest >= 0; ++k) {
        const Entry &e = ring[(newest - k + 16) % 16];
        if (e.length == length && e.c1 == colour1 && e.c2 == colour2) {
            if (hit)
                *hit = true;
            return e.ramp;
        }
    }
    if (hit)
        *hit = false;
    newest = (newest + 1) % 16;
    Entry &e = ring[newest];
    e.length = length;
    e.c1 = colour1;
    e.c2 = colour2;
    e.ramp.assign(std::max(length, 0), 0);
    const quint32 a = ResolveColor(colour1), b = ResolveColor(colour2);
    if (length == 1) {
        e.ramp[0] = qRgb((red(a) + red(b)) / 2, (green(a) + green(b)) / 2, (blue(a) + blue(b)) / 2);
    } else {
        for (int i = 0; i < length; ++i) {
            auto ch = [&](int x, int y) { return x + (y - x) * i / (length - 1); };
            e.ramp[i] = qRgb(ch(red(a), red(b)), ch(green(a), green(b)), ch(blue(a), blue(b)));
        }
    }
    return e.ramp;
}

void GradFill(QPainter &painter, const QRect &rect, quint32 colour1, quint32 colour2, bool vertical)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const int length = vertical ? rect.height() : rect.width();
    const std::vector<QRgb> &ramp = GradientRamp(length, colour1, colour2);
    QRect visible = rect;
    if (painter.hasClipping())
        visible &= painter.clipBoundingRect().toAlignedRect();
    const int first = vertical ? visible.top() - rect.top() : visible.left() - rect.left();
    const int last = vertical ? visible.bottom() - rect.top() : visible.right() - rect.left();
    for (int i = std::max(first, 0); i <= std::min(last, length - 1); ++i) {
        const QRect band = vertical ? QRect(rect.left(), rect.top() + i, rect.width(), 1)
                                    : QRect(rect.left() + i, rect.top(), 1, rect.height());
        painter.fillRect(band, QColor::fromRgb(ramp[i]));
    }
}

std::wstring StrToWideStr(const QByteArray &text)
{
    return GbkDecode(text).toStdWString();
}

QByteArray WideStringToStringEx(const std::wstring &text)
{
    return GbkEncode(QString::fromStdWString(text));
}

void Tnt_DrawTextW(QPainter &painter, const QString &text, const QRect &rect, int flags)
{
    painter.drawText(rect, flags, text);
}
