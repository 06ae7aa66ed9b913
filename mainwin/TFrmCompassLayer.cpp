#include "TFrmCompassLayer.h"

#include "ui_TFrmCompassLayer.h"

#include "FormUtil.h"
#include "MUiFont.h"

#include <QShowEvent>

TFrmCompassLayer::TFrmCompassLayer(Layers &layers, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmCompassLayer>()), m_layers(layers)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (int i = 0; i < ui->ChkLayer->count(); ++i)
        ui->ChkLayer->item(i)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrmCompassLayer::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TFrmCompassLayer::~TFrmCompassLayer() = default;

void TFrmCompassLayer::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmCompassLayer::FormShow()
{
    if (!m_scaled) {
        m_scaled = true;
        AppUiFont.ApplyToForm(this);
    }
    for (int i = 0; i < ui->ChkLayer->count(); ++i)
        SetItemChecked(ui->ChkLayer, i, m_layers.ring[size_t(i)] != 0);
    SetRadioIndex(ui->RdoShanYin, m_layers.shanYin);
    SetRadioIndex(ui->RdoGanZhi, m_layers.ganZhi);
    ui->ChkWxColor->setChecked(m_layers.wxColor != 0);
}

void TFrmCompassLayer::BitBtn1Click()
{
    TCompassLayers chosen{};
    for (int i = 0; i < ui->ChkLayer->count(); ++i) {
        const bool on = IsItemChecked(ui->ChkLayer, i);
        chosen.ring[size_t(i)] = on ? 1 : 0;
        chosen.count += on ? 1 : 0;
    }
    chosen.shanYin = uint8_t(qMax(0, RadioIndex(ui->RdoShanYin)));
    chosen.ganZhi = uint8_t(qMax(0, RadioIndex(ui->RdoGanZhi)));
    chosen.wxColor = ui->ChkWxColor->isChecked() ? 1 : 0;
    m_layers = chosen;
    accept();
}
