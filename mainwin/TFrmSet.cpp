#include "TFrmSet.h"

#include "ui_TFrmSet.h"

#include "ChartSettings.h"
#include "DoorRuler.h"
#include "FormUtil.h"
#include "IniFile.h"
#include "MUiFont.h"
#include "Prompts.h"

#include <QApplication>
#include <QCloseEvent>

#include <cmath>

namespace {

const QString kSet = QStringLiteral("set");
constexpr int kDefaultItem = 10; // "0(默认)"

} // namespace

TFrmSet::TFrmSet(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmSet>())
{
    ui->setupUi(this);
    QFont f = font();
    f.setPointSizeF(10.5);
    setFont(f);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrmSet::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button1, &QPushButton::clicked, this, &TFrmSet::Button1Click);
}

TFrmSet::~TFrmSet() = default;

void TFrmSet::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmSet::closeEvent(QCloseEvent *event)
{
    m_ini.reset();
    QDialog::closeEvent(event);
}

void TFrmSet::FormShow()
{
    m_ini = std::make_unique<IniFile>(ChartSettingsPath());
    const ChartSettings s = ReadChartSettings();
    ui->LedtLeft->setText(QString::number(s.ileft));
    SetRadioIndex(ui->GrpLiuNian, s.liunian);
    SetRadioIndex(ui->GrpFuWei, s.fuwei);
    ui->LabMenGong->setText(s.mengong);
    ui->LabDingLan->setText(s.dinglan);
    SetRadioIndex(ui->RdoCoord, s.iCoord);
    ui->LedtJian->setText(s.fJianText);
    ui->ChkZhouTian->setChecked(s.bZhouTian);
    ui->ChkHint->setChecked(s.bWuHint);
    SetRadioIndex(ui->RdoTilt, s.iTilt);
    ui->ChkChengMen->setChecked(s.bChengMen);
    SetRadioIndex(ui->RdoDayStar, s.dayStar);
    fillFontSizes(s.iFontSizeVar);
    ui->ChkMenuSize->setChecked(s.bChangeMenuSize);
}

int TFrmSet::FontSizeOfItem(const QString &text)
{
    QString t = text.trimmed();
    const qsizetype paren = t.indexOf(QLatin1Char('('));
    if (paren > 0)
        t = t.left(paren);
    bool ok = false;
    const int v = t.trimmed().toInt(&ok, 10);
    return ok ? v : 0;
}

void TFrmSet::fillFontSizes(int stored)
{
    QComboBox *cbo = ui->CboUiSize;
    cbo->clear();
    for (int d = 10; d >= 1; --d)
        cbo->addItem(QStringLiteral("+%1").arg(d));
    cbo->addItem(QStringLiteral("0(默认)"));
    for (int d = -1; d >= -10; --d)
        cbo->addItem(QString::number(d));

    const int r = AppUiFont.RecommendedDelta(this);
    const QString recommended = QStringLiteral("(推荐)");
    if (r >= -10 && r <= 10)
        cbo->setItemText(kDefaultItem - r, cbo->itemText(kDefaultItem - r) + recommended);
    else
        cbo->addItem(QString::number(r) + recommended);

    int selected = -1;
    for (int i = 0; i < cbo->count(); ++i) {
        if (FontSizeOfItem(cbo->itemText(i)) == stored) {
            selected = i;
            break;
        }
    }
    if (selected < 0) {
        cbo->addItem(QString::number(stored));
        selected = cbo->count() - 1;
    }
    cbo->setCurrentIndex(selected);
}

void TFrmSet::message(const QString &text)
{
    Prompts::instance().inform(QApplication::applicationDisplayName(), text);
}

void TFrmSet::BitBtn1Click()
{
    if (!m_ini)
        m_ini = std::make_unique<IniFile>(ChartSettingsPath());
    bool ok = false;
    int left = ui->LedtLeft->text().trimmed().toInt(&ok, 10);
    if (!ok)
        left = -1;
    if (left < 0) {
        message(QStringLiteral("文本左边距离不能小于0"));
        ui->LedtLeft->setFocus();
        return;
    }
    double jian = ui->LedtJian->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(jian))
        jian = 0;
    if (jian < 1.0 || jian > 7.0) {
        message(QStringLiteral("请输入合适的度数，超过这个度数山向要考虑兼向！"));
        ui->LedtJian->setFocus();
        return;
    }
    // The door rulers take no other lengths: a length they cannot use is refused here, not replaced there.
    const std::pair<QLineEdit *, QString> rulers[] = {{ui->LabMenGong, QStringLiteral("门公尺")},
                                                      {ui->LabDingLan, QStringLiteral("丁兰尺")}};
    for (const auto &[edit, ruler] : rulers) {
        if (!IsRulerLength(edit->text())) {
            message(QStringLiteral("%1长度范围：%2-%3，长度单位是厘米！").arg(ruler).arg(kMinRulerLength).arg(kMaxRulerLength));
            edit->setFocus();
            return;
        }
    }

    IniFile &ini = *m_ini;
    // The fourteen keys reach the file together or not at all: a half-saved set would mix old and new options.
    const bool written = ini.Update([&] {
        ini.WriteInteger(kSet, QStringLiteral("ileft"), left);
        ini.WriteString(kSet, QStringLiteral("fJian"), ui->LedtJian->text().trimmed());
        ini.WriteInteger(kSet, QStringLiteral("liunian"), RadioIndex(ui->GrpLiuNian));
        ini.WriteInteger(kSet, QStringLiteral("fuwei"), RadioIndex(ui->GrpFuWei));
        ini.WriteString(kSet, QStringLiteral("mengong"), ui->LabMenGong->text());
        ini.WriteString(kSet, QStringLiteral("dinglan"), ui->LabDingLan->text());
        ini.WriteInteger(kSet, QStringLiteral("iCoord"), RadioIndex(ui->RdoCoord));
        ini.WriteBool(kSet, QStringLiteral("bZhouTian"), ui->ChkZhouTian->isChecked());
        ini.WriteBool(kSet, QStringLiteral("bWuHint"), ui->ChkHint->isChecked());
        ini.WriteInteger(kSet, QStringLiteral("iTilt"), RadioIndex(ui->RdoTilt));
        ini.WriteBool(kSet, QStringLiteral("bChengMen"), ui->ChkChengMen->isChecked());
        ini.WriteInteger(kSet, QStringLiteral("dayStar"), RadioIndex(ui->RdoDayStar));
        ini.WriteInteger(kSet, QStringLiteral("iFontSizeVar"), FontSizeOfItem(ui->CboUiSize->currentText()));
        ini.WriteBool(kSet, QStringLiteral("bChangeMenuSize"), ui->ChkMenuSize->isChecked());
    });
    if (!written) {
        // Telling the user the settings were kept when the file could not be written would lose them silently.
        Prompts::instance().error(QStringLiteral("错误"), QStringLiteral("无法保存软件设置：\n") + ini.lastError());
        return;
    }
    message(QStringLiteral("已经保存软件设置的修改，请重新排盘！"));
    accept();
}

void TFrmSet::Button1Click()
{
    SetRadioIndex(ui->GrpLiuNian, 0);
    SetRadioIndex(ui->RdoCoord, 1);
    SetRadioIndex(ui->GrpFuWei, 0);
    ui->LabMenGong->setText(QStringLiteral("46.08"));
    ui->LabDingLan->setText(QStringLiteral("38.78"));
    ui->LedtJian->setText(QStringLiteral("4.5"));
    ui->LedtLeft->setText(QStringLiteral("0"));
    ui->ChkZhouTian->setChecked(false);
    ui->ChkHint->setChecked(false);
    SetRadioIndex(ui->RdoTilt, 0);
    ui->ChkChengMen->setChecked(true);
    ui->ChkMenuSize->setChecked(false);
    ui->CboUiSize->setCurrentIndex(kDefaultItem);
    SetRadioIndex(ui->RdoDayStar, 0);
}
