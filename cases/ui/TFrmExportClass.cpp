#include "TFrmExportClass.h"

#include "ui_TFrmExportClass.h"

#include "CaseDialogText.h"

#include <QShowEvent>

TFrmExportClass::TFrmExportClass(const QStringList &classes, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmExportClass>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (const QString &name : classes) {
        auto *item = new QListWidgetItem(name, ui->LstClass);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    connect(ui->ChkAll, &QCheckBox::clicked, this, &TFrmExportClass::ChkAllClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrmExportClass::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TFrmExportClass::~TFrmExportClass() = default;

void TFrmExportClass::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        ui->ChkAll->setChecked(true);
        checkAll(true);
    }
    QDialog::showEvent(event);
}

void TFrmExportClass::checkAll(bool on)
{
    for (int i = 0; i < ui->LstClass->count(); ++i)
        ui->LstClass->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void TFrmExportClass::ChkAllClick() { checkAll(ui->ChkAll->isChecked()); }

QStringList TFrmExportClass::CheckedClasses() const
{
    QStringList names;
    for (int i = 0; i < ui->LstClass->count(); ++i)
        if (ui->LstClass->item(i)->checkState() == Qt::Checked)
            names << ui->LstClass->item(i)->text();
    return names;
}

bool TFrmExportClass::AllChecked() const { return CheckedClasses().size() == ui->LstClass->count(); }

void TFrmExportClass::BitBtn1Click()
{
    if (!CheckedClasses().isEmpty()) {
        accept();
        return;
    }
    ShowPlainMessage(QStringLiteral("没有选择要导出的类别！"));
}
