#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TFrmExportClass;
}

// "选择导出类别：": the categories whose cases are exported, all checked when shown. The caller applies the
// font scaler before showing it.
class TFrmExportClass : public QDialog {
    Q_OBJECT
public:
    explicit TFrmExportClass(const QStringList &classes, QWidget *parent = nullptr);
    ~TFrmExportClass() override;

    QStringList CheckedClasses() const;
    bool AllChecked() const; // every line is checked

    void ChkAllClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void checkAll(bool on);

    std::unique_ptr<Ui::TFrmExportClass> ui;
};
