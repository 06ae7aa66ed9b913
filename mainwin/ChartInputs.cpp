#include "ChartInputs.h"

#include "ChartRules.h"
#include "MathUtil.h"
#include "NameTables.h"
#include "TRecordData.h"

#include <cmath>

namespace ChartInputs {

namespace {

QString Name(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QString Mountain(int i)
{
    return Name(ShanName[size_t(FloorMod(i, 24))]);
}

// Centre of mountain m: its start + 7.5 degrees, within 0..360.
double MountainCentre(int m)
{
    double c = m * 15 + 345;
    if (c >= 360)
        c -= 360;
    return c;
}

double ReduceBelow360(double x)
{
    return x >= 360 ? x - 360 : x;
}

// A degree or minute part of the typed text; anything that is not a whole number is out of every range.
int PartValue(const QString &part)
{
    bool ok = false;
    const int v = part.trimmed().toInt(&ok, 10);
    return ok ? v : 1000000;
}

} // namespace

QStringList SittingItems()
{
    QStringList items;
    for (int i = 0; i < 24; ++i) {
        items << Mountain(i) + QStringLiteral("山兼") + Mountain(i + 23)
              << Mountain(i) + QStringLiteral("山") + Mountain(i + 12) + QStringLiteral("向")
              << Mountain(i) + QStringLiteral("山兼") + Mountain(i + 1) << QStringLiteral("---------");
    }
    return items;
}

QStringList DoorItems()
{
    QStringList items;
    for (int i = 0; i < 24; ++i)
        items << Mountain(i) + QStringLiteral("门");
    return items;
}

QStringList MonthItems()
{
    // Months run from 寅 (the first month of spring); DiZhiName starts at 亥 = 0, so 寅 is 3.
    QStringList items;
    for (int i = 0; i < 12; ++i)
        items << Name(DiZhiName[size_t(FloorMod(3 + i, 12))]) + QStringLiteral("月");
    return items;
}

QStringList YearItems(int currentYear)
{
    QStringList items;
    for (int y = currentYear - 100; y <= currentYear + 100; ++y)
        items << QString::number(y);
    return items;
}

CheckedYears CheckCaseYears(const QString &buildText, const QString &birthText)
{
    CheckedYears years;
    years.buildYear = YearOfText(buildText, 0);
    years.birthYear = YearOfText(birthText, 0);
    if (buildText.trimmed().isEmpty())
        years.error = YearError::BuildMissing;
    else if (years.buildYear < kFirstBuildYear || years.buildYear > kLastYear)
        years.error = YearError::BuildRange;
    else if (birthText.trimmed().isEmpty())
        years.error = YearError::BirthMissing;
    else if (years.birthYear < kFirstBirthYear || years.birthYear > kLastYear)
        years.error = YearError::BirthRange;
    return years;
}

bool IsBirthError(YearError error)
{
    return error == YearError::BirthMissing || error == YearError::BirthRange;
}

QString YearsErrorTitle() { return QStringLiteral("年份错误"); }

QString YearErrorText(YearError error)
{
    switch (error) {
    case YearError::BuildMissing:
        return QStringLiteral("请输入建宅年份！");
    case YearError::BirthMissing:
        return QStringLiteral("请输入宅主生年！");
    case YearError::BuildRange:
    case YearError::BirthRange:
        return QStringLiteral("建宅年份在公元%1年至%3年之间,宅主生年在公元%2年至%3年之间")
            .arg(kFirstBuildYear)
            .arg(kFirstBirthYear)
            .arg(kLastYear);
    case YearError::None:
        break;
    }
    return {};
}

bool AnnualYearValid(int year)
{
    return year >= kFirstAnnualYear && year <= kLastYear;
}

QString AnnualYearErrorText()
{
    return QStringLiteral("流年在公元%1年至%2年之间").arg(kFirstAnnualYear).arg(kLastYear);
}

bool IsSeparatorItem(int item)
{
    return item >= 0 && item % kItemsPerMountain == 3;
}

ParsedDegree ParseDegree(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype sep = t.indexOf(QLatin1Char(':'));
    if (sep < 0)
        sep = t.indexOf(QLatin1Char('-'));
    if (sep < 0)
        sep = t.indexOf(QLatin1Char(' '));
    if (sep < 0 || sep == t.size() - 1)
        return {DegreeError::Format, 0.0};
    const int degrees = PartValue(t.left(sep));
    if (degrees < 0 || degrees > 359)
        return {DegreeError::DegreeRange, 0.0};
    const int minutes = PartValue(t.mid(sep + 1));
    if (minutes < 0 || minutes > 59)
        return {DegreeError::MinuteRange, 0.0};
    return {DegreeError::None, degrees + minutes / 60.0};
}

QString DegreeErrorText(DegreeError error)
{
    switch (error) {
    case DegreeError::Format:
        return QStringLiteral("例如:周天度120度30分,就按以下格式输入:\n 120:30、120-30、120 30");
    case DegreeError::DegreeRange:
        return QStringLiteral("周天度在0至360之间");
    case DegreeError::MinuteRange:
        return QStringLiteral("分数在0-59");
    case DegreeError::None:
        break;
    }
    return {};
}

QString DegreeErrorTitle(DegreeError error)
{
    return error == DegreeError::DegreeRange ? QStringLiteral("周天度错误") : QStringLiteral("格式错误");
}

double ItemToDegree(int item, double fJian)
{
    if (item < 0 || item >= kSittingItems || IsSeparatorItem(item))
        return -1;
    const int m = item / kItemsPerMountain;
    const int s = item % kItemsPerMountain - 1;
    const double c = MountainCentre(m);
    const double edge = ReduceBelow360(c + 7.5 * s);
    const double threshold = ReduceBelow360(c + fJian * s);
    double gap = std::fabs(edge - threshold);
    if (gap > 7.5)
        gap = 360 - gap;
    return FloorModD(threshold + s * gap / 2, 360);
}

QString DegreeText(double degree)
{
    // The same degrees and minutes as the report and the pictures show.
    const DegMin dm = ToDegMin(degree);
    return QStringLiteral("%1:%2").arg(dm.deg).arg(dm.min, 2, 10, QLatin1Char('0'));
}

int PeriodIndexOfYear(int year)
{
    if (year < kFirstBuildYear || year > kLastYear)
        return -1;
    // The chart engine codes period 9 as 0; the list runs 一运 .. 九运.
    const int p = int(PeriodOfYear(year)) - 1;
    return p < 0 ? p + 9 : p;
}

int YearInPeriod(int year, int periodIndex)
{
    const int p = PeriodIndexOfYear(year);
    if (p < 0 || periodIndex < 0 || periodIndex > 8)
        return -1;
    const int moved = periodIndex * 20 + (year - 20 * p);
    return moved >= kFirstBuildYear && moved <= kLastYear ? moved : -1;
}

int YearOfText(const QString &text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : fallback;
}

bool SameHouse(const TRecordData &a, const TRecordData &b)
{
    // The degree as the box shows it: a case opened and laid out again from its own boxes is the same house even
    // where the stored degree has more digits than the minutes.
    return a.name == b.name && a.sex == b.sex && a.date == b.date && a.lunar == b.lunar && a.leap == b.leap &&
           a.buildYear == b.buildYear && a.mountain == b.mountain && DegreeText(a.degree) == DegreeText(b.degree) &&
           a.xiaGua == b.xiaGua && a.door == b.door;
}

} // namespace ChartInputs
