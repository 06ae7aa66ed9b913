#pragma once

#include <QDialog>

#include <memory>

class IniFile;
namespace Ui {
class TFrmSet;
}

// The settings dialog "排盘设置": shows and edits the fourteen keys of dat/set.ini. Nothing is written
// unless "保存设置" passes both range checks.
class TFrmSet : public QDialog {
    Q_OBJECT
public:
    explicit TFrmSet(QWidget *parent = nullptr);
    ~TFrmSet() override;

    // Fills the controls from the file; runs when the dialog is shown.
    void FormShow();
    void BitBtn1Click(); // 保存设置
    void Button1Click(); // 默认值

    // The font-size list item text as its integer: "+3(推荐)" gives 3, "0(默认)" 0, unreadable text 0.
    static int FontSizeOfItem(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void fillFontSizes(int stored); // the size steps, the stored one selected
    void message(const QString &text);

    std::unique_ptr<Ui::TFrmSet> ui;
    std::unique_ptr<IniFile> m_ini;
};
