#pragma once

#include "BaZhaiCalc.h"
#include "BirthPillars.h"
#include "FeiXingCalc.h"
#include "PatternCalc.h"
#include "TCompassLayers.h"
#include "TRecordData.h"

#include <QRect>
#include <Qt>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class QImage;
class QPainter;
class QTextDocument;
class ReportSpans;
class MImagePlus;
class FloorPlan; // the floor plan behind the Bk operations (FloorPlan.h)

// The state of the chart object, in value structs that it is made of: their fields are its members.

// The case as laid out and what the views are asked to show of it.
struct QuorinInputs {
    TRecordData Rec;         // copy of the case; display mode chartPanel, colour mode colour, star names starNames
    int16_t BuildYear = 0;
    int iLiuNianYear = 2024; // year of the annual views
    int iLiuNianMonth = 6;   // solar month of the annual views, from 寅 = 0
    uint8_t bShowNeiQi = 0;
    uint8_t bShowMonth = 0;
    TCompassLayers Layers;   // the compass rings shown
};

// The chart settings of dat/set.ini (ReadChartSettings), checked, as the chart object uses them.
struct QuorinSettings {
    int ileft = 0;         // first-line indent of the report paragraphs, points
    uint8_t liunian = 0;   // 1: annual stars flown from the door
    uint8_t fuwei = 0;     // 伏位 reference: 0 山, 1 命, 2 向, 3 门
    uint8_t iCoord = 0;    // drawing rotation: 0 none, 1 the sitting degree, 2 the sitting degree + 180
    float fJian = 4.5f;    // degrees from a mountain's centre beyond which a degree is 兼
    uint8_t bZhouTian = 0; // full degree scale on the round chart
    uint8_t bWuHint = 1;   // five-element legend on the charts
    uint8_t iTilt = 0;     // ring text orientation: 0, 1 (+90°), 2 (+270°)
    uint8_t bChengMen = 1; // mark the city gates
};

// Everything a computation finds. Every computation starts from a cleared one, and a refused case leaves it so.
struct QuorinResults {
    int16_t MingYear = 0;     // the owner's year for the life trigram
    int16_t BuildGanZhi = 0;  // cycle number of the building year
    int16_t MingGanZhi = 0;   // cycle number of MingYear
    int16_t FenJinGanZhi = 0; // cycle number of the degree's 分金
    uint8_t Yun = 0;          // period of the building year
    uint8_t MingYun = 0;      // period of MingYear
    BaZhaiRecord BaZhaiFuWei{};           // copy of the 伏位 reference's record
    std::array<BaZhaiRecord, 4> BaZhai{}; // references 山 命 向 门
    FlyChart XiaGua{};                    // per palace: mountain, facing, period star
    FlyChart TiGua{};
    std::array<GateRecord, 2> ChengMen{}; // main and secondary city gate: mountain, star, state index
    PalaceRecords Gong{};                 // the chosen chart with its pattern flags
    uint8_t DaJieLi = 0;                  // 离宫打劫
    uint8_t DaJieKan = 0;                 // 坎宫打劫
    int16_t ZuoShan = 0;                  // sitting mountain 0..23
    int16_t JianShan = -1;                // the 兼 mountain, −1 for none
    int16_t JianSide = 0;                 // −1 兼 the previous mountain, +1 the next, 0 none
    int16_t PianDu = 0, PianFen = 0;      // distance of the degree from the mountain's centre
    uint8_t GuaIndex = 0;                 // hexagram under the degree
    // The owner's birth, when the case gives a birth date.
    TDateRec BirthGong{};
    TDateRec BirthNong{};
    uint8_t BirthLeap = 0;
    std::array<int16_t, 4> SiZhu{}; // year, month, day, hour pillars
};

// The chart picture, the floor plan and what they are drawn with.
struct QuorinPictures {
    QTextDocument *pRedt = nullptr; // report pane, not owned
    QImage *pImg = nullptr;         // chart picture, not owned
    QImage *pImgBk = nullptr;       // floor-plan picture, not owned
    std::shared_ptr<MImagePlus> pImagePlus; // owned drawing surface, made by the first drawing
    qint64 iDrawnKey = 0;           // cacheKey of the chart picture as the last drawing of a view left it

    float fPanWidth = 0, fPanHeight = 0; // size of the chart picture
    float fRadius = 0;                   // chart radius in pixels, as last drawn
    float fCenterX = 0, fCenterY = 0;    // centre of the chart in the chart picture
    int iTextSize = 12;
    float PanAngle = 22.5f;              // rotation of the chart drawing
    int16_t RingOffset = 0;              // compass ring offset, 0 after every lay-out
    int iPanShape = 1;                   // 0 round chart, 1 square chart
    QRect rcGrid;                        // last square chart's grid
    float fRingInner = 0.8f;
    int iBaseShan = 1;
    std::array<uint32_t, 9> XingColor{}; // colour of each star value (Windows 0x00BBGGRR)

    // The Eight Mansions labels shown.
    uint8_t GuaCount = 0;             // 1..4
    std::array<uint8_t, 4> GuaKind{}; // reference of each label slot: 0 山, 1 命, 2 向, 3 门
    std::array<QString, 4> GuaLabel;  // its one-character label
    std::array<uint32_t, 4> GuaColor{};
    std::array<float, 4> GuaAngle{};  // angular offset on the round chart, degrees
    std::array<float, 4> GuaRadius{}; // distance from the centre, fraction of the radius
    std::array<uint8_t, 8> GuaCell{}; // column and row (1..3) in a palace of the square chart

    // The floor plan.
    int iBkWidth = 0, iBkHeight = 0; // size of the floor-plan picture
    int iBkRadius = 0;
    int iBkCenterX = 0, iBkCenterY = 0;
    int iBkOrigWidth = 200, iBkOrigHeight = 200; // size of the loaded floor plan
    std::shared_ptr<QImage> pBkBitmap;           // owned work copy of the floor plan
    QString sTempPath;                           // DataPath()/picTemp/: the floor-plan undo files
    int iUndoIndex = -1;
    uint8_t bBkKeepRatio = 0;
};

// The house chart: the inputs of the current case, every computed table of its charts, the chart settings of
// dat/set.ini, and the state of the chart picture, the floor plan and the report.
//
// The methods are split by topic and by folder. Here (chart/): MQuorin_core.cpp (construction, settings, Eight
// Mansions labels, the chart computation and its star tables) and MQuorin_period.cpp (period, degree and
// birth-date rules). In pictures/: MQuorin_view.cpp (views, size, dragging, colour mode), MQuorin_compass.cpp and
// MQuorin_floorplan.cpp. In readings/: MQuorin_paipan.cpp (the lay-out road: computation, drawing and reading)
// and MQuorin_report_*.cpp. The computation never calls into the other two; a program that only computes links
// this folder's library alone. The picture geometry (fPanWidth … fCenterY, iBk*) follows the pictures given to
// the constructor and stays 0 without them.
//
// Palace order of every nine-entry table: 坎 艮 震 巽 离 坤 兑 乾 中. Stars and periods 1..8 with 九 as 0.
// Results are valid only after a successful CalcChart; a failed one leaves them cleared and the reason in
// sMessage.
class MQuorin : public QuorinInputs, public QuorinSettings, public QuorinResults, public QuorinPictures {
public:
    // Windows colour values (0x00BBGGRR) of the Eight Mansions label slots, in slot order.
    static constexpr std::array<uint32_t, 4> kGuaSlotColor = {0x0000FF, 0xFF0000, 0x008000, 0x984888};

    // The report document and the two pictures are the caller's and may be null (tests, computations only).
    explicit MQuorin(QTextDocument *report = nullptr, QImage *chartPicture = nullptr, QImage *floorPlan = nullptr);
    virtual ~MQuorin();
    MQuorin(const MQuorin &) = delete;
    MQuorin &operator=(const MQuorin &) = delete;

    // ---- settings and labels ----
    // Reads the settings block of dat/set.ini (ReadChartSettings); missing keys and values out of range give
    // the defaults of QuorinSettings.
    void LoadSettings();
    // Chooses the Eight Mansions labels shown (show[i] for 山 命 向 门): 0, or the row 1..4 that must stay
    // checked (the 伏位 reference) with sMessage set and the labels unchanged.
    int SetShowGua(const uint8_t show[4]);
    // Stores the colour mode in the case copy, recomputes the star colours and redraws the current view.
    void SetColorMode(int16_t mode);

    // ---- the chart ----
    // The computation of a lay-out: re-reads the settings, then ComputeChart.
    bool CalcChart(const TRecordData &rec);
    // Copies the case, checks it and computes every table (no drawing, no text). False with sMessage set when
    // the case is refused; the results are then cleared.
    bool ComputeChart(const TRecordData &rec);
    // After the sitting degree of the case copy has changed: its item, offset, 兼, hexagram and every star table.
    bool ReCalcForDegree();

    // ---- period, degree and birth-date rules ----
    double DegreeToItem(double degree) const; // the mountain-list item of a degree under fJian, −1 for a bad one
    bool CheckDegree();                        // the case's degree lies in ZuoShan; sets FenJinGanZhi
    bool CheckBirthDate();                     // fills the birth block from the case's birth date
    void BirthGanZhi();                        // the four pillars SiZhu of BirthGong
    static int NaYinIndex(int cycle);          // 纳音 element in the order 土 金 水 木 火
    static int SanBanGua(int a, int b, int c); // 0 none, 1 连珠, 2 父母

    // ---- star tables ----
    void CalcBaZhai();
    void CalcXiaGua();
    void CalcTiGua();
    void CalcGong();     // copies the chosen chart into the palace records and marks the patterns and 七星打劫
    void CalcChengMen(); // from the palace records
    void CalcColors();
    // Annual, monthly and inner-qi stars for iLiuNianYear and iLiuNianMonth (re-reads the settings first).
    void FlyStars(uint8_t year[9], uint8_t month[9], uint8_t neiQi[9]);

    // ---- report and messages ----
    QString sReport;  // working report text
    QString sHeader;  // report header; set by a successful lay-out (PaiPan) and each rewritten report, cleared by a
                      // refused lay-out
    QString sMessage; // last message for the caller to show
    // A lay-out has succeeded and its chart can be shown in the other views.
    bool LaidOut() const { return !sHeader.isEmpty(); }

    // ---- chart picture views, size and dragging (pictures/MQuorin_view.cpp) ----
    // Sizes the chart picture (clamped) and its geometry; redraws the current view, or leaves a framed blank.
    void SetPanSize(int w, int h, bool redraw);
    // Re-reads the settings and draws the current view (display mode, pan shape) into the chart picture.
    bool Redraw();
    // The view last drawn into the chart picture, drawn again at a device-pixel ratio for a scaled screen: the
    // picture's size times the ratio, marked with it. Null when the picture holds anything else (a blank, or
    // drawing since). The chart picture and the geometry stay as they are.
    QImage ScreenPicture(qreal ratio);
    void SetDisplayMode(int mode);
    void SetPanShape(int shape, bool redraw); // 0 round, 1 square
    int GetDisplayMode() const { return Rec.chartPanel; }
    void SetShowStarName(uint8_t starNames) { Rec.starNames = starNames; }
    // The annual, monthly and inner-qi views over the laid-out chart (display modes 2, 3 and 4); the month index
    // counts solar months from 寅 = 0. False, drawing nothing, while no lay-out has succeeded.
    bool ShowLiuNianPan(int year, int month, uint8_t showNeiQi, uint8_t showMonth);
    bool ShowNeiQiPan();
    bool ShowLiuNianPan8(int year, int month, uint8_t showMonth);
    // What a press at (x, y) on the picture drags: −1 none, 1 nothing, 2 the ring, 3 the axis, 11..18 an edge.
    int HitTestPan(int x, int y) const;
    Qt::CursorShape SetPanCursor(int x, int y) const; // the size cursor of the edge bands; the window sets it
    void RotatePan(int x0, int y0, int x1, int y1);   // turns the drawing by the swept angle, then redraws
    bool TurnZuoXiang(int x0, int y0, int x1, int y1); // turns the sitting degree, recomputes and redraws
    // Paints the sitting–facing axis of the round chart with its degree over the picture as last drawn (picture
    // coordinates), for the window to show while the axis is pointed at or turned; nothing on a square chart or
    // in the compass view, which draw their own.
    void PaintTurnAxis(QPainter &painter) const;
    void GetZuoXiang(float &degree, int &item) const
    {
        degree = Rec.degree;
        item = Rec.mountain;
    }

    // ---- lay-out and written reading (readings/MQuorin_paipan.cpp, readings/MQuorin_report_*.cpp) ----
    // The lay-out of a case: the whole computation (CalcChart), the drawing of the current view, the header and
    // the Xuan Kong reading. False with sMessage set when the case is refused; the picture and the report then
    // stay as they were.
    bool PaiPan(const TRecordData &rec);
    // Redraw the computed chart as the flying-star view (display mode 0) or the Eight Mansions view (mode 1) and
    // rewrite the report. False, doing nothing, while no lay-out has succeeded.
    bool ShowXuanKongPan();
    bool ShowBaZhaiPan();
    // Rewrites the report, header included, for the chart as it now stands (the Eight Mansions reading with
    // baZhai, else the Xuan Kong one) and leaves the picture alone. False while no lay-out has succeeded.
    bool RewriteReport(bool baZhai);
    // The document the report is written into: the report pane, or the object's own document without one.
    QTextDocument *ReportDocument();
    // The pieces of the reading, each appended to out. The header is sHeader after a lay-out.
    QString HeaderText() const;
    // "(己卯 丙子 己未 甲子，2000-1-1 23:30，一九九九年十一月廿六日": pillars, birth moment, lunar date.
    QString BirthDateText() const;
    static QString ChartGridText(const FlyChart &chart); // the chart as a framed text grid
    void XuanKongText(ReportSpans &out) const;   // header and 玄空法断宅
    void XiaGuaText(ReportSpans &out) const;     // 挨星下卦
    void TiGuaText(ReportSpans &out) const;      // 挨星替卦
    void PalaceTexts(ReportSpans &out) const;    // the nine palaces
    void BuildChoiceText(ReportSpans &out) const; // 建宅选择 of the flying stars
    void ShanYunText(ReportSpans &out) const;    // 玄空山运断
    void BaZhaiText(ReportSpans &out) const;     // header and 八宅法断宅

    // ---- compass view and floor plan (pictures/MQuorin_compass.cpp, pictures/MQuorin_floorplan.cpp) ----
    // Stores the compass-ring choice; draws nothing. The ring count is taken from the switches, never from the
    // count stored with them.
    void SetCompassLayers(const TCompassLayers &layers);
    // Draws the compass view into the chart picture, whatever the display mode (the redraw of the compass view
    // calls it). False when there is no picture.
    bool DrawCompass();

    // The floor plan in pImgBk, made on first use (pImgBk must be set by then). Its pen is the plan's pen. The
    // Bk operations below go through it and then bring iBkWidth … iBkRadius, iBkOrigWidth/Height, iUndoIndex
    // and pBkBitmap (the work copy) in line with it; a false result leaves the reason in sMessage.
    FloorPlan &BkPlan();
    // After a new plan was put into pImgBk: work copy, size as loaded, every undo step dropped.
    void ResetBkUndo();
    // One committed step; false when its file cannot be written (the drawing stays on the plan).
    bool SaveBkUndo();
    // Resizes the plan stretched from the work copy; handle 0 plain, 1..8 right, top-right … bottom-right (the
    // aspect is kept with SetBkKeepRatio). w and h come back as applied (at least 20 a side).
    void ResizeBk(int &w, int &h, uint8_t handle);
    void RestoreBkSize(int &w, int &h); // back to the size as loaded
    void SetBkKeepRatio(uint8_t keep);
    int HitTestBk(int x, int y);                 // 11..18 an edge or corner band, 1 elsewhere
    Qt::CursorShape SetBkCursor(int x, int y);   // the cursor the plan widget shows at (x, y)
    void BkMoveTo(int x, int y);                 // start of a freehand stroke
    void BkLineTo(int x, int y);                 // freehand segment, no undo step
    bool BkLine(int x0, int y0, int x1, int y1); // a straight line, then one undo step
    // Rectangle or ellipse from (x0, y0) to (x1, y1); preview: the rubber band, erasing the previous one to
    // (x2, y2), no step; otherwise the outline and one undo step.
    bool BkRectangle(int x0, int y0, int x1, int y1, int x2, int y2, bool preview);
    bool BkEllipse(int x0, int y0, int x1, int y1, int x2, int y2, bool preview);
    // One step back or forward; w and h take the plan's size. False when there is none (plan unchanged).
    bool UndoBk(int &w, int &h);
    bool RedoBk(int &w, int &h);
    // Stamps the chart picture onto the plan (white leaves the plan as it was), then one undo step. offset: the
    // chart picture's position relative to the plan. Refused without a laid-out chart with
    // "请先排一个正确的盘" in sMessage (shown under "先排盘"); false too when the step cannot be saved.
    bool MergePanToBk(QPoint offset = QPoint());

    // The results as a whole (cleared by every computation: Results() = {}).
    QuorinResults &Results() { return *this; }
    const QuorinResults &Results() const { return *this; }

    std::unique_ptr<IChartCalendar> DateEx; // calendar context; null while the program has none

private:
    void ClearResults();
    bool CheckCase();
    void CalcDegreeResults(); // offset, 兼 and hexagram of the case's degree
    void CalcStarTables();    // Eight Mansions, both charts, palace records, gates, colours

    // Draws the current view of the computed chart into the chart picture; false when nothing was drawn.
    bool DrawChart();
    void WriteXuanKongReport();
    void WriteBaZhaiReport();
    void WriteReport(const ReportSpans &pieces);
    std::shared_ptr<QTextDocument> pOwnReport; // the report without a pane (made on first use)

    void SyncBkFields();    // the bk fields, undo index and work copy from the plan
    bool BkResult(bool ok); // SyncBkFields, and the plan's message on failure
    std::shared_ptr<FloorPlan> pFloorPlan;
};
