// The case commands of the main window: save, new, open, delete, move to another category, the category
// editor, both searches and refresh, with each case's comment file (.rtf) and floor plan (.bmp).
#include "TFrmMain.h"

#include "ui_TFrmMain.h"

#include "AppPath.h"
#include "CaseComment.h"
#include "CaseFiles.h"
#include "CaseSearch.h"
#include "CaseTree.h"
#include "ChartInputs.h"
#include "CleanName.h"
#include "CommentFile.h"
#include "FormUtil.h"
#include "MQuorin.h"
#include "MRecordBase.h"
#include "MUiFont.h"
#include "Prompts.h"
#include "RtfText.h"
#include "TFrmEditClass.h"
#include "TFrmFenLei.h"
#include "TFrmSameName.h"
#include "TFrmSearch.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QString kHint = QStringLiteral("提示");
const QString kBlankComment = QString::fromUtf8(kRemarkPlaceholder);
// The save button: black while no saved case is open, blue (Windows colour 0xFF0000) while one is.
const QColor kSaveNewColour = Qt::black;
const QColor kSaveOldColour = QColor(0, 0, 255);
// A new case's floor plan starts as a small white picture.
constexpr int kBlankPlanSide = 50;

// The size and pixels of a floor plan: a fingerprint rather than a copy, which a large plan would double.
size_t PlanFingerprint(const QImage &plan)
{
    return qHashMulti(0, plan.width(), plan.height(), int(plan.format()),
                      qHashBits(plan.constBits(), size_t(plan.sizeInBytes())));
}

} // namespace

// What the window knows of the open case, and the conditions and comment texts of its searches.
struct TFrmMain::CaseCommands {
    bool open = false;      // the window shows a saved case
    int openId = -1;
    TRecordData saved;      // the open case as last loaded or saved
    QString remarkPath;     // its comment file
    QString planPath;       // its floor-plan file
    size_t savedPlan = 0;   // fingerprint of the floor plan as the case was opened or saved, or a new case began
    TSearchData search;     // kept while the program runs, so the dialog shows the last conditions again
    std::unique_ptr<CommentTexts> comments;
    QMenu *moveMenu = nullptr;

    CommentTexts &Comments()
    {
        if (!comments || comments->AppFolder() != DataPath())
            comments = std::make_unique<CommentTexts>(DataPath(), CommentFileText);
        return *comments;
    }
};

void TFrmMain::CaseCommandsDeleter::operator()(CaseCommands *p) const { delete p; }

bool TFrmMain::CaseOpen() const { return m_cases->open; }

int TFrmMain::OpenCaseId() const { return m_cases->openId; }

void TFrmMain::setupCaseCommands()
{
    m_cases.reset(new CaseCommands);
    connect(ui->SbtoSave, &QToolButton::clicked, this, [this] { SaveCaseClick(); });
    connect(ui->BtoNew, &QPushButton::clicked, this, &TFrmMain::BtoNewClick);

    auto *save = new QAction(QStringLiteral("保存案例"), this);
    save->setObjectName(QStringLiteral("menu_f_save"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, [this] { SaveCaseClick(); });
    ui->mnuFile->insertAction(ui->fnumclose, save);
    ui->mnuFile->insertSeparator(ui->fnumclose);

    connect(ui->Tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *node) {
        if (CaseTree::IdOf(node) >= 0)
            OpenCase(CaseTree::IdOf(node));
        highlightShownCase(); // back on the case shown when this one did not open
    });

    QMenu *popup = findChild<QMenu *>(QStringLiteral("PopTree"));
    if (!popup)
        return;
    auto add = [&](QMenu *menu, const char *name, const QString &text, void (TFrmMain::*command)()) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, command);
        return a;
    };
    popup->addSeparator();
    QAction *view = popup->addAction(QStringLiteral("查看案例"));
    view->setObjectName(QStringLiteral("pop_ming_pai"));
    connect(view, &QAction::triggered, this, [this] {
        if (m_caseTree->SelectedId() >= 0)
            OpenCase(m_caseTree->SelectedId());
        highlightShownCase();
    });
    m_cases->moveMenu = popup->addMenu(QStringLiteral("移动到"));
    m_cases->moveMenu->setObjectName(QStringLiteral("pop_ming_move"));
    connect(m_cases->moveMenu, &QMenu::triggered, this, [this](QAction *item) { MoveCaseTo(item->text()); });
    add(popup, "pop_ming_delete", QStringLiteral("删除案例"), &TFrmMain::pop_ming_deleteClick);
    popup->addSeparator();
    add(popup, "N35", QStringLiteral("编辑类别"), &TFrmMain::N35Click);
    add(popup, "N43", QStringLiteral("模糊查找"), &TFrmMain::N43Click);
    add(popup, "pop_search", QStringLiteral("条件查找"), &TFrmMain::pop_searchClick);
    add(popup, "N44", QStringLiteral("刷新显示"), &TFrmMain::N44Click);
    connect(popup, &QMenu::aboutToShow, this, &TFrmMain::fillMoveMenu);
}

void TFrmMain::setCaseOpen(bool open, int id)
{
    m_cases->open = open;
    m_cases->openId = open ? id : -1;
    ui->SbtoSave->setText(open ? QStringLiteral("存旧") : QStringLiteral("存新"));
    QPalette pal = ui->SbtoSave->palette();
    pal.setColor(QPalette::ButtonText, open ? kSaveOldColour : kSaveNewColour);
    ui->SbtoSave->setPalette(pal);
}

void TFrmMain::showCaseCount()
{
    if (QAction *record = findChild<QAction *>(QStringLiteral("pMenuRecord")))
        record->setText(CaseTreeText::RecordCount(m_caseTree->Count()));
}

// ---------------------------------------------------------------------------------------------------------
// Save

bool TFrmMain::SaveCaseClick()
{
    if (RefuseWhileTreeLoads() || !CaseDb())
        return false;
    if (!m_chartValid) {
        Prompts::instance().inform(kHint, QStringLiteral("请先排一个正确的盘后再保存"));
        return false;
    }
    // A case is saved as the boxes show it: a house typed over the one laid out is laid out first, with the
    // checks and messages of 布宅局, and a house they refuse is not saved.
    if (!inputsMatchChart()) {
        BtnPaiClick();
        if (!m_chartValid)
            return false;
    }
    return m_cases->open ? updateOpenCase() : insertCase();
}

bool TFrmMain::inputsMatchChart() const
{
    if (!m_quorin)
        return true;
    const int item = ui->CboZuoShan->currentIndex();
    const ChartInputs::ParsedDegree parsed = ChartInputs::ParseDegree(ui->LedtZtd->text());
    const ChartInputs::CheckedYears years = ChartInputs::CheckCaseYears(ui->EdtYear->text(), ui->LedtShengNian->text());
    if (item < 0 || ChartInputs::IsSeparatorItem(item) || parsed.error != ChartInputs::DegreeError::None ||
        years.error != ChartInputs::YearError::None)
        return false;
    QString name = ui->EdtName->text().trimmed();
    CleanName(name);
    return ChartInputs::SameHouse(houseOfBoxes(m_rec, name, parsed.degree, years), m_quorin->Rec);
}

void TFrmMain::markPlanSaved() { m_cases->savedPlan = PlanFingerprint(ui->ImgBk->Picture()); }

bool TFrmMain::planChanged() const { return PlanFingerprint(ui->ImgBk->Picture()) != m_cases->savedPlan; }

// Saves the case on screen as case id (a new one when id < 0) with its comments and, when it has one or it was
// drawn on, its floor plan: the row and both files go in together or not at all (MRecordBase::SaveCase). On
// success m_rec is the stored case, and the files' paths are the open case's.
bool TFrmMain::saveCaseWhole(int id, TRecordData &rec)
{
    MRecordBase::TCaseFiles files;
    files.comments = WriteRtf(*ui->RedtPingYu->document());
    if (rec.hasPlan || planChanged()) { // drawn on the blank plan: the drawing is the case's plan now
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        if (!ui->ImgBk->Picture().save(&buffer, "BMP")) {
            inform(QString::fromUtf8(id > 0 ? "无法修改案例！" : "无法保存案例！") + QStringLiteral("\n无法生成户型图文件的内容"));
            return false;
        }
        files.plan = std::move(bmp);
        rec.hasPlan = 1;
    }
    if (!caseFileReady(QString::fromUtf8(id > 0 ? "无法修改案例！" : "无法保存案例！")) ||
        !saveCaseRetrying(id, rec, files, id > 0 ? &m_cases->saved : nullptr))
        return false;
    m_rec = rec;
    m_cases->remarkPath = RemarkFilePath(DataPath(), rec.remarkFile);
    m_cases->planPath = PlanFilePath(DataPath(), rec.remarkFile);
    ui->RedtPingYu->document()->setModified(false);
    markPlanSaved();
    m_cases->saved = m_rec;
    return true;
}

bool TFrmMain::updateOpenCase()
{
    if (!Prompts::instance().askYesNo(kHint, QStringLiteral("要修改“%1”这条记录吗？").arg(whichCase(m_cases->saved)),
                                      Prompts::Answer::Yes))
        return false;
    TRecordData rec = m_rec;
    rec.remarkText = CommentText(ui->RedtPingYu);
    if (!saveCaseWhole(m_cases->openId, rec))
        return false;
    if (QTreeWidgetItem *node = m_caseTree->NodeOf(m_cases->openId)) {
        m_caseTree->Update(node, CaseTreeText::MakeItem(m_rec, 0));
        if (node->parent())
            node->parent()->setExpanded(true);
        inform(QStringLiteral("已保存编辑后的案例。"));
    }
    return true;
}

bool TFrmMain::insertCase()
{
    // The check beside the start may still be reading the file: its verdict comes before the category is asked
    // for, since no category makes a damaged file savable.
    if (!caseFileReady(QStringLiteral("无法保存案例！")))
        return false;
    if (CaseDb()->Damaged()) {
        inform(QStringLiteral("无法保存案例！\n") + CaseDb()->DamageText());
        return false;
    }
    QStringList classes;
    if (!readClassesShown(classes))
        return false;
    TFrmFenLei dlg(classes, this);
    AppUiFont.ApplyToForm(&dlg);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    TRecordData rec = m_rec;
    rec.className = dlg.ChosenClass();
    rec.remarkText = CommentText(ui->RedtPingYu);
    if (!saveCaseWhole(-1, rec))
        return false;

    m_caseTree->Place({CaseTreeText::MakeItem(rec, 0)}, 0, 1);
    if (QTreeWidgetItem *node = m_caseTree->NodeOf(rec.id); node && node->parent())
        node->parent()->setExpanded(true);
    showCaseCount();

    setCaseOpen(true, rec.id);
    highlightShownCase();
    return true;
}

bool TFrmMain::newCaseEntered() const
{
    return !m_cases->open && (m_chartValid || ui->RedtPingYu->document()->isModified() || planChanged());
}

// A house laid out again, or turned on the chart, since the case was opened or saved. Boxes typed into but not
// laid out change nothing yet: the chart still shows the stored house.
bool TFrmMain::houseChanged() const
{
    return m_cases->open && m_quorin && m_quorin->LaidOut() && !ChartInputs::SameHouse(m_quorin->Rec, m_cases->saved);
}

QString TFrmMain::saveQuestion() const
{
    const QString work = unsavedWork();
    return work.isEmpty() ? QString() : work + QStringLiteral("，要保存吗？");
}

QString TFrmMain::unsavedWork() const
{
    if (!m_cases)
        return {};
    if (!m_cases->open)
        return newCaseEntered() ? QStringLiteral("当前案例尚未保存") : QString();
    QStringList changed;
    if (houseChanged())
        changed << QStringLiteral("宅局");
    if (ui->RedtPingYu->document()->isModified())
        changed << QStringLiteral("评语");
    if (planChanged())
        changed << QStringLiteral("户型图");
    if (changed.isEmpty())
        return {};
    return QStringLiteral("当前案例%1已改变").arg(changed.join(QStringLiteral("、")));
}

bool TFrmMain::caseFileTakesCases() const { return CaseDb() && CaseDb()->IsOpen() && !CaseDb()->Damaged(); }

bool TFrmMain::offerToSaveCase()
{
    if (!m_cases || !CaseDb())
        return true;
    const QString question = saveQuestion();
    if (question.isEmpty())
        return true;
    // A case file that was not opened at the start, or is damaged, takes no case: there is no saving to offer,
    // but the work is not dropped without a word either.
    if (!caseFileTakesCases())
        return Prompts::instance().askYesNo(kHint,
                                            unsavedWork() + QStringLiteral("，而案例数据库不能保存案例，继续就会丢失"
                                                                           "当前案例的内容。要继续吗？"),
                                            Prompts::Answer::No, Prompts::Icon::Warning);
    // 取消 (and Esc, or closing the box) leaves the user where they were: nothing saved, dropped or opened.
    switch (Prompts::instance().message(kHint, question, Prompts::Icon::Warning, Prompts::Buttons::YesNoCancel,
                                        Prompts::Answer::Yes)) {
    case Prompts::Answer::Yes:
        // The work must not be lost: a save that is refused or fails stops what was asked for.
        return SaveCaseClick();
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------------------------
// New case

void TFrmMain::clearFloorPlan()
{
    m_rec.hasPlan = 0;
    ui->ImgBk->Picture() = QImage(kBlankPlanSide, kBlankPlanSide, QImage::Format_RGB32);
    ui->ImgBk->Picture().fill(Qt::white);
    ui->ImgBk->move(1, 1);
    if (m_quorin)
        m_quorin->ResetBkUndo(); // the steps of another case's plan are not this one's
    markPlanSaved();
}

void TFrmMain::BtoNewClick()
{
    // Where work would be dropped and can be saved, the question to save it is the only one: it says what would be
    // lost, and its 取消 keeps it. Otherwise the user confirms the new case.
    if (!saveQuestion().isEmpty() && caseFileTakesCases()) {
        if (!offerToSaveCase())
            return;
    } else if (!Prompts::instance().askYesNo(QStringLiteral("新建"),
                                             QStringLiteral("确定要开始建立一个新案例吗?这将清除现有评语！"),
                                             Prompts::Answer::Yes)) {
        return;
    }
    ui->RedtQuorin->clear();
    ui->RedtQuorin->document()->setModified(false);
    ui->Img1->Picture().fill(Qt::white);
    setCaseOpen(false);
    ui->RedtPingYu->setCurrentCharFormat(QTextCharFormat()); // the pane's own font, not the last case's
    ui->RedtPingYu->setPlainText(kBlankComment);
    ui->RedtPingYu->document()->setModified(false);
    m_chartValid = false;
    m_rec.date.month = 0;
    clearFloorPlan();
    afterChartChange();
    highlightShownCase();
}

// ---------------------------------------------------------------------------------------------------------
// Open

// The checks of the lay-out on the inputs an opened case filled in.
bool TFrmMain::checkOpenedInputs()
{
    if (!sittingChosen())
        return false;
    const ChartInputs::ParsedDegree parsed = ChartInputs::ParseDegree(ui->LedtZtd->text());
    if (parsed.error != ChartInputs::DegreeError::None) {
        Prompts::instance().error(ChartInputs::DegreeErrorTitle(parsed.error), ChartInputs::DegreeErrorText(parsed.error));
        return false;
    }
    if (ui->EdtName->text().isEmpty()) {
        Prompts::instance().inform(kHint, QStringLiteral("姓名不能为空"));
        return false;
    }
    return checkYears().error == ChartInputs::YearError::None;
}

void TFrmMain::fillInputsFromCase(const TRecordData &rec)
{
    ui->EdtYear->setText(QString::number(rec.buildYear));
    selectPeriodOfYear(rec.buildYear);
    ui->CboZuoShan->setCurrentIndex(rec.mountain < ChartInputs::kSittingItems ? rec.mountain : -1);
    (rec.xiaGua ? ui->RdoXia : ui->RdoTi)->setChecked(true);
    ui->LedtShengNian->setText(QString::number(rec.date.year));
    (rec.sex ? ui->Rdona : ui->Rdonv)->setChecked(true);
    ui->EdtName->setText(rec.name);
    ui->LedtZtd->setText(ChartInputs::DegreeText(rec.degree));
    ui->CboMen->setCurrentIndex(rec.door < ui->CboMen->count() ? rec.door : 0);
    ui->PageTools->setCurrentIndex(0);
}

// The open case's comments (from its file, else the stored text) and floor plan (from its file, else none).
void TFrmMain::loadCaseFiles()
{
    // A name read from the file becomes a path only when it stays in the case folder; otherwise the case gets a
    // fresh name, stored with its next save.
    EnsureValidRemarkFile(DataPath(), m_rec);
    m_cases->remarkPath = RemarkFilePath(DataPath(), m_rec.remarkFile);
    m_cases->planPath = PlanFilePath(DataPath(), m_rec.remarkFile);
    if (!QFileInfo::exists(m_cases->remarkPath) || !LoadCommentFile(m_cases->remarkPath, *ui->RedtPingYu->document())) {
        ui->RedtPingYu->setCurrentCharFormat(QTextCharFormat()); // the pane's own font, not the last case's
        ui->RedtPingYu->setPlainText(m_rec.remarkText);
    }
    if (!QFileInfo::exists(m_cases->planPath) || !LoadFloorPlan(m_cases->planPath))
        clearFloorPlan();
    // As opened, nothing has changed yet.
    ui->RedtPingYu->document()->setModified(false);
    markPlanSaved();
}

bool TFrmMain::OpenCase(int id)
{
    if (RefuseWhileTreeLoads() || !CaseDb() || !m_quorin || id < 0)
        return false;
    TRecordData rec;
    if (!loadCaseShown(id, rec) || !offerToSaveCase())
        return false;

    rec.chartPanel = (rec.chartPanel == 1 || rec.chartPanel == 4) ? 1 : 0;
    rec.colour = int16_t(qMax(0, RadioIndex(ui->RdoColor)));
    rec.starNames = uint8_t(qMax(0, RadioIndex(ui->GrpShowStar)));
    m_rec = rec;
    m_cases->saved = rec;
    fillInputsFromCase(rec);
    m_chartValid = false;
    if (!checkOpenedInputs()) {
        setCaseOpen(false); // the window no longer shows the case that was open: a save must not rewrite it
        return false;
    }
    setCaseOpen(true, id);
    loadCaseFiles();

    if (!m_quorin->PaiPan(m_rec)) {
        // The case stays open to be corrected; the chart and reading of the case shown before are not its own.
        ui->RedtQuorin->clear();
        ui->Img1->Picture().fill(Qt::white);
        afterChartChange();
        Prompts::instance().error(QStringLiteral("错误"),
                                  QStringLiteral("“%1”这个案例无法排盘：\n%2\n改正后请点“布宅局”，再保存案例。")
                                      .arg(m_rec.name, m_quorin->sMessage));
        return false;
    }
    m_chartValid = true;
    // A case saved under the Eight Mansions view was just drawn so; its reading and tab follow the picture.
    const bool baZhai = m_rec.chartPanel == 1;
    if (baZhai)
        m_quorin->ShowBaZhaiPan();
    ui->PageXuanBa->setCurrentIndex(baZhai ? 1 : 0);
    showNewChart();
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Delete and move

QString TFrmMain::whichCase(const TRecordData &rec)
{
    return CaseDb()->CountCasesNamed(rec.name) > 1 ? CaseTreeText::NameWithHouse(rec) : rec.name;
}

// The case as the delete question names it: the owner's name from its node, and where the owner has several
// cases, with the sitting and building year that tell which one is meant. A row that no longer holds the node's
// case (the case file was replaced) is not described: the deletion refuses it.
QString TFrmMain::caseToDeleteName(const QTreeWidgetItem *node, int id)
{
    const QString owner = node->text(0).section(QLatin1Char(' '), 0, 0);
    TRecordData rec;
    if (!CaseDb()->LoadCase(id, rec) || CaseKeyOf(rec) != m_caseTree->KeyOf(node))
        return owner;
    return whichCase(rec);
}

void TFrmMain::pop_ming_deleteClick()
{
    if (RefuseWhileTreeLoads() || !CaseDb())
        return;
    QTreeWidgetItem *node = ui->Tree->currentItem();
    const int id = CaseTree::IdOf(node);
    if (id < 0) {
        inform(QStringLiteral("请先选择一个案例！"));
        return;
    }
    if (!Prompts::instance().askYesNo(QStringLiteral("注意"),
                                      QStringLiteral("确定要删除“%1”这个案例吗？").arg(caseToDeleteName(node, id)),
                                      Prompts::Answer::No, Prompts::Icon::Warning))
        return;
    const bool isOpen = m_cases->open && id == m_cases->openId;
    if (isOpen &&
        !Prompts::instance().askYesNo(kHint, QStringLiteral("确定要删除当前正在查看的案例吗？"), Prompts::Answer::Yes))
        return;
    // The row goes first: a case whose deletion failed keeps its files, its node and the window as it was. Only
    // the case the node shows is deleted, never another that the file holds under its id.
    const TCaseKey shown = m_caseTree->KeyOf(node);
    if (!CaseDb()->DeleteCaseWithFiles(id, &shown)) {
        inform(CaseDb()->Message());
        return;
    }
    m_caseTree->Remove(node);
    showCaseCount();
    if (isOpen) {
        ui->RedtQuorin->clear();
        m_chartValid = false;
        setCaseOpen(false); // the next save makes a new case of what is on screen
    }
    highlightShownCase();
}

// The other categories shown, for the case under the pointer. With none the item is greyed out: an empty
// submenu that the pointer opens is a window of no size, and on X11 the menu would not open again afterwards.
void TFrmMain::fillMoveMenu()
{
    QMenu *menu = m_cases->moveMenu;
    menu->clear();
    QTreeWidgetItem *node = ui->Tree->currentItem();
    if (m_caseTree->Style() == TreeGrouped && CaseTree::IdOf(node) >= 0 && node->parent()) {
        for (const QString &name : m_caseTree->CategoryNames())
            if (name != node->parent()->text(0))
                menu->addAction(name);
    }
    menu->menuAction()->setEnabled(!menu->isEmpty());
}

void TFrmMain::MoveCaseTo(const QString &category)
{
    if (RefuseWhileTreeLoads() || !CaseDb())
        return;
    QTreeWidgetItem *node = ui->Tree->currentItem();
    const int id = CaseTree::IdOf(node);
    TRecordData rec;
    if (id < 0)
        return;
    if (!CaseDb()->LoadCase(id, rec)) {
        inform(CaseDb()->Message());
        return;
    }
    rec.className = category;
    // Only the case the node shows moves, never another that the file holds under its id.
    const TCaseKey shown = m_caseTree->KeyOf(node);
    if (!CaseDb()->UpdateCase(id, rec, &shown)) {
        inform(CaseDb()->Message());
        return;
    }
    // The open case follows, or its next save would put it back into the old category.
    if (m_cases->open && id == m_cases->openId) {
        m_rec.className = category;
        m_cases->saved.className = category;
    }
    m_caseTree->Remove(node);
    m_caseTree->Place({CaseTreeText::MakeItem(rec, 0)}, 0, 1);
    if (QTreeWidgetItem *moved = m_caseTree->NodeOf(id); moved && moved->parent())
        moved->parent()->setExpanded(true);
    highlightShownCase();
}

// The tree's current and selected node change at once; the view repaints the rows that changed and scrolls to the
// node when the event loop next runs. Told at once, the view would lay out and measure every row inside the command
// that called this (the column fits its widest caption: up to a thousand captions measured), as it does anyway when
// it next paints.
void TFrmMain::highlightShownCase()
{
    if (!m_cases || !m_caseTree)
        return;
    QTreeWidgetItem *node = m_cases->open ? m_caseTree->NodeOf(m_cases->openId) : nullptr;
    QItemSelectionModel *selection = ui->Tree->selectionModel();
    QList<QPersistentModelIndex> changed; // the rows highlighted before and after
    for (const QModelIndex &row : selection->selectedIndexes())
        changed << row;
    changed << selection->currentIndex();
    {
        const QSignalBlocker viewNotTold(selection);
        ui->Tree->setCurrentItem(node);
        if (!node)
            ui->Tree->clearSelection();
    }
    changed << selection->currentIndex();
    QTimer::singleShot(0, ui->Tree, [tree = ui->Tree, changed] {
        if (QTreeWidgetItem *current = tree->currentItem())
            tree->scrollToItem(current); // opening its category if need be
        // The whole line of each: a highlight also covers the branch marks left of the caption.
        QWidget *rows = tree->viewport();
        for (const QPersistentModelIndex &row : changed)
            if (const QRect r = tree->visualRect(row); r.isValid()) // rows gone since are skipped
                rows->update(0, r.top(), rows->width(), r.height());
    });
}

// ---------------------------------------------------------------------------------------------------------
// Categories, searches, refresh

// After the category editor: the open case takes its stored category, and a case the editor deleted is no
// longer open.
void TFrmMain::followOpenCaseAfterEdit()
{
    if (!m_cases->open)
        return;
    TRecordData stored;
    switch (CaseDb()->LoadCaseEx(m_cases->openId, stored)) {
    case MRecordBase::TLoadResult::Loaded:
        m_rec.className = stored.className;
        m_cases->saved.className = stored.className;
        break;
    case MRecordBase::TLoadResult::NoSuchCase:
        setCaseOpen(false);
        break;
    case MRecordBase::TLoadResult::Failed:
        break;
    }
}

void TFrmMain::N35Click()
{
    if (RefuseWhileTreeLoads() || !CaseDb())
        return;
    bool modified = false;
    {
        TFrmEditClass dlg(*CaseDb(), this);
        AppUiFont.ApplyToForm(&dlg);
        dlg.exec();
        modified = dlg.Modified();
    }
    if (!modified)
        return;
    followOpenCaseAfterEdit();
    RefreshTree(m_caseTree->ShownIds());
}

void TFrmMain::N44Click()
{
    if (!RefuseWhileTreeLoads())
        RefreshTree(m_caseTree->ShownIds());
}

void TFrmMain::pop_searchClick()
{
    if (RefuseWhileTreeLoads() || !CaseDb())
        return;
    std::vector<int32_t> found;
    {
        TFrmSearch dlg(*CaseDb(), m_cases->Comments(), m_cases->search, this);
        AppUiFont.ApplyToForm(&dlg);
        dlg.exec();
        if (dlg.Tag() != 1)
            return;
        found = dlg.Found();
    }
    showSearchResults(found);
}

void TFrmMain::N43Click()
{
    if (RefuseWhileTreeLoads() || !CaseDb())
        return;
    const std::optional<QString> typed = Prompts::instance().inputText(
        QStringLiteral("模糊查找"), QStringLiteral("请输入要查找的关键字（姓名、性别、地址、类别、年-月-日-时、评语）：            "));
    if (!typed || typed->trimmed().isEmpty())
        return;
    const QStringList keywords = SplitKeywords(*typed);
    if (keywords.isEmpty()) {
        inform(QStringLiteral("请输入要查找的关键字，多个关键字可以用空格隔开！"));
        return;
    }
    std::vector<int32_t> found;
    QString message;
    if (!FuzzySearch(*CaseDb(), keywords, m_cases->Comments(), found, message)) {
        inform(message);
        return;
    }
    if (found.empty()) {
        inform(QStringLiteral("没有符合的案例！"));
        return;
    }
    showSearchResults(found);
}

void TFrmMain::showSearchResults(const std::vector<int32_t> &ids)
{
    QStringList lines;
    QList<int> results; // the ids that loaded, one per line
    {
        MRecordBase::Batch batch(*CaseDb());
        TRecordData rec;
        for (int32_t id : ids) {
            if (batch.ok() && CaseDb()->LoadCaseBatch(id, rec)) {
                lines << CaseTreeText::Caption(rec);
                results << id;
            }
        }
    }
    TFrmSameName dlg(lines, this);
    AppUiFont.ApplyToForm(&dlg);
    if (dlg.exec() != QDialog::Accepted || dlg.SelectedLine() < 0 || dlg.SelectedLine() >= results.size())
        return;
    const int chosen = results.at(dlg.SelectedLine());
    if (!dlg.ShowAll())
        results = {chosen};
    QList<int> shown = dlg.ClearList() ? QList<int>() : m_caseTree->ShownIds();
    if (shown.isEmpty()) {
        shown = results;
    } else {
        for (int id : std::as_const(results))
            if (!shown.contains(id))
                shown << id;
    }
    RefreshTree(shown);
    // A long list fills on the loader thread; its cases open once it is done.
    QTreeWidgetItem *node = TreeBusy() ? nullptr : m_caseTree->NodeOf(chosen);
    if (!node)
        return;
    ui->Tree->setFocus();
    ui->Tree->setCurrentItem(node);
    OpenCase(chosen);
    highlightShownCase();
}
