// The picture tools of the main window: the mouse on the chart picture Img1 and the floor plan ImgBk, the
// drawing modes, the text entry, the popups of the two pictures and of the compass page, and the compass page.
#include "TFrmMain.h"

#include "ui_TFrmMain.h"

#include "AppPath.h"
#include "ChartGeometry.h"
#include "ChartInputs.h"
#include "FileDialogs.h"
#include "FloorPlan.h"
#include "CompassFiles.h"
#include "MControlCompass.h"
#include "MQuorin.h"
#include "PictureFile.h"
#include "PictureOutput.h"
#include "Prompts.h"
#include "TFrmAdjustCompass.h"
#include "TFrmCompassLayer.h"
#include "TFrmSetPen.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCursor>
#include <QtMath>

#include <cmath>
#include <functional>

namespace {

constexpr int kCompassView = 100;

// A resize by an edge or corner band (11 bottom-right … 18 right): the new size for a mouse offset, and which
// bands move the picture's top-left corner: those on the left and top edges (the bottom-left corner keeps its
// top edge where it is).
void ApplyHandle(int kind, int dx, int dy, int &w, int &h)
{
    switch (kind) {
    case 11: w += dx; h += dy; break;
    case 12: h += dy; break;
    case 13: w -= dx; h += dy; break;
    case 14: w -= dx; break;
    case 15: w -= dx; h -= dy; break;
    case 16: h -= dy; break;
    case 17: w += dx; h -= dy; break;
    case 18: w += dx; break;
    default: break;
    }
}
bool MovesLeft(int kind) { return kind == 13 || kind == 14 || kind == 15; }
bool MovesTop(int kind) { return kind == 15 || kind == 16 || kind == 17; }

// Why a floor-plan file was refused; the previous plan stays.
QString PlanRefusal(const PictureRead &read, const QString &name)
{
    switch (read.error) {
    case PictureRead::Error::TooLarge:
        return QStringLiteral("户型图太大：%1 × %2 像素。最大只能打开 %3 × %3 像素的户型图。")
            .arg(read.size.width())
            .arg(read.size.height())
            .arg(kMaxPictureSide);
    case PictureRead::Error::Damaged:
        return QStringLiteral("无法读取户型图文件：%1\n文件不完整或已损坏。").arg(name);
    default:
        return QStringLiteral("无法读取户型图文件：%1").arg(name);
    }
}

// The compass page's scroll area covers the photograph wherever it was dragged.
void fitCompassPage(Ui::TFrmMain *ui)
{
    const QPoint corner = ui->ImgCompass->geometry().bottomRight() + QPoint(4, 4);
    ui->ScrollBoxCompass->widget()->resize(qMax(corner.x(), 1), qMax(corner.y(), 1));
}

// A photograph opens with its compass centre (the middle of the picture, where the centre marks start) in the
// middle of the page: one smaller than the page stands in its middle, a larger one is scrolled there. False
// while the page is hidden, when its size is not known yet.
bool centreCompassPage(Ui::TFrmMain *ui)
{
    QScrollArea *area = ui->ScrollBoxCompass;
    TImage *photo = ui->ImgCompass;
    if (!area->viewport()->isVisible()) {
        photo->move(3, 3);
        fitCompassPage(ui);
        return false;
    }
    // The scroll bars come or go after the page's content is resized (the scroll area decides that in a queued
    // call), and the page's middle moves with them: the photograph is placed again until the page keeps its size.
    QSize page;
    for (int pass = 0; pass < 3 && page != area->viewport()->size(); ++pass) {
        page = area->viewport()->size();
        photo->move(qMax(3, (page.width() - photo->width()) / 2), qMax(3, (page.height() - photo->height()) / 2));
        fitCompassPage(ui);
        QCoreApplication::sendPostedEvents(area, QEvent::MetaCall);
    }
    const QPoint centre = photo->geometry().center();
    area->horizontalScrollBar()->setValue(centre.x() - page.width() / 2);
    area->verticalScrollBar()->setValue(centre.y() - page.height() / 2);
    return true;
}

// The cursor of a turning drag: two arrows chasing each other round a circle, drawn at the screen's pixel ratio.
QCursor TurnCursor(qreal ratio)
{
    constexpr int kSide = 24;
    constexpr double kCentre = 12, kRadius = 7;
    const QRectF circle(kCentre - kRadius, kCentre - kRadius, 2 * kRadius, 2 * kRadius);
    const auto at = [&](double degrees, double r) {
        const double a = qDegreesToRadians(degrees);
        return QPointF(kCentre + r * std::cos(a), kCentre - r * std::sin(a));
    };
    QPainterPath arcs, heads;
    for (int half : {0, 180}) {
        arcs.arcMoveTo(circle, half + 20);
        arcs.arcTo(circle, half + 20, 115);
        const double end = half + 135;
        heads.addPolygon(QPolygonF{at(end, kRadius - 3.5), at(end, kRadius + 3.5), at(end + 30, kRadius),
                                   at(end, kRadius - 3.5)});
    }
    QPixmap picture(QSize(kSide, kSide) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // Black on a white rim, so that it shows on dark and light charts alike.
    p.strokePath(arcs, QPen(Qt::white, 4.2, Qt::SolidLine, Qt::FlatCap));
    p.strokePath(heads, QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(heads, Qt::white);
    p.strokePath(arcs, QPen(Qt::black, 1.8, Qt::SolidLine, Qt::FlatCap));
    p.fillPath(heads, Qt::black);
    p.end();
    return QCursor(picture);
}

// The cursor over the chart says what a press there would drag: turn (the ring band or the axis), a size (the
// edge bands) or move (the rest). While the chart is locked only moving acts.
QCursor PanCursor(const MQuorin &q, QPoint at, bool locked, const QCursor &turn)
{
    const int kind = q.HitTestPan(at.x(), at.y());
    if (kind == DragMove)
        return Qt::SizeAllCursor;
    if (locked || kind == DragNone)
        return Qt::ArrowCursor;
    if (kind == DragRotate || kind == DragZuoXiang)
        return turn;
    return q.SetPanCursor(at.x(), at.y());
}

// Runs an action each time a widget receives an event of one type; `queued`, once the events queued with it
// have run.
class OnEvent : public QObject {
public:
    OnEvent(QWidget *watched, QEvent::Type type, std::function<void()> action, bool queued = false)
        : QObject(watched), m_type(type), m_queued(queued), m_action(std::move(action))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != m_type)
            return false;
        if (m_queued)
            QMetaObject::invokeMethod(this, m_action, Qt::QueuedConnection);
        else
            m_action();
        return false;
    }

private:
    QEvent::Type m_type;
    bool m_queued;
    std::function<void()> m_action;
};

} // namespace

struct TFrmMain::PictureTools {
    int drawMode = 0;
    // Floor plan: size, handle code (0 none, 1 inside, 11..18 a band), the press, the text point, the preview.
    int bkWidth = 0, bkHeight = 0;
    int bkHandle = 0;
    bool bkDown = false;
    QPoint bkStart, bkText, previewEnd, lineStart;
    bool secondClick = false;
    // Chart picture: drag kind (0 none, 1 move, 2 ring, 3 axis, 11..18 a band) and its start; the lock.
    int panDrag = 0;
    QPoint panStart;
    bool locked = false;
    bool axisShown = false; // the axis drawn over the round chart
    bool compassDrag = false;
    QPoint compassStart;
    bool compassOpening = false; // a photograph opened on the hidden page, to be centred when it shows
    QCursor turnCursor;
    qreal turnCursorRatio = 0; // the pixel ratio turnCursor was drawn for

    QPen pen{Qt::black, 1};
    QFont textFont{QStringLiteral("宋体"), 12};
    QMenu *popBk = nullptr, *popXuan = nullptr, *popCompass = nullptr;
    QAction *lockItem = nullptr, *ratioItem = nullptr;
    QList<QAction *> toolActions;
    QFrame *panWord = nullptr;
    QLineEdit *edtWord = nullptr;
    MControlCompass compass;
};

void TFrmMain::PictureToolsDeleter::operator()(PictureTools *p) const { delete p; }

int TFrmMain::DrawMode() const { return m_pic->drawMode; }
bool TFrmMain::PanLocked() const { return m_pic->locked; }
bool TFrmMain::TurnAxisShown() const { return m_pic->axisShown; }
QList<QAction *> TFrmMain::PictureToolActions() const { return m_pic->toolActions; }
MControlCompass *TFrmMain::Compass() const { return &m_pic->compass; }
void TFrmMain::cancelPanDrag() { m_pic->panDrag = 0; }

void TFrmMain::showTurnAxis(bool on)
{
    // The compass view draws its own axis.
    on = on && m_quorin && m_quorin->GetDisplayMode() != kCompassView;
    if (m_pic->axisShown == on)
        return;
    m_pic->axisShown = on;
    ui->Img1->update();
}

static QAction *AddItem(QMenu *menu, const char *name, const QString &text)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

void TFrmMain::setupPictureTools()
{
    m_pic.reset(new PictureTools);
    PictureTools &m = *m_pic;
    m.bkWidth = ui->ImgBk->width();
    m.bkHeight = ui->ImgBk->height();
    ui->Img1->SetTransparentWhite(true);
    // The view changes its size with each look (a skin's frame and scroll bars take room of their own), each
    // resize of the window and each plan that brings or takes away the horizontal bar.
    new OnEvent(ui->ScrollBox1->viewport(), QEvent::Resize, [this] { keepCaptionInView(); }, true);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TFrmMain::SpeedButton1Click);
    for (TImage *img : {ui->Img1, ui->ImgBk})
        img->setMouseTracking(true);

    // Floor-plan popup and the text panel.
    m.popBk = new QMenu(this);
    m.popBk->setObjectName(QStringLiteral("PopImgBk"));
    connect(AddItem(m.popBk, "N12", QStringLiteral("输入文字")), &QAction::triggered, this, [this] {
        const PictureTools &p = *m_pic;
        const int lift = QFontMetrics(p.textFont).boundingRect(QStringLiteral("国")).height() + 3;
        p.panWord->move(ui->ImgBk->x() + p.bkText.x(), ui->ImgBk->y() + p.bkText.y() + lift);
        // Near the plan's right or bottom edge the panel reaches past the pictures: the scrolled area grows
        // to hold it whole and scrolls it into view, so that its buttons can be reached.
        QWidget *content = ui->ScrollBox1->widget();
        const QRect panel = p.panWord->geometry();
        content->resize(qMax(content->width(), panel.right() + 2), qMax(content->height(), panel.bottom() + 2));
        p.panWord->show();
        p.panWord->raise();
        ui->ScrollBox1->ensureWidgetVisible(p.panWord, 0, 0);
        p.edtWord->setFocus();
    });
    connect(AddItem(m.popBk, "N23", QStringLiteral("清除图像")), &QAction::triggered, this, [this] {
        if (!m_quorin || !Prompts::instance().askYesNo(QStringLiteral("清除"), QStringLiteral("确定要清除户型图吗？")))
            return;
        ui->ImgBk->Picture().fill(Qt::white);
        m_quorin->SaveBkUndo();
        ui->ImgBk->update();
    });
    connect(AddItem(m.popBk, "N24", QStringLiteral("原始大小")), &QAction::triggered, this, [this] {
        if (!m_quorin)
            return;
        m_quorin->RestoreBkSize(m_pic->bkWidth, m_pic->bkHeight);
        afterChartChange();
    });
    m.ratioItem = AddItem(m.popBk, "pBkItemRatio", QStringLiteral("保持比例"));
    m.ratioItem->setCheckable(true);
    connect(m.ratioItem, &QAction::triggered, this, [this](bool on) {
        if (m_quorin)
            m_quorin->SetBkKeepRatio(on ? 1 : 0);
    });
    m.popBk->addSeparator();
    connect(AddItem(m.popBk, "N22", QStringLiteral("上一步")), &QAction::triggered, this, [this] {
        if (!m_quorin || !m_quorin->UndoBk(m_pic->bkWidth, m_pic->bkHeight))
            inform(QStringLiteral("无法回到上一图"));
        afterChartChange();
    });
    connect(AddItem(m.popBk, "N26", QStringLiteral("下一步")), &QAction::triggered, this, [this] {
        if (!m_quorin || !m_quorin->RedoBk(m_pic->bkWidth, m_pic->bkHeight))
            inform(QStringLiteral("无法回到下一图"));
        afterChartChange();
    });
    m.popBk->addSeparator();
    connect(AddItem(m.popBk, "N14", QStringLiteral("复制")), &QAction::triggered, this,
            [this] { PictureOutput::Copy(ui->ImgBk->Picture()); });
    connect(AddItem(m.popBk, "N15", QStringLiteral("另存为...")), &QAction::triggered, this,
            [this] { PictureOutput::Save(ui->ImgBk->Picture()); });
    connect(AddItem(m.popBk, "N16", QStringLiteral("打印")), &QAction::triggered, this,
            [this] { PictureOutput::Print(ui->ImgBk->Picture()); });
    m.popBk->addSeparator();
    connect(AddItem(m.popBk, "N21", QStringLiteral("取消作图")), &QAction::triggered, this, [this] { SetDrawMode(0); });

    m.panWord = new QFrame(ui->ScrollBox1->widget());
    m.panWord->setObjectName(QStringLiteral("PanWord"));
    m.panWord->setFrameShape(QFrame::Panel);
    m.panWord->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(m.panWord);
    row->setContentsMargins(3, 3, 3, 3);
    m.edtWord = new QLineEdit(m.panWord);
    m.edtWord->setObjectName(QStringLiteral("EdtWord"));
    m.edtWord->setMinimumWidth(160);
    auto *ok = new QPushButton(QStringLiteral("确定"), m.panWord);
    ok->setObjectName(QStringLiteral("Button1"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), m.panWord);
    cancel->setObjectName(QStringLiteral("Button2"));
    row->addWidget(m.edtWord);
    row->addWidget(ok);
    row->addWidget(cancel);
    m.panWord->adjustSize();
    m.panWord->hide();
    connect(m.edtWord, &QLineEdit::returnPressed, ok, &QPushButton::click);
    connect(cancel, &QPushButton::clicked, m.panWord, &QWidget::hide);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), m.panWord, m.panWord, &QWidget::hide);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(ok, &QPushButton::clicked, this, [this] {
        const PictureTools &p = *m_pic;
        p.panWord->hide();
        if (!m_quorin || p.edtWord->text().isEmpty())
            return;
        {
            QPainter painter(&ui->ImgBk->Picture());
            painter.setFont(p.textFont);
            painter.setPen(p.pen.color());
            painter.setBrush(Qt::NoBrush);
            const QFontMetrics fm(p.textFont);
            painter.drawText(p.bkText + QPoint(0, fm.ascent()), p.edtWord->text());
        }
        m_quorin->SaveBkUndo();
        ui->ImgBk->update();
    });

    // Drawing modes and pen, for the tools menu.
    const std::pair<const char *, QString> modes[] = {{"N9", QStringLiteral("连续线")},
                                                      {"N11", QStringLiteral("圆")},
                                                      {"N17", QStringLiteral("方形")},
                                                      {"N18", QStringLiteral("直线")},
                                                      {"N28", QStringLiteral("橡皮擦")}};
    int mode = 11;
    for (const auto &[name, text] : modes) {
        auto *a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, mode] { SetDrawMode(mode); });
        m.toolActions.append(a);
        ++mode;
    }
    auto *penItem = new QAction(QStringLiteral("画笔属性"), this);
    penItem->setObjectName(QStringLiteral("N19"));
    connect(penItem, &QAction::triggered, this, [this] {
        TFrmSetPen dlg(m_pic->pen, this);
        dlg.exec();
        if (m_quorin)
            m_quorin->BkPlan().SetPen(m_pic->pen);
    });
    auto *fontItem = new QAction(QStringLiteral("文字属性"), this);
    fontItem->setObjectName(QStringLiteral("N27"));
    connect(fontItem, &QAction::triggered, this, [this] {
        if (const auto font = Prompts::instance().chooseFont(QStringLiteral("文字属性"), m_pic->textFont))
            m_pic->textFont = *font;
    });
    m.toolActions << penItem << fontItem;

    // Chart popup.
    m.popXuan = new QMenu(this);
    m.popXuan->setObjectName(QStringLiteral("PopImgXuan"));
    connect(AddItem(m.popXuan, "MenuItem1", QStringLiteral("叠加到背景")), &QAction::triggered, this, [this] {
        if (!m_chartValid || !m_quorin) {
            Prompts::instance().inform(QStringLiteral("先排盘"), QStringLiteral("请先排一个正确的盘"));
            return;
        }
        if (!m_quorin->MergePanToBk(ui->Img1->pos() - ui->ImgBk->pos())) {
            Prompts::instance().warn(QStringLiteral("叠加到背景"), m_quorin->sMessage);
            return;
        }
        ui->ImgBk->raise();
        ui->ImgBk->update();
    });
    m.popXuan->addSeparator();
    const auto view = [this](int mode, int tab) {
        if (m_chartValid && m_quorin) {
            m_quorin->SetDisplayMode(mode);
            afterChartChange();
        }
        if (tab >= 0)
            ui->PageXuanBa->setCurrentIndex(tab);
    };
    connect(AddItem(m.popXuan, "MenuItem6", QStringLiteral("玄空盘")), &QAction::triggered, this, [view] { view(0, 0); });
    connect(AddItem(m.popXuan, "MenuItem7", QStringLiteral("八宅盘")), &QAction::triggered, this, [view] { view(1, 1); });
    connect(AddItem(m.popXuan, "pMenuCompassShow", QStringLiteral("显示罗盘")), &QAction::triggered, this,
            [view] { view(kCompassView, -1); });
    connect(AddItem(m.popXuan, "N34", QStringLiteral("选择罗盘图层")), &QAction::triggered, this, [this, view] {
        TFrmCompassLayer dlg(m_layers, this);
        if (dlg.exec() != QDialog::Accepted || !m_quorin)
            return;
        m_quorin->SetCompassLayers(m_layers);
        view(kCompassView, -1);
    });
    m.popXuan->addSeparator();
    connect(AddItem(m.popXuan, "MenuItem9", QStringLiteral("复制")), &QAction::triggered, this,
            [this] { PictureOutput::Copy(ui->Img1->Picture()); });
    connect(AddItem(m.popXuan, "MenuItem10", QStringLiteral("另存为...")), &QAction::triggered, this,
            [this] { PictureOutput::Save(ui->Img1->Picture()); });
    connect(AddItem(m.popXuan, "MenuItem11", QStringLiteral("打印")), &QAction::triggered, this,
            [this] { PictureOutput::Print(ui->Img1->Picture()); });
    m.popXuan->addSeparator();
    m.lockItem = AddItem(m.popXuan, "pMenuLock", QStringLiteral("锁定宅盘"));
    connect(m.lockItem, &QAction::triggered, this, [this] {
        m_pic->locked = !m_pic->locked;
        m_pic->lockItem->setText(m_pic->locked ? QStringLiteral("解锁宅盘") : QStringLiteral("锁定宅盘"));
    });

    // Compass page.
    m.popCompass = new QMenu(this);
    m.popCompass->setObjectName(QStringLiteral("pMenuCompass"));
    connect(AddItem(m.popCompass, "N29", QStringLiteral("复制")), &QAction::triggered, this,
            [this] { PictureOutput::Copy(ui->ImgCompass->Picture()); });
    connect(AddItem(m.popCompass, "N30", QStringLiteral("另存为")), &QAction::triggered, this,
            [this] { PictureOutput::Save(ui->ImgCompass->Picture()); });
    connect(AddItem(m.popCompass, "N31", QStringLiteral("打印")), &QAction::triggered, this,
            [this] { PictureOutput::Print(ui->ImgCompass->Picture()); });

    m.compass.Attach(ui->ImgCompass);
    // On a scaled screen the chart and the photograph are drawn at the screen's pixel ratio; the floor plan, a
    // picture of its own, is shown as it is.
    ui->ImgCompass->SetScreenRenderer([this](qreal ratio) { return m_pic->compass.ScreenPicture(ratio); });
    ui->Img1->SetScreenRenderer([this](qreal ratio) { return m_quorin ? m_quorin->ScreenPicture(ratio) : QImage(); });
    ui->Img1->SetOverlay([this](QPainter &painter) {
        if (m_pic->axisShown && m_chartValid && m_quorin)
            m_quorin->PaintTurnAxis(painter);
    });
    connect(ui->Img1, &TImage::MouseLeave, this, [this] {
        if (m_pic->panDrag != DragZuoXiang)
            showTurnAxis(false);
    });
    ui->ScrollBoxCompass->viewport()->setBackgroundRole(QPalette::Dark);
    // The row of controls shrinks with the page instead of widening the picture panel; each stays wide enough to
    // be clicked.
    for (int i = 0; i < ui->CompassButtons->count(); ++i)
        if (QWidget *control = ui->CompassButtons->itemAt(i)->widget())
            control->setMinimumWidth(qMin(control->minimumSizeHint().width(), 24));
    const auto whenLoaded = [this](auto action) {
        return [this, action] {
            if (m_pic->compass.IsLoaded()) {
                action(m_pic->compass);
                fitCompassPage(ui.get());
            }
        };
    };
    connect(ui->BitBtn2, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.StepRotate(1); }));
    connect(ui->BitBtn3, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.StepRotate(-1); }));
    connect(ui->Button3, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.ResetAngle(); }));
    connect(ui->Button5, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.RotateBy(90); }));
    connect(ui->BitBtn4, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.Zoom(1); }));
    connect(ui->BitBtn5, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.Zoom(-1); }));
    connect(ui->Button4, &QPushButton::clicked, this, whenLoaded([](MControlCompass &c) { c.ResetSize(); }));
    connect(ui->BtnAdjust, &QToolButton::clicked, this, [this] {
        TFrmAdjustCompass dlg(this);
        dlg.exec();
        if (dlg.Saved())
            FillCompassList();
    });
    connect(ui->CboCompass, &QComboBox::activated, this, [this](int index) {
        const QString path = ui->CboCompass->itemData(index).toString();
        if (path.isEmpty() || !QFileInfo::exists(path)) {
            inform(QStringLiteral("罗盘图片文件丢失！"));
            return;
        }
        if (!m_pic->compass.LoadPicture(path)) {
            inform(m_pic->compass.Message());
            return;
        }
        if (m_chartValid && m_quorin) {
            float degree = 0;
            int item = 0;
            m_quorin->GetZuoXiang(degree, item);
            m_pic->compass.SetAngle(360.0f - degree);
        }
        m_pic->compassOpening = !centreCompassPage(ui.get());
    });
    new OnEvent(ui->ScrollBoxCompass->viewport(), QEvent::Show, [this] {
        if (m_pic->compassOpening)
            m_pic->compassOpening = !centreCompassPage(ui.get());
    });

    // Mouse.
    connect(ui->ImgBk, &TImage::MouseDown, this, &TFrmMain::ImgBkMouseDown);
    connect(ui->ImgBk, &TImage::MouseMove, this, &TFrmMain::ImgBkMouseMove);
    connect(ui->ImgBk, &TImage::MouseUp, this, &TFrmMain::ImgBkMouseUp);
    connect(ui->Img1, &TImage::MouseDown, this, &TFrmMain::Img1MouseDown);
    connect(ui->Img1, &TImage::MouseMove, this, &TFrmMain::Img1MouseMove);
    connect(ui->Img1, &TImage::MouseUp, this, &TFrmMain::Img1MouseUp);
    connect(ui->ImgCompass, &TImage::MouseDown, this, &TFrmMain::ImgCompassMouseDown);
    connect(ui->ImgCompass, &TImage::MouseMove, this, &TFrmMain::ImgCompassMouseMove);
    connect(ui->ImgCompass, &TImage::MouseUp, this, &TFrmMain::ImgCompassMouseUp);
    const std::pair<TImage *, QMenu *> popups[] = {{ui->ImgBk, m.popBk}, {ui->Img1, m.popXuan}, {ui->ImgCompass, m.popCompass}};
    for (const auto &[img, menu] : popups) {
        img->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(img, &QWidget::customContextMenuRequested, this,
                [img, menu](const QPoint &at) { menu->popup(img->mapToGlobal(at)); });
    }
}

void TFrmMain::startPictureTools()
{
    // The blank plan is a plan like a loaded one: it can be drawn on, resized and undone from here.
    ui->ImgBk->Picture() = QImage(m_pic->bkWidth, m_pic->bkHeight, QImage::Format_RGB32);
    ui->ImgBk->Picture().fill(Qt::white);
    m_quorin->ResetBkUndo();
    m_quorin->BkPlan().SetPen(m_pic->pen);
    m_pic->locked = false;
    FillCompassList();
}

void TFrmMain::afterLayOutPictures()
{
    m_pic->panDrag = 0;
    showTurnAxis(false);
    m_pic->locked = false;
    m_pic->lockItem->setText(QStringLiteral("锁定宅盘"));
    if (m_chartValid && m_quorin && m_pic->compass.IsLoaded()) {
        float degree = 0;
        int item = 0;
        m_quorin->GetZuoXiang(degree, item);
        m_pic->compass.SetAngle(360.0f - degree);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Floor plan

// A plan wider than the view brings a horizontal scroll bar over the view's lower edge, where the chart's last
// caption line (the 坐向 line) lies: the window grows by what the bar hides of the chart, as far as the screen
// allows. A chart taller than the view without the bar stays as the user sized the window.
void TFrmMain::keepChartWholeOverPlan()
{
    QScrollArea *scroll = ui->ScrollBox1;
    const QScrollBar *bar = scroll->horizontalScrollBar();
    if (!bar->isVisible() || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const int bottom = ui->Img1->mapTo(scroll->viewport(), QPoint(0, ui->Img1->height())).y();
    const int hidden = bottom - scroll->viewport()->height();
    if (hidden <= 0 || hidden > bar->height())
        return;
    resize(width(), height() + hidden);
    WindowPlacement::KeepOnScreen(*this);
    keepCaptionInView();
}

// Where the screen leaves the window no room to grow (a skin's frame is taller than the window manager's, and
// its scroll bar too), the view shows the chart's foot, its caption lines, rather than its top margin: it
// scrolls down by what the horizontal bar hides of the chart. A chart that would not show whole without the
// bar either is left as the user scrolled it.
void TFrmMain::keepCaptionInView()
{
    QScrollArea *scroll = ui->ScrollBox1;
    const QScrollBar *bar = scroll->horizontalScrollBar();
    QScrollBar *down = scroll->verticalScrollBar();
    if (!bar->isVisible())
        return;
    const QRect chart = ui->Img1->geometry(); // in the scrolled area
    const int view = scroll->viewport()->height();
    const int hidden = chart.bottom() + 1 - (down->value() + view);
    if (hidden <= 0 || hidden > bar->height() || chart.height() > view + bar->height())
        return;
    down->setValue(down->value() + hidden);
}

void TFrmMain::SpeedButton1Click()
{
    const QString file =
        FileDialogs::OpenFile(FileKind::Plan, QStringLiteral("户型图"), FileDialogs::ReadablePictureFilter());
    if (!file.isEmpty())
        LoadFloorPlan(file);
}

bool TFrmMain::LoadFloorPlan(const QString &file)
{
    if (!m_quorin)
        return false;
    PictureRead plan = ReadPictureFile(file);
    if (plan.error != PictureRead::Error::None) {
        Prompts::instance().warn(QStringLiteral("户型图"), PlanRefusal(plan, QFileInfo(file).fileName()));
        return false;
    }
    PictureTools &m = *m_pic;
    ui->ImgBk->Picture() = std::move(plan.image).convertToFormat(QImage::Format_RGB32); // held once, not twice
    m_quorin->ResetBkUndo();
    m_quorin->RestoreBkSize(m.bkWidth, m.bkHeight);
    m_quorin->SaveBkUndo();
    m.bkHandle = 0;
    ui->ScrollBox1->horizontalScrollBar()->setValue(0);
    ui->ScrollBox1->verticalScrollBar()->setValue(0);
    ui->Img1->move(1, 1);
    ui->ImgBk->move(1, 1);
    m_rec.hasPlan = 1;
    // A laid-out chart is laid out again to be drawn over a plan; without one the next lay-out does it, and the
    // plan is not answered with a question about the house inputs.
    if (m_chartValid) {
        const int mode = m_quorin->GetDisplayMode();
        BtnPaiClick();
        if (mode == kCompassView && m_chartValid)
            m_quorin->SetDisplayMode(kCompassView);
    }
    afterChartChange();
    // The scroll area shows or hides its bars once the events queued by the new size have run.
    QMetaObject::invokeMethod(this, &TFrmMain::keepChartWholeOverPlan, Qt::QueuedConnection);
    return true;
}

void TFrmMain::SetDrawMode(int mode)
{
    m_pic->drawMode = (mode >= 11 && mode <= 15) ? mode : 0;
    m_pic->secondClick = false;
    ui->ImgBk->setCursor(Qt::CrossCursor);
}

void TFrmMain::ImgBkMouseDown(QMouseEvent *event)
{
    PictureTools &m = *m_pic;
    const QPoint pt = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        m.bkText = pt;
        return;
    }
    if (event->button() != Qt::LeftButton || !m_quorin)
        return;
    ui->ImgBk->raise();
    m.bkDown = true;
    m.bkHandle = m_quorin->HitTestBk(pt.x(), pt.y());
    m.bkStart = pt;
    switch (m.drawMode) {
    case 11:
        m_quorin->BkMoveTo(pt.x(), pt.y());
        break;
    case 12:
    case 13:
        m.previewEnd = pt; // a shape that has not moved has no outline yet
        break;
    case 14:
        (m.secondClick ? m.bkStart : m.lineStart) = pt;
        break;
    default:
        break;
    }
}

void TFrmMain::ImgBkMouseMove(QMouseEvent *event)
{
    PictureTools &m = *m_pic;
    if (!m_quorin)
        return;
    const QPoint pt = event->position().toPoint();
    if (m.drawMode == 0) {
        if (m.bkHandle == 0) {
            ui->ImgBk->setCursor(m_quorin->SetBkCursor(pt.x(), pt.y()));
            return;
        }
        const int dx = pt.x() - m.bkStart.x(), dy = pt.y() - m.bkStart.y();
        if (m.bkHandle == 1) {
            ui->ImgBk->move(ui->ImgBk->pos() + QPoint(dx, dy));
            afterChartChange();
            return;
        }
        if (m.bkHandle < 11 || m.bkHandle > 18)
            return;
        const int oldW = m.bkWidth, oldH = m.bkHeight;
        ApplyHandle(m.bkHandle, dx, dy, m.bkWidth, m.bkHeight);
        m_quorin->ResizeBk(m.bkWidth, m.bkHeight, uint8_t(19 - m.bkHandle));
        // The plan follows the size it really took: at its smallest the edge stops.
        ui->ImgBk->move(ui->ImgBk->pos() + QPoint(MovesLeft(m.bkHandle) ? oldW - m.bkWidth : 0,
                                                  MovesTop(m.bkHandle) ? oldH - m.bkHeight : 0));
        m.bkStart = pt;
        afterChartChange();
        return;
    }
    if (!m.bkDown)
        return;
    switch (m.drawMode) {
    case 11:
        m_quorin->BkLineTo(pt.x(), pt.y());
        break;
    case 12:
        m_quorin->BkEllipse(m.bkStart.x(), m.bkStart.y(), pt.x(), pt.y(), m.previewEnd.x(), m.previewEnd.y(), true);
        m.previewEnd = pt;
        break;
    case 13:
        m_quorin->BkRectangle(m.bkStart.x(), m.bkStart.y(), pt.x(), pt.y(), m.previewEnd.x(), m.previewEnd.y(), true);
        m.previewEnd = pt;
        break;
    case 15: {
        QPainter p(&ui->ImgBk->Picture());
        p.fillRect(QRect(m.bkStart, pt).normalized(), Qt::white);
        break;
    }
    default:
        return;
    }
    ui->ImgBk->update();
}

void TFrmMain::ImgBkMouseUp(QMouseEvent *event)
{
    PictureTools &m = *m_pic;
    const bool wasDown = m.bkDown;
    m.bkHandle = 0;
    if (event->button() != Qt::LeftButton)
        return;
    m.bkDown = false;
    if (!wasDown || m.drawMode == 0 || !m_quorin)
        return;
    const QPoint pt = event->position().toPoint();
    const QPoint s = m.bkStart, e = m.previewEnd;
    switch (m.drawMode) {
    case 11:
    case 15:
        m_quorin->SaveBkUndo();
        break;
    case 12:
        m_quorin->BkEllipse(s.x(), s.y(), s.x(), s.y(), e.x(), e.y(), true); // take the rubber band away
        m_quorin->BkEllipse(s.x(), s.y(), pt.x(), pt.y(), 0, 0, false);
        break;
    case 13:
        m_quorin->BkRectangle(s.x(), s.y(), s.x(), s.y(), e.x(), e.y(), true);
        m_quorin->BkRectangle(s.x(), s.y(), pt.x(), pt.y(), 0, 0, false);
        break;
    case 14:
        if (m.secondClick)
            m_quorin->BkLine(m.lineStart.x(), m.lineStart.y(), m.bkStart.x(), m.bkStart.y());
        m.secondClick = !m.secondClick;
        break;
    default:
        break;
    }
    ui->ImgBk->update();
}

// ---------------------------------------------------------------------------------------------------------
// Chart picture

void TFrmMain::Img1MouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_chartValid || !m_quorin)
        return;
    ui->Img1->raise();
    const QPoint pt = event->position().toPoint();
    const int kind = m_quorin->HitTestPan(pt.x(), pt.y());
    m_pic->panDrag = kind < 0 ? 0 : kind;
    m_pic->panStart = pt;
}

void TFrmMain::Img1MouseMove(QMouseEvent *event)
{
    PictureTools &m = *m_pic;
    if (!m_chartValid || !m_quorin) {
        ui->Img1->unsetCursor();
        return;
    }
    const QPoint pt = event->position().toPoint();
    if (m.panDrag == 0) {
        if (m.turnCursorRatio != ui->Img1->devicePixelRatioF()) {
            m.turnCursorRatio = ui->Img1->devicePixelRatioF();
            m.turnCursor = TurnCursor(m.turnCursorRatio);
        }
        const QCursor cursor = PanCursor(*m_quorin, pt, m.locked, m.turnCursor);
        if (cursor.shape() != ui->Img1->cursor().shape() ||
            cursor.pixmap().cacheKey() != ui->Img1->cursor().pixmap().cacheKey())
            ui->Img1->setCursor(cursor);
        showTurnAxis(!m.locked && m_quorin->HitTestPan(pt.x(), pt.y()) == DragZuoXiang);
        return;
    }
    if (m.locked && m.panDrag != 1)
        return;
    const QPoint start = m.panStart;
    switch (m.panDrag) {
    case 1:
        ui->Img1->move(ui->Img1->pos() + pt - start);
        afterChartChange();
        return;
    case 2:
        m_quorin->RotatePan(start.x(), start.y(), pt.x(), pt.y());
        break;
    case 3: {
        showTurnAxis(true);
        m_quorin->TurnZuoXiang(start.x(), start.y(), pt.x(), pt.y());
        float degree = 0;
        int item = 0;
        m_quorin->GetZuoXiang(degree, item);
        ui->LedtZtd->setText(ChartInputs::DegreeText(degree));
        ui->CboZuoShan->setCurrentIndex(item);
        m_rec.degree = degree;
        m_rec.mountain = uint8_t(item);
        break;
    }
    default: {
        if (m.panDrag < 11 || m.panDrag > 18)
            return;
        const QSize old = ui->Img1->Picture().size();
        int w = old.width(), h = old.height();
        ApplyHandle(m.panDrag, pt.x() - start.x(), pt.y() - start.y(), w, h);
        m_quorin->SetPanSize(w, h, true);
        const QSize now = ui->Img1->Picture().size();
        ui->Img1->move(ui->Img1->pos() + QPoint(MovesLeft(m.panDrag) ? old.width() - now.width() : 0,
                                                MovesTop(m.panDrag) ? old.height() - now.height() : 0));
        break;
    }
    }
    m.panStart = pt;
    afterChartChange();
}

void TFrmMain::Img1MouseUp(QMouseEvent *event)
{
    PictureTools &m = *m_pic;
    const int kind = m.panDrag;
    m.panDrag = 0;
    if (m.locked || event->button() != Qt::LeftButton || !m_chartValid || !m_quorin)
        return;
    // The axis turned with the pointer: it stays shown while the pointer still lies on it.
    const QPoint pt = event->position().toPoint();
    showTurnAxis(m_quorin->HitTestPan(pt.x(), pt.y()) == DragZuoXiang);
    if (kind == DragZuoXiang) {
        // The turn laid the house out again: the report follows it; the compass view stays as it is.
        const bool baZhai = ui->PageXuanBa->currentIndex() == 1;
        if (m_quorin->GetDisplayMode() == kCompassView)
            m_quorin->RewriteReport(baZhai);
        else if (baZhai)
            BtoPan8Click();
        else
            BtoPanClick();
        ui->RedtQuorin->setFocus();
        QTextCursor cursor = ui->RedtQuorin->textCursor();
        cursor.movePosition(QTextCursor::Start);
        ui->RedtQuorin->setTextCursor(cursor);
        ui->RedtQuorin->ensureCursorVisible();
    }
}

// ---------------------------------------------------------------------------------------------------------
// Compass page

void TFrmMain::FillCompassList()
{
    ui->CboCompass->clear();
    for (const CompassFile &f : CompassPictures())
        ui->CboCompass->addItem(f.name, f.path);
    if (ui->CboCompass->count() > 0) {
        ui->CboCompass->setCurrentIndex(0);
        emit ui->CboCompass->activated(0);
    }
}

void TFrmMain::ImgCompassMouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pic->compassDrag = true;
    m_pic->compassStart = event->position().toPoint();
}

void TFrmMain::ImgCompassMouseMove(QMouseEvent *event)
{
    if (!m_pic->compassDrag)
        return;
    ui->ImgCompass->move(ui->ImgCompass->pos() + event->position().toPoint() - m_pic->compassStart);
    fitCompassPage(ui.get());
}

void TFrmMain::ImgCompassMouseUp(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pic->compassDrag = false;
}
