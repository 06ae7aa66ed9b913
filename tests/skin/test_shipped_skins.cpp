#include "SkinGenerator.h"
#include "SkinManagerApi.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinReader.h"
#include "TSkinnedForm.h"

#include <QCoreApplication>
#include <QFile>
#include <QWidget>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Every element the model reads, with the frame count the painters expect of it.
QList<std::pair<const TDataSkinObject *, int>> elementsOf(const TSkinData &s)
{
    QList<std::pair<const TDataSkinObject *, int>> list = {
        {&s.Left, 2}, {&s.Right, 2}, {&s.Top, 2}, {&s.Bottom, 2}, {&s.Title, 2}, {&s.Buttons, 5},
        {s.MenuBar.get(), 2}, {s.Progress.get(), 2}, {s.ProgressChunk.get(), 1}, {s.GroupBoxEdge.get(), 2},
        {s.GroupBox.get(), 1}, {s.Tabs.get(), 5}, {s.StatusBarEdges.get(), 3}, {s.TabPane.get(), 1},
        {s.ToolBars.get(), 5}, {s.ComboButton.get(), 4}, {s.SunkEdge.get(), 4}, {s.ExtraImages.get(), 5},
        {s.Headerbar.get(), 5}, {s.MenuItem.get(), 5}, {s.MenuBackground.get(), 1}, {s.Scrollbar.get(), 23},
        {s.HorzScroll.get(), 4}, {s.VertScroll.get(), 4}, {s.HorzScrollThumb.get(), 3},
        {s.VertScrollThumb.get(), 3}, {s.ThumbHorz.get(), 5}, {s.ThumbVert.get(), 5}, {s.ThumbLeft.get(), 5},
        {s.ThumbRight.get(), 5}, {s.ThumbUp.get(), 5}, {s.ThumbDown.get(), 5}, {s.UpDownHorz.get(), 8},
        {s.UpDownVert.get(), 8}, {s.Track.get(), 1}, {s.TrackVert.get(), 1}, {s.ComboxArrow.get(), 4},
        {s.Toolbar.get(), 1}, {s.MinCaption.get(), 1}};
    for (const auto &b : s.SysButtons)
        list.append({b.get(), b->Action == 3 ? 1 : 4});
    return list;
}

// Runs `check` on a 400 x 200 window with the given title, skinned with a shipped package.
void withSkinnedWindow(const SkinTheme &theme, const QString &title,
                       const std::function<void(QWidget &, TSkinnedForm &)> &check)
{
    QFile staged(QStringLiteral(STAGED_SKINS "/%1.skn").arg(theme.name));
    ASSERT_TRUE(staged.open(QIODevice::ReadOnly));
    TSkinManage::Install();
    auto data = std::make_unique<TSkinData>();
    data->LoadFromStream(staged.readAll());
    data->SetActive(true);
    {
        QWidget w;
        w.setWindowTitle(title);
        w.resize(400, 200);
        static_cast<TSkinManage *>(SkinManager())->AddForm(&w);
        QCoreApplication::sendPostedEvents();
        TSkinnedForm *f = static_cast<TSkinManage *>(SkinManager())->FindSkinForm(&w);
        ASSERT_TRUE(f);
        check(w, *f);
    }
    data.reset();
    ResetSkinManager();
    SetSkinManagerFactory(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(ShippedSkins, EveryElementIsPresentWithWholeFrames)
{
    for (const SkinTheme &theme : ShippedSkinThemes()) {
        SCOPED_TRACE(theme.name.toStdString());
        QFile staged(QStringLiteral(STAGED_SKINS "/%1.skn").arg(theme.name));
        ASSERT_TRUE(staged.open(QIODevice::ReadOnly));
        TSkinData s;
        s.LoadFromStream(staged.readAll());
        ASSERT_FALSE(s.Empty()) << s.lastError().toStdString();
        EXPECT_EQ(s.SkinName, theme.title);
        EXPECT_EQ(s.SysButtons.size(), 6u);
        for (const auto &[e, frames] : elementsOf(s)) {
            ASSERT_NE(e, nullptr);
            SCOPED_TRACE(e->IDName.toStdString());
            EXPECT_FALSE(e->Map.isNull());
            EXPECT_EQ(e->Frame, frames);
            const bool stacked = e == &s.Top || e == &s.Bottom || e == &s.Title;
            EXPECT_EQ((stacked ? e->Map.height() : e->Map.width()) % frames, 0);
        }
        EXPECT_EQ(s.Buttons.CheckFrame, 12);
        EXPECT_EQ(s.Buttons.CheckMap.size(), QSize(12 * 13, 13));
        EXPECT_EQ(s.Buttons.RadioFrame, 8);
        EXPECT_FALSE(s.Tabs->Map2.isNull());
        EXPECT_FALSE(s.UpDownVert->Map2.isNull());
        EXPECT_FALSE(s.ComboBoxMap.isNull());
        EXPECT_NE(s.Title.ActiveText, TDataSkinTitle::NoRGB);
    }
}

// The caption's text background shows no box: each of its rows is the title bar's row, active and inactive.
TEST(ShippedSkins, CaptionTextBackgroundMatchesTheTitleBar)
{
    for (const SkinTheme &theme : ShippedSkinThemes()) {
        SCOPED_TRACE(theme.name.toStdString());
        QFile staged(QStringLiteral(STAGED_SKINS "/%1.skn").arg(theme.name));
        ASSERT_TRUE(staged.open(QIODevice::ReadOnly));
        TSkinData s;
        s.LoadFromStream(staged.readAll());
        const QImage bar = s.Top.Map, back = s.Title.Map;
        const int h = bar.height() / 2, w = back.width() / 2;
        ASSERT_EQ(back.height(), h);
        for (int f = 0; f < 2; ++f)
            for (int y = 0; y < h; ++y)
                EXPECT_EQ(back.pixel(f * w + w / 2, y), bar.pixel(bar.width() / 2, f * h + y)) << f << ' ' << y;
    }
}

// The caption's text stands level with the caption buttons, not sunk towards the bar's lower edge.
TEST(ShippedSkins, CaptionTextIsLevelWithTheCaptionButtons)
{
    for (const SkinTheme &theme : ShippedSkinThemes()) {
        SCOPED_TRACE(theme.name.toStdString());
        withSkinnedWindow(theme, QStringLiteral("门公、丁兰尺"), [](QWidget &w, TSkinnedForm &f) {
            w.grab();
            w.grab();
            const QRect caption = f.CaptionRect();
            const TWinSysButton *close = nullptr;
            for (const auto &b : f.Buttons())
                if (b->element.IDName == QLatin1String("BUTTON.CLOSE"))
                    close = b.get();
            ASSERT_TRUE(close);
            ASSERT_FALSE(caption.isEmpty());
            EXPECT_NEAR(caption.center().y(), close->rect.center().y(), 1);
        });
    }
}

// The window region, read from the packages as the frame cuts it, active and inactive: the two top corners
// are rounded alike (the side borders, which own the corners, carry them) and nothing else is left out.
TEST(ShippedSkins, WindowRegionRoundsTheTopCornersOnly)
{
    for (const SkinTheme &theme : ShippedSkinThemes()) {
        SCOPED_TRACE(theme.name.toStdString());
        withSkinnedWindow(theme, QString(), [](QWidget &w, TSkinnedForm &f) {
            const int W = w.width(), H = w.height();
            for (const QEvent::Type activation : {QEvent::WindowActivate, QEvent::WindowDeactivate}) {
                QEvent e(activation);
                QCoreApplication::sendEvent(&w, &e);
                const QRegion region = f.WindowRegion();
                EXPECT_FALSE(region.contains(QPoint(0, 0)) || region.contains(QPoint(W - 1, 0)));
                EXPECT_TRUE((QRegion(0, 0, W, H) - region - QRegion(0, 0, 3, 3) - QRegion(W - 3, 0, 3, 3)).isEmpty());
                for (int i = 0; i < 9; ++i)
                    EXPECT_EQ(region.contains(QPoint(i % 3, i / 3)), region.contains(QPoint(W - 1 - i % 3, i / 3)));
            }
        });
    }
}

TEST(ShippedSkins, GeneratorIsDeterministic)
{
    for (const SkinTheme &theme : ShippedSkinThemes()) {
        const QList<SkinMember> first = GenerateSkin(theme), second = GenerateSkin(theme);
        ASSERT_EQ(first.size(), second.size());
        for (int i = 0; i < first.size(); ++i) {
            EXPECT_EQ(first[i].name, second[i].name);
            EXPECT_EQ(first[i].bytes, second[i].bytes) << first[i].name.toStdString();
        }
    }
}

} // namespace
