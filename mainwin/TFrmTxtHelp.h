#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmTxtHelp;
}

// "软件帮助": operating instructions, version history and the companion tools, one read-only page each.
class TFrmTxtHelp : public QDialog {
    Q_OBJECT
public:
    explicit TFrmTxtHelp(QWidget *parent = nullptr);
    ~TFrmTxtHelp() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TFrmTxtHelp> ui;
    bool m_scaled = false;
};
