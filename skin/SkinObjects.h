#pragma once

#include <QImage>
#include <QMargins>
#include <QString>

// One skin element as read from its ini section: a picture of Frame equal state frames with fixed margins.
// After loading, Frame is at least 1 and every margin lies within 0..the frame's size.
struct TDataSkinObject {
    explicit TDataSkinObject(QString section) : IDName(std::move(section)) {}
    virtual ~TDataSkinObject() = default;

    QMargins margins() const { return QMargins(LeftWidth, TopHeight, RightWidth, BottomHeight); }
    int frameWidth() const { return Frame > 0 ? Map.width() / Frame : Map.width(); }

    QString IDName;
    int LeftWidth = 0, TopHeight = 0, RightWidth = 0, BottomHeight = 0;
    QImage Map;
    int Trans = 0;
    int Tile = 0; // 0 stretch, 1 tile
    int Frame = 1;
    int Style = 0;
    int NormalColour = -1, MouseOverColour = -1, PressedColour = -1; // text colours, -1 none
    quint32 NormalColour2 = 0, MouseOverColour2 = 0, PressedColour2 = 0;
};

struct TDataSkinBorder : TDataSkinObject {
    using TDataSkinObject::TDataSkinObject;
    QImage Map2;
    int Stretch = 1; // the frame borders' own key: 1 stretch the middle, 0 keep it
};

// Caption text colours hold NoRGB when the skin sets none.
struct TDataSkinTitle : TDataSkinObject {
    using TDataSkinObject::TDataSkinObject;
    static constexpr quint32 NoRGB = 0x1FFFFFFF;
    int TextAlignment = 0, Textbackground = 0, FontHeight = 14, TXTBackleft = 0, TXTBackRight = 0;
    quint32 ActiveText = NoRGB, InActiveText = NoRGB;
};

struct TDataSkinButton : TDataSkinObject {
    using TDataSkinObject::TDataSkinObject;
    QImage CheckMap, RadioMap;
    int CheckFrame = 4, RadioFrame = 4;
};

struct TDataSkinSysButton : TDataSkinObject {
    using TDataSkinObject::TDataSkinObject;
    int Action = 0, Align = 0, Xcoord = 0, Ycoord = 0, CombineOp = -1, Visibility = 0, Visibility1 = 0;
};

struct TDataSkinBoxLabel : TDataSkinObject {
    using TDataSkinObject::TDataSkinObject;
    int BackgroundAlignment = 0, BackgroundLeftShift = 0, BackgroundRightShift = 0;
};

struct TDataSkinMenuBar : TDataSkinObject {
    using TDataSkinObject::TDataSkinObject;
    int TileLeft = 1, TileRight = 1;
};
