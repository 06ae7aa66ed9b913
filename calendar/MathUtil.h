#pragma once

#include <cmath>
#include <cstdint>

// Integer and rounding helpers shared by every layer. The chart and calendar arithmetic meets negative values
// (years BC, angles turned backwards, ages before birth); C++'s % and integer division truncate toward zero and
// would pick the wrong table entry there, so every reduction goes through these.

// a mod m with the result in 0..m-1 for m > 0, whatever the sign of a.
constexpr int FloorMod(int a, int m)
{
    const int r = a % m;
    return (r != 0 && ((r < 0) != (m < 0))) ? r + m : r;
}

constexpr int64_t FloorMod(int64_t a, int64_t m)
{
    const int64_t r = a % m;
    return (r != 0 && ((r < 0) != (m < 0))) ? r + m : r;
}

// a div m rounded toward minus infinity.
constexpr int FloorDiv(int a, int m)
{
    const int q = a / m;
    return (a % m != 0 && ((a < 0) != (m < 0))) ? q - 1 : q;
}

// x mod m for doubles, in [0, m).
inline double FloorModD(double x, double m)
{
    double r = std::fmod(x, m);
    if (r < 0)
        r += m;
    return r >= m ? 0.0 : r;
}

// Nearest integer; an exact half goes down (2.5 -> 2, -2.5 -> -3). Degrees and minutes typed by the user are
// rounded this way throughout, so that the same text always lands on the same mountain.
inline int RoundNearest(double x)
{
    const double f = std::floor(x);
    return static_cast<int>(x - f > 0.5 ? f + 1 : f);
}
