#pragma once

#include <cstddef>

#include "TCompassLayers.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmCompassLayer;
}

// "罗盘分层选择": which of the 13 compass rings are drawn, and their options. Edits the caller's ring record
// on "选定" only.
class TFrmCompassLayer : public QDialog {
    Q_OBJECT
public:
    using Layers = TCompassLayers;

    explicit TFrmCompassLayer(Layers &layers, QWidget *parent = nullptr);
    ~TFrmCompassLayer() override;

    void FormShow();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TFrmCompassLayer> ui;
    Layers &m_layers;
    bool m_scaled = false;
};
