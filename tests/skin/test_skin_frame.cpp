// The painted frame: pixels of each border in both activation states, the caption's place, the window
// region, and the caption buttons with the mouse, their actions and the system menu.
#include "SkinCaptionRules.h"
#include "SkinFrameTestSkin.h"
#include "SkinMessages.h"

#include <QDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace frametest;

namespace {

void click(QWidget *w, QPoint pos)
{
    mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, pos, Qt::NoButton, Qt::LeftButton);
}

void setActive(QWidget *w, bool active)
{
    QEvent e(active ? QEvent::WindowActivate : QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(w, &e);
}

// A window that answers the caption buttons' visibility question and records their own actions.
class HostWindow : public QWidget {
public:
    long long answer = 0;
    std::vector<qintptr> actions;

protected:
    bool event(QEvent *e) override
    {
        if (TSkinMessage *m = AsSkinMessage(e)) {
            if (m->number() == SM_SysButtonVisible)
                m->result = answer;
            if (m->number() == SM_SysButtonAction)
                actions.push_back(m->wParam);
        }
        return QWidget::event(e);
    }
};

TWinSysButton *button(TSkinnedForm *f, const char *section)
{
    f->SetSysbtnRect();
    for (const auto &b : f->Buttons())
        if (b->element.IDName == QLatin1String(section))
            return b.get();
    return nullptr;
}

} // namespace

TEST(SkinFrame, BordersAndTitleInBothActivationStates)
{
    SkinSession s;
    HostWindow w;
    w.resize(300, 200);
    TSkinnedForm *f = s.skin(&w);
    ASSERT_TRUE(f);
    const int W = w.width(), H = w.height();
    const struct {
        bool active;
        QRgb left, right, top, bottom;
    } rows[] = {{true, LeftActive, RightActive, TopActive, BottomActive},
                {false, LeftInactive, RightInactive, TopInactive, BottomInactive}};
    for (const auto &row : rows) {
        setActive(&w, row.active);
        const QImage img = w.grab().toImage();
        EXPECT_EQ(img.pixel(1, H / 2), row.left) << row.active;
        EXPECT_EQ(img.pixel(W - 2, H / 2), row.right) << row.active;
        EXPECT_EQ(img.pixel(W / 2, H - 2), row.bottom) << row.active;
        EXPECT_EQ(img.pixel(L + 2, T - 2), row.top) << row.active;
        EXPECT_EQ(img.pixel(W / 2, H / 2), Face) << row.active;
        const QRect close = button(f, "BUTTON.CLOSE")->rect;
        EXPECT_EQ(img.pixel(close.center()), row.active ? ButtonFrames[0] : ButtonFrames[3]) << row.active;
    }
}

TEST(SkinFrame, CaptionPlaceByAlignmentDirectionAndLength)
{
    const QString shortTitle = QStringLiteral("罗盘"), longTitle = QString(60, QChar(u'宅'));
    const struct {
        int alignment;
        bool rtl;
        QString title;
        const char *expect; // left, centre or right of the title strip; or cut before the buttons
    } rows[] = {{0, false, shortTitle, "left"}, {1, false, shortTitle, "centre"}, {2, false, shortTitle, "right"},
                {0, true, shortTitle, "right"}, {0, false, longTitle, "cut"}};
    for (const auto &row : rows) {
        SkinSession s(false, row.alignment);
        HostWindow w;
        w.resize(400, 150);
        w.setWindowTitle(row.title);
        w.setLayoutDirection(row.rtl ? Qt::RightToLeft : Qt::LeftToRight);
        TSkinnedForm *f = s.skin(&w);
        ASSERT_TRUE(f);
        w.grab();
        w.grab(); // the second paint knows the buttons' clip edge
        const QRect c = f->CaptionRect();
        const int inner = w.width() - L - R;
        const int buttonsLeft = button(f, "BUTTON.MIN")->rect.left();
        const std::string what = row.expect;
        if (what == "left") {
            EXPECT_EQ(c.left(), L + 30);
        } else if (what == "centre") {
            EXPECT_NEAR(c.left() - L + c.width() / 2.0, inner / 2.0, 1.0);
        } else {
            EXPECT_EQ(c.right(), L + inner - 100 - 1) << row.alignment << row.rtl;
        }
        EXPECT_LT(c.right(), buttonsLeft) << "the caption never runs under the buttons";
    }
}

TEST(SkinFrame, WindowRegionFollowsTransparentBorderPixels)
{
    for (bool corners : {true, false}) {
        SkinSession s(corners);
        HostWindow w;
        w.resize(300, 200);
        w.show();
        TSkinnedForm *f = s.skin(&w);
        ASSERT_TRUE(f);
        const int W = w.width(), H = w.height();
        QRegion expected(0, 0, W, H);
        if (corners)
            expected = expected - QRegion(0, 0, 2, 2) - QRegion(W - 2, 0, 2, 2);
        EXPECT_EQ(w.mask(), expected) << corners;
        w.resize(320, 220);
        EXPECT_EQ(w.mask().boundingRect(), QRect(0, 0, 320, 220)) << "cut again at the new size";
    }
}

TEST(SkinFrame, CaptionButtonVisibilityCodes)
{
    SysBtnWindow normal, maximised, inactive, noBoxes, dialog;
    maximised.maximised = true;
    inactive.active = false;
    noBoxes.minBox = noBoxes.maxBox = false;
    dialog.frameKind = 3;
    const auto host = [](long long answer) { return [answer](int) { return answer; }; };
    const struct {
        int visibility, visibility1, action;
        SysBtnWindow w;
        long long hostAnswer;
        bool visible, enabled;
    } rows[] = {
        {0, 0, 0, normal, 0, true, true},        {1, 0, 1, normal, 0, false, true},
        {1, 0, 1, maximised, 0, true, true},     {2, 0, 1, maximised, 0, false, true},
        {3, 0, 5, inactive, 0, false, true},     {4, 0, 5, inactive, 0, true, true},
        {6, 0, 2, noBoxes, 0, false, false},     {7, 0, 5, noBoxes, 0, true, true},
        {9, 0, 5, normal, 0, false, true},       {0, 6, 5, noBoxes, 0, false, true},
        {200, 0, 5, dialog, 0, true, true},      {200, 0, 5, normal, 0, false, true},
        {500, 0, 5, normal, 0, true, true},      {5, 0, 5, normal, 0, false, true},
        {1000, 0, 5, normal, 0, false, true},    {1000, 0, 5, normal, 1, true, true},
        {2001, 0, 5, normal, 1, false, true},    {0, -1, 5, normal, 0, false, true},
        {0, 0, 3, dialog, 0, false, true},       {0, 0, 1, noBoxes, 0, true, false},
        {100, 0, 5, normal, 0, false, true},
    };
    for (const auto &r : rows) {
        const SysBtnShow s = SysBtnVisibility(r.visibility, r.visibility1, r.action, r.w, host(r.hostAnswer));
        EXPECT_EQ(s.visible, r.visible) << r.visibility << "/" << r.visibility1 << " action " << r.action;
        EXPECT_EQ(s.enabled, r.enabled) << r.visibility << "/" << r.visibility1 << " action " << r.action;
    }
}

TEST(SkinFrame, CaptionButtonPlacementByAlign)
{
    SysBtnFrame f;
    f.windowWidth = 400;
    f.rightBorder = 5;
    f.title = 24;
    f.menuBarHeight = 20;
    f.captionLeft = 40;
    f.captionRight = 120;
    const QSize size(20, 16);
    const struct {
        int align, x, y;
        QPoint expected;
    } rows[] = {{0, 6, 4, {6, 4}},         {1, 30, 4, {370, 4}},   {2, 3, 4, {17, 4}},   {8, 3, 4, {17, 4}},
                {3, 3, 4, {123, 4}},       {9, 3, 4, {123, 4}},    {100, 30, 0, {365, 26}}, {7, 1, 1, {9, 9}}};
    for (const auto &r : rows)
        EXPECT_EQ(SysBtnPlace(r.align, r.x, r.y, size, f, {9, 9}), r.expected) << r.align;
    f.menuBarMargin = 4;
    EXPECT_EQ(SysBtnPlace(100, 30, 0, size, f, {}), QPoint(361, 26));
}

TEST(SkinFrame, CaptionButtonsFollowTheMouseAndAct)
{
    SkinSession s;
    HostWindow w;
    w.resize(300, 200);
    w.show();
    QApplication::setActiveWindow(&w);
    TSkinnedForm *f = s.skin(&w);
    ASSERT_TRUE(f);
    QTRY_VERIFY(f->IsActive());
    TWinSysButton *close = button(f, "BUTTON.CLOSE");
    const QPoint in = close->rect.center(), out(150, 100);
    std::vector<int> states;
    mouse(&w, QEvent::MouseMove, in, Qt::NoButton);
    states.push_back(close->state);
    mouse(&w, QEvent::MouseButtonPress, in, Qt::LeftButton, Qt::LeftButton);
    states.push_back(close->state);
    mouse(&w, QEvent::MouseMove, in + QPoint(40, 0), Qt::LeftButton); // off the button, still pressed
    states.push_back(close->state);
    mouse(&w, QEvent::MouseButtonRelease, in + QPoint(40, 0), Qt::NoButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(states, (std::vector<int>{TNCObject::Hover, TNCObject::Pressed, TNCObject::Normal}));
    EXPECT_TRUE(w.isVisible()) << "a release outside does nothing";

    // The host decides whether its own button shows; its click reaches the host as 0x3514.
    EXPECT_FALSE(button(f, "BUTTON.HELP")->visible);
    w.answer = 1;
    TWinSysButton *help = button(f, "BUTTON.HELP");
    ASSERT_TRUE(help->visible);
    states.clear();
    mouse(&w, QEvent::MouseMove, help->rect.center(), Qt::NoButton);
    states.push_back(help->state);
    mouse(&w, QEvent::MouseButtonPress, help->rect.center(), Qt::LeftButton, Qt::LeftButton);
    states.push_back(help->state);
    mouse(&w, QEvent::MouseButtonRelease, help->rect.center(), Qt::NoButton, Qt::LeftButton);
    states.push_back(help->state);
    mouse(&w, QEvent::MouseMove, out, Qt::NoButton);
    states.push_back(help->state);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(states, (std::vector<int>{TNCObject::Hover, TNCObject::Pressed, TNCObject::Hover, TNCObject::Normal}));
    EXPECT_EQ(w.actions, (std::vector<qintptr>{40}));

    // Maximise, restore, minimise, and the caption's double-click.
    click(&w, button(f, "BUTTON.MAX")->rect.center());
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(w.isMaximized());
    EXPECT_EQ(f->WindowState(), 1);
    const QPoint posMax = w.pos();
    TSkinnedForm::SetWindowOps({[](QWindow *) { return false; }, {}, {}});
    mouse(&w, QEvent::MouseButtonPress, {100, 12}, Qt::LeftButton, Qt::LeftButton);
    mouse(&w, QEvent::MouseMove, {160, 60}, Qt::LeftButton);
    mouse(&w, QEvent::MouseButtonRelease, {160, 60}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w.pos(), posMax) << "a maximised window is not dragged";
    TSkinnedForm::SetWindowOps({});
    click(&w, button(f, "BUTTON.RESTORE")->rect.center());
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(w.isMaximized());
    mouse(&w, QEvent::MouseButtonDblClick, {100, 12}, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(w.isMaximized());
    mouse(&w, QEvent::MouseButtonDblClick, {100, 12}, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(w.isMaximized());
    click(&w, button(f, "BUTTON.MIN")->rect.center());
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(w.isMinimized());
    w.showNormal();
    QCoreApplication::sendPostedEvents();

    click(&w, close->rect.center());
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(w.isVisible());
}

TEST(SkinFrame, TwoIconClicksCloseTheWindow)
{
    SkinSession s;
    HostWindow w;
    w.resize(300, 200);
    w.show();
    TSkinnedForm *f = s.skin(&w);
    ASSERT_TRUE(f);
    const QPoint icon = button(f, "BUTTON.SYSMENU")->rect.center();
    click(&w, icon);
    ASSERT_TRUE(f->SysMenuPopup());
    EXPECT_TRUE(f->SysMenuPopup()->isVisible());
    click(&w, icon);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(w.isVisible());
}

TEST(SkinFrame, SystemMenuItemsFollowTheWindowState)
{
    SkinSession s;
    HostWindow w;
    w.resize(300, 200);
    w.show();
    TSkinnedForm *f = s.skin(&w);
    ASSERT_TRUE(f);
    const auto enabled = [&] {
        std::vector<std::pair<int, bool>> out;
        for (const auto &item : f->SysMenuModel())
            if (item.command)
                out.emplace_back(item.command, item.enabled);
        return out;
    };
    using V = std::vector<std::pair<int, bool>>;
    EXPECT_EQ(enabled(), (V{{SC_RESTORE, false}, {SC_MOVE, true}, {SC_SIZE, true}, {SC_MINIMIZE, true},
                            {SC_MAXIMIZE, true}, {SC_CLOSE, true}}));
    w.showMaximized();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(enabled(), (V{{SC_RESTORE, true}, {SC_MOVE, false}, {SC_SIZE, false}, {SC_MINIMIZE, true},
                            {SC_MAXIMIZE, false}, {SC_CLOSE, true}}));
    QDialog fixed;
    fixed.setFixedSize(200, 80);
    TSkinnedForm *d = s.skin(&fixed);
    ASSERT_TRUE(d);
    std::vector<int> commands;
    for (const auto &item : d->SysMenuModel())
        commands.push_back(item.command);
    EXPECT_EQ(commands, (std::vector<int>{SC_MOVE, 0, SC_CLOSE}));
}

TEST(SkinFrame, MessageBoxWidensToItsCaption)
{
    SkinSession s;
    QMessageBox box(QMessageBox::Information, QString(30, QChar(u'题')), QStringLiteral("好"));
    box.show();
    QCoreApplication::sendPostedEvents();
    TSkinnedForm *f = s.manager()->FindSkinForm(&box);
    ASSERT_TRUE(f);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    box.grab();
    const QMargins m = box.contentsMargins();
    const int extra = m.left() - L + m.right() - R;
    EXPECT_GT(extra, 0);
    EXPECT_LE(std::abs((m.left() - L) - (m.right() - R)), 1) << "the contents move right by half";
    EXPECT_GE(f->CaptionRect().width(), QFontMetrics(s.data->CaptionFont.resolve(box.font()), &box).horizontalAdvance(box.windowTitle()));
}
