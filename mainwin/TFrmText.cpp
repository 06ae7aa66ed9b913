#include "TFrmText.h"

#include "ui_TFrmText.h"

#include "Resources.h"

namespace {

const QString kRule = QString(71, QLatin1Char('-'));

bool HasLongText(int mountain)
{
    // 艮, 巽, 坤 and 乾 carry two more verdicts than the other mountains.
    return mountain == 4 || mountain == 10 || mountain == 16 || mountain == 22;
}

} // namespace

TFrmText::TFrmText(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmText>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

TFrmText::~TFrmText() = default;

void TFrmText::SetText(const QString &text)
{
    ui->Memo1->setPlainText(text);
}

QString TFrmText::Text() const
{
    return ui->Memo1->toPlainText();
}

QString TFrmText::MountainText(int mountain)
{
    if (mountain < 0 || mountain > 23)
        return {};
    const int base = 1100 + 10 * mountain;
    const QString separator = QLatin1Char('\n') + kRule + QLatin1Char('\n');
    QString text = LoadStr(base) + LoadStr(base + 1) + separator + LoadStr(base + 2) + LoadStr(base + 3) + separator;
    const int more = HasLongText(mountain) ? 4 : 2;
    for (int i = 0; i < more; ++i) {
        text += LoadStr(base + 4 + i);
        if (i % 2 == 1)
            text += QLatin1Char('\n');
    }
    text += kRule + QLatin1Char('\n') + LoadStr(1339) + QStringLiteral("\n\n");
    return text;
}
