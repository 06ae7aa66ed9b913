#include "BaZhaiCalc.h"

#include "MathUtil.h"

#include <cstdlib>

namespace {
constexpr uint8_t kMountainTrigram[8] = {1, 8, 3, 4, 0, 2, 7, 6};
// Position of each trigram (by Luo Shu number) in the order 兑 艮 离 坎 巽 震 坤 乾: neighbours in this order
// differ by one line, which is what the star rule below reads.
constexpr uint8_t kTrigramCode[9] = {2, 3, 6, 5, 4, 0, 7, 0, 1};
constexpr uint8_t kDirectionCode[8] = {3, 1, 5, 4, 2, 6, 0, 7};
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
    const int s = kTrigramCode[FloorMod(trigram, 9)];
    const int o = kDirectionCode[FloorMod(direction, 8)];
    const int d = std::abs(s - o);
    const int t = s + o;
    if ((s % 2) == (o % 2)) {
        if (o == s)
            return 7;
        if (d == 2 && t != 6 && t != 8)
            return 0;
        if (d == 4)
            return 6;
        return 1;
    }
    if (d == 1 && (t == 1 || t == 5 || t == 9 || t == 13))
        return 3;
    if (t == 3 || t == 11)
        return 5;
    if ((t == 5 || t == 9) && d > 1)
        return 4;
    return 2;
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
