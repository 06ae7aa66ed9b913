#pragma once

#include <array>
#include <cstdint>

// The compass-ring choice of the compass view: 24 bytes, as the layer dialog edits them.
struct TCompassLayers {
    // Non-zero = the ring is drawn: 0 先天八卦, 1 后天八卦, 2 十二地支, 3 八路黄泉, 4 地盘（正针）, 5 穿山72龙,
    // 6 人盘（中针）, 7 天盘（缝针）, 8 透地60龙, 9 120分金, 10 64分金, 11 64卦, 12 周天刻度; 13..19 unused.
    std::array<uint8_t, 20> ring{};
    uint8_t shanYin = 0; // 24山阴阳: 0 三合盘, 1 三元盘
    uint8_t ganZhi = 0;  // 分金 text: 0 stem only, 1 stem and branch
    uint8_t wxColor = 0; // non-zero: the sexagenary rings coloured by 纳音 element
    uint8_t count = 0;   // number of rings switched on

    friend bool operator==(const TCompassLayers &, const TCompassLayers &) = default;
};
static_assert(sizeof(TCompassLayers) == 24);
