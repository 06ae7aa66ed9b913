// Makes the compass photograph the program ships in compass/: our own compass drawing (all thirteen rings)
// laid on a lacquered disc over a square wooden base plate, with the red cross threads and the needle of a
// real compass, south at the top. Run at build time: make_compass_photo <output.jpg>.
#include "MQuorin.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QLinearGradient>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int kDraw = 1000;       // side of the compass drawing
constexpr int kSide = kDraw + 120; // side of the base plate

QImage CompassDrawing()
{
    QImage drawing;
    MQuorin q(nullptr, &drawing, nullptr);
    TCompassLayers layers;
    for (int i = 0; i < TCompassLayers::kRingKinds; ++i)
        layers.ring[std::size_t(i)] = 1;
    layers.shanYin = 1;
    layers.ganZhi = 1;
    q.SetCompassLayers(layers);
    q.Rec.chartPanel = 100;
    q.Rec.degree = 0.0f;
    q.SetPanSize(kDraw, kDraw, false);
    q.DrawCompass();
    return drawing.convertToFormat(QImage::Format_RGB32);
}

void WoodPlate(QPainter &p)
{
    QLinearGradient wood(0, 0, kSide, kSide);
    wood.setColorAt(0.0, QColor(112, 64, 34));
    wood.setColorAt(0.5, QColor(92, 50, 26));
    wood.setColorAt(1.0, QColor(70, 38, 20));
    p.fillRect(0, 0, kSide, kSide, wood);
    // Grain: long faint strokes of a fixed seed, so that every build makes the same picture.
    QRandomGenerator rng(20240101);
    for (int i = 0; i < 260; ++i) {
        const int y = rng.bounded(kSide);
        const int alpha = 10 + rng.bounded(25);
        p.setPen(QPen(QColor(40, 20, 8, alpha), 1 + rng.bounded(3)));
        QPainterPath path(QPointF(0, y));
        path.cubicTo(kSide * 0.3, y + rng.bounded(-12, 12), kSide * 0.7, y + rng.bounded(-12, 12), kSide, y);
        p.drawPath(path);
    }
    p.setPen(QPen(QColor(150, 100, 60), 6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(14, 14, kSide - 28, kSide - 28);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_compass_photo <output.jpg>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});

    const QImage drawing = CompassDrawing();
    QImage photo(kSide, kSide, QImage::Format_RGB32);
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    WoodPlate(p);

    const QPointF c(kSide / 2.0, kSide / 2.0);
    const double rim = 0.99 * (kDraw / 2) + 4;
    // The plate's shadow under the disc, then the lacquered disc.
    QRadialGradient shadow(c + QPointF(8, 10), rim + 18);
    shadow.setColorAt(0.9, QColor(0, 0, 0, 120));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(c + QPointF(8, 10), rim + 18, rim + 18);
    QRadialGradient lacquer(c - QPointF(120, 140), rim * 1.5);
    lacquer.setColorAt(0.0, QColor(250, 232, 168));
    lacquer.setColorAt(0.6, QColor(232, 196, 112));
    lacquer.setColorAt(1.0, QColor(196, 150, 70));
    p.setBrush(lacquer);
    p.drawEllipse(c, rim, rim);

    // Our drawing printed on the disc: white leaves the lacquer, black and red ink lie on it.
    QPainterPath disc;
    disc.addEllipse(c, rim, rim);
    p.save();
    p.setClipPath(disc);
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    p.drawImage((kSide - kDraw) / 2, (kSide - kDraw) / 2, drawing);
    p.restore();
    p.setPen(QPen(QColor(120, 80, 30), 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, rim, rim);

    // The needle's well: a dark bowl with a white north–south line and the red-tipped needle.
    const double well = 0.085 * (kDraw / 2);
    QRadialGradient bowl(c, well);
    bowl.setColorAt(0.0, QColor(245, 245, 235));
    bowl.setColorAt(1.0, QColor(200, 195, 180));
    p.setPen(QPen(QColor(60, 40, 20), 3));
    p.setBrush(bowl);
    p.drawEllipse(c, well, well);
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(c + QPointF(0, -well), c + QPointF(0, well));
    QPolygonF north{c + QPointF(0, well * 0.85), c + QPointF(-5, 0), c + QPointF(5, 0)};
    QPolygonF south{c + QPointF(0, -well * 0.85), c + QPointF(-5, 0), c + QPointF(5, 0)};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 20, 20));
    p.drawPolygon(north);
    p.setBrush(QColor(30, 30, 30));
    p.drawPolygon(south);
    p.setBrush(QColor(120, 120, 120));
    p.drawEllipse(c, 3.0, 3.0);

    // The red cross threads from edge to edge of the plate.
    p.setPen(QPen(QColor(210, 20, 20), 2));
    p.drawLine(QPointF(c.x(), 14), QPointF(c.x(), kSide - 14));
    p.drawLine(QPointF(14, c.y()), QPointF(kSide - 14, c.y()));
    p.end();

    if (!photo.save(QString::fromLocal8Bit(argv[1]), "JPG", 92)) {
        std::fprintf(stderr, "make_compass_photo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
