#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TFrmFeiBu;
}

// "九星飞布图": the Luo Shu flight of the nine stars from a chosen centre star, forward or backward, south at
// the top. Kept open beside the main window.
class TFrmFeiBu : public QWidget {
    Q_OBJECT
public:
    explicit TFrmFeiBu(QWidget *parent = nullptr);
    ~TFrmFeiBu() override;

    void Draw();

private:
    std::unique_ptr<Ui::TFrmFeiBu> ui;
};
