#include "CompassRings.h"

#include "ChartNameTables.h"
#include "MathUtil.h"
#include "NameTables.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;

// Ring texts sized from narrow bands (many rings on a small picture) would drop to one or two points, dots that
// no one can read; they keep this size, which still fits the narrowest band and slot.
constexpr float kMinLabelPoints = 5.0f;
float Readable(float points) { return std::max(points, kMinLabelPoints); }

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
    return (FloorMod(k + 23, 24) / 3) % 2 == 1; // 三元盘: 壬 艮 寅 甲 巽 巳 丙 坤 申 庚 乾 亥
}

// 纳音 colour of a stem and branch.
uint32_t NaYinColour(int stem, int branch)
{
    return WuXingColor[size_t(NaYinIndex(std::max(0, CycleOf(stem, branch))) % 5)];
}

class Builder {
public:
    explicit Builder(const CompassInput& in) : in_(in), S(float(in.fontSize)) {}

    CompassLayout Build();

private:
    void AddRing(int kind, float inner, float outer);
    void Divisions(CompassRing& ring, double first, int count, double step) const;
    void Label(CompassRing& ring, const QString& text, double q, double bearing, float size, bool bold,
               uint32_t colour) const;

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
    void GanZhiLabel(CompassRing& ring, int stem, int branch, double bearing, float size) const;

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
    out_.fontSize = in_.fontSize;
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

void Builder::Label(CompassRing& ring, const QString& text, double q, double bearing, float size, bool bold,
                    uint32_t colour) const
{
    ring.labels.push_back({text, float(ring.inner + q * f_), Bearing(bearing), Readable(size), bold, colour});
}

void Builder::XianTian(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(0.0);
    Divisions(ring, first, 8, 45.0);
    for (int j = 0; j < 8; ++j) {
        const int k = FloorMod(in_.ringOffset + 6 + j, 8);
        Label(ring, Name(XianTianGuaName[size_t(k)]), 0.5, first + 45.0 * j + 22.5, S, true, kBlack);
    }
}

void Builder::HouTian(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(0.0);
    Divisions(ring, first, 8, 45.0);
    for (int j = 0; j < 8; ++j) {
        const QString dir = Name(FangXiangName[size_t(FloorMod(in_.ringOffset + j, 8))]);
        Label(ring, dir, 2.0 / 3.0, first + 45.0 * j + 5.0, S - 6.0f, false, kBlack);
    }
    for (int j = 0; j < 8; ++j) {
        const int k = FloorMod(in_.ringOffset + 6 + j, 8);
        Label(ring, Name(HouTianGuaName[size_t(k)]), 0.5, first + 45.0 * j + 22.5, S, true, kBlack);
    }
}

void Builder::DiZhi(CompassRing& ring) const
{
    const double first = BearingOfScreenOffset(-7.5);
    Divisions(ring, first, 12, 30.0);
    for (int j = 0; j < 12; ++j)
        Label(ring, Name(ZhiName(10 + j)), 0.5, first + 30.0 * j + 15.0, S, true, kBlack);
}

void Builder::HuangQuan(CompassRing& ring) const
{
    for (int j = 0; j < 24; ++j) {
        // Entry j lies over mountain j.
        const double start = Bearing(-112.5 + 15.0 * FloorMod(j + 6, 24));
        ring.divisions.push_back(start);
        const QString text = HuangQuanName(j);
        if (text.size() == 1) {
            Label(ring, text, 0.5, start + 7.5, S - 2.0f, true, kBlack);
        } else if (text.size() == 2) {
            Label(ring, text.left(1), 0.5, start + 3.75, S - 4.0f, true, kBlack);
            Label(ring, text.mid(1), 0.5, start + 11.25, S - 4.0f, true, kBlack);
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
        Label(ring, Name(Shan(k)), 0.5, start + 7.5, S, true, colour);
    }
}

void Builder::GanZhiLabel(CompassRing& ring, int stem, int branch, double bearing, float size) const
{
    const uint32_t colour = in_.layers.wxColor != 0 ? NaYinColour(stem, branch) : kBlack;
    if (in_.layers.ganZhi == 0) {
        Label(ring, Name(GanName(stem)), 0.5, bearing, size, true, colour);
    } else {
        Label(ring, Name(GanName(stem)), 0.25, bearing, size, true, colour);
        Label(ring, Name(ZhiName(branch)), 0.75, bearing, size, true, colour);
    }
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
            if (s == 3 || s == 4 || s == 7 || s == 8) // only 丙 丁 庚 辛 are labelled
                GanZhiLabel(ring, s, b, mid, size);
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
        GanZhiLabel(ring, s, b, mid, size);
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
        Label(ring, Name(GanName(n)), 0.25, mid, S - 6.0f, true, kBlack);
        Label(ring, Name(ZhiName(n)), 0.75, mid, S - 6.0f, true, kBlack);
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
        if (name.size() == 1) {
            Label(ring, name, 0.5, mid, S - 2.0f, true, kBlack);
        } else {
            Label(ring, name.left(1), 0.25, mid, S - 4.0f, true, kBlack);
            Label(ring, name.mid(1, 1), 0.75, mid, S - 4.0f, true, kBlack);
        }
    }
}

void Builder::ZhouTian(CompassRing& ring) const
{
    for (int t = 0; t < 72; ++t) {
        const double bearing = 5.0 * t;
        const float len = t % 2 == 0 ? 0.03f : 0.015f;
        ring.ticks.push_back({bearing, ring.outer, ring.outer - len});
        if (t % 2 == 0)
            ring.labels.push_back({QString::number(5 * t), ring.outer - 0.06f, bearing, Readable(S - 6.0f), false, kBlack});
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

CompassLayout BuildCompassLayout(const CompassInput& input) { return Builder(input).Build(); }

QString CompassDegreeText(double degree)
{
    // Round the whole angle to minutes once, so that 59.9 minutes become the next degree.
    const int minutes = RoundNearest((std::isfinite(degree) ? FloorModD(degree, 360.0) : 0.0) * 60.0);
    return QString::number((minutes / 60) % 360) + "度" + QString::number(minutes % 60) + "分";
}

QString HuangQuanName(int mountain) { return Name(kHuangQuan[size_t(FloorMod(mountain, 24))]); }
