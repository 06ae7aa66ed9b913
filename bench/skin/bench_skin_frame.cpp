// The painted frame at a common window size: the window region (cut again on every size change while a
// window is resized) and one paint of the whole frame, with the program's own skin.
#include "SkinManagerApi.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedForm.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Skinned {
    Skinned()
    {
        TSkinManage::Install();
        data.LoadFromFile(QStringLiteral(STAGED_SKINS "/Mx1.skn"));
        data.SetActive(true);
        window.resize(1024, 700);
        auto *m = static_cast<TSkinManage *>(SkinManager());
        m->AddForm(&window);
        QCoreApplication::sendPostedEvents();
        form = m->FindSkinForm(&window);
    }
    TSkinData data;
    QWidget window;
    TSkinnedForm *form = nullptr;
};

std::unique_ptr<Skinned> skinnedWindow; // made and freed while the application object lives

Skinned &skinned()
{
    return *skinnedWindow;
}

void BM_WindowRegion(benchmark::State &state)
{
    TSkinnedForm *f = skinned().form;
    if (!f) {
        state.SkipWithError("Mx1.skn not staged");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(f->WindowRegion());
}
BENCHMARK(BM_WindowRegion)->Unit(benchmark::kMicrosecond);

void BM_FramePaint(benchmark::State &state)
{
    TSkinnedForm *f = skinned().form;
    if (!f) {
        state.SkipWithError("Mx1.skn not staged");
        return;
    }
    QImage target(skinned().window.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        f->UpdateNc(p);
    }
}
BENCHMARK(BM_FramePaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    skinnedWindow = std::make_unique<Skinned>();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    skinnedWindow.reset();
    ResetSkinManager();
    return 0;
}
