#pragma once

#include <QString>

#include <array>
#include <functional>
#include <string_view>

// The arithmetic of the traditional door rulers. Lengths are centimetres unless said otherwise.

// A ruler: its length, divided into sections, each of four cells.
struct RulerTable {
    double length = 0;
    int sections = 0;
    const std::string_view *sectionNames = nullptr; // `sections` names
    const std::string_view *cellNames = nullptr;    // 4 × `sections` names
    const bool *lucky = nullptr;                    // per section: drawn red
};

// 门公尺: 8 sections of 4 cells; 丁兰尺: 10 sections of 4 cells.
RulerTable MenGongRuler(double length);
RulerTable DingLanRuler(double length);

// Where a length falls on a ruler laid end to end from 0.
struct RulerPlace {
    int section = 0;
    int cell = 0; // 0 .. 4 × sections − 1
};
// Decimal lengths are typed to the hundredth; a length that is a whole multiple of a cell (5.76 on a 46.08
// ruler) lands at the start of the next cell even where binary division falls a hair short.
RulerPlace PlaceOnRuler(double length, const RulerTable &ruler);

// Floor of a / b within a relative tolerance of 1e-9, for the same reason.
long long FloorDivTolerant(double a, double b);

// The ruler lengths of the settings: a finite number from 1 to 1000 cm (a ruler is some forty centimetres).
// The settings dialog takes no other; a text that is not one (a hand-edited file) falls back to the default.
inline constexpr double kMinRulerLength = 1;
inline constexpr double kMaxRulerLength = 1000;
inline constexpr double kMenGongDefault = 42.9;
inline constexpr double kDingLanDefault = 38.9;
bool IsRulerLength(const QString &text);
double RulerLengthOrDefault(const QString &text, double fallback);

// The object lengths the second ruler window accepts, in centimetres.
inline constexpr double kMaxObjectLength = 9999;
// The dragged pointer stays within these.
inline constexpr double kMinDragLength = 1.0;
inline constexpr double kMaxDragLength = 9499;

// The eight-palace door ruler of the first window: one palace per 寸 (3.33 cm), eight palaces repeating.
// Returns 0..7; a length below 0 or not finite gives 0.
int PalaceOfLength(double length, bool inCentimetres);

// The reading of a length on both rulers, as the second ruler window writes it. `text` looks up the string
// table (LoadStr in the program).
QString RulerReading(double length, double menGong, double dingLan, const std::function<QString(int)> &text);

// The 50-cm stretch of the sliding scale that holds a length, as its start in centimetres.
double ScaleWindowStart(double length);
// A dragged length: moved by `pixels` at `pixelsPerMm`; a length leaving the 50-cm window of `length` moves
// 1 cm into the neighbouring window; the result stays within kMinDragLength..kMaxDragLength.
double DraggedLength(double length, int pixels, double pixelsPerMm);
