#pragma once

#include <QString>

// The [set] block of dat/set.ini: the chart settings and the user-interface size. Every place that reads it (the
// chart object, the main window, the settings dialog, the font scaler) reads it through ReadChartSettings, which
// holds each key in one place. Each reader passes its own defaults and checks the ranges it needs.
struct ChartSettings {
    int ileft = 0;                                // first-line indent of the report paragraphs, points
    int liunian = 0;                              // 1: annual stars flown from the door
    int fuwei = 0;                                // 伏位 reference: 0 山, 1 命, 2 向, 3 门
    QString mengong = QStringLiteral("46.08");    // door-ruler lengths, cm, as typed
    QString dinglan = QStringLiteral("38.78");
    int iCoord = 0;                               // drawing rotation: 0 none, 1 the sitting degree, 2 + 180
    double fJian = 4.5;                           // degrees from a mountain's centre beyond which a degree is 兼
    QString fJianText;                            // fJian as stored; the default's number when there is none
    bool bZhouTian = false;                       // full degree scale on the round chart
    bool bWuHint = true;                          // five-element legend on the charts
    int iTilt = 0;                                // ring text orientation: 0, 1 (+90°), 2 (+270°)
    bool bChengMen = true;                        // mark the city gates
    int dayStar = 0;                              // day-star rule of the nine-star tools
    int iFontSizeVar = 0;                         // user-interface font size step
    bool bChangeMenuSize = false;                 // the step applies to the menus too
};

// The settings file in the program folder.
QString ChartSettingsPath();

// Reads the block from ChartSettingsPath(); a key that is missing or unreadable keeps its value in defaults.
ChartSettings ReadChartSettings(const ChartSettings &defaults = ChartSettings{});
