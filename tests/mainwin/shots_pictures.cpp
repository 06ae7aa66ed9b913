// Shows the picture tools in a given state for screenshots under a real X server (not a test):
//   shots_pictures plan|rings|compass|adjust [seconds]
// plan: a floor plan with drawings under the round chart; rings: the chart's compass view; compass: the compass
// page with the shipped photograph as it opens, turned to a laid-out house; adjust: the compass-adjust dialog with
// the photograph loaded.
#include "AppPath.h"
#include "IniFile.h"
#include "ScriptedPrompts.h"
#include "TFrmAdjustCompass.h"
#include "TFrmMain.h"
#include "TImage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

void Send(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Drag(QWidget *w, std::initializer_list<QPoint> points)
{
    const QPoint *p = points.begin();
    Send(w, QEvent::MouseButtonPress, *p);
    for (; p != points.end(); ++p)
        Send(w, QEvent::MouseMove, *p);
    Send(w, QEvent::MouseButtonRelease, *(points.end() - 1));
}

QImage FloorPlan()
{
    QImage plan(760, 640, QImage::Format_RGB32);
    plan.fill(Qt::white);
    QPainter p(&plan);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 8));
    p.drawRect(40, 40, 680, 560);
    p.setPen(QPen(QColor(60, 60, 60), 5));
    p.drawLine(40, 300, 420, 300);
    p.drawLine(420, 40, 420, 600);
    p.drawLine(420, 360, 720, 360);
    p.drawLine(230, 300, 230, 600);
    p.setFont(QFont(QStringLiteral("宋体"), 16));
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRect(40, 40, 380, 260), Qt::AlignCenter, QStringLiteral("客厅"));
    p.drawText(QRect(420, 40, 300, 320), Qt::AlignCenter, QStringLiteral("主卧"));
    p.drawText(QRect(40, 300, 190, 300), Qt::AlignCenter, QStringLiteral("厨房"));
    p.drawText(QRect(230, 300, 190, 300), Qt::AlignCenter, QStringLiteral("卫生间"));
    p.drawText(QRect(420, 360, 300, 240), Qt::AlignCenter, QStringLiteral("次卧"));
    return plan;
}

void LayOut(TFrmMain &w, const QString &degree)
{
    w.findChild<QLineEdit *>(QStringLiteral("LedtZtd"))->setText(degree);
    w.findChild<QToolButton *>(QStringLiteral("SpeedButton2"))->click();
    w.findChild<QLineEdit *>(QStringLiteral("EdtYear"))->setText(QStringLiteral("2004"));
    w.findChild<QLineEdit *>(QStringLiteral("EdtName"))->setText(QStringLiteral("张三"));
    w.findChild<QLineEdit *>(QStringLiteral("LedtShengNian"))->setText(QStringLiteral("1980"));
    w.BtnPaiClick();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    const QString scene = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("plan");
    const int seconds = argc > 2 ? atoi(argv[2]) : 6;

    QTemporaryDir dir;
    SetAppPath(dir.path());
    MakeProgramFolders();
    QFile::copy(QStringLiteral(QUORIN_STAGE_DIR "/compass/示范罗盘.jpg"), AppPath() + QStringLiteral("compass/示范罗盘.jpg"));
    {
        IniFile ini(AppPath() + QStringLiteral("dat/qrinit.ini"));
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("left"), 0);
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("top"), 0);
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("width"), 1270);
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("height"), 760);
        ini.WriteInteger(QStringLiteral("window"), QStringLiteral("PanLeftPic"), 800);
    }
    ScriptedPrompts prompts;
    std::unique_ptr<TFrmAdjustCompass> dlg;
    TFrmMain w;
    w.show();
    if (scene == QLatin1String("adjust")) {
        dlg = std::make_unique<TFrmAdjustCompass>(&w);
        dlg->show();
        dlg->LoadPicture(AppPath() + QStringLiteral("compass/示范罗盘.jpg"));
        dlg->findChild<QPushButton *>(QStringLiteral("Button1"))->click(); // +90
        for (int i = 0; i < 8; ++i)
            dlg->findChild<QPushButton *>(QStringLiteral("Button4"))->click(); // rim a little in
        dlg->findChild<QCheckBox *>(QStringLiteral("ChkAround"))->click();
    } else if (scene == QLatin1String("compass")) {
        LayOut(w, QStringLiteral("150:0"));
        w.findChild<QTabWidget *>(QStringLiteral("PageTools"))->setCurrentWidget(w.findChild<QWidget *>(QStringLiteral("TabCompass")));
    } else if (scene == QLatin1String("rings")) {
        w.findChild<QRadioButton *>(QStringLiteral("RdoPanShape_0"))->click();
        LayOut(w, QStringLiteral("165:0"));
        w.findChild<QAction *>(QStringLiteral("pMenuCompassShow"))->trigger();
    } else {
        w.findChild<QRadioButton *>(QStringLiteral("RdoPanShape_0"))->click();
        LayOut(w, QStringLiteral("165:0"));
        FloorPlan().save(dir.path() + QStringLiteral("/plan.bmp"));
        w.LoadFloorPlan(dir.path() + QStringLiteral("/plan.bmp"));
        auto *bk = w.findChild<TImage *>(QStringLiteral("ImgBk"));
        auto *img1 = w.findChild<TImage *>(QStringLiteral("Img1"));
        const auto mode = [&](const char *item) { w.findChild<QAction *>(QString::fromLatin1(item))->trigger(); };
        mode("N11");
        Drag(bk, {{560, 440}, {600, 480}, {660, 520}});
        mode("N17");
        Drag(bk, {{470, 90}, {520, 140}, {680, 300}});
        mode("N9");
        Drag(bk, {{60, 120}, {90, 100}, {130, 120}, {170, 100}, {210, 120}});
        mode("N18");
        for (QPoint p : {QPoint(60, 270), QPoint(200, 270)}) {
            Send(bk, QEvent::MouseButtonPress, p);
            Send(bk, QEvent::MouseButtonRelease, p);
        }
        Send(bk, QEvent::MouseButtonPress, {90, 230}, Qt::RightButton);
        Send(bk, QEvent::MouseButtonRelease, {90, 230}, Qt::RightButton);
        mode("N12");
        w.findChild<QLineEdit *>(QStringLiteral("EdtWord"))->setText(QStringLiteral("大门"));
        w.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        mode("N21");
        img1->raise();
        Drag(img1, {{200, 200}, {230, 230}, {330, 230}}); // the chart over the middle of the plan
    }
    QTimer::singleShot(seconds * 1000, &app, [&] {
        dlg.reset();
        prompts.reply(Prompts::Answer::Yes);
        w.close();
        app.quit();
    });
    return app.exec();
}
