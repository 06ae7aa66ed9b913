// The drawn menu bar (layout, opening and moving between menus by mouse and keys, commands, shortcuts,
// un-skinning) and skinned popup menus (sizes and pixels of frame, background, items, separators, check
// marks, shortcuts and the system menu's glyphs).
#include "SkinFrameTestSkin.h"
#include "SkinMenuStyle.h"
#include "TSkinnedMenu.h"
#include "TSkinnedPopMenu.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyleOptionMenuItem>
#include <QTest>

#include <gtest/gtest.h>

using namespace frametest;

namespace {

constexpr QRgb BarActive = qRgb(40, 120, 40), BarInactive = qRgb(20, 60, 20);
constexpr QRgb BgFrame = qRgb(90, 0, 90), BgFill = qRgb(250, 240, 200);
constexpr QRgb Selected = qRgb(0, 90, 200), Separator = qRgb(200, 30, 30);
constexpr QRgb MenuText = qRgb(10, 10, 10), SelectedText = qRgb(255, 255, 255), MenuColour = qRgb(230, 230, 230);
constexpr int ItemMargin = 4;

QString rgb(QRgb c)
{
    return QStringLiteral("%1 %2 %3").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

QImage solid(QSize size, QRgb c)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// The probe frame skin of the frame tests plus a menu bar, a menu background (a 3-pixel frame round a fill)
// and a menu-item strip: frame 1 magenta, frame 2 magenta with a 4-row line at its bottom, frame 4 solid.
QByteArray MenuPackage(bool withBackground)
{
    QString ini = QStringLiteral("[TitlebarSkin]\r\nSkinName=menus\r\n[Personality]\r\n");
    for (const char *b : {"Left", "Right", "Top", "Bottom"})
        ini += QStringLiteral("%1=%2.bmp\r\n%1Frame=2\r\n%1Stretch=1\r\n%1Trans=0\r\n")
                   .arg(QLatin1String(b), QString::fromLatin1(b).toLower());
    ini += QStringLiteral("menuBar=menubar.bmp\r\nTileMenu=0\r\n");
    ini += QStringLiteral("[Colours]\r\nButtonFace=%1\r\nMenu=%2\r\nMenuText=%3\r\nHilightText=%4\r\n"
                          "MenuBarText=%3\r\nHilight=%5\r\n")
               .arg(rgb(Face), rgb(MenuColour), rgb(MenuText), rgb(SelectedText), rgb(Selected));
    ini += QStringLiteral("[MenuItem]\r\nImage=item.bmp\r\nLeftWidth=%1\r\nTopHeight=2\r\nRightWidth=4\r\n"
                          "BottomHeight=2\r\nTrans=1\r\n").arg(ItemMargin);
    if (withBackground)
        ini += QStringLiteral("[MenuBackground]\r\nImage=bg.bmp\r\nLeftWidth=3\r\nTopHeight=3\r\nRightWidth=3\r\n"
                              "BottomHeight=3\r\n");
    QImage bar(20, 20, QImage::Format_RGB32);
    bar.fill(BarActive);
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            bar.setPixel(x, y, BarInactive);
    QImage bg = solid({30, 30}, BgFrame);
    for (int y = 3; y < 27; ++y)
        for (int x = 3; x < 27; ++x)
            bg.setPixel(x, y, BgFill);
    QImage item = solid({150, 20}, qRgb(255, 0, 255));
    for (int x = 30; x < 60; ++x)
        for (int y = 16; y < 20; ++y)
            item.setPixel(x, y, Separator);
    for (int x = 90; x < 120; ++x)
        for (int y = 0; y < 20; ++y)
            item.setPixel(x, y, Selected);
    QList<SkinMember> members = {
        {"skin.ini", ini.toUtf8()},
        {"left.bmp", bmpBytes(twoFrames({L, 20}, false, LeftActive, LeftInactive, false, false))},
        {"right.bmp", bmpBytes(twoFrames({R, 20}, false, RightActive, RightInactive, false, true))},
        {"top.bmp", bmpBytes(twoFrames({40, T}, true, TopActive, TopInactive, false, false))},
        {"bottom.bmp", bmpBytes(twoFrames({40, B}, true, BottomActive, BottomInactive, false, false))},
        {"menubar.bmp", bmpBytes(bar)},
        {"item.bmp", bmpBytes(item)},
        {"bg.bmp", bmpBytes(bg)},
    };
    QByteArray package;
    WriteSkinPackage(members, 20000, package);
    return SkinCompress(package);
}

struct MenuSession {
    explicit MenuSession(bool withBackground = true)
    {
        TSkinManage::Install();
        data = std::make_unique<TSkinData>();
        data->LoadFromStream(MenuPackage(withBackground));
        data->SetActive(true);
    }
    ~MenuSession()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<QMenu *>(w))
                w->close();
        data.reset();
        ResetSkinManager();
        SetSkinManagerFactory(nullptr);
        SkinSession::Flush();
    }
    TSkinManage *manager() const { return static_cast<TSkinManage *>(SkinManager()); }
    std::unique_ptr<TSkinData> data;
};

// A main window with four menus and a top-level command: 文件 (&F), 编辑 (&E), 工具 (&T, disabled), 帮助 (&H).
struct MenuWindow : QMainWindow {
    QMenu *file, *edit, *tools, *help, *knowledge;
    QAction *open, *command;
    int opened = 0, commanded = 0;
    MenuWindow()
    {
        file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
        open = file->addAction(QStringLiteral("打开"));
        open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
        connect(open, &QAction::triggered, this, [this] { ++opened; });
        file->addSeparator();
        file->addMenu(QStringLiteral("最近"))->addAction(QStringLiteral("一"));
        edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
        edit->addAction(QStringLiteral("复制"));
        tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
        tools->addAction(QStringLiteral("罗盘"));
        tools->menuAction()->setEnabled(false);
        command = menuBar()->addAction(QStringLiteral("排盘(&P)"));
        connect(command, &QAction::triggered, this, [this] { ++commanded; });
        help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
        knowledge = help->addMenu(QStringLiteral("知识")); // highlighted first, not opened
        knowledge->addAction(QStringLiteral("相关知识"));
        help->addAction(QStringLiteral("关于"));
        setCentralWidget(new QWidget);
        resize(500, 300);
    }
};

// Shows and skins the window; the drawn bar, laid out by a first paint.
TSkinnedMenu *showSkinned(MenuSession &s, QMainWindow &w)
{
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return nullptr;
    w.activateWindow();
    QTest::qWaitForWindowActive(&w);
    s.manager()->AddForm(&w);
    QCoreApplication::sendPostedEvents();
    TSkinnedForm *f = s.manager()->FindSkinForm(&w);
    if (!f || !f->MenuBar())
        return nullptr;
    w.grab();
    return f->MenuBar();
}

QPoint centre(TSkinnedMenu *bar, int index)
{
    return bar->Buttons()[index]->rect.center();
}

} // namespace

TEST(SkinMenuBar, LayoutRule)
{
    TSkinData none;
    const struct {
        QRect bar;
        int start;
        std::vector<int> widths;
        bool rtl;
        std::vector<QRect> expect;
    } rows[] = {
        {QRect(4, 24, 300, 20), 4, {30, 0, -1, 12}, false,
         {QRect(8, 24, 40, 19), QRect(48, 24, 0, 19), QRect(), QRect(48, 24, 22, 19)}},
        {QRect(4, 24, 300, 20), 8, {30, 12}, true, {QRect(256, 24, 40, 19), QRect(234, 24, 22, 19)}},
        {QRect(4, 24, 0, 20), 4, {30}, false, {QRect()}},  // no room: nothing laid out
        {QRect(4, 24, 300, 0), 4, {30}, false, {QRect()}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(TSkinnedMenu::Layout(row.bar, row.start, row.widths, row.rtl), row.expect) << row.bar.width();

    MenuSession s;
    s.data->MenuBar->LeftWidth = 5;
    s.data->MenuBar->RightWidth = 7;
    EXPECT_EQ(TSkinnedMenu::StartOffset(s.data.get(), 300, false), 9);
    EXPECT_EQ(TSkinnedMenu::StartOffset(s.data.get(), 300, true), 15);
    EXPECT_EQ(TSkinnedMenu::StartOffset(s.data.get(), 8, false), 12); // the margin does not fit
    EXPECT_EQ(TSkinnedMenu::StartOffset(&none, 300, false), 6);       // no menu-bar element
}

TEST(SkinMenuBar, DrawnBarInPlaceOfTheMenuBarAndGivenBack)
{
    MenuSession s;
    MenuWindow w;
    const int nativeHeight = w.menuBar()->sizeHint().height();
    const QString longCaption(100, QChar(u'长'));
    w.menuBar()->addMenu(longCaption)->addAction(QStringLiteral("项"));
    TSkinnedMenu *bar = showSkinned(s, w);
    ASSERT_TRUE(bar);
    EXPECT_TRUE(w.menuBar()->isVisible());
    EXPECT_EQ(w.menuBar()->height(), 0);
    EXPECT_EQ(w.contentsMargins().top(), T + bar->Height());
    EXPECT_EQ(bar->BarRect(), QRect(L, T, w.width() - L - R, bar->Height()));
    // Buttons follow each other from the start offset, each its caption plus 10; a long caption whole.
    const QFontMetrics fm(bar->Font(), &w);
    EXPECT_EQ(bar->Buttons()[0]->rect.left(), L + 4);
    const auto &last = bar->Buttons().back();
    EXPECT_EQ(last->rect.width(), fm.horizontalAdvance(longCaption) + 10);
    // The bar's picture, active and inactive, where no button is.
    const QPoint empty(w.width() - R - 3, T + bar->Height() / 2);
    if (last->rect.right() < empty.x()) {
        EXPECT_EQ(w.grab().toImage().pixel(empty), BarActive);
        QEvent off(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(&w, &off);
        EXPECT_EQ(w.grab().toImage().pixel(empty), BarInactive);
        QEvent on(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&w, &on);
    }
    // Shortcuts of the menus' actions stay alive while skinned.
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(w.opened, 1);
    // Un-skinning gives the menu bar back.
    s.manager()->DeleteForm(&w);
    SkinSession::Flush();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_GE(w.menuBar()->height(), nativeHeight);
    EXPECT_EQ(w.contentsMargins().top(), 0);
}

// The drawn bar takes the place of the window's own inside the painted frame: the window's contents keep the
// size the user sees through every change of look, so that neither the window nor its stored size creeps.
TEST(SkinMenuBar, ContentsKeepTheirSizeThroughSkinningAndUnskinning)
{
    MenuSession s;
    MenuWindow w;
    const auto unskin = [&] {
        s.manager()->DeleteForm(&w);
        SkinSession::Flush();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    };
    ASSERT_TRUE(showSkinned(s, w));
    unskin();
    const QSize seen = w.centralWidget()->size();
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(showSkinned(s, w));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        EXPECT_EQ(w.centralWidget()->size(), seen) << "skinned";
        unskin();
        EXPECT_EQ(w.centralWidget()->size(), seen) << "native";
    }
}

TEST(SkinMenuBar, MenusOpenAndMoveByMouseAndKeys)
{
    MenuSession s;
    MenuWindow w;
    TSkinnedMenu *bar = showSkinned(s, w);
    ASSERT_TRUE(bar);
    // Buttons: 0 文件, 1 编辑, 2 工具 (disabled), 3 排盘 (command), 4 帮助.
    const struct {
        const char *what;
        std::function<void()> act;
        QMenu *open; // none: no menu open afterwards
        QMenu *submenu = nullptr; // a submenu open below it
    } steps[] = {
        {"click 文件", [&] { mouse(&w, QEvent::MouseButtonPress, centre(bar, 0), Qt::LeftButton, Qt::LeftButton); }, w.file},
        {"release", [&] { mouse(&w, QEvent::MouseButtonRelease, centre(bar, 0), Qt::NoButton, Qt::LeftButton); }, w.file},
        {"Right", [&] { QTest::keyClick(w.file, Qt::Key_Right); }, w.edit},
        {"Right skips the disabled and the command", [&] { QTest::keyClick(w.edit, Qt::Key_Right); }, w.help},
        {"Right on an item with a submenu opens that", [&] { QTest::keyClick(w.help, Qt::Key_Right); }, w.help, w.knowledge},
        {"Right on the last opens the first", [&] { QTest::keyClick(w.knowledge, Qt::Key_Right); }, w.file},
        {"Left on the first opens the last", [&] { QTest::keyClick(w.file, Qt::Key_Left); }, w.help},
        {"mouse along the bar", [&] { mouse(w.help, QEvent::MouseMove, w.help->mapFromGlobal(w.mapToGlobal(centre(bar, 1))), Qt::NoButton, Qt::NoButton); }, w.edit},
        {"Alt cancels", [&] { QTest::keyClick(w.edit, Qt::Key_Alt); }, nullptr},
        {"Alt+E", [&] { QTest::keyClick(&w, Qt::Key_E, Qt::AltModifier); }, w.edit},
        {"click on the open button closes", [&] { mouse(w.edit, QEvent::MouseButtonPress, w.edit->mapFromGlobal(w.mapToGlobal(centre(bar, 1))), Qt::LeftButton, Qt::LeftButton); }, nullptr},
        {"disabled top item", [&] { mouse(&w, QEvent::MouseButtonPress, centre(bar, 2), Qt::LeftButton, Qt::LeftButton); }, nullptr},
        {"Alt+T: disabled", [&] { QTest::keyClick(&w, Qt::Key_T, Qt::AltModifier); }, nullptr},
        {"Alt alone opens the first", [&] { QTest::keyClick(&w, Qt::Key_Alt); }, w.file},
        {"Escape", [&] { QTest::keyClick(w.file, Qt::Key_Escape); }, nullptr},
        {"top-level command", [&] { mouse(&w, QEvent::MouseButtonPress, centre(bar, 3), Qt::LeftButton, Qt::LeftButton); }, nullptr},
    };
    for (const auto &step : steps) {
        step.act();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        EXPECT_EQ(TSkinnedMenu::OpenPopup(), step.open) << step.what;
        if (step.open) {
            EXPECT_TRUE(step.open->isVisible()) << step.what;
            EXPECT_EQ(step.open->activeAction(), step.open->actions().front()) << step.what; // highlighted
            EXPECT_EQ(QApplication::activePopupWidget(), step.submenu ? step.submenu : step.open) << step.what;
            EXPECT_EQ(bar->Buttons()[TSkinnedMenu::OpenIndex()]->state, TNCObject::Pressed) << step.what;
        }
        for (QMenu *m : {w.file, w.edit, w.tools, w.help})
            EXPECT_EQ(m->isVisible(), m == step.open) << step.what;
    }
    EXPECT_EQ(w.commanded, 1);
    EXPECT_FALSE(w.menuBar()->hasFocus()); // the hidden bar's keyboard mode was left
    EXPECT_EQ(w.tools->isVisible(), false);
}

namespace {

QMenu *popupOf(QWidget *owner)
{
    auto *m = new QMenu(owner);
    m->addAction(QStringLiteral("普通项"));
    m->addAction(QStringLiteral("选中项"));
    m->addSeparator();
    m->addAction(QStringLiteral("勾选"))->setCheckable(true);
    m->actions().back()->setChecked(true);
    m->addAction(QStringLiteral("关闭"))->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    m->actions().back()->setShortcutVisibleInContextMenu(true);
    return m;
}

bool differs(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 60;
}

} // namespace

TEST(SkinPopupMenu, WidthsAndPixels)
{
    MenuSession s;
    QWidget owner;
    QMenu *m = popupOf(&owner);
    m->popup(QPoint(50, 50));
    m->setActiveAction(m->actions()[1]);
    ASSERT_TRUE(TSkinnedPopMenu::Of(m));
    auto *style = TSkinnedPopMenu::Of(m)->Style();
    ASSERT_EQ(m->style(), style);
    // Widths: caption + margin + 35 (+ the shortcut gap), the menu its widest item + its shortcuts + frame.
    const QFontMetrics fm(m->font());
    int widest = 0;
    for (QAction *a : m->actions())
        if (!a->isSeparator())
            widest = std::max(widest, style->itemWidth(fm, a->text(), !a->shortcut().isEmpty(), false));
    EXPECT_EQ(style->itemWidth(fm, QStringLiteral("普通项"), false, false), fm.horizontalAdvance(QStringLiteral("普通项")) + ItemMargin + 35);
    EXPECT_EQ(style->itemWidth(fm, QStringLiteral("普通项"), false, true), fm.horizontalAdvance(QStringLiteral("普通项")) + ItemMargin + 16 + 12);
    style->setKind(SkinMenuStyle::BarMenu);
    EXPECT_EQ(style->itemWidth(fm, QStringLiteral("普通项"), false, true), fm.horizontalAdvance(QStringLiteral("普通项")) + ItemMargin + 16 + 10);
    style->setKind(SkinMenuStyle::PopupMenu);
    const QString shortcut = QKeySequence(Qt::ALT | Qt::Key_F4).toString(QKeySequence::NativeText);
    EXPECT_EQ(m->sizeHint().width(), widest + fm.horizontalAdvance(shortcut) + 2 * SkinMenuStyle::FrameWidth);
    const QRect plain = m->actionGeometry(m->actions()[0]);
    EXPECT_EQ(plain.height(), std::max(fm.height(), 16) + 4);
    EXPECT_EQ(m->actionGeometry(m->actions()[2]).height(), SkinMenuStyle::SeparatorHeight);

    const QImage img = m->grab().toImage();
    const QRect sel = m->actionGeometry(m->actions()[1]), sep = m->actionGeometry(m->actions()[2]);
    const QRect checked = m->actionGeometry(m->actions()[3]), close = m->actionGeometry(m->actions()[4]);
    EXPECT_EQ(img.pixel(1, 1), BgFrame);                               // the 3-pixel frame
    EXPECT_EQ(img.pixel(img.width() - 2, img.height() - 2), BgFrame);
    EXPECT_EQ(img.pixel(plain.right() - 2, plain.center().y()), BgFill); // frame 1 is see-through
    EXPECT_EQ(img.pixel(sel.right() - 5, sel.center().y()), Selected);   // frame 4
    EXPECT_EQ(img.pixel(sep.center().x(), sep.bottom() - 1), Separator); // frame 2, its bottom rows
    EXPECT_EQ(img.pixel(sep.center().x(), sep.top()), BgFill);
    // The check mark in the glyph cell, in the text colour.
    int marks = 0;
    for (int y = checked.top(); y <= checked.bottom(); ++y)
        for (int x = checked.left() + 1 + ItemMargin; x < checked.left() + 1 + ItemMargin + 16; ++x)
            marks += img.pixel(x, y) == MenuText;
    EXPECT_GE(marks, 12);
    // The shortcut ends 11 pixels before the item's right edge.
    int rightmost = -1;
    for (int x = close.left(); x <= close.right(); ++x)
        for (int y = close.top(); y <= close.bottom(); ++y)
            if (differs(img.pixel(x, y), BgFill))
                rightmost = x;
    EXPECT_NEAR(rightmost, close.right() - SkinMenuStyle::ShortcutRight, 2);
    m->close();
}

TEST(SkinPopupMenu, SystemMenuGlyphsAndNativeWithoutBackground)
{
    // Glyphs 0..3 for restore, maximise, minimise and close, each in its item's glyph cell (enabled items;
    // restore is enabled in a maximised window).
    const struct { bool maximised; int command, glyph; } rows[] = {
        {true, SC_RESTORE, 0}, {false, SC_MAXIMIZE, 1}, {false, SC_MINIMIZE, 2}, {false, SC_CLOSE, 3}};
    for (const auto &row : rows) {
        MenuSession s;
        QWidget w;
        w.resize(300, 200);
        if (row.maximised)
            w.showMaximized();
        else
            w.show();
        s.manager()->AddForm(&w);
        QCoreApplication::sendPostedEvents();
        TSkinnedForm *f = s.manager()->FindSkinForm(&w);
        ASSERT_TRUE(f);
        f->PopSysmenu(w.mapToGlobal(QPoint(10, 10)));
        QMenu *m = f->SysMenuPopup();
        ASSERT_TRUE(m && TSkinnedPopMenu::Of(m));
        const QImage img = m->grab().toImage();
        const auto model = f->SysMenuModel();
        const auto it = std::find_if(model.begin(), model.end(), [&](const auto &i) { return i.command == row.command; });
        ASSERT_NE(it, model.end());
        ASSERT_TRUE(it->enabled) << row.glyph;
        const QRect r = m->actionGeometry(m->actions()[int(it - model.begin())]);
        const QImage glyph = s.data->MenuGlyphs[row.glyph].convertToFormat(QImage::Format_RGB32);
        const QPoint at(r.left() + 1 + ItemMargin, r.top() + (r.height() - 16) / 2);
        int same = 0, inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if ((glyph.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                    ++inked;
                    same += img.pixel(at + QPoint(x, y)) == glyph.pixel(x, y);
                }
        EXPECT_GT(inked, 0) << row.glyph;
        EXPECT_EQ(same, inked) << row.glyph;
        if (row.command == SC_CLOSE) {
            // The close item's caption and its shortcut side by side, clear of each other.
            const QFontMetrics fm(m->font());
            EXPECT_GE(r.width(), 1 + ItemMargin + 16 + 3 + fm.size(Qt::TextShowMnemonic, QStringLiteral("关闭(&C)")).width() +
                                     4 + fm.horizontalAdvance(QStringLiteral("Alt+F4")) + SkinMenuStyle::ShortcutRight);
        }
        m->close();
    }
    // Without a MenuBackground picture the frame and the background are the base style's.
    QWidget owner;
    QMenu *plain = popupOf(&owner);
    plain->popup(QPoint(50, 50));
    const QImage native = plain->grab().toImage();
    const int nativeFrame = plain->style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, plain);
    plain->close();
    MenuSession s(false);
    QMenu *m = popupOf(&owner);
    m->popup(QPoint(50, 50));
    ASSERT_TRUE(TSkinnedPopMenu::Of(m));
    EXPECT_FALSE(TSkinnedPopMenu::Of(m)->Style()->paintsBackground());
    EXPECT_EQ(m->style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, m), nativeFrame);
    EXPECT_EQ(m->grab().toImage().pixel(0, 0), native.pixel(0, 0));
    m->close();
    // Switched off, the menu gets its own style back at its next showing.
    s.data->SetActive(false);
    s.manager()->OnTimer();
    m->popup(QPoint(50, 50));
    EXPECT_FALSE(TSkinnedPopMenu::Of(m) && TSkinnedPopMenu::Of(m)->Style());
    EXPECT_NE(m->style(), static_cast<QStyle *>(nullptr));
    m->close();
}
