#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TFrmSameName;
}

// "同名案例": the cases a search found, one caption per line; OK opens the selected one. The caller applies the
// font scaler before showing it.
class TFrmSameName : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSameName(const QStringList &lines, QWidget *parent = nullptr);
    ~TFrmSameName() override;

    int SelectedLine() const;  // -1 for none
    bool ShowAll() const;      // 全部显示到列表
    bool ClearList() const;    // 清空现有列表

    void BtnSeeClick();
    void LstRecordDblClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::TFrmSameName> ui;
};
