#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The compass-ring choice of the compass view: 24 bytes, as the layer dialog edits them and the settings store
// them.
struct TCompassLayers {
    // The rings that have content, in switch order (innermost first when drawn).
    enum Ring : int {
        XianTian = 0,  // 先天八卦
        HouTian = 1,   // 后天八卦
        DiZhi = 2,     // 十二地支
        HuangQuan = 3, // 八路黄泉
        DiPan = 4,     // 地盘（正针）
        ChuanShan = 5, // 穿山72龙
        RenPan = 6,    // 人盘（中针）
        TianPan = 7,   // 天盘（缝针）
        TouDi = 8,     // 透地60龙
        FenJin120 = 9, // 120分金
        FenJin64 = 10, // 64分金
        Gua64 = 11,    // 64卦
        ZhouTian = 12, // 周天刻度
    };
    static constexpr int kRingKinds = 13;

    // Non-zero = the ring is drawn (index by Ring); 13..19 are never set by the dialog and carry no ring.
    std::array<uint8_t, 20> ring{};
    uint8_t shanYin = 0; // 24山阴阳: 0 三合盘, 1 三元盘
    uint8_t ganZhi = 0;  // 分金 text: 0 stem only, 1 stem and branch
    uint8_t wxColor = 0; // non-zero: the sexagenary rings coloured by 纳音 element
    uint8_t count = 0;   // number of rings switched on, as stored; read RingCount() instead

    bool RingOn(int kind) const { return kind >= 0 && kind < kRingKinds && ring[std::size_t(kind)] != 0; }

    // The number of rings drawn, always counted from the switches: a stored count that disagrees with them
    // (an old settings file, a hand edit) would otherwise size the rings wrongly or push them past the centre.
    int RingCount() const
    {
        int n = 0;
        for (int i = 0; i < kRingKinds; ++i)
            n += ring[std::size_t(i)] != 0 ? 1 : 0;
        return n;
    }

    // The same record with the stored count brought into line with the switches.
    TCompassLayers Normalized() const
    {
        TCompassLayers copy = *this;
        copy.count = uint8_t(RingCount());
        return copy;
    }

    friend bool operator==(const TCompassLayers &, const TCompassLayers &) = default;
};
static_assert(sizeof(TCompassLayers) == 24);
