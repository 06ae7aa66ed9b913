#pragma once

#include <QString>
#include <QStringList>

// The rules behind the house inputs of the main window: the lists it offers, reading the compass degree that
// the user typed, the sitting item that a degree falls on (with the 兼 margin), the degree shown for a chosen
// item, and the period (元运) of a building year. Plain functions, so the window and its tests share them.
namespace ChartInputs {

inline constexpr int kItemsPerMountain = 4; // 兼 previous, the mountain itself, 兼 next, separator
inline constexpr int kSittingItems = 24 * kItemsPerMountain;
inline constexpr int kFirstYearWithPeriod = 44;
inline constexpr int kLastYearWithPeriod = 3000;

QStringList SittingItems(); // "子山兼壬", "子山午向", "子山兼癸", "---------", ... 96 items
QStringList DoorItems();    // "壬门" .. "亥门"
QStringList MonthItems();   // "寅月" .. "丑月"
QStringList YearItems(int currentYear); // current year - 100 .. current year + 100

bool IsSeparatorItem(int item);

enum class DegreeError { None, Format, DegreeRange, MinuteRange };

struct ParsedDegree {
    DegreeError error = DegreeError::None;
    double degree = 0.0;
};

// "120:30", "120-30" and "120 30" all read as 120.5 degrees.
ParsedDegree ParseDegree(const QString &text);
QString DegreeErrorText(DegreeError error);
QString DegreeErrorTitle(DegreeError error);

// The degree that stands for a sitting item: the centre of a plain mountain, and for a 兼 item the middle
// between the 兼 threshold and the mountain's edge. -1 for a separator or an item out of range.
double ItemToDegree(int item, double fJian);

// "%d:%d", the minutes rounded; minutes that round to 60 carry into the degrees so the text always reads back.
QString DegreeText(double degree);

// Period index 0..8 ("一运".."九运") of a building year, -1 outside the years that have one.
int PeriodIndexOfYear(int year);
// The year of the same place in the chosen period, or -1 when the year has no period or the result would
// fall outside the years that have one.
int YearInPeriod(int year, int periodIndex);

// Whether a building year and an owner's birth year can make a case: 44..9999 and 100..9999. Years past 9999
// do not fit the case record and have no calendar. YearsErrorTitle and YearsErrorText say why not.
bool CaseYearsValid(int buildYear, int birthYear);
QString YearsErrorTitle();
QString YearsErrorText();

// Texts typed into year edits: a blank-trimmed decimal number, else `fallback`.
int YearOfText(const QString &text, int fallback);

} // namespace ChartInputs
