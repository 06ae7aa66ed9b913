// The birthday button of the house inputs.
#include "TFrmMain.h"

#include "ui_TFrmMain.h"

#include "TFrmTime.h"

#include <QLineEdit>

void TFrmMain::BtoShengRiClick()
{
    // The dialog edits the case's birth block in place; the birth-year field then shows its year, which the
    // lay-out reads back into the block.
    TFrmTime dialog(m_rec.date, m_rec.lunar, m_rec.leap, this);
    if (dialog.exec() == QDialog::Accepted)
        ui->LedtShengNian->setText(QString::number(m_rec.date.year));
}
