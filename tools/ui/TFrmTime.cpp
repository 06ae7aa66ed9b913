#include "TFrmTime.h"

#include "ui_TFrmTime.h"

#include "DateTimeLists.h"

#include "LunarText.h"
#include "Prompts.h"
#include "WnlMonth.h"

#include <QDateTime>

TFrmTime::TFrmTime(TDateRec &date, uint8_t &lunar, uint8_t &leap, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmTime>()), m_date(date), m_lunar(lunar), m_leap(leap)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->Updyear->setRange(-4712, kMaxYear);
    connect(ui->Updyear, &UpDown::changed, this,
            [this](int year) { ui->Edtyear->setText(QString::number(ShownYearOfAstro(year))); });
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TFrmTime::SpeedButton1Click);
    connect(ui->Btnok, &QPushButton::clicked, this, &TFrmTime::BtnokClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    FormShow();
}

TFrmTime::~TFrmTime() = default;

void TFrmTime::FormShow()
{
    FillDateTimeLists(ui->cbom, ui->cbod, ui->cbos, ui->cbomin);
    ui->Chkrun->setChecked(m_leap != 0);
    ui->Rdonl->setChecked(m_lunar != 0);
    ui->Rdogl->setChecked(m_lunar == 0);
    ui->Edtyear->setText(QString::number(ShownYearOfAstro(m_date.year)));
    ui->Updyear->setPosition(m_date.year);
    if (m_date.month < 1) { // no birth date yet
        ui->cbom->setCurrentIndex(5);
        ui->cbod->setCurrentIndex(0);
        ui->cbos->setCurrentIndex(12);
        ui->cbomin->setCurrentIndex(0);
    } else {
        ui->cbom->setCurrentIndex(qBound(0, m_date.month - 1, 11));
        ui->cbod->setCurrentIndex(qBound(0, m_date.day - 1, 30));
        ui->cbos->setCurrentIndex(qBound(0, int(m_date.hour), 23));
        ui->cbomin->setCurrentIndex(qBound(0, int(m_date.minute), 59));
    }
}

void TFrmTime::SpeedButton1Click()
{
    const QDateTime now = QDateTime::currentDateTime();
    const int year = now.date().year();
    if (year < -4713 || year > kMaxYear)
        return;
    ui->Edtyear->setText(QString::number(year));
    ui->Updyear->setPosition(year);
    ui->cbom->setCurrentIndex(now.date().month() - 1);
    ui->cbod->setCurrentIndex(now.date().day() - 1);
    ui->cbos->setCurrentIndex(now.time().hour());
    ui->cbomin->setCurrentIndex(now.time().minute());
    ui->Rdogl->setChecked(true);
    ui->Chkrun->setChecked(false);
}

void TFrmTime::BtnokClick()
{
    bool ok = false;
    int year = ui->Edtyear->text().trimmed().toInt(&ok);
    if (!ok)
        year = 0;
    if (year < kMinYear || year > kMaxYear) {
        Prompts::instance().error(QStringLiteral("日期错误"), QStringLiteral("年份必须在3到9999年之间"));
        ui->Edtyear->setFocus();
        return;
    }
    m_date.year = int16_t(year);
    m_lunar = ui->Rdonl->isChecked() ? 1 : 0;
    m_leap = ui->Chkrun->isChecked() ? 1 : 0;
    m_date.month = int16_t(ui->cbom->currentIndex() + 1);
    m_date.day = int16_t(ui->cbod->currentIndex() + 1);
    m_date.hour = int16_t(ui->cbos->currentIndex());
    m_date.minute = int16_t(ui->cbomin->currentIndex());
    accept();
}
