#pragma once

#include "TSkinReader.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QString>

// A frame skin of solid colours, so that pixel probes can tell every piece apart: left border 4 pixels,
// right 5, title 24, bottom 3; frame 1 (active) bright, frame 2 (inactive) dark. Caption buttons 20 x 16
// with one colour per frame. With `magentaCorners` the title and side borders have magenta top corners
// (2 x 2 pixels) and every border is transparent-keyed; otherwise all borders are opaque. The caption stops
// 100 pixels before the title's right end, clear of the buttons.
namespace frametest {

constexpr QRgb LeftActive = qRgb(200, 0, 0), LeftInactive = qRgb(100, 0, 0);
constexpr QRgb RightActive = qRgb(0, 200, 0), RightInactive = qRgb(0, 100, 0);
constexpr QRgb TopActive = qRgb(0, 0, 200), TopInactive = qRgb(0, 0, 100);
constexpr QRgb BottomActive = qRgb(200, 200, 0), BottomInactive = qRgb(100, 100, 0);
constexpr QRgb ButtonFrames[4] = {qRgb(250, 250, 250), qRgb(60, 60, 60), qRgb(250, 150, 0), qRgb(128, 128, 128)};
constexpr QRgb Face = qRgb(210, 205, 200);
constexpr int L = 4, R = 5, T = 24, B = 3;

inline QByteArray bmpBytes(const QImage &img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return bytes;
}

// Two frames, side by side or one above the other.
inline QImage twoFrames(QSize frame, bool vertical, QRgb active, QRgb inactive, bool corners, bool cornerRight)
{
    QImage img(vertical ? frame.width() : frame.width() * 2, vertical ? frame.height() * 2 : frame.height(),
               QImage::Format_RGB32);
    QPainter p(&img);
    for (int f = 0; f < 2; ++f) {
        const QRect r = vertical ? QRect(0, f * frame.height(), frame.width(), frame.height())
                                 : QRect(f * frame.width(), 0, frame.width(), frame.height());
        p.fillRect(r, QColor(f == 0 ? active : inactive));
        if (corners) {
            p.fillRect(QRect(cornerRight ? r.right() - 1 : r.left(), r.top(), 2, 2), QColor(255, 0, 255));
            if (vertical)
                p.fillRect(QRect(r.right() - 1, r.top(), 2, 2), QColor(255, 0, 255));
        }
    }
    return img;
}

inline QImage buttonStrip()
{
    QImage img(80, 16, QImage::Format_RGB32);
    QPainter p(&img);
    for (int f = 0; f < 4; ++f)
        p.fillRect(QRect(f * 20, 0, 20, 16), QColor(ButtonFrames[f]));
    return img;
}

// `wider` widens the left border, for a skin that is re-read with new geometry.
inline QByteArray Package(bool magentaCorners, int textAlignment = 0, int wider = 0)
{
    const int trans = magentaCorners ? 1 : 0;
    QString ini = QStringLiteral("[TitlebarSkin]\r\nSkinName=probe\r\n[Personality]\r\n");
    for (const char *b : {"Left", "Right", "Top", "Bottom"})
        ini += QStringLiteral("%1=%2.bmp\r\n%1Frame=2\r\n%1Stretch=1\r\n%1Trans=%3\r\n")
                   .arg(QLatin1String(b), QString::fromLatin1(b).toLower())
                   .arg(trans);
    ini += QStringLiteral("LeftTopHeight=4\r\nRightTopHeight=4\r\n");
    ini += QStringLiteral("TextShift=30\r\nTextShiftVert=0\r\nTextRightClip=100\r\nTextAlignment=%1\r\n"
                          "ActiveTextR=255\r\nActiveTextG=255\r\nActiveTextB=255\r\n"
                          "InActiveTextR=160\r\nInActiveTextG=160\r\nInActiveTextB=160\r\n")
               .arg(textAlignment);
    ini += QStringLiteral("[Colours]\r\nButtonFace=%1 %2 %3\r\n").arg(qRed(Face)).arg(qGreen(Face)).arg(qBlue(Face));
    const struct {
        const char *section;
        int action, align, x, visibility;
    } buttons[] = {{"BUTTON.CLOSE", 0, 1, 30, 0},   {"BUTTON.MAX", 1, 1, 52, 2},   {"BUTTON.RESTORE", 1, 1, 52, 1},
                   {"BUTTON.MIN", 2, 1, 74, 0},     {"BUTTON.HELP", 40, 1, 96, 1000}};
    for (const auto &b : buttons)
        ini += QStringLiteral("[%1]\r\nAction=%2\r\nAlign=%3\r\nXcoord=%4\r\nYcoord=4\r\nVisibility=%5\r\nframe=4\r\n"
                              "ButtonImage=button.bmp\r\n")
                   .arg(QLatin1String(b.section)).arg(b.action).arg(b.align).arg(b.x).arg(b.visibility);
    ini += QStringLiteral("[BUTTON.SYSMENU]\r\nAction=3\r\nAlign=0\r\nXcoord=6\r\nYcoord=4\r\nframe=1\r\n"
                          "ButtonImage=icon.bmp\r\n");
    const QList<SkinMember> members = {
        {"skin.ini", ini.toUtf8()},
        {"left.bmp", bmpBytes(twoFrames({L + wider, 20}, false, LeftActive, LeftInactive, magentaCorners, false))},
        {"right.bmp", bmpBytes(twoFrames({R, 20}, false, RightActive, RightInactive, magentaCorners, true))},
        {"top.bmp", bmpBytes(twoFrames({40, T}, true, TopActive, TopInactive, false, false))},
        {"bottom.bmp", bmpBytes(twoFrames({40, B}, true, BottomActive, BottomInactive, false, false))},
        {"button.bmp", bmpBytes(buttonStrip())},
        {"icon.bmp", bmpBytes(buttonStrip().copy(0, 0, 16, 16))},
    };
    QByteArray package;
    WriteSkinPackage(members, 20000, package);
    return SkinCompress(package);
}

} // namespace frametest

#include "SkinManagerApi.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedForm.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <memory>

namespace frametest {

// The manager with the probe skin loaded and switched on; windows shown from now on are skinned.
struct SkinSession {
    explicit SkinSession(bool magentaCorners = false, int textAlignment = 0)
    {
        TSkinManage::Install();
        data = std::make_unique<TSkinData>();
        data->LoadFromStream(Package(magentaCorners, textAlignment));
        data->SetActive(true);
    }
    ~SkinSession()
    {
        data.reset();
        ResetSkinManager();
        SetSkinManagerFactory(nullptr);
        Flush();
    }
    TSkinManage *manager() const { return static_cast<TSkinManage *>(SkinManager()); }
    // The window's skin, admitting it first when needed, with its activation message delivered.
    TSkinnedForm *skin(QWidget *w) const
    {
        manager()->AddForm(w);
        QCoreApplication::sendPostedEvents();
        return manager()->FindSkinForm(w);
    }
    static void Flush()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::unique_ptr<TSkinData> data;
};

// A mouse event at a point of the window, sent straight to it.
inline void mouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons,
                  Qt::MouseButton button = Qt::NoButton)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace frametest
