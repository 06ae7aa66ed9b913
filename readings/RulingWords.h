#pragma once

#include "BaZhaiCalc.h"
#include "HouseRulings.h"

#include <QString>

#include <array>
#include <vector>

// The one ruling of a palace as the reading words it wherever the door meets it: the door line of the Xuan Kong
// part and the Eight Mansions part's word on a palace whose two methods differ.
namespace report {

// A door may stand in the palace: it may take water and a door, or a door only.
bool TakesDoor(const PalaceRuling &u);

// What the palace may take and why, from its facing star (stored, 九 as 0) in period 1..9: "向星九(生)，宜开门、
// 见水", "二五同宫，只宜通气", "向星三(死)，宜静".
QString RulingWords(const PalaceRuling &u, int facingStar, int period);

// A palace's direction: "正东"; and the palace by its direction and name: "正东震宫".
QString Direction(int palace);
QString PalaceWithDirection(int palace);

// Why the flying stars of the period (1..9) keep beds, desks and studies out of each palace (坎 0 … 乾 7, 中 8):
// 五黄 or an out-of-season 二黑 as its mountain or facing star ("山星五黄", "向星失令之二黑"), or 二 with 五, or 五
// with 九, in one palace ("二五同宫", "五九同宫"); empty where nothing does. Every line that sends someone to sleep
// or study somewhere names the barred palaces among those it sends to.
using RestBars = std::array<QString, 9>;
RestBars RestBarsOf(const FlyChart &chart, int period);

// The barred palaces among `palaces` as "东南巽宫向星五黄、中宫二五同宫"; empty when none is barred.
QString BarredList(const RestBars &bars, const std::vector<int> &palaces);
// The Eight Mansions invite a door where one of the four good stars (生气 天医 延年 伏位) stands whole, not where the
// element rule voids it (palace and star overcome one another).
bool GoodStar(int code);
bool Voided(int code, int palace);
bool InvitesDoor(const BaZhaiRecord &house, int palace);

// The palaces a main door may take in period 1..9, in the one order every line of the reading gives them: the
// palace of the period's own facing star first (also where its mountain star forbids digging, with the word that a
// new door there is building work), then the others as DoorRank ranks them, those whose mountain star forbids
// digging after the rest; among palaces the flying stars rank alike, the Eight Mansions' good directions of the
// house first. The sitting palace is the back of the house: it takes a back door at most, never the main door, and
// is left out (BackDoorWord says so).
std::vector<int> DoorOrder(const HouseRuling &h, const FlyChart &chart, int period, int sitting,
                           const BaZhaiRecord &house);

// Palaces as a list of doors, in the order given: "正南离宫、东北艮宫、西南坤宫（山星五黄在此，新开门即属动土，须择时、
// 化五黄）", each palace whose mountain star forbids digging with that word. Empty for no palaces.
QString DoorList(const HouseRuling &h, const FlyChart &chart, const std::vector<int> &palaces);

// The word that a new door in palace p is building work, where its mountain star forbids digging in the period:
// "山星五黄在此，新开门即属动土，须择时、化五黄"; empty elsewhere.
QString NewDoorWord(const HouseRuling &h, const FlyChart &chart, int palace);

// The Eight Mansions study (文昌) of a house by its sitting mountain: the palace 坎 0 … 乾 7, 中 8.
int BaZhaiStudyPalace(int sitting);
// The flying stars' studies of a chart: the palaces (坎 0 … 中 8) where two of the period, mountain and facing stars
// and the earth number are 一 and 四.
std::vector<int> FlyingStudyPalaces(const FlyChart &chart);
// The two methods' studies, said in the line of one (flying true: the Xuan Kong line) so that a reader of either
// knows which is which: "此为玄空飞星一四同宫之文昌，八宅宅卦之文昌在艮宫，二法各论".
QString StudyMethods(bool flying, const std::vector<int> &flyingStudies, int baZhaiStudy);

// How the flying stars rank a palace as a door in period 1..9, by its facing star: 0 the period's own star, then
// the growing ones, the retreating star of a usable city gate last. Lower is better.
int DoorRank(const FlyChart &chart, int palace, int period);

// The sitting palace as a back door: "坐山正南离宫只可开后门，不作大门", after "本宅坐后须实，" where the house must keep
// a solid back.
QString BackDoorWord(const HouseRuling &h, int sitting);

// The house must keep a solid back: its period's mountain star sits behind it, or in the centre, or the timely
// stars meet at the facing and the back stays quiet. Its sitting palace takes no main door.
bool SolidBack(const HouseRuling &h);

} // namespace report
