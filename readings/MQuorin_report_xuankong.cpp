#include "MQuorin.h"

#include "ChartRules.h"
#include "Resources.h"
#include "ReportNames.h"
#include "ReportSpans.h"

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

// The text of one sitting mountain: its pieces, each on a line of its own.
QString MountainLines(int mountain)
{
    QString t;
    const QStringList parts = LoadStr(310 + mountain).split(QLatin1Char('*'), Qt::SkipEmptyParts);
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
QString FlagList(const PalaceRecord &g, std::initializer_list<std::pair<int, const char *>> flags)
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

} // namespace

void MQuorin::XuanKongText(ReportSpans &out) const
{
    out.Add(sHeader);
    out.Add(kRule);
    out.Add(QStringLiteral("玄空法断宅：\r\n"), ReportSpans::kBlue, true);

    const int m = ZuoShan;
    const int facing = FacingMountain(m);
    const int sit = m / 3, face = facing / 3;
    QString t = QStringLiteral("★座山属%1大门宜开在%1方。\r\n").arg(YuanLong(m));
    if (facing % 3 == Rec.door % 24 % 3)
        t += QStringLiteral("★房屋朝向与门向同元一气，吉利。\r\n");
    else
        t += QStringLiteral("★房屋朝向与门向不属于同一元，不吉利，可以考虑改门。\r\n");
    if (PianDu + PianFen / 60.0 > 4.5)
        t += QStringLiteral("★此房座山偏离正向超过4.5度，可以考虑用兼向，采用替卦布宅局。\r\n");

    switch (Gong[sit][3]) {
    case kWangShanWangXiang:
        t += QStringLiteral("★此为旺山旺向的格局。如果配以背山面水的地势，就是丁财两旺的吉局。\r\n");
        break;
    case kShangShanXiaShui:
        t += QStringLiteral("☆此为上山下水的格局。丁财两不旺。如果背山较低、有水流，前面地势高、有好看的山峰。"
                            "就可以反凶为吉。\r\n");
        break;
    case kShuangXingHuiXiang:
        t += QStringLiteral("●此为双星会向的格局。旺财、不旺丁。如果周围山势龙脉忽然落下，前面开阔宽敞，有池塘、"
                            "湖泊。就可以反凶为吉。\r\n");
        break;
    case kShuangXingHuiZuo:
        t += QStringLiteral("●此为双星会坐的格局。旺丁、不旺财。如果背后有河流、池塘，再后面有山峰，前面开阔宽敞，"
                            "有广大田野。就可以反凶为吉。\r\n");
        break;
    default:
        break;
    }
    if (DaJieLi)
        t += QStringLiteral("★北斗七星离宫打劫(离震乾)，以现在之运劫未来之气，可以变祸为福。\r\n");
    if (DaJieKan)
        t += QStringLiteral("★北斗七星坎宫打劫(巽坎兑)，以现在之运劫未来之气，可以变祸为福。\r\n");

    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[4] || g[5] || g[6]; }))
        t += QStringLiteral("★全局合十，也有旺山旺向的功效。\r\n");
    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[7] || g[8] || g[9] || g[10]; }))
        t += QStringLiteral("☆全局伏吟，格局不利。前面地势最好平坦开阔，坐后有流水、池塘。\r\n");
    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[11] || g[12]; }))
        t += QStringLiteral("☆全局反吟，格局不利。前面地势最好平坦开阔，坐后有流水、池塘。\r\n");
    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[13] == 1; }))
        t += QStringLiteral("★全局连珠三般卦，是化凶为吉的上佳格局。\r\n");
    if (WholeChart(Gong, [](const PalaceRecord &g) { return g[13] == 2; }))
        t += QStringLiteral("★全局父母三般卦，是化凶为吉的上佳格局。\r\n");

    const PalaceRecord &gs = Gong[sit], &gf = Gong[face];
    if (Nine(gs[2]) + Nine(gf[2]) == 10 && Nine(gs[0]) + Nine(gf[1]) == 10 && Nine(gs[1]) + Nine(gf[0]) == 10)
        t += QStringLiteral("★对宫合十，也有旺山旺向的功效。\r\n");

    QStringList wenChang;
    for (int p = 0; p < 9; ++p) {
        const int n[4] = {Nine(Gong[p][2]), Nine(Gong[p][0]), Nine(Gong[p][1]), EarthNumber[p]};
        bool one = false, four = false;
        for (int v : n) {
            one = one || v == 1;
            four = four || v == 4;
        }
        if (one && four)
            wenChang.append(PalaceName(p));
    }
    if (!wenChang.isEmpty())
        t += QStringLiteral("\r\n★文昌位：") + wenChang.join(QStringLiteral("、")) +
             QStringLiteral("，此方位适合读书人居住，有利于学业功名。\r\n");

    t += QStringLiteral("★正城门:%1(%2-%3)，")
             .arg(Mountain(ChengMen[0][0]), Numeral(ChengMen[0][1]), U(XingStateName[ChengMen[0][2] % 9]));
    t += QStringLiteral("副城门:%1(%2-%3)。\r\n")
             .arg(Mountain(ChengMen[1][0]), Numeral(ChengMen[1][1]), U(XingStateName[ChengMen[1][2] % 9]));

    QStringList period;
    for (int i = 0; i < 9; ++i)
        period.append(QStringLiteral("%1(%2)").arg(Numeral(Yun + i), U(XingStateName[i])));
    t += QStringLiteral("★此步元运，") + period.join(QStringLiteral("，")) + QStringLiteral("。\r\n");
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
    QString t = MountainLines(m);
    t += QStringLiteral("★") + LoadStr(500 + 10 * m + Nine(Yun));
    t += QStringLiteral("\r\n") + kRule;
    out.Add(t);
}

void MQuorin::TiGuaText(ReportSpans &out) const
{
    const int m = ZuoShan;
    const int prev = (m + 23) % 24, next = (m + 1) % 24;
    out.Add(QStringLiteral("挨星替卦:\r\n"), ReportSpans::kRed, true);
    QString t = QStringLiteral("◎%1运-%2山%3向，").arg(Numeral(Yun), Mountain(m), Mountain(FacingMountain(m)));
    t += QStringLiteral("兼(%1-%2)").arg(Mountain(prev), Mountain(FacingMountain(prev)));
    t += QStringLiteral("兼(%1-%2)。").arg(Mountain(next), Mountain(FacingMountain(next)));
    out.Add(t);
    AddGrid(out, ChartGridText(TiGua));
    t = MountainLines(m);
    t += QStringLiteral("★说明如下：\r\n") + LoadStr(800 + 10 * m + Nine(Yun));
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

        QString t = QStringLiteral("★山星%1(%2)，").arg(Nine(g[0])).arg(StateName(g[0], Yun));
        t += QStringLiteral("向星%1(%2)，").arg(Nine(g[1])).arg(StateName(g[1], Yun));
        t += QStringLiteral("运星%1(%2)。\r\n").arg(Nine(g[2])).arg(StateName(g[2], Yun));
        // The pair pattern of a palace is reckoned as if the house sat there; the facing palace would then read
        // the mirror of the house's own pattern (上山下水 for a 旺山旺向 house), so it takes the sitting palace's.
        switch (p == face ? Gong[sit][3] : g[3]) {
        case kWangShanWangXiang:
            t += QStringLiteral("★此宫旺山旺向。\r\n");
            break;
        case kShangShanXiaShui:
            t += QStringLiteral("☆此宫上山下水。\r\n");
            break;
        case kShuangXingHuiXiang:
            t += QStringLiteral("●此宫双星会向。\r\n");
            break;
        case kShuangXingHuiZuo:
            t += QStringLiteral("●此宫双星会坐。\r\n");
            break;
        default:
            break;
        }
        const QString heShi = FlagList(g, {{4, "山星和运星"}, {5, "向星和运星"}, {6, "山星和向星"}});
        if (!heShi.isEmpty())
            t += QStringLiteral("★合十：%1。\r\n").arg(heShi);
        const QString fuYin =
            FlagList(g, {{7, "山星和地盘"}, {8, "向星和地盘"}, {9, "山星和运星"}, {10, "向星和运星"}});
        if (!fuYin.isEmpty())
            t += QStringLiteral("☆伏吟：%1。\r\n").arg(fuYin);
        const QString fanYin = FlagList(g, {{11, "山星和地盘"}, {12, "向星和地盘"}});
        if (!fanYin.isEmpty())
            t += QStringLiteral("☆反吟：%1。\r\n").arg(fanYin);
        if (g[13] == 1)
            t += QStringLiteral("★山星-向星-运星合成连珠三般卦。\r\n");
        else if (g[13] == 2)
            t += QStringLiteral("★山星-向星-运星合成父母三般卦。\r\n");
        const QString wenChang = FlagList(g, {{14, "山星和地盘"}, {15, "向星和地盘"}});
        if (!wenChang.isEmpty())
            t += QStringLiteral("★文昌：%1。\r\n").arg(wenChang);

        // The texts of the ruling stars follow the stars shown above them: those of the chart the case uses.
        const int ms = Nine(g[0]), fs = Nine(g[1]);
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
        const QString line = TrimBankLine(LoadStr(base + i));
        if (line == QLatin1String("NewLine"))
            t += QStringLiteral("\r\n");
        else if (!line.isEmpty())
            t += line + QStringLiteral("\r\n");
    }
    out.Add(t);
}
