#pragma once

#include <QMainWindow>

// The main window. Its contents arrive with the house inputs, the chart picture and the case tree.
class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
};
