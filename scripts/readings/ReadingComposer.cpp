#include "ReadingComposer.h"

#include "ChartRules.h"
#include "FeiXingCalc.h"
#include "HouseRulings.h"
#include "MathUtil.h"
#include "PatternCalc.h"

#include <algorithm>
#include <optional>
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

// A star with its state in a period: 五黄 outside its own period has no growth to speak of, whatever its
// distance from the period says.
string StarState(int star, int period)
{
    star = Nine(star);
    if (star == 5 && period != 5)
        return "五黄（非当令，宜静）";
    return string(kStar[star]) + kState[StateOf(star, period)];
}

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
    std::array<GateRecord, 2> gates{};
    HouseRuling rule;            // what each outer palace may take in the building period
    std::vector<PeriodRun> runs; // the building period and the eight after it

    int M(int p) const { return Nine(chart[p][kSlotMountainStar]); }
    int F(int p) const { return Nine(chart[p][kSlotFacingStar]); }
    int Y(int p) const { return Nine(chart[p][kSlotPeriodStar]); }
    string S() const { return kShan[mountain]; }
    string Fm() const { return kShan[facing]; }
    bool Whole(PalaceSlot flag) const
    {
        for (const PalaceRecord &g : gong)
            if (!g[flag])
                return false;
        return true;
    }
    int WholeSanBan() const
    {
        const int first = gong[0][kSlotSanBan];
        for (const PalaceRecord &g : gong)
            if (g[kSlotSanBan] != first)
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
    const PalaceRuling &Use(int p) const { return rule.palace[p]; }
    bool Opens(int p) const { return p < 8 && rule.palace[p].use == PalaceUse::Open; }
    int PeriodAt(int k) const { return (period - 1 + k) % 9 + 1; } // the k-th period from the building one
    // Years of the k-th period from the building one, in the cycle 1864..2043; the report dates them in the
    // cycle that holds the building year.
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
    f.pattern = f.gong[f.sit][kSlotPattern];
    f.rule = RuleHouse(f.chart, mountain, period);
    f.wangShan = f.rule.wangShan;
    f.wangXiang = f.rule.wangXiang;
    f.gates = CityGates(mountain, f.stored, f.chart);
    f.runs = PeriodRuns(f.chart, mountain, period);
    return f;
}

// ---- wording ----

string Years(int first) { return std::to_string(first) + "—" + std::to_string(first + 19); }
string Yun(int period) { return string(kNum[period]) + "运"; }
string Place(int p) { return p == 8 ? string("中宫") : string(kDir[p]) + kGong[p]; }

// The k-th period from the building one with its years, so that a list running on past 九运 reads in its order.
string DatedPeriod(const Facts &f, int k, const string &note = "")
{
    return Yun(f.PeriodAt(k)) + "（" + Years(f.FirstYear(k)) + (note.empty() ? "" : "，" + note) + "）";
}

string Variant(const Facts &f) { return f.tiGua ? "替卦" : "下卦"; }
string HouseName(const Facts &f) { return f.S() + "山" + f.Fm() + "向"; }
string Stars(const Facts &f, int p)
{
    return string("山星") + kNum[f.M(p)] + "、向星" + kNum[f.F(p)] + "、运星" + kNum[f.Y(p)];
}

// The mountain of palace p of the sitting mountain's own 元龙: where a door there keeps the house 一卦纯清.
string Door(const Facts &f, int p) { return "（门开" + string(kShan[3 * p + f.mountain % 3]) + "字）"; }

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
        s = wangShan == wangXiang ? "当令山星、向星同到一旁宫" : "当令山星、向星皆到旁宫";
    // A timely star in the centre is locked in: the sentences on the timely stars and the centre say so, and so
    // does this one.
    if (wangShan == 8 || wangXiang == 8)
        s += "，" + (wangShan == 8 ? string("人丁受困") : string(kDing[ding + 1])) + "、" +
             (wangXiang == 8 ? string("财气受困") : string(kCai[cai + 1]));
    else
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

// ---- what a palace may take ----

// The facing star of palace p as the reading names it in period q: a star to keep quiet by its quiet name,
// any other with its state.
string FacingState(const Facts &f, int p, int q)
{
    const int s = f.F(p);
    if (QuietStar(s, q))
        return s == 5 ? "向星五黄" : "向星失令之二黑";
    return "向星" + string(kNum[s]) + kState[StateOf(s, q)];
}

// Why a palace that may take a door is kept from water.
string DoorOnlyRole(const HouseRuling &r, int p)
{
    switch (r.palace[p].why) {
    case UseReason::ZhengShen:
        return "为正神方";
    case UseReason::BackHeld:
        // The back is held by its own timely mountain star, or (双星会向) kept low for the stars in front.
        return r.wangShan == p ? "为坐山，当令山星在此" : "为坐山，旺星同到向首，坐后宜平";
    default:
        return "为城门所在";
    }
}

// Why palace p may not take water in the building period, after the palace's role ("向首", "坐山").
string Barred(const Facts &f, int p)
{
    switch (f.Use(p).why) {
    case UseReason::ZhengShen:
    case UseReason::BackHeld:
    case UseReason::CityGate:
        return DoorOnlyRole(f.rule, p);
    case UseReason::ErWu:
        return "二五同宫";
    default:
        return FacingState(f, p, f.period);
    }
}

// Water at a palace whose mountain star must not be dug comes from outside, never from a pond dug there.
string NoDigging(const Facts &f, int p)
{
    return f.Use(p).noEarth ? "（山星" + string(kNum[f.M(p)]) + "在此，忌动土开池）" : "";
}

// A new door where the mountain star must not be dug is building work too: it wants a chosen day and the star
// subdued first. Every line that opens a door there says so, in whichever period.
string NewDoor(const Facts &f, const HouseRuling &r, int p)
{
    return r.palace[p].noEarth ? string("，新开门即属动土，须择时、化") + (f.M(p) == 5 ? "五黄" : "二黑") : "";
}

// Water at a palace whose mountain star must not be dug comes from outside: every line that opens the palace to
// water says so, in whichever period, and that a new door there is building work.
string OuterWater(const Facts &f, const HouseRuling &r, int p)
{
    return r.palace[p].noEarth ? "，唯山星" + string(kNum[f.M(p)]) + "在此，忌动土开池，宜借外水" + NewDoor(f, r, p)
                               : "";
}

// Why a palace may only take air in period q: 二 with 五, its quiet facing star, or its place in an 打劫 triad.
string AirReason(const Facts &f, const PalaceRuling &u, int p, int q)
{
    if (u.why == UseReason::ErWu)
        return "二五同宫";
    return FacingState(f, p, q) + (u.why == UseReason::DaJie ? "，为打劫三宫之一" : "");
}

// What palace p may take in period q under ruling r, the one answer every line that names the palace gives:
// "宜开门、见水、走道", "只宜开门、走道…不宜见水", "只宜通气" or "宜静". An opened palace names its facing star
// unless the caller has named it; a palace kept from doors or water always names why.
string UseAdvice(const Facts &f, const HouseRuling &r, int q, int p, bool nameStar = true)
{
    const PalaceRuling &u = r.palace[p];
    const string star = nameStar ? FacingState(f, p, q) + "，" : "";
    switch (u.use) {
    case PalaceUse::Open:
        return star + "宜开门、见水、走道" + Door(f, p) + OuterWater(f, r, p);
    case PalaceUse::DoorOnly:
        return star + DoorOnlyRole(r, p) + "，只宜开门、走道" + Door(f, p) + "，不宜见水" + NewDoor(f, r, p);
    case PalaceUse::AirOnly:
        return AirReason(f, u, p, q) + "，只宜通气，忌开门放水";
    case PalaceUse::Quiet:
        break;
    }
    return FacingState(f, p, q) + "，宜静，忌开门放水";
}
string UseAdvice(const Facts &f, int p, bool nameStar = true) { return UseAdvice(f, f.rule, f.period, p, nameStar); }

// Both timely stars in one outer palace: near water for the facing star, a hill beyond it for the mountain star.
string NearWaterFarHill(const Facts &f, const HouseRuling &r, int q, int p)
{
    if (r.palace[p].use != PalaceUse::Open)
        return "此方宜远处有山；近处" + UseAdvice(f, r, q, p, false);
    return "此方宜近处见水或开门、水外远处有山或高楼（近水远山），丁财并收" + Door(f, p);
}

// What may be made of the city gates when the sitting and facing palaces lack the timely stars.
string Borrow(const Facts &f)
{
    if (f.rule.gateOpen[0] || f.rule.gateOpen[1])
        return "宜借城门、来水补救";
    return "城门亦不可开，宜借令星所到之方补救";
}

// Where the timely stars of the building period stand, and what that means.
string WangXingSentence(const Facts &f)
{
    const string n = kNum[f.period];
    if (f.wangShan == f.wangXiang && f.wangShan != f.sit && f.wangShan != f.face && f.wangShan != 8)
        return "当令山星、向星" + n + "同到" + Place(f.wangShan) + "，" +
               NearWaterFarHill(f, f.rule, f.period, f.wangShan);
    string s = "当令山星" + n;
    if (f.wangShan == f.sit)
        s += "到坐山" + f.S() + "（" + kGong[f.wangShan] + "），主旺丁";
    else if (f.wangShan == f.face)
        s += "到向首" + f.Fm() + "（" + kGong[f.wangShan] + "，山星下水），向前无山则损丁";
    else if (f.wangShan == 8)
        s += "入中宫，人丁之气受困";
    else
        s += "到" + Place(f.wangShan) + "，此方有山则旺丁";
    s += "；当令向星" + n;
    if (f.wangXiang == f.face)
        s += "到向首" + f.Fm() + "（" + kGong[f.wangXiang] + "），主旺财";
    else if (f.wangXiang == f.sit)
        s += "到坐山" + f.S() + "（" + kGong[f.wangXiang] + "，向星上山），" +
             (f.Opens(f.sit) ? "坐后无水则破财" : "坐山" + UseAdvice(f, f.sit, false) + "，财运难旺");
    else if (f.wangXiang == 8)
        s += "入中宫，财气受困";
    else if (f.Opens(f.wangXiang))
        s += "到" + Place(f.wangXiang) + "，此方见水或开门则旺财";
    else
        s += "到" + Place(f.wangXiang) + "，此方" + UseAdvice(f, f.wangXiang, false);
    return s;
}

// Landform advice the pattern calls for. Water goes only where the palace may take it: a 正神 palace in front
// or behind keeps its openings without water.
string LandformSentence(const Facts &f)
{
    const string where = "坐" + f.S() + "朝" + f.Fm() + "，";
    const bool frontWater = f.Opens(f.face), backWater = f.Opens(f.sit);
    const bool backDoor = f.Use(f.sit).use == PalaceUse::DoorOnly;
    switch (f.pattern) {
    case kWangShanWangXiang:
        return where + "坐实朝空：坐后须有实山、高楼或大树靠托，向前明堂开阔，" +
               (frontWater ? "见水或道路环抱" + NoDigging(f, f.face) : "道路环抱（向首" + Barred(f, f.face) + "，不宜见水）") +
               "，则丁财两旺；坐后空缺见水则损丁，向前高楼逼压则破财";
    case kShangShanXiaShui:
        return where + "坐空朝满：坐后宜低空，近处最好有" +
               (backWater          ? (f.Use(f.sit).noEarth ? "外来之水或空地" + NoDigging(f, f.sit) : string("池塘或空地"))
                : backDoor ? "空地或后门（坐山" + Barred(f, f.sit) + "，不宜池塘）"
                           : "空地（坐山" + Barred(f, f.sit) + "，不宜池塘、开门）") +
               "以收向星，向前宜有山或高楼以收山星，形气相配可反凶为吉；若背山面水，丁财两损";
    case kShuangXingHuiXiang:
        if (!frontWater)
            return where + "向方宜空亦须有山：向首" + Barred(f, f.face) + "，不宜见水，向前近处宜开阔、道路环抱以收向星，远处须有"
                           "山或高楼以收山星保丁，坐后宜平坦低空；向前无山，旺财损丁";
        return where + "向方有水亦须有山：向前近处见水（池塘、河流、环抱之路）以收向星旺财，水外更须有山或高楼"
                       "以收山星保丁，坐后宜平坦低空；向前只有水而无山，旺财损丁";
    case kShuangXingHuiZuo:
        if (!backWater)
            return where + "坐方有山亦须空：坐山" + Barred(f, f.sit) + "，不宜见水，坐后近处宜空地" + (backDoor ? "或后门" : "") +
                   "以收向星，再后有山峰或高楼"
                           "以收山星，向前宜开阔平坦；坐后只有山而无空，旺丁不旺财";
        return where + "坐方有山亦须有水：坐后近处有池塘或低地以收向星，水后再有山峰或高楼以收山星，"
                       "向前宜开阔平坦；坐后只有山而无水，旺丁不旺财";
    default:
        break;
    }
    // No pattern: each timely star wants its own landform where it fell.
    string s = where;
    if (f.wangShan == f.wangXiang && f.wangShan != 8)
        return s + "当令山星、向星同到" + Place(f.wangShan) + "，" +
               NearWaterFarHill(f, f.rule, f.period, f.wangShan) + "；山向二宫不得令星，" + Borrow(f);
    if (f.wangShan == f.sit)
        s += "坐后宜有实山或高楼靠托";
    else if (f.wangShan == f.face)
        s += "当令山星下水，向前远处宜有山或高楼";
    else if (f.wangShan == 8)
        s += "当令山星入中，坐后宜有实山";
    else
        s += "当令山星所到之" + Place(f.wangShan) + "宜有山或高楼";
    if (f.wangXiang == f.face)
        s += frontWater ? "；向前宜开阔见水、开门" : "；向首" + UseAdvice(f, f.face, false);
    else if (f.wangXiang == f.sit)
        s += backWater ? "；当令向星上山，坐后宜见水" : "；当令向星上山，坐山" + UseAdvice(f, f.sit, false);
    else if (f.wangXiang == 8)
        s += f.face == ZhengShenPalace(f.period) ? "；当令向星入中，向首为正神方，不宜大水，财气难解"
                                                 : "；当令向星入中，向前须有大水";
    else
        s += "；当令向星所到之" + Place(f.wangXiang) + UseAdvice(f, f.wangXiang, false);
    if (f.wangShan != f.sit && f.wangXiang != f.face)
        s += "；山向二宫不得令星，" + Borrow(f);
    return s;
}

// A finding of the chart; only what a chart has is said.
struct Said {
    string text;
    bool good = true;
    bool present = false;
};

// 合十: whole-chart first; otherwise the sitting and facing palaces. Mountain stars summing to ten with the
// period stars help the people of the house, facing stars its wealth.
Said HeShi(const Facts &f)
{
    Said r;
    std::vector<string> whole;
    if (f.Whole(kSlotHeShiMountainPeriod))
        whole.push_back("山星与运星九宫皆合十，通气利丁");
    if (f.Whole(kSlotHeShiFacingPeriod))
        whole.push_back("向星与运星九宫皆合十，通气利财");
    if (f.Whole(kSlotHeShiMountainFacing))
        whole.push_back("山星与向星九宫皆合十，山水之气相通");
    if (!whole.empty()) {
        r.present = true;
        r.text = "全局合十（";
        for (size_t i = 0; i < whole.size(); ++i)
            r.text += (i ? "；" : "") + whole[i];
        r.text += "），其力在建宅之" + Yun(f.period) + "，形局相配方验";
        return r;
    }
    std::vector<string> local;
    const int keys[2] = {f.sit, f.face};
    const string role[2] = {"坐山" + f.S(), "向首" + f.Fm()};
    // Where the building period's verdict denies people or wealth, the 合十 helps against it: it does not make them
    // prosperous.
    const bool dingWeak = f.pattern != kWangShanWangXiang && !f.runs[0].DingGood();
    const bool caiWeak = f.pattern != kWangShanWangXiang && !f.runs[0].CaiGood();
    const string forDing = dingWeak ? "合十通气，可稍补本运人丁之不足" : "合十，利丁";
    const string forCai = caiWeak ? "合十通气，可稍补本运财运之不足" : "合十，利财";
    for (int k = 0; k < 2; ++k) {
        const int p = keys[k];
        if (f.gong[p][kSlotHeShiMountainPeriod])
            local.push_back(role[k] + "山星" + kNum[f.M(p)] + "与运星" + kNum[f.Y(p)] + forDing);
        if (f.gong[p][kSlotHeShiFacingPeriod])
            local.push_back(role[k] + "向星" + kNum[f.F(p)] + "与运星" + kNum[f.Y(p)] + forCai);
        if (f.gong[p][kSlotHeShiMountainFacing])
            local.push_back(role[k] + "山星" + kNum[f.M(p)] + "与向星" + kNum[f.F(p)] + "合十，气通");
    }
    if (!local.empty()) {
        r.present = true;
        for (size_t i = 0; i < local.size(); ++i)
            r.text += (i ? "；" : "") + local[i];
    }
    return r;
}

// What to do about a whole-chart 伏吟 or 反吟 in the building period (later periods follow their own 布局) depends
// on where the timely stars went: with them at the back or the front, water behind would drain the very star that
// holds the house.
string FuFanRemedy(const Facts &f)
{
    switch (f.pattern) {
    case kWangShanWangXiang:
        return "旺星到山到向，伏反吟之害大减；本运宜静，切忌坐后开池放水";
    case kShuangXingHuiXiang:
        return "旺星同到向首，伏反吟之害大减；本运宜静，切忌坐后开池放水";
    case kShangShanXiaShui:
    case kShuangXingHuiZuo:
        if (f.Opens(f.sit) && f.Use(f.sit).noEarth)
            return "本运宜向前平坦开阔，坐后借外来流水化解" + NoDigging(f, f.sit);
        return f.Opens(f.sit) ? "本运宜向前平坦开阔，坐后有流水、池塘化解"
                              : "本运宜向前平坦开阔，坐后空旷" +
                                    string(f.Use(f.sit).use == PalaceUse::DoorOnly ? "、开门" : "") + "化解（坐山" +
                                    Barred(f, f.sit) + "，不宜池塘）";
    default:
        return "本运宜静，依当令山星、向星所到之方布置山水化解";
    }
}

// The whole-chart 伏吟 and 反吟 (wholeChart), or else those of the sitting and facing palaces alone.
Said FuFan(const Facts &f, bool wholeChart)
{
    Said r;
    r.good = false;
    std::vector<string> whole;
    if (f.Whole(kSlotFuYinMountainEarth))
        whole.push_back("山星伏吟（五黄入中顺飞，九宫山星与地盘相同）");
    if (f.Whole(kSlotFuYinFacingEarth))
        whole.push_back("向星伏吟（五黄入中顺飞，九宫向星与地盘相同）");
    if (f.Whole(kSlotFanYinMountainEarth))
        whole.push_back("山星反吟（五黄入中逆飞，九宫山星与地盘对冲）");
    if (f.Whole(kSlotFanYinFacingEarth))
        whole.push_back("向星反吟（五黄入中逆飞，九宫向星与地盘对冲）");
    if (f.Whole(kSlotFuYinMountainPeriod))
        whole.push_back("山星与运盘伏吟（九宫山星与运星相同）");
    if (f.Whole(kSlotFuYinFacingPeriod))
        whole.push_back("向星与运盘伏吟（九宫向星与运星相同）");
    if (!whole.empty() && !wholeChart)
        return r;
    if (!whole.empty()) {
        r.present = true;
        r.text = "全局";
        for (size_t i = 0; i < whole.size(); ++i)
            r.text += (i ? "、" : "") + whole[i];
        r.text += "：主退败、疾病，祸患反复；" + FuFanRemedy(f);
        // Whether the other variant of the same facing escapes it: a 兼 or a pure facing may be the cure.
        const FlyChart other = f.tiGua ? f.xia : TiGuaChart(f.mountain, f.stored);
        const PalaceRecords og = MakePalaceRecords(other, f.stored);
        bool otherHas = false;
        for (int flag : {kSlotFuYinMountainEarth, kSlotFuYinFacingEarth, kSlotFuYinMountainPeriod,
                         kSlotFuYinFacingPeriod, kSlotFanYinMountainEarth, kSlotFanYinFacingEarth}) {
            bool all = true;
            for (const PalaceRecord &g : og)
                all = all && g[flag];
            otherHas = otherHas || all;
        }
        if (!otherHas)
            r.text += f.tiGua ? "；改用正向（下卦）可避" : "；改用兼向（替卦）可避";
        return r;
    }
    if (wholeChart)
        return r;
    std::vector<string> local;
    const int keys[2] = {f.sit, f.face};
    const string role[2] = {"坐山" + f.S(), "向首" + f.Fm()};
    for (int k = 0; k < 2; ++k) {
        const int p = keys[k];
        const PalaceRecord &g = f.gong[p];
        if (g[kSlotFuYinMountainEarth])
            local.push_back(role[k] + "山星" + kNum[f.M(p)] + "伏吟");
        if (g[kSlotFuYinFacingEarth])
            local.push_back(role[k] + "向星" + kNum[f.F(p)] + "伏吟");
        if (g[kSlotFanYinMountainEarth])
            local.push_back(role[k] + "山星" + kNum[f.M(p)] + "反吟");
        if (g[kSlotFanYinFacingEarth])
            local.push_back(role[k] + "向星" + kNum[f.F(p)] + "反吟");
    }
    if (!local.empty()) {
        r.present = true;
        for (size_t i = 0; i < local.size(); ++i)
            r.text += (i ? "、" : "") + local[i];
        r.text += "（与地盘），仅见于一宫，力轻，此方不宜动土大修";
    }
    return r;
}

// The palaces of an 打劫 triad, each with what it may take: the robbery works through the palaces opened. A
// 正神 palace of the triad lends its air only.
string DaJieOpenings(const Facts &f, const std::array<int, 3> &triad)
{
    static const char *const kTri[9] = {"坎", "艮", "震", "巽", "离", "坤", "兑", "乾", "中"};
    string s;
    for (int p : triad) {
        s += (s.empty() ? "" : "；") + string(kTri[p]) + "方" +
             (p == f.face                          ? "（向首）"
              : p == ZhengShenPalace(f.period) ? "（" + Yun(f.period) + "正神方，宜山不宜水，打劫只借其通气）"
                                                   : string());
        if (f.Opens(p))
            s += string("宜开门、见水") + (p == f.face ? "，尤须开阔" : "");
        else
            s += UseAdvice(f, p);
    }
    return s;
}

// 七星打劫 of the building period; with the period's 正神 palace at the facing, through which it draws the
// coming qi, it is not used.
Said DaJieSaid(const Facts &f)
{
    Said r;
    static const char *const kHeads[2] = {"北斗七星离宫打劫（离、震、乾三宫山向二星各成父母三般）",
                                          "北斗七星坎宫打劫（坎、巽、兑三宫山向二星各成父母三般）"};
    const int k = f.rule.daJie;
    if (k < 0)
        return r;
    r.present = true;
    if (!f.rule.daJieUsable) {
        r.good = false;
        r.text = string(kHeads[k]) + "，唯向首" + Place(ZhengShenPalace(f.period)) + "为" + Yun(f.period) +
                 "正神方，宜山不宜水；打劫须向首见水以劫未来之气，向首既不宜见水，本运不能用此打劫";
        return r;
    }
    r.text = string(kHeads[k]) + "，以现在之运劫未来之气：" + DaJieOpenings(f, kDaJieTriads[k]);
    return r;
}

// A whole-chart 三般卦 joins the building period with the periods its stars run to: the next two for 连珠, those
// three and six on for 父母. It adds to what is good in them; it does not lift a building period whose people and
// wealth both decline.
Said SanBanSaid(const Facts &f)
{
    Said r;
    const int sanBan = f.WholeSanBan();
    if (sanBan == 0)
        return r;
    const int step = sanBan == 1 ? 1 : 3;
    const string linked = DatedPeriod(f, 0) + "、" + DatedPeriod(f, step) + "、" + DatedPeriod(f, 2 * step);
    r.present = true;
    r.text = sanBan == 1 ? "全局连珠三般卦，九宫山、向、运三星皆相连，气脉贯通"
                         : "全局父母三般卦，九宫山、向、运三星皆隔三相应，气通三元";
    r.text += "：" + linked + "之气相通";
    r.text += f.runs[0].Decline() ? "；唯助本有之吉，不改本运丁财之衰，仍须依山运布局补救" : "，于此三运有助";
    return r;
}

// The city gates: a gate star timely in the building period (五黄 only in 五运) makes a gate, and the palace's
// own ruling says what the gate may take.
string GateSentence(const Facts &f)
{
    string s;
    for (int k = 0; k < 2; ++k) {
        const GateRecord &g = f.gates[k];
        const int star = Nine(g[1]);
        const int palace = g[0] / 3;
        s += k ? "；副城门" : "正城门";
        s += "在" + Place(palace) + kShan[g[0]] + "方，飞星";
        if (star == 5 && f.period != 5) {
            s += "五黄，非当令，不作城门用";
            continue;
        }
        s += string(kNum[star]) + kState[g[2]];
        if (!f.rule.gateUsable[k])
            s += "，不作城门用";
        else if (f.Opens(palace))
            s += (g[2] == 0 ? "，可用：此方开门、见水或有道路来气，催财最速" : "，可用，力稍逊，此方宜开门、见水") +
                 OuterWater(f, f.rule, palace);
        else if (f.Use(palace).use == PalaceUse::DoorOnly)
            s += "，可用，此方" + UseAdvice(f, palace);
        else
            s += "，然此方" + UseAdvice(f, palace) + "，不作城门用";
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
    // Water before the house breaks the prison, except where the facing palace is then the period's 正神.
    const bool frontIsZheng = kf >= 0 && f.face == ZhengShenPalace(cf);
    if (kf < 0)
        s = "向星五黄入中，五无定位，不论入囚";
    else if (kf == 0)
        s = frontIsZheng ? "当令向星入中，本运即入囚，财气受困；向首为正神方，不宜大水，难以水解"
                         : "当令向星入中，本运即入囚，财气受困，向前须有大水方可解";
    else
        s = "向星" + string(kNum[cf]) + "入中，" + Yun(cf) + "入囚，距建宅" + kNum[kf] + "运（约" + kYearsCn[kf] +
            "年）；" +
            (frontIsZheng ? "届时向首" + f.Fm() + "方为" + Yun(cf) + "正神方，不宜大水，宜于入囚之前换天心"
                          : f.Fm() + "方向前有大水（湖、河、大池）则囚不住");
    const int km = PrisonAfter(f, 0);
    const int cm = f.M(8);
    if (km < 0)
        s += "；山星五黄入中，亦不论入囚";
    else if (km == 0)
        s += "；当令山星入中，本运人丁之气受困，坐后须有实山";
    else
        s += "；山星" + string(kNum[cm]) + "入中，" + Yun(cm) + "山星入囚，人丁渐弱，坐" + f.S() + "之后有实山可解";
    return s;
}

// 替卦 against 下卦: which stars were replaced. A half whose starting star is 五黄 has no replacement star: it
// flies as in 下卦, by the yin or yang of the mountain.
string ReplacementSentence(const Facts &f)
{
    if (f.SameAsXiaGua())
        return "此山替卦之星即本星，替卦盘与下卦盘相同，断法亦同下卦";
    string s;
    const char *const half[2] = {"山盘", "向盘"};
    const int from[2] = {f.sit, f.face};
    for (int slot = 0; slot < 2; ++slot) {
        s += slot ? "；" : "替卦：";
        const int x = Nine(f.xia[8][slot]), t = Nine(f.chart[8][slot]);
        if (f.Y(from[slot]) == 5)
            s += string(half[slot]) + "起星为五黄，五黄无替星，依本山阴阳以" + kNum[t] + "入中飞布，同下卦";
        else if (f.HalfSame(slot))
            s += string(half[slot]) + "替星即本星，同下卦（" + kNum[t] + "入中）";
        else if (x == t)
            s += string(half[slot]) + "以" + kNum[t] + "入中，飞行方向与下卦不同";
        else
            s += string(half[slot]) + "以" + kNum[t] + "代" + kNum[x] + "入中";
    }
    return s;
}

// The building period and the following eight (PeriodRuns): people by the sitting palace's mountain star,
// wealth by the facing palace's facing star, undone where that period's timely stars fall badly.
using Run = PeriodRun;

string Verdict(const Run &r)
{
    if (r.pattern == kWangShanWangXiang)
        return "丁财两旺";
    const bool d = r.DingGood(), c = r.CaiGood();
    if (r.pattern == kShangShanXiaShui && !d && !c)
        return "上山下水，丁财两损（坐空朝满者反吉）";
    if (d && c)
        return r.heShiDing || r.heShiCai ? "全局合十，丁财俱顺" : "丁财俱顺";
    if (d)
        return r.ding == 0 || r.heShiDing ? "旺丁不旺财" : "人丁渐兴，财运平平";
    if (c)
        return r.cai == 0 || r.heShiCai ? "旺财不旺丁" : "财运渐起，人丁平平";
    if (r.ding == 8 && r.cai == 8)
        return "丁财两退";
    return "丁财两衰";
}

string PeriodList(const Facts &f, bool ding)
{
    string s;
    for (size_t k = 0; k < f.runs.size(); ++k) {
        const Run &r = f.runs[k];
        if (ding ? !r.DingGood() : !r.CaiGood())
            continue;
        s += (s.empty() ? "" : "、") + DatedPeriod(f, static_cast<int>(k), kState[ding ? r.ding : r.cai]);
    }
    return s.empty() ? "无" : s;
}

// Where the timely stars of period q stand in this chart, and the landform that period wants; what the
// palace of its facing star may take is that period's ruling.
string PeriodLayout(const Facts &f, int q)
{
    const HouseRuling r = q == f.period ? f.rule : RuleHouse(f.chart, f.mountain, q);
    const int ms = r.wangShan, fs = r.wangXiang;
    const bool water = fs < 8 && r.palace[fs].use == PalaceUse::Open;
    string s = "布局：";
    const string n = kNum[q];
    if (ms == fs && ms != 8) {
        s += "当令山星、向星" + n + "同";
        if (!water)
            s += "在" + (ms == f.sit ? "坐山" + f.S() : ms == f.face ? "向首" + f.Fm() : Place(ms)) +
                 "，宜远处有山；近处" + UseAdvice(f, r, q, ms, false);
        else if (ms == f.sit)
            s += "在坐山" + f.S() + "，宜坐后近处有水、水外有山，后门可开" + Door(f, ms);
        else if (ms == f.face)
            s += "在向首" + f.Fm() + "，宜向前近处见水、远处有山" + Door(f, ms);
        else
            s += "在" + Place(ms) + "，宜此方近水远山" + Door(f, ms);
    } else {
        s += "当令山星" + n;
        if (ms == 8)
            s += q == 5 ? "入中，五黄入中，不论入囚" : "入中，山星入囚，人丁受困";
        else if (ms == f.sit)
            s += "在坐山" + f.S() + "，宜坐后有山";
        else if (ms == f.face)
            s += "在向首" + f.Fm() + "（下水），宜向前远处有山";
        else
            s += "在" + Place(ms) + "，宜此方有山或高楼";
        s += "；当令向星" + n;
        if (fs == 8)
            s += q == 5                              ? "入中，五黄入中，不论入囚"
                 : f.face == ZhengShenPalace(q) ? "入中，向星入囚，财气受困，向首为正神方，不宜大水，难以水解"
                                                  : "入中，向星入囚，财气受困，须向前有大水方可解";
        else if (!water)
            s += "在" + (fs == f.sit ? "坐山" + f.S() + "（上山）" : fs == f.face ? "向首" + f.Fm() : Place(fs)) +
                 "，此方" + UseAdvice(f, r, q, fs, false);
        else if (fs == f.face)
            s += "在向首" + f.Fm() + "，宜向前见水、开门" + Door(f, fs) + OuterWater(f, r, fs);
        else if (fs == f.sit)
            s += "在坐山" + f.S() + "（上山），宜坐后见水，后门可开" + Door(f, fs) + OuterWater(f, r, fs);
        else
            s += "在" + Place(fs) + "，宜此方见水、开门或走道" + Door(f, fs) + OuterWater(f, r, fs);
    }
    if (r.pattern != kPairNone)
        s += "。本运山向成" + PatternShort(r.pattern) + "之局";
    s += "。";
    return s;
}

// What the sitting mountain star does for the people of the house in one period.
string DingPart(const Facts &f, const Run &r)
{
    const int ds = f.M(f.sit);
    const string who = "坐山" + f.S() + "山星";
    if (r.heShiDing)
        return "全局山星与运星合十，通气利丁；" + who + StarState(ds, r.period);
    if (r.xiaShui)
        return "当令山星下水，" + who + StarState(ds, r.period) + "，人丁不旺，向前有山方可补救";
    if (r.shanQiu)
        return "山星入囚，" + who + StarState(ds, r.period) + "，人丁受困，坐后有实山方可解";
    if (ds == 5 && r.ding != 0)
        return who + "五黄" + (r.period == 5 ? "" : "非当令，") + kEffect[5].dingBad + "，宜静不宜动";
    if (Timely(r.ding))
        return who + kStar[ds] + kState[r.ding] + "，" + kEffect[ds].dingGood;
    if (r.ding == 8)
        return who + kStar[ds] + "退气，人丁渐减，后辈少成";
    return who + kStar[ds] + kState[r.ding] + "，" + kEffect[ds].dingBad;
}

// What the facing palace's facing star does for the wealth of the house in one period. The water that would
// mend it is never put in that period's 正神 palace.
string CaiPart(const Facts &f, const Run &r)
{
    const int cs = f.F(f.face);
    const string who = "向首向星";
    const int zheng = ZhengShenPalace(r.period);
    if (r.heShiCai)
        return "全局向星与运星合十，通气利财；" + who + StarState(cs, r.period);
    if (r.shangShan) {
        const HouseRuling rq = r.period == f.period ? f.rule : RuleHouse(f.chart, f.mountain, r.period);
        return "当令向星上山，" + who + StarState(cs, r.period) + "，财运不济，" +
               (rq.palace[f.sit].use == PalaceUse::Open ? "坐后见水方可补救" + OuterWater(f, rq, f.sit)
                                                         : "坐山" + UseAdvice(f, rq, r.period, f.sit, false));
    }
    if (r.xiangQiu)
        return "向星入囚，" + who + StarState(cs, r.period) + "，财气受困，" +
               (zheng == f.face ? "向首为正神方，不宜大水，难以水解" : "向前有大水方可解");
    if (cs == 5 && r.cai != 0)
        return who + "五黄" + (r.period == 5 ? "" : "非当令，") + kEffect[5].caiBad + "，宜静不宜动";
    if (Timely(r.cai))
        return who + kStar[cs] + kState[r.cai] + "，" + kEffect[cs].caiGood;
    if (r.cai == 8)
        return who + kStar[cs] + "退气，财源渐退，宜守成";
    return who + kStar[cs] + kState[r.cai] + "，" + kEffect[cs].caiBad;
}

// Where a decline that starts in period k ends (k itself when it does not go on).
int DeclineEnd(const std::vector<Run> &runs, int k)
{
    int e = k;
    while (e + 1 < static_cast<int>(runs.size()) && runs[e + 1].Decline())
        ++e;
    return e;
}

// What practitioners do about a decline of several periods.
const char *const kDeclineRemedy = "宜择吉换天心（换屋顶或开天窗、改大门、翻新后重新入住，按新运重排飞星），"
                                   "或依各运布局于令星所到之方置山布水";

// One period's verdict. A decline that goes on is said in full once, where it begins, with its remedy; the
// periods after it only say that it goes on. An ill carried on from the period before is said in short.
string PeriodLine(const Facts &f, const std::vector<Run> &runs, int k)
{
    const Run &r = runs[k];
    const string head = Yun(r.period) + "（" + Years(f.FirstYear(k)) + "）：";
    if (r.Decline() && k > 0 && runs[k - 1].Decline()) {
        int b = k;
        while (b > 0 && runs[b - 1].Decline())
            --b;
        return head + HouseName(f) + "衰运未止（自" + Yun(runs[b].period) + "起，见上），仍依下列布局补救。";
    }
    string ding = DingPart(f, r), cai = CaiPart(f, r);
    // "同上运" only where the period before was read in full.
    const bool prevFull = k > 0 && !(k > 1 && runs[k - 1].Decline() && runs[k - 2].Decline());
    // 五黄 out of its period reads alike whatever its distance: it is still out of season, not still 死 or 煞.
    const auto still = [](int star, int state) {
        return star == 5 ? string("仍非当令") : string("仍为") + kState[state];
    };
    if (prevFull && ding == DingPart(f, runs[k - 1]))
        ding = "坐山" + f.S() + "山星" + kStar[f.M(f.sit)] + still(f.M(f.sit), r.ding) + "，同上运";
    if (prevFull && cai == CaiPart(f, runs[k - 1]))
        cai = "向首向星" + string(kStar[f.F(f.face)]) + still(f.F(f.face), r.cai) + "，同上运";
    string s = head + Verdict(r) + "。丁——" + ding + "；财——" + cai + "。";
    const int e = r.Decline() ? DeclineEnd(runs, k) : k;
    if (e > k)
        s += "此衰延至" + Yun(runs[e].period) + "（共" + kNum[e - k + 1] + "运），" + kDeclineRemedy + "。";
    return s;
}

string Title(const Facts &f)
{
    return Yun(f.period) + HouseName(f) + "（" + Variant(f) + "）";
}

// Named star pairs of a palace: the pair texts the palace reading quotes, each with the element remedy that meets it
// where the palace is opened. 六 with 九 is 火照天门 only while the 九 is out of season: timely, it brings
// celebrations and honours, as the pair's own text says, and is no warning.
struct Pair {
    const char *name, *remedy;
};
std::optional<Pair> NamedPair(int a, int b, int period)
{
    const int lo = std::min(a, b), hi = std::max(a, b);
    if (lo == 2 && hi == 5)
        return Pair{"二五交加，必损主", "宜以铜器、金属风铃泄其土气化解"};
    if (lo == 5 && hi == 9)
        return Pair{"五九紫黄毒药", "宜以铜器、金属风铃泄其土气化解，忌明火"};
    if (lo == 3 && hi == 7)
        return Pair{"三七叠至，被劫盗更见官灾", "宜用红色之物或灯光（火制七金）化解"};
    if (lo == 7 && hi == 9)
        return Pair{"九七合辙，常招回禄", "宜置陶瓷、石器（火生土、土生金）通关化解，忌明火、红色"};
    if (lo == 6 && hi == 9 && !FavouredStar(9, period))
        return Pair{"六九火照天门", "宜置陶瓷、石器（火生土、土生金）通关化解，忌明火、红色"};
    return std::nullopt;
}

// The warning of palace p's pair in the building period, with its remedy where the ruling opens the palace to a
// door; empty for no named pair.
string PairWarning(const Facts &f, int p)
{
    const std::optional<Pair> pair = NamedPair(f.M(p), f.F(p), f.period);
    if (!pair)
        return {};
    string s = pair->name;
    if (f.M(p) == f.period || f.F(p) == f.period)
        s += string("，") + kNum[f.period] + "当令，凶势稍减";
    if (p < 8 && f.Use(p).use != PalaceUse::AirOnly && f.Use(p).use != PalaceUse::Quiet)
        s += string("，其方开门，") + pair->remedy;
    return s;
}

// The quiet places of the building period (palaces that may only breathe, mountain stars not to be dug), and
// the named pairs.
string QuietSentence(const Facts &f)
{
    auto starName = [&](int star) {
        return star == 2 ? string("失令之二黑") : string(kStar[star]);
    };
    string water, earth, pairs, centre;
    for (int p = 0; p < 8; ++p) {
        const PalaceRuling &u = f.Use(p);
        if (u.use == PalaceUse::AirOnly && u.why != UseReason::DaJie) {
            string what = u.why == UseReason::QuietFacing ? "向星" + starName(f.F(p)) : string("二五同宫");
            water += string(water.empty() ? "" : "、") + what + "在" + Place(p);
        }
        if (u.noEarth)
            earth += string(earth.empty() ? "" : "、") + "山星" + starName(f.M(p)) + "在" + Place(p);
    }
    for (int p = 0; p < 9; ++p)
        if (const string warning = PairWarning(f, p); !warning.empty())
            pairs += "；" + Place(p) + "山" + kNum[f.M(p)] + "向" + kNum[f.F(p)] + "，" + warning;
    if (QuietStar(f.M(8), f.period) || QuietStar(f.F(8), f.period))
        centre = "；中宫飞星山" + string(kNum[f.M(8)]) + "向" + kNum[f.F(8)] + "，宅中心宜洁净安静";
    string s;
    if (!water.empty())
        s += water + "，其方忌开门放水，只宜通气";
    if (!earth.empty())
        s += (s.empty() ? "" : "；") + earth + "，其方忌动土、忌堆高重物";
    if (s.empty())
        s = "本运无五黄、失令之二黑须避之方";
    s += centre + pairs;
    if (!water.empty() || !earth.empty()) {
        const bool five = f.period != 5, two = QuietStar(2, f.period);
        s += string("；") + (five && two ? "五黄、二黑" : five ? "五黄" : "二黑") + "之方可用铜器、金属风铃泄其土气";
    }
    return s + "；八宅放水之方，玄空另有所断者（宜静、只宜通气，或宜见水、聚水），以玄空为准";
}

// 零神 and 正神 of the building period: the palace of the period's own number wants a hill and never takes
// water; its opposite wants water where its own facing star allows.
string ZeroSentence(const Facts &f)
{
    if (f.period == 5)
        return Yun(5) + "正神居中宫，不论零正，" + HouseName(f) + "以各宫令星为准";
    const int zheng = ZhengShenPalace(f.period), ling = LingShenPalace(f.period);
    string s = Yun(f.period) + "正神在" + Place(zheng) + "，宜山不宜水";
    if (f.Use(zheng).use == PalaceUse::DoorOnly)
        s += "，此方" + FacingState(f, zheng, f.period) + "，只宜开门、走道" + Door(f, zheng) + "以纳其气" +
             NewDoor(f, f.rule, zheng);
    s += "；零神在" + Place(ling);
    const PalaceRuling &u = f.Use(ling);
    if (u.use != PalaceUse::Open)
        return s + "，本宜见水，唯此方" + UseAdvice(f, ling);
    if (f.wangXiang == ling)
        s += string("，宜见水，当令向星亦到此，近处见水、开门尤吉") + (f.wangShan == ling ? "，水外宜有山" : "");
    else if (f.wangShan == ling)
        s += "，宜见水，当令山星亦到此，近处见水、开门，远处宜有山";
    else
        s += "，宜见水，零神方见水、开门则旺财";
    s += Door(f, ling);
    if (u.noEarth)
        s += "，唯山星" + string(kNum[f.M(ling)]) + "在此，忌动土开池，宜借外局之水" + NewDoor(f, f.rule, ling);
    return s;
}

// 门路水口: every outer palace with the one answer of the building period's ruling, grouped by what it may take.
string OpeningSentence(const Facts &f)
{
    string open, door, air;
    for (int p = 0; p < 8; ++p) {
        const PalaceRuling &u = f.Use(p);
        const string gate = "门开" + string(kShan[3 * p + f.mountain % 3]) + "字";
        switch (u.use) {
        case PalaceUse::Open:
            open += (open.empty() ? "" : "、") + Place(p) + "（" + FacingState(f, p, f.period) + "，" + gate +
                    (u.noEarth ? "，山星" + string(kNum[f.M(p)]) + "在此忌动土开池" : "") + NewDoor(f, f.rule, p) + "）";
            break;
        case PalaceUse::DoorOnly:
            door += (door.empty() ? "" : "、") + Place(p) + "（" + FacingState(f, p, f.period) + "，" +
                    DoorOnlyRole(f.rule, p) + "，" + gate + NewDoor(f, f.rule, p) + "）";
            break;
        case PalaceUse::AirOnly:
            air += (air.empty() ? "" : "、") + Place(p) + "（" + AirReason(f, u, p, f.period) + "）";
            break;
        case PalaceUse::Quiet:
            break;
        }
    }
    string s = !open.empty() ? open + "宜开门、见水、走道以纳旺气"
               : door.empty() ? string("本运无可开门、放水之方")
                              : string("本运无可见水之方");
    if (!door.empty())
        s += "；" + door + "只宜开门、走道，不宜见水";
    if (!air.empty())
        s += "；" + air + "只宜通气，忌开门放水";
    return s + "；其余各方宜静";
}

// One outer palace beside the sitting and facing ones, said when the block has room: its stars and what may be
// done there in the building period.
string SidePalace(const Facts &f, int p)
{
    string s = Place(p) + "：" + Stars(f, p) + "，";
    const PalaceRuling &u = f.Use(p);
    if (p == f.wangShan && p == f.wangXiang)
        s += "令星同到，" + NearWaterFarHill(f, f.rule, f.period, p);
    else if (p == f.wangXiang)
        s += "当令向星在此，" + UseAdvice(f, p, false);
    else if (p == f.wangShan)
        s += "当令山星在此，宜有山或高楼；" + UseAdvice(f, p);
    else if (u.use == PalaceUse::Quiet && FavouredStar(f.M(p), f.period))
        s += "山星" + string(kNum[f.M(p)]) + kState[StateOf(f.M(p), f.period)] + "，宜实宜静；" + UseAdvice(f, p);
    else
        s += UseAdvice(f, p);
    // A door-only palace already says that a new door there is building work, with its remedy.
    if (u.noEarth && u.use != PalaceUse::Open && u.use != PalaceUse::DoorOnly)
        s += "，忌动土";
    if (const string warning = PairWarning(f, p); !warning.empty())
        s += "；" + warning;
    return s;
}

// ---- the two texts ----

// The chart itself: its pattern, where the timely stars went, the stars of the sitting, facing and central
// palaces, what the whole chart has, and the city gates. What is done period by period is the fortune's.
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
    for (const Said &said : {HeShi(f), FuFan(f, true), SanBanSaid(f), DaJieSaid(f)})
        if (said.present)
            lines.push_back((said.good ? "★" : "☆") + said.text + "。");
    lines.push_back("●城门：" + GateSentence(f) + "。");
    string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\n" : "") + lines[i];
    return text;
}

// The outer palaces beside the sitting and facing ones, in the order the fortune reads them: the timely
// stars' palaces, then those with something to avoid, then the rest.
std::vector<int> SidePalaces(const Facts &f)
{
    std::vector<int> side;
    const auto add = [&](int p) {
        if (p != f.sit && p != f.face && p != 8 && std::find(side.begin(), side.end(), p) == side.end())
            side.push_back(p);
    };
    add(f.wangXiang);
    add(f.wangShan);
    for (int p = 0; p < 8; ++p)
        if (f.Use(p).use == PalaceUse::AirOnly || f.Use(p).noEarth || NamedPair(f.M(p), f.F(p), f.period))
            add(p);
    for (int p = 0; p < 8; ++p)
        add(p);
    return side;
}

std::array<string, kBankLines> Fortune(const Facts &f)
{
    std::array<string, kBankLines> out;
    int n = 0;
    auto add = [&](const string &line) { out[n++] = line; };
    const std::vector<Run> &runs = f.runs;

    add("【" + Yun(f.period) + " " + HouseName(f) + "·" + Variant(f) + "】");
    add("建宅元运：" + Yun(f.period) + "（" + Years(f.FirstYear(0)) + "），坐" + kShan[f.mountain] + "向" +
        kShan[f.facing] + "，坐" + kDir[f.sit] + "朝" + kDir[f.face] + "，" + kShan[f.mountain] + "山为" +
        kYuanLong[f.mountain % 3] + "，" + Variant(f) + "挨星。");
    add("坐山" + f.S() + "（" + kGong[f.sit] + "）：山星" + StarState(f.M(f.sit), f.period) + "主丁，向星" +
        StarState(f.F(f.sit), f.period) + "。");
    add("向首" + f.Fm() + "（" + kGong[f.face] + "）：向星" + StarState(f.F(f.face), f.period) + "主财，山星" +
        StarState(f.M(f.face), f.period) + "。");
    add(kEmptyLine);
    // Six lines for the palaces: a 伏吟 or 反吟 of the sitting or facing palace first, then the others.
    std::vector<string> found;
    if (const Said fuFan = FuFan(f, false); fuFan.present)
        found.push_back("伏吟反吟：" + fuFan.text + "。");
    for (int p : SidePalaces(f))
        if (found.size() < 6)
            found.push_back("旁宫" + SidePalace(f, p) + "。");
    for (const string &line : found)
        add(line);
    add(kEmptyLine);
    add(f.pattern == kShangShanXiaShui
            ? "山运（自建宅之运起，每运二十年；坐山山星论丁，向首向星论财，按背山面水之常局论；若坐空朝满，"
              "丁看向首山星、财看坐山向星，吉凶相反）："
            : "山运（自建宅之运起，每运二十年；坐山山星论丁，向首向星论财）：");
    for (int k = 0; k < 9; ++k) {
        add(PeriodLine(f, runs, k));
        add(PeriodLayout(f, runs[k].period));
    }
    add(kEmptyLine);
    add("总断：" + HouseName(f) + "，旺丁之运：" + PeriodList(f, true) + "；旺财之运：" + PeriodList(f, false) + "。");
    string weak;
    int firstWeak = -1;
    for (int k = 0; k < 9; ++k)
        if (runs[k].Decline()) {
            weak += (weak.empty() ? "" : "、") + DatedPeriod(f, k);
            // The onset of a decline, not a weakness carried on from the period before.
            if (firstWeak < 0 && k > 0 && !runs[k - 1].Decline())
                firstWeak = k;
        }
    const string decline = weak + "，" + HouseName(f) + "丁财俱不得令，宜守不宜进";
    add("衰退之运：" + (weak.empty() ? string("九运之中无丁财俱衰之运") : decline) + "。");
    add("宅运：中宫" + Stars(f, 8) + "。" + PrisonSentence(f) + "。");
    add("零神正神：" + HouseName(f) + "，" + ZeroSentence(f) + "。");
    add("门路水口：" + Yun(f.period) + HouseName(f) + "，" + OpeningSentence(f) + "。");
    add("形峦：" + LandformSentence(f) + "。");
    add("忌动之方：" + HouseName(f) + Yun(f.period) + "之内，" + QuietSentence(f) + "。");
    const int kf = PrisonAfter(f, 1);
    const string work = "择吉大修（换屋顶或开天窗、改大门、全屋翻新后重新入住），按新运重排飞星";
    string renew = "换天心：";
    if (runs[0].Decline())
        renew += f.pattern == kShangShanXiaShui ? "建宅之运上山下水，形局不合坐空朝满者宜改向或择吉换天心；"
                                                 : "建宅之运丁财俱不得令，" + Borrow(f) + "；";
    if (kf == 0)
        renew += f.face == ZhengShenPalace(f.period)
                     ? "当令向星入中，本运即受困，向首为正神方不宜大水，宜改用下卦度数立向"
                     : "当令向星入中，本运即受困，向前须有大水，否则宜改用下卦度数立向";
    else if (kf > 0 && firstWeak > 0 && firstWeak < kf)
        renew += HouseName(f) + "自" + Yun(runs[firstWeak].period) + "起丁财俱衰，" + Yun(runs[kf].period) +
                 "向星入囚；宜于" + Yun(runs[firstWeak].period) + work;
    else if (kf > 0)
        renew += "宜于" + Yun(runs[kf].period) + "向星入囚之前" + work;
    else if (firstWeak > 0)
        renew += HouseName(f) + "自" + Yun(runs[firstWeak].period) + "起丁财俱衰，宜于" + Yun(runs[firstWeak].period) + work;
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
