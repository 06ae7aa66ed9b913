// Control skins of a skinned window: which kind each widget class gets, the discovery's life with the window,
// and pixel probes of the button, check, radio, progress, track-bar and up-down skins.
#include "SkinBars.h"
#include "SkinButtons.h"
#include "SkinControlTestSkin.h"
#include "SkinDiscovery.h"
#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace controltest;

namespace {

using X = TSkinControlType;

struct Session {
    explicit Session(Parts parts = {})
    {
        TSkinManage::Install();
        data = std::make_unique<TSkinData>();
        data->LoadFromStream(Package(parts));
        data->SkinControls.exclude(X::xcMainMenu); // controls only: no painted frame around the probes
        data->SetActive(true);
    }
    ~Session()
    {
        data.reset();
        ResetSkinManager();
        SetSkinManagerFactory(nullptr);
        flush();
    }
    static void flush()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TSkinManage *manager() const { return static_cast<TSkinManage *>(SkinManager()); }
    SkinDiscovery *skin(QWidget *window) const
    {
        window->resize(std::max(window->width(), 50), std::max(window->height(), 50));
        manager()->AddForm(window);
        flush();
        return SkinDiscovery::Find(manager()->FindSkinForm(window));
    }
    std::unique_ptr<TSkinData> data;
};

QRgb Pixel(QWidget *w, QPoint at)
{
    return w->grab().toImage().pixel(at) | 0xFF000000;
}

void Mouse(QWidget *w, QEvent::Type type, QPoint at)
{
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void Key(QWidget *w, QEvent::Type type, int key)
{
    QKeyEvent e(type, key, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(w, &e);
}

void Enter(QWidget *w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(w->mapToGlobal(QPoint(2, 2))));
    QCoreApplication::sendEvent(w, &e);
}

int SkinnedAnswer(QWidget *w)
{
    return static_cast<int>(SendSkinMessage(w, CN_IsSkinned));
}

// A control that destroys its neighbour as soon as discovery asks it anything: a nested form rebuilding itself.
class Destroyer : public QWidget {
public:
    using QWidget::QWidget;
    QPointer<QWidget> victim;

protected:
    bool event(QEvent *e) override
    {
        if (AsSkinMessage(e) && victim)
            delete victim.data();
        return QWidget::event(e);
    }
};

} // namespace

TEST(SkinControls, KindOfEveryWidgetClass)
{
    Session s;
    QIcon icon(QPixmap(16, 16));
    struct Row {
        const char *what;
        std::function<QWidget *(QWidget *)> make;
        std::function<void(TSkinData &)> setup;
        SkinKind expected;
    };
    auto none = [](TSkinData &) {};
    const std::vector<Row> rows = {
        {"push button", [](QWidget *p) { return new QPushButton("OK", p); }, none, SkinKind::Button},
        {"icon button", [&](QWidget *p) { return new QPushButton(icon, "OK", p); }, none, SkinKind::BitButton},
        {"icon button, xcBitBtn off", [&](QWidget *p) { return new QPushButton(icon, "OK", p); },
         [](TSkinData &d) { d.SkinControls.exclude(X::xcBitBtn); }, SkinKind::Native},
        {"menu button", [](QWidget *p) { auto *b = new QPushButton("M", p); b->setMenu(new QMenu(b)); return b; }, none,
         SkinKind::MenuButton},
        {"tool button", [](QWidget *p) { return new QToolButton(p); }, none, SkinKind::SpeedButton},
        {"tool-bar button", [](QWidget *p) { auto *t = new QToolBar(p); return new QToolButton(t); }, none,
         SkinKind::ToolButton},
        {"tool-bar button, no frame skinning", [](QWidget *p) { auto *t = new QToolBar(p); return new QToolButton(t); },
         [](TSkinData &d) { d.SkinControls.exclude(X::xcMainMenu); }, SkinKind::Native},
        {"check box", [](QWidget *p) { return new QCheckBox("c", p); }, none, SkinKind::CheckBox},
        {"check box, xcCheckBox off", [](QWidget *p) { return new QCheckBox("c", p); },
         [](TSkinData &d) { d.SkinControls.exclude(X::xcCheckBox); }, SkinKind::Native},
        {"radio button", [](QWidget *p) { return new QRadioButton("r", p); }, none, SkinKind::RadioButton},
        {"radio group", [](QWidget *p) { auto *g = new QGroupBox(p); new QRadioButton(g); new QRadioButton(g); return g; },
         none, SkinKind::RadioGroup},
        {"group box", [](QWidget *p) { auto *g = new QGroupBox(p); new QCheckBox(g); return g; }, none,
         SkinKind::GroupBox},
        {"progress bar", [](QWidget *p) { return new QProgressBar(p); }, none, SkinKind::Progress},
        {"slider", [](QWidget *p) { return new QSlider(p); }, none, SkinKind::TrackBar},
        {"spin box", [](QWidget *p) { return new QSpinBox(p); }, none, SkinKind::UpDown},
        {"spin box, xcSpin off", [](QWidget *p) { return new QDoubleSpinBox(p); },
         [](TSkinData &d) { d.SkinControls.exclude(X::xcSpin); }, SkinKind::Native},
        {"date edit", [](QWidget *p) { return new QDateEdit(p); }, none, SkinKind::DateTime},
        {"combo box", [](QWidget *p) { return new QComboBox(p); }, none, SkinKind::Combo},
        {"line edit", [](QWidget *p) { return new QLineEdit(p); }, none, SkinKind::Edit},
        {"borderless line edit", [](QWidget *p) { auto *e = new QLineEdit(p); e->setFrame(false); return e; }, none,
         SkinKind::Native},
        {"text edit", [](QWidget *p) { return new QTextEdit(p); }, none, SkinKind::Scrollbar},
        {"list", [](QWidget *p) { return new QListWidget(p); }, none, SkinKind::Scrollbar},
        {"scroll bar", [](QWidget *p) { return new QScrollBar(p); }, none, SkinKind::ScrollControl},
        {"tab widget without a tab picture", [](QWidget *p) { return new QTabWidget(p); }, none, SkinKind::Children},
        {"status bar", [](QWidget *p) { return new QStatusBar(p); }, none, SkinKind::StatusBar},
        {"boxed frame", [](QWidget *p) { auto *f = new QFrame(p); f->setFrameShape(QFrame::Box); return f; }, none,
         SkinKind::Panel},
        {"plain widget", [](QWidget *p) { return new QWidget(p); }, none, SkinKind::Children},
        {"DisableTag", [](QWidget *p) { auto *b = new QPushButton(p); b->setProperty("Tag", 42); return b; },
         [](TSkinData &d) { d.DisableTag = 42; }, SkinKind::Native},
        {"Skin3rd nil", [](QWidget *p) { return new QPushButton(p); },
         [](TSkinData &d) { d.Skin3rd = {"QPushButton=nil"}; }, SkinKind::Native},
        {"Skin3rd unknown kind", [](QWidget *p) { return new QSlider(p); },
         [](TSkinData &d) { d.Skin3rd = {"qslider=wobble"}; }, SkinKind::Native},
        {"Skin3rd gives a kind", [](QWidget *p) { return new QLabel(p); },
         [](TSkinData &d) { d.Skin3rd = {"QLabel=Progress"}; }, SkinKind::Progress},
        {"Skin3rd kind switched off", [](QWidget *p) { return new QLabel(p); },
         [](TSkinData &d) { d.Skin3rd = {"QLabel=button"}; d.SkinControls.exclude(X::xcButton); }, SkinKind::Native},
    };
    for (const Row &row : rows) {
        TSkinData d;
        d.LoadFromStream(Package());
        row.setup(d);
        QWidget parent;
        QWidget *w = row.make(&parent);
        EXPECT_EQ(SkinKindName(SkinKindFor(w, d)), std::string(SkinKindName(row.expected))) << row.what;
    }
}

TEST(SkinControls, DiscoveryFollowsTheWindow)
{
    Session s;
    s.data->DisableTag = 42;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *push = new QPushButton("push");
    auto *plainRadio = new QRadioButton("free");
    auto *group = new QGroupBox("group");
    group->setProperty("Tag", 42);
    auto *groupLayout = new QVBoxLayout(group);
    auto *tagged = new QRadioButton("in a tagged group");
    groupLayout->addWidget(tagged);
    groupLayout->addWidget(new QRadioButton("also"));
    auto *slider = new QSlider(Qt::Horizontal);
    auto *nested = new Destroyer;
    auto *victim = new QCheckBox("destroyed during discovery");
    nested->victim = victim;
    QStyle *sliderStyle = slider->style();
    for (QWidget *w : {static_cast<QWidget *>(push), static_cast<QWidget *>(plainRadio), static_cast<QWidget *>(group),
                       static_cast<QWidget *>(slider), static_cast<QWidget *>(nested), static_cast<QWidget *>(victim)})
        layout->addWidget(w);
    SkinDiscovery *found = s.skin(&window);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Count(), 3); // push, free radio, slider; the victim went before its turn

    EXPECT_EQ(SkinnedAnswer(push), 1);
    EXPECT_EQ(SkinnedAnswer(tagged), 0) << "DisableTag covers the buttons of a tagged group";
    EXPECT_EQ(tagged->property("Tag").toInt(), 42);
    EXPECT_NE(slider->style(), sliderStyle);

    // A second Init on a listed skin changes nothing.
    TSkinControl *pushSkin = found->Lookup(push);
    ASSERT_NE(pushSkin, nullptr);
    pushSkin->Init(nullptr, nullptr);
    EXPECT_EQ(pushSkin->Form(), s.manager()->FindSkinForm(&window));
    EXPECT_EQ(pushSkin->Data(), s.data.get());

    // Skin painting off and on again.
    push->resize(60, 24);
    const QPoint probe(10, 10);
    EXPECT_EQ(Pixel(push, probe), FrameColour(Buttons, 1));
    SendSkinMessage(push, CN_SkinEnable, 0);
    EXPECT_NE(Pixel(push, probe), FrameColour(Buttons, 1));
    EXPECT_EQ(SkinnedAnswer(push), 0) << "switched off, the control answers like an unskinned one";
    SendSkinMessage(push, CN_SkinEnable, 1);
    EXPECT_EQ(Pixel(push, probe), FrameColour(Buttons, 1));

    // Deleting a skinned control leaves no entry and nothing to crash on.
    delete plainRadio;
    Session::flush();
    EXPECT_EQ(found->Count(), 2);
    found->SkinChange();
    found->InitControls(); // nothing new, nothing twice
    EXPECT_EQ(found->Count(), 2);

    // Un-skinning gives every control back.
    s.manager()->DeleteForm(&window);
    Session::flush();
    EXPECT_EQ(SkinnedAnswer(push), 0);
    EXPECT_EQ(slider->style(), sliderStyle);
    EXPECT_NE(Pixel(push, probe), FrameColour(Buttons, 1));

    // A window destroyed with its controls skinned takes its skins along.
    auto *doomed = new QWidget;
    new QSlider(doomed);
    new QPushButton(doomed);
    ASSERT_EQ(s.skin(doomed)->Count(), 2);
    delete doomed;
    Session::flush();
    EXPECT_EQ(s.manager()->FormCount(), 0);
}

TEST(SkinControls, ButtonFramesByState)
{
    Session s;
    QWidget window;
    window.resize(400, 200);
    auto *push = new QPushButton("push", &window);
    auto *iconic = new QPushButton(QIcon(QPixmap(8, 8)), "icon", &window);
    auto *tool = new QToolButton(&window);
    tool->setText("tool");
    auto *menu = new QPushButton("menu", &window);
    menu->setMenu(new QMenu(menu));
    int y = 0;
    for (QWidget *b : {static_cast<QWidget *>(push), static_cast<QWidget *>(iconic), static_cast<QWidget *>(tool),
                       static_cast<QWidget *>(menu)})
        b->setGeometry(0, y += 30, 90, 26);
    window.show();
    ASSERT_EQ(s.skin(&window)->Count(), 4);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QPoint probe(85, 3); // clear of captions and of the keyed corner
    struct Row {
        QWidget *button;
        const char *state;
        std::function<void(QWidget *)> act;
        int frame;
    };
    auto normal = [](QWidget *) {};
    auto hot = [](QWidget *b) { Enter(b); };
    auto pressed = [](QWidget *b) { Mouse(b, QEvent::MouseButtonPress, QPoint(5, 5)); };
    auto disabled = [](QWidget *b) { b->setEnabled(false); };
    auto focused = [](QWidget *b) { b->setFocus(); };
    const std::vector<Row> rows = {
        {push, "normal", normal, 1},    {push, "hot", hot, 4},          {push, "pressed", pressed, 2},
        {push, "disabled", disabled, 3}, {push, "focused", focused, 5},
        {iconic, "normal", normal, 1},  {iconic, "hot", hot, 4},        {iconic, "pressed", pressed, 2},
        {iconic, "disabled", disabled, 3}, {iconic, "focused", focused, 5},
        {tool, "normal", normal, 1},    {tool, "hot", hot, 4},          {tool, "pressed", pressed, 2},
        {tool, "disabled", disabled, 3},
        // (a press on the menu button opens its menu: its pressed look is the push button's)
        {menu, "normal", normal, 1},    {menu, "hot", hot, 4},          {menu, "disabled", disabled, 3},
        {menu, "focused (shows hot)", focused, 4},
    };
    for (const Row &row : rows) {
        QWidget *b = row.button;
        b->setEnabled(true);
        b->clearFocus();
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(b, &leave);
        row.act(b);
        if (std::string(row.state) == "focused" || std::string(row.state).starts_with("focused"))
            ASSERT_TRUE(b->hasFocus()) << "the offscreen window must take the focus";
        EXPECT_EQ(Pixel(b, probe), FrameColour(Buttons, row.frame)) << b->metaObject()->className() << " " << row.state;
        Mouse(b, QEvent::MouseButtonRelease, QPoint(200, 200)); // released outside: no click
    }
    // The menu button's arrow: tip at (width - 12, height / 2 + 2), in the text colour.
    menu->setEnabled(true);
    const QImage m = menu->grab().toImage();
    EXPECT_EQ(m.pixel(90 - 12, 13 + 1) | 0xFF000000, menu->palette().color(QPalette::WindowText).rgb());
}

// A skinned arrow button (the steppers beside an edit) shows its arrow: up, down and none all look different.
TEST(SkinControls, ArrowToolButtonsShowTheirArrows)
{
    Session s;
    QWidget window;
    window.resize(200, 60);
    QList<QToolButton *> buttons;
    for (Qt::ArrowType a : {Qt::NoArrow, Qt::UpArrow, Qt::DownArrow}) {
        auto *b = new QToolButton(&window);
        b->setArrowType(a);
        b->setGeometry(30 * buttons.size(), 0, 16, 12);
        buttons.append(b);
    }
    window.show();
    ASSERT_EQ(s.skin(&window)->Count(), 3);
    const QImage none = buttons[0]->grab().toImage(), up = buttons[1]->grab().toImage(),
                 down = buttons[2]->grab().toImage();
    EXPECT_NE(up, none);
    EXPECT_NE(down, none);
    EXPECT_NE(up, down);
    EXPECT_EQ(up.pixel(8, 6) | 0xFF000000, down.pixel(8, 6) | 0xFF000000) << "both arrows cover the middle";
}

TEST(SkinControls, ButtonCaptionsTagsKeysAndClicks)
{
    Session s;
    QWidget window;
    window.resize(400, 300);
    auto *panel = new QWidget(&window);
    panel->setGeometry(0, 0, 400, 300);
    panel->setAutoFillBackground(true);
    QPalette red = panel->palette();
    red.setColor(QPalette::Window, Qt::red);
    panel->setPalette(red);
    auto *one = new QPushButton("Xy", panel);
    auto *two = new QPushButton("Xy||Xy", panel);
    auto *three = new QPushButton("Xy||Xy||Xy", panel);
    auto *clear = new QPushButton("", panel);
    clear->setProperty("Tag", 5555);
    auto *solid = new QPushButton("", panel);
    int y = 0;
    for (QPushButton *b : {one, two, three, clear, solid})
        b->setGeometry(0, y += 50, 200, 46);
    window.show();
    s.skin(&window);

    // Ink rows and columns of the caption.
    auto ink = [](QWidget *b) {
        const QImage img = b->grab().toImage();
        QRect box;
        for (int yy = 4; yy < img.height() - 4; ++yy)
            for (int x = 40; x < img.width() - 4; ++x) // right of the stretched keyed corner
                if ((img.pixel(x, yy) | 0xFF000000) != FrameColour(Buttons, 1))
                    box |= QRect(x, yy, 1, 1);
        return box;
    };
    const QRect r1 = ink(one), r2 = ink(two), r3 = ink(three);
    EXPECT_GT(r2.height(), r1.height() * 3 / 2) << "\"||\" breaks the caption";
    EXPECT_LT(r2.width(), r1.width() * 3 / 2);
    EXPECT_EQ(r3.height(), r2.height()) << "only the first \"||\" breaks";
    EXPECT_GT(r3.width(), r2.width()) << "the second \"||\" stays in the text";

    // Tag 5555: the keyed corner shows the parent's picture; otherwise the skin's face colour.
    EXPECT_EQ(Pixel(clear, QPoint(1, 1)), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(solid, QPoint(1, 1)), Face);

    // Space shows the pressed frame until it is released, and the button still clicks.
    int clicks = 0;
    QObject::connect(solid, &QPushButton::clicked, [&] { ++clicks; });
    solid->setFocus();
    Key(solid, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(Pixel(solid, QPoint(100, 3)), FrameColour(Buttons, 2));
    Key(solid, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_NE(Pixel(solid, QPoint(100, 3)), FrameColour(Buttons, 2));
    Mouse(solid, QEvent::MouseButtonPress, QPoint(50, 20));
    Mouse(solid, QEvent::MouseButtonRelease, QPoint(50, 20));
    EXPECT_EQ(clicks, 2);
}

TEST(SkinControls, CheckAndRadioFrames)
{
    Session s;
    QWidget window;
    window.resize(300, 100);
    auto *check = new QCheckBox("check", &window);
    auto *radio = new QRadioButton("radio", &window);
    check->setTristate(true);
    check->setGeometry(0, 0, 120, 30);
    radio->setGeometry(0, 40, 120, 30);
    window.show();
    s.skin(&window);
    const QPoint glyph(6, 15); // the glyph sits at the left, vertically centred
    struct Row {
        QAbstractButton *button;
        int check; // Qt::CheckState
        bool enabled;
        int frame;
    };
    const std::vector<Row> rows = {
        {check, Qt::Unchecked, true, 1},        {check, Qt::Checked, true, 5},  {check, Qt::Unchecked, false, 4},
        {check, Qt::Checked, false, 8},         {check, Qt::PartiallyChecked, true, 9},
        {check, Qt::PartiallyChecked, false, 12}, {radio, Qt::Unchecked, true, 1}, {radio, Qt::Checked, true, 5},
        {radio, Qt::Unchecked, false, 4},       {radio, Qt::Checked, false, 8},
    };
    for (const Row &row : rows) {
        row.button->setEnabled(row.enabled);
        if (auto *c = qobject_cast<QCheckBox *>(row.button))
            c->setCheckState(Qt::CheckState(row.check));
        else
            row.button->setChecked(row.check == Qt::Checked);
        const Strip strip = row.button == check ? Check : Radio;
        EXPECT_EQ(Pixel(row.button, glyph), FrameColour(strip, row.frame))
            << row.button->metaObject()->className() << " state " << row.check << " enabled " << row.enabled;
    }
    // Clicking still works.
    check->setTristate(false);
    check->setEnabled(true);
    check->setCheckState(Qt::Unchecked);
    Mouse(check, QEvent::MouseButtonPress, glyph);
    Mouse(check, QEvent::MouseButtonRelease, glyph);
    EXPECT_EQ(check->checkState(), Qt::Checked);
    EXPECT_EQ(Pixel(check, glyph), FrameColour(Check, 5));
}

TEST(SkinControls, ProgressTrackAndUpDown)
{
    Session s;
    QWidget window;
    window.resize(400, 400);
    auto *bar = new QProgressBar(&window);
    bar->setGeometry(0, 0, 200, 20);
    auto *tall = new QProgressBar(&window);
    tall->setOrientation(Qt::Vertical);
    tall->setGeometry(250, 0, 20, 200);
    auto *slider = new QSlider(Qt::Horizontal, &window);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setGeometry(0, 220, 200, 40);
    auto *spin = new QSpinBox(&window);
    spin->setGeometry(0, 300, 80, 26);
    window.show();
    s.skin(&window);

    struct Row {
        QProgressBar *bar;
        int minimum, maximum, value;
        QPoint probe;
        int frame;
    };
    const std::vector<Row> rows = {
        {bar, 0, 100, 0, {2, 10}, 1},      {bar, 0, 100, 0, {197, 10}, 1},  {bar, 0, 100, 100, {2, 10}, 2},
        {bar, 0, 100, 100, {197, 10}, 2},  {bar, 0, 100, 50, {90, 10}, 2},  {bar, 0, 100, 50, {110, 10}, 1},
        {bar, 50, 150, 100, {90, 10}, 2},  {bar, 50, 150, 100, {110, 10}, 1}, // the range above the minimum
        {bar, 0, 0, 0, {100, 10}, 1},                                         // busy: the trough alone
        {tall, 0, 100, 50, {10, 190}, 2},  {tall, 0, 100, 50, {10, 10}, 1},   // turned: fills from the bottom
    };
    for (const Row &row : rows) {
        row.bar->setRange(row.minimum, row.maximum);
        row.bar->setValue(row.value);
        EXPECT_EQ(Pixel(row.bar, row.probe), FrameColour(Progress, row.frame))
            << row.minimum << ".." << row.maximum << " at " << row.value << " probe " << row.probe.x() << ","
            << row.probe.y();
    }

    // Track bar: the thumb from frame 2 of its strip, the channel from the track picture, native tick marks.
    slider->setValue(50);
    const QImage img = slider->grab().toImage();
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.orientation = Qt::Horizontal;
    opt.minimum = slider->minimum();
    opt.maximum = slider->maximum();
    opt.sliderPosition = opt.sliderValue = slider->value();
    opt.tickPosition = slider->tickPosition();
    opt.subControls = QStyle::SC_All;
    const QRect thumb = slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider);
    EXPECT_EQ(img.pixel(thumb.center()) | 0xFF000000, FrameColour(Thumb, 2));
    int track = 0, ticks = 0;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y) {
            const QRgb c = img.pixel(x, y) | 0xFF000000;
            track += c == FrameColour(Track, 1);
            ticks += y > thumb.bottom() && c != Face;
        }
    EXPECT_GT(track, 20);
    EXPECT_GT(ticks, 5) << "the tick marks are drawn natively";

    // Up-down halves: the pressed half shows its pressed frame; in a framed spin box they stay 3 pixels in.
    auto *upDown = static_cast<TSkinUpDown *>(SkinDiscovery::Find(s.manager()->FindSkinForm(&window))->Lookup(spin));
    ASSERT_NE(upDown, nullptr);
    const QRect halves = upDown->SkinnedRect();
    EXPECT_GE(halves.top(), 3);
    EXPECT_LE(halves.right(), spin->width() - 4);
    EXPECT_LE(halves.bottom(), spin->height() - 4);
    const QPoint upper(halves.center().x(), halves.top() + 2), lower(halves.center().x(), halves.bottom() - 2);
    struct Half {
        const char *what;
        QPoint press;
        bool enabled;
        int upperFrame, lowerFrame;
    };
    const std::vector<Half> halvesRows = {
        {"idle", {-1, -1}, true, 1, 5},
        {"upper pressed", upper, true, 2, 5},
        {"lower pressed", lower, true, 1, 6},
        {"disabled", {-1, -1}, false, 3, 7},
    };
    for (const Half &h : halvesRows) {
        spin->setEnabled(h.enabled);
        spin->setValue(50);
        if (h.press.x() >= 0)
            Mouse(spin, QEvent::MouseButtonPress, h.press);
        const QImage shot = spin->grab().toImage();
        EXPECT_EQ(shot.pixel(upper.x() - 5, upper.y()) | 0xFF000000, FrameColour(UpDown, h.upperFrame)) << h.what;
        EXPECT_EQ(shot.pixel(lower.x() - 5, lower.y()) | 0xFF000000, FrameColour(UpDown, h.lowerFrame)) << h.what;
        if (h.press.x() >= 0)
            Mouse(spin, QEvent::MouseButtonRelease, h.press);
    }
}

TEST(SkinControls, ProgressWithTiledChunks)
{
    Parts chunked;
    chunked.progressStyle = 1;
    Session s(chunked);
    QWidget window;
    auto *bar = new QProgressBar(&window);
    bar->setGeometry(0, 0, 200, 20);
    bar->setValue(50);
    s.skin(&window);
    const QImage img = bar->grab().toImage();
    EXPECT_EQ(img.pixel(40, 10) | 0xFF000000, FrameColour(Chunk, 1));
    EXPECT_EQ(img.pixel(150, 10) | 0xFF000000, FrameColour(Progress, 1));
}

TEST(SkinControls, MissingPicturesLeaveControlsNative)
{
    Parts none;
    none.buttons = none.checks = none.progress = none.tracks = none.updown = false;
    Session s(none);
    QWidget window;
    window.resize(300, 300);
    auto *push = new QPushButton("push", &window);
    auto *check = new QCheckBox("check", &window);
    auto *bar = new QProgressBar(&window);
    auto *slider = new QSlider(Qt::Horizontal, &window);
    auto *spin = new QSpinBox(&window);
    int y = 0;
    for (QWidget *w : {static_cast<QWidget *>(push), static_cast<QWidget *>(check), static_cast<QWidget *>(bar),
                       static_cast<QWidget *>(slider), static_cast<QWidget *>(spin)})
        w->setGeometry(0, y += 40, 120, 30);
    window.show();
    // Skinned by a skin that has none of their pictures, the controls look as with skin painting off.
    ASSERT_EQ(s.skin(&window)->Count(), 5);
    for (QWidget *w : {static_cast<QWidget *>(push), static_cast<QWidget *>(check), static_cast<QWidget *>(bar)}) {
        const QImage skinned = w->grab().toImage();
        SendSkinMessage(w, CN_SkinEnable, 0);
        EXPECT_EQ(skinned, w->grab().toImage()) << w->metaObject()->className() << " paints itself";
    }
    // The track bar falls back to the built-in channel and a plain thumb; the up-down to plain buttons.
    EXPECT_FALSE(slider->grab().isNull());
    EXPECT_FALSE(spin->grab().isNull());
}

TEST(SkinControls, IconAndCaptionLayout)
{
    struct Row {
        const char *what;
        QSize client, glyph, text;
        int layout, margin, spacing;
        QPoint glyphAt, textAt;
    };
    const std::vector<Row> rows = {
        {"centred together", {100, 30}, {16, 16}, {40, 14}, 0, -1, 4, {20, 7}, {40, 8}},
        {"margin and spacing share the room", {100, 30}, {16, 16}, {40, 14}, 0, -1, -1, {14, 7}, {44, 8}},
        {"glyph right at a margin", {100, 30}, {16, 16}, {40, 14}, 1, 5, 4, {79, 7}, {35, 8}},
        {"text centred in the room after the glyph", {100, 30}, {16, 16}, {40, 14}, 0, 5, -1, {5, 7}, {40, 8}},
        {"glyph on top", {60, 60}, {16, 16}, {30, 14}, 2, -1, 4, {22, 13}, {15, 33}},
        {"no caption: no spacing", {100, 30}, {16, 16}, {0, 0}, 0, -1, 4, {42, 7}, {58, 15}},
    };
    for (const Row &r : rows) {
        const auto at = TSkinBitButton::LayoutGlyph(QRect(QPoint(0, 0), r.client), r.glyph, r.text, r.layout,
                                                    r.margin, r.spacing, false);
        EXPECT_EQ(at.glyph.topLeft(), r.glyphAt) << r.what;
        EXPECT_EQ(at.text.topLeft(), r.textAt) << r.what;
    }
}
