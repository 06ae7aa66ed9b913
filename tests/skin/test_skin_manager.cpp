// The skin manager's admission and actions, and the skinned window's life: frame host, hit codes, moving
// and resizing by hand, states, re-reading and destruction.
#include "SkinFrameTestSkin.h"
#include "SkinMessages.h"

#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace frametest;

inline void PrintTo(const QPoint &p, std::ostream *os)
{
    *os << '(' << p.x() << ',' << p.y() << ')';
}

namespace {

class PreviewPane : public QWidget {
    Q_OBJECT
};

std::unique_ptr<QWidget> plainWindow(QSize size = {300, 200})
{
    auto w = std::make_unique<QWidget>();
    w->resize(size);
    return w;
}

} // namespace

TEST(SkinManager, AdmitsOnlyWindowsItMaySkin)
{
    SkinSession s;
    s.data->DisableTag = 5; // the literal 99 refuses, whatever the skin's own setting
    s.data->Options.exclude(TSkinOption::xoPreview);
    const struct {
        const char *what;
        std::function<QWidget *()> make;
        bool admitted;
    } rows[] = {
        {"plain window", [] { return plainWindow().release(); }, true},
        {"message box", [] { auto *b = new QMessageBox(QMessageBox::Information, "t", "x"); b->resize(200, 100); return b; }, true},
        {"tag 99", [] { auto *w = plainWindow().release(); w->setProperty("Tag", 99); return w; }, false},
        {"tag 5", [] { auto *w = plainWindow().release(); w->setProperty("Tag", 5); return w; }, true},
        {"zero height", [] { return plainWindow({300, 0}).release(); }, false},
        {"tool tip", [] { auto *w = new QWidget(nullptr, Qt::ToolTip); w->resize(50, 20); return w; }, false},
        {"preview", [] { auto *w = new PreviewPane; w->resize(200, 100); return static_cast<QWidget *>(w); }, false},
    };
    for (const auto &row : rows) {
        std::unique_ptr<QWidget> w(row.make());
        EXPECT_EQ(s.manager()->AddForm(w.get()), row.admitted) << row.what;
        EXPECT_FALSE(s.manager()->AddForm(w.get())) << row.what << ": never wrapped twice";
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(SendSkinMessage(w.get(), CN_IsSkinned), row.admitted ? 1 : 0) << row.what;
    }
    QWidget parent;
    auto *child = new QWidget(&parent);
    child->resize(40, 40);
    EXPECT_FALSE(s.manager()->AddForm(child));
    s.manager()->SetActiveFlag(false);
    auto late = plainWindow();
    EXPECT_FALSE(s.manager()->AddForm(late.get())) << "an inactive manager admits nothing";
}

TEST(SkinManager, QueuedActionsRunOnceAndTheLastWins)
{
    SkinSession s;
    auto a = plainWindow(), b = plainWindow();
    s.data->SetActive(false); // queues 2: unskin
    QTest::qWait(300);
    a->show();
    b->show();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(s.manager()->FormCount(), 0);
    s.manager()->SetCurrentData(s.data.get());
    s.manager()->SetAction(1, 250);
    QTest::qWait(100);
    s.manager()->SetAction(1, 250);
    EXPECT_EQ(s.manager()->FormCount(), 0) << "nothing before the delay";
    QTest::qWait(300);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(s.manager()->FormCount(), 2);
    EXPECT_EQ(s.manager()->PendingAction(), 0);

    s.manager()->SetCurrentData(s.data.get());
    s.manager()->SetAction(1, 250);
    s.manager()->SetAction(2, 250); // the last queued action wins
    QTest::qWait(350);
    EXPECT_EQ(s.manager()->FormCount(), 0) << "un-skinning all releases every window";
    for (QWidget *w : {a.get(), b.get()}) {
        EXPECT_FALSE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(w->contentsMargins(), QMargins());
        EXPECT_TRUE(w->mask().isEmpty());
    }
}

TEST(SkinManager, PopupMenusAreSkinnedOnlyForTheirKind)
{
    using enum TSkinControlType;
    const struct {
        int kind;
        TSkinControlType removed;
        bool skinned;
    } rows[] = {{0, xcSystemMenu, true}, {0, xcPopupMenu, false}, {2, xcPopupMenu, true}, {2, xcSystemMenu, false}};
    for (const auto &row : rows) {
        SkinSession s;
        int calls = 0;
        s.manager()->SetPopupSkinner([&](QMenu *, TSkinData *) { return ++calls > 0; });
        s.data->SkinControls.exclude(row.removed);
        s.manager()->SetMenuKind(row.kind);
        QMenu menu;
        menu.addAction(QStringLiteral("项"));
        menu.popup(QPoint(10, 10));
        EXPECT_EQ(calls, row.skinned ? 1 : 0) << row.kind;
        EXPECT_EQ(s.manager()->MenuCount(), row.skinned ? 1 : 0);
        menu.close();
    }
}

TEST(SkinnedForm, SkinOnAndOffKeepsTheClientAndGivesEverythingBack)
{
    SkinSession s;
    auto bare = plainWindow();
    auto *child = new QPushButton(QStringLiteral("按钮"), bare.get());
    child->move(10, 10);
    QDialog laidOut;
    auto *layout = new QVBoxLayout(&laidOut);
    layout->addWidget(new QLabel(QStringLiteral("内容")));
    laidOut.resize(260, 120);
    for (QWidget *w : {bare.get(), static_cast<QWidget *>(&laidOut)}) {
        w->setPalette(QPalette(Qt::red));
        w->move(40, 50);
        const QSize client = w->size();
        const QPoint pos = w->pos();
        const Qt::WindowFlags flags = w->windowFlags();
        w->show();
        TSkinnedForm *f = s.skin(w);
        ASSERT_TRUE(f);
        QCoreApplication::processEvents(); // the window system reports that the frame is gone
        EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(w->size(), client + QSize(L + R, T + B));
        EXPECT_EQ(w->contentsRect().size(), client);
        EXPECT_EQ(w->pos(), pos);
        EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Face));
        s.manager()->DeleteForm(w);
        EXPECT_EQ(w->size(), client);
        EXPECT_EQ(w->pos(), pos);
        EXPECT_EQ(w->windowFlags(), flags);
        EXPECT_EQ(w->contentsMargins(), QMargins());
        EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::red));
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_EQ(child->pos(), QPoint(10, 10)) << "a window without a layout gets its children back in place";
}

TEST(SkinnedForm, DialogInsideExecKeepsRunningThroughSkinOnAndOff)
{
    SkinSession s;
    QDialog dialog;
    dialog.resize(240, 100);
    QSize during, after;
    bool visibleDuring = false;
    QTimer::singleShot(50, &dialog, [&] {
        QCoreApplication::sendPostedEvents(); // the hook admitted it when it was shown
        TSkinnedForm *f = s.manager()->FindSkinForm(&dialog);
        visibleDuring = f && f->SkinState() == 1 && dialog.isVisible();
        during = dialog.size();
        s.manager()->DeleteForm(&dialog);
        after = dialog.size();
        visibleDuring = visibleDuring && dialog.isVisible();
        dialog.accept();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(visibleDuring);
    EXPECT_EQ(during, QSize(240 + L + R, 100 + T + B));
    EXPECT_EQ(after, QSize(240, 100));
}

TEST(SkinnedForm, HitCodesAtSamplePoints)
{
    SkinSession s;
    auto sizable = plainWindow({300, 200});
    QDialog fixed;
    fixed.setFixedSize(200, 100);
    TSkinnedForm *a = s.skin(sizable.get());
    TSkinnedForm *b = s.skin(&fixed);
    ASSERT_TRUE(a && b);
    const int W = 300 + L + R, H = 200 + T + B;
    const struct {
        TSkinnedForm *form;
        QPoint at;
        int hit;
    } rows[] = {
        {a, {1, 1}, HTTOPLEFT},       {a, {W / 2, 1}, HTTOP},       {a, {W / 2, 10}, HTCAPTION},
        {a, {1, H / 2}, HTLEFT},      {a, {W - 2, H / 2}, HTRIGHT}, {a, {W / 2, H - 1}, HTBOTTOM},
        {a, {W - 1, H - 1}, HTBOTTOMRIGHT}, {a, {W - 1, 3}, HTTOPRIGHT}, {a, {2, H - 5}, HTBOTTOMLEFT},
        {a, {W / 2, H / 2}, HTCLIENT}, {a, {-1, 5}, HTNOWHERE},
        {b, {1, 50}, HTBORDER},       {b, {100, 1}, HTCAPTION},    {b, {100, 60}, HTCLIENT},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.form->HitTest(row.at), row.hit) << row.at.x() << "," << row.at.y();
}

TEST(SkinnedForm, WithoutAWindowManagerTheFrameMovesAndResizesByHand)
{
    SkinSession s;
    TSkinnedForm::SetWindowOps({[](QWindow *) { return false; }, [](QWindow *, Qt::Edges) { return false; }, {}});
    auto w = plainWindow({300, 200});
    w->show();
    w->move(100, 100);
    TSkinnedForm *f = s.skin(w.get());
    ASSERT_TRUE(f);
    QCoreApplication::processEvents(); // the window system reports that the frame is gone
    const QSize outer = w->size();
    mouse(w.get(), QEvent::MouseButtonPress, {150, 12}, Qt::LeftButton, Qt::LeftButton);
    mouse(w.get(), QEvent::MouseMove, {190, 42}, Qt::LeftButton);
    mouse(w.get(), QEvent::MouseButtonRelease, {190, 42}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w->pos(), QPoint(140, 130));
    const QPoint corner(outer.width() - 1, outer.height() - 1);
    mouse(w.get(), QEvent::MouseButtonPress, corner, Qt::LeftButton, Qt::LeftButton);
    mouse(w.get(), QEvent::MouseMove, corner + QPoint(25, 15), Qt::LeftButton);
    mouse(w.get(), QEvent::MouseButtonRelease, corner + QPoint(25, 15), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w->size(), outer + QSize(25, 15));
    EXPECT_EQ(w->pos(), QPoint(140, 130));
    TSkinnedForm::SetWindowOps({});
}

// Ten pointer steps of (12, 5) on the caption move the window (120, 50), the first step included. A window
// manager stand-in, were it asked, would move the window from where the pointer is when asked.
TEST(SkinnedForm, CaptionDragKeepsEveryPointerStep)
{
    SkinSession s;
    auto w = plainWindow({300, 200});
    w->show();
    w->move(100, 100);
    ASSERT_TRUE(s.skin(w.get()));
    QPoint pointer = w->mapToGlobal(QPoint(150, 12)), managerFrom, managerOrigin;
    bool managerMoves = false;
    TSkinnedForm::SetWindowOps({[&](QWindow *) {
                                    managerMoves = true;
                                    managerFrom = pointer;
                                    managerOrigin = w->pos();
                                    return true;
                                },
                                {}, [] { return true; }});
    const QPoint start = w->pos();
    for (int step = 0; step <= 10; ++step) {
        pointer += step ? QPoint(12, 5) : QPoint();
        QMouseEvent e(step ? QEvent::MouseMove : QEvent::MouseButtonPress, QPointF(w->mapFromGlobal(pointer)),
                      QPointF(pointer), step ? Qt::NoButton : Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.get(), &e);
        if (managerMoves)
            w->move(managerOrigin + pointer - managerFrom);
    }
    EXPECT_EQ(w->pos() - start, QPoint(120, 50));
    TSkinnedForm::SetWindowOps({});
}

namespace {

// Records the window's skin state at each resize and at each "skin applied" message.
class StateRecorder : public QObject {
public:
    StateRecorder(QWidget *w, const SkinSession &s) : w_(w), s_(s) { w->installEventFilter(this); }
    std::vector<int> states;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize || static_cast<int>(e->type()) == SM_AfterSkin)
            if (TSkinnedForm *f = s_.manager()->FindSkinForm(w_))
                if (states.empty() || states.back() != f->SkinState())
                    states.push_back(f->SkinState());
        return false;
    }

private:
    QWidget *w_;
    const SkinSession &s_;
};

} // namespace

TEST(SkinnedForm, StatesRereadingAndDestruction)
{
    SkinSession s;
    auto *w = plainWindow().release();
    w->show();
    StateRecorder recorder(w, s); // installed after the skin's filter would be: it sees events first
    s.manager()->DeleteForm(w);
    TSkinnedForm *f = s.skin(w);
    ASSERT_TRUE(f);
    const QSize client = w->contentsRect().size();

    // A new package with wider borders: the manager re-reads the skin; the client keeps its size.
    s.data->LoadFromStream(Package(false, 0, 6));
    QTest::qWait(300);
    EXPECT_EQ(w->contentsRect().size(), client);
    EXPECT_EQ(f->Borders(), QMargins(L + 6, T, R, B));
    EXPECT_EQ(w->width(), client.width() + L + 6 + R);
    EXPECT_EQ(recorder.states, (std::vector<int>{5, 1, 3}));
    EXPECT_EQ(f->SkinState(), 1);

    QPointer<TSkinnedForm> alive(f);
    delete w; // destroyed while skinned: the entry goes at once, the skin is freed cleanly
    EXPECT_EQ(s.manager()->FormCount(), 0);
    ASSERT_TRUE(alive);
    EXPECT_EQ(alive->SkinState(), 6);
    SkinSession::Flush();
    EXPECT_TRUE(alive.isNull());
}

TEST(SkinnedForm, MinimisedWindowsAndReloadsWithoutReReading)
{
    SkinSession s;
    auto w = plainWindow();
    w->showMinimized();
    TSkinnedForm *f = s.skin(w.get());
    ASSERT_TRUE(f);
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::FramelessWindowHint)) << "no frame while minimised";
    w->showNormal();
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint)) << "the frame comes with the restore";
    EXPECT_EQ(w->contentsRect().size(), QSize(300, 200));

    // A dialog skin reloads without queuing a re-read: the frame keeps painting from what it holds.
    s.data->SkinFormtype = TSkinFormType::sfDialog;
    s.data->LoadFromStream(Package(true, 0, 6));
    const QImage img = w->grab().toImage();
    EXPECT_EQ(f->Borders().left(), L);
    EXPECT_EQ(img.pixel(w->width() - 2, 100), f->IsActive() ? RightActive : RightInactive);
}

TEST(SkinnedForm, HoverTimerEndsTheHoverOnceTheCursorHasLeft)
{
    SkinSession s;
    auto w = plainWindow({300, 200});
    w->show();
    QApplication::setActiveWindow(w.get());
    TSkinnedForm *f = s.skin(w.get());
    ASSERT_TRUE(f);
    QTRY_VERIFY(f->IsActive());
    EXPECT_TRUE(f->HoverTimerRunning());
    f->SetSysbtnRect();
    TWinSysButton *close = nullptr;
    for (const auto &b : f->Buttons())
        if (b->element.Action == 0)
            close = b.get();
    ASSERT_TRUE(close);
    mouse(w.get(), QEvent::MouseMove, close->rect.center(), Qt::NoButton);
    EXPECT_EQ(f->HotObject(), close);
    EXPECT_EQ(close->state, TNCObject::Hover);
    QCursor::setPos(w->mapToGlobal(close->rect.center()));
    f->OnTimer();
    EXPECT_EQ(f->HotObject(), close) << "still under the cursor";
    QCursor::setPos(w->mapToGlobal(QPoint(150, 150)));
    f->OnTimer();
    EXPECT_EQ(f->HotObject(), nullptr);
    EXPECT_EQ(close->state, TNCObject::Normal);
}

#include "test_skin_manager.moc"
