#pragma once

#include "DateRec.h"
#include "MYiDateEx.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class IChartCalendar;
class QImage;
class QPainter;
class QRect;

// The six 紫白 charts of a moment, in chart-number order.
enum class JiuXingKind { DaYun, XiaoYun, Nian, Yue, Ri, Shi };
inline constexpr int kJiuXingCharts = 6;

// Palaces in grid order, south at the top: 巽 离 坤 / 震 中 兑 / 艮 坎 乾.
inline constexpr int kCentrePalace = 4;
// How far each palace's star lies from the centre star along the forward Luo Shu flight, in grid order.
inline constexpr std::array<int, 9> kFlightOffset = {8, 4, 6, 7, 0, 2, 3, 5, 1};

// One 3 × 3 chart. Stars use the sexagenary star numbering: 1..8, and 九紫 as 0.
struct JiuXingChart {
    int direction = 1;              // 1 forward flight, -1 backward
    std::array<uint8_t, 9> star{};  // the star of each palace, grid order
    std::array<uint8_t, 9> state{}; // (star − centre + 9) mod 9, an index into XingStateName
    int Centre() const { return star[kCentrePalace]; }
};

// The chart flown from `centre` (any integer, reduced mod 9), forward (direction 1) or backward (-1).
JiuXingChart FlyChart(int centre, int direction);

// The reference terms of the day star, in index order.
enum class DayTerm { XiaZhi, ChuShu, ShuangJiang, DongZhi, YuShui, GuYu };

struct JiuXingResult {
    std::array<JiuXingChart, kJiuXingCharts> charts{};
    std::array<int, 4> ganzhi{}; // cycle numbers of year, month, day, hour (the hour 23 counts as the next day)
    TDateRec gregorian{};        // the input
    TDateRec lunar{};            // of the day the chart counts (the next day for the hour 23)
    bool leap = false;
    double moment = 0;           // Julian day of the input at hh:mm:01
    DayTerm dayTerm = DayTerm::DongZhi; // the reference term the day star was counted from
};

// How the charts are drawn: the choices of the window.
struct JiuXingView {
    std::array<bool, kJiuXingCharts> selection{true, true, true, true, true, true};
    int colourMode = 0;     // 0 black, 1 by star, 2 by the star's element
    bool showState = false; // append 旺/生/死/煞/退 to every star
    int fontSize = 9;       // base font size in points
};

// The day-star methods (the dayStar setting). Both fly the day stars in six sequences, from 冬至 一白, 雨水 七赤,
// 谷雨 四绿 forward and from 夏至 九紫, 处暑 三碧, 霜降 六白 backward, each star counted from the day's place in
// the sexagenary cycle. 节气起算 switches sequence at each term; 三元甲子 starts each sequence on the
// 甲子 day nearest its term, so the direction turns twice a year, each time on a 甲子 day.
enum class DayStarMethod { SolarTerm = 0, SanYuanJiaZi = 1 };

// The nine-star engine: computes the 大运, 小运, year, month, day and hour charts of a Gregorian moment and
// draws them, with a header, into a picture. Not thread-safe: one engine per window.
class MJiuXing {
public:
    MJiuXing();
    ~MJiuXing();
    MJiuXing(const MJiuXing &) = delete;
    MJiuXing &operator=(const MJiuXing &) = delete;

    // The drawing target (not owned); nullptr draws nothing.
    void SetImage(QImage *image) { image_ = image; }
    void SetView(const JiuXingView &view) { view_ = view; }
    void SetDayStarMethod(DayStarMethod method) { method_ = method; }

    // Computes every chart of a Gregorian date and time; with `draw` the header and the selected charts are
    // drawn into the image. False for a date that does not exist or a year outside 100..3000, with Message()
    // saying why; the results and the picture are then left as they were.
    bool Compute(const TDateRec &date, bool draw);

    const JiuXingResult &Results() const { return result_; }
    const QString &Message() const { return message_; }

    // The header lines drawn above the charts (公历, 农历, 干支, the list of charts shown).
    QStringList HeaderLines() const;
    // "甲辰年正月初一日午时": the lunar date of the last result as the header writes it after "农历：".
    QString LunarText() const;
    // The overview of the last result instead of the large charts: a title, the dates and six small charts in
    // a row, each with the names of its nine stars.
    void DrawSummary(QImage &image) const;

    static constexpr int kMinYear = 100;
    static constexpr int kMaxYear = 3000;

private:
    bool Validate(const TDateRec &date, JiuXingResult &r);
    void CalcStars(JiuXingResult &r);
    int CalcDayStar(JiuXingResult &r);
    int JiaZiSequence(const TJieQiRec &term, const TDateRec &day) const;
    void Draw() const;
    QRect DrawHeader(QPainter &p) const; // returns the area left for the charts
    void DrawCharts(QPainter &p, const QRect &area) const;

    QImage *image_ = nullptr;
    JiuXingView view_;
    DayStarMethod method_ = DayStarMethod::SolarTerm;
    MYiDateEx calendar_;
    std::unique_ptr<IChartCalendar> pillars_;
    JiuXingResult result_;
    QString message_;
};
