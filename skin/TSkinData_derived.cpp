// Frame counts fixed after reading, geometry kept inside the pictures, and the pictures the model derives.
#include "TSkinData.h"

#include "SkinDraw.h"
#include "SkinImage.h"
#include "TQuickIni.h"

#include <QPainter>

namespace {

void setFrames(const std::unique_ptr<TDataSkinObject> &o, int frames)
{
    if (o)
        o->Frame = frames;
}

// Frames of a check-box or radio strip whose count the ini leaves out: 13-pixel cells for pictures under
// 16 pixels high, else 16-pixel cells, and never fewer than 4.
int glyphFrames(int fromKey, const QImage &strip)
{
    if (fromKey > 0)
        return fromKey;
    const int cell = strip.height() < 16 ? 13 : 16;
    return std::max(strip.width() / cell, 4);
}

void clampObject(TDataSkinObject &o)
{
    o.Frame = std::max(o.Frame, 1);
    const int w = o.Map.width(), h = o.Map.height();
    o.LeftWidth = std::clamp(o.LeftWidth, 0, w);
    o.RightWidth = std::clamp(o.RightWidth, 0, w);
    o.TopHeight = std::clamp(o.TopHeight, 0, h);
    o.BottomHeight = std::clamp(o.BottomHeight, 0, h);
}

constexpr int ComboCell = 50; // width of one state of the built combo-box picture

} // namespace

void TSkinData::SetFrame(const TQuickIni &ini)
{
    Buttons.Frame = 5;
    Buttons.RadioFrame = glyphFrames(Buttons.RadioFrame, Buttons.RadioMap);
    Buttons.CheckFrame = glyphFrames(Buttons.CheckFrame, Buttons.CheckMap);
    Title.Frame = 2;
    setFrames(Progress, Progress && Progress->Style != 0 ? 1 : 2);
    if (MenuBar)
        MenuBar->Frame = 2;
    setFrames(GroupBoxEdge, 2);
    setFrames(ToolBars, 5);
    if (Tabs)
        Tabs->Frame = 5;
    setFrames(TabPane, 1);
    setFrames(StatusBarEdges, 3);
    if (GroupBox)
        GroupBox->Frame = 1;
    setFrames(ComboButton, 4);
    setFrames(SunkEdge, 4);
    setFrames(ExtraImages, 5);
    if (Headerbar && Headerbar->Frame == 0)
        Headerbar->Frame = 5;
    setFrames(MenuItem, 5);
    setFrames(MenuBackground, 1);
    setFrames(Scrollbar, 23);
    setFrames(HorzScroll, 4);
    setFrames(VertScroll, 4);
    if (UpDownHorz)
        UpDownHorz->Frame = 8;
    if (UpDownVert)
        UpDownVert->Frame = 8;
    for (auto *thumb : {&ThumbHorz, &ThumbVert, &ThumbLeft, &ThumbRight, &ThumbUp, &ThumbDown})
        setFrames(*thumb, 5);
    for (auto *thumb : {&HorzScrollThumb, &VertScrollThumb})
        if (*thumb)
            (*thumb)->Frame = ini.ReadInteger((*thumb)->IDName, QStringLiteral("FrameCount"), 3);
}

void TSkinData::ClampGeometry()
{
    // Counts below 1 would divide by zero and margins outside the picture would read past it. The title's
    // margins are text offsets, not picture margins, and are kept.
    for (TDataSkinObject *o : std::initializer_list<TDataSkinObject *>{&Left, &Right, &Top, &Bottom, &Buttons})
        clampObject(*o);
    Title.Frame = std::max(Title.Frame, 1);
    for (auto *o : {&Progress, &ProgressChunk, &GroupBoxEdge, &StatusBarEdges, &TabPane, &ToolBars, &ComboButton,
                    &SunkEdge, &ExtraImages, &Headerbar, &MenuItem, &MenuBackground, &Scrollbar, &HorzScroll,
                    &VertScroll, &HorzScrollThumb, &VertScrollThumb, &ThumbHorz, &ThumbVert, &ThumbLeft,
                    &ThumbRight, &ThumbUp, &ThumbDown, &Track, &TrackVert})
        if (*o)
            clampObject(**o);
    for (TDataSkinObject *o : std::initializer_list<TDataSkinObject *>{MenuBar.get(), GroupBox.get(), Tabs.get(),
                                                                       UpDownHorz.get(), UpDownVert.get()})
        if (o)
            clampObject(*o);
    for (const auto &b : SysButtons)
        clampObject(*b);
}

void TSkinData::ReBuildCombobox()
{
    // Each state: the sunken edge as a nine-grid, the combo button at the inner right as tall as the inside,
    // and the arrow glyph of the extra picture (when the skin has one) centred on the button. The right-to-left
    // picture mirrors every cell.
    if (!SunkEdge || !ComboButton || SunkEdge->Map.isNull() || ComboButton->Map.isNull())
        return;
    const int h = SunkEdge->Map.height(), states = SunkEdge->Frame;
    ComboBoxMap = QImage(ComboCell * states, h, QImage::Format_RGB32);
    ComboBoxMap.fill(qRgb(255, 0, 255));
    ComboBoxMapRTL = ComboBoxMap;
    QPainter ltr(&ComboBoxMap), rtl(&ComboBoxMapRTL);
    for (int state = 1; state <= states; ++state) {
        QImage cell(ComboCell, h, QImage::Format_RGB32);
        cell.fill(qRgb(255, 0, 255));
        QPainter p(&cell);
        const QRect all(0, 0, ComboCell, h);
        DrawRect2(p, all, SunkEdge->Map, SunkEdge->margins(), false, SunkEdge->Tile, true, states, state);
        const QRect inside = all.marginsRemoved(SunkEdge->margins());
        const int bw = std::min(ComboButton->frameWidth(), inside.width());
        const QRect button(inside.right() + 1 - bw, inside.top(), bw, inside.height());
        DrawRect1(p, button, ComboButton->Map, true, ComboButton->Frame, state);
        if (ExtraImages && !ExtraImages->Map.isNull())
            DrawRect3(p, button, ExtraImages->Map, true, ExtraImages->Frame, state);
        p.end();
        const QPoint at((state - 1) * ComboCell, 0);
        ltr.drawImage(at, cell);
        rtl.drawImage(at, cell.mirrored(true, false));
    }
}

void TSkinData::ReBuildComboxArrow()
{
    // The arrow alone: the combo button's frames; without a sunken edge to sit in, its transparent key
    // becomes the button face.
    if (ComboxArrow || !ComboButton)
        return;
    ComboxArrow = std::make_unique<TDataSkinObject>(QStringLiteral("ComboxArrow"));
    ComboxArrow->Map = ComboButton->Map;
    ComboxArrow->Frame = ComboButton->Frame;
    ComboxArrow->Style = ComboButton->Style;
    ComboxArrow->Trans = 1;
    if (!SunkEdge && !ComboxArrow->Map.isNull())
        ChangeTrans(ComboxArrow->Map, Colors[ButtonFace]);
}

void TSkinData::RebuildToolbar()
{
    // A vertical gradient from a lighter face to the face; dull faces (the saturation rule of GetHSV gives
    // them 200) brighten from white, coloured ones from the highlight colour.
    if (Toolbar)
        return;
    int hue = 0, saturation = 0;
    GetHSV(Colors[ButtonFace], hue, saturation);
    const quint32 light = saturation >= 200 ? 0xFFFFFF : Colors[ButtonHilight];
    Toolbar = std::make_unique<TDataSkinObject>(QStringLiteral("Toolbar"));
    Toolbar->Map = QImage(8, 32, QImage::Format_RGB32);
    QPainter p(&Toolbar->Map);
    GradFill(p, Toolbar->Map.rect(), Blend(light, Colors[ButtonFace], 150), Colors[ButtonFace], true);
    Toolbar->Frame = 1;
}

void TSkinData::CreateMinCaption()
{
    const quint32 caption = GetCaptionColor();
    MinCaption = std::make_unique<TDataSkinObject>(QStringLiteral("MinCaption"));
    MinCaption->Map = QImage(80, 29, QImage::Format_RGB32);
    MinCaption->Map.fill(QColor::fromRgb(qRgb(caption & 0xFF, (caption >> 8) & 0xFF, (caption >> 16) & 0xFF)));
    const quint32 edge = Blend(caption, 0, 50);
    QPainter p(&MinCaption->Map);
    p.setPen(QColor(edge & 0xFF, (edge >> 8) & 0xFF, (edge >> 16) & 0xFF));
    p.drawRect(0, 0, 79, 28);
}
