// The case tree of the main window: filling it, its display-style menu and the loader thread.
#include "TFrmMain.h"

#include "ui_TFrmMain.h"

#include "AppPath.h"
#include "CaseTree.h"
#include "CaseTreeLoader.h"
#include "MRecordBase.h"
#include "Prompts.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>

namespace {

const char *const kWaitForTree = "请等待案例加载完毕！";
// At start-up the tree shows the newest this many ids.
constexpr int kStartIds = 1000;
// Longer id lists load on the loader thread; shorter ones are quick enough to fill at once.
constexpr int kFillAtOnceLimit = 2000;

// The ids from the highest issued down to 1, at most `limit` of them (ids of deleted cases count).
QList<int> NewestIds(int highest, int limit)
{
    QList<int> ids;
    for (int id = highest; id >= 1 && ids.size() < limit; --id)
        ids << id;
    return ids;
}

} // namespace

void TFrmMain::buildTreeMenu()
{
    m_caseTree = std::make_unique<CaseTree>(ui->Tree);

    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopTree"));
    QAction *record = menu->addAction(CaseTreeText::RecordCount(0));
    record->setObjectName(QStringLiteral("pMenuRecord"));
    record->setEnabled(false);
    menu->addSeparator();
    QAction *full = menu->addAction(QStringLiteral("显示全部案例"));
    full->setObjectName(QStringLiteral("pop_s_full"));
    connect(full, &QAction::triggered, this, &TFrmMain::pop_s_fullClick);

    QMenu *style = menu->addMenu(QStringLiteral("显示样式"));
    style->setObjectName(QStringLiteral("pMenuShowStyle"));
    m_styleGroup = new QActionGroup(this);
    m_sortGroup = new QActionGroup(this);
    const struct {
        const char *name;
        const char *text;
        QActionGroup *group;
    } items[] = {
        {"N37", "分类显示", m_styleGroup},          {"N38", "列表显示", m_styleGroup},
        {"N40", "时间降序（近-远）", m_sortGroup}, {"N41", "时间升序（远-近）", m_sortGroup},
        {"az1", "姓氏升序（a-z）", m_sortGroup},   {"za1", "姓氏降序（z-a）", m_sortGroup},
        {"N42", "无", m_sortGroup},
    };
    for (const auto &item : items) {
        if (item.group == m_sortGroup && m_sortGroup->actions().isEmpty())
            style->addSeparator();
        QAction *a = style->addAction(QString::fromUtf8(item.text));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setCheckable(true);
        item.group->addAction(a);
    }
    connect(style, &QMenu::triggered, this, &TFrmMain::ShowStyleClick);

    ui->Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->Tree, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &at) { menu->popup(ui->Tree->viewport()->mapToGlobal(at)); });
}

bool TFrmMain::TreeBusy() const { return ui->Tree->property("tag").toInt() == 1; }

bool TFrmMain::RefuseWhileTreeLoads()
{
    if (!TreeBusy())
        return false;
    inform(QString::fromUtf8(kWaitForTree));
    return true;
}

void TFrmMain::checkShowStyleItems()
{
    m_treeStyle = m_treeStyle == TreeList ? TreeList : TreeGrouped;
    if (m_treeSort < SortNone || m_treeSort > SortSurnameDown)
        m_treeSort = SortNone;
    m_styleGroup->actions().at(m_treeStyle)->setChecked(true);
    // Sort 0 is the fifth item "无".
    m_sortGroup->actions().at(m_treeSort == SortNone ? 4 : m_treeSort - 1)->setChecked(true);
}

void TFrmMain::fillTreeAtStart()
{
    checkShowStyleItems();
    const int highest = CaseDb() ? CaseDb()->GetPrimaryId() : 0;
    RefreshTree(NewestIds(highest, kStartIds));
    if (highest > kStartIds) {
        QTextCursor end(ui->RedtPingYu->document());
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("\n\n案例总数大致：%1个，可以在树表上按鼠标右键，点击“显示全部案例”！").arg(highest));
        ui->RedtPingYu->document()->setModified(false); // the program's note, not comments of a new case
    }
}

void TFrmMain::RefreshTree(const QList<int> &ids)
{
    if (ids.size() > kFillAtOnceLimit) {
        startTreeLoader(ids);
        return;
    }
    QStringList listed;
    std::vector<TCusTreeItem> items;
    if (MRecordBase *db = CaseDb(); db && !db->Path().isEmpty()) {
        db->ReadClasses(listed);
        items = LoadCaseItems(*db, ids, m_treeSort);
        reportDamage();
    }
    beginTreeFill(CaseTreeText::CategoriesToShow(listed, items));
    m_caseTree->Place(items, 0, items.size());
    endTreeFill();
}

void TFrmMain::beginTreeFill(const QStringList &categories)
{
    if (!TreeBusy())
        m_titleBeforeFill = windowTitle();
    ui->Tree->setProperty("tag", 1);
    m_caseTree->BeginFill(m_treeStyle, categories);
}

void TFrmMain::endTreeFill()
{
    m_caseTree->EndFill();
    ui->Tree->setProperty("tag", 0);
    if (QAction *record = findChild<QAction *>(QStringLiteral("pMenuRecord")))
        record->setText(CaseTreeText::RecordCount(m_caseTree->Count()));
    setWindowTitle(m_titleBeforeFill);
    highlightShownCase(); // a refilled tree has lost its highlight
}

void TFrmMain::startTreeLoader(const QList<int> &ids)
{
    MRecordBase *db = CaseDb();
    if (!db)
        return;
    m_treeLoader.reset(); // an earlier one has ended (commands wait for it); this joins its thread
    m_titleBeforeFill = TreeBusy() ? m_titleBeforeFill : windowTitle();
    ui->Tree->setProperty("tag", 1);
    setWindowTitle(QStringLiteral("加载....."));
    m_treeLoader = std::make_unique<CaseTreeLoader>(DataPath(), db->Path(), ids, m_treeSort);
    CaseTreeLoader *loader = m_treeLoader.get();
    // Reports still queued from an earlier loader are told apart by the run number, never by the address.
    const int run = ++m_treeLoaderRun;
    connect(loader, &CaseTreeLoader::loaded, this, [this, run] {
        if (run == m_treeLoaderRun && m_treeLoader)
            beginTreeFill(m_treeLoader->Categories());
    });
    auto tick = [this, run] {
        if (run == m_treeLoaderRun && m_treeLoader && !m_chunkTickQueued) {
            m_chunkTickQueued = true;
            QTimer::singleShot(0, this, &TFrmMain::placeNextTreeChunk);
        }
    };
    connect(loader, &CaseTreeLoader::chunksReady, this, tick);
    connect(loader, &CaseTreeLoader::finished, this, tick);
    loader->Start();
}

// One chunk per turn of the event loop: input and painting go on between chunks, without pumping events here.
void TFrmMain::placeNextTreeChunk()
{
    m_chunkTickQueued = false;
    CaseTreeLoader *loader = m_treeLoader.get();
    if (!loader)
        return;
    if (!loader->StopRequested()) {
        if (CaseTreeLoader::Chunk chunk = loader->TakeChunk()) {
            m_caseTree->Place(*chunk, 0, chunk->size());
            setWindowTitle(QString::number(qsizetype(loader->Total()) - m_caseTree->Count()));
            m_chunkTickQueued = true;
            QTimer::singleShot(0, this, &TFrmMain::placeNextTreeChunk);
            return;
        }
    }
    if (!loader->Done() && !loader->StopRequested())
        return; // more comes with the next chunksReady
    loader->Wait();
    const QString damage = loader->Damage();
    m_treeLoader.reset();
    ++m_treeLoaderRun;
    endTreeFill();
    if (!damage.isEmpty() && CaseDb()) {
        CaseDb()->MarkDamaged(damage);
        reportDamage();
    }
}

void TFrmMain::pop_s_fullClick()
{
    if (RefuseWhileTreeLoads())
        return;
    const int highest = CaseDb() ? CaseDb()->GetPrimaryId() : 0;
    if (highest <= 0) {
        inform(QStringLiteral("没有记录，无从显示。"));
        return;
    }
    if (highest > kFillAtOnceLimit)
        inform(QStringLiteral("记录总数有点多，确定后请等待操作完成！"));
    startTreeLoader(NewestIds(highest, highest));
}

void TFrmMain::ShowStyleClick(QAction *item)
{
    if (RefuseWhileTreeLoads()) {
        checkShowStyleItems(); // the menu keeps showing the style in force
        return;
    }
    if (!item->isChecked())
        item->setChecked(true);
    m_treeStyle = int(m_styleGroup->actions().indexOf(m_styleGroup->checkedAction()));
    const int sortItem = int(m_sortGroup->actions().indexOf(m_sortGroup->checkedAction())) + 1;
    m_treeSort = sortItem == 5 ? SortNone : sortItem;
    checkShowStyleItems();
    RefreshTree(m_caseTree->ShownIds());
}

bool TFrmMain::stopTreeLoadOnClose()
{
    if (!m_treeLoader)
        return true;
    if (!Prompts::instance().askYesNo(QStringLiteral("显示案例"), QStringLiteral("是否停止显示案例？"),
                                      Prompts::Answer::No, Prompts::Icon::Warning)) {
        inform(QString::fromUtf8(kWaitForTree));
        return false;
    }
    // The question's dialog runs the event loop: the load may have ended and let its loader go meanwhile.
    if (!m_treeLoader)
        return true;
    m_treeLoader->RequestStop();
    m_treeLoader->Wait();
    m_treeLoader.reset();
    ++m_treeLoaderRun;
    endTreeFill();
    return true;
}
