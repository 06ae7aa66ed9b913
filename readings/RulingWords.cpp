#include "RulingWords.h"

#include "PatternCalc.h"
#include "ReportNames.h"

#include <QStringList>

#include <algorithm>
#include <tuple>

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

bool GoodStar(int code) { return code == 1 || code == 2 || code == 3 || code == 7; }

bool Voided(int code, int palace)
{
    const int d = FloorMod(YouXingWuXing[code] - GuaWuXing[palace], 5);
    return GoodStar(code) && (d == 2 || d == 3);
}

bool InvitesDoor(const BaZhaiRecord &house, int palace)
{
    const int code = house[3 + palace] % 8;
    return GoodStar(code) && !Voided(code, palace);
}

std::vector<int> DoorOrder(const HouseRuling &h, const FlyChart &chart, int period, int sitting,
                           const BaZhaiRecord &house)
{
    std::vector<int> order;
    for (int p = 0; p < 8; ++p)
        if (TakesDoor(h.palace[p]) && p != sitting)
            order.push_back(p);
    std::ranges::sort(order, {}, [&](int p) {
        const int rank = DoorRank(chart, p, period);
        return std::tuple{rank != 0, h.palace[p].noEarth, rank, !InvitesDoor(house, p), p};
    });
    return order;
}

QString NewDoorWord(const HouseRuling &h, const FlyChart &chart, int palace)
{
    if (!h.palace[palace].noEarth)
        return {};
    const QString name = Nine(chart[palace][kSlotMountainStar]) == 5 ? QStringLiteral("五黄") : QStringLiteral("二黑");
    return QStringLiteral("山星%1在此，新开门即属动土，须择时、化%1").arg(name);
}

QString DoorList(const HouseRuling &h, const FlyChart &chart, const std::vector<int> &palaces)
{
    QStringList named;
    for (int p : palaces) {
        const QString word = NewDoorWord(h, chart, p);
        named.append(PalaceWithDirection(p) + (word.isEmpty() ? QString() : QStringLiteral("（") + word + QStringLiteral("）")));
    }
    return named.join(QStringLiteral("、"));
}

int BaZhaiStudyPalace(int sitting)
{
    static constexpr int kPalace[8] = {1, 0, 7, 8, 4, 6, 5, 2};
    return kPalace[FloorMod(sitting, 24) / 3];
}

std::vector<int> FlyingStudyPalaces(const FlyChart &chart)
{
    std::vector<int> out;
    for (int p = 0; p < 9; ++p) {
        const int n[4] = {Nine(chart[p][kSlotPeriodStar]), Nine(chart[p][kSlotMountainStar]),
                          Nine(chart[p][kSlotFacingStar]), EarthNumber[p]};
        if (std::ranges::count(n, 1) > 0 && std::ranges::count(n, 4) > 0)
            out.push_back(p);
    }
    return out;
}

QString StudyMethods(bool flying, const std::vector<int> &flyingStudies, int baZhaiStudy)
{
    const auto named = [](const std::vector<int> &palaces) {
        QStringList names;
        for (int p : palaces)
            names.append(PalaceName(p) + QStringLiteral("宫"));
        return names.join(QStringLiteral("、"));
    };
    const bool shared = std::ranges::count(flyingStudies, baZhaiStudy) > 0;
    if (flying)
        return QStringLiteral("此为玄空飞星一四同宫之文昌，八宅宅卦之文昌%1在%2宫，二法%3")
            .arg(shared ? QStringLiteral("亦") : QString(), PalaceName(baZhaiStudy),
                 shared && flyingStudies.size() == 1 ? QStringLiteral("相合") : QStringLiteral("各论"));
    if (flyingStudies.empty())
        return QStringLiteral("此为八宅宅卦之文昌，玄空飞星本运无一四同宫之方");
    if (!shared)
        return QStringLiteral("此为八宅宅卦之文昌，玄空飞星一四同宫之文昌在%1，二法各论").arg(named(flyingStudies));
    std::vector<int> others = flyingStudies;
    std::erase(others, baZhaiStudy);
    return QStringLiteral("此为八宅宅卦之文昌，玄空飞星一四同宫之文昌亦在此") +
           (others.empty() ? QStringLiteral("，二法相合") : QStringLiteral("，另在") + named(others) + QStringLiteral("，二法各论"));
}

int DoorRank(const FlyChart &chart, int palace, int period)
{
    return StarStateIndex(chart[palace][kSlotFacingStar], period);
}

bool SolidBack(const HouseRuling &h) { return h.backHeld || h.wangShan == 8; }

QString BackDoorWord(const HouseRuling &h, int sitting)
{
    return (SolidBack(h) ? QStringLiteral("本宅坐后须实，") : QString()) + QStringLiteral("坐山") +
           PalaceWithDirection(sitting) + QStringLiteral("只可开后门，不作大门");
}

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
