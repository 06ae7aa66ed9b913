#include "MQuorin.h"

#include "BirthPillars.h"
#include "ChartRules.h"
#include "MathUtil.h"

#include <cmath>

double MQuorin::DegreeToItem(double degree) const { return ::DegreeToItem(degree, fJian); }

bool MQuorin::CheckDegree()
{
    // The same rule that places a dragged degree decides whether a typed one lies in the sitting mountain.
    if (MountainOfDegree(Rec.degree) != ZuoShan) {
        sMessage = QStringLiteral("这个周天度不在这个座山内,请确认一下周天度。");
        return false;
    }
    FenJinGanZhi = static_cast<int16_t>(FenJinOfDegree(ZuoShan, Rec.degree));
    return true;
}

bool MQuorin::CheckBirthDate()
{
    sMessage.clear();
    BirthData birth;
    std::string message;
    if (!::CheckBirthDate(DateEx.get(), Rec.date, Rec.lunar != 0, Rec.leap != 0, birth, message)) {
        sMessage = QString::fromStdString(message);
        return false;
    }
    BirthGong = birth.gong;
    BirthNong = birth.nong;
    BirthLeap = birth.leap;
    return true;
}

void MQuorin::BirthGanZhi()
{
    if (!DateEx)
        return;
    SiZhu = ::BirthGanZhi(*DateEx, BirthGong);
}

int MQuorin::NaYinIndex(int cycle) { return ChartNaYinIndex(cycle); }
