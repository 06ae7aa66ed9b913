#include "TFrmMain.h"

#include "ui_TFrmMain.h"

#include "AppPath.h"
#include "CaseTree.h"
#include "CaseTreeLoader.h"
#include "ChartInputs.h"
#include "ChartRules.h"
#include "ChartSettings.h"
#include "CleanName.h"
#include "EnterPresses.h"
#include "FormUtil.h"
#include "IniFile.h"
#include "MQuorin.h"
#include "MRecordBase.h"
#include "MUiFont.h"
#include "Prompts.h"
#include "StoppedSession.h"
#include "TFrmSet.h"
#include "TFrmText.h"
#include "TFrmTxtHelp.h"
#include "TSkinData.h"
#include "WinColor.h"
#include "WindowGeometry.h"
#include "WindowTitles.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTextCursor>
#include <QTimer>

namespace {

const QString kWindow = QStringLiteral("window");
const QString kSoft = QStringLiteral("soft");
const QString kDefaultSkinItem = QStringLiteral("系统默认");
constexpr int kMinPanWidth = 500;
constexpr int kMinPanHeight = 580;
constexpr quint32 kDefaultReportColour = 0xC0CCD0;

std::unique_ptr<MRecordBase> g_caseDb;

// On a first start the report beside the chart picture shows lines of this many Chinese characters.
constexpr int kFirstStartReportColumns = 36;

// The client size of a first start: the whole chart picture in its panel with the input panel below it, the
// tree and the picture panel at the widths given, and the report with its chart-view panel beside them.
QSize firstStartClientSize(QMainWindow &window, Ui::TFrmMain &ui, int treeWidth, int picWidth)
{
    const QSize showing = WindowGeometry::ClientSizeShowing(window, *ui.ScrollBox1);
    const QMargins m = ui.PanMain->layout()->contentsMargins();
    const int column = QFontMetrics(ui.RedtQuorin->font()).horizontalAdvance(QChar(0x56FD)); // 国
    const int report = qMax(ui.PanReport->minimumSizeHint().width(), kFirstStartReportColumns * column);
    const int width = m.left() + treeWidth + picWidth + report + 2 * ui.SplitterMain->handleWidth() + m.right();
    return {qMax(showing.width(), width), showing.height()};
}

// What became of a typed owner name: characters a file name cannot hold taken out, a long name cut.
QString ownerNameNote(const NameCleaning &cleaning)
{
    QStringList notes;
    if (cleaning.removed || !cleaning.cut)
        notes << QStringLiteral("姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！");
    if (cleaning.cut)
        notes << QStringLiteral("姓名超过%1个字符，已经截短为前%1个字符！").arg(kCleanNameChars);
    return notes.join(QLatin1Char('\n'));
}

// The case file's own texts are Chinese; a text of the database engine (English) is put in the user's words,
// naming the file it could not open (path) and keeping the engine's words.
QString caseDbMessage(const MRecordBase &db, const QString &path)
{
    if (db.Message().contains(QRegularExpression(QStringLiteral("\\p{Han}"))))
        return db.Message();
    return QStringLiteral("无法打开案例数据库：\n%1\n\n文件已经损坏、不是案例数据库，或者无法读写（%2）。")
        .arg(QDir::toNativeSeparators(path), db.Message());
}

} // namespace

MRecordBase *CaseDb()
{
    return g_caseDb.get();
}

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFrmMain>())
{
    ui->setupUi(this);
    setWindowTitle(QApplication::applicationDisplayName());
    // The window may be made as small as the user likes; controls that do not fit are clipped.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    ui->PanMain->layout()->setSizeConstraint(QLayout::SetNoConstraint);
    ui->PanMain->setMinimumSize(0, 0);
    // The tree and the picture panel keep their widths when the window is resized; the text panes take the rest.
    ui->SplitterMain->setStretchFactor(0, 0);
    ui->SplitterMain->setStretchFactor(1, 0);
    ui->SplitterMain->setStretchFactor(2, 1);
    ui->SplitterText->setStretchFactor(0, 1);
    ui->SplitterText->setStretchFactor(1, 0);

    // The font setting is the one of this program start.
    const ChartSettings fontSettings = ReadChartSettings();
    AppUiFont.LoadSettings(fontSettings.iFontSizeVar, fontSettings.bChangeMenuSize);

    for (int i = 0; i < ui->ChkShowGua->count(); ++i)
        ui->ChkShowGua->item(i)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    ui->RdoColor_0->setChecked(true);
    ui->GrpShowStar_0->setChecked(true);
    // Floor plan underneath, chart on top; the chart's transparent parts let the floor plan show through.
    ui->ImgBk->Picture() = QImage(ui->ImgBk->size(), QImage::Format_RGB32);
    ui->ImgBk->Picture().fill(Qt::white);
    ui->Img1->Picture() = QImage(ui->Img1->size(), QImage::Format_ARGB32_Premultiplied);
    ui->Img1->Picture().fill(Qt::transparent);
    ui->Img1->raise();
    ui->ScrollBox1->viewport()->setBackgroundRole(QPalette::Base);

    connect(ui->BtnPai, &QPushButton::clicked, this, &TFrmMain::BtnPaiClick);
    connect(ui->SpeedButton2, &QToolButton::clicked, this, &TFrmMain::SpeedButton2Click);
    connect(ui->CboZuoShan, &QComboBox::activated, this, &TFrmMain::CboZuoShanClick);
    connect(ui->CboYuanYun, &QComboBox::activated, this, &TFrmMain::CboYuanYunChange);
    connect(ui->BtoPan, &QPushButton::clicked, this, &TFrmMain::BtoPanClick);
    connect(ui->BtoPan8, &QPushButton::clicked, this, &TFrmMain::BtoPan8Click);
    connect(ui->BtoMen, &QPushButton::clicked, this, &TFrmMain::BtoMenClick);
    connect(ui->BtoLiuNian, &QPushButton::clicked, this, &TFrmMain::BtoLiuNianClick);
    connect(ui->BtoLiuNian8, &QPushButton::clicked, this, &TFrmMain::BtoLiuNian8Click);
    for (QRadioButton *b : ui->RdoColor->findChildren<QRadioButton *>())
        connect(b, &QRadioButton::clicked, this, &TFrmMain::RdoColorClick);
    for (QRadioButton *b : ui->GrpShowStar->findChildren<QRadioButton *>())
        connect(b, &QRadioButton::clicked, this, &TFrmMain::GrpShowStarClick);
    for (QRadioButton *b : ui->RdoPanShape->findChildren<QRadioButton *>())
        connect(b, &QRadioButton::clicked, this, &TFrmMain::RdoPanShapeClick);
    connect(ui->ChkShowGua, &QListWidget::itemChanged, this, [this] { ChkShowGuaClickCheck(); });
    connect(ui->SbtoText, &QToolButton::clicked, this, &TFrmMain::SbtoTextClick);
    connect(ui->BtoShengRi, &QToolButton::clicked, this, &TFrmMain::BtoShengRiClick);
    connect(ui->Omenu_set, &QAction::triggered, this, &TFrmMain::OmenuSetClick);
    connect(ui->HmnuRhelp, &QAction::triggered, this, &TFrmMain::HmnuRhelpClick);
    connect(ui->fnumclose, &QAction::triggered, this, &QWidget::close);
    ui->EdtYear->installEventFilter(this);
    setupPictureTools();
    // Enter in the building year chooses its period (on the key's release), as the help says; it lays nothing out.
    PressOnEnter(ui->PanInput, ui->BtnPai, {ui->EdtYear});
    setupTextPanes();
    buildMenus();
    buildDatabaseMenu();
    buildTreeMenu();
    setupCaseCommands();
    setupSkin();
    WindowTitles::FitEveryWindow(); // every window it opens shows its title whole
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::inform(const QString &text)
{
    Prompts::instance().inform(QApplication::applicationDisplayName(), text);
}

// ---------------------------------------------------------------------------------------------------------
// First showing and closing

void TFrmMain::setVisible(bool visible)
{
    // The first showing runs before the window is mapped, so that the stored position places the frame and
    // the window appears once, at its stored size.
    if (visible && !m_shown) {
        m_shown = true;
        FormShow();
    }
    QMainWindow::setVisible(visible);
}

void TFrmMain::FormShow()
{
    fillInputLists();

    m_quorin = std::make_unique<MQuorin>(ui->RedtQuorin->document(), &ui->Img1->Picture(), &ui->ImgBk->Picture());
    for (int i = 0; i < ui->ChkShowGua->count(); ++i)
        SetItemChecked(ui->ChkShowGua, i, true);
    ui->CboZuoShan->setCurrentIndex(5); // 子山午向
    ui->CboMen->setCurrentIndex(0);
    ui->CboLiuYue->setCurrentIndex(0);
    ui->CboLiuYue8->setCurrentIndex(0);

    const int year = QDate::currentDate().year();
    ui->EdtYear->setText(QString::number(year));
    m_rec.date.year = int16_t(year);
    m_rec.date.month = 0;
    selectPeriodOfYear(year);

    AppUiFont.ApplyToForm(this, {QStringLiteral("Img1"), QStringLiteral("ImgBk"), QStringLiteral("ImgCompass"),
                                 QStringLiteral("RedtQuorin")});

    m_ini = std::make_unique<IniFile>(DataPath() + QStringLiteral("dat/qrinit.ini"));
    buildSkinMenu();
    readWindowSettings();
    ui->CboLiuNian->setEditText(QString::number(year));
    ui->CboLiuNian8->setEditText(QString::number(year));

    openCaseDatabase();
    ClearStoppedSession(DataPath());
    applyStartWindowState();
    fillTreeAtStart();

    m_layers = TCompassLayers{};
    m_layers.ring[1] = 1;  // 后天八卦
    m_layers.ring[4] = 1;  // 地盘（正针）
    m_layers.ring[12] = 1; // 周天刻度
    m_layers.count = 3;
    m_quorin->SetCompassLayers(m_layers);

    fJian = ReadJian();
    ReadFuWei();
    startPictureTools();
    markPlanSaved(); // the blank plan of a new case
    activateStartSkin();
}

void TFrmMain::fillInputLists()
{
    ui->CboZuoShan->clear();
    ui->CboZuoShan->addItems(ChartInputs::SittingItems());
    ui->CboMen->clear();
    ui->CboMen->addItems(ChartInputs::DoorItems());
    for (QComboBox *c : {ui->CboLiuYue, ui->CboLiuYue8}) {
        c->clear();
        c->addItems(ChartInputs::MonthItems());
    }
    const QStringList years = ChartInputs::YearItems(QDate::currentDate().year());
    for (QComboBox *c : {ui->CboLiuNian, ui->CboLiuNian8}) {
        c->clear();
        c->addItems(years);
    }
}

void TFrmMain::buildSkinMenu()
{
    QMenu *menu = ui->Opt_Skin;
    menu->clear();
    delete m_skinGroup;
    m_skinGroup = new QActionGroup(this);
    m_skinGroup->setExclusive(true);
    const QFileInfoList files = QDir(AppPath() + QStringLiteral("skins")).entryInfoList(
        {QStringLiteral("*.skn")}, QDir::Files, QDir::Name);
    for (const QFileInfo &f : files) {
        QAction *a = menu->addAction(f.completeBaseName()); // "my.dark.skn" is the skin "my.dark"
        a->setCheckable(true);
        m_skinGroup->addAction(a);
    }
    if (!files.isEmpty()) {
        menu->addSeparator();
        QAction *a = menu->addAction(kDefaultSkinItem);
        a->setCheckable(true);
        m_skinGroup->addAction(a);
    }
    connect(m_skinGroup, &QActionGroup::triggered, this, &TFrmMain::skinItemClick);
}

void TFrmMain::skinItemClick(QAction *item)
{
    // The user's choice of look: the window stays where it stands, whatever the first showing's placing meant.
    WindowGeometry::EndStartPlacement(*this);
    item->setChecked(true);
    const QString caption = item->text();
    if (caption == kDefaultSkinItem) {
        switchSkinOff();
        reportSettingsWrite(writeSkinChoice(false));
        return;
    }
    if (!QFileInfo::exists(skinFile(caption))) {
        inform(QStringLiteral("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！"));
        return;
    }
    if (!chooseSkin(caption))
        return;
    reportSettingsWrite(writeSkinChoice(true, caption));
}

void TFrmMain::reportSettingsWrite(bool written)
{
    if (!written)
        Prompts::instance().error(QStringLiteral("错误"), QStringLiteral("无法保存窗口设置：\n") + m_ini->lastError());
}

void TFrmMain::readWindowSettings()
{
    const IniFile &ini = *m_ini;
    loadStartSkin(ini);
    m_startWindowState = ini.ReadInteger(kWindow, QStringLiteral("state"), 0);

    const QString section = QStringLiteral("minggao");
    QFont f = ui->RedtQuorin->font();
    f.setFamily(ini.ReadString(section, QStringLiteral("fname"), QStringLiteral("宋体")));
    const int size = ini.ReadInteger(section, QStringLiteral("fsize"), 10);
    if (size > 0)
        f.setPointSize(size);
    ui->RedtQuorin->setFont(f);
    ui->RedtQuorin->document()->setDefaultFont(f);
    QPalette pal = ui->RedtQuorin->palette();
    pal.setColor(QPalette::Base,
                 WinColorToQColor(quint32(ini.ReadInteger(section, QStringLiteral("bcolor"), int(kDefaultReportColour)))));
    ui->RedtQuorin->setPalette(pal);

    const QString img = QStringLiteral("img");
    const int wid = qMax(kMinPanWidth, ini.ReadInteger(img, QStringLiteral("wid"), kMinPanWidth));
    const int hei = qMax(kMinPanHeight, ini.ReadInteger(img, QStringLiteral("hei"), kMinPanHeight));
    m_quorin->SetPanSize(wid, hei, false);
    afterChartChange();

    WindowGeometry::PaneSizes panes{ini.ReadInteger(kWindow, QStringLiteral("treewid"), qMax(180, m_caseTree->TypicalWidth())),
                                    ini.ReadInteger(kWindow, QStringLiteral("PanLeftPic"), 600),
                                    ini.ReadInteger(kWindow, QStringLiteral("pinghei"), 80)};
    // A stored size keeps its meaning; a first start opens showing the chart picture whole.
    if (ini.ValueExists(kWindow, QStringLiteral("width")) && ini.ValueExists(kWindow, QStringLiteral("height"))) {
        WindowGeometry::Apply(*this, QRect(ini.ReadInteger(kWindow, QStringLiteral("left"), 10),
                                           ini.ReadInteger(kWindow, QStringLiteral("top"), 10),
                                           ini.ReadInteger(kWindow, QStringLiteral("width"), 400),
                                           ini.ReadInteger(kWindow, QStringLiteral("height"), 400)),
                              ui->PanInput);
    } else {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QSize room = screen ? screen->availableGeometry().size() : QSize(1920, 1080);
        panes = WindowGeometry::FitPanes(panes, room, QSize());
        WindowGeometry::ApplyFirstStart(*this, firstStartClientSize(*this, *ui, panes.tree, panes.picture), ui->PanInput);
    }
    fitPanesToWindow(panes);
    const QString tree = QStringLiteral("tree");
    m_treeStyle = ini.ReadInteger(tree, QStringLiteral("showStyle"), 0);
    m_treeSort = ini.ReadInteger(tree, QStringLiteral("sort"), 0);

    const int shape = ini.ReadInteger(kSoft, QStringLiteral("iPanShape"), 1) == 0 ? 0 : 1;
    SetRadioIndex(ui->RdoPanShape, shape);
    m_quorin->SetPanShape(shape, false);
}

// The chart object draws into the pictures' images; the widgets follow their size and repaint.
void TFrmMain::afterChartChange()
{
    for (TImage *img : {ui->Img1, ui->ImgBk}) {
        if (!img->Picture().isNull() && img->size() != img->Picture().size())
            img->resize(img->Picture().size());
        img->update();
    }
    QWidget *content = ui->ScrollBox1->widget();
    const QRect both = ui->Img1->geometry().united(ui->ImgBk->geometry());
    content->resize(both.right() + 2, both.bottom() + 2);
}

void TFrmMain::openCaseDatabase()
{
    // The object of this start: one that an earlier window opened would still name its file after a failed open.
    g_caseDb = std::make_unique<MRecordBase>(DataPath());
    g_caseDb->SetRemarkCodec(CaseCommentCodec());
    // Checking every page of a large file takes seconds when it is not in the page cache: the check runs beside
    // the start, and a save waits for its verdict.
    g_caseDb->SetQuickCheckAtOpen(false);
    // With the migration of the old flat case file: 1 when it moved cases, with its note to show. A file that
    // another program holds is named, and opened again as often as the user asks.
    const QString path = MRecordBase::DefaultPath(DataPath());
    int opened = g_caseDb->Open(path, true);
    while (opened < 0 && g_caseDb->FileBusy() &&
           retryCaseFile(QString(), QStringLiteral("点“取消”则这次不打开案例数据库，也不能保存案例。")))
        opened = g_caseDb->Open(path, true);
    if (g_caseDb->Damaged())
        reportDamage();
    else if (opened < 0 && !g_caseDb->FileBusy())
        inform(caseDbMessage(*g_caseDb, path));
    else if (opened == 1 || g_caseDb->OldFileKept())
        inform(g_caseDb->Message());
    if (opened >= 0)
        watchQuickCheck();
}

void TFrmMain::watchQuickCheck()
{
    g_caseDb->StartQuickCheck();
    delete m_checkPoll;
    m_checkPoll = new QTimer(this);
    m_checkPoll->setInterval(100);
    connect(m_checkPoll, &QTimer::timeout, this, [this] {
        if (CaseDb() && CaseDb()->QuickCheckRunning())
            return;
        settleQuickCheck();
    });
    m_checkPoll->start();
}

void TFrmMain::settleQuickCheck()
{
    if (m_checkPoll)
        m_checkPoll->deleteLater();
    m_checkPoll = nullptr;
    if (MRecordBase *db = CaseDb(); db && !db->SettleQuickCheck())
        reportDamage();
}

void TFrmMain::reportDamage()
{
    MRecordBase *db = CaseDb();
    if (m_damageShown || !db || !db->Damaged())
        return;
    m_damageShown = true;
    Prompts::instance().error(QApplication::applicationDisplayName(), db->DamageText());
}

void TFrmMain::applyStartWindowState()
{
    switch (m_startWindowState) {
    case 1:
        setWindowState(Qt::WindowMinimized);
        break;
    case 2:
        setWindowState(Qt::WindowMaximized);
        break;
    default:
        break;
    }
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    if (m_closed || FormClose()) {
        event->accept();
        return;
    }
    event->ignore();
}

bool TFrmMain::FormClose()
{
    if (!stopTreeLoadOnClose())
        return false;
    if (!Prompts::instance().askYesNo(QStringLiteral("关闭"), QStringLiteral("确定要关闭软件吗？"),
                                      Prompts::Answer::Yes, Prompts::Icon::Information))
        return false;
    // Closing has just been asked for: where the case file takes no case, there is nothing more to ask.
    if (caseFileTakesCases() && !offerToSaveCase())
        return false;
    if (m_ini)
        reportSettingsWrite(writeWindowSettings());
    m_closed = true;
    m_chartValid = false;
    m_ini.reset();
    m_quorin.reset();
    return true;
}

// The layout is changed in memory and written whole once: a failed write leaves the file as it was.
bool TFrmMain::writeWindowSettings()
{
    IniFile &ini = *m_ini;
    return ini.Update([&] { putWindowSettings(ini); });
}

void TFrmMain::putWindowSettings(IniFile &ini)
{
    const auto putInt = [&](const QString &section, const char *key, int value) {
        ini.WriteInteger(section, QLatin1String(key), value);
    };
    const Qt::WindowStates states = windowState();
    const bool normal = !(states & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    if (normal) {
        const QRect client = WindowGeometry::StoredClient(*this);
        putInt(kWindow, "left", client.left());
        putInt(kWindow, "top", client.top());
        putInt(kWindow, "width", client.width());
        putInt(kWindow, "height", client.height());
    }
    putInt(kWindow, "state", (states & Qt::WindowMinimized) ? 1 : (states & Qt::WindowMaximized) ? 2 : 0);
    const QString section = QStringLiteral("minggao");
    ini.WriteString(section, QStringLiteral("fname"), ui->RedtQuorin->font().family());
    putInt(section, "fsize", ui->RedtQuorin->font().pointSize());
    putInt(section, "bcolor", int(QColorToWinColor(ui->RedtQuorin->palette().color(QPalette::Base))));
    putInt(kWindow, "treewid", ui->Tree->width());
    putInt(kWindow, "pinghei", ui->RedtPingYu->height());
    putInt(kWindow, "PanLeftPic", ui->PanLeftPic->width());
    putInt(QStringLiteral("img"), "wid", ui->Img1->width());
    putInt(QStringLiteral("img"), "hei", ui->Img1->height());
    putInt(kSoft, "iPanShape", qMax(0, RadioIndex(ui->RdoPanShape)));
    putInt(QStringLiteral("tree"), "showStyle", m_treeStyle);
    putInt(QStringLiteral("tree"), "sort", m_treeSort);
}

// The panes take their stored sizes as far as the window, as it was just placed, holds them: the layouts of
// the window not shown yet are laid out now, so that the splitters know their sizes.
void TFrmMain::fitPanesToWindow(const WindowGeometry::PaneSizes &stored)
{
    layout()->activate();
    ui->PanMain->layout()->activate();
    QSplitter *main = ui->SplitterMain;
    const int width = main->width() - 2 * main->handleWidth();
    // The report keeps the room its controls need beside the tree and the picture, and above the comments.
    const QSize report(ui->PanReport->minimumSizeHint().width(), ui->RedtQuorin->minimumSizeHint().height());
    WindowGeometry::PaneSizes panes = WindowGeometry::FitPanes(stored, QSize(width, 0), report);
    main->setSizes({panes.tree, panes.picture, qMax(report.width(), width - panes.tree - panes.picture)});
    ui->PanReport->layout()->activate();
    QSplitter *text = ui->SplitterText;
    const int height = text->height() - text->handleWidth();
    panes.comments = WindowGeometry::FitPanes(stored, QSize(width, height), report).comments;
    text->setSizes({qMax(report.height(), height - panes.comments), panes.comments});
}

// ---------------------------------------------------------------------------------------------------------
// Settings of dat/set.ini read by the window

double TFrmMain::ReadJian() const
{
    // A hand-edited width of zero or less would make every degree off a mountain's exact centre a 兼.
    ChartSettings defaults;
    defaults.fJian = 3.0; // the window's own default; the shipped set.ini gives every reader the same width
    const double jian = ReadChartSettings(defaults).fJian;
    return jian > 0 ? jian : defaults.fJian;
}

void TFrmMain::ReadFuWei()
{
    int fuwei = ReadChartSettings().fuwei;
    if (fuwei < 0 || fuwei > 3)
        fuwei = 0; // as the chart object reads it, so the checked reference is the one it draws
    const QSignalBlocker block(ui->ChkShowGua);
    for (int i = 0; i < ui->ChkShowGua->count(); ++i)
        SetItemChecked(ui->ChkShowGua, i, i == fuwei);
}

// ---------------------------------------------------------------------------------------------------------
// The house inputs

bool TFrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->EdtYear && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            EdtYearEnter();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::selectPeriodOfYear(int year)
{
    const int p = ChartInputs::PeriodIndexOfYear(year);
    if (p >= 0)
        ui->CboYuanYun->setCurrentIndex(p);
}

void TFrmMain::EdtYearEnter()
{
    selectPeriodOfYear(ChartInputs::YearOfText(ui->EdtYear->text(), -1));
}

void TFrmMain::CboYuanYunChange(int period)
{
    const int moved = ChartInputs::YearInPeriod(ChartInputs::YearOfText(ui->EdtYear->text(), -1), period);
    if (moved >= 0)
        ui->EdtYear->setText(QString::number(moved));
}

void TFrmMain::CboZuoShanClick(int item)
{
    const double degree = ChartInputs::ItemToDegree(item, fJian);
    if (degree >= 0)
        ui->LedtZtd->setText(ChartInputs::DegreeText(degree));
}

void TFrmMain::SpeedButton2Click()
{
    const ChartInputs::ParsedDegree parsed = ChartInputs::ParseDegree(ui->LedtZtd->text());
    if (parsed.error != ChartInputs::DegreeError::None) {
        Prompts::instance().error(ChartInputs::DegreeErrorTitle(parsed.error), ChartInputs::DegreeErrorText(parsed.error));
        return;
    }
    const int item = DegreeToItem(parsed.degree, fJian);
    if (item >= 0)
        ui->CboZuoShan->setCurrentIndex(item);
}

void TFrmMain::BtnPaiClick()
{
    if (!m_quorin)
        return; // not shown yet
    ui->RedtPingYu->setTextColor(Qt::black);
    m_chartValid = false;

    if (!sittingChosen())
        return;
    const ChartInputs::ParsedDegree parsed = ChartInputs::ParseDegree(ui->LedtZtd->text());
    if (parsed.error != ChartInputs::DegreeError::None) {
        Prompts::instance().error(ChartInputs::DegreeErrorTitle(parsed.error), ChartInputs::DegreeErrorText(parsed.error));
        return;
    }

    QString name = ui->EdtName->text().trimmed();
    // An owner left blank is simply 甲; the note is for names that held characters a file name cannot.
    const bool blank = name.isEmpty();
    const NameCleaning cleaning = CleanNameTelling(name);
    if (cleaning.changed() && !blank)
        inform(ownerNameNote(cleaning));
    // The box shows the name the case is laid out and saved under, blanks trimmed or 甲 put in alike.
    if (ui->EdtName->text() != name)
        ui->EdtName->setText(name);

    const ChartInputs::CheckedYears years = checkYears();
    if (years.error != ChartInputs::YearError::None)
        return;
    selectPeriodOfYear(years.buildYear);

    m_rec = houseOfBoxes(m_rec, name, parsed.degree, years);
    m_rec.address = QStringLiteral("未知地");
    m_rec.chartPanel = 0;
    m_rec.colour = int16_t(qMax(0, RadioIndex(ui->RdoColor)));
    m_rec.starNames = uint8_t(qMax(0, RadioIndex(ui->GrpShowStar)));

    ui->PageTools->setCurrentIndex(0);
    // The chart shape stays the one the user chose (圆盘/方盘); a lay-out does not reset it.
    if (!m_quorin->PaiPan(m_rec)) {
        Prompts::instance().error(QStringLiteral("错误"), m_quorin->sMessage);
        return;
    }
    m_chartValid = true;
    ui->PageXuanBa->setCurrentIndex(0);
    showNewChart();
}

// A chart just laid out or opened: both pictures at the top left with the chart over the plan, the report from
// its start.
void TFrmMain::showNewChart()
{
    ui->ScrollBox1->horizontalScrollBar()->setValue(0);
    ui->ScrollBox1->verticalScrollBar()->setValue(0);
    ui->Img1->move(1, 1);
    ui->ImgBk->move(1, 1);
    ui->Img1->raise();
    afterChartChange();
    QTextCursor cursor = ui->RedtQuorin->textCursor();
    cursor.movePosition(QTextCursor::Start);
    ui->RedtQuorin->setTextCursor(cursor);
    afterLayOutPictures();
}

// ---------------------------------------------------------------------------------------------------------
// Chart views and options

bool TFrmMain::needChart()
{
    if (m_chartValid && m_quorin)
        return true;
    Prompts::instance().inform(QStringLiteral("先排盘"), QStringLiteral("请先点“布宅局”按钮排一个盘"));
    return false;
}

bool TFrmMain::readAnnualYear(const QComboBox *combo, int &year)
{
    year = ChartInputs::YearOfText(combo->currentText(), 0);
    if (ChartInputs::AnnualYearValid(year))
        return true;
    inform(ChartInputs::AnnualYearErrorText());
    return false;
}

void TFrmMain::BtoPanClick()
{
    if (!needChart())
        return;
    m_rec.chartPanel = 0;
    m_quorin->ShowXuanKongPan();
    afterChartChange();
}

void TFrmMain::BtoPan8Click()
{
    if (!needChart())
        return;
    m_rec.chartPanel = 1;
    m_quorin->ShowBaZhaiPan();
    afterChartChange();
}

void TFrmMain::BtoMenClick()
{
    if (!needChart())
        return;
    m_rec.chartPanel = 3;
    m_quorin->ShowNeiQiPan();
    afterChartChange();
}

void TFrmMain::BtoLiuNianClick()
{
    if (!needChart())
        return;
    int year = 0;
    if (!readAnnualYear(ui->CboLiuNian, year))
        return;
    m_rec.chartPanel = 2;
    m_quorin->ShowLiuNianPan(year, qMax(0, ui->CboLiuYue->currentIndex()), ui->ChkNeiQi->isChecked() ? 1 : 0,
                             ui->ChkShowMon->isChecked() ? 1 : 0);
    afterChartChange();
}

void TFrmMain::BtoLiuNian8Click()
{
    if (!needChart())
        return;
    int year = 0;
    if (!readAnnualYear(ui->CboLiuNian8, year))
        return;
    m_rec.chartPanel = 4;
    m_quorin->ShowLiuNianPan8(year, qMax(0, ui->CboLiuYue8->currentIndex()), ui->ChkShowMon8->isChecked() ? 1 : 0);
    afterChartChange();
}

void TFrmMain::RdoColorClick()
{
    const int mode = RadioIndex(ui->RdoColor);
    if (!m_chartValid || mode < 0)
        return;
    m_quorin->SetColorMode(int16_t(mode));
    afterChartChange();
}

void TFrmMain::GrpShowStarClick()
{
    if (!m_chartValid)
        return;
    m_quorin->SetShowStarName(uint8_t(qMax(0, RadioIndex(ui->GrpShowStar))));
    m_quorin->ShowBaZhaiPan();
    afterChartChange();
}

void TFrmMain::ChkShowGuaClickCheck()
{
    if (!m_chartValid || !m_quorin)
        return;
    applyShowGua();
    m_quorin->ShowBaZhaiPan();
    afterChartChange();
}

// Hands the four marks to the chart; the 伏位 reference it names is checked again.
void TFrmMain::applyShowGua()
{
    uint8_t show[4];
    for (int i = 0; i < 4; ++i)
        show[i] = IsItemChecked(ui->ChkShowGua, i) ? 1 : 0;
    const int row = m_quorin->SetShowGua(show);
    if (row >= 1 && row <= 4) {
        const QSignalBlocker block(ui->ChkShowGua);
        SetItemChecked(ui->ChkShowGua, row - 1, true);
        show[row - 1] = 1;
        m_quorin->SetShowGua(show);
    }
}

void TFrmMain::RdoPanShapeClick()
{
    cancelPanDrag();
    if (!m_quorin)
        return;
    m_quorin->SetPanShape(qMax(0, RadioIndex(ui->RdoPanShape)), m_chartValid);
    afterChartChange();
}

// ---------------------------------------------------------------------------------------------------------
// Dialogs

// The building and birth years typed: a missing or impossible year is named, and the edit to correct takes
// the focus.
TRecordData TFrmMain::houseOfBoxes(TRecordData rec, const QString &name, double degree,
                                   const ChartInputs::CheckedYears &years) const
{
    rec.degree = float(degree);
    rec.name = name;
    rec.buildYear = int16_t(years.buildYear);
    rec.date.year = int16_t(years.birthYear);
    rec.mountain = uint8_t(ui->CboZuoShan->currentIndex());
    rec.xiaGua = ui->RdoXia->isChecked() ? 1 : 0;
    rec.door = uint8_t(qMax(0, ui->CboMen->currentIndex()));
    rec.sex = ui->Rdona->isChecked() ? 1 : 0;
    return rec;
}

ChartInputs::CheckedYears TFrmMain::checkYears()
{
    const ChartInputs::CheckedYears years = ChartInputs::CheckCaseYears(ui->EdtYear->text(), ui->LedtShengNian->text());
    if (years.error != ChartInputs::YearError::None) {
        Prompts::instance().warn(ChartInputs::YearsErrorTitle(), ChartInputs::YearErrorText(years.error));
        (ChartInputs::IsBirthError(years.error) ? ui->LedtShengNian : ui->EdtYear)->setFocus();
    }
    return years;
}

bool TFrmMain::sittingChosen()
{
    const int item = ui->CboZuoShan->currentIndex();
    if (item >= 0 && !ChartInputs::IsSeparatorItem(item))
        return true;
    Prompts::instance().inform(QStringLiteral("提示"), QStringLiteral("请选择坐山！"));
    return false;
}

void TFrmMain::SbtoTextClick()
{
    if (!sittingChosen())
        return;
    TFrmText dlg(this);
    dlg.SetText(TFrmText::MountainText(ui->CboZuoShan->currentIndex() / ChartInputs::kItemsPerMountain));
    dlg.exec();
}

void TFrmMain::OmenuSetClick()
{
    {
        TFrmSet dlg(this);
        if (dlg.exec() != QDialog::Accepted)
            return; // 返回: nothing was written, nothing changes
    }
    fJian = ReadJian();
    ReadFuWei();
    if (m_chartValid)
        redrawShownView();
}

// After a settings change the house is laid out again with the new settings (some of them, such as the
// orientation, belong to the computation) and the view on screen is shown again under its own tab, rather
// than switching to the Eight Mansions chart.
void TFrmMain::redrawShownView()
{
    applyShowGua();
    const TRecordData shown = m_quorin->Rec; // the chart's copy: view, colour mode and star names as shown
    if (!m_quorin->PaiPan(shown)) {
        m_chartValid = false;
        Prompts::instance().error(QStringLiteral("错误"), m_quorin->sMessage);
        return;
    }
    const int view = shown.chartPanel;
    if (view == 1 || view == 4)
        m_quorin->ShowBaZhaiPan(); // the Eight Mansions reading
    if (view == 4)
        m_quorin->ShowLiuNianPan8(m_quorin->iLiuNianYear, m_quorin->iLiuNianMonth, m_quorin->bShowMonth);
    afterChartChange();
    ui->PageXuanBa->setCurrentIndex(view == 1 || view == 4 ? 1 : 0);
}

void TFrmMain::HmnuRhelpClick()
{
    TFrmTxtHelp dlg(this);
    dlg.exec();
}
