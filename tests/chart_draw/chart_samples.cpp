// Writes the sample chart pictures into the build folder for people to look at; not a test.
#include "ChartRender.h"
#include "ReferenceHouse.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

void WriteSamples()
{
    ChartDrawData d = ReferenceHouse();
    SavePng(RenderChart(d), "round_xiagua");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_xiagua");
    d.iPanShape = 0;
    d.xiaGua = false;
    SavePng(RenderChart(d), "round_tigua");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_tigua");

    d = ReferenceHouse();
    ShowFourLabels(d);
    d.chartPanel = PanelBaZhai;
    SavePng(RenderChart(d), "round_bazhai4");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_bazhai4");

    d = ReferenceHouse();
    d.chartPanel = PanelLiuNian;
    d.bShowMonth = d.bShowNeiQi = true;
    SavePng(RenderChart(d), "round_liunian2024");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_liunian2024");

    d = ReferenceHouse();
    ShowFourLabels(d);
    d.chartPanel = PanelLiuNian8;
    d.bShowMonth = true;
    SavePng(RenderChart(d), "round_liunian8_2024");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_liunian8_2024");

    d = ReferenceHouse();
    d.chartPanel = PanelNeiQi;
    SavePng(RenderChart(d), "round_neiqi");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_neiqi");

    d = JianHouse();
    SavePng(RenderChart(d), "round_jian124");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_jian124");
    // The same case drawn with the sitting mountain at the bottom.
    d.iCoord = 1;
    d.PanAngle = 124.0f + 22.5f;
    SavePng(RenderChart(d), "square_jian124_coord1");
    d.iPanShape = 0;
    SetColours(d, ColourWangShuai);
    SavePng(RenderChart(d), "round_jian124_coord1_wangshuai");
    d.iTilt = 1;
    SetColours(d, ColourWuXing);
    d.bZhouTian = true;
    SavePng(RenderChart(d), "round_jian124_tilt1_wuxing_zhoutian");

    // Small and wide pictures.
    d = ReferenceHouse();
    SavePng(RenderChart(d, 250, 290), "round_xiagua_250x290");
    d.chartPanel = PanelLiuNian;
    d.bShowMonth = true;
    SavePng(RenderChart(d, 900, 580), "round_liunian_900x580");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    MImagePlus::RegisterFontSubstitutes();
    WriteSamples();
    std::printf("%s\n", CHART_PNG_DIR);
    return 0;
}
