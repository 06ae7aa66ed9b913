#include "TFrmSetPen.h"

#include "ui_TFrmSetPen.h"

#include "Prompts.h"

#include <QPainter>
#include <QShowEvent>

TFrmSetPen::TFrmSetPen(QPen &pen, QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmSetPen>()), m_pen(pen)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->CboStyle->addItems({QStringLiteral("Solid"), QStringLiteral("Dash"), QStringLiteral("Dot"),
                            QStringLiteral("DashDot"), QStringLiteral("DashDotDot"), QStringLiteral("Clear"),
                            QStringLiteral("InsideFrame")});
    for (int w = 1; w <= 80; ++w)
        ui->CboWidth->addItem(QString::number(w));
    ui->Img->Picture() = QImage(ui->Img->minimumSize(), QImage::Format_RGB32);

    connect(ui->CboStyle, &QComboBox::activated, this, [this](int index) {
        m_preview.setStyle(StyleOfIndex(index));
        DrawPreview();
    });
    connect(ui->CboWidth, &QComboBox::activated, this, [this](int index) {
        m_preview.setWidth(index + 1);
        DrawPreview();
    });
    connect(ui->BtnColor, &QPushButton::clicked, this, &TFrmSetPen::BtnColorClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrmSetPen::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TFrmSetPen::~TFrmSetPen() = default;

int TFrmSetPen::StyleIndex(const QPen &pen)
{
    switch (pen.style()) {
    case Qt::DashLine:
        return 1;
    case Qt::DotLine:
        return 2;
    case Qt::DashDotLine:
        return 3;
    case Qt::DashDotDotLine:
        return 4;
    case Qt::NoPen:
        return 5;
    default:
        return 0;
    }
}

Qt::PenStyle TFrmSetPen::StyleOfIndex(int index)
{
    static constexpr Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DashLine, Qt::DotLine,  Qt::DashDotLine,
                                              Qt::DashDotDotLine, Qt::NoPen,    Qt::SolidLine};
    return index >= 0 && index < 7 ? styles[index] : Qt::SolidLine;
}

void TFrmSetPen::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmSetPen::FormShow()
{
    m_preview = m_pen;
    ui->CboStyle->setCurrentIndex(StyleIndex(m_pen));
    ui->CboWidth->setCurrentIndex(qBound(1, m_pen.width(), 80) - 1);
    DrawPreview();
}

void TFrmSetPen::DrawPreview()
{
    QImage &img = ui->Img->Picture();
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(m_preview);
    const int y = img.height() / 2;
    p.drawLine(3, y, img.width() - 3, y);
    p.end();
    ui->Img->update();
}

void TFrmSetPen::BtnColorClick()
{
    if (const auto colour = Prompts::instance().chooseColour(windowTitle(), m_preview.color())) {
        m_preview.setColor(*colour);
        DrawPreview();
    }
}

void TFrmSetPen::BitBtn1Click()
{
    m_pen = m_preview;
    accept();
}
