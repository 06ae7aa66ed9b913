#include "MQuorin.h"

#include "ChartRules.h"
#include "HouseRulings.h"
#include "MathUtil.h"
#include "PatternCalc.h"
#include "Resources.h"
#include "ReportNames.h"
#include "ReportSpans.h"
#include "RulingWords.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

using namespace report;

namespace {

const QString kRule = QStringLiteral("--------------------------------------------");

// Palaces of the text grid, row by row as they sit on a south-up chart: 巽 离 坤 / 震 中 兑 / 艮 坎 乾.
constexpr int kGridRows[3][3] = {{3, 4, 5}, {2, 8, 6}, {1, 0, 7}};

// Full-width digits by star value (九 as 0), so that two stars take the width of one box-drawing cell.
QString WideDigit(int star)
{
    static constexpr std::string_view kDigits[9] = {"９", "１", "２", "３", "４", "５", "６", "７", "８"};
    return U(kDigits[FloorMod(star, 9)]);
}

// The configured 兼 width in degrees as every line of the reading quotes it: "4.5", "3", "6.25".
QString JianWidth(double jian) { return QString::number(jian, 'g', 4); }

// The text of one sitting mountain: its pieces, each on a line of its own. "{兼}" in the text stands for the
// configured 兼 width.
QString MountainLines(int mountain, double jian)
{
    QString t;
    const QString text = LoadStr(310 + mountain).replace(QStringLiteral("{兼}"), JianWidth(jian));
    const QStringList parts = text.split(QLatin1Char('*'), Qt::SkipEmptyParts);
    for (const QString &p : parts)
        t += QStringLiteral("  %1\n").arg(p);
    return t;
}

// The grid as pieces of its own in a fixed-pitch font; the line break after it ends the grid's last paragraph,
// so the paragraphs are those of the grid written in line with the text around it.
void AddGrid(ReportSpans &out, QString grid)
{
    if (grid.endsWith(QLatin1String("\r\n")))
        grid.chop(2);
    out.AddGrid(grid);
}

// Names of the flags set among flags[i], joined by "、"; empty when none is set.
QString FlagList(const PalaceRecord &g, std::initializer_list<std::pair<PalaceSlot, const char *>> flags)
{
    QStringList names;
    for (const auto &[index, name] : flags)
        if (g[index])
            names.append(QString::fromUtf8(name));
    return names.join(QStringLiteral("、"));
}

bool WholeChart(const PalaceRecords &gong, bool (*has)(const PalaceRecord &))
{
    for (const PalaceRecord &g : gong)
        if (!has(g))
            return false;
    return true;
}

// The line of a 山运断 bank as it is shown: trimmed of blanks and control characters at both ends.
QString TrimBankLine(const QString &line)
{
    qsizetype b = 0, e = line.size();
    while (b < e && (line[b].isSpace() || line[b].unicode() < 0x20))
        ++b;
    while (e > b && (line[e - 1].isSpace() || line[e - 1].unicode() < 0x20))
        --e;
    return line.mid(b, e - b);
}

// The fixed line of the sitting pattern. Its landform remedy puts water in front (旺山旺向, 双星会向) or behind
// (上山下水, 双星会坐), where the timely facing star stands; when that palace may not take water (the period's
// 正神, or 二 with 五) the line says so and gives the remedy without water.
QString PatternLine(int pattern, const PalaceRuling &water)
{
    struct Line {
        std::string_view head, wet; // the verdict, and the remedy with water
        std::string_view where, barred, dry; // where water is barred, what is barred there, the remedy without it
    };
    static constexpr Line kLines[4] = {
        {"★此为旺山旺向的格局。", "如果配以背山面水的地势，就是丁财两旺的吉局。", "向首", "见水",
         "如果配以背山、向前开阔的地势，就是丁财两旺的吉局。"},
        {"☆此为上山下水的格局。丁财两不旺。", "如果背山较低、有水流，前面地势高、有好看的山峰。就可以反凶为吉。",
         "坐后", "水流", "如果背山较低、空旷，前面地势高、有好看的山峰。就可以反凶为吉。"},
        {"●此为双星会向的格局。旺财、不旺丁。",
         "如果周围山势龙脉忽然落下，前面开阔宽敞，有池塘、湖泊。就可以反凶为吉。", "向首", "池塘、湖泊",
         "如果周围山势龙脉忽然落下，前面开阔宽敞，远处有山。就可以反凶为吉。"},
        {"●此为双星会坐的格局。旺丁、不旺财。",
         "如果背后有河流、池塘，再后面有山峰，前面开阔宽敞，有广大田野。就可以反凶为吉。", "坐后", "河流、池塘",
         "如果背后空旷，再后面有山峰，前面开阔宽敞，有广大田野。就可以反凶为吉。"},
    };
    if (pattern < kWangShanWangXiang || pattern > kShuangXingHuiZuo)
        return {};
    const Line &l = kLines[pattern - kWangShanWangXiang];
    if (water.use == PalaceUse::Open)
        return U(l.head) + U(l.wet) + QStringLiteral("\r\n");
    const QString why = water.why == UseReason::ErWu ? QStringLiteral("二五同宫") : QStringLiteral("为本运正神方");
    return U(l.head) + U(l.where) + why + QStringLiteral("，不宜") + U(l.barred) + QStringLiteral("；") + U(l.dry) +
           QStringLiteral("\r\n");
}

// What a whole-chart 合十 brings, by the stars that sum to ten in every palace: mountain stars with the period
// stars help people, facing stars with them wealth, mountain with facing stars join the two.
QString HeShiLine(const PalaceRecords &gong)
{
    static constexpr std::pair<PalaceSlot, std::string_view> kKinds[3] = {
        {kSlotHeShiMountainPeriod, "山星与运星九宫皆合十，利丁"},
        {kSlotHeShiFacingPeriod, "向星与运星九宫皆合十，利财"},
        {kSlotHeShiMountainFacing, "山星与向星九宫皆合十，山水之气相通"}};
    QStringList said;
    for (const auto &[slot, text] : kKinds) {
        bool all = true;
        for (const PalaceRecord &g : gong)
            all = all && g[slot];
        if (all)
            said.append(U(text));
    }
    if (said.isEmpty())
        said.append(QStringLiteral("九宫皆有合十，星气相通"));
    return QStringLiteral("★全局合十：") + said.join(QStringLiteral("；")) + QStringLiteral("。\r\n");
}

// A whole-chart 三般卦 beside a building period whose people and wealth both decline: the periods it joins (the
// next two for 连珠, three and six on for 父母, in the order they come, dated from the building year's own
// period), and that it adds to their good without lifting the decline.
QString SanBanLine(int kind, int period, int buildYear, bool declines)
{
    const QString name = kind == 1 ? QStringLiteral("连珠") : QStringLiteral("父母");
    if (!declines)
        return QStringLiteral("★全局%1三般卦，是化凶为吉的上佳格局。\r\n").arg(name);
    const int step = kind == 1 ? 1 : 3;
    const int first = 44 + 20 * ((buildYear - 44) / 20); // building years start at 44
    QStringList linked;
    for (int k = 0; k < 3; ++k)
        linked.append(QStringLiteral("%1运（%2—%3）")
                          .arg(Numeral((period + k * step) % 9))
                          .arg(first + 20 * k * step)
                          .arg(first + 20 * k * step + 19));
    return QStringLiteral("★全局%1三般卦，%2之气相通；唯助本有之吉，不改本运丁财之衰，仍须依玄空山运断布局补救。"
                          "\r\n")
        .arg(name, linked.join(QStringLiteral("、")));
}

// What the house's pair pattern puts in the sitting (atSitting) or the facing palace.
QString PairLine(int pattern, bool atSitting)
{
    switch (pattern) {
    case kWangShanWangXiang:
        return atSitting ? QStringLiteral("★此宫旺山：当令山星到坐。\r\n") : QStringLiteral("★此宫旺向：当令向星到向。\r\n");
    case kShangShanXiaShui:
        return atSitting ? QStringLiteral("☆此宫上山：当令向星到坐。\r\n") : QStringLiteral("☆此宫下水：当令山星到向。\r\n");
    case kShuangXingHuiXiang:
        return atSitting ? QString() : QStringLiteral("●此宫双星会向。\r\n");
    case kShuangXingHuiZuo:
        return atSitting ? QStringLiteral("●此宫双星会坐。\r\n") : QString();
    default:
        return {};
    }
}

// The 兼 line: the advice to take the replacement chart belongs to a plain-chart report beyond the 兼 width; a
// replacement-chart report says that it is one, and why.
QString JianLine(bool xiaGua, double jianWidth, int jianShan, int pianDu, int pianFen)
{
    if (xiaGua)
        return pianDu + pianFen / 60.0 > jianWidth
                   ? QStringLiteral("★此房座山偏离正向超过%1度，可以考虑用兼向，采用替卦布宅局。\r\n")
                         .arg(JianWidth(jianWidth))
                   : QString();
    if (jianShan >= 0)
        return QStringLiteral("★此房座山兼%1，偏离正向%2度%3分，所排为替卦盘。\r\n")
            .arg(Mountain(jianShan))
            .arg(pianDu)
            .arg(pianFen);
    return QStringLiteral("★此房座山偏离正向%1度%2分，所排为替卦盘。\r\n").arg(pianDu).arg(pianFen);
}

// The remedy of a whole-chart 伏吟 or 反吟 in the building period (later periods follow their own 布局 in the
// 山运断). Water behind the house drains the timely mountain star a 旺山旺向 or 双星会向 house sits on: there the
// remedy is quiet, not water behind; nor is water put behind where the sitting palace may not take it, or dug
// where its mountain star forbids digging.
QString FuFanRemedy(const HouseRuling &rule, const PalaceRuling &back)
{
    if (rule.pattern == kWangShanWangXiang)
        return QStringLiteral("旺星到山到向，其害大减；本运宜静，切忌坐后开池放水。\r\n");
    if (rule.pattern == kShuangXingHuiXiang)
        return QStringLiteral("旺星同到向首，其害大减；本运宜静，切忌坐后开池放水。\r\n");
    if (rule.backHeld)
        return QStringLiteral("当令山星到坐，本运宜静，切忌坐后开池放水。\r\n");
    if (back.use != PalaceUse::Open)
        return QStringLiteral("本运前面地势最好平坦开阔，坐后不宜开池放水。\r\n");
    return back.noEarth ? QStringLiteral("本运前面地势最好平坦开阔，坐后宜有外来流水，忌动土开池。\r\n")
                        : QStringLiteral("本运前面地势最好平坦开阔，坐后有流水、池塘。\r\n");
}

// The door line: the 元 of the door beside the facing's; a door of the other 元 in a palace of the house's door
// order moves to that palace's mountain of the facing's 元; a door in a palace outside the order is told why and
// where a main door may stand instead, in the order's own ranking, so that no door is praised against its palace.
// The sitting palace keeps a back door at most.
QString DoorLine(int facing, int door, const HouseRuling &rule, const FlyChart &chart, int period, int sit,
                 const std::vector<int> &order)
{
    const bool sameYuan = facing % 3 == door % 3;
    const int doorPalace = door / 3;
    const PalaceRuling &u = rule.palace[doorPalace];
    if (std::ranges::count(order, doorPalace) > 0) {
        if (sameYuan)
            return QStringLiteral("★房屋朝向与门向同元一气，吉利。\r\n");
        const QString word = NewDoorWord(rule, chart, doorPalace);
        return QStringLiteral("★房屋朝向与门向不属于同一元，不吉利，宜移门于%1字（同宫%2）。\r\n")
            .arg(Mountain(3 * doorPalace + facing % 3), word.isEmpty() ? QString() : QStringLiteral("，") + word);
    }
    // Outside the order a palace that takes a door is the sitting one.
    const QString why = TakesDoor(u) ? (SolidBack(rule) ? QStringLiteral("本宅坐后须实，") : QString()) +
                                           QStringLiteral("此方只可开后门，不作大门")
                                     : QStringLiteral("本运") + RulingWords(u, chart[doorPalace][kSlotFacingStar], period) +
                                           QStringLiteral("，不宜开门");
    const bool backDoor = doorPalace != sit && TakesDoor(rule.palace[sit]);
    return (sameYuan ? QStringLiteral("★房屋朝向与门向同元一气；然门在")
                     : QStringLiteral("★房屋朝向与门向不属于同一元；且门在")) +
           (doorPalace == sit ? QStringLiteral("坐山") : QString()) + PalaceWithDirection(doorPalace) +
           QStringLiteral("，") + why + QStringLiteral("，") +
           (!order.empty() ? QStringLiteral("宜改门于") + DoorList(rule, chart, order)
                           : QStringLiteral("本运八方皆无可开大门之方") +
                                 (backDoor ? QStringLiteral("，") + BackDoorWord(rule, sit) : QString()) +
                                 QStringLiteral("；现门宜小、宜常闭")) +
           QStringLiteral("。\r\n");
}

// The 打劫 line. The robbery works through its three palaces, so the line says what the ruling lets each take
// where it is not opened to water. It draws the coming qi in through the facing palace: with the period's 正神
// there it is not used this period, and the line says why; a 正神 palace elsewhere in the triad lends only its
// air, and the line says that too.
QString DaJieLine(const HouseRuling &rule, int period)
{
    static constexpr std::string_view kHeads[2] = {"北斗七星离宫打劫(离震乾)", "北斗七星坎宫打劫(巽坎兑)"};
    const QString head = U(kHeads[rule.daJie]);
    const int zheng = ZhengShenPalace(period);
    if (!rule.daJieUsable)
        return QStringLiteral("☆") + head +
               QStringLiteral("，唯向首%1宫为本运正神方，宜山不宜水；打劫须向首见水以劫未来之气，向首既不宜见水，"
                               "本运不能用此打劫。\r\n")
                   .arg(PalaceName(zheng));
    static constexpr std::pair<PalaceUse, std::string_view> kLimits[2] = {
        {PalaceUse::DoorOnly, "方只宜开门，不宜见水"}, {PalaceUse::AirOnly, "方只宜通气"}};
    QStringList limits;
    for (const auto &[use, limit] : kLimits) {
        QStringList named;
        for (int p : kDaJieTriads[rule.daJie])
            if (rule.palace[p].use == use)
                named.append(PalaceName(p));
        if (!named.isEmpty())
            limits.append(named.join(QStringLiteral("、")) + U(limit));
    }
    QString t = QStringLiteral("★") + head + QStringLiteral("，以现在之运劫未来之气，可以变祸为福");
    if (!limits.isEmpty())
        t += QStringLiteral("；") + limits.join(QStringLiteral("，")) + QStringLiteral("，以通三宫之气");
    if (std::ranges::count(kDaJieTriads[rule.daJie], zheng) > 0)
        t += QStringLiteral("；%1宫虽为本运正神方，宜山不宜水，打劫只借其通气，本运仍可用此打劫").arg(PalaceName(zheng));
    return t + QStringLiteral("。\r\n");
}

// The state a star line gives a star, as an index into XingStateName. 五黄 outside its own period is no growing
// star, whatever its distance from the period says, and the reading keeps it quiet; its label says so (the chart
// colours keep the distance).
int LabelState(int star, int period)
{
    const int state = StarStateIndex(star, period);
    return Nine(star) == 5 && Nine(period) != 5 && state <= 2 ? 5 : state;
}

QString StarLabel(int star, int period) { return U(XingStateName[LabelState(star, period)]); }

// The nine stars' states in the period, as the palaces' star lines label them: 五黄 outside its own period is 煞
// here too, never 生.
QString PeriodStatesLine(int period)
{
    QStringList states;
    for (int i = 0; i < 9; ++i)
        states.append(QStringLiteral("%1(%2)").arg(Numeral(period + i), StarLabel((period + i) % 9, period)));
    return QStringLiteral("★此步元运，") + states.join(QStringLiteral("，")) + QStringLiteral("。\r\n");
}

// A city gate in the header: its mountain, star and state, and, where the label would call it timely but the
// gate's palace may take no door, that it is not used.
QString GateLabel(const GateRecord &gate, bool open, int period)
{
    const int state = LabelState(gate[1], period);
    const bool timely = state <= 2; // 旺 or 生
    return QStringLiteral("%1(%2-%3%4)")
        .arg(Mountain(gate[0]), Numeral(gate[1]), U(XingStateName[state]),
             timely && !open ? QStringLiteral("，不作城门用") : QString());
}

// The mountain a replacement chart leans to: the neighbour on the side of the degree, or, on the centre line, the
// 兼 mountain of the sitting item; −1 for none.
int LeanMountain(int m, double degree, int pianDu, int pianFen, int jianShan)
{
    if (pianDu == 0 && pianFen == 0)
        return jianShan;
    const double lean = std::remainder(FloorModD(degree, 360.0) - MountainCentre(m), 360.0);
    return lean > 0 ? (m + 1) % 24 : (m + 23) % 24;
}

// The reading tables date the periods in the cycle 1864..2043; a house is dated in the 180-year cycle that holds
// its building year, the periods after it running on.
QString DateBankLine(const QString &line, int buildYear)
{
    const int shift = 180 * static_cast<int>(std::floor((buildYear - 1864) / 180.0));
    if (shift == 0)
        return line;
    static const QRegularExpression years(QStringLiteral("(\\d+)—(\\d+)"));
    QString out;
    qsizetype at = 0;
    for (auto it = years.globalMatch(line); it.hasNext();) {
        const auto m = it.next();
        out += line.mid(at, m.capturedStart() - at);
        out += QString::number(m.captured(1).toInt() + shift) + QStringLiteral("—") +
               QString::number(m.captured(2).toInt() + shift);
        at = m.capturedEnd();
    }
    return out + line.mid(at);
}

} // namespace

void MQuorin::XuanKongText(ReportSpans &out) const
{
    out.Add(sHeader);
    out.Add(kRule);
    out.Add(QStringLiteral("玄空法断宅：\r\n"), ReportSpans::kBlue, true);

    const int m = ZuoShan;
    const int facing = FacingMountain(m);
    const int sit = m / 3, face = facing / 3;
    const int period = Nine(Yun);
    const FlyChart &chart = Rec.xiaGua ? XiaGua : TiGua;
    const HouseRuling rule = RuleHouse(chart, m, period);
    QString t = QStringLiteral("★座山属%1大门宜开在%1方。\r\n").arg(YuanLong(m));
    t += DoorLine(facing, Rec.door % 24, rule, chart, period, sit, DoorOrder(rule, chart, period, sit, BaZhaiFuWei));
    t += JianLine(Rec.xiaGua, fJian, JianShan, PianDu, PianFen);
    const int pattern = Gong[sit][kSlotPattern];
    const bool waterInFront = pattern == kWangShanWangXiang || pattern == kShuangXingHuiXiang;
    t += PatternLine(pattern, rule.palace[waterInFront ? face : sit]);
    if (rule.daJie >= 0)
        t += DaJieLine(rule, period);

    if (WholeChart(Gong, [](const PalaceRecord &g) {
            return g[kSlotHeShiMountainPeriod] || g[kSlotHeShiFacingPeriod] || g[kSlotHeShiMountainFacing];
        }))
        t += HeShiLine(Gong);
    const QString fuFanRemedy = FuFanRemedy(rule, rule.palace[sit]);
    if (WholeChart(Gong, [](const PalaceRecord &g) {
            return g[kSlotFuYinMountainEarth] || g[kSlotFuYinFacingEarth] || g[kSlotFuYinMountainPeriod] ||
                   g[kSlotFuYinFacingPeriod];
        }))
        t += QStringLiteral("☆全局伏吟，格局不利。") + fuFanRemedy;
    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[kSlotFanYinMountainEarth] || g[kSlotFanYinFacingEarth]; }))
        t += QStringLiteral("☆全局反吟，格局不利。") + fuFanRemedy;
    const bool declines = PeriodRuns(chart, m, period)[0].Decline();
    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[kSlotSanBan] == 1; }))
        t += SanBanLine(1, period, BuildYear, declines);
    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[kSlotSanBan] == 2; }))
        t += SanBanLine(2, period, BuildYear, declines);

    const PalaceRecord &gs = Gong[sit], &gf = Gong[face];
    if (Nine(gs[kSlotPeriodStar]) + Nine(gf[kSlotPeriodStar]) == 10 &&
        Nine(gs[kSlotMountainStar]) + Nine(gf[kSlotFacingStar]) == 10 &&
        Nine(gs[kSlotFacingStar]) + Nine(gf[kSlotMountainStar]) == 10)
        t += QStringLiteral("★对宫合十：坐山、向首两宫山星与向星交互合十，山水之气相通。\r\n");

    // A 文昌 palace the period's 五黄, out-of-season 二黑 or 二 with 五 or 五 with 九 bars from beds and desks is named
    // beside the advice to live and study there; the Eight Mansions study of the house is named as the other method's.
    if (const std::vector<int> studies = FlyingStudyPalaces(chart); !studies.empty()) {
        QStringList names;
        for (int p : studies)
            names.append(PalaceName(p));
        t += QStringLiteral("\r\n★文昌位：") + names.join(QStringLiteral("、")) +
             QStringLiteral("，此方位适合读书人居住，有利于学业功名；") +
             StudyMethods(true, studies, BaZhaiStudyPalace(m));
        if (const QString barred = BarredList(RestBarsOf(chart, period), studies); !barred.isEmpty())
            t += QStringLiteral("；唯本运") + barred + QStringLiteral("，不宜居住、安书桌，以玄空为准");
        t += QStringLiteral("。\r\n");
    }

    t += QStringLiteral("★正城门:%1，副城门:%2。\r\n")
             .arg(GateLabel(ChengMen[0], rule.gateOpen[0], Yun), GateLabel(ChengMen[1], rule.gateOpen[1], Yun));

    t += PeriodStatesLine(Yun);
    out.Add(t);
}

QString MQuorin::ChartGridText(const FlyChart &chart)
{
    QString t = QStringLiteral("┌───┬───┬───┐\r\n");
    for (int r = 0; r < 3; ++r) {
        if (r > 0)
            t += QStringLiteral("├───┼───┼───┤\r\n");
        QString stars, period;
        for (int c = 0; c < 3; ++c) {
            const auto &cell = chart[kGridRows[r][c]];
            stars += QStringLiteral("│ %1%2 ").arg(WideDigit(cell[0]), WideDigit(cell[1]));
            period += QStringLiteral("│　%1　").arg(Numeral(cell[2]));
        }
        t += stars + QStringLiteral("│\r\n") + period + QStringLiteral("│\r\n");
    }
    t += QStringLiteral("└───┴───┴───┘\r\n");
    return t;
}

void MQuorin::XiaGuaText(ReportSpans &out) const
{
    const int m = ZuoShan;
    out.Add(QStringLiteral("挨星下卦:\r\n"), ReportSpans::kRed, true);
    out.Add(QStringLiteral("◎%1运-%2%3山%4向。").arg(Numeral(Yun), YuanLong(m), Mountain(m), Mountain(FacingMountain(m))));
    AddGrid(out, ChartGridText(XiaGua));
    QString t = MountainLines(m, fJian);
    t += QStringLiteral("★") + DateBankLine(LoadStr(500 + 10 * m + Nine(Yun)), BuildYear);
    t += QStringLiteral("\r\n") + kRule;
    out.Add(t);
}

void MQuorin::TiGuaText(ReportSpans &out) const
{
    const int m = ZuoShan;
    out.Add(QStringLiteral("挨星替卦:\r\n"), ReportSpans::kRed, true);
    QString t = QStringLiteral("◎%1运-%2山%3向").arg(Numeral(Yun), Mountain(m), Mountain(FacingMountain(m)));
    if (const int lean = LeanMountain(m, Rec.degree, PianDu, PianFen, JianShan); lean >= 0)
        t += QStringLiteral("，兼(%1-%2)").arg(Mountain(lean), Mountain(FacingMountain(lean)));
    out.Add(t + QStringLiteral("。"));
    AddGrid(out, ChartGridText(TiGua));
    t = MountainLines(m, fJian);
    t += QStringLiteral("★说明如下：\r\n") + DateBankLine(LoadStr(800 + 10 * m + Nine(Yun)), BuildYear);
    t += QStringLiteral("\r\n") + kRule;
    out.Add(t);
}

void MQuorin::PalaceTexts(ReportSpans &out) const
{
    static constexpr std::string_view kCaptions[9] = {
        "正北:坎宫-壬子癸", "东北:艮宫-丑艮寅", "正东:震宫-甲卯乙", "东南:巽宫-辰巽巳", "正南:离宫-丙午丁",
        "西南:坤宫-未坤申", "正西:兑宫-庚酉辛", "西北:乾宫-戌乾亥", "中心:中宫-戊己"};
    const int facing = FacingMountain(ZuoShan);
    const int sit = ZuoShan / 3, face = facing / 3;
    std::vector<int> order = {sit, face};
    for (int p = 0; p < 8; ++p)
        if (p != sit && p != face)
            order.push_back(p);
    order.push_back(8);

    for (int p : order) {
        const PalaceRecord &g = Gong[p];
        QString title = QStringLiteral("【%1】").arg(U(kCaptions[p]));
        if (p == sit)
            title += QStringLiteral(" %1山").arg(Mountain(ZuoShan));
        else if (p == face)
            title += QStringLiteral(" %1向").arg(Mountain(facing));
        out.Add(title, p == sit || p == face ? ReportSpans::kRed : ReportSpans::kBlue);

        QString t = QStringLiteral("★山星%1(%2)，")
                        .arg(Nine(g[kSlotMountainStar]))
                        .arg(StarLabel(g[kSlotMountainStar], Yun));
        t += QStringLiteral("向星%1(%2)，").arg(Nine(g[kSlotFacingStar])).arg(StarLabel(g[kSlotFacingStar], Yun));
        t += QStringLiteral("运星%1(%2)。\r\n").arg(Nine(g[kSlotPeriodStar])).arg(StarLabel(g[kSlotPeriodStar], Yun));
        // The pair pattern belongs to the axis: each half is said under the palace that holds it, the two timely
        // stars together under the one palace they meet in.
        if (p == sit || p == face)
            t += PairLine(Gong[sit][kSlotPattern], p == sit);
        const QString heShi = FlagList(g, {{kSlotHeShiMountainPeriod, "山星和运星"},
                                           {kSlotHeShiFacingPeriod, "向星和运星"},
                                           {kSlotHeShiMountainFacing, "山星和向星"}});
        if (!heShi.isEmpty())
            t += QStringLiteral("★合十：%1。\r\n").arg(heShi);
        const QString fuYin =
            FlagList(g, {{kSlotFuYinMountainEarth, "山星和地盘"}, {kSlotFuYinFacingEarth, "向星和地盘"},
                         {kSlotFuYinMountainPeriod, "山星和运星"}, {kSlotFuYinFacingPeriod, "向星和运星"}});
        if (!fuYin.isEmpty())
            t += QStringLiteral("☆伏吟：%1。\r\n").arg(fuYin);
        const QString fanYin =
            FlagList(g, {{kSlotFanYinMountainEarth, "山星和地盘"}, {kSlotFanYinFacingEarth, "向星和地盘"}});
        if (!fanYin.isEmpty())
            t += QStringLiteral("☆反吟：%1。\r\n").arg(fanYin);
        if (g[kSlotSanBan] == 1)
            t += QStringLiteral("★山星-向星-运星合成连珠三般卦。\r\n");
        else if (g[kSlotSanBan] == 2)
            t += QStringLiteral("★山星-向星-运星合成父母三般卦。\r\n");
        const QString wenChang =
            FlagList(g, {{kSlotWenChangMountain, "山星和地盘"}, {kSlotWenChangFacing, "向星和地盘"}});
        if (!wenChang.isEmpty())
            t += QStringLiteral("★文昌：%1。\r\n").arg(wenChang);

        // The texts of the ruling stars follow the stars shown above them: those of the chart the case uses.
        const int ms = Nine(g[kSlotMountainStar]), fs = Nine(g[kSlotFacingStar]);
        if (p == sit)
            t += QStringLiteral("\r\n★山方主星") + LoadStr(400 + ms) + QStringLiteral("\r\n\r\n★山星-向星组合，") +
                 QStringLiteral("主事:") + LoadStr(400 + 10 * ms + fs) + QStringLiteral("\r\n");
        else if (p == face)
            t += QStringLiteral("\r\n★向方主星") + LoadStr(400 + fs) + QStringLiteral("\r\n\r\n★向星-山星组合，") +
                 QStringLiteral("主事:") + LoadStr(400 + 10 * fs + ms) + QStringLiteral("\r\n");
        out.Add(t);
    }
}

void MQuorin::BuildChoiceText(ReportSpans &out) const
{
    // Luo Shu number of the palace of each branch (亥 子 丑 … 戌).
    static constexpr int kBranchPalace[12] = {6, 1, 8, 8, 3, 4, 4, 0, 2, 2, 7, 6};
    const int b = CycleBranch(BuildGanZhi);
    const int s = FloorMod(1 - FloorMod(BuildYear - 64, 9) + 9, 9);
    const int taiSui = FloorMod(kBranchPalace[b] - s + 14, 9);
    const int e = b % 4;
    const int t0 = FloorMod(9 - 3 * e + 12, 12);

    out.Add(QStringLiteral("建宅选择："), ReportSpans::kRed, true);
    QString t = QStringLiteral("◎(%1)建宅，").arg(GanZhi(BuildGanZhi));
    t += QStringLiteral("当年飞星%1入中。\n").arg(U(StarName(s)));
    t += QStringLiteral("  地盘太岁:%1，飞星太岁:%2。\n").arg(Zhi(b), Trigram(taiSui));
    t += QStringLiteral("  年三煞:%1、%2、%3。\n").arg(Zhi(t0), Zhi(t0 + 1), Zhi(t0 + 2));
    t += QStringLiteral("●以上太岁、三煞所临和对冲之方，不宜坐山立向和修造。");
    out.Add(t);
}

void MQuorin::ShanYunText(ReportSpans &out) const
{
    out.Add(kRule);
    out.Add(QStringLiteral("玄空山运断："), ReportSpans::kRed, true);
    const int base = (Rec.xiaGua ? 2000 : 11000) + 960 * (Nine(Yun) - 1) + 40 * ZuoShan;
    QString t;
    for (int i = 0; i < 40; ++i) {
        const QString line = DateBankLine(TrimBankLine(LoadStr(base + i)), BuildYear);
        if (line == QLatin1String("NewLine"))
            t += QStringLiteral("\r\n");
        else if (!line.isEmpty())
            t += line + QStringLiteral("\r\n");
    }
    out.Add(t);
}
