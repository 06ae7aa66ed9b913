#include "TFrmFeiBu.h"

#include "ui_TFrmFeiBu.h"

#include "MJiuXing.h"
#include "NameTables.h"
#include "WinColor.h"

#include <QPainter>

TFrmFeiBu::TFrmFeiBu(QWidget *parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TFrmFeiBu>())
{
    ui->setupUi(this);
    // 一白 first, 九紫 last.
    for (int star = 1; star <= 9; ++star) {
        const std::string_view name = StarName(star);
        ui->CboZhong->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    }
    ui->CboZhong->setCurrentIndex(0);
    ui->img->Picture() = QImage(ui->img->minimumSize(), QImage::Format_RGB32);
    connect(ui->CboZhong, &QComboBox::activated, this, &TFrmFeiBu::Draw);
    connect(ui->RdoShun, &QRadioButton::clicked, this, &TFrmFeiBu::Draw);
    connect(ui->RdoNi, &QRadioButton::clicked, this, &TFrmFeiBu::Draw);
    Draw();
}

TFrmFeiBu::~TFrmFeiBu() = default;

void TFrmFeiBu::Draw()
{
    const int star = (ui->CboZhong->currentIndex() + 1) % 9;
    const JiuXingChart chart = FlyChart(star, ui->RdoNi->isChecked() ? -1 : 1);
    QImage &img = ui->img->Picture();
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(12);
    p.setFont(font);
    const int c = (img.width() - 1) / 3; // the outer lines stay inside the picture
    const QPoint origin((img.width() - 3 * c) / 2, (img.height() - 3 * c) / 2);
    p.setPen(QPen(WinColorToQColor(0xFF0000), 1)); // blue grid
    for (int k = 0; k <= 3; ++k) {
        p.drawLine(origin + QPoint(0, k * c), origin + QPoint(3 * c - 1, k * c));
        p.drawLine(origin + QPoint(k * c, 0), origin + QPoint(k * c, 3 * c - 1));
    }
    p.setPen(Qt::black);
    for (int i = 0; i < 9; ++i) {
        const std::string_view name = StarName(chart.star[i]);
        p.drawText(QRect(origin + QPoint((i % 3) * c, (i / 3) * c), QSize(c, c)), Qt::AlignCenter,
                   QString::fromUtf8(name.data(), qsizetype(name.size())));
    }
    p.end();
    ui->img->update();
}
