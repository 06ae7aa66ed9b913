#include "TFrmAdjustCompass.h"

#include "ui_TFrmAdjustCompass.h"

#include "CompassFiles.h"
#include "FileDialogs.h"
#include "Prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

TFrmAdjustCompass::TFrmAdjustCompass(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmAdjustCompass>())
{
    ui->setupUi(this);
    m_compass.Attach(ui->ImgCompass);
    ui->ScrollBox1->viewport()->setBackgroundRole(QPalette::Dark);
    const auto whenLoaded = [this](auto action) {
        return [this, action] {
            if (m_compass.IsLoaded())
                action(m_compass);
        };
    };
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFrmAdjustCompass::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.StepRotate(1); }));
    connect(ui->BitBtn3, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.StepRotate(-1); }));
    connect(ui->Button1, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.RotateBy(90); }));
    connect(ui->Button3, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.ResetAngle(); }));
    connect(ui->Button5, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.MoveCentre(-1, 0); }));
    connect(ui->Button6, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.MoveCentre(1, 0); }));
    connect(ui->Button7, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.MoveCentre(0, -1); }));
    connect(ui->Button8, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.MoveCentre(0, 1); }));
    connect(ui->Button2, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.GrowRadius(1); }));
    connect(ui->Button4, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.GrowRadius(-1); }));
    connect(ui->ChkTiny, &QCheckBox::clicked, this, [this](bool on) {
        if (m_compass.IsLoaded())
            m_compass.SetStep(on ? 0.1f : 1.0f);
    });
    connect(ui->ChkCoord, &QCheckBox::clicked, this, [this](bool on) {
        if (m_compass.IsLoaded())
            m_compass.SetCrosshair(on);
    });
    connect(ui->ChkAround, &QCheckBox::clicked, this, &TFrmAdjustCompass::ChkAroundClick);
    connect(ui->Button9, &QPushButton::clicked, this, &TFrmAdjustCompass::Button9Click);
    connect(ui->BitBtn6, &QPushButton::clicked, this, &TFrmAdjustCompass::BitBtn6Click);
}

TFrmAdjustCompass::~TFrmAdjustCompass() = default;

bool TFrmAdjustCompass::IsSafeName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    return true;
}

quint32 TFrmAdjustCompass::ParseColour(const QString &text)
{
    QString t = text.trimmed();
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        t.remove(0, 1);
        base = 16;
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t.remove(0, 2);
        base = 16;
    }
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, base);
    return ok ? quint32(v) : 0;
}

bool TFrmAdjustCompass::LoadPicture(const QString &file)
{
    if (!m_compass.LoadPicture(file)) {
        Prompts::instance().warn(windowTitle(), m_compass.Message());
        return false;
    }
    m_compass.SetPenWidth(2);
    m_compass.SetRimCircle(true);
    ui->ChkTiny->setChecked(false);
    ui->ChkAround->setChecked(false);
    m_compass.SetCrosshair(ui->ChkCoord->isChecked());
    m_compass.SetAngle(0);
    ui->ScrollBox1->widget()->resize(ui->ImgCompass->size());
    return true;
}

void TFrmAdjustCompass::BitBtn1Click()
{
    const QString file = FileDialogs::OpenFile(FileKind::Picture, windowTitle(),
                                               QStringLiteral("图片 (*.jpg *.jpeg *.bmp *.png);;所有文件 (*)"));
    if (!file.isEmpty())
        LoadPicture(file);
}

void TFrmAdjustCompass::ChkAroundClick()
{
    if (!m_compass.IsLoaded())
        return;
    if (ui->ChkAround->isChecked())
        m_compass.FillOutside(m_edgeColour);
    else
        m_compass.RotateBy(0);
}

void TFrmAdjustCompass::Button9Click()
{
    if (!m_compass.IsLoaded())
        return;
    const auto text = Prompts::instance().inputText(QStringLiteral("输入颜色值"),
                                                    QStringLiteral("颜色数值（十进制或者十六进制）      "));
    if (!text)
        return;
    m_edgeColour = ParseColour(*text);
    ui->ChkAround->setChecked(true);
    ChkAroundClick();
}

void TFrmAdjustCompass::BitBtn6Click()
{
    Prompts &prompts = Prompts::instance();
    if (!m_compass.IsLoaded()) {
        prompts.inform(QApplication::applicationDisplayName(), QStringLiteral("请先点“打开图片”选择一张罗盘图片，矫正后再保存！"));
        return;
    }
    const auto name = prompts.inputText(QStringLiteral("保存罗盘图片"), QStringLiteral("输入罗盘名称：   "),
                                        QStringLiteral("罗盘名称"));
    if (!name)
        return;
    const QString title = QApplication::applicationDisplayName();
    if (!IsSafeName(*name)) {
        prompts.warn(title, QStringLiteral("罗盘名称不能为空，也不能含有 \\ / : * ? \" < > | 等字符！"));
        return;
    }
    const QString folder = UserCompassFolder();
    QDir().mkpath(folder);
    const QString fileName = *name + QStringLiteral(".jpg");
    // The list shows names whatever their case, so a name that differs only in case counts as taken, here and
    // among the shipped photographs.
    QStringList taken = QDir(folder).entryList(QDir::Files);
    for (const CompassFile &f : CompassPictures())
        taken << f.name + QStringLiteral(".jpg");
    for (const QString &existing : taken) {
        if (existing.compare(fileName, Qt::CaseInsensitive) == 0) {
            prompts.inform(title, QStringLiteral("已有这个文件名，请输入新的文件名再次保存！"));
            return;
        }
    }
    m_compass.SetCrosshair(false);
    if (ui->ChkAround->isChecked())
        m_compass.FillOutside(m_edgeColour);
    if (!m_compass.SaveJpeg(folder + fileName, ui->ChkCoord->isChecked())) {
        prompts.error(title, m_compass.Message());
        return;
    }
    prompts.inform(title, QStringLiteral("保存成功！"));
    m_saved = true;
}
