#include "TFrmSearch.h"

#include "ui_TFrmSearch.h"

#include "CaseDialogText.h"
#include "MRecordBase.h"
#include "NameTables.h"
#include "Prompts.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QShowEvent>

namespace {

const QString kYearError = QStringLiteral("年份错误");

// Typed years have no year 0 (-1 is 1 BC); stored years are astronomical (0 is 1 BC).
int StoredYear(int typed) { return typed < 0 ? typed + 1 : typed; }
int ShownYear(int stored) { return stored < 1 ? stored - 1 : stored; }

// A typed year; a text that is not a number reads as -1000, outside every allowed range.
int TypedYear(const QString &text)
{
    bool ok = false;
    const int y = text.trimmed().toInt(&ok);
    return ok ? y : -1000;
}

bool YearAllowed(int y) { return y >= -850 && y <= 2100 && y != 0; }

} // namespace

TFrmSearch::TFrmSearch(MRecordBase &db, CommentTexts &comments, TSearchData &data, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmSearch>()), m_db(db), m_comments(comments), m_data(data)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->CboClass->lineEdit()->setMaxLength(20);
    m_sex = new QButtonGroup(this);
    m_sex->addButton(ui->RdoSex_0, 0);
    m_sex->addButton(ui->RdoSex_1, 1);
    m_sex->addButton(ui->RdoSex_2, 2);
    connect(ui->BtoAll, &QPushButton::clicked, this, &TFrmSearch::BtoAllClick);
    connect(ui->BtnSearch, &QPushButton::clicked, this, &TFrmSearch::BtnSearchClick);
    connect(ui->BtoCancel, &QPushButton::clicked, this, &TFrmSearch::BtoCancelClick);
}

TFrmSearch::~TFrmSearch() = default;

void TFrmSearch::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmSearch::FormShow()
{
    QStringList classes;
    m_db.ReadClasses(classes);
    ui->CboClass->clear();
    ui->CboClass->addItems(classes);
    ui->CboClass->setEditText(QString());
    ui->CboProv->clear();
    ui->CboProv->addItem(QStringLiteral("全部省份"));
    for (std::string_view name : ShengFenName)
        ui->CboProv->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    const int prov = m_data.province + 1;
    ui->CboProv->setCurrentIndex(prov >= 0 && prov < ui->CboProv->count() ? prov : 0);
    ui->CboProv->hide();

    m_sex->button(m_data.sexOn ? (m_data.sex ? 1 : 2) : 0)->setChecked(true);
    ui->LedtY1->setText(m_data.yearOn ? QString::number(ShownYear(m_data.yearFrom)) : QString());
    ui->LedtY2->setText(m_data.yearOn ? QString::number(ShownYear(m_data.yearTo)) : QString());
    ui->ChkName->setChecked(m_data.nameMode == 2);
    ui->EdtName->setText(m_data.nameMode != 0 ? m_data.name : QString());
    ui->ChkClass->setChecked(m_data.classMode == 2);
    ui->CboClass->setEditText(m_data.classMode != 0 ? m_data.category : QString());
    ui->EdtComment->setText(m_data.commentOn ? m_data.comment : QString());
    m_tag = 0;
}

void TFrmSearch::BtoAllClick()
{
    if (Prompts::instance().message(QStringLiteral("提示"), QStringLiteral("这将清除所有输入的条件参数，确定吗？"),
                                    Prompts::Icon::Information, Prompts::Buttons::YesNo) == Prompts::Answer::No)
        return;
    ui->RdoSex_0->setChecked(true);
    ui->LedtY1->clear();
    ui->LedtY2->clear();
    ui->ChkName->setChecked(false);
    ui->ChkClass->setChecked(false);
    ui->EdtName->clear();
    ui->CboClass->setEditText(QString());
    ui->EdtComment->clear();
    ui->CboProv->setCurrentIndex(0);
}

// The typed conditions into data; false, with the reason shown, for a bad year range.
bool TFrmSearch::readConditions(TSearchData &data)
{
    data.province = int16_t(ui->CboProv->currentIndex() - 1);
    const int sex = qMax(0, m_sex->checkedId());
    data.sexOn = sex != 0;
    if (data.sexOn)
        data.sex = sex == 1 ? 1 : 0;

    const QString y1 = ui->LedtY1->text(), y2 = ui->LedtY2->text();
    data.yearOn = !(y1.isEmpty() && y2.isEmpty());
    if (data.yearOn) {
        const int from = TypedYear(y1), to = TypedYear(y2);
        if (!YearAllowed(from) || !YearAllowed(to)) {
            Prompts::instance().warn(kYearError, QStringLiteral("年份必须在-850到2100年之间，并且没有公元0年\n"
                                                                "注意：公元前用负数，比如公元前120年，就输入-120"));
            return false;
        }
        if (to < from) {
            Prompts::instance().warn(kYearError, QStringLiteral("结束年必须大于或等于起始年"));
            return false;
        }
        data.yearFrom = int16_t(StoredYear(from));
        data.yearTo = int16_t(StoredYear(to));
    }

    auto textCondition = [](const QString &typed, bool whole, QString &text, uint8_t &mode) {
        const QString t = TrimBlanks(typed);
        mode = t.isEmpty() ? 0 : (whole ? 2 : 1);
        if (mode != 0)
            text = t;
    };
    textCondition(ui->EdtName->text(), ui->ChkName->isChecked(), data.name, data.nameMode);
    textCondition(ui->CboClass->currentText(), ui->ChkClass->isChecked(), data.category, data.classMode);
    data.comment = TrimBlanks(ui->EdtComment->text());
    data.commentOn = !data.comment.isEmpty();
    return true;
}

void TFrmSearch::setBusy(bool busy)
{
    ui->BtoAll->setEnabled(!busy);
    ui->BtnSearch->setEnabled(!busy);
    ui->BtoCancel->setEnabled(!busy);
    ui->Animate1->setVisible(busy);
}

void TFrmSearch::BtnSearchClick()
{
    TSearchData data = m_data;
    if (!readConditions(data))
        return;
    m_data = data;
    if (m_db.GetPrimaryId() == 0) {
        ShowPlainMessage(QStringLiteral("没有记录，无从查找。"));
        return;
    }
    setBusy(true);
    QString message;
    const bool ok = Search(m_db, m_data, m_comments, m_found, message);
    setBusy(false);
    if (!ok) {
        Prompts::instance().error(QStringLiteral("错误"), message);
        return;
    }
    if (m_found.empty()) {
        Prompts::instance().inform(QStringLiteral("信息"), QStringLiteral("没有找到符合条件的命例。"));
        return;
    }
    m_tag = 1;
    accept();
}

void TFrmSearch::BtoCancelClick()
{
    m_tag = 0;
    reject();
}
