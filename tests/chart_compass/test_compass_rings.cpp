// The compass layout as data: where every ring lies, where its divisions and labels fall, and their colours.
#include "CompassRings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

TCompassLayers Only(std::initializer_list<int> rings)
{
    TCompassLayers l;
    for (const int r : rings)
        l.ring[size_t(r)] = 1;
    l.count = uint8_t(rings.size());
    return l;
}

TCompassLayers All()
{
    TCompassLayers l;
    for (int i = 0; i < TCompassLayers::kRingKinds; ++i)
        l.ring[size_t(i)] = 1;
    l.count = TCompassLayers::kRingKinds;
    return l;
}

CompassLayout Layout(const TCompassLayers& layers, bool hasPlan = false)
{
    CompassInput in;
    in.layers = layers;
    in.hasPlan = hasPlan;
    in.degree = 120.5;
    in.zuoShan = 9;
    return BuildCompassLayout(in);
}

const CompassRing& RingOf(const CompassLayout& layout, int kind)
{
    for (const CompassRing& r : layout.rings)
        if (r.kind == kind)
            return r;
    static const CompassRing none;
    ADD_FAILURE() << "ring " << kind << " missing";
    return none;
}

// Bearing of the label with this text (the first one), −1 when none.
double BearingOf(const CompassRing& ring, const QString& text)
{
    for (const CompassLabel& l : ring.labels)
        if (l.text == text)
            return l.bearing;
    return -1.0;
}

double Diff(double a, double b)
{
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

const char* const kMountains[24] = {"壬", "子", "癸", "丑", "艮", "寅", "甲", "卯", "乙", "辰", "巽", "巳",
                                    "丙", "午", "丁", "未", "坤", "申", "庚", "酉", "辛", "戌", "乾", "亥"};

}  // namespace

TEST(CompassLayers, RingCountComesFromTheSwitchesNotTheStoredByte)
{
    TCompassLayers l = Only({1, 4, 12});
    l.count = 13;
    EXPECT_EQ(l.RingCount(), 3);
    EXPECT_EQ(Layout(l).rings.size(), 3u);
    EXPECT_FLOAT_EQ(Layout(l).ringWidth, 0.15f);

    TCompassLayers all = All();
    all.count = 2;
    EXPECT_EQ(all.RingCount(), 13);
    EXPECT_EQ(all.Normalized().count, 13);

    // Switches past the thirteen rings have no ring and take no room.
    TCompassLayers stray = Only({12});
    stray.ring[15] = 1;
    EXPECT_EQ(stray.RingCount(), 1);
}

TEST(CompassLayout, RingsStackFromTheRimInwardInEqualBandsOutsideTheHub)
{
    const CompassLayout all = Layout(All());
    ASSERT_EQ(all.rings.size(), 13u);
    EXPECT_EQ(all.rings.front().kind, TCompassLayers::ZhouTian);
    EXPECT_EQ(all.rings.back().kind, TCompassLayers::XianTian);
    float outer = 0.99f;
    for (const CompassRing& r : all.rings) {
        EXPECT_FLOAT_EQ(r.outer, outer);
        EXPECT_NEAR(r.outer - r.inner, all.ringWidth, 1e-6);
        outer = r.inner;
    }
    EXPECT_GT(all.rings.back().inner, all.hub);
    EXPECT_NEAR(all.spokeOuter, all.rings.back().inner, 1e-5);

    // Every count: bands of 0.15 up to six rings, then narrower, never reaching the hub.
    for (int n = 0; n <= 13; ++n) {
        TCompassLayers l;
        for (int i = 0; i < n; ++i)
            l.ring[size_t(12 - i)] = 1;
        const CompassLayout layout = Layout(l);
        ASSERT_EQ(int(layout.rings.size()), n);
        EXPECT_NEAR(layout.spokeOuter, 0.99f - n * layout.ringWidth, 1e-5) << n; // no rings: spokes to the rim
        EXPECT_FLOAT_EQ(layout.ringWidth, n < 7 ? 0.15f : CompassRingWidth(n)) << n;
        if (n > 0) {
            EXPECT_GT(layout.rings.back().inner, layout.hub + 0.05f) << n;
        }
    }
}

TEST(CompassLayout, BearingsTurnIntoScreenAnglesWithSouthAtTheTop)
{
    EXPECT_DOUBLE_EQ(CompassScreenAngle(22.5, 0.0), 270.0);   // north at the bottom
    EXPECT_DOUBLE_EQ(CompassScreenAngle(22.5, 180.0), 90.0);  // south at the top
    EXPECT_DOUBLE_EQ(CompassScreenAngle(22.5, 270.0), 0.0);   // west at the right
    EXPECT_DOUBLE_EQ(CompassScreenAngle(52.5, 0.0), 300.0);   // turning the drawing turns every bearing
}

TEST(CompassLayout, DegreeScaleLabelsEveryTenDegreesClockwiseFromNorth)
{
    const CompassLayout l = Layout(Only({12}));
    const CompassRing& z = RingOf(l, TCompassLayers::ZhouTian);
    ASSERT_EQ(z.labels.size(), 36u);
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(z.labels[size_t(i)].text, QString::number(10 * i));
        EXPECT_DOUBLE_EQ(z.labels[size_t(i)].bearing, 10.0 * i);
        EXPECT_FALSE(z.labels[size_t(i)].bold);
    }
    ASSERT_EQ(z.ticks.size(), 72u);
    EXPECT_GT(z.ticks[0].rFrom - z.ticks[0].rTo, z.ticks[1].rFrom - z.ticks[1].rTo); // long ticks every 10°
    EXPECT_DOUBLE_EQ(z.ticks[71].bearing, 355.0);
}

TEST(CompassLayout, MountainRingsCentreZiOnNorthWithTheOuterPlatesShifted)
{
    const CompassLayout l = Layout(Only({4, 6, 7}));
    const CompassRing& di = RingOf(l, TCompassLayers::DiPan);
    const CompassRing& ren = RingOf(l, TCompassLayers::RenPan);
    const CompassRing& tian = RingOf(l, TCompassLayers::TianPan);
    for (int k = 0; k < 24; ++k) {
        const double centre = std::fmod(15.0 * k + 345.0, 360.0);
        EXPECT_NEAR(Diff(BearingOf(di, kMountains[k]), centre), 0.0, 1e-9) << kMountains[k];
        EXPECT_NEAR(Diff(BearingOf(ren, kMountains[k]), centre - 7.5), 0.0, 1e-9) << kMountains[k]; // 人盘 −7.5°
        EXPECT_NEAR(Diff(BearingOf(tian, kMountains[k]), centre + 7.5), 0.0, 1e-9) << kMountains[k]; // 天盘 +7.5°
    }
    EXPECT_EQ(std::set<double>(di.divisions.begin(), di.divisions.end()).count(352.5), 1u); // 子 begins
    EXPECT_EQ(ren.divisions.size(), 24u);
}

TEST(CompassLayout, EarthPlateFillFollowsTheSchemeAndGivesWayToAFloorPlan)
{
    auto filled = [](const CompassLayout& l) {
        std::set<QString> names;
        const CompassRing& di = RingOf(l, TCompassLayers::DiPan);
        for (const CompassSector& s : di.fills)
            for (const CompassLabel& lab : di.labels)
                if (Diff(lab.bearing, s.bearing + 7.5) < 1e-6) {
                    names.insert(lab.text);
                    EXPECT_EQ(lab.colour, 0xFFFFFFu) << lab.text.toStdString(); // white on red
                    EXPECT_EQ(s.fill, 0x0000FFu);
                }
        return names;
    };
    TCompassLayers sanHe = Only({4});
    const std::set<QString> sanHeSet = filled(Layout(sanHe));
    EXPECT_EQ(sanHeSet, (std::set<QString>{"壬", "子", "癸", "寅", "甲", "乙", "辰", "午", "坤", "申", "戌", "乾"}));

    TCompassLayers sanYuan = Only({4});
    sanYuan.shanYin = 1;
    EXPECT_EQ(filled(Layout(sanYuan)),
              (std::set<QString>{"壬", "艮", "寅", "甲", "巽", "巳", "丙", "坤", "申", "庚", "乾", "亥"}));

    // Over a floor plan: nothing filled, the flagged names red.
    const CompassLayout plan = Layout(Only({4, 6, 7}), true);
    const CompassRing& di = RingOf(plan, TCompassLayers::DiPan);
    EXPECT_TRUE(di.fills.empty());
    int red = 0;
    for (const CompassLabel& lab : di.labels) {
        red += lab.colour == 0x0000FF;
        EXPECT_EQ(lab.colour == 0x0000FF, sanHeSet.count(lab.text) == 1) << lab.text.toStdString();
    }
    EXPECT_EQ(red, 12);
    for (const CompassLabel& lab : RingOf(plan, TCompassLayers::RenPan).labels)
        EXPECT_EQ(lab.colour, 0x000000u);
    // The heaven plate marks its flagged names red with or without a plan.
    int tianRed = 0;
    const CompassLayout tianOnly = Layout(Only({7}));
    for (const CompassLabel& lab : RingOf(tianOnly, TCompassLayers::TianPan).labels)
        tianRed += lab.colour == 0x0000FF;
    EXPECT_EQ(tianRed, 12);
}

TEST(CompassLayout, HexagramRingPutsKunFuOnZiAndQianGouOnWu)
{
    const CompassLayout l = Layout(Only({11}));
    const CompassRing& g = RingOf(l, TCompassLayers::Gua64);
    ASSERT_EQ(g.divisions.size(), 64u);
    const double step = 360.0 / 64.0;
    // 坤 ends and 复 begins on north; 乾 ends and 姤 begins on south.
    EXPECT_NEAR(Diff(BearingOf(g, "坤"), -step / 2), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(g, "复"), step / 2), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(g, "乾"), 180.0 - step / 2), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(g, "姤"), 180.0 + step / 2), 0.0, 1e-9);
    // Two-character names stand in two halves of the band.
    const double shi = BearingOf(g, "噬");
    EXPECT_NEAR(Diff(BearingOf(g, "嗑"), shi), 0.0, 1e-9);
}

TEST(CompassLayout, SexagenaryRingsRunTheirSequences)
{
    TCompassLayers l = Only({5, 8, 9});
    l.ganZhi = 1;
    const CompassLayout layout = Layout(l);

    // 穿山72龙: five dragons and an empty slot per branch, 戊子 on north.
    const CompassRing& cs = RingOf(layout, TCompassLayers::ChuanShan);
    EXPECT_EQ(cs.divisions.size(), 72u);
    ASSERT_EQ(cs.labels.size(), 120u); // 60 slots × stem and branch
    EXPECT_EQ(cs.labels[4].text, "戊");
    EXPECT_EQ(cs.labels[5].text, "子");
    EXPECT_NEAR(Diff(cs.labels[4].bearing, 0.0), 0.0, 1e-9);
    EXPECT_EQ(cs.labels[10].text + cs.labels[11].text, "乙丑"); // after 壬子 and the empty slot
    EXPECT_NEAR(Diff(cs.labels[10].bearing, cs.labels[8].bearing + 10.0), 0.0, 1e-9);

    // 透地60龙: 甲子 from the start of 壬, no gaps.
    const CompassRing& td = RingOf(layout, TCompassLayers::TouDi);
    ASSERT_EQ(td.labels.size(), 120u);
    EXPECT_EQ(td.labels[0].text + td.labels[1].text, "甲子");
    EXPECT_NEAR(Diff(td.labels[0].bearing, 340.5), 0.0, 1e-9);
    EXPECT_EQ(td.labels[10].text + td.labels[11].text, "乙丑");

    // 120分金: only 丙 丁 庚 辛 are labelled, four per branch.
    const CompassRing& fj = RingOf(layout, TCompassLayers::FenJin120);
    EXPECT_EQ(fj.divisions.size(), 120u);
    ASSERT_EQ(fj.labels.size(), 96u);
    EXPECT_EQ(fj.labels[0].text + fj.labels[1].text, "丙子");
    EXPECT_NEAR(Diff(fj.labels[0].bearing, 352.5 + 4.5), 0.0, 1e-9);
    EXPECT_EQ(fj.labels[2].text + fj.labels[3].text, "庚子");
    EXPECT_EQ(fj.labels[8].text + fj.labels[9].text, "丁丑");
    EXPECT_LT(fj.labels[0].size, cs.labels[0].size);
}

TEST(CompassLayout, StemOnlyTextAndNaYinColours)
{
    TCompassLayers l = Only({8});
    l.wxColor = 1;
    const CompassLayout layout = Layout(l);
    const CompassRing& td = RingOf(layout, TCompassLayers::TouDi);
    ASSERT_EQ(td.labels.size(), 60u);
    EXPECT_FLOAT_EQ(td.labels[0].radius, (td.inner + td.outer) / 2);
    EXPECT_EQ(td.labels[0].colour, 0xC0C0C0u); // 甲子 金
    EXPECT_EQ(td.labels[1].colour, 0x000000u); // 丙子 水
    EXPECT_EQ(td.labels[5].colour, 0xC0C0C0u); // 乙丑 金
    EXPECT_EQ(td.labels[10].text, "丙");
    EXPECT_EQ(td.labels[10].colour, 0x0000FFu); // 丙寅 火
}

TEST(CompassLayout, TrigramRingsAndYellowSprings)
{
    const CompassLayout l = Layout(Only({0, 1, 2, 3}));
    EXPECT_NEAR(Diff(BearingOf(RingOf(l, TCompassLayers::HouTian), "坎"), 0.0), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(RingOf(l, TCompassLayers::HouTian), "离"), 180.0), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(RingOf(l, TCompassLayers::HouTian), "正北"), 337.5 + 5.0), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(RingOf(l, TCompassLayers::XianTian), "乾"), 180.0), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(RingOf(l, TCompassLayers::XianTian), "坤"), 0.0), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(RingOf(l, TCompassLayers::DiZhi), "子"), 0.0), 0.0, 1e-9);
    EXPECT_NEAR(Diff(BearingOf(RingOf(l, TCompassLayers::DiZhi), "酉"), 270.0), 0.0, 1e-9);

    const CompassRing& hq = RingOf(l, TCompassLayers::HuangQuan);
    EXPECT_EQ(hq.divisions.size(), 24u);
    EXPECT_EQ(hq.labels.size(), 16u); // eight single names, four split pairs
    EXPECT_NEAR(Diff(BearingOf(hq, "乾"), 345.0), 0.0, 1e-9); // over 壬
    EXPECT_EQ(HuangQuanName(4), "甲癸");                      // over 艮, in two halves
    EXPECT_NEAR(Diff(BearingOf(hq, "甲"), 37.5 + 3.75), 0.0, 1e-9);
    EXPECT_TRUE(HuangQuanName(1).isEmpty());
}

TEST(CompassLayout, AxisAndItsTexts)
{
    CompassInput in;
    in.degree = 120.9999;
    in.zuoShan = 9;
    in.jianShan = 10;
    const CompassLayout l = BuildCompassLayout(in);
    EXPECT_DOUBLE_EQ(l.sitting, 120.9999);
    EXPECT_NEAR(l.facing, 300.9999, 1e-9);
    EXPECT_EQ(l.degreeText, "121度0分"); // never "120度60分"
    EXPECT_EQ(l.mountainText, "辰山戌向兼巽乾");

    EXPECT_EQ(CompassDegreeText(120.5), "120度30分");
    EXPECT_EQ(CompassDegreeText(359.9999), "0度0分");
    EXPECT_EQ(CompassDegreeText(-0.5), "359度30分");
    EXPECT_EQ(CompassDegreeText(std::nan("")), "0度0分");
}

TEST(CompassLayout, FontSizeSearchBracketsHalfTheBand)
{
    // A face whose ideographs are one em wide: points × 4/3 pixels.
    const auto em = [](int points) { return points * 4.0f / 3.0f; };
    EXPECT_EQ(CompassFontSize(37.5f, em), 13);  // three rings on a radius of 250
    EXPECT_EQ(CompassFontSize(17.3f, em), 8);   // thirteen rings: the smallest size
    EXPECT_EQ(CompassFontSize(200.0f, em), 30); // the largest
    EXPECT_EQ(CompassFontSize(25.0f, em), 9);   // 14 too wide: steps down until 9 fits
}
