#include "SkinGenerator.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

struct Palette {
    QColor face, faceLight, faceDark, text, disabledText, frame, frameInactive, edge, accent, hilight,
        hilightText, window, track, thumb, titleText, titleTextInactive;
};

Palette paletteOf(const SkinTheme &theme)
{
    if (!theme.dark) // rice paper, ink blue and cinnabar
        return {QColor(236, 232, 222), QColor(251, 250, 246), QColor(185, 178, 162), QColor(42, 42, 42),
                QColor(150, 146, 138), QColor(53, 86, 111), QColor(139, 154, 166), QColor(31, 52, 71),
                QColor(178, 58, 46), QColor(59, 110, 143), QColor(255, 255, 255), QColor(255, 255, 255),
                QColor(221, 216, 204), QColor(159, 179, 194), QColor(250, 248, 240), QColor(222, 226, 230)};
    // night ink with old gold
    return {QColor(52, 54, 59), QColor(71, 74, 80), QColor(30, 31, 34), QColor(230, 226, 214),
            QColor(120, 122, 128), QColor(35, 37, 42), QColor(58, 60, 65), QColor(17, 18, 20),
            QColor(200, 164, 90), QColor(90, 122, 140), QColor(255, 255, 255), QColor(38, 40, 44),
            QColor(42, 44, 48), QColor(92, 96, 104), QColor(236, 210, 150), QColor(150, 150, 150)};
}

const QColor Key(255, 0, 255);
constexpr int TitleHeight = 28, CaptionButtonTop = 5;

// Button-like states in frame order: 1 normal, 2 pressed, 3 disabled, 4 hot, 5 focused.
enum State { Normal = 1, Pressed, Disabled, Hot, Focused };

QImage strip(int frames, QSize cell, bool vertical, const std::function<void(QPainter &, QRect, int)> &paint)
{
    QImage img(vertical ? QSize(cell.width(), cell.height() * frames) : QSize(cell.width() * frames, cell.height()),
               QImage::Format_RGB32);
    img.fill(Key);
    QPainter p(&img);
    for (int f = 1; f <= frames; ++f) {
        const QRect r = vertical ? QRect(QPoint(0, (f - 1) * cell.height()), cell)
                                 : QRect(QPoint((f - 1) * cell.width(), 0), cell);
        p.save();
        p.setClipRect(r);
        paint(p, r, f);
        p.restore();
    }
    return img;
}

void vgradient(QPainter &p, const QRect &r, const QColor &top, const QColor &bottom)
{
    const int n = std::max(r.height() - 1, 1);
    for (int i = 0; i < r.height(); ++i) {
        const auto mix = [&](int a, int b) { return a + (b - a) * i / n; };
        p.fillRect(QRect(r.left(), r.top() + i, r.width(), 1),
                   QColor(mix(top.red(), bottom.red()), mix(top.green(), bottom.green()),
                          mix(top.blue(), bottom.blue())));
    }
}

void outline(QPainter &p, const QRect &r, const QColor &c)
{
    p.setPen(c);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// Knocks out the outermost corner pixels so that frames look rounded and let the ground through.
void roundCorners(QPainter &p, const QRect &r, bool top = true, bool bottom = true)
{
    p.setPen(Key);
    if (top) {
        p.drawPoint(r.topLeft());
        p.drawPoint(r.topRight());
    }
    if (bottom) {
        p.drawPoint(r.bottomLeft());
        p.drawPoint(r.bottomRight());
    }
}

// A push-button face in a state.
void buttonFace(QPainter &p, const QRect &r, int state, const Palette &c)
{
    QColor top = c.faceLight, bottom = c.face, border = c.faceDark.darker(115);
    switch (state) {
    case Pressed: top = c.face.darker(112); bottom = c.face; border = c.edge; break;
    case Disabled: top = bottom = c.face; border = c.faceDark; break;
    case Hot: top = c.faceLight.lighter(104); bottom = c.faceLight; border = c.hilight; break;
    case Focused: border = c.hilight; break;
    default: break;
    }
    vgradient(p, r.adjusted(1, 1, -1, -1), top, bottom);
    outline(p, r, border);
    if (state == Focused)
        outline(p, r.adjusted(1, 1, -1, -1), c.hilight.lighter(150));
    roundCorners(p, r);
}

void arrow(QPainter &p, const QRect &r, int direction, const QColor &colour) // 0 left 1 right 2 up 3 down
{
    const QPoint c = r.center();
    p.setPen(colour);
    for (int i = 0; i < 4; ++i) {
        switch (direction) {
        case 0: p.drawLine(c.x() - 2 + i, c.y() - i, c.x() - 2 + i, c.y() + i); break;
        case 1: p.drawLine(c.x() + 1 - i, c.y() - i, c.x() + 1 - i, c.y() + i); break;
        case 2: p.drawLine(c.x() - i, c.y() - 2 + i, c.x() + i, c.y() - 2 + i); break;
        case 3: p.drawLine(c.x() - i, c.y() + 1 - i, c.x() + i, c.y() + 1 - i); break;
        }
    }
}

enum Glyph { Close, Max, Restore, Min, Help };

// A caption-button glyph in a 10 x 9 box from o; `behind` fills the back window of the restore glyph.
void captionGlyph(QPainter &p, QPoint o, Glyph g, const QColor &ink, const QColor &behind)
{
    p.setPen(ink);
    switch (g) {
    case Close:
        for (int i = 0; i < 9; ++i) {
            p.drawPoint(o + QPoint(i, i));
            p.drawPoint(o + QPoint(i + 1, i));
            p.drawPoint(o + QPoint(8 - i, i));
            p.drawPoint(o + QPoint(9 - i, i));
        }
        break;
    case Max:
        p.drawRect(QRect(o, QSize(9, 8)));
        p.drawLine(o + QPoint(0, 1), o + QPoint(9, 1));
        break;
    case Restore:
        p.drawRect(QRect(o + QPoint(3, 0), QSize(6, 5)));
        p.fillRect(QRect(o + QPoint(0, 3), QSize(7, 6)), behind);
        p.drawRect(QRect(o + QPoint(0, 3), QSize(6, 5)));
        break;
    case Min: p.fillRect(QRect(o + QPoint(1, 7), QSize(8, 2)), ink); break;
    case Help:
        p.drawLine(o + QPoint(3, 1), o + QPoint(6, 1));
        p.drawLine(o + QPoint(2, 2), o + QPoint(2, 3));
        p.drawLine(o + QPoint(7, 2), o + QPoint(7, 4));
        p.drawLine(o + QPoint(6, 5), o + QPoint(5, 5));
        p.drawPoint(o + QPoint(4, 6));
        p.drawPoint(o + QPoint(4, 8));
        break;
    }
}

QByteArray bmpBytes(const QImage &img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return bytes;
}

QString rgb(const QColor &c)
{
    return QStringLiteral("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
}

class SkinBuilder {
public:
    explicit SkinBuilder(const SkinTheme &theme) : t_(theme), c_(paletteOf(theme)) {}
    QList<SkinMember> build();

private:
    void picture(const QString &file, const QImage &img) { members_.append({file, bmpBytes(img)}); }
    void line(const QString &text) { ini_ += text + QStringLiteral("\r\n"); }
    void element(const QString &section, const QString &file, const QImage &img, const QMargins &m,
                 const QStringList &extra = {});
    void frame();
    void captionButtons();
    void buttons();
    void fields();
    void containers();
    void bars();
    void sliders();
    void scrolling();
    void menus();
    void colours();

    SkinTheme t_;
    Palette c_;
    QList<SkinMember> members_;
    QString ini_;
};

void SkinBuilder::element(const QString &section, const QString &file, const QImage &img, const QMargins &m,
                          const QStringList &extra)
{
    picture(file, img);
    line(u'[' + section + u']');
    line(QStringLiteral("Image=") + file);
    line(QStringLiteral("LeftWidth=%1\r\nTopHeight=%2\r\nRightWidth=%3\r\nBottomHeight=%4\r\nTrans=1")
             .arg(m.left()).arg(m.top()).arg(m.right()).arg(m.bottom()));
    // Text colours as Windows values; a dark skin needs them, as the painters' fall-back is black.
    const auto win = [](const QColor &x) { return x.red() + 256 * x.green() + 65536 * x.blue(); };
    line(QStringLiteral("NormalColour=%1\r\nMouseOverColour=%2\r\nPressedColour=%1")
             .arg(win(c_.text)).arg(win(section == u"MenuItem" ? c_.hilightText : c_.text)));
    for (const QString &e : extra)
        line(e);
}

void SkinBuilder::frame()
{
    const Palette &c = c_;
    auto tone = [&](int f) { return f == 1 ? c.frame : c.frameInactive; };
    // The bar's body, which the caption's text background repeats so that no box shows behind the caption.
    const auto titleBody = [&](QPainter &p, QRect r, int f) {
        vgradient(p, r, tone(f).lighter(125), tone(f));
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c.edge);
        p.fillRect(QRect(r.left(), r.top() + 1, r.width(), 1), tone(f).lighter(150));
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), tone(f).darker(130));
    };
    // Side borders: 4 pixels wide, active and inactive side by side. They run the window's full height and so
    // own its corners, where the window region reads them: their fixed top end (the title's height) carries
    // the title bar's body out to the edge with the rounded corner in magenta, their fixed bottom end closes
    // the outline. Drawn as the left border; the right one is its mirror.
    const QSize sideCell(4, TitleHeight + 12);
    const auto leftCell = [&](int f) {
        QImage img(sideCell, QImage::Format_RGB32);
        QPainter p(&img);
        const QRect r = img.rect();
        titleBody(p, QRect(r.topLeft(), QSize(r.width(), TitleHeight)), f);
        const QRect body(r.left(), TitleHeight, r.width(), r.height() - TitleHeight);
        p.fillRect(body, tone(f));
        p.fillRect(QRect(body.right(), body.top(), 1, body.height() - 3), tone(f).darker(130)); // inner line
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c.edge);                         // outline
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c.edge);
        p.setPen(c.edge);
        p.drawPoint(1, 1);
        p.drawPoint(2, 1);
        p.drawPoint(1, 2);
        p.setPen(Key);
        p.drawLine(0, 0, 2, 0);
        p.drawLine(0, 0, 0, 2);
        return img;
    };
    const auto side = [&](bool left) {
        return strip(2, sideCell, false, [&, left](QPainter &p, QRect r, int f) {
            const QImage cell = leftCell(f);
            p.drawImage(r.topLeft(), left ? cell : cell.mirrored(true, false));
        });
    };
    picture("left.bmp", side(true));
    picture("right.bmp", side(false));
    // Title bar: 28 pixels high between the side borders; active above inactive.
    picture("top.bmp", strip(2, {120, TitleHeight}, true, titleBody));
    picture("bottom.bmp", strip(2, {40, 4}, true, [&](QPainter &p, QRect r, int f) {
        p.fillRect(r, tone(f));
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), tone(f).darker(130)); // inner line
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c.edge);
    }));
    picture("textback.bmp", strip(2, {40, TitleHeight}, false, titleBody));
    picture("menubar.bmp", strip(2, {40, 22}, false, [&](QPainter &p, QRect r, int) {
        vgradient(p, r, c.faceLight, c.face);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c.faceDark);
    }));
    line("[Personality]");
    for (const char *b : {"Left", "Right", "Top", "Bottom"})
        line(QStringLiteral("%1=%2.bmp\r\n%1Frame=2\r\n%1Stretch=1\r\n%1Trans=1").arg(b, QString(b).toLower()));
    line(QStringLiteral("LeftTopHeight=%1\r\nLeftBotHeight=4\r\nRightTopHeight=%1\r\nRightBotHeight=4").arg(TitleHeight));
    line("TopTopHeight=8\r\nTopBotHeight=8\r\nBottomTopHeight=4\r\nBottomBotHeight=4");
    line("TextBack=textback.bmp\r\nTextShift=30\r\nTextShiftVert=0\r\nTextRightClip=96\r\nTextAlignment=0");
    line("Textbackground=0\r\nTXTBackleft=0\r\nTXTBackRight=0");
    line(QStringLiteral("ActiveTextR=%1\r\nActiveTextG=%2\r\nActiveTextB=%3")
             .arg(c.titleText.red()).arg(c.titleText.green()).arg(c.titleText.blue()));
    line(QStringLiteral("InActiveTextR=%1\r\nInActiveTextG=%2\r\nInActiveTextB=%3")
             .arg(c.titleTextInactive.red()).arg(c.titleTextInactive.green()).arg(c.titleTextInactive.blue()));
    line("menuBar=menubar.bmp\r\nTileMenu=0\r\nTileLeftMenu=0\r\nTileRightMenu=0");
    line("[Fonts]\r\nFontHeight=14");
    line(QStringLiteral("[TitlebarSkin]\r\nSkinName=%1").arg(t_.title));
}

void SkinBuilder::captionButtons()
{
    const Palette &c = c_;
    // Frames: 1 normal, 2 pressed, 3 hover, 4 disabled or inactive. The glyph is drawn on the title's colour.
    const auto button = [&](Glyph g) {
        return strip(4, {20, 18}, false, [&, g](QPainter &p, QRect r, int f) {
            const QColor base = f == 4 ? c.frameInactive : c.frame;
            // The title bar's own gradient, lined up with the button's place 5 pixels below its top.
            vgradient(p, QRect(r.left(), r.top() - CaptionButtonTop, r.width(), TitleHeight), base.lighter(125), base);
            const QColor hotFill = g == Close ? c.accent : c.frame.lighter(160);
            if (f == 2 || f == 3) {
                const QRect box = r.adjusted(1, 1, -1, -1);
                p.fillRect(box, f == 2 ? hotFill.darker(125) : hotFill);
                roundCorners(p, box);
            }
            // On a hot or pressed box the glyph takes whichever of dark or white stands out more.
            const QColor onBox = hotFill.lightness() > 140 ? c.edge : QColor(Qt::white);
            const QColor ink = f == 4 ? c.titleTextInactive.darker(120) : (f == 2 || f == 3) ? onBox : c.titleText;
            captionGlyph(p, r.center() - QPoint(4, 4), g, ink, base.lighter(112));
        });
    };
    const struct {
        const char *section, *file;
        Glyph glyph;
        int action, xcoord, visibility, visibility1;
    } buttons[] = {
        {"BUTTON.CLOSE", "close.bmp", Close, 0, 26, 0, 0},
        {"BUTTON.MAX", "max.bmp", Max, 1, 48, 2, 6},     // shown while not maximised, with a box
        {"BUTTON.RESTORE", "restore.bmp", Restore, 1, 48, 1, 6},
        {"BUTTON.MIN", "min.bmp", Min, 2, 70, 6, 0},
        {"BUTTON.HELP", "help.bmp", Help, 4, 92, 1000, 0}, // the window itself says whether it has help
    };
    for (const auto &b : buttons) {
        picture(b.file, button(b.glyph));
        line(QStringLiteral("[%1]\r\nAction=%2\r\nAlign=1\r\nXcoord=%3\r\nYcoord=%4\r\nVisibility=%5\r\n"
                            "Visibility1=%6\r\nframe=4\r\nButtonImage=%7")
                 .arg(b.section).arg(b.action).arg(b.xcoord).arg(CaptionButtonTop).arg(b.visibility)
                 .arg(b.visibility1).arg(b.file));
    }
    // The system-menu button: a small square seal, one frame (the window's icon replaces it where there is one).
    QImage seal(16, 16, QImage::Format_RGB32);
    seal.fill(Key);
    {
        QPainter p(&seal);
        p.fillRect(QRect(2, 2, 12, 12), c.accent);
        outline(p, QRect(4, 4, 8, 8), c.titleText);
        p.fillRect(QRect(7, 6, 2, 4), c.titleText);
        roundCorners(p, QRect(2, 2, 12, 12));
    }
    picture("sysmenu.bmp", seal);
    line("[BUTTON.SYSMENU]\r\nAction=3\r\nAlign=0\r\nXcoord=8\r\nYcoord=6\r\nVisibility=0\r\nframe=1\r\n"
         "ButtonImage=sysmenu.bmp");
}

void SkinBuilder::buttons()
{
    const Palette &c = c_;
    picture("button.bmp", strip(5, {24, 22}, false, [&](QPainter &p, QRect r, int f) { buttonFace(p, r, f, c); }));
    // Check boxes: 12 frames in groups of four (normal, hot, pressed, disabled): unchecked, checked, mixed.
    picture("check.bmp", strip(12, {13, 13}, false, [&](QPainter &p, QRect r, int f) {
        const int look = (f - 1) % 4, group = (f - 1) / 4;
        const bool disabled = look == 3;
        p.fillRect(r.adjusted(1, 1, -1, -1), disabled ? c.face : look == 2 ? c.track : c.window);
        outline(p, r, disabled ? c.faceDark : look == 1 ? c.hilight : c.edge);
        const QColor ink = disabled ? c.disabledText : c.hilight;
        if (group == 1) {
            p.setPen(ink);
            for (int i = 0; i < 2; ++i) {
                p.drawLine(r.left() + 3, r.top() + 5 + i, r.left() + 5, r.top() + 7 + i);
                p.drawLine(r.left() + 5, r.top() + 7 + i, r.left() + 9, r.top() + 3 + i);
            }
        } else if (group == 2) {
            p.fillRect(QRect(r.left() + 3, r.top() + 3, 7, 7), ink);
        }
    }));
    // Radio buttons: 8 frames, unchecked then checked, each normal, hot, pressed, disabled.
    picture("radio.bmp", strip(8, {13, 13}, false, [&](QPainter &p, QRect r, int f) {
        const int look = (f - 1) % 4;
        const bool disabled = look == 3;
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(disabled ? c.faceDark : look == 1 ? c.hilight : c.edge);
        p.setBrush(disabled ? c.face : look == 2 ? c.track : c.window);
        p.drawEllipse(r.adjusted(0, 0, -1, -1));
        if (f > 4) {
            p.setPen(Qt::NoPen);
            p.setBrush(disabled ? c.disabledText : c.hilight);
            p.drawEllipse(r.adjusted(3, 3, -4, -4));
        }
    }));
    line("[Buttons]\r\nBitmap=button.bmp\r\nLeftWidth=4\r\nRightWidth=4\r\nTopHeight=4\r\nBottomHeight=4\r\nTrans=1");
    line("Tile=0\r\nCheckButton=check.bmp\r\nCheckButtonFrame=12\r\nRadioButton=radio.bmp\r\nRadioButtonFrame=8");
    const int text = c.text.red() + 256 * c.text.green() + 65536 * c.text.blue();
    line(QStringLiteral("NormalColour=%1\r\nMouseOverColour=%1\r\nPressedColour=%1").arg(text));
}

void SkinBuilder::fields()
{
    const Palette &c = c_;
    // Edits and combo boxes, in the button states (1 normal, 2 pressed, 3 disabled, 4 hot or focused): the
    // sunken edge and the drop button.
    element("SunkEdge", "sunkedge.bmp", strip(4, {20, 22}, false, [&](QPainter &p, QRect r, int f) {
        p.fillRect(r, f == 3 ? c.face : c.window);
        outline(p, r, f == 2 || f == 4 ? c.hilight : f == 3 ? c.faceDark : c.faceDark.darker(115));
    }), {2, 2, 2, 2});
    element("ComboButton", "combobutton.bmp", strip(4, {17, 20}, false, [&](QPainter &p, QRect r, int f) {
        const int state = f == 2 ? Pressed : f == 3 ? Disabled : f == 4 ? Hot : Normal;
        buttonFace(p, r, state, c); // the arrow comes from ExtraImages, centred on the button
    }), {0, 0, 0, 0}, {"Style=0"});
    element("ExtraImages", "extra.bmp", strip(5, {16, 16}, false, [&](QPainter &p, QRect r, int f) {
        if (f < 5) {
            arrow(p, r, 3, f == 3 ? c.disabledText : f == 2 || f == 4 ? c.hilight : c.text);
            return;
        }
        for (int i = 0; i < 3; ++i) // the size grip: three diagonal rows of dots
            for (int j = 0; j <= i; ++j) {
                const QPoint at(r.right() - 2 - 4 * j, r.bottom() - 2 - 4 * (i - j));
                p.fillRect(QRect(at, QSize(2, 2)), t_.dark ? c.faceLight.lighter(140) : c.faceDark.darker(120));
            }
    }), {0, 0, 0, 0});
}

void SkinBuilder::bars()
{
    const Palette &c = c_;
    element("Progress", "progress.bmp", strip(2, {20, 14}, false, [&](QPainter &p, QRect r, int f) {
        if (f == 1) {
            p.fillRect(r, c.track);
            outline(p, r, c.faceDark);
        } else {
            vgradient(p, r, c.hilight.lighter(130), c.hilight);
        }
        roundCorners(p, r);
    }), {3, 3, 3, 3}, {"Bitmap=progress.bmp", "Style=0", "Tile=0"});
    element("Progress.Chunk", "chunk.bmp", strip(1, {8, 14}, false, [&](QPainter &p, QRect r, int) {
        vgradient(p, r.adjusted(0, 0, -2, 0), c.hilight.lighter(130), c.hilight);
    }), {0, 0, 0, 0});
}

void SkinBuilder::containers()
{
    const Palette &c = c_;
    element("GroupBoxEdge", "groupedge.bmp", strip(2, {20, 20}, false, [&](QPainter &p, QRect r, int f) {
        p.fillRect(r, c.face);
        outline(p, r.adjusted(0, 0, -1, -1), f == 2 ? c.faceDark : c.faceDark.darker(110));
        outline(p, r.adjusted(1, 1, 0, 0), c.faceLight);
        roundCorners(p, r);
    }), {4, 4, 4, 4});
    element("GroupBox", "grouplabel.bmp", strip(1, {20, 18}, false, [&](QPainter &p, QRect r, int) {
        p.fillRect(r, c.face);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c.accent);
    }), {4, 0, 4, 2}, {"BackgroundAlignment=0", "BackgroundLeftShift=0", "BackgroundRightShift=0"});
    // Tabs: 1 normal, 2 selected, 3 disabled, 4 hot, 5 selected and hot; bottom tabs use the picture flipped.
    picture("tabborder.bmp", strip(1, {20, 20}, false, [&](QPainter &p, QRect r, int) {
        p.fillRect(r, c.faceLight);
        outline(p, r, c.faceDark);
    }));
    element("Tabs", "tabs.bmp", strip(5, {30, 22}, false, [&](QPainter &p, QRect r, int f) {
        const bool selected = f == 2 || f == 5;
        const QRect body = selected ? r : r.adjusted(0, 2, 0, 0);
        vgradient(p, body, selected ? c.faceLight : f == 4 ? c.faceLight : c.face, selected ? c.faceLight : c.face);
        p.setPen(f == 3 ? c.faceDark : c.faceDark.darker(115));
        p.drawLine(body.topLeft(), body.bottomLeft());
        p.drawLine(body.topLeft(), body.topRight());
        p.drawLine(body.topRight(), body.bottomRight());
        if (selected || f == 4)
            p.fillRect(QRect(body.left() + 1, body.top() + 1, body.width() - 2, 2), f == 4 ? c.hilight : c.accent);
        if (!selected)
            p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c.faceDark.darker(115));
        roundCorners(p, body, true, false);
    }), {4, 4, 4, 2}, {"Border=tabborder.bmp"});
    element("Tab.Pane", "pane.bmp", strip(1, {20, 20}, false, [&](QPainter &p, QRect r, int) {
        p.fillRect(r, c.faceLight);
        outline(p, r, c.faceDark.darker(115));
    }), {4, 4, 4, 4});
    element("StatusBarEdges", "statusbar.bmp", strip(3, {20, 20}, false, [&](QPainter &p, QRect r, int f) {
        p.fillRect(r, c.face);
        if (f == 3)
            return;
        p.setPen(f == 1 ? c.faceDark : c.faceLight);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(f == 1 ? c.faceLight : c.faceDark);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }), {2, 2, 2, 2});
    element("ToolBars", "toolbar.bmp", strip(5, {24, 24}, false, [&](QPainter &p, QRect r, int f) {
        if (f == Normal || f == Disabled) {
            p.fillRect(r, Key); // a flat tool button shows the bar through
            return;
        }
        buttonFace(p, r, f, c);
    }), {4, 4, 4, 4});
    // Frames: 1 normal, 2 hot (the header painter's two), then pressed, disabled and normal again.
    element("Headerbar", "header.bmp", strip(5, {30, 20}, false, [&](QPainter &p, QRect r, int f) {
        vgradient(p, r, f == 3 ? c.face : c.faceLight, f == 3 ? c.faceLight : c.face);
        if (f == 2)
            p.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), c.hilight);
        p.fillRect(QRect(r.right(), r.top() + 3, 1, r.height() - 6), c.faceDark);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c.faceDark);
    }), {3, 3, 3, 3}, {"Frame=5"});
}

void SkinBuilder::sliders()
{
    const Palette &c = c_;
    const auto thumb = [&](QSize size, int tip) { // tip: 0 none, 1 down, 2 up, 3 right, 4 left
        return strip(5, size, false, [&, tip](QPainter &p, QRect r, int f) {
            buttonFace(p, r.adjusted(0, 0, 0, tip ? -3 : 0), f, c);
            if (tip)
                arrow(p, QRect(r.left(), r.bottom() - 6, r.width(), 6), 3, t_.dark ? c.faceLight.lighter(140) : c.edge);
        });
    };
    for (const auto &[section, file, size, tip] :
         {std::tuple{"Trackbar.ThumbHorz", "thumbh.bmp", QSize(11, 20), 0},
          {"Trackbar.ThumbVert", "thumbv.bmp", QSize(20, 11), 0},
          {"Trackbar.ThumbLeft", "thumbl.bmp", QSize(20, 11), 0},
          {"Trackbar.ThumbRight", "thumbr.bmp", QSize(20, 11), 0},
          {"Trackbar.ThumbUp", "thumbu.bmp", QSize(11, 20), 0},
          {"Trackbar.ThumbDown", "thumbd.bmp", QSize(11, 20), 1}})
        element(section, file, thumb(size, tip), {0, 0, 0, 0});
    element("Track", "track.bmp", strip(1, {40, 6}, false, [&](QPainter &p, QRect r, int) {
        p.fillRect(r, c.track);
        outline(p, r, c.faceDark.darker(110));
        roundCorners(p, r);
    }), {3, 0, 3, 0});
    element("TRACKVERT", "trackvert.bmp", strip(1, {6, 40}, false, [&](QPainter &p, QRect r, int) {
        p.fillRect(r, c.track);
        outline(p, r, c.faceDark.darker(110));
        roundCorners(p, r);
    }), {0, 3, 0, 3});
    // Up-down: frames 1-4 the first button (up or left), 5-8 the second; each normal, pressed, disabled, hot.
    for (const auto &[section, file, glyphs, vertical] :
         {std::tuple{"UpDown.Vert", "updownv.bmp", "updownvglyph.bmp", true},
          {"UpDown.Horz", "updownh.bmp", "updownhglyph.bmp", false}}) {
        const QSize cell = vertical ? QSize(16, 10) : QSize(10, 16);
        picture(glyphs, strip(8, cell, false, [&, vertical](QPainter &p, QRect r, int f) {
            arrow(p, r, vertical ? (f <= 4 ? 2 : 3) : (f <= 4 ? 0 : 1), (f - 1) % 4 == 2 ? c.disabledText : c.text);
        }));
        element(section, file, strip(8, cell, false, [&, vertical](QPainter &p, QRect r, int f) {
            const int look = (f - 1) % 4 + 1;
            buttonFace(p, r, look == 4 ? Hot : look, c);
            arrow(p, r, vertical ? (f <= 4 ? 2 : 3) : (f <= 4 ? 0 : 1), look == 3 ? c.disabledText : c.text);
        }), {2, 2, 2, 2}, {QStringLiteral("GlyphImage=") + glyphs});
    }
}

void SkinBuilder::scrolling()
{
    const Palette &c = c_;
    // 23 square frames: four arrow groups (left, right, up, down: normal, pressed, disabled, hot) and two grip
    // groups (horizontal, vertical: normal, pressed, hot).
    picture("scrollbar.bmp", strip(23, {17, 17}, false, [&](QPainter &p, QRect r, int f) {
        if (f <= 16) {
            const int look = (f - 1) % 4, dir = (f - 1) / 4;
            const int state = look == 0 ? Normal : look == 1 ? Pressed : look == 2 ? Disabled : Hot;
            buttonFace(p, r, state, c);
            arrow(p, r.translated(look == 1 ? 1 : 0, look == 1 ? 1 : 0), dir, state == Disabled ? c.disabledText : c.text);
            return;
        }
        const int look = (f - 17) % 3;
        const bool horizontal = f <= 19;
        const QColor grip = look == 1 ? c.edge : look == 2 ? c.hilight : c.faceDark.darker(120);
        for (int i = -1; i <= 1; ++i) {
            const QPoint at = r.center() + (horizontal ? QPoint(3 * i, 0) : QPoint(0, 3 * i));
            p.fillRect(horizontal ? QRect(at.x(), at.y() - 3, 1, 7) : QRect(at.x() - 3, at.y(), 7, 1), grip);
        }
    }));
    line("[Scrollbar]\r\nImage=scrollbar.bmp\r\nTrans=1");
    for (const char *section : {"HorzScroll", "VertScroll"})
        element(section, QString(section).toLower() + ".bmp", strip(4, {17, 17}, false, [&](QPainter &p, QRect r, int f) {
            p.fillRect(r, f == 3 ? c.face : f == 2 ? c.track.darker(110) : c.track);
        }), {2, 2, 2, 2});
    for (const auto &[section, file, size] : {std::tuple{"HorzScrollThumb", "hthumb.bmp", QSize(20, 17)},
                                               {"VertScrollThumb", "vthumb.bmp", QSize(17, 20)}})
        element(section, file, strip(3, size, false, [&](QPainter &p, QRect r, int f) {
            const QRect body = r.adjusted(1, 1, -1, -1);
            p.fillRect(body, f == 2 ? c.thumb.darker(120) : f == 3 ? c.thumb.lighter(112) : c.thumb);
            outline(p, body, c.thumb.darker(140));
            roundCorners(p, body);
        }), {4, 4, 4, 4}, {"FrameCount=3"});
}

void SkinBuilder::menus()
{
    const Palette &c = c_;
    // Frames: 1 normal (the popup's background shows through), 2 the separator, an etched line in the bottom 8
    // rows that a separator item uses, 3 disabled, 4 selected, 5 selected and disabled.
    element("MenuItem", "menuitem.bmp", strip(5, {30, 20}, false, [&](QPainter &p, QRect r, int f) {
        if (f == 2) {
            p.fillRect(QRect(r.left() + 2, r.bottom() - 4, r.width() - 4, 1), c.faceDark);
            p.fillRect(QRect(r.left() + 2, r.bottom() - 3, r.width() - 4, 1), c.faceLight.lighter(110));
        } else if (f >= 4) {
            const QRect box = r.adjusted(1, 1, -1, -1);
            p.fillRect(box, f == 4 ? c.hilight : c.faceDark);
            roundCorners(p, box);
        }
    }), {4, 4, 4, 4});
    element("MenuBackground", "menubg.bmp", strip(1, {30, 30}, false, [&](QPainter &p, QRect r, int) {
        p.fillRect(r, c.faceLight);
        outline(p, r, c.faceDark.darker(120));
        outline(p, r.adjusted(1, 1, -1, -1), c.faceLight);
        p.fillRect(QRect(r.left() + 2, r.top() + 2, 1, r.height() - 4), c.accent);
    }), {3, 3, 3, 3});
}

void SkinBuilder::colours()
{
    const Palette &c = c_;
    line("[Colours]");
    const std::pair<const char *, QColor> named[] = {
        {"WindowText", c.text},         {"ButtonFace", c.face},           {"Scrollbar", c.track},
        {"HilightText", c.hilightText}, {"Hilight", c.hilight},           {"Menubar", c.face},
        {"Menu", c.faceLight},          {"MenuText", c.text},             {"ButtonText", c.text},
        {"ButtonHilight", c.faceLight}, {"Buttonlight", c.faceLight},     {"ButtonShadow", c.faceDark},
        {"ButtonDkShadow", c.edge},     {"MenuBarText", c.text},          {"TitleTextActive", c.titleText},
        {"TitleTextNoActive", c.titleTextInactive},
    };
    for (const auto &[key, colour] : named)
        line(QString::fromLatin1(key) + u'=' + rgb(colour));
    line("[Customcolors]");
    const QColor custom[] = {c.accent, c.hilight, c.frame, c.edge, c.face, c.faceLight, c.faceDark, c.track,
                             c.thumb, c.text};
    for (int i = 0; i < 10; ++i)
        line(QStringLiteral("Color%1=%2").arg(i).arg(rgb(custom[i])));
}

QList<SkinMember> SkinBuilder::build()
{
    frame();
    captionButtons();
    colours();
    buttons();
    fields();
    bars();
    containers();
    sliders();
    scrolling();
    menus();
    members_.prepend({t_.name.toLower() + QStringLiteral(".ini"), ini_.toUtf8()});
    return members_;
}

} // namespace

QList<SkinTheme> ShippedSkinThemes()
{
    return {{QStringLiteral("Mx1"), QStringLiteral("宣纸"), false}, {QStringLiteral("Mx2"), QStringLiteral("墨夜"), true}};
}

QList<SkinMember> GenerateSkin(const SkinTheme &theme)
{
    return SkinBuilder(theme).build();
}
