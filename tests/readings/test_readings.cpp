// The Xuan Kong reading tables are generated from the chart engine. A reading that no longer matches its chart
// is worse than none: the client is told the wrong stars. These tests fail when the committed tables are stale,
// when an id the report looks up is empty, and when a chart checked by hand against the classic tables is read
// with the wrong pattern or stars.
#include <gtest/gtest.h>

#include "ReadingComposer.h"
#include "Resources.h"

#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <map>

using namespace readings;

namespace {

const int kZi = 1, kChou = 3; // 子 and 丑

QString Text(bool tiGua, int m, int period) { return LoadStr(TextId(tiGua, m, period)); }
QString Line(bool tiGua, int m, int period, int line) { return LoadStr(BankId(tiGua, m, period, line)); }

QString Block(bool tiGua, int m, int period)
{
    QString all;
    for (int i = 0; i < kBankLines; ++i)
        all += Line(tiGua, m, period, i) + QLatin1Char('\n');
    return all;
}

// The line of a fortune block that reads period q.
QString PeriodLine(bool tiGua, int m, int period, int q)
{
    const QString head = QString::fromUtf8("一二三四五六七八九").mid(q - 1, 1) + QStringLiteral("运（");
    for (int i = 0; i < kBankLines; ++i)
        if (Line(tiGua, m, period, i).startsWith(head))
            return Line(tiGua, m, period, i);
    return {};
}

} // namespace

TEST(Readings, CommittedTablesMatchTheEngine)
{
    for (Table t : kTables) {
        QFile f(QStringLiteral(QUORIN_STRINGS_DIR "/") + QLatin1String(FileName(t)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << FileName(t);
        const QStringList committed = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        const QStringList fresh = QString::fromStdString(FileText(t)).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < std::min(committed.size(), fresh.size()); ++i)
            ASSERT_EQ(committed[i], fresh[i]) << FileName(t) << " is stale at line " << i + 1
                                              << "; regenerate with gen_readings --write resources/strings";
        EXPECT_EQ(committed.size(), fresh.size()) << FileName(t);
    }
}

TEST(Readings, EveryIdOfTheFourRangesHasText)
{
    // Reports are also written as GBK (RTF escapes); a character GBK lacks would be lost there.
    const auto gbkSafe = [](const QString &s) {
        QStringEncoder gbk("GBK");
        (void)QByteArray(gbk.encode(s));
        return !gbk.hasError();
    };
    for (bool tiGua : {false, true})
        for (int period = 1; period <= 9; ++period)
            for (int m = 0; m < 24; ++m) {
                EXPECT_FALSE(Text(tiGua, m, period).trimmed().isEmpty()) << TextId(tiGua, m, period);
                EXPECT_TRUE(gbkSafe(Text(tiGua, m, period))) << TextId(tiGua, m, period);
                int blank = 0;
                for (int i = 0; i < kBankLines; ++i) {
                    const QString s = Line(tiGua, m, period, i).trimmed();
                    ASSERT_FALSE(s.isEmpty()) << BankId(tiGua, m, period, i);
                    EXPECT_FALSE(s.contains(QLatin1Char('\n'))) << BankId(tiGua, m, period, i);
                    blank += s == QLatin1String(kEmptyLine);
                    EXPECT_TRUE(gbkSafe(s)) << BankId(tiGua, m, period, i);
                }
                EXPECT_LT(blank, 4) << "block " << BankId(tiGua, m, period, 0) << " is mostly blank";
            }
    // The ranges' ends, and period 9 read from the ninth block of a bank.
    EXPECT_TRUE(LoadStr(501).contains(QStringLiteral("一运壬山丙向")));
    EXPECT_TRUE(LoadStr(739).contains(QStringLiteral("九运亥山巳向")));
    EXPECT_TRUE(LoadStr(1039).contains(QStringLiteral("九运亥山巳向（替卦）")));
    EXPECT_TRUE(LoadStr(2000 + 960 * 8 + 40 * kZi).startsWith(QStringLiteral("【九运 子山午向·下卦】")));
    EXPECT_TRUE(LoadStr(19639).startsWith(QStringLiteral("换天心")));
    EXPECT_TRUE(LoadStr(11000).startsWith(QStringLiteral("【一运 壬山丙向·替卦】")));
}

TEST(Readings, ClassicChartsAreReadWithTheirPatternAndStars)
{
    // 8运 子山午向: 向星、山星八同到离宫 (双星会向); 离 震 乾 each hold 父母 triples, hence 离宫打劫.
    const QString zi8 = Text(false, kZi, 8);
    EXPECT_TRUE(zi8.contains(QStringLiteral("此为双星会向之局"))) << zi8.toStdString();
    EXPECT_TRUE(zi8.contains(QStringLiteral("离宫打劫")));
    EXPECT_TRUE(zi8.contains(QStringLiteral("坐山坎宫：山星九、向星七、运星四；向首离宫：山星八、向星八、运星三；"
                                            "中宫：山星四、向星三、运星八")));
    EXPECT_TRUE(Block(false, kZi, 8).contains(QStringLiteral("向星三入中，三运入囚")));
    // The main gate's star is timely, but 巽 holds the killing facing star 四: the palace stays quiet.
    EXPECT_TRUE(zi8.contains(QStringLiteral("正城门在东南巽宫巽方，飞星八当旺，然此方向星四煞气，宜静")));
    EXPECT_FALSE(zi8.contains(QStringLiteral("坎宫打劫")));
    EXPECT_TRUE(Block(false, kZi, 8).contains(QStringLiteral("向首午（离宫）：向星八白当旺主财")));
    EXPECT_TRUE(zi8.contains(QStringLiteral("离方（向首）宜开门、见水")));

    // 8运 丑山未向: 山星八到艮、向星八到坤, and every palace's 山星 and 运星 sum to ten.
    for (bool tiGua : {false, true}) {
        const QString chou8 = Text(tiGua, kChou, 8);
        EXPECT_TRUE(chou8.contains(QStringLiteral("旺山旺向"))) << tiGua;
        EXPECT_TRUE(chou8.contains(QStringLiteral("全局合十（山星与运星"))) << tiGua;
        EXPECT_TRUE(Line(tiGua, kChou, 8, 13).contains(QStringLiteral("全局山星与运星合十"))) << tiGua;
    }

    // 9运 子山午向: 山星九、向星九同到坎宫; 五黄 flies backward from the centre, so the 山星 are 反吟 throughout.
    const QString zi9 = Text(false, kZi, 9);
    EXPECT_TRUE(zi9.contains(QStringLiteral("此为双星会坐之局")));
    EXPECT_TRUE(zi9.contains(QStringLiteral("坐山坎宫：山星九、向星九、运星五")));
    EXPECT_TRUE(zi9.contains(QStringLiteral("全局山星反吟")));
    EXPECT_TRUE(Block(false, kZi, 9).contains(QStringLiteral("向星四入中，四运入囚")));

    // 7运 子山午向: 坎 holds 3 (governed by 卯, yin) and 离 holds 2 (坤, yang); both sevens fall in 坎.
    EXPECT_TRUE(Text(false, kZi, 7).contains(QStringLiteral("此为双星会坐之局")));
    EXPECT_TRUE(Text(false, kZi, 7).contains(QStringLiteral("坐山坎宫：山星七、向星七、运星三")));

    // 8运: 午山子向 mirrors 子山午向 (双星会坐); 艮山坤向 and 辰山戌向 are 上山下水; 未山丑向 and 乾山巽向
    // 旺山旺向.
    EXPECT_TRUE(Text(false, 13, 8).contains(QStringLiteral("此为双星会坐之局")));
    EXPECT_TRUE(Text(false, 4, 8).contains(QStringLiteral("此为上山下水之局")));
    EXPECT_TRUE(Text(false, 9, 8).contains(QStringLiteral("此为上山下水之局")));
    EXPECT_TRUE(Text(false, 22, 8).contains(QStringLiteral("此为旺山旺向之局")));
    EXPECT_TRUE(Text(false, 15, 8).contains(QStringLiteral("此为旺山旺向之局")));
}

TEST(Readings, PeriodsAfterBuildingFollowTheSittingAndFacingStars)
{
    // 8运 子山午向: 坐山山星九, 向首向星八. 八运 wealth, 九运 people (九 timely, 八 retreating), 三运 入囚.
    EXPECT_TRUE(PeriodLine(false, kZi, 8, 8).contains(QStringLiteral("旺财不旺丁")));
    EXPECT_TRUE(PeriodLine(false, kZi, 8, 8).contains(QStringLiteral("2004—2023")));
    EXPECT_TRUE(PeriodLine(false, kZi, 8, 9).contains(QStringLiteral("旺丁不旺财")));
    EXPECT_TRUE(PeriodLine(false, kZi, 8, 9).contains(QStringLiteral("向首向星八白退气")));
    EXPECT_TRUE(PeriodLine(false, kZi, 8, 1).contains(QStringLiteral("2044—2063")));
    const QString block = Block(false, kZi, 8);
    EXPECT_TRUE(block.contains(QStringLiteral("当令向星三入中，向星入囚")));
    EXPECT_TRUE(block.contains(QStringLiteral("旺丁之运：九运（2024—2043，当旺）")));
    // 8运 丑山未向 brings people and wealth alike in its own period.
    EXPECT_TRUE(PeriodLine(false, kChou, 8, 8).contains(QStringLiteral("丁财两旺")));
    EXPECT_TRUE(Block(false, kChou, 8).contains(QStringLiteral("本运山向成旺山旺向之局")));
}

TEST(Readings, FortuneRunsThroughNinePeriodsFromTheBuildingOne)
{
    const QString numerals = QStringLiteral("一二三四五六七八九");
    for (int period = 1; period <= 9; ++period) {
        const int firstYear = 1864 + 20 * (period - 1);
        for (int k = 0; k < 9; ++k) {
            const int q = (period - 1 + k) % 9 + 1;
            const QString line = Line(false, 10, period, 13 + 2 * k);
            EXPECT_TRUE(line.startsWith(numerals.mid(q - 1, 1) + QStringLiteral("运（") +
                                        QString::number(firstYear + 20 * k)))
                << period << " " << k << " " << line.toStdString();
            EXPECT_TRUE(Line(false, 10, period, 14 + 2 * k).startsWith(QStringLiteral("布局："))) << period << k;
        }
    }
}

TEST(Readings, TiGuaSaysWhenItIsTheSameChart)
{
    int same = 0, different = 0;
    for (int period = 1; period <= 9; ++period)
        for (int m = 0; m < 24; ++m) {
            const QString ti = Text(true, m, period);
            const QString xia = Text(false, m, period);
            if (ti.contains(QStringLiteral("替卦盘与下卦盘相同"))) {
                ++same;
                // Apart from the title and the note, the reading is the 下卦 reading.
                QStringList t = ti.split(QLatin1Char('\n')), x = xia.split(QLatin1Char('\n'));
                t.removeAt(1);
                t.removeFirst();
                x.removeFirst();
                EXPECT_EQ(t, x) << TextId(true, m, period);
            } else {
                ++different;
                EXPECT_TRUE(ti.contains(QStringLiteral("替卦：山盘"))) << TextId(true, m, period);
            }
        }
    EXPECT_GT(same, 0);
    EXPECT_GT(different, same);
    // 8运 子山: 坎 holds the period star 4 governed by 巽, whose replacement is 6: the 替卦 differs.
    EXPECT_TRUE(Text(true, kZi, 8).contains(QStringLiteral("山盘以六代四入中")));
}

TEST(Readings, BanksSayWhatAChartHasOnceAndCoherently)
{
    // Headings and empty lines aside, most lines are the chart's own and none stands more than 40 times.
    std::map<std::string, int> seen;
    int lines = 0;
    for (Table t : {Table::XiaGuaBank, Table::TiGuaBank})
        for (const auto &[id, text] : Entries(t)) {
            if (text == kEmptyLine || text.rfind("山运（", 0) == 0)
                continue;
            ++seen[text];
            ++lines;
        }
    int most = 0;
    for (const auto &[text, n] : seen)
        most = std::max(most, n);
    EXPECT_GE(10 * seen.size(), 7u * lines) << seen.size() << " of " << lines;
    EXPECT_LE(most, 40);

    for (bool tiGua : {false, true})
        for (int period = 1; period <= 9; ++period)
            for (int m = 0; m < 24; ++m) {
                const QString block = Block(tiGua, m, period);
                // What a chart lacks is not said; neither is a whole-chart claim of the four patterns' power.
                EXPECT_FALSE(block.contains(QStringLiteral("本盘不成"))) << BankId(tiGua, m, period, 0);
                EXPECT_FALSE(block.contains(QStringLiteral("与旺山旺向同功"))) << BankId(tiGua, m, period, 0);
                for (int k = 0; k < 9; ++k) {
                    // A decline that goes on is said once.
                    if (k > 0)
                        EXPECT_FALSE(Line(tiGua, m, period, 13 + 2 * k).contains(QStringLiteral("丁财两衰")) &&
                                     Line(tiGua, m, period, 11 + 2 * k).contains(QStringLiteral("丁财两衰")))
                            << BankId(tiGua, m, period, 13 + 2 * k);
                    // Both timely stars in one palace get one advice for it.
                    const QString layout = Line(tiGua, m, period, 14 + 2 * k);
                    static const QRegularExpression hill(QStringLiteral("在(..)..宫，宜此方有山"));
                    static const QRegularExpression water(QStringLiteral("在(..)..宫，宜此方见水"));
                    const auto h = hill.match(layout), w = water.match(layout);
                    EXPECT_FALSE(h.hasMatch() && w.hasMatch() && h.captured(1) == w.captured(1))
                        << BankId(tiGua, m, period, 14 + 2 * k);
                }
            }

    // 8运 子 癸 午 丁 替卦: every palace's facing (子 癸) or mountain (午 丁) star sums to ten with the period star,
    // and the building period's verdict carries it.
    for (int m : {1, 2, 13, 14}) {
        EXPECT_TRUE(Text(true, m, 8).contains(QStringLiteral("全局合十"))) << m;
        const QString eight = Line(true, m, 8, 13);
        EXPECT_TRUE(eight.startsWith(QStringLiteral("八运（")) && eight.contains(QStringLiteral("合十"))) << m;
        EXPECT_FALSE(eight.contains(QStringLiteral("两衰"))) << eight.toStdString();
    }
    // 9运 子山: the sitting palace holds 五 in the period chart; 五黄 has no replacement star.
    EXPECT_TRUE(Text(true, kZi, 9).contains(QStringLiteral("山盘起星为五黄，五黄无替星")));
    EXPECT_FALSE(Text(true, kZi, 9).contains(QStringLiteral("山盘替星即本星")));
}
