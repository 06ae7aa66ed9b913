#pragma once

#include <QDialog>

#include <memory>

class QMenu;
namespace Ui {
class TFrmMenChi;
}

// "门尺占（功能看右键）": the eight-palace door ruler, front or back, and the palace an object's length falls in.
// The popup menu switches the face and asks for a length in 寸 or in centimetres.
class TFrmMenChi : public QDialog {
    Q_OBJECT
public:
    explicit TFrmMenChi(QWidget *parent = nullptr);
    ~TFrmMenChi() override;

    void DrawRuler();
    void SetFace(bool front);
    // Asks for a length in the unit; false when cancelled or refused (with a message).
    bool AskLength(bool centimetres);

    double Length() const { return m_length; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::TFrmMenChi> ui;
    QMenu *m_popup = nullptr;
    bool m_front = true;
    bool m_centimetres = true;
    double m_length = 1.0;
};
