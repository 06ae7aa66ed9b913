// Draws the container, field and scroll-bar skins of a skin package on one sheet (run by hand, look at it):
// skin_controls_sheet package.skn out.png
#include "SkinEdits.h"
#include "SkinPanels.h"
#include "TSkinData.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSizeGrip>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>
#include <vector>

namespace {

std::vector<std::unique_ptr<TSkinControl>> skins;

template <typename Skin> void skin(QWidget *w, TSkinData &data)
{
    auto s = std::make_unique<Skin>(w);
    s->Init(nullptr, &data);
    skins.push_back(std::move(s));
}

QTabWidget *tabs(QTabWidget::TabPosition position, TSkinData &data)
{
    auto *t = new QTabWidget;
    t->setTabPosition(position);
    for (const char *name : {"宅命", "流年", "罗盘"}) {
        auto *page = new QWidget;
        new QLabel(QStringLiteral("页面"), page);
        t->addTab(page, QString::fromUtf8(name));
    }
    t->setCurrentIndex(1);
    skin<TSkinTab>(t, data);
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        qWarning("skin_controls_sheet package.skn out.png");
        return 2;
    }
    QFile f(QString::fromLocal8Bit(argv[1]));
    TSkinData data;
    if (f.open(QIODevice::ReadOnly))
        data.LoadFromStream(f.readAll());
    if (data.Empty()) {
        qWarning("skin not loaded: %s", qPrintable(data.lastError()));
        return 1;
    }
    QWidget sheet;
    QPalette pal = sheet.palette();
    const quint32 face = data.Colors[TSkinData::ButtonFace];
    pal.setColor(QPalette::Window, QColor(face & 0xFF, (face >> 8) & 0xFF, (face >> 16) & 0xFF));
    sheet.setPalette(pal);
    auto *grid = new QGridLayout(&sheet);
    grid->addWidget(tabs(QTabWidget::North, data), 0, 0);
    grid->addWidget(tabs(QTabWidget::South, data), 0, 1);
    grid->addWidget(tabs(QTabWidget::West, data), 1, 0);
    grid->addWidget(tabs(QTabWidget::East, data), 1, 1);

    auto *box = new QGroupBox(QStringLiteral("显示飞星"));
    auto *boxLayout = new QVBoxLayout(box);
    auto *combo = new QComboBox;
    combo->addItems({QStringLiteral("子山午向"), QStringLiteral("癸山丁向")});
    auto *rtl = new QComboBox;
    rtl->addItems({QStringLiteral("右到左")});
    rtl->setLayoutDirection(Qt::RightToLeft);
    auto *off = new QComboBox;
    off->addItems({QStringLiteral("不可用")});
    off->setEnabled(false);
    auto *edit = new QLineEdit(QStringLiteral("2026"));
    auto *bare = new QLineEdit(QStringLiteral("无边框"));
    bare->setFrame(false);
    auto *date = new QDateEdit(QDate(2026, 12, 7));
    date->setCalendarPopup(true);
    for (QWidget *w : {static_cast<QWidget *>(combo), static_cast<QWidget *>(rtl), static_cast<QWidget *>(off),
                       static_cast<QWidget *>(edit), static_cast<QWidget *>(bare), static_cast<QWidget *>(date)})
        boxLayout->addWidget(w);
    skin<TSkinGroupBox>(box, data);
    for (QComboBox *c : {combo, rtl, off})
        skin<TSkinComBox>(c, data);
    skin<TSkinEdit>(edit, data);
    skin<TSkinEdit>(bare, data);
    skin<TSkinDateTime>(date, data);
    grid->addWidget(box, 2, 0);

    auto *rbox = new QGroupBox(QStringLiteral("右到左"));
    rbox->setLayoutDirection(Qt::RightToLeft);
    auto *tree = new QTreeWidget(rbox);
    tree->setHeaderLabels({QStringLiteral("案例"), QStringLiteral("日期"), QStringLiteral("一个很长很长很长的标题文字")});
    for (int i = 0; i < 30; ++i)
        new QTreeWidgetItem(tree, {QStringLiteral("张三 %1").arg(i), QStringLiteral("2026-12-07"), QStringLiteral("备注")});
    auto *rl = new QVBoxLayout(rbox);
    rl->addWidget(tree);
    skin<TSkinGroupBox>(rbox, data);
    skin<TSkinScrollbar>(tree, data);
    grid->addWidget(rbox, 2, 1);

    auto *bars = new QWidget;
    auto *bl = new QVBoxLayout(bars);
    auto *tools = new QToolBar;
    data.Options.exclude(TSkinOption::xoToolbarBK);
    for (const char *t : {"排盘", "保存", "打印"}) {
        QAction *a = tools->addAction(QString::fromUtf8(t));
        a->setCheckable(QByteArray(t) == "保存");
        a->setChecked(QByteArray(t) == "保存");
    }
    bl->addWidget(tools);
    skin<TSkinToolbar>(tools, data);
    for (QToolButton *b : tools->findChildren<QToolButton *>())
        skin<TSkinToolButton>(b, data);
    auto *status = new QStatusBar;
    for (QFrame::Shadow s : {QFrame::Sunken, QFrame::Raised, QFrame::Plain}) {
        auto *l = new QLabel(s == QFrame::Sunken ? QStringLiteral("凹") : s == QFrame::Raised ? QStringLiteral("凸") : QStringLiteral("平"));
        l->setFrameStyle(QFrame::Panel | s);
        l->setMinimumWidth(80);
        status->addPermanentWidget(l);
    }
    bl->addWidget(status);
    skin<TSkinStatusBar>(status, data);
    auto *text = new QPlainTextEdit(QString(QStringLiteral("一行很长很长的文字，比窗口宽得多，让两个滚动条都出现。\n")).repeated(30));
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    bl->addWidget(text);
    skin<TSkinScrollbar>(text, data);
    grid->addWidget(bars, 3, 0, 1, 2);

    sheet.resize(760, 820);
    sheet.show();
    QApplication::processEvents();
    QApplication::processEvents();
    sheet.grab().save(QString::fromLocal8Bit(argv[2]));
    skins.clear();
    return 0;
}
