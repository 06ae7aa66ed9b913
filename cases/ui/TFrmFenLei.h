#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TFrmFenLei;
}

// "分类保存": the category a new case is saved into, one of the existing categories. The caller applies the
// font scaler before showing it.
class TFrmFenLei : public QDialog {
    Q_OBJECT
public:
    explicit TFrmFenLei(const QStringList &classes, QWidget *parent = nullptr);
    ~TFrmFenLei() override;

    // The chosen category after OK; empty before.
    const QString &ChosenClass() const { return m_chosen; }

    void BtnokClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TFrmFenLei> ui;
    QString m_chosen;
};
