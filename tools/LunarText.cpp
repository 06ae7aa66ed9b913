#include "LunarText.h"

#include "MYiDateEx.h"
#include "MathUtil.h"
#include "NameTables.h"

namespace {
QString U(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
} // namespace

QString LunarMonthText(int month, bool leap)
{
    QString t = leap ? QStringLiteral("闰") : QString();
    t += month == 1 ? QStringLiteral("正") : U(MYiDateEx::ChineseNum(month));
    return t + QStringLiteral("月");
}

QString LunarDayText(int day)
{
    return (day < 11 ? QStringLiteral("初") : QString()) + U(MYiDateEx::ChineseNum(day));
}

QString HourBranch(int hour) { return U(HourZhiName(hour)); }

QString GanZhiText(int cycle) { return U(GanZhiName(cycle)); }

QString HourItemText(int hour) { return QStringLiteral("%1时").arg(hour) + HourBranch(hour); }
