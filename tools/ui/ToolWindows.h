#pragma once

class QWidget;

// The launchers of the tool windows, for the main window's menu.

// 九星运行图: the nine-star chart window, made at first use and kept; shown without blocking.
void ShowJiuXing(QWidget *parent);
// 九星飞布图: the flying-star window, made at first use and kept.
void ShowFeiBu(QWidget *parent);
// 万年历: the perpetual calendar, made at first use and kept; set to the current date and time each time.
void ShowWnl(QWidget *parent);
// 门尺占: the eight-palace door ruler, modal.
void ShowMenChi(QWidget *parent);
// 门公、丁兰尺: the two door rulers with their readings, modal.
void ShowMenChi2(QWidget *parent);
