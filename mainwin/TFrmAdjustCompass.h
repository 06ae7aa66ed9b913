#pragma once

#include "MControlCompass.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmAdjustCompass;
}

// "矫正罗盘图片": loads any picture, turns it, moves the centre marks, fits the rim circle, paints everything
// outside the rim in one colour and saves the result as a new photograph compass/<name>.jpg.
class TFrmAdjustCompass : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAdjustCompass(QWidget *parent = nullptr);
    ~TFrmAdjustCompass() override;

    // A photograph was saved: the caller lists the photographs again.
    bool Saved() const { return m_saved; }
    MControlCompass &Compass() { return m_compass; }
    quint32 EdgeColour() const { return m_edgeColour; }

    // A name the photograph may be saved under: not empty, no path separator and no character that a file
    // name cannot hold, so that the file stays inside compass/.
    static bool IsSafeName(const QString &name);
    // A colour value typed as decimal, or hexadecimal after "$" or "0x"; 0 when unreadable.
    static quint32 ParseColour(const QString &text);

    bool LoadPicture(const QString &file);
    void BitBtn1Click();   // open
    void ChkAroundClick(); // 边色处理
    void Button9Click();   // c: the edge colour
    void BitBtn6Click();   // 保存

private:
    std::unique_ptr<Ui::TFrmAdjustCompass> ui;
    MControlCompass m_compass;
    quint32 m_edgeColour = 160;
    bool m_saved = false;
};
