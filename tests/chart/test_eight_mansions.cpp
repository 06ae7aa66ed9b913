// Eight Mansions: life trigrams, the 大游年 table, the four references and the label slots.
#include "BaZhaiCalc.h"
#include "ChartNameTables.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <gtest/gtest.h>

namespace {

std::string_view Trigram(int luoShu) { return GuaByLuoShu(luoShu); }

TEST(EightMansions, LifeTrigramWithoutBirthMonth)
{
    struct Case {
        int year;
        const char *male, *female;
    };
    for (const Case &c : {Case{1980, "坤", "巽"}, Case{1984, "兑", "艮"}, Case{1968, "坤", "坎"},
                          Case{1990, "坎", "艮"}, Case{2024, "震", "震"}, Case{1964, "离", "乾"}}) {
        EXPECT_EQ(Trigram(LifeTrigram(c.year, true)), c.male) << c.year;
        EXPECT_EQ(Trigram(LifeTrigram(c.year, false)), c.female) << c.year;
    }
    // Never the centre, also for years long before the reference year.
    for (int y = -3000; y < 3000; ++y) {
        EXPECT_NE(LifeTrigram(y, true), 5);
        EXPECT_NE(LifeTrigram(y, false), 5);
    }
}

TEST(EightMansions, TableEqualsDaYouNianRhyme)
{
    // Each line: the trigram, then the stars of the seven trigrams that follow it in the order
    // 乾 坎 艮 震 巽 离 坤 兑 (天 天医, 五 五鬼, 祸 祸害, 绝 绝命, 延 延年, 生 生气, 六 六煞).
    static const char *kRhyme[8] = {"乾六天五祸绝延生", "坎五天生延绝祸六", "艮六绝祸生延天五", "震延生祸绝五天六",
                                    "巽天五六祸生绝延", "离六五绝延祸生天", "坤天延绝生祸五六", "兑生祸延绝六五天"};
    static constexpr std::string_view kOrder[8] = {"乾", "坎", "艮", "震", "巽", "离", "坤", "兑"};
    const auto luoShu = [](std::string_view name) {
        for (int n = 0; n < 9; ++n)
            if (BaGuaName[n] == name)
                return n;
        return -1;
    };
    const auto starCode = [](const QString &ch) {
        static const QString kShort = QStringLiteral("五天生延绝祸六");
        return kShort.indexOf(ch);
    };
    for (int row = 0; row < 8; ++row) {
        const QString line = QString::fromUtf8(kRhyme[row]);
        const int ref = luoShu(kOrder[row]);
        const BaZhaiRecord rec = MakeBaZhaiRecord(ref);
        const int selfDir = PalaceIndex(kOrder[row]);
        EXPECT_EQ(rec[3 + selfDir], 7) << kOrder[row];
        for (int k = 1; k < 8; ++k) {
            const std::string_view other = kOrder[(row + k) % 8];
            const int dir = PalaceIndex(other);
            EXPECT_EQ(rec[3 + dir], starCode(line.mid(k, 1))) << kOrder[row] << " → " << other;
        }
        // Group: 离 坎 震 巽 east (0), the others west (1).
        const bool east = kOrder[row] == "离" || kOrder[row] == "坎" || kOrder[row] == "震" || kOrder[row] == "巽";
        EXPECT_EQ(rec[1], east ? 0 : 1);
    }
}

TEST(EightMansions, YouNianAndXiaoYun)
{
    EXPECT_EQ(YouNianDirection(0, true), PalaceIndex("离"));
    EXPECT_EQ(YouNianDirection(1, true), PalaceIndex("坤"));
    EXPECT_EQ(YouNianDirection(1, false), PalaceIndex("乾"));
    EXPECT_EQ(YouNianDirection(2, false), PalaceIndex("兑"));
    EXPECT_EQ(GanZhiName(XiaoYunGanZhi(1, 1, true)), "丙寅");
    EXPECT_EQ(GanZhiName(XiaoYunGanZhi(1, 2, true)), "丁卯");
    EXPECT_EQ(GanZhiName(XiaoYunGanZhi(1, 1, false)), "壬申");
    EXPECT_EQ(GanZhiName(XiaoYunGanZhi(1, 2, false)), "辛未"); // a woman's 小运 runs backward
    EXPECT_EQ(GanZhiName(XiaoYunGanZhi(11, 1, true)), "丙子"); // the next decade of the cycle
    // Ages far outside a life still index the tables.
    for (int age : {-500, -1, 0, 200, 100000}) {
        for (bool male : {true, false}) {
            EXPECT_GE(YouNianDirection(age, male), 0);
            EXPECT_LT(YouNianDirection(age, male), 8);
            EXPECT_GE(XiaoYunGanZhi(0, age, male), 0);
            EXPECT_LT(XiaoYunGanZhi(59, age, male), 60);
        }
    }
}

TEST(EightMansions, FourReferencesOfTheReferenceHouse)
{
    TempProgramFolder folder("[set]\nfuwei=1\n");
    MQuorin q;
    ASSERT_TRUE(q.ComputeChart(ReferenceHouse())) << q.sMessage.toStdString();
    EXPECT_EQ(Trigram(q.BaZhai[0][0]), "坎"); // 山
    EXPECT_EQ(Trigram(q.BaZhai[1][0]), "坤"); // 命, male 1980
    EXPECT_EQ(Trigram(q.BaZhai[2][0]), "离"); // 向
    EXPECT_EQ(Trigram(q.BaZhai[3][0]), "离"); // 门 午
    EXPECT_EQ(q.BaZhaiFuWei, q.BaZhai[1]);
}

TEST(EightMansions, SetShowGuaSlots)
{
    TempProgramFolder folder("[set]\nfuwei=2\n");
    MQuorin q;
    const uint8_t all[4] = {1, 1, 1, 1};
    ASSERT_EQ(q.SetShowGua(all), 0);
    ASSERT_EQ(q.GuaCount, 4);
    const char *labels[4] = {"向", "门", "山", "命"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(q.GuaLabel[i], QString::fromUtf8(labels[i]));
        EXPECT_EQ(q.GuaColor[i], MQuorin::kGuaSlotColor[i]);
    }
    EXPECT_EQ(q.GuaColor[0], 0x0000FFu); // red
    EXPECT_EQ(q.GuaColor[3], 0x984888u); // purple
    EXPECT_EQ(q.GuaKind, (std::array<uint8_t, 4>{2, 3, 0, 1}));
    EXPECT_EQ(q.GuaCell, (std::array<uint8_t, 8>{1, 1, 3, 1, 1, 3, 3, 3}));
    EXPECT_FLOAT_EQ(q.GuaRadius[2], 0.27f);

    const uint8_t noFacing[4] = {1, 1, 0, 1};
    EXPECT_EQ(q.SetShowGua(noFacing), 3);
    EXPECT_EQ(q.sMessage, QStringLiteral("设定了伏位的卦必须显示！"));
    EXPECT_EQ(q.GuaCount, 4); // the labels stay as they were
    EXPECT_EQ(q.GuaLabel[0], QStringLiteral("向"));

    const uint8_t two[4] = {1, 0, 1, 0};
    ASSERT_EQ(q.SetShowGua(two), 0);
    EXPECT_EQ(q.GuaCount, 2);
    EXPECT_EQ(q.GuaLabel[1], QStringLiteral("山"));
    EXPECT_FLOAT_EQ(q.GuaAngle[1], -11.25f);
    EXPECT_FLOAT_EQ(q.GuaRadius[0], 0.43f);
}

TEST(EightMansions, ConstructionShowsOnlyTheFuWeiLabel)
{
    TempProgramFolder folder("[set]\nfuwei=3\n");
    MQuorin q;
    EXPECT_EQ(q.GuaCount, 1);
    EXPECT_EQ(q.GuaLabel[0], QStringLiteral("门"));
    EXPECT_EQ(q.GuaCell[0], 2);
    EXPECT_EQ(q.GuaCell[1], 2);
}

} // namespace
