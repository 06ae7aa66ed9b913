#pragma once

// Whole reports of a house as the program writes them, and the houses practitioners read in full.
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <cmath>

// The centre of mountain m (0 壬 … 23 亥), in degrees with 子 at 0°.
inline double Centre(int m) { return std::fmod(15.0 * (m + 23), 360.0); }

struct Reports {
    QString xk, bz; // the Xuan Kong reading of the lay-out, then the Eight Mansions reading; xk empty on failure
};

// Both reports of a house: the Xuan Kong reading, then the Eight Mansions one; empty when the house is refused.
inline Reports Write(MQuorin &q, const TRecordData &rec)
{
    Reports r;
    if (!q.PaiPan(rec))
        return r;
    r.xk = q.sReport;
    q.ShowBaZhaiPan();
    r.bz = q.sReport;
    return r;
}

// The reference owner's house on mountain m at degree, built in buildYear, laid out as the given mountain item
// (by default the degree's, or the mountain's centre item for a degree outside the mountain).
inline Reports Write(MQuorin &q, int m, int buildYear, bool xiaGua, double degree, int item = -1)
{
    const int own = DegreeToItem(degree, 4.5);
    if (item < 0)
        item = own >= 0 && own / 4 == m ? own : 4 * m + 1;
    TRecordData rec = ReferenceHouse();
    rec.mountain = static_cast<uint8_t>(item);
    rec.degree = static_cast<float>(degree);
    rec.door = static_cast<uint8_t>((m + 12) % 24);
    rec.buildYear = static_cast<int16_t>(buildYear);
    rec.xiaGua = xiaGua ? 1 : 0;
    return Write(q, rec);
}

// The same house with its door on mountain `door` (0..23) and an owner born in ownerYear: the reports a client
// with a side door, or of the other life group, is given.
inline Reports Write(MQuorin &q, int m, int buildYear, bool xiaGua, int door, int ownerYear)
{
    TRecordData rec = ReferenceHouse();
    rec.mountain = static_cast<uint8_t>(4 * m + 1);
    rec.degree = static_cast<float>(Centre(m));
    rec.door = static_cast<uint8_t>(door);
    rec.date = TDateRec{static_cast<int16_t>(ownerYear), 0, 1, 0, 0};
    rec.buildYear = static_cast<int16_t>(buildYear);
    rec.xiaGua = xiaGua ? 1 : 0;
    return Write(q, rec);
}

// Periods 1 to 9, both variants near the 兼 threshold, the four patterns, 伏吟 and 反吟, 合十, 三般卦, 打劫, and
// houses built before and after the cycle the reading tables date.
struct ReadingHouse {
    const char *name; // the file name: period, house and what it is read for
    int year, mountain;
    bool xiaGua;
    double degree;
};
inline constexpr ReadingHouse kReadingHouses[] = {
    {"1运丙山壬向_下卦_2050年_双星会向_坎宫打劫", 2050, 12, true, 165.0},
    {"2运未山丑向_下卦_旺山旺向_全局合十", 1890, 15, true, 210.0},
    {"3运巽山乾向_下卦_上山下水_连珠三般卦", 1910, 10, true, 135.0},
    {"4运乾山巽向_下卦_偏4度18分_坎宫打劫", 1930, 22, true, 319.3},
    {"5运辰山戌向_替卦_兼巽_离宫打劫", 1950, 9, false, 124.8},
    {"6运亥山巳向_下卦_双星会坐_全局伏吟", 1970, 23, true, 330.0},
    {"7运甲山庚向_替卦_兼寅_全局伏吟", 1990, 6, false, 70.2},
    {"8运坤山艮向_下卦_1835年_上山下水_父母三般卦", 1835, 16, true, 225.0},
    {"8运酉山卯向_下卦_零神", 2010, 19, true, 270.0},
    {"9运巳山亥向_下卦_双星会向", 2030, 11, true, 150.0},
};
