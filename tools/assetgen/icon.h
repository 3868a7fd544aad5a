// The desktop's pictures of the game: the application icon at every size a
// desktop asks for, and the catalogue's screenshot of the fighter choice.
#pragma once
#include <string>

#include "canvas.h"

// Sizes, in pixels, of the square icons in the hicolor theme.
constexpr int ICON_SIZES[] = {16, 22, 24, 32, 48, 64, 128, 256};

// A fighter firing its beam across a night-blue tile; small sizes keep only
// the shapes that still read at that size.
Canvas iconPicture(int size);

// Writes <folder>/icons/hicolor/<N>x<N>/apps/blastavia.png for every size and
// the screenshot <folder>/screenshots/fighters.png.
bool writeDesktopPictures(const std::string& folder, const std::string& fontFolder);
