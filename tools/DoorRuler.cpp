#include "DoorRuler.h"

#include <algorithm>
#include <cmath>

namespace {
// 门公尺 sections and cells, in ruler order.
constexpr std::string_view kMenGongSections[8] = {"财", "病", "离", "义", "官", "劫", "害", "本"};
constexpr std::string_view kMenGongCells[32] = {
    "财德", "宝库", "六合", "迎福", "退财", "公事", "牢执", "孤寡", "长库", "劫财", "官鬼", "失脱",
    "添丁", "益利", "贵子", "大吉", "顺科", "横财", "进益", "富贵", "死别", "退口", "离乡", "财失",
    "灾至", "死绝", "病临", "口舌", "财至", "登科", "进宝", "兴旺"};
constexpr bool kMenGongLucky[8] = {true, false, false, true, true, false, false, true};

// 丁兰尺 sections and cells.
constexpr std::string_view kDingLanSections[10] = {"丁", "害", "旺", "苦", "义", "官", "死", "兴", "失", "财"};
constexpr std::string_view kDingLanCells[40] = {
    "福星", "及第", "财旺", "登科", "口舌", "病临", "死绝", "灾至", "天德", "喜事", "进宝", "纳福", "失脱", "官鬼",
    "劫财", "无嗣", "大吉", "财旺", "益利", "天库", "富贵", "进宝", "横财", "顺科", "离乡", "死别", "退丁", "失财",
    "登科", "贵子", "添丁", "兴旺", "孤寡", "牢执", "公事", "退财", "迎福", "六合", "进宝", "财德"};
constexpr bool kDingLanLucky[10] = {true, false, true, false, true, true, false, true, false, true};

constexpr double kTolerance = 1e-9;
constexpr double kCmPerCun = 3.33;   // one 寸 of the eight-palace ruler
constexpr double kInchPerCm = 0.3937008;

QString U(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
} // namespace

RulerTable MenGongRuler(double length) { return {length, 8, kMenGongSections, kMenGongCells, kMenGongLucky}; }
RulerTable DingLanRuler(double length) { return {length, 10, kDingLanSections, kDingLanCells, kDingLanLucky}; }

long long FloorDivTolerant(double a, double b)
{
    const double q = a / b;
    return static_cast<long long>(std::floor(q + kTolerance * std::max(1.0, std::fabs(q))));
}

RulerPlace PlaceOnRuler(double length, const RulerTable &ruler)
{
    RulerPlace p;
    if (!std::isfinite(length) || length < 0 || !(ruler.length > 0) || ruler.sections <= 0)
        return p;
    const double rest = std::max(0.0, length - double(FloorDivTolerant(length, ruler.length)) * ruler.length);
    const int cells = 4 * ruler.sections;
    p.cell = int(std::clamp<long long>(FloorDivTolerant(rest, ruler.length / cells), 0, cells - 1));
    p.section = p.cell / 4;
    return p;
}

bool IsRulerLength(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) && v >= kMinRulerLength && v <= kMaxRulerLength;
}

double RulerLengthOrDefault(const QString &text, double fallback)
{
    return IsRulerLength(text) ? text.trimmed().toDouble() : fallback;
}

int PalaceOfLength(double length, bool inCentimetres)
{
    if (!std::isfinite(length) || length < 0 || length > 1e12)
        return 0;
    const long long x = inCentimetres ? FloorDivTolerant(length, kCmPerCun) : FloorDivTolerant(length, 1.0);
    return int(x % 8);
}

QString RulerReading(double length, double menGong, double dingLan, const std::function<QString(int)> &text)
{
    QString r = QStringLiteral("物体长度：%1厘米，%2英寸\r\n\r\n")
                    .arg(length, 0, 'f', 2)
                    .arg(length * kInchPerCm, 0, 'f', 2);
    r += QStringLiteral("----------门公尺(测量阳宅建筑:厨灶、房间、门、窗等)----------\r\n\r\n");
    const RulerTable mg = MenGongRuler(menGong);
    const RulerPlace m = PlaceOnRuler(length, mg);
    r += QStringLiteral("【%1】字[%2]格上\r\n\r\n").arg(U(mg.sectionNames[m.section]), U(mg.cellNames[m.cell]));
    r += QStringLiteral("★") + text(1440 + m.section) + QStringLiteral("\r\n");
    r += QStringLiteral("☆") + text(1400 + m.cell) + QStringLiteral("\r\n\r\n");
    r += QStringLiteral("鲁班尺诗曰：") + text(1470 + m.section) + QStringLiteral("\r\n\r\n");
    r += QStringLiteral("永宁通书门公尺诀：") + text(1460 + m.section) + QStringLiteral("\r\n\r\n");
    r += QStringLiteral("古歌曰：") + text(1450 + m.section) + QStringLiteral("\r\n");
    r += QStringLiteral("\r\n----------丁兰尺(测量阴宅坟墓:坟墓占地、祖先牌位、神位等)----------\r\n");
    const RulerTable dl = DingLanRuler(dingLan);
    const RulerPlace d = PlaceOnRuler(length, dl);
    r += QStringLiteral("【%1】字[%2]格上\r\n\r\n").arg(U(dl.sectionNames[d.section]), U(dl.cellNames[d.cell]));
    return r;
}

double ScaleWindowStart(double length)
{
    if (!std::isfinite(length) || length < 0)
        return 0;
    return 50.0 * std::floor(length * 0.02);
}

double DraggedLength(double length, int pixels, double pixelsPerMm)
{
    if (!(pixelsPerMm > 0) || !std::isfinite(length))
        return std::clamp(std::isfinite(length) ? length : kMinDragLength, kMinDragLength, kMaxDragLength);
    const double start = ScaleWindowStart(length);
    double next = length + pixels * 0.1 / pixelsPerMm;
    if (next >= start + 50)
        next = start + 50 + 1;
    else if (next < start)
        next = start - 1;
    return std::clamp(next, kMinDragLength, kMaxDragLength);
}
