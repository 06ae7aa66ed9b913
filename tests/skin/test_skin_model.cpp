#include "SkinManagerApi.h"
#include "TSkinData.h"
#include "TSkinReader.h"
#include "TSkinStore.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray bmp(int w, int h, QRgb fill = qRgb(10, 20, 30))
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return bytes;
}

const char *const FullIni = R"([TitlebarSkin]
SkinName=墨韵
[Personality]
Left=images\left.bmp
LeftTopHeight=5
LeftBotHeight=6
LeftFrame=0
Top=top.bmp
TopTopHeight=7
TopStretch=3
TextBack=images\Title.BMP
TextShift=12
ActiveTextR=1
ActiveTextG=2
ActiveTextB=3
InActiveTextR=-1
menuBar=title.bmp
[Colours]
ButtonFace= 255 0 0
[Colour1]
color=1,2,3
[ColourX]
color=4,5,6
[Customcolors]
Color3=7,8,9
[BUTTON.CLOSE]
Action=0
ButtonImage=close.bmp
[BUTTON.MIN]
frame=-3
ButtonImage=close.bmp
[BUTTON.HIDDEN]
Action=-1
Visibility=1
[Buttons]
Bitmap=button.bmp
CheckButton=check.bmp
CheckButtonFrame=-2
RadioButton=radio.bmp
[Tab.Pane]
Image=pane.bmp
LeftWidth=6
TopHeight=2
RightWidth=9
BottomHeight=4
[Progress]
Bitmap=button.bmp
Style=1
[ComboButton]
Image=combo.bmp
[SunkEdge]
Image=sunk.bmp
LeftWidth=2
RightWidth=2
TopHeight=2
BottomHeight=2
[HorzScrollThumb]
Image=button.bmp
FrameCount=0
[Track]
Image=button.bmp
LeftWidth=-5
RightWidth=500
Frame=0
[Fonts]
FontHeight=18
)";

QByteArray fullPackage(quint32 version = 20000)
{
    const QList<SkinMember> members = {
        {"skin.ini", FullIni},          {"left.bmp", bmp(4, 30)},     {"top.bmp", bmp(60, 24, qRgb(90, 60, 30))},
        {"title.bmp", bmp(40, 20)},     {"close.bmp", bmp(96, 16)},   {"button.bmp", bmp(50, 20)},
        {"check.bmp", bmp(64, 13)},     {"radio.bmp", bmp(96, 16)},   {"pane.bmp", bmp(30, 30)},
        {"combo.bmp", bmp(64, 18)},     {"sunk.bmp", bmp(80, 22)},
    };
    QByteArray package;
    WriteSkinPackage(members, version, package);
    return SkinCompress(package);
}

TEST(SkinModel, PackageWithEverySectionParsesToTheExpectedModel)
{
    TSkinData data;
    data.LoadFromStream(fullPackage());
    ASSERT_FALSE(data.Empty()) << data.lastError().toStdString();
    EXPECT_EQ(data.SkinName, "墨韵");
    // Borders: side borders keep top and bottom margins, the top border left and right ones.
    EXPECT_EQ(data.Left.margins(), QMargins(0, 5, 0, 6));
    EXPECT_EQ(data.Left.Frame, 1); // LeftFrame=0
    EXPECT_EQ(data.Left.Map.size(), QSize(4, 30));
    EXPECT_EQ(data.Top.margins(), QMargins(7, 0, 0, 0));
    EXPECT_EQ(data.Top.Stretch, 1);
    // Images: a folder is stripped, and only the lower-case ".bmp" extension is looked up.
    EXPECT_TRUE(data.Title.Map.isNull());
    ASSERT_TRUE(data.MenuBar);
    EXPECT_EQ(data.MenuBar->Map.size(), QSize(40, 20));
    EXPECT_EQ(data.Title.LeftWidth, 12);
    EXPECT_EQ(data.Title.FontHeight, 18);
    EXPECT_EQ(data.Title.ActiveText, 0x030201u);
    EXPECT_EQ(data.Title.InActiveText, TDataSkinTitle::NoRGB);
    // Colours.
    EXPECT_EQ(data.Colors[TSkinData::ButtonFace], 0x0000FFu);
    EXPECT_EQ(data.Colors[TSkinData::Menubar], 0x0000FFu);
    EXPECT_EQ(data.PreColors, (std::vector<quint32>{0x030201, 0x060504}));
    EXPECT_EQ(data.CustomColors[3], 0x090807u);
    EXPECT_EQ(data.CustomColors[4], 0xFFFFFFu);
    // System buttons: the hidden one is skipped, frame 0 means 6, a negative count becomes 1.
    ASSERT_EQ(data.SysButtons.size(), 2u);
    EXPECT_EQ(data.SysButtons[0]->Frame, 6);
    EXPECT_EQ(data.SysButtons[1]->Frame, 1);
    // Buttons: fixed 5 frames; glyph strips by the width rule when their count is 0 or less.
    EXPECT_EQ(data.Buttons.Frame, 5);
    EXPECT_EQ(data.Buttons.CheckFrame, 4); // 64 / 13
    EXPECT_EQ(data.Buttons.RadioFrame, 6); // 96 / 16
    ASSERT_TRUE(data.TabPane);
    EXPECT_EQ(data.TabPane->margins(), QMargins(4, 2, 4, 4));
    ASSERT_TRUE(data.Progress);
    EXPECT_EQ(data.Progress->Frame, 1);
    EXPECT_EQ(data.HorzScrollThumb->Frame, 1);          // FrameCount=0
    EXPECT_EQ(data.Track->margins(), QMargins(0, 0, 50, 0)); // -5 and 500 clamped into the picture
    EXPECT_EQ(data.Track->Frame, 1);
    // Absent sections leave their elements absent; the vertical track falls back to our own picture.
    EXPECT_FALSE(data.GroupBox);
    ASSERT_TRUE(data.TrackVert);
    EXPECT_EQ(data.TrackVert->Map.size(), QSize(6, 40));
    // Derived pictures.
    EXPECT_EQ(data.ComboButtonRTL.size(), QSize(64, 18));
    EXPECT_EQ(data.ComboBoxMap.size(), QSize(200, 22));
    EXPECT_EQ(data.ComboBoxMapRTL.size(), QSize(200, 22));
    ASSERT_TRUE(data.ComboxArrow && data.Toolbar && data.MinCaption);
    EXPECT_EQ(data.ComboxArrow->Frame, 4);
    EXPECT_EQ(data.MinCaption->Map.size(), QSize(80, 29));
    EXPECT_EQ(data.MinCaption->Map.pixel(40, 14), qRgb(90, 60, 30)); // the top border's caption colour
    EXPECT_EQ(data.MenuGlyphs.size(), 4);
}

TEST(SkinModel, ColourTextsParse)
{
    const struct Case {
        const char *text;
        quint32 expected;
    } cases[] = {
        {" 255 0 0 ", 0x0000FF},   {"10,20,30", 0x1E140A},        {"1,2,3,4", 0x030201},
        {"", 0xABCDEF},            {"1,2", 0x000001},             {"abc", 0},
        {"99999999999999999999,300,7", 0x07FFFF}, // saturated, each channel kept to 255
    };
    for (const Case &c : cases)
        EXPECT_EQ(TSkinData::strcolor(c.text, 0xABCDEF), c.expected) << c.text;
}

class RecordingManager : public SkinManagerApi {
public:
    static inline std::vector<int> actions;
    static inline bool switchedOn = false;
    void AddSkinData(TSkinData *) override {}
    void RemoveSkinData(TSkinData *) override {}
    void SetCurrentData(TSkinData *) override {}
    void SetAction(int action, int milliseconds) override
    {
        EXPECT_EQ(milliseconds, 250);
        actions.push_back(action);
    }
    bool SwitchedOn() const override { return switchedOn; }
    void SetSwitchedOn(bool on) override { switchedOn = on; }
    void SetActiveFlag(bool) override {}
    void InstallHook() override {}
    void DeleteSysbtn() override {}
};

TEST(SkinModel, ActivationQueuesManagerActions)
{
    SetSkinManagerFactory([] { return std::make_unique<RecordingManager>(); });
    RecordingManager::actions.clear();
    RecordingManager::switchedOn = false;
    {
        TSkinData data;
        data.Loaded();
        data.SetActive(true); // nothing is loaded: windows stay native
        EXPECT_TRUE(RecordingManager::actions.empty());
        data.LoadFromStream(fullPackage());
        data.SetActive(false);
        data.SetActive(true);
        data.SetActive(true); // unchanged: nothing
        data.LoadFromStream(fullPackage(40000)); // a new load while active re-reads
        EXPECT_EQ(RecordingManager::actions, (std::vector<int>{2, 1, 3}));
    }
    ResetSkinManager();
    SetSkinManagerFactory(nullptr);
}

TEST(SkinModel, FailedLoadsLeaveTheSkinEmpty)
{
    QTemporaryDir tmp;
    QByteArray otherVersion;
    WriteSkinPackage({{"a.ini", "[x]"}}, 20000, otherVersion);
    otherVersion[0] = 0x10; // version 19984
    const struct Case {
        const char *what;
        QByteArray package;
        bool versionMessage;
    } cases[] = {
        {"other version", SkinCompress(otherVersion), true},
        {"damaged", fullPackage().first(300), false},
    };
    for (const Case &c : cases) {
        TSkinData data;
        QStringList messages;
        data.setMessageHandler([&](const QString &m) { messages.append(m); });
        data.LoadFromStream(c.package);
        EXPECT_TRUE(data.Empty()) << c.what;
        EXPECT_FALSE(data.lastError().isEmpty()) << c.what;
        EXPECT_EQ(messages.size(), c.versionMessage ? 1 : 0) << c.what;
    }
    TSkinData data;
    data.LoadFromFile(tmp.filePath("missing.skn"));
    EXPECT_TRUE(data.Empty());
    EXPECT_EQ(data.SkinFile, tmp.filePath("missing.skn"));
}

TEST(SkinStore, NamesRenamesAndLoadsByIndex)
{
    TSkinStore store;
    TSkinCollection &c = store.Store;
    c.Add();
    c.Add();
    c.Delete(0);
    c.Add();
    EXPECT_EQ(c.Item(0).Name(), "SkinItem1");
    EXPECT_EQ(c.Item(1).Name(), "SkinItem2"); // ids are not reused after a deletion
    QString error;
    EXPECT_TRUE(c.Item(0).SetName("SkinItem1", &error)); // its own name: no check
    EXPECT_FALSE(c.Item(0).SetName("SkinItem2", &error));
    EXPECT_EQ(error, "The name SkinItem2 is already used.");
    EXPECT_EQ(c.Item(0).Name(), "SkinItem1");
    EXPECT_TRUE(c.Item(0).SetName("墨韵", &error));

    c.Item(1).DataStream = fullPackage();
    EXPECT_EQ(c.Item(1).GetDataSize(), c.Item(1).DataStream.size());
    TSkinData data;
    data.LoadFromCollection(store, 2); // out of range: nothing
    EXPECT_TRUE(data.Empty());
    data.LoadFromCollection(store, 1);
    EXPECT_FALSE(data.Empty());
    EXPECT_EQ(data.SkinName, "墨韵");

    TSkinStore copy;
    copy.SetStore(c);
    EXPECT_EQ(copy.Store.Item(0).Name(), "墨韵");
    EXPECT_EQ(copy.Store.Item(1).DataStream, c.Item(1).DataStream);
}

} // namespace
