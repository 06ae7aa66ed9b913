#include "FlyStarCalc.h"

#include "MathUtil.h"

namespace {
// Flies s again from the door: the reference mountain is the door's 元龙 twin in the home palace of s (the door
// itself for 5), and its group decides the direction.
NineStars FlyFromDoor(int s, int door)
{
    const int star = FloorMod(s, 9);
    const int ref = star == 5 ? door : door % 3 + 3 * StarHome[star];
    const bool forward = (FloorMod(ref + 23, 24) / 3) % 2 == 1;
    return FlyFrom(star, forward ? 1 : -1);
}
} // namespace

int YearCentreStar(int year) { return FloorMod(10 - FloorMod(year - 64, 9), 9); }

int MonthCentreStar(int year, int monthIndex)
{
    static constexpr int kFirstMonth[3] = {2, 8, 5};
    const int t = FloorMod(year - 3, 60);
    return FloorMod(kFirstMonth[t % 12 % 3] - monthIndex + 18, 9);
}

OverlayStars CalcOverlayStars(int year, int monthIndex, bool byDoor, int doorMountain, const FlyChart &xiaGua)
{
    const int door = FloorMod(doorMountain, 24);
    const int doorPalace = door / 3;
    OverlayStars out;
    out.year = FlyFrom(YearCentreStar(year), 1);
    out.month = FlyFrom(MonthCentreStar(year, monthIndex), 1);
    if (byDoor) {
        out.year = FlyFromDoor(out.year[doorPalace], door);
        out.month = FlyFromDoor(out.month[doorPalace], door);
    }
    out.neiQi = FlyFromDoor(xiaGua[doorPalace][2], door);
    return out;
}
