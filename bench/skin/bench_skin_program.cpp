// The whole program skinned: skinning the main window (frame and controls) after a house was laid out, and
// one full repaint of the skinned window, with the program's own skin.
#include "AppPath.h"
#include "ScriptedPrompts.h"
#include "SkinManagerApi.h"
#include "TFrmMain.h"
#include "TSkinData.h"
#include "TSkinManage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct Program {
    Program()
    {
        SetAppPath(dir.path());
        MakeProgramFolders();
        QFile::copy(QStringLiteral(STAGED_SKINS "/Mx1.skn"), dir.path() + QStringLiteral("/skins/Mx1.skn"));
        window = std::make_unique<TFrmMain>();
        window->resize(1280, 800);
        window->show();
        window->findChild<QLineEdit *>(QStringLiteral("LedtZtd"))->setText(QStringLiteral("2:30"));
        window->findChild<QLineEdit *>(QStringLiteral("EdtYear"))->setText(QStringLiteral("2004"));
        window->findChild<QLineEdit *>(QStringLiteral("EdtName"))->setText(QStringLiteral("张三"));
        window->findChild<QLineEdit *>(QStringLiteral("LedtShengNian"))->setText(QStringLiteral("1980"));
        window->BtnPaiClick();
        window->Skin().LoadFromFile(dir.path() + QStringLiteral("/skins/Mx1.skn"));
        if (SkinManagerApi *m = CreateSkinManager())
            m->SetSwitchedOn(true);
        window->Skin().SetActive(true);
        settle(400);
        manager = dynamic_cast<TSkinManage *>(SkinManager());
    }
    ~Program()
    {
        window->Skin().SetActive(false);
        settle(400);
        window.reset();
        SetAppPath(QString());
    }
    bool skinned() const { return manager && manager->FindSkinForm(window.get()); }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<TFrmMain> window;
    TSkinManage *manager = nullptr;
};

std::unique_ptr<Program> program; // made and freed while the application object lives

void BM_SkinMainWindow(benchmark::State &state)
{
    if (!program->skinned()) {
        state.SkipWithError("the main window was not skinned (Mx1.skn not staged?)");
        return;
    }
    QWidget *w = program->window.get();
    for (auto _ : state) {
        state.PauseTiming();
        program->manager->DeleteForm(w);
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
        program->manager->AddForm(w);
        QCoreApplication::sendPostedEvents(); // the frame and the controls are built here
    }
}
BENCHMARK(BM_SkinMainWindow)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_RepaintSkinnedMainWindow(benchmark::State &state)
{
    if (!program->skinned()) {
        state.SkipWithError("the main window was not skinned");
        return;
    }
    QWidget *w = program->window.get();
    QImage target(w->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        w->render(&p);
    }
}
BENCHMARK(BM_RepaintSkinnedMainWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    program = std::make_unique<Program>();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    program.reset();
    ResetSkinManager();
    return 0;
}
