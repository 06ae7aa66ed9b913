#include "TFrmMenChi2.h"

#include "ChartSettings.h"

#include "ui_TFrmMenChi2.h"

#include "DoorRuler.h"
#include "FormUtil.h"
#include "MUiFont.h"
#include "Prompts.h"
#include "Resources.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {
QString ForMemo(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
} // namespace

TFrmMenChi2::TFrmMenChi2(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::TFrmMenChi2>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    AppUiFont.ApplyToForm(this, {QStringLiteral("Img")});
    readRulerLengths();
    ui->Memo1->setPlainText(
        QStringLiteral("门公尺使用於阳宅建筑，依其风水论之方向与气象而设。主要用於神厅、厨灶、神桌、主人房与书房，"
                       "将梁的高度、房的面积（长度与宽度）。建筑物以隔墙内部实际尺寸为准，门窗亦以窗框内窗仁为准。"
                       "有关神桌尺寸及实高最好依此鲁班尺为宜。") +
        ForMemo(QStringLiteral("\r\n\r\n丁兰尺为时下风水师必备之工具。主要用於建造坟墓或奉置祖先牌位及神位时，据以测量，并定吉凶。")));
    connect(ui->BtoCal, &QPushButton::clicked, this, &TFrmMenChi2::BtoCalClick);
    connect(ui->BtnHelp, &QPushButton::clicked, this, &TFrmMenChi2::BtnHelpClick);
    connect(ui->ChkElement, &QListWidget::itemChanged, this, [this] { drawScale(); });
    ui->LedtIn->installEventFilter(this);
    ui->Img->installEventFilter(this);
    ui->Img->setMouseTracking(false);
}

TFrmMenChi2::~TFrmMenChi2() = default;

void TFrmMenChi2::readRulerLengths()
{
    // A missing key reads as text that is no length, so that the ruler's own fallback applies.
    ChartSettings defaults;
    defaults.mengong = defaults.dinglan = QStringLiteral("bb");
    const ChartSettings s = ReadChartSettings(defaults);
    m_menGong = RulerLengthOrDefault(s.mengong, kMenGongDefault);
    m_dingLan = RulerLengthOrDefault(s.dinglan, kDingLanDefault);
}

bool TFrmMenChi2::BtoCalClick()
{
    bool ok = false;
    const double value = ui->LedtIn->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > kMaxObjectLength) {
        Prompts::instance().error(QStringLiteral("长度错误"), QStringLiteral("物体长度范围：0-9999，长度单位是厘米！"));
        ui->LedtIn->clear();
        ui->LedtIn->setFocus();
        return false;
    }
    SetLength(value);
    return true;
}

void TFrmMenChi2::SetLength(double length)
{
    m_length = std::clamp(length, 0.0, kMaxObjectLength);
    ui->Memo1->setPlainText(ForMemo(RulerReading(m_length, m_menGong, m_dingLan, LoadStr)));
    drawScale();
}

void TFrmMenChi2::BtnHelpClick()
{
    QString text = QStringLiteral("操作说明：\r\n\r\n");
    const QString lines[] = {
        QStringLiteral("1：合尺分四层，一:厘米尺，二:门公尺，三:丁兰尺，四:英寸尺。每层可以选择是否显示。"),
        QStringLiteral("2：合尺上面的三角箭头可以点住拖动，移到最左边可以到上个区段，移到最右边到下个区段，同时显示对应解释。"),
        QStringLiteral("3：鼠标双击某个位置，游标直接定位到对应刻度。"),
        QStringLiteral("4：也可以输入长度，按回车键，直接跳到对应门尺刻度。"),
        QStringLiteral("5：门公尺有两种常用长度：42.9、46.08厘米，可以自己修改软件设置。")};
    for (const QString &l : lines)
        text += l + QStringLiteral("\r\n\r\n");
    Prompts::instance().inform(windowTitle(), ForMemo(text).trimmed());
}

void TFrmMenChi2::drawScale()
{
    QImage &picture = ui->Img->Picture();
    const QSize size = ui->Img->size().expandedTo(QSize(300, 160));
    if (picture.size() != size)
        picture = QImage(size, QImage::Format_RGB32);
    m_geometry = MakeScaleGeometry(picture.width(), qMax(6, font().pointSize() - 1));
    ScaleLayers layers;
    layers.menGong = IsItemChecked(ui->ChkElement, 0);
    layers.dingLan = IsItemChecked(ui->ChkElement, 1);
    layers.inch = IsItemChecked(ui->ChkElement, 2);
    DrawDoorScale(picture, m_geometry, m_length, m_menGong, m_dingLan, layers);
    ui->Img->update();
}

bool TFrmMenChi2::scaleMouse(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    auto *me = static_cast<QMouseEvent *>(event);
    const QPoint at = me->position().toPoint();
    switch (type) {
    case QEvent::MouseButtonPress:
        // The pointer: the triangle above the scale and its hairline, a few pixels either side.
        if (me->button() == Qt::LeftButton && std::abs(at.x() - PointerX(m_geometry, m_length)) <= 15) {
            m_dragging = true;
            m_lastX = at.x();
        }
        return true;
    case QEvent::MouseMove:
        if (m_dragging && at.x() != m_lastX) {
            SetLength(DraggedLength(m_length, at.x() - m_lastX, m_geometry.pixelsPerMm));
            m_lastX = at.x();
        }
        return true;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return true;
    case QEvent::MouseButtonDblClick: {
        const double cm = (at.x() - m_geometry.left) / m_geometry.pixelsPerMm / 10;
        SetLength(ScaleWindowStart(m_length) + std::clamp(cm, 0.0, 50.0));
        return true;
    }
    default:
        return false;
    }
}

bool TFrmMenChi2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->LedtIn && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !ui->LedtIn->text().isEmpty()) {
            BtoCalClick();
            return true;
        }
    }
    if (watched == ui->Img) {
        if (event->type() == QEvent::Resize)
            drawScale();
        else if (scaleMouse(event))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
