#include "MQuorin.h"

#include "ChartRules.h"
#include "HouseRulings.h"
#include "Resources.h"
#include "ReportNames.h"
#include "ReportSpans.h"
#include "RulingWords.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <vector>

using namespace report;

namespace {

// Palace index (坎 0 … 乾 7) of a trigram held as its Luo Shu number.
int PalaceOfTrigram(int luoShu)
{
    static constexpr int kPalace[9] = {4, 0, 5, 2, 3, -1, 7, 6, 1};
    return kPalace[FloorMod(luoShu, 9)];
}

// Element (水 木 火 土 金) of each branch, 亥 first.
constexpr int kBranchElement[12] = {0, 0, 3, 1, 1, 3, 2, 2, 3, 4, 4, 3};
// The number of each element for the floors: 水 1, 木 3, 火 2, 土 10, 金 4.
constexpr int kElementFloor[5] = {1, 3, 2, 10, 4};

// 游年 verdicts by star code.
const char *const kYouNian[8] = {"主二百日内有哭泣事,大凶)\n", "主一年内出学业、食禄人)\n",
                                 "主人口富贵,得羊马)\n",       "主二百八十内有喜庆)\n",
                                 "主二年后伤中房,官灾死亡)\n", "主一年祸事,损畜伤财)\n",
                                 "主死亡,一年后百事凶)\n",     "主逃亡人复归)\n"};

// Month generals (月将) by branch, 亥 first.
const char *const kMonthGeneral[12] = {"登明", "神后", "大吉", "功曹", "太冲", "天罡",
                                       "太乙", "胜光", "小吉", "传送", "从魁", "河魁"};

// Where a main door stands in the house's door order (DoorOrder), as the lines that cite it say: "门以此方为先" for
// its first palace, "居第三" for a later one; empty for a palace outside it.
QString OrderPlace(const std::vector<int> &order, int palace, bool timely)
{
    const auto at = std::ranges::find(order, palace);
    if (at == order.end())
        return {};
    if (at == order.begin())
        return (timely ? QStringLiteral("当令向星在此，") : QString()) + QStringLiteral("门以此方为先（门位次第见上大门）");
    return QStringLiteral("本运门位此方居第%1（次第见上大门）").arg(Numeral(static_cast<int>(at - order.begin()) + 1));
}

// Where a withdrawn door is to go: the first palace of the order, with the word a new door there needs, and where
// the order is written (where: "上大门"); or that no palace may take a main door. Where the Eight Mansions do not
// invite a door in that palace and their verdict on it is not given beside (house set), their verdict is named with
// the flying stars' that overrules it.
QString DoorInstead(const HouseRuling &rule, const FlyChart &chart, const std::vector<int> &order, const QString &where,
                    const BaZhaiRecord *house = nullptr)
{
    if (order.empty())
        return QStringLiteral("本运八方皆无可开大门之方");
    const int p = order.front();
    QString notes;
    if (house && !InvitesDoor(*house, p)) {
        const int code = (*house)[3 + p] % 8;
        notes = QStringLiteral("此方八宅%1%2，玄空本运可开")
                    .arg(U(YouXingName[code]), GoodStar(code) ? QStringLiteral("吉气化为无") : QStringLiteral("凶方"));
    }
    if (const QString word = NewDoorWord(rule, chart, p); !word.isEmpty())
        notes += (notes.isEmpty() ? QString() : QStringLiteral("，")) + word;
    return QStringLiteral("宜改取%1（%2门位次第见%3）")
        .arg(PalaceWithDirection(p), notes.isEmpty() ? QString() : notes + QStringLiteral("；"), where);
}

// Where the two methods differ on a palace's door, which stands and why. The door follows the flying stars both
// ways, as the door advice and the closing note of the reading say: a door takes in the qi of the period, which
// weighs more than the fixed qi of a direction; that reason is given in the first such line (reasonGiven false),
// and the later ones refer to it. The line cites the one order of doors the door advice gives, and a door it
// withdraws names where to go; a palace that takes a door but stands outside the order is the sitting one.
QString MethodsLine(const HouseRuling &rule, const BaZhaiRecord &house, const FlyChart &chart, int palace, int period,
                    const std::vector<int> &order, bool &reasonGiven)
{
    const int facingStar = chart[palace][kSlotFacingStar];
    const bool invited = InvitesDoor(house, palace);
    const PalaceRuling &u = rule.palace[palace];
    if (TakesDoor(u) == invited)
        return {};
    const int code = house[3 + palace] % 8;
    const QString head = QStringLiteral("◎%1二法相违：").arg(PalaceWithDirection(palace));
    const QString flying = QStringLiteral("玄空本运") + RulingWords(u, facingStar, period);
    const QString reason = reasonGiven ? QStringLiteral("门亦以玄空为准（理见上）")
                                       : QStringLiteral("门以玄空为准：门为纳气之口，元运之气重于八宅方位之静气");
    reasonGiven = true;
    if (invited)
        return head + QStringLiteral("八宅%1吉方，本宜开门；").arg(U(YouXingName[code])) + flying + QStringLiteral("。") +
               reason + QStringLiteral("，此门不取，") + DoorInstead(rule, chart, order, QStringLiteral("上大门")) + QStringLiteral("。");
    const QString place = OrderPlace(order, palace, DoorRank(chart, palace, period) == 0);
    return head + flying +
           QStringLiteral("；八宅%1%2。").arg(U(YouXingName[code]), Voided(code, palace)
                                                               ? QStringLiteral("临之而宫星相克，吉气化为无")
                                                               : QStringLiteral("凶方，不宜开门")) +
           reason + QStringLiteral("；") + (place.isEmpty() ? QStringLiteral("唯") + BackDoorWord(rule, palace) : place) +
           QStringLiteral("。");
}

// Lines of the house text (1600 + 20 g + i) that an owner of the other life group needs a word beside.
constexpr int kMatchLine = 3, kBedroomLine = 5, kStudyLine = 7;
// Lines of the house text that place a door, or name the study beside the rooms they keep from other uses.
constexpr int kFourBadLine = 2, kDoorLine = 4, kStoreLine = 8;

// The study's palace as the house text names it: "艮宫(东北方)", "中宫(中心位置)".
QString WenChangName(int palace)
{
    return palace == 8 ? QStringLiteral("中宫(中心位置)")
                       : PalaceName(palace) + QStringLiteral("宫(") + Direction(palace) + QStringLiteral("方)");
}

// The good directions of the owner's own life, named once for an owner of the other group; the caller ends the
// sentence, with the palaces among them that the flying stars bar.
QString OwnerGoodLine(const BaZhaiRecord &ming)
{
    QStringList named;
    for (int code : {2, 1, 3, 7}) // 生气 天医 延年 伏位
        for (int p = 0; p < 8; ++p)
            if (ming[3 + p] % 8 == code)
                named.append(U(YouXingName[code]) + Direction(p) + QStringLiteral("（%1）").arg(PalaceName(p)));
    return QStringLiteral("★宅主%1命，本命吉方：").arg(Trigram(ming[0])) + named.join(QStringLiteral("、")) +
           QStringLiteral("。宅主本人之床位、书桌宜安于此四方");
}

// For an owner of the other group the house's good directions, which the room and desk lines use, are all bad
// ones of his life: each with its star of his life. His own bed and desk follow his life, also where the house's
// line bars a direction that is good for him. The word on his bed is one clause, set into the bedroom line's
// sentence on the main bedroom; the word on his desk is a sentence of its own.
QString OwnerWarning(const BaZhaiRecord &ming, const BaZhaiRecord &house, bool bed)
{
    QStringList named;
    for (int p = 0; p < 8; ++p)
        if (GoodStar(house[3 + p] % 8))
            named.append(Direction(p) + QStringLiteral("为本命") + U(YouXingName[ming[3 + p] % 8]));
    return QStringLiteral("宅主%1命，本宅四吉方于其本命皆凶：").arg(Trigram(ming[0])) + named.join(QStringLiteral("、")) +
           (bed ? QStringLiteral("，宅主本人之床位忌安此、床头忌朝此，宅主之床以本命为准，宜安、宜朝本命吉方（见上）")
                : QStringLiteral("，宅主本人之书桌忌安此、人忌面向此；宅主之书桌以本命为准，宜安、宜朝本命吉方（见上）。"));
}

// ---- beds, desks and studies under the flying stars ----

// The palaces a clause of a house line names by direction, the centre as "中宫".
std::vector<int> NamedPalaces(const QString &clause)
{
    std::vector<int> out;
    for (int p = 0; p < 8; ++p)
        if (clause.contains(Direction(p)))
            out.push_back(p);
    if (clause.contains(QStringLiteral("中宫")))
        out.push_back(8);
    return out;
}

// A clause without its mentions ("西北天医方", "正西延年") of the given palaces: the rest of its list joined by "或",
// ending in "方" where the list did; empty when it names no other palace.
QString DropMentions(const QString &clause, const std::vector<int> &drop)
{
    static const QRegularExpression list(
        QStringLiteral("(?:(?:正北|东北|正东|东南|正南|西南|正西|西北)(?:生气|天医|延年|伏位)方?[或、]?)+"));
    QString out = clause;
    bool left = false;
    for (auto it = list.globalMatch(clause); it.hasNext();) {
        const auto m = it.next();
        QStringList kept;
        const QString run = m.captured(0);
        for (const QString &mention : run.split(QRegularExpression(QStringLiteral("[或、]")), Qt::SkipEmptyParts)) {
            const std::vector<int> named = NamedPalaces(mention);
            if (named.empty() || std::ranges::count(drop, named.front()) == 0)
                kept.append(QString(mention).remove(QChar(0x65B9))); // 方
        }
        left = left || !kept.isEmpty();
        // The run may end with the joiner before what follows it, which stays.
        const QString joiner = run.endsWith(QChar(0x6216)) || run.endsWith(QChar(0x3001)) ? run.right(1) : QString(); // 或 、
        const bool fang = run.chopped(joiner.size()).endsWith(QChar(0x65B9));
        out.replace(run, kept.isEmpty() ? QString()
                                        : kept.join(QStringLiteral("或")) + (fang ? QStringLiteral("方") : QString()) + joiner);
    }
    return left ? out : QString();
}

// A house line with each clause that sends someone to a palace (sends) followed by a note naming the palaces among
// it that the flying stars bar, and what is not to go there (what: "忌作卧房"). A palace is noted once in a line, at
// the first clause that sends there; a later clause that would send there again leaves it out, and is dropped when
// it names no other palace. `noted` collects the palaces noted.
QString QualifyRest(const QString &line, const RestBars &bars, bool (*sends)(const QString &), const QString &what,
                    std::vector<int> *noted = nullptr)
{
    std::vector<int> done;
    QString out, clause;
    // Adds the clause; false when it was dropped, so that its closing mark goes with it.
    const auto flush = [&]() {
        if (sends(clause)) {
            std::vector<int> again, fresh;
            for (int p : NamedPalaces(clause))
                (std::ranges::count(done, p) > 0 ? again : fresh).push_back(p);
            if (!again.empty())
                clause = DropMentions(clause, again);
            std::erase_if(fresh, [&](int p) { return bars[p].isEmpty(); });
            out += clause;
            if (!fresh.empty())
                out += QStringLiteral("（本运") + BarredList(bars, fresh) + QStringLiteral("，") + what +
                       QStringLiteral("，以玄空为准）");
            done.insert(done.end(), fresh.begin(), fresh.end());
        } else {
            out += clause;
        }
        const bool dropped = clause.isEmpty();
        clause.clear();
        return !dropped;
    };
    for (QChar c : line) {
        if (c == QChar(0xFF1B) || c == QChar(0x3002)) { // ； 。
            if (flush())
                out += c;
            else if (c == QChar(0x3002) && out.endsWith(QChar(0xFF1B)))
                out.back() = c; // a dropped last clause of a sentence: the sentence ends where the one before did
        } else {
            clause += c;
        }
    }
    flush();
    if (noted)
        *noted = done;
    return out;
}

bool SendsToBed(const QString &c)
{
    return (c.contains(QStringLiteral("主卧")) || c.contains(QStringLiteral("老人")) || c.contains(QStringLiteral("求子"))) &&
           !c.contains(QStringLiteral("不宜"));
}

bool SendsToStudy(const QString &c)
{
    return (c.contains(QStringLiteral("书房")) || c.contains(QStringLiteral("书桌")) || c.contains(QStringLiteral("设在"))) &&
           !c.contains(QStringLiteral("面向")) && !c.contains(QStringLiteral("不宜作书房"));
}

bool NamesStudy(const QString &c) { return c.contains(QStringLiteral("宜作书房")); }

const QString kRestStudy = QStringLiteral("不宜设书房、书桌");

// The bedroom line: each room it places is checked against the flying stars, its closing rule names the palaces it
// means, and for an owner of the other group the word on his own bed stands in the sentence that gives the house's
// main bedroom, so that the recommendation and its limit are read together.
QString BedroomLine(const QString &text, const RestBars &bars, const QString &ownerWord)
{
    std::vector<int> noted, others;
    QString line = QualifyRest(text, bars, SendsToBed, QStringLiteral("忌作卧房"), &noted);
    for (int p = 0; p < 8; ++p)
        if (!bars[p].isEmpty() && std::find(noted.begin(), noted.end(), p) == noted.end())
            others.push_back(p);
    // The closing rule names the barred palaces the line has not noted already.
    static const QString general = QStringLiteral("卧房逢玄空山星五黄、失令之二黑者，以玄空为准，另择吉房。");
    QString specific = QStringLiteral("卧房逢玄空五黄、失令之二黑及二五、五九同宫之方，以玄空为准，另择吉房");
    if (!others.empty())
        specific += QStringLiteral("：本运") + (noted.empty() ? QString() : QStringLiteral("另有")) +
                    BarredList(bars, others) + (others.size() > 1 ? QStringLiteral("，皆") : QStringLiteral("，")) +
                    QStringLiteral("忌作卧房。");
    else
        specific += noted.empty() ? QStringLiteral("；本运八方无此等之方。") : QStringLiteral("（本运之方见上）。");
    if (line.contains(general))
        line.replace(general, specific);
    else
        line += specific;
    if (ownerWord.isEmpty())
        return line;
    // After the main bedroom's clause (and its note), before the clause that follows it.
    const qsizetype at = line.indexOf(QStringLiteral("主卧宜设在"));
    const qsizetype end = at < 0 ? -1 : line.indexOf(QChar(0xFF1B), at);
    if (end < 0)
        return line + ownerWord + QStringLiteral("。");
    return line.left(end) + QStringLiteral("，唯") + ownerWord + line.mid(end);
}

// The door advice of the house text, under the flying stars of the period: where they keep the palace of the door it
// calls the strongest, or of the one it puts second, from a main door, the line says so beside the praise and
// withdraws it, and the strongest names where to go, the first of the one order of doors (DoorOrder) that the line
// after it gives.
QString DoorAdviceLine(QString line, const HouseRuling &rule, const BaZhaiRecord &house, const FlyChart &chart,
                       int period, const std::vector<int> &order)
{
    // Why palace p takes no main door this period; empty where it may.
    const auto barred = [&](int p) -> QString {
        if (p < 0 || std::ranges::count(order, p) > 0)
            return {};
        if (TakesDoor(rule.palace[p]))
            return BackDoorWord(rule, p);
        return QStringLiteral("本运") + PalaceWithDirection(p) + RulingWords(rule.palace[p], chart[p][kSlotFacingStar], period);
    };
    static const QString kTrigrams = QStringLiteral("坎艮震巽离坤兑乾");
    static const QRegularExpression second(QStringLiteral("(.)门（..）次之"));
    if (const auto m = second.match(line); m.hasMatch())
        if (const QString why = barred(static_cast<int>(kTrigrams.indexOf(m.captured(1)))); !why.isEmpty())
            line.insert(m.capturedEnd(), QStringLiteral("，唯") + why + QStringLiteral("，亦不取"));
    static const QRegularExpression best(QStringLiteral("开(.)门（..）为..门，门宅相生，最为得力"));
    if (const auto m = best.match(line); m.hasMatch())
        if (const QString why = barred(static_cast<int>(kTrigrams.indexOf(m.captured(1)))); !why.isEmpty())
            line.replace(m.capturedEnd() - 5, 5,
                         QStringLiteral("，八宅论之最为得力，唯") + why + QStringLiteral("，门以玄空为准，此门不取，") +
                             DoorInstead(rule, chart, order, QStringLiteral("下"), &house));
    return line;
}

// The one order of doors, as the line after the door advice gives it and the lines on each direction cite it, with
// the back door the sitting palace may take.
QString DoorOrderLine(const HouseRuling &rule, const FlyChart &chart, int sitting, const std::vector<int> &order)
{
    const QString back = TakesDoor(rule.palace[sitting]) ? BackDoorWord(rule, sitting) + QStringLiteral("。") : QString();
    if (order.empty())
        return QStringLiteral("★本运八方皆无可开大门之方，门宜小、宜常闭。") + back;
    return QStringLiteral("★本运门位次第：") + DoorList(rule, chart, order) + QStringLiteral("。") + back +
           QStringLiteral("此以玄空排定，八宅吉凶与之相违之方，见下八方吉凶断。");
}

// Beside a direction's verdict whose good star's text places bedrooms, desks or a study there: the flying stars'
// bar on the palace this period, if any.
QString RestVerdict(const RestBars &bars, int palace, int code)
{
    if (bars[palace].isEmpty() || !GoodStar(code) || Voided(code, palace))
        return {};
    return QStringLiteral("◎本运%1%2：床位、书桌、书房不宜安此，以玄空为准。").arg(PalaceWithDirection(palace), bars[palace]);
}

// The owner's own good directions that the flying stars bar this period, as the rest of his sentence.
QString OwnerRestNote(const BaZhaiRecord &ming, const RestBars &bars)
{
    std::vector<int> good;
    for (int code : {2, 1, 3, 7})
        for (int p = 0; p < 8; ++p)
            if (ming[3 + p] % 8 == code)
                good.push_back(p);
    const QString barred = BarredList(bars, good);
    return barred.isEmpty() ? QString()
                            : QStringLiteral("；唯本运") + barred + QStringLiteral("，床位、书桌不宜安此，以玄空为准");
}

// The fixed water line of the two mountains the reading has always named; the others come from the tables.
QString WaterLine(int mountain)
{
    if (mountain == 0)
        return QStringLiteral("壬山水宜放甲乙巨门方，天井宜宽深，吉。");
    if (mountain == 23)
        return QStringLiteral("亥山水宜放丙丁破军方，天井宜深聚，吉。");
    return LoadStr(1760 + mountain);
}


// The palace (坎 0 … 乾 7) a water line drains into, by the two stems it names after "水宜放"; −1 for none.
int WaterPalace(const QString &line)
{
    static constexpr std::pair<std::string_view, int> kStems[4] = {{"甲乙", 2}, {"丙丁", 4}, {"庚辛", 6}, {"壬癸", 0}};
    const qsizetype at = line.indexOf(QStringLiteral("水宜放"));
    if (at < 0)
        return -1;
    const QString stems = line.mid(at + 3, 2);
    for (const auto &[names, palace] : kStems)
        if (stems == U(names))
            return palace;
    return -1;
}

// Where the flying stars give the drained palace water, its water is to come and gather, not to run out: the
// drainage defers to them, and the line says so.
QString WaterGathers(int palace, int facingStar, int period)
{
    return QStringLiteral("★本宅玄空飞星：%1向星%2(%3)，宜开门、见水，为本运纳水聚财之方，天井之水宜聚于此，"
                          "不宜由此方流出；放水以玄空为准，出水之口依外局水口另择，勿出于此方。\r\n")
        .arg(PalaceWithDirection(palace), Numeral(facingStar), StateName(facingStar, period));
}

// This house's flying stars on the palace the water line drains into, as one line after the water line: the
// water line is the general rule of the sitting mountain, the flying stars decide for the house.
QString WaterRuling(const HouseRuling &rule, int palace, int facingStar, int period)
{
    const PalaceRuling &u = rule.palace[palace];
    bool anyWater = false;
    for (const PalaceRuling &p : rule.palace)
        anyWater = anyWater || p.use == PalaceUse::Open;
    const QString star = QStringLiteral("向星%1").arg(Numeral(facingStar));
    QString why;
    switch (u.use) {
    case PalaceUse::Open:
        return WaterGathers(palace, facingStar, period);
    case PalaceUse::DoorOnly:
        why = u.why == UseReason::ZhengShen  ? QStringLiteral("为本运正神方，只宜开门、走道")
              : u.why == UseReason::BackHeld ? QStringLiteral("为坐山，坐后只宜开门")
                                             : star + QStringLiteral("退气，只宜开门纳城门之气");
        break;
    case PalaceUse::AirOnly:
        why = (u.why == UseReason::ErWu ? QStringLiteral("二五同宫") : star) + QStringLiteral("，只宜通气");
        break;
    case PalaceUse::Quiet:
        why = star + QStringLiteral("(%1)，宜静").arg(StateName(facingStar, period));
        break;
    }
    // The water the flying stars keep from here gathers where they open the house to water; it runs out
    // where the land outside lets it, never through the palaces it is to gather in.
    return QStringLiteral("★本宅玄空飞星：%1%2，此方不宜放水；放水以玄空为准，%3，出水之口依外局水口另择，勿出于此方。"
                          "\r\n")
        .arg(PalaceWithDirection(palace), why,
             anyWater ? QStringLiteral("天井之水宜聚于玄空门路水口所开之方") : QStringLiteral("本运八方皆不宜见水"));
}
} // namespace

void MQuorin::BaZhaiText(ReportSpans &out) const
{
    out.Add(sHeader);
    out.Add(QStringLiteral("--------------------------------------------"));
    out.Add(QStringLiteral("八宅法断宅："), ReportSpans::kBlue, true);

    const BaZhaiRecord &ming = BaZhai[1];
    const int fuWei = BaZhaiFuWei[0];
    QString t = QStringLiteral("◎宅主:%1，福元%2宫，").arg(GanZhi(MingGanZhi), Trigram(ming[0]));
    t += ming[1] == 0 ? QStringLiteral("属东四命。\r\n") : QStringLiteral("属西四命。\r\n");
    t += QStringLiteral("★伏位%1宫，").arg(Trigram(fuWei));
    t += BaZhaiFuWei[1] == 0 ? QStringLiteral("属东四位宅。") : QStringLiteral("属西四位宅。");
    t += BaZhaiFuWei[1] == ming[1] ? QStringLiteral("房屋与宅主福元相配，吉利。\r\n")
                                   : QStringLiteral("房屋与宅主福元相克，不利。\r\n");
    t += QStringLiteral("★宅主房间宜居天乙、生气、延年、伏位方，大门可根据地形在这四个方位中选择一个。\r\n");

    // Floors of the owner's element and of the element that generates it.
    const int e = kBranchElement[CycleBranch(MingGanZhi)];
    const int a = kElementFloor[e], c = kElementFloor[(e + 4) % 5];
    t += QStringLiteral("★宅主宜住%1层、%2层、%3层、%4层或尾数为").arg(a).arg((a + 5) % 10).arg(c).arg((c + 5) % 10);
    t += QStringLiteral("%1、%2、%3、%4的楼层。\n").arg(a % 10).arg((a + 5) % 10).arg(c % 10).arg((c + 5) % 10);

    const FlyChart &chart = Rec.xiaGua ? XiaGua : TiGua;
    const HouseRuling rule = RuleHouse(chart, ZuoShan, Nine(Yun));
    const RestBars bars = RestBarsOf(chart, Nine(Yun));
    const std::vector<int> order = DoorOrder(rule, chart, Nine(Yun), ZuoShan / 3, BaZhaiFuWei);

    // The house's study by its trigram, said to be the Eight Mansions' beside the flying stars' own.
    const int study = BaZhaiStudyPalace(ZuoShan);
    t += QStringLiteral("★文昌位：") + WenChangName(study) + QStringLiteral("，此方位可做书房；") +
         StudyMethods(false, FlyingStudyPalaces(chart), study);
    if (const QString barred = BarredList(bars, {study}); !barred.isEmpty())
        t += QStringLiteral("；唯本运") + barred + QStringLiteral("，") + kRestStudy +
             QStringLiteral("，以玄空为准，书房另择吉方");
    t += QStringLiteral("。\r\n");

    // 桃花 by mountain pair (壬子, 癸丑, 艮寅, …): 卯, 子, 酉, 午 in turn.
    static constexpr int kTaoHua[4] = {4, 1, 10, 7};
    const int taoHua = kTaoHua[(ZuoShan / 2) % 4];
    t += QStringLiteral("★桃花位：%1山").arg(Zhi(taoHua));
    switch (taoHua) {
    case 1:
        t += QStringLiteral("(属正北方)\r\n");
        break;
    case 4:
        t += QStringLiteral("(属正东方)\r\n");
        break;
    case 7:
        t += QStringLiteral("(属正南方)\r\n");
        break;
    default:
        t += QStringLiteral("(属正西方)\r\n");
        break;
    }

    const int g = PalaceOfTrigram(fuWei);
    const bool otherGroup = BaZhaiFuWei[1] != ming[1];
    for (int i = 0; i < 11; ++i) {
        const QString line = LoadStr(1600 + 20 * g + i);
        switch (i) {
        case kFourBadLine:
        case kStoreLine:
            t += QualifyRest(line, bars, NamesStudy, kRestStudy);
            break;
        case kDoorLine:
            t += DoorAdviceLine(line, rule, BaZhaiFuWei, chart, Nine(Yun), order) + QStringLiteral("\r\n") +
                 DoorOrderLine(rule, chart, ZuoShan / 3, order);
            break;
        case kBedroomLine:
            t += BedroomLine(line, bars, otherGroup ? OwnerWarning(ming, BaZhaiFuWei, true) : QString());
            break;
        case kStudyLine:
            t += QualifyRest(line, bars, SendsToStudy, kRestStudy);
            break;
        default:
            t += line;
            break;
        }
        if (otherGroup && i == kMatchLine)
            t += QStringLiteral("\r\n") + OwnerGoodLine(ming) + OwnerRestNote(ming, bars) + QStringLiteral("。");
        else if (otherGroup && i == kStudyLine)
            t += OwnerWarning(ming, BaZhaiFuWei, false);
        t += QStringLiteral("\r\n");
    }
    out.Add(t);

    out.Add(QStringLiteral("房屋八方吉凶断："), ReportSpans::kRed, true);
    t.clear();
    bool doorReasonGiven = false;
    for (int j = 0; j < 8; ++j) {
        const int code = BaZhaiFuWei[3 + j] % 8;
        t += QStringLiteral("★%1宫(%2):").arg(PalaceName(j), Direction(j));
        t += QStringLiteral("%1(%2)临之，").arg(U(YouXingName[code]), U(BaZhaiXingName[code]));
        const QString starText = LoadStr(300 + code);
        const bool good = GoodStar(code);
        switch (FloorMod(YouXingWuXing[code] - GuaWuXing[j], 5)) {
        case 0:
            t += QStringLiteral("宫星比和，") + starText;
            break;
        case 1:
        case 4:
            t += FloorMod(YouXingWuXing[code] - GuaWuXing[j], 5) == 1 ? QStringLiteral("宫生星，")
                                                                       : QStringLiteral("星生宫，");
            t += good ? starText : QStringLiteral("但凶星临，主吉事少凶事多。");
            break;
        default:
            t += FloorMod(YouXingWuXing[code] - GuaWuXing[j], 5) == 2 ? QStringLiteral("宫克星，")
                                                                       : QStringLiteral("星克宫，");
            t += good ? QStringLiteral("吉星之吉气化为无，须防有凶。") : starText;
            break;
        }
        if (const QString methods = MethodsLine(rule, BaZhaiFuWei, chart, j, Nine(Yun), order, doorReasonGiven);
            !methods.isEmpty())
            t += QStringLiteral("\r\n") + methods;
        if (const QString rest = RestVerdict(bars, j, code); !rest.isEmpty())
            t += QStringLiteral("\r\n") + rest;
        t += QStringLiteral("\r\n\r\n");
    }
    t += QStringLiteral("●注：以上八方，吉星临方宜修得高大，凶星临方宜修得低矮，则可得福免祸。\r\n");
    const QString water = WaterLine(ZuoShan);
    t += QStringLiteral("\r\n【二十四山放水参考】\r\n") + water + QStringLiteral("\r\n");
    if (const int palace = WaterPalace(water); palace >= 0)
        t += WaterRuling(rule, palace, chart[palace][kSlotFacingStar], Yun);
    out.Add(t);

    // 建宅选择 by the Eight Mansions method.
    out.Add(QStringLiteral("\r\n建宅选择："), ReportSpans::kRed, true);
    const bool male = Rec.sex != 0;
    const int age = BuildYear - MingYear + 1;
    const int wuShen = FloorMod(CycleBranch(MingGanZhi) + 5, 12);
    int dingSheng = fuWei - 5;
    if (dingSheng < 0)
        dingSheng += 9;
    if (dingSheng == 5)
        dingSheng = male ? 2 : 8;
    t = QStringLiteral("○宅主命前五神:%1，定生宫:%2宫。\n").arg(Zhi(wuShen), Trigram(dingSheng));
    t += QStringLiteral("★(%1)建宅，当年吉凶如下:\n").arg(GanZhi(BuildGanZhi));

    // The stem of the 寅 month of the building year (五虎遁), then the stem of the 五神 branch's month.
    int s = CycleStem(BuildGanZhi);
    if (s >= 5)
        s -= 5;
    s = (2 * s + 1) % 10;
    int b = wuShen - 3;
    if (b < 0)
        b += 12;
    static const char *const kWuShen[5] = {"盗贼。\n", "青龙。\n", "明喜。\n", "仓库。\n", "白虎。\n"};
    const int v = (b + s) % 10;
    t += QStringLiteral("  五神：") + QString::fromUtf8(kWuShen[(v + 1) / 2 % 5]);
    if (age < 1) {
        out.Add(t);
        return;
    }

    const BaZhaiRecord dingRec = MakeBaZhaiRecord(dingSheng);
    const int k = YouNianDirection(age, male);
    const int code = dingRec[3 + k] % 8;
    t += QStringLiteral("  游年：%1，%2值年(").arg(PalaceName(k), U(YouXingName[code]));
    t += QString::fromUtf8(kYouNian[code]);

    const int xy = XiaoYunGanZhi(MingGanZhi, age, male);
    const int xb = CycleBranch(xy);
    t += QStringLiteral("  小运：%1，%2值年(").arg(GanZhi(xy), QString::fromUtf8(kMonthGeneral[xb]));
    switch (xb) {
    case 1:
    case 3:
    case 7:
    case 9:
        t += QStringLiteral("大通年，大宜修造)\n");
        break;
    case 0:
    case 2:
    case 8:
        t += QStringLiteral("小通年，宜修造)\n");
        break;
    case 4:
    case 6:
    case 10:
        t += QStringLiteral("小凶年，不宜修造)\n");
        break;
    default:
        t += QStringLiteral("大凶年，不宜修造)\n");
        break;
    }
    out.Add(t);
    out.Add(QStringLiteral("●吉年宜修造，凶年忌修造，则可得福免祸。"));
    out.Add(QStringLiteral("=======================================\r\n"));
    out.Add(LoadStr(1790));
}
