#include "TFrmWnl.h"

#include "ui_TFrmWnl.h"

#include "MUiFont.h"
#include "Prompts.h"
#include "WnlPainter.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
QString ForMemo(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
} // namespace

TFrmWnl::TFrmWnl(QWidget *parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TFrmWnl>())
{
    ui->setupUi(this);
    AppUiFont.ApplyToForm(this);
    ui->UpYear->setRange(kWnlFirstYear + 1, kWnlLastYear);
    for (int m = 1; m <= 12; ++m)
        ui->CboM->addItem(QStringLiteral("%1月").arg(m));
    for (int d = 1; d <= 31; ++d)
        ui->CboD->addItem(QStringLiteral("%1日").arg(d));
    for (int h = 0; h < 24; ++h)
        ui->CboH->addItem(QStringLiteral("%1时").arg(h));
    for (int m = 0; m < 60; ++m)
        ui->CboMinute->addItem(QStringLiteral("%1分").arg(m));

    for (QComboBox *c : {ui->CboM, ui->CboD, ui->CboH, ui->CboMinute})
        connect(c, &QComboBox::activated, this, [this] { DrawMonth(); });
    connect(ui->UpYear, &UpDown::changed, this, [this](int astro) {
        ui->EdtYear->setText(QString::number(ShownYearOfAstro(astro)));
        DrawMonth();
    });
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TFrmWnl::BitBtn2Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrmWnl::BitBtn1Click);
    connect(ui->BtoNow, &QPushButton::clicked, this, &TFrmWnl::BtoNowClick);
    ui->EdtYear->installEventFilter(this);
    ui->Img->installEventFilter(this);
    ui->Img->setCursor(Qt::PointingHandCursor);
}

TFrmWnl::~TFrmWnl() = default;

void TFrmWnl::SetDate(const TDateRec &date)
{
    TDateRec d = date;
    if (WnlCheckDate(d) == 0)
        d.day = 15;
    ui->EdtYear->setText(QString::number(ShownYearOfAstro(d.year)));
    ui->UpYear->setPosition(d.year);
    ui->CboM->setCurrentIndex(qBound(0, d.month - 1, 11));
    ui->CboD->setCurrentIndex(qBound(0, d.day - 1, 30));
    ui->CboH->setCurrentIndex(qBound(0, int(d.hour), 23));
    ui->CboMinute->setCurrentIndex(qBound(0, int(d.minute), 59));
    DrawMonth();
}

bool TFrmWnl::DrawMonth()
{
    bool ok = false;
    const int shown = ui->EdtYear->text().trimmed().toInt(&ok);
    WnlCalendar::Error error = WnlCalendar::Error::Year;
    if (ok && shown != 0 && shown >= kWnlFirstYear && shown <= kWnlLastYear) {
        const TDateRec date{int16_t(AstroYearOfShown(shown)), int16_t(ui->CboM->currentIndex() + 1),
                            int16_t(ui->CboD->currentIndex() + 1), int16_t(ui->CboH->currentIndex()),
                            int16_t(ui->CboMinute->currentIndex())};
        error = m_calendar.Build(date, m_month);
    }
    if (error != WnlCalendar::Error::None) {
        if (error == WnlCalendar::Error::Year)
            Prompts::instance().error(WnlCalendar::ErrorTitle(error), WnlCalendar::ErrorText(error));
        else
            Prompts::instance().inform(WnlCalendar::ErrorTitle(error), WnlCalendar::ErrorText(error));
        return false;
    }
    ui->UpYear->setPosition(m_month.date.year);
    ui->LabShow->setText(m_month.labShow);
    ui->MeoTitle->setPlainText(m_month.title);
    ui->MeoGanZhi->setPlainText(ForMemo(m_month.ganzhi));
    ui->MeoJie->setPlainText(ForMemo(m_month.jie));
    repaintGrid();
    return true;
}

void TFrmWnl::repaintGrid()
{
    if (m_month.days.empty())
        return;
    QImage &picture = ui->Img->Picture();
    const QSize size = ui->Img->size().expandedTo(QSize(210, 210));
    if (picture.size() != size)
        picture = QImage(size, QImage::Format_RGB32);
    DrawWnlMonth(picture, m_month, qMax(6, font().pointSize()));
    ui->Img->update();
}

void TFrmWnl::setYear(int shownYear)
{
    ui->EdtYear->setText(QString::number(shownYear));
    ui->UpYear->setPosition(AstroYearOfShown(shownYear));
}

void TFrmWnl::stepMonth(bool forward)
{
    bool ok = false;
    int year = ui->EdtYear->text().trimmed().toInt(&ok);
    if (!ok || year == 0 || year < kWnlFirstYear || year > kWnlLastYear)
        year = m_month.shownYear != 0 ? m_month.shownYear : 1900;
    int month = ui->CboM->currentIndex() + 1;
    if (!(forward ? WnlNextMonth(year, month) : WnlPreviousMonth(year, month)))
        return;
    setYear(year);
    ui->CboM->setCurrentIndex(month - 1);
    ui->CboD->setCurrentIndex(0);
    DrawMonth();
}

void TFrmWnl::BitBtn2Click() { stepMonth(false); }
void TFrmWnl::BitBtn1Click() { stepMonth(true); }

void TFrmWnl::BtoNowClick()
{
    const QDateTime now = QDateTime::currentDateTime();
    if (now.date().year() < kWnlFirstYear || now.date().year() > kWnlLastYear)
        return;
    SetDate({int16_t(now.date().year()), int16_t(now.date().month()), int16_t(now.date().day()),
             int16_t(now.time().hour()), int16_t(now.time().minute())});
}

bool TFrmWnl::EdtYearEnter()
{
    bool ok = false;
    const int shown = ui->EdtYear->text().trimmed().toInt(&ok);
    if (!ok || shown == 0 || shown < kWnlFirstYear || shown > kWnlLastYear) {
        Prompts::instance().error(QStringLiteral("错误"), QStringLiteral("年份在-4713 到 9999之间"));
        ui->EdtYear->setFocus();
        return false;
    }
    return DrawMonth();
}

void TFrmWnl::ImgClick(QPoint at)
{
    const int day = m_month.DayAtCell(WnlCellAt(ui->Img->Picture().size(), at));
    if (day <= 0)
        return;
    ui->CboD->setCurrentIndex(day - 1);
    DrawMonth();
}

bool TFrmWnl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->EdtYear && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EdtYearEnter();
            return true;
        }
    }
    if (watched == ui->Img) {
        if (event->type() == QEvent::Resize)
            repaintGrid();
        if (event->type() == QEvent::MouseButtonPress) {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton)
                ImgClick(me->position().toPoint());
        }
    }
    return QWidget::eventFilter(watched, event);
}
