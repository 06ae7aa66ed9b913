#pragma once

#include "HouseRulings.h"

#include <QString>

#include <vector>

// The one ruling of a palace as the reading words it wherever the door meets it: the door line of the Xuan Kong
// part and the Eight Mansions part's word on a palace whose two methods differ.
namespace report {

// A door may stand in the palace: it may take water and a door, or a door only.
bool TakesDoor(const PalaceRuling &u);

// What the palace may take and why, from its facing star (stored, 九 as 0) in period 1..9: "向星九(生)，宜开门、
// 见水", "二五同宫，只宜通气", "向星三(死)，宜静".
QString RulingWords(const PalaceRuling &u, int facingStar, int period);

// The palaces other than `except` where the ruling lets a door stand, as "正东震宫、西南坤宫"; empty when none.
QString DoorPalaces(const HouseRuling &h, int except);

// A palace by its direction and name: "正东震宫".
QString PalaceWithDirection(int palace);

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
