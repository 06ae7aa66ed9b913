#pragma once

#include "HouseRulings.h"

#include <QString>

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

} // namespace report
