#pragma once

#include "WnlMonth.h"

#include <QWidget>

#include <memory>

namespace Ui {
class TFrmWnl;
}

// "万年历": the month grid from 4713 BC to AD 9999 with the lunar date of every day, the month's solar terms,
// the pillars of the chosen moment and the era names of its year. Shown years have no year 0. Kept open
// beside the main window.
class TFrmWnl : public QWidget {
    Q_OBJECT
public:
    explicit TFrmWnl(QWidget *parent = nullptr);
    ~TFrmWnl() override;

    // Shows the month of `date` (astronomical year) with the date selected; a day the month does not have
    // becomes the 15th.
    void SetDate(const TDateRec &date);
    // Builds and draws the month of the controls; false (with a message) for a year or day that does not exist.
    bool DrawMonth();
    void BitBtn2Click(); // previous month
    void BitBtn1Click(); // next month
    void BtoNowClick();
    bool EdtYearEnter();
    // A left click on the grid picture at `at` (picture coordinates).
    void ImgClick(QPoint at);

    const WnlMonthData &Month() const { return m_month; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setYear(int shownYear);
    void stepMonth(bool forward);
    void repaintGrid();

    std::unique_ptr<Ui::TFrmWnl> ui;
    WnlCalendar m_calendar;
    WnlMonthData m_month;
};
