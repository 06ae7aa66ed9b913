#pragma once

#include <cstdint>
#include <span>
#include <string>

// One reign era: the years it was in force and who reigned under it. Texts are UTF-8.
struct TEraRec {
    int16_t firstYear;    // astronomical year in which the era begins
    int16_t count;        // number of years the era lasts
    int16_t yearOffset;   // added to the era year where the count carries on from an earlier row
    const char *dynasty;  // "夏", "北朝/东魏", "五代/梁", "近、现代"
    const char *ruler;    // temple or posthumous title: "孝静帝", "德宗"
    const char *name;     // personal name; empty where none is recorded
    const char *era;      // reign era; for rulers without era names the ruler's name
};

// The era names of a year for the perpetual calendar: which dynasties, rulers and reign eras were in force.
// Stateless over a fixed chronological table; every call may run on any thread.
class obb_class {
public:
    // "[清] 德宗 爱新觉罗载湉 光绪1年"; several eras of one year (times of division) follow in table order, each
    // after "；". Empty for a year before the first era.
    std::string NianHao(int year) const;

    // The era table in chronological order of its groups.
    static std::span<const TEraRec> Eras();
};
