#include "TFrmTxtHelp.h"

#include "ui_TFrmTxtHelp.h"

#include "MUiFont.h"

#include <QShowEvent>

TFrmTxtHelp::TFrmTxtHelp(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmTxtHelp>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

TFrmTxtHelp::~TFrmTxtHelp() = default;

void TFrmTxtHelp::showEvent(QShowEvent *event)
{
    if (!m_scaled && !event->spontaneous()) {
        m_scaled = true;
        AppUiFont.ApplyToForm(this);
    }
    QDialog::showEvent(event);
}
