#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <vector>

class QWidget;
class TSkinControl;
class TSkinData;
class TSkinnedForm;

// The skin kinds a control of a skinned window can get. Kinds marked "elsewhere" have their skins built by
// other parts of the engine; discovery names them so that the order of the tests stays whole, and leaves
// those controls native until their skin exists.
enum class SkinKind {
    Native,       // no skin: switched off, tagged, a "nil" line, or nothing to paint
    Children,     // no skin of its own; its child controls are looked at
    Button, BitButton, SpeedButton, MenuButton, CheckBox, RadioButton,
    RadioGroup,   // each button inside a radio button, the group a group box (elsewhere)
    CheckGroup,   // each button inside a check box, the group a group box (elsewhere)
    Progress, TrackBar, UpDown,
    Tab, ToolButton, GroupBox, ToolBar, StatusBar, Header, ScrollControl, Combo, DateTime, Edit, Scrollbar,
    Panel,        // elsewhere; its children are looked at first
};
const char *SkinKindName(SkinKind kind);

// The kind discovery gives one control with this skin data: the control's Tag against DisableTag, then the
// Skin3rd lines ("ClassName=kind", the widget's class name, case-insensitive; kind "nil" keeps it native),
// then the widget classes in a fixed order, each gated by its member of SkinControls.
SkinKind SkinKindFor(const QWidget *control, const TSkinData &data);

// Finds the controls of a skinned window and gives each the skin of its kind; lists the skins it made (they
// follow the skin's changes and are freed when the window is un-skinned). Lives as a child of the window's
// TSkinnedForm. A control destroyed at any time, also while the window is being walked, leaves no entry
// behind.
class SkinDiscovery : public QObject {
    Q_OBJECT
public:
    explicit SkinDiscovery(TSkinnedForm *form);
    ~SkinDiscovery() override;
    static SkinDiscovery *Of(TSkinnedForm *form);   // the form's discovery, made on first use
    static SkinDiscovery *Find(TSkinnedForm *form); // or none

    void InitControls();   // skin every control of the window not yet skinned
    void DeleteControls(); // give every control back and free the skins
    void SkinChange();     // the skin was read again
    void DeleteSkinDeleted();

    TSkinControl *Lookup(const QWidget *control) const;
    int Count() const;
    std::vector<TSkinControl *> Skins() const;

private:
    void addComp(QWidget *control);
    void walk(QWidget *container);
    bool findSkinComp(QWidget *control) const;
    TSkinControl *create(SkinKind kind, QWidget *control);
    void listSkin(TSkinControl *skin);

    TSkinnedForm *form_;
    std::vector<QPointer<TSkinControl>> skins_;
};
