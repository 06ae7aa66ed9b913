#pragma once

#include <cstddef>

#include "TCompassLayers.h"
#include "TRecordData.h"

#include <QMainWindow>

#include <memory>

class CaseTree;
class CaseTreeLoader;
class IniFile;
class MQuorin;
class MRecordBase;
class QActionGroup;
namespace Ui {
class TFrmMain;
}

// The case database of the program, opened by the main window's first showing on AppPath()/dat/Quorin.db.
MRecordBase *CaseDb();

// The main window: the house inputs, the chart picture over the floor plan, the report and comments panes,
// the case tree; its layout and splitter positions are kept in dat/qrinit.ini between runs.
class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
    ~TFrmMain() override;

    // ---- state other parts of the program and the tests read ----
    bool ChartValid() const { return m_chartValid; }
    MQuorin *Quorin() const { return m_quorin.get(); }
    const TRecordData &CurrentRecord() const { return m_rec; }
    const TCompassLayers &CompassLayers() const { return m_layers; }
    double FJian() const { return fJian; }

    // ---- commands ----
    void BtnPaiClick();                 // 布宅局
    void SpeedButton2Click();           // "<": the typed degree selects its sitting item
    void CboZuoShanClick(int item);     // a chosen sitting item writes its degree
    void CboYuanYunChange(int period);  // the year moves into the chosen period
    void EdtYearEnter();                // Enter in the year edit selects its period
    void BtoPanClick();                 // 玄空 基本盘
    void BtoPan8Click();                // 八宅 基本盘
    void BtoMenClick();                 // 内气盘
    void BtoLiuNianClick();             // 玄空 流年盘
    void BtoLiuNian8Click();            // 八宅 流年盘
    void RdoColorClick();
    void GrpShowStarClick();
    void ChkShowGuaClickCheck();
    void RdoPanShapeClick();
    void SbtoTextClick();               // 二十四山年月日时吉凶定局
    void OmenuSetClick();               // 排盘设置
    void HmnuRhelpClick();              // 软件帮助

    // ---- the case tree (TFrmMain_tree.cpp) ----
    // Every command that touches the case file calls this first: while the tree loads it shows
    // "请等待案例加载完毕！" and returns true, and the command does nothing.
    bool RefuseWhileTreeLoads();
    bool TreeBusy() const;
    CaseTree &Tree() const { return *m_caseTree; }
    // Rebuilds the tree from these case ids in the current style and sort; a long list loads on the loader
    // thread while the window stays usable.
    void RefreshTree(const QList<int> &ids);
    void pop_s_fullClick();               // 显示全部案例
    void ShowStyleClick(QAction *item);   // an item of the display-style menu

    // The 兼 margin and the 伏位 reference of dat/set.ini, read by the window itself.
    double ReadJian() const;
    void ReadFuWei();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    bool FormClose();
    void fillInputLists();
    void buildSkinMenu();
    void skinItemClick(QAction *item);
    void readWindowSettings();
    void writeWindowSettings();
    void applyStartWindowState();
    void openCaseDatabase();
    void selectPeriodOfYear(int year);
    bool needChart();
    bool readAnnualYear(const class QComboBox *combo, int &year);
    void afterChartChange();
    void inform(const QString &text);
    void buildTreeMenu();
    void checkShowStyleItems();
    void fillTreeAtStart();
    void startTreeLoader(const QList<int> &ids);
    void beginTreeFill(const QStringList &categories);
    void placeNextTreeChunk();
    void endTreeFill();
    bool stopTreeLoadOnClose();

    std::unique_ptr<Ui::TFrmMain> ui;
    bool m_chartValid = false;
    std::unique_ptr<MQuorin> m_quorin;
    TRecordData m_rec;
    TCompassLayers m_layers;
    double fJian = 3.0;
    int m_treeStyle = 0;
    int m_treeSort = 0;
    int m_startWindowState = -1;
    bool m_shown = false;
    bool m_closed = false;
    std::unique_ptr<IniFile> m_ini; // dat/qrinit.ini while the window is open
    QActionGroup *m_skinGroup = nullptr;
    std::unique_ptr<CaseTree> m_caseTree;
    QActionGroup *m_styleGroup = nullptr;
    QActionGroup *m_sortGroup = nullptr;
    QString m_titleBeforeFill;
    bool m_chunkTickQueued = false;
    int m_treeLoaderRun = 0;
    // Last, so it goes first: its thread has ended before anything it reports to is freed.
    std::unique_ptr<CaseTreeLoader> m_treeLoader;
};
