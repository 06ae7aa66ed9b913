#pragma once

#include <cstddef>

#include "MRecordBase.h"
#include "TCompassLayers.h"
#include "TRecordData.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class CaseTree;
class CaseTreeLoader;
class IniFile;
class MControlCompass;
class MQuorin;
class QAction;
class QMouseEvent;
class QTreeWidgetItem;
class MRecordBase;
class QActionGroup;
class TSkinData;
namespace Ui {
class TFrmMain;
}
namespace WindowGeometry {
struct PaneSizes;
}
namespace ChartInputs {
struct CheckedYears;
}

// The case database of the program, opened by the main window's first showing on DataPath()/dat/Quorin.db.
MRecordBase *CaseDb();

// How the case database writes and reads comment files: RTF through the program's RTF writer and reader.
struct TRemarkCodec CaseCommentCodec();

// The main window: the house inputs, the chart picture over the floor plan, the report and comments panes,
// the case tree; its layout and splitter positions are kept in dat/qrinit.ini between runs.
class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
    ~TFrmMain() override;
    void setVisible(bool visible) override; // the first showing runs FormShow

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
    void BtoShengRiClick();             // 输入生日: the owner's birth date and time
    void OmenuSetClick();               // 排盘设置
    void HmnuRhelpClick();              // 软件帮助

    // ---- text panes, home articles and menus (TFrmMain_menus.cpp) ----
    void OsetmoClick();                       // 命稿设置 → 默认
    void OmnusetfontClick();                  // 命稿设置 → 字体设置
    void OmnusetcolorClick();                 // 命稿设置 → 背景色设置
    void MlzishiClick();                      // 命理知识 → 相关知识
    void MenuMenDingClick();                  // 工具 → 门公、丁兰尺
    void TmnuMenChiClick();                   // 工具 → 门尺占
    void TmnuJiuXingClick();                  // 工具 → 九星运行图
    void TmnuFeiBuClick();                    // 工具 → 九星飞布图
    void TmnuwnlClick();                      // 工具 → 万年历
    void CboJiaJuClick(int item);             // an article into MeoJiaJu
    void ColGridChange(const QColor &colour); // the article's text colour
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

    // ---- case commands (TFrmMain_cases.cpp) ----
    bool SaveCaseClick();                 // 保存案例 and SbtoSave; whether the case was saved
    void BtoNewClick();                   // 新建
    // Double click on a case node, 查看案例; whether it opened with its chart. A case whose chart cannot be laid
    // out opens without one, saying why.
    bool OpenCase(int id);
    void pop_ming_deleteClick();          // 删除案例
    void MoveCaseTo(const QString &category); // an item of 移动到
    void N35Click();                      // 编辑类别
    void N43Click();                      // 模糊查找
    void pop_searchClick();               // 条件查找
    void N44Click();                      // 刷新显示
    bool CaseOpen() const;                // a saved case is open: saving updates it
    int OpenCaseId() const;

    // The 兼 margin and the 伏位 reference of dat/set.ini, read by the window itself.
    double ReadJian() const;
    void ReadFuWei();

    // ---- whole-database commands of the 文件 menu (TFrmMain_database.cpp) ----
    // Restore, delete-all, compaction and a successful import end the program without the closing questions.
    void menu_f_importClick(); // 还原案例数据
    void menu_f_exportClick(); // 备份案例数据
    void menu_f_clearrClick(); // 删除案例数据
    void N33Click();           // 整理数据
    void db1Click();           // 添加db文件
    void db2Click();           // 导出db文件

    // ---- picture tools: the chart picture, the floor plan and the compass page (TFrmMain_pictures.cpp) ----
    void SpeedButton1Click();                // 户型图: choose and load a floor plan
    bool LoadFloorPlan(const QString &file); // also for opening a case with a plan; false keeps the old plan
    void SetDrawMode(int mode);              // 0 none, 11 连续线, 12 圆, 13 方形, 14 直线, 15 橡皮擦
    int DrawMode() const;
    bool PanLocked() const;
    // The sitting–facing axis is shown over the round chart: the pointer lies on its band or turns it.
    bool TurnAxisShown() const;
    // The drawing-mode items N9 N11 N17 N18 N28 (modes 11..15), 画笔属性 N19 and 文字属性 N27, for the tools menu.
    QList<QAction *> PictureToolActions() const;
    void FillCompassList();
    MControlCompass *Compass() const;
    void ImgBkMouseDown(QMouseEvent *event);
    void ImgBkMouseMove(QMouseEvent *event);
    void ImgBkMouseUp(QMouseEvent *event);
    void Img1MouseDown(QMouseEvent *event);
    void Img1MouseMove(QMouseEvent *event);
    void Img1MouseUp(QMouseEvent *event);
    void ImgCompassMouseDown(QMouseEvent *event);
    void ImgCompassMouseMove(QMouseEvent *event);
    void ImgCompassMouseUp(QMouseEvent *event);

    // ---- the skin of the whole program (TFrmMain_skin.cpp) ----
    TSkinData &Skin() const { return *m_skin; }
    bool SkinOn() const { return m_skinOn; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    bool FormClose();
    void fillInputLists();
    void buildSkinMenu();
    void skinItemClick(QAction *item);
    void readWindowSettings();
    void fitPanesToWindow(const WindowGeometry::PaneSizes &stored);
    bool writeWindowSettings();
    void putWindowSettings(IniFile &ini); // the layout's keys, inside one update of the file
    void reportSettingsWrite(bool written);
    void redrawShownView();
    void applyShowGua();
    void applyStartWindowState();
    void openCaseDatabase();
    void watchQuickCheck();
    // The quick check's verdict now, before a worker thread takes the case object: from then on only that
    // thread looks at the object.
    void settleQuickCheck();
    void reportDamage(); // once: the case file is damaged and is no longer written to
    // The case file in the window's hands (TFrmMain_casefile.cpp). A save first waits for the check that runs
    // beside the start, responsively and saying why; false when the user stopped waiting.
    bool waitForCaseFileCheck();
    // Before a save: the case file was opened at the start and its check has ended; otherwise says why (false).
    bool caseFileReady(const QString &failure);
    // After a failed call on the case file, its message shown after `failure`: another program holding the file
    // asks 重试/取消, `after` closing the text (true: try again); any other failure is only shown (false).
    bool retryCaseFile(const QString &failure, const QString &after = QString());
    bool loadCaseShown(int id, TRecordData &rec);     // false: no such case, or the failure shown
    bool readClassesShown(QStringList &classes);      // false: the failure shown
    // MRecordBase::SaveCase, tried again while another program holds the file and the user asks to.
    bool saveCaseRetrying(int id, TRecordData &rec, const MRecordBase::TCaseFiles &files, const TRecordData *opened);
    void selectPeriodOfYear(int year);
    bool needChart();
    bool readAnnualYear(const class QComboBox *combo, int &year);
    void afterChartChange();
    void keepChartWholeOverPlan(); // the view grows by what a plan's horizontal scroll bar hides of the chart
    void keepCaptionInView();      // else the view scrolls the chart's caption lines clear of that bar
    void inform(const QString &text);
    void setupTextPanes();
    void buildMenus();
    void setupSkin();                         // construction: the skin component, switched off
    void loadStartSkin(const IniFile &ini);   // first showing: the chosen skin loaded, not yet switched on
    void activateStartSkin();                 // the end of the first showing: switched on or off
    bool chooseSkin(const QString &name);     // the skin menu: false when it cannot be loaded
    void switchSkinOff();                     // the skin menu's 系统默认
    static QString skinFile(const QString &name); // AppPath()/skins/<name>.skn; empty unless a plain name
    bool writeSkinChoice(bool on, const QString &name = QString()); // [window] skined, and skinname when on
    bool sittingChosen(); // whether CboZuoShan holds a mountain; "请选择坐山！" when not
    // The building and birth years typed; when they make no case, the message has been shown.
    ChartInputs::CheckedYears checkYears();
    // The house the boxes hold, laid over `rec`: the birth month, day and hour stay as the birthday dialog set them.
    TRecordData houseOfBoxes(TRecordData rec, const QString &name, double degree,
                             const ChartInputs::CheckedYears &years) const;
    void buildDatabaseMenu();
    // Runs a long case-file operation off the window's thread, its progress texts shown in the comments pane;
    // the window takes no input meanwhile, and the pane gets its comments back afterwards.
    int runWithProgress(const std::function<int(const std::function<void(const QString &)> &)> &work);
    void endWithoutClosing();

    void setupCaseCommands();
    // Offers to save the case on screen before it is dropped: an open case whose house (laid out again), comments
    // or floor plan changed since it was opened or saved, or a new case with anything entered. 是 saves it, 否
    // drops it; false when the user cancelled, or wanted it saved and it was not: the caller then stays. Where the
    // case file takes no case (damaged, or not opened), it asks whether to drop the work instead.
    bool offerToSaveCase();
    // The question offerToSaveCase asks, naming what changed; empty when nothing would be lost.
    QString saveQuestion() const;
    // What would be lost ("当前案例评语已改变"); empty when nothing would.
    QString unsavedWork() const;
    // The case file can take the case on screen: it was opened and is not damaged.
    bool caseFileTakesCases() const;
    // The open case's house as the chart shows it differs from the case as stored.
    bool houseChanged() const;
    // The house inputs and the birth date read as a lay-out would read them give the house the chart shows.
    bool inputsMatchChart() const;
    // No saved case is open, and the window holds work of a new one: a chart laid out, comments typed, or a
    // floor plan loaded or drawn on.
    bool newCaseEntered() const;
    void markPlanSaved();      // the floor plan on screen is the case's as stored
    bool planChanged() const;  // the floor plan differs from the case's as stored
    bool updateOpenCase();
    bool insertCase();
    bool saveCaseWhole(int id, TRecordData &rec);
    void setCaseOpen(bool open, int id = -1);
    void clearFloorPlan();
    bool checkOpenedInputs();
    void fillInputsFromCase(const TRecordData &rec);
    void loadCaseFiles();
    void fillMoveMenu();
    QString caseToDeleteName(const QTreeWidgetItem *node, int id);
    // The owner's name as a question names a stored case: with the sitting and building year where the owner has
    // several cases.
    QString whichCase(const TRecordData &rec);
    // The tree highlights the case the window shows, and nothing while it shows a new case.
    void highlightShownCase();
    void followOpenCaseAfterEdit();
    void showSearchResults(const std::vector<int32_t> &ids);
    void showCaseCount();
    struct CaseCommands;
    struct CaseCommandsDeleter {
        void operator()(CaseCommands *p) const;
    };
    std::unique_ptr<CaseCommands, CaseCommandsDeleter> m_cases;

    void setupPictureTools();   // construction: popups, text panel, mouse and compass-page connections
    void startPictureTools();   // first showing: the blank plan, the compass photograph and its list
    void afterLayOutPictures(); // a successful lay-out: chart unlocked, compass photograph turned to it
    void showNewChart();        // a chart laid out or opened: pictures and report shown from their start
    void cancelPanDrag();
    void showTurnAxis(bool on);
    struct PictureTools;
    struct PictureToolsDeleter {
        void operator()(PictureTools *p) const;
    };
    std::unique_ptr<PictureTools, PictureToolsDeleter> m_pic;
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
    std::unique_ptr<TSkinData> m_skin; // the skin of every window of the program
    bool m_skinOn = false;             // the skin is to be switched on (at the end of the first showing)
    std::unique_ptr<CaseTree> m_caseTree;
    QActionGroup *m_styleGroup = nullptr;
    QActionGroup *m_sortGroup = nullptr;
    QString m_titleBeforeFill;
    bool m_chunkTickQueued = false;
    int m_treeLoaderRun = 0;
    bool m_damageShown = false;
    QPointer<QTimer> m_checkPoll; // waits for the quick check that runs beside the start
    // Last, so it goes first: its thread has ended before anything it reports to is freed.
    std::unique_ptr<CaseTreeLoader> m_treeLoader;
};
