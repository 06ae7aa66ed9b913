#include "SkinDiscovery.h"

#include "SkinBars.h"
#include "SkinButtons.h"
#include "SkinPanels.h"
#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinnedForm.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace {

using X = TSkinControlType;

// The direct child buttons of a group box, when all of them are of one kind: 1 radio buttons, 2 check boxes.
int ButtonGroupKind(const QWidget *w)
{
    if (!qobject_cast<const QGroupBox *>(w))
        return 0;
    int radios = 0, checks = 0, others = 0;
    for (QObject *o : w->children()) {
        if (qobject_cast<QRadioButton *>(o))
            ++radios;
        else if (qobject_cast<QCheckBox *>(o))
            ++checks;
        else if (qobject_cast<QAbstractButton *>(o))
            ++others;
    }
    if (others == 0 && radios > 0 && checks == 0)
        return 1;
    if (others == 0 && checks > 0 && radios == 0)
        return 2;
    return 0;
}

bool Framed(const QWidget *w)
{
    if (auto *edit = qobject_cast<const QLineEdit *>(w))
        return edit->hasFrame();
    const QVariant frame = w->property("frame");
    return !frame.isValid() || frame.toBool();
}

// Controls whose children are their own inner parts, never controls of the window.
bool Composite(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QComboBox *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QAbstractSlider *>(w) || qobject_cast<const QProgressBar *>(w) ||
           qobject_cast<const QTabBar *>(w) || qobject_cast<const QMenuBar *>(w) ||
           qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QCalendarWidget *>(w);
}

// A Skin3rd line for the class: the kind it names (lower case), or none.
bool Kind3rd(const QString &className, const TSkinData &d, QString &kind)
{
    const QString key = className.toLower() + QLatin1Char('=');
    for (const QString &line : d.Skin3rd) {
        if (line.toLower().startsWith(key)) {
            kind = line.mid(key.size(), 50).trimmed().toLower();
            return true;
        }
    }
    return false;
}

SkinKind From3rd(const QString &kind, const QWidget *w, const TSkinData &d)
{
    const auto has = [&](X x) { return d.SkinControls.contains(x); };
    const auto gate = [&](X x, SkinKind k) { return has(x) ? k : SkinKind::Native; };
    if (kind == QLatin1String("combobox")) return gate(X::xcCombo, SkinKind::Combo);
    if (kind == QLatin1String("edit")) return has(X::xcEdit) && Framed(w) ? SkinKind::Edit : SkinKind::Native;
    if (kind == QLatin1String("radiobutton")) return SkinKind::RadioButton;
    if (kind == QLatin1String("panel")) return gate(X::xcPanel, SkinKind::Panel);
    if (kind == QLatin1String("trackbar")) return gate(X::xcButton, SkinKind::TrackBar);
    if (kind == QLatin1String("button")) return gate(X::xcButton, SkinKind::Button);
    if (kind == QLatin1String("datetimepicker")) return gate(X::xcCombo, SkinKind::DateTime);
    if (kind == QLatin1String("bitbtn") || kind == QLatin1String("pngbitbtn")) return gate(X::xcButton, SkinKind::BitButton);
    if (kind == QLatin1String("menubtn")) return gate(X::xcButton, SkinKind::MenuButton);
    if (kind == QLatin1String("speedbutton")) return gate(X::xcSpeedButton, SkinKind::SpeedButton);
    if (kind == QLatin1String("tab") || kind == QLatin1String("advpagecontrol"))
        return has(X::xcTab) && d.Tabs ? SkinKind::Tab : SkinKind::Native;
    if (kind == QLatin1String("progress")) return gate(X::xcProgress, SkinKind::Progress);
    if (kind == QLatin1String("scrollbar") || kind == QLatin1String("singlescrollbar")) return gate(X::xcScrollbar, SkinKind::Scrollbar);
    if (kind == QLatin1String("embedscrollbar"))
        return !has(X::xcScrollbar) ? SkinKind::Native
               : qobject_cast<const QScrollBar *>(w) ? SkinKind::ScrollControl
               : qobject_cast<const QAbstractScrollArea *>(w) ? SkinKind::Scrollbar
                                                             : SkinKind::Native;
    if (kind == QLatin1String("container")) return SkinKind::Children;
    if (kind == QLatin1String("groupbox")) return gate(X::xcGroupBox, SkinKind::GroupBox);
    if (kind == QLatin1String("radiogroup")) return gate(X::xcGroupBox, SkinKind::RadioGroup);
    if (kind == QLatin1String("checkgroup")) return gate(X::xcPanel, SkinKind::CheckGroup);
    if (kind == QLatin1String("checkbox")) return gate(X::xcCheckBox, SkinKind::CheckBox);
    return SkinKind::Native; // "nil" and every kind outside the list
}

} // namespace

const char *SkinKindName(SkinKind kind)
{
    static const char *const names[] = {"Native", "Children", "Button", "BitButton", "SpeedButton", "MenuButton",
                                        "CheckBox", "RadioButton", "RadioGroup", "CheckGroup", "Progress",
                                        "TrackBar", "UpDown", "Tab", "ToolButton", "GroupBox", "ToolBar",
                                        "StatusBar", "Header", "ScrollControl", "Combo", "DateTime", "Edit",
                                        "Scrollbar", "Panel"};
    return names[static_cast<int>(kind)];
}

SkinKind SkinKindFor(const QWidget *w, const TSkinData &d)
{
    if (!w || !w->parentWidget() || w->isWindow())
        return SkinKind::Native;
    if (w->property("Tag").isValid() && w->property("Tag").toInt() == d.DisableTag)
        return SkinKind::Native;
    QString kind3rd;
    if (Kind3rd(QString::fromLatin1(w->metaObject()->className()), d, kind3rd))
        return From3rd(kind3rd, w, d);
    const auto has = [&](X x) { return d.SkinControls.contains(x); };
    const QWidget *parent = w->parentWidget();

    if (qobject_cast<const QMenuBar *>(w))
        return SkinKind::Native; // the window's menu bar is the frame's
    if (auto *bar = qobject_cast<const QTabBar *>(w); bar && qobject_cast<const QTabWidget *>(parent))
        return SkinKind::Native; // drawn with its tab widget
    if ((qobject_cast<const QTabWidget *>(w) || qobject_cast<const QTabBar *>(w)) && d.Tabs && has(X::xcTab))
        return SkinKind::Tab;
    if (qobject_cast<const QToolButton *>(w) && qobject_cast<const QToolBar *>(parent))
        return has(X::xcMainMenu) ? SkinKind::ToolButton : SkinKind::Native;
    if (qobject_cast<const QHeaderView *>(w) && has(X::xcPanel))
        return SkinKind::Header;
    if (qobject_cast<const QCheckBox *>(w) && has(X::xcCheckBox))
        return SkinKind::CheckBox;
    if (qobject_cast<const QSlider *>(w) && has(X::xcTrackBar))
        return SkinKind::TrackBar;
    if (qobject_cast<const QAbstractSpinBox *>(w) && !qobject_cast<const QDateTimeEdit *>(w) && has(X::xcSpin))
        return SkinKind::UpDown;
    if (ButtonGroupKind(w) == 1 && has(X::xcRadioButton))
        return SkinKind::RadioGroup;
    if (qobject_cast<const QGroupBox *>(w) && has(X::xcPanel))
        return SkinKind::GroupBox;
    if (qobject_cast<const QRadioButton *>(w) && has(X::xcRadioButton))
        return SkinKind::RadioButton;
    if (qobject_cast<const QToolBar *>(w) && has(X::xcToolbar))
        return SkinKind::ToolBar;
    if (qobject_cast<const QStatusBar *>(w) && has(X::xcStatusBar))
        return SkinKind::StatusBar;
    if (qobject_cast<const QProgressBar *>(w) && has(X::xcProgress))
        return SkinKind::Progress;
    if (qobject_cast<const QScrollBar *>(w) && has(X::xcScrollbar))
        return SkinKind::ScrollControl;
    if (qobject_cast<const QComboBox *>(w) && has(X::xcCombo))
        return SkinKind::Combo;
    if (qobject_cast<const QDateTimeEdit *>(w) && has(X::xcEdit))
        return SkinKind::DateTime;
    if ((qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)) && has(X::xcScrollbar))
        return SkinKind::Scrollbar;
    auto *push = qobject_cast<const QPushButton *>(w);
    if (push && push->menu() && has(X::xcButton))
        return SkinKind::MenuButton;
    if (push && !push->icon().isNull())
        return has(X::xcBitBtn) ? SkinKind::BitButton : SkinKind::Native; // no fall-through
    if (qobject_cast<const QToolButton *>(w) && has(X::xcSpeedButton))
        return SkinKind::SpeedButton;
    if (w->metaObject() == &QFrame::staticMetaObject && static_cast<const QFrame *>(w)->frameShape() != QFrame::NoFrame &&
        has(X::xcPanel))
        return SkinKind::Panel;
    if (qobject_cast<const QAbstractScrollArea *>(w) && has(X::xcScrollbar))
        return SkinKind::Scrollbar;
    if (push && has(X::xcButton))
        return SkinKind::Button;
    if (qobject_cast<const QLineEdit *>(w) && has(X::xcEdit))
        return Framed(w) ? SkinKind::Edit : SkinKind::Native;
    return Composite(w) ? SkinKind::Native : SkinKind::Children;
}

// ----------------------------------------------------------------------------------------------- discovery

SkinDiscovery::SkinDiscovery(TSkinnedForm *form) : QObject(form), form_(form) {}

SkinDiscovery::~SkinDiscovery()
{
    DeleteControls();
}

SkinDiscovery *SkinDiscovery::Find(TSkinnedForm *form)
{
    return form ? form->findChild<SkinDiscovery *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

SkinDiscovery *SkinDiscovery::Of(TSkinnedForm *form)
{
    if (SkinDiscovery *d = Find(form))
        return d;
    return form ? new SkinDiscovery(form) : nullptr;
}

void SkinDiscovery::InitControls()
{
    DeleteSkinDeleted();
    if (form_ && form_->Window() && form_->Data())
        walk(form_->Window());
}

void SkinDiscovery::walk(QWidget *container)
{
    // A snapshot of guarded pointers: skinning one control may destroy another (a nested form rebuilding
    // itself), and a destroyed control is simply passed over.
    std::vector<QPointer<QWidget>> children;
    for (QObject *o : container->children())
        if (auto *w = qobject_cast<QWidget *>(o); w && !w->isWindow())
            children.emplace_back(w);
    for (const QPointer<QWidget> &child : children) {
        if (!child)
            continue;
        addComp(child);
        if (!child)
            continue;
        if (auto *area = qobject_cast<QScrollArea *>(child.data()))
            walk(area->viewport());
        else if (!Composite(child))
            walk(child);
    }
}

bool SkinDiscovery::findSkinComp(QWidget *control) const
{
    return Lookup(control) || SendSkinMessage(control, CN_IsSkinned) == 1;
}

void SkinDiscovery::addComp(QWidget *control)
{
    TSkinData *data = form_ ? form_->Data() : nullptr;
    if (!data || !control || !control->parentWidget())
        return;
    const QVariant tag = control->property("Tag");
    if (tag.isValid() && tag.toInt() == data->DisableTag) {
        const QString cls = QString::fromLatin1(control->metaObject()->className()).toLower();
        if (ButtonGroupKind(control) != 0 || cls.contains(QLatin1String("radiogroup")) ||
            cls.contains(QLatin1String("checkgroup")))
            for (QObject *o : control->children())
                if (auto *w = qobject_cast<QWidget *>(o))
                    w->setProperty("Tag", data->DisableTag);
        return;
    }
    if (findSkinComp(control))
        return;
    const SkinKind kind = SkinKindFor(control, *data);
    if (kind == SkinKind::RadioGroup || kind == SkinKind::CheckGroup) {
        const bool buttons = data->SkinControls.contains(X::xcRadioButton);
        for (QObject *o : control->children()) {
            auto *w = qobject_cast<QAbstractButton *>(o);
            if (!buttons || !w || findSkinComp(w))
                continue;
            const QVariant childTag = w->property("Tag");
            if (childTag.isValid() && childTag.toInt() == data->DisableTag)
                continue;
            listSkin(kind == SkinKind::RadioGroup ? static_cast<TSkinControl *>(new TSkinRadioButton(w))
                                                  : new TSkinCheckBox(w));
        }
        // The group itself is a group box.
        if (data->SkinControls.contains(X::xcPanel))
            if (TSkinControl *skin = CreateContainerSkin(SkinKind::GroupBox, control))
                listSkin(skin);
        return;
    }
    if (TSkinControl *skin = create(kind, control))
        listSkin(skin);
}

TSkinControl *SkinDiscovery::create(SkinKind kind, QWidget *control)
{
    switch (kind) {
    case SkinKind::Button: return new TSkinButton(control);
    case SkinKind::BitButton: return new TSkinBitButton(control);
    case SkinKind::SpeedButton: return new TSkinSpeedButton(control);
    case SkinKind::MenuButton: return new TSkinMenuButton(control);
    case SkinKind::CheckBox: return new TSkinCheckBox(control);
    case SkinKind::RadioButton: return new TSkinRadioButton(control);
    case SkinKind::Progress: return new TSkinProgress(control);
    case SkinKind::TrackBar: return new TSkinTrackBar(control);
    case SkinKind::UpDown: return new TSkinUpDown(control);
    default: return CreateContainerSkin(kind, control);
    }
}

void SkinDiscovery::listSkin(TSkinControl *skin)
{
    skin->setParent(this);
    skins_.emplace_back(skin);
    skin->Init(form_, form_->Data());
}

void SkinDiscovery::DeleteSkinDeleted()
{
    std::erase_if(skins_, [](const QPointer<TSkinControl> &s) {
        if (s && s->State() == 6)
            delete s.data();
        return !s;
    });
}

void SkinDiscovery::DeleteControls()
{
    std::vector<QPointer<TSkinControl>> skins;
    skins.swap(skins_);
    for (const QPointer<TSkinControl> &s : skins) {
        if (!s)
            continue;
        QPointer<QWidget> control = s->Control();
        if (s->State() != 6)
            s->Unsubclass();
        delete s.data();
        if (control)
            control->update();
    }
}

void SkinDiscovery::SkinChange()
{
    for (const QPointer<TSkinControl> &s : skins_)
        if (s && s->State() == 1)
            s->SkinChange();
}

TSkinControl *SkinDiscovery::Lookup(const QWidget *control) const
{
    for (const QPointer<TSkinControl> &s : skins_)
        if (s && s->State() != 6 && s->Control() == control)
            return s;
    return nullptr;
}

int SkinDiscovery::Count() const
{
    return static_cast<int>(Skins().size());
}

std::vector<TSkinControl *> SkinDiscovery::Skins() const
{
    std::vector<TSkinControl *> out;
    for (const QPointer<TSkinControl> &s : skins_)
        if (s && s->State() != 6)
            out.push_back(s);
    return out;
}
