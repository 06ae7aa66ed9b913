#pragma once

#include "MJiuXing.h"

#include <QWidget>

#include <memory>

class QMenu;
namespace Ui {
class TFrmJiuXing;
}

// "紫白九星运行图": the six nine-star charts of a date and hour, with an explanation page. Kept open beside the
// main window; every change of a control recomputes and redraws. The day-star method is read from
// dat/set.ini at every run, so a change in the settings applies at once.
class TFrmJiuXing : public QWidget {
    Q_OBJECT
public:
    explicit TFrmJiuXing(QWidget *parent = nullptr);
    ~TFrmJiuXing() override;

    const MJiuXing &Engine() const { return m_engine; }

    // Computes from the controls and draws; false (with a message) on a bad year, no chart chosen or a date
    // that does not exist.
    bool BtoRunClick();
    void SbtoNowClick();
    void Button1Click(); // the overview of the six charts
    void SetDate(const TDateRec &date);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillLists();
    void resizePicture();

    std::unique_ptr<Ui::TFrmJiuXing> ui;
    MJiuXing m_engine;
    QMenu *m_popup = nullptr;
    bool m_summary = false; // the picture shows the overview rather than the large charts
};
