#pragma once

// main() of a benchmark that draws through MImagePlus: text needs the font database of a GUI application, and no
// display is used. The application lives on main's stack: one kept in a static would be destroyed at exit after
// Qt's own statics, and crash there, and one never destroyed leaves the font library's memory to the leak checker.
#include "MImagePlus.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

inline int RunDrawingBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    MImagePlus::RegisterFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
