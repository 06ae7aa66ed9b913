// Every control skin in its states, in each shipped skin, side by side in skin_control_gallery.png (run by
// hand from the build folder, look at the picture). Arguments: the folder of the staged skins (default: the
// build's own).
#include "SkinDiscovery.h"
#include "TSkinData.h"
#include "TSkinManage.h"
#include "TSkinnedForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>
#include <memory>

namespace {

QIcon Glyph()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, 12, 12);
    p.setBrush(Qt::white);
    p.drawEllipse(6, 6, 4, 4);
    return QIcon(pm);
}

void Press(QWidget *w, QPoint at)
{
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void Hover(QWidget *w)
{
    QEnterEvent e(QPointF(3, 3), QPointF(3, 3), QPointF(w->mapToGlobal(QPoint(3, 3))));
    QCoreApplication::sendEvent(w, &e);
}

struct Gallery {
    QWidget window;
    QPushButton *focused = nullptr;
    std::vector<std::function<void()>> states; // applied once the window is skinned

    Gallery()
    {
        window.setWindowTitle(QStringLiteral("控件皮肤"));
        auto *grid = new QGridLayout(&window);
        int row = 0;
        auto label = [&](const QString &text) { grid->addWidget(new QLabel(text), row, 0); };
        auto put = [&](int column, QWidget *w) { grid->addWidget(w, row, column); };

        label(QStringLiteral("按钮"));
        const char *names[] = {"正常", "悬停", "按下", "禁用", "焦点"};
        for (int i = 0; i < 5; ++i) {
            auto *b = new QPushButton(QString::fromUtf8(names[i]));
            put(i + 1, b);
            if (i == 1) states.push_back([b] { Hover(b); });
            if (i == 2) states.push_back([b] { Press(b, {5, 5}); });
            if (i == 3) b->setEnabled(false);
            if (i == 4) focused = b;
        }
        ++row;
        label(QStringLiteral("图标按钮"));
        put(1, new QPushButton(Glyph(), QStringLiteral("排盘")));
        auto *iconHot = new QPushButton(Glyph(), QStringLiteral("保存"));
        put(2, iconHot);
        states.push_back([iconHot] { Hover(iconHot); });
        auto *iconOff = new QPushButton(Glyph(), QStringLiteral("打印"));
        iconOff->setEnabled(false);
        put(3, iconOff);
        auto *twoLines = new QPushButton(QStringLiteral("上||下"));
        twoLines->setMinimumHeight(40);
        put(4, twoLines);
        auto *menu = new QPushButton(QStringLiteral("菜单"));
        menu->setMenu(new QMenu(menu));
        put(5, menu);
        ++row;
        label(QStringLiteral("工具按钮"));
        auto tool = [&](bool flat, bool checked, bool hot) {
            auto *t = new QToolButton;
            t->setIcon(Glyph());
            t->setText(QStringLiteral("罗盘"));
            t->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            t->setAutoRaise(flat);
            t->setCheckable(checked);
            t->setChecked(checked);
            if (hot)
                states.push_back([t] { Hover(t); });
            return t;
        };
        put(1, tool(false, false, false));
        put(2, tool(true, false, false));
        put(3, tool(true, false, true));
        put(4, tool(false, true, false));
        auto *under = tool(false, false, false);
        under->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        put(5, under);
        auto *dots = new QToolButton; // icon-only without an icon: the toolkit shows the text
        dots->setText(QStringLiteral("…"));
        put(6, dots);
        ++row;
        label(QStringLiteral("复选框"));
        for (int i = 0; i < 5; ++i) {
            auto *c = new QCheckBox(QStringLiteral("飞星"));
            c->setTristate(true);
            c->setCheckState(i == 0 ? Qt::Unchecked : i == 1 || i == 3 ? Qt::Checked : Qt::PartiallyChecked);
            c->setEnabled(i < 3);
            put(i + 1, c);
        }
        ++row;
        label(QStringLiteral("单选"));
        for (int i = 0; i < 4; ++i) {
            auto *r = new QRadioButton(QStringLiteral("下卦"));
            r->setAutoExclusive(false);
            r->setChecked(i % 2 == 1);
            r->setEnabled(i < 2);
            put(i + 1, r);
        }
        auto *group = new QGroupBox(QStringLiteral("元运"));
        auto *gl = new QVBoxLayout(group);
        for (const char *t : {"上元", "中元", "下元"})
            gl->addWidget(new QRadioButton(QString::fromUtf8(t)));
        static_cast<QRadioButton *>(gl->itemAt(1)->widget())->setChecked(true);
        grid->addWidget(group, row, 5, 3, 1);
        ++row;
        label(QStringLiteral("进度"));
        for (int i = 0; i < 3; ++i) {
            auto *p = new QProgressBar;
            p->setValue(i * 50);
            p->setTextVisible(false);
            put(i + 1, p);
        }
        auto *vertical = new QProgressBar;
        vertical->setOrientation(Qt::Vertical);
        vertical->setValue(60);
        vertical->setTextVisible(false);
        vertical->setFixedHeight(80);
        grid->addWidget(vertical, row, 4, 3, 1);
        ++row;
        label(QStringLiteral("滑块"));
        auto *slider = new QSlider(Qt::Horizontal);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setValue(30);
        grid->addWidget(slider, row, 1, 1, 2);
        auto *sliderOff = new QSlider(Qt::Horizontal);
        sliderOff->setValue(70);
        sliderOff->setEnabled(false);
        put(3, sliderOff);
        ++row;
        label(QStringLiteral("微调"));
        auto *spin = new QSpinBox;
        put(1, spin);
        auto *spinUp = new QSpinBox;
        put(2, spinUp);
        states.push_back([spinUp] { Press(spinUp, QPoint(spinUp->width() - 6, 6)); });
        auto *spinOff = new QSpinBox;
        spinOff->setEnabled(false);
        put(3, spinOff);
        ++row;
    }
};

QImage Shoot(const QString &skinFile)
{
    TSkinManage::Install();
    auto data = std::make_unique<TSkinData>();
    data->LoadFromFile(skinFile);
    if (data->Empty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(skinFile), qPrintable(data->lastError()));
        return {};
    }
    data->SetActive(true);
    Gallery g;
    g.window.show();
    QTest::qWaitForWindowExposed(&g.window);
    auto *manager = static_cast<TSkinManage *>(SkinManager());
    manager->AddForm(&g.window);
    QCoreApplication::sendPostedEvents();
    g.window.activateWindow();
    QTest::qWaitForWindowActive(&g.window);
    for (auto &state : g.states)
        state();
    g.focused->setFocus();
    QCoreApplication::processEvents();
    SkinDiscovery *found = SkinDiscovery::Find(manager->FindSkinForm(&g.window));
    std::printf("%s: %d control skins\n", qPrintable(skinFile), found ? found->Count() : 0);
    QImage shot = g.window.grab().toImage();
    data.reset();
    ResetSkinManager();
    SetSkinManagerFactory(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return shot;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(STAGED_SKINS);
    std::vector<QImage> shots;
    for (const char *name : {"Mx1.skn", "Mx2.skn"})
        shots.push_back(Shoot(folder + QLatin1Char('/') + QLatin1String(name)));
    int w = 0, h = 0;
    for (const QImage &s : shots)
        w += s.width() + 10, h = std::max(h, s.height());
    QImage sheet(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    int x = 0;
    for (const QImage &s : shots) {
        p.drawImage(x, 0, s);
        x += s.width() + 10;
    }
    p.end();
    sheet.save(QStringLiteral("skin_control_gallery.png"));
    std::printf("skin_control_gallery.png %dx%d\n", sheet.width(), sheet.height());
    return 0;
}
