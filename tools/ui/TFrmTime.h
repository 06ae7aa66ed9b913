#pragma once

#include "DateRec.h"

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class TFrmTime;
}

// "宅主生日": the owner's birth date and time, Gregorian or lunar (with its leap-month flag). Edits the caller's
// birth block in place on 确定; 取消 leaves it untouched. Only the year is checked (3..9999); the chart engine
// checks the date when it uses it.
class TFrmTime : public QDialog {
    Q_OBJECT
public:
    TFrmTime(TDateRec &date, uint8_t &lunar, uint8_t &leap, QWidget *parent = nullptr);
    ~TFrmTime() override;

    void SpeedButton1Click(); // now
    void BtnokClick();

    static constexpr int kMinYear = 3;
    static constexpr int kMaxYear = 9999;

private:
    void FormShow();

    std::unique_ptr<Ui::TFrmTime> ui;
    TDateRec &m_date;
    uint8_t &m_lunar;
    uint8_t &m_leap;
};
