// Writes skin_strip_sheet.png into the working folder: a button strip drawn through the nine-grid and
// three-slice helpers at several sizes and states, on a grey ground, for people to look at.
#include "SkinDraw.h"
#include "SkinTestPictures.h"

#include <QGuiApplication>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QImage strip = ButtonStrip();
    const QMargins m(4, 4, 4, 4);
    const QSize sizes[] = {{6, 6}, {8, 20}, {24, 16}, {40, 24}, {90, 30}, {160, 48}};
    QImage sheet(760, 420, QImage::Format_RGB32);
    sheet.fill(qRgb(200, 200, 200));
    QPainter p(&sheet);
    p.drawImage(QPoint(10, 10), strip.scaled(strip.size() * 3));
    int y = 70;
    for (int row = 0; row < 4; ++row) {
        int x = 10;
        for (QSize s : sizes) {
            const QRect target(QPoint(x, y), s);
            switch (row) {
            case 0: DrawRect2(p, target, strip, m, false, false, true, 4, 1); break;      // stretched centre
            case 1: DrawRect2(p, target, strip, m, false, true, true, 4, 4); break;       // tiled centre, hot
            case 2: DrawRectTile(p, target, strip, m, false, true, 4, 2); break;          // three slices, tiled
            case 3: DrawRectH(p, target, strip, m, false, 4, 9); break;                   // index past the strip
            }
            x += s.width() + 16;
        }
        y += 70;
    }
    DrawRect3(p, QRect(10, y, 60, 40), strip, true, 4, 3);
    DrawRect1(p, QRect(90, y, 60, 40), strip, true, 4, 3);
    p.end();
    return sheet.save("skin_strip_sheet.png") ? 0 : 1;
}
