#include "MJiuXing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
struct Moment {
    TDateRec date;
    DayStarMethod method;
    std::array<int, 4> ganzhi;  // year, month, day, hour cycle numbers
    std::array<int, 6> centre;  // 大运 小运 年 月 日 时, 九紫 as 0
    int dayDirection, hourDirection;
    DayTerm term;
};

// Reference values worked out by hand from the traditional rules: years turn at 立春; the month star starts at
// 八白/五黄/二黑 for 子午卯酉/辰戌丑未/寅申巳亥 years; the day star from the term; the hour star from 一白/四绿/七赤
// on 子午卯酉/辰戌丑未/寅申巳亥 days, reversed between 夏至 and 冬至.
const Moment kMoments[] = {
    // 甲辰 丙寅 甲辰 庚午; 2024 opens period 9, a 三碧 year, month 五黄.
    {{2024, 2, 10, 12, 0}, DayStarMethod::SolarTerm, {41, 3, 41, 7}, {3, 0, 3, 5, 5, 1}, 1, 1, DayTerm::DongZhi},
    {{2024, 2, 10, 12, 0}, DayStarMethod::SanYuanJiaZi, {41, 3, 41, 7}, {3, 0, 3, 5, 5, 1}, 1, 1, DayTerm::DongZhi},
    // The hour 23 belongs to the next day (乙巳, 丙子 hour).
    {{2024, 2, 10, 23, 0}, DayStarMethod::SolarTerm, {41, 3, 42, 13}, {3, 0, 3, 5, 6, 7}, 1, 1, DayTerm::DongZhi},
    // 1984 after 立春: 甲子 year, 七赤, period 7.
    {{1984, 2, 5, 12, 0}, DayStarMethod::SolarTerm, {1, 3, 6, 7}, {3, 7, 7, 8, 6, 4}, 1, 1, DayTerm::DongZhi},
    // The 甲子 day after 冬至: day 一白 forward, 子 hour 一白.
    {{2024, 1, 1, 0, 30}, DayStarMethod::SolarTerm, {40, 1, 1, 1}, {3, 8, 4, 7, 1, 1}, 1, 1, DayTerm::DongZhi},
    // The 甲子 day after 夏至: day 九紫 backward, 子 hour 九紫.
    {{2024, 6, 29, 0, 30}, DayStarMethod::SolarTerm, {41, 7, 1, 1}, {3, 0, 3, 1, 0, 0}, -1, -1, DayTerm::XiaZhi},
    // Either side of 夏至 (2024-06-21 04:51) and of 冬至 (2023-12-22 11:27).
    {{2024, 6, 20, 12, 0}, DayStarMethod::SolarTerm, {41, 7, 52, 19}, {3, 0, 3, 1, 1, 7}, 1, 1, DayTerm::GuYu},
    {{2024, 6, 22, 12, 0}, DayStarMethod::SolarTerm, {41, 7, 54, 43}, {3, 0, 3, 1, 1, 6}, -1, -1, DayTerm::XiaZhi},
    {{2023, 12, 21, 12, 0}, DayStarMethod::SolarTerm, {40, 1, 50, 55}, {3, 8, 4, 7, 2, 0}, -1, -1, DayTerm::ShuangJiang},
    {{2023, 12, 23, 12, 0}, DayStarMethod::SolarTerm, {40, 1, 52, 19}, {3, 8, 4, 7, 7, 7}, 1, 1, DayTerm::DongZhi},
    // 三元甲子: the 冬至 sequence only starts at the 甲子 day ten days later.
    {{2023, 12, 23, 12, 0}, DayStarMethod::SanYuanJiaZi, {40, 1, 52, 19}, {3, 8, 4, 7, 0, 7}, -1, 1, DayTerm::ShuangJiang},
};
} // namespace

TEST(NineStarEngine, ComputesPillarsCentreStarsAndDayTermsOfKnownMoments)
{
    MJiuXing engine;
    for (const Moment &m : kMoments) {
        SCOPED_TRACE(testing::Message() << m.date.year << "-" << m.date.month << "-" << m.date.day << " "
                                        << m.date.hour << "h method " << int(m.method));
        engine.SetDayStarMethod(m.method);
        ASSERT_TRUE(engine.Compute(m.date, false)) << engine.Message().toStdString();
        const JiuXingResult &r = engine.Results();
        EXPECT_EQ(r.ganzhi, m.ganzhi);
        for (int i = 0; i < kJiuXingCharts; ++i)
            EXPECT_EQ(r.charts[i].Centre(), m.centre[i]) << "chart " << i;
        EXPECT_EQ(r.charts[int(JiuXingKind::Ri)].direction, m.dayDirection);
        EXPECT_EQ(r.charts[int(JiuXingKind::Shi)].direction, m.hourDirection);
        EXPECT_EQ(r.dayTerm, m.term);
    }
}

TEST(NineStarEngine, FliesTheLuoShuForwardAndBackward)
{
    struct Row {
        int centre, direction;
        std::array<uint8_t, 9> stars; // grid order, south at the top
    };
    const Row rows[] = {
        {5, 1, {4, 0, 2, 3, 5, 7, 8, 1, 6}},  // the base Luo Shu
        {5, -1, {6, 1, 8, 7, 5, 3, 2, 0, 4}}, // 六白 in 巽, 四绿 in 乾
        {1, 1, {0, 5, 7, 8, 1, 3, 4, 6, 2}},
        {9, -1, {1, 5, 3, 2, 0, 7, 6, 4, 8}},
        {-4, 1, {4, 0, 2, 3, 5, 7, 8, 1, 6}}, // any integer reduces mod 9
    };
    for (const Row &r : rows) {
        const JiuXingChart c = FlyChart(r.centre, r.direction);
        EXPECT_EQ(c.star, r.stars) << r.centre << " " << r.direction;
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(c.state[i], (c.star[i] - c.Centre() + 9) % 9);
    }
}

TEST(NineStarEngine, RefusesDatesItCannotChartAndKeepsTheLastResult)
{
    MJiuXing engine;
    ASSERT_TRUE(engine.Compute({2024, 2, 10, 12, 0}, false));
    const struct {
        TDateRec date;
        const char *message;
    } rows[] = {
        {{2023, 2, 29, 12, 0}, "没有这个公历日期！"},
        {{1582, 10, 10, 12, 0}, "没有这个公历日期！"},
        {{2024, 2, 10, 24, 0}, "没有这个公历日期！"},
        {{99, 6, 1, 12, 0}, "公历日期输入年份在100-3000年之间！"},
        {{3000, 12, 31, 23, 0}, "公历日期输入年份在100-3000年之间！"}, // the hour 23 counts as 3001
    };
    for (const auto &row : rows) {
        EXPECT_FALSE(engine.Compute(row.date, true));
        EXPECT_EQ(engine.Message().toStdString(), row.message);
        EXPECT_EQ(engine.Results().gregorian.year, 2024);
    }
    EXPECT_TRUE(engine.Compute({100, 1, 1, 0, 0}, false));
    EXPECT_TRUE(engine.Compute({3000, 12, 31, 22, 59}, false));
}

namespace {

// Julian day number of a Gregorian date (the civil-calendar day count), apart from the engine's own.
long CivilDayNumber(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe + 1721120; // 1721120: the day number of 0000-03-01
}

constexpr long kJiaZi2024 = 2460311; // 2024-01-01, a 甲子 day

// Days since the last 甲子 day, 0 on one.
long SinceJiaZi(long day) { return ((day - kJiaZi2024) % 60 + 60) % 60; }

// Walks every day of 1900..2100 with the engine under one method.
template <typename Visit>
void ForEachDay(MJiuXing &engine, Visit visit)
{
    TDateRec d{1900, 1, 1, 12, 0};
    for (long day = CivilDayNumber(1900, 1, 1); d.year <= 2100; ++day, MYiDateEx::NextDay(d)) {
        ASSERT_TRUE(engine.Compute(d, false));
        visit(d, day, engine.Results().charts[int(JiuXingKind::Ri)]);
    }
}

// Star 1..9 (九紫 9) and direction as one character: 1..9 forward, a..i backward.
char DayCode(const JiuXingChart &c)
{
    const int star = c.Centre() == 0 ? 9 : c.Centre();
    return c.direction > 0 ? char('0' + star) : char('a' + star - 1);
}

} // namespace

TEST(NineStarEngine, DefaultMethodKeepsEveryDayOf1900To2100)
{
    std::ifstream in(QUORIN_TEST_DATA "/tools/daystar_jieqi_1900_2100.txt");
    ASSERT_TRUE(in) << "missing reference file";
    std::string expected, line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#')
            expected += line.substr(line.find(' ') + 1);
    ASSERT_EQ(expected.size(), 73414u);

    MJiuXing engine;
    engine.SetDayStarMethod(DayStarMethod::SolarTerm);
    size_t i = 0;
    int wrong = 0;
    ForEachDay(engine, [&](const TDateRec &d, long, const JiuXingChart &c) {
        if (DayCode(c) != expected[i++] && ++wrong <= 5)
            ADD_FAILURE() << d.year << "-" << d.month << "-" << d.day << ": " << DayCode(c) << " not " << expected[i - 1];
    });
    EXPECT_EQ(wrong, 0);
}

// 三元甲子: six sequences of sixty days, each from the 甲子 day nearest its term (冬至 一白, 雨水 七赤, 谷雨 四绿
// forward; 夏至 九紫, 处暑 三碧, 霜降 六白 backward) until the next one starts. Worked out here from the terms'
// dates and the day count alone, and compared with the engine on every day of 1900..2100.
TEST(NineStarEngine, SanYuanJiaZiSequencesStartOnTheJiaZiNearestTheirTerms)
{
    struct Sequence {
        long start;     // day number of its 甲子 day
        int star, direction;
        DayTerm term;
    };
    const struct {
        int termNumber; // 0 = 小寒
        int star, direction;
        DayTerm term;
    } kSequences[] = {{3, 7, 1, DayTerm::YuShui},   {7, 4, 1, DayTerm::GuYu},       {11, 9, -1, DayTerm::XiaZhi},
                      {15, 3, -1, DayTerm::ChuShu}, {19, 6, -1, DayTerm::ShuangJiang}, {23, 1, 1, DayTerm::DongZhi}};
    MYiDateEx calendar;
    std::vector<Sequence> sequences; // in the order of their terms
    std::vector<long> springs;       // days of 春分
    for (int year = 1899; year <= 2101; ++year) {
        for (const TJieQiRec &t : calendar.YearJieQi(year)) {
            const long day = CivilDayNumber(t.year, t.month, t.day);
            if (t.term == 5)
                springs.push_back(day);
            for (const auto &s : kSequences) {
                if (s.termNumber != t.term)
                    continue;
                const long since = SinceJiaZi(day);
                sequences.push_back({since <= 30 ? day - since : day - since + 60, s.star, s.direction, s.term});
            }
        }
    }

    MJiuXing engine;
    engine.SetDayStarMethod(DayStarMethod::SanYuanJiaZi);
    size_t next = 0;
    int wrong = 0, lastDirection = 0;
    std::vector<long> turns;
    ForEachDay(engine, [&](const TDateRec &d, long day, const JiuXingChart &c) {
        while (next < sequences.size() && sequences[next].start <= day)
            ++next;
        const Sequence &s = sequences[next - 1]; // the later term where two share their 甲子 day
        const int star = (((s.star - 1 + s.direction * int((day - s.start) % 60)) % 9) + 9) % 9 + 1;
        const bool ok = c.Centre() == star % 9 && c.direction == s.direction && engine.Results().dayTerm == s.term;
        if (!ok && ++wrong <= 5)
            ADD_FAILURE() << d.year << "-" << d.month << "-" << d.day << ": star " << c.Centre() << " direction "
                          << c.direction << ", expected " << star % 9 << " " << s.direction;
        if (lastDirection != 0 && c.direction != lastDirection) {
            turns.push_back(day);
            // On a 甲子 day where a sequence starts (七赤 where 冬至 and 雨水 share their 甲子 day).
            EXPECT_EQ(SinceJiaZi(day), 0) << d.year << "-" << d.month << "-" << d.day;
            EXPECT_EQ(s.start, day) << d.year << "-" << d.month << "-" << d.day;
        }
        lastDirection = c.direction;
    });
    EXPECT_EQ(wrong, 0);
    // Twice in every year from one 春分 to the next: once backward near 夏至, once forward near 冬至.
    for (size_t i = 0; i + 1 < springs.size(); ++i) {
        if (springs[i] < CivilDayNumber(1900, 1, 1) || springs[i + 1] > CivilDayNumber(2100, 12, 31))
            continue;
        const auto n = std::count_if(turns.begin(), turns.end(),
                                     [&](long t) { return t >= springs[i] && t < springs[i + 1]; });
        EXPECT_EQ(n, 2) << "year from the 春分 of day " << springs[i];
    }
}
