#pragma once

#include "EphConst.h"

// The stored series of the ephemeris (generated into EphSeries.cpp by scripts/gen_eph_series.py).
namespace EphSeries {

// Earth: the scale 10^10 and 19 offsets (L, B, R; seven each, the end of one coordinate being the start of the
// next), then (A, B, C) triples. L 186, 114, 60, 8, 4, 4 terms; B 23, 3, 1; R 236, 142, 85, 5, 9, 2.
inline constexpr int kEarthSize = 2666;
extern const double kEarth[kEarthSize];

// Moon: per coordinate, the blocks of powers 0..3 one after another, six floats per term; the block lengths are
// EphConst::moonBlockLengths.
inline constexpr int kMoonLonSize = 2652 + 894 + 204 + 12;
inline constexpr int kMoonLatSize = 1236 + 270 + 72 + 0;
inline constexpr int kMoonDistSize = 1326 + 312 + 72 + 0;
extern const double kMoonLon[kMoonLonSize];
extern const double kMoonLat[kMoonLatSize];
extern const double kMoonDist[kMoonDistSize];

} // namespace EphSeries
