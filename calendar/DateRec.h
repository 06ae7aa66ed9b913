#pragma once

#include <cstdint>

// A calendar date and time. Whether it holds a Gregorian or a lunar date depends on the operation; a lunar date
// travels with a separate leap-month flag. Years are astronomical: year 0 exists, -1 is 2 BC.
struct TDateRec {
    int16_t year = 0;
    int16_t month = 0;  // 1..12; a lunar month number (1 = 正月) in a lunar date
    int16_t day = 0;    // 1..31; lunar 1..30
    int16_t hour = 0;   // 0..23
    int16_t minute = 0; // 0..59

    friend bool operator==(const TDateRec &, const TDateRec &) = default;
};

// The moment of one solar term in Beijing time and its number 0..23 counted from 小寒.
struct TJieQiRec {
    int16_t year = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t hour = 0;
    int16_t minute = 0;
    int16_t reserved = 0; // never written; kept so the record keeps its seven fields
    int16_t term = 0;     // index into JieQiName: 0 = 小寒, 2 = 立春, 23 = 冬至

    friend bool operator==(const TJieQiRec &, const TJieQiRec &) = default;
};

// The year of the record that ends a list of terms.
constexpr int16_t kJieQiListEnd = -5000;
