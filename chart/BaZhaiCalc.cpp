#include "BaZhaiCalc.h"

#include "MathUtil.h"


namespace {
constexpr uint8_t kMountainTrigram[8] = {1, 8, 3, 4, 0, 2, 7, 6};
// The 大游年 rhyme as a table: the star (五鬼 0, 天医 1, 生气 2, 延年 3, 绝命 4, 祸害 5, 六煞 6, 伏位 7) of each
// direction, by the palace of the house trigram and of the direction, both in the order 坎 艮 震 巽 离 坤 兑 乾.
// Rows read the rhyme 坎五天生延绝祸六, 艮六绝祸生延天五, … going round from the palace after the house's own.
constexpr uint8_t kYouNian[8][8] = {
    {7, 0, 1, 2, 3, 4, 5, 6}, // 坎
    {0, 7, 6, 4, 5, 2, 3, 1}, // 艮
    {1, 6, 7, 3, 2, 5, 4, 0}, // 震
    {2, 4, 3, 7, 1, 0, 6, 5}, // 巽
    {3, 5, 2, 1, 7, 6, 0, 4}, // 离
    {4, 2, 5, 0, 6, 7, 1, 3}, // 坤
    {5, 3, 4, 6, 0, 1, 7, 2}, // 兑
    {6, 1, 0, 5, 4, 3, 2, 7}, // 乾
};
// Palace of each trigram by Luo Shu number (离 for 0; 5, which no house or life trigram is, reads as 兑).
constexpr uint8_t kTrigramPalace[9] = {4, 0, 5, 2, 3, 6, 7, 6, 1};
} // namespace

int MountainTrigram(int mountain) { return kMountainTrigram[FloorMod(mountain, 24) / 3]; }

int LifeTrigram(int year, bool male)
{
    const int r = FloorMod(year - 64, 9);
    if (male) {
        const int t = FloorMod(1 - r + 18, 9);
        return t == 5 ? 2 : t;
    }
    const int t = FloorMod(r + 5, 9);
    return t == 5 ? 8 : t;
}

int BaZhaiStar(int trigram, int direction)
{
    return kYouNian[kTrigramPalace[FloorMod(trigram, 9)]][FloorMod(direction, 8)];
}

BaZhaiRecord MakeBaZhaiRecord(int trigram)
{
    const int g = FloorMod(trigram, 9);
    BaZhaiRecord rec{};
    rec[0] = rec[2] = static_cast<uint8_t>(g);
    rec[1] = (g == 0 || g == 1 || g == 3 || g == 4) ? 0 : 1;
    for (int dir = 0; dir < 8; ++dir)
        rec[3 + dir] = static_cast<uint8_t>(BaZhaiStar(g, dir));
    return rec;
}

int YouNianDirection(int age, bool male) { return male ? FloorMod(age + 4, 8) : FloorMod(160 - age, 8); }

int XiaoYunGanZhi(int mingGanZhi, int age, bool male)
{
    int n = FloorMod(mingGanZhi, 60);
    if (n == 0)
        n = 60;
    const int x = (n - 1) / 10;
    if (male)
        return FloorMod(age + 10 * x + 3 - 1, 60);
    return FloorMod(FloorMod(9 - 10 * x + 60, 60) - age + 121, 60);
}
