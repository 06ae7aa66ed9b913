#pragma once

#include <array>
#include <cstdint>

// Eight Mansions (八宅) stars. Trigrams are held as Luo Shu numbers modulo 9 (0 离, 1 坎, 2 坤, 3 震, 4 巽, 6 乾,
// 7 兑, 8 艮; 5 never occurs). Star codes 0..7: 五鬼 天医 生气 延年 绝命 祸害 六煞 伏位. Directions 0..7 run
// 坎 艮 震 巽 离 坤 兑 乾 (north, then clockwise).

// The trigram of a mountain's group (palace).
int MountainTrigram(int mountain);

// The owner's life trigram (命卦) for the year that fixes it; male (乾造) or female (坤造).
int LifeTrigram(int year, bool male);

// The star that a direction has for a reference trigram.
int BaZhaiStar(int trigram, int direction);

// One reference record: bytes 0 and 2 the trigram, byte 1 its group (0 east: 离 坎 震 巽, 1 west),
// bytes 3..10 the star of each direction.
using BaZhaiRecord = std::array<uint8_t, 11>;
BaZhaiRecord MakeBaZhaiRecord(int trigram);

// The direction (坎 艮 震 巽 离 坤 兑 乾 order) whose star rules a year of the owner's life (游年): counted forward
// from 离 for a man, backward for a woman. Any age, also 0 or negative, gives 0..7.
int YouNianDirection(int age, bool male);

// The cycle number (0..59) of the owner's 小运 in a year of life: a man starts from 丙寅 at age 1 and goes
// forward, a woman from 壬申 and goes backward, each shifted by the decade of the owner's year cycle number.
int XiaoYunGanZhi(int mingGanZhi, int age, bool male);
