// One paint of a skinned control against the same control painting itself (skin painting switched off),
// with the program's own skin: push button, check box, progress bar, slider and spin box.
#include "SkinDiscovery.h"
#include "SkinManagerApi.h"
#include "SkinMessages.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Skinned {
    Skinned()
    {
        TSkinManage::Install();
        data.LoadFromFile(QStringLiteral(STAGED_SKINS "/Mx1.skn"));
        data.SetActive(true);
        window.resize(400, 300);
        controls = {new QPushButton(QStringLiteral("布宅局"), &window), new QCheckBox(QStringLiteral("显示内气"), &window),
                    new QProgressBar(&window), new QSlider(Qt::Horizontal, &window), new QSpinBox(&window)};
        static_cast<QProgressBar *>(controls[2])->setValue(40);
        int y = 0;
        for (QWidget *w : controls)
            w->setGeometry(10, y += 40, 200, 28);
        auto *m = static_cast<TSkinManage *>(SkinManager());
        m->AddForm(&window);
        QCoreApplication::sendPostedEvents();
        discovery = SkinDiscovery::Find(m->FindSkinForm(&window));
    }
    TSkinData data;
    QWidget window;
    std::vector<QWidget *> controls;
    SkinDiscovery *discovery = nullptr;
};

std::unique_ptr<Skinned> skinnedWindow; // made and freed while the application object lives

// Argument 0: the control; argument 1: 1 skinned, 0 painting itself.
void BM_ControlPaint(benchmark::State &state)
{
    Skinned &s = *skinnedWindow;
    if (!s.discovery || s.discovery->Count() != static_cast<int>(s.controls.size())) {
        state.SkipWithError("Mx1.skn not staged");
        return;
    }
    QWidget *w = s.controls[state.range(0)];
    SendSkinMessage(w, CN_SkinEnable, state.range(1));
    state.SetLabel(w->metaObject()->className());
    QImage target(w->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        w->render(&target);
    SendSkinMessage(w, CN_SkinEnable, 1);
}
BENCHMARK(BM_ControlPaint)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMicrosecond);

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
