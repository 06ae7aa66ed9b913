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
    // Each verdict is a paragraph of its own; rules set off the facing, the years and months, and the days
    // and hours from the auspicious hours that close the text.
    const auto paragraph = [](int id) {
        QString t = LoadStr(id);
        if (!t.endsWith(QLatin1Char('\n')))
            t += QLatin1Char('\n');
        return t;
    };
    const QString rule = kRule + QLatin1Char('\n');
    QString text = paragraph(base) + paragraph(base + 1) + rule + paragraph(base + 2) + paragraph(base + 3) + rule;
    const int more = HasLongText(mountain) ? 4 : 2;
    for (int i = 0; i < more; ++i) {
        text += paragraph(base + 4 + i);
        if (i % 2 == 1 && i + 1 < more)
            text += QLatin1Char('\n');
    }
    text += rule + LoadStr(1339) + QStringLiteral("\n\n");
    return text;
}
