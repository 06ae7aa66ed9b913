#include "CompassRings.h"

#include "ChartNameTables.h"
#include "ChartRules.h"
#include "MathUtil.h"
#include "NameTables.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;

// A ring's first division line is given, as in the drawing, by its screen angle relative to the pan angle:
// a + delta on screen is the bearing −112.5 − delta.
double BearingOfScreenOffset(double delta) { return FloorModD(-112.5 - delta, 360.0); }

double Bearing(double b) { return FloorModD(b, 360.0); }

QString Name(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// 八路黄泉 by mountain (ShanName order); the twelve branches have none.
constexpr std::array<std::string_view, 24> kHuangQuan = {
    "乾", "", "艮", "", "甲癸", "", "艮", "", "巽", "", "乙丙", "",
    "巽", "", "坤", "", "庚丁", "", "坤", "", "乾", "", "辛壬", ""};

// The mountain is marked (filled on the 地盘, red on the 天盘) under the chosen 阴阳 scheme.
bool FlaggedMountain(int k, int scheme)
{
    k = FloorMod(k, 24);
    if (scheme == 0)
        return ShanFlag[size_t(k)] == 1; // 三合盘
    return MountainIsYang(k); // 三元盘: the yang mountains 壬 艮 寅 甲 巽 巳 丙 坤 申 庚 乾 亥
}

// 纳音 colour of a stem and branch.
uint32_t NaYinColour(int stem, int branch)
{
    return WuXingColor[size_t(NaYinIndex(std::max(0, CycleOf(stem, branch))) % 5)];
}

class Builder {
public:
    Builder(const CompassInput& in, int fontSize) : in_(in), S(float(fontSize)) {}

    CompassLayout Build();

private:
    void AddRing(int kind, float inner, float outer);
    void Divisions(CompassRing& ring, double first, int count, double step) const;
    // A text at the fraction q across the band (0.25 and 0.75 the halves of a stacked pair), in a slot of span
    // degrees about its bearing.
    CompassLabel& Label(CompassRing& ring, const QString& text, double q, double bearing, double span, float size,
                        bool bold, uint32_t colour) const;
    // The two texts of a pair stacked across the band at one bearing.
    void Pair(CompassRing& ring, const QString& first, const QString& second, double bearing, double span,
              float size, uint32_t colour, bool keepFirst) const;

    void XianTian(CompassRing& ring) const;
    void HouTian(CompassRing& ring) const;
    void DiZhi(CompassRing& ring) const;
    void HuangQuan(CompassRing& ring) const;
    void Mountains(CompassRing& ring, double firstDelta, bool fill, bool redFlags) const;
    void Sexagenary(CompassRing& ring) const;
    void FenJin64(CompassRing& ring) const;
    void Gua64(CompassRing& ring) const;
    void ZhouTian(CompassRing& ring) const;

    // Stem (and branch) of a sexagenary slot at the given angle, per the text and colour options.
    void GanZhiLabel(CompassRing& ring, int stem, int branch, double bearing, double span, float size) const;

    const CompassInput& in_;
    const float S;
    float f_ = 0.15f;
    CompassLayout out_;
};

CompassLayout Builder::Build()
{
    const int count = in_.layers.RingCount();
    f_ = CompassRingWidth(count);
    out_.ringWidth = f_;
    out_.fontSize = int(S);
    out_.rim = kCompassRim;
    out_.spokeOuter = kCompassRim - f_ * float(count);
    for (int i = 0; i < 8; ++i)
        out_.spokes[size_t(i)] = Bearing(-112.5 + 45.0 * i);

    float outer = kCompassRim;
    for (int kind = TCompassLayers::kRingKinds - 1; kind >= 0; --kind) {
        if (!in_.layers.RingOn(kind))
            continue;
        const float inner = outer - f_;
        AddRing(kind, inner, outer);
        outer = inner;
    }

    const double degree = std::isfinite(in_.degree) ? FloorModD(in_.degree, 360.0) : 0.0;
    out_.sitting = degree;
    out_.facing = Bearing(degree + 180.0);
    out_.degreeText = CompassDegreeText(degree);
    QString shan = Name(Shan(in_.zuoShan)) + "山" + Name(Shan(in_.zuoShan + 12)) + "向";
    if (in_.jianShan != -1)
        shan += "兼" + Name(Shan(in_.jianShan)) + Name(Shan(in_.jianShan + 12));
    out_.mountainText = shan;
    return std::move(out_);
}

void Builder::AddRing(int kind, float inner, float outer)
{
    CompassRing ring;
    ring.kind = kind;
    ring.inner = inner;
    ring.outer = outer;
    switch (kind) {
    case TCompassLayers::XianTian: XianTian(ring); break;
    case TCompassLayers::HouTian: HouTian(ring); break;
    case TCompassLayers::DiZhi: DiZhi(ring); break;
    case TCompassLayers::HuangQuan: HuangQuan(ring); break;
    case TCompassLayers::DiPan: Mountains(ring, 0.0, !in_.hasPlan, in_.hasPlan); break;
    case TCompassLayers::ChuanShan: Sexagenary(ring); break;
    case TCompassLayers::RenPan: Mountains(ring, 7.5, false, false); break;
    case TCompassLayers::TianPan: Mountains(ring, -7.5, false, true); break;
    case TCompassLayers::TouDi: Sexagenary(ring); break;
    case TCompassLayers::FenJin120: Sexagenary(ring); break;
    case TCompassLayers::FenJin64: FenJin64(ring); break;
    case TCompassLayers::Gua64: Gua64(ring); break;
    case TCompassLayers::ZhouTian: ZhouTian(ring); break;
    default: break;
    }
    out_.rings.push_back(std::move(ring));
}

void Builder::Divisions(CompassRing& ring, double first, int count, double step) const
{
    ring.divisions.reserve(size_t(count));
    for (int j = 0; j < count; ++j)
        ring.divisions.push_back(Bearing(first + step * j));
}

CompassLabel& Builder::Label(CompassRing& ring, const QString& text, double q, double bearing, double span,
                             float size, bool bold, uint32_t colour) const
{
    CompassLabel label{text, float(ring.inner + q * f_), Bearing(bearing), size, bold, colour};
    // The halves of a stacked pair share the band; any other text has the whole band.
    const float middle = ring.inner + f_ / 2.0f;
    label.roomInner = q == 0.75 ? middle : ring.inner;
    label.roomOuter = q == 0.25 ? middle : ring.outer;
    label.span = span;
    ring.labels.push_back(label);
    return ring.labels.back();
}

void Builder::Pair(CompassRing& ring, const QString& first, const QString& second, double bearing, double span,
                   float size, uint32_t colour, bool keepFirst) const
{
    CompassLabel& a = Label(ring, first, 0.25, bearing, span, size, true, colour);
    a.stacked = 1;
    a.keepAlone = keepFirst;
    Label(ring, second, 0.75, bearing, span, size, true, colour).stacked = 2;
}

void Builder::XianTian(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(0.0);
    Divisions(ring, first, 8, 45.0);
    for (int j = 0; j < 8; ++j) {
        const int k = FloorMod(in_.ringOffset + 6 + j, 8);
        Label(ring, Name(XianTianGuaName[size_t(k)]), 0.5, first + 45.0 * j + 22.5, 45.0, S, true, kBlack);
    }
}

void Builder::HouTian(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(0.0);
    Divisions(ring, first, 8, 45.0);
    for (int j = 0; j < 8; ++j) {
        const QString dir = Name(FangXiangName[size_t(FloorMod(in_.ringOffset + j, 8))]);
        Label(ring, dir, 2.0 / 3.0, first + 45.0 * j + 5.0, 10.0, S - 6.0f, false, kBlack);
    }
    for (int j = 0; j < 8; ++j) {
        const int k = FloorMod(in_.ringOffset + 6 + j, 8);
        // Clear of the direction name at the slot's start.
        Label(ring, Name(HouTianGuaName[size_t(k)]), 0.5, first + 45.0 * j + 22.5, 25.0, S, true, kBlack);
    }
}

void Builder::DiZhi(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(-7.5);
    Divisions(ring, first, 12, 30.0);
    for (int j = 0; j < 12; ++j)
        Label(ring, Name(ZhiName(10 + j)), 0.5, first + 30.0 * j + 15.0, 30.0, S, true, kBlack);
}

void Builder::HuangQuan(CompassRing& ring) const
{
    for (int j = 0; j < 24; ++j) {
        // Entry j lies over mountain j.
        const double start = Bearing(-112.5 + 15.0 * FloorMod(j + 6, 24));
        ring.divisions.push_back(start);
        const QString text = HuangQuanName(j);
        if (text.size() == 1) {
            Label(ring, text, 0.5, start + 7.5, 15.0, S - 2.0f, true, kBlack);
        } else if (text.size() == 2) {
            Label(ring, text.left(1), 0.5, start + 3.75, 7.5, S - 4.0f, true, kBlack);
            Label(ring, text.mid(1), 0.5, start + 11.25, 7.5, S - 4.0f, true, kBlack);
        }
    }
}

void Builder::Mountains(CompassRing& ring, double firstDelta, bool fill, bool redFlags) const
{
    const double first = BearingOfScreenOffset(firstDelta);
    Divisions(ring, first, 24, 15.0);
    const int scheme = in_.layers.shanYin;
    for (int j = 0; j < 24; ++j) {
        const int k = FloorMod(3 * in_.ringOffset + 18 + j, 24);
        const double start = first + 15.0 * j;
        const bool flagged = FlaggedMountain(k, scheme);
        uint32_t colour = kBlack;
        if (flagged && fill) {
            ring.fills.push_back({Bearing(start), 15.0, ring.inner, ring.outer, kRed});
            colour = kWhite;
        } else if (flagged && redFlags) {
            colour = kRed;
        }
        Label(ring, Name(Shan(k)), 0.5, start + 7.5, 15.0, S, true, colour);
    }
}

void Builder::GanZhiLabel(CompassRing& ring, int stem, int branch, double bearing, double span, float size) const
{
    const uint32_t colour = in_.layers.wxColor != 0 ? NaYinColour(stem, branch) : kBlack;
    if (in_.layers.ganZhi == 0)
        Label(ring, Name(GanName(stem)), 0.5, bearing, span, size, true, colour);
    else
        Pair(ring, Name(GanName(stem)), Name(ZhiName(branch)), bearing, span, size, colour, true);
}

void Builder::Sexagenary(CompassRing& ring) const
{
    const bool both = in_.layers.ganZhi != 0;
    int slotCount = 0;
    double step = 0.0, delta = 0.0;
    float size = 0.0f;
    switch (ring.kind) {
    case TCompassLayers::ChuanShan: slotCount = 72; step = 5.0; delta = -100.0; size = S - (both ? 6.0f : 4.0f); break;
    case TCompassLayers::TouDi: slotCount = 60; step = 6.0; delta = -90.0; size = S - (both ? 6.0f : 4.0f); break;
    default: slotCount = 120; step = 3.0; delta = -105.0; size = S - 7.0f; break;
    }
    const double first = BearingOfScreenOffset(delta);
    Divisions(ring, first, slotCount, step);

    int s = 0, b = 0;
    bool started = false;
    for (int j = 0; j < slotCount; ++j) {
        const double mid = first + step * j + step / 2.0;
        if (ring.kind == TCompassLayers::FenJin120) {
            // Each branch spans ten slotCount: its five stems twice over, from 甲 or 乙 by the branch's parity.
            const int c = j + 1;
            if (c % 10 == 1) {
                s = ((c - 1) / 10) % 2 == 0 ? 1 : 2;
                b = (b + 1) % 12;
            } else {
                s = (s + 2) % 10;
            }
            // Only 丙 丁 庚 辛 are labelled, never two neighbouring slots.
            if (s == 3 || s == 4 || s == 7 || s == 8)
                GanZhiLabel(ring, s, b, mid, 2.0 * step, size);
            continue;
        }
        // 穿山: five stems per branch and an empty slot after each; 透地: five stems per branch.
        const int period = ring.kind == TCompassLayers::ChuanShan ? 6 : 5;
        const int c = (j + 1) % period;
        if (period == 6 && c == 0)
            continue;
        if (c == 1) {
            s = started ? (s + 3) % 10 : 1;
            started = true;
            b = (b + 1) % 12;
        } else {
            s = (s + 2) % 10;
        }
        GanZhiLabel(ring, s, b, mid, step, size);
    }
}

void Builder::FenJin64(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(0.0);
    const double step = 360.0 / 64.0;
    Divisions(ring, first, 64, step);
    for (int j = 0; j < 64; ++j) {
        const int n = GuaGanZhi[size_t(FloorMod(48 + j, 64))];
        const double mid = first + step * j + step / 2.0;
        Pair(ring, Name(GanName(n)), Name(ZhiName(n)), mid, step, S - 6.0f, kBlack, true);
    }
}

void Builder::Gua64(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(0.0);
    const double step = 360.0 / 64.0;
    Divisions(ring, first, 64, step);
    for (int j = 0; j < 64; ++j) {
        // The name without its two trigrams: one or two characters.
        const QString name = Name(::Gua64(48 + j)).mid(2);
        const double mid = first + step * j + step / 2.0;
        if (name.size() == 1)
            Label(ring, name, 0.5, mid, step, S - 2.0f, true, kBlack);
        else
            Pair(ring, name.left(1), name.mid(1, 1), mid, step, S - 4.0f, kBlack, false);
    }
}

void Builder::ZhouTian(CompassRing& ring) const
{
    for (int t = 0; t < 72; ++t) {
        const double bearing = 5.0 * t;
        const float len = t % 2 == 0 ? 0.03f : 0.015f;
        ring.ticks.push_back({bearing, ring.outer, ring.outer - len});
        if (t % 2 != 0)
            continue;
        // Close under the long ticks where the band is wide; where it is narrow the number may reach up to the
        // short ticks' ends, its own long tick then ending above it.
        CompassLabel label{QString::number(5 * t), 0.0f, bearing, S - 6.0f, false, kBlack};
        label.roomInner = ring.inner;
        label.roomOuter = ring.outer - 0.015f;
        label.openOuter = true;
        label.radius = std::max(ring.outer - 0.06f, (label.roomInner + ring.outer - 0.03f) / 2.0f);
        label.span = 10.0;
        label.movable = true;
        label.turnable = true;
        ring.labels.push_back(label);
    }
}

}  // namespace

float CompassRingWidth(int count)
{
    constexpr float kNarrowFrom = 7.0f;
    if (count < kNarrowFrom)
        return 0.15f;
    return (kCompassRim - kCompassCore) / float(count);
}

int CompassFontSize(float bandPixels, const std::function<float(int)>& widthOfGuo)
{
    const float half = bandPixels * 0.5f;
    int size = 14;
    bool down = false, up = false;
    do {
        if (widthOfGuo(size) - half > 0.0f) {
            --size;
            down = true;
        } else {
            ++size;
            up = true;
        }
    } while (size >= 8 && size <= 30 && !(down && up));
    return std::clamp(size - 1, 8, 30);
}

double CompassScreenAngle(double panAngle, double bearing) { return FloorModD(panAngle - 112.5 - bearing, 360.0); }

CompassLayout BuildCompassLayout(const CompassInput& input, int fontSize) { return Builder(input, fontSize).Build(); }

QString CompassDegreeText(double degree)
{
    const DegMin dm = ToDegMin(degree);
    return QString::number(dm.deg) + "度" + QString::number(dm.min) + "分";
}

QString HuangQuanName(int mountain) { return Name(kHuangQuan[size_t(FloorMod(mountain, 24))]); }
