#include "MJiuXing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
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
    // ... on 2024-01-01, which the hour 23 of the day before belongs to.
    {{2023, 12, 31, 23, 0}, DayStarMethod::SanYuanJiaZi, {40, 1, 1, 1}, {3, 8, 4, 7, 1, 1}, 1, 1, DayTerm::DongZhi},
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
// Julian day number of a Gregorian date, counted apart from the engine.
long DayNumber(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400, yoe = y - era * 400;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + doe + 1721120; // 1721120: 0000-03-01
}
} // namespace

// Every day of 1900..2100 under both methods. 节气起算 keeps the days its table holds. 三元甲子 is worked out here
// from the terms' dates and the day count alone: six sequences of sixty days, each from the 甲子 day nearest its
// term (the earlier of two as near; the later term where two terms share one): 冬至 一白, 雨水 七赤, 谷雨 四绿
// forward, 夏至 九紫, 处暑 三碧, 霜降 六白 backward. Its direction turns twice from one 春分 to the next, each time
// on a sequence's first day.
TEST(NineStarEngine, DayStarsOfEveryDayFrom1900To2100)
{
    std::ifstream in(QUORIN_TEST_DATA "/tools/daystar_jieqi_1900_2100.txt");
    std::string table, line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#')
            table += line.substr(line.find(' ') + 1);
    ASSERT_EQ(table.size(), 73414u);

    const std::map<int, std::pair<int, int>> kSequences = { // term number: start star, direction
        {3, {7, 1}}, {7, {4, 1}}, {11, {9, -1}}, {15, {3, -1}}, {19, {6, -1}}, {23, {1, 1}}};
    std::vector<std::pair<long, int>> starts; // 甲子 day, term
    std::set<long> springs;                   // days of 春分
    MYiDateEx calendar;
    for (int year = 1899; year <= 2101; ++year)
        for (const TJieQiRec &t : calendar.YearJieQi(year)) {
            const long day = DayNumber(t.year, t.month, t.day);
            const long since = ((day - 2460311) % 60 + 60) % 60; // 2024-01-01 was a 甲子 day
            if (t.term == 5)
                springs.insert(day);
            if (kSequences.count(t.term))
                starts.push_back({since <= 30 ? day - since : day - since + 60, t.term});
        }
    MJiuXing byTerm, byJiaZi;
    byJiaZi.SetDayStarMethod(DayStarMethod::SanYuanJiaZi);
    size_t next = 0, i = 0;
    int wrong = 0, direction = 0, turns = -1; // turns since the last 春分
    for (TDateRec d{1900, 1, 1, 12, 0}; d.year <= 2100; MYiDateEx::NextDay(d), ++i) {
        ASSERT_TRUE(byTerm.Compute(d, false) && byJiaZi.Compute(d, false));
        const JiuXingChart &a = byTerm.Results().charts[int(JiuXingKind::Ri)];
        const JiuXingChart &b = byJiaZi.Results().charts[int(JiuXingKind::Ri)];
        const char code = char((a.direction > 0 ? '0' : 'a' - 1) + (a.Centre() == 0 ? 9 : a.Centre()));
        const long day = DayNumber(d.year, d.month, d.day);
        while (next < starts.size() && starts[next].first <= day)
            ++next;
        const auto [start, term] = starts[next - 1];
        const auto [star, dir] = kSequences.at(term);
        const int expected = ((star - 1 + dir * int((day - start) % 60)) % 9 + 9) % 9 + 1;
        if ((code != table[i] || b.Centre() != expected % 9 || b.direction != dir) && ++wrong <= 5)
            ADD_FAILURE() << d.year << "-" << d.month << "-" << d.day << ": 节气起算 " << code << " not " << table[i]
                          << "; 三元甲子 " << b.Centre() << " " << b.direction << " not " << expected % 9 << " " << dir;
        if (springs.count(day)) {
            EXPECT_TRUE(turns == -1 || turns == 2) << d.year << ": " << turns << " turns";
            turns = 0;
        }
        if (direction != 0 && b.direction != direction) {
            EXPECT_EQ(start, day) << d.year << "-" << d.month << "-" << d.day << ": a turn off a sequence's start";
            turns += turns >= 0;
        }
        direction = b.direction;
    }
    EXPECT_EQ(wrong, 0);
}
