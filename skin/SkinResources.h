#pragma once

#include <QImage>
#include <QList>

// The engine's own pictures, used where a skin has none.
// The track-bar groove: one frame with 3-pixel caps (left and right, or top and bottom when vertical).
QImage SkinTrackPicture(bool vertical);
constexpr int SkinTrackCap = 3;
// The 16 x 16 menu glyphs in their fixed order: restore, maximise, minimise, close; black on white, white
// being the mask colour.
QList<QImage> SkinMenuGlyphs();
