#pragma once

#include <QString>
#include <QStringList>

struct TRecordData;

// The rules behind the house inputs of the main window: the lists it offers, reading the compass degree that
// the user typed, the sitting item that a degree falls on (with the 兼 margin), the degree shown for a chosen
// item, and the period (元运) of a building year. Plain functions, so the window and its tests share them.
namespace ChartInputs {

inline constexpr int kItemsPerMountain = 4; // 兼 previous, the mountain itself, 兼 next, separator
inline constexpr int kSittingItems = 24 * kItemsPerMountain;
// The years a case and its charts accept: building years from 44 (the first year with a period), owners'
// birth years from 100 and annual charts from 64 (the first year of 一运), all up to 9999, the last year the
// calendar converts and the case record holds.
inline constexpr int kFirstBuildYear = 44;
inline constexpr int kFirstBirthYear = 100;
inline constexpr int kFirstAnnualYear = 64;
inline constexpr int kLastYear = 9999;

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

// "%d:%02d" as the edit box is designed ("0:00"), the minutes rounded; minutes that round to 60 carry into the
// degrees so the text always reads back.
QString DegreeText(double degree);

// Period index 0..8 ("一运".."九运") of a building year: the chart's period for every building year a case
// accepts, -1 outside them.
int PeriodIndexOfYear(int year);
// The year of the same place in the chosen period, or -1 when the year has no period or the result would
// fall outside the building years.
int YearInPeriod(int year, int periodIndex);

// The building and birth years of a case, as typed. A year left blank is named as missing; any other text
// that is no year within its bounds is out of range. Building year first.
enum class YearError { None, BuildMissing, BirthMissing, BuildRange, BirthRange };

struct CheckedYears {
    YearError error = YearError::None;
    int buildYear = 0;
    int birthYear = 0;
};

CheckedYears CheckCaseYears(const QString &buildText, const QString &birthText);
bool IsBirthError(YearError error); // the birth year is the one to correct
QString YearsErrorTitle();
QString YearErrorText(YearError error);

// The year of an annual chart: kFirstAnnualYear..kLastYear; AnnualYearErrorText says so.
bool AnnualYearValid(int year);
QString AnnualYearErrorText();

// Texts typed into year edits: a blank-trimmed decimal number, else `fallback`.
int YearOfText(const QString &text, int fallback);

// Whether two cases hold the same house as a lay-out reads it: the owner (name, sex, birth date and time), the
// building year, the sitting item, the degree to the minute the box shows, 下卦 or 替卦, and the door. The view,
// the category, the comments and the address are not the house.
bool SameHouse(const TRecordData &a, const TRecordData &b);

} // namespace ChartInputs
