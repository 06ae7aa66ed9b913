#include "AppPath.h"
#include "IniFile.h"
#include "ScriptedPrompts.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// One move of a mouse drag on the pictures of the main window, with the repaint it causes: a 2000 × 1500 floor
// plan with the round chart (500 × 580) over it, in a 1280 × 800 window.
namespace {

void Send(QWidget *w, QEvent::Type type, QPoint at)
{
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Every question the window asks is answered from the script, so that nothing waits for a user offscreen.
struct Scene {
    benchmark::State &state;
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<TFrmMain> w;
    TImage *img1 = nullptr, *bk = nullptr;

    explicit Scene(benchmark::State &st) : state(st)
    {
        SetAppPath(dir.path());
        MakeProgramFolders();
        {
            IniFile ini(AppPath() + QStringLiteral("dat/qrinit.ini"));
            ini.WriteInteger(QStringLiteral("window"), QStringLiteral("width"), 1280);
            ini.WriteInteger(QStringLiteral("window"), QStringLiteral("height"), 800);
        }
        QImage plan(2000, 1500, QImage::Format_RGB32);
        plan.fill(Qt::white);
        QPainter p(&plan);
        p.setPen(QPen(Qt::black, 6));
        for (int i = 0; i < 20; ++i)
            p.drawRect(50 + i * 90, 60 + i * 60, 400, 300);
        p.end();
        plan.save(dir.path() + QStringLiteral("/plan.bmp"));

        w = std::make_unique<TFrmMain>();
        w->show();
        w->findChild<QRadioButton *>(QStringLiteral("RdoPanShape_0"))->click();
        w->findChild<QLineEdit *>(QStringLiteral("LedtZtd"))->setText(QStringLiteral("0:0"));
        w->findChild<QLineEdit *>(QStringLiteral("EdtYear"))->setText(QStringLiteral("2004"));
        w->findChild<QLineEdit *>(QStringLiteral("EdtName"))->setText(QStringLiteral("张三"));
        w->findChild<QLineEdit *>(QStringLiteral("LedtShengNian"))->setText(QStringLiteral("1980"));
        w->BtnPaiClick();
        w->LoadFloorPlan(dir.path() + QStringLiteral("/plan.bmp"));
        img1 = w->findChild<TImage *>(QStringLiteral("Img1"));
        bk = w->findChild<TImage *>(QStringLiteral("ImgBk"));
        QApplication::processEvents();
    }
    // Closing asks to close, then whether to save the house laid out: 否, or the save would ask for its category
    // in a dialog of its own. A question more, or one fewer, fails the benchmark.
    ~Scene()
    {
        prompts.reply(Prompts::Answer::Yes).reply(Prompts::Answer::No);
        const bool closed = w->close();
        w.reset();
        SetAppPath(QString());
        if (!closed || prompts.unexpected() != 0 || prompts.pendingReplies() != 0)
            state.SkipWithError("closing the window asked other questions than to close and to save");
    }
    // Moves of one drag, back and forth so that the pictures stay where they are, each followed by its repaint.
    void drag(benchmark::State &state, QWidget *target, QPoint from, QPoint step)
    {
        Send(target, QEvent::MouseButtonPress, from);
        int i = 0;
        for (auto _ : state) {
            Send(target, QEvent::MouseMove, from + ((i++ & 1) ? QPoint() : step));
            target->parentWidget()->repaint();
        }
        Send(target, QEvent::MouseButtonRelease, from);
    }
};

void BM_MoveChartOverPlan(benchmark::State &state)
{
    Scene s(state);
    s.drag(state, s.img1, {100, 100}, {15, 10}); // the chart moves with the mouse: its point stays put
}
BENCHMARK(BM_MoveChartOverPlan)->Unit(benchmark::kMillisecond);

void BM_TurnChartRing(benchmark::State &state)
{
    Scene s(state);
    s.drag(state, s.img1, {380, 215}, {-15, -21}); // on the turning ring: every move redraws the chart
}
BENCHMARK(BM_TurnChartRing)->Unit(benchmark::kMillisecond);

void BM_DrawFreehandOnPlan(benchmark::State &state)
{
    Scene s(state);
    s.w->findChild<QAction *>(QStringLiteral("N9"))->trigger();
    s.bk->raise();
    s.drag(state, s.bk, {700, 700}, {40, 25});
}
BENCHMARK(BM_DrawFreehandOnPlan)->Unit(benchmark::kMillisecond);

void BM_ResizePlanByCorner(benchmark::State &state)
{
    Scene s(state);
    s.bk->raise();
    s.drag(state, s.bk, {1995, 1495}, {20, 15}); // the plan is stretched from its work copy on every move
}
BENCHMARK(BM_ResizePlanByCorner)->Unit(benchmark::kMillisecond);

} // namespace
