#pragma once

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
// Palaces offered for a door in period 1..9, as "东南巽宫、正东震宫、西南坤宫（山星五黄在此，新开门即属动土，须择时、
// 化五黄）", best first by DoorRank; those whose mountain star forbids digging (五黄, a dead or killing 二黑) come
// after the others, each with the word that a new door there is building work. Empty for no palaces.
QString DoorChoices(const HouseRuling &h, const FlyChart &chart, int period, std::vector<int> palaces);

// How the flying stars rank a palace as a door in period 1..9, by its facing star: 0 the period's own star, then
// the growing ones, the retreating star of a usable city gate last. Lower is better.
int DoorRank(const FlyChart &chart, int palace, int period);

// The house must keep a solid back: its period's mountain star sits behind it, or in the centre, or the timely
// stars meet at the facing and the back stays quiet. Its sitting palace takes no main door.
bool SolidBack(const HouseRuling &h);

} // namespace report
