// The 分金 and hexagram rings against the chart engine's own rules for a sitting degree: a practitioner reads the
// ring under the axis and must see what the report says.
#include "ChartRules.h"
#include "CompassRings.h"
#include "NameTables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CompassLayout RingsOn(std::initializer_list<int> rings)
{
    CompassInput in;
    for (const int r : rings)
        in.layers.ring[size_t(r)] = 1;
    in.layers.ganZhi = 1;
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

// Index of the slot (between consecutive divisions, clockwise) that holds a bearing.
int SlotOf(const CompassRing& ring, double bearing)
{
    const double step = 360.0 / double(ring.divisions.size());
    const double from = std::fmod(bearing - ring.divisions.front() + 720.0, 360.0);
    return int(from / step);
}

// The stem and branch labelled in a slot, empty when the slot is not labelled.
QString SlotText(const CompassRing& ring, int slot)
{
    const double step = 360.0 / double(ring.divisions.size());
    QString text;
    for (const CompassLabel& l : ring.labels)
        if (SlotOf(ring, l.bearing) == slot && std::fabs(std::fmod(l.bearing - ring.divisions.front() + 720.0, 360.0) -
                                                         (slot + 0.5) * step) < 1e-6)
            text += l.text;
    return text;
}

QString CycleName(int n) { return QString::fromStdString(GanZhiName(n)); }

}  // namespace

TEST(CompassAgainstEngine, FenJin120UnderEveryDegreeIsTheEnginesFenJin)
{
    const CompassLayout layout = RingsOn({9});
    const CompassRing& ring = RingOf(layout, 9);
    for (double degree = 0.25; degree < 360.0; degree += 0.5) {
        const int mountain = MountainOfDegree(degree);
        const QString engine = CycleName(FenJinOfDegree(mountain, degree));
        const QString shown = SlotText(ring, SlotOf(ring, degree));
        // The ring labels only the 丙 丁 庚 辛 divisions; the others stand unlabelled.
        const QString stem = engine.left(1);
        if (stem == "丙" || stem == "丁" || stem == "庚" || stem == "辛")
            EXPECT_EQ(shown, engine) << degree;
        else
            EXPECT_TRUE(shown.isEmpty()) << degree << " " << shown.toStdString();
    }
}

TEST(CompassAgainstEngine, HexagramRingsUnderEveryDegreeAgreeWithTheEngine)
{
    const CompassLayout layout = RingsOn({10, 11});
    const CompassRing& fen = RingOf(layout, 10);
    const CompassRing& gua = RingOf(layout, 11);
    for (double degree = 0.1; degree < 360.0; degree += 0.7) {
        const int g = HexagramOfDegree(degree);
        EXPECT_EQ(SlotText(fen, SlotOf(fen, degree)), CycleName(GuaGanZhi[size_t(g)])) << degree;
        // The ring shows the hexagram without its two trigrams.
        const QString name = QString::fromUtf8(Gua64(g).data(), qsizetype(Gua64(g).size())).mid(2);
        EXPECT_TRUE(SlotText(gua, SlotOf(gua, degree)) == name) << degree;
    }
}
