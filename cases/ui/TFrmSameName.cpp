#include "TFrmSameName.h"

#include "ui_TFrmSameName.h"

#include "CaseDialogText.h"

#include <QShowEvent>

TFrmSameName::TFrmSameName(const QStringList &lines, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmSameName>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->LstRecord->addItems(lines);
    connect(ui->BtnSee, &QPushButton::clicked, this, &TFrmSameName::BtnSeeClick);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->LstRecord, &QListWidget::itemDoubleClicked, this, &TFrmSameName::LstRecordDblClick);
}

TFrmSameName::~TFrmSameName() = default;

void TFrmSameName::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        setWindowTitle(QStringLiteral("%1个案例").arg(ui->LstRecord->count()));
        if (ui->LstRecord->count() > 0) {
            ui->LstRecord->setCurrentRow(0);
            ui->LstRecord->setFocus();
        }
    }
    QDialog::showEvent(event);
}

int TFrmSameName::SelectedLine() const
{
    const QList<QListWidgetItem *> sel = ui->LstRecord->selectedItems();
    return sel.isEmpty() ? -1 : ui->LstRecord->row(sel.first());
}

bool TFrmSameName::ShowAll() const { return ui->ChkShow->isChecked(); }

bool TFrmSameName::ClearList() const { return ui->ChkClear->isChecked(); }

void TFrmSameName::BtnSeeClick()
{
    if (SelectedLine() >= 0) {
        accept();
        return;
    }
    ShowPlainMessage(QStringLiteral("请点击选择要查看的案例！"));
}

void TFrmSameName::LstRecordDblClick() { BtnSeeClick(); }
