// The whole report of a house, as the program writes it (the Xuan Kong reading of the lay-out, then the Eight
// Mansions reading), must not contradict itself: a palace the reading forbids to open is never the one it tells
// the client to open, a star it calls timely is never called out of season, and so on. Each count below is the
// number of the 432 charts (nine periods, 24 mountains, 下卦 and 替卦) whose report holds one such contradiction,
// read from the report text. The reports of ten reference houses are written into the build folder for reading.
#include "ChartRules.h"
#include "ChartTestUtil.h"
#include "MQuorin.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

QString Q(const char *utf8) { return QString::fromUtf8(utf8); }

struct Reports {
    QString xk, bz;
};

double Centre(int m) { return std::fmod(15.0 * (m + 23), 360.0); } // 子 at 0°

Reports Write(MQuorin &q, int m, int buildYear, bool xiaGua, double degree, int item)
{
    TRecordData rec = ReferenceHouse();
    rec.mountain = static_cast<uint8_t>(item);
    rec.degree = static_cast<float>(degree);
    rec.door = static_cast<uint8_t>((m + 12) % 24);
    rec.buildYear = static_cast<int16_t>(buildYear);
    rec.xiaGua = xiaGua ? 1 : 0;
    Reports r;
    if (!q.PaiPan(rec))
        return r;
    r.xk = q.sReport;
    q.ShowBaZhaiPan();
    r.bz = q.sReport;
    return r;
}

QStringList Lines(const QString &report) { return report.split(QRegularExpression(QStringLiteral("[\r\n]+"))); }

QString LineStarting(const QString &report, const QString &head)
{
    for (const QString &l : Lines(report))
        if (l.startsWith(head))
            return l;
    return {};
}

// Trigrams of the palaces a text names ("正西兑宫", "中宫" as 中).
std::set<QChar> Palaces(const QString &text)
{
    static const QRegularExpression re(Q("(?:正北|东北|正东|东南|正南|西南|正西|西北)(坎|艮|震|巽|离|坤|兑|乾)宫"));
    std::set<QChar> out;
    for (auto it = re.globalMatch(text); it.hasNext();)
        out.insert(it.next().captured(1)[0]);
    return out;
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
    for (QChar c : Q("坎艮震巽离坤兑乾"))
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
    return m.hasMatch() ? Q("一二三四五六七八九").indexOf(m.captured(1)) + 1 : 0;
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

// The facing star and its state in a palace's star line ("5", "生").
std::pair<int, QChar> FacingStar(const QString &xk, QChar trigram)
{
    static const QRegularExpression re(Q("向星(\\d)\\((.)\\)"));
    const QStringList section = PalaceSection(xk, trigram);
    const auto m = section.size() > 1 ? re.match(section[1]) : QRegularExpressionMatch();
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
    kVoidedGood,      // a good palace the element rule voids is recommended without a word
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
                if (clause.contains(dir) && !clause.contains(Q("忌")) && !clause.contains(Q("吉中有损")))
                    hit[kVoidedGood] = true;
    }

    const std::set<QChar> forbidden = Forbidden(xk);
    // City gates: "可用：此方开门、见水…" in a forbidden palace.
    const std::vector<Said> statements = PalaceStatements(xk);
    for (const Said &said : statements)
        if (said.use == Use::Open && forbidden.count(said.palace) &&
            (said.source == Source::Gate || said.source == Source::DaJie))
            hit[said.source == Source::Gate ? kGateForbidden : kDaJieForbidden] = true;
    // The water line of the Eight Mansions reading, by the stems it names.
    const QStringList bzLines = Lines(bz);
    const qsizetype wi = bzLines.indexOf(Q("【二十四山放水参考】"));
    if (wi >= 0 && wi + 1 < bzLines.size()) {
        const QString water = bzLines[wi + 1];
        static const std::map<QString, QChar> kStems = {
            {Q("甲乙"), Q("震")[0]}, {Q("丙丁"), Q("离")[0]}, {Q("庚辛"), Q("兑")[0]}, {Q("壬癸"), Q("坎")[0]}};
        for (const auto &[stems, palace] : kStems)
            if (water.contains(Q("水宜放") + stems) && forbidden.count(palace) &&
                !water.contains(Q("以玄空为准")) && !LineStarting(xk, Q("忌动之方：")).contains(Q("以玄空为准")))
                hit[kWaterForbidden] = true;
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

    // One answer per palace: every statement agrees with the 门路水口 line.
    const std::map<QChar, Use> uses = OpeningUses(xk);
    for (const Said &said : statements)
        if (said.use != uses.at(said.palace))
            hit[kTwoAnswers] = true;
    // The 正神 palace: never water, in the statements, the 门路水口 line, where the timely stars are and the
    // landform.
    static const QRegularExpression zhengRe(Q("正神在(?:正北|东北|正东|东南|正南|西南|正西|西北)(.)宫"));
    if (const auto z = zhengRe.match(xk); z.hasMatch()) {
        const QChar zheng = z.captured(1)[0];
        bool water = uses.at(zheng) == Use::Open;
        for (const Said &said : statements)
            water = water || (said.palace == zheng && said.use == Use::Open);
        for (const char *head : {"旺星：", "●当令", "★当令", "☆当令", "形峦："})
            for (const QString &clause : Clauses(LineStarting(xk, Q(head))))
                water = water || (Palaces(clause) == std::set<QChar>{zheng} && ClauseUse(clause) == Use::Open);
        hit[kZhengWater] = water;
    }
    // A facing star that is dead, killing or 五黄 out of its period, opened by the 零神 or a city gate.
    const int period = BuildingPeriod(xk);
    for (const Said &said : statements) {
        const auto [star, state] = FacingStar(xk, said.palace);
        if (said.use == Use::Open && (said.source == Source::Gate || said.source == Source::Zero) &&
            (state == Q("死")[0] || state == Q("煞")[0] || (star == 5 && period != 5)))
            hit[kDeadOpened] = true;
        if (said.source == Source::Gate && said.clause.contains(Q("飞星五")) && said.clause.contains(Q("可用")) &&
            period != 5)
            hit[kDeadOpened] = true;
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
    for (QChar c : Q("坎艮震巽离坤兑乾")) {
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
            if (const int q = Q("一二三四五六七八九").indexOf(c); q >= 0) {
                const int k = (q + 1 - period + 9) % 9;
                hit[kPeriodOrder] = hit[kPeriodOrder] || k < last;
                last = k;
            }
    }
    // The water line and the ruling after it.
    if (wi >= 0 && wi + 1 < bzLines.size()) {
        static const std::map<QString, QChar> kWaterPalace = {
            {Q("甲乙"), Q("震")[0]}, {Q("丙丁"), Q("离")[0]}, {Q("庚辛"), Q("兑")[0]}, {Q("壬癸"), Q("坎")[0]}};
        const QString water = bzLines[wi + 1];
        const QString ruling = wi + 2 < bzLines.size() ? bzLines[wi + 2] : QString();
        for (const auto &[stems, palace] : kWaterPalace)
            if (water.contains(Q("水宜放") + stems) && uses.at(palace) != Use::Open &&
                !(ruling.contains(QString(palace) + Q("宫")) && ruling.contains(Q("不宜放水"))))
                hit[kWaterUnruled] = true;
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

// Ten houses a practitioner reads in full: period, mountain, degree, 下卦, building year.
struct House {
    const char *name;
    int m;
    double degree;
    bool xiaGua;
    int year;
};
const House kHouses[] = {
    {"8运子山午向", 1, 0.0, true, 2010},      {"8运丑山未向", 3, 30.0, true, 2010},
    {"8运艮山坤向", 4, 45.0, true, 2010},     {"8运辰山戌向兼巽替卦", 9, 124.0, false, 2010},
    {"8运癸山丁向", 2, 15.0, true, 2010},     {"9运子山午向", 1, 0.0, true, 2030},
    {"9运乾山巽向", 22, 315.0, true, 2030},   {"9运午山子向", 13, 180.0, true, 2030},
    {"7运卯山酉向", 7, 90.0, true, 1990},     {"1运壬山丙向1870年", 0, 345.0, true, 1870},
};

} // namespace

TEST(ReportAgreement, NoReportContradictsItself)
{
    TempProgramFolder folder;
    MQuorin q;
    std::array<int, kRows> counts{};
    int written = 0;
    for (int period = 1; period <= 9; ++period)
        for (int m = 0; m < 24; ++m)
            for (bool xiaGua : {true, false}) {
                const Reports r = Write(q, m, 1864 + 20 * (period - 1) + 10, xiaGua, Centre(m), 4 * m + 1);
                ASSERT_FALSE(r.xk.isEmpty()) << period << " " << m << " " << q.sMessage.toStdString();
                ++written;
                const auto hit = Contradictions(r);
                for (int i = 0; i < kRows; ++i)
                    counts[i] += hit[i];
            }
    EXPECT_EQ(written, 432);
    for (int i = 0; i < kRows; ++i)
        EXPECT_EQ(counts[i], 0) << kRowNames[i];

    // The ten reference houses, for reading.
    QDir().mkpath(QStringLiteral(REPORT_OUT_DIR));
    for (const House &h : kHouses) {
        const double d = h.degree;
        const Reports r = Write(q, h.m, h.year, h.xiaGua, d, DegreeToItem(d, 4.5));
        ASSERT_FALSE(r.xk.isEmpty()) << h.name;
        QFile f(QStringLiteral(REPORT_OUT_DIR "/") + Q(h.name) + QStringLiteral(".txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write((r.xk + QStringLiteral("\r\n\r\n") + r.bz).toUtf8());
        const auto hit = Contradictions(r);
        for (int i = 0; i < kRows; ++i)
            EXPECT_FALSE(hit[i]) << h.name << ": " << kRowNames[i];
    }
}

TEST(ReportAgreement, PeriodsAreDatedFromTheBuildingYearsCycle)
{
    // Building year, then lines the 山运断 must hold: the building period and the next, in the 180-year cycle
    // that holds the building year, running on past its end.
    struct Case {
        int year;
        const char *building, *next;
    };
    const Case cases[] = {
        {1850, "建宅元运：九运（1844—1863）", "一运（1864—1883）："},
        {2110, "建宅元运：四运（2104—2123）", "五运（2124—2143）："},
        {2004, "建宅元运：八运（2004—2023）", "九运（2024—2043）："},
        {2040, "建宅元运：九运（2024—2043）", "一运（2044—2063）："},
        {44, "建宅元运：九运（44—63）", "一运（64—83）："},
    };
    TempProgramFolder folder;
    MQuorin q;
    for (const Case &c : cases) {
        const Reports r = Write(q, 1, c.year, true, 0.0, 5);
        ASSERT_FALSE(r.xk.isEmpty()) << c.year;
        EXPECT_TRUE(r.xk.contains(Q(c.building))) << c.year;
        EXPECT_TRUE(r.xk.contains(Q(c.next))) << c.year;
    }
}

TEST(ReportAgreement, EveryDatedPeriodLiesInTheNineFromTheBuildingOne)
{
    // Building year and mountain: before the tables' cycle (a 三般卦 house), after it, and within it.
    TempProgramFolder folder;
    MQuorin q;
    static const QRegularExpression range(Q("(\\d{2,4})—\\d{2,4}"));
    for (const auto &[year, m] : {std::pair{1835, 16}, {2050, 12}, {1970, 10}}) {
        const Reports r = Write(q, m, year, true, Centre(m), 4 * m + 1);
        ASSERT_FALSE(r.xk.isEmpty()) << year;
        const int first = 44 + 20 * ((year - 44) / 20);
        for (auto it = range.globalMatch(r.xk); it.hasNext();) {
            const int y = it.next().captured(1).toInt();
            EXPECT_TRUE(y >= first && y < first + 180) << year << ": " << y;
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
