// The whole report of a house, as the program writes it (the Xuan Kong reading of the lay-out, then the Eight
// Mansions reading), must not contradict itself: a palace the reading forbids to open is never the one it tells
// the client to open, a star it calls timely is never called out of season, and so on. Each count below is the
// number of the 432 charts (nine periods, 24 mountains, 下卦 and 替卦) whose report holds one such contradiction,
// read from the report text; so are the houses practitioners read in full.
#include "BaZhaiCalc.h"
#include "ReadingReports.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace {

QString Q(const char *utf8) { return QString::fromUtf8(utf8); }

const QString kTrigrams = Q("坎艮震巽离坤兑乾");
const QString kNumerals = Q("一二三四五六七八九");
const QString kMountains = Q("壬子癸丑艮寅甲卯乙辰巽巳丙午丁未坤申庚酉辛戌乾亥");

QStringList Lines(const QString &report) { return report.split(QRegularExpression(QStringLiteral("[\r\n]+"))); }

QString LineStarting(const QString &report, const QString &head)
{
    for (const QString &l : Lines(report))
        if (l.startsWith(head))
            return l;
    return {};
}

// A palace named by direction and trigram ("正西兑宫"), the trigram captured.
const QString kNamedPalace = Q("(?:正北|东北|正东|东南|正南|西南|正西|西北)(坎|艮|震|巽|离|坤|兑|乾)宫");

// The trigrams of the palaces a text names, in the order it names them.
std::vector<QChar> PalacesInOrder(const QString &text)
{
    static const QRegularExpression re(kNamedPalace);
    std::vector<QChar> out;
    for (auto it = re.globalMatch(text); it.hasNext();)
        out.push_back(it.next().captured(1)[0]);
    return out;
}

// Trigrams of the palaces a text names ("正西兑宫").
std::set<QChar> Palaces(const QString &text)
{
    const std::vector<QChar> named = PalacesInOrder(text);
    return {named.begin(), named.end()};
}

// The palaces where the report forbids opening a door or letting water out: those named in the clauses of the
// 忌动 line up to a clause that says 忌开门放水.
// (what: "忌开门放水"; with "忌动土" the palaces where the report forbids digging.)
std::set<QChar> Forbidden(const QString &xk, const char *what = "忌开门放水")
{
    std::set<QChar> out, pending;
    for (const QString &clause : LineStarting(xk, Q("忌动之方：")).split(Q("；"))) {
        const std::set<QChar> named = Palaces(clause);
        pending.insert(named.begin(), named.end());
        if (clause.contains(Q("忌开门放水")) || clause.contains(Q("忌动土"))) {
            if (clause.contains(Q(what)))
                out.insert(pending.begin(), pending.end());
            pending.clear();
        }
    }
    return out;
}

// The clauses of a line: split at "；" outside brackets, so that a bracketed note stays with its palace.
QStringList Clauses(const QString &line)
{
    QStringList out{QString()};
    int depth = 0;
    for (QChar c : line) {
        depth += c == QChar(0xFF08) || c == QLatin1Char('(') ? 1 : c == QChar(0xFF09) || c == QLatin1Char(')') ? -1 : 0;
        if (c == QChar(0xFF1B) && depth == 0)
            out.append(QString());
        else
            out.last() += c;
    }
    return out;
}

// What a clause lets its palace take.
enum class Use { None, Open, Door, Air, Quiet };
Use ClauseUse(QString c)
{
    c.remove(Q("不宜见水")).remove(Q("本宜见水"));
    if (c.contains(Q("只宜通气")))
        return Use::Air;
    if (c.contains(Q("宜静")))
        return Use::Quiet;
    if (c.contains(Q("只宜开门")) || c.contains(Q("可作门路")))
        return Use::Door;
    for (const char *open : {"开门、见水", "见水、开门", "开门则旺财", "可作水口", "宜见水", "见水或开门"})
        if (c.contains(Q(open)))
            return Use::Open;
    return Use::None;
}

// The trigrams of the palaces a clause speaks of: by their full names, or (打劫) as "离、震方".
std::set<QChar> ClausePalaces(const QString &clause)
{
    std::set<QChar> out = Palaces(clause);
    static const QRegularExpression triad(Q("^([坎艮震巽离坤兑乾、]+)[二三]?方"));
    if (const auto m = triad.match(clause); m.hasMatch())
        for (QChar c : m.captured(1))
            if (c != QChar(0x3001))
                out.insert(c);
    return out;
}

// Per palace, the one answer of the 门路水口 line; palaces it does not name are quiet.
std::map<QChar, Use> OpeningUses(const QString &xk)
{
    std::map<QChar, Use> out;
    for (QChar c : kTrigrams)
        out[c] = Use::Quiet;
    for (const QString &clause : Clauses(LineStarting(xk, Q("门路水口："))))
        for (QChar c : Palaces(clause))
            out[c] = clause.contains(Q("宜开门、见水")) ? Use::Open
                     : clause.contains(Q("只宜开门"))   ? Use::Door
                     : clause.contains(Q("只宜通气"))   ? Use::Air
                                                        : Use::Quiet;
    return out;
}

// Every palace statement of the lines that open or quiet a palace in the building period (城门, 打劫, 零神,
// the side palaces), as (palace, what the clause lets it take, the clause).
enum class Source { Gate, DaJie, Zero, Side };
struct Said {
    Source source;
    QChar palace;
    Use use;
    QString clause;
};
std::vector<Said> PalaceStatements(const QString &xk)
{
    std::vector<Said> out;
    for (const QString &line : Lines(xk)) {
        Source source = Source::Gate;
        QString text = line;
        if (line.contains(Q("城门：")))
            source = Source::Gate;
        else if (line.startsWith(Q("零神正神：")))
            source = Source::Zero;
        else if (line.startsWith(Q("旁宫")))
            source = Source::Side;
        else if (line.contains(Q("打劫（")))
            source = Source::DaJie, text = line.mid(line.indexOf(Q("未来之气")) + 5);
        else
            continue;
        for (const QString &c : Clauses(text))
            if (const Use use = ClauseUse(c); use != Use::None)
                for (QChar palace : ClausePalaces(c))
                    out.push_back({source, palace, use, c});
    }
    return out;
}

// The building period, 1..9, from the header ("建宅年份：…八运").
int BuildingPeriod(const QString &xk)
{
    static const QRegularExpression re(Q("建宅年份：[^\\r\\n]*\\)([一二三四五六七八九])运"));
    const auto m = re.match(xk);
    return m.hasMatch() ? kNumerals.indexOf(m.captured(1)) + 1 : 0;
}

// The trigram of the period's 正神 palace ("正神在正北坎宫"); null when the report names none.
QChar ZhengShen(const QString &xk)
{
    static const QRegularExpression re(Q("正神在(?:正北|东北|正东|东南|正南|西南|正西|西北)(.)宫"));
    const auto m = re.match(xk);
    return m.hasMatch() ? m.captured(1)[0] : QChar();
}

// The star line of a palace's section ("★山星9(生)，向星7(退)，运星4(煞)。") and the pattern lines under it.
QStringList PalaceSection(const QString &xk, QChar trigram)
{
    const QStringList l = Lines(xk);
    for (qsizetype i = 0; i < l.size(); ++i)
        if (l[i].startsWith(QChar(0x3010)) && l[i].contains(QString(trigram) + Q("宫-"))) {
            qsizetype e = i + 1;
            while (e < l.size() && !l[e].startsWith(QChar(0x3010)) && !l[e].startsWith(Q("建宅选择")))
                ++e;
            return l.mid(i, e - i);
        }
    return {};
}

// The trigram of the sitting palace (its title ends "…山"), or of the facing palace ("…向").
QChar AxisPalace(const QString &xk, bool sitting)
{
    static const QRegularExpression title(Q("^【..:(.)宫-[^】]*】 .(山|向)$"));
    for (const QString &l : Lines(xk))
        if (const auto m = title.match(l); m.hasMatch() && (m.captured(2) == Q("山")) == sitting)
            return m.captured(1)[0];
    return {};
}

// The facing (or mountain) star and its state in a palace's star line ("5", "生"); 0 when the report has none.
std::pair<int, QChar> StarOf(const QString &xk, QChar trigram, bool facing = true)
{
    static const QRegularExpression facingRe(Q("向星(\\d)\\((.)\\)")), mountainRe(Q("山星(\\d)\\((.)"));
    const QStringList section = PalaceSection(xk, trigram);
    const auto m = section.size() > 1 ? (facing ? facingRe : mountainRe).match(section[1]) : QRegularExpressionMatch();
    return m.hasMatch() ? std::pair{m.captured(1).toInt(), m.captured(2)[0]} : std::pair{0, QChar()};
}

// The building period's verdict in the fortune: its first period line.
QString BuildingVerdict(const QString &xk)
{
    const QStringList l = Lines(xk);
    for (qsizetype i = 0; i + 1 < l.size(); ++i)
        if (l[i].startsWith(Q("山运（")))
            return l[i + 1];
    return {};
}

bool Declines(const QString &verdict)
{
    return verdict.contains(Q("两衰")) || verdict.contains(Q("两损")) || verdict.contains(Q("两退"));
}

enum Row {
    kWenChangWuGui,   // the Eight Mansions study palace is the 五鬼 palace, and the lumber room goes there too
    kVoidedGood,      // a good palace the element rule voids is recommended without its own verdict
    kGateForbidden,   // a usable city gate told to open and take water where the 忌动 line forbids it
    kDaJieForbidden,  // 打劫 palaces told to open where the 忌动 line forbids one of them
    kWaterForbidden,  // the Eight Mansions water line drains into a forbidden palace and nothing defers
    kBackWater,       // 旺山旺向 with 全局伏/反吟 told to have water behind, while the landform forbids it
    kPrisonFive,      // 五黄 in the centre "不论入囚", then the 五运 line says 入囚
    kErHeiOutOfSeason,// "失令之二黑" while the period line calls 二 生 or 旺
    kTwoAnswers,      // a palace the 门路水口 line opens, limits or quiets is given another answer elsewhere
    kZhengWater,      // the period's 正神 palace told to take water
    kDeadOpened,      // a 死, 煞 or 五黄 facing star opened for water and doors, or 五黄 used as a city gate
    kHeShiOverclaim,  // "旺山旺向的功效" where the chart's own verdict denies people or wealth
    kSanBanDecline,   // 三般卦 "化凶为吉" beside a building period that declines
    kJianAdvice,      // the advice to take the replacement chart in a replacement-chart report, or no word why
    kPairMisplaced,   // a pair-pattern line under a palace whose own stars do not bear it out
    kSaidTwice,       // the same statement twice, or the gates or 打劫 said in full more than once
    kPeriodOrder,     // a list of periods out of the order they come from the building period
    kWaterUnruled,    // the Eight Mansions water line drains into a palace the flying stars keep from water,
                      // with no ruling for this house after it
    kPondDug,         // a pond behind or before the house where the 忌动 line forbids digging
    kRows
};
const char *const kRowNames[kRows] = {"文昌 in the 五鬼 palace", "voided 吉方 recommended", "gate vs 忌动",
                                      "打劫 vs 忌动", "water line vs 忌动", "伏反吟 water behind",
                                      "五黄 centre and 入囚", "失令之二黑 while 生", "two answers for a palace",
                                      "正神 given water", "死 or 煞 facing star opened", "合十 overclaimed",
                                      "三般卦 against a decline", "兼 line in a 替卦 report", "pair pattern misplaced",
                                      "said twice", "periods out of order", "water line without a ruling",
                                      "pond where digging is forbidden"};

// The water line of the Eight Mansions reading and the line after it, where this house's ruling on the palace
// it drains into stands; and the palace each pair of stems it may name drains into.
std::pair<QString, QString> DrainageLines(const QString &bz)
{
    const QStringList l = Lines(bz);
    const qsizetype wi = l.indexOf(Q("【二十四山放水参考】"));
    return wi >= 0 ? std::pair{l.value(wi + 1), l.value(wi + 2)} : std::pair<QString, QString>{};
}
const std::map<QString, QChar> kDrainStems = {
    {Q("甲乙"), Q("震")[0]}, {Q("丙丁"), Q("离")[0]}, {Q("庚辛"), Q("兑")[0]}, {Q("壬癸"), Q("坎")[0]}};

// Which rows one house's report breaks.
std::array<bool, kRows> Contradictions(const Reports &r)
{
    std::array<bool, kRows> hit{};
    const QString &xk = r.xk, &bz = r.bz;

    // Eight Mansions: the study palace and the 五鬼 palace.
    const QString wen = LineStarting(bz, Q("★文昌位："));
    if (wen.size() > 5) {
        const QChar w = wen[5];
        const QString palaceLine = LineStarting(bz, QStringLiteral("★%1宫(").arg(w));
        if (palaceLine.contains(Q("五鬼(")) &&
            bz.contains(QRegularExpression(Q("杂物间宜放[^；。]*五鬼方"))))
            hit[kWenChangWuGui] = true;
    }
    // Good palaces voided by the element rule, and the lines recommending them.
    static const QRegularExpression voided(Q("★(.)宫\\((..)\\):(..)\\(.+吉星之吉气化为无"));
    for (const QString &l : Lines(bz)) {
        const auto m = voided.match(l);
        if (!m.hasMatch())
            continue;
        const QString dir = m.captured(2);
        for (const char *head : {"大门：", "卧房："})
            for (const QString &clause : LineStarting(bz, Q(head)).split(QRegularExpression(Q("[；。]"))))
                if (clause.contains(dir) && !clause.contains(Q("忌")) && !clause.contains(Q("化为无")))
                    hit[kVoidedGood] = true;
    }

    const std::set<QChar> forbidden = Forbidden(xk);
    const std::map<QChar, Use> uses = OpeningUses(xk);
    const int period = BuildingPeriod(xk);
    const QChar zheng = ZhengShen(xk);
    // Every statement that opens or quiets a palace gives the one answer of the 门路水口 line; none opens the 正神
    // palace to water, a palace the 忌动 line forbids (city gates, 打劫), or a dead, killing or untimely 五黄
    // facing star (city gates, 零神); nor is 五黄 a usable city gate outside 五运.
    for (const Said &said : PalaceStatements(xk)) {
        const bool open = said.use == Use::Open;
        const auto [star, state] = StarOf(xk, said.palace);
        hit[kGateForbidden] |= open && forbidden.count(said.palace) && said.source == Source::Gate;
        hit[kDaJieForbidden] |= open && forbidden.count(said.palace) && said.source == Source::DaJie;
        hit[kTwoAnswers] |= said.use != uses.at(said.palace);
        hit[kZhengWater] |= open && said.palace == zheng;
        hit[kDeadOpened] |= open && (said.source == Source::Gate || said.source == Source::Zero) &&
                            (state == Q("死")[0] || state == Q("煞")[0] || (star == 5 && period != 5));
        hit[kDeadOpened] |= said.source == Source::Gate && said.clause.contains(Q("飞星五")) &&
                            said.clause.contains(Q("可用")) && period != 5;
    }
    // Nor does the 门路水口 line, where the timely stars are, or the landform.
    if (!zheng.isNull()) {
        hit[kZhengWater] |= uses.at(zheng) == Use::Open;
        for (const char *head : {"旺星：", "●当令", "★当令", "☆当令", "形峦："})
            for (const QString &clause : Clauses(LineStarting(xk, Q(head))))
                hit[kZhengWater] |= Palaces(clause) == std::set<QChar>{zheng} && ClauseUse(clause) == Use::Open;
    }
    // The water line of the Eight Mansions reading, by the stems it names: into a forbidden palace only where
    // something defers to the flying stars, and with this house's ruling after it where they keep it from water.
    const auto [water, ruling] = DrainageLines(bz);
    for (const auto &[stems, palace] : kDrainStems)
        if (water.contains(Q("水宜放") + stems)) {
            hit[kWaterForbidden] |= forbidden.count(palace) && !water.contains(Q("以玄空为准")) &&
                                    !LineStarting(xk, Q("忌动之方：")).contains(Q("以玄空为准"));
            hit[kWaterUnruled] |= uses.at(palace) != Use::Open &&
                                  !(ruling.contains(QString(palace) + Q("宫")) && ruling.contains(Q("不宜放水")));
        }
    // Water behind a 旺山旺向 house.
    if (xk.contains(Q("★此为旺山旺向的格局")) && xk.contains(Q("坐后有流水")) && xk.contains(Q("坐后空缺见水则损丁")))
        hit[kBackWater] = true;
    // 五黄 in the centre and the 五运 line.
    if (xk.contains(Q("五黄入中，不论入囚"))) {
        // "不论入囚" denies it; any other 入囚 says it.
        QStringList l = Lines(xk);
        for (QString &line : l)
            line.remove(Q("不论入囚"));
        for (qsizetype i = 0; i < l.size(); ++i)
            if (l[i].startsWith(Q("五运（")) &&
                (l[i].contains(Q("入囚")) || (i + 1 < l.size() && l[i + 1].startsWith(Q("布局：")) &&
                                               l[i + 1].contains(Q("入囚")))))
                hit[kPrisonFive] = true;
    }
    // 二黑 called out of season while the period line calls it 生 or 旺.
    const QString states = LineStarting(xk, Q("★此步元运，"));
    const qsizetype e = states.indexOf(Q("二("));
    if (e >= 0 && xk.contains(Q("失令之二黑"))) {
        const QChar s = states[e + 2];
        if (s != Q("死")[0] && s != Q("煞")[0])
            hit[kErHeiOutOfSeason] = true;
    }

    // What the top lines claim against the chart's own verdicts.
    const QString verdict = BuildingVerdict(xk);
    const QString pattern = LineStarting(xk, Q("●此为")) + LineStarting(xk, Q("☆此为"));
    if (xk.contains(Q("旺山旺向的功效")) &&
        (pattern.contains(Q("不旺")) || verdict.contains(Q("不旺")) || Declines(verdict)))
        hit[kHeShiOverclaim] = true;
    if (xk.contains(Q("三般卦，是化凶为吉")) && Declines(verdict))
        hit[kSanBanDecline] = true;
    if (xk.contains(Q("挨星替卦:")) && (xk.contains(Q("可以考虑用兼向")) || !xk.contains(Q("所排为替卦盘"))))
        hit[kJianAdvice] = true;
    // Pair patterns under the palace whose stars bear them out.
    for (QChar c : kTrigrams) {
        const QStringList section = PalaceSection(xk, c);
        if (section.size() < 2)
            continue;
        const bool mountain = section[1].contains(QRegularExpression(Q("山星\\d\\(旺\\)"))),
                   facing = section[1].contains(QRegularExpression(Q("向星\\d\\(旺\\)")));
        for (const QString &l : section.mid(2)) {
            const bool both = l.contains(Q("此宫双星会"));
            const bool one = l.contains(Q("此宫旺山旺向")) || l.contains(Q("此宫上山下水"));
            if ((both && !(mountain && facing)) || (one && !mountain && !facing) ||
                (l.contains(Q("此宫旺山：")) && !mountain) || (l.contains(Q("此宫旺向：")) && !facing) ||
                (l.contains(Q("此宫上山：")) && !facing) || (l.contains(Q("此宫下水：")) && !mountain))
                hit[kPairMisplaced] = true;
        }
    }
    // Each statement once: the gates and 打劫 in full, and no sentence of the chart's explanation or its fortune
    // repeated.
    if (xk.count(Q("正城门在")) > 1 || xk.count(Q("打劫（")) > 1)
        hit[kSaidTwice] = true;
    const qsizetype from = xk.indexOf(Q("挨星")), palaces = xk.indexOf(QChar(0x3010), from),
                    bank = xk.indexOf(Q("玄空山运断："));
    std::set<QString> sentences;
    for (const QString &part : {xk.mid(from, palaces - from), xk.mid(bank)})
        for (QString sentence : part.split(QRegularExpression(Q("[。\\r\\n]+")))) {
            sentence.remove(QRegularExpression(Q("^[★☆●◎]?[^：，；]{0,6}：")));
            if (sentence.size() >= 20 && !sentences.insert(sentence).second)
                hit[kSaidTwice] = true;
        }
    // Periods listed in the order they come from the building period.
    static const QRegularExpression chain(Q("(?:[一二三四五六七八九]运(?:（[^）]*）)?、)+[一二三四五六七八九]运"));
    for (auto it = chain.globalMatch(xk); it.hasNext();) {
        int last = -1;
        const QString list = it.next().captured(0).remove(QRegularExpression(Q("（[^）]*）")));
        for (QChar c : list)
            if (const int q = kNumerals.indexOf(c); q >= 0) {
                const int k = (q + 1 - period + 9) % 9;
                hit[kPeriodOrder] = hit[kPeriodOrder] || k < last;
                last = k;
            }
    }
    // A pond behind (or before) the house where the sitting (or facing) palace may not be dug.
    const std::set<QChar> noDigging = Forbidden(xk, "忌动土");
    static const QRegularExpression pond(Q("(坐后|向前)[^；。]*池塘"));
    for (auto it = pond.globalMatch(xk); it.hasNext();) {
        const auto m = it.next();
        const QChar palace = AxisPalace(xk, m.captured(1) == Q("坐后"));
        if (noDigging.count(palace) && !m.captured(0).contains(Q("不宜")) && !m.captured(0).contains(Q("忌")))
            hit[kPondDug] = true;
    }
    return hit;
}

// Where the two methods meet: the door, the good directions the element rule voids, and an owner whose life
// group is not the house's.
const QString kDirections[8] = {Q("正北"), Q("东北"), Q("正东"), Q("东南"), Q("正南"), Q("西南"), Q("正西"), Q("西北")};
const QString kBadStars = Q("(?:五鬼|绝命|祸害|六煞)");

bool EastGroup(QChar trigram) { return Q("坎离震巽").contains(trigram); }

// The palace (坎 0 … 乾 7) of the door's mountain, from the header ("门向：巽方。"); −1 when not found.
int DoorPalace(const QString &xk)
{
    const QString line = LineStarting(xk, Q("门向："));
    const qsizetype m = line.size() > 3 ? Q("壬子癸丑艮寅甲卯乙辰巽巳丙午丁未坤申庚酉辛戌乾亥").indexOf(line[3]) : -1;
    return m < 0 ? -1 : static_cast<int>(m / 3);
}

// What the Eight Mansions part says of a palace's door: the four good stars invite one unless the element rule
// voids them; the four bad stars bar it.
enum class BaZhaiDoor { Unknown, Invited, Barred };
std::array<BaZhaiDoor, 8> BaZhaiDoors(const QString &bz)
{
    std::array<BaZhaiDoor, 8> out{};
    static const QRegularExpression re(Q("^★(.)宫\\(..\\):(..)\\("));
    for (const QString &l : Lines(bz))
        if (const auto m = re.match(l); m.hasMatch()) {
            const qsizetype p = kTrigrams.indexOf(m.captured(1));
            const bool bad = QRegularExpression(kBadStars).match(m.captured(2)).hasMatch();
            if (p >= 0)
                out[p] = bad || l.contains(Q("化为无")) ? BaZhaiDoor::Barred : BaZhaiDoor::Invited;
        }
    return out;
}

// Which method the report lets stand on a palace's door, by a line that names the palace and says so.
enum class Stands { Unsaid, XuanKong, BaZhai };
Stands Settled(const QString &bz, int palace)
{
    const QString name = QString(kTrigrams[palace]) + Q("宫");
    Stands out = Stands::Unsaid;
    for (const QString &l : Lines(bz))
        if (l.contains(name) && l.contains(Q("以玄空为准")))
            out = Stands::XuanKong;
        else if (l.contains(name) && l.contains(Q("以八宅为准")))
            out = Stands::BaZhai;
    return out;
}

bool TakesDoor(Use u) { return u == Use::Open || u == Use::Door; }

// The clauses of the lines that send someone somewhere, with the line they stand in.
std::vector<std::pair<QString, QString>> AdviceClauses(const QString &bz, std::initializer_list<const char *> heads)
{
    std::vector<std::pair<QString, QString>> out;
    for (const char *head : heads) {
        const QString line = LineStarting(bz, Q(head));
        for (const QString &c : line.split(QRegularExpression(Q("[；。]"))))
            out.emplace_back(c, line);
    }
    return out;
}

bool Negated(const QString &clause)
{
    for (const char *no : {"忌", "不宜", "化为无", "不取", "不作"})
        if (clause.contains(Q(no)))
            return true;
    return false;
}

enum MeetingRow {
    kDoorLineDeaf,     // the door line praises or opens a door whose palace the ruling keeps quiet or for air only
    kDoorUnsettled,    // the two methods differ on the door's palace and the report does not say which stands, or
                       // its closing gives the door to the method it overruled
    kPalaceUnsettled,  // the same on any palace
    kVoidedRecommended,// a voided good direction recommended, or recommended with a milder verdict than its own line
    kOwnerGoodUnnamed, // an owner of the other group told to use the good directions of his life without their names
    kOwnerSentToBad,   // a bedroom or desk line sends the owner into a bad direction of his life without saying so
    kMeetingRows
};
const char *const kMeetingNames[kMeetingRows] = {"door line against the ruling",   "door palace unsettled",
                                                 "palace unsettled between methods", "voided 吉方 recommended",
                                                 "owner's good directions unnamed", "owner sent to his bad directions"};

std::array<bool, kMeetingRows> MeetingContradictions(const Reports &r)
{
    std::array<bool, kMeetingRows> hit{};
    const QString &xk = r.xk, &bz = r.bz;
    const std::map<QChar, Use> uses = OpeningUses(xk);

    // A report whose door or owner cannot be read is counted, so that a changed header does not pass unread.
    const int door = DoorPalace(xk);
    hit[kDoorLineDeaf] = door < 0;
    if (door >= 0) {
        const Use ruled = uses.at(kTrigrams[door]);
        const Use said = ClauseUse(LineStarting(xk, Q("★房屋朝向与门向")));
        hit[kDoorLineDeaf] = (said != Use::None || !TakesDoor(ruled)) && said != ruled;
    }
    const std::array<BaZhaiDoor, 8> baZhai = BaZhaiDoors(bz);
    const bool closingToBaZhai = bz.contains(Q("再以八宅安门"));
    for (int p = 0; p < 8; ++p) {
        const bool xkDoor = TakesDoor(uses.at(kTrigrams[p]));
        const bool differ = (xkDoor && baZhai[p] == BaZhaiDoor::Barred) || (!xkDoor && baZhai[p] == BaZhaiDoor::Invited);
        const Stands stands = Settled(bz, p);
        const bool unsettled = differ && (stands == Stands::Unsaid || (stands == Stands::XuanKong && closingToBaZhai));
        hit[kPalaceUnsettled] |= unsettled;
        hit[kDoorUnsettled] |= unsettled && p == door;
    }

    // Voided good directions, and every clause of the advice lines that names one.
    static const QRegularExpression voided(Q("^★.宫\\((..)\\):.+吉星之吉气化为无"));
    for (const QString &l : Lines(bz))
        if (const auto m = voided.match(l); m.hasMatch()) {
            const QString dir = m.captured(1);
            for (const char *head : {"四吉方：", "大门：", "卧房：", "厨房：", "书房与书桌："}) {
                bool recommended = false, sameVerdict = false;
                for (const QString &c : LineStarting(bz, Q(head)).split(QRegularExpression(Q("[；。]")))) {
                    if (!c.contains(dir))
                        continue;
                    hit[kVoidedRecommended] |= c.contains(Q("吉中有损"));
                    recommended |= !Negated(c);
                    sameVerdict |= c.contains(Q("化为无"));
                }
                hit[kVoidedRecommended] |= recommended && !sameVerdict;
            }
        }

    // The owner: his life trigram ("福元坤宫") and the house's ("★伏位乾宫").
    static const QRegularExpression owner(Q("福元(.)宫")), house(Q("★伏位(.)宫"));
    const auto om = owner.match(bz), hm = house.match(bz);
    if (!om.hasMatch() || !hm.hasMatch()) {
        hit[kOwnerGoodUnnamed] = true;
        return hit;
    }
    const bool east = EastGroup(om.captured(1)[0]);
    QStringList good, bad;
    for (int p = 0; p < 8; ++p)
        (EastGroup(kTrigrams[p]) == east ? good : bad).append(kDirections[p]);
    if (east != EastGroup(hm.captured(1)[0])) {
        bool named = false;
        for (const QString &l : Lines(bz))
            named |= l.contains(Q("本命")) && std::all_of(good.begin(), good.end(), [&](const QString &d) {
                         return l.contains(d);
                     });
        hit[kOwnerGoodUnnamed] = !named;
    }
    const auto clauses = AdviceClauses(bz, {"卧房：", "书房与书桌："});
    for (size_t i = 0; i < clauses.size(); ++i) {
        const auto &[clause, line] = clauses[i];
        if (Negated(clause))
            continue;
        for (const QString &d : bad) {
            const bool named = QRegularExpression(d + Q("[^，；。、（）]{0,4}") + kBadStars).match(line).hasMatch();
            const bool next = i + 1 < clauses.size() && clauses[i + 1].first.startsWith(Q("此方虽属"));
            hit[kOwnerSentToBad] |= clause.contains(d) && !named && !next;
        }
    }
    return hit;
}

// A man's birth year at or before `year` whose life group is (sameGroup) or is not the house's on mountain m.
int OwnerYear(int year, int m, bool sameGroup)
{
    const auto east = [](int trigram) { return trigram == 0 || trigram == 1 || trigram == 3 || trigram == 4; };
    while (east(LifeTrigram(year, true)) != (east(MountainTrigram(m)) == sameGroup))
        --year;
    return year;
}

// ---- labels and the 打劫 and 五黄 rulings against the text ----

// Where a label or a ruling of the report says one thing and its own text another. Counted per chart like the
// rows above; the degree the house was laid out at decides which side a replacement chart leans to.
enum LabelRow {
    kDaJieSwitchedOff, // 打劫 announced while a palace of its triad is kept quiet, its force said to fail, or the
                       // facing palace is the period's 正神; or said unusable without the 正神 at the facing
    kFiveDugLater,     // a period's 布局 puts water where the mountain star forbids digging, without saying so
    kGateHeaderUsable, // the city-gate header labels a gate timely that the gate sentence refuses
    kFiveLabelTimely,  // a palace's star line calls 五黄 生 or 旺 outside 五运 while the text keeps it quiet
    kTiGuaBothSides,   // the replacement-chart header names a 兼 side the degree does not lean to
    kNoDoorButDoor,    // "no palace may take a door" followed by palaces that may
    kLabelRows
};
const char *const kLabelRowNames[kLabelRows] = {"打劫 switched off", "五黄 dug in a later period",
                                                "gate header against its sentence", "五黄 labelled timely",
                                                "替卦 header names the wrong side", "no door, then doors"};

// A mountain star that forbids digging in period q: 五黄 outside 五运, 二黑 when dead or killing.
bool NoDiggingStar(int star, int q)
{
    const int state = (star - q + 9) % 9;
    return star == 5 ? q != 5 : star == 2 && state >= 3 && state <= 7;
}

// The palace a clause names last before `mark`, once the phrases that deny it are taken out ("在正北坎宫，宜此方
// 见水", "坐后见水", "在向首午"); none when the clause does not say `mark`.
std::optional<QChar> LastPalaceBefore(const QString &xk, QString clause, const QStringList &denials,
                                      const QRegularExpression &mark)
{
    for (const QString &d : denials)
        clause.remove(d);
    const auto w = mark.match(clause);
    if (!w.hasMatch())
        return std::nullopt;
    static const QRegularExpression place(kNamedPalace + Q("|(向首|向前)|(坐山|坐后)"));
    std::optional<QChar> last;
    for (auto it = place.globalMatch(clause.left(w.capturedStart())); it.hasNext();) {
        const auto m = it.next();
        last = m.hasCaptured(1) ? m.captured(1)[0] : AxisPalace(xk, m.hasCaptured(3));
    }
    return last;
}

// The palace a clause of a period's lines puts water in.
std::optional<QChar> WateredPalace(const QString &xk, const QString &clause)
{
    static const QRegularExpression water(Q("见水|近水|有水"));
    return LastPalaceBefore(xk, clause, {Q("不宜见水"), Q("不宜大水"), Q("须有大水")}, water);
}

// 打劫: the triad its line names, whether the report calls it unusable this period, and whether it announces
// it while keeping a palace of the triad quiet or saying that its force fails.
bool DaJieSwitchedOff(const QString &xk)
{
    QStringList lines;
    for (const QString &l : Lines(xk))
        if (l.contains(Q("北斗七星")))
            lines.append(l);
    if (lines.isEmpty())
        return false;
    const QString triad = lines[0].contains(Q("离宫打劫")) ? Q("离震乾") : Q("巽坎兑");
    const QChar zheng = ZhengShen(xk);
    const bool zhengAtFacing = !zheng.isNull() && zheng == AxisPalace(xk, false);
    bool unusable = true, announced = false, quiet = false;
    for (const QString &l : lines) {
        const bool no = l.contains(Q("不能用")) || l.contains(Q("不可用"));
        unusable = unusable && no;
        announced = announced || !no;
        quiet = quiet || l.contains(Q("宜静")) || l.contains(Q("有减"));
    }
    const std::map<QChar, Use> uses = OpeningUses(xk);
    for (QChar c : triad)
        quiet = quiet || uses.at(c) == Use::Quiet;
    if (zhengAtFacing)
        return announced;
    return !unusable ? announced && quiet : true;
}

// Which label rows one house's report breaks; degree is the sitting degree it was laid out at.
std::array<bool, kLabelRows> LabelContradictions(const Reports &r, int mountain, double degree)
{
    std::array<bool, kLabelRows> hit{};
    const QString &xk = r.xk;
    const int period = BuildingPeriod(xk);
    hit[kDaJieSwitchedOff] = DaJieSwitchedOff(xk);

    // Each period's verdict and 布局, with the period their lines are for.
    const QStringList l = Lines(xk);
    for (qsizetype i = 1; i < l.size(); ++i) {
        if (!l[i].startsWith(Q("布局：")) || l[i - 1].size() < 2 || l[i - 1][1] != Q("运")[0])
            continue;
        const int q = kNumerals.indexOf(l[i - 1][0]) + 1;
        for (const QString &clause : (l[i - 1] + l[i]).split(QRegularExpression(Q("[；。—]"))))
            if (const auto c = WateredPalace(xk, clause))
                hit[kFiveDugLater] |= NoDiggingStar(StarOf(xk, *c, false).first, q) && !clause.contains(Q("忌动土"));
    }

    // The gate header against the gate sentence of the chart's explanation.
    static const QRegularExpression header(Q("★正城门:.\\((.)-(.)([^)]*)\\)，副城门:.\\((.)-(.)([^)]*)\\)"));
    const QStringList gates = LineStarting(xk, Q("●城门：")).split(Q("；"));
    if (const auto h = header.match(xk); h.hasMatch() && gates.size() == 2)
        for (int k = 0; k < 2; ++k) {
            const QString state = h.captured(2 + 3 * k), note = h.captured(3 + 3 * k);
            const bool timely = (state == Q("旺") || state == Q("生")) && !note.contains(Q("不"));
            hit[kGateHeaderUsable] |= timely && gates[k].contains(Q("不作城门用"));
            hit[kGateHeaderUsable] |= !timely && gates[k].contains(Q("可用"));
        }

    // 五黄 outside 五运 in a palace's star line.
    static const QRegularExpression five(Q("(?:山|向)星5\\((?:生|旺)\\)"));
    if (period != 5 && xk.contains(Q("五黄")))
        for (QChar c : kTrigrams + Q("中"))
            if (const QStringList section = PalaceSection(xk, c); section.size() > 1 && five.match(section[1]).hasMatch())
                hit[kFiveLabelTimely] = true;

    // The replacement chart's header names the side the degree leans to, or none on the centre line.
    static const QRegularExpression tiGua(Q("◎.运-.山.向([^\\r\\n]*)"));
    if (const auto t = tiGua.match(xk); t.hasMatch()) {
        const double lean = std::remainder(degree - Centre(mountain), 360.0);
        const int side = lean > 1e-6 ? (mountain + 1) % 24 : lean < -1e-6 ? (mountain + 23) % 24 : -1;
        const QString named = t.captured(1);
        const qsizetype jian = named.indexOf(Q("兼"));
        hit[kTiGuaBothSides] = named.count(Q("兼")) > 1 || (side < 0) != (jian < 0) ||
                               (side >= 0 && !named.contains(Q("兼(") + kMountains[side]));
    }

    // The 门路水口 line that finds no palace for a door and then names one.
    const QString opening = LineStarting(xk, Q("门路水口："));
    if (opening.contains(Q("无可开门")))
        for (const auto &[palace, use] : OpeningUses(xk))
            hit[kNoDoorButDoor] |= use == Use::Open || use == Use::Door;
    return hit;
}

// Every one of the 432 charts: f(period, mountain, xiaGua, a building year in the middle of the period).
template <class F> void ForEachChart(F f)
{
    for (int period = 1; period <= 9; ++period)
        for (int m = 0; m < 24; ++m)
            for (bool xiaGua : {true, false})
                f(period, m, xiaGua, 1864 + 20 * (period - 1) + 10);
}

template <size_t N> void Count(std::array<int, N> &counts, const std::array<bool, N> &hit)
{
    for (size_t i = 0; i < N; ++i)
        counts[i] += hit[i];
}

// Where a client's door stands: on the facing mountain, on a side palace (the one after the facing palace, on the
// mountain of the facing's 元), or in the facing palace on the mountain of the next 元.
enum class DoorAt { Facing, Side, OtherYuan };
int DoorMountain(int m, DoorAt at)
{
    const int facing = (m + 12) % 24;
    return at == DoorAt::Facing ? facing : at == DoorAt::Side ? (facing + 3) % 24 : 3 * (facing / 3) + (facing + 1) % 3;
}

// Every house with its door at each of the three places, each for an owner about thirty years older than the house
// of the house's life group and one of the other: read(report, mountain) sees each report once, and done(setting)
// follows the 432 reports of each of the six settings.
template <class Read, class Done> void ForEverySetting(Read read, Done done)
{
    TempProgramFolder folder;
    MQuorin q;
    for (const DoorAt at : {DoorAt::Facing, DoorAt::Side, DoorAt::OtherYuan})
        for (const bool sameGroup : {true, false}) {
            ForEachChart([&](int period, int m, bool xiaGua, int year) {
                const Reports r = Write(q, m, year, xiaGua, DoorMountain(m, at), OwnerYear(year - 30, m, sameGroup));
                ASSERT_FALSE(r.xk.isEmpty()) << period << " " << m << " " << q.sMessage.toStdString();
                read(r, m);
            });
            done(std::string(at == DoorAt::Facing ? ", facing door" : at == DoorAt::Side ? ", side door"
                                                                                         : ", door of the other 元") +
                 (sameGroup ? ", owner of the house's group" : ", owner of the other group"));
        }
}

// Each row of a counter is 0 in every setting.
template <size_t N, class Rows>
void ExpectNoneInAnySetting(Rows rows, const char *const (&names)[N])
{
    std::array<int, N> counts{};
    ForEverySetting([&](const Reports &r, int) { Count(counts, rows(r)); },
                    [&](const std::string &setting) {
                        for (size_t i = 0; i < N; ++i)
                            EXPECT_EQ(counts[i], 0) << names[i] << setting;
                        counts = {};
                    });
}

} // namespace

TEST(ReportAgreement, NoReportContradictsItself)
{
    TempProgramFolder folder;
    MQuorin q;
    std::array<int, kRows> counts{};
    ForEachChart([&](int period, int m, bool xiaGua, int year) {
        const Reports r = Write(q, m, year, xiaGua, Centre(m), 4 * m + 1);
        ASSERT_FALSE(r.xk.isEmpty()) << period << " " << m << " " << q.sMessage.toStdString();
        Count(counts, Contradictions(r));
    });
    for (int i = 0; i < kRows; ++i)
        EXPECT_EQ(counts[i], 0) << kRowNames[i];

    // The houses read in full: off their mountains' centres, 兼 in both variants, before and after the cycle.
    for (const ReadingHouse &h : kReadingHouses) {
        const Reports r = Write(q, h.mountain, h.year, h.xiaGua, h.degree);
        ASSERT_FALSE(r.xk.isEmpty()) << h.name;
        const auto hit = Contradictions(r);
        for (int i = 0; i < kRows; ++i)
            EXPECT_FALSE(hit[i]) << h.name << ": " << kRowNames[i];
        const auto label = LabelContradictions(r, h.mountain, h.degree);
        for (int i = 0; i < kLabelRows; ++i)
            EXPECT_FALSE(label[i]) << h.name << ": " << kLabelRowNames[i];
    }
}

TEST(ReportAgreement, TwoMethodsAndLabelsAgreeForSideDoorsAndOwnersOfEitherGroup)
{
    // Each report is read by both sets of rows, counted per setting.
    std::array<int, kMeetingRows> meeting{};
    std::array<int, kLabelRows> labels{};
    ForEverySetting(
        [&](const Reports &r, int m) {
            Count(meeting, MeetingContradictions(r));
            Count(labels, LabelContradictions(r, m, Centre(m)));
        },
        [&](const std::string &setting) {
            for (int i = 0; i < kMeetingRows; ++i)
                EXPECT_EQ(meeting[i], 0) << kMeetingNames[i] << setting;
            for (int i = 0; i < kLabelRows; ++i)
                EXPECT_EQ(labels[i], 0) << kLabelRowNames[i] << setting;
            meeting = {};
            labels = {};
        });
}

TEST(ReportAgreement, PeriodsAreDatedFromTheBuildingYearsCycle)
{
    // Building year, then lines the 山运断 must hold: the building period and the next, in the 180-year cycle
    // that holds the building year, running on past its end. Every period the report dates (a 三般卦 house's
    // among them) lies in the nine from the building one.
    struct Case {
        int year;
        const char *building, *next;
        int m = 1;
    };
    const Case cases[] = {
        {1850, "建宅元运：九运（1844—1863）", "一运（1864—1883）："},
        {2110, "建宅元运：四运（2104—2123）", "五运（2124—2143）："},
        {2004, "建宅元运：八运（2004—2023）", "九运（2024—2043）："},
        {2040, "建宅元运：九运（2024—2043）", "一运（2044—2063）："},
        {44, "建宅元运：九运（44—63）", "一运（64—83）："},
        {1835, "建宅元运：八运（1824—1843）", "九运（1844—1863）：", 16},
        {2050, "建宅元运：一运（2044—2063）", "二运（2064—2083）：", 12},
        {1970, "建宅元运：六运（1964—1983）", "七运（1984—2003）：", 10},
    };
    TempProgramFolder folder;
    MQuorin q;
    static const QRegularExpression range(Q("(\\d{2,4})—\\d{2,4}"));
    for (const Case &c : cases) {
        const Reports r = Write(q, c.m, c.year, true, Centre(c.m), 4 * c.m + 1);
        ASSERT_FALSE(r.xk.isEmpty()) << c.year;
        EXPECT_TRUE(r.xk.contains(Q(c.building))) << c.year;
        EXPECT_TRUE(r.xk.contains(Q(c.next))) << c.year;
        const int first = 44 + 20 * ((c.year - 44) / 20);
        for (auto it = range.globalMatch(r.xk); it.hasNext();) {
            const int y = it.next().captured(1).toInt();
            EXPECT_TRUE(y >= first && y < first + 180) << c.year << ": " << y;
        }
    }
}

TEST(ReportAgreement, MountainTextQuotesTheConfiguredJianWidth)
{
    for (const auto &[ini, width] : {std::pair<const char *, const char *>{"", "4.5"}, {"[set]\nfJian=3\n", "3"},
                                     {"[set]\nfJian=6.25\n", "6.25"}}) {
        TempProgramFolder folder{QByteArray(ini)};
        MQuorin q;
        const Reports r = Write(q, 1, 2004, true, 0.0, 5);
        ASSERT_FALSE(r.xk.isEmpty()) << width;
        EXPECT_TRUE(r.xk.contains(Q("偏离正中") + Q(width) + Q("度以上皆用替卦起星"))) << width;
        EXPECT_FALSE(r.xk.contains(Q("{兼}"))) << width;
    }
}

// ---- beds, desks and studies, labels beside verdicts, and joined text ----

namespace {

// Where the report sends someone to sleep or study in a palace the flying stars bar, without naming the palace
// beside the advice; where a label or a claim says other than the verdict beside it; and where joined lines read
// as joined.
enum RestRow {
    kOwnerListMountain, // the owner's own list names a palace whose mountain star is 五黄 or an out-of-season 二黑
    kOwnerListFacing,   // ... whose facing star is 五黄 or an out-of-season 二黑, or 二 with 五, or 五 with 九
    kRoomBarred,        // the bedroom line puts the main bedroom, the old or those wanting children in a barred palace
    kStudyBarred,       // the study (the 文昌 line, the study line, the rooms kept for the study) in a barred palace
    kScholarBarred,     // the flying stars' 文昌 palaces, "适合读书人居住", include a barred one without naming it
    kVerdictBarred,     // a direction's verdict places bedrooms, desks or a study in a barred palace
    kFiveGrowing,       // the period line calls 五 生 or 旺 outside 五运 (the palaces' labels say 煞)
    kHeShiAgainst,      // an axis 合十 "利丁" or "利财" beside a building period whose verdict denies it
    kCentreFlat,        // "当令山星入中…丁平" (or 向星…财平) beside a report that says the star is locked in
    kDoorReasonTwice,   // the reason the door follows the flying stars given more than once
    kBestDoorUnnamed,   // the strongest door of the house text withdrawn by the general rule without its palace
    kMasterBedSplit,    // the main bedroom recommended in one sentence and forbidden to the owner in another
    kRestRows
};
const char *const kRestRowNames[kRestRows] = {
    "owner's list: barred mountain star", "owner's list: barred facing star or pair", "rooms in a barred palace",
    "study in a barred palace", "scholars sent to a barred 文昌 palace", "direction verdict in a barred palace", "五 growing in the period line",
    "合十 against the verdict", "centre star flat", "door reason repeated", "strongest door withdrawn unnamed",
    "main bedroom split from the owner's word"};

// A palace (坎 0 … 乾 7, 中 8) by the direction the reports name it with, the centre as "中宫".
QString DirectionOf(int p) { return p < 8 ? kDirections[p] : Q("中宫"); }

// Why the flying stars of the building period bar beds and desks from each palace (坎 … 乾, 中), read from the
// palaces' star lines: by its mountain star, by its facing star or the pair.
struct Barred {
    std::array<bool, 9> mountain{}, facing{};
    bool Any(int p) const { return mountain[p] || facing[p]; }
};
Barred BarredPalaces(const QString &xk)
{
    Barred b;
    const int period = BuildingPeriod(xk);
    const auto quiet = [&](int star, QChar state) {
        return (star == 5 && period != 5) || (star == 2 && (state == Q("死")[0] || state == Q("煞")[0]));
    };
    for (int p = 0; p < 9; ++p) {
        const QChar c = (kTrigrams + Q("中"))[p];
        const auto [m, ms] = StarOf(xk, c, false);
        const auto [f, fs] = StarOf(xk, c, true);
        b.mountain[p] = quiet(m, ms);
        b.facing[p] = quiet(f, fs) || m * f == 10 || m * f == 45;
    }
    return b;
}

// The palaces a piece of text names by direction ("东南", "中宫").
std::vector<int> DirectionsIn(const QString &text)
{
    std::vector<int> out;
    for (int p = 0; p < 9; ++p)
        if (text.contains(DirectionOf(p)))
            out.push_back(p);
    return out;
}

// Whether a text names palace p with what bars it and keeps beds or desks from it.
bool Qualifies(const QString &text, int p)
{
    const QRegularExpression re(DirectionOf(p) + Q("[^；。，（）]{0,3}(?:山星|向星)?(?:五黄|失令之二黑|二五同宫|五九同宫)[^。]*(?:不宜|忌)"));
    return re.match(text).hasMatch();
}

// The clauses of a line split at "；" and "。" outside brackets, each without the notes the report sets after
// it ("（本运…）"), so that a clause is read for what it sends, not for its note.
QStringList AdviceParts(const QString &line)
{
    QStringList out{QString()};
    int depth = 0;
    for (QChar c : line) {
        depth += c == QChar(0xFF08) ? 1 : c == QChar(0xFF09) ? -1 : 0;
        if ((c == QChar(0xFF1B) || c == QChar(0x3002)) && depth == 0)
            out.append(QString());
        else
            out.last() += c;
    }
    static const QRegularExpression note(Q("（本运[^）]*）"));
    for (QString &c : out)
        c.remove(note);
    return out;
}

// Palaces a line sends to by the clauses `sends` picks that the line does not qualify.
bool SendsUnnamed(const QString &line, const Barred &b, bool (*sends)(const QString &))
{
    for (const QString &c : AdviceParts(line))
        if (sends(c))
            for (int p : DirectionsIn(c))
                if (b.Any(p) && !Qualifies(line, p))
                    return true;
    return false;
}

bool BedClause(const QString &c)
{
    return (c.contains(Q("主卧")) || c.contains(Q("老人")) || c.contains(Q("求子"))) && !c.contains(Q("不宜"));
}
bool StudyClause(const QString &c)
{
    return (c.contains(Q("书房")) || c.contains(Q("书桌")) || c.contains(Q("设在"))) && !c.contains(Q("面向")) &&
           !c.contains(Q("不宜作书房"));
}
bool StudyNamed(const QString &c) { return c.contains(Q("宜作书房")) || c.contains(Q("可做书房")); }

std::array<bool, kRestRows> RestContradictions(const Reports &r)
{
    std::array<bool, kRestRows> hit{};
    const QString &xk = r.xk, &bz = r.bz;
    const Barred b = BarredPalaces(xk);

    // The owner's own four directions, named before the sentence that sends his bed and desk there.
    QString owner;
    for (const QString &line : Lines(bz))
        if (line.startsWith(Q("★宅主")) && line.contains(Q("本命吉方：")))
            owner = line;
    if (!owner.isEmpty()) {
        for (int p : DirectionsIn(owner.left(owner.indexOf(Q("宅主本人之床位"))))) {
            hit[kOwnerListMountain] |= b.mountain[p] && !Qualifies(owner, p);
            hit[kOwnerListFacing] |= b.facing[p] && !b.mountain[p] && !Qualifies(owner, p);
        }
    }
    hit[kRoomBarred] = SendsUnnamed(LineStarting(bz, Q("卧房：")), b, BedClause);
    hit[kStudyBarred] = SendsUnnamed(LineStarting(bz, Q("书房与书桌：")), b, StudyClause);
    for (const char *head : {"★文昌位：", "四凶方：", "厕所与杂物："})
        hit[kStudyBarred] |= SendsUnnamed(LineStarting(bz, Q(head)), b, StudyNamed);

    // The flying stars' 文昌 palaces, by their trigrams.
    const QString wen = LineStarting(xk, Q("★文昌位："));
    for (QChar c : wen.left(wen.indexOf(QChar(0xFF0C)))) // ，
        if (const qsizetype p = (kTrigrams + Q("中")).indexOf(c); p >= 0)
            hit[kScholarBarred] |= b.Any(static_cast<int>(p)) && !Qualifies(wen, static_cast<int>(p));

    // A good star's verdict that places rooms, with the lines under it up to the next direction.
    const QStringList l = Lines(bz);
    static const QRegularExpression verdict(Q("^★(.)宫\\(..\\):(?:生气|天医|延年|伏位)\\("));
    for (qsizetype i = 0; i < l.size(); ++i) {
        const auto m = verdict.match(l[i]);
        if (!m.hasMatch() || l[i].contains(Q("化为无")))
            continue;
        const int p = static_cast<int>(kTrigrams.indexOf(m.captured(1)));
        QString block = l[i];
        for (qsizetype k = i + 1; k < l.size() && l[k].startsWith(QChar(0x25CE)); ++k) // ◎
            block += l[k];
        const bool places = QRegularExpression(Q("卧|书桌|书房|居此方|居伏位房")).match(l[i]).hasMatch();
        hit[kVerdictBarred] |= p >= 0 && places && b.Any(p) && !Qualifies(block, p);
    }

    // Labels and claims beside the verdicts.
    const int period = BuildingPeriod(xk);
    hit[kFiveGrowing] = period != 5 && QRegularExpression(Q("五\\((?:生|旺)\\)")).match(LineStarting(xk, Q("★此步元运，"))).hasMatch();
    const QString v = BuildingVerdict(xk);
    const bool dingWeak = v.contains(Q("不旺丁")) || v.contains(Q("人丁平平")) || Declines(v);
    const bool caiWeak = v.contains(Q("不旺财")) || v.contains(Q("财运平平")) || Declines(v);
    hit[kHeShiAgainst] = (dingWeak && xk.contains(Q("合十，利丁"))) || (caiWeak && xk.contains(Q("合十，利财")));
    hit[kCentreFlat] = (QRegularExpression(Q("当令山星入中[^。]*，丁平")).match(xk).hasMatch() &&
                        (xk.contains(Q("人丁受困")) || xk.contains(Q("人丁之气受困")))) ||
                       (QRegularExpression(Q("向星入中[^。]*财平")).match(xk).hasMatch() && xk.contains(Q("财气受困")));

    // Joined text.
    hit[kDoorReasonTwice] = bz.count(Q("门为纳气之口，元运之气重于八宅方位之静气")) > 1;
    const QString door = LineStarting(bz, Q("大门："));
    static const QRegularExpression best(Q("开(.)门（(..)）为..门，门宅相生，最为得力"));
    if (const auto m = best.match(door); m.hasMatch()) {
        const QChar trigram = m.captured(1)[0];
        hit[kBestDoorUnnamed] = !TakesDoor(OpeningUses(xk).at(trigram)) &&
                                !door.contains(m.captured(2) + QString(trigram) + Q("宫"));
    }
    const QString bed = LineStarting(bz, Q("卧房："));
    static const QRegularExpression master(Q("主卧宜设在(..)"));
    if (const auto m = master.match(bed); m.hasMatch() && bed.contains(m.captured(1) + Q("为本命")))
        for (const QString &sentence : bed.split(QChar(0x3002)))
            if (sentence.contains(Q("主卧宜设在")))
                hit[kMasterBedSplit] = !sentence.contains(m.captured(1) + Q("为本命"));
    return hit;
}

} // namespace

TEST(ReportAgreement, BedsDesksLabelsAndJoinedTextAgreeForSideDoorsAndOwnersOfEitherGroup)
{
    // The same houses, doors and owners as above: beds, desks and studies sent into palaces the flying stars bar
    // name those palaces, labels say what the verdicts beside them say, and no line reads as two joined ones.
    ExpectNoneInAnySetting(RestContradictions, kRestRowNames);
}

// ---- advice built on the ruling: the door to take first, new doors where digging is forbidden, 打劫 and 正神,
// and the Eight Mansions drainage ----

namespace {

enum AdviceRow {
    kTimelyDemoted,   // another palace put first beside the one that holds the period's timely facing star, or
                      // one with a weaker facing star put first
    kSolidBackDoor,   // the sitting palace of a house that must keep its back solid put first for the door
    kMoveIntoDug,     // a move list names a palace whose mountain star forbids digging before another, or
                      // without saying that a new door there is building work
    kLaterDoorDug,    // a period's 布局 opens a door where its mountain star forbids digging, without that word
    kDaJieZhengOff,   // 打劫 switched off by a 正神 palace that is not the facing one, or off without its reason
    kDrainIntoWater,  // the Eight Mansions drainage runs out of a palace the flying stars give water, unsaid
    kAdviceRows
};
const char *const kAdviceNames[kAdviceRows] = {"timely door demoted", "solid back sent a door",
                                               "move list into a dug palace", "later door where digging is barred",
                                               "打劫 off away from the facing", "drainage out of a water palace"};

// How a palace's star line ranks its facing star as a door: 旺 first, 生, then 退; lower is better.
int DoorRankOf(const QString &xk, QChar palace)
{
    const QChar state = StarOf(xk, palace).second;
    return state == Q("旺")[0] ? 0 : state == Q("生")[0] ? 1 : state == Q("退")[0] ? 2 : 3;
}

// A list of palaces offered for a door: those whose mountain star forbids digging in period q come after the
// others, but for the palace of the timely facing star, which comes first; each is followed by the word that a new
// door there is building work.
bool DugFirstOrUnsaid(const QString &xk, const QString &list, int q)
{
    static const QRegularExpression re(kNamedPalace + Q("(（[^）]*）)?"));
    bool dugSeen = false;
    for (auto it = re.globalMatch(list); it.hasNext();) {
        const auto m = it.next();
        const bool dug = NoDiggingStar(StarOf(xk, m.captured(1)[0], false).first, q);
        if ((dug && !m.captured(2).contains(Q("择时"))) || (!dug && dugSeen))
            return true;
        dugSeen = dugSeen || (dug && DoorRankOf(xk, m.captured(1)[0]) > 0);
    }
    return false;
}

// The move list of the Xuan Kong door line and the Eight Mansions order of doors, each up to its "。".
const QRegularExpression kDoorLists(Q("(?:宜改门于|门位次第：)([^。]*)"));

// The palace a clause opens a door in ("开门", "门可开").
std::optional<QChar> DoorPalaceOfClause(const QString &xk, const QString &clause)
{
    static const QRegularExpression door(Q("开门|门可开"));
    return LastPalaceBefore(xk, clause, {Q("忌开门"), Q("不宜开门")}, door);
}

std::array<bool, kAdviceRows> AdviceContradictions(const Reports &r)
{
    std::array<bool, kAdviceRows> hit{};
    const QString &xk = r.xk, &bz = r.bz;
    const int period = BuildingPeriod(xk);
    const QChar sit = AxisPalace(xk, true), face = AxisPalace(xk, false);
    const QString landform = LineStarting(xk, Q("形峦："));
    const bool solidBack = landform.contains(Q("实山")) || landform.contains(Q("坐实"));

    // The palaces both methods open, put first beside a palace the flying stars open and the Eight Mansions bar.
    static const QRegularExpression methods(Q("^◎(?:..)(.)宫二法相违：.*另有(.*)二法皆宜开门，宜先取之"));
    for (const QString &l : Lines(bz))
        if (const auto m = methods.match(l); m.hasMatch()) {
            const QChar palace = m.captured(1)[0];
            const int rank = DoorRankOf(xk, palace);
            hit[kTimelyDemoted] |= rank == 0;
            for (QChar x : PalacesInOrder(m.captured(2))) {
                hit[kTimelyDemoted] |= DoorRankOf(xk, x) > rank;
                hit[kSolidBackDoor] |= x == sit && solidBack;
            }
            hit[kMoveIntoDug] |= DugFirstOrUnsaid(xk, m.captured(2), period);
        }
    // The door line's move list and the Eight Mansions order of doors: best facing star first, palaces that may
    // not be dug last, and not the sitting palace of a house that must keep its back solid.
    for (const QString &text : {xk, bz})
        for (auto it = kDoorLists.globalMatch(text); it.hasNext();) {
            const QString named = it.next().captured(1);
            hit[kMoveIntoDug] |= DugFirstOrUnsaid(xk, named, period);
            int last = 0;
            for (QChar x : PalacesInOrder(named)) {
                const int rank =
                    DoorRankOf(xk, x) > 0 && NoDiggingStar(StarOf(xk, x, false).first, period) ? 9 : DoorRankOf(xk, x);
                hit[kTimelyDemoted] |= rank < last;
                hit[kSolidBackDoor] |= x == sit && solidBack;
                last = rank;
            }
        }

    // A withdrawn door sent elsewhere ("宜改取…") carries the word a new door there needs.
    static const QRegularExpression instead(Q("宜改取") + kNamedPalace + Q("(（[^）]*）)?"));
    for (auto it = instead.globalMatch(bz); it.hasNext();)
        hit[kMoveIntoDug] |= DugFirstOrUnsaid(xk, it.next().captured(0), period);

    // Each period's 布局 that opens a door where that period's mountain star forbids digging.
    const QStringList l = Lines(xk);
    for (qsizetype i = 1; i < l.size(); ++i) {
        if (!l[i].startsWith(Q("布局：")) || l[i - 1].size() < 2 || l[i - 1][1] != Q("运")[0])
            continue;
        const int q = kNumerals.indexOf(l[i - 1][0]) + 1;
        for (const QString &clause : l[i].split(QRegularExpression(Q("[；。]"))))
            if (const auto c = DoorPalaceOfClause(xk, clause))
                hit[kLaterDoorDug] |= NoDiggingStar(StarOf(xk, *c, false).first, q) && !clause.contains(Q("择时"));
    }

    // 打劫 with the period's 正神 in its triad: off only where the 正神 palace is the facing one, and then with
    // its reason.
    const QChar zheng = ZhengShen(xk);
    for (const QString &line : l) {
        if (!line.contains(Q("北斗七星")))
            continue;
        const QString triad = line.contains(Q("离宫打劫")) ? Q("离震乾") : Q("巽坎兑");
        if (zheng.isNull() || !triad.contains(zheng))
            continue;
        const bool off = line.contains(Q("不能用"));
        hit[kDaJieZhengOff] |= zheng == face ? !off || !line.contains(Q("向首")) : off;
    }

    // The drainage of the Eight Mansions reading out of a palace the flying stars give water.
    const auto [water, ruling] = DrainageLines(bz);
    const std::map<QChar, Use> uses = OpeningUses(xk);
    for (const auto &[stems, palace] : kDrainStems)
        if (water.contains(Q("水宜放") + stems) && uses.at(palace) == Use::Open)
            hit[kDrainIntoWater] |= !(ruling.contains(QString(palace) + Q("宫")) && ruling.contains(Q("以玄空为准")) &&
                                      ruling.contains(Q("不宜由此方流出")));
    return hit;
}

} // namespace

TEST(ReportAgreement, AdviceFollowsTheRulingForSideDoorsAndOwnersOfEitherGroup)
{
    // The same 2,592 reports as above: the door to take first, new doors where digging is forbidden, 打劫 beside
    // the 正神, and the drainage, counted per chart and setting.
    ExpectNoneInAnySetting(AdviceContradictions, kAdviceNames);
}

// ---- the door ranked once, beds and pair warnings that follow the ruling, reasons tied to their periods, and the
// two methods' studies ----

namespace {

enum RankRow {
    kRankingsDisagree,  // the move list and the Eight Mansions door list order two palaces the other way round, or
                        // a 二法相违 line gives its palace a place (为先, 居第三) the door list does not
    kDugBeforeClean,    // a ranking puts a palace whose mountain star forbids digging before a clean one, other than
                        // the timely facing star's palace
    kSecondDoorBarred,  // the door line's "X门（…）次之" names a palace the flying stars keep quiet or for air, unwithdrawn
    kSecondDoorBack,    // ... or the sitting palace, which takes a back door at most
    kWithdrawnNowhere,  // a door withdrawn with "另择吉门" and no palace named to go to
    kWithdrawReason,    // a reason why the door follows the flying stars ("门以玄空为准：…") given in full more than
                        // once, in whatever words (kDoorReasonTwice counts the one wording)
    kOtherYuanUnmoved,  // a door of the other 元 in a palace that takes a door, not moved to its palace's own mountain
    kBedResent,         // a clause of the bedroom line sends someone into a palace another clause bars
    kPairUnremedied,    // a pair warning of the 忌动 line on a palace the report opens, without its remedy
    kFireGateTimely,    // "火照天门" where the 九 is 旺 or 生
    kDaJieReasonRefuted,// 打劫 off for a reason the landform line grants
    kFuFanUndated,      // a whole-chart 伏吟/反吟 rule on water behind with no period, against a later 布局
    kDigTwoWays,        // a new door's 择时 and "忌动土" in one sentence
    kStudyMethods,      // the two 文昌位 lines name different palaces and do not say which method each is
    kRankRows
};
const char *const kRankNames[kRankRows] = {
    "door rankings disagree",   "dug palace before a clean one", "次之 door in a barred palace",
    "次之 door in the sitting palace", "door withdrawn to nowhere", "door reasons given twice",
    "other 元 door not moved",  "bed re-sent into a barred palace", "pair warning without remedy",
    "火照天门 on a timely 九",  "打劫 reason refuted",           "伏反吟 water rule without period",
    "dig and do not dig",       "文昌 lines without their methods"};

std::array<bool, kRankRows> RankContradictions(const Reports &r)
{
    std::array<bool, kRankRows> hit{};
    const QString &xk = r.xk, &bz = r.bz;
    const int period = BuildingPeriod(xk);
    const std::map<QChar, Use> uses = OpeningUses(xk);
    const auto takesDoor = [&](QChar p) { return TakesDoor(uses.at(p)); };
    const QChar sit = AxisPalace(xk, true);
    const QString landform = LineStarting(xk, Q("形峦："));
    const auto dug = [&](QChar p) { return NoDiggingStar(StarOf(xk, p, false).first, period); };
    const auto timely = [&](QChar p) { return StarOf(xk, p).second == Q("旺")[0]; };

    // One order of doors in the Xuan Kong move list and the Eight Mansions door list, dug palaces after clean ones
    // but for the timely palace.
    std::set<std::pair<QChar, QChar>> before;
    for (const QString &text : {xk, bz})
        for (auto it = kDoorLists.globalMatch(text); it.hasNext();) {
            const std::vector<QChar> list = PalacesInOrder(it.next().captured(1));
            for (size_t i = 0; i < list.size(); ++i)
                for (size_t j = i + 1; j < list.size(); ++j) {
                    before.insert({list[i], list[j]});
                    hit[kDugBeforeClean] |= dug(list[i]) && !dug(list[j]) && !timely(list[i]);
                }
        }
    for (const auto &[a, b] : before)
        hit[kRankingsDisagree] |= before.count({b, a}) > 0;
    // A 二法相违 line that gives its palace's place in the order ("门以此方为先", "居第三") names the place the order
    // gives it.
    const std::vector<QChar> order = PalacesInOrder(LineStarting(bz, Q("★本运门位次第：")));
    static const QRegularExpression place(Q("^◎(?:..)(.)宫二法相违：.*(?:门以此方为先|居第(.))"));
    for (const QString &line : Lines(bz))
        if (const auto m = place.match(line); m.hasMatch()) {
            const qsizetype k = m.captured(2).isEmpty() ? 0 : kNumerals.indexOf(m.captured(2));
            hit[kRankingsDisagree] |= k < 0 || k >= static_cast<qsizetype>(order.size()) || order[k] != m.captured(1)[0];
        }
    const QString doorAdvice = LineStarting(bz, Q("大门："));
    static const QRegularExpression second(Q("(.)门（..）次之([^。]*)"));
    if (const auto m = second.match(doorAdvice); m.hasMatch()) {
        const QChar p = m.captured(1)[0];
        const bool withdrawn = m.captured(2).contains(Q("不取"));
        hit[kSecondDoorBarred] = !takesDoor(p) && !withdrawn;
        hit[kSecondDoorBack] = p == sit && !withdrawn;
    }
    const bool anyDoor = std::ranges::any_of(kTrigrams, takesDoor);
    for (const QString &clause : (xk + Q("\n") + bz).split(QRegularExpression(Q("[；。\\r\\n]"))))
        if (anyDoor && clause.contains(Q("另择吉门")) && !clause.contains(Q("八宅虽吉亦另择吉门")))
            hit[kWithdrawnNowhere] |= std::ranges::none_of(PalacesInOrder(clause), takesDoor);
    hit[kWithdrawReason] = bz.count(Q("门以玄空为准：")) > 1;

    // The door's 元 against the facing's, read from the header.
    static const QRegularExpression axis(Q("坐向：(.)山(.)向")), doorAt(Q("门向：(.)方"));
    const auto a = axis.match(xk), d = doorAt.match(xk);
    const QString doorLine = LineStarting(xk, Q("★房屋朝向与门向"));
    if (a.hasMatch() && d.hasMatch()) {
        const qsizetype facing = kMountains.indexOf(a.captured(2)), door = kMountains.indexOf(d.captured(1));
        const QChar own = kMountains[3 * (door / 3) + facing % 3];
        hit[kOtherYuanUnmoved] = facing % 3 != door % 3 && takesDoor(kTrigrams[door / 3]) &&
                                 !doorLine.contains(Q("宜移门于") + own + Q("字（同宫"));
    }

    // The bedroom line sends no one where another of its clauses bars.
    const QStringList parts = Clauses(LineStarting(bz, Q("卧房：")).replace(QChar(0x3002), QChar(0xFF1B))); // 。 as ；
    static const QRegularExpression sent(Q("(正北|东北|正东|东南|正南|西南|正西|西北)(?:生气|天医|延年|伏位)"));
    static const QRegularExpression note(Q("（本运[^）]*）"));
    for (qsizetype i = 0; i < parts.size(); ++i)
        for (auto it = sent.globalMatch(QString(parts[i]).remove(note)); BedClause(parts[i]) && it.hasNext();) {
            const int p = DirectionsIn(it.next().captured(1)).front();
            for (qsizetype k = 0; k < parts.size(); ++k)
                hit[kBedResent] |= k != i && Qualifies(parts[k], p);
        }

    // Pair warnings on opened palaces, and 火照天门 only where the 九 is out of season.
    static const QRegularExpression pair(Q("六九火照天门|九七合辙|三七叠至|五九紫黄毒药"));
    for (const QString &clause : LineStarting(xk, Q("忌动之方：")).split(Q("；")))
        if (pair.match(clause).hasMatch())
            for (QChar p : Palaces(clause))
                hit[kPairUnremedied] |= takesDoor(p) && !clause.contains(Q("化解"));
    for (const QString &line : Lines(xk))
        for (const QString &clause : line.split(Q("；")))
            if (clause.contains(Q("火照天门")) && !clause.contains(Q("失令主火照天门"))) {
                const std::vector<QChar> named = PalacesInOrder(line.startsWith(Q("旁宫")) ? line : clause);
                if (named.empty())
                    continue;
                const auto [m, ms] = StarOf(xk, named[0], false);
                const auto [f, fs] = StarOf(xk, named[0], true);
                const QChar nine = m == 9 ? ms : fs;
                hit[kFireGateTimely] |= (m == 9 || f == 9) && (nine == Q("旺")[0] || nine == Q("生")[0]);
            }

    // Reasons the report does not refute, rules tied to their periods, one instruction per sentence.
    for (const QString &line : Lines(xk))
        if (line.contains(Q("北斗七星")) && line.contains(Q("不能用"))) {
            const QString why = line.mid(line.indexOf(Q("打劫须")));
            hit[kDaJieReasonRefuted] |= (why.contains(Q("开阔")) && landform.contains(Q("开阔"))) ||
                                        (why.contains(Q("见水")) &&
                                         QRegularExpression(Q("向前(?:近处)?(?:宜)?(?:开阔)?见水")).match(landform).hasMatch());
        }
    bool laterWaterBehind = false;
    const QStringList l = Lines(xk);
    for (qsizetype i = 1; i < l.size(); ++i)
        if (l[i].startsWith(Q("布局：")) && l[i - 1].size() > 1 && l[i - 1][1] == Q("运")[0] &&
            kNumerals.indexOf(l[i - 1][0]) + 1 != period)
            laterWaterBehind |= l[i].contains(Q("坐后见水")) || l[i].contains(Q("坐后近处有水")) || l[i].contains(Q("后门可开"));
    for (const QString &line : l)
        if (line.contains(Q("全局")) && (line.contains(Q("伏吟")) || line.contains(Q("反吟"))))
            for (const QString &clause : line.split(QRegularExpression(Q("[；。]"))))
                hit[kFuFanUndated] |= laterWaterBehind && clause.contains(Q("坐后")) &&
                                      (clause.contains(Q("忌坐后开池放水")) || clause.contains(Q("坐后不宜开池放水"))) &&
                                      !QRegularExpression(Q("本运|[一二三四五六七八九]运")).match(clause).hasMatch();
    for (QString sentence : xk.split(QRegularExpression(Q("[。\\r\\n]")))) {
        sentence.remove(Q("忌动土开池")).remove(Q("新开门即属动土"));
        hit[kDigTwoWays] |= sentence.contains(Q("须择时")) && sentence.contains(Q("忌动土"));
    }

    // The two studies, each said to be its own method where they part.
    const QString xkStudy = LineStarting(xk, Q("★文昌位：")), bzStudy = LineStarting(bz, Q("★文昌位："));
    if (!xkStudy.isEmpty() && bzStudy.size() > 5) {
        std::set<QChar> flying;
        for (QChar c : xkStudy.mid(5, xkStudy.indexOf(QChar(0xFF0C)) - 5)) // up to "，"
            if ((kTrigrams + Q("中")).contains(c))
                flying.insert(c);
        hit[kStudyMethods] = flying != std::set<QChar>{bzStudy[5]} &&
                             !(xkStudy.contains(Q("玄空飞星一四")) && bzStudy.contains(Q("八宅宅卦")));
    }
    return hit;
}

} // namespace

TEST(ReportAgreement, DoorRankedOnceAndRulesTiedToTheirPalacesAndPeriodsInEverySetting)
{
    ExpectNoneInAnySetting(RankContradictions, kRankNames);
}

TEST(ReportAgreement, EachCounterFiresOnAReportMadeToHoldItsFault)
{
    // A report of a real house with its fault written in: every occurrence of `from` in the Xuan Kong (xk) or
    // Eight Mansions reading becomes `to`. The counter row must stay quiet on the report as written and fire on
    // the faulty one; a report that no longer holds `from` fails here, so a changed wording is looked at again.
    struct House { int mountain, year; bool xiaGua; int door, owner; };
    struct Fault {
        House house;
        bool xk;
        const char *from, *to;
        int rank, advice; // the rows of RankContradictions and of AdviceContradictions it is to fire; -1 none
    };
    const House ref{1, 2004, true, 13, 1980}; // 八运子山午向, door 午, a 坤 owner: the reference house
    const Fault faults[] = {
        {ref, false, "正南离宫、东北艮宫", "东北艮宫、正南离宫", kRankingsDisagree, -1},
        {ref, false, "此方居第二", "此方居第三", kRankingsDisagree, -1},
        // The reference house with its door in 坤, which is to stay quiet: the door moves to 离 first.
        {{1, 2004, true, 16, 1980}, true, "正南离宫、东北艮宫", "东北艮宫、正南离宫", kRankingsDisagree, kTimelyDemoted},
        // 二运戌山辰向, door 巽: 兑 holds the mountain star 五黄.
        {{21, 1894, true, 9, 1864}, true, "东北艮宫、正西兑宫（山星五黄在此，新开门即属动土，须择时、化五黄）",
         "正西兑宫（山星五黄在此，新开门即属动土，须择时、化五黄）、东北艮宫", kDugBeforeClean, kMoveIntoDug},
        // 八运丑山未向: the withdrawn doors go to 坤, the timely palace, under 山星五黄.
        {{3, 2016, true, 16, 1981}, false, "化为无，玄空本运可开，山星五黄在此，新开门即属动土，须择时、化五黄；",
         "化为无，玄空本运可开；", -1, kMoveIntoDug},
        {ref, false, "，唯本运正北坎宫向星七(退)，宜静，亦不取", "", kSecondDoorBarred, -1},
        // 二运卯山酉向 (替卦): a solid back, whose sitting palace 震 is the Eight Mansions' second door.
        {{7, 1894, false, 19, 1864}, false, "，唯本宅坐后须实，坐山正东震宫只可开后门，不作大门，亦不取", "",
         kSecondDoorBack, -1},
        {ref, false, "此门不取，宜改取正南离宫（门位次第见上大门）", "此门不取，另择吉门", kWithdrawnNowhere, -1},
        {ref, false, "门亦以玄空为准（理见上）", "门以玄空为准：门纳此方本运之气，八宅方位之吉不能补救", kWithdrawReason, -1},
        {{1, 2004, true, 12, 1980}, true, "宜移门于午字（同宫）", "可以考虑改门", kOtherYuanUnmoved, -1},
        // 一运艮山坤向: 正西 and 西北 are barred from beds.
        {{4, 1874, true, 16, 1844}, false, "（本运西北乾宫山星五黄，忌作卧房，以玄空为准）；",
         "（本运西北乾宫山星五黄，忌作卧房，以玄空为准）；求子、求发展亦居正西延年或西北天医方；", kBedResent, -1},
        {ref, true, "，其方开门，宜置陶瓷、石器（火生土、土生金）通关化解，忌明火、红色", "", kPairUnremedied, -1},
        // 八运未山丑向: 坎 holds 山九向六, the 九 生.
        {{15, 2014, true, 3, 1984}, true,
         "旁宫正北坎宫：山星九、向星六、运星四，山星九生气，宜实宜静；向星六煞气，宜静，忌开门放水",
         "旁宫正北坎宫：山星九、向星六、运星四，山星九生气，宜实宜静；向星六煞气，宜静，忌开门放水；六九火照天门",
         kFireGateTimely, -1},
        // 四运乾山巽向: 打劫 off with the 正神 at the 向首, whose front the landform opens, without water.
        {{22, 1934, true, 10, 1904}, true, "打劫须向首见水以劫未来之气，向首既不宜见水", "打劫须向首开阔纳气",
         kDaJieReasonRefuted, -1},
        {{22, 1934, true, 10, 1904}, true, "向前近处宜开阔、", "向前近处宜开阔见水、", kDaJieReasonRefuted, -1},
        // 一运丙山壬向: 全局伏吟 kept dry behind, the 二运 布局 water behind.
        {{12, 1874, true, 0, 1844}, true, "本运宜静，切忌坐后开池放水", "宜静，切忌坐后开池放水", kFuFanUndated, -1},
        // 二运丙山壬向 (替卦): 乾 a city gate under 山星五黄.
        {{12, 1894, false, 0, 1864}, true, "不宜见水，新开门即属动土，须择时、化五黄。",
         "不宜见水，新开门即属动土，须择时、化五黄，忌动土。", kDigTwoWays, -1},
        {ref, true, "；此为玄空飞星一四同宫之文昌，八宅宅卦之文昌在艮宫，二法各论", "", kStudyMethods, -1},
    };
    TempProgramFolder folder;
    MQuorin q;
    for (const Fault &f : faults) {
        const House &h = f.house;
        Reports r = Write(q, h.mountain, h.year, h.xiaGua, h.door, h.owner);
        const auto fired = [&](const Reports &r) {
            return std::pair{f.rank >= 0 && RankContradictions(r)[f.rank], f.advice >= 0 && AdviceContradictions(r)[f.advice]};
        };
        const std::string name = std::to_string(h.year) + " " + std::to_string(h.mountain) + ": " + f.from;
        EXPECT_EQ(fired(r), std::pair(false, false)) << name;
        QString &text = f.xk ? r.xk : r.bz;
        ASSERT_TRUE(text.contains(Q(f.from))) << name;
        text.replace(Q(f.from), Q(f.to));
        EXPECT_EQ(fired(r), std::pair(f.rank >= 0, f.advice >= 0)) << name;
    }
}
