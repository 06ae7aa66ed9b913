#include "ReadingComposer.h"

#include "ChartRules.h"
#include "FeiXingCalc.h"
#include "MathUtil.h"
#include "PatternCalc.h"

#include <vector>

namespace readings {
namespace {

using std::string;

// ---- names ----

const char *const kShan[24] = {"壬", "子", "癸", "丑", "艮", "寅", "甲", "卯", "乙", "辰", "巽", "巳",
                               "丙", "午", "丁", "未", "坤", "申", "庚", "酉", "辛", "戌", "乾", "亥"};
const char *const kGong[9] = {"坎宫", "艮宫", "震宫", "巽宫", "离宫", "坤宫", "兑宫", "乾宫", "中宫"};
const char *const kDir[9] = {"正北", "东北", "正东", "东南", "正南", "西南", "正西", "西北", "中央"};
const char *const kNum[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
const char *const kStar[10] = {"", "一白", "二黑", "三碧", "四绿", "五黄", "六白", "七赤", "八白", "九紫"};
const char *const kYearsCn[9] = {"", "二十", "四十", "六十", "八十", "一百", "一百二十", "一百四十", "一百六十"};
const char *const kYuanLong[3] = {"地元龙", "天元龙", "人元龙"};

// State of a star in a period, by (star − period) mod 9: the program's 旺 生 生 死 死 煞 煞 煞 退.
const char *const kState[9] = {"当旺", "生气", "进气", "死气", "死气", "煞气", "煞气", "煞气", "退气"};

// What a star brings to the people of the house (坐山山星) and to its wealth (向首向星), timely or not.
struct StarEffect {
    const char *dingGood, *caiGood, *dingBad, *caiBad;
};
const StarEffect kEffect[10] = {
    {},
    {"人丁聪慧，利读书仕途", "财如流水，利贸易、运输、流动之财", "肾耳之疾，家人漂泊离乡", "因酒色、水事破财"},
    {"家宅安稳，母亲健旺，出医卜之才", "利田产地产，置业进财", "病符临宅，多病痛，妇人当家",
     "因病耗财，田产纠纷"},
    {"长房兴旺，子弟奋发", "利开创、竞争之业，白手兴家", "口舌官非，肝胆足疾", "官讼、盗贼破财"},
    {"出文人秀士，利考试、婚姻", "利文化、教育、传媒之财", "桃色是非，呼吸之疾，家人漂泊",
     "因色破财，名誉受损"},
    {"家主威权，坐镇一方", "掌大权、得大利", "五黄临宅，主重病横祸", "横祸损财，动土尤凶"},
    {"家主有威望，出武贵", "升官进财，利公职、金融", "刑伤孤独，头肺之疾，家主受累", "官非破财，投机失利"},
    {"少女得力，出口才之人", "利口才、饮食、演艺之财，偏财可得", "口舌刀伤，喉肺之疾", "盗劫、火灾、口舌破财"},
    {"出孝义贤良，少男兴旺", "田宅富饶，置业发财", "小口损伤，筋骨之疾", "兄弟争产，田产耗损"},
    {"喜庆添丁，声名远扬", "名利双收，利文化、美容、电子之财", "目疾、心血之病，性情躁急",
     "火灾、官讼破财"}};

// ---- the facts of one chart ----

int Nine(int v) { return v == 0 ? 9 : v; }
int StateOf(int star, int period) { return FloorMod(Nine(star) - period, 9); }
bool Timely(int state) { return state <= 2; } // 当旺, 生气, 进气
// 五黄 helps only in its own period; near it, it is still a star to leave quiet.
bool Favoured(int star, int state) { return Nine(star) == 5 ? state == 0 : Timely(state); }

struct Facts {
    bool tiGua = false;
    int period = 0;  // 1..9
    int stored = 0;  // period as the engine codes it (9 as 0)
    int mountain = 0, facing = 0;
    int sit = 0, face = 0; // palaces
    FlyChart chart{}, xia{};
    PalaceRecords gong{};
    int pattern = 0;
    int wangShan = 8, wangXiang = 8; // palaces of the timely mountain and facing star
    std::array<uint8_t, 2> daJie{};
    std::array<GateRecord, 2> gates{};

    int M(int p) const { return Nine(chart[p][0]); }
    int F(int p) const { return Nine(chart[p][1]); }
    int Y(int p) const { return Nine(chart[p][2]); }
    bool Whole(int flag) const
    {
        for (const PalaceRecord &g : gong)
            if (!g[flag])
                return false;
        return true;
    }
    int WholeSanBan() const
    {
        const int first = gong[0][13];
        for (const PalaceRecord &g : gong)
            if (g[13] != first)
                return 0;
        return first;
    }
    bool SameAsXiaGua() const { return chart == xia; }
    bool HalfSame(int slot) const
    {
        for (int p = 0; p < 9; ++p)
            if (chart[p][slot] != xia[p][slot])
                return false;
        return true;
    }
    int PeriodAt(int k) const { return (period - 1 + k) % 9 + 1; } // the k-th period from the building one
    // Years of the k-th period from the building one. The building period is dated in the cycle 1864..2043, in
    // which every house standing today was built; the periods after it run on into the next cycle.
    int FirstYear(int k) const { return 1864 + 20 * (period - 1 + k); }
};

Facts Compute(bool tiGua, int mountain, int period)
{
    Facts f;
    f.tiGua = tiGua;
    f.period = period;
    f.stored = period % 9;
    f.mountain = mountain;
    f.facing = FacingMountain(mountain);
    f.sit = mountain / 3;
    f.face = f.facing / 3;
    f.xia = XiaGuaChart(mountain, f.stored);
    f.chart = tiGua ? TiGuaChart(mountain, f.stored) : f.xia;
    f.gong = MakePalaceRecords(f.chart, f.stored);
    f.pattern = f.gong[f.sit][3];
    for (int p = 0; p < 9; ++p) {
        if (f.chart[p][0] == f.stored)
            f.wangShan = p;
        if (f.chart[p][1] == f.stored)
            f.wangXiang = p;
    }
    f.daJie = DaJie(f.gong, mountain, f.stored);
    f.gates = CityGates(mountain, f.stored, f.chart);
    return f;
}

// ---- wording ----

string Years(int first) { return std::to_string(first) + "—" + std::to_string(first + 19); }
string Yun(int period) { return string(kNum[period]) + "运"; }
string Place(int p) { return p == 8 ? string("中宫") : string(kDir[p]) + kGong[p]; }

string Variant(const Facts &f) { return f.tiGua ? "替卦" : "下卦"; }
string HouseName(const Facts &f) { return string(kShan[f.mountain]) + "山" + kShan[f.facing] + "向"; }
string Stars(const Facts &f, int p)
{
    return string("山星") + kNum[f.M(p)] + "、向星" + kNum[f.F(p)] + "、运星" + kNum[f.Y(p)];
}

// What the pattern of the sitting and facing palaces means, after "此为…之局，".
string PatternGist(int pattern)
{
    switch (pattern) {
    case kWangShanWangXiang:
        return "当令山星到山、当令向星到向，丁财两旺之正局";
    case kShangShanXiaShui:
        return "当令山星下水到向、当令向星上山到坐，形局不配则损丁破财";
    case kShuangXingHuiXiang:
        return "当令山星与向星同到向首，旺财不旺丁";
    case kShuangXingHuiZuo:
        return "当令山星与向星同到坐山，旺丁不旺财";
    default:
        return "当令之星不全到山向";
    }
}

string PatternShort(int pattern);

// Without one of the four patterns: where the two timely stars went, and what that does to people and wealth.
string LooseGist(int wangShan, int wangXiang, int sit, int face)
{
    string s;
    int ding = 0, cai = 0; // +1 good, −1 bad, 0 neither
    if (wangShan == sit)
        s = "当令山星到山", ding = 1;
    else if (wangShan == face)
        s = "当令山星下水", ding = -1;
    else if (wangShan == 8)
        s = "当令山星入中";
    else
        s = "当令山星到旁宫";
    if (wangXiang == face)
        s += "、向星到向", cai = 1;
    else if (wangXiang == sit)
        s += "、向星上山", cai = -1;
    else if (wangXiang == 8)
        s += "、向星入中";
    else
        s += "、向星到旁宫";
    static const char *const kDing[3] = {"损丁", "丁平", "旺丁"};
    static const char *const kCai[3] = {"破财", "财平", "旺财"};
    if (wangShan != sit && wangShan != face && wangShan != 8 && wangXiang != sit && wangXiang != face &&
        wangXiang != 8)
        s = "当令山星、向星皆到旁宫";
    s += "，" + (ding == 0 && cai == 0 ? string("丁财平平") : string(kDing[ding + 1]) + kCai[cai + 1]);
    if (ding <= 0 && cai <= 0)
        s += "，须借令星所到旁宫之山水";
    return s;
}

string PatternSentence(const Facts &f)
{
    if (f.pattern == kPairNone)
        return "不成四大格局，" + LooseGist(f.wangShan, f.wangXiang, f.sit, f.face);
    return "此为" + PatternShort(f.pattern) + "之局，" + PatternGist(f.pattern);
}

string PatternShort(int pattern)
{
    switch (pattern) {
    case kWangShanWangXiang:
        return "旺山旺向";
    case kShangShanXiaShui:
        return "上山下水";
    case kShuangXingHuiXiang:
        return "双星会向";
    case kShuangXingHuiZuo:
        return "双星会坐";
    default:
        return "";
    }
}

// Where the timely stars of the building period stand, and what that means.
string WangXingSentence(const Facts &f)
{
    const string n = kNum[f.period];
    string s = "当令山星" + n;
    if (f.wangShan == f.sit)
        s += "到坐山" + string(kGong[f.wangShan]) + "，主旺丁";
    else if (f.wangShan == f.face)
        s += "到向首" + string(kGong[f.wangShan]) + "（山星下水），向前无山则损丁";
    else if (f.wangShan == 8)
        s += "入中宫，人丁之气受困";
    else
        s += "到" + Place(f.wangShan) + "，此方有山则旺丁";
    s += "；当令向星" + n;
    if (f.wangXiang == f.face)
        s += "到向首" + string(kGong[f.wangXiang]) + "，主旺财";
    else if (f.wangXiang == f.sit)
        s += "到坐山" + string(kGong[f.wangXiang]) + "（向星上山），坐后无水则破财";
    else if (f.wangXiang == 8)
        s += "入中宫，财气受困";
    else
        s += "到" + Place(f.wangXiang) + "，此方见水或开门则旺财";
    return s;
}

// Landform advice the pattern calls for.
string LandformSentence(const Facts &f)
{
    switch (f.pattern) {
    case kWangShanWangXiang:
        return "坐实朝空：坐后须有实山、高楼或大树靠托，向前明堂开阔，见水或道路环抱，则丁财两旺；坐后空缺见水则损丁，"
               "向前高楼逼压则破财";
    case kShangShanXiaShui:
        return "坐空朝满：坐后宜低空，最好有池塘、河流或空地以收向星，向前宜有山或高楼以收山星，形气相配可反凶为吉；"
               "若背山面水，丁财两损";
    case kShuangXingHuiXiang:
        return "向方有水亦须有山：向前近处见水（池塘、河流、环抱之路）以收向星旺财，水外更须有山或高楼以收山星保丁，"
               "坐后宜平坦低空；向前只有水而无山，旺财损丁";
    case kShuangXingHuiZuo:
        return "坐方有山亦须有水：坐后近处有池塘、河流或低地以收向星，水后再有山峰或高楼以收山星，向前宜开阔平坦；"
               "坐后只有山而无水，旺丁不旺财";
    default:
        break;
    }
    // No pattern: each timely star wants its own landform where it fell.
    string s;
    if (f.wangShan == f.sit)
        s = "坐后宜有实山或高楼靠托";
    else if (f.wangShan == f.face)
        s = "当令山星下水，向前远处宜有山或高楼";
    else if (f.wangShan == 8)
        s = "当令山星入中，坐后宜有实山";
    else
        s = "当令山星所到之" + Place(f.wangShan) + "宜有山或高楼";
    if (f.wangXiang == f.face)
        s += "，向前宜开阔见水、开门";
    else if (f.wangXiang == f.sit)
        s += "，当令向星上山，坐后宜见水";
    else if (f.wangXiang == 8)
        s += "，当令向星入中，向前须有大水";
    else
        s += "，当令向星所到之" + Place(f.wangXiang) + "宜见水、开门或走道";
    if (f.wangShan != f.sit && f.wangXiang != f.face)
        s += "；山向二宫不得令星，宜借城门、来水补救";
    return s;
}

// 合十: whole-chart first; otherwise the sitting and facing palaces.
struct Said {
    string text;
    bool good = true;
    bool present = false;
};

Said HeShi(const Facts &f)
{
    static const char *const kWhat[3] = {"山星与运星", "向星与运星", "山星与向星"};
    Said r;
    std::vector<string> whole;
    for (int i = 0; i < 3; ++i)
        if (f.Whole(4 + i))
            whole.push_back(kWhat[i]);
    if (!whole.empty()) {
        r.present = true;
        r.text = "全局合十（";
        for (size_t i = 0; i < whole.size(); ++i)
            r.text += (i ? "、" : "") + whole[i];
        r.text += "九宫皆合十），通气合局，与旺山旺向同功，形局相配则丁财两旺";
        return r;
    }
    std::vector<string> local;
    const int keys[2] = {f.sit, f.face};
    const char *const role[2] = {"坐山", "向首"};
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 3; ++i)
            if (f.gong[keys[k]][4 + i])
                local.push_back(string(role[k]) + kWhat[i]);
    if (!local.empty()) {
        r.present = true;
        r.text = "";
        for (size_t i = 0; i < local.size(); ++i)
            r.text += (i ? "、" : "") + local[i];
        r.text += "合十，气通，吉";
        return r;
    }
    r.text = "本盘无全局合十，山向二宫亦不合十";
    return r;
}

Said FuFan(const Facts &f, bool wholeOnly = false)
{
    Said r;
    r.good = false;
    std::vector<string> whole;
    if (f.Whole(7))
        whole.push_back("山星伏吟（五黄入中顺飞，九宫山星与地盘相同）");
    if (f.Whole(8))
        whole.push_back("向星伏吟（五黄入中顺飞，九宫向星与地盘相同）");
    if (f.Whole(11))
        whole.push_back("山星反吟（五黄入中逆飞，九宫山星与地盘对冲）");
    if (f.Whole(12))
        whole.push_back("向星反吟（五黄入中逆飞，九宫向星与地盘对冲）");
    if (f.Whole(9))
        whole.push_back("山星与运盘伏吟（九宫山星与运星相同）");
    if (f.Whole(10))
        whole.push_back("向星与运盘伏吟（九宫向星与运星相同）");
    if (!whole.empty()) {
        r.present = true;
        r.text = "全局";
        for (size_t i = 0; i < whole.size(); ++i)
            r.text += (i ? "、" : "") + whole[i];
        r.text += "：主退败、疾病，祸患反复；宜向前平坦开阔，坐后有流水、池塘化解";
        // Whether the other variant of the same facing escapes it: a 兼 or a pure facing may be the cure.
        const FlyChart other = f.tiGua ? f.xia : TiGuaChart(f.mountain, f.stored);
        const PalaceRecords og = MakePalaceRecords(other, f.stored);
        bool otherHas = false;
        for (int flag : {7, 8, 9, 10, 11, 12}) {
            bool all = true;
            for (const PalaceRecord &g : og)
                all = all && g[flag];
            otherHas = otherHas || all;
        }
        if (!otherHas)
            r.text += f.tiGua ? "；改用正向（下卦）可避" : "；改用兼向（替卦）可避";
        return r;
    }
    if (wholeOnly)
        return r;
    std::vector<string> local;
    const int keys[2] = {f.sit, f.face};
    const char *const role[2] = {"坐山", "向首"};
    for (int k = 0; k < 2; ++k) {
        const PalaceRecord &g = f.gong[keys[k]];
        if (g[7])
            local.push_back(string(role[k]) + "山星伏吟");
        if (g[8])
            local.push_back(string(role[k]) + "向星伏吟");
        if (g[11])
            local.push_back(string(role[k]) + "山星反吟");
        if (g[12])
            local.push_back(string(role[k]) + "向星反吟");
    }
    if (!local.empty()) {
        r.present = true;
        r.text = "";
        for (size_t i = 0; i < local.size(); ++i)
            r.text += (i ? "、" : "") + local[i];
        r.text += "（与地盘），仅见于一宫，力轻，此方不宜动土大修";
        return r;
    }
    r.text = "本盘无伏吟、反吟";
    r.good = true;
    return r;
}

Said SanBanDaJie(const Facts &f)
{
    Said r;
    std::vector<string> parts;
    const int sanBan = f.WholeSanBan();
    if (sanBan == 1)
        parts.push_back("全局连珠三般卦，九宫山、向、运三星皆相连，气脉贯通，化凶为吉");
    else if (sanBan == 2)
        parts.push_back("全局父母三般卦，九宫山、向、运三星皆隔三相应，气通三元，化凶为吉");
    if (f.daJie[0])
        parts.push_back("北斗七星离宫打劫（离、震、乾三宫山向二星各成父母三般），以现在之运劫未来之气，"
                        "离、震、乾三方宜开门、见水以通气，向首" + string(kGong[f.face]) + "尤须开阔见水");
    if (f.daJie[1])
        parts.push_back("北斗七星坎宫打劫（坎、巽、兑三宫山向二星各成父母三般），以现在之运劫未来之气，"
                        "坎、巽、兑三方宜开门、见水以通气，向首" + string(kGong[f.face]) + "尤须开阔见水");
    if (parts.empty()) {
        r.text = "本盘不成全局三般卦，亦无七星打劫";
        return r;
    }
    r.present = true;
    for (size_t i = 0; i < parts.size(); ++i)
        r.text += (i ? "；" : "") + parts[i];
    return r;
}

string GateSentence(const Facts &f)
{
    string s;
    for (int k = 0; k < 2; ++k) {
        const GateRecord &g = f.gates[k];
        const int star = Nine(g[1]);
        const int palace = g[0] / 3;
        s += k ? "；副城门" : "正城门";
        s += "在" + Place(palace) + kShan[g[0]] + "方，飞星" + kNum[star] + kState[g[2]];
        if (g[2] == 0)
            s += "，可用：此方开门、见水或有道路来气，催财最速";
        else if (g[2] <= 2)
            s += "，可用，力稍逊";
        else
            s += "，不作城门用";
    }
    return s;
}

// The period in which a centre star becomes timely: −1 for 五黄 (no period of its own), otherwise the
// number of periods from building (0: already in this one).
int PrisonAfter(const Facts &f, int slot)
{
    const int c = Nine(f.chart[8][slot]);
    if (c == 5)
        return -1;
    return FloorMod(c - f.period, 9);
}

string PrisonSentence(const Facts &f)
{
    string s;
    const int kf = PrisonAfter(f, 1);
    const int cf = f.F(8);
    if (kf < 0)
        s = "向星五黄入中，五无定位，多不论入囚（一说五运入囚）";
    else if (kf == 0)
        s = "当令向星入中，本运即入囚，财气受困，向前须有大水方可解";
    else
        s = "向星" + string(kNum[cf]) + "入中，" + Yun(cf) + "入囚，距建宅" + kNum[kf] + "运（约" + kYearsCn[kf] + "年）；向前有大水（湖、河、大池）则囚不住";
    const int km = PrisonAfter(f, 0);
    const int cm = f.M(8);
    if (km < 0)
        s += "；山星五黄入中，多不论入囚";
    else if (km == 0)
        s += "；当令山星入中，本运人丁之气受困，坐后须有实山";
    else
        s += "；山星" + string(kNum[cm]) + "入中，" + Yun(cm) + "山星入囚，人丁渐弱，坐后有实山可解";
    return s;
}

// The centre stars in short; PrisonSentence says what they mean.
string CentreSentence(const Facts &f)
{
    string s;
    const char *const what[2] = {"山星", "向星"};
    for (int slot = 1; slot >= 0; --slot) {
        const int c = Nine(f.chart[8][slot]);
        s += slot == 1 ? "" : "；";
        if (c == 5)
            s += string(what[slot]) + "五黄入中，不论入囚";
        else if (PrisonAfter(f, slot) == 0)
            s += string(what[slot]) + kNum[c] + "当运入中，本运即入囚";
        else
            s += string(what[slot]) + kNum[c] + "入中，" + Yun(c) + "入囚";
    }
    return s;
}

// 替卦 against 下卦: which stars were replaced.
string ReplacementSentence(const Facts &f)
{
    if (f.SameAsXiaGua())
        return "此山替卦之星即本星，替卦盘与下卦盘相同，断法亦同下卦";
    string s;
    const char *const half[2] = {"山盘", "向盘"};
    for (int slot = 0; slot < 2; ++slot) {
        s += slot ? "；" : "替卦：";
        const int x = Nine(f.xia[8][slot]), t = Nine(f.chart[8][slot]);
        if (f.HalfSame(slot))
            s += string(half[slot]) + "替星即本星，同下卦（" + kNum[t] + "入中）";
        else if (x == t)
            s += string(half[slot]) + "以" + kNum[t] + "入中，飞行方向与下卦不同";
        else
            s += string(half[slot]) + "以" + kNum[t] + "代" + kNum[x] + "入中";
    }
    return s;
}

// The building period and the following eight, judged by the sitting palace's mountain star (people, 丁) and
// the facing palace's facing star (wealth, 财), and by where that period's timely stars fall: a timely
// mountain star at the facing (下水) costs people whatever the sitting star, a timely facing star at the
// sitting (上山) costs wealth.
struct Run {
    int period = 0;
    int first = 0;
    int ding = 0, cai = 0;    // states of the sitting mountain star and the facing palace's facing star
    bool xiaShui = false;     // this period's timely mountain star at the facing
    bool shangShan = false;   // this period's timely facing star at the sitting
    bool shanQiu = false;     // this period's timely mountain star in the centre (入囚)
    bool xiangQiu = false;    // this period's timely facing star in the centre
    int pattern = 0;          // pair pattern of the sitting palace in this period
    int dingStar = 0, caiStar = 0;
    bool DingGood() const { return !xiaShui && !shanQiu && Favoured(dingStar, ding); }
    bool CaiGood() const { return !shangShan && !xiangQiu && Favoured(caiStar, cai); }
};

std::vector<Run> Runs(const Facts &f)
{
    std::vector<Run> runs;
    for (int k = 0; k < 9; ++k) {
        const int q = f.PeriodAt(k);
        Run r;
        r.period = q;
        r.first = f.FirstYear(k);
        r.ding = StateOf(f.chart[f.sit][0], q);
        r.cai = StateOf(f.chart[f.face][1], q);
        r.xiaShui = f.M(f.face) == q;
        r.shangShan = f.F(f.sit) == q;
        r.pattern = MakePalaceRecords(f.chart, q % 9)[f.sit][3];
        r.shanQiu = f.M(8) == q;
        r.xiangQiu = f.F(8) == q;
        r.dingStar = f.M(f.sit);
        r.caiStar = f.F(f.face);
        runs.push_back(r);
    }
    return runs;
}

string Verdict(const Run &r)
{
    if (r.pattern == kWangShanWangXiang)
        return "丁财两旺";
    if (r.pattern == kShangShanXiaShui)
        return "上山下水，丁财两损（坐空朝满者反吉）";
    const bool d = r.DingGood(), c = r.CaiGood();
    if (d && c)
        return "丁财俱顺";
    if (d)
        return r.ding == 0 ? "旺丁不旺财" : "人丁渐兴，财运平平";
    if (c)
        return r.cai == 0 ? "旺财不旺丁" : "财运渐起，人丁平平";
    if (r.ding == 8 && r.cai == 8)
        return "丁财两退";
    return "丁财两衰";
}

string PeriodList(const std::vector<Run> &runs, bool ding)
{
    string s;
    for (const Run &r : runs) {
        if (ding ? !r.DingGood() : !r.CaiGood())
            continue;
        s += (s.empty() ? "" : "、") + Yun(r.period) + "（" + kState[ding ? r.ding : r.cai] + "）";
    }
    return s.empty() ? "无" : s;
}

// Where the timely stars of period q stand in this chart, and the landform that period wants.
string PeriodLayout(const Facts &f, int q)
{
    int ms = 8, fs = 8;
    for (int p = 0; p < 9; ++p) {
        if (f.M(p) == q)
            ms = p;
        if (f.F(p) == q)
            fs = p;
    }
    string s = "布局：当令山星" + string(kNum[q]);
    if (ms == 8)
        s += "入中，山星入囚，人丁受困";
    else if (ms == f.sit)
        s += "在坐山，宜坐后有山";
    else if (ms == f.face)
        s += "在向首（下水），宜向前远处有山";
    else
        s += "在" + Place(ms) + "，宜此方有山或高楼";
    s += "；当令向星" + string(kNum[q]);
    if (fs == 8)
        s += "入中，向星入囚，财气受困，须向前有大水方可解";
    else if (fs == f.face)
        s += "在向首，宜向前见水、开门";
    else if (fs == f.sit)
        s += "在坐山（上山），宜坐后见水";
    else
        s += "在" + Place(fs) + "，宜此方见水、开门或走道";
    const int pat = MakePalaceRecords(f.chart, q % 9)[f.sit][3];
    if (pat != kPairNone)
        s += "。本运山向成" + PatternShort(pat) + "之局";
    s += "。";
    return s;
}

// What the sitting mountain star does for the people of the house in one period.
string DingPart(const Facts &f, const Run &r)
{
    const int ds = f.M(f.sit);
    if (r.xiaShui)
        return "当令山星下水，坐山山星" + string(kStar[ds]) + kState[r.ding] + "，人丁不旺，向前有山方可补救";
    if (r.shanQiu)
        return "山星入囚，坐山山星" + string(kStar[ds]) + kState[r.ding] + "，人丁受困，坐后有实山方可解";
    if (ds == 5 && r.ding != 0)
        return "坐山山星五黄" + string(kState[r.ding]) + "，" +
               (r.ding <= 2 ? "五黄将旺，宜静不宜动，动则多病" : kEffect[5].dingBad);
    if (Timely(r.ding))
        return "坐山山星" + string(kStar[ds]) + kState[r.ding] + "，" + kEffect[ds].dingGood;
    if (r.ding == 8)
        return "坐山山星" + string(kStar[ds]) + "退气，人丁渐减，后辈少成";
    return "坐山山星" + string(kStar[ds]) + kState[r.ding] + "，" + kEffect[ds].dingBad;
}

// What the facing palace's facing star does for the wealth of the house in one period.
string CaiPart(const Facts &f, const Run &r)
{
    const int cs = f.F(f.face);
    if (r.shangShan)
        return "当令向星上山，向首向星" + string(kStar[cs]) + kState[r.cai] + "，财运不济，坐后见水方可补救";
    if (r.xiangQiu)
        return "向星入囚，向首向星" + string(kStar[cs]) + kState[r.cai] + "，财气受困，向前有大水方可解";
    if (cs == 5 && r.cai != 0)
        return "向首向星五黄" + string(kState[r.cai]) + "，" +
               (r.cai <= 2 ? "五黄将旺，宜静不宜动，动则破财" : kEffect[5].caiBad);
    if (Timely(r.cai))
        return "向首向星" + string(kStar[cs]) + kState[r.cai] + "，" + kEffect[cs].caiGood;
    if (r.cai == 8)
        return "向首向星" + string(kStar[cs]) + "退气，财源渐退，宜守成";
    return "向首向星" + string(kStar[cs]) + kState[r.cai] + "，" + kEffect[cs].caiBad;
}

// One period's verdict; an ill that merely goes on from the period before is said in short.
string PeriodLine(const Facts &f, const Run &r, const Run *prev)
{
    string ding = DingPart(f, r), cai = CaiPart(f, r);
    if (prev && ding == DingPart(f, *prev))
        ding = "坐山山星" + string(kStar[f.M(f.sit)]) + "仍为" + kState[r.ding] + "，同上运";
    if (prev && cai == CaiPart(f, *prev))
        cai = "向首向星" + string(kStar[f.F(f.face)]) + "仍为" + kState[r.cai] + "，同上运";
    return Yun(r.period) + "（" + Years(r.first) + "）：" + Verdict(r) + "。丁——" + ding + "；财——" + cai + "。";
}

string Title(const Facts &f)
{
    return Yun(f.period) + HouseName(f) + "（" + Variant(f) + "）";
}

// Where 五黄 and 二黑 stand: the places not to dig, build on or open while they are out of time.
string QuietSentence(const Facts &f)
{
    auto at = [&](int slot, int star) {
        for (int p = 0; p < 9; ++p)
            if (Nine(f.chart[p][slot]) == star)
                return p == 8 ? string("入中") : "在" + Place(p);
        return string();
    };
    string s = "五黄山星" + at(0, 5) + "、向星" + at(1, 5) + "，二黑山星" + at(0, 2) + "、向星" + at(1, 2) + "；";
    s += f.period == 5 ? "五运五黄当令，出运后与失令之二黑皆为灾病之星" : "五黄、失令之二黑皆为灾病之星";
    s += "，其方忌动土、忌开门放水，宜静，可用铜器、金属风铃泄其土气";
    return s;
}

// ---- the two texts ----

string Explanation(const Facts &f)
{
    std::vector<string> lines;
    lines.push_back(Title(f) + "：" + PatternSentence(f) + "。");
    if (f.tiGua)
        lines.push_back("●" + ReplacementSentence(f) + "。");
    lines.push_back((f.pattern == kWangShanWangXiang ? "★" : f.pattern == kShangShanXiaShui ? "☆" : "●") +
                    WangXingSentence(f) + "。");
    lines.push_back("●坐山" + string(kGong[f.sit]) + "：" + Stars(f, f.sit) + "；向首" + kGong[f.face] + "：" +
                    Stars(f, f.face) + "；中宫：" + Stars(f, 8) + "。");
    for (const Said &said : {HeShi(f), FuFan(f, true), SanBanDaJie(f)})
        if (said.present)
            lines.push_back((said.good ? "★" : "☆") + said.text + "。");
    lines.push_back("●城门：" + GateSentence(f) + "。");
    lines.push_back("●入囚：" + PrisonSentence(f) + "。");
    const std::vector<Run> runs = Runs(f);
    lines.push_back("●山运：旺丁在" + PeriodList(runs, true) + "；旺财在" + PeriodList(runs, false) + "。");
    lines.push_back("●形峦：" + LandformSentence(f) + "。");
    string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\n" : "") + lines[i];
    return text;
}

std::array<string, kBankLines> Fortune(const Facts &f)
{
    std::array<string, kBankLines> out;
    int n = 0;
    auto add = [&](const string &line) { out[n++] = line; };
    const std::vector<Run> runs = Runs(f);

    string title = "【" + Yun(f.period) + " " + HouseName(f) + "·" + Variant(f) + "】";
    if (f.tiGua)
        title += ReplacementSentence(f) + "。";
    add(title);
    add("建宅元运：" + Yun(f.period) + "（" + Years(f.FirstYear(0)) + "），坐" + kShan[f.mountain] + "向" +
        kShan[f.facing] + "，坐" + kDir[f.sit] + "朝" + kDir[f.face] + "，" + kShan[f.mountain] + "山为" +
        kYuanLong[f.mountain % 3] + "。");
    add("格局：" + PatternSentence(f) + "。");
    add("旺星：" + WangXingSentence(f) + "。");
    add("坐山" + string(kGong[f.sit]) + "：" + Stars(f, f.sit) + "；山星" + kStar[f.M(f.sit)] +
        kState[StateOf(f.M(f.sit), f.period)] + "主丁，向星" + kStar[f.F(f.sit)] +
        kState[StateOf(f.F(f.sit), f.period)] + "。");
    add("向首" + string(kGong[f.face]) + "：" + Stars(f, f.face) + "；向星" + kStar[f.F(f.face)] +
        kState[StateOf(f.F(f.face), f.period)] + "主财，山星" + kStar[f.M(f.face)] +
        kState[StateOf(f.M(f.face), f.period)] + "。");
    add("中宫：" + Stars(f, 8) + "。" + CentreSentence(f) + "。");
    add("合十：" + HeShi(f).text + "。");
    add("伏吟反吟：" + FuFan(f).text + "。");
    add("三般卦与打劫：" + SanBanDaJie(f).text + "。");
    add("城门：" + GateSentence(f) + "。");
    add(kEmptyLine);
    add(f.pattern == kShangShanXiaShui
            ? "山运（自建宅之运起，每运二十年；坐山山星论丁，向首向星论财，按背山面水之常局论；若坐空朝满，"
              "丁看向首山星、财看坐山向星，吉凶相反）："
            : "山运（自建宅之运起，每运二十年；坐山山星论丁，向首向星论财）：");
    const int kf = PrisonAfter(f, 1);
    for (int k = 0; k < 9; ++k) {
        add(PeriodLine(f, runs[k], k ? &runs[k - 1] : nullptr));
        add(PeriodLayout(f, runs[k].period));
    }
    add(kEmptyLine);
    add("总断：");
    add("旺丁之运：" + PeriodList(runs, true) + "。");
    add("旺财之运：" + PeriodList(runs, false) + "。");
    string weak;
    int firstWeak = -1;
    for (int k = 0; k < 9; ++k)
        if (!runs[k].DingGood() && !runs[k].CaiGood()) {
            weak += (weak.empty() ? "" : "、") + Yun(runs[k].period);
            // The onset of a decline, not a weakness carried on from the period before.
            if (firstWeak < 0 && k > 0 && (runs[k - 1].DingGood() || runs[k - 1].CaiGood()))
                firstWeak = k;
        }
    add("衰退之运：" + (weak.empty() ? string("九运之中无丁财俱衰之运") : weak + "，丁财俱不得令，宜守不宜进") +
        "。");
    add("宅运：" + PrisonSentence(f) + "。");
    add("形峦：" + LandformSentence(f) + "。");
    add("忌动之方：" + QuietSentence(f) + "。");
    const string work = "择吉大修（换屋顶或开天窗、改大门、全屋翻新后重新入住），按新运重排飞星";
    string renew = "换天心：";
    if (!runs[0].DingGood() && !runs[0].CaiGood())
        renew += f.pattern == kShangShanXiaShui ? "建宅之运上山下水，形局不合坐空朝满者宜改向或择吉换天心；"
                                                 : "建宅之运丁财俱不得令，宜借城门、来水补救；";
    if (kf == 0)
        renew += "当令向星入中，本运即受困，向前须有大水，否则宜改用下卦度数立向";
    else if (kf > 0 && firstWeak > 0 && firstWeak < kf)
        renew += "本宅自" + Yun(runs[firstWeak].period) + "起丁财俱衰，" + Yun(runs[kf].period) + "向星入囚；宜于" +
                 Yun(runs[firstWeak].period) + work;
    else if (kf > 0)
        renew += "宜于" + Yun(runs[kf].period) + "向星入囚之前" + work;
    else if (firstWeak > 0)
        renew += "本宅自" + Yun(runs[firstWeak].period) + "起丁财俱衰，宜于" + Yun(runs[firstWeak].period) + work;
    else
        renew += "逢丁财俱衰之运，宜" + work;
    add(renew + "。");
    return out;
}

string Escape(const string &text)
{
    string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

} // namespace

std::string ExplanationText(bool tiGua, int mountain, int period)
{
    return Explanation(Compute(tiGua, mountain, period));
}

std::array<std::string, kBankLines> FortuneLines(bool tiGua, int mountain, int period)
{
    return Fortune(Compute(tiGua, mountain, period));
}

const char *FileName(Table t)
{
    switch (t) {
    case Table::XiaGuaText:
        return "xuankong_xiagua.txt";
    case Table::TiGuaText:
        return "xuankong_tigua.txt";
    case Table::XiaGuaBank:
        return "shanyun_xiagua.txt";
    case Table::TiGuaBank:
        return "shanyun_tigua.txt";
    }
    return "";
}

std::map<int, std::string> Entries(Table t)
{
    std::map<int, std::string> entries;
    const bool tiGua = t == Table::TiGuaText || t == Table::TiGuaBank;
    const bool bank = t == Table::XiaGuaBank || t == Table::TiGuaBank;
    for (int period = 1; period <= 9; ++period)
        for (int m = 0; m < 24; ++m) {
            if (!bank) {
                entries[TextId(tiGua, m, period)] = ExplanationText(tiGua, m, period);
                continue;
            }
            const auto lines = FortuneLines(tiGua, m, period);
            for (int i = 0; i < kBankLines; ++i)
                entries[BankId(tiGua, m, period, i)] = lines[i];
        }
    return entries;
}

std::string FileText(Table t)
{
    std::string out;
    for (const auto &[id, text] : Entries(t))
        out += std::to_string(id) + "\t" + Escape(text) + "\n";
    return out;
}

} // namespace readings
