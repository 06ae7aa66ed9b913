// Reading the skin model from the package's ini member, in the fixed order of a load.
#include "TSkinData.h"

#include "SkinImage.h"
#include "SkinResources.h"
#include "TQuickIni.h"
#include "TSkinReader.h"

namespace {

const QString Personality = QStringLiteral("Personality");

quint32 sysColour(int index)
{
    return ResolveColor(SysColorBit | quint32(index));
}

} // namespace

void TSkinData::resetModel()
{
    SkinName.clear();
    for (TDataSkinBorder *b : {&Left, &Right, &Top, &Bottom})
        *b = TDataSkinBorder(b->IDName);
    Title = TDataSkinTitle(QStringLiteral("Title"));
    Buttons = TDataSkinButton(QStringLiteral("Buttons"));
    for (auto *o : {&Progress, &ProgressChunk, &GroupBoxEdge, &StatusBarEdges, &TabPane, &ToolBars, &ComboButton,
                    &SunkEdge, &ExtraImages, &Headerbar, &MenuItem, &MenuBackground, &Scrollbar, &HorzScroll,
                    &VertScroll, &HorzScrollThumb, &VertScrollThumb, &ThumbHorz, &ThumbVert, &ThumbLeft,
                    &ThumbRight, &ThumbUp, &ThumbDown, &Track, &TrackVert, &ComboxArrow, &Toolbar, &MinCaption})
        o->reset();
    MenuBar.reset();
    GroupBox.reset();
    Tabs.reset();
    UpDownHorz.reset();
    UpDownVert.reset();
    SysButtons.clear();
    ComboButtonRTL = ComboBoxMap = ComboBoxMapRTL = QImage();
    PreColors.clear();
    Colors.fill(0);
    CustomColors.fill(0xFFFFFF);
}

QImage TSkinData::Readbmp(const TQuickIni &ini, const QString &section, const QString &key) const
{
    QString name = ini.ReadString(section, key, QString());
    name = name.sliced(std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/')) + 1);
    if (!reader_ || !name.endsWith(QStringLiteral(".bmp"))) // the extension in exactly this letter case
        return {};
    QByteArray bytes;
    reader_->readfile(name, bytes);
    if (bytes.isEmpty())
        return {};
    const QImage img = QImage::fromData(bytes, "BMP");
    return img.isNull() ? img : img.convertToFormat(QImage::Format_RGB32);
}

quint32 TSkinData::ReadColor(const TQuickIni &ini, const QString &section, const QString &key, quint32 def) const
{
    return strcolor(ini.ReadString(section, key, QString()), def);
}

bool TSkinData::ReadRGB(const TQuickIni &ini, const QString &section, const QString &prefix, quint32 &colour) const
{
    const int r = ini.ReadInteger(section, prefix + u'R', -1), g = ini.ReadInteger(section, prefix + u'G', -1),
              b = ini.ReadInteger(section, prefix + u'B', -1);
    if (r < 0 || g < 0 || b < 0)
        return false;
    colour = RGBToColor(r, g, b);
    return true;
}

void TSkinData::readGeneric(const TQuickIni &ini, const QString &section, TDataSkinObject &o) const
{
    o.Map = Readbmp(ini, section, QStringLiteral("Image"));
    o.Style = ini.ReadInteger(section, QStringLiteral("Style"), 0);
    o.LeftWidth = ini.ReadInteger(section, QStringLiteral("LeftWidth"), 0);
    o.RightWidth = ini.ReadInteger(section, QStringLiteral("RightWidth"), 0);
    o.TopHeight = ini.ReadInteger(section, QStringLiteral("TopHeight"), 0);
    o.BottomHeight = ini.ReadInteger(section, QStringLiteral("BottomHeight"), 0);
    o.Frame = ini.ReadInteger(section, QStringLiteral("Frame"), 0);
    o.Trans = ini.ReadInteger(section, QStringLiteral("Trans"), 0);
    o.Tile = ini.ReadInteger(section, QStringLiteral("Tile"), 0);
    if (o.Tile > 1)
        o.Tile = 0;
    o.NormalColour = ini.ReadInteger(section, QStringLiteral("NormalColour"), -1);
    o.MouseOverColour = ini.ReadInteger(section, QStringLiteral("MouseOverColour"), -1);
    o.PressedColour = ini.ReadInteger(section, QStringLiteral("PressedColour"), -1);
    o.NormalColour2 = ReadColor(ini, section, QStringLiteral("NormalColour2"), Colors[ButtonFace]);
    o.MouseOverColour2 = ReadColor(ini, section, QStringLiteral("MouseOverColour2"), Colors[ButtonFace]);
    o.PressedColour2 = ReadColor(ini, section, QStringLiteral("PressedColour2"), Colors[ButtonFace]);
}

std::unique_ptr<TDataSkinObject> TSkinData::ReadObject(const TQuickIni &ini, const QString &section) const
{
    if (ini.ReadString(section, QStringLiteral("Image"), QString()).isEmpty())
        return nullptr;
    auto o = std::make_unique<TDataSkinObject>(section);
    readGeneric(ini, section, *o);
    return o;
}

void TSkinData::LoadFromIni(const TQuickIni &ini)
{
    empty_ = true;
    resetModel();
    SkinName = ini.ReadString(QStringLiteral("TitlebarSkin"), QStringLiteral("SkinName"), QString());
    ReadBorders(ini);
    ReadColors(ini);
    ReadSysButtons(ini);
    ReadButton(ini);
    ReadTitle(ini);
    ReadElements(ini);
    SetFrame(ini);
    ClampGeometry();
    ReBuildCombobox();
    ReBuildComboxArrow();
    RebuildToolbar();
    CreateMinCaption();
    CreateCaptionFont();
    empty_ = false;
}

void TSkinData::ReadBorders(const TQuickIni &ini)
{
    for (TDataSkinBorder *b : {&Left, &Right, &Top, &Bottom}) {
        const QString &name = b->IDName;
        b->Map = Readbmp(ini, Personality, name);
        const int first = ini.ReadInteger(Personality, name + QStringLiteral("TopHeight"), 0);
        const int second = ini.ReadInteger(Personality, name + QStringLiteral("BotHeight"), 0);
        if (b == &Left || b == &Right) {
            b->TopHeight = first;
            b->BottomHeight = second;
        } else {
            b->LeftWidth = first;
            b->RightWidth = second;
        }
        b->Frame = ini.ReadInteger(Personality, name + QStringLiteral("Frame"), 1);
        b->Stretch = std::min(ini.ReadInteger(Personality, name + QStringLiteral("Stretch"), 1), 1);
        b->Trans = ini.ReadInteger(Personality, name + QStringLiteral("Trans"), 1);
    }
}

void TSkinData::ReadColors(const TQuickIni &ini)
{
    const QString section = QStringLiteral("Colours");
    const struct {
        ColourName name;
        const char *key;
        int sys;
    } table[] = {
        {WindowText, "WindowText", COLOR_WINDOWTEXT},      {ButtonFace, "ButtonFace", COLOR_BTNFACE},
        {Scrollbar_, "Scrollbar", COLOR_SCROLLBAR},        {HilightText, "HilightText", COLOR_HIGHLIGHTTEXT},
        {Hilight, "Hilight", COLOR_HIGHLIGHT},             {Menubar, "Menubar", -1},
        {Menu, "Menu", COLOR_MENU},                        {MenuText, "MenuText", COLOR_MENUTEXT},
        {ButtonText, "ButtonText", COLOR_BTNTEXT},         {ButtonHilight, "ButtonHilight", COLOR_BTNHIGHLIGHT},
        {Buttonlight, "Buttonlight", COLOR_BTNHIGHLIGHT},  {ButtonShadow, "ButtonShadow", COLOR_BTNSHADOW},
        {ButtonDkShadow, "ButtonDkShadow", COLOR_3DDKSHADOW}, {MenuBarText, "MenuBarText", COLOR_MENUTEXT},
        {TitleTextActive, "TitleTextActive", COLOR_CAPTIONTEXT},
        {TitleTextNoActive, "TitleTextNoActive", COLOR_INACTIVECAPTIONTEXT},
    };
    for (const auto &c : table) // Menubar defaults to the ButtonFace value read just before it
        Colors[c.name] = ReadColor(ini, section, QString::fromLatin1(c.key),
                                   c.sys < 0 ? Colors[ButtonFace] : sysColour(c.sys));
    for (const QString &s : ini.ReadSections()) {
        const QString upper = s.toUpper();
        if (upper.startsWith(QStringLiteral("COLOUR")) && upper != QStringLiteral("COLOURS"))
            PreColors.push_back(ReadColor(ini, s, QStringLiteral("color"), sysColour(COLOR_WINDOWTEXT)));
    }
    for (int i = 0; i < 10; ++i)
        CustomColors[i] = ReadColor(ini, QStringLiteral("Customcolors"), QStringLiteral("Color%1").arg(i), 0xFFFFFF);
}

void TSkinData::ReadSysButtons(const TQuickIni &ini)
{
    static const QStringList notSystem = {"BUTTONS", "BUTTON.RADIO", "BUTTON.CHECKBOX", "BUTTON"};
    for (const QString &s : ini.ReadSections()) {
        const QString upper = s.toUpper();
        if (!upper.startsWith(QStringLiteral("BUTTON")) || notSystem.contains(upper))
            continue;
        const int action = ini.ReadInteger(s, QStringLiteral("Action"), 0);
        const int visibility = ini.ReadInteger(s, QStringLiteral("Visibility"), 0);
        if (action == -1 && visibility != 0)
            continue;
        auto b = std::make_unique<TDataSkinSysButton>(s);
        b->Action = action;
        b->Align = ini.ReadInteger(s, QStringLiteral("Align"), 0);
        b->Xcoord = ini.ReadInteger(s, QStringLiteral("Xcoord"), 0);
        b->Ycoord = ini.ReadInteger(s, QStringLiteral("Ycoord"), 0);
        b->Visibility = visibility;
        b->Visibility1 = ini.ReadInteger(s, QStringLiteral("Visibility1"), action == -1 ? -1 : 0);
        b->CombineOp = ini.ReadInteger(s, QStringLiteral("CombineOp"), -1);
        const int frame = ini.ReadInteger(s, QStringLiteral("frame"), 0);
        b->Frame = frame == 0 ? 6 : frame;
        b->Map = Readbmp(ini, s, QStringLiteral("ButtonImage"));
        SysButtons.push_back(std::move(b));
    }
}

void TSkinData::ReadButton(const TQuickIni &ini)
{
    const QString s = QStringLiteral("Buttons");
    TDataSkinButton &b = Buttons;
    b.LeftWidth = ini.ReadInteger(s, QStringLiteral("LeftWidth"), 0);
    b.RightWidth = ini.ReadInteger(s, QStringLiteral("RightWidth"), 0);
    b.TopHeight = ini.ReadInteger(s, QStringLiteral("TopHeight"), 0);
    b.BottomHeight = ini.ReadInteger(s, QStringLiteral("BottomHeight"), 0);
    b.Trans = ini.ReadInteger(s, QStringLiteral("Trans"), 0);
    b.Map = Readbmp(ini, s, QStringLiteral("Bitmap"));
    b.Tile = ini.ReadInteger(s, QStringLiteral("Tile"), 0);
    b.CheckMap = Readbmp(ini, s, QStringLiteral("CheckButton"));
    b.RadioMap = Readbmp(ini, s, QStringLiteral("RadioButton"));
    b.NormalColour = ini.ReadInteger(s, QStringLiteral("NormalColour"), -1);
    b.MouseOverColour = ini.ReadInteger(s, QStringLiteral("MouseOverColour"), -1);
    b.PressedColour = ini.ReadInteger(s, QStringLiteral("PressedColour"), -1);
    b.RadioFrame = ini.ReadInteger(s, QStringLiteral("RadioButtonFrame"), 0);
    b.CheckFrame = ini.ReadInteger(s, QStringLiteral("CheckButtonFrame"), 0);
    b.NormalColour2 = ReadColor(ini, s, QStringLiteral("NormalColour2"), Colors[ButtonFace]);
    b.MouseOverColour2 = ReadColor(ini, s, QStringLiteral("MouseOverColour2"), Colors[ButtonFace]);
    b.PressedColour2 = ReadColor(ini, s, QStringLiteral("PressedColour2"), Colors[ButtonFace]);
}

void TSkinData::ReadTitle(const TQuickIni &ini)
{
    TDataSkinTitle &t = Title;
    t.Map = Readbmp(ini, Personality, QStringLiteral("TextBack"));
    t.LeftWidth = ini.ReadInteger(Personality, QStringLiteral("TextShift"), 0);
    t.TopHeight = ini.ReadInteger(Personality, QStringLiteral("TextShiftVert"), 0);
    t.RightWidth = ini.ReadInteger(Personality, QStringLiteral("TextRightClip"), 0);
    t.BottomHeight = 0;
    t.TextAlignment = ini.ReadInteger(Personality, QStringLiteral("TextAlignment"), 0);
    t.Textbackground = ini.ReadInteger(Personality, QStringLiteral("Textbackground"), 0);
    t.FontHeight = ini.ReadInteger(QStringLiteral("Fonts"), QStringLiteral("FontHeight"), 14);
    t.TXTBackleft = ini.ReadInteger(Personality, QStringLiteral("TXTBackleft"), 0);
    t.TXTBackRight = ini.ReadInteger(Personality, QStringLiteral("TXTBackRight"), 0);
    ReadRGB(ini, Personality, QStringLiteral("ActiveText"), t.ActiveText);
    ReadRGB(ini, Personality, QStringLiteral("InActiveText"), t.InActiveText);
}

std::unique_ptr<TDataSkinBorder> TSkinData::ReadBorderObject(const TQuickIni &ini, const QString &section,
                                                             const QString &secondKey) const
{
    if (ini.ReadString(section, QStringLiteral("Image"), QString()).isEmpty())
        return nullptr;
    auto b = std::make_unique<TDataSkinBorder>(section);
    readGeneric(ini, section, *b);
    b->Map2 = Readbmp(ini, section, secondKey);
    return b;
}

void TSkinData::ReadElements(const TQuickIni &ini)
{
    if (!ini.ReadString(QStringLiteral("Progress"), QStringLiteral("Bitmap"), QString()).isEmpty()) {
        const QString s = QStringLiteral("Progress");
        Progress = std::make_unique<TDataSkinObject>(s);
        readGeneric(ini, s, *Progress);
        Progress->Map = Readbmp(ini, s, QStringLiteral("Bitmap"));
    }
    ProgressChunk = ReadObject(ini, QStringLiteral("Progress.Chunk"));
    if (!ini.ReadString(Personality, QStringLiteral("menuBar"), QString()).isEmpty()) {
        MenuBar = std::make_unique<TDataSkinMenuBar>(QStringLiteral("MenuBar"));
        MenuBar->Map = Readbmp(ini, Personality, QStringLiteral("menuBar"));
        MenuBar->Tile = ini.ReadInteger(Personality, QStringLiteral("TileMenu"), 1);
        MenuBar->TileLeft = ini.ReadInteger(Personality, QStringLiteral("TileLeftMenu"), 1);
        MenuBar->TileRight = ini.ReadInteger(Personality, QStringLiteral("TileRightMenu"), 1);
    }
    GroupBoxEdge = ReadObject(ini, QStringLiteral("GroupBoxEdge"));
    if (!ini.ReadString(QStringLiteral("GroupBox"), QStringLiteral("Image"), QString()).isEmpty()) {
        const QString s = QStringLiteral("GroupBox");
        GroupBox = std::make_unique<TDataSkinBoxLabel>(s);
        readGeneric(ini, s, *GroupBox);
        GroupBox->BackgroundAlignment = ini.ReadInteger(s, QStringLiteral("BackgroundAlignment"), 0);
        GroupBox->BackgroundLeftShift = ini.ReadInteger(s, QStringLiteral("BackgroundLeftShift"), 0);
        GroupBox->BackgroundRightShift = ini.ReadInteger(s, QStringLiteral("BackgroundRightShift"), 0);
    }
    Tabs = ReadBorderObject(ini, QStringLiteral("Tabs"), QStringLiteral("Border"));
    StatusBarEdges = ReadObject(ini, QStringLiteral("StatusBarEdges"));
    TabPane = ReadObject(ini, QStringLiteral("Tab.Pane"));
    if (TabPane) {
        for (int *m : {&TabPane->LeftWidth, &TabPane->TopHeight, &TabPane->RightWidth, &TabPane->BottomHeight})
            *m = std::min(*m, 4);
    }
    ToolBars = ReadObject(ini, QStringLiteral("ToolBars"));
    ReadScrollingElements(ini);
}

void TSkinData::ReadScrollingElements(const TQuickIni &ini)
{
    ComboButton = ReadObject(ini, QStringLiteral("ComboButton"));
    SunkEdge = ReadObject(ini, QStringLiteral("SunkEdge"));
    if (ComboButton && !ComboButton->Map.isNull()) {
        ComboButtonRTL = ComboButton->Map;
        SpiegelnHorizontal(ComboButtonRTL);
    }
    ExtraImages = ReadObject(ini, QStringLiteral("ExtraImages"));
    Headerbar = ReadObject(ini, QStringLiteral("Headerbar"));
    MenuItem = ReadObject(ini, QStringLiteral("MenuItem"));
    MenuBackground = ReadObject(ini, QStringLiteral("MenuBackground"));
    Scrollbar = ReadObject(ini, QStringLiteral("Scrollbar"));
    HorzScroll = ReadObject(ini, QStringLiteral("HorzScroll"));
    VertScroll = ReadObject(ini, QStringLiteral("VertScroll"));
    HorzScrollThumb = ReadObject(ini, QStringLiteral("HorzScrollThumb"));
    VertScrollThumb = ReadObject(ini, QStringLiteral("VertScrollThumb"));
    ThumbHorz = ReadObject(ini, QStringLiteral("Trackbar.ThumbHorz"));
    ThumbVert = ReadObject(ini, QStringLiteral("Trackbar.ThumbVert"));
    ThumbLeft = ReadObject(ini, QStringLiteral("Trackbar.ThumbLeft"));
    ThumbRight = ReadObject(ini, QStringLiteral("Trackbar.ThumbRight"));
    ThumbUp = ReadObject(ini, QStringLiteral("Trackbar.ThumbUp"));
    ThumbDown = ReadObject(ini, QStringLiteral("Trackbar.ThumbDown"));
    UpDownHorz = ReadBorderObject(ini, QStringLiteral("UpDown.Horz"), QStringLiteral("GlyphImage"));
    UpDownVert = ReadBorderObject(ini, QStringLiteral("UpDown.Vert"), QStringLiteral("GlyphImage"));
    ReadTracks(ini);
}

void TSkinData::ReadTracks(const TQuickIni &ini)
{
    Track = ReadObject(ini, QStringLiteral("Track"));
    TrackVert = ReadObject(ini, QStringLiteral("TRACKVERT"));
    for (auto [track, name, vertical] : {std::tuple{&Track, "Track", false}, {&TrackVert, "TRACKVERT", true}}) {
        if (*track)
            continue;
        *track = std::make_unique<TDataSkinObject>(QString::fromLatin1(name));
        (*track)->Map = SkinTrackPicture(vertical);
        (vertical ? (*track)->TopHeight : (*track)->LeftWidth) = SkinTrackCap;
        (vertical ? (*track)->BottomHeight : (*track)->RightWidth) = SkinTrackCap;
        (*track)->Trans = 1;
    }
}
