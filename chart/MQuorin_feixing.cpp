#include "MQuorin.h"

void MQuorin::CalcXiaGua() { XiaGua = XiaGuaChart(ZuoShan, Yun); }

void MQuorin::CalcTiGua() { TiGua = TiGuaChart(ZuoShan, Yun); }

void MQuorin::CalcChengMen()
{
    FlyChart chosen{};
    for (int p = 0; p < 9; ++p)
        chosen[p] = {Gong[p][0], Gong[p][1], Gong[p][2]};
    ChengMen = CityGates(ZuoShan, Yun, chosen);
}
