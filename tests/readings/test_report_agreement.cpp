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
std::set<QChar> Forbidden(const QString &xk)
{
    std::set<QChar> out, pending;
    for (const QString &clause : LineStarting(xk, Q("忌动之方：")).split(Q("；"))) {
        const std::set<QChar> named = Palaces(clause);
        pending.insert(named.begin(), named.end());
        if (clause.contains(Q("忌开门放水"))) {
            out.insert(pending.begin(), pending.end());
            pending.clear();
        } else if (clause.contains(Q("忌动土"))) {
            pending.clear();
        }
    }
    return out;
}

bool Meets(const std::set<QChar> &a, const std::set<QChar> &b)
{
    for (QChar c : a)
        if (b.count(c))
            return true;
    return false;
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
    kRows
};
const char *const kRowNames[kRows] = {"文昌 in the 五鬼 palace", "voided 吉方 recommended", "gate vs 忌动",
                                      "打劫 vs 忌动", "water line vs 忌动", "伏反吟 water behind",
                                      "五黄 centre and 入囚", "失令之二黑 while 生"};

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
    for (const QString &clause : LineStarting(xk, Q("城门：")).split(Q("；")))
        if (clause.contains(Q("开门、见水")) && Meets(Palaces(clause), forbidden))
            hit[kGateForbidden] = true;
    // 打劫: the palaces told to open.
    static const QRegularExpression daJie(Q("([坎离震巽兑乾、]+)[二三]?方宜开门、见水"));
    for (auto it = daJie.globalMatch(LineStarting(xk, Q("三般卦与打劫："))); it.hasNext();) {
        const QString names = it.next().captured(1);
        for (QChar c : names)
            if (c != QChar(0x3001) && forbidden.count(c))
                hit[kDaJieForbidden] = true;
    }
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
