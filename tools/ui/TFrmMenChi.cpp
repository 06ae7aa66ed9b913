#include "TFrmMenChi.h"

#include "ui_TFrmMenChi.h"

#include "DoorRuler.h"
#include "Prompts.h"
#include "Resources.h"
#include "RulerPainter.h"

#include <QMenu>
#include <QScreen>

#include <cmath>

TFrmMenChi::TFrmMenChi(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmMenChi>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    if (const QScreen *s = screen()) {
        const QRect avail = s->availableGeometry();
        resize(avail.width() - 2, height());
        move(avail.left() + 1, y());
    }
    m_popup = new QMenu(this);
    auto add = [this](const char *name, const QString &text, auto slot) {
        QAction *a = m_popup->addAction(text, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    add("pmnuzm", QStringLiteral("门尺正面"), [this] { SetFace(true); });
    add("pmnubei", QStringLiteral("门尺背面"), [this] { SetFace(false); });
    m_popup->addSeparator();
    add("pmnucun", QStringLiteral("物件长度(单位:寸)"), [this] { AskLength(false); });
    add("pmnuli", QStringLiteral("物件长度(单位:厘米)"), [this] { AskLength(true); });
    connect(ui->imgmc, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_popup->popup(ui->imgmc->mapToGlobal(at)); });
    ui->imgmc->installEventFilter(this);
}

TFrmMenChi::~TFrmMenChi() = default;

void TFrmMenChi::SetFace(bool front)
{
    m_front = front;
    DrawRuler();
}

bool TFrmMenChi::AskLength(bool centimetres)
{
    const QString label = centimetres ? QStringLiteral("请输入物件长度，以厘米为单位。")
                                      : QStringLiteral("请输入物件长度，以寸为单位。");
    const auto text = Prompts::instance().inputText(QStringLiteral("物件长度"), label,
                                                    QString::asprintf("%0.2f", m_length));
    if (!text)
        return false;
    const QString t = text->trimmed();
    if (t.isEmpty() || t.size() > 8) {
        Prompts::instance().error(QStringLiteral("错误"), QStringLiteral("数字长度在1-8位"));
        return false;
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0) {
        Prompts::instance().error(QStringLiteral("长度错误"), QStringLiteral("物件长度应为正数"));
        return false;
    }
    m_centimetres = centimetres;
    m_length = value;
    DrawRuler();
    return true;
}

void TFrmMenChi::DrawRuler()
{
    QImage &picture = ui->imgmc->Picture();
    const QSize size = ui->imgmc->size().expandedTo(QSize(320, 120));
    if (picture.size() != size)
        picture = QImage(size, QImage::Format_RGB32);
    const int base = m_front ? 110 : 120;
    // The face's entry holds its eight palace names separated by blanks.
    const QStringList nameList = LoadStr(base).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList verses;
    for (int i = 0; i < 8; ++i)
        verses << LoadStr(base + 1 + i);
    DrawEightPalaceRuler(picture, m_front, nameList, verses, palette().color(QPalette::Window));
    const int palace = PalaceOfLength(m_length, m_centimetres);
    ui->labface->setText(QString::asprintf("长度%0.2f", m_length) +
                         (m_centimetres ? QStringLiteral("厘米") : QStringLiteral("寸")) +
                         QStringLiteral("对应%1宫").arg(palace + 1));
    ui->labface->adjustSize();
    ui->labface->move(EightPalaceLeft(picture.width(), palace) + 4, 8);
    ui->imgmc->update();
}

bool TFrmMenChi::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->imgmc && event->type() == QEvent::Resize)
        DrawRuler();
    return QDialog::eventFilter(watched, event);
}
