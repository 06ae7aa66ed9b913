#include "TFrmFenLei.h"

#include "ui_TFrmFenLei.h"

#include "CaseDialogText.h"
#include "CleanName.h"
#include "Prompts.h"

#include <QLayout>
#include <QLineEdit>
#include <QShowEvent>

namespace {
constexpr int kMaxClassChars = 13;
} // namespace

TFrmFenLei::TFrmFenLei(const QStringList &classes, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmFenLei>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    ui->CboFenLei->addItems(classes);
    ui->CboFenLei->lineEdit()->setMaxLength(kMaxClassChars);
    connect(ui->Btnok, &QPushButton::clicked, this, &TFrmFenLei::BtnokClick);
    connect(ui->Btnno, &QPushButton::clicked, this, &QDialog::reject);
}

TFrmFenLei::~TFrmFenLei() = default;

void TFrmFenLei::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && ui->CboFenLei->count() > 0)
        ui->CboFenLei->setCurrentIndex(0);
    QDialog::showEvent(event);
}

void TFrmFenLei::BtnokClick()
{
    // A name typed or pasted with control characters is taken without them, as every name is stored.
    QString text = TrimBlanks(ui->CboFenLei->currentText());
    RemoveControlCharacters(text);
    if (!text.isEmpty() && ui->CboFenLei->findText(text, Qt::MatchExactly) >= 0) {
        m_chosen = text;
        accept();
        return;
    }
    Prompts::instance().error(QStringLiteral("错误"),
                              QStringLiteral("请输入已经存在的类别名！如果要增加一个新的类别，"
                                             "请在案例列表上按鼠标右键，点“编辑类别”，再点“增加”！"));
}
