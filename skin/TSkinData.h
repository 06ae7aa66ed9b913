#pragma once

#include "SkinObjects.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TQuickIni;
class TSkinReader;
class TSkinStore;

enum class TSkinControlType {
    xcMainMenu, xcPopupMenu, xcSystemMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox,
    xcRadioButton, xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel,
    xcGroupBox, xcStatusBar, xcTab, xcTrackBar, xcFastReport,
};
enum class TSkinOption { xoPreview, xoToolbarBK, xoMenuBG, xoNoFocusRect, xoTransparent, xoMDIChildBorder,
                         xoMDIScrollbar };
enum class TSkinFormType { sfMainform, sfDialog, sfOnlyThisForm };

template <typename E> class SkinSet {
public:
    SkinSet() = default;
    SkinSet(std::initializer_list<E> items) { for (E e : items) include(e); }
    bool contains(E e) const { return bits_ & bit(e); }
    void include(E e) { bits_ |= bit(e); }
    void exclude(E e) { bits_ &= ~bit(e); }
    bool operator==(const SkinSet &) const = default;
private:
    static quint64 bit(E e) { return quint64(1) << static_cast<int>(e); }
    quint64 bits_ = 0;
};

// The skin model: every picture and number the skinned frames and controls paint with, read from the ini
// member of a skin package, and the switch that skins and unskins the program's windows through the manager.
//
// A load that fails (missing file, damaged package, other version) leaves the skin empty; its reason is in
// lastError(), and the version message also goes to the message handler. An empty skin never reaches windows.
class TSkinData {
public:
    TSkinData();
    ~TSkinData();
    TSkinData(const TSkinData &) = delete;
    TSkinData &operator=(const TSkinData &) = delete;

    // --- loading
    void LoadFromFile(const QString &path);
    void LoadFromStream(const QByteArray &package);
    void LoadFromCollection(const TSkinStore &store, int index);
    bool LoadSkin();
    void LoadFromIni(const TQuickIni &ini);
    void setMessageHandler(std::function<void(const QString &)> handler) { messageHandler_ = std::move(handler); }
    const QString &lastError() const { return lastError_; }
    bool Empty() const { return empty_; }

    // --- activation through the manager
    void Loaded();
    void SetActive(bool value);
    bool Active() const { return active_; }
    void UpdateSkin();

    // --- published settings
    int DisableTag = 99;
    SkinSet<TSkinControlType> SkinControls;
    SkinSet<TSkinOption> Options{TSkinOption::xoPreview, TSkinOption::xoToolbarBK};
    QStringList Skin3rd; // "ClassName=kind" lines that give other widget classes a skin kind
    QString SkinFile;
    TSkinFormType SkinFormtype = TSkinFormType::sfMainform;
    QPointer<QWidget> OwnerForm; // the one form a form-only skin is for
    bool MenuUpdate = true, MenuMerge = false;
    QByteArray SkinStream;
    QString SkinStore() const { return SkinStream.isEmpty() ? QStringLiteral("(none)") : QStringLiteral("(Good)"); }
    static QString Version() { return QStringLiteral("1.0.0.0"); }

    // --- the model
    QString SkinName;
    TDataSkinBorder Left{"Left"}, Right{"Right"}, Top{"Top"}, Bottom{"Bottom"};
    TDataSkinTitle Title{"Title"};
    TDataSkinButton Buttons{"Buttons"};
    // Elements present only when their section names a picture.
    std::unique_ptr<TDataSkinObject> Progress, ProgressChunk, GroupBoxEdge, StatusBarEdges, TabPane, ToolBars,
        ComboButton, SunkEdge, ExtraImages, Headerbar, MenuItem, MenuBackground, Scrollbar, HorzScroll,
        VertScroll, HorzScrollThumb, VertScrollThumb, ThumbHorz, ThumbVert, ThumbLeft, ThumbRight, ThumbUp,
        ThumbDown, Track, TrackVert;
    std::unique_ptr<TDataSkinMenuBar> MenuBar;
    std::unique_ptr<TDataSkinBoxLabel> GroupBox;
    std::unique_ptr<TDataSkinBorder> Tabs, UpDownHorz, UpDownVert;
    std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;
    // Derived pictures.
    QImage ComboButtonRTL;                   // ComboButton mirrored for right-to-left controls
    QImage ComboBoxMap, ComboBoxMapRTL;      // one 50-pixel cell per state, magenta where nothing is drawn
    std::unique_ptr<TDataSkinObject> ComboxArrow, Toolbar, MinCaption;

    // The sixteen named colours (0x00BBGGRR, resolved), the numbered ones and the ten custom ones.
    enum ColourName { WindowText, ButtonFace, Scrollbar_, HilightText, Hilight, Menubar, Menu, MenuText,
                      ButtonText, ButtonHilight, Buttonlight, ButtonShadow, ButtonDkShadow, MenuBarText,
                      TitleTextActive, TitleTextNoActive, ColourCount };
    std::array<quint32, ColourCount> Colors{};
    std::vector<quint32> PreColors;
    std::array<quint32, 10> CustomColors{};
    bool GetPrecolor(int index, quint32 &colour) const;
    quint32 GetCaptionColor() const;

    QFont CaptionFont;
    QList<QImage> MenuGlyphs; // 16 x 16: restore, maximise, minimise, close; white is their mask colour

    // Texts of the ini vocabulary.
    static quint32 strcolor(const QString &text, quint32 defaultColour);

private:
    void resetModel();
    QImage Readbmp(const TQuickIni &ini, const QString &section, const QString &key) const;
    quint32 ReadColor(const TQuickIni &ini, const QString &section, const QString &key, quint32 def) const;
    bool ReadRGB(const TQuickIni &ini, const QString &section, const QString &prefix, quint32 &colour) const;
    std::unique_ptr<TDataSkinObject> ReadObject(const TQuickIni &ini, const QString &section) const;
    void readGeneric(const TQuickIni &ini, const QString &section, TDataSkinObject &o) const;
    void ReadBorders(const TQuickIni &ini);
    void ReadColors(const TQuickIni &ini);
    void ReadSysButtons(const TQuickIni &ini);
    void ReadButton(const TQuickIni &ini);
    void ReadTitle(const TQuickIni &ini);
    std::unique_ptr<TDataSkinBorder> ReadBorderObject(const TQuickIni &ini, const QString &section,
                                                      const QString &secondKey) const;
    void ReadElements(const TQuickIni &ini);
    void ReadScrollingElements(const TQuickIni &ini);
    void ReadTracks(const TQuickIni &ini);
    void SetFrame(const TQuickIni &ini);
    void ClampGeometry();
    void ReBuildCombobox();
    void ReBuildComboxArrow();
    void RebuildToolbar();
    void CreateMinCaption();
    void CreateCaptionFont();

    bool empty_ = true;
    bool active_ = false;
    bool checkFrameFromKey_ = false, radioFrameFromKey_ = false;
    const TSkinReader *reader_ = nullptr; // the package being read, during LoadFromIni only
    QString lastError_;
    std::function<void(const QString &)> messageHandler_;
};
