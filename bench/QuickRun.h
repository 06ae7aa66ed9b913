#pragma once

// A benchmark measures at its own sizes, or in a quick run (QUORIN_BENCH_QUICK=1, as the CI runs every benchmark
// once to see that it still runs to its end) at its smallest, once. bench/run-quick.sh makes such a run.
#include <cstdlib>
#include <cstring>

inline bool QuickRun()
{
    static const bool quick = [] {
        const char *v = std::getenv("QUORIN_BENCH_QUICK");
        return v && *v && std::strcmp(v, "0") != 0;
    }();
    return quick;
}

// full when measuring, quick in a quick run.
template <typename T>
T Sized(T full, T quick)
{
    return QuickRun() ? quick : full;
}
