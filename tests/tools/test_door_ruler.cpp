#include "DoorRuler.h"
#include "Resources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
std::string SectionCell(double length, const RulerTable &r)
{
    const RulerPlace p = PlaceOnRuler(length, r);
    return std::string(r.sectionNames[p.section]) + std::string(r.cellNames[p.cell]);
}
} // namespace

TEST(DoorRuler, PlacesLengthsAroundEveryBoundary)
{
    const RulerTable mg = MenGongRuler(46.08); // cells of 1.44 cm, sections of 5.76 cm
    const RulerTable dl = DingLanRuler(38.78); // cells of 0.9695 cm, sections of 3.878 cm
    const struct {
        double length;
        const char *menGong;
        const char *dingLan;
    } rows[] = {
        {0, "财财德", "丁福星"},
        {1.43, "财财德", "丁及第"},
        {1.44, "财宝库", "丁及第"},
        {3.877, "财六合", "丁登科"},
        {3.878, "财六合", "害口舌"},  // one 丁兰尺 section
        {5.75, "财迎福", "害病临"},
        {5.76, "病退财", "害病临"},   // one 门公尺 section
        {19.39, "义益利", "官富贵"},  // five 丁兰尺 sections
        {40.32, "本财至", "丁及第"},  // seven 门公尺 sections
        {46.07, "本兴旺", "害灾至"},
        {46.08, "财财德", "害灾至"},  // one whole 门公尺
        {92.16, "财财德", "苦无嗣"},  // two
        {38.78, "害病临", "丁福星"},  // one whole 丁兰尺
        {116.34, "官顺科", "丁福星"}, // three
        {9999, "本兴旺", "失牢执"},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(SectionCell(r.length, mg), r.menGong) << r.length;
        EXPECT_EQ(SectionCell(r.length, dl), r.dingLan) << r.length;
    }
    // Every exact multiple of a cell starts that cell, on both rulers.
    for (int k = 0; k < 400; ++k) {
        const double mgLength = std::round(k * 1.44 * 100) / 100;
        EXPECT_EQ(PlaceOnRuler(mgLength, mg).cell, k % 32) << mgLength;
        const double dlLength = std::round(k * 0.9695 * 10000) / 10000;
        EXPECT_EQ(PlaceOnRuler(dlLength, dl).cell, k % 40) << dlLength;
    }
}

TEST(DoorRuler, FallsBackOnUnusableRulerLengths)
{
    const struct {
        const char *text;
        double expected;
    } rows[] = {{"46.08", 46.08}, {" 38.78 ", 38.78}, {"bb", 42.9}, {"0", 42.9}, {"-46", 42.9},
                {"nan", 42.9},    {"inf", 42.9},      {"1e300", 42.9}, {"", 42.9}};
    for (const auto &r : rows)
        EXPECT_DOUBLE_EQ(RulerLengthOrDefault(QString::fromUtf8(r.text), kMenGongDefault), r.expected) << r.text;
    // A ruler of no length places everything at its start instead of dividing by zero.
    const RulerPlace p = PlaceOnRuler(10, MenGongRuler(0));
    EXPECT_EQ(p.cell, 0);
    EXPECT_EQ(PlaceOnRuler(std::numeric_limits<double>::quiet_NaN(), MenGongRuler(46.08)).cell, 0);
}

TEST(DoorRuler, FindsTheEightPalaceOfALength)
{
    const struct {
        double length;
        bool cm;
        int palace;
    } rows[] = {{46.08, true, 5}, {1, true, 0}, {3.33, true, 1}, {26.64, true, 0}, {8, false, 0},
                {7.99, false, 7}, {0, true, 0},  {-5, true, 0},   {1e300, true, 0}};
    for (const auto &r : rows)
        EXPECT_EQ(PalaceOfLength(r.length, r.cm), r.palace) << r.length;
}

TEST(DoorRuler, WritesTheReadingWithItsTexts)
{
    const QString text = RulerReading(46.08, 46.08, 38.78, [](int id) { return QString::number(id); });
    EXPECT_EQ(text.toStdString(),
              "物体长度：46.08厘米，18.14英寸\r\n\r\n"
              "----------门公尺(测量阳宅建筑:厨灶、房间、门、窗等)----------\r\n\r\n"
              "【财】字[财德]格上\r\n\r\n"
              "★1440\r\n☆1400\r\n\r\n鲁班尺诗曰：1470\r\n\r\n永宁通书门公尺诀：1460\r\n\r\n古歌曰：1450\r\n"
              "\r\n----------丁兰尺(测量阴宅坟墓:坟墓占地、祖先牌位、神位等)----------\r\n"
              "【害】字[灾至]格上\r\n\r\n");
}

TEST(DoorRuler, DragsWithinItsWindowAndRange)
{
    const double ppm = 2.0; // 0.05 cm per pixel
    const struct {
        double from;
        int pixels;
        double to;
    } rows[] = {
        {18.8, 20, 19.8},  {18.8, -20, 17.8}, {49.9, 4, 51},      {50.2, -10, 49},
        {1.2, -10, 1.0},   {9498.9, 10, 9499}, {9499, 100, 9499}, {0.5, 1, 1.0},
    };
    for (const auto &r : rows)
        EXPECT_NEAR(DraggedLength(r.from, r.pixels, ppm), r.to, 1e-9) << r.from << " " << r.pixels;
    EXPECT_DOUBLE_EQ(ScaleWindowStart(18.8), 0);
    EXPECT_DOUBLE_EQ(ScaleWindowStart(50), 50);
    EXPECT_DOUBLE_EQ(ScaleWindowStart(9999), 9950);
}

TEST(DoorRuler, HasEveryTextItReads)
{
    // The two faces of the eight-palace ruler, then the cell, section and verse texts of the 门公尺.
    const struct {
        int first, count;
    } ranges[] = {{110, 9}, {120, 9}, {1400, 32}, {1440, 8}, {1450, 8}, {1460, 8}, {1470, 8}};
    for (const auto &r : ranges)
        for (int id = r.first; id < r.first + r.count; ++id)
            EXPECT_FALSE(LoadStr(id).isEmpty()) << id;
    EXPECT_EQ(LoadStr(110).split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), 8);
    EXPECT_EQ(LoadStr(120).split(QLatin1Char(' '), Qt::SkipEmptyParts).size(), 8);
    EXPECT_FALSE(LoadText(QStringLiteral("jiuxing")).isEmpty());
}
