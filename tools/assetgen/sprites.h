// The fighters' pictures: the three skins' walk-cycle atlases, the blood
// atlas, the beam and the crosshair. drawFighter is shared with the menu,
// which shows the same figures as large portraits.
#pragma once
#include "canvas.h"

constexpr int FIGHTER_SKINS = 3;
constexpr int ATLAS_CELL = 64;  // pixels; the atlas is 4 x 4 cells

// One figure seen from above, facing up (+y), in the sprite's own units
// (the sprite square spans -0.7..0.7). `phase` 0..1 is the walk cycle.
void drawFighter(Canvas& c, const Frame& body, int skin, float phase);

Canvas fighterAtlas(int skin);
Canvas bloodAtlas();
Canvas laserPicture();
Canvas crossPicture();
