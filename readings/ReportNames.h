#pragma once

#include "ChartNameTables.h"
#include "NameTables.h"

#include <QString>

#include <string>
#include <string_view>

// Name-table lookups as QString for the written reading.
namespace report {

inline QString U(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline QString U(const std::string &s) { return QString::fromStdString(s); }

inline QString Gan(int cycle) { return U(GanName(cycle)); }
inline QString Zhi(int cycleOrBranch) { return U(ZhiName(cycleOrBranch)); }
inline QString GanZhi(int cycle) { return Gan(cycle) + Zhi(cycle); }
inline QString Mountain(int m) { return U(Shan(m)); }
inline QString Numeral(int star) { return U(ShuZi(star)); }       // 九 for 0
inline QString Trigram(int luoShu) { return U(GuaByLuoShu(luoShu)); } // by Luo Shu number, 离 for 0
inline QString PalaceName(int palace) { return U(HouTianGuaName[FloorMod(palace, 9)]); } // 坎 艮 … 中
inline QString StateName(int star, int period) { return U(XingStateName[StarStateIndex(star, period)]); }
// A star written 1..9.
inline int Nine(int star) { return star == 0 ? 9 : star; }

// 元龙 of a mountain: 0 地元龙, 1 天元龙, 2 人元龙.
inline QString YuanLong(int mountain)
{
    static constexpr std::string_view kNames[3] = {"地元龙", "天元龙", "人元龙"};
    return U(kNames[FloorMod(mountain, 3)]);
}

} // namespace report
