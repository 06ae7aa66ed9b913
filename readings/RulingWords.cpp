#include "RulingWords.h"

#include "PatternCalc.h"
#include "ReportNames.h"

#include <QStringList>

#include <algorithm>

namespace report {

bool TakesDoor(const PalaceRuling &u) { return u.use == PalaceUse::Open || u.use == PalaceUse::DoorOnly; }

QString RulingWords(const PalaceRuling &u, int facingStar, int period)
{
    // 五黄 is named by itself outside its own period: its state there says nothing of the harm it brings.
    const QString star = Nine(facingStar) == 5 && period != 5
                             ? QStringLiteral("向星五黄")
                             : QStringLiteral("向星%1(%2)").arg(Numeral(facingStar), StateName(facingStar, period));
    switch (u.use) {
    case PalaceUse::Open:
        return star + QStringLiteral("，宜开门、见水");
    case PalaceUse::DoorOnly:
        return star + (u.why == UseReason::ZhengShen  ? QStringLiteral("，为本运正神方，只宜开门、走道，不宜见水")
                       : u.why == UseReason::BackHeld ? QStringLiteral("，为坐山，坐后只宜开门，不宜见水")
                                                      : QStringLiteral("，只宜开门纳城门之气，不宜见水"));
    case PalaceUse::AirOnly:
        return (u.why == UseReason::ErWu    ? QStringLiteral("二五同宫")
                : u.why == UseReason::DaJie ? star + QStringLiteral("，为打劫三宫之一")
                                            : star) +
               QStringLiteral("，只宜通气");
    case PalaceUse::Quiet:
        break;
    }
    return star + QStringLiteral("，宜静");
}

QString DoorChoices(const HouseRuling &h, const FlyChart &chart, int period, std::vector<int> palaces)
{
    std::ranges::stable_sort(palaces, {}, [&](int p) { return DoorRank(chart, p, period); });
    QStringList free, dug;
    for (int p : palaces) {
        if (!h.palace[p].noEarth) {
            free.append(PalaceWithDirection(p));
            continue;
        }
        const int star = Nine(chart[p][kSlotMountainStar]);
        const QString name = star == 5 ? QStringLiteral("五黄") : QStringLiteral("二黑");
        dug.append(PalaceWithDirection(p) +
                   QStringLiteral("（山星%1在此，新开门即属动土，须择时、化%1）").arg(name));
    }
    return (free + dug).join(QStringLiteral("、"));
}

int DoorRank(const FlyChart &chart, int palace, int period)
{
    return StarStateIndex(chart[palace][kSlotFacingStar], period);
}

bool SolidBack(const HouseRuling &h) { return h.backHeld || h.wangShan == 8; }

QString Direction(int palace) { return U(FangXiangName[(palace + 2) % 8]); }

QString PalaceWithDirection(int palace) { return Direction(palace) + PalaceName(palace) + QStringLiteral("宫"); }

RestBars RestBarsOf(const FlyChart &chart, int period)
{
    RestBars bars;
    for (int p = 0; p < 9; ++p) {
        const int m = Nine(chart[p][kSlotMountainStar]), f = Nine(chart[p][kSlotFacingStar]);
        const auto star = [](int s, const char *half) {
            return QString::fromUtf8(half) + (s == 5 ? QStringLiteral("五黄") : QStringLiteral("失令之二黑"));
        };
        if (m * f == 10 && m + f == 7)
            bars[p] = QStringLiteral("二五同宫");
        else if (m * f == 45)
            bars[p] = QStringLiteral("五九同宫");
        else {
            QStringList why;
            if (QuietStar(m, period))
                why.append(star(m, "山星"));
            if (QuietStar(f, period))
                why.append(star(f, "向星"));
            bars[p] = why.join(QStringLiteral("、"));
        }
    }
    return bars;
}

QString BarredList(const RestBars &bars, const std::vector<int> &palaces)
{
    QStringList named;
    for (int p : palaces)
        if (p >= 0 && p < 9 && !bars[p].isEmpty())
            named.append((p == 8 ? QStringLiteral("中宫") : PalaceWithDirection(p)) + bars[p]);
    named.removeDuplicates();
    return named.join(QStringLiteral("、"));
}

} // namespace report
