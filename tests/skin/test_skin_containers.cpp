// Container and field skins: tabs, group boxes, headers, status and tool bars, edits, combo boxes, date edits
// and scroll areas, drawn from a shipped skin.
#include "ShippedSkin.h"
#include "SkinDraw.h"
#include "SkinEdits.h"
#include "SkinMessages.h"
#include "SkinPanels.h"
#include "SkinScrollbars.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

QColor colour(quint32 c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QColor pixelOf(const TDataSkinObject &e, int frame, QPoint at)
{
    const QRect f = SkinFrameRect(e.Map, e.Frame, frame);
    return e.Map.pixelColor(f.topLeft() + at);
}

template <typename Skin> std::unique_ptr<Skin> skinned(QWidget *w, TSkinData &data)
{
    auto s = std::make_unique<Skin>(w);
    s->Init(nullptr, &data);
    return s;
}

void send(QWidget *w, QEvent::Type type, QPoint at)
{
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A window that answers the close question of a tab.
class Host : public QWidget {
public:
    qintptr answer = 0;
    int asked = 0;
    bool event(QEvent *e) override
    {
        if (TSkinMessage *m = AsTabCloseMessage(e)) {
            ++asked;
            m->result = answer;
            return true;
        }
        return QWidget::event(e);
    }
};

class ContainerSkins : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(data->Empty()); }
    std::unique_ptr<TSkinData> data = ShippedSkin("Mx1");
    QColor face() const { return colour(data->Colors[TSkinData::ButtonFace]); }
    QColor shadow() const { return colour(data->Colors[TSkinData::ButtonShadow]); }
};

} // namespace

TEST_F(ContainerSkins, TabsAreDrawnOnTheirSideAndTurned)
{
    // Frame 2 (the current tab) carries a coloured line along its outer edge: where it lands shows the turn.
    const TDataSkinBorder &tabs = *data->Tabs;
    const QColor accent = pixelOf(tabs, 2, {tabs.frameWidth() / 2, 1});
    ASSERT_NE(accent, pixelOf(tabs, 1, {tabs.frameWidth() / 2, 1}));
    const struct {
        QTabWidget::TabPosition position;
        int expected;
        std::function<QPoint(const QRect &)> outerEdge;
    } rows[] = {
        {QTabWidget::North, 0, [](const QRect &r) { return QPoint(r.center().x(), r.top() + 1); }},
        {QTabWidget::South, 1, [](const QRect &r) { return QPoint(r.center().x(), r.bottom() - 1); }},
        {QTabWidget::West, 2, [](const QRect &r) { return QPoint(r.left() + 1, r.center().y()); }},
        {QTabWidget::East, 3, [](const QRect &r) { return QPoint(r.right() - 1, r.center().y()); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.expected);
        QTabWidget t;
        t.setTabPosition(row.position);
        t.addTab(new QWidget, QStringLiteral("宅命"));
        t.addTab(new QWidget, QStringLiteral("流年"));
        t.setCurrentIndex(1);
        t.resize(300, 200);
        t.show();
        auto skin = skinned<TSkinTab>(&t, *data);
        EXPECT_EQ(skin->TabPosition(), row.expected);
        EXPECT_FALSE(skin->Closable());
        const QImage strip = t.tabBar()->grab().toImage();
        EXPECT_EQ(strip.pixelColor(row.outerEdge(t.tabBar()->tabRect(1))), accent);
        EXPECT_NE(strip.pixelColor(row.outerEdge(t.tabBar()->tabRect(0))), accent);
        skin->Unsubclass();
    }
}

TEST_F(ContainerSkins, AClosableTabAsksTheWindowAndObeys)
{
    const struct {
        const char *what;
        QTabWidget::TabPosition position;
        qintptr answer;
        int asked, pagesLeft;
    } rows[] = {
        {"the window frees the page", QTabWidget::North, TabCloseFree, 1, 1},
        {"a window that does not answer keeps it", QTabWidget::North, 0, 1, 2},
        {"tabs below have no close marks", QTabWidget::South, TabCloseFree, 0, 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Host host;
        host.answer = row.answer;
        auto *t = new QTabWidget(&host);
        t->setTabPosition(row.position);
        t->setProperty("Tag", ClosableTabsTag);
        t->addTab(new QWidget, QStringLiteral("第一页"));
        t->addTab(new QWidget, QStringLiteral("第二页"));
        t->resize(300, 200);
        host.show();
        auto skin = skinned<TSkinTab>(t, *data);
        t->tabBar()->grab(); // paints the marks
        const QRect mark = skin->CloseRect(0);
        EXPECT_EQ(mark.isEmpty(), row.asked == 0);
        const QPoint at = mark.isEmpty() ? t->tabBar()->tabRect(0).center() : mark.center();
        send(t->tabBar(), QEvent::MouseButtonPress, at);
        send(t->tabBar(), QEvent::MouseButtonRelease, at);
        EXPECT_EQ(host.asked, row.asked);
        EXPECT_EQ(t->count(), row.pagesLeft);
    }
}

TEST_F(ContainerSkins, GroupBoxCaptionSide)
{
    const struct {
        const char *what;
        Qt::LayoutDirection direction;
        Qt::Alignment alignment;
        bool right;
    } rows[] = {
        {"left to right", Qt::LeftToRight, Qt::AlignLeft, false},
        {"right to left", Qt::RightToLeft, Qt::AlignLeft, true},
        {"right-aligned", Qt::LeftToRight, Qt::AlignRight, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QGroupBox box(QStringLiteral("显示飞星"));
        box.setLayoutDirection(row.direction);
        box.setAlignment(row.alignment);
        box.resize(200, 80);
        auto skin = skinned<TSkinGroupBox>(&box, *data);
        const QRect caption = skin->CaptionRect();
        EXPECT_EQ(row.right ? box.width() - caption.right() - 1 : caption.left(), 8);
        const QImage look = box.grab().toImage();
        EXPECT_EQ(look.pixelColor(1, 60), shadow()) << "the rounded frame";
    }
}

TEST_F(ContainerSkins, HeaderSectionsAndTheHotOne)
{
    const TDataSkinObject &bar = *data->Headerbar;
    for (int columns : {0, 3}) {
        SCOPED_TRACE(columns);
        QStandardItemModel model(2, columns);
        for (int c = 0; c < columns; ++c)
            model.setHorizontalHeaderItem(c, new QStandardItem(QString(c == 2 ? 300 : 3, QChar(u'名'))));
        QHeaderView header(Qt::Horizontal);
        header.setModel(&model);
        header.resize(400, 24);
        header.show();
        auto skin = skinned<TSkinHeader>(&header, *data);
        const QImage look = header.viewport()->grab().toImage();
        // The room after the last section is frame 1, as is the whole bar without sections.
        EXPECT_EQ(look.pixelColor(395, look.height() / 2), pixelOf(bar, 1, {bar.frameWidth() / 2, bar.Map.height() / 2}));
        if (columns) {
            const QPoint over(header.sectionViewportPosition(1) + 10, 5);
            send(header.viewport(), QEvent::MouseMove, over);
            EXPECT_EQ(skin->HotItem(), 1);
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(header.viewport(), &leave);
            EXPECT_EQ(skin->HotItem(), -1);
        }
    }
}

TEST_F(ContainerSkins, StatusBarBevelsAndSizeGrip)
{
    const struct {
        int style;
        int frame;
    } rows[] = {{QFrame::Panel | QFrame::Sunken, 1}, {QFrame::Panel | QFrame::Raised, 2},
                {QFrame::Panel | QFrame::Plain, 3}, {QFrame::NoFrame, 3}};
    QStatusBar bar;
    std::vector<QLabel *> labels;
    for (const auto &row : rows) {
        auto *l = new QLabel(QStringLiteral("面板"));
        l->setFrameStyle(row.style);
        l->setMinimumWidth(60);
        bar.addPermanentWidget(l);
        labels.push_back(l);
        EXPECT_EQ(TSkinStatusBar::BevelFrame(l), row.frame);
    }
    bar.resize(400, 24);
    bar.show();
    QApplication::processEvents();
    auto skin = skinned<TSkinStatusBar>(&bar, *data);
    const QImage look = bar.grab().toImage();
    const TDataSkinObject &edges = *data->StatusBarEdges;
    for (size_t i = 0; i < 2; ++i) {
        const QPoint corner = labels[i]->geometry().topLeft();
        EXPECT_EQ(look.pixelColor(corner), pixelOf(edges, rows[i].frame, {0, 0})) << i;
    }
    // The grip: frame 5 of the extra images in the bottom-right corner.
    const TDataSkinObject &extra = *data->ExtraImages;
    const QRect f = SkinFrameRect(extra.Map, extra.Frame, 5);
    int drawn = 0;
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x)
            if (extra.Map.pixelColor(f.topLeft() + QPoint(x, y)) != QColor(255, 0, 255) &&
                look.pixelColor(bar.width() - f.width() + x, bar.height() - f.height() + y) ==
                    extra.Map.pixelColor(f.topLeft() + QPoint(x, y)))
                ++drawn;
    EXPECT_GT(drawn, 0);
}

TEST_F(ContainerSkins, ToolBarBackgroundAndButtons)
{
    QToolBar native, bar;
    for (QToolBar *b : {&native, &bar}) {
        QAction *a = b->addAction(QStringLiteral("保存"));
        a->setCheckable(true);
        a->setChecked(true);
        b->addAction(QStringLiteral("打印"))->setEnabled(false);
        b->addAction(QStringLiteral("排盘"));
        b->resize(200, 30);
        b->show();
    }
    QApplication::processEvents();
    auto skin = skinned<TSkinToolbar>(&bar, *data);
    ASSERT_TRUE(data->Options.contains(TSkinOption::xoToolbarBK));
    EXPECT_EQ(bar.grab().toImage().pixelColor(190, 15), native.grab().toImage().pixelColor(190, 15))
        << "the native background is kept";
    data->Options.exclude(TSkinOption::xoToolbarBK);
    bar.update();
    const QImage look = bar.grab().toImage();
    EXPECT_NE(look.pixelColor(190, 2), look.pixelColor(190, 28)) << "the skin's gradient picture";

    const int expected[] = {2, 0, 0}; // latched, disabled, flat
    for (int i = 0; i < 3; ++i) {
        auto *button = qobject_cast<QToolButton *>(bar.widgetForAction(bar.actions().at(i)));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(skinned<TSkinToolButton>(button, *data)->Frame(), expected[i]) << i;
    }
}

TEST_F(ContainerSkins, EditBordersAndBorderlessEdits)
{
    QLineEdit framed(QStringLiteral("2026")), bare(QStringLiteral("2026")), bareNative(QStringLiteral("2026"));
    bare.setFrame(false);
    bareNative.setFrame(false);
    for (QLineEdit *e : {&framed, &bare, &bareNative}) {
        e->resize(120, 24);
        e->show();
    }
    auto a = skinned<TSkinEdit>(&framed, *data);
    auto b = skinned<TSkinEdit>(&bare, *data);
    const QImage look = framed.grab().toImage();
    EXPECT_EQ(look.pixelColor(0, 12), shadow());
    EXPECT_EQ(look.pixelColor(1, 12), QColor(Qt::white));
    EXPECT_EQ(look.pixelColor(2, 12), QColor(Qt::white));
    EXPECT_EQ(bare.grab().toImage(), bareNative.grab().toImage());
}

TEST_F(ContainerSkins, ComboButtonFollowsStateSideAndStyle)
{
    QComboBox combo, rtl;
    for (QComboBox *c : {&combo, &rtl}) {
        c->addItems({QStringLiteral("子山午向"), QStringLiteral("癸山丁向")});
        c->resize(160, 24);
        c->show();
    }
    rtl.setLayoutDirection(Qt::RightToLeft);
    auto skin = skinned<TSkinComBox>(&combo, *data);
    auto mirrored = skinned<TSkinComBox>(&rtl, *data);
    const int w = skin->ButtonWidth();
    combo.grab();
    rtl.grab();
    EXPECT_EQ(skin->ButtonRect(), QRect(160 - w - 2, 0, w, 24));
    EXPECT_EQ(mirrored->ButtonRect(), QRect(2, 0, w, 24));
    EXPECT_NE(ScrollStyleOf(combo.view()->verticalScrollBar()), nullptr) << "the dropped list's bar";

    EXPECT_EQ(skin->ButtonState(), 1);
    QHoverEvent hover(QEvent::HoverMove, QPointF(155, 12), QPointF(155, 12), QPointF(1, 1));
    QApplication::sendEvent(&combo, &hover);
    EXPECT_EQ(skin->ButtonState(), 4) << "hot";
    send(&combo, QEvent::MouseButtonPress, {155, 12});
    EXPECT_EQ(skin->ButtonState(), 2) << "pressed";
    combo.hidePopup();
    send(&combo, QEvent::MouseButtonRelease, {155, 12});
    combo.setEnabled(false);
    EXPECT_EQ(skin->ButtonState(), 3) << "disabled wins";
    combo.setEnabled(true);

    // The button frame of the state over the button; Style 2 stretches one picture over the whole box.
    const TDataSkinObject &button = *data->ComboButton;
    QImage look = combo.grab().toImage();
    EXPECT_EQ(look.pixelColor(160 - 2 - 1, 1), pixelOf(button, skin->ButtonState(), {button.frameWidth() - 1, 1}));
    data->ComboButton->Style = 2;
    look = combo.grab().toImage();
    EXPECT_EQ(look.pixelColor(0, 12), pixelOf(button, skin->ButtonState(), {0, button.Map.height() / 2}));

    skin->Unsubclass();
    EXPECT_EQ(ScrollStyleOf(combo.view()->verticalScrollBar()), nullptr);
}

TEST_F(ContainerSkins, DateEditArrowAndBorder)
{
    for (bool popup : {true, false}) {
        SCOPED_TRACE(popup);
        QDateEdit edit(QDate(2026, 12, 7)), native(QDate(2026, 12, 7));
        for (QDateEdit *e : {&edit, &native}) {
            e->setCalendarPopup(popup);
            e->resize(140, 24);
            e->show();
        }
        auto skin = skinned<TSkinDateTime>(&edit, *data);
        const QImage look = edit.grab().toImage(), plain = native.grab().toImage();
        EXPECT_EQ(look.pixelColor(0, 12), shadow());
        const QPoint arrow = skin->ArrowRect().center();
        EXPECT_EQ(look.pixelColor(arrow) != plain.pixelColor(arrow), popup);
    }
}

TEST_F(ContainerSkins, ScrollAreaSkinGivesEverythingBack)
{
    QTreeWidget tree;
    tree.setHeaderLabels({QStringLiteral("案例"), QStringLiteral("日期")});
    for (int i = 0; i < 50; ++i)
        new QTreeWidgetItem(&tree, {QStringLiteral("张三"), QStringLiteral("2026")});
    tree.resize(200, 150);
    tree.show();
    QPlainTextEdit bare;
    bare.setFrameShape(QFrame::NoFrame);
    auto skin = skinned<TSkinScrollbar>(&tree, *data);
    auto bareSkin = skinned<TSkinScrollbar>(&bare, *data);
    EXPECT_TRUE(skin->Border());
    EXPECT_FALSE(bareSkin->Border());
    EXPECT_NE(ScrollStyleOf(tree.verticalScrollBar()), nullptr);
    EXPECT_NE(tree.header()->viewport()->grab().toImage(), QImage());
    EXPECT_EQ(tree.grab().toImage().pixelColor(0, 75), shadow());
    skin->Unsubclass();
    skin.reset();
    EXPECT_EQ(ScrollStyleOf(tree.verticalScrollBar()), nullptr);
    EXPECT_EQ(ScrollStyleOf(tree.horizontalScrollBar()), nullptr);
}
