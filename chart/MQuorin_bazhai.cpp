#include "MQuorin.h"

#include "ChartRules.h"

void MQuorin::CalcBaZhai()
{
    const int trigrams[4] = {
        MountainTrigram(ZuoShan),
        LifeTrigram(MingYear, Rec.sex != 0),
        MountainTrigram(FacingMountain(ZuoShan)),
        MountainTrigram(Rec.door % 24),
    };
    for (int i = 0; i < 4; ++i)
        BaZhai[i] = MakeBaZhaiRecord(trigrams[i]);
    BaZhaiFuWei = BaZhai[fuwei % 4];
}
