#pragma once

#include "RulerPainter.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmMenChi2;
}

// "门公、丁兰尺": reads an object's length (cm) on the 门公尺 and the 丁兰尺 with their texts, and shows both
// rulers under a sliding 50-cm scale whose pointer can be dragged. The ruler lengths come from dat/set.ini.
class TFrmMenChi2 : public QDialog {
    Q_OBJECT
public:
    explicit TFrmMenChi2(QWidget *parent = nullptr);
    ~TFrmMenChi2() override;

    // Reads LedtIn; false (with a message) for a text that is not a length of 0..9999 cm.
    bool BtoCalClick();
    void BtnHelpClick();
    // Sets the length and shows its reading and its stretch of the scale.
    void SetLength(double length);

    double Length() const { return m_length; }
    double MenGongLength() const { return m_menGong; }
    double DingLanLength() const { return m_dingLan; }
    const ScaleGeometry &Geometry() const { return m_geometry; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readRulerLengths();
    void drawScale();
    bool scaleMouse(QEvent *event);

    std::unique_ptr<Ui::TFrmMenChi2> ui;
    double m_menGong = kMenGongDefault;
    double m_dingLan = kDingLanDefault;
    double m_length = 18.8;
    ScaleGeometry m_geometry;
    bool m_dragging = false;
    int m_lastX = 0;
};
