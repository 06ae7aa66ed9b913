#include "ChartRender.h"
#include "ReferenceHouse.h"

#include <gtest/gtest.h>

TEST(ChartPictures, WritesTheSamplePictures)
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
    const QImage annual = RenderChart(d);
    SavePng(annual, "round_liunian2024");
    // The crowded centre, enlarged for the eye.
    SavePng(annual.copy(190, 230, 120, 120).scaled(360, 360), "zoom_liunian_centre");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_liunian2024");

    d = ReferenceHouse();
    d.chartPanel = PanelNeiQi;
    SavePng(RenderChart(d), "round_neiqi");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_neiqi");

    d = JianHouse();
    d.PanAngle = 22.5f;
    SavePng(RenderChart(d), "round_jian124");
    d.iPanShape = 1;
    SavePng(RenderChart(d), "square_jian124");
}
