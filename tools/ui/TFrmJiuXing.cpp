#include "TFrmJiuXing.h"

#include "ChartSettings.h"

#include "ui_TFrmJiuXing.h"

#include "DateTimeLists.h"

#include "FormUtil.h"
#include "LunarText.h"
#include "MUiFont.h"
#include "PictureCommands.h"
#include "PictureOutput.h"
#include "Prompts.h"
#include "Resources.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMenu>

TFrmJiuXing::TFrmJiuXing(QWidget *parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TFrmJiuXing>())
{
    ui->setupUi(this);
    AppUiFont.ApplyToForm(this, {QStringLiteral("img")});
    fillLists();
    ui->UpDyear->setRange(MJiuXing::kMinYear, MJiuXing::kMaxYear);
    ui->Memo1->setPlainText(LoadText(QStringLiteral("jiuxing")));
    m_engine.SetImage(&ui->img->Picture());

    m_popup = new QMenu(this);
    m_popup->addAction(QStringLiteral("复制"), this, [this] { PictureOutput::Copy(ui->img->Picture()); });
    m_popup->addAction(QStringLiteral("另存为..."), this,
                       [this] { SavePicture(ui->img->Picture(), windowTitle()); });
    m_popup->addAction(QStringLiteral("打印"), this, [this] { PrintPicture(ui->img->Picture()); });
    connect(ui->img, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_popup->popup(ui->img->mapToGlobal(at)); });

    auto run = [this] { BtoRunClick(); };
    for (QComboBox *c : {ui->cbom, ui->cbod, ui->cbos, ui->cbomin, ui->CboColor})
        connect(c, &QComboBox::activated, this, run);
    connect(ui->UpDyear, &UpDown::changed, this, [this](int year) {
        ui->EdtYear->setText(QString::number(year));
        BtoRunClick();
    });
    connect(ui->ChkStar, &QListWidget::itemChanged, this, run);
    connect(ui->ChkState, &QCheckBox::clicked, this, run);
    connect(ui->BtoRun, &QPushButton::clicked, this, run);
    connect(ui->SbtoNow, &QToolButton::clicked, this, &TFrmJiuXing::SbtoNowClick);
    connect(ui->Button1, &QPushButton::clicked, this, &TFrmJiuXing::Button1Click);
    ui->EdtYear->installEventFilter(this);
    ui->img->installEventFilter(this);

    resizePicture();
    SbtoNowClick();
}

TFrmJiuXing::~TFrmJiuXing() = default;

void TFrmJiuXing::fillLists()
{
    FillDateTimeLists(ui->cbom, ui->cbod, ui->cbos, ui->cbomin);
}

void TFrmJiuXing::SetDate(const TDateRec &date)
{
    ui->EdtYear->setText(QString::number(date.year));
    ui->UpDyear->setPosition(date.year);
    ui->cbom->setCurrentIndex(date.month - 1);
    ui->cbod->setCurrentIndex(date.day - 1);
    ui->cbos->setCurrentIndex(date.hour);
    ui->cbomin->setCurrentIndex(date.minute);
}

void TFrmJiuXing::SbtoNowClick()
{
    const QDateTime now = QDateTime::currentDateTime();
    int year = now.date().year();
    if (year < MJiuXing::kMinYear || year > MJiuXing::kMaxYear)
        year = 2100;
    SetDate({int16_t(year), int16_t(now.date().month()), int16_t(now.date().day()), int16_t(now.time().hour()),
             int16_t(now.time().minute())});
    BtoRunClick();
}

bool TFrmJiuXing::BtoRunClick()
{
    bool ok = false;
    int year = ui->EdtYear->text().trimmed().toInt(&ok);
    if (!ok)
        year = 0;
    if (year < MJiuXing::kMinYear || year > MJiuXing::kMaxYear) {
        Prompts::instance().warn(windowTitle(), QStringLiteral("输入年份在100-3000年之间！"));
        ui->EdtYear->clear();
        ui->EdtYear->setFocus();
        return false;
    }
    ui->UpDyear->setPosition(year);
    JiuXingView view;
    bool any = false;
    for (int i = 0; i < kJiuXingCharts; ++i) {
        view.selection[i] = IsItemChecked(ui->ChkStar, i);
        any |= view.selection[i];
    }
    if (!any) {
        Prompts::instance().warn(windowTitle(), QStringLiteral("至少选择一个要显示的九星类别！"));
        return false;
    }
    view.colourMode = qMax(0, ui->CboColor->currentIndex());
    view.showState = ui->ChkState->isChecked();
    view.fontSize = qMax(6, font().pointSize());
    m_engine.SetView(view);
    const int method = ReadChartSettings().dayStar;
    m_engine.SetDayStarMethod(method == 1 ? DayStarMethod::SanYuanJiaZi : DayStarMethod::SolarTerm);

    const TDateRec date{int16_t(year), int16_t(ui->cbom->currentIndex() + 1), int16_t(ui->cbod->currentIndex() + 1),
                        int16_t(ui->cbos->currentIndex()), int16_t(ui->cbomin->currentIndex())};
    if (!m_engine.Compute(date, true)) {
        Prompts::instance().warn(windowTitle(), m_engine.Message());
        return false;
    }
    m_summary = false;
    ui->img->update();
    return true;
}

void TFrmJiuXing::Button1Click()
{
    if (!BtoRunClick())
        return;
    m_engine.DrawSummary(ui->img->Picture());
    m_summary = true;
    ui->img->update();
}

void TFrmJiuXing::resizePicture()
{
    const QSize size = ui->img->size().expandedTo(QSize(300, 300));
    QImage &picture = ui->img->Picture();
    if (picture.size() == size)
        return;
    picture = QImage(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
}

bool TFrmJiuXing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->EdtYear && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BtoRunClick();
            return true;
        }
    }
    if (watched == ui->img && event->type() == QEvent::Resize) {
        resizePicture();
        // Redraw what was shown at the new size; the last result stays valid.
        if (m_engine.Results().gregorian.year != 0) {
            if (m_summary)
                m_engine.DrawSummary(ui->img->Picture());
            else
                m_engine.Compute(m_engine.Results().gregorian, true);
        }
    }
    return QWidget::eventFilter(watched, event);
}
