#include "TFrmTxtHelp.h"

#include "ui_TFrmTxtHelp.h"

#include "MUiFont.h"
#include "Resources.h"

#include <QShowEvent>

TFrmTxtHelp::TFrmTxtHelp(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmTxtHelp>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->MeoUsage->setPlainText(LoadText(QStringLiteral("help_usage")));
    ui->MeoHistory->setPlainText(LoadText(QStringLiteral("help_history")));
    ui->MeoOthers->setPlainText(LoadText(QStringLiteral("help_tools")));
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
