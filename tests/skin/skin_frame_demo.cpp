// Shows skinned windows for a look by eye: skin_frame_demo test|off|main|dialog|message [package.skn]
// ("off" is the test window whose skin is switched off again after two seconds.)
#include "AppPath.h"
#include "FontSubstitution.h"
#include "SkinFrameTestSkin.h"
#include "TFrmMain.h"
#include "TFrmSet.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quorin 3.3"));
    RegisterFontSubstitutions();
    MakeProgramFolders();
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("test");
    const QString package = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    TSkinManage::Install();
    TSkinData data;
    const bool probe = mode == u"test" || mode == u"off";
    if (probe)
        data.LoadFromStream(frametest::Package(true));
    else
        data.LoadFromFile(package);
    if (data.Empty()) {
        qWarning("skin not loaded: %s", qPrintable(data.lastError()));
        return 1;
    }
    data.SetActive(true);

    std::unique_ptr<QWidget> window;
    std::unique_ptr<TFrmSet> dialog;
    if (probe) {
        window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("测试框架：拖动标题栏移动，拖动边框改变大小"));
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(new QLabel(QStringLiteral("客户区")));
        window->resize(420, 260);
        window->move(80, 80);
    } else {
        window = std::make_unique<TFrmMain>();
        window->resize(1000, 680);
        window->move(20, 20);
    }
    window->show();
    if (mode == u"dialog") {
        dialog = std::make_unique<TFrmSet>(window.get());
        dialog->move(200, 160);
        dialog->show();
    }
    if (mode == u"off")
        QTimer::singleShot(2000, [&] { data.SetActive(false); });
    if (mode == u"message")
        QTimer::singleShot(300, [&] {
            QMessageBox::information(window.get(), QStringLiteral("一个比内容宽得多的消息框标题，看它怎样放宽"),
                                     QStringLiteral("好"));
        });
    return app.exec();
}
