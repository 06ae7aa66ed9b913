#include "MQuorin.h"

int MQuorin::SanBanGua(int a, int b, int c) { return ::SanBanGua(a, b, c); }

void MQuorin::CalcGong()
{
    Gong = MakePalaceRecords(Rec.xiaGua ? XiaGua : TiGua, Yun);
    const auto jie = DaJie(Gong, ZuoShan, Yun);
    DaJieLi = jie[0];
    DaJieKan = jie[1];
}

void MQuorin::CalcColors() { StarColours(Rec.colour, Yun, XingColor); }
