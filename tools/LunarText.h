#pragma once

#include <QString>

// Texts of lunar dates and sexagenary numbers shared by the tool windows.

// "正月", "二月" … "腊月" is written "十二月"; "闰" in front for a leap month.
QString LunarMonthText(int month, bool leap);
// "初一" … "初十", "十一" … "三十".
QString LunarDayText(int day);
// The branch of a clock hour 0..23: 23 and 0 are 子, 1 and 2 丑 … 21 and 22 亥.
QString HourBranch(int hour);
// "甲子" for cycle number 1.
QString GanZhiText(int cycle);
// "12时子" as the hour lists show it.
QString HourItemText(int hour);
