// The main window's menus, the text panes' popups and the home articles.
#include "TFrmMain.h"

#include "ui_TFrmMain.h"

#include "AppPath.h"
#include "Prompts.h"
#include "Resources.h"
#include "ShellOpen.h"
#include "TextPanes.h"
#include "ToolWindows.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>

namespace {

// CboJiaJu: item i shows the text resource "t<i>".
const char16_t *const kArticleTitles[] = {
    u"家居风水：总论", u"家居风水：大门篇", u"家居风水：床位篇", u"家居风水：卧室篇",
    u"家居风水：办公室办公桌篇", u"家居风水：后院篇", u"家居风水：孩子卧室篇", u"家居风水：前庭院篇",
    u"家居风水：挂图篇", u"家居风水：厕所篇", u"家居风水：新婚洞房篇", u"家居风水：厨灶篇",
    u"家居风水：颜色篇", u"家居风水：装饰艺术品篇", u"家居风水：门", u"家居风水：卧房",
    u"家居风水：床", u"家居风水：厨房", u"家居风水：文昌位", u"恋爱风水",
    u"卧室风水", u"招财风水", u"职场风水", u"其他一",
    u"其他二", u"其他三"};

const QString kDone = QStringLiteral("设置完成");

} // namespace

void TFrmMain::setupTextPanes()
{
    TextPanes::InstallPopup(ui->RedtQuorin, QStringLiteral("PopupRdtYang"), true);
    TextPanes::InstallPopup(ui->RedtPingYu, QStringLiteral("PopPingYu"), false);
    for (const char16_t *title : kArticleTitles)
        ui->CboJiaJu->addItem(QString::fromUtf16(title));
    ui->CboJiaJu->setCurrentIndex(-1);
    connect(ui->CboJiaJu, &QComboBox::activated, this, &TFrmMain::CboJiaJuClick);
    connect(ui->ColGrid, &ColourGrid::foregroundChanged, this, &TFrmMain::ColGridChange);
    ColGridChange(ui->ColGrid->ForegroundColor());
}

// Menus are built from two tables so that a command joins its menu with one line. A menu left without
// items (a tool whose window is not built yet) is not shown.
void TFrmMain::buildMenus()
{
    struct SubMenu {
        const char *parent; // objectName of the menu bar or menu it goes into
        const char *before; // objectName of the item or menu it goes before; nullptr: at the end
        const char *name;
        const char16_t *title;
    };
    static const SubMenu subMenus[] = {
        {"MainMenu", "mnuHelp", "mnuTool", u"工具"},
        {"mnuOption", "Opt_Skin", "mnuMingGao", u"命稿设置"},
        {"mnuHelp", "HmnuRhelp", "mnuMingLi", u"命理知识"},
    };
    struct Item {
        const char *menu;
        const char *name;
        const char16_t *text;
        QKeyCombination shortcut;
        void (TFrmMain::*command)();
    };
    static const Item items[] = {
        {"mnuMingGao", "Osetmo", u"默认", {}, &TFrmMain::OsetmoClick},
        {"mnuMingGao", "Omnusetfont", u"字体设置", {}, &TFrmMain::OmnusetfontClick},
        {"mnuMingGao", "Omnusetcolor", u"背景色设置", {}, &TFrmMain::OmnusetcolorClick},
        {"mnuMingLi", "mlzishi", u"相关知识", {}, &TFrmMain::MlzishiClick},
        {"mnuTool", "MenuMenDing", u"门公、丁兰尺", {}, &TFrmMain::MenuMenDingClick},
        {"mnuTool", "TmnuMenChi", u"门尺占", {}, &TFrmMain::TmnuMenChiClick},
        {"mnuTool", "TmnuJiuXing", u"九星运行图", Qt::CTRL | Qt::Key_J, &TFrmMain::TmnuJiuXingClick},
        {"mnuTool", "TmnuFeiBu", u"九星飞布图", {}, &TFrmMain::TmnuFeiBuClick},
        {"mnuTool", "Tmnuwnl", u"万年历", {}, &TFrmMain::TmnuwnlClick},
    };

    auto actionNamed = [this](const char *name) -> QAction * {
        if (!name)
            return nullptr;
        if (auto *menu = findChild<QMenu *>(QLatin1String(name)))
            return menu->menuAction();
        return findChild<QAction *>(QLatin1String(name));
    };
    for (const SubMenu &s : subMenus) {
        auto *menu = new QMenu(QString::fromUtf16(s.title), this);
        menu->setObjectName(QLatin1String(s.name));
        QWidget *parent = qstrcmp(s.parent, "MainMenu") == 0 ? static_cast<QWidget *>(ui->MainMenu)
                                                             : findChild<QMenu *>(QLatin1String(s.parent));
        parent->insertAction(actionNamed(s.before), menu->menuAction());
    }
    for (const Item &i : items) {
        auto *menu = findChild<QMenu *>(QLatin1String(i.menu));
        QAction *a = menu->addAction(QString::fromUtf16(i.text));
        a->setObjectName(QLatin1String(i.name));
        if (i.shortcut.key() != Qt::Key_unknown)
            a->setShortcut(QKeySequence(i.shortcut));
        connect(a, &QAction::triggered, this, i.command);
    }
    // The floor-plan drawing modes and their pen and text settings follow the tool windows.
    if (auto *tools = findChild<QMenu *>(QStringLiteral("mnuTool"))) {
        tools->addSeparator();
        tools->addActions(PictureToolActions());
    }
    for (const SubMenu &s : subMenus) {
        auto *menu = findChild<QMenu *>(QLatin1String(s.name));
        menu->menuAction()->setVisible(!menu->isEmpty());
    }
}

void TFrmMain::OsetmoClick()
{
    QFont f = ui->RedtQuorin->font();
    f.setFamily(QStringLiteral("宋体"));
    f.setPointSize(12);
    ui->RedtQuorin->setFont(f);
    ui->RedtQuorin->document()->setDefaultFont(f);
    QPalette pal = ui->RedtQuorin->palette();
    pal.setColor(QPalette::Base, Qt::white);
    ui->RedtQuorin->setPalette(pal);
    inform(kDone);
}

void TFrmMain::OmnusetfontClick()
{
    const std::optional<QFont> chosen = Prompts::instance().chooseFont(QStringLiteral("字体设置"), ui->RedtQuorin->font());
    if (!chosen)
        return;
    QFont f = ui->RedtQuorin->font();
    f.setFamily(chosen->family());
    f.setPointSizeF(chosen->pointSizeF());
    ui->RedtQuorin->setFont(f);
    ui->RedtQuorin->document()->setDefaultFont(f);
    inform(kDone);
}

void TFrmMain::OmnusetcolorClick()
{
    QPalette pal = ui->RedtQuorin->palette();
    const std::optional<QColor> chosen =
        Prompts::instance().chooseColour(QStringLiteral("背景色设置"), pal.color(QPalette::Base));
    if (!chosen)
        return;
    pal.setColor(QPalette::Base, *chosen);
    ui->RedtQuorin->setPalette(pal);
    inform(kDone);
}

void TFrmMain::MlzishiClick()
{
    const QString path = AppPath() + QStringLiteral("dat/fszs.chm");
    if (!QFileInfo::exists(path)) {
        // The file is not shipped: the user is told where it belongs.
        Prompts::instance().inform(QStringLiteral("相关知识"),
                                   QStringLiteral("没有找到知识文件 fszs.chm。\n请把它放到程序的 dat 文件夹中：\n%1")
                                       .arg(QDir::toNativeSeparators(AppPath() + QStringLiteral("dat"))));
        return;
    }
    if (!ShellOpen(path))
        Prompts::instance().warn(QStringLiteral("相关知识"),
                                 QStringLiteral("这台电脑上没有可以打开 fszs.chm 的程序。\n"
                                                "请安装 CHM 阅读器（例如 xchm 或 kchmviewer）后再试。"));
}

void TFrmMain::CboJiaJuClick(int item)
{
    if (item < 0)
        return;
    ui->MeoJiaJu->setPlainText(LoadText(QStringLiteral("t%1").arg(item)));
}

void TFrmMain::ColGridChange(const QColor &colour)
{
    QPalette pal = ui->MeoJiaJu->palette();
    pal.setColor(QPalette::Text, colour);
    ui->MeoJiaJu->setPalette(pal);
}

void TFrmMain::MenuMenDingClick() { ShowMenChi2(this); }
void TFrmMain::TmnuMenChiClick() { ShowMenChi(this); }
void TFrmMain::TmnuJiuXingClick() { ShowJiuXing(this); }
void TFrmMain::TmnuFeiBuClick() { ShowFeiBu(this); }
void TFrmMain::TmnuwnlClick() { ShowWnl(this); }
