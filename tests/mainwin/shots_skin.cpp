// Shows the whole program in a skin, or native, for screenshots under a real X server (not a test):
//   shots_skin Mx1|Mx2|native main|dialog|message|menu|switch|fresh|fresh-switch|fresh-plan|fenlei|input|<menu item>
//              [seconds]
// The program starts as a user's would, with the skin chosen in qrinit.ini; a house is laid out; then the
// settings dialog, a message box or the first menu of the menu bar is opened. "switch" starts native and
// chooses the skin and 系统默认 in turn from the skin menu, four times each, printing the window's outer
// top-left and size after each choice. "fresh" starts as a first start (no stored size) in the skin given,
// "fresh-switch" besides chooses the other looks in turn, "fresh-plan" loads a floor plan wider than the view
// under the round chart. "replay" and "fresh-replay" turn the chart, start a second program on the same data
// folder (refused), open the import dialog, then choose Mx1, Mx2 and 系统默认, printing the window's frame after
// each step and writing /tmp/skinshots/replay-<step>.png of the screen; with QUORIN_BUSY_WM set to the window
// manager's process id, the manager is held busy for 1.5 s at each choice. "fenlei" opens the category question of saving, "input" the length question of the
// door ruler, and a menu item's name (TmnuJiuXing, ...) opens its window.
#include "AppPath.h"
#include "DataFolderLock.h"
#include "IniFile.h"
#include "Prompts.h"
#include "TFrmFenLei.h"
#include "TFrmMain.h"
#include "TFrmSet.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <csignal>

namespace {

// Chooses the skin and 系统默认 in turn from the skin menu, 1.5 s apart, printing the window's outer top-left
// and size once the window manager is done.
void switchInTurn(QWidget &w, const QString &skin, bool fromSkin)
{
    for (int i = 0; i <= 8; ++i) {
        const QString other = fromSkin ? QStringLiteral("系统默认") : skin;
        const QString back = fromSkin ? skin : QStringLiteral("系统默认");
        const QString look = i == 0 ? QStringLiteral("start") : i % 2 ? other : back;
        QTimer::singleShot(1500 * i, &w, [&w, look] {
            for (QAction *a : w.findChild<QMenu *>(QStringLiteral("Opt_Skin"))->actions())
                if (a->text() == look)
                    a->trigger();
            QTimer::singleShot(1000, Qt::PreciseTimer, &w, [&w, look] {
                const QRect f = w.frameGeometry();
                std::printf("%-8s outer top-left (%d,%d) size %dx%d\n", qPrintable(look), f.x(), f.y(), f.width(),
                            f.height());
                std::fflush(stdout);
            });
        });
    }
}

void report(QWidget &w, const char *step)
{
    const QRect f = w.frameGeometry(), g = w.geometry();
    QWidget *input = w.findChild<QWidget *>(QStringLiteral("PanInput"));
    const QPoint in = input->mapTo(&w, QPoint(0, input->height()));
    std::printf("%-10s frame (%d,%d) %dx%d  geom (%d,%d) %dx%d  min %dx%d  central %dx%d  input bottom %d  margins %d,%d\n",
                step, f.x(), f.y(), f.width(), f.height(), g.x(), g.y(), g.width(), g.height(), w.minimumWidth(),
                w.minimumHeight(), static_cast<QMainWindow &>(w).centralWidget()->width(), static_cast<QMainWindow &>(w).centralWidget()->height(), in.y(),
                w.contentsMargins().top(), w.contentsMargins().bottom());
    std::fflush(stdout);
}

void press(QWidget *w, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void shot(QWidget &w, const char *step)
{
    report(w, step);
    QDir().mkpath(QStringLiteral("/tmp/skinshots"));
    w.screen()->grabWindow(0).save(QStringLiteral("/tmp/skinshots/replay-%1.png").arg(QLatin1String(step)));
}

// A turned chart, a refused second copy, an import dialog, then Mx1, Mx2 and 系统默认 chosen in turn.
void replay(QWidget &w, const QString &folder)
{
    auto *lock = new DataFolderLock;
    lock->Acquire(DataPath());
    QFile::copy(QStringLiteral(QUORIN_STAGE_DIR "/quorin"), folder + QStringLiteral("/quorin"));
    auto *closer = new QTimer(&w);
    QObject::connect(closer, &QTimer::timeout, &w, [&w] {
        if (QWidget *modal = QApplication::activeModalWidget())
            if (auto *d = qobject_cast<QDialog *>(modal)) {
                static int n = 0;
                shot(w, QStringLiteral("dialog%1").arg(++n).toLatin1().constData());
                d->reject();
            }
    });
    shot(w, "start");
    QTimer::singleShot(500, &w, [&w] {
        w.findChild<QRadioButton *>(QStringLiteral("RdoPanShape_0"))->click();
        static_cast<TFrmMain &>(w).BtnPaiClick();
        QWidget *img1 = w.findChild<QWidget *>(QStringLiteral("Img1"));
        press(img1, QEvent::MouseButtonPress, {250, 298});
        press(img1, QEvent::MouseMove, {254, 298});
        press(img1, QEvent::MouseMove, {258, 300});
        press(img1, QEvent::MouseButtonRelease, {258, 300});
    });
    QTimer::singleShot(1500, &w, [&w] { shot(w, "turned"); });
    QTimer::singleShot(2000, &w, [&w, folder] {
        auto *second = new QProcess(&w);
        second->start(folder + QStringLiteral("/quorin"), {});
        QTimer::singleShot(1500, &w, [&w] { shot(w, "second"); });
        QTimer::singleShot(2500, second, [second] { second->kill(); });
    });
    QTimer::singleShot(5500, &w, [&w] { shot(w, "refused"); });
    QTimer::singleShot(6000, &w, [&w, closer] {
        closer->start(1500);
        w.findChild<QAction *>(QStringLiteral("db1"))->trigger();
        closer->stop();
        shot(w, "import");
    });
    const char *looks[] = {"Mx1", "Mx2", "系统默认"};
    const int gap = 4000;
    for (int i = 0; i < 3; ++i)
        QTimer::singleShot(12000 + gap * i, &w, [&w, look = QString::fromUtf8(looks[i]), i, gap] {
            for (QAction *a : w.findChild<QMenu *>(QStringLiteral("Opt_Skin"))->actions())
                if (a->text() == look)
                    a->trigger();
            std::printf("chose %s\n", qPrintable(look));
            if (const int wm = qEnvironmentVariableIntValue("QUORIN_BUSY_WM"); wm > 0) { // a busy window manager
                ::kill(wm, SIGSTOP);
                QTimer::singleShot(1500, [wm] { ::kill(wm, SIGCONT); });
            }
            QTimer::singleShot(gap - 100, &w, [&w, i] { shot(w, i == 0 ? "Mx1" : i == 1 ? "Mx2" : "native"); });
        });
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    const QString skin = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Mx1");
    const QString scene = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("main");
    const int seconds = argc > 3 ? atoi(argv[3]) : 6;
    const bool fresh = scene.startsWith(u"fresh");
    QTemporaryDir dir;
    SetAppPath(dir.path());
    MakeProgramFolders();
    for (const char *name : {"Mx1", "Mx2"})
        QFile::copy(QStringLiteral(QUORIN_STAGE_DIR "/skins/%1.skn").arg(QLatin1String(name)),
                    dir.path() + QStringLiteral("/skins/%1.skn").arg(QLatin1String(name)));
    QFile::copy(QStringLiteral(QUORIN_STAGE_DIR "/dat/set.ini"), dir.path() + QStringLiteral("/dat/set.ini"));
    {
        IniFile ini(dir.path() + QStringLiteral("/dat/qrinit.ini"));
        ini.WriteBool(QStringLiteral("window"), QStringLiteral("skined"), skin != u"native" && scene != u"switch");
        ini.WriteString(QStringLiteral("window"), QStringLiteral("skinname"), skin);
        const bool switching = scene == u"switch"; // a window that fits the screen in either look
        if (!fresh) {
            ini.WriteInteger(QStringLiteral("window"), QStringLiteral("left"), switching ? 40 : 20);
            ini.WriteInteger(QStringLiteral("window"), QStringLiteral("top"), switching ? 22 : 20);
            ini.WriteInteger(QStringLiteral("window"), QStringLiteral("width"), switching ? 1100 : 1300);
            ini.WriteInteger(QStringLiteral("window"), QStringLiteral("height"), switching ? 700 : 820);
        }
    }
    TFrmMain w;
    w.show();
    w.findChild<QLineEdit *>(QStringLiteral("LedtZtd"))->setText(QStringLiteral("2:30"));
    w.findChild<QLineEdit *>(QStringLiteral("EdtYear"))->setText(QStringLiteral("2004"));
    w.findChild<QLineEdit *>(QStringLiteral("EdtName"))->setText(QStringLiteral("张三"));
    w.findChild<QLineEdit *>(QStringLiteral("LedtShengNian"))->setText(QStringLiteral("1980"));
    w.BtnPaiClick();
    QTimer::singleShot(1000, [&] {
        if (scene == u"dialog") {
            auto *d = new TFrmSet(&w);
            d->move(300, 200);
            d->show();
        } else if (scene == u"message") {
            auto *b = new QMessageBox(QMessageBox::Question, QStringLiteral("关闭"), QStringLiteral("确定要关闭软件吗？"),
                                      QMessageBox::Yes | QMessageBox::No, &w);
            b->show();
        } else if (scene == u"switch") {
            switchInTurn(w, skin, false);
        } else if (scene == u"fresh-switch") {
            switchInTurn(w, skin == u"native" ? QStringLiteral("Mx1") : skin, skin != u"native");
        } else if (scene == u"fresh-plan") {
            // After the first showing's placing has ended, as a user's plan comes.
            QTimer::singleShot(2500, &w, [&w, &dir] {
                w.findChild<QRadioButton *>(QStringLiteral("RdoPanShape_0"))->click();
                w.BtnPaiClick();
                QImage plan(760, 640, QImage::Format_RGB32);
                plan.fill(QColor(230, 240, 255));
                plan.save(dir.path() + QStringLiteral("/plan.bmp"));
                w.LoadFloorPlan(dir.path() + QStringLiteral("/plan.bmp"));
            });
            QTimer::singleShot(4000, &w, [&w] {
                const QRect f = w.frameGeometry();
                QWidget *vp = w.findChild<QWidget *>(QStringLiteral("ScrollBox1"))->findChild<QWidget *>(QStringLiteral("qt_scrollarea_viewport"));
                QWidget *img1 = w.findChild<QWidget *>(QStringLiteral("Img1"));
                std::printf("outer (%d,%d) %dx%d, available height %d  viewport %d chart bottom %d\n", f.x(), f.y(), f.width(), f.height(),
                            w.screen()->availableGeometry().height(), vp->height(), img1->mapTo(vp, QPoint(0, img1->height())).y());
                std::fflush(stdout);
            });
        } else if (scene.endsWith(u"replay")) {
            replay(w, dir.path());
        } else if (scene == u"fenlei") {
            auto *d = new TFrmFenLei({QStringLiteral("默认")}, &w);
            d->show();
        } else if (scene == u"input") {
            Prompts::instance().inputText(QStringLiteral("物件长度"), QStringLiteral("请输入物件长度，以寸为单位。"), {});
        } else if (QAction *item = w.findChild<QAction *>(scene)) {
            item->trigger();
        } else if (scene == u"menu") {
            const QList<QAction *> menus = w.menuBar()->actions();
            if (!menus.isEmpty() && menus.first()->menu())
                menus.first()->menu()->popup(w.mapToGlobal(QPoint(20, 60)));
        }
    });
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(0); }); // no closing questions
    return app.exec();
}
