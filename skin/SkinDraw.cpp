#include "SkinDraw.h"

#include <QWidget>

#include <algorithm>

namespace {

bool drawable(const QRect &target, const QImage &image)
{
    return target.width() > 0 && target.height() > 0 && !image.isNull();
}

void stretch(QPainter &p, const QRect &to, const QImage &image, const QRect &from)
{
    if (to.width() > 0 && to.height() > 0 && from.width() > 0 && from.height() > 0)
        p.drawImage(to, image, from);
}

void put(QPainter &p, const QRect &target, const QImage &picture, bool transparent)
{
    p.drawImage(target.topLeft(), transparent ? KeyedImage(picture) : picture);
}

QImage canvas(const QSize &size)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(qRgb(255, 0, 255));
    return out;
}

} // namespace

QRect SkinFrameRect(const QImage &image, int count, int index, bool vertical)
{
    count = std::max(count, 1);
    index = std::clamp(index, 1, count);
    if (vertical) {
        const int h = image.height() / count;
        return QRect(0, (index - 1) * h, image.width(), h);
    }
    const int w = image.width() / count;
    return QRect((index - 1) * w, 0, w, image.height());
}

QImage KeyedImage(const QImage &image, quint32 colour)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000) == key)
                line[x] = 0;
    }
    return out;
}

void DrawBGbmp(QPainter &p, const QRect &target, const QImage &image, const QRect &source)
{
    if (!drawable(target, image) || source.width() <= 0 || source.height() <= 0)
        return;
    p.save();
    p.setClipRect(target, Qt::IntersectClip);
    for (int y = target.top(); y <= target.bottom(); y += source.height())
        for (int x = target.left(); x <= target.right(); x += source.width())
            p.drawImage(QPoint(x, y), image, source);
    p.restore();
}

QImage GetHMap(const QSize &target, const QImage &image, const QMargins &margins, bool vertical, bool tile,
               int count, int index)
{
    const int W = target.width(), H = target.height();
    if (W <= 0 || H <= 0 || image.isNull())
        return {};
    const QRect f = SkinFrameRect(image, count, index, vertical);
    int l = margins.left(), r = margins.right(), t = margins.top(), b = margins.bottom();
    if (l + r > W)
        l = r = 0;
    if (t + b > H)
        t = b = 0;
    // Margins are never larger than the frame here: the skin model clamps them when it loads.
    l = std::min(l, f.width()), r = std::min(r, f.width() - l);
    t = std::min(t, f.height()), b = std::min(b, f.height() - t);
    const int fx = f.left(), fy = f.top(), fw = f.width(), fh = f.height();
    const int cw = fw - l - r, ch = fh - t - b; // the frame's centre
    const int tw = W - l - r, th = H - t - b;   // the target's centre

    QImage out = canvas(target);
    QPainter p(&out);
    stretch(p, QRect(0, 0, l, t), image, QRect(fx, fy, l, t));
    stretch(p, QRect(0, H - b, l, b), image, QRect(fx, fy + fh - b, l, b));
    stretch(p, QRect(W - r, 0, r, t), image, QRect(fx + fw - r, fy, r, t));
    stretch(p, QRect(0, t, l, th), image, QRect(fx, fy + t, l, ch));
    stretch(p, QRect(l, 0, tw, t), image, QRect(fx + l, fy, cw, t));
    if (tile)
        DrawBGbmp(p, QRect(l, t, tw, th), image, QRect(fx + l, fy + t, cw, ch));
    else
        stretch(p, QRect(l, t, tw, th), image, QRect(fx + l, fy + t, cw, ch));
    // Drawn after the centre so that tiles running past it are covered.
    stretch(p, QRect(W - r, H - b, r, b), image, QRect(fx + fw - r, fy + fh - b, r, b));
    stretch(p, QRect(W - r, t, r, th), image, QRect(fx + fw - r, fy + t, r, ch));
    stretch(p, QRect(l, H - b, tw, b), image, QRect(fx + l, fy + fh - b, cw, b));
    return out;
}

void DrawRect2(QPainter &p, const QRect &target, const QImage &image, const QMargins &margins, bool vertical,
               bool tile, bool transparent, int count, int index)
{
    if (!drawable(target, image))
        return;
    put(p, target, GetHMap(target.size(), image, margins, vertical, tile, count, index), transparent);
}

void DrawRect1(QPainter &p, const QRect &target, const QImage &image, bool transparent, int count, int index)
{
    if (!drawable(target, image))
        return;
    QImage out = canvas(target.size());
    QPainter q(&out);
    stretch(q, out.rect(), image, SkinFrameRect(image, count, index));
    q.end();
    put(p, target, out, transparent);
}

void DrawRect3(QPainter &p, const QRect &target, const QImage &image, bool transparent, int count, int index)
{
    if (!drawable(target, image))
        return;
    const QRect f = SkinFrameRect(image, count, index);
    const QPoint at(target.left() + (target.width() - f.width()) / 2,
                    target.top() + (target.height() - f.height()) / 2);
    const QImage frame = image.copy(f);
    p.drawImage(at, transparent ? KeyedImage(frame) : frame);
}

void DrawRectTile(QPainter &p, const QRect &target, const QImage &image, const QMargins &margins, bool vertical,
                  bool transparent, int count, int index)
{
    if (!drawable(target, image))
        return;
    const QRect f = SkinFrameRect(image, count, index, vertical);
    const int W = target.width(), H = target.height();
    const int l = std::min(margins.left(), f.width()), r = std::min(margins.right(), f.width() - l);
    const int mid = f.width() - l - r;
    QImage out = canvas(target.size());
    QPainter q(&out);
    stretch(q, QRect(0, 0, l, H), image, QRect(f.left(), f.top(), l, f.height()));
    if (mid > 0)
        for (int x = l; x < W - r; x += mid)
            stretch(q, QRect(x, 0, mid, H), image, QRect(f.left() + l, f.top(), mid, f.height()));
    stretch(q, QRect(W - r, 0, r, H), image, QRect(f.right() + 1 - r, f.top(), r, f.height()));
    q.end();
    put(p, target, out, transparent);
}

void DrawRectH(QPainter &p, const QRect &target, const QImage &image, const QMargins &margins, bool vertical,
               int count, int index)
{
    if (!drawable(target, image))
        return;
    const QRect f = SkinFrameRect(image, count, index, vertical);
    if (target.width() < f.width()) {
        stretch(p, target, image, f);
        return;
    }
    const int l = std::min(margins.left(), f.width()), r = std::min(margins.right(), f.width() - l);
    const int H = target.height();
    stretch(p, QRect(target.left(), target.top(), l, H), image, QRect(f.left(), f.top(), l, f.height()));
    stretch(p, QRect(target.left() + l, target.top(), target.width() - l - r, H), image,
            QRect(f.left() + l, f.top(), f.width() - l - r, f.height()));
    stretch(p, QRect(target.right() + 1 - r, target.top(), r, H), image,
            QRect(f.right() + 1 - r, f.top(), r, f.height()));
}

void DrawTranmap(QPainter &p, const QRect &target, const QImage &image, quint32 colour)
{
    if (!drawable(target, image))
        return;
    p.drawImage(target.topLeft(), KeyedImage(image, colour));
}

QRegion BitmapToRegion(const QImage &image, int dx, int dy, quint32 colour, int tolRed, int tolGreen,
                       int tolBlue)
{
    const int r0 = colour & 0xFF, g0 = (colour >> 8) & 0xFF, b0 = (colour >> 16) & 0xFF;
    const int r1 = std::min(r0 + tolRed, 255), g1 = std::min(g0 + tolGreen, 255), b1 = std::min(b0 + tolBlue, 255);
    auto transparent = [&](QRgb c) {
        return qRed(c) >= r0 && qRed(c) <= r1 && qGreen(c) >= g0 && qGreen(c) <= g1 && qBlue(c) >= b0 &&
               qBlue(c) <= b1;
    };
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    constexpr int Batch = 2000; // rectangles handed over at once
    QRegion result;
    std::vector<QRect> rects;
    rects.reserve(Batch);
    auto flush = [&] {
        QRegion part;
        part.setRects(rects.data(), static_cast<int>(rects.size()));
        result = result.united(part);
        rects.clear();
    };
    for (int y = 0; y < img.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && transparent(line[x]))
                ++x;
            const int x0 = x;
            while (x < img.width() && !transparent(line[x]))
                ++x;
            if (x > x0) {
                rects.push_back(QRect(x0 + dx, y + dy, x - x0, 1));
                if (static_cast<int>(rects.size()) == Batch)
                    flush();
            }
        }
    }
    if (!rects.empty())
        flush();
    return result;
}

void DrawParentImage(QWidget *control, QPainter &p)
{
    QWidget *parent = control ? control->parentWidget() : nullptr;
    if (!parent)
        return;
    const QRect under = control->geometry();
    p.save();
    // The region's top-left corner lands at the painter's origin, the control's own top-left.
    parent->render(&p, QPoint(0, 0), QRegion(under), QWidget::DrawWindowBackground);
    p.restore();
}
