#pragma once

#include <QDialog>
#include <QPen>

#include <memory>

namespace Ui {
class TFrmSetPen;
}

// "画笔设置": edits the width, style and colour of the caller's pen, with a preview line.
// Styles are listed in the order the floor-plan pen has always stored them (Solid .. InsideFrame).
class TFrmSetPen : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSetPen(QPen &pen, QWidget *parent = nullptr);
    ~TFrmSetPen() override;

    // The style list index of a pen, and the pen style of a list index (InsideFrame draws as Solid).
    static int StyleIndex(const QPen &pen);
    static Qt::PenStyle StyleOfIndex(int index);

    void FormShow();
    void DrawPreview();
    void BtnColorClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TFrmSetPen> ui;
    QPen &m_pen;
    QPen m_preview;
};
