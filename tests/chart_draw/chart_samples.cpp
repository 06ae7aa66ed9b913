// Writes the sample chart pictures into the build folder for people to look at; not a test.
#include "ChartRender.h"
#include "ReferenceHouse.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

struct Sample {
    const char* name;
    void (*set)(ChartDrawData& d); // applied to the reference house
    int w = 500, h = 580;
    qreal ratio = 1; // a scaled screen's pixel ratio
};

// Each drawn round ("round_" + name) and square ("square_" + name).
const Sample kBothShapes[] = {
    {"xiagua", [](ChartDrawData&) {}},
    {"tigua", [](ChartDrawData& d) { d.xiaGua = false; }},
    {"bazhai4", [](ChartDrawData& d) { ShowFourLabels(d); d.chartPanel = PanelBaZhai; }},
    {"liunian2024", [](ChartDrawData& d) { d.chartPanel = PanelLiuNian; d.bShowMonth = d.bShowNeiQi = true; }},
    {"liunian8_2024", [](ChartDrawData& d) { ShowFourLabels(d); d.chartPanel = PanelLiuNian8; d.bShowMonth = true; }},
    {"neiqi", [](ChartDrawData& d) { d.chartPanel = PanelNeiQi; }},
    {"jian124", [](ChartDrawData& d) { d = JianHouse(); }},
};

// The 兼 case drawn with the sitting mountain at the bottom.
void JianAtTheBottom(ChartDrawData& d)
{
    d = JianHouse();
    d.iCoord = 1;
    d.PanAngle = 124.0f + 22.5f;
}

// That case in the colour modes and with the 周天 scale; small and wide pictures.
const Sample kOthers[] = {
    {"square_jian124_coord1", [](ChartDrawData& d) { JianAtTheBottom(d); d.iPanShape = 1; }},
    {"round_jian124_coord1_wangshuai", [](ChartDrawData& d) { JianAtTheBottom(d); SetColours(d, ColourWangShuai); }},
    {"round_jian124_tilt1_wuxing_zhoutian",
     [](ChartDrawData& d) {
         JianAtTheBottom(d);
         SetColours(d, ColourWuXing);
         d.iTilt = 1;
         d.bZhouTian = true;
     }},
    {"round_xiagua_250x290", [](ChartDrawData&) {}, 250, 290},
    {"round_liunian_900x580", [](ChartDrawData& d) { d.chartPanel = PanelLiuNian; d.bShowMonth = true; }, 900, 580},
    // The palaces' digits on a scaled screen and larger.
    {"round_liunian2024_x2",
     [](ChartDrawData& d) { d.chartPanel = PanelLiuNian; d.bShowMonth = d.bShowNeiQi = true; }, 500, 580, 2},
    {"round_neiqi_x2", [](ChartDrawData& d) { d.chartPanel = PanelNeiQi; }, 500, 580, 2},
    {"round_xiagua_x2", [](ChartDrawData&) {}, 500, 580, 2},
    {"round_liunian2024_800x928",
     [](ChartDrawData& d) { d.chartPanel = PanelLiuNian; d.bShowMonth = d.bShowNeiQi = true; }, 800, 928},
};

void Write(const Sample& s, const QString& name, int shape = -1)
{
    ChartDrawData d = ReferenceHouse();
    s.set(d);
    if (shape >= 0)
        d.iPanShape = shape;
    SavePng(RenderChart(d, s.w, s.h, nullptr, s.ratio), name);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    MImagePlus::RegisterFontSubstitutes();
    for (const Sample& s : kBothShapes) {
        Write(s, QStringLiteral("round_") + s.name, 0);
        Write(s, QStringLiteral("square_") + s.name, 1);
    }
    for (const Sample& s : kOthers)
        Write(s, s.name);
    std::printf("%s\n", CHART_PNG_DIR);
    return 0;
}
